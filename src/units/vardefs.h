// The unit table and its counters, shared by every module that touches units.
#pragma once

#include <cstdint>

#include "units/typedefs.h"

constexpr int MAX_LEUTE = 100;     // slots in the unit table
constexpr int MAX_PRO_SEITE = 49;  // live units per side at most

extern MANN Leute[MAX_LEUTE];  // both sides, identified by slot
extern int16_t MAnz;           // live units of the player
extern int16_t FAnz;           // live enemy units
extern int16_t NextFree;       // lowest free slot of Leute
