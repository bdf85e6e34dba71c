// Laser bolts and the line tracer they share with rockets.
#pragma once

#include <cstdint>

#include "effects/effekt.h"
#include "units/typedefs.h"

extern LASER Laser[EFFEKT_TABELLE];
extern int16_t LaserAnz;       // lasers in flight
extern int16_t LaserNextFree;  // lowest free entry

void LaserInsert(short ax, short ay, short owner);
void InitLaser(short index);
void CalcLaserPoint(short index);
void LaserCompute(short index);
void LaserEnde(short index);
void LaserDelete(short index);
