// The viewer: run-length decoding, its messages and exit statuses, the depth it chooses, and
// real pictures written by other software shown pixel for pixel.
#include <cstring>
#include <tuple>

#include "lumora.h"
#include "support.h"

namespace {

namespace fs = test::fs;
using Bytes = std::vector<uint8_t>;

// The palette of the files made here: entry i is (37i, 255 - i, 101i + 50).
std::string Palette()
{
    std::string p;
    for (int i = 0; i < 256; i++)
        p += {char(i * 37), char(255 - i), char(i * 101 + 50)};
    return p;
}

// A PCX file: the header fields the viewer reads, the codes, the marker 12 where wanted, the palette.
struct Pcx {
    uint16_t xmin = 0, ymin = 0, xmax = 0, ymax = 0, bpl = 1;
    Bytes codes = {};
    bool marker = true;
    uint8_t manufacturer = 10, version = 5, bits = 8, planes = 1;

    std::string File() const
    {
        std::string f(128, '\0');
        f[0] = char(manufacturer), f[1] = char(version), f[2] = 1, f[3] = char(bits), f[65] = char(planes);
        for (auto [at, v] : {std::pair{4, xmin}, {6, ymin}, {8, xmax}, {10, ymax}, {66, bpl}})
            f[at] = char(v), f[at + 1] = char(v >> 8);
        return f + std::string(codes.begin(), codes.end()) + (marker ? "\x0c" : "") + Palette();
    }
};

// A PPM picture, all 0 when the file is missing or not one.
struct Picture {
    int w = 0, h = 0;
    std::string rgb;
};

Picture Ppm(const fs::path &file)
{
    const std::string s = test::Read(file);
    int w = 0, h = 0, n = 0;
    const bool ok = std::sscanf(s.c_str(), "P6 %d %d 255%n", &w, &h, &n) == 2 && n > 0;
    return ok && s.size() == n + 1 + size_t(w) * h * 3 ? Picture{w, h, s.substr(n + 1)} : Picture{};
}

// lumora run in `dir` with these arguments on a headless display, and the picture it left on the screen.
std::pair<test::Result, Picture> Lumora(const test::Folder &dir, const std::string &args, const std::string &display)
{
    fs::remove(dir / "shown.ppm");
    const test::Result run = test::Shell(dir.path(), "GGI_DISPLAY='" + display + ":-final=shown.ppm' timeout 60 " +
                                                         KORVAN_RUN_DIR "/lumora " + args);
    return {run, Ppm(dir / "shown.ppm")};
}

// How many pixels of a 320 x 200 screen differ from the picture in its top-left corner and from
// `border` elsewhere, at the precision of the depth (5-6-5 at 16 bits); -1 without a screen.
int Differences(const Picture &screen, const Picture &picture, int depth, const std::string &border)
{
    if (screen.w != 320 || screen.h != 200)
        return -1;
    const uint8_t five = depth == 16 ? 0xf8 : 0xff, six = depth == 16 ? 0xfc : 0xff, mask[3] = {five, six, five};
    int n = 0;
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++) {
            const char *s = &screen.rgb[(y * 320 + x) * 3];
            const char *e = x < picture.w && y < picture.h ? &picture.rgb[(y * picture.w + x) * 3] : border.data();
            n += ((s[0] ^ e[0]) & mask[0]) || ((s[1] ^ e[1]) & mask[1]) || ((s[2] ^ e[2]) & mask[2]);
        }
    return n;
}

std::string Size(int w, int h)
{
    return "Image is " + std::to_string(w) + "x" + std::to_string(h) + " sized.\n";
}

