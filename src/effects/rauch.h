// Smoke puffs left behind by rockets, fixed on the screen.
#pragma once

#include <cstdint>

#include "effects/effekt.h"
#include "units/typedefs.h"

extern RAUCH Rauch[EFFEKT_TABELLE];
extern int16_t RauchAnz;       // live puffs
extern int16_t RauchNextFree;  // lowest free entry

void RauchInsert(short x, short y);
void RauchCompute(short index);
void ShowRauch(short index);
void RauchDelete(short index);
