// Walking, detours round obstacle runs, the combat vehicle's turning and tracks, the rotor.
#include "battle/schlacht.h"

namespace {

using schlacht::Schlacht;
using schlacht::Raeumen;
using schlacht::Setze;

using Bewegung = Schlacht;

struct Schritt {
    int ax, ay, shape;
};

std::vector<Schritt> Gehe(int index, int mal)
{
    std::vector<Schritt> spur;
    for (int i = 0; i < mal; ++i) {
        MannMove(static_cast<short>(index));
        spur.push_back({Leute[index].ax, Leute[index].ay, Leute[index].shape});
    }
    return spur;
}

void ErwarteSpur(const std::vector<Schritt> &ist, const std::vector<Schritt> &soll)
{
    ASSERT_EQ(ist.size(), soll.size());
    for (size_t i = 0; i < ist.size(); ++i) {
        EXPECT_EQ(ist[i].ax, soll[i].ax) << "call " << i + 1;
        EXPECT_EQ(ist[i].ay, soll[i].ay) << "call " << i + 1;
        EXPECT_EQ(ist[i].shape, soll[i].shape) << "call " << i + 1;
    }
}

TEST_F(Bewegung, StraightWalkStepsOnePixelAndStandsFacingRight)
{
    // Kind 1: its frames start at 120; walking right shows 121..126 in a cycle.
    MANN &m = Setze(0, 0, 1, 100, 100);
    m.dx = 103;
    ErwarteSpur(Gehe(0, 4), {{101, 100, 121}, {102, 100, 122}, {103, 100, 123}, {103, 100, 120}});
    EXPECT_EQ(m.x, 103);

    Setze(1, 0, 1, 100, 100).dx = 110;
    const auto spur = Gehe(1, 10);
    const int bilder[] = {121, 122, 123, 124, 125, 126, 121, 122, 123, 124};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(spur[i].shape, bilder[i]) << i;
}

TEST_F(Bewegung, EachStraightDirectionCyclesItsOwnFrames)
{
    struct Fall {
        int dx, dy, erstes;
    } faelle[] = {{-7, 0, 131}, {0, -7, 141}, {0, 7, 151}};
    for (const Fall &f : faelle) {
        MANN &m = Setze(0, 0, 1, 300, 300);
        m.dx = static_cast<int16_t>(300 + f.dx);
        m.dy = static_cast<int16_t>(300 + f.dy);
        const auto spur = Gehe(0, 7);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(spur[i].shape, f.erstes + i % 6) << f.dx << "," << f.dy << " call " << i;
        EXPECT_EQ(spur[6].ax, 300 + f.dx);
        EXPECT_EQ(spur[6].ay, 300 + f.dy);
    }
}

TEST_F(Bewegung, DiagonalWalkTakesTheDiagonalFramesThenWalksStraight)
{
    // (+3, +2): two steps down-right (frames 176, 177), one step right.
    MANN &m = Setze(0, 0, 1, 100, 100);
    m.dx = 103, m.dy = 102;
    ErwarteSpur(Gehe(0, 3), {{101, 101, 176}, {102, 102, 177}, {103, 102, 121}});

    // The diagonal ranges cycle start + 1 .. start + length.
    MANN &o = Setze(1, 0, 1, 300, 300);
    o.dx = 295, o.dy = 295;
    const auto spur = Gehe(1, 5);
    const int bilder[] = {161, 162, 163, 161, 162};  // up-left starts at 120 + 40
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(spur[i].shape, bilder[i]) << i;
        EXPECT_EQ(spur[i].ax, 299 - i);
        EXPECT_EQ(spur[i].ay, 299 - i);
    }
}

TEST_F(Bewegung, ArrivalTakesTheDetourStackBeforeTheRoute)
{
    MANN &m = Setze(0, 0, 0, 200, 200);
    m.d1[0] = {500, 500};  // the bottom entry is never taken
    m.d1[1] = {202, 200};
    m.d1[2] = {201, 200};
    m.d1count = 2;
    m.d[0] = {203, 200};
    m.d[1] = {204, 201};
    m.dmax = 2;
    ErwarteSpur(Gehe(0, 5), {{201, 200, 1}, {202, 200, 2}, {203, 200, 3}, {204, 201, 56}, {204, 201, 0}});
    EXPECT_EQ(m.d1count, 0);
    EXPECT_EQ(m.dcount, 2);
    EXPECT_EQ(m.dx, 204);
    EXPECT_EQ(m.dy, 201);
}

