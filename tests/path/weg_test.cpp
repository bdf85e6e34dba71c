// Route planning on hand-made maps and on many random ones.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "map/maps.h"
#include "path/weg.h"
#include "units/vardefs.h"

namespace {

using Punkte = std::vector<std::pair<int, int>>;

constexpr int16_t MAUER = 100;  // an obstacle tile

void LeereKarte(int feldX = 50, int feldY = 50)
{
    std::memset(Karte, 0, sizeof Karte);
    std::memset(XKarte, 0, sizeof XKarte);
    std::memset(YKarte, 0, sizeof YKarte);
    std::memset(Leute, 0, sizeof Leute);
    FeldX = static_cast<int16_t>(feldX);
    FeldY = static_cast<int16_t>(feldY);
}

// Obstacle tiles over the columns x0..x1 and rows y0..y1, both inclusive.
void Mauer(int x0, int y0, int x1, int y1)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            Karte[y][x] = MAUER;
}

// The d1 stack is filled with a pattern the planner must leave alone.
void FuelleD1(MANN &m)
{
    for (int i = 0; i < UMWEG_LAENGE; ++i)
        m.d1[i] = {static_cast<int16_t>(-1000 - i), static_cast<int16_t>(1000 + i)};
}

bool D1Unberuehrt(const MANN &m)
{
    for (int i = 0; i < UMWEG_LAENGE; ++i)
        if (m.d1[i].x != -1000 - i || m.d1[i].y != 1000 + i)
            return false;
    return true;
}

// A move order as the game gives it: target written, counters cleared, then the planner.
MANN &Befehl(int ax, int ay, int dx, int dy, short slot = 0)
{
    MANN &m = Leute[slot];
    m.free = 1;
    m.ax = static_cast<int16_t>(ax);
    m.ay = static_cast<int16_t>(ay);
    m.dx = static_cast<int16_t>(dx);
    m.dy = static_cast<int16_t>(dy);
    m.attack = 0;
    m.dcount = 0;
    m.d1count = 0;
    FuelleD1(m);
    WegSuchen(slot);
    return m;
}

Punkte Weg(const MANN &m)
{
    Punkte p;
    for (int i = 0; i < m.dmax; ++i)
        p.emplace_back(m.d[i].x, m.d[i].y);
    return p;
}

void PruefeErgebnis(const MANN &m, int dx, int dy)
{
    ASSERT_GE(m.dmax, 1);
    ASSERT_LE(m.dmax, WEG_LAENGE);
    EXPECT_EQ(m.d[m.dmax - 1].x, dx);
    EXPECT_EQ(m.d[m.dmax - 1].y, dy);
    EXPECT_EQ(m.dcount, 0);
    EXPECT_EQ(m.dx, m.d[0].x);
    EXPECT_EQ(m.dy, m.d[0].y);
    EXPECT_TRUE(D1Unberuehrt(m));
}

class Wegsuche : public ::testing::Test {
protected:
    void SetUp() override { LeereKarte(); }
    // Run tables for the map as the start-up builds them.
    static void Laeufe() { InitXYKarte(); }
};

TEST_F(Wegsuche, OpenGroundGivesOnlyTheTarget)
{
    Laeufe();
    // Diagonal, then straight.
    const MANN &a = Befehl(100, 100, 500, 300);
    PruefeErgebnis(a, 500, 300);
    EXPECT_EQ(a.dmax, 1);
    // Start tile equal to the target tile: the pixel itself is kept.
    const MANN &b = Befehl(100, 100, 115, 119);
    PruefeErgebnis(b, 115, 119);
    EXPECT_EQ(b.dmax, 1);
    EXPECT_EQ(b.dx, 115);
    EXPECT_EQ(b.dy, 119);
}

