// The battlefield: loading missions, refusing bad ones, rendering, obstacle runs, animation, view.
#include "map_fixture.h"

#include <sys/resource.h>

using ::testing::ExitedWithCode;

namespace {

int16_t Datei[KARTE_MAX][KARTE_MAX];

// Fills rows 0.. of Karte from a picture: '#' 100, '6' 96 (the first obstacle), '5' 95, '.' 0.
void Zeichne(const std::vector<std::string> &zeilen)
{
    for (size_t r = 0; r < zeilen.size(); ++r)
        for (size_t c = 0; c < zeilen[r].size(); ++c) {
            const char z = zeilen[r][c];
            Karte[r][c] = z == '#' ? 100 : z == '6' ? 96 : z == '5' ? 95 : 0;
        }
}

::testing::AssertionResult Lauf(const POS &p, int anfang, int ende)
{
    if (p.anfang == anfang && p.ende == ende)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "{" << int(p.anfang) << ", " << int(p.ende) << "}, expected {" << anfang << ", "
           << ende << "}";
}

}  // namespace

class LoadMapTest : public KarteTest {
protected:
    void SetUp() override
    {
        KarteTest::SetUp();
        memset(Datei, 0, sizeof Datei);
    }
};

TEST_F(LoadMapTest, ReadsTheFileAndAcceptsTheLimits)
{
    Datei[0][0] = 0x0102;
    Datei[5][99] = 300;
    Datei[30][40] = 650;  // the row and column past the map are scanned and must be tiles too
    std::string name = Mission(40, 30, Datei);
    LoadMap(name.c_str());
    EXPECT_EQ(FeldX, 40);
    EXPECT_EQ(FeldY, 30);
    EXPECT_EQ(Karte[0][0], 0x0102);
    EXPECT_EQ(Karte[5][99], 300);
    EXPECT_EQ(Karte[30][40], 650);

    // A file cut short leaves the rest of the map as it was.
    Karte[1][0] = 44;
    std::string kurz = Mission(32, 21, Datei, 4 + 2 * 100);
    LoadMap(kurz.c_str());
    EXPECT_EQ(Karte[1][0], 44);

    for (auto [b, h] : {std::pair{98, 98}, std::pair{32, 21}}) {
        std::string grenze = Mission(b, h, Datei);
        LoadMap(grenze.c_str());
        EXPECT_EQ(FeldX, b);
        EXPECT_EQ(FeldY, h);
    }
}

TEST_F(LoadMapTest, MissingFileStops)
{
    EXPECT_EXIT(LoadMap("/nonexistent/demo.mis"), ExitedWithCode(1),
                Enthaelt("Kann Datei '/nonexistent/demo.mis' nicht laden!"));
}

TEST_F(LoadMapTest, MapsBeyondTheTablesStop)
{
    std::string breit = Mission(99, 30, Datei);
    EXPECT_EXIT(LoadMap(breit.c_str()), ExitedWithCode(1),
                Enthaelt("Die Karte '" + breit +
                          "' ist zu gro\xdf (99 x 30 Felder, h\xf6"
                          "chstens 98 x 98)!"));
    std::string hoch = Mission(40, 255, Datei);
    EXPECT_EXIT(LoadMap(hoch.c_str()), ExitedWithCode(1),
                Enthaelt("' ist zu gro\xdf (40 x 255 Felder, h\xf6"
                          "chstens 98 x 98)!"));
}

TEST_F(LoadMapTest, MapsSmallerThanTheViewStop)
{
    std::string schmal = Mission(31, 30, Datei);
    EXPECT_EXIT(LoadMap(schmal.c_str()), ExitedWithCode(1),
                Enthaelt("Die Karte '" + schmal +
                          "' ist zu klein (31 x 30 Felder, mindestens 32 x 21)!"));
    std::string flach = Mission(40, 20, Datei);
    EXPECT_EXIT(LoadMap(flach.c_str()), ExitedWithCode(1),
                Enthaelt("' ist zu klein (40 x 20 Felder, mindestens 32 x 21)!"));
    std::string leer = Mission(0, 0, Datei, 3);  // ends inside the header
    EXPECT_EXIT(LoadMap(leer.c_str()), ExitedWithCode(1),
                Enthaelt("' ist zu klein (0 x 0 Felder, mindestens 32 x 21)!"));
}

