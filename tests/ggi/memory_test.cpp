// Tests of the headless target and palemu: direct buffer, colours, PPM pictures, final picture.
#include <cstring>

#include "helpers.h"

namespace {

class GgiMemory : public testing::Test {
protected:
    void SetUp() override
    {
        ggiInit();
        env.set("GGI_DISPLAY", nullptr);
        env.set("DISPLAY", nullptr);
        env.set("WAYLAND_DISPLAY", nullptr);
    }
    void TearDown() override { ggiExit(); }

    ggi_visual_t open(const std::string &display)
    {
        ggi_visual_t v = ggiOpen(display.c_str(), nullptr);
        EXPECT_NE(v, nullptr) << display;
        return v;
    }
    EnvGuard env;
    TempDir dir;
};

TEST_F(GgiMemory, DirectBufferIsTheFrameBufferOfEveryDepth)
{
    ggi_visual_t v = open("memory");
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);  // no mode yet
    const struct {
        ggi_graphtype type;
        int bpp;
    } depths[] = {{GT_8BIT, 1}, {GT_16BIT, 2}, {GT_24BIT, 3}};
    for (const auto &d : depths) {
        ASSERT_EQ(ggiSetGraphMode(v, 640, 400, 640, 400, d.type), 0);
        const ggi_directbuffer *db = ggiDBGetBuffer(v, 0);
        ASSERT_NE(db, nullptr);
        EXPECT_EQ(db->read, db->write);
        EXPECT_EQ(db->buffer.plb.stride, 640 * d.bpp);
        EXPECT_EQ(ggiDBGetBuffer(v, 1), nullptr);
        // A mode set clears the picture to colour 0, even over an earlier picture.
        auto *px = static_cast<uint8_t *>(db->write);
        std::memset(px, 0x5a, 640 * 400 * d.bpp);
        ASSERT_EQ(ggiSetGraphMode(v, 640, 400, 640, 400, d.type), 0);
        px = static_cast<uint8_t *>(ggiDBGetBuffer(v, 0)->write);
        EXPECT_EQ(std::count(px, px + 640 * 400 * d.bpp, 0), 640 * 400 * d.bpp);
    }
    ggiClose(v);
}

TEST_F(GgiMemory, PutBoxIsCutToThePicture)
{
    ggi_visual_t v = open("memory:-nodb");
    ASSERT_EQ(ggiSetGraphMode(v, 4, 3, 4, 3, GT_8BIT), 0);
    ASSERT_EQ(ggiDBGetBuffer(v, 0), nullptr);
    ggi_color pal[256] = {};
    for (int i = 0; i < 256; i++)
        pal[i] = {uint16_t(i << 8), 0, 0, 0};
    ggiSetPalette(v, 0, 256, pal);
    const uint8_t box[9] = {11, 12, 13, 21, 22, 23, 31, 32, 33};
    EXPECT_EQ(ggiPutBox(v, -1, -1, 3, 3, box), 0);  // top-left corner cut
    EXPECT_EQ(ggiPutBox(v, 3, 2, 3, 3, box), 0);    // bottom-right corner cut
    EXPECT_EQ(ggiPutBox(v, 4, 0, 3, 3, box), 0);    // wholly outside
    EXPECT_EQ(ggiPutBox(v, 0, 0, 0, 3, box), 0);
    EXPECT_NE(ggiPutBox(v, 0, 0, 1, 1, nullptr), 0);
    std::vector<uint8_t> rgb;
    ASSERT_EQ(ggiLayerShown(v, nullptr, nullptr, &rgb), 0);
    const uint8_t want[12] = {22, 23, 0, 0, 32, 33, 0, 0, 0, 0, 0, 11};
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(rgb[3 * i], want[i]) << i;
    ggiClose(v);
}

