// Text-grid pictures and the named palette they are drawn with, as the resource tools read them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace art {

// A fault in an art or map source, reported as "file:line: what".
struct SourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// The 256 colours of the game, each with the name the pictures use for it.
struct Palette {
    std::array<Rgb, 256> rgb{};
    std::map<std::string, int> names;
    int Index(const std::string &name) const;  // throws on an unknown name
};

// Reads lines "N NAME R G B" and "ramp FIRST LAST NAME R G B R G B" (NAME.0 .. NAME.k).
Palette LoadPalette(const std::string &path);

// What one legend character stands for.
struct LegendEntry {
    enum Kind { Transparent, Index, Role } kind = Transparent;
    int index = 0;        // palette index for Index
    std::string role;     // name filled in by the generator for Role ("$uniform.2")
    bool anchor = false;  // the pixel where a held item is attached
    bool tip = false;     // the far end of a held item (muzzle)
};

struct Legend {
    std::string name;
    std::map<char, LegendEntry> entries;
};

struct Picture {
    std::string name;
    int w = 0, h = 0;
    std::string legend;
    std::vector<std::string> rows;
    int anchorX = -1, anchorY = -1;
    int tipX = -1, tipY = -1;
    std::string where;  // file:line of the header, for messages
};

// All legends and pictures of a folder of art files.
struct Book {
    Palette palette;
    std::map<std::string, Legend> legends;
    std::map<std::string, Picture> pictures;
    const Picture &Get(const std::string &name) const;  // throws on an unknown picture
    bool Has(const std::string &name) const { return pictures.count(name) != 0; }
};

// Reads one art file into the book; every grid character must be in the picture's legend.
void LoadArtFile(const std::string &path, Book &book);
// palette.txt first, then every other *.txt file of the folder in name order.
Book LoadBook(const std::string &folder);

// A picture in palette indices; -1 is transparent.
struct Image {
    int w = 0, h = 0;
    std::vector<int> px;
    Image() = default;
    Image(int w_, int h_, int fill = -1) : w(w_), h(h_), px(size_t(w_) * h_, fill) {}
    int At(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? -1 : px[y * w + x]; }
    void Set(int x, int y, int c)
    {
        if (x >= 0 && y >= 0 && x < w && y < h)
            px[y * w + x] = c;
    }
};

using Roles = std::map<std::string, int>;

// Turns a picture into indices, filling role characters from the map (throws on a missing role).
Image Render(const Book &book, const Picture &pic, const Roles &roles = {});
// Draws the opaque pixels of src with its (ox, oy) at (x, y) of dst.
void Blit(Image &dst, const Image &src, int x, int y);
Image MirrorX(const Image &src);
// Rotates about (cx, cy) by `degrees` counter-clockwise as seen on screen, sampling 4 x 4
// points per pixel and keeping the most frequent colour where at least half are covered.
Image Rotate(const Image &src, double degrees, double cx, double cy);

}  // namespace art
