// The window's pause: the Pause key and focus loss hold the program in its event poll and
// leave no trace in what it records; -nopause runs on unfocused.
#include <SDL2/SDL.h>

#include <ggi/ggi.h>
#include <ggi/layer.h>
#include <ggi/testing.h>

#include "support.h"

namespace {

constexpr int W = 64, H = 40;
constexpr uint32_t WHITE = 0xffffffff;
constexpr Uint32 WIN = SDL_WINDOWEVENT, KEY = SDL_KEYDOWN, KEYUP = SDL_KEYUP, DOWN = SDL_MOUSEBUTTONDOWN,
                 UP = SDL_MOUSEBUTTONUP, MOVE = SDL_MOUSEMOTION;

// An event as the driver sends it: a window event or key `a`, button `a` at x y, a move to x y.
void push(Uint32 type, int a = 0, int x = 0, int y = 0)
{
    SDL_Event e{};
    e.type = type;
    if (type == WIN)
        e.window.event = Uint8(a);
    else if (type == KEY || type == KEYUP)
        e.key.keysym = {SDL_GetScancodeFromKey(a), a, 0, 0};
    else if (type == MOVE)
        e.motion.x = x, e.motion.y = y;
    else
        e.button.button = Uint8(a), e.button.x = x, e.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

// The window's pixels as shown, ARGB.
std::vector<uint32_t> window_pixels(SDL_Window *win)
{
    std::vector<uint32_t> px(W * H);
    SDL_RenderReadPixels(SDL_GetRenderer(win), nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(), W * 4);
    return px;
}

// A game in miniature: each frame takes its input, folds the events it drains into a sum
// that one pixel per frame shows on a white picture, and presents the picture.
using Input = std::function<void(ggi_visual_t, int)>;
void play(const std::string &display, int frames, const Input &input)
{
    ggi_visual_t v = ggiOpen(display.c_str(), nullptr);
    ASSERT_EQ(ggiSetGraphMode(v, W, H, W, H, GT_8BIT), 0) << display;
    ggi_color grey[256];
    for (int i = 0; i < 256; i++)
        grey[i] = {uint16_t(i * 257), uint16_t(i * 257), uint16_t(i * 257), 0};
    ggiSetPalette(v, 0, 256, grey);
    std::vector<uint8_t> pic(W * H, 255);
    unsigned sum = 0;
    for (int f = 0; f < frames; f++) {
        input(v, f);
        struct timeval zero = {0, 0};
        gii_event ev;
        while (ggiEventPoll(v, emAll, &zero) && ggiEventRead(v, &ev, emAll) > 0)
            sum = sum * 31 + ev.any.type + (ev.any.type == evKeyPress ? ev.key.sym << 8 : 0);
        pic[f] = uint8_t(sum);
        ggiPutBox(v, 0, 0, W, H, pic.data());
        EXPECT_EQ(ggiLayerFrame(v), f + 1) << "one frame per event step";
    }
    ggiClose(v);
}

class Pause : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        alarm(60);  // a hold that never ends fails the test instead of hanging it
        ggiInit();
    }
    void TearDown() override
    {
        ggiExit();
        alarm(0);
        unsetenv("SDL_VIDEODRIVER");
    }
    test::Folder folder;
    std::string dir = folder.path().string() + "/";
    std::string header = "# input events as delivered: FRAME EVENT ARGUMENTS\n";
};

