// Palette files and full-screen PCX and raw pictures.
#pragma once

#include <ggi/ggi.h>

extern ggi_color pal[256];  // the game's palette, filled from data/system.pal

// The palette in the last 768 bytes of a file; false (the palette untouched) when the file
// is missing, not a regular file, or too short to hold one.
bool LoadPalette(const char *Name, ggi_color *Palette);
void put_PCX(const char *Name);
void show_PCX(const char *Name);
void ShowRif(const char *Name);
