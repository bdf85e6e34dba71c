// Rockets: scattering, slower bolts with a smoke trail.
#pragma once

#include <cstdint>

#include "effects/effekt.h"
#include "units/typedefs.h"

extern ROCKET Rocket[EFFEKT_TABELLE];
extern int16_t RocketAnz;       // rockets in flight
extern int16_t RocketNextFree;  // lowest free entry

void RocketInsert(short ax, short ay, short owner);
void InitRocket(short index);
void CalcRocketPoint(short index);
void RocketCompute(short index);
void RocketEnde(short index);
void RocketDelete(short index);
