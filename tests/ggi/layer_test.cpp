// The display layer without a window: display strings, event scripts, memory and palemu, modes and pictures.
#include <ggi/ggi.h>
#include <ggi/layer.h>
#include <ggi/testing.h>

#include "support.h"

namespace {

struct timeval zero = {0, 0}, second = {1, 0};

// `frames` event steps of the game: read while a zero-timeout poll finds something (64 at most).
void Frames(ggi_visual_t v, int frames = 1)
{
    gii_event e;
    for (int f = 0; f < frames; f++)
        for (int n = 0; n < 64 && ggiEventPoll(v, emAll, &zero); n++)
            EXPECT_GT(ggiEventRead(v, &e, emAll), 0);
}

// What ggiOpen says on standard error, after "opens" when it opens the display.
std::string Opens(const char *display)
{
    testing::internal::CaptureStderr();
    ggi_visual_t v = ggiOpen(display, nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    return v ? "opens" + said : said;
}

std::string Shown(ggi_visual_t v)
{
    std::vector<uint8_t> rgb;
    return ggiLayerShown(v, nullptr, nullptr, &rgb) == 0 ? std::string(rgb.begin(), rgb.end()) : "";
}

class GgiLayer : public testing::Test {
protected:
    void SetUp() override
    {
        for (auto n : {"GGI_DISPLAY", "DISPLAY", "WAYLAND_DISPLAY", "TERM"})
            env.Set(n, {});
        ggiInit();
    }
    void TearDown() override { ggiExit(); }

    // A visual with this event script, recording what it delivers.
    ggi_visual_t Open(const std::string &display, const std::string &script = "")
    {
        const std::string n = std::to_string(++opened);
        test::Write(File("in" + n), script);
        ggi_visual_t v = ggiOpen((display + ":-events=" + File("in" + n) + ":-record=" + File("rec" + n)).c_str());
        EXPECT_NE(v, nullptr) << display;
        return v;
    }
    // What the visual opened last delivered so far, as its recording has it: "FRAME EVENT ARGUMENTS" a line.
    std::string Delivered() const
    {
        const std::string r = test::Read(File("rec" + std::to_string(opened)));
        return r.substr(r.find('\n') + 1);
    }
    std::string File(const std::string &name) const { return (dir / name).string(); }

    int opened = 0;
    test::Env env;
    test::Folder dir;
};

TEST_F(GgiLayer, DisplayStringsOpenOrSayWhy)
{
    const std::string none = "ggi: no display found: neither GGI_DISPLAY nor DISPLAY nor WAYLAND_DISPLAY is set, "
                             "and standard output is no terminal.\n"
                             "ggi: to run without a display, set GGI_DISPLAY=memory, for example "
                             "GGI_DISPLAY=memory:-frames=100\n",
                      vga = "ggi: unknown display 'vga' (known: display-sdl, sdl, x, display-x, display-memory, "
                            "memory, display-palemu, palemu, display-terminal, terminal, tty, aa, display-canvas, "
                            "canvas, web)\n",
                      frames = " is not a frame number\n", scale = " is not a whole number from 1 to 16\n";
    // GGI_DISPLAY ({}: unset) and ggiOpen's display ({}: none).
    const struct {
        const char *env, *display;
        std::string said;
    } rows[] = {
        {{}, "display-memory::-nodb::-frames=2147483647:-depths=24,8,16", "opens"},
        {"memory:-nodb", {}, "opens"},
        {"memory", "", "opens"},
        {{}, {}, none},
        {"", {}, none},
        {"palemu", {}, none},
        {{}, "vga:-nodb", vga},
        {"vga", "palemu", vga},
        {{}, "web:-scale=2:-nograb", "ggi: display-canvas exists only in the browser build (./web)\n"},
        {"memory", "palemu:-scale=0", "ggi: -scale: '0'" + scale},
        {"memory", "palemu:-scale=17", "ggi: -scale: '17'" + scale},
        {"memory", "palemu:-scale=1:-scale=16", "ggi: display-memory has no option -scale\n"},  // palemu takes 1 and 16
        {{}, "memory:-x", "ggi: display-memory has no option -x\n"},
        {"memory", "palemu:-charset=dots", "ggi: -charset: 'dots' is not ascii, shades or blocks\n"},
        {{}, "memory:-charset=ascii", "ggi: display-memory has no option -charset\n"},
        {{}, "memory:-", "ggi: option '-' of display-memory does not start with '-'\n"},
        {{}, "memory:nodb", "ggi: option 'nodb' of display-memory does not start with '-'\n"},
        {{}, "memory:-nodb=1", "ggi: option -nodb takes no value\n"},
        {{}, "memory:-final", "ggi: option -final needs a value: -final=...\n"},
        {{}, "memory:-final=", "ggi: option -final needs a file name\n"},
        {{}, "memory:-frames=-1", "ggi: -frames: '-1'" + frames},
        {{}, "memory:-frames=1x", "ggi: -frames: '1x'" + frames},
        {{}, "memory:-frames=2147483648", "ggi: -frames: '2147483648'" + frames},
        {{}, "memory:-depths=8,32", "ggi: -depths: '32' is not 8, 16 or 24\n"},
        {{}, "memory:-depths=8,", "ggi: -depths: the list '8,' ends with a comma\n"},
        {{}, "memory:-events=/dev/zero", "ggi: cannot read event script '/dev/zero': not a regular file\n"},
        {{}, "memory:-events=/none/in", "ggi: cannot read event script '/none/in': No such file or directory\n"},
        {{}, "memory:-record=/none/rec", "ggi: cannot write event recording '/none/rec': No such file or directory\n"},
    };
    for (const auto &r : rows) {
        env.Set("GGI_DISPLAY", r.env);
        EXPECT_EQ(Opens(r.display), r.said) << (r.env ? r.env : "-") << " " << (r.display ? r.display : "-");
    }
}

// A malformed line stops the opening, named by its number. Lines come after their frame's empty poll in file order,
// recorded as delivered; the recording replays.
TEST_F(GgiLayer, ScriptLinesRefusedOrDeliveredRecordedAndReplayed)
{
    const std::string key = ": expected a key symbol (a number from 0 to 65535 or one quoted character), found ";
    const struct {
        std::string text, err;
    } malformed[] = {
        {"5 kedown 'h'\n", "1: unknown event 'kedown'"},
        {"7\n", "1: expected an event after the frame number"},
        {"# comment\n\n \t\n-1 keydown 1\n", "4: expected a frame number, found '-1'"},
        {"3 keydown 'h'\n\n2 keyup 'h'\n", "3: frame 2 comes before frame 3 of line 1"},
        {"1 keyup 'ab\n", "1: keyup" + key + "''ab'"},
        {"1 keydown 65536\n", "1: keydown" + key + "'65536'"},
        {"1 keydown " + std::string(50, 'w') + "\n", "1: keydown" + key + "'" + std::string(40, 'w') + "'..."},
        {"0 raw 1\n" + std::string(5000, ' '), "2: the line is longer than 4200 characters"},
        {"1 raw 32\n", "1: raw: expected an event type from 0 to 31, found '32'"},
        {"1 pos 3 y\n", "1: pos: expected two numbers, found 'y'"},
        {"1 up -2\n", "1: up: expected a button number, found '-2'"},
        {"1 shot\n", "1: shot: expected a file name, found end of line"},
        {"1 pos 1 2 3\n", "1: unexpected '3' after the event"},
    };
    for (const auto &r : malformed) {
        test::Write(File("s"), r.text);
        EXPECT_EQ(Opens(("memory:-events=" + File("s")).c_str()), File("s") + ":" + r.err + "\n");
    }
    ggi_visual_t v = Open("memory:-frames=6", "# every form\r\n0 keydown ' '\r\n0 keyup '''\n0 keydown '!'  # why\n"
                                              "\t1\tkeyrepeat\t'~'\n1 keydown 127\n1 keyup '\xfc'\n1 keydown 65535\n"
                                              "3 move -4 9\n3 pos 639 -1\n3 down 1\n4 up 3\n4 raw 13\n4 raw 1\n");
    EXPECT_EQ(ggiEventPoll(v, emAll, &zero), emKeyPress | emKeyRelease);
    gii_event e;
    EXPECT_EQ(ggiEventRead(v, &e, emKeyRelease), int(sizeof(gii_key_event)));  // the first of its mask
    Frames(v, 8);
    EXPECT_EQ(ggiEventRead(v, &e, emAll), int(sizeof(gii_key_event)));  // waits for frame 8's Escape
    const std::string delivered = "0 keyup 39\n0 keydown 32\n0 keydown '!'\n1 keyrepeat '~'\n1 keydown 127\n"
                                  "1 keyup 252\n1 keydown 65535\n3 move -4 9\n3 pos 639 -1\n3 down 1\n4 up 3\n"
                                  "4 raw 13\n4 raw 1\n6 keydown 27\n7 keydown 27\n8 keydown 27\n";
    EXPECT_EQ(test::Read(File("rec1")), "# input events as delivered: FRAME EVENT ARGUMENTS\n" + delivered);
    v = Open("memory", test::Read(File("rec1")));
    Frames(v, 9);
    EXPECT_EQ(Delivered(), delivered);
}

// -frames=N: an Escape press at the first poll of each frame from N on, never two waiting. Headless, a
// blocking wait goes on to the next frame with something due, else makes up an Escape press, else gives up.
TEST_F(GgiLayer, EscapesAndBlockingWaitsNeverHang)
{
    ggi_visual_t v = Open("memory:-frames=3", "4 keydown 'x'\n");
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);  // frame 3's, before the line of frame 4
    Frames(v, 4);
    EXPECT_EQ(Delivered(), "3 keydown 27\n4 keydown 'x'\n4 keydown 27\n5 keydown 27\n6 keydown 27\n");
    v = Open("memory:-frames=0", "0 keydown 'x'\n");
    for (int i = 0; i < 50; i++)
        EXPECT_EQ(ggiEventPoll(v, emPtrAbsolute, &zero), 0u);  // each counts a frame
    Frames(v);
    EXPECT_EQ(ggiGetc(v) + ggiGetc(v), 2 * GIIUC_Escape);
    EXPECT_EQ(Delivered(), "50 keydown 'x'\n50 keydown 27\n51 keydown 27\n52 keydown 27\n");
    // A shot before any picture is lost: said at once, and the run fails at its end.
    EXPECT_EXIT((ggiGetc(Open("memory", "0 shot " + File("none.ppm") + "\n")), std::exit(0)),
                testing::ExitedWithCode(1), testing::Eq("ggi: no picture shown yet for '" + File("none.ppm") + "'\n"));
    v = Open("memory", "1 keydown 'q'\n1 pos 3 3\n9 down 1\n");
    EXPECT_EQ(ggiGetc(v), 'q');
    EXPECT_EQ(ggiEventPoll(v, emPtrButtonPress, nullptr), emPtrButtonPress);
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);
    Frames(v);
    EXPECT_EQ(Delivered(), "1 keydown 'q'\n9 keydown 27\n9 pos 3 3\n9 down 1\n");
    gii_event e;
    std::memset(&e, 0xff, sizeof e);
    EXPECT_EQ(ggiEventRead(v, &e, emPtrButtonRelease), 0);
    EXPECT_EQ(e.any.type, evNothing);
    EXPECT_EQ(ggiEventPoll(v, emAll, &second), 0u);  // a frame, and no wait
    EXPECT_EQ(ggiLayerFrame(v), 11);
}

