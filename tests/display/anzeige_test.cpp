// The display: opening messages per target, the two palette routines, showing the view buffer.
#include <cstring>
#include <functional>
#include <vector>

#include "display/video.h"
#include "startup/hilfen.h"

namespace {

// Runs a check in a child of its own, where a visual may be opened without touching the next
// test; the check returns what went wrong, or nothing.
#define IM_KIND(...)                                                                          \
    EXPECT_EXIT(                                                                              \
        {                                                                                     \
            const std::string fehler = (__VA_ARGS__)();                                       \
            fputs(fehler.c_str(), stderr);                                                    \
            exit(fehler.empty() ? 0 : 1);                                                     \
        },                                                                                    \
        testing::ExitedWithCode(0), "")

std::string Vergleich(const std::string &was, const std::string &ist, const std::string &soll) {
    return ist == soll ? "" : was + ":\n[" + ist + "]\nexpected:\n[" + soll + "]\n";
}

// Opens the display on the given GGI_DISPLAY and returns what it printed and returned.
std::string Oeffne(const char *anzeige, int &ergebnis) {
    if (anzeige != nullptr)
        setenv("GGI_DISPLAY", anzeige, 1);
    else
        unsetenv("GGI_DISPLAY");
    testing::internal::CaptureStdout();
    ergebnis = init640x480();
    return testing::internal::GetCapturedStdout();
}

const std::string GEMEINSAM = "Der Grafikmodus scheint in Ordnung zu sein.\n";
const std::string MIT_DB = "DirectBuffer ist verf\xfc" "gbar und wird verwendet.\n";
const std::string OHNE_DB =
    "DirectBuffer ist nicht verf\xfc" "gbar, normale Pufferung wird verwendet.\n";

TEST(Init640x480, MessagesOnAnEightBitDisplay) {
    IM_KIND([] {
        int r = 0;
        const std::string aus = Oeffne("memory", r);
        if (r != 1 || db == nullptr || Screen != db->write) return std::string("not opened\n");
        return Vergleich("memory", aus,
                         "GGI_DISPLAY=memory\nGGI-Visual ok.\n" + GEMEINSAM + MIT_DB);
    });
    IM_KIND([] {
        int r = 0;
        const std::string aus = Oeffne("memory:-nodb", r);
        if (r != 1 || db != nullptr || Screen == nullptr) return std::string("not opened\n");
        return Vergleich("nodb", aus,
                         "GGI_DISPLAY=memory:-nodb\nGGI-Visual ok.\n" + GEMEINSAM + OHNE_DB);
    });
}

TEST(Init640x480, EmulatedPaletteWhenEightBitIsRefused) {
    IM_KIND([] {
        int r = 0;
        const std::string aus = Oeffne("memory:-depths=16,24", r);
        if (r != 1) return std::string("not opened\n");
        return Vergleich("palemu", aus,
                         "GGI_DISPLAY=memory:-depths=16,24\nGGI-Visual ok.\n"
                         "Der 8-Bit Farbmodus funktioniert nicht.\n"
                         "Das Visual wird wieder geschlossen ...\n"
                         "Es wird nun versucht, mit dem palemu Modus, den 8-Bit Farbmodus zu "
                         "emulieren...\n"
                         "Palemu-Visual ok.\nPalemu funktioniert.\n" +
                             GEMEINSAM + OHNE_DB);
    });
}

TEST(Init640x480, FailuresReturnZero) {
    // No display to be found: the value printed is the C library's text for a null string.
    IM_KIND([] {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        int r = 1;
        const std::string aus = Oeffne(nullptr, r);
        if (r != 0 || vis != nullptr) return std::string("opened without a display\n");
        return Vergleich("unset", aus, "GGI_DISPLAY=(null)\n");
    });
    // A second call leaves the open display and its buffers alone.
    IM_KIND([] {
        int r = 0;
        Oeffne("memory", r);
        unsigned char *ansicht = VScreen, *bild = Screen;
        const std::string aus = Oeffne("memory", r);
        if (r != 0 || VScreen != ansicht || Screen != bild || Screen != db->write)
            return std::string("second call changed the display\n");
        return Vergleich("second call", aus, "");
    });
}

// The palette index nearest to a colour, as the display maps it.
int Index(uint16_t r, uint16_t g, uint16_t b) {
    const ggi_color c = {r, g, b, 0};
    return (int)ggiMapColor(vis, &c);
}

// A palette of white with neighbours one step either side of the colours under test, at lower
// indices, so that only an exact value maps to the entry under test.
void Nachbarn(std::initializer_list<ggi_color> farben) {
    std::vector<ggi_color> weiss(256, ggi_color{65535, 65535, 65535, 0});
    ggiSetPalette(vis, 0, 256, weiss.data());
    int i = 0;
    for (ggi_color c : farben) {
        ggi_color n[2] = {c, c};
        n[0].r = (uint16_t)(c.r - 1), n[1].r = (uint16_t)(c.r + 1);
        n[0].g = (uint16_t)(c.g - 1), n[1].g = (uint16_t)(c.g + 1);
        ggiSetPalette(vis, i, 2, n);
        i += 2;
    }
}

TEST(Palette, ShiftAndBlendGiveExactComponents) {
    IM_KIND([] {
        int r = 0;
        Oeffne("memory", r);
        Nachbarn({{64512, 0, 0, 0}, {0, 64512, 64512, 0}, {65280, 65280, 65280, 0},
                  {20000, 10000, 0, 0}, {40000, 20000, 0, 0}});
        unsigned char sechs[6] = {63, 0, 0, 0, 63, 63};
        Set_Palette(20, 21, sechs, 0);
        unsigned char acht[3] = {255, 255, 255};
        Set_Palette(30, 30, acht, 2);
        ggi_color p = {40000, 20000, 0, 0};
        Set_Palette2(40, 40, &p, 32);
        Set_Palette2(41, 41, &p, 64);
        Set_Palette2(42, 42, &p, 0);
        // Ranges past the palette's end are cut; a reversed range installs nothing.
        std::vector<unsigned char> viele(151 * 3, 200);
        viele[3 * 5] = 255, viele[3 * 5 + 1] = viele[3 * 5 + 2] = 0;
        Set_Palette(250, 400, viele.data(), 2);
        Set_Palette(60, 50, sechs, 0);
        std::string f;
        if (Index(64512, 0, 0) != 20) f += "shift 0 red\n";
        if (Index(0, 64512, 64512) != 21) f += "shift 0 second entry\n";
        if (Index(65280, 65280, 65280) != 30) f += "shift 2\n";
        if (Index(20000, 10000, 0) != 40) f += "blend 32\n";
        if (Index(40000, 20000, 0) != 41) f += "blend 64\n";
        if (Index(0, 0, 0) != 42) f += "blend 0\n";
        if (Index(65280, 0, 0) != 255) f += "cut range\n";
        return f;
    });
}

void Muster(unsigned char *p) {
    for (int i = 0; i < WIDTH * HEIGHT; i++) p[i] = (unsigned char)(i % 251);
}

TEST(Cpy2Screen, CopiesIntoTheDirectBuffer) {
    IM_KIND([] {
        int r = 0;
        Oeffne("memory", r);
        Muster(VScreen);
        Cpy2Screen();
        return std::string(memcmp(db->read, VScreen, WIDTH * HEIGHT) == 0 ? "" : "differs\n");
    });
}

TEST(Cpy2Screen, RowsLongerThanTheModeKeepThePictureUpright) {
    constexpr int ZEILE = WIDTH + 60;
    std::vector<unsigned char> anzeige(ZEILE * HEIGHT, 0xEE), ansicht(WIDTH * HEIGHT);
    Muster(ansicht.data());
    ggi_directbuffer lang = {};
    lang.write = lang.read = anzeige.data();
    lang.buffer.plb.stride = ZEILE;
    db = &lang;
    Screen = anzeige.data();
    VScreen = ansicht.data();
    Cpy2Screen();
    db = nullptr;
    Screen = VScreen = nullptr;
    for (int y : {0, 1, 199, 399}) {
        EXPECT_EQ(memcmp(&anzeige[y * ZEILE], &ansicht[y * WIDTH], WIDTH), 0) << "row " << y;
        EXPECT_EQ(anzeige[y * ZEILE + WIDTH], 0xEE) << "row " << y;
    }
}

class Bild : public ImOrdner {};

TEST_F(Bild, WithoutDirectBufferThePictureGoesThroughABox) {
    IM_KIND([] {
        int r = 0;
        Oeffne("memory:-nodb:-final=bild.ppm", r);
        std::vector<ggi_color> farben(256);
        for (int i = 0; i < 256; i++)
            farben[i] = {(uint16_t)(i << 8), (uint16_t)((255 - i) << 8), 0x4000, 0};
        ggiSetPalette(vis, 0, 256, farben.data());
        Muster(VScreen);
        Cpy2Screen();
        ggiClose(vis);
        std::vector<unsigned char> rgb;
        if (!LiesPPM("bild.ppm", rgb)) return std::string("no picture of 640 x 400\n");
        for (int i = 0; i < WIDTH * HEIGHT; i++) {
            const unsigned char *px = &rgb[3 * i];
            if (px[0] != VScreen[i] || px[1] != 255 - VScreen[i] || px[2] != 0x40)
                return "pixel " + std::to_string(i) + "\n";
        }
        return std::string();
    });
}

}  // namespace