// A unit at (100, 100) stands on tile (5, 5).
class Umweg : public Schlacht {
protected:
    MANN &m = Leute[0];
    void SetUp() override
    {
        Schlacht::SetUp();
        Setze(0, 0, 0, 100, 100);
    }
};

TEST_F(Umweg, BlockedRightPushesTheInterruptedPointThenTheFarPoint)
{
    Karte[5][6] = 96;
    YKarte[5][6] = {4, 8};
    m.dx = 150, m.dy = 100;
    m.d[0] = {150, 100};
    m.d1count = 1;
    m.d1[0] = {7, 7};
    m.d1[1] = {8, 8};  // the old top is overwritten
    MannHindernis(0);
    EXPECT_EQ(m.dx, 99);
    EXPECT_EQ(m.dy, 60);  // above the run: (anfang - 1) x 20
    EXPECT_EQ(m.d1count, 2);
    EXPECT_EQ(m.d1[0].x, 7);
    EXPECT_EQ(m.d1[1].x, 150);
    EXPECT_EQ(m.d1[1].y, 100);
    EXPECT_EQ(m.d1[2].x, 140);
    EXPECT_EQ(m.d1[2].y, 60);

    // Above the first waypoint the run is passed below it: ende x 20 + 10.
    Setze(1, 0, 0, 100, 100);
    Leute[1].dx = 150;
    Leute[1].d[0] = {150, 300};
    MannHindernis(1);
    EXPECT_EQ(Leute[1].dy, 170);
    EXPECT_EQ(Leute[1].d1count, 1);
    EXPECT_EQ(Leute[1].d1[0].x, 150);
    EXPECT_EQ(Leute[1].d1[1].x, 140);
    EXPECT_EQ(Leute[1].d1[1].y, 170);
}

TEST_F(Umweg, BlockedLeftBelowAndAbove)
{
    // Left: the unit's own tile blocks and it walks left.
    Karte[5][5] = 97;
    YKarte[5][5] = {3, 6};
    m.dx = 50, m.dy = 100;
    m.d[0] = {50, 300};
    MannHindernis(0);
    EXPECT_EQ(m.dx, 101);
    EXPECT_EQ(m.dy, 130);
    EXPECT_EQ(m.d1count, 1);
    EXPECT_EQ(m.d1[0].x, 50);
    EXPECT_EQ(m.d1[0].y, 100);
    EXPECT_EQ(m.d1[1].x, 70);
    EXPECT_EQ(m.d1[1].y, 130);

    // Above: the own tile blocks, the unit walks straight up and lies left of d[0].
    Setze(0, 0, 0, 100, 100);
    XKarte[5][5] = {4, 7};
    m.dy = 20;
    m.d[0] = {300, 20};
    MannHindernis(0);
    EXPECT_EQ(m.dx, 150);
    EXPECT_EQ(m.dy, 101);
    EXPECT_EQ(m.d1[0].x, 100);
    EXPECT_EQ(m.d1[0].y, 20);
    EXPECT_EQ(m.d1[1].x, 150);
    EXPECT_EQ(m.d1[1].y, 70);

    // Below: the tile under the unit blocks; not left of d[0], so the run is passed left.
    Karte[5][5] = 0;
    Karte[6][5] = 200;
    XKarte[6][5] = {2, 9};
    Setze(0, 0, 0, 100, 100);
    m.dy = 200;
    m.d[0] = {100, 200};
    MannHindernis(0);
    EXPECT_EQ(m.dx, 20);
    EXPECT_EQ(m.dy, 99);
    EXPECT_EQ(m.d1[0].x, 100);
    EXPECT_EQ(m.d1[0].y, 200);
    EXPECT_EQ(m.d1[1].x, 20);
    EXPECT_EQ(m.d1[1].y, 140);
}

TEST_F(Umweg, FirstMatchingCaseWinsAndOnlyTheTopLeftTileCounts)
{
    // Right and below both blocked while walking down-right: the right case acts.
    Karte[5][6] = 96;
    Karte[6][5] = 96;
    YKarte[5][6] = {5, 6};
    XKarte[6][5] = {5, 6};
    m.dx = 150, m.dy = 150;
    m.d[0] = {150, 150};
    MannHindernis(0);
    EXPECT_EQ(m.dx, 99);
    EXPECT_EQ(m.dy, 130);
    EXPECT_EQ(m.d1count, 1);

    // 95 is open ground.
    Raeumen();
    Setze(0, 0, 0, 100, 100);
    Karte[5][6] = 95;
    m.dx = 150;
    MannHindernis(0);
    EXPECT_EQ(m.dx, 150);
    EXPECT_EQ(m.d1count, 0);

    // A unit in row 0 whose sprite reaches into row 1 is not stopped by row 1.
    Setze(1, 0, 0, 100, 15);
    Karte[1][6] = 300;
    Leute[1].dx = 150;
    MannHindernis(1);
    EXPECT_EQ(Leute[1].dx, 150);
    EXPECT_EQ(Leute[1].d1count, 0);
}

