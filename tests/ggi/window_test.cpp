// The window on SDL's offscreen driver: pictures scaled through the palette, keys and pointer, closing, scripts.
#include <SDL2/SDL.h>
#include <ggi/layer.h>
#include <ggi/testing.h>

#include "support.h"

namespace {

using Rows = std::vector<std::string>;
const Uint32 D = SDL_KEYDOWN, U = SDL_KEYUP, T = SDL_TEXTINPUT, M = SDL_MOUSEMOTION, P = SDL_MOUSEBUTTONDOWN;

// The game's event step, `frames` times: read while a zero-timeout poll finds something.
void Frames(ggi_visual_t v, int frames = 1)
{
    struct timeval zero = {0, 0};
    gii_event e;
    for (int f = 0; f < frames; f++)
        for (int n = 0; n < 64 && ggiEventPoll(v, emAll, &zero); n++)
            ggiEventRead(v, &e, emAll);
}

struct Key {
    Uint32 type;
    SDL_Keycode key;
    const char *text = "";
    Uint16 mod = 0;
    Uint8 repeat = 0;
};

// Keys as SDL queues them: pressed (D), each followed by the text it produces, released (U), or text alone (T).
void Keys(std::initializer_list<Key> keys)
{
    for (const Key &k : keys) {
        SDL_Event e{.key = {k.type, 0, 0, 0, k.repeat, 0, 0, {SDL_GetScancodeFromKey(k.key), k.key, k.mod, 0}}};
        SDL_Event text{.text = {T, 0, 0, {}}};
        SDL_strlcpy(text.text.text, k.text, sizeof text.text.text);
        if (k.type != T)
            SDL_PushEvent(&e);
        if (*k.text)
            SDL_PushEvent(&text);
    }
}

// Pointer motions (M), button presses (P) and releases: type, x, y, SDL's button (1 left, 2 middle, 3 right).
void Mouse(std::initializer_list<std::array<int, 4>> events)
{
    for (auto [type, x, y, button] : events) {
        SDL_Event e{.button = {Uint32(type), 0, 0, 0, Uint8(button), 0, 0, 0, x, y}};
        if (Uint32(type) == M)
            e.motion = {M, 0, 0, 0, 0, x, y, 0, 0};
        SDL_PushEvent(&e);
    }
}

// The window as last drawn, a string a row, each pixel its colour's character ('?': none of these).
Rows Window(ggi_visual_t v)
{
    const std::map<uint32_t, char> legend{{0, '.'}, {0xff0000, '1'}, {0x8000, '2'}, {0x12569a, '3'}, {0xffffff, '#'}};
    int w = 0, h = 0;
    SDL_GetWindowSize(ggiLayerWindow(v), &w, &h);
    std::vector<uint32_t> px(size_t(w) * h);
    SDL_RenderReadPixels(SDL_GetRenderer(ggiLayerWindow(v)), nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(), w * 4);
    Rows rows(h);
    for (size_t i = 0; i < px.size(); i++)
        rows[i / w] += legend.count(px[i] & 0xffffff) ? legend.at(px[i] & 0xffffff) : '?';
    return rows;
}

class GgiWindow : public testing::Test {
protected:
    // SDL's offscreen driver and its own software renderer: no graphics library is loaded to outlive the test.
    void SetUp() override
    {
        env.Set("SDL_VIDEODRIVER", "offscreen");
        env.Set("SDL_RENDER_DRIVER", "software");
        env.Set("SDL_FRAMEBUFFER_ACCELERATION", "0");
        ggiInit();
    }
    void TearDown() override { ggiExit(); }

    // A window with this event script and a 4 x 2 picture of 8 bits, recording what it delivers.
    ggi_visual_t Open(const std::string &display, const std::string &script = "")
    {
        test::Write(File("in"), script);
        ggi_visual_t v = ggiOpen((display + ":-offscreen:-events=" + File("in") + ":-record=" + File("rec")).c_str());
        return ggiSetGraphMode(v, 4, 2, 4, 2, GT_8BIT) == 0 ? v : nullptr;
    }
    std::string Delivered() const
    {
        const std::string r = test::Read(File("rec"));
        return r.substr(r.find('\n') + 1);
    }
    std::string File(const std::string &name) const { return (dir / name).string(); }