// Each depth's buffer and colours: a palette entry's high bytes, 5-6-5 widened, blue-green-red turned round; a mode
// set clears picture, palette and foreground. Boxes cut to the picture; palettes within entries 0..255, only in a
// palette mode, where ggiMapColor gives the nearest entry by the sum of the differences, the lowest of a tie.
TEST_F(GgiLayer, PicturesBoxesAndPalettes)
{
    ggi_visual_t v = Open("memory"), nodb = Open("memory:-nodb");
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);
    EXPECT_EQ(ggiPutBox(v, 0, 0, 1, 1, "\x07") + ggiFillscreen(v) + ggiLayerShown(v, nullptr, nullptr, nullptr), -3);
    const ggi_color pal[3] = {{0xffff, 0xffff, 0xffff, 0}, {0xff00, 0x12ab, 0x01ff, 0}, {0x1200, 0x3400, 0x5600, 0}};
    const std::string rows[][2] = {{"\x01", "\x12\x34\x56\xff\x12\x01"},
                                   {"\xff\xff", "\x10\x34\x52\xff\xff\xff"},
                                   {"\x03\x02\x01", "\x12\x34\x56\x01\x02\x03"}};
    for (const auto &[pixel, rgb] : rows) {
        const int bpp = pixel.size(), type = bpp == 1 ? GT_8BIT : bpp == 2 ? GT_16BIT : GT_24BIT;
        ASSERT_EQ(ggiSetGraphMode(v, 2, 1, 2, 1, type) + ggiSetGraphMode(nodb, 2, 1, 2, 1, type), 0);
        EXPECT_EQ(ggiDBGetBuffer(v, 0)->buffer.plb.stride, 2 * bpp);
        EXPECT_EQ(ggiDBGetBuffer(nodb, 0), nullptr);
        EXPECT_EQ(ggiSetPalette(v, 0, 3, pal), bpp == 1 ? 0 : -1);
        ggiSetGCForeground(v, ggiMapColor(v, &pal[2]));
        ggiFillscreen(v);
        ggiPutBox(v, 1, 0, 1, 1, pixel.data());
        EXPECT_EQ(Shown(v), rgb) << bpp;
        ASSERT_EQ(ggiSetGraphMode(v, 2, 1, 2, 1, type), 0);
        ggiFillscreen(v);
        EXPECT_EQ(Shown(v), std::string(6, 0)) << bpp;
    }
    ASSERT_EQ(ggiSetGraphMode(v, 4, 3, 4, 3, GT_8BIT), 0);
    const uint8_t box[9] = {11, 12, 13, 21, 22, 23, 31, 32, 33};
    EXPECT_EQ(ggiPutBox(v, -1, -1, 3, 3, box) + ggiPutBox(v, 3, 2, 3, 3, box), 0);  // corners cut
    EXPECT_EQ(ggiPutBox(v, 4, 0, 3, 3, box) + ggiPutBox(v, 0, 0, 0, 3, box), 0);    // outside, empty
    EXPECT_EQ(ggiPutBox(v, 0, 0, 1, 1, nullptr), -1);
    EXPECT_EQ(std::string(static_cast<char *>(ggiDBGetBuffer(v, 0)->read), 12),
              std::string("\x16\x17\0\0\x20\x21\0\0\0\0\0\x0b", 12));
    const int ranges[][3] = {{200, 57, -1}, {-1, 2, -1}, {0, -1, -1}, {257, 0, -1}, {255, 1, 0}, {256, 0, 0}};
    for (const auto &[start, length, result] : ranges)
        EXPECT_EQ(ggiSetPalette(v, start, length, pal), result) << start << "+" << length;  // white
    EXPECT_EQ(ggiSetPalette(v, 0, 1, nullptr), -1);
    const ggi_color four[4] = {{0, 0, 0, 0}, {1000, 1000, 1000, 0}, {3000, 0, 0, 0}, {0, 3000, 0, 0}};
    ASSERT_EQ(ggiSetPalette(v, 0, 4, four), 0);
    const std::pair<ggi_color, ggi_pixel> nearest[] = {
        {{0xffff, 0xffff, 0xffff, 0}, 255},  // only 255 became white
        {{0, 0, 0, 0}, 0},                   // black: 0 and 4..254 tie
        {{2500, 0, 1000, 0}, 2},             // 1500 from 2, 2500 from 1, 3500 from black
        {{2000, 2000, 0, 0}, 1},             // 3000 from 1, 2 and 3
    };
    for (const auto &[c, want] : nearest)
        EXPECT_EQ(ggiMapColor(v, &c), want) << c.r << "," << c.g << "," << c.b;
    testing::internal::CaptureStderr();
    EXPECT_EQ(ggiLayerWritePPM(v, "/none/p.ppm") + ggiClose(v), -1);  // the close writes nothing: no -final
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ggi: cannot write picture '/none/p.ppm': No such file or directory\n");
}

