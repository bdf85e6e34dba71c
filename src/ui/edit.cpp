// The map-editor overlay: tile cursor, tile column and buttons over the running game.
#include "ui/edit.h"

uint8_t edit = 0;
int16_t EditSelect = 0;
int16_t PartSelect = 0;
int16_t SelectX = 10, SelectY = 10;
