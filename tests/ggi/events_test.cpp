// Tests of frame counting, script delivery, -frames, headless waits, shots and replay.
#include <cstring>

#include "helpers.h"

namespace {

class GgiEvents : public testing::Test {
protected:
    void SetUp() override { ggiInit(); }
    void TearDown() override { ggiExit(); }

    ggi_visual_t open(const std::string &options, const std::string &script = "")
    {
        std::string display = "memory" + options;
        if (!script.empty()) {
            write_file(dir.file("in"), script);
            display += ":-events=" + dir.file("in");
        }
        ggi_visual_t v = ggiOpen(display.c_str(), nullptr);
        EXPECT_NE(v, nullptr) << display;
        return v;
    }
    TempDir dir;
};

TEST_F(GgiEvents, LinesArriveAfterTheirFrameOfEmptyPollsInFileOrder)
{
    ggi_visual_t v = open("", "0 keydown 'a'\n"
                              "0 keyup 'a'\n"
                              "2 pos 10 20\n"
                              "2 down 1\n"
                              "2 keydown 'b'\n"
                              "5 raw 12\n");
    struct timeval zero = {0, 0};
    // Both lines of frame 0 wait at the first poll; the poll reports their types.
    EXPECT_EQ(ggiEventPoll(v, emAll, &zero), emKeyPress | emKeyRelease);
    // A mask that matches nothing waiting finds nothing, and that counts as a frame.
    EXPECT_EQ(ggiEventPoll(v, emPtrAbsolute, &zero), 0u);
    EXPECT_EQ(ggiLayerFrame(v), 1);

    std::vector<Seen> got = run_frames(v, 6);
    std::vector<Seen> want = {
        {1, evKeyPress, 'a', 0},      {1, evKeyRelease, 'a', 0}, {2, evPtrAbsolute, 10, 20},
        {2, evPtrButtonPress, 1, 0},  {2, evKeyPress, 'b', 0},   {5, evValRelative, 0, 0},
    };
    EXPECT_EQ(got, want);
    // Each drain ended with one empty poll.
    EXPECT_EQ(ggiLayerFrame(v), 7);
    ggiClose(v);
}

TEST_F(GgiEvents, ReadTakesTheFirstEventOfItsMaskAndLeavesTheRest)
{
    ggi_visual_t v = open("", "0 pos 1 2\n0 keydown 'k'\n0 down 2\n");
    gii_event ev;
    EXPECT_EQ(ggiEventRead(v, &ev, emPtrButtonPress), int(sizeof(gii_pbutton_event)));
    EXPECT_EQ(ev.any.type, evPtrButtonPress);
    EXPECT_EQ(ev.pbutton.button, 2u);
    EXPECT_EQ(ggiEventRead(v, &ev, emKey), int(sizeof(gii_key_event)));
    EXPECT_EQ(ev.key.sym, uint32_t('k'));
    EXPECT_EQ(drain(v), (std::vector<Seen>{{0, evPtrAbsolute, 1, 2}}));
    ggiClose(v);
}

TEST_F(GgiEvents, FramesOptionGivesOneEscapePerFrameFromItsFrameOn)
{
    ggi_visual_t v = open(":-frames=3", "4 keydown 'x'\n");
    std::vector<Seen> got = run_frames(v, 7);
    std::vector<Seen> want = {
        {3, evKeyPress, 27, 0},
        {4, evKeyPress, 'x', 0},
        {4, evKeyPress, 27, 0},
        {5, evKeyPress, 27, 0},
        {6, evKeyPress, 27, 0},
    };
    EXPECT_EQ(got, want);
    ggiClose(v);
}

TEST_F(GgiEvents, UnreadEscapesDoNotPileUp)
{
    ggi_visual_t v = open(":-frames=0");
    struct timeval zero = {0, 0};
    // A program that only looks for pointer events never takes the Escapes.
    for (int i = 0; i < 50; i++)
        EXPECT_EQ(ggiEventPoll(v, emPtrAbsolute, &zero), 0u);
    EXPECT_EQ(drain(v), (std::vector<Seen>{{50, evKeyPress, 27, 0}}));
    ggiClose(v);
}

TEST_F(GgiEvents, BlockingWaitsOnAHeadlessDisplayNeverHang)
{
    ggi_visual_t v = open("", "7 keydown 'q'\n7 pos 3 3\n");
    gii_event ev;
    // The wait moves on to the frame of the next line.
    EXPECT_GT(ggiEventRead(v, &ev, emKey), 0);
    EXPECT_EQ(ev.key.sym, uint32_t('q'));
    EXPECT_EQ(ggiLayerFrame(v), 7);
    // With the script used up, an Escape press is made up, again and again.
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);
    EXPECT_GT(ggiEventRead(v, &ev, emAll), 0);
    EXPECT_EQ(seen(0, ev), (Seen{0, evPtrAbsolute, 3, 3}));
    EXPECT_EQ(ggiEventPoll(v, emAll, nullptr), emKeyPress);
    EXPECT_GT(ggiEventRead(v, &ev, emAll), 0);
    EXPECT_EQ(ev.key.sym, uint32_t(GIIUC_Escape));
    // A wait for something an Escape is not returns empty-handed.
    std::memset(&ev, 0xff, sizeof ev);
    EXPECT_EQ(ggiEventRead(v, &ev, emPtrButtonPress), 0);
    EXPECT_EQ(ev.any.type, evNothing);
    EXPECT_EQ(ggiEventPoll(v, emPtrButtonPress, nullptr), 0u);
    EXPECT_EQ(ggiLayerFrame(v), 7);
    ggiClose(v);
}

