// The battlefield: mission map, tile pictures, the pre-rendered map, obstacle runs, animations.
#include "map/maps.h"

int16_t Karte[KARTE_MAX][KARTE_MAX];
int16_t FeldX = 0, FeldY = 0;
unsigned char *Terrain = nullptr;
POS XKarte[KARTE_MAX][KARTE_MAX];
POS YKarte[KARTE_MAX][KARTE_MAX];
ANITER Animated[100];
int16_t AniAnz = 0;
int16_t ScrollX = 0, ScrollY = 0;
