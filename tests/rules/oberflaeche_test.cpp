// The interface and the commands where play seldom goes: text at the view's very edges, marks
// no screen shows, a font file cut short, bars below their shortest length, pointer kinds
// that play never asks for, and clicks on units in the lowest slots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "control/control.h"
#include "display/video.h"
#include "startup/file.h"
#include "ui/font.h"
#include "ui/intfc.h"
#include "ui/mouse.h"
#include "units/vardefs.h"

namespace {

constexpr int RAND = 16 * WIDTH;  // guard rows above and below the view

// The view between guard rows on a background of 120 + i % 100, which nothing drawn here
// uses, and a font of `glyphen` glyphs: glyph g is framed by its last row and column and
// shows g + 1 in binary in pixels 0 to 3 of its first row and 0 to 1 of its second; set
// pixels are 180 or 1, the others 0, 2, 179 or 181.
struct Ansicht {
    std::vector<unsigned char> grund = std::vector<unsigned char>(WIDTH * HEIGHT + 2 * RAND), puffer, schrift;

    explicit Ansicht(int glyphen = 50) : schrift(25 * glyphen)
    {
        for (size_t i = 0; i < grund.size(); ++i)
            grund[i] = uint8_t(120 + i % 100);
        for (int g = 0; g < glyphen; ++g)
            for (int p = 0; p < 25; ++p) {
                const bool an = p % 5 == 4 || p >= 20 || (p < 7 && ((g + 1) >> (p < 4 ? p : p - 1) & 1));
                schrift[25 * g + p] = an ? (p % 2 ? 1 : 180) : "\0\2\263\265"[p % 4];
            }
        puffer = grund, VScreen = puffer.data() + RAND;
        bchst = schrift.data(), bchstLaenge = long(schrift.size());
    }
    ~Ansicht() { VScreen = bchst = nullptr; }

    int Anzahl(unsigned char farbe) const { return int(std::count(puffer.begin(), puffer.end(), farbe)); }
    int Geaendert() const
    {
        return std::inner_product(grund.begin(), grund.end(), puffer.begin(), 0, std::plus<>(), std::not_equal_to<>());
    }
    // The glyph drawn in colour 7 in the cell at (x, y), or -1 for none.
    int Zeichen(int x, int y) const
    {
        int g = 0;
        for (int b = 0; b < 6; ++b)
            g |= (VScreen[(y + b / 4) * WIDTH + x + b % 4] == 7) << b;
        return g - 1;
    }
};

TEST(Schrift, GlyphsCellsShortFontsAndTheViewsBorders)
{
    const struct {
        const char *text;
        int x, y, glyphen, pixel;  // pixels drawn anywhere, guard rows included
        std::vector<int> zellen;
    } faelle[] = {
        {"AZaz09", 0, 0, 50, 68, {0, 25, 0, 25, 40, 49}},
        {".()/,-!+:", 10, 20, 50, 105, {25, 26, 27, 29, 31, 32, 34, 35, 39}},
        {"A B ?\xfc", 10, 40, 50, 20, {0, -1, 1, -1, -1, -1}},
        {":9", 10, 60, 40, 11, {39, -1}},  // ':' is the last glyph of this font
        {"HA", 636, 100, 50, 5, {}},       // the first four columns of the H
        {"H", -3, 397, 50, 4, {}},
        {"H", 0, -4, 50, 5, {}},
        {"HALLO", 100, -5, 50, 0, {}},
        {"HALLO", 100, 400, 50, 0, {}},
        {"HALLO", 640, 100, 50, 0, {}},
    };
    for (const auto &f : faelle) {
        Ansicht a(f.glyphen);
        write(f.x, f.y, f.text, 7);
        EXPECT_EQ(a.Anzahl(7), f.pixel) << f.text << " at " << f.x << ", " << f.y;
        for (size_t i = 0; i < f.zellen.size(); ++i)
            EXPECT_EQ(a.Zeichen(f.x + 6 * int(i), f.y), f.zellen[i]) << f.text << ", cell " << i;
    }
}

TEST(Balken, EveryShapeDrawsFromLengthEightOn)
{
    const std::pair<void (*)(int, int, int), int> formen[] = {
        {gbalken, 68}, {bbalken, 68}, {gbalken_offen, 60}, {gbalken_offen_links, 56}, {bbalken_offen_rechts, 56}};
    for (const auto &[form, pixel] : formen)
        for (int lang : {7, 8}) {
            Ansicht a;
            form(20, 30, lang);
            EXPECT_EQ(a.Geaendert(), lang == 8 ? pixel : 0)
                << "shape " << &form - &formen[0].first << ", length " << lang;
        }
}

// A frame already in the new kind's range stays, its end frame too; unknown kinds do nothing.
TEST(Zeiger, KindsKeepAFrameInTheirRange)
{
    const struct {
        int bild, art;
        std::vector<int> danach;  // kind, first, end and shown frame
    } arten[] = {{11, 4, {4, 10, 13, 11}},
                 {11, 3, {3, 5, 8, 5}},
                 {8, 3, {3, 5, 8, 8}},
                 {4, 5, {0, 1, 1, 4}},
                 {4, -1, {0, 1, 1, 4}}};
    for (const auto &k : arten) {
        MouseImage = 0, m_image_start = m_image_end = 1, m_show_image = uint8_t(k.bild);
        MouseSet(k.art);
        EXPECT_EQ((std::vector<int>{MouseImage, m_image_start, m_image_end, m_show_image}), k.danach) << k.art;
    }
}

// Units of 20 x 20 at (100, 100) in slot 0, a friend or not, and friends at (110, 110) in slot 1
// and elsewhere in slot 2, selected: a click takes the unit under the pointer in the lowest slot,
// a friend to select alone, an enemy to attack. Slots selected then, and whom slot 2 attacks.
TEST(Befehle, AClickTakesTheLowestSlotUnderThePointer)
{
    const struct {
        int x, y, feind;
        std::vector<int> danach;
    } klicks[] = {{105, 105, 0, {0, 255}}, {115, 115, 0, {0, 255}}, {125, 125, 0, {1, 255}}, {105, 105, 1, {2, 0}}};
    for (const auto &k : klicks) {
        std::memset(Leute, 0, sizeof Leute);
        for (int i : {0, 1, 2})
            Leute[i].free = 1, Leute[i].x = Leute[i].y = int16_t(100 + 10 * i), Leute[i].shapeX = Leute[i].shapeY = 20;
        Leute[0].feind = uint8_t(k.feind), Leute[2].x = 300, Leute[2].aktive = 1, Leute[2].who = 255;
        mx = int16_t(k.x), my = int16_t(k.y), Rahmen = 0;
        KnopfDruck(1), KnopfLos(1);
        std::vector<int> danach;
        for (int i = 0; i < MAX_LEUTE; ++i)
            if (Leute[i].aktive != 0)
                danach.push_back(i);
        danach.push_back(Leute[2].who);
        EXPECT_EQ(danach, k.danach) << k.x << ", " << k.y << (k.feind ? ", an enemy in slot 0" : "");
    }
    std::memset(Leute, 0, sizeof Leute);
}

}  // namespace
