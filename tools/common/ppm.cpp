// PPM pictures and contact sheets, for looking at what the tools make.
#include "ppm.h"

#include <cstdio>

namespace art {

void WritePpm(const std::string &path, const Rgbimage &img)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw SourceError(path + ": cannot be written");
    std::fprintf(f, "P6\n%d %d\n255\n", img.w, img.h);
    for (const Rgb &c : img.px) {
        unsigned char b[3] = {c.r, c.g, c.b};
        std::fwrite(b, 1, 3, f);
    }
    if (std::fclose(f) != 0)
        throw SourceError(path + ": cannot be written");
}

Rgbimage ContactSheet(const std::vector<Image> &frames, int perRow, const Palette &pal)
{
    if (frames.empty())
        return Rgbimage(1, 1, Rgb{40, 40, 48});
    int fw = frames[0].w, fh = frames[0].h;
    int rows = (int(frames.size()) + perRow - 1) / perRow;
    int cols = int(frames.size()) < perRow ? int(frames.size()) : perRow;
    Rgbimage sheet(cols * (fw + 1) + 1, rows * (fh + 1) + 1, Rgb{40, 40, 48});
    for (size_t n = 0; n < frames.size(); ++n) {
        int ox = 1 + int(n % perRow) * (fw + 1), oy = 1 + int(n / perRow) * (fh + 1);
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x) {
                int c = frames[n].At(x, y);
                Rgb v = c < 0 ? (((x / 2 + y / 2) & 1) ? Rgb{200, 200, 210} : Rgb{170, 170, 185}) : pal.rgb[c];
                sheet.px[(oy + y) * sheet.w + ox + x] = v;
            }
    }
    return sheet;
}

std::vector<Image> CutFrames(const std::vector<unsigned char> &data, int w, int h, int transparent)
{
    std::vector<Image> frames;
    size_t size = size_t(w) * h;
    for (size_t at = 0; at + size <= data.size(); at += size) {
        Image img(w, h);
        for (size_t i = 0; i < size; ++i)
            img.px[i] = data[at + i] == transparent ? -1 : data[at + i];
        frames.push_back(img);
    }
    return frames;
}

}  // namespace art
