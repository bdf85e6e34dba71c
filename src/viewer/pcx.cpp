// Reading 256-colour PCX pictures: header checks, run-length decoding and the palette trailer.
#include "lumora.h"

#include <cstdlib>
#include <cstring>

namespace {

// Header fields the viewer reads; the rest of the 128 bytes is ignored.
enum {
    HDR_MANUFACTURER = 0,
    HDR_VERSION = 1,
    HDR_BITS_PER_PIXEL = 3,
    HDR_XMIN = 4,
    HDR_YMIN = 6,
    HDR_XMAX = 8,
    HDR_YMAX = 10,
    HDR_PLANES = 65,
    HDR_BYTES_PER_LINE = 66
};

uint16_t le16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

bool readpcximage(FILE *file, uint8_t *dest, uint16_t width, uint16_t height, uint16_t bytesperline, long datalen)
{
    // Without room for a whole row in each scan line there is no sound way to place pixels,
    // and a zero-length scan line would never advance.
    if (bytesperline == 0 || bytesperline < width)
        return false;

    uint32_t row = 0;
    uint32_t col = 0;  // position within the scan line, pad bytes included
    long left = datalen;
    while (row < height) {
        if (left <= 0)
            return false;
        int code = getc(file);
        left--;
        if (code == EOF)
            return false;
        uint32_t count = 1;
        int colour = code;
        if ((code & 0xC0) == 0xC0) {
            count = static_cast<uint32_t>(code & 0x3F);
            if (left <= 0)
                return false;
            colour = getc(file);
            left--;
            if (colour == EOF)
                return false;
        }
        while (count > 0 && row < height) {
            uint32_t n = bytesperline - col;
            if (n > count)
                n = count;
            if (col < width) {
                uint32_t shown = width - col;
                if (shown > n)
                    shown = n;
                memset(dest + row * width + col, colour, shown);
            }
            col += n;
            count -= n;
            if (col == bytesperline) {
                col = 0;
                row++;
            }
        }
    }
    return true;
}

uint8_t *readpcx(FILE *file, uint8_t *palette, uint16_t *width, uint16_t *height, pcx_result *result)
{
    *result = PCX_INVALID;

    if (fseek(file, 0, SEEK_END) != 0)
        return nullptr;
    long size = ftell(file);
    if (size < PCX_HEADER_SIZE + PCX_TRAILER_SIZE)
        return nullptr;

    uint8_t header[PCX_HEADER_SIZE];
    if (fseek(file, 0, SEEK_SET) != 0 || fread(header, 1, sizeof header, file) != sizeof header)
        return nullptr;
    // Only one byte-per-pixel plane of palette indices can be shown; a palette trailer after
    // a picture of another kind does not make it one.
    if (header[HDR_MANUFACTURER] != 10 || header[HDR_VERSION] != 5 || header[HDR_BITS_PER_PIXEL] != 8 ||
        header[HDR_PLANES] != 1)
        return nullptr;

    uint16_t w = static_cast<uint16_t>(le16(header + HDR_XMAX) - le16(header + HDR_XMIN) + 1);
    uint16_t h = static_cast<uint16_t>(le16(header + HDR_YMAX) - le16(header + HDR_YMIN) + 1);
    *width = w;
    *height = h;
    // Before anything is allocated or decoded, so a hostile header costs nothing.
    if (w == 0 || w > PCX_MAX_WIDTH || h == 0 || h > PCX_MAX_HEIGHT) {
        *result = PCX_TOO_BIG;
        return nullptr;
    }
    uint16_t bytesperline = le16(header + HDR_BYTES_PER_LINE);
    if (bytesperline < w)
        return nullptr;

    uint8_t *pixels = static_cast<uint8_t *>(malloc(static_cast<size_t>(w) * h));
    if (pixels == nullptr)
        return nullptr;
    // The codes may not reach into the palette trailer.
    if (!readpcximage(file, pixels, w, h, bytesperline, size - PCX_HEADER_SIZE - PCX_TRAILER_SIZE)) {
        free(pixels);
        return nullptr;
    }

    uint8_t trailer[PCX_PALETTE_SIZE];
    if (fseek(file, size - PCX_PALETTE_SIZE, SEEK_SET) != 0 ||
        fread(trailer, 1, sizeof trailer, file) != sizeof trailer) {
        free(pixels);
        return nullptr;
    }
    memcpy(palette, trailer, sizeof trailer);
    *result = PCX_LOADED;
    return pixels;
}
