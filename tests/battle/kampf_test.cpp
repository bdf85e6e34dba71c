// Combat: weapon range, the target scan, facings and attack cycles, hits and sparks.
#include "battle/schlacht.h"

#include <map>
#include <utility>

namespace {

using schlacht::Pixel;
using schlacht::Schlacht;
using schlacht::Setze;
using schlacht::Vorschau;

using Kampf = Schlacht;

TEST_F(Kampf, WeaponRangeIncludesItsBoundary)
{
    // Kind 0 reaches 5 tiles, 100 pixels.
    Setze(0, 0, 0, 100, 100);
    struct Fall {
        int x, y;
        unsigned char drin;
    } faelle[] = {{200, 100, 1}, {0, 100, 1}, {100, 200, 1}, {160, 180, 1},
                  {161, 180, 0}, {201, 100, 0}, {40, 20, 1}, {39, 20, 0}};
    for (const Fall &f : faelle) {
        Setze(1, 1, 4, static_cast<int16_t>(f.x), static_cast<int16_t>(f.y));
        EXPECT_EQ(ScanInRange(0, 1), f.drin) << f.x << "," << f.y;
        Leute[0].zx = static_cast<int16_t>(f.x);
        Leute[0].zy = static_cast<int16_t>(f.y);
        EXPECT_EQ(InRange(0), f.drin) << f.x << "," << f.y;
    }

    // The combat vehicle reaches 12 tiles; its range decides, not the target's.
    Setze(2, 0, 9, 100, 100);
    Setze(1, 1, 4, 340, 100);
    EXPECT_EQ(ScanInRange(2, 1), 1);
    EXPECT_EQ(ScanInRange(1, 2), 0);

    // Distances across the whole coordinate range do not overflow the squares.
    Setze(1, 1, 4, -30000, 30000);
    EXPECT_EQ(ScanInRange(2, 1), 0);
}

TEST_F(Kampf, ScanLocksOnTheOpponentInTheHighestSlot)
{
    Setze(0, 0, 0, 100, 100);
    Setze(3, 1, 4, 150, 100);
    Setze(7, 1, 5, 100, 150);
    Setze(9, 0, 0, 110, 110);  // own side, in range, later slot
    Setze(8, 1, 4, 120, 100);
    Leute[8].free = 0;  // freed, its stale position still in range
    ScanArea(0);
    EXPECT_EQ(Leute[0].who, 7);
    EXPECT_EQ(Leute[0].attack, 1);
    EXPECT_EQ(Leute[0].zx, 100);
    EXPECT_EQ(Leute[0].zy, 150);

    // The enemy side scans for the player's units the same way.
    ScanArea(3);
    EXPECT_EQ(Leute[3].who, 9);

    // Nobody in range: the old lock stays as it was.
    Setze(7, 1, 5, 900, 900);
    Setze(3, 1, 4, 900, 900);
    Leute[0].zx = 1, Leute[0].zy = 2;
    ScanArea(0);
    EXPECT_EQ(Leute[0].who, 7);
    EXPECT_EQ(Leute[0].attack, 1);
    EXPECT_EQ(Leute[0].zx, 1);
    EXPECT_EQ(Leute[0].zy, 2);
}

TEST_F(Kampf, FacingIsStrictAroundTenPixelsBelowTheUnit)
{
    // The first attack frame of each facing, plus one: the frame after a first call.
    struct Fall {
        int x, y, bild;
        const char *name;
    } faelle[] = {
        {110, 110, 66, "R"},  {111, 111, 97, "RU"}, {110, 109, 91, "RO"}, {150, 100, 91, "RO"},
        {90, 110, 61, "L"},   {90, 111, 85, "LU"},  {90, 109, 79, "LO"},  {100, 101, 75, "U"},
        {100, 99, 71, "O"},   {100, 100, 71, "O"},  {100, 130, 75, "U"},
    };
    for (const Fall &f : faelle) {
        MANN &m = Setze(0, 0, 0, 100, 100);
        Setze(1, 1, 4, static_cast<int16_t>(f.x), static_cast<int16_t>(f.y));
        m.attack = 1;
        m.who = 1;
        m.zx = static_cast<int16_t>(f.x);
        m.zy = static_cast<int16_t>(f.y);
        LeuteAttack(0);
        EXPECT_EQ(m.shape, f.bild) << f.name;
        EXPECT_EQ(m.fire, 1);
    }
}

TEST_F(Kampf, AttackCyclesFollowTheTargetAndLaunchAtTheEndOfEachCycle)
{
    // Rocket trooper (kind 1, frames from 120) facing right: S = 185, three frames.
    MANN &m = Setze(0, 0, 1, 100, 100);
    MANN &ziel = Setze(1, 1, 4, 150, 110);
    m.attack = 1, m.who = 1;
    m.zx = 150, m.zy = 110;
    for (int n = 1; n <= 4; ++n) {
        RocketMannAttack(0);
        EXPECT_EQ(m.shape, 185 + n);
        EXPECT_EQ(RocketAnz, 0);
    }
    RocketMannAttack(0);
    EXPECT_EQ(m.shape, 186);
    ASSERT_EQ(RocketAnz, 1);
    EXPECT_EQ(Rocket[0].ax, 100);
    EXPECT_EQ(Rocket[0].ay, 100);
    EXPECT_EQ(Rocket[0].owner, 0);
    EXPECT_EQ(m.zaehler, 8);

    // After each call the remembered position is where the target is now.
    ziel.ax = 160, ziel.ay = 111;
    RocketMannAttack(0);
    EXPECT_EQ(m.zx, 160);
    EXPECT_EQ(m.zy, 111);
    LeuteAttack(0);
    ziel.ax = 170;
    LeuteAttack(0);
    EXPECT_EQ(m.zx, 170);

    // A frame above the range fires at the first call.
    m.shape = 400;
    m.zx = 150, m.zy = 110;
    RocketMannAttack(0);
    EXPECT_EQ(RocketAnz, 2);
    EXPECT_EQ(m.shape, 186);
}

TEST_F(Kampf, LaserLeavesFromTheMuzzleOfEachFacing)
{
    // With no spread the facings are those of the other troopers.
    Data[2].hit_security = 1;
    struct Fall {
        int x, y, s, n, mx, my;
        const char *name;
    } faelle[] = {
        {110, 110, ANGRIF_R, ANGRIF_RL, 19, 10, "R"},    {150, 50, ANGRIF_RO, ANGRIF_ROL, 12, 4, "RO"},
        {150, 150, ANGRIF_RU, ANGRIF_RUL, 14, 14, "RU"}, {50, 110, ANGRIF_L, ANGRIF_LL, 0, 10, "L"},
        {50, 50, ANGRIF_LO, ANGRIF_LOL, 5, 4, "LO"},     {50, 150, ANGRIF_LU, ANGRIF_LUL, 3, 14, "LU"},
        {100, 50, ANGRIF_O, ANGRIF_OL, 8, 15, "O"},      {100, 150, ANGRIF_U, ANGRIF_UL, 11, 2, "U"},
    };
    for (const Fall &f : faelle) {
        schlacht::Raeumen();
        Data[2].hit_security = 1;
        MANN &m = Setze(0, 0, 2, 100, 100);
        Setze(1, 1, 4, static_cast<int16_t>(f.x), static_cast<int16_t>(f.y));
        m.attack = 1, m.who = 1;
        m.zx = static_cast<int16_t>(f.x);
        m.zy = static_cast<int16_t>(f.y);
        const int s = 2 * MANN_DIV + f.s;
        m.shape = static_cast<int16_t>(s + f.n + 1);
        LaserMannAttack(0);
        ASSERT_EQ(LaserAnz, 1) << f.name;
        EXPECT_EQ(Laser[0].ax, 100 + f.mx) << f.name;
        EXPECT_EQ(Laser[0].ay, 100 + f.my) << f.name;
        EXPECT_EQ(Laser[0].dx, f.x) << f.name;
        EXPECT_EQ(Laser[0].dy, f.y) << f.name;
        EXPECT_EQ(m.shape, s + 1) << f.name;
        EXPECT_EQ(m.zaehler, 2);
    }
}

TEST_F(Kampf, LaserAimWobblesAndTheTwoDrawsMayLeaveNoFacing)
{
    // Kind 2 spreads by (rand() % 2) x 20 / 4: 0 or 5 pixels per comparison. Straight
    // above by 3 pixels: the first draw is spent on the left test, the second chooses
    // down when it is 5, else a third chooses up when it is 0 and nothing when it is 5.
    MANN &m = Setze(0, 0, 2, 100, 100);
    Setze(1, 1, 4, 100, 97);
    m.attack = 1, m.who = 1;
    const int oben = 2 * MANN_DIV + ANGRIF_O;
    const int unten = 2 * MANN_DIV + ANGRIF_U;
    int keine = 0;
    const std::vector<int> r = Vorschau(200);
    size_t k = 0;
    for (int n = 0; n < 40; ++n) {
        m.zx = 100, m.zy = 97;
        m.fire = 0;
        m.shape = static_cast<int16_t>(2 * MANN_DIV);  // below every attack range
        int erwartet;
        if (r[k + 1] % 2 == 1) {
            k += 2, erwartet = unten + 1;
        } else if (r[k + 2] % 2 == 0) {
            k += 3, erwartet = oben + 1;
        } else {
            k += 3, erwartet = 2 * MANN_DIV;
            ++keine;
        }
        LaserMannAttack(0);
        EXPECT_EQ(m.shape, erwartet) << n;
        EXPECT_EQ(m.fire, erwartet == 2 * MANN_DIV ? 0 : 1) << n;
        // The target is followed even when no facing was found.
        EXPECT_EQ(m.zy, 97);
    }
    // Exactly the predicted draws were taken.
    EXPECT_EQ(Vorschau(1)[0], r[k]);
    EXPECT_GT(keine, 0);
}

TEST_F(Kampf, DirectHitDamageAndTheLockEndingOnAKill)
{
    struct Fall {
        uint8_t type;
        int min, max;
    } faelle[] = {{0, 1, 5}, {3, 7, 10}, {8, 10, 15}, {9, 46, 50}};
    for (const Fall &f : faelle) {
        MANN &m = Setze(0, 0, f.type, 100, 100);
        MANN &ziel = Setze(1, 1, 4, 120, 100);
        m.attack = 1, m.who = 1;
        int kleinster = 1000, groesster = -1;
        const std::vector<int> r = Vorschau(300);
        for (int n = 0; n < 300; ++n) {
            ziel.energie = 30000;
            CalcHit(0);
            const int schaden = 30000 - ziel.energie;
            EXPECT_EQ(schaden, Data[f.type].destruct - r[n] % Data[f.type].hit_security);
            kleinster = std::min(kleinster, schaden);
            groesster = std::max(groesster, schaden);
        }
        EXPECT_EQ(kleinster, f.min) << int(f.type);
        EXPECT_EQ(groesster, f.max) << int(f.type);
        EXPECT_EQ(m.attack, 1);
    }

    // A hit that leaves exactly 0 ends the lock; the target stays in its slot.
    MANN &m = Setze(0, 0, 0, 100, 100);
    MANN &ziel = Setze(1, 1, 4, 120, 100);
    m.attack = 1, m.who = 1;
    ziel.energie = 5;
    while (Vorschau(1)[0] % 5 != 0)
        rand();
    CalcHit(0);
    EXPECT_EQ(ziel.energie, 0);
    EXPECT_EQ(m.attack, 0);
    EXPECT_EQ(ziel.free, 1);

    // A freed target is still hit through its stale record, which ends the lock at once.
    m.attack = 1;
    ziel.free = 0;
    ziel.energie = -3;
    CalcHit(0);
    EXPECT_LE(ziel.energie, -4);
    EXPECT_EQ(m.attack, 0);
}

TEST_F(Kampf, ALockWithoutATargetSlotReadsNothingAndEnds)
{
    MANN &m = Setze(0, 0, 0, 100, 100);
    m.attack = 1;
    m.who = 255;
    m.zx = 120, m.zy = 100;
    const int naechste = Vorschau(1)[0];
    const std::vector<unsigned char> vorher = schlacht::Bild();

    ShowGoderAttack(0);
    EXPECT_EQ(schlacht::Bild(), vorher);
    CalcHit(0);
    EXPECT_EQ(m.attack, 0);
    m.attack = 1;
    LeuteAttack(0);
    EXPECT_EQ(m.attack, 0);
    EXPECT_EQ(m.zx, 120);
    EXPECT_EQ(m.zy, 100);
    EXPECT_EQ(Vorschau(1)[0], naechste);
}

TEST_F(Kampf, SparksAreClippedToTheView)
{
    Setze(0, 0, 0, 100, 100);
    MANN &ziel = Setze(1, 1, 4, 0, 0);
    Leute[0].who = 1;
    const std::pair<int, int> orte[] = {{-5, 10}, {630, 390}, {-19, -19}, {300, 200}, {625, -10}};
    for (const auto &[x, y] : orte) {
        const std::vector<int> r = Vorschau(60);
        for (int n = 0; n < 30; ++n) {
            std::fill(schlacht::Bild().begin(), schlacht::Bild().end(), 0);
            ziel.x = static_cast<int16_t>(x);
            ziel.y = static_cast<int16_t>(y);
            const int px = x + r[2 * n] % 20, py = y + r[2 * n + 1] % 20;
            std::map<std::pair<int, int>, int> soll;
            const int punkte[4][3] = {
                {px, py, 201}, {px - 1, py + 1, 103}, {px, py + 1, 97}, {px + 1, py + 1, 103}};
            for (const auto &p : punkte) {
                if (p[0] >= 0 && p[0] < WIDTH && p[1] >= 0 && p[1] < HEIGHT)
                    soll[{p[0], p[1]}] = p[2];
            }
            ShowGoderAttack(0);
            int gesetzt = 0;
            for (int i = 0; i < WIDTH * HEIGHT; ++i)
                gesetzt += VScreen[i] != 0;
            EXPECT_EQ(gesetzt, static_cast<int>(soll.size())) << x << "," << y;
            for (const auto &[ort, farbe] : soll)
                EXPECT_EQ(Pixel(ort.first, ort.second), farbe);
        }
    }
}

}  // namespace
