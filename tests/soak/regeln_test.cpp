// The soak's frame check itself: it must name each broken rule, or the soak proves nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "control/control.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/maps.h"
#include "soak/spiel.h"
#include "ui/mouse.h"
#include "units/leute.h"

namespace {

// Empty tables on a map of 64 x 48 tiles; everything goes back to zero afterwards, as the
// games the soak starts in child processes expect to find it.
class Regeln : public ::testing::Test {
protected:
    void SetUp() override
    {
        Leer();
        FeldX = 64;
        FeldY = 48;
    }
    void TearDown() override
    {
        Leer();
        FeldX = FeldY = 0;
    }

    static void Leer()
    {
        memset(Leute, 0, sizeof Leute);
        memset(Laser, 0, sizeof Laser);
        memset(Rocket, 0, sizeof Rocket);
        memset(Explose, 0, sizeof Explose);
        memset(Rauch, 0, sizeof Rauch);
        MAnz = FAnz = NextFree = 0;
        LaserAnz = LaserNextFree = RocketAnz = RocketNextFree = 0;
        EAnz = ExploseNextFree = RauchAnz = RauchNextFree = 0;
        mx = my = 0;
        ScrollX = ScrollY = 0;
        GameSpeed = 1;
    }

    // Two own units in slots 0 and 2, one enemy in slot 1; slot 3 is the lowest free one.
    static void DreiEinheiten()
    {
        for (int i : {0, 1, 2}) {
            Leute[i].free = 1;
            Leute[i].feind = i == 1;
        }
        MAnz = 2;
        FAnz = 1;
        NextFree = 3;
    }
};

TEST_F(Regeln, SoundTablesPass)
{
    EXPECT_EQ(Verletzt(), "");
    DreiEinheiten();
    Leute[0].dmax = WEG_LAENGE;
    Leute[0].dcount = WEG_LAENGE;
    Leute[2].d1count = UMWEG_LAENGE - 1;
    Laser[0].free = Laser[1].free = 1;
    LaserAnz = 2;
    LaserNextFree = 2;
    mx = WIDTH - 1;
    my = HEIGHT - 1;
    ScrollX = 20 * 64 - WIDTH;
    ScrollY = 20 * 48 - HEIGHT - 20;
    GameSpeed = 10;
    EXPECT_EQ(Verletzt(), "");
}

TEST_F(Regeln, EachBrokenRuleIsNamed)
{
    const struct {
        std::function<void()> bruch;
        const char *meldung;
    } faelle[] = {
        {[] { MAnz = 3; }, "counts 3 and 1, live units 2 and 1"},
        {[] { Leute[1].free = 0; }, "counts 2 and 1, live units 2 and 0"},
        {[] { Leute[5].free = 2; }, "unit 5: free is 2"},
        {[] { NextFree = 4; }, "next free unit 4, lowest free slot 3"},
        {[] { Leute[2].type = 10; }, "unit 2: side 0, kind 10"},
        {[] { Leute[0].dmax = WEG_LAENGE + 1; Leute[0].dcount = 1; },
         "unit 0: waypoint 1 of 25, the list holds 24"},
        {[] { Leute[0].dmax = 3; Leute[0].dcount = 4; }, "unit 0: waypoint 4 of 3, the list holds 24"},
        {[] { Leute[2].d1count = UMWEG_LAENGE; }, "unit 2: detour top 20, the stack holds 20"},
        {[] {
             for (int i = 0; i < 50; ++i) {
                 Leute[i].free = 1;
                 Leute[i].feind = 0;
             }
             MAnz = 50;
             FAnz = 0;
             NextFree = 50;
         },
         "counts 50 and 0, at most 49 a side"},
        {[] { LaserAnz = 1; }, "laser: count 1, live entries 0"},
        {[] { Rocket[0].free = 1; RocketAnz = 1; }, "rocket: next free 0, lowest free 1"},
        {[] {
             for (EXPLO &e : Explose)
                 e.free = 1;
             EAnz = 200;
             ExploseNextFree = -1;
         },
         "explosion: count 200"},
        {[] { Rauch[7].free = 3; }, "smoke 7: free is 3"},
        {[] { mx = WIDTH; }, "pointer at 640, 0"},
        {[] { my = -1; }, "pointer at 0, -1"},
        {[] { GameSpeed = 11; }, "game speed 11"},
        {[] { ScrollX = 20 * 64 - WIDTH + 1; }, "view at 641, 0"},
        {[] { ScrollY = -1; }, "view at 0, -1"},
    };
    for (const auto &f : faelle) {
        Leer();
        DreiEinheiten();
        f.bruch();
        EXPECT_EQ(Verletzt(), f.meldung);
    }
}

}  // namespace
