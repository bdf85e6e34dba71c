// The battlefield: mission map, tile pictures, the pre-rendered map, obstacle runs, animations.
#include "map/maps.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <ggi/ggi.h>
#include <ggi/layer.h>

#include "display/video.h"
#include "startup/file.h"

int16_t Karte[KARTE_MAX][KARTE_MAX];
int16_t FeldX = 0, FeldY = 0;
unsigned char *Terrain = nullptr;
POS XKarte[KARTE_MAX][KARTE_MAX];
POS YKarte[KARTE_MAX][KARTE_MAX];
ANITER Animated[ANI_MAX];
int16_t AniAnz = 0;
int16_t ScrollX = 0, ScrollY = 0;

namespace {

constexpr int KACHEL_BYTES = KACHEL * KACHEL;  // bytes of one tile picture
constexpr int TERRAIN_BYTES = KARTE_PIXEL * KARTE_PIXEL;

// The three animations: the cell value that starts one, and the frame just past its last.
struct Animation {
    int16_t start;
    int16_t ende;
    int frames;
};
constexpr Animation ANIMATIONEN[] = {{662, 675, 13}, {676, 687, 11}, {700, 706, 6}};

const Animation *FindeAnimation(int16_t kachel)
{
    for (const Animation &a : ANIMATIONEN)
        if (a.start == kachel)
            return &a;
    return nullptr;
}

}  // namespace

int KachelAnzahl()
{
    if (TerrainData == nullptr || TerrainLaenge < KACHEL_BYTES)
        return 0;
    return static_cast<int>(TerrainLaenge / KACHEL_BYTES);
}

namespace {

// Stops the program when the loaded map does not fit the tables, the view or the tile pictures.
void PruefeKarte(const char *datei)
{
    // The run scan looks one column and one row past the map, so 98 tiles fill the tables.
    if (FeldX > KARTE_MAX - 2 || FeldY > KARTE_MAX - 2)
        ggiPanic("Die Karte '%s' ist zu gro\xdf (%d x %d Felder, h\xf6"
                 "chstens %d x %d)!",
                 datei, FeldX, FeldY, KARTE_MAX - 2, KARTE_MAX - 2);
    // The view is 32 x 20 tiles and the bottom row is never shown: a smaller map would show
    // parts of the rendered picture that were never written.
    if (FeldX < KARTE_MIN_X || FeldY < KARTE_MIN_Y)
        ggiPanic("Die Karte '%s' ist zu klein (%d x %d Felder, mindestens %d x %d)!", datei, FeldX, FeldY, KARTE_MIN_X,
                 KARTE_MIN_Y);

    const int kacheln = KachelAnzahl();
    for (int y = 0; y <= FeldY; ++y)
        for (int x = 0; x <= FeldX; ++x)
            if (Karte[y][x] < 0 || Karte[y][x] >= kacheln)
                ggiPanic("Die Karte '%s' enth\xe4lt in Zeile %d, Spalte %d die Kachel %d, die es "
                         "nicht gibt!",
                         datei, y, x, Karte[y][x]);

    int animiert = 0;
    for (int y = 0; y < FeldY; ++y)
        for (int x = 0; x < FeldX; ++x) {
            const Animation *a = FindeAnimation(Karte[y][x]);
            if (a == nullptr)
                continue;
            if (a->ende > kacheln)
                ggiPanic("Die Karte '%s' zeigt in Zeile %d, Spalte %d eine Animation bis zur "
                         "Kachel %d, die es nicht gibt!",
                         datei, y, x, a->ende - 1);
            ++animiert;
        }
    if (animiert > ANI_MAX)
        ggiPanic("Die Karte '%s' hat %d animierte Felder, m\xf6"
                 "glich sind h\xf6"
                 "chstens %d!",
                 datei, animiert, ANI_MAX);
}

}  // namespace

void LoadMap(const char *Datei)
{
    FILE *f = ggiLayerOpenFile(Datei, nullptr);
    if (f == nullptr)
        ggiPanic(fexist(Datei) ? "Datei '%s' nicht lesbar!" : "Kann Datei '%s' nicht laden!", Datei);

    // A header cut short gives no size: the map is then refused as too small.
    unsigned char kopf[4] = {0, 0, 0, 0};
    if (fread(kopf, 1, sizeof kopf, f) != sizeof kopf)
        kopf[2] = kopf[3] = 0;
    FeldX = kopf[2];
    FeldY = kopf[3];

    // The tiles are stored little-endian, row after row, 100 to a row whatever the width.
    size_t bytes = fread(Karte, 1, sizeof Karte, f);
    fclose(f);
    if constexpr (std::endian::native == std::endian::big) {
        auto *zelle = &Karte[0][0];
        for (size_t i = 0; i < bytes / 2; ++i)
            zelle[i] =
                static_cast<int16_t>(static_cast<uint16_t>(zelle[i]) << 8 | static_cast<uint16_t>(zelle[i]) >> 8);
    }

    PruefeKarte(Datei);
}

