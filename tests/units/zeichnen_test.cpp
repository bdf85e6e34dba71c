// Drawing units into the view buffer: clipping, transparency, protected background, the
// health bar, and frames that the loaded sprites do not hold.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/video.h"
#include "map/maps.h"
#include "startup/file.h"
#include "units/data.h"
#include "units/leute.h"

namespace {

// A made-up sprite sheet: three infantry kinds of 4 frames, 131 vehicle frames, 4 rotor
// frames, back to back and exactly as long as the loaded data.
constexpr int INF_BILDER = 12;
constexpr int KAMPF_BILDER = 131;
constexpr int HELI_BILDER = 4;
constexpr int INF = 20 * 20, KAMPF = 43 * 30, HELI = 53 * 30;

// Every frame is one colour, so the colour in the view tells which frame was drawn.
unsigned char InfFarbe(int n) { return static_cast<unsigned char>(10 + n); }
unsigned char KampfFarbe(int n) { return static_cast<unsigned char>(30 + n); }
unsigned char HeliFarbe(int n) { return static_cast<unsigned char>(170 + n); }

class Zeichnen : public ::testing::Test {
protected:
    std::vector<unsigned char> bild = std::vector<unsigned char>(WIDTH * HEIGHT, 0);
    std::vector<unsigned char> sprites;

    void SetUp() override
    {
        std::memset(Leute, 0, sizeof Leute);
        MAnz = FAnz = NextFree = 0;
        ScrollX = ScrollY = 0;
        SetUpData();
        MANN_DIV = 4;
        R_ANFANG = 1;
        VScreen = bild.data();
        Lade(INF_BILDER, KAMPF_BILDER, HELI_BILDER);
    }

    void TearDown() override
    {
        VScreen = nullptr;
        LeuteData = nullptr;
        LeuteLaenge = 0;
    }

    // Builds the sheet with the given frame counts; the buffer ends where the data ends.
    void Lade(int inf, int kampf, int heli)
    {
        sprites.clear();
        for (int n = 0; n < inf; ++n)
            sprites.insert(sprites.end(), INF, InfFarbe(n));
        KAMPF_START = static_cast<int32_t>(sprites.size());
        for (int n = 0; n < kampf; ++n)
            sprites.insert(sprites.end(), KAMPF, KampfFarbe(n));
        HELI_START = static_cast<int32_t>(sprites.size());
        for (int n = 0; n < heli; ++n)
            sprites.insert(sprites.end(), HELI, HeliFarbe(n));
        sprites.shrink_to_fit();
        LeuteData = sprites.data();
        LeuteLaenge = static_cast<int32_t>(sprites.size());
    }

    unsigned char &Pixel(int x, int y) { return bild[y * WIDTH + x]; }

    int Anzahl(unsigned char farbe)
    {
        int n = 0;
        for (unsigned char b : bild)
            n += b == farbe;
        return n;
    }

    // Only the pixels of one frame colour are in the view, and as many as a whole frame.
    void NurBild(unsigned char farbe, int pixel)
    {
        EXPECT_EQ(Anzahl(farbe), pixel);
        EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - pixel);
    }

    // A 20 x 20 unit in slot 0 whose frame 0 holds `muster` (row by row).
    void EigenesBild(const std::vector<unsigned char> &muster)
    {
        std::copy(muster.begin(), muster.end(), sprites.begin());
        MInsert(0, 0, 0, 0, 0);
    }

    void Stelle(int x, int y)
    {
        Leute[0].x = static_cast<int16_t>(x);
        Leute[0].y = static_cast<int16_t>(y);
    }
};

std::vector<unsigned char> Verlauf()
{
    std::vector<unsigned char> m(INF);
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j)
            m[i * 20 + j] = static_cast<unsigned char>(4 + i * 7 + j);
    return m;
}