TEST_F(Umweg, WalkingIntoARunTurnsAsideAndComesBackToTheRoute)
{
    // A vertical wall in column 6, rows 3..7; the route leads straight through it.
    for (int r = 3; r <= 7; ++r) {
        Karte[r][6] = 96;
        YKarte[r][6] = {3, 8};
    }
    m.dx = 200;
    m.d[0] = {200, 100};
    m.dcount = 1;
    m.dmax = 1;
    MannMove(0);
    // The detour starts at once: one step back towards the near point.
    EXPECT_EQ(m.ax, 99);
    EXPECT_EQ(m.dx, 99);
    EXPECT_EQ(m.dy, 40);
    for (int i = 0; i < 400 && !(m.ax == 200 && m.ay == 100 && m.d1count == 0); ++i)
        MannMove(0);
    // The interrupted point lies in d1[0], which is never taken: the unit ends at the
    // far point of the detour and the route is used up.
    EXPECT_EQ(m.ax, 140);
    EXPECT_EQ(m.ay, 40);
    EXPECT_EQ(m.d1count, 0);
}

TEST_F(Umweg, AFullStackDropsThePushAndNeverWritesPastIt)
{
    Karte[5][6] = 96;
    YKarte[5][6] = {4, 8};
    m.dx = 150;
    m.d1count = 18;
    MannHindernis(0);
    EXPECT_EQ(m.d1count, 19);
    EXPECT_EQ(m.d1[18].x, 150);
    EXPECT_EQ(m.d1[19].x, 140);
    EXPECT_EQ(m.dx, 99);

    // With 19 entries the next push would write d1[20]: nothing changes.
    m.dx = 150, m.dy = 100;
    const MANN erwartet = m;
    MannHindernis(0);
    EXPECT_EQ(std::memcmp(&m, &erwartet, sizeof m), 0);

    // The unit walks on instead of turning aside.
    MannMove(0);
    EXPECT_EQ(m.ax, 101);
    EXPECT_EQ(m.d1count, 19);
}

TEST_F(Umweg, TilesPastTheMapEdgeStartNoDetourAndAreNeverRead)
{
    // Obstacles everywhere on the map: only the missing tiles past its edges are tested.
    for (auto &zeile : Karte)
        for (int16_t &feld : zeile)
            feld = 500;
    struct Fall {
        int ax, ay, dx, dy;
    } faelle[] = {
        {1990, 1000, 1995, 1000},   // column 99 walking right: column 100 is no tile
        {1000, 1990, 1000, 1995},   // row 99 walking down
        {-25, 1000, -40, 1000},     // column -1 walking left
        {1000, -25, 1000, -40},     // row -1 walking up
        {2030, 2030, 2100, 2100},   // off the map, walking further out
        {2030, -30, 1990, 10},      // off the map, walking back in
    };
    for (const Fall &f : faelle) {
        Setze(0, 0, 0, static_cast<int16_t>(f.ax), static_cast<int16_t>(f.ay));
        m.dx = static_cast<int16_t>(f.dx);
        m.dy = static_cast<int16_t>(f.dy);
        MannMove(0);
        EXPECT_EQ(m.d1count, 0) << f.ax << "," << f.ay;
        EXPECT_EQ(m.dx, f.dx) << f.ax << "," << f.ay;
        EXPECT_EQ(m.ax, f.ax + (f.dx > f.ax) - (f.dx < f.ax)) << f.ax << "," << f.ay;
        EXPECT_EQ(m.ay, f.ay + (f.dy > f.ay) - (f.dy < f.ay)) << f.ax << "," << f.ay;
    }

    // Inside, the edge row's own obstacles still turn the unit aside.
    Setze(0, 0, 0, 1960, 1980);
    m.dx = 1990;
    YKarte[99][99] = {99, 100};
    MannHindernis(0);
    EXPECT_EQ(m.d1count, 1);
    EXPECT_EQ(m.dx, 1959);
    EXPECT_EQ(m.dy, 1960);
}

