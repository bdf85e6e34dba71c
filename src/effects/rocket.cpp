// Rockets: scattering, slower bolts with a smoke trail.
#include "effects/rocket.h"

ROCKET Rocket[EFFEKT_TABELLE];
int16_t RocketAnz = 0;
int16_t RocketNextFree = 0;