TEST_F(LoadMapTest, TilesWithoutPictureStop)
{
    Datei[30][3] = -1;  // in the bottom row that is only scanned
    std::string negativ = Mission(40, 30, Datei);
    EXPECT_EXIT(LoadMap(negativ.c_str()), ExitedWithCode(1),
                Enthaelt("Die Karte '" + negativ +
                          "' enth\xe4lt in Zeile 30, Spalte 3 die Kachel -1, die es nicht gibt!"));

    Datei[30][3] = 0;
    Datei[7][40] = KACHELN;  // one past the last picture, in the column past the map
    std::string gross = Mission(40, 30, Datei);
    EXPECT_EXIT(LoadMap(gross.c_str()), ExitedWithCode(1),
                Enthaelt("enth\xe4lt in Zeile 7, Spalte 40 die Kachel 720, die es nicht gibt!"));

    // Cells never drawn nor scanned may hold anything.
    Datei[7][40] = 0;
    Datei[7][41] = -5;
    Datei[31][0] = 30000;
    std::string aussen = Mission(40, 30, Datei);
    LoadMap(aussen.c_str());
    EXPECT_EQ(Karte[7][41], -5);
}

TEST_F(LoadMapTest, TilesAreCheckedAgainstTheLoadedPictures)
{
    TerrainLaenge = 10 * 400 + 399;  // ten whole pictures and a piece
    Datei[0][0] = 9;
    std::string gut = Mission(32, 21, Datei);
    LoadMap(gut.c_str());
    Datei[0][0] = 10;
    std::string schlecht = Mission(32, 21, Datei);
    EXPECT_EXIT(LoadMap(schlecht.c_str()), ExitedWithCode(1),
                Enthaelt("Zeile 0, Spalte 0 die Kachel 10, die es nicht gibt!"));
}

TEST_F(LoadMapTest, AnimationsNeedAllTheirFrames)
{
    TerrainLaenge = 701 * 400;  // the third animation (700..705) has only its first picture
    Datei[4][5] = 676;
    std::string gut = Mission(40, 30, Datei);
    LoadMap(gut.c_str());
    Datei[4][5] = 0;
    Datei[2][3] = 699;
    Datei[2][4] = 700;
    std::string schlecht = Mission(40, 30, Datei);
    EXPECT_EXIT(LoadMap(schlecht.c_str()), ExitedWithCode(1),
                Enthaelt("' zeigt in Zeile 2, Spalte 4 eine Animation bis zur Kachel 705, die es "
                          "nicht gibt!"));
}

TEST_F(LoadMapTest, AtMostOneHundredAnimatedCells)
{
    for (int i = 0; i < 100; ++i)
        Datei[i / 40][i % 40] = i % 2 ? 662 : 700;
    Datei[30][0] = 676;  // animations outside the map do not count
    Datei[5][40] = 676;
    std::string gut = Mission(40, 30, Datei);
    LoadMap(gut.c_str());
    InitKarte();
    EXPECT_EQ(AniAnz, 100);

    Datei[29][39] = 676;
    std::string zuviel = Mission(40, 30, Datei);
    EXPECT_EXIT(LoadMap(zuviel.c_str()), ExitedWithCode(1),
                Enthaelt("Die Karte '" + zuviel +
                          "' hat 101 animierte Felder, m\xf6"
                          "glich sind h\xf6"
                          "chstens 100!"));
}

