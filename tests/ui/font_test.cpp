// Bitmap text: glyph choice, cells, clipping at the view's border, numbers.
#include "ui_fixture.h"

#include <algorithm>

#include "ui/font.h"

namespace {

class FontTest : public UiTest {
protected:
    // The pixels of colour 7 in the cell of character i of a text written at (x, y).
    std::vector<std::string> Zelle(int x, int y, int i) { return Pixel(x + 6 * i, y, x + 6 * i + 5, y + 4, 7); }
};

}  // namespace

TEST_F(FontTest, LowerCaseDrawsTheCapitals)
{
    write(10, 20, "abcdefghijklmnopqrstuvwxyz", 7);
    std::vector<unsigned char> klein = bild;
    std::fill(bild.begin(), bild.end(), LEER);
    write(10, 20, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 7);
    EXPECT_EQ(bild, klein);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(Zelle(10, 20, i), Glyphe(i, 10 + 6 * i, 20)) << char('A' + i);
}

TEST_F(FontTest, MarksAndDigitsUseTheirGlyphs)
{
    const char *text = "()/,-!+:0123456789.";
    const int glyphe[] = {26, 27, 29, 31, 32, 34, 35, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 25};
    write(3, 50, text, 7);
    for (int i = 0; text[i] != '\0'; ++i)
        EXPECT_EQ(Zelle(3, 50, i), Glyphe(glyphe[i], 3 + 6 * i, 50)) << text[i];
}

TEST_F(FontTest, CharactersWithoutGlyphKeepTheirCell)
{
    write(30, 40, "A B", 7);
    EXPECT_EQ(Zelle(30, 40, 0), Glyphe(0, 30, 40));
    EXPECT_TRUE(Pixel(36, 40, 41, 44, 7).empty());
    EXPECT_EQ(Zelle(30, 40, 2), Glyphe(1, 42, 40));

    std::vector<unsigned char> vorher = bild;
    write(30, 60, " ?#@[\xfc\xe4\t\"", 7);
    EXPECT_EQ(bild, vorher);
}

TEST_F(FontTest, ZAndFullStopLookAlike)
{
    write(0, 0, "Z", 7);
    write(0, 10, ".", 7);
    for (int j = 0; j < 5; ++j)
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(Px(k, j), Px(k, 10 + j));
    EXPECT_FALSE(Pixel(0, 10, 4, 14, 7).empty());
}

TEST_F(FontTest, PixelsOutsideTheViewAreDroppedOneByOne)
{
    write(636, 100, "AB", 7);
    std::vector<std::string> erwartet;
    for (int j = 0; j < 5; ++j)
        for (int k = 0; k < 4; ++k)
            if (GlyphGesetzt(0, j, k))
                erwartet.push_back(std::to_string(636 + k) + "," + std::to_string(100 + j));
    EXPECT_EQ(Pixel(0, 0, WIDTH - 1, HEIGHT - 1, 7), erwartet);

    std::fill(bild.begin(), bild.end(), LEER);
    write(-3, 397, "A", 7);
    erwartet.clear();
    for (int j = 0; j < 3; ++j)
        for (int k = 3; k < 5; ++k)
            if (GlyphGesetzt(0, j, k))
                erwartet.push_back(std::to_string(k - 3) + "," + std::to_string(397 + j));
    EXPECT_EQ(Pixel(0, 0, WIDTH - 1, HEIGHT - 1, 7), erwartet);

    std::fill(bild.begin(), bild.end(), LEER);
    write(100, -5, "HALLO", 7);
    write(100, 400, "HALLO", 7);
    write(640, 100, "HALLO", 7);
    EXPECT_TRUE(Pixel(0, 0, WIDTH - 1, HEIGHT - 1, 7).empty());
}

TEST_F(FontTest, NumbersFillTwoCellsAtLeast)
{
    Iwrite(100, 10, 7, 7);
    EXPECT_TRUE(Zelle(100, 10, 0).empty());
    EXPECT_EQ(Zelle(100, 10, 1), Glyphe(47, 106, 10));

    Iwrite(100, 20, 12, 7);
    EXPECT_EQ(Zelle(100, 20, 0), Glyphe(41, 100, 20));
    EXPECT_EQ(Zelle(100, 20, 1), Glyphe(42, 106, 20));

    Iwrite(100, 30, -2, 7);
    EXPECT_TRUE(Zelle(100, 30, 0).empty());
    EXPECT_EQ(Zelle(100, 30, 1), Glyphe(42, 106, 30));

    Iwrite(100, 40, 123, 7);
    EXPECT_EQ(Zelle(100, 40, 0), Glyphe(41, 100, 40));
    EXPECT_EQ(Zelle(100, 40, 1), Glyphe(42, 106, 40));
    EXPECT_EQ(Zelle(100, 40, 2), Glyphe(43, 112, 40));

    Iwrite(100, 50, -40, 7);
    EXPECT_TRUE(Zelle(100, 50, 0).empty());
    EXPECT_EQ(Zelle(100, 50, 1), Glyphe(44, 106, 50));
    EXPECT_EQ(Zelle(100, 50, 2), Glyphe(40, 112, 50));

    // Nothing else in the buffer was touched.
    EXPECT_EQ(Pixel(0, 0, WIDTH - 1, HEIGHT - 1, 7).size(),
              Pixel(100, 10, 117, 54, 7).size());
}

TEST_F(FontTest, GlyphsBeyondAShortFontDrawNothing)
{
    std::vector<unsigned char> kurz(schrift.begin(), schrift.begin() + 40 * 25);  // no digits
    bchst = kurz.data();
    bchstLaenge = static_cast<long>(kurz.size());
    Iwrite(10, 10, 1234567, 7);
    write(10, 20, "9", 7);
    EXPECT_TRUE(Pixel(0, 0, WIDTH - 1, HEIGHT - 1, 7).empty());
    write(10, 30, "A", 7);
    EXPECT_EQ(Zelle(10, 30, 0), Glyphe(0, 10, 30));
}
