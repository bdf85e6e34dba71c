// The viewer's decoder: run-length codes, scan-line padding, header and size checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "lumora.h"
#include "viewer/pcxfile.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// Decodes codes into a w x h picture followed by guard bytes; the guards must survive.
struct Decoded {
    bool ok;
    Bytes pixels;
    bool guards_intact;
};

Decoded decode(const Bytes &codes, uint16_t w, uint16_t h, uint16_t bpl, long datalen = -1)
{
    MemFile file(codes);
    const size_t size = (size_t)w * h;
    Bytes buffer(size + 16, 0xAB);
    bool ok = readpcximage(file.fp, buffer.data(), w, h, bpl,
                           datalen < 0 ? (long)codes.size() : datalen);
    bool guards = true;
    for (size_t i = size; i < buffer.size(); i++)
        guards = guards && buffer[i] == 0xAB;
    buffer.resize(size);
    return {ok, buffer, guards};
}

TEST(PcxDecode, LiteralsRunsAndHighColoursAsRunsOfOne)
{
    Decoded d = decode({5, 0xC3, 7, 0xC1, 200, 191}, 6, 1, 6);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{5, 7, 7, 7, 200, 191}));
}

TEST(PcxDecode, RunsCrossScanLinesAndPadBytesAreNotShown)
{
    // Width 3 in scan lines of 4: the fourth byte of each line is a pad, here never zero.
    Decoded d = decode({0xC6, 1, 0xC6, 2}, 3, 3, 4);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{1, 1, 1, 1, 1, 2, 2, 2, 2}));
    EXPECT_TRUE(d.guards_intact);

    // Codes that start in the pad, the last one after the last pixel.
    d = decode({1, 2, 0xC2, 99, 3, 4, 0xC2, 98}, 2, 2, 4);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{1, 2, 3, 4}));
    EXPECT_TRUE(d.guards_intact);

    // Odd width without padding: a run from the middle of one line into the next.
    d = decode({9, 0xC4, 3, 8}, 3, 2, 3);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{9, 3, 3, 3, 3, 8}));
}

TEST(PcxDecode, RunOfCountZeroConsumesItsColourAndWritesNothing)
{
    Decoded d = decode({0xC0, 9, 4, 5}, 2, 1, 2);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{4, 5}));
}

TEST(PcxDecode, LastRunIsCutAtTheEndOfThePicture)
{
    Decoded d = decode({0xFF, 7, 0x42}, 3, 2, 3);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, Bytes(6, 7));
    EXPECT_TRUE(d.guards_intact);

    // The same with padded lines: the cut comes after the last pad byte, not before.
    d = decode({0xFF, 6}, 1, 7, 2);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, Bytes(7, 6));
    EXPECT_TRUE(d.guards_intact);
}

TEST(PcxDecode, CodesEndingEarlyAreAnError)
{
    // The file ends in the middle of the picture.
    EXPECT_FALSE(decode({1, 2, 3}, 2, 2, 2).ok);
    // A run code without its colour byte.
    EXPECT_FALSE(decode({1, 2, 3, 0xC1}, 2, 2, 2).ok);
    // More bytes follow, but they lie past the allowed length (the palette trailer).
    Decoded d = decode({1, 2, 3, 4, 5}, 2, 2, 2, 3);
    EXPECT_FALSE(d.ok);
    EXPECT_TRUE(d.guards_intact);
    EXPECT_FALSE(decode({1, 2, 0xC2, 4}, 2, 2, 2, 3).ok);
    // Nothing at all.
    EXPECT_FALSE(decode({}, 1, 1, 1).ok);
}

TEST(PcxDecode, ScanLinesShorterThanTheWidthAreRefused)
{
    EXPECT_FALSE(decode({0xC4, 1, 0xC4, 1}, 4, 2, 3).ok);
    // A scan line of no bytes would never advance.
    EXPECT_FALSE(decode({1, 1}, 1, 1, 0).ok);
}

// readpcx on a whole file; palette starts filled with 0xEE to see whether it was touched.
struct Loaded {
    pcx_result result;
    uint8_t *pixels;
    uint16_t width, height;
    Bytes palette;
    ~Loaded() { free(pixels); }
};

void load(const Bytes &bytes, Loaded &out)
{
    MemFile file(bytes);
    out.palette.assign(768, 0xEE);
    out.width = out.height = 0xDEAD;
    out.pixels = readpcx(file.fp, out.palette.data(), &out.width, &out.height, &out.result);
}

TEST(PcxRead, LoadsPictureAndTheLast768BytesAsPalette)
{
    PcxFile f;
    f.xmin = 3;
    f.xmax = 5;
    f.ymin = 10;
    f.ymax = 11;
    f.bytesperline = 4;
    f.codes = pcx_encode({1, 2, 3, 99, 4, 0xC5, 6, 99});
    Loaded l;
    load(pcx_bytes(f), l);
    ASSERT_EQ(l.result, PCX_LOADED);
    ASSERT_NE(l.pixels, nullptr);
    EXPECT_EQ(l.width, 3);
    EXPECT_EQ(l.height, 2);
    EXPECT_EQ(Bytes(l.pixels, l.pixels + 6), (Bytes{1, 2, 3, 4, 0xC5, 6}));
    EXPECT_EQ(l.palette, pcx_default_palette());

    // The marker byte before the palette is not needed.
    f.marker = false;
    Loaded m;
    load(pcx_bytes(f), m);
    ASSERT_EQ(m.result, PCX_LOADED);
    EXPECT_EQ(m.palette, pcx_default_palette());
}