TEST_F(Wegsuche, WallBelowIsPassedInFourWaypoints)
{
    // Row 8, columns 5..11; the corner column 11 goes down to row 10.
    Mauer(5, 8, 11, 8);
    Mauer(11, 9, 11, 10);
    Laeufe();
    const MANN &m = Befehl(200, 100, 205, 305);
    // Current tile, side step to the right of the run (nearer end), below the corner's run.
    EXPECT_EQ(Weg(m), (Punkte{{200, 140}, {240, 140}, {240, 220}, {205, 305}}));
    PruefeErgebnis(m, 205, 305);
}

TEST_F(Wegsuche, EqualDistancesTakeTheLeftOrUpperSide)
{
    // Down: row 8, columns 7..12, the unit in column 10.
    Mauer(7, 8, 12, 8);
    Laeufe();
    EXPECT_EQ(Weg(Befehl(200, 100, 200, 300)), (Punkte{{200, 140}, {120, 140}, {120, 180}, {200, 300}}));

    // Up: row 10, columns 7..12; the far point lies 30 pixels before the run.
    LeereKarte();
    Mauer(7, 10, 12, 10);
    Laeufe();
    EXPECT_EQ(Weg(Befehl(200, 300, 200, 40)), (Punkte{{200, 220}, {120, 220}, {120, 170}, {200, 40}}));

    // Right: column 8, rows 7..12, the unit in row 10.
    LeereKarte();
    Mauer(8, 7, 8, 12);
    Laeufe();
    EXPECT_EQ(Weg(Befehl(100, 200, 300, 200)), (Punkte{{140, 200}, {140, 120}, {180, 120}, {300, 200}}));

    // Left.
    EXPECT_EQ(Weg(Befehl(300, 200, 40, 200)), (Punkte{{180, 200}, {180, 120}, {130, 120}, {40, 200}}));
}

TEST_F(Wegsuche, RunFromTheLeftEdgeIsPassedOnTheRight)
{
    // Columns 0..9 of row 8: the left end is nearer, the right side is taken all the same.
    Mauer(0, 8, 9, 8);
    Laeufe();
    const MANN &m = Befehl(40, 100, 40, 240);
    EXPECT_EQ(Weg(m), (Punkte{{40, 140}, {200, 140}, {200, 180}, {40, 240}}));
    PruefeErgebnis(m, 40, 240);
}

TEST_F(Wegsuche, RunAcrossTheWholeRowStaysOnTheMap)
{
    // No column beside the run: the side step stops at column 0 instead of pixel -20.
    Mauer(0, 8, 49, 8);
    Laeufe();
    const MANN &m = Befehl(100, 100, 100, 240);
    EXPECT_EQ(Weg(m), (Punkte{{100, 140}, {0, 140}, {0, 180}, {100, 240}}));
    PruefeErgebnis(m, 100, 240);
}

TEST_F(Wegsuche, MoveUpContinuesInTheRowBeforeTheRun)
{
    // A block over rows 10..12; its corner column's run starts at row 10.
    Mauer(8, 10, 12, 12);
    // Two tiles in row 8 that the next pass meets at once, so its first point shows the row
    // the walk went on from.
    Mauer(7, 8, 8, 8);
    Laeufe();
    const MANN &m = Befehl(200, 300, 200, 100);
    EXPECT_EQ(Weg(m), (Punkte{{200, 260}, {140, 260}, {140, 170},
                               {140, 180}, {120, 180}, {120, 130},
                               {200, 100}}));
    PruefeErgebnis(m, 200, 100);
}

TEST_F(Wegsuche, BlockedDiagonalStepCanWriteTwoDetoursInOnePass)
{
    Mauer(3, 8, 8, 8);    // below the last open tile (7, 7)
    Mauer(8, 4, 8, 8);    // right of it
    Mauer(10, 9, 10, 12);  // right of where the first detour leaves the walk
    Laeufe();
    const MANN &m = Befehl(100, 100, 300, 300);
    EXPECT_EQ(Weg(m), (Punkte{{140, 140}, {180, 140}, {180, 180},
                               {180, 180}, {180, 160}, {220, 160},
                               {300, 300}}));
    PruefeErgebnis(m, 300, 300);
}

