// Panel primitives and the in-game panel: bar shapes, dotted boxes, gauge, counters, speed.
#include "ui_fixture.h"

#include <algorithm>

#include "ui/font.h"
#include "ui/intfc.h"
#include "units/vardefs.h"

namespace {

class IntfcTest : public UiTest {
protected:
    // Compares the 15 x 16 pixels around a bar drawn at (x, y) with a picture: '.' untouched,
    // L, M, D the bar's light, middle and dark colours.
    ::testing::AssertionResult Form(int x, int y, const std::vector<std::string> &zeilen,
                                    unsigned char L, unsigned char M, unsigned char D)
    {
        for (int j = -2; j < 14; ++j)
            for (int i = -2; i < 13; ++i) {
                char z = '.';
                if (j >= 0 && j < 12 && i >= 0 && i < 11)
                    z = zeilen[j][i];
                const unsigned char soll = z == 'L' ? L : z == 'M' ? M : z == 'D' ? D : LEER;
                if (Px(x + i, y + j) != soll)
                    return ::testing::AssertionFailure()
                           << "dx " << i << " row " << j << ": " << int(Px(x + i, y + j))
                           << ", expected '" << z << "'";
            }
        return ::testing::AssertionSuccess();
    }

    bool Unberuehrt() { return std::all_of(bild.begin(), bild.end(), [](unsigned char c) { return c == LEER; }); }
};

const std::vector<std::string> BALKEN = {
    "....LLL....",
    "...LMMML...",
    "..LMMMMML..",
    ".LMMMMMMML.",
    "LMMMMMMMMMD",
    "LMMMMMMMMMD",
    "LMMMMMMMMMD",
    "LMMMMMMMMMD",
    ".DMMMMMMMD.",
    "..DMMMMMD..",
    "...DMMMD...",
    "....DDD....",
};

}  // namespace

TEST_F(IntfcTest, BevelledBarsInTheirColourSets)
{
    gbalken(20, 30, 10);
    EXPECT_TRUE(Form(20, 30, BALKEN, 96, 98, 100));
    bbalken(60, 30, 10);
    EXPECT_TRUE(Form(60, 30, BALKEN, 106, 108, 110));
    Balken(100, 30, 10, 1, 2, 3);  // light, dark, middle
    EXPECT_TRUE(Form(100, 30, BALKEN, 1, 3, 2));
}

TEST_F(IntfcTest, HollowBarLeavesItsWindow)
{
    gbalken_offen(20, 30, 10);
    EXPECT_TRUE(Form(20, 30,
                     {
                         "....LLL....",
                         "...LDDDL...",
                         "..LM...ML..",
                         ".LMM...MML.",
                         "LMMM...MMMD",
                         "LMMM...MMMD",
                         "LMMM...MMMD",
                         "LMMM...MMMD",
                         ".DMM...MMD.",
                         "..DM...MD..",
                         "...DLLLD...",
                         "....DDD....",
                     },
                     96, 98, 100));
}

TEST_F(IntfcTest, GaugePiecesHaveOneSquareEnd)
{
    gbalken_offen_links(20, 30, 10);
    EXPECT_TRUE(Form(20, 30,
                     {
                         "....LLLLLLL",
                         "...LDDDDDDD",
                         "..LM......D",
                         ".LMM......D",
                         "LMMM......D",
                         "LMMM......D",
                         "LMMM......D",
                         "LMMM......D",
                         ".DMM......D",
                         "..DM......D",
                         "...DLLLLLLD",
                         "....DDDDDDD",
                     },
                     96, 98, 100));
    bbalken_offen_rechts(60, 30, 10);
    EXPECT_TRUE(Form(60, 30,
                     {
                         "LLLLLLL....",
                         "LDDDDDDL...",
                         "L......ML..",
                         "L......MML.",
                         "L......MMMD",
                         "L......MMMD",
                         "L......MMMD",
                         "L......MMMD",
                         "L......MMD.",
                         "L......MD..",
                         "LLLLLLLD...",
                         "DDDDDDD....",
                     },
                     106, 108, 110));
}

TEST_F(IntfcTest, BarsShorterThanEightDrawNothing)
{
    for (int lang : {7, 0, -20}) {
        gbalken(20, 30, lang);
        bbalken(20, 30, lang);
        Balken(20, 30, lang, 1, 2, 3);
        gbalken_offen(20, 30, lang);
        gbalken_offen_links(20, 30, lang);
        bbalken_offen_rechts(20, 30, lang);
        EXPECT_TRUE(Unberuehrt()) << lang;
    }
    gbalken(20, 30, 8);
    EXPECT_EQ(Px(24, 30), 96);
    EXPECT_EQ(Px(28, 34), 100);
    EXPECT_EQ(Px(23, 30), LEER);
}

TEST_F(IntfcTest, FillBoxIncludesBothCorners)
{
    fill_box(10, 20, 12, 21, 5);
    EXPECT_EQ(Pixel(0, 0, 30, 30, 5),
              (std::vector<std::string>{"10,20", "11,20", "12,20", "10,21", "11,21", "12,21"}));
    EXPECT_EQ(Pixel(0, 0, WIDTH - 1, HEIGHT - 1, 5).size(), 6u);
}

