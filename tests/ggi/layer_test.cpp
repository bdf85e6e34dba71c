// The display layer without a window: display strings and options, event scripts, -frames,
// recording, the memory and palemu targets, modes, boxes, palettes and the final picture.
#include <ggi/ggi.h>
#include <ggi/layer.h>

#include <cstring>
#include <map>
#include <tuple>

#include "support.h"

namespace {

using test::Read;

struct timeval zero = {0, 0}, second = {1, 0};

// `frames` event steps of the game: read while a zero-timeout poll finds something (64 at most).
void Frames(ggi_visual_t v, int frames = 1)
{
    gii_event e;
    for (int f = 0; f < frames; f++)
        for (int n = 0; n < 64 && ggiEventPoll(v, emAll, &zero); n++)
            EXPECT_GT(ggiEventRead(v, &e, emAll), 0);
}

// Whether ggiOpen opens the display (closed again at once), and what it says on standard error.
std::pair<bool, std::string> Opens(const char *display)
{
    testing::internal::CaptureStderr();
    ggi_visual_t v = ggiOpen(display, nullptr);
    ggiClose(v);
    return {v != nullptr, testing::internal::GetCapturedStderr()};
}

// The picture last shown, three 8-bit components a pixel.
std::string Shown(ggi_visual_t v)
{
    std::vector<uint8_t> rgb;
    return ggiLayerShown(v, nullptr, nullptr, &rgb) == 0 ? std::string(rgb.begin(), rgb.end()) : "";
}

class GgiLayer : public testing::Test {
protected:
    void SetUp() override
    {
        for (auto n : {"GGI_DISPLAY", "DISPLAY", "WAYLAND_DISPLAY"})
            env.Set(n, {});
        ggiInit();
    }
    void TearDown() override { ggiExit(); }

    // A memory visual with these options and this event script, recording what it delivers.
    ggi_visual_t Memory(const std::string &options, const std::string &script = "")
    {
        const std::string n = std::to_string(records.size()), in = File("in" + n), rec = File("rec" + n);
        test::Write(in, script);
        ggi_visual_t v = ggiOpen(("memory" + options + ":-events=" + in + ":-record=" + rec).c_str(), nullptr);
        EXPECT_NE(v, nullptr) << options;
        return records[v] = rec, v;
    }
    // What a visual delivered so far, as its recording has it: "FRAME EVENT ARGUMENTS" a line.
    std::string Delivered(ggi_visual_t v)
    {
        const std::string r = Read(records[v]);
        return r.substr(r.find('\n') + 1);
    }
    std::string File(const std::string &name) const { return (dir / name).string(); }

