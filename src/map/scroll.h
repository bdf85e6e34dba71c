// Scrolling the view: right-button drag, edge pushing, the glide; single tile drawing.
#pragma once

#include <cstdint>

extern int16_t ScrollSpeed;                 // edge step is twice this; drag factor
extern int16_t RightScroll;                 // 1 while the right button is held
extern int16_t RightScrollX, RightScrollY;  // pointer at the last drag step
extern int16_t RightScrolled;               // 2 once a drag step moved the view during this press
extern uint8_t NachScroll;                  // remaining glide steps, also the next step's speed
extern uint8_t ScrollDir;                   // glide direction: 1 left, 2 right, 3 up, 4 down

void ScrollLeft();
void ScrollRight();
void ScrollUp();
void ScrollDown();
void NormScrollLeft();
void NormScrollRight();
void NormScrollUp();
void NormScrollDown();
void DoScroll();
void NachScrollen();
void PutSprite(short x, short y, short index);
