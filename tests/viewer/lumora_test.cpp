// The viewer program end to end: messages, exit status and the picture it leaves behind.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "viewer/pcxfile.h"

namespace {

namespace fs = std::filesystem;
typedef std::vector<uint8_t> Bytes;

const fs::path kShared = fs::path(KORVAN_SHARED_DIR) / "pcx";

std::string quote(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string slurp(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Ppm {
    int w = 0, h = 0;
    Bytes rgb;
};

// A binary PPM with maxval 255, or w == 0 when the file is missing or not one.
Ppm read_ppm(const fs::path &p)
{
    Ppm ppm;
    std::ifstream in(p, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic;
    auto skip = [&] {
        while (in >> std::ws && in.peek() == '#')
            in.ignore(1 << 20, '\n');
    };
    skip();
    in >> ppm.w;
    skip();
    in >> ppm.h;
    skip();
    in >> maxval;
    in.get();
    if (!in || magic != "P6" || maxval != 255 || ppm.w <= 0 || ppm.h <= 0)
        return Ppm();
    ppm.rgb.resize((size_t)ppm.w * ppm.h * 3);
    in.read((char *)ppm.rgb.data(), (std::streamsize)ppm.rgb.size());
    if (!in)
        return Ppm();
    return ppm;
}

// A working folder of its own for each run of the viewer.
struct Viewer {
    fs::path dir;
    int status = -1;
    std::string out, err;

    Viewer()
    {
        std::string tmpl = (fs::temp_directory_path() / "lumora-XXXXXX").string();
        dir = mkdtemp(tmpl.data());
    }
    ~Viewer() { fs::remove_all(dir); }
    Viewer(const Viewer &) = delete;
    Viewer &operator=(const Viewer &) = delete;

    // Runs lumora with these arguments on the given display, the picture going to final.ppm.
    void lumora(const std::vector<std::string> &args, const std::string &display = "memory")
    {
        std::string cmd = "cd " + quote(dir.string()) + " && GGI_DISPLAY=" +
                          quote(display + ":-final=final.ppm") +
                          " timeout 60 " + quote(KORVAN_RUN_DIR "/lumora");
        for (const std::string &a : args)
            cmd += " " + quote(a);
        cmd += " > out.txt 2> err.txt";
        int rc = std::system(cmd.c_str());
        status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        out = slurp(dir / "out.txt");
        err = slurp(dir / "err.txt");
    }

    fs::path write(const std::string &name, const Bytes &bytes)
    {
        std::ofstream(dir / name, std::ios::binary).write((const char *)bytes.data(),
                                                           (std::streamsize)bytes.size());
        return dir / name;
    }

    bool showed_picture() const { return fs::exists(dir / "final.ppm"); }
    Ppm picture() const { return read_ppm(dir / "final.ppm"); }
};

// The colour of one pixel as the display at that depth can hold it.
std::array<uint8_t, 3> at_depth(const uint8_t *rgb, int depth)
{
    if (depth == 16)
        return {(uint8_t)(rgb[0] >> 3), (uint8_t)(rgb[1] >> 2), (uint8_t)(rgb[2] >> 3)};
    return {rgb[0], rgb[1], rgb[2]};
}

// Counts the pixels of the top-left w x h of the shown picture that differ from the
// expected ones, and those outside it that differ from `border`.
struct Diff {
    int inside = 0, outside = 0;
};

Diff compare(const Ppm &shown, const Ppm &expected, int depth, const uint8_t border[3])
{
    Diff d;
    for (int y = 0; y < shown.h; y++)
        for (int x = 0; x < shown.w; x++) {
            const uint8_t *s = &shown.rgb[((size_t)y * shown.w + x) * 3];
            if (x < expected.w && y < expected.h) {
                const uint8_t *e = &expected.rgb[((size_t)y * expected.w + x) * 3];
                d.inside += at_depth(s, depth) != at_depth(e, depth);
            } else {
                d.outside += at_depth(s, depth) != at_depth(border, depth);
            }
        }
    return d;
}

std::string size_line(int w, int h)
{
    return "Image is " + std::to_string(w) + "x" + std::to_string(h) + " sized.\n";
}

std::string using_line(int depth)
{
    return "Using " + std::to_string(depth) + "bpp mode\n";
}

const uint8_t kBlack[3] = {0, 0, 0};

TEST(Lumora, UsageLineWithoutExactlyOneArgument)
{
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{}, std::vector<std::string>{"a.pcx", "b.pcx"}}) {
        Viewer r;
        r.lumora(args);
        EXPECT_EQ(r.out, "Usage: lumora filename.pcx.\n") << args.size() << " arguments";
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(r.showed_picture()) << "no graphics are opened";
    }
}

TEST(Lumora, MissingFileCannotBeOpened)
{
    Viewer r;
    r.lumora({"nothing-here.pcx"});
    EXPECT_EQ(r.out, "Can't open file!\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.showed_picture());
}

// A 3 x 3 picture in scan lines of 4 with non-zero pads and a run across the lines.
Bytes own_picture()
{
    PcxFile f = pcx_sized(3, 3);
    f.bytesperline = 4;
    f.codes = {1, 2, 3, 0xC1, 0xEE, 0xC3, 4, 0xC2, 0xFF, 5, 6, 0xC1, 0xFD};
    return pcx_bytes(f);
}

TEST(Lumora, OwnPaddedPictureAtEveryDepth)
{
    const Bytes pal = pcx_default_palette();
    const uint8_t rows[3][3] = {{1, 2, 3}, {4, 4, 4}, {0xFF, 5, 6}};
    Ppm expected;
    expected.w = expected.h = 3;
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 3; x++)
            for (int k = 0; k < 3; k++)
                expected.rgb.push_back(pal[rows[y][x] * 3 + k]);

    for (int depth : {8, 16, 24}) {
        Viewer r;
        r.write("own.pcx", own_picture());
        r.lumora({"own.pcx"}, "memory:-depths=" + std::to_string(depth));
        EXPECT_EQ(r.out, size_line(3, 3) + using_line(depth)) << depth;
        EXPECT_EQ(r.status, 0) << depth;
        EXPECT_EQ(r.err, "") << depth;
        Ppm shown = r.picture();
        ASSERT_EQ(shown.w, 320) << depth;
        ASSERT_EQ(shown.h, 200) << depth;
        // The rest of the screen is colour 0: palette entry 0, or black in true colour.
        Diff d = compare(shown, expected, depth, depth == 8 ? &pal[0] : kBlack);
        EXPECT_EQ(d.inside, 0) << depth << " bits";
        EXPECT_EQ(d.outside, 0) << depth << " bits";
    }
}

TEST(Lumora, EightBitsPreferredThenSixteenThenTwentyFour)
{
    struct Case {
        const char *depths;
        const char *expected;
        int status;
    } cases[] = {
        {"memory", "Using 8bpp mode\n", 0},
        {"memory:-depths=24,16,8", "Using 8bpp mode\n", 0},
        {"memory:-depths=24,16", "Using 16bpp mode\n", 0},
        {"memory:-depths=24", "Using 24bpp mode\n", 0},
        {"memory:-depths=", "No valid mode found!\n", 1},
        {"no-such-target", "Error opening visual!\n", 1},
    };
    for (const Case &c : cases) {
        Viewer r;
        r.write("own.pcx", own_picture());
        r.lumora({"own.pcx"}, c.depths);
        EXPECT_EQ(r.out, size_line(3, 3) + c.expected) << c.depths;
        EXPECT_EQ(r.status, c.status) << c.depths;
    }
}

TEST(Lumora, OwnMalformedFilesAreRefused)
{
    auto sized = [](uint16_t xmin, uint16_t xmax, uint16_t ymin, uint16_t ymax) {
        PcxFile f;
        f.xmin = xmin;
        f.xmax = xmax;
        f.ymin = ymin;
        f.ymax = ymax;
        f.bytesperline = 65535;
        return pcx_bytes(f);
    };
    auto kind = [](uint8_t version, uint8_t bits, uint8_t planes) {
        PcxFile f = pcx_sized(4, 4);
        f.version = version;
        f.bits = bits;
        f.planes = planes;
        f.codes = {0xD0, 1, 0xD0, 1, 0xD0, 1};
        return pcx_bytes(f);
    };
    PcxFile truncated = pcx_sized(20, 10);
    truncated.codes = {0xFF, 1, 0xFF, 2};
    Bytes shortfile = pcx_bytes(pcx_sized(1, 1));
    shortfile.resize(600);
    PcxFile narrow = pcx_sized(10, 2);
    narrow.bytesperline = 9;
    narrow.codes = {0xD4, 1};

    const std::string bad = "Error loading file!\n";
    struct Case {
        const char *what;
        Bytes file;
        std::string expected;
    } cases[] = {
        {"zero width", sized(7, 6, 0, 9), size_line(0, 10) + "Image is too big!\n"},
        {"wrapped height", sized(0, 9, 5, 0), size_line(10, 65532) + "Image is too big!\n"},
        {"huge", sized(0, 65534, 0, 65534), size_line(65535, 65535) + "Image is too big!\n"},
        {"320 x 201", sized(0, 319, 0, 200), size_line(320, 201) + "Image is too big!\n"},
        {"truncated data", pcx_bytes(truncated), bad},
        {"too short for a palette", shortfile, bad},
        {"scan line narrower than the picture", pcx_bytes(narrow), bad},
        {"version 4", kind(4, 8, 1), bad},
        {"1 bit", kind(5, 1, 1), bad},
        {"8 bits x 3 planes", kind(5, 8, 3), bad},
    };
    for (const Case &c : cases) {
        Viewer r;
        r.write("bad.pcx", c.file);
        r.lumora({"bad.pcx"});
        EXPECT_EQ(r.out, c.expected) << c.what;
        EXPECT_EQ(r.status, 1) << c.what;
        EXPECT_EQ(r.err, "") << c.what;
        EXPECT_FALSE(r.showed_picture()) << c.what;
    }
}

#define SKIP_WITHOUT_SHARED_FILES()                                                         \
    if (!fs::is_directory(kShared))                                                         \
    GTEST_SKIP() << "no folder of real PCX files at " << kShared.string()                   \
                 << ": the tests on pictures written by other software are skipped"

// Real pictures: shown at each depth, equal to the reference decode.
TEST(LumoraRealFiles, AcceptedPicturesEqualTheirReference)
{
    SKIP_WITHOUT_SHARED_FILES();
    const char *files[] = {"allegro5_allegro.pcx", "im_101x57_pal.pcx", "allegro5_planet.pcx",
                           "pil_1x7_pal.pcx"};
    for (const char *name : files) {
        const fs::path file = kShared / name;
        Ppm reference = read_ppm(kShared / (std::string(name) + ".ref.ppm"));
        ASSERT_GT(reference.w, 0) << name << ": no reference decode";
        std::string pcx = slurp(file);
        ASSERT_GE(pcx.size(), 768u) << name;
        const uint8_t *entry0 = (const uint8_t *)pcx.data() + pcx.size() - 768;

        for (int depth : {8, 16, 24}) {
            Viewer r;
            r.lumora({file.string()}, "memory:-depths=" + std::to_string(depth));
            EXPECT_EQ(r.out, size_line(reference.w, reference.h) + using_line(depth))
                << name << " at " << depth;
            EXPECT_EQ(r.status, 0) << name << " at " << depth;
            EXPECT_EQ(r.err, "") << name << " at " << depth;
            Ppm shown = r.picture();
            ASSERT_EQ(shown.w, 320) << name << " at " << depth;
            ASSERT_EQ(shown.h, 200) << name << " at " << depth;
            Diff d = compare(shown, reference, depth, depth == 8 ? entry0 : kBlack);
            EXPECT_EQ(d.inside, 0) << name << " at " << depth << " bits";
            EXPECT_EQ(d.outside, 0) << name << " at " << depth << " bits";
        }
    }
}

TEST(LumoraRealFiles, UnshowablePicturesAreRefused)
{
    SKIP_WITHOUT_SHARED_FILES();
    const std::string bad = "Error loading file!\n";
    struct Case {
        const char *file;
        std::string expected;
    } cases[] = {
        {"im_321x200_pal.pcx", size_line(321, 200) + "Image is too big!\n"},
        {"im_64x48_24bit.pcx", bad},
        {"devil_rgb4.pcx", bad},
        {"pillow_pcx_overrun.pcx", bad},
        {"pillow_ossfuzz-4836216264589312.pcx", bad},
    };
    for (const Case &c : cases) {
        Viewer r;
        r.lumora({(kShared / c.file).string()});
        EXPECT_EQ(r.out, c.expected) << c.file;
        EXPECT_EQ(r.status, 1) << c.file;
        EXPECT_EQ(r.err, "") << c.file;
        EXPECT_FALSE(r.showed_picture()) << c.file;
    }
}

} // namespace