// Sizes 1..4096, no panning, a depth offered; else the size cut and the first of 8, 16, 24 offered (palemu: 8).
TEST_F(GgiLayer, ModeChecks)
{
    env.Set("GGI_DISPLAY", "memory");
    ggi_visual_t some = Open("memory:-depths=24,16"), pal16 = Open("palemu:-depths=16"),
                 pal8 = Open("palemu:-depths=8");
    const int A = GGI_AUTO, T = GT_16BIT;
    const struct {
        ggi_visual_t v;
        int x, y, xv, yv, type, result, kind, sx, sy;
    } rows[] = {
        {some, 9, 9, 9, 9, GT_8BIT, -1, T, 9, 9}, {some, 9, 9, 9, 9, GT_24BIT, 0, GT_24BIT, 9, 9},
        {some, 9, 9, A, A, A, 0, T, 9, 9},        {some, 4096, 4096, 4096, 4096, T, 0, T, 4096, 4096},
        {some, 0, 0, A, A, T, -1, T, 1, 1},       {some, 4097, 1, A, A, T, -1, T, 4096, 1},
        {some, 1, 4097, A, A, T, -1, T, 1, 4096}, {some, 64, 40, 128, 40, T, -1, T, 64, 40},
        {some, 64, 40, 64, 80, T, -1, T, 64, 40}, {pal16, 9, 9, 9, 9, T, -1, GT_8BIT, 9, 9},
        {pal8, 9, 9, A, A, GT_8BIT, -1, 0, 9, 9},
    };
    for (const auto &r : rows) {
        ggi_mode m;
        std::memset(&m, 0xff, sizeof m);
        const int check = ggiCheckGraphMode(r.v, r.x, r.y, r.xv, r.yv, r.type, &m);
        EXPECT_EQ(std::tuple(check, m.graphtype, m.visible.x, m.visible.y, m.virt.x, m.virt.y, m.frames,
                             ggiSetGraphMode(r.v, r.x, r.y, r.xv, r.yv, r.type)),
                  std::tuple(r.result, r.kind, r.sx, r.sy, r.sx, r.sy, 1, r.result));
    }
}

