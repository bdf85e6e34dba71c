// Laser bolts and the line tracer they share with rockets.
#include "effects/laser.h"

LASER Laser[EFFEKT_TABELLE];
int16_t LaserAnz = 0;
int16_t LaserNextFree = 0;
