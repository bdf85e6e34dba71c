// The display: the 640 x 400 8-bit mode, the view buffer every drawing goes into, its showing.
#include "display/video.h"

ggi_visual_t vis = nullptr;
const ggi_directbuffer *db = nullptr;
unsigned char *VScreen = nullptr;
unsigned char *Screen = nullptr;