TEST_F(Zeichnen, RightEdgeShowsTheLeftPartOfTheFrame)
{
    const auto m = Verlauf();
    EigenesBild(m);
    Stelle(630, 100);
    MSet(0);
    int gemalt = 0;
    for (int i = 0; i < 20; ++i) {
        for (int j = 0; j < 10; ++j) {
            EXPECT_EQ(Pixel(630 + j, 100 + i), m[i * 20 + j]) << i << "," << j;
            ++gemalt;
        }
    }
    // Nothing spills over into the start of the following rows.
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - gemalt);
}

TEST_F(Zeichnen, TopLeftCornerShowsTheLowerRightPart)
{
    const auto m = Verlauf();
    EigenesBild(m);
    Stelle(-5, -3);
    MSet(0);
    for (int i = 0; i < 17; ++i)
        for (int j = 0; j < 15; ++j)
            EXPECT_EQ(Pixel(j, i), m[(i + 3) * 20 + j + 5]) << i << "," << j;
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 17 * 15);

    // The bottom edge and a unit wholly outside.
    std::fill(bild.begin(), bild.end(), 0);
    Stelle(300, 395);
    MSet(0);
    EXPECT_EQ(Pixel(300, 399), m[4 * 20]);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 5 * 20);
    std::fill(bild.begin(), bild.end(), 0);
    Stelle(-20, 100);
    MSet(0);
    Stelle(640, 100);
    MSet(0);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT);
}

TEST_F(Zeichnen, TransparencyAndProtectedBackground)
{
    std::vector<unsigned char> m(INF, 3);
    // Row 0: the sprite byte; row 1 the background under it.
    const unsigned char sprite[] = {3, 0, 255, 77, 77, 77, 3, 200, 1};
    const unsigned char hinten[] = {50, 50, 50, 200, 163, 164, 200, 0, 255};
    const unsigned char erwartet[] = {50, 0, 0, 200, 77, 164, 200, 200, 255};
    for (int j = 0; j < 9; ++j)
        m[j] = sprite[j];
    EigenesBild(m);
    Stelle(200, 100);
    for (int j = 0; j < 9; ++j)
        Pixel(200 + j, 100) = hinten[j];
    Pixel(220, 100) = 99;  // beside the sprite
    MSet(0);
    for (int j = 0; j < 9; ++j)
        EXPECT_EQ(Pixel(200 + j, 100), erwartet[j]) << j;
    EXPECT_EQ(Pixel(220, 100), 99);
    // The transparent rest of the frame writes nothing.
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 8);
}

TEST_F(Zeichnen, LaterUnitCoversEarlierOnlyBelowTheProtection)
{
    MInsert(100, 100, 100, 100, 1);  // frame 4, colour 14
    MInsert(110, 100, 110, 100, 2);  // frame 8, colour 18
    Pixel(115, 110) = 201;           // a spark that stays in front
    Pixel(116, 110) = 103;           // one that is covered
    MSet(0);
    MSet(1);
    EXPECT_EQ(Pixel(105, 110), InfFarbe(4));
    EXPECT_EQ(Pixel(112, 110), InfFarbe(8));
    EXPECT_EQ(Pixel(115, 110), 201);
    EXPECT_EQ(Pixel(116, 110), InfFarbe(8));
}

// Columns of row y holding `farbe`, as first and last column and count.
struct Lauf {
    int erste = -1, letzte = -1, anzahl = 0;
};
Lauf Zeile(const std::vector<unsigned char> &bild, int y, unsigned char farbe)
{
    Lauf l;
    for (int x = 0; x < WIDTH; ++x) {
        if (bild[y * WIDTH + x] == farbe) {
            if (l.erste < 0)
                l.erste = x;
            l.letzte = x;
            ++l.anzahl;
        }
    }
    return l;
}