TEST_F(Wegsuche, OnlyTheDiagonalTileBlocks)
{
    // The straight neighbours (5, 6) and (6, 5) are open; the run in the way is the one
    // through the diagonal tile, passed along the walk's own column.
    Mauer(6, 6, 9, 6);
    Mauer(6, 7, 6, 8);
    Laeufe();
    const MANN &m = Befehl(100, 100, 300, 300);
    EXPECT_EQ(Weg(m), (Punkte{{100, 100}, {100, 100}, {100, 180}, {300, 300}}));
    PruefeErgebnis(m, 300, 300);

    // Going up and to the left past a run that ends just left of the walk.
    LeereKarte();
    Mauer(1, 4, 4, 4);
    Mauer(4, 2, 4, 3);
    Laeufe();
    const MANN &n = Befehl(100, 100, 0, 0);
    EXPECT_EQ(Weg(n), (Punkte{{100, 100}, {100, 100}, {100, 10}, {0, 0}}));
    PruefeErgebnis(n, 0, 0);
}

TEST_F(Wegsuche, TargetInsideAnObstacleEndsAfterEighteenPoints)
{
    Mauer(10, 10, 14, 14);
    Laeufe();
    const MANN &m = Befehl(240, 40, 245, 245);
    const Punkte runde = {{180, 300}, {180, 300}, {180, 170}, {180, 180}, {180, 180}, {180, 300}};
    Punkte erwartet = {{240, 180}, {180, 180}, {180, 300}};
    for (int i = 0; i < 2; ++i)
        erwartet.insert(erwartet.end(), runde.begin(), runde.end());
    erwartet.insert(erwartet.end(), runde.begin(), runde.begin() + 3);
    erwartet.emplace_back(245, 245);
    EXPECT_EQ(Weg(m), erwartet);
    EXPECT_EQ(m.dmax, 19);
    PruefeErgebnis(m, 245, 245);
}

TEST_F(Wegsuche, LastPassAfterFifteenPointsStillFits)
{
    // A block in the top-left corner of the map around an unreachable target: the walk
    // circles it with six-point passes, the last one starting at 15 points written. The far
    // points at the top edge stay in row 0 (-10) instead of leaving the map (-30).
    Mauer(4, 0, 7, 3);
    Laeufe();
    const MANN &m = Befehl(60, 0, 85, 5);
    const Punkte rechts = {{160, 80}, {160, 80}, {160, -10}, {160, 0}, {160, 80}, {50, 80}};
    const Punkte links = {{60, 80}, {60, 80}, {60, -10}, {60, 0}, {60, 80}, {160, 80}};
    Punkte erwartet = {{60, 0}, {60, 80}, {160, 80}};
    for (const Punkte *runde : {&rechts, &links, &rechts})
        erwartet.insert(erwartet.end(), runde->begin(), runde->end());
    erwartet.emplace_back(85, 5);
    EXPECT_EQ(Weg(m), erwartet);
    EXPECT_EQ(m.dmax, 22);
    PruefeErgebnis(m, 85, 5);
}

TEST_F(Wegsuche, UnitBeyondTheMapStartsFromTheNearestTile)
{
    Mauer(1, 0, 1, 5);
    Laeufe();
    // Tile (-1, 2): the walk starts in column 0 and passes the wall below its lower end.
    const MANN &m = Befehl(-30, 50, 100, 50);
    EXPECT_EQ(Weg(m), (Punkte{{0, 40}, {0, 120}, {40, 120}, {100, 50}}));
    PruefeErgebnis(m, 100, 50);
}

