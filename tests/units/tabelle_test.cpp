// The unit table: kinds, inserts per side, the lowest-free rule and the removal of the dead.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effects/explose.h"
#include "map/maps.h"
#include "startup/file.h"
#include "units/data.h"
#include "units/leute.h"

namespace {

class Tabelle : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(Leute, 0, sizeof Leute);
        MAnz = FAnz = NextFree = 0;
        std::memset(Explose, 0, sizeof Explose);
        EAnz = ExploseNextFree = 0;
        ScrollX = ScrollY = 0;
        MANN_DIV = 7;
        KAMPF_START = 3000;
        HELI_START = 9000;
        SetUpData();
    }
};

// One row of the kind table, field by field.
std::vector<int> Reihe(int k)
{
    const ABILITY &a = Data[k];
    return {a.energie, a.destruct, a.hit_security, a.see_reach, a.weapon_reach, a.shot_delay, a.speed};
}

TEST_F(Tabelle, KindsOfTheTwoSidesAreNotMirrorImages)
{
    // The enemy rocket trooper fights like the player's laser trooper, apart from its aim;
    // the enemy laser trooper and the helicopter like the player's rocket trooper.
    EXPECT_EQ(Reihe(2), (std::vector<int>{25, 7, 2, 6, 6, 2, 3}));
    EXPECT_EQ(Reihe(5), (std::vector<int>{25, 7, 5, 6, 6, 2, 3}));
    EXPECT_EQ(Reihe(6), Reihe(1));
    EXPECT_EQ(Reihe(8), (std::vector<int>{15, 15, 6, 7, 7, 10, 1}));
    EXPECT_EQ(Reihe(9), (std::vector<int>{250, 50, 5, 10, 12, 15, 1}));
    EXPECT_EQ(Reihe(0), Reihe(4));
    EXPECT_EQ(Reihe(3), (std::vector<int>{25, 10, 4, 7, 6, 5, 2}));
    EXPECT_EQ(Reihe(7), Reihe(3));
}

TEST_F(Tabelle, FirstInsertFillsSlotZeroWithAClearedRecord)
{
    // Left-overs of an earlier unit must not survive into the new one.
    Leute[0].aktive = 1;
    Leute[0].attack = 1;
    Leute[0].dmax = 5;
    Leute[0].dcount = 3;
    Leute[0].warten = 9;
    Leute[0].system = 77;
    Leute[0].d[WEG_LAENGE - 1] = {5, 6};
    Leute[0].d1[UMWEG_LAENGE - 1] = {7, 8};
    ScrollX = 40;
    ScrollY = 60;

    MInsert(100, 120, 300, 320, 2);

    EXPECT_EQ(NextFree, 1);
    EXPECT_EQ(MAnz, 1);
    EXPECT_EQ(FAnz, 0);
    const MANN &m = Leute[0];
    EXPECT_EQ(m.free, 1);
    EXPECT_EQ(m.feind, 0);
    EXPECT_EQ(m.type, 2);
    EXPECT_EQ(m.who, 255);
    EXPECT_EQ(m.attack, 0);
    EXPECT_EQ(m.aktive, 0);
    EXPECT_EQ(m.dcount, 0);
    EXPECT_EQ(m.dmax, 0);
    EXPECT_EQ(m.d1count, 0);
    EXPECT_EQ(m.warten, 0);
    EXPECT_EQ(m.system, 0);
    EXPECT_EQ(m.d[WEG_LAENGE - 1].x, 0);
    EXPECT_EQ(m.d1[UMWEG_LAENGE - 1].y, 0);
    EXPECT_EQ(m.energie, 25);
    EXPECT_EQ(m.ax, 100);
    EXPECT_EQ(m.ay, 120);
    EXPECT_EQ(m.dx, 300);
    EXPECT_EQ(m.dy, 320);
    EXPECT_EQ(m.x, 60);
    EXPECT_EQ(m.y, 60);
    EXPECT_EQ(m.shape, 2 * 7);
    EXPECT_EQ(m.shapeX, 20);
    EXPECT_EQ(m.shapeY, 20);
    EXPECT_EQ(m.shape_start, 0);
}

TEST_F(Tabelle, FreedSlotIsReusedAndTheScanMovesPastUsedOnes)
{
    for (int i = 0; i < 5; ++i)
        MInsert(20 * i, 0, 20 * i, 0, 0);
    ASSERT_EQ(NextFree, 5);
    Leute[2].energie = 0;
    ASSERT_EQ(IsDead(2), 1);
    EXPECT_EQ(NextFree, 2);
    EXPECT_EQ(MAnz, 4);

    FInsert(500, 500, 500, 500, 4);
    EXPECT_EQ(Leute[2].free, 1);
    EXPECT_EQ(Leute[2].feind, 1);
    EXPECT_EQ(Leute[2].ax, 500);
    EXPECT_EQ(NextFree, 5);

    MDelete(3);
    EXPECT_EQ(NextFree, 3);
    // A delete above the lowest free slot leaves NextFree where it is.
    MDelete(4);
    EXPECT_EQ(NextFree, 3);
    FDelete(2);
    EXPECT_EQ(NextFree, 2);
    EXPECT_EQ(FAnz, 0);
    EXPECT_EQ(MAnz, 2);
    // A freed record keeps its fields for stale references.
    EXPECT_EQ(Leute[4].ax, 80);
}