TEST_F(GgiMemory, MapColorFollowsTheMode)
{
    ggi_visual_t v = open("memory");
    ASSERT_EQ(ggiSetGraphMode(v, 8, 8, 8, 8, GT_8BIT), 0);
    ggi_color pal[4] = {{0, 0, 0, 0}, {1000, 1000, 1000, 0}, {3000, 0, 0, 0}, {0, 3000, 0, 0}};
    ASSERT_EQ(ggiSetPalette(v, 0, 4, pal), 0);
    // The rest of the palette stays black, so black maps to 0, the lowest of the ties.
    ggi_color c = {0, 0, 0, 0};
    EXPECT_EQ(ggiMapColor(v, &c), 0u);
    c = {1400, 1400, 0, 0};  // entry 1 is 1800 away, entry 2 and 3 are 3000 away
    EXPECT_EQ(ggiMapColor(v, &c), 1u);
    c = {2500, 0, 1000, 0};  // entry 2: 1500, entry 1: 2500, black: 3500
    EXPECT_EQ(ggiMapColor(v, &c), 2u);
    c = {2000, 2000, 0, 0};  // entries 1, 2 and 3 all 3000 away: the lowest index
    EXPECT_EQ(ggiMapColor(v, &c), 1u);

    ASSERT_EQ(ggiSetGraphMode(v, 8, 8, 8, 8, GT_16BIT), 0);
    c = {0xffff, 0xffff, 0xffff, 0};
    EXPECT_EQ(ggiMapColor(v, &c), 0xffffu);
    c = {0x0800, 0x0400, 0x0800, 0};
    EXPECT_EQ(ggiMapColor(v, &c), 0x0821u);
    c = {0xf800, 0, 0, 0};
    EXPECT_EQ(ggiMapColor(v, &c), 0xf800u);

    ASSERT_EQ(ggiSetGraphMode(v, 8, 8, 8, 8, GT_24BIT), 0);
    c = {0x12ff, 0x3400, 0x56aa, 0};
    EXPECT_EQ(ggiMapColor(v, &c), 0x123456u);
    ggiClose(v);
}

TEST_F(GgiMemory, SetPaletteRefusesWhatDoesNotFit)
{
    ggi_visual_t v = open("memory");
    ASSERT_EQ(ggiSetGraphMode(v, 8, 8, 8, 8, GT_8BIT), 0);
    ggi_color white[256];
    for (ggi_color &c : white)
        c = {0xffff, 0xffff, 0xffff, 0};
    EXPECT_NE(ggiSetPalette(v, 200, 57, white), 0);
    EXPECT_NE(ggiSetPalette(v, -1, 2, white), 0);
    EXPECT_NE(ggiSetPalette(v, 0, -1, white), 0);
    EXPECT_NE(ggiSetPalette(v, 0, 1, nullptr), 0);
    EXPECT_EQ(ggiSetPalette(v, 255, 1, white), 0);
    EXPECT_EQ(ggiSetPalette(v, 256, 0, white), 0);
    // Only entry 255 became white.
    auto *px = static_cast<uint8_t *>(ggiDBGetBuffer(v, 0)->write);
    px[0] = 200;
    px[1] = 255;
    std::vector<uint8_t> rgb;
    ggiLayerShown(v, nullptr, nullptr, &rgb);
    EXPECT_EQ(rgb[0], 0);
    EXPECT_EQ(rgb[3], 0xff);
    // A true-colour mode has no palette.
    ASSERT_EQ(ggiSetGraphMode(v, 8, 8, 8, 8, GT_24BIT), 0);
    EXPECT_NE(ggiSetPalette(v, 0, 1, white), 0);
    ggiClose(v);
}

