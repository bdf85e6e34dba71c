// The effect tables' discipline, explosions and smoke puffs: their images per tick, their
// end, clipping, and the loaded image data they never read past.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "control/control.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/rauch.h"
#include "startup/file.h"

namespace {

constexpr int EXPLO_BILD = 28 * 20;
constexpr int RAUCH_BILD = 14 * 14;

// Image n of either resource is drawn in colour 40 + n, apart from a varying pattern in its
// first row so that clipping can be checked; 0 marks transparent holes.
unsigned char BildByte(int n, int i, int j, int breite)
{
    if (i == 0)
        return static_cast<unsigned char>(100 + j);
    if (i == 1 && j == breite - 1)
        return 0;
    return static_cast<unsigned char>(40 + n);
}

std::vector<unsigned char> Bilder(int anzahl, int breite, int hoehe)
{
    std::vector<unsigned char> d;
    for (int n = 0; n < anzahl; ++n)
        for (int i = 0; i < hoehe; ++i)
            for (int j = 0; j < breite; ++j)
                d.push_back(BildByte(n, i, j, breite));
    d.shrink_to_fit();
    return d;
}

// The game loop computes an entry only while it is in use.
void Explosion0()
{
    if (Explose[0].free == 1)
        ExploseCompute(0);
}
void Rauch0()
{
    if (Rauch[0].free == 1)
        RauchCompute(0);
}

class Effekte : public ::testing::Test {
protected:
    std::vector<unsigned char> bild = std::vector<unsigned char>(WIDTH * HEIGHT, 0);
    std::vector<unsigned char> explose = Bilder(12, 28, 20);
    std::vector<unsigned char> rauch = Bilder(8, 14, 14);

    void SetUp() override
    {
        std::memset(Explose, 0, sizeof Explose);
        EAnz = ExploseNextFree = 0;
        std::memset(Rauch, 0, sizeof Rauch);
        RauchAnz = RauchNextFree = 0;
        GameDel = 0;
        GameSpeed = 1;
        VScreen = bild.data();
        ExploseData = explose.data();
        ExploseLaenge = static_cast<long>(explose.size());
        RauchData = rauch.data();
        RauchLaenge = static_cast<long>(rauch.size());
    }

    void TearDown() override
    {
        VScreen = nullptr;
        ExploseData = RauchData = nullptr;
        ExploseLaenge = RauchLaenge = 0;
        GameSpeed = 1;
        GameDel = 0;
    }

    void Leeren() { std::fill(bild.begin(), bild.end(), 0); }

    int Anzahl(unsigned char farbe)
    {
        int n = 0;
        for (unsigned char b : bild)
            n += b == farbe;
        return n;
    }

