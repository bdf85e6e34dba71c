// The editor overlay in the running game: pictures taken headless and checked against the tiles.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Lies(const std::string &name)
{
    std::ifstream f(name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

// A P6 picture of 640 x 400 as written by the headless display.
struct Bild {
    std::vector<unsigned char> rgb;
    bool Lade(const std::string &name)
    {
        std::vector<unsigned char> d = Lies(name);
        const std::string kopf = "P6\n640 400\n255\n";
        if (d.size() != kopf.size() + 640 * 400 * 3 || !std::equal(kopf.begin(), kopf.end(), d.begin()))
            return false;
        rgb.assign(d.begin() + static_cast<long>(kopf.size()), d.end());
        return true;
    }
    const unsigned char *Px(int x, int y) const { return &rgb[(y * 640 + x) * 3]; }
};

class OverlayTest : public ::testing::Test {
protected:
    std::string ordner;
    std::vector<unsigned char> palette, kacheln;

    void SetUp() override
    {
        char muster[] = "/tmp/korvan-overlay-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner = muster;
        // Real folders with links to the files: the game changes into resource/ and back.
        const std::string run = KORVAN_RUN_DIR;
        const std::string befehl = "cd '" + ordner + "' && for d in resource data mission; do mkdir $d && ln -s '" +
                                   run + "'/$d/* $d/ || exit 1; done";
        ASSERT_EQ(system(befehl.c_str()), 0);
        std::vector<unsigned char> pal = Lies(run + "/data/system.pal");
        ASSERT_GE(pal.size(), 768u);
        palette.assign(pal.end() - 768, pal.end());
        kacheln = Lies(run + "/resource/terrain.rsc");
        ASSERT_GE(kacheln.size(), 10u * 400);
    }

    void TearDown() override
    {
        const std::string rm = "rm -rf '" + ordner + "'";
        EXPECT_EQ(system(rm.c_str()), 0);
    }

    int Spiele(const std::string &skript)
    {
        std::ofstream(ordner + "/spiel.events") << skript;
        const std::string befehl = "cd '" + ordner +
                                   "' && GGI_DISPLAY=memory:-events=spiel.events:-frames=300 '" +
                                   KORVAN_RUN_DIR + "/korvan' > ausgabe.txt 2>&1";
        return system(befehl.c_str());
    }

    // Whether the picture shows tile t with its top-left corner at (x, y), in rows ab..bis.
    ::testing::AssertionResult Kachel(const Bild &b, int t, int x, int y, int ab = 0, int bis = 19)
    {
        for (int i = ab; i <= bis; ++i)
            for (int k = 0; k < 20; ++k) {
                const unsigned char c = kacheln[t * 400 + i * 20 + k];
                if (!std::equal(palette.begin() + 3 * c, palette.begin() + 3 * c + 3, b.Px(x + k, y + i)))
                    return ::testing::AssertionFailure() << "tile " << t << " pixel " << k << ", " << i;
            }
        return ::testing::AssertionSuccess();
    }

    bool Farbe(const Bild &b, int x, int y, int c)
    {
        return std::equal(palette.begin() + 3 * c, palette.begin() + 3 * c + 3, b.Px(x, y));
    }
};

}  // namespace

TEST_F(OverlayTest, CursorOnTheScreenGridAndTheTileColumn)
{
    // A one-pixel right drag and its glide move the view by 6: off the map's 20-pixel grid.
    ASSERT_EQ(Spiele("0 pos 300 200\n"
                     "1 down 2\n"
                     "2 move 1 0\n"
                     "3 up 2\n"
                     "5 keydown '^'\n"
                     "6 pos 305 207\n"
                     "9 shot edit.ppm\n"
                     "10 pos 639 399\n"
                     "12 shot ecke.ppm\n"
                     "13 keydown '^'\n"
                     "13 pos 305 207\n"
                     "15 shot aus.ppm\n"
                     "16 keydown 27\n"),
              0);
    Bild edit, ecke, aus;
    ASSERT_TRUE(edit.Lade(ordner + "/edit.ppm"));
    ASSERT_TRUE(ecke.Lade(ordner + "/ecke.ppm"));
    ASSERT_TRUE(aus.Lade(ordner + "/aus.ppm"));

    // The cursor, tile 0, fills the screen cell (300, 200); the pointer covers rows up to 214.
    EXPECT_TRUE(Kachel(edit, 0, 300, 200, 15, 19));
    bool anders = false;
    for (int y = 215; y < 220; ++y)
        for (int x = 300; x < 320; ++x)
            anders |= !std::equal(edit.Px(x, y), edit.Px(x, y) + 3, aus.Px(x, y));
    EXPECT_TRUE(anders) << "the cursor should vanish with the overlay";

    // At the bottom-right corner the cursor lies fully inside the view, at (620, 380); the
    // speed bar covers its rows from 385 on.
    EXPECT_TRUE(Kachel(ecke, 0, 620, 380, 0, 4));

    // The column: tiles 1..9 under each other, 21 pixels apart, tile 0 under the top bar.
    for (int t = 1; t <= 9; ++t)
        EXPECT_TRUE(Kachel(edit, t, 10, 10 + 21 * t));
    EXPECT_TRUE(Kachel(edit, 0, 10, 10, 3));
    EXPECT_TRUE(Farbe(edit, 9, 30, 110));
    EXPECT_TRUE(Farbe(edit, 35, 14, 106));
    EXPECT_TRUE(Farbe(edit, 550, 354, 96));
    EXPECT_TRUE(Farbe(edit, 610, 384, 100));
    EXPECT_FALSE(Farbe(aus, 550, 354, 96) && Farbe(aus, 35, 14, 106));
}