TEST_F(Zeichnen, HealthBarFillFollowsEnergie)
{
    std::fill(sprites.begin(), sprites.begin() + INF, 3);  // kind 0 frame 0 transparent
    MInsert(100, 100, 100, 100, 0);
    Leute[0].aktive = 1;
    struct Fall {
        int16_t energie;
        int fuellung;
    };
    for (Fall f : {Fall{7, 3}, Fall{20, 10}, Fall{1, 0}, Fall{0, 1}, Fall{-12, 1}}) {
        std::fill(bild.begin(), bild.end(), 0);
        Leute[0].energie = f.energie;
        MSetAkt(0);
        const Lauf oben = Zeile(bild, 100, 110), unten = Zeile(bild, 103, 110);
        EXPECT_EQ(oben.erste, 104);
        EXPECT_EQ(oben.letzte, 115);
        EXPECT_EQ(oben.anzahl, 12);
        EXPECT_EQ(unten.anzahl, 12);
        for (int y : {101, 102}) {
            const Lauf rand = Zeile(bild, y, 110), fuellung = Zeile(bild, y, 96);
            EXPECT_EQ(rand.erste, 104);
            EXPECT_EQ(rand.letzte, 115);
            EXPECT_EQ(rand.anzahl, 2);
            EXPECT_EQ(fuellung.anzahl, f.fuellung) << f.energie;
            if (f.fuellung > 0) {
                EXPECT_EQ(fuellung.erste, 105);
            }
        }
        EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 28 - 2 * f.fuellung) << f.energie;
    }
}

TEST_F(Zeichnen, HealthBarOutlineFitsEachWidth)
{
    struct Fall {
        unsigned char type;
        int16_t energie;
        int links, rechts, fuellung;
    };
    // Helicopter: 28 wide from x + 12, up to 26 filled; vehicle: 23 wide from x + 9, up to 21.
    for (Fall f : {Fall{8, 15, 112, 139, 26}, Fall{8, 8, 112, 139, 13}, Fall{9, 250, 109, 131, 21},
                   Fall{9, 100, 109, 131, 8}}) {
        std::memset(Leute, 0, sizeof Leute);
        MAnz = NextFree = 0;
        Lade(0, 0, 0);  // nothing loaded: only the bar is drawn
        std::fill(bild.begin(), bild.end(), 0);
        MInsert(100, 200, 100, 200, f.type);
        Leute[0].energie = f.energie;
        MSetAkt(0);
        const Lauf oben = Zeile(bild, 200, 110);
        EXPECT_EQ(oben.erste, f.links) << int(f.type);
        EXPECT_EQ(oben.letzte, f.rechts) << int(f.type);
        EXPECT_EQ(oben.anzahl, f.rechts - f.links + 1);
        const Lauf fuellung = Zeile(bild, 202, 96);
        EXPECT_EQ(fuellung.erste, f.links + 1);
        EXPECT_EQ(fuellung.anzahl, f.fuellung) << int(f.type) << " " << f.energie;
        EXPECT_EQ(Zeile(bild, 203, 110).anzahl, f.rechts - f.links + 1);
    }
}

TEST_F(Zeichnen, HealthBarIgnoresProtectionAndIsClipped)
{
    std::fill(sprites.begin(), sprites.begin() + INF, 3);
    MInsert(0, 0, 0, 0, 0);
    Stelle(100, 100);
    Pixel(104, 100) = 200;
    Pixel(105, 101) = 250;
    MSetAkt(0);
    EXPECT_EQ(Pixel(104, 100), 110);
    EXPECT_EQ(Pixel(105, 101), 96);

    // Cut at the right and bottom edges: only the pixels inside are written.
    std::fill(bild.begin(), bild.end(), 0);
    Stelle(630, 398);
    MSetAkt(0);
    EXPECT_EQ(Zeile(bild, 398, 110).erste, 634);
    EXPECT_EQ(Zeile(bild, 398, 110).anzahl, 6);
    EXPECT_EQ(Zeile(bild, 399, 96).anzahl, 5);
    EXPECT_EQ(Zeile(bild, 399, 110).anzahl, 1);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 12);

    // Cut at the left and top edges.
    std::fill(bild.begin(), bild.end(), 0);
    Stelle(-10, -2);
    MSetAkt(0);
    EXPECT_EQ(Pixel(0, 0), 96);
    EXPECT_EQ(Pixel(4, 0), 96);
    EXPECT_EQ(Pixel(5, 0), 110);
    EXPECT_EQ(Pixel(0, 1), 110);
    EXPECT_EQ(Pixel(5, 1), 110);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 12);
}

