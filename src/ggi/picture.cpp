// Pictures in the three pixel formats: boxes, filling, colour mapping and PPM files.
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "internal.h"

namespace ggi {

int bytes_per_pixel(ggi_graphtype type)
{
    switch (type) {
    case GT_8BIT:
        return 1;
    case GT_16BIT:
        return 2;
    case GT_24BIT:
        return 3;
    default:
        return 0;
    }
}

bool mode_size_ok(int x, int y, int xv, int yv)
{
    // Large enough for any desktop, small enough that a picture stays a few dozen megabytes.
    constexpr int MAX_SIDE = 4096;
    if (x < 1 || y < 1 || x > MAX_SIDE || y > MAX_SIDE)
        return false;
    // Panning over a larger virtual picture is not offered.
    return (xv == GGI_AUTO || xv == x) && (yv == GGI_AUTO || yv == y);
}

void picture_set(Picture &p, int w, int h, ggi_graphtype type)
{
    p.w = w;
    p.h = h;
    p.type = type;
    p.bpp = bytes_per_pixel(type);
    p.px.assign(static_cast<size_t>(w) * h * p.bpp, 0);
    std::memset(p.palette, 0, sizeof p.palette);
    p.fg = 0;
}

void picture_put(Picture &p, int x, int y, int w, int h, const void *buffer)
{
    if (w <= 0 || h <= 0 || p.type == 0)
        return;
    int64_t x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int64_t x1 = static_cast<int64_t>(x) + w, y1 = static_cast<int64_t>(y) + h;
    if (x1 > p.w)
        x1 = p.w;
    if (y1 > p.h)
        y1 = p.h;
    if (x0 >= x1 || y0 >= y1)
        return;
    const int64_t bpp = p.bpp;
    const uint8_t *src = static_cast<const uint8_t *>(buffer);
    for (int64_t row = y0; row < y1; row++) {
        const uint8_t *from = src + ((row - y) * w + (x0 - x)) * bpp;
        std::memcpy(&p.px[(row * p.w + x0) * bpp], from, (x1 - x0) * bpp);
    }
}

void picture_fill(Picture &p, ggi_pixel colour)
{
    const size_t n = static_cast<size_t>(p.w) * p.h;
    uint8_t *d = p.px.data();
    switch (p.bpp) {
    case 1:
        std::memset(d, colour & 0xff, n);
        break;
    case 2:
        for (size_t i = 0; i < n; i++) {
            d[2 * i] = colour & 0xff;
            d[2 * i + 1] = (colour >> 8) & 0xff;
        }
        break;
    case 3:
        for (size_t i = 0; i < n; i++) {
            d[3 * i] = colour & 0xff;
            d[3 * i + 1] = (colour >> 8) & 0xff;
            d[3 * i + 2] = (colour >> 16) & 0xff;
        }
        break;
    }
}

ggi_pixel map_colour(const Picture &p, const ggi_color &c)
{
    switch (p.type) {
    case GT_8BIT: {
        // The nearest entry by the sum of the component differences; the lowest index wins
        // a tie.
        ggi_pixel best = 0;
        long best_d = -1;
        for (int i = 0; i < 256; i++) {
            const ggi_color &e = p.palette[i];
            long d = std::labs(long(e.r) - c.r) + std::labs(long(e.g) - c.g) + std::labs(long(e.b) - c.b);
            if (best_d < 0 || d < best_d) {
                best = i;
                best_d = d;
            }
        }
        return best;
    }
    case GT_16BIT:
        return ggi_pixel(c.r >> 11) << 11 | ggi_pixel(c.g >> 10) << 5 | ggi_pixel(c.b >> 11);
    case GT_24BIT:
        return ggi_pixel(c.r >> 8) << 16 | ggi_pixel(c.g >> 8) << 8 | ggi_pixel(c.b >> 8);
    default:
        return 0;
    }
}

std::vector<uint8_t> picture_rgb(const Picture &p)
{
    const size_t n = static_cast<size_t>(p.w) * p.h;
    std::vector<uint8_t> rgb(n * 3);
    const uint8_t *s = p.px.data();
    for (size_t i = 0; i < n; i++) {
        uint8_t *d = &rgb[3 * i];
        switch (p.bpp) {
        case 1: {
            const ggi_color &e = p.palette[s[i]];
            d[0] = e.r >> 8;
            d[1] = e.g >> 8;
            d[2] = e.b >> 8;
            break;
        }
        case 2: {
            unsigned v = s[2 * i] | s[2 * i + 1] << 8;
            unsigned r = v >> 11, g = (v >> 5) & 63, b = v & 31;
            d[0] = uint8_t(r << 3 | r >> 2);
            d[1] = uint8_t(g << 2 | g >> 4);
            d[2] = uint8_t(b << 3 | b >> 2);
            break;
        }
        case 3:
            // Stored blue, green, red: the bytes of 0xRRGGBB in memory order.
            d[0] = s[3 * i + 2];
            d[1] = s[3 * i + 1];
            d[2] = s[3 * i];
            break;
        }
    }
    return rgb;
}

bool write_ppm(const std::string &file, int w, int h, const std::vector<uint8_t> &rgb)
{
    FILE *f = open_for_writing(file);
    bool ok = f != nullptr;
    if (ok) {
        ok = std::fprintf(f, "P6\n%d %d\n255\n", w, h) > 0 && std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
        ok = (std::fclose(f) == 0) && ok;
    }
    if (!ok)
        std::fprintf(stderr, "ggi: cannot write picture '%s': %s\n", file.c_str(), std::strerror(errno));
    return ok;
}

void expand8(const uint8_t *src, size_t n, const uint32_t table[256], uint32_t *dst)
{
    // Eight at a time: the independent look-ups overlap in the processor.
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint32_t a = table[src[i]], b = table[src[i + 1]], c = table[src[i + 2]], d = table[src[i + 3]],
                       e = table[src[i + 4]], f = table[src[i + 5]], g = table[src[i + 6]], h = table[src[i + 7]];
        dst[i] = a, dst[i + 1] = b, dst[i + 2] = c, dst[i + 3] = d;
        dst[i + 4] = e, dst[i + 5] = f, dst[i + 6] = g, dst[i + 7] = h;
    }
    for (; i < n; i++)
        dst[i] = table[src[i]];
}

}  // namespace ggi
