// Bitmap text: 5 x 5 capitals, digits and a few marks, drawn into the view buffer.
#include "ui/font.h"

#include <cstdio>

#include "display/video.h"
#include "startup/file.h"

namespace {

constexpr int ZELLE = 6;   // a character's advance: glyph plus one background column
constexpr int GLYPHE = 5;  // glyph edge in pixels

// The glyph of a character, or -1 where the font has none (space, umlauts, ...).
int Glyphe(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= '0' && c <= '9')
        return 40 + (c - '0');
    switch (c) {
    case '.':
        return 25;
    case '(':
        return 26;
    case ')':
        return 27;
    case '/':
        return 29;
    case ',':
        return 31;
    case '-':
        return 32;
    case '!':
        return 34;
    case '+':
        return 35;
    case ':':
        return 39;
    default:
        return -1;
    }
}

// Paints the set pixels of glyph g with its top-left corner at (x, y); pixels outside the view
// buffer are dropped one by one, and a glyph beyond the loaded font draws nothing.
void Zeichne(int x, int y, int g, unsigned char farbe)
{
    if (bchst == nullptr || static_cast<long>(GLYPHE * GLYPHE) * (g + 1) > bchstLaenge)
        return;
    const unsigned char *glyphe = bchst + GLYPHE * GLYPHE * g;
    // The view buffer in a local: each byte stored could otherwise be the global pointer
    // itself, and the compiler would fetch it again for every pixel.
    unsigned char *bild = VScreen;
    const bool ganz = x >= 0 && x + GLYPHE <= WIDTH && y >= 0 && y + GLYPHE <= HEIGHT;
    for (int j = 0; j < GLYPHE; ++j)
        for (int k = 0; k < GLYPHE; ++k) {
            const unsigned char b = glyphe[GLYPHE * j + k];
            if (b != 180 && b != 1)
                continue;
            if (!ganz && (x + k < 0 || x + k >= WIDTH || y + j < 0 || y + j >= HEIGHT))
                continue;
            bild[(y + j) * WIDTH + x + k] = farbe;
        }
}

}  // namespace

void write(int x, int y, const char *str, unsigned char farbe)
{
    for (int i = 0; str[i] != '\0'; ++i) {
        const int g = Glyphe(static_cast<unsigned char>(str[i]));
        if (g >= 0)
            Zeichne(x + ZELLE * i, y, g, farbe);
    }
}

void Iwrite(int x, int y, int value, unsigned char farbe)
{
    char text[20];
    snprintf(text, sizeof text, "%2d", value);
    // Only digits are drawn; the padding blank and the minus sign keep their cells empty.
    for (int p = 0; text[p] != '\0'; ++p)
        if (text[p] >= '0' && text[p] <= '9')
            Zeichne(x + ZELLE * p, y, 40 + (text[p] - '0'), farbe);
}