TEST_F(GgiMemory, PpmOfEachDepth)
{
    std::string file = dir.file("p.ppm");
    ggi_visual_t v = open("memory");

    // 8 bits: through the palette, the top byte of each component.
    ASSERT_EQ(ggiSetGraphMode(v, 2, 1, 2, 1, GT_8BIT), 0);
    ggi_color pal[2] = {{0xff00, 0x12ab, 0x00ff, 0}, {0xffff, 0x8000, 0x7fff, 0}};
    ggiSetPalette(v, 7, 2, pal);
    const uint8_t idx[2] = {7, 8};
    ggiPutBox(v, 0, 0, 2, 1, idx);
    ASSERT_EQ(ggiLayerWritePPM(v, file.c_str()), 0);
    EXPECT_EQ(ppm_pixels(read_file(file), 2, 1), std::string("\xff\x12\x00\xff\x80\x7f", 6));

    // 16 bits: 5-6-5, each component widened by repeating its top bits.
    ASSERT_EQ(ggiSetGraphMode(v, 3, 1, 3, 1, GT_16BIT), 0);
    const uint16_t px16[3] = {0xffff, 0x0821, 0xf800};
    ggiPutBox(v, 0, 0, 3, 1, px16);
    ASSERT_EQ(ggiLayerWritePPM(v, file.c_str()), 0);
    EXPECT_EQ(ppm_pixels(read_file(file), 3, 1),
              std::string("\xff\xff\xff\x08\x04\x08\xff\x00\x00", 9));

    // 24 bits: stored blue, green, red; the file holds red, green, blue.
    ASSERT_EQ(ggiSetGraphMode(v, 2, 2, 2, 2, GT_24BIT), 0);
    ggi_color c = {0x1200, 0x3400, 0x5600, 0};
    ggiSetGCForeground(v, ggiMapColor(v, &c));
    ggiFillscreen(v);
    const uint8_t bgr[3] = {0x03, 0x02, 0x01};
    ggiPutBox(v, 1, 1, 1, 1, bgr);
    auto *fb = static_cast<uint8_t *>(ggiDBGetBuffer(v, 0)->write);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(fb), 3), "\x56\x34\x12");
    ASSERT_EQ(ggiLayerWritePPM(v, file.c_str()), 0);
    EXPECT_EQ(ppm_pixels(read_file(file), 2, 2),
              std::string("\x12\x34\x56\x12\x34\x56\x12\x34\x56\x01\x02\x03", 12));

    // A file that cannot be written is reported.
    testing::internal::CaptureStderr();
    EXPECT_NE(ggiLayerWritePPM(v, dir.file("none/p.ppm").c_str()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ggi: cannot write picture '" + dir.file("none/p.ppm") +
                  "': No such file or directory\n");
    ggiClose(v);
}

TEST_F(GgiMemory, FinalPictureOnCloseAndExitButNotWithoutAMode)
{
    std::string a = dir.file("a.ppm"), b = dir.file("b.ppm"), c = dir.file("c.ppm");
    ggi_visual_t v = open("memory:-final=" + a);
    ASSERT_EQ(ggiSetGraphMode(v, 1, 1, 1, 1, GT_24BIT), 0);
    const uint8_t px[3] = {1, 2, 3};
    ggiPutBox(v, 0, 0, 1, 1, px);
    ggiClose(v);
    EXPECT_EQ(ppm_pixels(read_file(a), 1, 1), "\x03\x02\x01");

    v = open("memory:-final=" + b);
    ggiClose(v);
    EXPECT_FALSE(std::filesystem::exists(b));

    // ggiExit closes what is still open.
    v = open("memory:-final=" + c);
    ASSERT_EQ(ggiSetGraphMode(v, 1, 1, 1, 1, GT_8BIT), 0);
    ggiExit();
    ggiInit();
    EXPECT_EQ(ppm_pixels(read_file(c), 1, 1), std::string(3, '\0'));
}

TEST_F(GgiMemory, FinalPictureWhenTheProgramEndsWithoutClosing)
{
    std::string a = dir.file("a.ppm"), b = dir.file("b.ppm");
    auto draw_and = [this](const std::string &file, bool panic) {
        ggi_visual_t v = open("memory:-final=" + file);
        ggiSetGraphMode(v, 1, 1, 1, 1, GT_24BIT);
        const uint8_t px[3] = {9, 8, 7};
        ggiPutBox(v, 0, 0, 1, 1, px);
        if (panic)
            ggiPanic("Kann '%s' nicht laden!", "x.rsc");
        std::exit(0);
    };
    EXPECT_EXIT(draw_and(a, false), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ppm_pixels(read_file(a), 1, 1), "\x07\x08\x09");
    EXPECT_EXIT(draw_and(b, true), testing::ExitedWithCode(1), "Kann 'x\\.rsc' nicht laden!$");
    EXPECT_EQ(ppm_pixels(read_file(b), 1, 1), "\x07\x08\x09");
}

