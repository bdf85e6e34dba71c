// Scrolling the view: right-button drag, edge pushing, the glide; single tile drawing.
#include "map/scroll.h"

int16_t ScrollSpeed = 4;
int16_t RightScroll = 0;
int16_t RightScrollX = 0, RightScrollY = 0;
int16_t RightScrolled = 0;
uint8_t NachScroll = 0;
uint8_t ScrollDir = 0;
