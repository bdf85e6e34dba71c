// Lasers and rockets: the line tracer, flight and streak, impact points, scatter, smoke trail.
#include "battle/schlacht.h"

#include <random>

namespace {

using schlacht::Pixel;
using schlacht::Schlacht;
using schlacht::Setze;
using schlacht::Vorschau;

// The owner stands far away with its target at (zx, zy).
class Geschoss : public Schlacht {
protected:
    MANN &schuetze = Leute[0];
    void SetUp() override
    {
        Schlacht::SetUp();
        Setze(0, 0, 2, 1500, 1500);
        schuetze.attack = 1;
        schuetze.who = 9;
    }
    void Ziel(int x, int y)
    {
        schuetze.zx = static_cast<int16_t>(x);
        schuetze.zy = static_cast<int16_t>(y);
    }
    static bool Leer()
    {
        for (unsigned char b : schlacht::Bild())
            if (b != 0)
                return false;
        return true;
    }
};

TEST_F(Geschoss, TracerReachesTheAimAfterTheLargerExtentInEveryDirection)
{
    // Extents 30 x 30: x drives and every step is an exact diagonal.
    Laser[0].ax = 100, Laser[0].ay = 100, Laser[0].dx = 130, Laser[0].dy = 130;
    InitLaser(0);
    const LINE &l = Laser[0].l;
    EXPECT_EQ(l.div, 0);
    EXPECT_EQ(l.d, 30);
    EXPECT_EQ(l.aincr, 0);
    EXPECT_EQ(l.bincr, 60);
    for (int k = 1; k <= 30; ++k) {
        CalcLaserPoint(0);
        ASSERT_EQ(l.x, 100 + k);
        ASSERT_EQ(l.y, 100 + k);
    }

    // Any line: the driving axis moves one pixel a step, the other at most one, and the
    // aim is reached after as many steps as the larger extent.
    std::mt19937 zufall(7);
    std::uniform_int_distribution<int> wert(-60, 60);
    for (int n = 0; n < 2000; ++n) {
        LASER &b = Rocket[1];
        b.ax = static_cast<int16_t>(500 + wert(zufall));
        b.ay = static_cast<int16_t>(500 + wert(zufall));
        b.dx = static_cast<int16_t>(500 + wert(zufall));
        b.dy = static_cast<int16_t>(500 + wert(zufall));
        const int breite = std::abs(b.dx - b.ax), hoehe = std::abs(b.dy - b.ay);
        if (breite == 0 && hoehe == 0)
            continue;
        InitRocket(1);
        EXPECT_EQ(b.l.div, breite < hoehe ? 1 : 0);
        for (int k = 0; k < std::max(breite, hoehe); ++k) {
            const int x = b.l.x, y = b.l.y;
            CalcRocketPoint(1);
            const int sx = std::abs(b.l.x - x), sy = std::abs(b.l.y - y);
            ASSERT_EQ(b.l.div == 0 ? sx : sy, 1);
            ASSERT_LE(b.l.div == 0 ? sy : sx, 1);
        }
        ASSERT_EQ(b.l.x, b.dx) << b.ax << "," << b.ay << " -> " << b.dx << "," << b.dy;
        ASSERT_EQ(b.l.y, b.dy) << b.ax << "," << b.ay << " -> " << b.dx << "," << b.dy;
    }
}

TEST_F(Geschoss, LaserTravellingRightEndsOnePixelPastItsAim)
{
    Ziel(150, 50);
    Setze(1, 1, 4, 131, 40);  // right edge exactly on 151
    Setze(2, 1, 4, 140, 45);  // overlaps the first
    Setze(3, 1, 4, 152, 40);  // just past the impact
    LaserInsert(100, 50, 0);
    ASSERT_EQ(LaserAnz, 1);
    EXPECT_EQ(schuetze.zaehler, 2);
    EXPECT_EQ(Laser[0].destruct, 7);

    for (int k = 1; k <= 4; ++k) {
        std::fill(schlacht::Bild().begin(), schlacht::Bild().end(), 0);
        LaserCompute(0);
        ASSERT_EQ(Laser[0].free, 1);
        EXPECT_EQ(Laser[0].l.x, 100 + 10 * k);
        EXPECT_EQ(Laser[0].l.y, 50);
        // Seven pixels ahead of the head, darker every second one.
        const unsigned char farben[] = {229, 229, 228, 228, 227, 227, 226};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(Pixel(100 + 10 * k + 1 + i, 50), farben[i]) << k << " " << i;
        EXPECT_EQ(Pixel(100 + 10 * k, 50), 0);
        EXPECT_EQ(Pixel(100 + 10 * k + 8, 50), 0);
    }
    LaserCompute(0);
    EXPECT_EQ(Laser[0].free, 0);
    EXPECT_EQ(LaserAnz, 0);
    EXPECT_EQ(Laser[0].l.x, 151);
    EXPECT_EQ(Laser[0].l.y, 50);
    EXPECT_EQ(Leute[1].energie, 20 - 7);
    EXPECT_EQ(Leute[2].energie, 20 - 7);
    EXPECT_EQ(Leute[3].energie, 20);
    EXPECT_EQ(schuetze.attack, 0);
    EXPECT_EQ(schuetze.who, 255);
}

TEST_F(Geschoss, LaserTravellingLeftEndsOnItsAimBeforeDrawing)
{
    Ziel(100, 50);
    LaserInsert(150, 50, 0);
    for (int k = 1; k <= 4; ++k) {
        LaserCompute(0);
        EXPECT_EQ(Laser[0].l.x, 150 - 10 * k);
    }
    std::fill(schlacht::Bild().begin(), schlacht::Bild().end(), 0);
    LaserCompute(0);
    EXPECT_EQ(Laser[0].free, 0);
    EXPECT_EQ(Laser[0].l.x, 100);
    EXPECT_TRUE(Leer());
}

TEST_F(Geschoss, LaserEndsWhileItsStreakIsDrawn)
{
    Ziel(145, 50);
    Setze(1, 1, 4, 126, 30);  // box 126..146 x 30..50
    LaserInsert(100, 50, 0);
    for (int k = 1; k <= 3; ++k)
        LaserCompute(0);
    std::fill(schlacht::Bild().begin(), schlacht::Bild().end(), 0);
    LaserCompute(0);
    EXPECT_EQ(Laser[0].free, 0);
    EXPECT_EQ(Laser[0].l.x, 146);
    EXPECT_EQ(Leute[1].energie, 13);
    // The streak is drawn up to the impact point and no further.
    EXPECT_EQ(Pixel(146, 50), 227);
    EXPECT_EQ(Pixel(147, 50), 0);
}

TEST_F(Geschoss, BetweenTicksALaserIsDrawnButDoesNotMove)
{
    Ziel(100, 300);
    LaserInsert(100, 50, 0);
    LaserCompute(0);
    EXPECT_EQ(Laser[0].l.y, 60);
    GameDel = 1;
    std::fill(schlacht::Bild().begin(), schlacht::Bild().end(), 0);
    LaserCompute(0);
    EXPECT_EQ(Laser[0].l.y, 60);
    EXPECT_EQ(Pixel(100, 61), 229);
    EXPECT_EQ(Pixel(100, 67), 226);
}

TEST_F(Geschoss, LaserOutsideTheViewIsClippedYetHits)
{
    // Three streak pixels left of the view, four inside it.
    ScrollX = 113;
    Ziel(150, 50);
    Setze(1, 1, 4, 140, 40);
    LaserInsert(100, 50, 0);
    LaserCompute(0);
    const unsigned char farben[] = {228, 228, 227, 227, 226};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Pixel(i, 50), farben[i]) << i;
    EXPECT_EQ(Pixel(5, 50), 0);