    std::map<ggi_visual_t, std::string> records;
    test::Env env;
    test::Folder dir;
};

TEST_F(GgiLayer, DisplayStringsOpenOrSayWhy)
{
    const std::string none = "ggi: no display found: neither GGI_DISPLAY nor DISPLAY nor WAYLAND_DISPLAY is set.\n"
                             "ggi: to run without a display, set GGI_DISPLAY=memory, for example "
                             "GGI_DISPLAY=memory:-frames=100\n",
                      vga = "ggi: unknown display 'vga' (known: display-sdl, sdl, x, display-x, display-memory, "
                            "memory, display-palemu, palemu)\n";
    auto no = [](std::string o) { return "ggi: display-memory has no option -" + o + "\n"; };
    auto dash = [](std::string o) { return "ggi: option '" + o + "' of display-memory does not start with '-'\n"; };
    auto file = [](std::string o) { return "ggi: option -" + o + " needs a file name\n"; };
    auto frames = [](std::string n) { return "ggi: -frames: '" + n + "' is not a frame number\n"; };
    auto scale = [](std::string n) { return "ggi: -scale: '" + n + "' is not a whole number from 1 to 16\n"; };
    auto depth = [](std::string n) { return "ggi: -depths: '" + n + "' is not 8, 16 or 24\n"; };
    // GGI_DISPLAY ({}: unset), ggiOpen's display ({}: none), what it says ("": it opens).
    const struct {
        const char *env, *display;
        std::string err;
    } rows[] = {
        {{}, "memory", ""},
        {{}, "display-memory", ""},
        {{}, "memory::-nodb:", ""},
        {{}, "memory:-frames=0", ""},
        {{}, "memory:-frames=2147483647", ""},
        {{}, "memory:-depths=24,8,16", ""},
        {{}, "memory:-depths=", ""},
        {"memory:-nodb", {}, ""},
        {"memory", "", ""},
        {"memory", "palemu:-nodb", ""},
        {{}, {}, none},
        {"", {}, none},
        {{}, "palemu", none},
        {"palemu", {}, none},
        {{}, "vga:-nodb", vga},
        {"vga", "palemu", vga},
        {"memory", "palemu:-scale=0", scale("0")},
        {"memory", "palemu:-scale=17", scale("17")},
        {"memory", "palemu:-scale=1", no("scale")},
        {"memory", "palemu:-scale=16", no("scale")},
        {{}, "memory:-fullscreen", no("fullscreen")},
        {{}, "memory:-x", no("x")},
        {{}, "memory:-", dash("-")},
        {{}, "memory:nodb", dash("nodb")},
        {{}, "memory:-nodb=1", "ggi: option -nodb takes no value\n"},
        {{}, "memory:-final", "ggi: option -final needs a value: -final=...\n"},
        {{}, "memory:-final=", file("final")},
        {{}, "memory:-events=", file("events")},
        {{}, "memory:-record=", file("record")},
        {{}, "memory:-frames=", frames("")},
        {{}, "memory:-frames=-1", frames("-1")},
        {{}, "memory:-frames=1x", frames("1x")},
        {{}, "memory:-frames=2147483648", frames("2147483648")},
        {{}, "memory:-depths=8,32", depth("32")},
        {{}, "memory:-depths=,8", depth("")},
        {{}, "memory:-depths=8,", "ggi: -depths: the list '8,' ends with a comma\n"},
        {{}, "memory:-events=/none/in", "ggi: cannot read event script '/none/in': No such file or directory\n"},
        {{}, "memory:-record=/none/rec", "ggi: cannot write event recording '/none/rec': No such file or directory\n"},
    };
    for (const auto &r : rows) {
        env.Set("GGI_DISPLAY", r.env);
        const std::string row = std::string(r.env ? r.env : "-") + " " + (r.display ? r.display : "-");
        EXPECT_EQ(Opens(r.display), std::pair(r.err.empty(), r.err)) << row;
    }
}

TEST_F(GgiLayer, MalformedScriptLinesStopTheOpeningAtTheirLine)
{
    const std::string key = ": expected a key symbol (a decimal number or one quoted character), found ";
    auto raw = [](std::string f) { return "1: raw: expected an event type from 0 to 31, found " + f; };
    auto two = [](std::string f) { return ": expected two numbers, found " + f; };
    const std::string file = ": expected a file name, found end of line";
    const struct {
        const char *text;
        std::string err;
    } rows[] = {
        {"5 kedown 'h'\n", "1: unknown event 'kedown'"},
        {"7\n", "1: expected an event after the frame number"},
        {"# comment\n\n \t\nx keydown 1\n", "4: expected a frame number, found 'x'"},
        {"1 raw 32\n", raw("'32'")},
        {"-1 keydown 1\n", "1: expected a frame number, found '-1'"},
        {"1 raw 1x\n", raw("'1x'")},
        {"2147483648 keydown 1\n", "1: expected a frame number, found '2147483648'"},
        {"3 keydown 'h'\n\n2 keyup 'h'\n", "3: frame 2 comes before frame 3 of line 1"},
        {"1 keydown hh\n", "1: keydown" + key + "'hh'"},
        {"1 keyup 'ab'\n", "1: keyup" + key + "''ab''"},
        {"1 keyrepeat\n", "1: keyrepeat" + key + "end of line"},
        {"1 move 3\n", "1: move" + two("end of line")},
        {"1 keydown 1114112\n", "1: keydown" + key + "'1114112'"},
        {"1 pos 3 y\n", "1: pos" + two("'y'")},
        {"1 down\n", "1: down: expected a button number, found end of line"},
        {"1 shot\n", "1: shot" + file},
        {"1 up -2\n", "1: up: expected a button number, found '-2'"},
        {"1 pos 1 2 3\n", "1: unexpected '3' after the event"},
        {"1 keydown 'h' extra\n", "1: unexpected 'extra' after the event"},
    };
    const std::string script = File("script"), display = "memory:-events=" + script;
    for (const auto &r : rows) {
        test::Write(script, r.text);
        EXPECT_EQ(Opens(display.c_str()), std::pair(false, script + ":" + r.err + "\n")) << r.text;
    }
}

// Lines come after their frame's empty poll in file order, recorded as delivered; the recording replays.
TEST_F(GgiLayer, ScriptFormsAreDeliveredRecordedAndReplayed)
{
    ggi_visual_t v = Memory(":-frames=6", "# every form\r\n0 keydown ' '\r\n0 keyup '''\n0 keydown '!'  # why\n"
                                          "\t1\tkeyrepeat\t'~'\n1 keydown 127\n1 keyup '\xfc'\n1 keydown 1114111\n"
                                          "3 move -4 9\n3 pos 639 -1\n3 down 1\n4 up 3\n4 raw 13\n4 raw 1\n");
    EXPECT_EQ(ggiEventPoll(v, emAll, &zero), emKeyPress | emKeyRelease);
    gii_event e;
    EXPECT_EQ(ggiEventRead(v, &e, emKeyRelease), int(sizeof(gii_key_event)));  // the first of its mask
    Frames(v, 8);
    EXPECT_EQ(ggiEventRead(v, &e, emAll), int(sizeof(gii_key_event)));  // waits for frame 8's Escape
    const std::string delivered = "0 keyup 39\n0 keydown 32\n0 keydown '!'\n1 keyrepeat '~'\n1 keydown 127\n"
                                  "1 keyup 252\n1 keydown 1114111\n3 move -4 9\n3 pos 639 -1\n3 down 1\n4 up 3\n"
                                  "4 raw 13\n4 raw 1\n6 keydown 27\n7 keydown 27\n8 keydown 27\n",
                      recording = Read(records[v]);
    EXPECT_EQ(recording, "# input events as delivered: FRAME EVENT ARGUMENTS\n" + delivered);
    ggiClose(v);
    v = Memory("", recording);
    Frames(v, 8);
    ggiEventRead(v, &e, emAll);
    EXPECT_EQ(Delivered(v), delivered);
}

// -frames=N: an Escape press at the first poll of each frame from N on, never two waiting. Headless, a
// blocking wait goes on to the next frame with something due, else makes up an Escape press, else gives up.
TEST_F(GgiLayer, EscapesAndBlockingWaitsNeverHang)
{
    ggi_visual_t v = Memory(":-frames=3", "4 keydown 'x'\n");
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);  // frame 3's, before the line of frame 4
    Frames(v, 4);
    EXPECT_EQ(Delivered(v), "3 keydown 27\n4 keydown 'x'\n4 keydown 27\n5 keydown 27\n6 keydown 27\n");
    v = Memory(":-frames=0", "0 keydown 'x'\n");
    for (int i = 0; i < 50; i++)
        EXPECT_EQ(ggiEventPoll(v, emPtrAbsolute, &zero), 0u);  // each counts a frame
    Frames(v);
    EXPECT_EQ(ggiGetc(v) + ggiGetc(v), 2 * GIIUC_Escape);
    EXPECT_EQ(Delivered(v), "50 keydown 'x'\n50 keydown 27\n51 keydown 27\n52 keydown 27\n");
    v = Memory("", "0 shot " + File("none.ppm") + "\n1 keydown 'q'\n1 pos 3 3\n9 down 1\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ggiGetc(v), 'q');
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ggi: no picture shown yet for '" + File("none.ppm") + "'\n");
    EXPECT_EQ(ggiEventPoll(v, emPtrButtonPress, nullptr), emPtrButtonPress);
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);
    Frames(v);
    EXPECT_EQ(Delivered(v), "1 keydown 'q'\n9 keydown 27\n9 pos 3 3\n9 down 1\n");
    gii_event e;
    std::memset(&e, 0xff, sizeof e);
    EXPECT_EQ(ggiEventRead(v, &e, emPtrButtonRelease), 0);
    EXPECT_EQ(e.any.type, evNothing);
    EXPECT_EQ(ggiEventPoll(v, emAll, &second), 0u);  // a frame, and no wait
    EXPECT_EQ(ggiLayerFrame(v), 11);
}