TEST_F(IntfcTest, DottedBoxPhaseFlipsOnTicksOnly)
{
    GameDel = 0;
    r = 1;
    draw_box(10, 20, 16, 24, 9);  // flips to phase 0: the corner is drawn
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Pixel(10, 20, 16, 24, 9),
              (std::vector<std::string>{"10,20", "12,20", "14,20", "16,20", "10,22", "16,22",
                                        "10,24", "12,24", "14,24", "16,24"}));

    std::fill(bild.begin(), bild.end(), LEER);
    draw_box(10, 20, 16, 24, 9);  // a second box in the same tick flips back
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Pixel(10, 20, 16, 24, 9),
              (std::vector<std::string>{"11,20", "13,20", "15,20", "10,21", "16,21", "10,23",
                                        "16,23", "11,24", "13,24", "15,24"}));

    GameDel = 3;
    draw_box(10, 20, 16, 24, 9);
    EXPECT_EQ(r, 1);
}

TEST_F(IntfcTest, DottedBoxCornersInAnyOrder)
{
    GameDel = 2;
    for (int phase : {0, 1}) {
        r = static_cast<uint8_t>(phase);
        std::fill(bild.begin(), bild.end(), LEER);
        draw_box(10, 20, 50, 60, 9);
        std::vector<unsigned char> richtig = bild;
        std::fill(bild.begin(), bild.end(), LEER);
        draw_box(50, 60, 10, 20, 9);
        EXPECT_EQ(bild, richtig) << phase;
        std::fill(bild.begin(), bild.end(), LEER);
        draw_box(50, 20, 10, 60, 9);
        EXPECT_EQ(bild, richtig) << phase;
    }
}

TEST_F(IntfcTest, GaugeTicksFollowTheCounts)
{
    MAnz = 3;
    FAnz = 0;
    InterFace();
    EXPECT_EQ(Pixel(249, 12, 314, 19, 97),
              (std::vector<std::string>{"250,12", "252,12", "250,13", "252,13", "250,14", "252,14",
                                        "250,15", "252,15", "250,16", "252,16", "250,17", "252,17",
                                        "250,18", "252,18", "250,19", "252,19"}));
    // The enemy half shows its empty window, the halves meet dark against light.
    for (int y = 12; y <= 19; ++y) {
        for (int x = 317; x <= 382; ++x)
            ASSERT_EQ(Px(x, y), LEER) << x << ", " << y;
        EXPECT_EQ(Px(315, y), 100);
        EXPECT_EQ(Px(316, y), 106);
    }

    std::fill(bild.begin(), bild.end(), LEER);
    MAnz = 0;
    FAnz = 3;
    InterFace();
    for (int y = 12; y <= 19; ++y)
        for (int x = 249; x <= 314; ++x)
            ASSERT_EQ(Px(x, y), LEER) << x << ", " << y;
    EXPECT_EQ(Pixel(317, 12, 382, 12, 107), (std::vector<std::string>{"379,12", "381,12"}));
    EXPECT_EQ(Pixel(317, 19, 382, 19, 107), (std::vector<std::string>{"379,19", "381,19"}));

    std::fill(bild.begin(), bild.end(), LEER);
    MAnz = 49;
    FAnz = 49;
    InterFace();
    EXPECT_EQ(Px(314, 15), 97);
    EXPECT_EQ(Px(317, 15), 107);
    EXPECT_EQ(Pixel(249, 12, 382, 12, 97).size(), 33u);
}

TEST_F(IntfcTest, CountersAndLabelsAreShadowed)
{
    MAnz = 12;
    FAnz = 7;
    InterFace();
    std::vector<std::string> zwoelf = Glyphe(41, 224, 13), zwei = Glyphe(42, 230, 13);
    zwoelf.insert(zwoelf.end(), zwei.begin(), zwei.end());
    std::sort(zwoelf.begin(), zwoelf.end());
    std::vector<std::string> gezeichnet = Pixel(224, 13, 235, 17, 254);
    std::sort(gezeichnet.begin(), gezeichnet.end());
    EXPECT_EQ(gezeichnet, zwoelf);
    EXPECT_EQ(Pixel(404, 13, 409, 17, 254), Glyphe(47, 404, 13));
    EXPECT_TRUE(Pixel(398, 13, 403, 17, 254).empty());

    // Shadows: one pixel right and down, where the light text does not cover them.
    for (int j = 0; j < 5; ++j)
        for (int k = 0; k < 5; ++k)
            if (GlyphGesetzt(47, j, k) && !(j < 4 && k < 4 && GlyphGesetzt(47, j + 1, k + 1))) {
                EXPECT_EQ(Px(405 + k, 14 + j), 110) << k << ", " << j;
            }

    // "Botschaften" and "Fabriken" over their bars.
    EXPECT_EQ(Pixel(550, 13, 555, 17, 254), Glyphe(1, 550, 13));
    EXPECT_EQ(Pixel(610, 13, 615, 17, 254), Glyphe(13, 610, 13));
    EXPECT_EQ(Pixel(558, 103, 563, 107, 254), Glyphe(5, 558, 103));
    EXPECT_EQ(Pixel(600, 103, 605, 107, 254), Glyphe(13, 600, 103));
    EXPECT_EQ(Px(530, 14), 96);
    EXPECT_EQ(Px(630, 104), 100);
}

TEST_F(IntfcTest, SpeedReadOutHidesTheMinusSign)
{
    GameSpeed = 8;
    InterFace();
    std::vector<unsigned char> panel = bild;
    std::fill(bild.begin(), bild.end(), LEER);
    bbalken(600, 385, 30);
    write(616, 388, "2", 254);
    for (int y = 385; y <= 396; ++y)
        for (int x = 600; x <= 630; ++x)
            ASSERT_EQ(panel[y * WIDTH + x], Px(x, y)) << x << ", " << y;

    GameSpeed = 1;
    InterFace();
    EXPECT_EQ(Pixel(616, 388, 620, 392, 254), Glyphe(45, 616, 388));
}
