// The generated picture files: their sizes and layouts, the roles of the palette's colours,
// and what the pictures must show for the game to read.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "../../tools/common/tiles.h"
#include "resource_util.h"

using namespace restest;

namespace {

struct Colour {
    int r, g, b;
    int Sum() const { return r + g + b; }
};

Colour PaletteEntry(const std::vector<unsigned char> &pal, int i) { return {pal[i * 3], pal[i * 3 + 1], pal[i * 3 + 2]}; }

// The bytes of frame n of a file of w x h frames.
std::vector<unsigned char> Frame(const std::vector<unsigned char> &data, int w, int h, int n) {
    return std::vector<unsigned char>(data.begin() + size_t(n) * w * h, data.begin() + size_t(n + 1) * w * h);
}

int Count(const std::vector<unsigned char> &frame, int transparent) {
    return int(std::count_if(frame.begin(), frame.end(), [&](unsigned char c) { return c != transparent; }));
}

}  // namespace

TEST(ResourceFiles, EveryFileHasTheSizeItsLayoutNeeds) {
    EXPECT_EQ(ReadAll(RunPath("resource/font-01.rsc")).size(), 50u * 25);
    EXPECT_EQ(ReadAll(RunPath("resource/maus.rsc")).size(), 13u * 256);
    auto terrain = ReadAll(RunPath("resource/terrain.rsc")).size();
    EXPECT_EQ(terrain % 400, 0u);
    EXPECT_GE(terrain, 706u * 400);
    EXPECT_LE(terrain, 400000u);
    auto men = ReadAll(RunPath("resource/lsprites.rsc")).size();
    auto tank = ReadAll(RunPath("resource/ksprites.rsc")).size();
    auto heli = ReadAll(RunPath("resource/hsprites.rsc")).size();
    EXPECT_EQ(men % 400, 0u);
    EXPECT_EQ(tank, 291u * 43 * 30);
    EXPECT_EQ(heli, 4u * 53 * 30);
    EXPECT_LE(men + tank + heli, 900000u);
    EXPECT_EQ(ReadAll(RunPath("resource/explose.rsc")).size(), 12u * 28 * 20);
    EXPECT_EQ(ReadAll(RunPath("resource/rauch.rsc")).size(), 8u * 14 * 14);
    EXPECT_EQ(ReadAll(RunPath("data/system.pal")).size(), 768u);
    EXPECT_EQ(ReadAll(RunPath("mission/demo.mis")).size(), 20004u);
}

TEST(Palette, ColoursPlayTheirRoles) {
    auto pal = ReadAll(RunPath("data/system.pal"));
    ASSERT_EQ(pal.size(), 768u);
    auto c = [&](int i) { return PaletteEntry(pal, i); };
    EXPECT_EQ(c(0).Sum(), 0) << "colour 0 is black";
    // Bevelled bars: light over middle over dark, for both sets and the menu.
    for (auto [l, m, d] : {std::array<int, 3>{96, 98, 100}, {106, 108, 110}, {240, 241, 242}}) {
        EXPECT_GT(c(l).Sum(), c(m).Sum()) << l;
        EXPECT_GT(c(m).Sum(), c(d).Sum()) << m;
    }
    // Panel text is white on the bars and its shadows are the bars' dark colours.
    EXPECT_GE(std::min({c(254).r, c(254).g, c(254).b}), 240);
    EXPECT_GT(c(254).Sum(), c(98).Sum() + 200);
    EXPECT_GT(c(254).Sum(), c(241).Sum() + 200);
    // Ground grain: five greens close enough to read as one grass.
    for (int i = 1; i <= 5; ++i) {
        EXPECT_GT(c(i).g, c(i).r) << i;
        EXPECT_GT(c(i).g, c(i).b) << i;
        for (int j = 1; j <= 5; ++j) EXPECT_LE(std::abs(c(i).Sum() - c(j).Sum()), 45) << i << " " << j;
    }
    // The tick marks stand out over the grass they are drawn on.
    for (int t : {97, 107}) EXPECT_GT(c(t).Sum(), c(1).Sum() + 150) << t;
    // Sparks: the centre brightest; the laser shades fall off from the head.
    EXPECT_GT(c(201).Sum(), c(103).Sum());
    EXPECT_GT(c(229).Sum(), c(228).Sum());
    EXPECT_GT(c(228).Sum(), c(227).Sum());
    EXPECT_GT(c(227).Sum(), c(226).Sum());
}