TEST_F(KarteTest, DecodeKarteReplacesOnlyGrainPixels)
{
    FeldX = 33;
    FeldY = 22;
    for (int r = 0; r < FeldY; ++r)
        for (int c = 0; c < FeldX; ++c)
            Karte[r][c] = static_cast<int16_t>((r * 31 + c * 17) % KACHELN);
    DecodeKarte();
    ASSERT_NE(Terrain, nullptr);
    int grain[6] = {};
    for (int r = 0; r < FeldY - 1; ++r)
        for (int c = 0; c < FeldX; ++c)
            for (int k = 0; k < 20; ++k)
                for (int l = 0; l < 20; ++l) {
                    const unsigned char p = KachelPixel(Karte[r][c], k, l);
                    const unsigned char t = Terrain[(20 * r + k) * 2000 + 20 * c + l];
                    if (p >= 1 && p <= 5) {
                        ASSERT_GE(t, 1);
                        ASSERT_LE(t, 5);
                        ++grain[t];
                    } else {
                        ASSERT_EQ(t, p) << "row " << r << " col " << c;
                    }
                }
    for (int g = 1; g <= 5; ++g)
        EXPECT_GT(grain[g], 0) << "grain colour " << g << " never chosen";
}

TEST_F(KarteTest, DecodeKarteDrawsTwiceForEveryPixelInOrder)
{
    FeldX = 2;
    FeldY = 3;  // two rows rendered, the third never
    Karte[0][0] = 0;
    Karte[0][1] = 1;
    Karte[1][0] = 2;
    Karte[1][1] = 3;

    srand(4711);
    std::vector<int> paar;
    for (int i = 0; i < 2 * 2 * 400; ++i) {
        paar.push_back(rand());
        rand();
    }
    const int danach = rand();

    srand(4711);
    DecodeKarte();
    EXPECT_EQ(rand(), danach);
    int n = 0;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < 20; ++k)
                for (int l = 0; l < 20; ++l, ++n) {
                    const unsigned char p = KachelPixel(Karte[r][c], k, l);
                    if (p >= 1 && p <= 5) {
                        ASSERT_EQ(Terrain[(20 * r + k) * 2000 + 20 * c + l], paar[n] % 5 + 1);
                    }
                }
}

TEST_F(KarteTest, BottomRowIsNeverRenderedNorShown)
{
    FeldX = 32;
    FeldY = 30;
    for (unsigned char &p : kacheln)
        if (p == 0xAB)
            p = 0xAC;  // 0xAB marks what was never rendered
    DecodeKarte();
    memset(Terrain, 0xAB, 2000 * 2000);
    DecodeKarte();
    EXPECT_EQ(Terrain[(20 * (FeldY - 1) - 1) * 2000 + 1], KachelPixel(0, 19, 1));
    EXPECT_EQ(Terrain[20 * (FeldY - 1) * 2000], 0xAB);
    EXPECT_EQ(Terrain[20 * FeldX], 0xAB);  // the column right of the map

    ScrollY = 5000;
    Landschaft();
    EXPECT_EQ(ScrollY, 20 * FeldY - 420);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            ASSERT_NE(bild[y * WIDTH + x], 0xAB) << x << ", " << y;
    EXPECT_EQ(0, memcmp(&bild[399 * WIDTH], &Terrain[(20 * FeldY - 21) * 2000], WIDTH));
}

TEST_F(KarteTest, LandschaftBringsTheViewIntoRange)
{
    FeldX = 40;
    FeldY = 30;
    DecodeKarte();
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 2000; x += 97)
            Terrain[y * 2000 + x] = static_cast<unsigned char>(y + x);

    ScrollX = 5000;
    ScrollY = -30;
    Landschaft();
    EXPECT_EQ(ScrollX, 800 - 640);
    EXPECT_EQ(ScrollY, 0);
    for (int row = 0; row < HEIGHT; ++row)
        ASSERT_EQ(0, memcmp(&bild[row * WIDTH], &Terrain[row * 2000 + 160], WIDTH));

    ScrollX = -30;
    ScrollY = 77;
    Landschaft();
    EXPECT_EQ(ScrollX, 0);
    EXPECT_EQ(ScrollY, 77);
    for (int row = 0; row < HEIGHT; ++row)
        ASSERT_EQ(0, memcmp(&bild[row * WIDTH], &Terrain[(row + 77) * 2000], WIDTH));
}

