// The in-game panel and the drawing primitives every screen shares: boxes and bevelled bars.
#include "ui/intfc.h"

#include <cstring>
#include <utility>

#include "control/control.h"
#include "display/video.h"
#include "ui/font.h"
#include "units/vardefs.h"

uint8_t r = 0;

namespace {

constexpr int BALKEN_MIN = 8;  // shortest bar whose runs are all non-negative

void Punkt(int x, int y, unsigned char farbe)
{
    VScreen[y * WIDTH + x] = farbe;
}

// Pixels dx = von .. bis of bar row `zeile`, a run that is empty when bis < von.
void Lauf(int x, int y, int zeile, int von, int bis, unsigned char farbe)
{
    if (bis >= von)
        std::memset(VScreen + (y + zeile) * WIDTH + x + von, farbe, size_t(bis - von + 1));
}

// A vertical line of the strength gauge from row y0 to y1. The view buffer is taken into a
// local first: every byte stored could otherwise be the global pointer itself, and the
// compiler would fetch it again for each pixel.
void Senkrecht(int x, int y0, int y1, unsigned char farbe)
{
    unsigned char *bild = VScreen;
    for (int j = y0; j <= y1; ++j)
        bild[j * WIDTH + x] = farbe;
}

// How far rows 1 to 10 of a bar are cut in at each end; rows 0 and 11 start at dx 4.
int Einzug(int zeile)
{
    static const int einzug[12] = {4, 3, 2, 1, 0, 0, 0, 0, 1, 2, 3, 4};
    return einzug[zeile];
}

// The rounded ends of rows 1 to 10, shared by the whole bar family: the edge pixel and the
// filling up to dx 3 on the left; the filling from dx lang - 3 and the edge pixel on the right.
// The top of both ends is light, the bottom dark; the right end turns dark from row 4 on.
void LinkesEnde(int x, int y, int zeile, unsigned char L, unsigned char D, unsigned char M)
{
    const int a = Einzug(zeile);
    Punkt(x + a, y + zeile, zeile <= 7 ? L : D);
    Lauf(x, y, zeile, a + 1, 3, M);
}

void RechtesEnde(int x, int y, int lang, int zeile, unsigned char L, unsigned char D, unsigned char M)
{
    const int a = Einzug(zeile);
    Lauf(x, y, zeile, lang - 3, lang - a - 1, M);
    Punkt(x + lang - a, y + zeile, zeile <= 3 ? L : D);
}

}  // namespace

void draw_box(int x, int y, int x1, int y1, unsigned char color)
{
    if (x > x1)
        std::swap(x, x1);
    if (y > y1)
        std::swap(y, y1);
    // Every box drawn on a game tick flips the phase, so the dots crawl along the outline.
    if (GameDel == 0)
        r = r == 0 ? 1 : 0;
    for (int i = x + r; i <= x1; i += 2) {
        Punkt(i, y, color);
        Punkt(i, y1, color);
    }
    for (int j = y + r; j <= y1; j += 2) {
        Punkt(x, j, color);
        Punkt(x1, j, color);
    }
}

void fill_box(int x, int y, int x1, int y1, unsigned char color)
{
    for (int j = y; j <= y1; ++j)
        for (int i = x; i <= x1; ++i)
            Punkt(i, j, color);
}

void Balken(int x, int y, int lang, unsigned char HELL, unsigned char DUNKEL, unsigned char MITTEL)
{
    if (lang < BALKEN_MIN)
        return;
    Lauf(x, y, 0, 4, lang - 4, HELL);
    for (int zeile = 1; zeile <= 10; ++zeile) {
        LinkesEnde(x, y, zeile, HELL, DUNKEL, MITTEL);
        Lauf(x, y, zeile, 4, lang - 4, MITTEL);
        RechtesEnde(x, y, lang, zeile, HELL, DUNKEL, MITTEL);
    }
    Lauf(x, y, 11, 4, lang - 4, DUNKEL);
}

void gbalken(int x, int y, int lang)
{
    Balken(x, y, lang, 96, 100, 98);
}

void bbalken(int x, int y, int lang)
{
    Balken(x, y, lang, 106, 110, 108);
}

void gbalken_offen(int x, int y, int lang)
{
    if (lang < BALKEN_MIN)
        return;
    const unsigned char L = 96, D = 100, M = 98;
    Lauf(x, y, 0, 4, lang - 4, L);
    for (int zeile = 1; zeile <= 10; ++zeile) {
        LinkesEnde(x, y, zeile, L, D, M);
        RechtesEnde(x, y, lang, zeile, L, D, M);
    }
    Lauf(x, y, 1, 4, lang - 4, D);
    Lauf(x, y, 10, 4, lang - 4, L);
    Lauf(x, y, 11, 4, lang - 4, D);
}

void gbalken_offen_links(int x, int y, int lang)
{
    if (lang < BALKEN_MIN)
        return;
    const unsigned char L = 96, D = 100, M = 98;
    Lauf(x, y, 0, 4, lang, L);
    for (int zeile = 1; zeile <= 10; ++zeile)
        LinkesEnde(x, y, zeile, L, D, M);
    Lauf(x, y, 1, 4, lang, D);
    for (int zeile = 2; zeile <= 10; ++zeile)
        Punkt(x + lang, y + zeile, D);
    Lauf(x, y, 10, 4, lang - 1, L);
    Lauf(x, y, 11, 4, lang, D);
}

void bbalken_offen_rechts(int x, int y, int lang)
{
    if (lang < BALKEN_MIN)
        return;
    const unsigned char L = 106, D = 110, M = 108;
    Lauf(x, y, 0, 0, lang - 4, L);
    for (int zeile = 1; zeile <= 10; ++zeile)
        RechtesEnde(x, y, lang, zeile, L, D, M);
    Punkt(x, y + 1, L);
    Lauf(x, y, 1, 1, lang - 4, D);
    for (int zeile = 2; zeile <= 9; ++zeile)
        Punkt(x, y + zeile, L);
    Lauf(x, y, 10, 0, lang - 4, L);
    Lauf(x, y, 11, 0, lang - 4, D);
}

void InterFace()
{
    gbalken(214, 10, 30);
    gbalken_offen_links(245, 10, 70);
    bbalken(387, 10, 30);
    bbalken_offen_rechts(316, 10, 70);
    gbalken_offen(270, 24, 100);

    Iwrite(225, 14, MAnz, 100);
    Iwrite(224, 13, MAnz, 254);
    // The gauge fills by 4/3 pixel per unit, one line every second pixel.
    for (int i = 0; i < (100 * MAnz) / 75; i += 2)
        Senkrecht(250 + i, 12, 19, 97);

    Iwrite(399, 14, FAnz, 110);
    Iwrite(398, 13, FAnz, 254);
    for (int i = 0; i < (100 * FAnz) / 75; i += 2)
        Senkrecht(381 - i, 12, 19, 107);

    gbalken(530, 10, 100);
    write(551, 14, "Botschaften", 100);
    write(550, 13, "Botschaften", 254);
    gbalken(530, 100, 100);
    write(559, 104, "Fabriken", 100);
    write(558, 103, "Fabriken", 254);

    bbalken(600, 385, 30);
    Iwrite(610, 388, 6 - GameSpeed, 254);
}
