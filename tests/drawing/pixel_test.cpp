// The block-wise copies of sprites and effect images, the line tracer and the window's
// expansion, each against the plain rule applied pixel by pixel, for every width the block
// paths tell apart and every way a picture can cross the view's edges.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <ggi/ggi.h>
#include <ggi/layer.h>

#include "display/video.h"
#include "drawing/prozess.h"
#include "effects/effekt.h"
#include "effects/laser.h"
#include "ggi/present.h"
#include "startup/file.h"
#include "units/leute.h"

namespace {

// Picture bytes that hit every rule: transparent 3 and 0, the 0/255 pair drawn as 0,
// values on both sides of the background guard 163/164.
const unsigned char WERTE[] = {0, 1, 3, 3, 77, 163, 164, 200, 255, 255, 2, 0};

std::vector<unsigned char> Muster(size_t n, unsigned salz)
{
    std::mt19937 zufall(salz);
    std::vector<unsigned char> v(n);
    for (unsigned char &b : v)
        b = WERTE[zufall() % std::size(WERTE)];
    return v;
}

// Widths below, at and past each block size, the three unit sizes, and the effect sizes.
const int BREITEN[] = {1, 5, 7, 8, 9, 14, 15, 16, 17, 20, 28, 31, 32, 33, 43, 53};

// Left edges and top edges that put a picture of size w x h outside, across, on and inside
// each edge of the view.
std::vector<int> Lagen(int w, int grenze)
{
    return {-w - 3, -w, -w + 1, -w / 2, -1, 0, 1, 301, grenze - w - 1, grenze - w, grenze - w + 1,
            grenze - w / 2, grenze - 1, grenze, grenze + 4};
}

class Pixel : public ::testing::Test {
protected:
    std::vector<unsigned char> bild = Muster(size_t(WIDTH) * HEIGHT, 99);
    unsigned char *altesBild = VScreen;