// -final at the last ggiExit, at the end of the process and at ggiPanic.
// Every call on no visual, or on one closed already, fails with its kind of answer: nothing is drawn or read.
TEST_F(GgiLayer, CallsOnAVisualNotOpenFail)
{
    ggi_visual_t closed = Open("memory");
    ggiClose(closed);
    for (ggi_visual_t v : {ggi_visual_t(nullptr), closed}) {
        uint8_t px = 0;
        ggi_color c{};
        gii_event ev;
        timeval t{0, 0};
        EXPECT_EQ((std::vector<long>{ggiSetGraphMode(v, 8, 8, 8, 8, GT_8BIT), ggiPutBox(v, 0, 0, 1, 1, &px),
                                     ggiFlush(v), ggiSetPalette(v, 0, 1, &c), long(ggiMapColor(v, &c)),
                                     ggiSetGCForeground(v, 0), ggiFillscreen(v), ggiGetc(v),
                                     long(ggiEventPoll(v, emAll, &t)), ggiEventRead(v, &ev, emAll),
                                     ggiDBGetBuffer(v, 0) != nullptr, long(ggiLayerFrame(v)), ggiClose(v)}),
                  (std::vector<long>{-1, -1, -1, -1, 0, -1, -1, GIIUC_Escape, 0, 0, 0, -1, -1}));
    }
}

