// PPM pictures and contact sheets, for looking at what the tools make.
#pragma once

#include <string>
#include <vector>

#include "art.h"

namespace art {

// A true-colour picture.
struct Rgbimage {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    Rgbimage(int w_, int h_, Rgb fill) : w(w_), h(h_), px(size_t(w_) * h_, fill) {}
};

void WritePpm(const std::string &path, const Rgbimage &img);

// Frames of equal size laid out in rows of `perRow`, one pixel apart on a dark grey ground,
// transparent pixels shown as a light checker so that the outline of each frame reads.
Rgbimage ContactSheet(const std::vector<Image> &frames, int perRow, const Palette &pal);

// Frames cut from a raw buffer of w x h bytes each; `transparent` (or -1 for none) becomes -1.
std::vector<Image> CutFrames(const std::vector<unsigned char> &data, int w, int h, int transparent);

}  // namespace art
