// The viewer's graphics mode: choosing 8, 16 or 24 bits and converting a picture to it.
#include "lumora.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Set once by init_ggi; adapttodepth and the display picture size follow it.
uint8_t bytes_per_pixel;

namespace {

// Sets the mode of the given type; the caller has checked that the display accepts it.
void setmode(ggi_visual_t vis, ggi_graphtype type, uint8_t bytes, const char *using_msg, const char *error_msg)
{
    if (ggiSetGraphMode(vis, PCX_MAX_WIDTH, PCX_MAX_HEIGHT, PCX_MAX_WIDTH, PCX_MAX_HEIGHT, type) != 0) {
        printf("%s", error_msg);
        exit(1);
    }
    printf("%s", using_msg);
    bytes_per_pixel = bytes;
}

bool accepts(ggi_visual_t vis, ggi_graphtype type)
{
    ggi_mode suggested;
    return ggiCheckGraphMode(vis, PCX_MAX_WIDTH, PCX_MAX_HEIGHT, PCX_MAX_WIDTH, PCX_MAX_HEIGHT, type, &suggested) == 0;
}

}  // namespace

void init_ggi(ggi_visual_t *vis)
{
    if (ggiInit() != 0) {
        printf("Error initialising GGI!\n");
        exit(1);
    }
    *vis = ggiOpen(nullptr);
    if (*vis == nullptr) {
        printf("Error opening visual!\n");
        ggiExit();
        exit(1);
    }
    // The palette mode first: it shows the picture exactly and needs no conversion.
    if (accepts(*vis, GT_8BIT))
        setmode(*vis, GT_8BIT, 1, "Using 8bpp mode\n", "Error initialising 8 bpp mode!\n");
    else if (accepts(*vis, GT_16BIT))
        setmode(*vis, GT_16BIT, 2, "Using 16bpp mode\n", "Error initialising 16 bpp mode!\n");
    else if (accepts(*vis, GT_24BIT))
        setmode(*vis, GT_24BIT, 3, "Using 24bpp mode\n", "Error initialising 24 bpp mode!!\n");
    else {
        printf("No valid mode found!\n");
        exit(1);
    }
}

void exit_ggi(ggi_visual_t vis)
{
    ggiClose(vis);
    ggiExit();
}

void adapttodepth(ggi_visual_t vis, void *display, const uint8_t *pixels, size_t count, const uint8_t *rawpalette,
                  const ggi_color *palette)
{
    uint8_t *out = static_cast<uint8_t *>(display);
    switch (bytes_per_pixel) {
    case 1:
        memcpy(out, pixels, count);
        break;
    case 2:
        for (size_t i = 0; i < count; i++) {
            uint16_t pixel = static_cast<uint16_t>(ggiMapColor(vis, &palette[pixels[i]]));
            memcpy(out + i * 2, &pixel, 2);
        }
        break;
    case 3:
        // The 8-bit trailer values, so no precision is lost on the way.
        for (size_t i = 0; i < count; i++) {
            const uint8_t *rgb = rawpalette + pixels[i] * 3;
            out[i * 3 + 0] = rgb[2];
            out[i * 3 + 1] = rgb[1];
            out[i * 3 + 2] = rgb[0];
        }
        break;
    default:
        break;
    }
}