TEST_F(GgiLayer, FinalPicture)
{
    auto drawn = [this](const char *final) {
        ggi_visual_t v = Open("memory:-final=" + File(final));
        ggiSetGraphMode(v, 1, 1, 1, 1, GT_24BIT);
        ggiPutBox(v, 0, 0, 1, 1, "\x01\x02\x03");
    };
    drawn("exit.ppm");
    ggiInit();
    EXPECT_EQ(ggiExit(), 1);
    EXPECT_EQ(test::Read(File("exit.ppm")), "");  // not the last ggiExit
    EXPECT_EQ(ggiExit(), 0);
    EXPECT_EQ(ggiExit(), -1);
    EXPECT_EQ(Opens("memory"), "ggi: ggiOpen before ggiInit\n");
    ggiInit();
    EXPECT_EXIT((drawn("end.ppm"), std::exit(0)), testing::ExitedWithCode(0), "");
    EXPECT_EXIT((drawn("panic.ppm"), ggiPanic("Kann '%s' nicht laden!", "x.rsc")), testing::ExitedWithCode(1),
                "^Kann 'x\\.rsc' nicht laden!\n$");  // a stop's line ends
    for (const char *file : {"exit.ppm", "end.ppm", "panic.ppm"})
        EXPECT_EQ(test::Read(File(file)), "P6\n1 1\n255\n\x03\x02\x01") << file;
}