    // Wholly off the view: nothing drawn, the hit lands all the same.
    std::fill(schlacht::Bild().begin(), schlacht::Bild().end(), 0);
    ScrollX = 1000;
    for (int k = 2; k <= 5; ++k)
        LaserCompute(0);
    EXPECT_TRUE(Leer());
    EXPECT_EQ(LaserAnz, 0);
    EXPECT_EQ(Leute[1].energie, 13);
}

TEST_F(Geschoss, LaserAimedAtItsOwnStartStrikesThereAtOnce)
{
    Ziel(100, 50);
    Setze(1, 1, 4, 90, 40);
    LaserInsert(100, 50, 0);
    GameDel = 1;  // not even a tick is needed
    LaserCompute(0);
    EXPECT_EQ(Laser[0].free, 0);
    EXPECT_EQ(LaserAnz, 0);
    EXPECT_EQ(Leute[1].energie, 13);
    EXPECT_EQ(Laser[0].l.x, 100);
    EXPECT_EQ(Laser[0].l.y, 50);
    EXPECT_TRUE(Leer());
    EXPECT_EQ(schuetze.who, 255);
}

TEST_F(Geschoss, FullTablesDropShotsWithoutTouchingTheOwner)
{
    for (int i = 0; i < 199; ++i)
        Laser[i].free = Rocket[i].free = 1;
    LaserAnz = RocketAnz = 199;
    LaserNextFree = RocketNextFree = 199;
    const int naechste = Vorschau(1)[0];
    LaserInsert(10, 10, 0);
    RocketInsert(10, 10, 0);
    EXPECT_EQ(LaserAnz, 199);
    EXPECT_EQ(RocketAnz, 199);
    EXPECT_EQ(Laser[199].free, 0);
    EXPECT_EQ(Rocket[199].free, 0);
    EXPECT_EQ(schuetze.zaehler, 0);
    EXPECT_EQ(Vorschau(1)[0], naechste);  // no scatter drawn
}

