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
    unsigned char rohdaten[768];
    // A file too short to hold a palette leaves the palette as it was, like a missing one.
    const bool ganz = fseek(f, -768, SEEK_END) == 0 && fread(rohdaten, 1, 768, f) == 768;
    fclose(f);
    if (!ganz)
        return false;
    for (int i = 0; i < 256; i++) {
        Palette[i].r = static_cast<uint16_t>(rohdaten[3 * i] << (10 - Shift));
        Palette[i].g = static_cast<uint16_t>(rohdaten[3 * i + 1] << (10 - Shift));
        Palette[i].b = static_cast<uint16_t>(rohdaten[3 * i + 2] << (10 - Shift));
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
    constexpr int ende = WIDTH * HEIGHT;
    int pos = 0;
    while (pos < ende) {
        const int code = fgetc(f);
        if (code == EOF) {
            // The end of the file reads as colour 255 for every pixel still open.
            memset(VScreen + pos, 255, ende - pos);
            break;
        }
        if (code >= 192) {
            const int farbe = fgetc(f);
            int n = code - 192;
            // A run never passes the end of the buffer.
            if (n > ende - pos)
                n = ende - pos;
            memset(VScreen + pos, static_cast<unsigned char>(farbe), n);
            pos += n;
        } else {
            VScreen[pos++] = static_cast<unsigned char>(code);
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
