// Storage of the unit table and its counters.
#include "units/vardefs.h"

MANN Leute[MAX_LEUTE];
int16_t MAnz = 0;
int16_t FAnz = 0;
int16_t NextFree = 0;
