// What the rules tests share: every table of the battle cleared, and a view buffer with a guard row behind it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "control/control.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/maps.h"
#include "map/scroll.h"
#include "startup/file.h"
#include "units/data.h"
#include "units/leute.h"

namespace regeln {

inline std::vector<unsigned char> bild(WIDTH *(HEIGHT + 1));

// Open 50 x 50 map, no units or effects, view at the corner, four frames an infantry kind, view filled with `grund`.
inline void Leeren(unsigned char grund = 0)
{
    std::memset(Karte, 0, sizeof Karte), std::memset(XKarte, 0, sizeof XKarte), std::memset(YKarte, 0, sizeof YKarte);
    std::memset(Leute, 0, sizeof Leute), std::memset(Laser, 0, sizeof Laser), std::memset(Rocket, 0, sizeof Rocket);
    std::memset(Explose, 0, sizeof Explose), std::memset(Rauch, 0, sizeof Rauch);
    MAnz = FAnz = NextFree = LaserAnz = LaserNextFree = RocketAnz = RocketNextFree = 0;
    EAnz = ExploseNextFree = RauchAnz = RauchNextFree = 0;
    FeldX = FeldY = 50, ScrollX = ScrollY = 0, ScrollSpeed = 4, NachScroll = ScrollDir = 0, GameSpeed = 1, GameDel = 0;
    MANN_DIV = 4, R_ANFANG = 1, SetUpData();
    std::fill(bild.begin(), bild.end(), grund), VScreen = bild.data();
}

// Bytes of the view buffer and its guard that differ from `grund`.
inline int Gemalt(unsigned char grund = 0)
{
    return int(bild.size() - std::count(bild.begin(), bild.end(), grund));
}

}  // namespace regeln
