// The editor overlay and the menu picture: where the tiles, bars and texts land.
#include "ui_fixture.h"

#include "map/maps.h"
#include "ui/edit.h"
#include "ui/font.h"
#include "ui/intfc.h"
#include "ui/menu.h"

namespace {

class EditTest : public UiTest {
protected:
    // Whether the 20 x 20 tile t lies at (x, y), rows from `ab` on.
    ::testing::AssertionResult Kachel(int t, int x, int y, int ab = 0)
    {
        for (int i = ab; i < 20; ++i)
            for (int k = 0; k < 20; ++k)
                if (Px(x + k, y + i) != kacheln[t * 400 + i * 20 + k])
                    return ::testing::AssertionFailure() << "tile " << t << " pixel " << k << ", " << i;
        return ::testing::AssertionSuccess();
    }

    std::vector<std::string> Text(const char *s, int x, int y)
    {
        std::vector<std::string> v;
        for (int j = 0; j < 5; ++j)
            for (int i = 0; s[i] != '\0'; ++i)
                for (int k = 0; k < 5; ++k) {
                    const int g = s[i] == ' ' ? -1 : (s[i] | 0x20) - 'a';
                    if (g >= 0 && GlyphGesetzt(g, j, k))
                        v.push_back(std::to_string(x + 6 * i + k) + "," + std::to_string(y + j));
                }
        return v;
    }
};

}  // namespace

TEST_F(EditTest, TileColumnWithFrameBarAndButtons)
{
    GameDel = 1;
    r = 0;
    ShowSpriteSelect();
    for (int i = 1; i < 10; ++i)
        EXPECT_TRUE(Kachel(i, 10, 10 + 21 * i));
    EXPECT_TRUE(Kachel(0, 10, 10, 3));  // the bar covers the first tile's top rows
    // One background line between the tiles, background round the column.
    for (int x = 9; x <= 29; ++x) {
        EXPECT_EQ(Px(x, 30), 110);
        EXPECT_EQ(Px(x, 219), 110);
        EXPECT_EQ(Px(x, 221), 110);
    }
    EXPECT_EQ(Px(9, 100), 110);
    EXPECT_EQ(Px(30, 100), LEER);
    EXPECT_EQ(Px(31, 100), LEER);
    // The dotted frame at x 8 and 32, y 8 and 222, phase 0: its corner is drawn.
    EXPECT_EQ(Px(8, 222), 96);
    EXPECT_EQ(Px(8, 221), LEER);
    EXPECT_EQ(Px(32, 100), 96);
    EXPECT_EQ(Px(32, 101), LEER);
    EXPECT_EQ(Px(7, 100), LEER);
    EXPECT_EQ(Px(33, 101), LEER);
    // The bar across the top: rows 1..12 from x 10 to 32.
    EXPECT_EQ(Px(14, 1), 96);
    EXPECT_EQ(Px(10, 5), 96);
    EXPECT_EQ(Px(32, 5), 100);
    EXPECT_EQ(Px(14, 12), 100);
    EXPECT_EQ(Px(14, 0), LEER);
    // The two buttons, "H" and "R".
    EXPECT_EQ(Px(35, 14), 106);
    EXPECT_EQ(Px(50, 14), 110);
    EXPECT_EQ(Px(35, 26), 106);
    EXPECT_EQ(Pixel(40, 13, 45, 17, 254), Glyphe('H' - 'A', 40, 13));
    EXPECT_EQ(Pixel(40, 25, 45, 29, 254), Glyphe('R' - 'A', 40, 25));
}

TEST_F(EditTest, TileColumnSkipsTilesWithoutPicture)
{
    TerrainLaenge = 5 * 400;  // tiles 0..4 only
    ShowSpriteSelect();
    EXPECT_TRUE(Kachel(4, 10, 94));
    EXPECT_EQ(Px(15, 120), 110);
    EXPECT_EQ(Px(15, 210), 110);
}

TEST_F(EditTest, ButtonsAtTheBottomRight)
{
    ShowEditInterface();
    const char *texte[] = {"Neu", "Laden", "Speichern"};
    for (int i = 0; i < 3; ++i) {
        const int y = 350 + 15 * i;
        EXPECT_EQ(Px(550, y + 4), 96);
        EXPECT_EQ(Px(610, y + 4), 100);
        EXPECT_EQ(Px(554, y), 96);
        EXPECT_EQ(Px(550, y), LEER);
        EXPECT_EQ(Pixel(554, y + 3, 609, y + 7, 254), Text(texte[i], 554, y + 3)) << texte[i];
    }
    EXPECT_EQ(Px(611, 354), LEER);
}

TEST_F(EditTest, MenuEntriesWithTheirTwoTexts)
{
    ShowHauptMenu();
    // The first entry has only its dark text.
    EXPECT_TRUE(Pixel(240, 100, 400, 111, 254).empty());
    EXPECT_EQ(Pixel(246, 104, 345, 108, 242), Text("Spiel fortsetzen", 246, 104));
    EXPECT_EQ(Px(240, 104), 240);
    EXPECT_EQ(Px(400, 104), 242);
    EXPECT_EQ(Px(241, 105), 241);

    struct Eintrag {
        const char *text;
        int y;
    };
    for (Eintrag e : {Eintrag{"Neues Spiel erstellen", 150}, Eintrag{"Spiel laden", 180},
                      Eintrag{"Spiel speichern", 200}, Eintrag{"Einstellungen", 230},
                      Eintrag{"Mitwirkende", 250}}) {
        EXPECT_EQ(Pixel(245, e.y + 3, 399, e.y + 7, 254), Text(e.text, 245, e.y + 3)) << e.text;
        // The dark text shows where the light one does not cover it.
        for (const std::string &p : Text(e.text, 246, e.y + 4)) {
            const int x = std::stoi(p), y = std::stoi(p.substr(p.find(',') + 1));
            EXPECT_TRUE(Px(x, y) == 242 || Px(x, y) == 254) << e.text << " " << p;
        }
    }

    // "Beenden" in the corner: its dark text lies left of and below the light one.
    EXPECT_EQ(Pixel(555, 388, 639, 392, 254), Text("Beenden", 555, 388));
    EXPECT_EQ(Px(549, 389), 240);
    EXPECT_EQ(Px(639, 389), 242);
    for (const std::string &p : Text("Beenden", 554, 389)) {
        const int x = std::stoi(p), y = std::stoi(p.substr(p.find(',') + 1));
        EXPECT_TRUE(Px(x, y) == 242 || Px(x, y) == 254) << p;
    }
}
