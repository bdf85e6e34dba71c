// Tests of the window target on SDL's dummy video driver: pictures, scaling, keys, pointer.
#include <SDL2/SDL.h>

#include "helpers.h"

namespace {

class GgiWindow : public testing::Test {
protected:
    void SetUp() override
    {
        env.set("SDL_VIDEODRIVER", "dummy");
        ggiInit();
    }
    void TearDown() override { ggiExit(); }

    // A window visual with a 4 x 2 picture of the given depth.
    ggi_visual_t open(const std::string &options, ggi_graphtype type = GT_8BIT)
    {
        std::string display = "display-sdl" + options;
        ggi_visual_t v = ggiOpen(display.c_str(), nullptr);
        EXPECT_NE(v, nullptr) << display;
        if (v) {
            EXPECT_EQ(ggiSetGraphMode(v, 4, 2, 4, 2, type), 0);
        }
        return v;
    }

    // The window's pixels as presented, 0xRRGGBB.
    static std::vector<uint32_t> window_pixels(ggi_visual_t v, int &w, int &h)
    {
        SDL_Window *win = ggiLayerWindow(v);
        SDL_Renderer *r = SDL_GetRenderer(win);
        SDL_GetRendererOutputSize(r, &w, &h);
        std::vector<uint32_t> px(size_t(w) * h);
        EXPECT_EQ(SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(), w * 4), 0)
            << SDL_GetError();
        for (uint32_t &p : px)
            p &= 0xffffff;
        return px;
    }

    EnvGuard env;
    TempDir dir;
};

void push_key(bool down, SDL_Scancode sc, SDL_Keycode key, Uint16 mod = 0, bool repeat = false)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void push_text(const char *text)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, text, sizeof e.text.text);
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void push_motion(int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void push_button(bool down, Uint8 button, int x, int y)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

TEST_F(GgiWindow, NamesAndOneWindowAtATime)
{
    for (const char *name : {"display-sdl", "sdl", "x", "display-x"}) {
        ggi_visual_t v = ggiOpen(name, nullptr);
        EXPECT_NE(v, nullptr) << name;
        EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);
        ggiClose(v);
    }
    ggi_visual_t v = ggiOpen("sdl", nullptr);
    std::string err;
    EXPECT_EQ(open_capturing("sdl", err), nullptr);
    EXPECT_EQ(err, "ggi: display-sdl: only one window can be open at a time\n");
    EXPECT_EQ(open_capturing("sdl:-nodb", err), nullptr);
    ggiClose(v);
    EXPECT_EQ(open_capturing("sdl:-scale=17", err), nullptr);
    EXPECT_EQ(err, "ggi: -scale: '17' is not a whole number from 1 to 16\n");
}

TEST_F(GgiWindow, DesktopMeansAWindowAndPalemuPutsItsPictureThere)
{
    env.set("GGI_DISPLAY", nullptr);
    env.set("DISPLAY", nullptr);
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        env.set(variable, ":5");
        ggi_visual_t v = ggiOpen(nullptr);
        ASSERT_NE(v, nullptr) << variable;
        ASSERT_EQ(ggiSetGraphMode(v, 4, 2, 4, 2, GT_8BIT), 0);
        EXPECT_NE(ggiLayerWindow(v), nullptr);
        ggiClose(v);
        env.set(variable, nullptr);
    }
    env.set("DISPLAY", ":5");
    env.set("GGI_DISPLAY", "palemu:-scale=1");
    ggi_visual_t v = ggiOpen("display-palemu", "", nullptr);
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(ggiSetGraphMode(v, 4, 2, 4, 2, GT_8BIT), 0);
    EXPECT_EQ(ggiDBGetBuffer(v, 0), nullptr);
    ggi_color blue = {0, 0, 0xff00, 0};
    ggiSetPalette(v, 9, 1, &blue);
    ggiSetGCForeground(v, 9);
    ggiFillscreen(v);
    ggiFlush(v);
    int w, h;
    std::vector<uint32_t> px = window_pixels(v, w, h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(px[0], 0x0000ffu);
    ggiClose(v);
}