class Kampfwagen : public Schlacht {
protected:
    MANN &m = Leute[0];
    void SetUp() override
    {
        Schlacht::SetUp();
        Setze(0, 0, 9, 500, 500);
        m.shape = 0;
    }
    // The facing frame without the track phase.
    int Richtung() const { return m.kette == 2 ? m.shape - 160 : m.shape; }
};

TEST_F(Kampfwagen, TurnsInStepsOfTenBeforeDriving)
{
    m.dy = 600;  // straight down: facing 120
    for (int n = 1; n <= 12; ++n) {
        KampfMove(0);
        EXPECT_EQ(Richtung(), 10 * n) << n;
        EXPECT_EQ(m.ax, 500);
        EXPECT_EQ(m.ay, 500);
    }
    KampfMove(0);
    EXPECT_EQ(Richtung(), 120);
    EXPECT_EQ(m.ay, 501);
    EXPECT_EQ(m.y, 501);
    EXPECT_EQ(m.ax, 500);

    // Straight left from 130: down to 0 without wrapping round, then driving.
    Setze(1, 0, 9, 500, 500);
    MANN &w = Leute[1];
    w.shape = 130;
    w.dx = 400;
    for (int n = 1; n <= 13; ++n) {
        KampfMove(1);
        EXPECT_EQ(w.kette == 2 ? w.shape - 160 : w.shape, 130 - 10 * n) << n;
        EXPECT_EQ(w.ax, 500);
    }
    KampfMove(1);
    EXPECT_EQ(w.ax, 499);
}

TEST_F(Kampfwagen, TrackPictureAlternatesOnEveryCall)
{
    m.shape = 110;
    m.dx = 600, m.dy = 600;
    const int erwartet[] = {110, 270, 110, 270, 110, 270};
    for (int i = 0; i < 6; ++i) {
        KampfMove(0);
        EXPECT_EQ(m.shape, erwartet[i]) << i;
        EXPECT_EQ(m.ax, 501 + i);
        EXPECT_EQ(m.ay, 501 + i);
    }

    // At its destination with an empty route the vehicle keeps its frame, track phase too.
    m.dx = m.ax, m.dy = m.ay;
    const int16_t bild = m.shape;
    const uint8_t kette = m.kette;
    KampfMove(0);
    EXPECT_EQ(m.shape, bild);
    EXPECT_EQ(m.kette, kette);

    // The diagonal facings: up-right 50, down-left 130, up-left 30, right 80, up 40.
    struct Fall {
        int dx, dy, richtung;
    } faelle[] = {{10, -10, 50}, {-10, 10, 130}, {-10, -10, 30}, {10, 0, 80}, {0, -10, 40}};
    for (const Fall &f : faelle) {
        Setze(2, 0, 9, 500, 500);
        MANN &v = Leute[2];
        v.shape = static_cast<int16_t>(f.richtung);
        v.dx = static_cast<int16_t>(500 + f.dx);
        v.dy = static_cast<int16_t>(500 + f.dy);
        KampfMove(2);
        EXPECT_EQ(v.ax, 500 + (f.dx > 0) - (f.dx < 0)) << f.richtung;
        EXPECT_EQ(v.ay, 500 + (f.dy > 0) - (f.dy < 0)) << f.richtung;
    }
}

TEST_F(Kampfwagen, TakesItsNextPointOnArrivalAndDetoursLikeInfantry)
{
    m.shape = 80;
    m.d[0] = {502, 500};
    m.dmax = 1;
    KampfMove(0);
    EXPECT_EQ(m.dcount, 1);
    EXPECT_EQ(m.ax, 501);

    // A wall to the right: the vehicle takes the detour's near point, facing left.
    Setze(1, 0, 9, 100, 100);
    Karte[5][6] = 96;
    YKarte[5][6] = {5, 6};
    Leute[1].shape = 0;
    Leute[1].dx = 150;
    KampfMove(1);
    EXPECT_EQ(Leute[1].dx, 99);
    EXPECT_EQ(Leute[1].d1count, 1);
}

TEST_F(Bewegung, HelicopterOnlyTurnsItsRotor)
{
    MANN &h = Setze(0, 0, 8, 300, 300);
    h.dx = 900, h.dy = 50;
    const int erwartet[] = {1, 2, 3, 0, 1};
    for (int i = 0; i < 5; ++i) {
        HeliMove(0);
        EXPECT_EQ(h.shape, erwartet[i]);
    }
    EXPECT_EQ(h.ax, 300);
    EXPECT_EQ(h.ay, 300);
    EXPECT_EQ(h.dx, 900);
}

}  // namespace