// Each depth's direct buffer; the colours of a fill (entry 3) and a pixel: a palette entry's high bytes, 5-6-5
// widened, blue-green-red turned round. Any mode set clears picture, palette and foreground.
TEST_F(GgiLayer, EveryDepthsDirectBufferAndColours)
{
    ggi_visual_t v = Memory("");
    const ggi_color pal[8] = {{0xffff, 0xffff, 0xffff, 0}, {}, {}, {0x1200, 0x3400, 0x5600, 0}, {}, {}, {},
                              {0xff00, 0x12ab, 0x00ff, 0}};
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);
    EXPECT_EQ(ggiPutBox(v, 0, 0, 1, 1, "\x07") + ggiFillscreen(v) + ggiLayerShown(v, nullptr, nullptr, nullptr), -3);
    const struct {
        ggi_graphtype type;
        int bpp;
        std::string pixel, rgb;
    } rows[] = {
        {GT_8BIT, 1, "\x07", std::string("\x12\x34\x56\xff\x12\x00", 6)},
        {GT_16BIT, 2, "\xff\xff", "\x10\x34\x52\xff\xff\xff"},
        {GT_24BIT, 3, "\x03\x02\x01", "\x12\x34\x56\x01\x02\x03"},
    };
    for (const auto &r : rows) {
        ASSERT_EQ(ggiSetGraphMode(v, 2, 1, 2, 1, r.type), 0);
        const ggi_directbuffer *db = ggiDBGetBuffer(v, 0);
        ASSERT_NE(db, nullptr);
        EXPECT_EQ(std::tuple(db->read, db->buffer.plb.stride, ggiDBGetBuffer(v, 1)),
                  std::tuple(db->write, 2 * r.bpp, nullptr));
        EXPECT_EQ(ggiSetPalette(v, 0, 8, pal), r.bpp == 1 ? 0 : -1);
        ggiSetGCForeground(v, ggiMapColor(v, &pal[3]));
        ggiFillscreen(v);
        ggiPutBox(v, 1, 0, 1, 1, r.pixel.data());
        EXPECT_EQ(Shown(v), r.rgb) << r.bpp;
        ASSERT_EQ(ggiSetGraphMode(v, 2, 1, 2, 1, r.type), 0);
        ggiFillscreen(v);
        const std::string stored(static_cast<char *>(ggiDBGetBuffer(v, 0)->read), 2 * r.bpp);
        EXPECT_EQ(stored + Shown(v), std::string(2 * r.bpp + 6, 0)) << r.bpp;
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(ggiLayerWritePPM(v, "/none/p.ppm") + ggiClose(v), -1);  // the close writes nothing: no -final
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ggi: cannot write picture '/none/p.ppm': No such file or directory\n");
}