// Many orders on random maps: whatever the map, the list fits, ends with the exact target,
// keeps its detour points on the tables and leaves the rest of the record alone. Under the
// sanitizers every table index is checked as well.
void ZufallsBefehle(std::mt19937 &zufall, int befehle)
{
    auto wuerfel = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(zufall); };
    for (int n = 0; n < befehle; ++n) {
        MANN &m = Leute[wuerfel(0, MAX_LEUTE - 1)];
        const short slot = static_cast<short>(&m - Leute);
        m.free = 1;
        m.ax = static_cast<int16_t>(wuerfel(-60, 2100));
        m.ay = static_cast<int16_t>(wuerfel(-60, 2100));
        if (wuerfel(0, 9) == 0) {
            m.dx = static_cast<int16_t>(wuerfel(-32768, 32767));
            m.dy = static_cast<int16_t>(wuerfel(-32768, 32767));
        } else {
            m.dx = static_cast<int16_t>(wuerfel(0, 20 * FeldX - 1));
            m.dy = static_cast<int16_t>(wuerfel(0, 20 * FeldY - 1));
        }
        m.dcount = 0;
        m.d1count = 0;
        FuelleD1(m);
        const MANN vorher = m;
        WegSuchen(slot);

        ASSERT_GE(m.dmax, 1);
        ASSERT_LE(m.dmax, WEG_LAENGE);
        ASSERT_EQ((m.dmax - 1) % 3, 0) << "detours come in threes";
        ASSERT_EQ(m.d[m.dmax - 1].x, vorher.dx);
        ASSERT_EQ(m.d[m.dmax - 1].y, vorher.dy);
        for (int i = 0; i + 1 < m.dmax; ++i) {
            ASSERT_GE(m.d[i].x, -10);
            ASSERT_GE(m.d[i].y, -10);
            ASSERT_LE(m.d[i].x, 20 * (KARTE_MAX - 1));
            ASSERT_LE(m.d[i].y, 20 * (KARTE_MAX - 1));
        }
        // Only the route, its counters and the point headed for change.
        MANN erwartet = vorher;
        std::memcpy(erwartet.d, m.d, sizeof m.d);
        erwartet.dcount = 0;
        erwartet.dmax = m.dmax;
        erwartet.dx = m.d[0].x;
        erwartet.dy = m.d[0].y;
        ASSERT_EQ(std::memcmp(&erwartet, &m, sizeof m), 0);
    }
}

TEST_F(Wegsuche, RandomMapsKeepEveryRouteInBounds)
{
    std::mt19937 zufall(20240611);
    auto wuerfel = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(zufall); };
    for (int karte = 0; karte < 120; ++karte) {
        LeereKarte(wuerfel(1, 98), wuerfel(1, 98));
        const int dichte = wuerfel(0, 80);
        // The whole table, also beyond the map, as a mission file holds it.
        for (auto &zeile : Karte)
            for (int16_t &t : zeile)
                t = static_cast<int16_t>(wuerfel(0, 99) < dichte ? wuerfel(96, 720) : wuerfel(-50, 95));
        Laeufe();
        const POS xk = XKarte[0][0];
        ZufallsBefehle(zufall, 250);
        ASSERT_EQ(std::memcmp(&xk, &XKarte[0][0], sizeof xk), 0);
    }
}

TEST_F(Wegsuche, RunTablesThatDoNotMatchTheMapStayHarmless)
{
    std::mt19937 zufall(77);
    auto wuerfel = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(zufall); };
    for (int karte = 0; karte < 40; ++karte) {
        LeereKarte(wuerfel(1, 255), wuerfel(1, 255));
        for (int y = 0; y < KARTE_MAX; ++y)
            for (int x = 0; x < KARTE_MAX; ++x) {
                Karte[y][x] = static_cast<int16_t>(wuerfel(0, 3) == 0 ? MAUER : 0);
                XKarte[y][x] = {static_cast<uint8_t>(wuerfel(0, 255)), static_cast<uint8_t>(wuerfel(0, 255))};
                YKarte[y][x] = {static_cast<uint8_t>(wuerfel(0, 255)), static_cast<uint8_t>(wuerfel(0, 255))};
            }
        ZufallsBefehle(zufall, 250);
    }
}

}  // namespace
