// Explosions: frame animations where a unit died, anchored to the screen.
#include "effects/explose.h"

EXPLO Explose[EFFEKT_TABELLE];
int16_t EAnz = 0;
int16_t ExploseNextFree = 0;