    test::Env env;
    test::Folder dir;
};

// Each present expands the whole 8-bit picture through the palette, scaled by whole numbers, centred on black
// in a resized window. The pointer in its pixels, pulled in from the border, once a pixel; buttons after it. A key
// gives the character it produces with its modifiers, or the layer's code; text without a key is a press and
// release of its own. Alt+Enter belongs to the layer. Closing gives an Escape each frame, never two waiting.
TEST_F(GgiWindow, PicturesPointerAndKeys)
{
    ggi_visual_t v = Open("x:-scale=2");
    const ggi_color pal[4] = {{}, {0xff00, 0, 0, 0}, {0, 0x80ff, 0, 0}, {0x1234, 0x5678, 0x9abc, 0}};
    ggiSetPalette(v, 0, 4, pal);
    const uint8_t picture[8] = {0, 1, 2, 3, 3, 2, 1, 0};
    ggiPutBox(v, 0, 0, 4, 2, picture);
    ggiSetPalette(v, 3, 1, std::array{ggi_color{0xffff, 0xffff, 0xffff, 0}}.data());  // white
    ggiPutBox(v, 0, 0, 1, 1, &picture[1]);
    EXPECT_EQ(Window(v), (Rows{"..112233", "..112233", "332211..", "332211.."}));  // waiting for a whole box or a flush
    ggiFlush(v);
    EXPECT_EQ(Window(v), (Rows{"111122##", "111122##", "##2211..", "##2211.."}));
    SDL_SetWindowSize(ggiLayerWindow(v), 14, 7);  // three times, a column to spare each side
    Frames(v);                                    // drawn anew at once
    const std::string top = ".111111222###.", bottom = ".###222111....";
    EXPECT_EQ(Window(v), (Rows{top, top, top, bottom, bottom, bottom, std::string(14, '.')}));
    EXPECT_TRUE(SDL_RectEquals(SDL_GetWindowMouseRect(ggiLayerWindow(v)), std::array{SDL_Rect{1, 0, 12, 6}}.data()));
    Mouse({{M, 12, 5}, {M, 3, 2}, {M, 1, 0}});  // (1, 0): the pixel of (3, 2), the first column
    Frames(v);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);  // hidden over the picture
    Mouse({{M, 13, 6}, {P, 13, 6, 3}, {P, 0, 3, 1}, {SDL_MOUSEBUTTONUP, 0, 3, 1}, {P, 0, 3, 2}});
    Frames(v);
    ASSERT_EQ(ggiSetGraphMode(v, 3, 1, 3, 1, GT_16BIT), 0);  // as the viewer may
    ggiSetGCForeground(v, ggiMapColor(v, std::array{ggi_color{0xffff, 0xffff, 0xffff, 0}}.data()));
    ggiFillscreen(v);
    ggiFlush(v);
    EXPECT_EQ(Window(v), (Rows{"######", "######"}));                          // the window sized anew
    Keys({{D, SDLK_RETURN, "", KMOD_LALT}, {U, SDLK_RETURN, "", KMOD_LALT}});  // the layer's: full screen
    Keys({{D, SDLK_LSHIFT, "", KMOD_LSHIFT}, {D, SDLK_EQUALS, "+", KMOD_LSHIFT}, {U, SDLK_LSHIFT}, {U, SDLK_EQUALS}});
    Keys({{U, SDLK_EQUALS}, {D, SDLK_KP_PLUS, "+"}, {D, SDLK_KP_MINUS}, {D, SDLK_BACKQUOTE}, {U, SDLK_BACKQUOTE}});
    Keys({{D, SDLK_BACKQUOTE, "`"}, {D, SDLK_h, "h"}, {D, SDLK_h, "h", 0, 1}, {D, SDLK_a, "", KMOD_LCTRL}});
    Keys({{D, SDLK_SPACE, "", KMOD_LCTRL}, {D, SDLK_ESCAPE}, {D, SDLK_TAB}, {D, SDLK_RETURN}, {D, SDLK_BACKSPACE}});
    Keys({{D, SDLK_DELETE}});
    Keys({{D, SDLK_LEFT}, {D, SDLK_DOWN}, {D, SDLK_F1}, {D, SDLK_F12}, {D, SDLK_e, "`e"}, {SDL_QUIT, 0}});
    Keys({{T, 0, "\xc3\xaa\xe2\x82\xac\xf0\x9f\x98\x80"}, {T, 0, "\x80\xc3z"}});  // text alone, a byte astray
    Frames(v, 2);
    EXPECT_TRUE(SDL_GetWindowFlags(ggiLayerWindow(v)) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(Delivered(),
              "1 pos 3 1\n1 pos 0 0\n2 pos 3 1\n2 down 2\n2 pos 0 1\n2 down 1\n2 up 1\n2 down 3\n"
              "3 keydown '+'\n3 keyup '+'\n3 keydown '+'\n3 keydown '-'\n3 keydown '^'\n3 keyup '^'\n"
              "3 keydown '`'\n3 keydown 'h'\n3 keyrepeat 'h'\n3 keydown 'a'\n3 keydown 32\n"
              "3 keydown 27\n3 keydown 9\n3 keydown 13\n3 keydown 8\n3 keydown 127\n3 keydown 57394\n"
              "3 keydown 57397\n3 keydown 57601\n3 keydown 57612\n3 keydown '`'\n3 keyup '`'\n3 keydown 'e'\n"
              "3 keydown 234\n3 keyup 234\n3 keydown 8364\n3 keyup 8364\n3 keydown 'z'\n3 keyup 'z'\n"
              "4 keydown 27\n");  // a character past 16 bits is dropped
}

// palemu on DISPLAY's window: script and devices side by side, recorded; shots converted. Closing:
// Escapes before -frames; a wait counts a frame each frame's time. Unnamed, WAYLAND_DISPLAY means a window too,
// which a driver that shows nothing cannot give unless asked.
// SDL's own renderer draws anew only the parts of a picture that changed: the window still shows each one whole.
TEST_F(GgiWindow, ChangedPartsReachTheWindow)
{
    ggi_visual_t v = Open("x:-scale=2");
    ASSERT_EQ(ggiSetGraphMode(v, 130, 20, 130, 20, GT_8BIT), 0);  // bands of 8 rows and 32 columns, both cut short
    const ggi_color pal[4] = {{}, {0xff00, 0, 0, 0}, {0, 0x80ff, 0, 0}, {0x1234, 0x5678, 0x9abc, 0}};
    ggiSetPalette(v, 0, 4, pal);
    std::vector<uint8_t> picture(130 * 20, 0);
    std::mt19937 random(7);
    for (int frame = 0; frame < 40; frame++) {
        for (int i = frame % 4; i > 0; i--)  // none at all every fourth frame
            picture[random() % picture.size()] = uint8_t(random() % 4);
        ggiPutBox(v, 0, 0, 130, 20, picture.data());
        Rows soll(40);
        for (int y = 0; y < 40; y++)
            for (int x = 0; x < 260; x++)
                soll[y] += ".123"[picture[y / 2 * 130 + x / 2]];
        ASSERT_EQ(Window(v), soll) << "frame " << frame;
    }
}

TEST_F(GgiWindow, ScriptBesideTheDevicesThroughPalemu)
{
    env.Set("GGI_DISPLAY", "palemu:-frames=50");
    env.Set("DISPLAY", ":5");
    ggi_visual_t v = Open("display-palemu", "0 keydown 'q'\n1 pos 1 1\n1 shot " + File("shot.ppm") + "\n");
    ggiSetPalette(v, 0, 1, std::array{ggi_color{0, 0, 0xff00, 0}}.data());  // blue
    ggiFlush(v);
    Keys({{D, SDLK_w, "w"}, {U, SDLK_w}});
    SDL_Event close{.window = {SDL_WINDOWEVENT, 0, 0, SDL_WINDOWEVENT_CLOSE, 0, 0, 0, 0, 0}};
    SDL_PushEvent(&close);
    Frames(v, 2);
    EXPECT_EQ(ggiGetc(v) + ggiGetc(v), 2 * GIIUC_Escape);  // the second after a frame's wait
    testing::internal::CaptureStderr();
    EXPECT_EQ(ggiOpen("display-x", nullptr), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ggi: display-sdl: only one window can be open at a time\n");
    ggiClose(v);
    EXPECT_EQ(Delivered(), "0 keydown 'q'\n0 keydown 'w'\n0 keyup 'w'\n0 keydown 27\n1 pos 1 1\n1 keydown 27\n"
                           "2 keydown 27\n3 keydown 27\n");
    EXPECT_EQ(test::Read(File("shot.ppm")).substr(0, 14), std::string("P6\n4 2\n255\n\0\0\xff", 14));
    env.Set("GGI_DISPLAY", {});
    env.Set("DISPLAY", {});
    env.Set("WAYLAND_DISPLAY", "wayland-5");
    // The window it means is refused here: SDL's offscreen driver shows nothing, and nobody asked for that.
    testing::internal::CaptureStderr();
    EXPECT_EQ(ggiOpen(nullptr), nullptr);
    EXPECT_TRUE(testing::internal::GetCapturedStderr().starts_with(
        "ggi: display-sdl: no window can be shown on DISPLAY=(unset) WAYLAND_DISPLAY=wayland-5 (SDL found only its "
        "'offscreen' driver"));
}

}  // namespace
