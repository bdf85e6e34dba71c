// Explosions: frame animations where a unit died, anchored to the screen.
#pragma once

#include <cstdint>

#include "effects/effekt.h"
#include "units/typedefs.h"

extern EXPLO Explose[EFFEKT_TABELLE];
extern int16_t EAnz;             // live explosions
extern int16_t ExploseNextFree;  // lowest free entry

void ExploseInsert(short x, short y, short destruct, short range, unsigned char type);
void ExploseCompute(short index);
void ShowExplose(short index);
void EDelete(short index);