// palemu: the 8-bit picture through its palette on its parent's true colour at a whole box or a flush.
TEST_F(GgiLayer, PalemuShowsThroughThePaletteOnItsParent)
{
    env.Set("GGI_DISPLAY", "memory:-depths=8");
    const std::string shot = File("shot.ppm"), fin = File("final.ppm");
    ggi_visual_t v = Open("display-palemu:-depths=16,24:-final=" + fin, "1 keydown 'h'\n1 shot " + shot + "\n");
    ASSERT_EQ(ggiSetGraphMode(v, 2, 1, 2, 1, GT_8BIT), 0);
    ggi_color pal[3] = {{0, 0, 0, 0}, {0xff00, 0x8000, 0x0100, 0}, {0x1200, 0x3400, 0x5600, 0}};
    ggiSetPalette(v, 0, 3, pal);
    ggiPutBox(v, 0, 0, 2, 1, "\x01\x02");  // the whole picture: shown at once
    pal[1] = {0, 0, 0xff00, 0};
    ggiSetPalette(v, 1, 1, &pal[1]);
    ggiPutBox(v, 0, 0, 1, 1, "\x01");  // not the whole picture: not shown yet
    EXPECT_EQ(ggiGetc(v), 'h');        // the parent's script, its shot with it
    EXPECT_EQ(test::Read(shot), "P6\n2 1\n255\n\xff\x80\x01\x12\x34\x56");
    ggiFlush(v);
    ggiClose(v);
    EXPECT_EQ(test::Read(fin), std::string("P6\n2 1\n255\n\0\0\xff\x12\x34\x56", 17));
    v = ggiOpen("palemu:-depths=16", nullptr);  // a parent of 16 bits serves too
    ASSERT_EQ(ggiSetGraphMode(v, 1, 1, 1, 1, GT_8BIT), 0);
    ggiSetPalette(v, 0, 1, &pal[2]);
    ggiFlush(v);
    EXPECT_EQ(Shown(v), "\x10\x34\x52");
}

// A terminal's input: a key as a press and a release, a sequence cut short waited for unless nothing more comes,
// bytes that are no UTF-8 as Latin-1; xterm mouse reports (SGR and X10) in the pixels of the cells the picture fills,
// its aspect kept, the margins pulled in.
TEST(GgiTerminal, InputAndFit)
{
    const ggi::CellFit fit = ggi::fit_cells(100, 25, 640, 400), tall = ggi::fit_cells(80, 50, 640, 400);
    EXPECT_EQ(std::tie(fit.x, fit.y, fit.w, fit.h), std::tuple(10, 0, 80, 25));
    EXPECT_EQ(std::tie(tall.x, tall.y, tall.w, tall.h), std::tuple(0, 12, 80, 25));
    const struct {
        std::string bytes;
        bool complete;
        size_t used;
        std::string events;
    } rows[] = {
        {"h\x7f\r\n\t\x08", false, 6, "104 8 13 13 9 8 "},
        {"\x1b", false, 0, ""},
        {"\x1b", true, 1, "27 "},
        {"\x1bx\x1b[", false, 2, "27 120 "},
        {"\x1b[A\x1bOB\x1b[1;5C\x1b[D\x1b[3~\x1b[15~\x1b[24~\x1bOP\x1bOM\x1b[99~", false, 40,
         "57396 57397 57395 57394 127 57605 57612 57601 13 "},
        {"\xc3\xbc\xfc\xe2\x82\xac\xf0\x9f\x98\x80\xc3", false, 10, "252 252 8364 "},
        {"\xc3", true, 1, "195 "},
        {"\x1b[<35;11;1M\x1b[<0;11;1M\x1b[<0;11;1M\x1b[<32;90;25M\x1b[<0;90;25m\x1b[<2;1;13M\x1b[<2;100;13m", false, 76,
         "(0,0) +1 (639,399) -1 (0,199) +2 (639,199) -2 "},
        {"\x1b[M #!\x1b[M\"#!\x1b[M##!\x1b[<64;12;1M\x1b[<0;1", false, 29, "(0,0) +1 +2 -1 -2 (8,0) "},
    };
    for (const auto &r : rows) {
        ggi::TerminalInput input;
        std::deque<gii_event> out;
        EXPECT_EQ(input.feed(r.bytes, r.complete, fit, out), r.used) << r.bytes;
        std::string events;
        for (size_t i = 0; i < out.size(); i++) {
            const gii_event &e = out[i];
            if (e.any.type == evKeyPress && i + 1 < out.size() && out[i + 1].any.type == evKeyRelease &&
                out[i + 1].key.sym == e.key.sym)
                events += std::to_string(e.key.sym) + " ", i++;
            else if (e.any.type == evPtrAbsolute)
                events += "(" + std::to_string(e.pmove.x) + "," + std::to_string(e.pmove.y) + ") ";
            else
                events += (e.any.type == evPtrButtonPress ? "+" : "-") + std::to_string(e.pbutton.button) + " ";
        }
        EXPECT_EQ(events, r.events) << r.bytes;
    }
}

}  // namespace
