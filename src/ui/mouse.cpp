// The mouse pointer: position, kinds, and saving, drawing and restoring it in the view buffer.
#include "ui/mouse.h"

int16_t mx = 0, my = 0;
int16_t mx1 = 0, my1 = 0;
uint8_t MouseImage = 0;
int16_t m_image_start = 0, m_image_end = 0;
uint8_t m_show_image = 1;
const int16_t Mauszeiger[5][2] = {{1, 1}, {9, 9}, {1, 4}, {5, 8}, {10, 13}};
