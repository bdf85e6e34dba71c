// The display layer's inner parts that its tests, the fuzzers and the benchmarks reach: the
// event-script reader, the window, and the expansion of an 8-bit picture into it. Only the
// ggi_testing library offers this header; the programs never see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <ggi/ggi.h>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace ggi {

// One line of an event script: an event to queue, or a picture to write.
struct ScriptLine {
    int64_t frame;
    bool shot;         // a "shot FILE" line
    gii_event event;   // what is delivered when it is not a shot
    std::string file;  // the PPM file of a shot
};

// Parses an event script; false after printing FILE:LINE: and the fault on stderr. Shot file
// names are taken through from_origin.
bool parse_script(const std::string &file, std::vector<ScriptLine> &lines);
// The script line that delivers `ev`, without the newline; the inverse of parse_script.
std::string format_event(int64_t frame, const gii_event &ev);

// Each palette entry as an opaque ARGB8888 pixel: the high byte of each 16-bit component.
void argb_table(const ggi_color palette[256], uint32_t table[256]);
// dst[i] = table[src[i]] for n pixels.
void expand8(const uint8_t *src, size_t n, const uint32_t table[256], uint32_t *dst);
// Writes the w x h picture through the table straight into the streaming texture; false
// when the texture cannot be locked.
bool texture_8bit(SDL_Texture *tex, const uint8_t *px, int w, int h, const uint32_t table[256]);
// The renderer the window target draws a window with; null when none can be had.
SDL_Renderer *window_renderer(SDL_Window *win);
// The format of the picture's texture for that renderer and window: ARGB8888, or the
// window's own format of the same layout where that spares the renderer a conversion.
uint32_t picture_format(SDL_Renderer *ren, SDL_Window *win);

// A picture fitted into a terminal's cols x rows cells, centred, its aspect kept (a cell is
// taken as twice as high as wide): the cells it covers, and the picture's size.
struct CellFit {
    int x, y, w, h;
    int pw, ph;
};
CellFit fit_cells(int cols, int rows, int w, int h);

// A terminal's input as events: the buttons held (`pressed`, a bit per LibGII button) and the pixel the
// pointer was last delivered at.
struct TerminalInput {
    unsigned pressed = 0;
    int32_t last_x = -1, last_y = -1;
    // Queues the events of the keys and xterm mouse reports `bytes` begin with: a key as a press
    // and a release, a report's cell as the pixel `fit` shows there. Returns the bytes taken;
    // a sequence not yet complete is left, unless `complete` (nothing more is coming: a lone
    // Escape is the key).
    size_t feed(const std::string &bytes, bool complete, const CellFit &fit, std::deque<gii_event> &out);
};

}  // namespace ggi

// The window of a display-sdl visual (or of a palemu visual's window parent), null before
// a mode is set or for other targets.
SDL_Window *ggiLayerWindow(ggi_visual_t vis);
// The 256 palette entries a visual holds; null for no visual.
const ggi_color *ggiLayerPalette(ggi_visual_t vis);
