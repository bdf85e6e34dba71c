// The in-game panel and the drawing primitives every screen shares: boxes and bevelled bars.
#include "ui/intfc.h"

uint8_t r = 0;