TEST_F(Zeichnen, HelicopterBeyondItsRotorFramesShowsItsRotorFrame)
{
    MInsert(100, 100, 100, 100, 8);
    // An attack frame of the infantry ranges: far beyond the four rotor frames.
    Leute[0].shape = static_cast<int16_t>(8 * MANN_DIV + 1);
    MSet(0);
    NurBild(HeliFarbe(1), HELI);

    std::fill(bild.begin(), bild.end(), 0);
    Leute[0].shape = 32000;
    MSet(0);
    NurBild(HeliFarbe(0), HELI);

    std::fill(bild.begin(), bild.end(), 0);
    Leute[0].shape = 3;
    MSet(0);
    NurBild(HeliFarbe(3), HELI);

    // With only two rotor frames loaded, rotor frame 3 falls back to frame 0.
    Lade(INF_BILDER, KAMPF_BILDER, 2);
    Leute[0].shape_start = HELI_START;
    std::fill(bild.begin(), bild.end(), 0);
    Leute[0].shape = 7;
    MSet(0);
    NurBild(HeliFarbe(0), HELI);
}

TEST_F(Zeichnen, VehicleBeyondItsFramesShowsItsFacing)
{
    MInsert(100, 100, 100, 100, 9);
    Leute[0].shape = 130;
    MSet(0);
    NurBild(KampfFarbe(130), KAMPF);

    // The track frames (facing + 160) are not loaded in this sheet.
    std::fill(bild.begin(), bild.end(), 0);
    Leute[0].shape = 290;
    MSet(0);
    NurBild(KampfFarbe(130), KAMPF);

    std::fill(bild.begin(), bild.end(), 0);
    Leute[0].shape = 140;
    MSet(0);
    NurBild(KampfFarbe(0), KAMPF);
}

TEST_F(Zeichnen, InfantryBeyondTheSheetShowsItsStandingFrame)
{
    // Kind 2 owns frames 8..11; its standing frame is 9.
    MInsert(100, 100, 100, 100, 2);
    Leute[0].shape = 2000;
    MSet(0);
    NurBild(InfFarbe(9), INF);

    std::fill(bild.begin(), bild.end(), 0);
    Leute[0].shape = -1;
    MSet(0);
    NurBild(InfFarbe(9), INF);

    // A sheet that ends inside kind 2: only its first frame is there.
    Lade(9, 0, 0);
    std::fill(bild.begin(), bild.end(), 0);
    Leute[0].shape = 10;
    MSet(0);
    NurBild(InfFarbe(8), INF);

    // Kind 3 has no frame at all in this sheet: nothing is drawn.
    FInsert(200, 100, 200, 100, 3);
    std::fill(bild.begin(), bild.end(), 0);
    MSet(1);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT);
}

TEST_F(Zeichnen, LayoutNumbersThatDoNotFitTheSheetDrawNothing)
{
    MANN_DIV = 1000;
    R_ANFANG = 5;
    MInsert(100, 100, 100, 100, 1);
    FInsert(150, 100, 150, 100, 6);
    Leute[1].aktive = 1;
    MSet(0);
    MSetAkt(1);
    // Only the health bar of the selected unit reaches the view.
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT - 28 - 20);

    LeuteData = nullptr;
    LeuteLaenge = 0;
    MANN_DIV = 4;
    std::fill(bild.begin(), bild.end(), 0);
    MSet(0);
    EXPECT_EQ(Anzahl(0), WIDTH * HEIGHT);
}

}  // namespace