void DecodeKarte()
{
    // Kept across calls: the picture lives for the whole run.
    if (Terrain == nullptr)
        Terrain = static_cast<unsigned char *>(malloc(TERRAIN_BYTES));
    if (Terrain == nullptr)
        ggiPanic("Kein Speicher f\xfcr die Karte frei!");

    for (int r = 0; r * KACHEL < KACHEL * FeldY - KACHEL; ++r)
        for (int c = 0; c < FeldX; ++c) {
            const uint16_t t = static_cast<uint16_t>(Karte[r][c]);
            const unsigned char *kachel = TerrainData + KACHEL_BYTES * t;
            for (int k = 0; k < KACHEL; ++k)
                for (int l = 0; l < KACHEL; ++l) {
                    // Two draws for every pixel, used or not: the start positions depend on them.
                    const unsigned char g = static_cast<unsigned char>(rand() % 5 + 1);
                    rand();
                    const unsigned char p = kachel[KACHEL * k + l];
                    Terrain[(KACHEL * r + k) * KARTE_PIXEL + KACHEL * c + l] = (p >= 1 && p <= 5) ? g : p;
                }
        }
}

void InitXYKarte()
{
    printf("InitXKarte ...\n");
    for (int y = 0; y <= FeldY; ++y) {
        int x = 0;
        while (x <= FeldX) {
            if (Karte[y][x] <= HINDERNIS) {
                XKarte[y][x] = {0, 0};
                ++x;
                continue;
            }
            int i = x;
            while (i <= FeldX && Karte[y][i] > HINDERNIS) {
                XKarte[y][i].anfang = static_cast<uint8_t>(x);
                ++i;
            }
            // The cell after the run is skipped by the scan; it keeps only the run's end.
            XKarte[y][i].anfang = 0;
            for (int j = x; j <= i; ++j)
                XKarte[y][j].ende = static_cast<uint8_t>(i);
            x = i + 1;
        }
    }

    printf("InitYKarte ...\n");
    for (int x = 0; x <= FeldX; ++x) {
        int y = 0;
        while (y <= FeldY) {
            if (Karte[y][x] <= HINDERNIS) {
                YKarte[y][x] = {0, 0};
                ++y;
                continue;
            }
            int i = y;
            while (i <= FeldY && Karte[i][x] > HINDERNIS) {
                YKarte[i][x].anfang = static_cast<uint8_t>(y);
                ++i;
            }
            YKarte[i][x].anfang = 0;
            for (int j = y; j <= i; ++j)
                YKarte[j][x].ende = static_cast<uint8_t>(i);
            y = i + 1;
        }
    }
    printf("XYKarten initialisiert.\n");
}

void InitKarte()
{
    for (int y = 0; y < FeldY; ++y)
        for (int x = 0; x < FeldX; ++x) {
            const Animation *a = FindeAnimation(Karte[y][x]);
            if (a == nullptr || AniAnz >= ANI_MAX)
                continue;
            ANITER &e = Animated[AniAnz];
            e.x = static_cast<int16_t>(KACHEL * x);
            e.y = static_cast<int16_t>(KACHEL * y);
            e.start = a->start;
            e.index = static_cast<int16_t>(a->start + rand() % a->frames);
            e.ende = a->ende;
            ++AniAnz;
        }
}

void AniKarte()
{
    for (int i = 0; i < AniAnz; ++i) {
        ANITER &e = Animated[i];
        if (e.index >= e.ende)
            e.index = e.start;
        const unsigned char *kachel = TerrainData + KACHEL_BYTES * e.index;
        for (int j = 0; j < KACHEL; ++j)
            memcpy(Terrain + (e.y + j) * KARTE_PIXEL + e.x, kachel + KACHEL * j, KACHEL);
        ++e.index;
    }
}

void Landschaft()
{
    if (ScrollX > ScrollGrenzeX())
        ScrollX = static_cast<int16_t>(ScrollGrenzeX());
    if (ScrollX < 0)
        ScrollX = 0;
    if (ScrollY > ScrollGrenzeY())
        ScrollY = static_cast<int16_t>(ScrollGrenzeY());
    if (ScrollY < 0)
        ScrollY = 0;
    // memmove, not memcpy: for a fixed length the compiler puts its own, slower copy in place
    // of the library's.
    for (int row = 0; row < HEIGHT; ++row)
        memmove(VScreen + row * WIDTH, Terrain + (ScrollY + row) * KARTE_PIXEL + ScrollX, WIDTH);
}