TEST(PcxRead, OnlyVersion5EightBitOnePlanePicturesAreAccepted)
{
    struct Case {
        const char *what;
        uint8_t manufacturer, version, bits, planes;
    } cases[] = {
        {"manufacturer 11", 11, 5, 8, 1}, {"version 0", 10, 0, 8, 1},
        {"version 4", 10, 4, 8, 1},       {"1 bit x 4 planes", 10, 5, 1, 4},
        // True colour with a palette trailer and its marker: still not an 8-bit picture.
        {"8 bits x 3 planes", 10, 5, 8, 3},
    };
    for (const Case &c : cases) {
        PcxFile f = pcx_sized(4, 4);
        f.manufacturer = c.manufacturer;
        f.version = c.version;
        f.bits = c.bits;
        f.planes = c.planes;
        f.codes = {0xD0, 1, 0xD0, 1, 0xD0, 1};
        Loaded l;
        load(pcx_bytes(f), l);
        EXPECT_EQ(l.result, PCX_INVALID) << c.what;
        EXPECT_EQ(l.pixels, nullptr) << c.what;
        EXPECT_EQ(l.palette, Bytes(768, 0xEE)) << c.what;
    }
}

TEST(PcxRead, SizeIsCheckedBeforeAnyPixelIsRead)
{
    // None of these files carries a single code: a decode would fail, so TOO_BIG shows
    // that the size was refused first.
    struct Case {
        const char *what;
        uint16_t xmin, xmax, ymin, ymax;
        uint16_t width, height;
    } cases[] = {
        {"321 wide", 0, 320, 0, 199, 321, 200},
        {"201 high", 0, 319, 0, 200, 320, 201},
        {"zero width", 5, 4, 0, 9, 0, 10},
        {"zero height", 0, 9, 0, 65535, 10, 0},
        {"wrapped width", 10, 0, 0, 9, 65527, 10},
        {"wrapped height", 0, 9, 300, 1, 10, 65238},
        {"huge", 0, 65534, 0, 65534, 65535, 65535},
    };
    for (const Case &c : cases) {
        PcxFile f;
        f.xmin = c.xmin;
        f.xmax = c.xmax;
        f.ymin = c.ymin;
        f.ymax = c.ymax;
        f.bytesperline = 65535;
        Loaded l;
        load(pcx_bytes(f), l);
        EXPECT_EQ(l.result, PCX_TOO_BIG) << c.what;
        EXPECT_EQ(l.pixels, nullptr) << c.what;
        EXPECT_EQ(l.width, c.width) << c.what;
        EXPECT_EQ(l.height, c.height) << c.what;
    }
}

TEST(PcxRead, LargestAndSmallestPicturesAreAccepted)
{
    Bytes stream(320 * 200);
    for (size_t i = 0; i < stream.size(); i++)
        stream[i] = (uint8_t)(i / 7);
    PcxFile f = pcx_sized(320, 200);
    f.codes = pcx_encode(stream);
    Loaded l;
    load(pcx_bytes(f), l);
    ASSERT_EQ(l.result, PCX_LOADED);
    EXPECT_EQ(Bytes(l.pixels, l.pixels + stream.size()), stream);

    PcxFile one = pcx_sized(1, 1);
    one.codes = {0xC1, 250};
    Loaded s;
    load(pcx_bytes(one), s);
    ASSERT_EQ(s.result, PCX_LOADED);
    EXPECT_EQ(s.pixels[0], 250);
}

TEST(PcxRead, MalformedLayoutsAreRefused)
{
    // Bytes per line below the width, and zero.
    PcxFile f = pcx_sized(8, 2);
    f.bytesperline = 7;
    f.codes = {0xD0, 1};
    Loaded a;
    load(pcx_bytes(f), a);
    EXPECT_EQ(a.result, PCX_INVALID);
    f.bytesperline = 0;
    Loaded b;
    load(pcx_bytes(f), b);
    EXPECT_EQ(b.result, PCX_INVALID);

    // Codes for half the picture: without the limit the decoder would read the marker and
    // the palette as pixels and call the picture complete.
    PcxFile half = pcx_sized(10, 10);
    half.codes = {0xF2, 3};
    Loaded c;
    load(pcx_bytes(half), c);
    EXPECT_EQ(c.result, PCX_INVALID);
    EXPECT_EQ(c.pixels, nullptr);
    EXPECT_EQ(c.palette, Bytes(768, 0xEE));
}

TEST(PcxRead, FilesTooShortForHeaderAndPaletteAreRefused)
{
    PcxFile f = pcx_sized(1, 1);
    f.marker = false;
    Bytes whole = pcx_bytes(f); // header and palette, no pixel
    ASSERT_EQ(whole.size(), 896u);
    for (size_t size : {size_t(0), size_t(1), size_t(127), size_t(128), size_t(895)}) {
        Loaded l;
        load(Bytes(whole.begin(), whole.begin() + size), l);
        EXPECT_EQ(l.result, PCX_INVALID) << size << " bytes";
        EXPECT_EQ(l.pixels, nullptr) << size << " bytes";
    }
    // Header and palette but no pixel codes: the picture is incomplete.
    Loaded l;
    load(whole, l);
    EXPECT_EQ(l.result, PCX_INVALID);
}

} // namespace