TEST_F(Geschoss, RocketScatterDrawsXFirstWithinTheRange)
{
    Ziel(500, 600);
    int xmin = 100, xmax = -100, ymin = 100, ymax = -100;
    const std::vector<int> r = Vorschau(800);
    for (int n = 0; n < 400; ++n) {
        RocketInsert(100, 100, 0);
        ASSERT_EQ(RocketAnz, 1);
        EXPECT_EQ(Rocket[0].dx, 500 - 5 + r[2 * n] % 26);
        EXPECT_EQ(Rocket[0].dy, 600 - 5 + r[2 * n + 1] % 26);
        xmin = std::min(xmin, Rocket[0].dx - 500), xmax = std::max(xmax, Rocket[0].dx - 500);
        ymin = std::min(ymin, Rocket[0].dy - 600), ymax = std::max(ymax, Rocket[0].dy - 600);
        EXPECT_EQ(Rocket[0].speed, 5);
        EXPECT_EQ(Rocket[0].farbe, 254);
        EXPECT_EQ(Rocket[0].length, 7);
        EXPECT_EQ(schuetze.zaehler, 8);
        RocketDelete(0);
    }
    EXPECT_EQ(xmin, -5);
    EXPECT_EQ(xmax, 20);
    EXPECT_EQ(ymin, -5);
    EXPECT_EQ(ymax, 20);
}

TEST_F(Geschoss, RocketLeavesOnePuffPerSurvivingTickAndEndsPastItsAim)
{
    ScrollX = 40, ScrollY = 10;
    Ziel(300, 200);
    Setze(1, 1, 4, 131, 90);  // right edge on 151
    RocketInsert(100, 100, 0);
    Rocket[0].dx = 150, Rocket[0].dy = 100;
    InitRocket(0);

    for (int k = 1; k <= 8; ++k) {
        std::fill(schlacht::Bild().begin(), schlacht::Bild().end(), 0);
        RocketCompute(0);
        ASSERT_EQ(Rocket[0].free, 1);
        EXPECT_EQ(Rocket[0].l.x, 100 + 5 * k);
        ASSERT_EQ(RauchAnz, k);
        EXPECT_EQ(Rauch[k - 1].x, 100 + 5 * k - 40);
        EXPECT_EQ(Rauch[k - 1].y, 90);
        for (int i = 1; i <= 7; ++i)
            EXPECT_EQ(Pixel(100 + 5 * k + i - 40, 90), 254);
    }
    // Not a tick: drawn, not moved, no smoke.
    GameDel = 1;
    RocketCompute(0);
    EXPECT_EQ(Rocket[0].l.x, 140);
    EXPECT_EQ(RauchAnz, 8);
    GameDel = 0;

    RocketCompute(0);
    EXPECT_EQ(Rocket[0].free, 0);
    EXPECT_EQ(RocketAnz, 0);
    EXPECT_EQ(Rocket[0].l.x, 151);
    EXPECT_EQ(RauchAnz, 8);
    EXPECT_EQ(Leute[1].energie, 13);
    EXPECT_EQ(schuetze.attack, 0);
    EXPECT_EQ(schuetze.who, 255);
}

TEST_F(Geschoss, RocketFliesOnWhenTheSmokeTableIsFull)
{
    for (int i = 0; i < 199; ++i)
        Rauch[i].free = 1;
    RauchAnz = RauchNextFree = 199;
    Ziel(300, 200);
    Setze(1, 1, 4, 160, 90);
    RocketInsert(100, 100, 0);
    Rocket[0].dx = 170, Rocket[0].dy = 100;
    InitRocket(0);
    for (int k = 0; k < 20 && Rocket[0].free; ++k)
        RocketCompute(0);
    EXPECT_EQ(Rocket[0].free, 0);
    EXPECT_EQ(RauchAnz, 199);
    EXPECT_EQ(Leute[1].energie, 13);
}

}  // namespace
