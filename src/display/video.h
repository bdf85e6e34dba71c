// The display: the 640 x 400 8-bit mode, the view buffer every drawing goes into, its showing.
#pragma once

#include <cstdint>

#include <ggi/ggi.h>

inline constexpr int32_t WIDTH = 640;   // width of the mode and of every frame buffer
inline constexpr int32_t HEIGHT = 400;  // rows of the mode and of every frame buffer

extern ggi_visual_t vis;            // the open display, null until init640x480 succeeds
extern const ggi_directbuffer *db;  // the display's direct buffer, or null
// The view buffer, WIDTH x HEIGHT palette indices. From a frame of the game on, where the
// display's direct buffer has rows WIDTH long, it is that buffer itself (AnsichtDirekt).
extern unsigned char *VScreen;
extern unsigned char *Screen;  // the picture as shown

int init640x480();
void Cpy2Screen();
// A frame of the game, which polls for input only before it draws, draws straight into the
// display's direct buffer where the rows fit: that spares a copy of the whole picture. A
// screen that polls between drawing and showing (the menu) calls AnsichtAbloesen first: the
// view is then a buffer of the game's own again, holding the picture shown, and Cpy2Screen
// shows it as always, until the next frame's AnsichtDirekt.
void AnsichtDirekt();
void AnsichtAbloesen();
void Put();
void Set_Palette(unsigned short start, unsigned short end, unsigned char *palette, char Shift);
void Set_Palette2(unsigned short start, unsigned short end, ggi_color *palette, unsigned char blend);
void textmodus();
void FadeOut();
void BildAus();
void FlashOut();
void FlashIn();
void GrayIn();
