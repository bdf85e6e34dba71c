// The battlefield: mission map, tile pictures, the pre-rendered map, obstacle runs, animations.
#pragma once

#include <cstdint>

#include "display/video.h"
#include "units/typedefs.h"

constexpr int KARTE_MAX = 100;     // rows and columns of the map tables
constexpr int KARTE_PIXEL = 2000;  // width and height of the pre-rendered map
constexpr int KARTE_MIN_X = 32;    // tiles across the view
constexpr int KARTE_MIN_Y = 21;    // tiles down the view, and the bottom row that is never shown
constexpr int ANI_MAX = 100;       // entries of Animated
constexpr int KACHEL = 20;         // edge of a tile in map pixels

// Tile numbers above HINDERNIS are obstacles: units walk round them and the obstacle runs hold
// them. Orders and destinations take ground up to BODEN, one more: tile 96 is an obstacle to
// walk round, yet a place the player may send units to.
constexpr int16_t HINDERNIS = 95;
constexpr int16_t BODEN = 96;

extern int16_t Karte[KARTE_MAX][KARTE_MAX];  // tile numbers, [row][column]
extern int16_t FeldX, FeldY;                 // map size in tiles
extern unsigned char *Terrain;               // the whole map as one 2000 x 2000 picture
extern POS XKarte[KARTE_MAX][KARTE_MAX];     // horizontal obstacle runs
extern POS YKarte[KARTE_MAX][KARTE_MAX];     // vertical obstacle runs
extern ANITER Animated[ANI_MAX];             // animated cells
extern int16_t AniAnz;                       // animated cells in use
extern int16_t ScrollX, ScrollY;             // map pixel at the view's top-left corner

// Whether the tile in this row and column is numbered above `grenze` (HINDERNIS or BODEN). A
// place off the tables holds no tile; `ausserhalb` is the answer there.
inline bool KachelUeber(int zeile, int spalte, int16_t grenze, bool ausserhalb)
{
    if (zeile < 0 || zeile >= KARTE_MAX || spalte < 0 || spalte >= KARTE_MAX)
        return ausserhalb;
    return Karte[zeile][spalte] > grenze;
}

// The largest ScrollX and ScrollY that keep the view on the map (the bottom row stays hidden).
inline int ScrollGrenzeX()
{
    return KACHEL * FeldX - WIDTH;
}
inline int ScrollGrenzeY()
{
    return KACHEL * FeldY - HEIGHT - KACHEL;
}

void LoadMap(const char *Datei);
int KachelAnzahl();  // tile pictures in TerrainData
void DecodeKarte();
void InitXYKarte();
void InitKarte();
void AniKarte();
void Landschaft();
