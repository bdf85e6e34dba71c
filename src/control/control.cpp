// The game loop: one pass a frame, its order of work, the event pump and the player's commands.
#include "control/control.h"

int16_t GameSpeed = 1;
int16_t GameDel = 0;
uint8_t Rahmen = 0;
int16_t RahmenX = 0, RahmenY = 0;
