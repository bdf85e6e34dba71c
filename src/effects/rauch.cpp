// Smoke puffs left behind by rockets, fixed on the screen.
#include "effects/rauch.h"

RAUCH Rauch[EFFEKT_TABELLE];
int16_t RauchAnz = 0;
int16_t RauchNextFree = 0;
