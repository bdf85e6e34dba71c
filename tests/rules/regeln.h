// What the rules tests share: every table of the battle cleared, and the view between guard rows.
#pragma once

#include "support.h"

#include "control/control.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "map/maps.h"
#include "map/scroll.h"
#include "startup/file.h"
#include "ui/mouse.h"
#include "units/data.h"
#include "units/leute.h"

constexpr int RAND = 16 * WIDTH;  // guard rows above and below the view
inline std::vector<unsigned char> puffer = std::vector<unsigned char>(WIDTH * HEIGHT + 2 * RAND);

// Open 50 x 50 map, no units or effects, view at the corner, four frames an infantry kind; VScreen between the guard
// rows, all filled with `grund`.
inline void Leeren(unsigned char grund = 0)
{
    std::memset(Karte, 0, sizeof Karte), std::memset(XKarte, 0, sizeof XKarte), std::memset(YKarte, 0, sizeof YKarte);
    std::memset(Leute, 0, sizeof Leute), std::memset(Laser, 0, sizeof Laser), std::memset(Explose, 0, sizeof Explose);
    MAnz = FAnz = NextFree = LaserAnz = LaserNextFree = EAnz = ExploseNextFree = 0;
    FeldX = FeldY = 50, ScrollX = ScrollY = 0, ScrollSpeed = 4, NachScroll = ScrollDir = 0, GameSpeed = 1, GameDel = 0;
    MANN_DIV = 4, R_ANFANG = 1, SetUpData();
    std::fill(puffer.begin(), puffer.end(), grund), VScreen = puffer.data() + RAND;
}

// Bytes of the view and its guard rows that differ from `grund`.
inline int Gemalt(unsigned char grund = 0)
{
    return int(puffer.size() - std::count(puffer.begin(), puffer.end(), grund));
}