TEST_F(GgiEvents, BlockingWaitWithFramesOptionWaitsForItsFrame)
{
    ggi_visual_t v = open(":-frames=40", "60 keydown 'z'\n");
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);
    EXPECT_EQ(ggiLayerFrame(v), 40);
    // The frame's Escape is taken; the next comes with the next frame.
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);
    EXPECT_EQ(ggiLayerFrame(v), 41);
    ggiClose(v);
}

TEST_F(GgiEvents, ShotsWriteThePictureAsItStandsAtTheirPoll)
{
    ggi_visual_t v = open("", "1 shot " + dir.file("one.ppm") + "\n" +
                                  "2 shot " + dir.file("two.ppm") + "\n" +
                                  "2 keydown 'k'\n");
    ASSERT_EQ(ggiSetGraphMode(v, 2, 1, 2, 1, GT_8BIT), 0);
    ggi_color pal[3] = {{0, 0, 0, 0}, {0xff00, 0x8000, 0x0100, 0}, {0x1200, 0x3400, 0x5600, 0}};
    ggiSetPalette(v, 0, 3, pal);
    uint8_t *fb = static_cast<uint8_t *>(ggiDBGetBuffer(v, 0)->write);
    fb[0] = 1;
    EXPECT_TRUE(drain(v).empty());  // frame 0 ends
    EXPECT_TRUE(drain(v).empty());  // the first poll of frame 1 writes one.ppm
    fb[1] = 2;
    EXPECT_EQ(drain(v).size(), 1u);  // frame 2: two.ppm, then the key
    fb[0] = 2;
    EXPECT_EQ(ppm_pixels(read_file(dir.file("one.ppm")), 2, 1),
              std::string("\xff\x80\x01\x00\x00\x00", 6));
    EXPECT_EQ(ppm_pixels(read_file(dir.file("two.ppm")), 2, 1),
              std::string("\xff\x80\x01\x12\x34\x56", 6));
    ggiClose(v);
}

TEST_F(GgiEvents, TheRandomSequenceStaysTheProgramsOwn)
{
    srand(7);
    int want[3] = {rand(), rand(), rand()};
    srand(7);
    ggi_visual_t v = open(":-frames=2:-final=" + dir.file("f.ppm"),
                          "0 keydown 'a'\n1 shot " + dir.file("s.ppm") + "\n");
    ggiSetGraphMode(v, 8, 8, 8, 8, GT_8BIT);
    run_frames(v, 3);
    ggiGetc(v);
    ggiClose(v);
    for (int r : want)
        EXPECT_EQ(rand(), r);
}

// The picture of a run: each event leaves a mark, so another stream gives another picture.
void mark(ggi_visual_t v, const std::vector<Seen> &events)
{
    auto *fb = static_cast<uint8_t *>(ggiDBGetBuffer(v, 0)->write);
    for (size_t i = 0; i < events.size(); i++) {
        const Seen &e = events[i];
        int64_t at = (e.frame * 7 + e.type * 3 + e.a + e.b + int64_t(i)) % (32 * 32);
        if (at < 0)
            at += 32 * 32;
        fb[at] = uint8_t(fb[at] + e.type + 1);
    }
}

TEST_F(GgiEvents, RecordedRunReplaysToTheSameEventsAndPicture)
{
    std::string rec = dir.file("rec"), a = dir.file("a.ppm"), b = dir.file("b.ppm");
    std::string script = "0 keydown ' '\n"
                         "0 keyup '''\n"
                         "1 keydown 252\n"
                         "1 keyrepeat 57394\n"
                         "3 move -4 9\n"
                         "3 pos 31 0\n"
                         "3 down 1\n"
                         "4 up 3\n"
                         "4 raw 13\n"
                         "4 raw 1\n";
    std::vector<Seen> first, second;
    ggi_color grey[256];
    for (int i = 0; i < 256; i++)
        grey[i] = {uint16_t(i * 257), uint16_t(i * 101), uint16_t(65535 - i * 257), 0};

    ggi_visual_t v = open(":-frames=6:-final=" + a + ":-record=" + rec, script);
    ASSERT_EQ(ggiSetGraphMode(v, 32, 32, 32, 32, GT_8BIT), 0);
    ggiSetPalette(v, 0, 256, grey);
    first = run_frames(v, 8);
    gii_event ev;
    ggiEventRead(v, &ev, emAll);  // the frame's Escape, taken by a blocking read
    first.push_back(seen(ggiLayerFrame(v), ev));
    mark(v, first);
    ggiClose(v);

    v = ggiOpen(("memory:-events=" + rec + ":-final=" + b).c_str(), nullptr);
    ASSERT_NE(v, nullptr) << read_file(rec);
    ASSERT_EQ(ggiSetGraphMode(v, 32, 32, 32, 32, GT_8BIT), 0);
    ggiSetPalette(v, 0, 256, grey);
    second = run_frames(v, 8);
    ggiEventRead(v, &ev, emAll);
    second.push_back(seen(ggiLayerFrame(v), ev));
    mark(v, second);
    ggiClose(v);

    EXPECT_EQ(first.size(), 13u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(read_file(rec), "# input events as delivered: FRAME EVENT ARGUMENTS\n"
                              "0 keydown 32\n"
                              "0 keyup 39\n"
                              "1 keydown 252\n"
                              "1 keyrepeat 57394\n"
                              "3 move -4 9\n"
                              "3 pos 31 0\n"
                              "3 down 1\n"
                              "4 up 3\n"
                              "4 raw 13\n"
                              "4 raw 1\n"
                              "6 keydown 27\n"
                              "7 keydown 27\n"
                              "8 keydown 27\n");
    std::string pa = read_file(a);
    EXPECT_EQ(pa.size(), 13 + 32 * 32 * 3u);
    EXPECT_EQ(pa, read_file(b));
}

}  // namespace
