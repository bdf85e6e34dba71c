// Palette files and full-screen pictures: the trailer, runs at the buffer's end, raw pictures.
#include <cstring>
#include <vector>

#include "display/pcxlib.h"
#include "display/video.h"
#include "startup/hilfen.h"

namespace {

constexpr int GROESSE = WIDTH * HEIGHT;
constexpr int WAECHTER = 64;

// The view buffer with guard bytes behind it, in place of the display's for each test.
class Bilder : public ImOrdner {
protected:
    void SetUp() override {
        ImOrdner::SetUp();
        ansicht.assign(GROESSE + WAECHTER, 0xAB);
        VScreen = ansicht.data();
    }
    void TearDown() override {
        VScreen = nullptr;
        ImOrdner::TearDown();
    }
    bool WaechterHeil() const {
        for (int i = GROESSE; i < GROESSE + WAECHTER; i++)
            if (ansicht[i] != 0xAB) return false;
        return true;
    }
    std::vector<unsigned char> ansicht;
};

std::string Palette() {
    std::string p(768, '\0');
    for (int i = 0; i < 256; i++)
        p[3 * i] = (char)i, p[3 * i + 1] = (char)(255 - i), p[3 * i + 2] = (char)(i * 7);
    return p;
}

void PruefePalette(const ggi_color *p) {
    for (int i = 0; i < 256; i++) {
        ASSERT_EQ(p[i].r, i << 8) << i;
        ASSERT_EQ(p[i].g, (255 - i) << 8) << i;
        ASSERT_EQ(p[i].b, ((i * 7) & 255) << 8) << i;
        ASSERT_EQ(p[i].a, 1234) << i;
    }
}

TEST_F(Bilder, PaletteIsTheLast768BytesOfAnyFile) {
    ggi_color p[256];
    for (ggi_color &c : p) c = {1, 2, 3, 1234};
    Schreibe("system.pal", Palette());
    LoadPalette("system.pal", p);
    PruefePalette(p);
    EXPECT_EQ(p[255].r, 65280);

    for (ggi_color &c : p) c = {1, 2, 3, 1234};
    Schreibe("bild.pcx", std::string(128, '\x0a') + "\xc5\x01\x02" + "\x0c" + Palette());
    LoadPalette("bild.pcx", p);
    PruefePalette(p);

    // Missing, or too short to hold a palette: nothing changes.
    for (ggi_color &c : p) c = {1, 2, 3, 1234};
    LoadPalette("fehlt.pal", p);
    Schreibe("kurz.pal", std::string(767, '\x7f'));
    LoadPalette("kurz.pal", p);
    for (const ggi_color &c : p) ASSERT_TRUE(c.r == 1 && c.g == 2 && c.b == 3 && c.a == 1234);
}

std::string Pcx(const std::string &codes) { return std::string(128, '\0') + codes; }

TEST_F(Bilder, RunsAreCutAtTheBuffersEnd) {
    // A pixel, a run of count 0 that eats its colour, then runs of 63 well past the end.
    std::string codes = "\x05\xc0\x63";
    for (int i = 0; i < GROESSE / 63 + 10; i++) codes += "\xff\x07";
    Schreibe("voll.pcx", Pcx(codes));
    put_PCX("voll.pcx");
    EXPECT_EQ(ansicht[0], 5);
    EXPECT_EQ(ansicht[1], 7);
    EXPECT_EQ(ansicht[GROESSE - 1], 7);
    EXPECT_TRUE(WaechterHeil());
}

TEST_F(Bilder, AShortPictureIsFilledWithColour255) {
    Schreibe("kurz.pcx", Pcx("\x01\x02\xc2\x03\x04"));
    put_PCX("kurz.pcx");
    EXPECT_EQ(std::vector<unsigned char>(ansicht.begin(), ansicht.begin() + 7),
              (std::vector<unsigned char>{1, 2, 3, 3, 4, 255, 255}));
    EXPECT_EQ(ansicht[GROESSE - 1], 255);
    EXPECT_TRUE(WaechterHeil());

    // Even the header cut short: all 255.
    Schreibe("kopf.pcx", std::string(10, '\0'));
    put_PCX("kopf.pcx");
    EXPECT_EQ(ansicht[0], 255);
    EXPECT_TRUE(WaechterHeil());
}

TEST_F(Bilder, MissingPictureStops) {
    EXPECT_EXIT(put_PCX("fehlt.pcx"), testing::ExitedWithCode(1),
                Genau("Kann 'fehlt.pcx' nicht laden!\n"));
    EXPECT_EXIT(ShowRif("fehlt.rif"), testing::ExitedWithCode(1),
                Genau("Kann 'fehlt.rif' nicht laden!\n"));
}

TEST_F(Bilder, RawPictureAndItsPalette) {
    std::string roh(GROESSE, '\0');
    for (int i = 0; i < GROESSE; i++) roh[i] = (char)(i % 253);
    Schreibe("bild.rif", roh + Palette());
    for (ggi_color &c : pal) c = {0, 0, 0, 1234};
    ShowRif("bild.rif");
    EXPECT_EQ(memcmp(ansicht.data(), roh.data(), GROESSE), 0);
    PruefePalette(pal);

    // A file that ends early leaves the rest of the picture as it was.
    Schreibe("kurz.rif", std::string(1000, '\x11'));
    ShowRif("kurz.rif");
    EXPECT_EQ(ansicht[999], 0x11);
    EXPECT_EQ(ansicht[1000], (unsigned char)roh[1000]);
    EXPECT_TRUE(WaechterHeil());
}

}  // namespace