TEST_F(GgiWindow, EightBitPictureIsExpandedThroughThePaletteAtEachPresent)
{
    ggi_visual_t v = open(":-scale=2");
    ASSERT_NE(v, nullptr);
    int ww, wh;
    SDL_GetWindowSize(ggiLayerWindow(v), &ww, &wh);
    EXPECT_EQ(ww, 8);
    EXPECT_EQ(wh, 4);

    ggi_color pal[256] = {};
    pal[1] = {0xff00, 0x0000, 0x0000, 0};
    pal[2] = {0x0000, 0x80ff, 0x0000, 0};
    pal[3] = {0x1234, 0x5678, 0x9abc, 0};
    ASSERT_EQ(ggiSetPalette(v, 0, 256, pal), 0);
    const uint8_t picture[8] = {0, 1, 2, 3, 3, 2, 1, 0};
    ASSERT_EQ(ggiPutBox(v, 0, 0, 4, 2, picture), 0);

    std::vector<uint8_t> rgb;
    ASSERT_EQ(ggiLayerShown(v, nullptr, nullptr, &rgb), 0);
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.begin() + 12),
              (std::vector<uint8_t>{0, 0, 0, 0xff, 0, 0, 0, 0x80, 0, 0x12, 0x56, 0x9a}));

    // Every mode pixel is a 2 x 2 block of the window.
    int w, h;
    std::vector<uint32_t> px = window_pixels(v, w, h);
    ASSERT_EQ(w, 8);
    ASSERT_EQ(h, 4);
    const uint32_t colour[4] = {0, 0xff0000, 0x008000, 0x12569a};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++)
            EXPECT_EQ(px[y * 8 + x], colour[picture[(y / 2) * 4 + x / 2]]) << x << "," << y;

    // A new palette and a part of a box wait for the next present.
    pal[3] = {0xffff, 0xffff, 0xffff, 0};
    ggiSetPalette(v, 3, 1, &pal[3]);
    ggiPutBox(v, 0, 0, 1, 1, &picture[1]);
    ggiLayerShown(v, nullptr, nullptr, &rgb);
    EXPECT_EQ(rgb[0], 0);
    EXPECT_EQ(rgb[9], 0x12);
    ggiFlush(v);
    ggiLayerShown(v, nullptr, nullptr, &rgb);
    EXPECT_EQ(rgb[0], 0xff);
    EXPECT_EQ(rgb[9], 0xff);
    ggiClose(v);
}

TEST_F(GgiWindow, ResizedWindowScalesByWholeNumbersWithBlackBorders)
{
    ggi_visual_t v = open(":-scale=1");
    ASSERT_NE(v, nullptr);
    ggi_color white = {0xffff, 0xffff, 0xffff, 0};
    ggiSetPalette(v, 1, 1, &white);
    ggiSetGCForeground(v, 1);
    ggiFillscreen(v);
    SDL_SetWindowSize(ggiLayerWindow(v), 14, 7);  // room for 3 times, with a margin
    ggiFlush(v);
    int w, h;
    std::vector<uint32_t> px = window_pixels(v, w, h);
    ASSERT_EQ(w, 14);
    ASSERT_EQ(h, 7);
    // The picture is 12 x 6 at (1, 0).
    for (int y = 0; y < 7; y++)
        for (int x = 0; x < 14; x++) {
            bool inside = x >= 1 && x < 13 && y < 6;
            EXPECT_EQ(px[y * 14 + x], inside ? 0xffffffu : 0u) << x << "," << y;
        }
    // Pointer positions follow the picture's place and size.
    push_motion(1, 0);
    push_motion(12, 5);
    push_motion(13, 6);  // on the border: pulled onto the last pixel
    push_motion(0, 3);
    EXPECT_EQ(drain(v), (std::vector<Seen>{{0, evPtrAbsolute, 0, 0},
                                           {0, evPtrAbsolute, 3, 1},
                                           {0, evPtrAbsolute, 0, 1}}));
    ggiClose(v);
}

