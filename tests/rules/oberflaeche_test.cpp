// The interface where play seldom goes: text at the edges, short fonts and bars, odd pointer kinds, the lowest slots.
#include "regeln.h"
#include "ui/font.h"
#include "ui/intfc.h"

namespace {

// A font of 50 glyphs, cut after `glyphen`: glyph g is framed by its last row and column and shows g + 1 in binary in
// pixels 0 to 3 of its first row and 0 to 1 of its second; set pixels are 180 or 1, the others 0, 2, 179 or 181.
void Schrift(int glyphen)
{
    static std::vector<unsigned char> schrift(25 * 50);
    for (int g = 0; g < 50; ++g)
        for (int p = 0; p < 25; ++p) {
            const bool an = p % 5 == 4 || p >= 20 || (p < 7 && ((g + 1) >> (p < 4 ? p : p - 1) & 1));
            schrift[25 * g + p] = an ? (p % 2 ? 1 : 180) : "\0\2\263\265"[p % 4];
        }
    bchst = schrift.data(), bchstLaenge = 25 * glyphen;
}

// The glyph drawn in colour 7 in the cell at (x, y), or -1 for none.
int Zeichen(int x, int y)
{
    int g = 0;
    for (int b = 0; b < 6; ++b)
        g |= (VScreen[(y + b / 4) * WIDTH + x + b % 4] == 7) << b;
    return g - 1;
}

TEST(Schrift, GlyphsCellsShortFontsAndTheViewsBorders)
{
    // ':' is the last glyph of a font of 40; "HA" at 636 shows the first four columns of the H.
    const std::tuple<const char *, int, int, int, int, std::vector<int>> faelle[] = {
        {"AZaz09", 0, 0, 50, 68, {0, 25, 0, 25, 40, 49}},
        {".()/,-!+:", 10, 20, 50, 105, {25, 26, 27, 29, 31, 32, 34, 35, 39}},
        {"A B ?\xfc", 10, 40, 50, 20, {0, -1, 1, -1, -1, -1}},
        {":9", 10, 60, 40, 11, {39, -1}},
        {"HA", 636, 100, 50, 5, {}},
        {"H", -3, 397, 50, 4, {}},
        {"H", 0, -4, 50, 5, {}},
    };
    for (const auto &[text, x, y, glyphen, pixel, zellen] : faelle) {
        Leeren(200), Schrift(glyphen);
        write(x, y, text, 7);
        EXPECT_EQ(Gemalt(200), pixel) << text << " at " << x << ", " << y;
        for (size_t i = 0; i < zellen.size(); ++i)
            EXPECT_EQ(Zeichen(x + 6 * int(i), y), zellen[i]) << text << ", cell " << i;
    }
}

TEST(Balken, EveryShapeDrawsFromLengthEightOn)
{
    const std::pair<void (*)(int, int, int), int> formen[] = {
        {gbalken, 68}, {bbalken, 68}, {gbalken_offen, 60}, {gbalken_offen_links, 56}, {bbalken_offen_rechts, 56}};
    for (const auto &[form, pixel] : formen)
        for (int lang : {7, 8}) {
            Leeren(200);
            form(20, 30, lang);
            EXPECT_EQ(Gemalt(200), lang == 8 ? pixel : 0) << "shape " << &form - &formen[0].first << ", " << lang;
        }
}

TEST(Zeiger, KindsKeepAFrameInTheirRangeItsEndIncludedAndUnknownKindsDoNothing)
{
    // The frame shown, the kind asked for; then the kind, its first and end frame and the frame shown.
    const std::tuple<int, int, std::vector<int>> arten[] = {
        {11, 3, {3, 5, 8, 5}}, {8, 3, {3, 5, 8, 8}}, {4, 5, {0, 1, 1, 4}}, {4, -1, {0, 1, 1, 4}}};
    for (const auto &[gezeigt, art, danach] : arten) {
        MouseImage = 0, m_image_start = m_image_end = 1, m_show_image = uint8_t(gezeigt);
        MouseSet(art);
        EXPECT_EQ((std::vector<int>{MouseImage, m_image_start, m_image_end, m_show_image}), danach) << art;
    }
}

// A friend or an enemy at (100, 100) in slot 0, friends at (110, 110) in slot 1 and elsewhere in slot 2, selected: a
// click takes the unit under the pointer in the lowest slot, a friend to select alone, an enemy to attack.
TEST(Befehle, AClickTakesTheLowestSlotUnderThePointer)
{
    // The side in slot 0; then whether slots 0, 1 and 2 are selected, and whom slot 2 attacks.
    const std::pair<int, std::vector<int>> klicks[] = {{0, {1, 0, 0, 255}}, {1, {0, 0, 1, 0}}};
    for (const auto &[feind, danach] : klicks) {
        Leeren();
        (feind ? FInsert : MInsert)(100, 100, 100, 100, 0);
        MInsert(110, 110, 110, 110, 0), MInsert(300, 120, 300, 120, 0);
        Leute[2].aktive = 1, mx = my = 115, Rahmen = 0;
        KnopfDruck(1), KnopfLos(1);
        EXPECT_EQ((std::vector<int>{Leute[0].aktive, Leute[1].aktive, Leute[2].aktive, Leute[2].who}), danach) << feind;
    }
}

// A right press that moved the view, in any direction, was a drag: the selection stays. One that did not drops it.
TEST(Befehle, ARightDragKeepsTheSelectionARightClickDropsIt)
{
    const std::tuple<int, int, int> zuege[] = {{-9, 0, 1}, {9, 0, 1}, {0, -9, 1}, {0, 9, 1}, {0, 0, 0}};
    for (const auto &[dx, dy, bleibt] : zuege) {
        Leeren(), MInsert(300, 300, 300, 300, 0), Leute[0].aktive = 1;
        ScrollX = ScrollY = 100, mx = my = 200;
        KnopfDruck(GII_PBUTTON_RIGHT), mx = int16_t(mx + dx), my = int16_t(my + dy), ZeigerBewegt();
        KnopfLos(GII_PBUTTON_RIGHT);
        EXPECT_EQ(Leute[0].aktive, bleibt) << dx << ", " << dy;
    }
}

}  // namespace