TEST_F(Pause, HoldsTheGameAndLeavesNoTraceInWhatItRecords)
{
    using Way = std::pair<void (*)(), void (*)()>;  // pause, resume
    const Way focus = {[] { push(WIN, SDL_WINDOWEVENT_FOCUS_LOST); }, [] { push(WIN, SDL_WINDOWEVENT_FOCUS_GAINED); }};
    const Way pause_key = {[] { push(KEY, SDLK_PAUSE), push(KEYUP, SDLK_PAUSE); },
                           [] { push(KEY, SDLK_PAUSE), push(KEYUP, SDLK_PAUSE); }};
    const std::string opts = ":-scale=1:-record=" + dir + "rec:-final=" + dir + "final.ppm";
    std::string rec, final;
    for (const Way *way : {(const Way *)nullptr, &focus, &pause_key}) {
        // Frame 3 holds a key and the left button into the pause, which drops what is pressed
        // or moved in it and lets the held ones go. A second later another thread looks at
        // the frame counter and the window, and ends the pause.
        std::thread resumer;
        int64_t held_frame = -1;
        std::vector<uint32_t> held_px;
        bool grabbed = true;
        play("display-sdl:-offscreen" + opts, 6, [&](ggi_visual_t v, int f) {
            SDL_Window *win = ggiLayerWindow(v);
            if (f == 3) {
                push(KEY, 'b'), push(KEY, 'w'), push(DOWN, SDL_BUTTON_LEFT, 10, 10);
                if (way) {
                    way->first();
                    push(KEY, 'x'), push(DOWN, SDL_BUTTON_RIGHT, 20, 20), push(MOVE, 0, 30, 30);
                    resumer = std::thread([&, v, win] {
                        std::this_thread::sleep_for(std::chrono::seconds(1));
                        held_frame = ggiLayerFrame(v);
                        held_px = window_pixels(win);
                        grabbed = SDL_GetWindowMouseRect(win) != nullptr || SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE;
                        way->second();
                    });
                }
                push(KEYUP, 'w'), push(UP, SDL_BUTTON_LEFT, 10, 10);
            }
            if (f == 4 && way) {
                resumer.join();
                // Shaded with "PAUSE" in the window only, the pointer free; grabbed after.
                EXPECT_EQ(held_frame, 3);
                EXPECT_NE(held_px[(H - 1) * W], WHITE);
                EXPECT_NE(held_px[(H - 1) * W] & 0xff, 0u);
                EXPECT_GT(std::count(held_px.begin(), held_px.end(), WHITE), 0);
                EXPECT_FALSE(grabbed);
                EXPECT_NE(SDL_GetWindowMouseRect(win), nullptr);
            }
            if (f == 4)
                push(UP, SDL_BUTTON_RIGHT, 20, 20), push(KEY, 'c');
        });
        if (!way) {
            rec = test::Read(dir + "rec"), final = test::Read(dir + "final.ppm");
            EXPECT_EQ(rec, header + "3 keydown 'b'\n3 keydown 'w'\n3 pos 10 10\n3 down 1\n"
                                    "3 keyup 'w'\n3 up 1\n4 keydown 'c'\n");
        }
        EXPECT_EQ(test::Read(dir + "rec"), rec);
        EXPECT_EQ(test::Read(dir + "final.ppm"), final);
    }
    // The recording replays headless to the same picture.
    play("memory:-events=" + dir + "rec:-final=" + dir + "replay.ppm", 6, [](ggi_visual_t, int) {});
    EXPECT_EQ(test::Read(dir + "replay.ppm"), final);
}

TEST_F(Pause, NopauseRunsOnUnfocusedAndThePauseKeyStillHoldsUntilPressedOrClosed)
{
    play("display-sdl:-offscreen:-scale=1:-nopause:-record=" + dir + "rec", 3, [](ggi_visual_t v, int f) {
        SDL_Window *win = ggiLayerWindow(v);
        EXPECT_EQ(SDL_GetWindowMouseRect(win) != nullptr, f < 2) << f;
        if (f == 1) {
            push(WIN, SDL_WINDOWEVENT_FOCUS_LOST), push(KEY, 'x');
            push(MOVE, 0, -3, 5), push(MOVE, 0, 5, H + 2), push(MOVE, 0, 6, 7);
        }
        if (f != 2)
            return;
        // A program waiting for a key sees its picture again when the pause ends.
        push(KEY, SDLK_PAUSE);
        std::thread([] { SDL_Delay(100), push(KEY, SDLK_PAUSE), push(KEY, 'k'); }).detach();
        EXPECT_EQ(ggiGetc(v), 'k');
        EXPECT_EQ(window_pixels(win)[(H - 1) * W], WHITE);
        // Closing the window ends a pause with the Escape that ends the program.
        push(KEY, SDLK_PAUSE);
        std::thread([] { SDL_Delay(100), push(SDL_QUIT); }).detach();
        EXPECT_EQ(ggiGetc(v), GIIUC_Escape);
    });
    EXPECT_EQ(test::Read(dir + "rec"), header + "1 keydown 'x'\n1 pos 6 7\n2 keydown 'k'\n2 keydown 27\n");
}

}  // namespace