TEST(Font, GlyphsAreSetPixelsOnlyAndEveryCharacterDiffers) {
    auto font = ReadAll(RunPath("resource/font-01.rsc"));
    ASSERT_EQ(font.size(), 1250u);
    for (unsigned char b : font) ASSERT_TRUE(b == 0 || b == 180) << int(b);
    // Glyphs that characters use: letters (25 is also the full stop), brackets, slash,
    // comma, minus, exclamation mark, plus, colon, digits.
    std::vector<int> used;
    for (int g = 0; g <= 27; ++g) used.push_back(g);
    for (int g : {29, 31, 32, 34, 35, 39}) used.push_back(g);
    for (int g = 40; g <= 49; ++g) used.push_back(g);
    std::set<std::vector<unsigned char>> seen;
    for (int g : used) {
        auto glyph = Frame(font, 5, 5, g);
        EXPECT_GT(Count(glyph, 0), 0) << "glyph " << g << " is empty";
        EXPECT_TRUE(seen.insert(glyph).second) << "glyph " << g << " repeats another";
    }
    // "0" and "O" must not look alike in the counters.
    EXPECT_NE(Frame(font, 5, 5, 14), Frame(font, 5, 5, 40));
}

TEST(Pointer, KindsAreDrawnAroundTheHotSpotAndLookDifferent) {
    auto maus = ReadAll(RunPath("resource/maus.rsc"));
    ASSERT_EQ(maus.size(), 13u * 256);
    auto frame = [&](int n) { return Frame(maus, 16, 16, n); };
    for (int n : {1, 2, 3, 5, 6, 7, 9, 10, 11, 12}) EXPECT_GT(Count(frame(n), 0), 8) << "frame " << n;
    // The normal pointer's tip is the hot spot itself.
    EXPECT_NE(frame(1)[8 * 16 + 8], 0);
    // Normal, friend, blocked and enemy pointers each look different, and each animation moves.
    std::set<std::vector<unsigned char>> kinds = {frame(1), frame(5), frame(9), frame(10)};
    EXPECT_EQ(kinds.size(), 4u);
    for (auto [a, b] : {std::pair{1, 2}, {2, 3}, {5, 6}, {6, 7}, {10, 11}, {11, 12}})
        EXPECT_NE(frame(a), frame(b)) << a << " and " << b;
    // Every drawn frame puts something within three pixels of the hot spot, so the pointer
    // marks the spot it acts on.
    for (int n : {1, 2, 3, 5, 6, 7, 9, 10, 11, 12}) {
        int near = 0;
        for (int y = 5; y <= 11; ++y)
            for (int x = 5; x <= 11; ++x) near += frame(n)[y * 16 + x] != 0;
        EXPECT_GT(near, 0) << "frame " << n;
    }
}

TEST(Terrain, OpenGroundObstaclesAndAnimations) {
    auto terrain = ReadAll(RunPath("resource/terrain.rsc"));
    ASSERT_GE(terrain.size(), 706u * 400);
    auto tile = [&](int n) { return Frame(terrain, 20, 20, n); };
    auto grain = [](const std::vector<unsigned char> &t) {
        return std::count_if(t.begin(), t.end(), [](unsigned char p) { return p >= 1 && p <= 5; });
    };
    // The open ground the editor shows first is grass with grain.
    for (int n = 0; n < 8; ++n) EXPECT_GT(grain(tile(n)), 200) << "tile " << n;
    // Frames of the three animations change from frame to frame, and come back round:
    // the last frame differs from the first.
    for (auto [first, count] : {std::pair{tiles::WATER_ANIM, 13}, {tiles::FIRE_ANIM, 11}, {tiles::RADAR_ANIM, 6}}) {
        for (int f = 0; f + 1 < count; ++f) EXPECT_NE(tile(first + f), tile(first + f + 1)) << first + f;
        // The game copies animation frames without giving grain pixels a random colour, so
        // the frames carry a grain of their own, the same in every frame (no flicker).
        std::set<int> shades;
        for (int p = 0; p < 400; ++p) {
            int g = tile(first)[p];
            if (g < 1 || g > 5) continue;
            shades.insert(g);
            for (int f = 1; f < count; ++f) {
                int o = tile(first + f)[p];
                if (o >= 1 && o <= 5) {
                    EXPECT_EQ(o, g) << "tile " << first + f << " pixel " << p;
                }
            }
        }
        if (!shades.empty()) {
            EXPECT_GT(shades.size(), 2u) << first;
        }
    }
}

TEST(Terrain, OnlyWhatUnitsPassBehindStandsInFrontOfThem) {
    auto terrain = ReadAll(RunPath("resource/terrain.rsc"));
    auto tile = [&](int n) { return Frame(terrain, 20, 20, n); };
    auto front = [](const std::vector<unsigned char> &t) {
        return std::count_if(t.begin(), t.end(), [](unsigned char p) { return p > 163; });
    };
    // Plain ground, water, rock and walls lie under the units.
    using namespace tiles;
    for (int n : {GRASS, GRASS + 5, DIRT, SAND, ROAD + 15, CRATER, BOULDER, WATER, WATER + WATER_N - 1, ROCK,
                  ROCK + 15, WALL + 15, CRATES, WATER_ANIM})
        EXPECT_EQ(front(tile(n)), 0) << n;
    // Tree crowns and roofs cover a unit that walks beside them.
    for (int n : {TREES, TREES + 15, HOUSE, HOUSE + 15, HALL + 15}) EXPECT_GT(front(tile(n)), 40) << n;
}
