// The menu icon: a combat vehicle and a trooper on grass, cut from the game's own frames and
// written as PNG files in the sizes desktops look for.
#include <algorithm>
#include <cstdio>

#include "ppm.h"
#include "resgen.h"
#include "tiles.h"

namespace resgen {
namespace {

void Put32(std::vector<unsigned char> &out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        out.push_back((unsigned char)(v >> s));
}

uint32_t Crc(const unsigned char *p, size_t n)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return c ^ 0xFFFFFFFFu;
}

void Chunk(std::vector<unsigned char> &png, const char *type, const std::vector<unsigned char> &data)
{
    Put32(png, uint32_t(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Put32(png, Crc(png.data() + start, png.size() - start));
}

// True colour, 8 bits a component, in a zlib stream of stored (uncompressed) blocks: an icon
// is small, and no compression library is needed.
std::vector<unsigned char> Png(const art::Rgbimage &img)
{
    std::vector<unsigned char> raw;
    for (int y = 0; y < img.h; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < img.w; ++x) {
            const art::Rgb &c = img.px[size_t(y) * img.w + x];
            raw.insert(raw.end(), {c.r, c.g, c.b});
        }
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.insert(z.end(), {(unsigned char)n, (unsigned char)(n >> 8), (unsigned char)~n, (unsigned char)(~n >> 8)});
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, b << 16 | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, head;
    Put32(head, uint32_t(img.w));
    Put32(head, uint32_t(img.h));
    head.insert(head.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", head);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

}  // namespace

art::Rgbimage Icon(const Book &book, int scale)
{
    std::vector<Image> ground = Terrain(book), tank = Vehicle(book), men = Infantry(book);
    Image icon(ICON, ICON, 0);
    for (int y = 0; y < ICON; y += TILE)
        for (int x = 0; x < ICON; x += TILE)
            art::Blit(icon, ground[tiles::GRASS + (x + 3 * y) / TILE % tiles::GRASS_N], x, y);
    // The vehicle heads up and right (facing 60), the trooper walks beside it.
    art::Blit(icon, tank[60], (ICON - TANK_W) / 2, 4);
    art::Blit(icon, men[WalkStart(RO) + 1], 8, ICON - MAN_H - 4);
    art::Rgbimage out(ICON * scale, ICON * scale, art::Rgb{});
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x)
            out.px[size_t(y) * out.w + x] = book.palette.rgb[icon.At(x / scale, y / scale)];
    return out;
}

void WritePng(const std::string &path, const art::Rgbimage &img)
{
    std::vector<unsigned char> png = Png(img);
    FILE *f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (f && std::fclose(f) != 0)
        ok = false;
    if (!ok)
        throw art::SourceError(path + ": cannot be written");
}

}  // namespace resgen
