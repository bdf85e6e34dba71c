// Palette files and full-screen PCX and raw pictures.
#pragma once

#include <ggi/ggi.h>

extern ggi_color pal[256];  // the game's palette, filled from data/system.pal

void LoadPalette(const char *Name, ggi_color *Palette);
void put_PCX(const char *Name);
void show_PCX(const char *Name);
void ShowRif(const char *Name);
