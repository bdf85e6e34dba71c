// Palette files and full-screen PCX and raw pictures.
#include "display/pcxlib.h"

ggi_color pal[256];
