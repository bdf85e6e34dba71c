// Tests of display strings, options and event scripts, with the exact complaints.
#include "helpers.h"

namespace {

class GgiOptions : public testing::Test {
protected:
    void SetUp() override
    {
        ggiInit();
        env.set("GGI_DISPLAY", nullptr);
        env.set("DISPLAY", nullptr);
        env.set("WAYLAND_DISPLAY", nullptr);
    }
    void TearDown() override { ggiExit(); }
    EnvGuard env;
    TempDir dir;
};

TEST_F(GgiOptions, MemoryNamesAndDefaultDisplay)
{
    for (const char *name : {"memory", "display-memory", "memory:", "memory::-nodb"}) {
        ggi_visual_t v = ggiOpen(name, nullptr);
        EXPECT_NE(v, nullptr) << name;
        ggiClose(v);
    }
    env.set("GGI_DISPLAY", "memory:-nodb");
    ggi_visual_t v = ggiOpen(nullptr);
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(ggiSetGraphMode(v, 640, 400, 640, 400, GT_8BIT), 0);
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);
    ggiClose(v);
}

TEST_F(GgiOptions, NoDisplayFoundSaysHowToRunHeadless)
{
    std::string err;
    EXPECT_EQ(open_capturing(nullptr, err), nullptr);
    EXPECT_EQ(err,
              "ggi: no display found: neither GGI_DISPLAY nor DISPLAY nor WAYLAND_DISPLAY is set.\n"
              "ggi: to run without a display, set GGI_DISPLAY=memory, for example "
              "GGI_DISPLAY=memory:-frames=100\n");
    // An empty GGI_DISPLAY is no choice either.
    env.set("GGI_DISPLAY", "");
    EXPECT_EQ(open_capturing(nullptr, err), nullptr);
    EXPECT_NE(err.find("no display found"), std::string::npos);
}

TEST_F(GgiOptions, OpenBeforeInitFails)
{
    ggiExit();
    std::string err;
    EXPECT_EQ(open_capturing("memory", err), nullptr);
    EXPECT_EQ(err, "ggi: ggiOpen before ggiInit\n");
    ggiInit();
}

TEST_F(GgiOptions, BadDisplayStringsAreRefusedWithTheirReason)
{
    struct Case {
        const char *display;
        const char *message;
    } cases[] = {
        {"vga", "ggi: unknown display 'vga' (known: display-sdl, sdl, x, display-x, "
                "display-memory, memory, display-palemu, palemu)\n"},
        {"memory:-fullscreen", "ggi: display-memory has no option -fullscreen\n"},
        {"memory:-colours=8", "ggi: display-memory has no option -colours\n"},
        {"memory:nodb", "ggi: option 'nodb' of display-memory does not start with '-'\n"},
        {"memory:-nodb=1", "ggi: option -nodb takes no value\n"},
        {"memory:-final", "ggi: option -final needs a value: -final=...\n"},
        {"memory:-events=", "ggi: option -events needs a file name\n"},
        {"memory:-frames=ten", "ggi: -frames: 'ten' is not a frame number\n"},
        {"memory:-frames=-1", "ggi: -frames: '-1' is not a frame number\n"},
        {"memory:-depths=8,32", "ggi: -depths: '32' is not 8, 16 or 24\n"},
        {"memory:-depths=8,", "ggi: -depths: the list '8,' ends with a comma\n"},
        {"memory:-depths=,8", "ggi: -depths: '' is not 8, 16 or 24\n"},
    };
    for (const Case &c : cases) {
        std::string err;
        EXPECT_EQ(open_capturing(c.display, err), nullptr) << c.display;
        EXPECT_EQ(err, c.message) << c.display;
    }
}

TEST_F(GgiOptions, DepthsDecideWhichModesAreAccepted)
{
    ggi_mode m;
    ggi_visual_t v = ggiOpen("memory:-depths=16,24", nullptr);
    ASSERT_NE(v, nullptr);
    EXPECT_NE(ggiCheckGraphMode(v, 320, 200, 320, 200, GT_8BIT, &m), 0);
    EXPECT_EQ(m.graphtype, GT_16BIT);
    EXPECT_NE(ggiSetGraphMode(v, 320, 200, 320, 200, GT_8BIT), 0);
    EXPECT_EQ(ggiCheckGraphMode(v, 320, 200, 320, 200, GT_24BIT, &m), 0);
    EXPECT_EQ(m.graphtype, GT_24BIT);
    EXPECT_EQ(m.visible.x, 320);
    EXPECT_EQ(m.virt.y, 200);
    EXPECT_EQ(ggiSetGraphMode(v, 320, 200, 320, 200, GT_16BIT), 0);
    ggiClose(v);

    // An empty list accepts no depth at all.
    v = ggiOpen("memory:-depths=", nullptr);
    ASSERT_NE(v, nullptr);
    for (ggi_graphtype t : {GT_8BIT, GT_16BIT, GT_24BIT, ggi_graphtype(GGI_AUTO)}) {
        EXPECT_NE(ggiCheckGraphMode(v, 320, 200, 320, 200, t, &m), 0);
        EXPECT_EQ(m.graphtype, 0u);
        EXPECT_NE(ggiSetGraphMode(v, 320, 200, 320, 200, t), 0);
    }
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);
    ggiClose(v);
}

