// Scenes of the running game built through its own functions, for the picture tests and the
// benchmarks: the start position, a busy battle, every effect table full, the view's edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effects/effekt.h"
#include "map/maps.h"
#include "units/typedefs.h"
#include "units/vardefs.h"

namespace szenen {

// Start-up as the game's entry point does it, in the current folder, on the display that
// GGI_DISPLAY names: resources, display, palette, the first picture, the starting units.
// False when the display does not open.
bool Start();

// Fills both sides up to their limit of 49, every unit on screen and within weapon range of
// the other side, lets the battle run `vorlauf` frames so that shots are in flight, and
// fills both sides up again; the player's units on screen end up selected.
void Gefecht(int vorlauf);

// Fills every effect table up to its 199 live entries, all on screen: explosions and smoke
// spread over the view, lasers and rockets flying long paths across it.
void VolleTabellen();

// Scrolls into the map and puts units of every size, selected and not, and effects of every
// kind across all four edges of the view, half in and half out.
void Raender();

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

// One frame of the game loop; true when the game would end after it.
bool Bild();

// FNV-1a over a block of bytes: the pictures are compared by their digests.
uint64_t Pruefsumme(const unsigned char *daten, size_t n);

// The digest of the view buffer and of the picture shown.
uint64_t BildPruefsumme();

}  // namespace szenen