TEST_F(GgiWindow, TrueColourModesForTheViewer)
{
    for (ggi_graphtype type : {GT_16BIT, GT_24BIT}) {
        ggi_visual_t v = open(":-scale=1", type);
        ASSERT_NE(v, nullptr);
        ggi_color c = {0xffff, 0x0000, 0x8000, 0};
        ggiSetGCForeground(v, ggiMapColor(v, &c));
        ggiFillscreen(v);
        ggiFlush(v);
        int w, h;
        std::vector<uint32_t> px = window_pixels(v, w, h);
        EXPECT_EQ(px[0], type == GT_16BIT ? 0xff0084u : 0xff0080u);
        ggiClose(v);
    }
}

TEST_F(GgiWindow, KeysGiveTheCharacterTheyProduce)
{
    ggi_visual_t v = open("");
    ASSERT_NE(v, nullptr);
    // Shift and '=' on a US layout: the text decides.
    push_key(true, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT);
    push_key(true, SDL_SCANCODE_EQUALS, SDLK_EQUALS, KMOD_LSHIFT);
    push_text("+");
    push_key(false, SDL_SCANCODE_EQUALS, SDLK_EQUALS, KMOD_LSHIFT);
    push_key(false, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT);
    // The keypad's + and - whether or not text comes with them.
    push_key(true, SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS);
    push_text("+");
    push_key(true, SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS);
    // The key left of 1: a dead key gives no text and still means '^'; elsewhere its text.
    push_key(true, SDL_SCANCODE_GRAVE, SDLK_CARET);
    push_key(false, SDL_SCANCODE_GRAVE, SDLK_CARET);
    push_key(true, SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE);
    push_text("`");
    // Auto-repeat, and a letter with Ctrl, which brings no text.
    push_key(true, SDL_SCANCODE_H, SDLK_h);
    push_text("h");
    push_key(true, SDL_SCANCODE_H, SDLK_h, 0, true);
    push_text("h");
    push_key(true, SDL_SCANCODE_A, SDLK_a, KMOD_LCTRL);
    // Keys without text.
    for (SDL_Keycode k : {SDLK_ESCAPE, SDLK_TAB, SDLK_RETURN, SDLK_BACKSPACE, SDLK_LEFT,
                          SDLK_DOWN, SDLK_F1})
        push_key(true, SDL_GetScancodeFromKey(k), k);
    // A character composed after a dead key comes as text alone.
    push_text("\xc3\xaa");

    std::vector<Seen> want = {
        {0, evKeyPress, '+', 0},   {0, evKeyRelease, '+', 0}, {0, evKeyPress, '+', 0},
        {0, evKeyPress, '-', 0},   {0, evKeyPress, '^', 0},   {0, evKeyRelease, '^', 0},
        {0, evKeyPress, '`', 0},   {0, evKeyPress, 'h', 0},   {0, evKeyRepeat, 'h', 0},
        {0, evKeyPress, 'a', 0},   {0, evKeyPress, 27, 0},    {0, evKeyPress, 9, 0},
        {0, evKeyPress, 13, 0},    {0, evKeyPress, 8, 0},     {0, evKeyPress, GIIK_Left, 0},
        {0, evKeyPress, GIIK_Down, 0}, {0, evKeyPress, GIIK_F1, 0},
        {0, evKeyPress, 0xea, 0},  {0, evKeyRelease, 0xea, 0},
    };
    EXPECT_EQ(drain(v), want);
    ggiClose(v);
}

