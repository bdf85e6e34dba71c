// The viewer: decoding, its messages and exit statuses, the depth it chooses, real pictures of other software.

#include "lumora.h"

#include "support.h"

namespace {

namespace fs = test::fs;
using Bytes = std::vector<uint8_t>;

// A PCX file: the header fields the viewer reads, the codes, the marker 12, a palette of (37i, 255 - i, 101i + 50).
struct Pcx {
    uint16_t xmin = 0, ymin = 0, xmax = 0, ymax = 0, bpl = 1;
    Bytes codes = {};

    std::string File() const
    {
        std::string f(128, '\0');
        f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8, f[65] = 1;  // ZSoft, version 5, run lengths, 8 bits, one plane
        for (auto [at, v] : {std::pair{4, xmin}, {6, ymin}, {8, xmax}, {10, ymax}, {66, bpl}})
            f[at] = char(v), f[at + 1] = char(v >> 8);
        f += std::string(codes.begin(), codes.end()) + "\x0c";
        for (int i = 0; i < 256; i++)
            f += {char(i * 37), char(255 - i), char(i * 101 + 50)};
        return f;
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

// How many pixels of a 320 x 200 screen differ from the picture in its top-left corner and elsewhere from colour 0
// of the file `pcx` (black beyond 8 bits), at the precision of the depth (5-6-5 at 16 bits); -1 without a screen.
int Differences(const Picture &screen, const Picture &picture, int depth, const std::string &pcx)
{
    if (screen.w != 320 || screen.h != 200)
        return -1;
    const std::string border = depth == 8 ? pcx.substr(pcx.size() - 768, 3) : std::string(3, '\0');
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

// The decoder: runs of up to 63 and codes below 192 as pixels, across scan lines, pads unseen, count 0, the last
// run cut at the end. Codes ending early or past the bytes allowed, and scan lines narrower than the picture, are
// refused; nothing is written past the picture.
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
        {{0xFF, 7, 0x42}, 3, 2, 3, -1, Bytes(6, 7)},
        {{1, 2, 3}, 2, 2, 2, -1, {}},
        {{1, 2, 3, 0xC1}, 2, 2, 2, -1, {}},
        {{1, 2, 3, 4, 5}, 2, 2, 2, 3, {}},
        {{1, 2, 0xC2, 4}, 2, 2, 2, 3, {}},
        {{0xC4, 1, 0xC4, 1}, 4, 2, 3, -1, {}},
        {{1, 1}, 1, 1, 0, -1, {}},
    };
    for (const auto &r : rows) {
        Bytes codes = r.codes, out(size_t(r.w) * r.h + 8, 0xAB);
        codes.push_back(0x3F);  // a pixel more, for a decoder that reads past what it may
        FILE *f = fmemopen(codes.data(), codes.size(), "rb");
        const bool ok = readpcximage(f, out.data(), r.w, r.h, r.bpl, r.allowed < 0 ? long(r.codes.size()) : r.allowed);
        std::fclose(f);
        const Bytes picture = ok ? Bytes(out.begin(), out.end() - 8) : Bytes(), guard(out.end() - 8, out.end());
        EXPECT_EQ(std::tuple(picture, guard), std::tuple(r.pixels, Bytes(8, 0xAB))) << r.w << "x" << r.h;
    }
}

// Every run of the viewer that stops with one message, status 1 and no picture; the largest and smallest shown.
TEST(Lumora, MessagesAndExitStatus)
{
    const std::string ok = Pcx{.xmax = 3, .ymax = 3, .bpl = 4, .codes = {0xD0, 1}}.File();
    auto patched = [&ok](int at, char value) { return ok.substr(0, at) + value + ok.substr(at + 1); };
    const std::string bad = "Error loading file!\n", big = "Image is too big!\n", shown = "Using 8bpp mode\n";
    // The file f.pcx, what the viewer prints, its arguments.
    const struct {
        std::string file, out;
        const char *args = "f.pcx";
    } rows[] = {
        {"", "Usage: lumora filename.pcx.\n", ""},
        {"", "Usage: lumora filename.pcx.\n", "f.pcx f.pcx"},
        {"", "Can't open file!\n", "none.pcx"},
        {"", "Can't open file!\n", "fifo.pcx"},  // never waits for a writer
        {"", "Can't open file!\n", "."},
        {Pcx{.xmax = 319, .ymax = 199, .bpl = 320, .codes = Bytes(64000, 7)}.File(),
         "Image is 320x200 sized.\n" + shown},
        // The palette and its marker are the last 769 bytes: codes that reach into them, or none at all, are no
        // picture.
        {Pcx{.codes = {0xC1, 250}}.File().erase(130, 1), bad},
        {Pcx{.codes = {}}.File(), bad},
        {Pcx{.xmax = 320, .ymax = 199}.File(), "Image is 321x200 sized.\n" + big},
        {Pcx{.xmax = 319, .ymax = 200}.File(), "Image is 320x201 sized.\n" + big},
        {Pcx{.xmin = 7, .xmax = 6, .ymax = 9}.File(), "Image is 0x10 sized.\n" + big},
        {Pcx{.xmax = 9, .ymax = 65535}.File(), "Image is 10x0 sized.\n" + big},
        {patched(0, 11), bad},  // manufacturer
        {patched(1, 4), bad},   // version
        {patched(3, 1), bad},   // bits a pixel
        {patched(65, 3), bad},  // planes
        {Pcx{.xmax = 19, .ymax = 9, .bpl = 20, .codes = {0xFF, 1, 0xFF, 2}}.File(), bad},
        {Pcx{.xmax = 9, .ymax = 1, .bpl = 9, .codes = {0xD4, 1}}.File(), bad},
        {Pcx{.codes = {0xC1, 250}}.File().substr(0, 600), bad},
    };
    test::Folder dir;
    mkfifo((dir / "fifo.pcx").c_str(), 0644);
    for (const auto &r : rows) {
        test::Write(dir / "f.pcx", r.file);
        const auto [run, picture] = Lumora(dir, r.args, "memory");
        const int status = r.out.ends_with(shown) ? 0 : 1;
        EXPECT_EQ(std::tuple(run.out, run.status, run.err, picture.w != 0), std::tuple(r.out, status, "", status == 0));
    }
}

// The first of 8, 16 and 24 bits the display takes, in any order; pads unseen, colour 0 round the picture.
TEST(Lumora, FirstDepthOfEightSixteenTwentyFour)
{
    test::Folder dir;
    const Bytes codes = {1, 2, 3, 0xC1, 0xEE, 0xC3, 4, 0xC2, 0xFF, 5, 6, 0xC1, 0xFD};
    const std::string pcx = Pcx{.xmax = 2, .ymax = 2, .bpl = 4, .codes = codes}.File();
    test::Write(dir / "f.pcx", pcx);
    Picture own{3, 3, ""};
    for (int i : {1, 2, 3, 4, 4, 4, 0xFF, 5, 6})
        own.rgb += pcx.substr(pcx.size() - 768 + 3 * i, 3);
    const std::tuple<const char *, int, const char *> rows[] = {
        {"memory:-depths=24,16,8", 8, "Using 8bpp mode\n"},
        {"memory:-depths=24,16", 16, "Using 16bpp mode\n"},
        {"memory:-depths=24", 24, "Using 24bpp mode\n"},
        {"memory:-depths=", 0, "Error opening visual!\n"},
    };
    for (const auto &[display, depth, out] : rows) {
        const auto [run, picture] = Lumora(dir, "f.pcx", display);
        EXPECT_EQ(std::tuple(run.out, run.status, Differences(picture, own, depth, pcx)),
                  std::tuple("Image is 3x3 sized.\n" + std::string(out), depth ? 0 : 1, depth ? 0 : -1))
            << display;
    }
}

// Pictures of other software: shown equal to their reference decode at every depth, or refused as the viewer's own.
TEST(LumoraRealFiles, ShownPixelExactOrRefused)
{
    const fs::path shared = fs::path(KORVAN_SHARED_DIR) / "pcx";
    if (!fs::is_directory(shared))
        GTEST_SKIP() << "no folder of real PCX files at " << shared << ": pictures of other software not tried";
    // Each file and what the viewer says of it: its size, followed by the depth it uses, or why it stops.
    const std::string bad = "Error loading file!\n";
    const std::pair<const char *, std::string> rows[] = {
        {"allegro5_allegro.pcx", "Image is 320x200 sized.\n"},
        {"im_101x57_pal.pcx", "Image is 101x57 sized.\n"},
        {"allegro5_planet.pcx", "Image is 49x49 sized.\n"},
        {"pil_1x7_pal.pcx", "Image is 1x7 sized.\n"},
        {"im_321x200_pal.pcx", "Image is 321x200 sized.\nImage is too big!\n"},
        {"im_64x48_24bit.pcx", bad},
        {"devil_rgb4.pcx", bad},
        {"pillow_pcx_overrun.pcx", bad},
        {"pillow_ossfuzz-4836216264589312.pcx", bad},
    };
    test::Folder dir;
    for (const auto &[name, says] : rows)
        for (const std::string depth : {"8", "16", "24"}) {
            const std::string file = (shared / name).string(), pcx = test::Read(file);
            const auto [run, picture] = Lumora(dir, file, "memory:-depths=" + depth);
            const bool ok = says.ends_with("sized.\n");
            const Picture reference = Ppm(file + ".ref.ppm");
            EXPECT_EQ(std::tuple(run.out, run.status, run.err, Differences(picture, reference, std::stoi(depth), pcx)),
                      std::tuple(ok ? says + "Using " + depth + "bpp mode\n" : says, ok ? 0 : 1, "", ok ? 0 : -1))
                << name << " at " << depth << " bits";
        }
}

// Without GGI_DISPLAY and a desktop, a terminal on standard output is the display: the picture fills it as
// characters until a key, and what the viewer printed meanwhile comes after it.
TEST(Lumora, InATerminal)
{
    test::Folder dir;
    test::Write(dir / "f.pcx", Pcx{0, 0, 319, 199, 320, Bytes(64000, 7)}.File());
    test::Tmux t(dir.path());
    t.Start(KORVAN_RUN_DIR "/lumora f.pcx");
    const std::string shown = t.Await(test::Tmux::Filled);
    EXPECT_TRUE(test::Tmux::Filled(shown) && shown.find("Image is") == std::string::npos) << shown;
    t.Do("send-keys q");
    EXPECT_EQ(t.Status(), "0\n");
    EXPECT_NE(t.Screen().find("Image is 320x200 sized.\nUsing 8bpp mode\n"), std::string::npos) << t.Screen();
    EXPECT_TRUE(t.Restored());
}

}  // namespace
