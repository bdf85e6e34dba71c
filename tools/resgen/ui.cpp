// The font and the mouse pointer: drawn glyph by glyph and frame by frame in the art.
#include <cstdio>

#include "resgen.h"

namespace resgen {

std::vector<Image> Font(const Book &book)
{
    std::vector<Image> glyphs;
    char name[32];
    for (int g = 0; g < GLYPHS; ++g) {
        std::snprintf(name, sizeof name, "glyph.%02d", g);
        glyphs.push_back(art::Render(book, book.Get(name)));
    }
    return glyphs;
}

std::vector<Image> Pointer(const Book &book)
{
    std::vector<Image> frames;
    auto frame = [&](int n) { return art::Render(book, book.Get("pointer." + std::to_string(n))); };
    frames.push_back(Image(POINTER, POINTER));  // the save area
    for (int n = 1; n < POINTER_FRAMES; ++n) {
        // 4 and 8 end the selected and the friend animations and are never shown; they
        // repeat the frame before them.
        frames.push_back(frame(n == 4 || n == 8 ? n - 1 : n));
    }
    return frames;
}

}  // namespace resgen
