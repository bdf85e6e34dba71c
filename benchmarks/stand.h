// A scene's whole state kept and put back, so that the frame benchmarks time the same frame
// again and again.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/effekt.h"
#include "map/maps.h"
#include "units/typedefs.h"
#include "units/vardefs.h"

namespace szenen {

// Everything one frame of the game reads and changes, so that a frame can be replayed from
// the same start: the tables, the counters, the view, the pointer and its saved background,
// and the animated cells of the map picture.
struct Stand {
    MANN leute[MAX_LEUTE];
    int16_t mAnz, fAnz, nextFree;
    LASER laser[EFFEKT_TABELLE];
    ROCKET rocket[EFFEKT_TABELLE];
    EXPLO explose[EFFEKT_TABELLE];
    RAUCH rauch[EFFEKT_TABELLE];
    int16_t laserAnz, laserNext, rocketAnz, rocketNext, eAnz, eNext, rauchAnz, rauchNext;
    int16_t scrollX, scrollY, rightScroll, rightScrollX, rightScrollY, rightScrolled;
    uint8_t nachScroll, scrollDir;
    int16_t gameSpeed, gameDel;
    uint8_t rahmen, phase, edit;
    int16_t rahmenX, rahmenY;
    int16_t mx, my, mx1, my1, imageStart, imageEnd;
    uint8_t mouseImage, showImage;
    std::vector<unsigned char> mausHintergrund;
    ANITER animated[ANI_MAX];
    int16_t aniAnz;
    std::vector<unsigned char> zellen;  // 20 x 20 pixels of each animated cell
};

void Sichern(Stand &s);
void Zuruecksetzen(const Stand &s);

}  // namespace szenen
