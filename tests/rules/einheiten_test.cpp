// Unit and effect rules random play seldom reaches: odd kinds, full tables, frames past the sprites, view edges.
#include <array>

#include "ggi/present.h"
#include "regeln.h"

namespace {

using namespace regeln;

TEST(Einheiten, UnitTableKeepsEachSidesLimitAndTheLowestFreeSlot)
{
    // 'M'/'F' inserts `mal` units of kind `art`, 'D' kills slot `art` with no explosion slot free; then the counts.
    const struct {
        char op;
        int art, mal, frei, m, f;
    } schritte[] = {
        {'M', 0, 5, 5, 5, 0},   {'D', 2, 1, 2, 4, 0},    {'F', 4, 1, 5, 4, 1},     {'M', 10, 1, 5, 4, 1},
        {'F', 255, 1, 5, 4, 1}, {'M', 3, 60, 50, 49, 1}, {'F', 7, 60, 98, 49, 49}, {'D', 0, 1, 0, 48, 49},
    };
    Leeren();
    for (const auto &s : schritte) {
        for (int i = 0; i < s.mal; ++i) {
            while (s.op == 'D' && EAnz < 199)
                ExploseInsert(0, 0, 10, 22, 1);
            if (s.op == 'D')
                Leute[s.art].energie = 0, IsDead(short(s.art));
            else
                (s.op == 'M' ? MInsert : FInsert)(0, 0, 0, 0, static_cast<unsigned char>(s.art));
        }
        EXPECT_EQ((std::array<int, 3>{NextFree, MAnz, FAnz}), (std::array<int, 3>{s.frei, s.m, s.f})) << s.op << s.art;
    }
}

TEST(Einheiten, SpritePixelsAtTheViewsEdges)
{
    // A trooper all of byte `b` at (x, y) over the background `h`; under eight columns wide it goes pixel by pixel.
    const struct {
        int x, y;
        unsigned char b, h, soll;
        int gemalt;
    } faelle[] = {
        {633, 100, 77, 163, 77, 140}, {633, 100, 77, 164, 164, 0}, {633, 100, 255, 50, 0, 140},
        {633, 100, 3, 50, 50, 0},     {-15, 390, 0, 163, 0, 50},   {300, -12, 77, 163, 77, 160},
        {300, -12, 77, 164, 164, 0},  {300, -12, 255, 50, 0, 160}, {620, 380, 3, 50, 50, 0},
    };
    for (const auto &f : faelle) {
        Leeren(f.h);
        static std::vector<unsigned char> satz;
        satz.assign(400, f.b), LeuteData = satz.data(), LeuteLaenge = 400;
        MInsert(0, 0, 0, 0, 0);
        Leute[0].x = int16_t(f.x), Leute[0].y = int16_t(f.y);
        MSet(0);
        EXPECT_EQ(bild[std::max(f.y, 0) * WIDTH + std::max(f.x, 0)], f.soll) << f.x << ", " << f.y;
        EXPECT_EQ(Gemalt(f.h), f.gemalt) << f.x << ", " << f.y;
    }
}

TEST(Einheiten, FramesPastTheLoadedSpritesShowTheKindsOwnPicture)
{
    // Frame n of the infantry, vehicle and rotor sets has colour 10, 30, 170 + n; the data ends with the last set.
    const struct {
        unsigned char art;
        int infanterie, wagen, rotor, bild, farbe;
    } faelle[] = {
        {8, 12, 131, 4, 33, 171},  {8, 12, 131, 4, 3, 173},  {8, 12, 131, 2, 7, 170},  // attack, last, missing rotor
        {9, 12, 131, 4, 290, 160}, {9, 12, 131, 4, 140, 30},                           // track frames not loaded
        {2, 12, 131, 4, 2000, 19}, {2, 9, 0, 0, 10, 18},     {3, 9, 0, 0, 12, 0},      // standing, first, none
    };
    for (const auto &f : faelle) {
        Leeren();
        static std::vector<unsigned char> daten;
        auto satz = [](int bilder, int groesse, int farbe) {
            for (int n = 0; n < bilder; ++n)
                daten.insert(daten.end(), groesse, static_cast<unsigned char>(farbe + n));
            return int32_t(daten.size());
        };
        daten.clear(), KAMPF_START = satz(f.infanterie, 400, 10), HELI_START = satz(f.wagen, 43 * 30, 30),
                       satz(f.rotor, 53 * 30, 170);
        LeuteData = daten.data(), LeuteLaenge = int32_t(daten.size());
        MInsert(100, 100, 100, 100, f.art);
        Leute[0].shape = int16_t(f.bild);
        MSet(0);
        EXPECT_EQ(bild[100 * WIDTH + 100], f.farbe) << int(f.art) << " frame " << f.bild;
    }
}

TEST(Einheiten, SparksLandOnlyInTheViewNearTheTarget)
{
    for (auto [x, y] : std::initializer_list<std::array<int, 2>>{{620, 380}, {-19, 100}, {300, -19}})
        for (int n = 0; n < 200; ++n) {
            Leeren();
            MInsert(0, 0, 0, 0, 0), FInsert(0, 0, 0, 0, 4);
            Leute[0].who = 1, Leute[1].x = int16_t(x), Leute[1].y = int16_t(y), ShowGoderAttack(0);
            int aussen = 0;
            for (int i = 0; i < int(bild.size()); ++i)
                aussen += bild[i] && (i % WIDTH < x - 1 || i % WIDTH > x + 20 || i / WIDTH < y ||
                                      i / WIDTH > std::min(y + 20, 399));
            ASSERT_EQ(aussen, 0) << x << ", " << y;
        }
}

TEST(Einheiten, WalkingOffTheTablesAndAFullDetourStack)
{
    // Obstacles everywhere but past the 100 x 100 tables; a push writes two entries of the 20 on the stack.
    const struct {
        int ax, ay, dx, dy, stapel, nachStapel, nachX, nachY;
    } faelle[] = {
        {1990, 1000, 1995, 1000, 0, 0, 1991, 1000},   {1000, 1990, 1000, 1995, 0, 0, 1000, 1991},
        {-25, 1000, -40, 1000, 0, 0, -26, 1000},      {1000, -25, 1000, -40, 0, 0, 1000, -26},
        {2030, -30, 1990, 10, 0, 0, 2029, -29},       {1960, 1980, 1990, 1980, 18, 19, 1959, 1979},
        {1960, 1980, 1990, 1980, 19, 19, 1961, 1980},
    };
    for (const auto &f : faelle) {
        Leeren();
        std::fill(&Karte[0][0], &Karte[0][0] + KARTE_MAX * KARTE_MAX, int16_t(500));
        MInsert(int16_t(f.ax), int16_t(f.ay), int16_t(f.dx), int16_t(f.dy), 0);
        Leute[0].d1count = uint8_t(f.stapel);
        MannMove(0);
        EXPECT_EQ((std::array<int, 3>{Leute[0].d1count, Leute[0].ax, Leute[0].ay}),
                  (std::array{f.nachStapel, f.nachX, f.nachY}))
            << f.ax;
    }
}

TEST(Einheiten, DestinationsOffTheTablesAreDroppedAndDistancesDoNotWrap)
{
    // A trooper at (100, 100) is sent to (dx, dy) and acts; tile (10, 10) holds `kachel`.
    const struct {
        int dx, dy, kachel;
        bool bleibt;
    } faelle[] = {
        {205, 210, 97, false}, {205, 210, 96, true},  {-30, 100, 0, false}, {100, -20, 0, false},
        {2000, 100, 0, false}, {100, 2000, 0, false}, {-5, 100, 0, true},  // column 0 by truncation
    };
    for (const auto &f : faelle) {
        Leeren();
        Karte[10][10] = int16_t(f.kachel);
        MInsert(100, 100, int16_t(f.dx), int16_t(f.dy), 0);
        MVerhalten(0);
        EXPECT_EQ((std::array<int, 2>{Leute[0].dx, Leute[0].dy}),
                  (std::array{f.bleibt ? f.dx : 100, f.bleibt ? f.dy : 100}))
            << f.dx;
    }
    // The far ends of the 16-bit coordinates are far apart, however the squares are worked out.
    MInsert(32767, 0, 32767, 0, 9), FInsert(-32768, 0, -32768, 0, 4);
    EXPECT_EQ(ScanInRange(1, 2), 0);
}

TEST(Einheiten, EffectTablesKeepTheirLimitAndLowestFreeEntryAndABoltAtItsAimStrikesAtOnce)
{
    Leeren();
    for (int i = 0; i < 200; ++i)
        ExploseInsert(short(i), 0, 10, 22, 1), RauchInsert(short(i), 0);
    EXPECT_EQ((std::array<int, 6>{EAnz, ExploseNextFree, Explose[199].free, RauchAnz, RauchNextFree, Rauch[199].free}),
              (std::array{199, 199, 0, 199, 199, 0}));
    // The slot a kind-1 explosion left takes one of another kind: nothing to draw, gone at its first tick.
    EDelete(150), RauchDelete(7), RauchDelete(5);
    ExploseInsert(500, 300, 10, 22, 2), RauchInsert(77, 0);
    EXPECT_EQ((std::array<int, 4>{ExploseNextFree, Rauch[5].x, RauchNextFree, Explose[150].x}),
              (std::array{199, 77, 7, 500}));
    ExploseCompute(150);
    EXPECT_EQ(Explose[150].free + Gemalt(), 0);
    // A laser aimed at its own start has no way to fly: it strikes there at once.
    MInsert(1500, 1500, 1500, 1500, 2), FInsert(95, 45, 95, 45, 4);
    Leute[0].zx = 100, Leute[0].zy = 50, GameDel = 1;
    LaserInsert(100, 50, 0), LaserCompute(0);
    EXPECT_EQ((std::array<int, 3>{Laser[0].free, Laser[0].l.x, Leute[1].energie}), (std::array{0, 100, 20 - 7}));
}

// The window shows an 8-bit picture through the palette: every pixel of a row of any length, and no more.
TEST(Bildzeilen, WindowRowsOfEveryLengthTakeEachPixelsColour)
{
    uint32_t tabelle[256], ziel[21];
    for (uint32_t i = 0; i < 256; ++i)
        tabelle[i] = 0xff000000u | i << 12 | (255 - i);
    const uint8_t quelle[20] = {3, 200, 0, 255, 9, 77, 1, 2, 250, 13, 0, 8, 99, 5, 6, 7, 44, 45, 46, 47};
    for (size_t n = 0; n <= 20; ++n) {
        std::fill(ziel, ziel + 21, 1u), ggi::expand8(quelle, n, tabelle, ziel);
        for (size_t i = 0; i <= n; ++i)
            EXPECT_EQ(ziel[i], i < n ? tabelle[quelle[i]] : 1u) << n << " pixels, pixel " << i;
    }
}

}  // namespace
