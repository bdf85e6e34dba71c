// Operations on units: the table, drawing, movement, combat and behaviour.
#pragma once

#include <cstdint>

#include "units/vardefs.h"

// Table (leute.cpp).
void MInsert(short ax, short ay, short dx, short dy, unsigned char type);
void FInsert(short ax, short ay, short dx, short dy, unsigned char type);
void MDelete(short index);
void FDelete(short index);
unsigned char IsDead(short index);

// Drawing (leute.cpp).
void MSet(short index);
void MSetAkt(short index);

// Movement (bewegung.cpp).
void MannMove(short index);
void KampfMove(short index);
void HeliMove(short index);
void MannHindernis(short index);

// Combat (kampf.cpp).
unsigned char ScanInRange(short index, short i);
unsigned char InRange(short index);
void ScanArea(short index);
void LeuteTrackAttack(short index);
void LeuteAttack(short index);
void RocketMannAttack(short index);
void LaserMannAttack(short index);
void CalcHit(short index);
void ShowGoderAttack(short index);

// Behaviour (verhalten.cpp).
void MVerhalten(short index);
