// Shared set-up of the interface tests: a view buffer, a font, pointer and tile pictures made here.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control/control.h"
#include "display/video.h"
#include "startup/file.h"
#include "ui/mouse.h"

constexpr unsigned char LEER = 0xEE;  // background of the test buffer, used by nothing drawn

// Glyph byte (j, k) of glyph g in the test font: set pixels are 180 or 1, the rest other values.
inline unsigned char GlyphByte(int g, int j, int k)
{
    static const unsigned char werte[7] = {180, 0, 1, 2, 179, 181, 255};
    return werte[(g * 13 + j * 5 + k * 3) % 7];
}

inline bool GlyphGesetzt(int g, int j, int k)
{
    const unsigned char b = GlyphByte(g, j, k);
    return b == 180 || b == 1;
}

// Pixel s of pointer frame n: a mix of transparent 0 and colours.
inline unsigned char MausPixel(int n, int s) { return static_cast<unsigned char>((n * 37 + s) % 5 * 20); }

class UiTest : public ::testing::Test {
protected:
    std::vector<unsigned char> bild = std::vector<unsigned char>(WIDTH * HEIGHT, LEER);
    std::vector<unsigned char> schrift = std::vector<unsigned char>(50 * 25);
    std::vector<unsigned char> maus = std::vector<unsigned char>(13 * 256);
    std::vector<unsigned char> kacheln = std::vector<unsigned char>(12 * 400);

    void SetUp() override
    {
        for (int g = 0; g < 50; ++g)
            for (int j = 0; j < 5; ++j)
                for (int k = 0; k < 5; ++k)
                    schrift[g * 25 + j * 5 + k] = GlyphByte(g, j, k);
        for (int n = 0; n < 13; ++n)
            for (int s = 0; s < 256; ++s)
                maus[n * 256 + s] = MausPixel(n, s);
        for (size_t i = 0; i < kacheln.size(); ++i)
            kacheln[i] = static_cast<unsigned char>(i / 400 * 10 + i % 7);
        VScreen = bild.data();
        bchst = schrift.data();
        bchstLaenge = static_cast<long>(schrift.size());
        m_images = maus.data();
        m_imagesLaenge = static_cast<long>(maus.size());
        TerrainData = kacheln.data();
        TerrainLaenge = static_cast<long>(kacheln.size());
        mx = my = mx1 = my1 = 0;
        MouseImage = 0;
        m_image_start = m_image_end = 0;
        m_show_image = 1;
        GameDel = 1;
        GameSpeed = 1;
    }

    void TearDown() override
    {
        VScreen = nullptr;
        bchst = m_images = TerrainData = nullptr;
        bchstLaenge = m_imagesLaenge = TerrainLaenge = 0;
    }

    unsigned char &Px(int x, int y) { return bild[y * WIDTH + x]; }

    // The pixels of colour `farbe` inside the rectangle, as "x,y" strings.
    std::vector<std::string> Pixel(int x0, int y0, int x1, int y1, unsigned char farbe)
    {
        std::vector<std::string> v;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (Px(x, y) == farbe)
                    v.push_back(std::to_string(x) + "," + std::to_string(y));
        return v;
    }

    // The set pixels of glyph g with its top-left corner at (x, y), as Pixel lists them.
    static std::vector<std::string> Glyphe(int g, int x, int y)
    {
        std::vector<std::string> v;
        for (int j = 0; j < 5; ++j)
            for (int k = 0; k < 5; ++k)
                if (GlyphGesetzt(g, j, k))
                    v.push_back(std::to_string(x + k) + "," + std::to_string(y + j));
        return v;
    }
};
