// The window's present: the layer's expansion of the 8-bit picture through the palette and
// the texture update, against SDL's own conversion of the same picture, in the same run.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <vector>

#include "display/pcxlib.h"
#include "messung.h"
#include <ggi/testing.h>

namespace messung {

namespace {

constexpr int BREITE = 640, HOEHE = 400;

// A window, renderer and streaming texture as the window target makes them, on SDL's
// offscreen driver, so that no display is needed.
struct Fenster {
    SDL_Window *win = nullptr;
    SDL_Renderer *ren = nullptr;
    SDL_Texture *tex = nullptr;

    bool Oeffnen()
    {
        if (!getenv("SDL_VIDEODRIVER"))
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        win = SDL_CreateWindow("bench", 0, 0, BREITE, HOEHE, SDL_WINDOW_HIDDEN);
        if (win)
            ren = ggi::window_renderer(win);
        if (ren)
            tex = SDL_CreateTexture(ren, ggi::picture_format(ren, win), SDL_TEXTUREACCESS_STREAMING, BREITE, HOEHE);
        return tex != nullptr;
    }

    ~Fenster()
    {
        if (tex)
            SDL_DestroyTexture(tex);
        if (ren)
            SDL_DestroyRenderer(ren);
        if (win)
            SDL_DestroyWindow(win);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

// The game's palette when it was loaded, else a spread of colours; a picture that uses
// every entry, in runs and single pixels as the battlefield does.
void Bildvorlage(std::vector<uint8_t> &bild, ggi_color *palette)
{
    bool geladen = false;
    for (int i = 0; i < 256; ++i)
        geladen = geladen || pal[i].r != 0 || pal[i].g != 0 || pal[i].b != 0;
    for (int i = 0; i < 256; ++i)
        palette[i] =
            geladen ? pal[i] : ggi_color{uint16_t(i * 257), uint16_t((255 - i) * 257), uint16_t(i * 97 % 256 * 257), 0};
    uint32_t z = 12345;
    for (size_t i = 0; i < bild.size(); ++i) {
        z = z * 1103515245u + 12345u;
        bild[i] = (z >> 24) % 4 == 0 ? uint8_t(z >> 16) : uint8_t(i / 37);
    }
}

void Darstellung(benchmark::State &state)
{
    Fenster f;
    if (!f.Oeffnen()) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    std::vector<uint8_t> bild(size_t(BREITE) * HOEHE);
    ggi_color palette[256];
    Bildvorlage(bild, palette);

    // The layer's way: a table of 256 pixels, expanded through straight into the texture.

    // SDL's way: an 8-bit surface with the palette blitted into an ARGB8888 surface.
    SDL_Surface *acht =
        SDL_CreateRGBSurfaceWithFormatFrom(bild.data(), BREITE, HOEHE, 8, BREITE, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface *argb = SDL_CreateRGBSurfaceWithFormat(0, BREITE, HOEHE, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!acht || !argb) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_Color farben[256];
    for (int i = 0; i < 256; ++i)
        farben[i] = SDL_Color{uint8_t(palette[i].r >> 8), uint8_t(palette[i].g >> 8), uint8_t(palette[i].b >> 8), 255};
    SDL_SetPaletteColors(acht->format->palette, farben, 0, 256);

    std::vector<double> schicht, sdl;
    for (auto _ : state) {
        const auto a = Uhr::now();
        uint32_t tabelle[256];
        ggi::argb_table(palette, tabelle);
        if (!ggi::texture_8bit(f.tex, bild.data(), BREITE, HOEHE, tabelle)) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        const auto b = Uhr::now();
        SDL_BlitSurface(acht, nullptr, argb, nullptr);
        SDL_UpdateTexture(f.tex, nullptr, argb->pixels, argb->pitch);
        const auto c = Uhr::now();
        state.SetIterationTime(Sekunden(a, b));
        schicht.push_back(Sekunden(a, b));
        sdl.push_back(Sekunden(b, c));
    }
    // Both ways must give the same pixels, or the comparison means nothing.
    uint32_t tabelle[256];
    ggi::argb_table(palette, tabelle);
    std::vector<uint32_t> gezeigt(bild.size());
    ggi::expand8(bild.data(), bild.size(), tabelle, gezeigt.data());
    for (size_t i = 0; i < gezeigt.size(); ++i)
        if (gezeigt[i] != static_cast<const uint32_t *>(argb->pixels)[i]) {
            state.SkipWithError("the layer's pixels differ from SDL's");
            break;
        }
    SDL_FreeSurface(acht);
    SDL_FreeSurface(argb);
    const double s = Median(schicht), d = Median(sdl);
    state.counters["layer_us"] = s * 1e6;
    state.counters["sdl_us"] = d * 1e6;
    state.counters["ratio"] = d > 0 ? s / d : 0;
}

}  // namespace

void DarstellungBenchmarks()
{
    benchmark::RegisterBenchmark("Present", Darstellung)->UseManualTime()->Unit(benchmark::kMicrosecond);
}

}  // namespace messung
