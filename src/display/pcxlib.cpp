// Palette files and full-screen PCX and raw pictures.
#include "display/pcxlib.h"

#include <cstdio>
#include <cstring>

#include <ggi/layer.h>

#include "display/video.h"

ggi_color pal[256];

bool LoadPalette(const char *Name, ggi_color *Palette)
{
    constexpr int Shift = 2;  // the file holds 8-bit components
    FILE *f = ggiLayerOpenFile(Name, nullptr);
    if (f == nullptr)
        return false;
    unsigned char Rohdaten[768];
    // A file too short to hold a palette leaves the palette as it was, like a missing one.
    const bool ganz = fseek(f, -768, SEEK_END) == 0 && fread(Rohdaten, 1, 768, f) == 768;
    fclose(f);
    if (!ganz)
        return false;
    for (int i = 0; i < 256; i++) {
        Palette[i].r = static_cast<uint16_t>(Rohdaten[3 * i] << (10 - Shift));
        Palette[i].g = static_cast<uint16_t>(Rohdaten[3 * i + 1] << (10 - Shift));
        Palette[i].b = static_cast<uint16_t>(Rohdaten[3 * i + 2] << (10 - Shift));
    }
    return true;
}

void put_PCX(const char *Name)
{
    FILE *f = ggiLayerOpenFile(Name, nullptr);
    if (f == nullptr)
        ggiPanic("Kann '%s' nicht laden!\n", Name);
    if (VScreen == nullptr) {
        fclose(f);
        return;
    }
    for (int i = 0; i < 128; i++)
        fgetc(f);
    constexpr int Ende = WIDTH * HEIGHT;
    int Pos = 0;
    while (Pos < Ende) {
        const int Code = fgetc(f);
        if (Code == EOF) {
            // The end of the file reads as colour 255 for every pixel still open.
            memset(VScreen + Pos, 255, Ende - Pos);
            break;
        }
        if (Code >= 192) {
            const int Farbe = fgetc(f);
            int n = Code - 192;
            // A run never passes the end of the buffer.
            if (n > Ende - Pos)
                n = Ende - Pos;
            memset(VScreen + Pos, static_cast<unsigned char>(Farbe), n);
            Pos += n;
        } else {
            VScreen[Pos++] = static_cast<unsigned char>(Code);
        }
    }
    fclose(f);
}

void show_PCX(const char *Name)
{
    put_PCX(Name);
    ggi_color p[256] = {};
    LoadPalette(Name, p);
    if (vis != nullptr)
        ggiSetPalette(vis, 0, 256, p);
}

void ShowRif(const char *Name)
{
    FILE *f = ggiLayerOpenFile(Name, nullptr);
    if (f == nullptr)
        ggiPanic("Kann '%s' nicht laden!\n", Name);
    if (VScreen != nullptr)
        fread(VScreen, WIDTH, HEIGHT, f);
    fclose(f);
    LoadPalette(Name, pal);
    if (vis != nullptr)
        ggiSetPalette(vis, 0, 256, pal);
}
