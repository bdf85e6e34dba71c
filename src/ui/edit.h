// The map-editor overlay: tile cursor, tile column and buttons over the running game.
#pragma once

#include <cstdint>

extern uint8_t edit;              // overlay shown
extern int16_t EditSelect;        // tile drawn as the cursor
extern int16_t PartSelect;        // tile at the top of the column
extern int16_t SelectX, SelectY;  // screen position of the column's first tile

void ShowSpriteSelect();
void ShowEditInterface();