    void SetUp() override { VScreen = bild.data(); }
    void TearDown() override { VScreen = altesBild; }
};

TEST_F(Pixel, SpriteJederBreiteUndLageWieProPixel)
{
    const std::vector<unsigned char> daten = Muster(3 * 53 * 30, 7);
    unsigned char *alteDaten = LeuteData;
    const int32_t alteLaenge = LeuteLaenge;
    LeuteData = const_cast<unsigned char *>(daten.data());
    LeuteLaenge = static_cast<int32_t>(daten.size());
    MANN &m = Leute[0];
    const MANN alt = m;

    for (int w : BREITEN)
        for (int h : {1, 6, 30}) {
            for (int x : Lagen(w, WIDTH))
                for (int y : Lagen(h, HEIGHT)) {
                    std::memset(&m, 0, sizeof m);
                    m.free = 1;
                    m.shapeX = static_cast<int16_t>(w);
                    m.shapeY = static_cast<int16_t>(h);
                    m.shape = 1;
                    m.shape_start = 17;
                    m.x = static_cast<int16_t>(x);
                    m.y = static_cast<int16_t>(y);
                    std::vector<unsigned char> soll = bild;
                    const unsigned char *q = daten.data() + 17 + w * h;
                    for (int i = 0; i < h; ++i)
                        for (int j = 0; j < w; ++j) {
                            const unsigned char b = q[i * w + j];
                            const int sx = x + j, sy = y + i;
                            if (sx < 0 || sx >= WIDTH || sy < 0 || sy >= HEIGHT)
                                continue;
                            unsigned char &p = soll[sy * WIDTH + sx];
                            if (b != 3 && p <= 163)
                                p = (b == 0 || b == 255) ? 0 : b;
                        }
                    MSet(0);
                    ASSERT_EQ(bild, soll) << w << " x " << h << " at " << x << ", " << y;
                }
        }
    m = alt;
    LeuteData = alteDaten;
    LeuteLaenge = alteLaenge;
}

TEST_F(Pixel, EffektbildJederBreiteUndLageWieProPixel)
{
    const std::vector<unsigned char> daten = Muster(2 * 53 * 30 + 11, 8);
    for (int w : BREITEN)
        for (int h : {1, 14, 20}) {
            for (int x : Lagen(w, WIDTH))
                for (int y : Lagen(h, HEIGHT)) {
                    std::vector<unsigned char> soll = bild;
                    const unsigned char *q = daten.data() + 11 + w * h;
                    for (int i = 0; i < h; ++i)
                        for (int j = 0; j < w; ++j) {
                            const int sx = x + j, sy = y + i;
                            if (q[i * w + j] != 0 && sx >= 0 && sx < WIDTH && sy >= 0 && sy < HEIGHT)
                                soll[sy * WIDTH + sx] = q[i * w + j];
                        }
                    EffektBild(daten.data(), static_cast<long>(daten.size()), 11 + w * h, w, h, x, y);
                    ASSERT_EQ(bild, soll) << w << " x " << h << " at " << x << ", " << y;
                }
        }
}

// The tracer steps as the straightforward Bresenham step does, in every direction, for
// short and long lines, also where the 16-bit coordinates wrap.
TEST(Linie, SchrittWieBresenham)
{
    std::mt19937 zufall(3);
    auto zahl = [&zufall](int von, int bis) { return von + static_cast<int>(zufall() % unsigned(bis - von + 1)); };
    for (int n = 0; n < 3000; ++n) {
        LASER b{};
        const int weit = n % 3 == 0 ? 30000 : 300;
        b.ax = static_cast<int16_t>(zahl(-2000, 2000));
        b.ay = static_cast<int16_t>(zahl(-2000, 2000));
        b.dx = static_cast<int16_t>(b.ax + zahl(-weit, weit));
        b.dy = static_cast<int16_t>(b.ay + zahl(-weit, weit));
        if (n % 7 == 0)
            b.ax = 32760;
        LinieInit(b);
        LINE ref = b.l;
        for (int s = 0; s < 200; ++s) {
            LinieSchritt(b.l);
            const bool kleinBleibt = ref.d < 0;
            ref.d = static_cast<int16_t>(ref.d + (kleinBleibt ? ref.bincr : ref.aincr));
            if (ref.div == 0) {
                if (!kleinBleibt)
                    ref.y = static_cast<int16_t>(ref.y + ref.yincr);
                ref.x = static_cast<int16_t>(ref.x + ref.xincr);
            } else {
                if (!kleinBleibt)
                    ref.x = static_cast<int16_t>(ref.x + ref.xincr);
                ref.y = static_cast<int16_t>(ref.y + ref.yincr);
            }
            ASSERT_EQ(std::memcmp(&b.l, &ref, sizeof ref), 0) << "line " << n << ", step " << s;
        }
    }
}

TEST(Darstellung, ErweiterungWieProPixel)
{
    ggi_color palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {uint16_t(i << 8 | 0x80), uint16_t((255 - i) << 8 | 0xff), uint16_t(i * 37 % 256 << 8), 0};
    uint32_t tabelle[256];
    ggi::argb_table(palette, tabelle);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(tabelle[i], 0xff000000u | uint32_t(i) << 16 | uint32_t(255 - i) << 8 | uint32_t(i * 37 % 256)) << i;

    const std::vector<unsigned char> quelle = Muster(1000, 4);
    std::vector<unsigned char> alle(256);
    for (int i = 0; i < 256; ++i)
        alle[i] = static_cast<unsigned char>(255 - i);
    const std::vector<unsigned char> *quellen[] = {&quelle, &alle};
    for (const std::vector<unsigned char> *v : quellen)
        for (size_t n = 0; n <= 19; ++n) {
            const size_t laenge = n == 19 ? v->size() : n;
            std::vector<uint32_t> ziel(laenge + 1, 0xdeadbeef);
            ggi::expand8(v->data(), laenge, tabelle, ziel.data());
            for (size_t i = 0; i < laenge; ++i)
                ASSERT_EQ(ziel[i], tabelle[(*v)[i]]) << laenge << ", " << i;
            EXPECT_EQ(ziel[laenge], 0xdeadbeef) << "written past " << laenge;
        }
}

// The game's picture in a window at twice its size, on SDL's offscreen driver, whose OpenGL
// (where there is one) is drawn by the processor: every pixel of the window is the palette
// colour of its picture pixel, and the picture last shown is the one put. The window lives
// in a child process: the graphics library keeps threads and buffers to the end.
TEST(Darstellung, FensterZweifachWieDiePalette)
{
    enum { GROESSE, GEZEIGT, FENSTER, PIXEL, ERGEBNISSE };
    constexpr uint64_t GUT = ~uint64_t(0);
    const std::vector<uint64_t> ist = ImKind([]() -> std::vector<uint64_t> {
        std::vector<uint64_t> e(ERGEBNISSE, 0);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ggi_visual_t v = ggiInit() == 0 ? ggiOpen("display-sdl:-scale=2:-nograb", nullptr) : nullptr;
        if (v == nullptr || ggiSetGraphMode(v, WIDTH, HEIGHT, WIDTH, HEIGHT, GT_8BIT) != 0)
            return {};
        ggi_color palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = {uint16_t(i * 257), uint16_t((i * 73 % 256) * 257), uint16_t((255 - i) * 257), 0};
        std::vector<unsigned char> bild = Muster(size_t(WIDTH) * HEIGHT, 5);
        for (int i = 0; i < 256; ++i)
            bild[i * 997 % bild.size()] = static_cast<unsigned char>(i);
        if (ggiSetPalette(v, 0, 256, palette) != 0 || ggiPutBox(v, 0, 0, WIDTH, HEIGHT, bild.data()) != 0)
            return {};
        auto farbe = [&palette](unsigned char p) {
            const ggi_color &c = palette[p];
            return uint32_t(c.r >> 8) << 16 | uint32_t(c.g >> 8) << 8 | uint32_t(c.b >> 8);
        };

        std::vector<uint8_t> rgb;
        int w = 0, h = 0;
        e[GEZEIGT] = GUT;
        if (ggiLayerShown(v, &w, &h, &rgb) != 0 || rgb.size() != 3 * bild.size())
            e[GEZEIGT] = 0;
        for (size_t i = 0; e[GEZEIGT] == GUT && i < bild.size(); ++i)
            if ((uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2]) != farbe(bild[i]))
                e[GEZEIGT] = i;

        SDL_Renderer *ren = SDL_GetRenderer(ggiLayerWindow(v));
        int ow = 0, oh = 0;
        if (ren != nullptr)
            SDL_GetRendererOutputSize(ren, &ow, &oh);
        e[GROESSE] = uint64_t(ow) << 16 | uint64_t(oh);
        std::vector<uint32_t> fenster(size_t(ow) * oh);
        e[FENSTER] = ren != nullptr && SDL_RenderReadPixels(ren, nullptr, SDL_PIXELFORMAT_ARGB8888,
                                                            fenster.data(), ow * 4) == 0;
        e[PIXEL] = GUT;
        for (int y = 0; e[PIXEL] == GUT && y < oh; ++y)
            for (int x = 0; x < ow; ++x)
                if ((fenster[size_t(y) * ow + x] & 0xffffff) != farbe(bild[(y / 2) * WIDTH + x / 2])) {
                    e[PIXEL] = uint64_t(y) << 16 | uint64_t(x);
                    break;
                }
        return e;
    });
    ASSERT_EQ(ist.size(), size_t(ERGEBNISSE)) << "the window did not open";
    EXPECT_EQ(ist[GROESSE], uint64_t(2 * WIDTH) << 16 | uint64_t(2 * HEIGHT)) << "the window's size";
    EXPECT_EQ(ist[GEZEIGT], GUT) << "the first picture pixel shown wrongly";
    EXPECT_EQ(ist[FENSTER], 1u) << "the window's pixels could not be read";
    EXPECT_EQ(ist[PIXEL], GUT) << "the first wrong window pixel, row << 16 | column";
}

}  // namespace
