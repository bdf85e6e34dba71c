// The in-game panel and the drawing primitives every screen shares: boxes and bevelled bars.
#pragma once

#include <cstdint>

extern uint8_t r;  // phase of the dotted boxes, flipped on game ticks

void draw_box(int x, int y, int x1, int y1, unsigned char color);
void fill_box(int x, int y, int x1, int y1, unsigned char color);
void gbalken(int x, int y, int lang);
void bbalken(int x, int y, int lang);
void Balken(int x, int y, int lang, unsigned char HELL, unsigned char DUNKEL, unsigned char MITTEL);
void gbalken_offen(int x, int y, int lang);
void gbalken_offen_links(int x, int y, int lang);
void bbalken_offen_rechts(int x, int y, int lang);
void InterFace();
