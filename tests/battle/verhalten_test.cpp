// The behaviour tick: destination check, scan, removal of the dead, attack or walk by kind.
#include "battle/schlacht.h"

namespace {

using schlacht::Schlacht;
using schlacht::Setze;

using Verhalten = Schlacht;

TEST_F(Verhalten, RocketTrooperReloadsForEightTicksAndLaserTrooperForTwo)
{
    struct Fall {
        uint8_t type;
        int ladezeit;
        int16_t *anzahl;
    } faelle[] = {{1, 8, &RocketAnz}, {2, 2, &LaserAnz}};
    for (const Fall &f : faelle) {
        schlacht::Raeumen();
        Data[2].hit_security = 1;  // the laser trooper aims without spread
        MANN &m = Setze(0, 0, f.type, 100, 100);
        Setze(1, 1, 4, 150, 110);  // facing right
        const int s = f.type * MANN_DIV + ANGRIF_R;
        m.shape = static_cast<int16_t>(s + ANGRIF_RL + 1);  // fires at once

        MVerhalten(0);
        ASSERT_EQ(*f.anzahl, 1);
        EXPECT_EQ(m.zaehler, f.ladezeit);
        EXPECT_EQ(m.shape, s + 1);
        for (int n = 1; n <= f.ladezeit; ++n) {
            MVerhalten(0);
            EXPECT_EQ(m.zaehler, f.ladezeit - n);
            EXPECT_EQ(m.shape, s + 1);
        }
        MVerhalten(0);
        EXPECT_EQ(m.shape, s + 2);
        EXPECT_EQ(m.ax, 100);
    }
}

TEST_F(Verhalten, AFullProjectileTableLeavesTheTrooperAnimating)
{
    for (int i = 0; i < 199; ++i)
        Rocket[i].free = 1;
    RocketAnz = RocketNextFree = 199;
    MANN &m = Setze(0, 0, 1, 100, 100);
    Setze(1, 1, 4, 150, 110);
    const int s = MANN_DIV + ANGRIF_R;
    m.shape = static_cast<int16_t>(s + ANGRIF_RL + 1);
    MVerhalten(0);
    EXPECT_EQ(m.zaehler, 0);
    EXPECT_EQ(m.shape, s + 1);
    MVerhalten(0);
    EXPECT_EQ(m.shape, s + 2);
}

TEST_F(Verhalten, OutOfRangeTroopersWalkWithoutCountingDown)
{
    MANN &m = Setze(0, 0, 2, 100, 100);
    Setze(1, 1, 4, 900, 900);
    m.attack = 1, m.who = 1;
    m.zx = 900, m.zy = 900;
    m.zaehler = 2;
    m.dx = 110;
    MVerhalten(0);
    EXPECT_EQ(m.ax, 101);
    EXPECT_EQ(m.zaehler, 2);
    // Walking, it does not scan either: a nearer opponent is not taken up.
    Setze(2, 1, 4, 120, 100);
    MVerhalten(0);
    EXPECT_EQ(m.who, 1);
    EXPECT_EQ(m.ax, 102);
}

TEST_F(Verhalten, TheDeadAreRemovedFirstWhateverTheirKind)
{
    for (uint8_t type = 0; type <= 9; ++type) {
        schlacht::Raeumen();
        MANN &m = Setze(0, 0, type, 100, 100);
        Setze(1, 1, 4, 150, 100);
        m.energie = 0;
        MVerhalten(0);
        EXPECT_EQ(m.free, 0) << int(type);
        EXPECT_EQ(MAnz, 0) << int(type);
        EXPECT_EQ(EAnz, 1) << int(type);
        EXPECT_EQ(Leute[1].energie, 20) << int(type);  // it did not get to fire
        // The scan of a standing unit still ran before the removal.
        EXPECT_EQ(m.who, 1) << int(type);
    }
    for (uint8_t type = 0; type <= 9; ++type) {
        schlacht::Raeumen();
        MANN &m = Setze(0, 0, type, 100, 100);
        m.energie = -4;
        m.dx = 150;
        MVerhalten(0);
        EXPECT_EQ(m.free, 0) << int(type);
        EXPECT_EQ(m.ax, 100) << int(type);
    }

    // A kind past the ten known ones is left entirely alone, even dead.
    schlacht::Raeumen();
    MANN &m = Setze(0, 0, 0, 100, 100);
    m.type = 10;
    m.energie = 0;
    m.dx = 150;
    MVerhalten(0);
    EXPECT_EQ(m.free, 1);
    EXPECT_EQ(m.ax, 100);
    EXPECT_EQ(EAnz, 0);
}

TEST_F(Verhalten, AUnitKilledByALaserGoesAtItsNextTick)
{
    MANN &schuetze = Setze(0, 0, 2, 100, 100);
    MANN &opfer = Setze(1, 1, 4, 200, 100);
    opfer.energie = 7;
    schuetze.zx = 200, schuetze.zy = 110;
    LaserInsert(119, 110, 0);
    for (int k = 0; k < 20 && Laser[0].free; ++k)
        LaserCompute(0);
    EXPECT_EQ(opfer.energie, 0);
    EXPECT_EQ(opfer.free, 1);
    EXPECT_EQ(FAnz, 1);

    ScrollX = 30;
    opfer.x = static_cast<int16_t>(opfer.ax - ScrollX);
    MVerhalten(1);
    EXPECT_EQ(opfer.free, 0);
    EXPECT_EQ(FAnz, 0);
    ASSERT_EQ(EAnz, 1);
    EXPECT_EQ(Explose[0].x, 170);
    EXPECT_EQ(Explose[0].y, 100);
}

TEST_F(Verhalten, BlockedOrOffMapDestinationsAreDropped)
{
    MANN &m = Setze(0, 0, 0, 100, 100);
    Karte[10][10] = 97;
    m.dx = 205, m.dy = 210;
    Setze(1, 1, 4, 150, 100);
    MVerhalten(0);
    EXPECT_EQ(m.dx, 100);
    EXPECT_EQ(m.dy, 100);
    // Standing now, it scanned and locked on.
    EXPECT_EQ(m.attack, 1);
    EXPECT_EQ(m.who, 1);

    // 96 blocks walking but stays a destination.
    Setze(0, 0, 0, 100, 100);
    Karte[10][10] = 96;
    m.dx = 205, m.dy = 210;
    MVerhalten(0);
    EXPECT_EQ(m.dx, 205);
    EXPECT_EQ(m.ax, 101);

    // Past any edge of the tables.
    const int16_t ziele[][2] = {{-30, 100}, {100, -20}, {2000, 100}, {100, 2000}, {30000, -30000}};
    for (const auto &z : ziele) {
        Setze(0, 0, 0, 100, 100);
        m.dx = z[0], m.dy = z[1];
        MVerhalten(0);
        EXPECT_EQ(m.dx, 100) << z[0] << "," << z[1];
        EXPECT_EQ(m.dy, 100) << z[0] << "," << z[1];
    }

    // A pixel left of the map still lies in column 0 by truncation.
    Setze(0, 0, 0, 10, 100);
    m.dx = -5;
    MVerhalten(0);
    EXPECT_EQ(m.dx, -5);
    EXPECT_EQ(m.ax, 9);
}

TEST_F(Verhalten, HelicopterScansOnlyWithoutAnOrderAndNeverMoves)
{
    MANN &h = Setze(0, 0, 8, 300, 300);
    MANN &ziel = Setze(1, 1, 4, 350, 300);
    h.dx = 900, h.dy = 900;
    MVerhalten(0);
    EXPECT_EQ(h.attack, 0);
    EXPECT_EQ(h.shape, 1);
    EXPECT_EQ(h.ax, 300);

    h.dx = 300, h.dy = 300;
    MVerhalten(0);
    EXPECT_EQ(h.attack, 1);
    EXPECT_LT(ziel.energie, 20);
    EXPECT_EQ(h.ax, 300);
    EXPECT_EQ(h.fire, 1);
}

TEST_F(Verhalten, CombatVehicleHitsWithoutFollowingItsTarget)
{
    MANN &k = Setze(0, 0, 9, 100, 100);
    MANN &ziel = Setze(1, 1, 4, 300, 100);
    ziel.energie = 1000;
    MVerhalten(0);
    EXPECT_EQ(k.who, 1);
    EXPECT_LE(ziel.energie, 1000 - 46);
    EXPECT_GE(ziel.energie, 1000 - 50);

    // Driving, it keeps the position of the last scan and hits wherever the target is.
    k.dx = 500;
    ziel.ax = 1500;
    const int16_t vorher = ziel.energie;
    MVerhalten(0);
    EXPECT_EQ(k.zx, 300);
    EXPECT_LT(ziel.energie, vorher);
    EXPECT_EQ(k.ax, 100);
}

}  // namespace