TEST_F(Tabelle, EachSideHoldsFortyNineUnitsOfItsOwn)
{
    for (int i = 0; i < 49; ++i)
        MInsert(0, 0, 0, 0, 3);
    ASSERT_EQ(MAnz, 49);
    ASSERT_EQ(NextFree, 49);

    MInsert(0, 0, 0, 0, 3);
    EXPECT_EQ(MAnz, 49);
    EXPECT_EQ(NextFree, 49);
    EXPECT_EQ(Leute[49].free, 0);

    for (int i = 0; i < 49; ++i)
        FInsert(0, 0, 0, 0, 7);
    EXPECT_EQ(FAnz, 49);
    EXPECT_EQ(NextFree, 98);
    FInsert(0, 0, 0, 0, 7);
    EXPECT_EQ(FAnz, 49);
    EXPECT_EQ(NextFree, 98);
    EXPECT_EQ(Leute[98].free, 0);
    EXPECT_EQ(Leute[99].free, 0);
}

TEST_F(Tabelle, HelicopterAndVehicleUseTheirOwnSpriteSetsOnlyOnThePlayersSide)
{
    MInsert(40, 40, 40, 40, 8);
    MInsert(80, 40, 80, 40, 9);
    FInsert(120, 40, 120, 40, 9);
    FInsert(160, 40, 160, 40, 8);

    const MANN &heli = Leute[0];
    EXPECT_EQ(heli.shapeX, 53);
    EXPECT_EQ(heli.shapeY, 30);
    EXPECT_EQ(heli.shape, 0);
    EXPECT_EQ(heli.shape_start, 9000);
    EXPECT_EQ(heli.energie, 15);

    const MANN &kampf = Leute[1];
    EXPECT_EQ(kampf.shapeX, 43);
    EXPECT_EQ(kampf.shapeY, 30);
    EXPECT_EQ(kampf.shape, 0);
    EXPECT_EQ(kampf.shape_start, 3000);
    EXPECT_EQ(kampf.energie, 250);

    // The enemy vehicle is a 20 x 20 infantry frame with the vehicle's strength.
    const MANN &feindKampf = Leute[2];
    EXPECT_EQ(feindKampf.feind, 1);
    EXPECT_EQ(feindKampf.shapeX, 20);
    EXPECT_EQ(feindKampf.shapeY, 20);
    EXPECT_EQ(feindKampf.shape, 9 * 7);
    EXPECT_EQ(feindKampf.shape_start, 0);
    EXPECT_EQ(feindKampf.energie, 250);

    EXPECT_EQ(Leute[3].shapeX, 20);
    EXPECT_EQ(Leute[3].shape, 8 * 7);
    EXPECT_EQ(MAnz, 2);
    EXPECT_EQ(FAnz, 2);
}

TEST_F(Tabelle, UnknownKindIsRefused)
{
    // A kind without an entry in Data has no abilities to copy; nothing is inserted.
    MInsert(0, 0, 0, 0, 10);
    FInsert(0, 0, 0, 0, 255);
    EXPECT_EQ(MAnz, 0);
    EXPECT_EQ(FAnz, 0);
    EXPECT_EQ(NextFree, 0);
    EXPECT_EQ(Leute[0].free, 0);
}

TEST_F(Tabelle, DeadUnitExplodesAtItsScreenPositionAndFreesItsSlot)
{
    ScrollX = 100;
    ScrollY = 20;
    MInsert(300, 200, 300, 200, 0);
    FInsert(340, 200, 340, 200, 4);
    ASSERT_EQ(MAnz, 1);
    ASSERT_EQ(FAnz, 1);

    // At 1 the unit lives on and nothing changes.
    Leute[1].energie = 1;
    EXPECT_EQ(IsDead(1), 0);
    EXPECT_EQ(Leute[1].free, 1);
    EXPECT_EQ(FAnz, 1);
    EXPECT_EQ(EAnz, 0);
    EXPECT_EQ(NextFree, 2);

    Leute[1].energie = 0;
    EXPECT_EQ(IsDead(1), 1);
    EXPECT_EQ(Leute[1].free, 0);
    EXPECT_EQ(FAnz, 0);
    EXPECT_EQ(MAnz, 1);
    EXPECT_EQ(NextFree, 1);
    ASSERT_EQ(EAnz, 1);
    const EXPLO &e = Explose[0];
    EXPECT_EQ(e.free, 1);
    EXPECT_EQ(e.type, 1);
    EXPECT_EQ(e.x, 240);
    EXPECT_EQ(e.y, 180);
    EXPECT_EQ(e.destruct, 10);
    EXPECT_EQ(e.range, 22);
    EXPECT_EQ(e.frames, 11);

    Leute[0].energie = -40;
    EXPECT_EQ(IsDead(0), 1);
    EXPECT_EQ(MAnz, 0);
    EXPECT_EQ(NextFree, 0);
    EXPECT_EQ(EAnz, 2);
    EXPECT_EQ(Explose[1].x, 200);
}

TEST_F(Tabelle, DeathWithAFullExplosionTableStillRemovesTheUnit)
{
    for (int i = 0; i < 199; ++i)
        ExploseInsert(0, 0, 10, 22, 1);
    MInsert(0, 0, 0, 0, 3);
    Leute[0].energie = 0;
    EXPECT_EQ(IsDead(0), 1);
    EXPECT_EQ(MAnz, 0);
    EXPECT_EQ(EAnz, 199);
    EXPECT_EQ(Explose[199].free, 0);
}

}  // namespace
