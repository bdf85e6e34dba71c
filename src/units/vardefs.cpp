// Storage of the unit table and its counters.
#include "units/vardefs.h"

// Every unit of both sides; a unit is known everywhere by its slot here.
MANN Leute[MAX_LEUTE];
// Live units per side: the game ends when either reaches 0, inserts stop at 49.
int16_t MAnz = 0;
int16_t FAnz = 0;
// Lowest free slot, so an insert never has to search before filling.
int16_t NextFree = 0;