TEST_F(KarteTest, RunTablesOnAHandMadeMap)
{
    // Columns 0..8 and rows 0..5: FeldX and FeldY themselves belong to the file's data.
    FeldX = 8;
    FeldY = 5;
    Zeichne({
        "##..#..##",
        "#..###..#",
        ".......#.",
        "65......#",
        "....#...#",
        "....#....",
    });
    memset(XKarte, 0xAA, sizeof XKarte);
    memset(YKarte, 0xAA, sizeof YKarte);
    testing::internal::CaptureStdout();
    InitXYKarte();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "InitXKarte ...\nInitYKarte ...\nXYKarten initialisiert.\n");

    // Row 0: a run at the left edge, a single cell, a run through the column past the map.
    EXPECT_TRUE(Lauf(XKarte[0][0], 0, 2));
    EXPECT_TRUE(Lauf(XKarte[0][1], 0, 2));
    EXPECT_TRUE(Lauf(XKarte[0][2], 0, 2));  // the cell after a run keeps only the run's end
    EXPECT_TRUE(Lauf(XKarte[0][3], 0, 0));
    EXPECT_TRUE(Lauf(XKarte[0][4], 4, 5));
    EXPECT_TRUE(Lauf(XKarte[0][5], 0, 5));
    EXPECT_TRUE(Lauf(XKarte[0][6], 0, 0));
    EXPECT_TRUE(Lauf(XKarte[0][7], 7, 9));
    EXPECT_TRUE(Lauf(XKarte[0][8], 7, 9));
    EXPECT_EQ(XKarte[0][9].ende, 9);
    // Row 1: the scan goes on right after the cell that follows a run.
    EXPECT_TRUE(Lauf(XKarte[1][0], 0, 1));
    EXPECT_TRUE(Lauf(XKarte[1][1], 0, 1));
    for (int c = 3; c <= 5; ++c)
        EXPECT_TRUE(Lauf(XKarte[1][c], 3, 6));
    EXPECT_TRUE(Lauf(XKarte[1][6], 0, 6));
    EXPECT_TRUE(Lauf(XKarte[1][7], 0, 0));
    EXPECT_TRUE(Lauf(XKarte[1][8], 8, 9));
    // Row 2: a run up to the map's last column, with the file's column FeldX open.
    EXPECT_TRUE(Lauf(XKarte[2][7], 7, 8));
    EXPECT_TRUE(Lauf(XKarte[2][8], 0, 8));
    // Row 3: 96 blocks, 95 does not.
    EXPECT_TRUE(Lauf(XKarte[3][0], 0, 1));
    EXPECT_TRUE(Lauf(XKarte[3][1], 0, 1));

    EXPECT_TRUE(Lauf(YKarte[0][0], 0, 2));
    EXPECT_TRUE(Lauf(YKarte[1][0], 0, 2));
    EXPECT_TRUE(Lauf(YKarte[2][0], 0, 2));
    EXPECT_TRUE(Lauf(YKarte[3][0], 3, 4));
    EXPECT_TRUE(Lauf(YKarte[4][0], 0, 4));
    EXPECT_TRUE(Lauf(YKarte[5][0], 0, 0));
    // Column 4: a run into the file's row FeldY.
    EXPECT_TRUE(Lauf(YKarte[4][4], 4, 6));
    EXPECT_TRUE(Lauf(YKarte[5][4], 4, 6));
    EXPECT_EQ(YKarte[6][4].ende, 6);
    // Column 8: a run that stops at the open row FeldY.
    EXPECT_TRUE(Lauf(YKarte[3][8], 3, 5));
    EXPECT_TRUE(Lauf(YKarte[4][8], 3, 5));
    EXPECT_TRUE(Lauf(YKarte[5][8], 0, 5));
    // Column 7: a single cell.
    EXPECT_TRUE(Lauf(YKarte[2][7], 2, 3));
    EXPECT_TRUE(Lauf(YKarte[3][7], 0, 3));
    EXPECT_TRUE(Lauf(YKarte[4][7], 0, 0));
}

