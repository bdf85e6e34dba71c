// libFuzzer entry for the viewer's PCX reader: any byte string, read as a whole file.
#include "lumora.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // fmemopen refuses an empty buffer; an empty file is covered by the unit tests.
    if (size == 0)
        return 0;
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (file == nullptr)
        return 0;
    uint8_t palette[PCX_PALETTE_SIZE];
    uint16_t width = 0;
    uint16_t height = 0;
    pcx_result result;
    uint8_t *pixels = readpcx(file, palette, &width, &height, &result);
    fclose(file);

    if ((pixels != nullptr) != (result == PCX_LOADED))
        abort();
    if (pixels != nullptr) {
        if (width == 0 || width > PCX_MAX_WIDTH || height == 0 || height > PCX_MAX_HEIGHT)
            abort();
        // Reading every pixel lets the address sanitizer see a picture allocated too small.
        static uint8_t shown[PCX_MAX_WIDTH * PCX_MAX_HEIGHT];
        memcpy(shown, pixels, (size_t)width * height);
        free(pixels);
    }
    return 0;
}
