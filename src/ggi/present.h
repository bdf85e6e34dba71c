// The window's present of an 8-bit picture: the renderer and texture it uses and the
// expansion through the palette into the texture; the benchmarks measure it against SDL's
// own conversion.
#pragma once

#include <cstddef>
#include <cstdint>

#include <ggi/ggi.h>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace ggi {

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

}  // namespace ggi
