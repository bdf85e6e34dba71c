// The game loop: one pass a frame, its order of work, the event pump and the player's commands.
#pragma once

#include <cstdint>

extern int16_t GameSpeed;  // pace 1..10, larger is slower
extern int16_t GameDel;    // tick counter; effects advance on frames where it is 0
extern uint8_t Rahmen;     // selection frame: 0 none, 1 button down, 2 dragging
extern int16_t RahmenX, RahmenY;  // where the left button went down

void GameLoop();
