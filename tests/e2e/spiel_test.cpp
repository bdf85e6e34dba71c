// Whole games through the built program: event scripts in, outcome, status and pictures out.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string VERLOREN = "\n\nDu hast diese Zeit verloren!\n";

std::string Lies(const fs::path &name)
{
    std::ifstream f(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Each test plays in a folder of its own, with the generated resources linked in.
class Spiel : public ::testing::Test {
protected:
    void SetUp() override { NeuerOrdner(); }

    void TearDown() override
    {
        for (const fs::path &o : alle)
            fs::remove_all(o);
    }

    // A fresh folder for the next game; the earlier ones stay until the test ends.
    void NeuerOrdner()
    {
        char muster[] = "/tmp/korvan-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner = muster;
        alle.push_back(ordner);
        // Real folders holding links to the files: the game steps into resource/ and back
        // up with "..", which from a linked folder would lead elsewhere.
        const fs::path lauf = KORVAN_RUN_DIR;
        for (const char *teil : {"resource", "data", "mission"}) {
            fs::create_directory(ordner / teil);
            for (const fs::directory_entry &datei : fs::directory_iterator(lauf / teil))
                fs::create_symlink(datei.path(), ordner / teil / datei.path().filename());
        }
        fs::create_symlink(lauf / "korvan", ordner / "korvan");
    }

    // Plays the script; -frames ends a game that would otherwise run on.
    void Spiele(const std::string &skript, const std::string &optionen = "")
    {
        fs::copy_file(fs::path(KORVAN_SOURCE_DIR) / "tests/e2e/scripts" / skript, ordner / skript,
                      fs::copy_options::overwrite_existing);
        const std::string befehl = "cd '" + ordner.string() +
                                   "' && env -u DISPLAY -u WAYLAND_DISPLAY GGI_DISPLAY='memory:-events=" +
                                   skript + ":-frames=400" + optionen +
                                   "' ./korvan >aus.txt 2>fehler.txt </dev/null";
        const int s = std::system(befehl.c_str());
        ASSERT_TRUE(WIFEXITED(s));
        status = WEXITSTATUS(s);
        aus = Lies(ordner / "aus.txt");
        fehler = Lies(ordner / "fehler.txt");
    }

    // A picture the game wrote, header and pixels; empty when it is missing.
    std::string Bild(const std::string &name) const { return Lies(ordner / name); }

    bool Gibt(const std::string &name) const { return fs::exists(ordner / name); }

    // The tile number at a map pixel, from the mission file itself.
    int Kachel(int x, int y) const
    {
        const std::string karte = Lies(ordner / "mission/demo.mis");
        const size_t stelle = 4 + 2 * (static_cast<size_t>(y / 20) * 100 + x / 20);
        if (karte.size() < stelle + 2)
            return -1;
        const int lo = static_cast<uint8_t>(karte[stelle]), hi = static_cast<uint8_t>(karte[stelle + 1]);
        return static_cast<int16_t>(lo | hi << 8);
    }

    void PruefeVerloren() const
    {
        EXPECT_EQ(status, 0) << fehler;
        ASSERT_GE(aus.size(), VERLOREN.size());
        EXPECT_EQ(aus.substr(aus.size() - VERLOREN.size()), VERLOREN);
        EXPECT_EQ(aus.find("unerwartetes"), std::string::npos) << aus;
    }

    fs::path ordner;
    std::vector<fs::path> alle;
    int status = -1;
    std::string aus, fehler;
};

TEST_F(Spiel, FrameSelectionMoveOrderAndEscape)
{
    Spiele("befehl.ev", ":-final=ende.ppm");
    PruefeVerloren();
    ASSERT_GE(Kachel(405, 245), 0);
    ASSERT_LE(Kachel(405, 245), 96) << "the script orders the units onto this tile";
    const std::string unterwegs = Bild("unterwegs.ppm");
    ASSERT_FALSE(unterwegs.empty());
    ASSERT_FALSE(Bild("gewaehlt.ppm").empty());
    EXPECT_NE(unterwegs, Bild("gewaehlt.ppm"));

    // The same input without the order: the selected units stay where they were.
    const fs::path erster = ordner;
    NeuerOrdner();
    Spiele("auswahl.ev");
    PruefeVerloren();
    EXPECT_EQ(Lies(erster / "gewaehlt.ppm"), Bild("gewaehlt.ppm"));
    EXPECT_NE(unterwegs, Bild("unterwegs.ppm"));
}

TEST_F(Spiel, SameScriptSamePictures)
{
    Spiele("befehl.ev", ":-final=ende.ppm");
    PruefeVerloren();
    const fs::path erster = ordner;
    const std::string erstesAus = aus;
    NeuerOrdner();
    Spiele("befehl.ev", ":-final=ende.ppm");
    PruefeVerloren();
    EXPECT_EQ(aus, erstesAus);
    for (const char *bild : {"gewaehlt.ppm", "unterwegs.ppm", "ende.ppm"}) {
        const std::string eins = Lies(erster / bild);
        EXPECT_FALSE(eins.empty()) << bild;
        EXPECT_EQ(eins, Bild(bild)) << bild;
    }
}

TEST_F(Spiel, MenuOpenedAndLeftThenEscapeEndsTheGame)
{
    Spiele("menue.ev");
    PruefeVerloren();
    const std::string menue = Bild("menue.ppm");
    const std::string danach = Bild("danach.ppm");
    ASSERT_FALSE(menue.empty());
    ASSERT_FALSE(danach.empty()) << "the first Escape closes only the menu";
    EXPECT_NE(menue, danach);
    EXPECT_FALSE(Gibt("zu_spaet.ppm")) << "the second Escape ends the game";
}

TEST_F(Spiel, EscapeFrameIsStillShown)
{
    // The last picture of a game ended by Escape is the frame the Escape came in, with the
    // pointer moved in that same frame.
    Spiele("escape.ev", ":-final=ende.ppm");
    PruefeVerloren();
    const std::string ende = Bild("ende.ppm");
    ASSERT_FALSE(ende.empty());

    NeuerOrdner();
    Spiele("escape_danach.ev");
    PruefeVerloren();
    EXPECT_EQ(ende, Bild("danach.ppm"));
    EXPECT_NE(ende, Bild("vorher.ppm"));
}

TEST_F(Spiel, StartViewWithTheOwnUnitsSelected)
{
    Spiele("start.ev");
    PruefeVerloren();
    const std::string start = Bild("start.ppm");
    ASSERT_FALSE(start.empty());
    EXPECT_NE(start, Bild("vorher.ppm")) << "selected units look different";
}

}  // namespace