    // One frame of the game loop for entry 0 of a table: compute it, then count the tick.
    // Returns the image shown (its body colour at the given point) or -1 when nothing.
    template <class Rechnen>
    int Frame(Rechnen rechnen, int x, int y)
    {
        Leeren();
        rechnen();
        GameDel = static_cast<int16_t>(GameDel + 1);
        if (GameDel >= GameSpeed)
            GameDel = 0;
        const int b = bild[(y + 2) * WIDTH + x];
        return b == 0 ? -1 : b - 40;
    }
};

TEST_F(Effekte, FullTableRefusesTheTwoHundredthEntry)
{
    for (int i = 0; i < 199; ++i) {
        ExploseInsert(static_cast<short>(i), 0, 10, 22, 1);
        RauchInsert(static_cast<short>(i), 0);
    }
    ASSERT_EQ(EAnz, 199);
    ASSERT_EQ(ExploseNextFree, 199);
    ASSERT_EQ(RauchAnz, 199);
    ASSERT_EQ(RauchNextFree, 199);

    ExploseInsert(500, 300, 10, 22, 1);
    RauchInsert(500, 300);
    EXPECT_EQ(EAnz, 199);
    EXPECT_EQ(ExploseNextFree, 199);
    EXPECT_EQ(Explose[199].free, 0);
    EXPECT_EQ(Explose[199].x, 0);
    EXPECT_EQ(RauchAnz, 199);
    EXPECT_EQ(RauchNextFree, 199);
    EXPECT_EQ(Rauch[199].free, 0);
    EXPECT_EQ(Rauch[199].x, 0);

    // Once one expires there is room again, in its slot.
    EDelete(150);
    ExploseInsert(500, 300, 10, 22, 1);
    EXPECT_EQ(EAnz, 199);
    EXPECT_EQ(Explose[150].x, 500);
    EXPECT_EQ(ExploseNextFree, 199);
}

TEST_F(Effekte, DeletedEntryIsFilledFirstAndTheScanSkipsLiveOnes)
{
    for (int i = 0; i < 12; ++i)
        RauchInsert(0, 0);
    ASSERT_EQ(RauchNextFree, 12);
    RauchDelete(5);
    EXPECT_EQ(RauchNextFree, 5);
    EXPECT_EQ(RauchAnz, 11);
    RauchInsert(77, 0);
    EXPECT_EQ(Rauch[5].x, 77);
    EXPECT_EQ(RauchNextFree, 12);

    for (int i = 0; i < 4; ++i)
        ExploseInsert(0, 0, 10, 22, 1);
    EDelete(2);
    EXPECT_EQ(ExploseNextFree, 2);
    ExploseInsert(9, 0, 10, 22, 1);
    EXPECT_EQ(Explose[2].x, 9);
    EXPECT_EQ(ExploseNextFree, 4);

    // Deleting above the lowest free entry leaves the index alone.
    EDelete(1);
    EDelete(3);
    EXPECT_EQ(ExploseNextFree, 1);
    ExploseInsert(8, 0, 10, 22, 1);
    EXPECT_EQ(ExploseNextFree, 3);
    EXPECT_EQ(EAnz, 3);
}

TEST_F(Effekte, ExplosionImagesWithATickEveryFrame)
{
    ExploseInsert(100, 100, 10, 22, 1);
    std::vector<int> gezeigt;
    for (int f = 0; f < 13; ++f)
        gezeigt.push_back(Frame(Explosion0, 100, 100));
    const std::vector<int> erwartet = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1};
    EXPECT_EQ(gezeigt, erwartet);
    EXPECT_EQ(EAnz, 0);
    EXPECT_EQ(Explose[0].free, 0);
    EXPECT_EQ(ExploseNextFree, 0);
}

TEST_F(Effekte, ExplosionImagesWithATickEverySecondFrame)
{
    GameSpeed = 2;
    GameDel = 1;  // inserted on a frame that is not a tick
    ExploseInsert(100, 100, 10, 22, 1);
    std::vector<int> gezeigt;
    for (int f = 0; f < 25 && Explose[0].free == 1; ++f)
        gezeigt.push_back(Frame(Explosion0, 100, 100));
    std::vector<int> erwartet = {0};
    for (int n = 1; n <= 11; ++n)
        erwartet.insert(erwartet.end(), {n, n});
    erwartet.push_back(-1);
    EXPECT_EQ(gezeigt, erwartet);
    EXPECT_EQ(EAnz, 0);
}

TEST_F(Effekte, OtherExplosionKindsEndOnTheirFirstTick)
{
    // The slot held a kind-1 explosion before: its size must not carry over.
    ExploseInsert(100, 100, 10, 22, 1);
    EDelete(0);
    GameSpeed = 2;
    GameDel = 1;
    ExploseInsert(100, 100, 10, 22, 2);
    EXPECT_EQ(Explose[0].type, 2);
    EXPECT_EQ(Frame(Explosion0, 100, 100), -1);
    EXPECT_EQ(Explose[0].free, 1);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT);
    EXPECT_EQ(Frame(Explosion0, 100, 100), -1);
    EXPECT_EQ(Explose[0].free, 0);
    EXPECT_EQ(EAnz, 0);
}