TEST_F(GgiWindow, AltEnterBelongsToTheWindow)
{
    ggi_visual_t v = open(":-scale=1");
    ASSERT_NE(v, nullptr);
    push_key(true, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    push_key(false, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    push_key(true, SDL_SCANCODE_RETURN, SDLK_RETURN);
    EXPECT_EQ(drain(v), (std::vector<Seen>{{0, evKeyPress, 13, 0}}));
    EXPECT_TRUE(SDL_GetWindowFlags(ggiLayerWindow(v)) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    ggiClose(v);
}

TEST_F(GgiWindow, PointerInModePixelsAndButtons)
{
    ggi_visual_t v = open(":-scale=2");
    ASSERT_NE(v, nullptr);
    push_motion(5, 3);
    push_motion(4, 2);     // the same mode pixel: nothing new
    push_motion(-7, 100);  // outside: pulled onto the picture
    push_button(true, SDL_BUTTON_RIGHT, 1, 3);  // where the last motion left it
    push_button(true, SDL_BUTTON_LEFT, 7, 0);   // elsewhere: the position first
    push_button(false, SDL_BUTTON_LEFT, 7, 0);
    push_button(true, SDL_BUTTON_MIDDLE, 7, 0);
    std::vector<Seen> want = {
        {0, evPtrAbsolute, 2, 1},      {0, evPtrAbsolute, 0, 1},
        {0, evPtrButtonPress, 2, 0},   {0, evPtrAbsolute, 3, 0},
        {0, evPtrButtonPress, 1, 0},   {0, evPtrButtonRelease, 1, 0},
        {0, evPtrButtonPress, 3, 0},
    };
    EXPECT_EQ(drain(v), want);
    ggiClose(v);
}

TEST_F(GgiWindow, ClosingTheWindowGivesAnEscapeEachFrame)
{
    ggi_visual_t v = open("");
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(drain(v).empty());
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    EXPECT_EQ(run_frames(v, 3), (std::vector<Seen>{{1, evKeyPress, 27, 0},
                                                   {2, evKeyPress, 27, 0},
                                                   {3, evKeyPress, 27, 0}}));
    EXPECT_EQ(ggiGetc(v), GIIUC_Escape);
    ggiClose(v);
}

TEST_F(GgiWindow, TheRandomSequenceStaysTheProgramsOwn)
{
    srand(7);
    int want[3] = {rand(), rand(), rand()};
    srand(7);
    ggi_visual_t v = open(":-scale=1");
    ASSERT_NE(v, nullptr);
    push_key(true, SDL_SCANCODE_H, SDLK_h);
    push_text("h");
    push_motion(1, 1);
    run_frames(v, 2);
    ggiFlush(v);
    ggiClose(v);
    for (int r : want)
        EXPECT_EQ(rand(), r);
}

TEST_F(GgiWindow, ScriptEventsBesideTheDevicesAreRecorded)
{
    std::string script = dir.file("in"), rec = dir.file("rec"), fin = dir.file("final.ppm");
    write_file(script, "0 keydown 'q'\n1 pos 1 1\n1 shot " + dir.file("shot.ppm") + "\n");
    ggi_visual_t v = open(":-scale=1:-events=" + script + ":-record=" + rec + ":-final=" + fin);
    ASSERT_NE(v, nullptr);
    ggi_color red = {0xff00, 0, 0, 0};
    ggiSetPalette(v, 0, 1, &red);
    ggiFlush(v);
    push_key(true, SDL_SCANCODE_W, SDLK_w);
    push_text("w");
    std::vector<Seen> got = run_frames(v, 2);
    push_key(false, SDL_SCANCODE_W, SDLK_w);
    std::vector<Seen> more = run_frames(v, 1);
    got.insert(got.end(), more.begin(), more.end());
    EXPECT_EQ(got, (std::vector<Seen>{{0, evKeyPress, 'q', 0},
                                      {0, evKeyPress, 'w', 0},
                                      {1, evPtrAbsolute, 1, 1},
                                      {2, evKeyRelease, 'w', 0}}));
    EXPECT_EQ(ppm_pixels(read_file(dir.file("shot.ppm")), 4, 2).substr(0, 3),
              std::string("\xff\x00\x00", 3));
    ggiClose(v);
    EXPECT_EQ(read_file(rec), "# input events as delivered: FRAME EVENT ARGUMENTS\n"
                              "0 keydown 'q'\n"
                              "0 keydown 'w'\n"
                              "1 pos 1 1\n"
                              "2 keyup 'w'\n");
    std::string red8;
    for (int i = 0; i < 8; i++)
        red8 += std::string("\xff\x00\x00", 3);
    EXPECT_EQ(ppm_pixels(read_file(fin), 4, 2), red8);
}

}  // namespace