// Sizes 1..4096, no panning, a depth offered; else the size cut to that and the first depth of 8, 16, 24.
TEST_F(GgiLayer, ModeChecks)
{
    ggi_visual_t some = Memory(":-depths=24,16"), none = Memory(":-depths=");
    const int A = GGI_AUTO, T = GT_16BIT;
    const struct {
        ggi_visual_t v;
        int x, y, xv, yv, type, result, kind, sx, sy;
    } rows[] = {
        {some, 9, 9, 9, 9, GT_8BIT, -1, T, 9, 9},    {some, 9, 9, 9, 9, GT_24BIT, 0, GT_24BIT, 9, 9},
        {some, 9, 9, A, A, A, 0, T, 9, 9},           {some, 4096, 1, 4096, A, T, 0, T, 4096, 1},
        {some, 0, 1, A, A, T, -1, T, 1, 1},          {some, 1, 4096, A, 4096, T, 0, T, 1, 4096},
        {some, 4097, 1, A, A, T, -1, T, 4096, 1},    {some, 1, 4097, A, A, T, -1, T, 1, 4096},
        {some, 64, 40, 128, 40, T, -1, T, 64, 40},   {some, 64, 40, 64, 80, T, -1, T, 64, 40},
        {some, 8, 8, 8, 8, 0x12345678, -1, T, 8, 8}, {some, 1, 0, A, A, T, -1, T, 1, 1},
        {none, 8, 8, 8, 8, GT_8BIT, -1, 0, 8, 8},    {none, 8, 8, 8, 8, A, -1, 0, 8, 8},
    };
    for (const auto &r : rows) {
        ggi_mode m;
        std::memset(&m, 0xff, sizeof m);
        const int check = ggiCheckGraphMode(r.v, r.x, r.y, r.xv, r.yv, r.type, &m);
        EXPECT_EQ(std::tuple(check, m.graphtype, m.visible.x, m.visible.y, m.virt.x, m.virt.y, m.frames,
                             ggiSetGraphMode(r.v, r.x, r.y, r.xv, r.yv, r.type)),
                  std::tuple(r.result, r.kind, r.sx, r.sy, r.sx, r.sy, 1, r.result))
            << r.x << "x" << r.y << " " << r.type;
    }
    ASSERT_EQ(ggiSetGraphMode(some, 4, 1, A, A, A), 0);
    EXPECT_EQ(ggiDBGetBuffer(some, 0)->buffer.plb.stride, 8);
}