TEST_F(KarteTest, RunsReachTheLastColumnOfTheLargestMap)
{
    FeldX = 98;
    FeldY = 98;
    for (int i = 0; i <= 98; ++i) {
        Karte[i][98] = 100;
        Karte[98][i] = 100;
    }
    InitXYKarte();
    EXPECT_TRUE(Lauf(XKarte[98][0], 0, 99));
    EXPECT_TRUE(Lauf(XKarte[98][98], 0, 99));
    EXPECT_EQ(XKarte[98][99].ende, 99);
    EXPECT_TRUE(Lauf(YKarte[0][98], 0, 99));
    EXPECT_EQ(YKarte[99][98].ende, 99);
}

TEST_F(KarteTest, InitKarteFindsTheStartFramesOnly)
{
    FeldX = 40;
    FeldY = 30;
    Karte[2][3] = 662;
    Karte[2][4] = 663;  // a later frame is plain ground
    Karte[5][1] = 700;
    Karte[7][39] = 676;
    Karte[7][40] = 676;  // past the map
    InitKarte();
    ASSERT_EQ(AniAnz, 3);
    const int16_t soll[3][4] = {{60, 40, 662, 675}, {20, 100, 700, 706}, {780, 140, 676, 687}};
    for (int i = 0; i < 3; ++i) {
        const ANITER &a = Animated[i];
        EXPECT_EQ((std::vector<int>{a.x, a.y, a.start, a.ende}),
                  (std::vector<int>{soll[i][0], soll[i][1], soll[i][2], soll[i][3]}));
        EXPECT_GE(a.index, a.start);
        EXPECT_LT(a.index, a.ende);
    }
}

TEST_F(KarteTest, AniKarteShowsTheLastFrameThenTheFirst)
{
    FeldX = 40;
    FeldY = 30;
    Karte[2][3] = 662;
    DecodeKarte();
    InitKarte();
    ASSERT_EQ(AniAnz, 1);
    Animated[0].index = 674;
    AniKarte();
    EXPECT_EQ(Animated[0].index, 675);
    for (int j = 0; j < 20; ++j)
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(Terrain[(40 + j) * 2000 + 60 + i], KachelPixel(674, j, i));
    AniKarte();
    EXPECT_EQ(Animated[0].index, 663);
    for (int j = 0; j < 20; ++j)
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(Terrain[(40 + j) * 2000 + 60 + i], KachelPixel(662, j, i));
    EXPECT_EQ(Terrain[40 * 2000 + 59], KachelPixel(0, 0, 19));
    EXPECT_EQ(Terrain[40 * 2000 + 80], KachelPixel(0, 0, 0));
}

// The address-space limit below would starve the sanitizers' shadow memory.
#ifndef __SANITIZE_ADDRESS__
TEST_F(KarteTest, FailedAllocationStops)
{
    EXPECT_EXIT(
        {
            // No room left for the rendered map: the address space ends just past what is used.
            Terrain = nullptr;
            FILE *f = fopen("/proc/self/statm", "r");
            long seiten = 0;
            if (f == nullptr || fscanf(f, "%ld", &seiten) != 1)
                exit(2);
            fclose(f);
            rlimit grenze;
            grenze.rlim_cur = grenze.rlim_max =
                static_cast<rlim_t>(seiten) * 4096 + 1024 * 1024;
            setrlimit(RLIMIT_AS, &grenze);
            DecodeKarte();
        },
        ExitedWithCode(1), Enthaelt("Kein Speicher f\xfcr die Karte frei!"));
}
#endif
