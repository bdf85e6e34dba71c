// Unit and effect rules random play seldom reaches: odd kinds, full tables, frames past the sprites, view edges.
#include <numeric>

#include "regeln.h"
#include <ggi/testing.h>

TEST(Einheiten, UnitTableKeepsEachSidesLimitAndTheLowestFreeSlot)
{
    // 'M'/'F' inserts `mal` units of kind `art`, 'D' kills slot `art` with no explosion slot free; then the counts.
    const std::tuple<char, int, int, int, int, int> schritte[] = {
        {'M', 0, 5, 5, 5, 0},    {'D', 2, 0, 2, 4, 0},     {'F', 4, 1, 5, 4, 1},   {'M', 10, 1, 5, 4, 1},
        {'M', 3, 60, 50, 49, 1}, {'F', 7, 60, 98, 49, 49}, {'D', 0, 0, 0, 48, 49},
    };
    Leeren();
    for (int i = 0; i < 199; ++i)
        ExploseInsert(0, 0, 10, 22, 1);
    for (const auto &[op, art, mal, frei, m, f] : schritte) {
        for (int i = 0; i < mal; ++i)
            (op == 'M' ? MInsert : FInsert)(0, 0, 0, 0, static_cast<unsigned char>(art));
        if (op == 'D')
            Leute[art].energie = 0, IsDead(short(art));
        EXPECT_EQ((std::vector<int>{NextFree, MAnz, FAnz}), (std::vector<int>{frei, m, f})) << op << art;
    }
}

TEST(Einheiten, SpritePixelsAtTheViewsEdges)
{
    // A trooper all of byte `b` at (x, y) over the background `h`; under eight columns wide it goes pixel by pixel.
    const std::tuple<int, int, unsigned char, unsigned char, int, int> faelle[] = {
        {633, 100, 77, 163, 77, 140}, {633, 100, 77, 164, 164, 0}, {633, 100, 255, 50, 0, 140},
        {633, 100, 3, 50, 50, 0},     {-15, 390, 0, 163, 0, 50},   {300, -12, 77, 163, 77, 160},
        {300, -12, 77, 164, 164, 0},  {300, -12, 255, 50, 0, 160}, {620, 380, 3, 50, 50, 0},
    };
    for (const auto &[x, y, b, h, soll, gemalt] : faelle) {
        Leeren(h);
        static std::vector<unsigned char> satz;  // the sprites stay where LeuteData points
        satz.assign(400, b);
        LeuteData = satz.data(), LeuteLaenge = 400;
        MInsert(0, 0, 0, 0, 0);
        Leute[0].x = int16_t(x), Leute[0].y = int16_t(y);
        MSet(0);
        EXPECT_EQ(VScreen[std::max(y, 0) * WIDTH + std::max(x, 0)], soll) << x << ", " << y;
        EXPECT_EQ(Gemalt(h), gemalt) << x << ", " << y;
    }
}

TEST(Einheiten, FramesPastTheLoadedSpritesShowTheKindsOwnPicture)
{
    // Frame n of the infantry, vehicle and rotor sets has colour 10, 30, 170 + n; the data ends with the last set.
    const std::tuple<unsigned char, int, int, int, int, int> faelle[] = {
        {8, 12, 131, 4, 33, 171},  {8, 12, 131, 4, 3, 173},  {8, 12, 131, 2, 7, 170},  // attack, last, missing rotor
        {9, 12, 131, 4, 290, 160}, {9, 12, 131, 4, 140, 30},                           // track frames not loaded
        {2, 12, 131, 4, 2000, 19}, {2, 9, 0, 0, 10, 18},     {3, 9, 0, 0, 12, 0},      // standing, first, none
    };
    for (const auto &[art, infanterie, wagen, rotor, nummer, farbe] : faelle) {
        Leeren();
        static std::vector<unsigned char> daten;
        daten.clear();
        const int saetze[3][3] = {{infanterie, 400, 10}, {wagen, 43 * 30, 30}, {rotor, 53 * 30, 170}};
        for (const auto &[bilder, groesse, erste] : saetze)
            for (int n = 0; n < bilder; ++n)
                daten.insert(daten.end(), groesse, static_cast<unsigned char>(erste + n));
        KAMPF_START = 400 * infanterie, HELI_START = KAMPF_START + 43 * 30 * wagen;
        LeuteData = daten.data(), LeuteLaenge = int32_t(daten.size());
        MInsert(100, 100, 100, 100, art);
        Leute[0].shape = int16_t(nummer);
        MSet(0);
        EXPECT_EQ(VScreen[100 * WIDTH + 100], farbe) << int(art) << " frame " << nummer;
    }
}

TEST(Einheiten, SparksLandOnlyInTheViewNearTheTarget)
{
    for (auto [x, y] : std::initializer_list<std::pair<int, int>>{{620, 380}, {-19, 100}, {300, -19}})
        for (int n = 0; n < 200; ++n) {
            Leeren();
            Leute[0].who = 1, Leute[1].x = int16_t(x), Leute[1].y = int16_t(y), ShowGoderAttack(0);
            int innen = 0;
            for (int zeile = std::max(y, 0); zeile <= std::min(y + 20, HEIGHT - 1); ++zeile)
                for (int spalte = std::max(x - 1, 0); spalte <= std::min(x + 20, WIDTH - 1); ++spalte)
                    innen += VScreen[zeile * WIDTH + spalte] != 0;
            ASSERT_EQ(Gemalt(), innen) << x << ", " << y;
        }
}

