// lumora: shows one 256-colour PCX picture of up to 320 x 200 pixels until a key is pressed.
#include "lumora.h"

#include <cstdio>
#include <cstdlib>

#include <ggi/layer.h>

namespace {

// Waits for a key press. Whatever comes before it is read and dropped as it comes, so that a
// long run of pointer events is not looked through again for every frame of the wait.
void wait_for_key(ggi_visual_t vis)
{
    gii_event ev;
    do {
        if (ggiEventRead(vis, &ev, emAll) == 0)
            return;
    } while (ev.any.type != evKeyPress && ev.any.type != evKeyRepeat);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        printf("Usage: lumora filename.pcx.\n");
        return 1;
    }
    FILE *file = ggiLayerOpenFile(argv[1], nullptr);
    if (file == nullptr) {
        printf("Can't open file!\n");
        return 1;
    }
    uint8_t rawpalette[PCX_PALETTE_SIZE];
    uint16_t width = 0;
    uint16_t height = 0;
    pcx_result result;
    uint8_t *pixels = readpcx(file, rawpalette, &width, &height, &result);
    fclose(file);
    if (result == PCX_INVALID) {
        printf("Error loading file!\n");
        return 1;
    }
    printf("Image is %dx%d sized.\n", width, height);
    if (result == PCX_TOO_BIG) {
        printf("Image is too big!\n");
        return 1;
    }

    ggi_color palette[256];
    for (int i = 0; i < 256; i++) {
        palette[i].r = static_cast<uint16_t>(rawpalette[i * 3 + 0] << 8);
        palette[i].g = static_cast<uint16_t>(rawpalette[i * 3 + 1] << 8);
        palette[i].b = static_cast<uint16_t>(rawpalette[i * 3 + 2] << 8);
        palette[i].a = 0;
    }

    ggi_visual_t vis;
    init_ggi(&vis);
    ggiSetPalette(vis, 0, 256, palette);

    size_t count = static_cast<size_t>(width) * height;
    void *display = calloc(count, bytes_per_pixel);
    if (display == nullptr)
        ggiPanic("Out of memory!\n");
    adapttodepth(vis, display, pixels, count, rawpalette, palette);

    ggiSetGCForeground(vis, 0);
    ggiFillscreen(vis);
    ggiPutBox(vis, 0, 0, width, height, display);
    ggiFlush(vis);

    wait_for_key(vis);

    free(display);
    free(pixels);
    exit_ggi(vis);
    return 0;
}