TEST_F(GgiLayer, PutBoxIsCutToThePicture)
{
    ggi_visual_t v = Memory("");
    ASSERT_EQ(ggiSetGraphMode(v, 4, 3, 4, 3, GT_8BIT), 0);
    const uint8_t box[9] = {11, 12, 13, 21, 22, 23, 31, 32, 33};
    EXPECT_EQ(ggiPutBox(v, -1, -1, 3, 3, box) + ggiPutBox(v, 3, 2, 3, 3, box), 0);  // corners cut
    EXPECT_EQ(ggiPutBox(v, 4, 0, 3, 3, box) + ggiPutBox(v, 0, 0, 0, 3, box), 0);    // outside, empty
    EXPECT_EQ(ggiPutBox(v, 0, 0, 1, 1, nullptr), -1);
    EXPECT_EQ(std::string(static_cast<char *>(ggiDBGetBuffer(v, 0)->read), 12),
              std::string("\x16\x17\0\0\x20\x21\0\0\0\0\0\x0b", 12));
}

// Palettes within entries 0..255 and only in a palette mode; ggiMapColor there gives the nearest entry
// by the sum of the component differences, the lowest of a tie.
TEST_F(GgiLayer, PaletteAndMapColor)
{
    ggi_visual_t v = Memory(":-nodb");
    const std::vector<ggi_color> white(256, {0xffff, 0xffff, 0xffff, 0});
    EXPECT_EQ(ggiMapColor(v, &white[0]), 0u);  // no mode
    ASSERT_EQ(ggiSetGraphMode(v, 8, 8, 8, 8, GT_8BIT), 0);
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);  // -nodb
    const int ranges[][3] = {{200, 57, -1}, {-1, 2, -1}, {0, -1, -1}, {257, 0, -1}, {255, 1, 0}, {256, 0, 0}};
    for (const auto &r : ranges)
        EXPECT_EQ(ggiSetPalette(v, r[0], r[1], white.data()), r[2]) << r[0] << "+" << r[1];
    EXPECT_EQ(ggiSetPalette(v, 0, 1, nullptr), -1);
    const ggi_color pal[4] = {{0, 0, 0, 0}, {1000, 1000, 1000, 0}, {3000, 0, 0, 0}, {0, 3000, 0, 0}};
    ASSERT_EQ(ggiSetPalette(v, 0, 4, pal), 0);
    const struct {
        ggi_color c;
        ggi_pixel want;
    } rows[] = {
        {{0xffff, 0xffff, 0xffff, 0}, 255},  // only 255 became white
        {{0, 0, 0, 0}, 0},                   // black: 0 and 4..254 tie
        {{1400, 1400, 0, 0}, 1},             // 1800 from 1, 2800 from black, 3000 from 2 and 3
        {{2500, 0, 1000, 0}, 2},             // 1500 from 2, 2500 from 1, 3500 from black
        {{2000, 2000, 0, 0}, 1},             // 3000 from 1, 2 and 3
    };
    for (const auto &r : rows)
        EXPECT_EQ(ggiMapColor(v, &r.c), r.want) << r.c.r << "," << r.c.g << "," << r.c.b;
}