TEST(Einheiten, WalkingOffTheTablesAndAFullDetourStack)
{
    // Obstacles everywhere but past the 100 x 100 tables; a push writes two entries of the 20 on the stack.
    const std::tuple<int, int, int, int, int, int, int, int> faelle[] = {
        {1990, 1000, 1995, 1000, 0, 0, 1991, 1000},   {1000, 1990, 1000, 1995, 0, 0, 1000, 1991},
        {-25, 1000, -40, 1000, 0, 0, -26, 1000},      {1000, -25, 1000, -40, 0, 0, 1000, -26},
        {2030, -30, 1990, 10, 0, 0, 2029, -29},       {1960, 1980, 1990, 1980, 18, 19, 1959, 1979},
        {1960, 1980, 1990, 1980, 19, 19, 1961, 1980},
    };
    for (const auto &[ax, ay, dx, dy, stapel, nachStapel, nachX, nachY] : faelle) {
        Leeren();
        std::fill(&Karte[0][0], &Karte[0][0] + KARTE_MAX * KARTE_MAX, int16_t(500));
        MInsert(int16_t(ax), int16_t(ay), int16_t(dx), int16_t(dy), 0);
        MANN &m = Leute[0];
        m.d1count = uint8_t(stapel);
        MannMove(0);
        EXPECT_EQ((std::vector<int>{m.d1count, m.ax, m.ay}), (std::vector<int>{nachStapel, nachX, nachY})) << ax;
    }
}

TEST(Einheiten, DestinationsOffTheTablesAreDroppedAndDistancesDoNotWrap)
{
    // A trooper at (100, 100) is sent to (dx, dy) and acts; tile (10, 10) holds `kachel`.
    const std::tuple<int, int, int, bool> faelle[] = {
        {205, 210, 97, false}, {205, 210, 96, true},  {-30, 100, 0, false}, {100, -20, 0, false},
        {2000, 100, 0, false}, {100, 2000, 0, false}, {-5, 100, 0, true},  // column 0 by truncation
    };
    for (const auto &[dx, dy, kachel, bleibt] : faelle) {
        Leeren();
        Karte[10][10] = int16_t(kachel);
        MInsert(100, 100, int16_t(dx), int16_t(dy), 0);
        MVerhalten(0);
        EXPECT_EQ(Leute[0].dx, bleibt ? dx : 100) << dx << ", " << dy;
        EXPECT_EQ(Leute[0].dy, bleibt ? dy : 100) << dx << ", " << dy;
    }
    // The far ends of the 16-bit coordinates are far apart, however the squares are worked out.
    MInsert(32767, 0, 32767, 0, 9), FInsert(-32768, 0, -32768, 0, 4);
    EXPECT_EQ(ScanInRange(1, 2), 0);
}

TEST(Einheiten, ExplosionsKeepTheirLimitAndLowestFreeEntryAndABoltAtItsAimStrikesAtOnce)
{
    Leeren();
    for (int i = 0; i < 200; ++i)
        ExploseInsert(short(i), 0, 10, 22, 1);
    EXPECT_EQ((std::vector<int>{EAnz, ExploseNextFree, Explose[199].free}), (std::vector<int>{199, 199, 0}));
    // The slot a kind-1 explosion left takes one of another kind: nothing to draw, gone at its first tick.
    EDelete(7), EDelete(5), ExploseInsert(500, 300, 10, 22, 2);
    EXPECT_EQ((std::vector<int>{ExploseNextFree, Explose[5].x}), (std::vector<int>{7, 500}));
    ExploseCompute(5);
    EXPECT_EQ(Explose[5].free + Gemalt(), 0);
    // A laser aimed at its own start has no way to fly: it strikes there at once.
    MInsert(1500, 1500, 1500, 1500, 2), FInsert(95, 45, 95, 45, 4);
    Leute[0].zx = 100, Leute[0].zy = 50, GameDel = 1;
    LaserInsert(100, 50, 0), LaserCompute(0);
    EXPECT_EQ((std::vector<int>{Laser[0].free, Laser[0].l.x, Leute[1].energie}), (std::vector<int>{0, 100, 20 - 7}));
    // One leaving the view at its foot is drawn down to the view's last row and not a row further.
    Leeren(), MInsert(1500, 1500, 1500, 1500, 2), Leute[0].zx = 100, Leute[0].zy = 460, GameDel = 1;
    LaserInsert(100, 396, 0), LaserCompute(0);
    EXPECT_EQ((std::vector<long>{VScreen[(HEIGHT - 1) * WIDTH + 100] != 0, Gemalt()}), (std::vector<long>{1, 3}));
}

TEST(Bildzeilen, WindowRowsOfEveryLengthTakeEachPixelsColourThroughThePaletteAndNoMore)
{
    // The table: each entry opaque, the high byte of each component, and the word past its end untouched.
    ggi_color farben[257] = {};
    for (int i = 0; i < 256; ++i)
        farben[i] = {uint16_t(i << 8 | 0xff), 0x1234, uint16_t((255 - i) << 8), 0};
    uint32_t tabelle[257], ziel[21];
    tabelle[256] = 1, ggi::argb_table(farben, tabelle);
    EXPECT_EQ((std::vector<uint32_t>{tabelle[0], tabelle[200], tabelle[256]}),
              (std::vector<uint32_t>{0xff0012ff, 0xffc81237, 1}));
    const uint8_t quelle[20] = {3, 200, 0, 255, 9, 77, 1, 2, 250, 13, 0, 8, 99, 5, 6, 7, 44, 45, 46, 47};
    for (size_t n = 0; n <= 20; ++n) {
        std::fill(ziel, ziel + 21, 1u), ggi::expand8(quelle, n, tabelle, ziel);
        for (size_t i = 0; i <= n; ++i)
            EXPECT_EQ(ziel[i], i < n ? tabelle[quelle[i]] : 1u) << n << " pixels, pixel " << i;
    }
}
