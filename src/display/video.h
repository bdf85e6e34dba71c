// The display: the 640 x 400 8-bit mode, the view buffer every drawing goes into, its showing.
#pragma once

#include <cstdint>

#include <ggi/ggi.h>

inline constexpr int32_t WIDTH = 640;   // width of the mode and of every frame buffer
inline constexpr int32_t HEIGHT = 400;  // rows of the mode and of every frame buffer

extern ggi_visual_t vis;            // the open display, null until init640x480 succeeds
extern const ggi_directbuffer *db;  // the display's direct buffer, or null
extern unsigned char *VScreen;      // the view buffer, WIDTH x HEIGHT palette indices
extern unsigned char *Screen;       // the picture as shown

int init640x480();
void Cpy2Screen();
void Put();
void Set_Palette(unsigned short start, unsigned short end, unsigned char *palette, char Shift);
void Set_Palette2(unsigned short start, unsigned short end, ggi_color *palette, unsigned char blend);
void textmodus();
void FadeOut();
void BildAus();
void FlashOut();
void FlashIn();
void GrayIn();