// The game's start-up on a display without 8-bit modes: refused, closed, then palemu.
ggi_visual_t game_fallback()
{
    ggi_visual_t v = ggiOpen(nullptr);
    EXPECT_NE(v, nullptr);
    EXPECT_NE(ggiSetGraphMode(v, 640, 400, 640, 400, GT_8BIT), 0);
    EXPECT_EQ(ggiClose(v), 0);
    v = ggiOpen("display-palemu", "", nullptr);
    EXPECT_NE(v, nullptr);
    EXPECT_EQ(ggiSetGraphMode(v, 640, 400, 640, 400, GT_8BIT), 0);
    return v;
}

TEST_F(GgiMemory, PalemuConvertsThroughThePaletteAtEachPresent)
{
    std::string fin = dir.file("final.ppm"), shot = dir.file("shot.ppm");
    write_file(dir.file("script"), "1 keydown 'h'\n1 shot " + shot + "\n");
    std::string display = "memory:-depths=16,24:-final=" + fin + ":-events=" + dir.file("script");
    env.set("GGI_DISPLAY", display.c_str());
    ggi_visual_t v = game_fallback();
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);

    ggi_color pal[256] = {};
    pal[1] = {0xff00, 0x8000, 0x0100, 0};
    pal[2] = {0x1200, 0x3400, 0x5600, 0};
    ggiSetPalette(v, 0, 256, pal);
    std::vector<uint8_t> frame(640 * 400, 1);
    frame[640 * 400 - 1] = 2;
    ggiPutBox(v, 0, 0, 640, 400, frame.data());
    // The palette is in palette terms even though the parent is true colour.
    EXPECT_EQ(ggiMapColor(v, &pal[2]), 2u);

    // A new palette shows only with the next present.
    pal[1] = {0, 0, 0xff00, 0};
    ggiSetPalette(v, 1, 1, &pal[1]);
    std::vector<uint8_t> rgb;
    ASSERT_EQ(ggiLayerShown(v, nullptr, nullptr, &rgb), 0);
    EXPECT_EQ(std::string(rgb.begin(), rgb.begin() + 3), "\xff\x80\x01");

    // The script works through palemu: its shot sees the converted picture.
    EXPECT_TRUE(drain(v).empty());
    EXPECT_EQ(drain(v), (std::vector<Seen>{{1, evKeyPress, 'h', 0}}));
    std::string pixels = ppm_pixels(read_file(shot), 640, 400);
    EXPECT_EQ(pixels.substr(0, 3), "\xff\x80\x01");
    EXPECT_EQ(pixels.substr(pixels.size() - 3), "\x12\x34\x56");

    ggiFlush(v);
    ggiClose(v);
    pixels = ppm_pixels(read_file(fin), 640, 400);
    EXPECT_EQ(pixels.substr(0, 3), std::string("\x00\x00\xff", 3));
}

TEST_F(GgiMemory, PalemuOnASixteenBitParentQuantises)
{
    std::string fin = dir.file("final.ppm");
    std::string display = "memory:-depths=16:-final=" + fin;
    env.set("GGI_DISPLAY", display.c_str());
    ggi_visual_t v = game_fallback();
    ggi_color c = {0x1200, 0x3400, 0x5600, 0};
    ggiSetPalette(v, 0, 1, &c);
    ggiFlush(v);
    ggiClose(v);
    // Red and blue keep their top 5 bits, green its top 6, widened by repeating the top bits.
    EXPECT_EQ(ppm_pixels(read_file(fin), 640, 400).substr(0, 3), "\x10\x34\x52");
}

TEST_F(GgiMemory, PalemuNeedsAParent)
{
    std::string err;
    env.set("GGI_DISPLAY", "palemu");
    EXPECT_EQ(open_capturing("display-palemu", err), nullptr);
    EXPECT_NE(err.find("ggi: no display found"), std::string::npos);
    // A parent's option that the parent does not know stops the opening.
    env.set("GGI_DISPLAY", "memory");
    EXPECT_EQ(open_capturing("palemu:-scale=2", err), nullptr);
    EXPECT_EQ(err, "ggi: display-memory has no option -scale\n");
    // A parent without true colour cannot carry palemu.
    env.set("GGI_DISPLAY", "memory:-depths=8");
    ggi_visual_t v = ggiOpen("palemu", nullptr);
    ASSERT_NE(v, nullptr);
    EXPECT_NE(ggiSetGraphMode(v, 640, 400, 640, 400, GT_8BIT), 0);
    ggiClose(v);
}

}  // namespace
