// The mouse pointer: position, kinds, and saving, drawing and restoring it in the view buffer.
#pragma once

#include <cstdint>

extern int16_t mx, my;                      // pointer position, screen pixels
extern int16_t mx1, my1;                    // position before the last move
extern uint8_t MouseImage;                  // current kind 0..4
extern int16_t m_image_start, m_image_end;  // frame range of the current kind
extern uint8_t m_show_image;                // frame drawn by MousePlace
extern const int16_t Mauszeiger[5][2];      // {first frame, end frame} per kind

void MousePut(int x, int y);
int maus_innen(short x, short y, short x1, short y1);
void MouseBackSave();
void MouseBackRestore();
void MousePlace();
void MouseSet(int n);
// One animation step of the current kind; the game loop calls it once per tick.
void MouseAnimate();