// The decoder on its own: runs of up to 63 and single codes below 192, across scan lines, pad bytes not
// shown, count 0, the last run cut at the picture's end; codes that end early, or reach past the bytes
// allowed, or scan lines narrower than the picture are refused. Nothing is written past the picture.
TEST(PcxDecode, RunLengthCodes)
{
    // The codes, width, height and bytes per line, the code bytes allowed (-1: all), the pixels ({}: refused).
    const struct {
        Bytes codes;
        uint16_t w, h, bpl;
        long allowed;
        Bytes pixels;
    } rows[] = {
        {{5, 0xC3, 7, 0xC1, 200, 191}, 6, 1, 6, -1, {5, 7, 7, 7, 200, 191}},
        {{0xC0, 9, 4, 5}, 2, 1, 2, -1, {4, 5}},
        {{0xC6, 1, 0xC6, 2}, 3, 3, 4, -1, {1, 1, 1, 1, 1, 2, 2, 2, 2}},
        {{9, 0xC4, 3, 8}, 3, 2, 3, -1, {9, 3, 3, 3, 3, 8}},
        {{1, 2, 0xC2, 99, 3, 4, 0xC2, 98}, 2, 2, 4, -1, {1, 2, 3, 4}},
        {{0xFF, 7, 0x42}, 3, 2, 3, -1, Bytes(6, 7)},
        {{0xFF, 6}, 1, 7, 2, -1, Bytes(7, 6)},
        {{1, 2, 3}, 2, 2, 2, -1, {}},
        {{1, 2, 3, 0xC1}, 2, 2, 2, -1, {}},
        {{1, 2, 3, 4, 5}, 2, 2, 2, 3, {}},
        {{1, 2, 0xC2, 4}, 2, 2, 2, 3, {}},
        {{}, 1, 1, 1, -1, {}},
        {{0xC4, 1, 0xC4, 1}, 4, 2, 3, -1, {}},
        {{1, 1}, 1, 1, 0, -1, {}},
    };
    for (const auto &r : rows) {
        Bytes codes = r.codes;
        codes.push_back(0x3F);  // a pixel more, for a decoder that reads past what it may
        FILE *f = fmemopen(codes.data(), codes.size(), "rb");
        Bytes out(size_t(r.w) * r.h + 8, 0xAB);
        const bool ok = readpcximage(f, out.data(), r.w, r.h, r.bpl, r.allowed < 0 ? long(r.codes.size()) : r.allowed);
        std::fclose(f);
        const Bytes picture = ok ? Bytes(out.begin(), out.end() - 8) : Bytes(), guard(out.end() - 8, out.end());
        EXPECT_EQ(std::tuple(picture, guard), std::tuple(r.pixels, Bytes(8, 0xAB)))
            << r.w << "x" << r.h << " in " << r.bpl;
    }
}

// Every run of the viewer that stops with one message, with status 1 and no picture, and those that
// show the largest and the smallest picture.
TEST(Lumora, MessagesAndExitStatus)
{
    Bytes full;
    for (int n = 320 * 200; n > 0; n -= 63)
        full.insert(full.end(), {uint8_t(0xC0 + std::min(n, 63)), uint8_t(n)});
    auto sized = [](uint16_t xmin, uint16_t xmax, uint16_t ymin, uint16_t ymax) {
        return Pcx{.xmin = xmin, .ymin = ymin, .xmax = xmax, .ymax = ymax, .bpl = 65535}.File();
    };
    auto kind = [](uint8_t manufacturer, uint8_t version, uint8_t bits, uint8_t planes) {
        return Pcx{.xmax = 3,
                   .ymax = 3,
                   .bpl = 4,
                   .codes = {0xD0, 1},
                   .manufacturer = manufacturer,
                   .version = version,
                   .bits = bits,
                   .planes = planes}
            .File();
    };
    const std::string bad = "Error loading file!\n", big = "Image is too big!\n",
                      usage = "Usage: lumora filename.pcx.\n", shown = "Using 8bpp mode\n";
    // The arguments, the file f.pcx ("": none), what the viewer prints.
    const struct {
        const char *args;
        std::string file, out;
    } rows[] = {
        {"", "", usage},
        {"f.pcx f.pcx", "", usage},
        {"f.pcx", "", "Can't open file!\n"},
        {"f.pcx", Pcx{.xmax = 319, .ymax = 199, .bpl = 320, .codes = full}.File(), Size(320, 200) + shown},
        {"f.pcx", Pcx{.codes = {0xC1, 250}, .marker = false}.File(), Size(1, 1) + shown},
        {"f.pcx", sized(0, 320, 0, 199), Size(321, 200) + big},
        {"f.pcx", sized(0, 319, 0, 200), Size(320, 201) + big},
        {"f.pcx", sized(7, 6, 0, 9), Size(0, 10) + big},
        {"f.pcx", sized(0, 9, 0, 65535), Size(10, 0) + big},
        {"f.pcx", sized(0, 9, 5, 0), Size(10, 65532) + big},
        {"f.pcx", sized(0, 65534, 0, 65534), Size(65535, 65535) + big},
        {"f.pcx", kind(11, 5, 8, 1), bad},
        {"f.pcx", kind(10, 4, 8, 1), bad},
        {"f.pcx", kind(10, 5, 1, 1), bad},
        {"f.pcx", kind(10, 5, 8, 3), bad},
        {"f.pcx", Pcx{.xmax = 19, .ymax = 9, .bpl = 20, .codes = {0xFF, 1, 0xFF, 2}}.File(), bad},
        {"f.pcx", Pcx{.xmax = 9, .ymax = 1, .bpl = 9, .codes = {0xD4, 1}}.File(), bad},
        {"f.pcx", Pcx{.codes = {0xC1, 250}}.File().substr(0, 600), bad},
    };
    test::Folder dir;
    for (const auto &r : rows) {
        fs::remove(dir / "f.pcx");
        if (!r.file.empty())
            test::Write(dir / "f.pcx", r.file);
        const auto [run, picture] = Lumora(dir, r.args, "memory");
        const int status = r.out.ends_with(shown) ? 0 : 1;
        EXPECT_EQ(std::tuple(run.out, run.status, run.err, picture.w != 0), std::tuple(r.out, status, "", status == 0));
    }
}