// -final at ggiClose, at the last ggiExit, at the end of the process and at ggiPanic; never without a mode.
TEST_F(GgiLayer, FinalPicture)
{
    auto drawn = [this](const char *final) {
        ggi_visual_t v = Memory(":-final=" + File(final));
        ggiSetGraphMode(v, 1, 1, 1, 1, GT_24BIT);
        ggiPutBox(v, 0, 0, 1, 1, "\x01\x02\x03");
        return v;
    };
    EXPECT_EQ(ggiClose(drawn("close.ppm")), 0);
    ggiClose(Memory(":-final=" + File("none.ppm")));
    EXPECT_EQ(Read(File("close.ppm")) + Read(File("none.ppm")), "P6\n1 1\n255\n\x03\x02\x01");
    drawn("exit.ppm");
    ggiInit();
    EXPECT_EQ(ggiExit(), 1);
    EXPECT_EQ(Read(File("exit.ppm")), "");
    EXPECT_EQ(ggiExit(), 0);
    EXPECT_EQ(ggiExit(), -1);
    EXPECT_EQ(Opens("memory"), std::pair(false, std::string("ggi: ggiOpen before ggiInit\n")));
    ggiInit();
    EXPECT_EXIT((drawn("end.ppm"), std::exit(0)), testing::ExitedWithCode(0), "");
    EXPECT_EXIT((drawn("panic.ppm"), ggiPanic("Kann '%s' nicht laden!", "x.rsc")), testing::ExitedWithCode(1),
                "^Kann 'x\\.rsc' nicht laden!$");
    for (const char *file : {"exit.ppm", "end.ppm", "panic.ppm"})
        EXPECT_EQ(Read(File(file)), "P6\n1 1\n255\n\x03\x02\x01") << file;
}

// palemu: the 8-bit picture through its palette on GGI_DISPLAY's true colour at a whole box or a flush.
TEST_F(GgiLayer, PalemuShowsThroughThePaletteOnItsParent)
{
    const std::string shot = File("shot.ppm"), fin = File("final.ppm"),
                      parent = "memory:-depths=16,24:-final=" + fin + ":-events=" + File("script");
    test::Write(File("script"), "1 keydown 'h'\n1 shot " + shot + "\n");
    env.Set("GGI_DISPLAY", parent.c_str());
    ggi_visual_t v = ggiOpen("display-palemu", "", nullptr);
    ggi_mode m;
    EXPECT_EQ(ggiCheckGraphMode(v, 4, 2, 4, 2, GT_16BIT, &m), -1);
    EXPECT_EQ(m.graphtype, GT_8BIT);
    ASSERT_EQ(ggiSetGraphMode(v, 4, 2, 4, 2, GT_8BIT), 0);
    ggi_color pal[3] = {{0, 0, 0, 0}, {0xff00, 0x8000, 0x0100, 0}, {0x1200, 0x3400, 0x5600, 0}};
    ggiSetPalette(v, 0, 3, pal);
    const uint8_t frame[8] = {1, 1, 1, 1, 1, 1, 1, 2};
    ggiPutBox(v, 0, 0, 4, 2, frame);
    EXPECT_EQ(Shown(v).substr(0, 3) + Shown(v).substr(21), "\xff\x80\x01\x12\x34\x56");
    EXPECT_EQ(ggiMapColor(v, &pal[2]), 2u);
    pal[1] = {0, 0, 0xff00, 0};
    ggiSetPalette(v, 1, 1, &pal[1]);
    ggiPutBox(v, 0, 0, 4, 1, frame);  // not the whole picture: not shown yet
    EXPECT_EQ(ggiGetc(v), 'h');       // the parent's script, its shot with it
    EXPECT_EQ(Shown(v).substr(0, 3) + Read(shot).substr(0, 14), "\xff\x80\x01P6\n4 2\n255\n\xff\x80\x01");
    ggiFlush(v);
    EXPECT_EQ(Shown(v).substr(0, 3), std::string("\0\0\xff", 3));
    ggiClose(v);
    EXPECT_EQ(Read(fin).substr(0, 14), std::string("P6\n4 2\n255\n\0\0\xff", 14));
    // A 16-bit parent, one without true colour, and palemu's own options after GGI_DISPLAY's.
    const char *const rows[][3] = {{"memory:-depths=16", "palemu", "\x10\x34\x52"},
                                   {"memory:-depths=8", "palemu", ""},
                                   {"memory:-depths=8", "palemu:-depths=24", "\x12\x34\x56"}};
    for (const auto &r : rows) {
        env.Set("GGI_DISPLAY", r[0]);
        v = ggiOpen(r[1], nullptr);
        EXPECT_EQ(ggiSetGraphMode(v, 4, 2, 4, 2, GT_8BIT), *r[2] ? 0 : -1) << r[0] << " " << r[1];
        ggiSetPalette(v, 0, 1, &pal[2]);
        ggiFlush(v);
        EXPECT_EQ(Shown(v).substr(0, 3), r[2]) << r[0] << " " << r[1];
        ggiClose(v);
    }
}

}  // namespace