TEST_F(Effekte, ExplosionIsClippedPixelByPixel)
{
    GameDel = 1;
    ExploseInsert(620, 390, 10, 22, 1);
    ExploseCompute(0);
    // Row 390 holds the first 20 columns of the pattern row; rows 391..399 the body.
    for (int j = 0; j < 20; ++j)
        EXPECT_EQ(bild[390 * WIDTH + 620 + j], 100 + j) << j;
    EXPECT_EQ(bild[399 * WIDTH + 639], 40);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 20 * 10);

    Leeren();
    Explose[0].x = -10;
    Explose[0].y = -1;
    ExploseCompute(0);
    EXPECT_EQ(bild[0], 40);
    // The transparent hole at the end of row 1 lands on column 17 of view row 0.
    EXPECT_EQ(bild[17], 0);
    EXPECT_EQ(bild[18 * WIDTH + 17], 40);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - (18 * 19 - 1));

    // Wholly outside: nothing drawn, and it still runs its course.
    Leeren();
    GameDel = 0;
    Explose[0].x = 700;
    Explose[0].y = 10;
    for (int f = 0; f < 11; ++f)
        ExploseCompute(0);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT);
    EXPECT_EQ(Explose[0].free, 1);
    ExploseCompute(0);
    EXPECT_EQ(Explose[0].free, 0);
}

TEST_F(Effekte, ExplosionImagesBeyondTheLoadedDataAreNotDrawn)
{
    // A short file holding only images 0..4, in a buffer exactly that long.
    std::vector<unsigned char> kurz(explose.begin(), explose.begin() + 5 * EXPLO_BILD);
    kurz.shrink_to_fit();
    ExploseData = kurz.data();
    ExploseLaenge = static_cast<long>(kurz.size());
    ExploseInsert(50, 50, 10, 22, 1);
    std::vector<int> gezeigt;
    for (int f = 0; f < 12; ++f)
        gezeigt.push_back(Frame(Explosion0, 50, 50));
    const std::vector<int> erwartet = {1, 2, 3, 4, -1, -1, -1, -1, -1, -1, -1, -1};
    EXPECT_EQ(gezeigt, erwartet);
    EXPECT_EQ(Explose[0].free, 0);

    ExploseData = nullptr;
    ExploseLaenge = 0;
    ExploseInsert(50, 50, 10, 22, 1);
    EXPECT_EQ(Frame(Explosion0, 50, 50), -1);
}

TEST_F(Effekte, SmokeShowsSevenImagesThenEnds)
{
    RauchInsert(200, 100);
    std::vector<int> gezeigt;
    for (int f = 0; f < 9; ++f)
        gezeigt.push_back(Frame(Rauch0, 200, 100));
    const std::vector<int> erwartet = {1, 2, 3, 4, 5, 6, 7, -1, -1};
    EXPECT_EQ(gezeigt, erwartet);
    EXPECT_EQ(RauchAnz, 0);
    EXPECT_EQ(Rauch[0].free, 0);

    // With a slower pace image 0 is seen on the frames that are not ticks.
    GameSpeed = 3;
    GameDel = 1;
    RauchInsert(200, 100);
    gezeigt.clear();
    for (int f = 0; f < 4; ++f)
        gezeigt.push_back(Frame(Rauch0, 200, 100));
    EXPECT_EQ(gezeigt, (std::vector<int>{0, 0, 1, 1}));
}

TEST_F(Effekte, SmokeIsClippedAtTheEdges)
{
    GameDel = 1;
    RauchInsert(635, 395);
    RauchCompute(0);
    for (int j = 0; j < 5; ++j)
        EXPECT_EQ(bild[395 * WIDTH + 635 + j], 100 + j);
    EXPECT_EQ(bild[399 * WIDTH + 639], 40);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 25);

    Leeren();
    Rauch[0].x = -13;
    Rauch[0].y = 0;
    RauchCompute(0);
    // Only the rightmost column: the pattern's last byte, the hole, then the body.
    EXPECT_EQ(bild[0], 113);
    EXPECT_EQ(bild[WIDTH], 0);
    EXPECT_EQ(bild[13 * WIDTH], 40);
    EXPECT_EQ(bild[1], 0);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 13);
}

TEST_F(Effekte, SmokeImagesBeyondTheLoadedDataAreNotDrawn)
{
    std::vector<unsigned char> kurz(rauch.begin(), rauch.begin() + 3 * RAUCH_BILD + 10);
    kurz.shrink_to_fit();
    RauchData = kurz.data();
    RauchLaenge = static_cast<long>(kurz.size());
    RauchInsert(10, 10);
    std::vector<int> gezeigt;
    for (int f = 0; f < 8; ++f)
        gezeigt.push_back(Frame(Rauch0, 10, 10));
    EXPECT_EQ(gezeigt, (std::vector<int>{1, 2, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(Rauch[0].free, 0);
}

}  // namespace
