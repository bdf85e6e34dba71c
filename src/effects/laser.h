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

// The tracer and the flight both kinds of bolt share.
void LinieInit(LASER &bolzen);
void LinieSchritt(LINE &l);
// One frame of a bolt: on a tick the head advances, then the streak ahead of it is drawn,
// shaded down from `farbe` or in one colour. True when the bolt has reached its end; the
// tracer then holds the impact point.
bool BolzenFlug(LASER &bolzen, bool schattiert);
// The impact: every unit whose box holds the tracer's point loses the bolt's damage.
void BolzenTreffer(const LASER &bolzen);