TEST_F(GgiOptions, ModeSizesMustBeSaneAndUnpanned)
{
    ggi_visual_t v = ggiOpen("memory", nullptr);
    ASSERT_NE(v, nullptr);
    EXPECT_NE(ggiSetGraphMode(v, 640, 400, 1280, 400, GT_8BIT), 0);
    EXPECT_NE(ggiSetGraphMode(v, 0, 400, 0, 400, GT_8BIT), 0);
    EXPECT_NE(ggiSetGraphMode(v, -640, 400, -640, 400, GT_8BIT), 0);
    EXPECT_NE(ggiSetGraphMode(v, 100000, 400, 100000, 400, GT_8BIT), 0);
    EXPECT_NE(ggiSetGraphMode(v, 640, 400, 640, 400, 0x12345678), 0);
    EXPECT_EQ(ggiSetGraphMode(v, 640, 400, GGI_AUTO, GGI_AUTO, GT_8BIT), 0);
    ggiClose(v);
}

// Opening a memory visual with the given script; what it says on stderr goes to `err`.
ggi_visual_t open_script(const TempDir &dir, const std::string &text, std::string &err)
{
    std::string file = dir.file("script");
    write_file(file, text);
    return open_capturing(("memory:-events=" + file).c_str(), err);
}

TEST_F(GgiOptions, MalformedScriptLinesStopTheOpeningAtTheirLine)
{
    struct Case {
        const char *text;
        const char *message;
    } cases[] = {
        {"5 kedown 'h'\n", "1: unknown event 'kedown'"},
        {"# comment\n\n   \nx keydown 1\n", "4: expected a frame number, found 'x'"},
        {"-1 keydown 1\n", "1: expected a frame number, found '-1'"},
        {"3000000000 keydown 1\n", "1: expected a frame number, found '3000000000'"},
        {"7\n", "1: expected an event after the frame number"},
        {"3 keydown 'h'\n\n2 keyup 'h'\n", "3: frame 2 comes before frame 3 of line 1"},
        {"1 keydown hh\n", "1: keydown: expected a key symbol (a decimal number or one quoted "
                           "character), found 'hh'"},
        {"1 keyup 'ab'\n", "1: keyup: expected a key symbol (a decimal number or one quoted "
                           "character), found ''ab''"},
        {"1 keyrepeat\n", "1: keyrepeat: expected a key symbol (a decimal number or one quoted "
                          "character), found end of line"},
        {"1 keydown 1114112\n", "1: keydown: expected a key symbol (a decimal number or one "
                                "quoted character), found '1114112'"},
        {"1 move 3\n", "1: move: expected two numbers, found end of line"},
        {"1 pos 3 y\n", "1: pos: expected two numbers, found 'y'"},
        {"1 down\n", "1: down: expected a button number, found end of line"},
        {"1 up -2\n", "1: up: expected a button number, found '-2'"},
        {"1 raw 32\n", "1: raw: expected an event type from 0 to 31, found '32'"},
        {"1 shot\n", "1: shot: expected a file name, found end of line"},
        {"1 keydown 'h' extra\n", "1: unexpected 'extra' after the event"},
        {"1 pos 1 2 3\n", "1: unexpected '3' after the event"},
    };
    for (const Case &c : cases) {
        std::string err;
        EXPECT_EQ(open_script(dir, c.text, err), nullptr) << c.text;
        EXPECT_EQ(err, dir.file("script") + ":" + c.message + "\n") << c.text;
    }
}

TEST_F(GgiOptions, MissingScriptOrRecordingFolderFails)
{
    std::string err;
    EXPECT_EQ(open_capturing(("memory:-events=" + dir.file("none")).c_str(), err), nullptr);
    EXPECT_EQ(err, "ggi: cannot read event script '" + dir.file("none") +
                       "': No such file or directory\n");
    std::string rec = dir.file("no/such/folder/rec");
    EXPECT_EQ(open_capturing(("memory:-record=" + rec).c_str(), err), nullptr);
    EXPECT_EQ(err, "ggi: cannot write event recording '" + rec + "': No such file or directory\n");
}

TEST_F(GgiOptions, ScriptSyntaxThatIsAccepted)
{
    std::string err;
    ggi_visual_t v = open_script(dir,
                                 "# every form once\r\n"
                                 "0 keydown ' '\r\n"
                                 "0 keydown '''\n"
                                 "0 keyup '#'   # a comment after the event\n"
                                 "\t1\tkeyrepeat\t65\n"
                                 "1 move -3 4\n"
                                 "1 pos 639 -1\n"
                                 "2 down 1\n"
                                 "2 up 2\n"
                                 "2 raw 12\n"
                                 "2 keydown '\xfc'\n",
                                 err);
    ASSERT_NE(v, nullptr) << err;
    EXPECT_EQ(err, "");
    std::vector<Seen> got = run_frames(v, 3);
    std::vector<Seen> want = {
        {0, evKeyPress, ' ', 0},      {0, evKeyPress, '\'', 0},    {0, evKeyRelease, '#', 0},
        {1, evKeyRepeat, 65, 0},      {1, evPtrRelative, -3, 4},   {1, evPtrAbsolute, 639, -1},
        {2, evPtrButtonPress, 1, 0},  {2, evPtrButtonRelease, 2, 0}, {2, evValRelative, 0, 0},
        {2, evKeyPress, 0xfc, 0},
    };
    EXPECT_EQ(got, want);
    ggiClose(v);
}

}  // namespace