// The first of 8, 16 and 24 bits the display takes, whatever order it names them in; a picture in
// scan lines with pad bytes shown exactly at each, on colour 0.
TEST(Lumora, FirstDepthOfEightSixteenTwentyFour)
{
    test::Folder dir;
    const Bytes codes = {1, 2, 3, 0xC1, 0xEE, 0xC3, 4, 0xC2, 0xFF, 5, 6, 0xC1, 0xFD};
    test::Write(dir / "f.pcx", Pcx{.xmax = 2, .ymax = 2, .bpl = 4, .codes = codes}.File());
    const std::string pal = Palette();
    Picture own{3, 3, ""};
    for (int i : {1, 2, 3, 4, 4, 4, 0xFF, 5, 6})
        own.rgb += pal.substr(3 * i, 3);
    const struct {
        const char *display;
        int depth;
        std::string out;
    } rows[] = {
        {"memory", 8, "Using 8bpp mode\n"},
        {"memory:-depths=24,16,8", 8, "Using 8bpp mode\n"},
        {"memory:-depths=24,16", 16, "Using 16bpp mode\n"},
        {"memory:-depths=24", 24, "Using 24bpp mode\n"},
        {"memory:-depths=", 0, "No valid mode found!\n"},
        {"no-such-target", 0, "Error opening visual!\n"},
    };
    for (const auto &r : rows) {
        const auto [run, picture] = Lumora(dir, "f.pcx", r.display);
        const std::string colour0 = r.depth == 8 ? pal.substr(0, 3) : std::string(3, '\0');
        EXPECT_EQ(std::tuple(run.out, run.status, Differences(picture, own, r.depth, colour0)),
                  std::tuple(Size(3, 3) + r.out, r.depth ? 0 : 1, r.depth ? 0 : -1))
            << r.display;
    }
}

// The pictures of other software: those the viewer can show equal their reference decode at every
// depth; the others are refused as the viewer's own are.
TEST(LumoraRealFiles, ShownPixelExactOrRefused)
{
    const fs::path shared = fs::path(KORVAN_SHARED_DIR) / "pcx";
    if (!fs::is_directory(shared))
        GTEST_SKIP() << "no folder of real PCX files at " << shared << ": pictures of other software not tried";
    const std::string bad = "Error loading file!\n";
    const struct {
        const char *file;
        std::string refused;
    } rows[] = {
        {"allegro5_allegro.pcx", ""},
        {"im_101x57_pal.pcx", ""},
        {"allegro5_planet.pcx", ""},
        {"pil_1x7_pal.pcx", ""},
        {"im_321x200_pal.pcx", Size(321, 200) + "Image is too big!\n"},
        {"im_64x48_24bit.pcx", bad},
        {"devil_rgb4.pcx", bad},
        {"pillow_pcx_overrun.pcx", bad},
        {"pillow_ossfuzz-4836216264589312.pcx", bad},
    };
    test::Folder dir;
    for (const auto &r : rows)
        for (int depth : {8, 16, 24}) {
            const std::string file = (shared / r.file).string(), pcx = test::Read(file);
            const Picture reference = r.refused.empty() ? Ppm(file + ".ref.ppm") : Picture{};  // none: not shown
            const bool shows = r.refused.empty();
            const std::string depths = std::to_string(depth),
                              out =
                                  shows ? Size(reference.w, reference.h) + "Using " + depths + "bpp mode\n" : r.refused,
                              border = depth == 8 && shows ? pcx.substr(pcx.size() - 768, 3) : std::string(3, '\0');
            const auto [run, picture] = Lumora(dir, file, "memory:-depths=" + depths);
            EXPECT_EQ(std::tuple(run.out, run.status, run.err, Differences(picture, reference, depth, border)),
                      std::tuple(out, shows ? 0 : 1, "", shows ? 0 : -1))
                << r.file << " at " << depth << " bits";
        }
}

}  // namespace
