// The window target: the picture in an SDL2 window; keyboard and mouse as LibGII events.
#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "internal.h"

// Every call into SDL the window target makes.
// clang-format off
#define GGI_SDL_CALLS(X) \
    X(SDL_CreateRenderer) X(SDL_CreateTexture) X(SDL_CreateWindow) X(SDL_Delay) X(SDL_DestroyRenderer) \
    X(SDL_DestroyTexture) X(SDL_DestroyWindow) X(SDL_GL_GetProcAddress) X(SDL_GetCurrentVideoDriver) \
    X(SDL_GetDisplayUsableBounds) X(SDL_GetError) X(SDL_GetMouseFocus) X(SDL_GetMouseState) \
    X(SDL_GetPerformanceCounter) X(SDL_GetPerformanceFrequency) X(SDL_GetRendererInfo) \
    X(SDL_GetRendererOutputSize) X(SDL_GetWindowFlags) X(SDL_GetWindowPixelFormat) X(SDL_GetWindowSize) \
    X(SDL_HasEvent) X(SDL_InitSubSystem) X(SDL_LockTexture) X(SDL_PollEvent) X(SDL_Quit) X(SDL_QuitSubSystem) \
    X(SDL_RenderClear) X(SDL_RenderCopy) X(SDL_RenderFillRect) X(SDL_RenderPresent) X(SDL_SetHint) \
    X(SDL_SetRenderDrawBlendMode) X(SDL_SetRenderDrawColor) X(SDL_SetTextureBlendMode) \
    X(SDL_SetWindowFullscreen) X(SDL_SetWindowMouseRect) X(SDL_SetWindowSize) X(SDL_ShowCursor) \
    X(SDL_StartTextInput) X(SDL_StopTextInput) X(SDL_UnlockTexture) X(SDL_UpdateTexture) X(SDL_WaitEvent) \
    X(SDL_WaitEventTimeout)
// clang-format on

namespace ggi {

namespace {

// SDL is loaded when a window is first asked for, not with the program: a program on another
// target never pays for loading it and the fifty libraries it brings. Each call goes through
// a pointer of the function's own name, found when SDL is loaded.
#define GGI_SDL_POINTER(name) decltype(&::name) name = nullptr;
GGI_SDL_CALLS(GGI_SDL_POINTER)
#undef GGI_SDL_POINTER

// Loads SDL and finds its calls, once; false, with what failed on standard error, when it is
// not there.
bool load_sdl()
{
    static bool loaded = false;
    if (loaded)
        return true;
    void *lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (!lib) {
        std::fprintf(stderr, "ggi: cannot open a window: %s\n", dlerror());
        return false;
    }
#define GGI_SDL_FIND(name)                                                                                             \
    if (!(name = reinterpret_cast<decltype(name)>(dlsym(lib, #name)))) {                                               \
        std::fprintf(stderr, "ggi: cannot open a window: SDL has no %s\n", #name);                                     \
        return false;                                                                                                  \
    }
    GGI_SDL_CALLS(GGI_SDL_FIND)
#undef GGI_SDL_FIND
    loaded = true;
    return true;
}

// Device events kept unread at most; later ones are dropped, as from a full LibGII queue.
constexpr size_t MAX_QUEUED = 8192;
// Keys whose symbol is a character carry it in SDL's keycode below this.
constexpr SDL_Keycode LAST_CHARACTER = 0x10FFFF;
// The parts of an 8-bit picture that changed are found in bands of rows this high and
// columns this wide.
constexpr int BAND_ROWS = 8, BAND_COLUMNS = 32;
// How dark the shade over a paused picture is, from 0 (none) to 255 (black).
constexpr Uint8 PAUSE_SHADE = 128;
// "PAUSE" in letters of 5 x 5 cells, one string per row.
constexpr const char *PAUSE_TEXT[5] = {
    "####...###..#...#..####.#####", "#...#.#...#.#...#.#.....#....", "####..#####.#...#..###..####.",
    "#.....#...#.#...#.....#.#....", "#.....#...#..###..####..#####",
};

// Where two rows of n bytes first differ, eight bytes at a step; n when they do not.
int first_difference(const uint8_t *a, const uint8_t *b, int n)
{
    int i = 0;
    for (uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y)
            break;
    }
    while (i < n && a[i] == b[i])
        i++;
    return i;
}

// SDL's events belong to the process, so one window at a time serves them.
bool window_open = false;
// SDL_Quit is registered for the end of the process once.
bool quit_registered = false;

// Keys that produce no text and have a symbol of their own.
uint32_t special_symbol(SDL_Keycode key)
{
    switch (key) {
    case SDLK_ESCAPE:
        return GIIUC_Escape;
    case SDLK_TAB:
        return GIIUC_Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return GIIUC_Return;
    case SDLK_BACKSPACE:
        return GIIUC_BackSpace;
    case SDLK_DELETE:
        return 127;
    case SDLK_LEFT:
        return GIIK_Left;
    case SDLK_RIGHT:
        return GIIK_Right;
    case SDLK_UP:
        return GIIK_Up;
    case SDLK_DOWN:
        return GIIK_Down;
    default:
        if (key >= SDLK_F1 && key <= SDLK_F12)
            return GIIK_F1 + uint32_t(key - SDLK_F1);
        return 0;
    }
}

// The keypad's character keys: they produce text (digits only with Num Lock), and their
// keycodes are not characters.
uint32_t keypad_character(SDL_Keycode key)
{
    switch (key) {
    case SDLK_KP_PLUS:
        return '+';
    case SDLK_KP_MINUS:
        return '-';
    case SDLK_KP_MULTIPLY:
        return '*';
    case SDLK_KP_DIVIDE:
        return '/';
    default:
        return 0;
    }
}

bool keypad_key(SDL_Keycode key)
{
    return keypad_character(key) || (key >= SDLK_KP_1 && key <= SDLK_KP_PERIOD);
}

// The code points of a UTF-8 text; malformed bytes are skipped.
std::vector<uint32_t> code_points(const char *text)
{
    std::vector<uint32_t> out;
    const unsigned char *s = reinterpret_cast<const unsigned char *>(text);
    for (size_t n = std::strlen(text), used = 0; n > 0; s += used, n -= used) {
        uint32_t point;
        if (utf8_point(s, n, point, used))
            out.push_back(point);
        else if (used == 0)
            break;
    }
    return out;
}

// Whether the renderer draws through an OpenGL that the processor renders itself (Mesa's
// llvmpipe, softpipe or swrast, as on a virtual X server or a machine without a graphics
// driver).
bool processor_gl(SDL_Renderer *ren)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(ren, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    constexpr unsigned GL_RENDERER_NAME = 0x1F01;
    using GetString = const unsigned char *(*)(unsigned);
    auto get = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char *name = get ? reinterpret_cast<const char *>(get(GL_RENDERER_NAME)) : nullptr;
    if (!name)
        return false;
    for (const char *soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (std::strstr(name, soft))
            return true;
    return false;
}

struct SdlVisual final : PresentingVisual {
    SDL_Window *win = nullptr;
    SDL_Renderer *ren = nullptr;
    SDL_Texture *tex = nullptr;
    std::vector<uint32_t> shown;  // the frame last presented, ARGB, pic.w x pic.h
    std::vector<uint8_t> shown8;  // an 8-bit frame last presented, and its colours
    uint32_t shown_table[256] = {};
    bool software = false;              // SDL's own renderer: the processor scales and keeps the window's pixels
    bool texture_current = false;       // the texture holds shown8 through shown_table
    std::vector<bool> changed_columns;  // per band, the columns where a row changed
    std::vector<SDL_Rect> changed;      // the parts of the 8-bit picture that the present changed
    SDL_Rect drawn{};                   // where the last frame drawn whole or in parts put the picture; empty: none
    SDL_Rect dst{};                     // where the picture lies in the window
    SDL_Rect confined{};                // the area the pointer is confined to; empty when free
    bool cursor_hidden = false;
    bool key_paused = false;                // the Pause key holds the program until it is pressed again
    bool unfocused = false;                 // the window lost the input focus or was minimised
    bool closing = false;                   // the window was closed: nothing holds the program any more
    std::bitset<256> buttons;               // pointer buttons delivered pressed and not yet released
    Pacer pacer;                            // holds the frames to their pace
    int32_t last_x = -1, last_y = -1;       // the pointer position delivered last
    uint32_t held[SDL_NUM_SCANCODES] = {};  // symbol each held key was delivered with

    // A key press that waits for the text it produces; SDL sends the text right after it.
    struct {
        bool active = false;
        SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN;
        SDL_Keycode key = 0;
        bool repeat = false;
    } pending;

    ~SdlVisual() override { close_target(); }

    // The largest whole scale that fits nine tenths of the desktop.
    int default_scale(int w, int h)
    {
        SDL_Rect b;
        if (SDL_GetDisplayUsableBounds(0, &b) != 0)
            return 1;
        return std::max(1, std::min(b.w * 9 / 10 / w, b.h * 9 / 10 / h));
    }

    int set_mode(int w, int h, ggi_graphtype type) override
    {
        int scale = opt.scale ? opt.scale : default_scale(w, h);
        if (!win) {
            const char *title = program_invocation_short_name;
            Uint32 flags = SDL_WINDOW_RESIZABLE;
            if (opt.fullscreen)
                flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
            win = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w * scale, h * scale, flags);
            if (!win) {
                std::fprintf(stderr, "ggi: cannot open a window: %s\n", SDL_GetError());
                return -1;
            }
            ren = window_renderer(win);
            if (!ren) {
                std::fprintf(stderr, "ggi: cannot draw into the window: %s\n", SDL_GetError());
                SDL_DestroyWindow(win);
                win = nullptr;
                return -1;
            }
            SDL_RendererInfo info;
            software = SDL_GetRendererInfo(ren, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
        } else if (!(SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN)) {
            SDL_SetWindowSize(win, w * scale, h * scale);
        }
        if (tex)
            SDL_DestroyTexture(tex);
        texture_current = false;
        tex = SDL_CreateTexture(ren, picture_format(ren, win), SDL_TEXTUREACCESS_STREAMING, w, h);
        if (!tex) {
            std::fprintf(stderr, "ggi: cannot make the picture's texture: %s\n", SDL_GetError());
            pic = Picture();
            return -1;
        }
        // The picture is opaque: copied, not blended, which spares the renderer the
        // per-pixel blend its alpha channel would otherwise ask for.
        SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_NONE);
        picture_set(pic, w, h, type);
        present();
        return 0;
    }

    SDL_Window *window() override { return win; }

    // The whole picture into ARGB through the palette as it stands, one texture update,
    // then the frame. An 8-bit picture is kept as it was shown, with its colours, and
    // expanded straight into the texture. SDL's own renderer scales on the processor, most
    // of a frame's cost: there only the parts that changed are expanded and drawn anew.
    void present() override
    {
        const size_t n = static_cast<size_t>(pic.w) * pic.h;
        const uint8_t *s = pic.px.data();
        if (pic.bpp == 1) {
            uint32_t table[256];
            argb_table(pic.palette, table);
            if (software && texture_current && shown8.size() == n && std::equal(table, table + 256, shown_table) &&
                update_changes()) {
                render(&changed);
                pacer.wait();
                return;
            }
            std::copy(table, table + 256, shown_table);
            shown8.assign(pic.px.begin(), pic.px.end());
            if (!texture_8bit(tex, s, pic.w, pic.h, shown_table)) {
                shown.resize(n);
                expand8(s, n, shown_table, shown.data());
                SDL_UpdateTexture(tex, nullptr, shown.data(), pic.w * 4);
            }
            texture_current = true;
            render();
            pacer.wait();
            return;
        }
        texture_current = false;
        shown.resize(n);
        switch (pic.bpp) {
        case 2:
            for (size_t i = 0; i < n; i++) {
                unsigned v = s[2 * i] | s[2 * i + 1] << 8;
                unsigned r = v >> 11, g = (v >> 5) & 63, b = v & 31;
                shown[i] = 0xFF000000u | (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
            }
            break;
        case 3:
            for (size_t i = 0; i < n; i++)
                shown[i] = 0xFF000000u | uint32_t(s[3 * i + 2]) << 16 | uint32_t(s[3 * i + 1]) << 8 | s[3 * i];
            break;
        }
        SDL_UpdateTexture(tex, nullptr, shown.data(), pic.w * 4);
        render();
        pacer.wait();
    }

    // The parts of the 8-bit picture that differ from the one shown, in bands of rows and
    // columns, into `changed`; the picture becomes the one shown and its parts go into the
    // texture. False when the texture could not be locked: nothing has changed then.
    bool update_changes()
    {
        changed.clear();
        const int w = pic.w, h = pic.h, columns = (w + BAND_COLUMNS - 1) / BAND_COLUMNS;
        const uint8_t *now = pic.px.data();
        uint8_t *was = shown8.data();
        void *pixels = nullptr;
        int pitch = 0;
        std::vector<bool> &column = changed_columns;
        column.resize(static_cast<size_t>(columns));
        for (int top = 0; top < h; top += BAND_ROWS) {
            const int rows = std::min(BAND_ROWS, h - top);
            // The band's columns where any of its rows changed.
            std::fill(column.begin(), column.end(), false);
            bool any = false;
            for (int y = top; y < top + rows; y++) {
                const uint8_t *a = now + size_t(y) * w, *b = was + size_t(y) * w;
                for (int x = first_difference(a, b, w); x < w;) {
                    column[size_t(x / BAND_COLUMNS)] = any = true;
                    x = (x / BAND_COLUMNS + 1) * BAND_COLUMNS;
                    x = x < w ? x + first_difference(a + x, b + x, w - x) : w;
                }
            }
            if (!any)
                continue;
            if (!pixels && SDL_LockTexture(tex, nullptr, &pixels, &pitch) != 0)
                return false;
            for (int c = 0; c < columns; c++) {
                if (!column[size_t(c)])
                    continue;
                int end = c + 1;
                while (end < columns && column[size_t(end)])
                    end++;
                const int left = c * BAND_COLUMNS, width = std::min(w, end * BAND_COLUMNS) - left;
                for (int y = top; y < top + rows; y++) {
                    std::memcpy(was + size_t(y) * w + left, now + size_t(y) * w + left, size_t(width));
                    expand8(now + size_t(y) * w + left, size_t(width), shown_table,
                            reinterpret_cast<uint32_t *>(static_cast<uint8_t *>(pixels) + size_t(y) * pitch) + left);
                }
                changed.push_back(SDL_Rect{left, top, width, rows});
                c = end;
            }
        }
        if (pixels)
            SDL_UnlockTexture(tex);
        return true;
    }

    // The picture as large as whole-number scaling allows, centred on black; a window
    // smaller than the picture shrinks it as a whole. With `parts`, where the window still
    // holds the last frame at the same place and whole scale, only those parts are drawn.
    void render(const std::vector<SDL_Rect> *parts = nullptr)
    {
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(ren, &ow, &oh);
        int dw, dh;
        if (ow >= pic.w && oh >= pic.h) {
            int s = std::min(ow / pic.w, oh / pic.h);
            dw = pic.w * s;
            dh = pic.h * s;
        } else {
            double f = std::min(double(ow) / pic.w, double(oh) / pic.h);
            dw = std::max(1, int(pic.w * f));
            dh = std::max(1, int(pic.h * f));
        }
        dst = SDL_Rect{(ow - dw) / 2, (oh - dh) / 2, dw, dh};
        const int scale = dw / pic.w;
        if (parts && !paused() && SDL_RectEquals(&dst, &drawn) && dw == pic.w * scale && dh == pic.h * scale) {
            for (const SDL_Rect &p : *parts) {
                const SDL_Rect to{dst.x + p.x * scale, dst.y + p.y * scale, p.w * scale, p.h * scale};
                SDL_RenderCopy(ren, tex, &p, &to);
            }
            SDL_RenderPresent(ren);
            update_grab();
            return;
        }
        // Black shows only round a picture that does not fill the window.
        if (dst.x > 0 || dst.y > 0 || dst.w < ow || dst.h < oh) {
            SDL_SetRenderDrawColor(ren, 0, 0, 0, 255);
            SDL_RenderClear(ren);
        }
        SDL_RenderCopy(ren, tex, nullptr, &dst);
        // What is drawn over the picture, or a window whose pixels do not last, leaves
        // nothing to build the next frame on.
        drawn = software && !paused() ? dst : SDL_Rect{};
        if (paused())
            draw_pause();
        SDL_RenderPresent(ren);
        update_grab();
    }

    // The paused picture: shaded, "PAUSE" in the middle. Drawn over the window only; the
    // picture itself, its shots and recordings never see it.
    void draw_pause()
    {
        SDL_SetRenderDrawBlendMode(ren, SDL_BLENDMODE_BLEND);
        SDL_SetRenderDrawColor(ren, 0, 0, 0, PAUSE_SHADE);
        SDL_RenderFillRect(ren, &dst);
        SDL_SetRenderDrawBlendMode(ren, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(ren, 255, 255, 255, 255);
        const int cell = std::max(1, dst.h / 200);
        const int cols = int(std::strlen(PAUSE_TEXT[0]));
        const int x0 = dst.x + (dst.w - cols * cell) / 2, y0 = dst.y + (dst.h - 5 * cell) / 2;
        for (int r = 0; r < 5; r++)
            for (int c = 0; c < cols; c++)
                if (PAUSE_TEXT[r][c] == '#') {
                    SDL_Rect px{x0 + c * cell, y0 + r * cell, cell, cell};
                    SDL_RenderFillRect(ren, &px);
                }
    }

    // A pause holds the program: by the Pause key, or while the window has no focus unless
    // -nopause asked to run on.
    bool paused() const { return !closing && (key_paused || (unfocused && !opt.nopause)); }

    // The pointer is confined to the picture, so that pushing against an edge reaches its
    // pixels, only while the program runs in the focused window; otherwise it is free.
    void update_grab()
    {
        const bool grab = !opt.nograb && !unfocused && !paused() && dst.w > 0 && dst.h > 0;
        if (grab && !SDL_RectEquals(&dst, &confined)) {
            SDL_SetWindowMouseRect(win, &dst);
            confined = dst;
        } else if (!grab && !SDL_RectEmpty(&confined)) {
            SDL_SetWindowMouseRect(win, nullptr);
            confined = SDL_Rect{};
        }
    }

    // The pointer set free: unconfined and shown.
    void release_pointer()
    {
        update_grab();
        if (cursor_hidden) {
            SDL_ShowCursor(SDL_ENABLE);
            cursor_hidden = false;
        }
    }

    bool shown_rgb(std::vector<uint8_t> &rgb, int &w, int &h) override
    {
        if (!has_mode())
            return false;
        const bool acht = pic.bpp == 1;
        const size_t n = acht ? shown8.size() : shown.size();
        rgb.resize(n * 3);
        for (size_t i = 0; i < n; i++) {
            const uint32_t p = acht ? shown_table[shown8[i]] : shown[i];
            rgb[3 * i] = uint8_t(p >> 16);
            rgb[3 * i + 1] = uint8_t(p >> 8);
            rgb[3 * i + 2] = uint8_t(p);
        }
        w = pic.w;
        h = pic.h;
        return true;
    }

    void push(const gii_event &ev)
    {
        if (in.queue.size() < MAX_QUEUED)
            in.queue.push_back(ev);
    }

    // Where a key's delivered symbol is kept; pushed events may carry any scancode.
    uint32_t &held_for(SDL_Scancode sc) { return held[sc > 0 && sc < SDL_NUM_SCANCODES ? sc : 0]; }

    void deliver_key(bool repeat, SDL_Scancode sc, uint32_t sym)
    {
        held_for(sc) = sym;
        push(key_event(repeat ? evKeyRepeat : evKeyPress, sym));
    }

    // A key press that produced no text: its character from the keycode. The key left of
    // 1 is a dead key on layouts that put '^' there, which the game's editor key needs.
    void resolve_pending()
    {
        if (!pending.active)
            return;
        pending.active = false;
        uint32_t sym = 0;
        if (pending.scancode == SDL_SCANCODE_GRAVE) {
            sym = '^';
            // The input method still holds the dead key and would fold it into the next
            // key's character; the '^' has been given, so the composition is dropped.
            // Stopping text input also drops queued text, so not while any is queued.
            if (!SDL_HasEvent(SDL_TEXTINPUT)) {
                SDL_StopTextInput();
                SDL_StartTextInput();
            }
        } else if (uint32_t k = keypad_character(pending.key))
            sym = k;
        else if (pending.key >= ' ' && pending.key != 127 && pending.key <= LAST_CHARACTER)
            sym = uint32_t(pending.key);
        if (sym)
            deliver_key(pending.repeat, pending.scancode, sym);
    }

    void key_down(const SDL_KeyboardEvent &k)
    {
        resolve_pending();
        const SDL_Keycode key = k.keysym.sym;
        const SDL_Scancode sc = k.keysym.scancode;
        if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && (k.keysym.mod & KMOD_ALT)) {
            // The layer's own key: the program sees neither its press nor its release.
            if (!k.repeat)
                SDL_SetWindowFullscreen(
                    win, (SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN) ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
            held_for(sc) = 0;
            return;
        }
        if (key == SDLK_PAUSE) {
            // The layer's own key too.
            if (!k.repeat)
                key_paused = !key_paused;
            held_for(sc) = 0;
            return;
        }
        // A pause drops new presses; the releases of keys held before it still come.
        if (paused())
            return;
        if (uint32_t s = special_symbol(key)) {
            deliver_key(k.repeat, sc, s);
            return;
        }
        if ((key >= 0 && key <= LAST_CHARACTER) || keypad_key(key))
            pending = {true, sc, key, k.repeat != 0};
    }

    // Text belongs to the key press before it. Text without one (a character composed
    // after a dead key) is a press and release of its own; with several characters, the
    // key's is the last.
    void text(const char *t)
    {
        std::vector<uint32_t> cps = code_points(t);
        // Key symbols are 16 bits wide; a character past them would reach the program as
        // another one.
        std::erase_if(cps, [](uint32_t c) { return c > 0xFFFF; });
        if (cps.empty() || paused())
            return;
        size_t own = pending.active ? cps.size() - 1 : cps.size();
        for (size_t i = 0; i < own; i++) {
            push(key_event(evKeyPress, cps[i]));
            push(key_event(evKeyRelease, cps[i]));
        }
        if (pending.active) {
            pending.active = false;
            deliver_key(pending.repeat, pending.scancode, cps.back());
        }
    }

    void key_up(const SDL_KeyboardEvent &k)
    {
        resolve_pending();
        SDL_Scancode sc = k.keysym.scancode;
        if (uint32_t &sym = held_for(sc)) {
            push(key_event(evKeyRelease, sym));
            sym = 0;
        }
    }

    // A window position in mode pixels, pulled onto the picture from the borders.
    void to_mode(int x, int y, int32_t &mx, int32_t &my)
    {
        if (dst.w <= 0 || dst.h <= 0) {
            mx = my = 0;
            return;
        }
        mx = int32_t(std::floor(double(x - dst.x) * pic.w / dst.w));
        my = int32_t(std::floor(double(y - dst.y) * pic.h / dst.h));
        mx = std::clamp<int32_t>(mx, 0, pic.w - 1);
        my = std::clamp<int32_t>(my, 0, pic.h - 1);
    }

    // Positions beyond the window (a drag that left it) are not delivered: the program's
    // pointer stays where it was last seen inside, and its edge scrolling answers only to
    // the window's own edges.
    void pointer_at(int x, int y)
    {
        int32_t mx, my;
        to_mode(x, y, mx, my);
        bool inside = x >= dst.x && x < dst.x + dst.w && y >= dst.y && y < dst.y + dst.h;
        if (inside != cursor_hidden) {
            SDL_ShowCursor(inside ? SDL_DISABLE : SDL_ENABLE);
            cursor_hidden = inside;
        }
        int ww = 0, wh = 0;
        SDL_GetWindowSize(win, &ww, &wh);
        if (x < 0 || y < 0 || x >= ww || y >= wh)
            return;
        if (mx != last_x || my != last_y) {
            last_x = mx;
            last_y = my;
            push(move_event(evPtrAbsolute, mx, my));
        }
    }

    void button(const SDL_MouseButtonEvent &b, uint8_t type)
    {
        resolve_pending();
        uint32_t n;
        switch (b.button) {
        case SDL_BUTTON_LEFT:
            n = GII_PBUTTON_LEFT;
            break;
        case SDL_BUTTON_RIGHT:
            n = GII_PBUTTON_RIGHT;
            break;
        case SDL_BUTTON_MIDDLE:
            n = GII_PBUTTON_MIDDLE;
            break;
        default:
            n = b.button;
            break;
        }
        // A release comes only after its press, so that a press dropped in a pause (or
        // made in another window) gives the program no click; a button held into a pause
        // is still let go, and no drag is left open.
        if (type == evPtrButtonPress) {
            if (paused())
                return;
            pointer_at(b.x, b.y);
            buttons.set(n);
        } else {
            if (!buttons.test(n))
                return;
            if (!paused())
                pointer_at(b.x, b.y);
            buttons.reset(n);
        }
        push(button_event(type, n));
    }

    // Closing the window ends the program by its own path: Escape from this frame on.
    void close_requested()
    {
        closing = true;
        escapes_from_now(in);
    }

    void handle(const SDL_Event &e)
    {
        switch (e.type) {
        case SDL_QUIT:
            close_requested();
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                close_requested();
                break;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                if (tex && has_mode())
                    render();
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
            case SDL_WINDOWEVENT_MINIMIZED:
                resolve_pending();
                unfocused = true;
                release_pointer();
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                unfocused = false;
                update_grab();
                break;
            }
            break;
        case SDL_KEYDOWN:
            key_down(e.key);
            break;
        case SDL_TEXTINPUT:
            text(e.text.text);
            break;
        case SDL_KEYUP:
            key_up(e.key);
            break;
        case SDL_MOUSEMOTION:
            if (paused())
                break;
            resolve_pending();
            pointer_at(e.motion.x, e.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
            button(e.button, evPtrButtonPress);
            break;
        case SDL_MOUSEBUTTONUP:
            button(e.button, evPtrButtonRelease);
            break;
        }
    }

    void pump() override
    {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            handle(e);
        resolve_pending();
        if (paused())
            hold();
    }

    // A pause: the program stays in its event poll, so no frame passes and nothing is
    // delivered, while the window answers moves, resizes, Alt+Enter and closing.
    void hold()
    {
        release_pointer();
        if (tex && has_mode())
            render();
        SDL_Event e;
        while (paused() && SDL_WaitEvent(&e))
            handle(e);
        if (closing)
            return;
        // The picture as it was, for a program that shows nothing new before its next key.
        if (tex && has_mode())
            render();
        // The pointer's moves in the pause were dropped; the program learns where it is now.
        if (SDL_GetMouseFocus() == win) {
            int x, y;
            SDL_GetMouseState(&x, &y);
            pointer_at(x, y);
        }
    }

    bool has_devices() const override { return true; }
    void wait_devices(int ms) override { SDL_WaitEventTimeout(nullptr, ms); }

    void close_target() override
    {
        if (tex)
            SDL_DestroyTexture(tex);
        if (ren)
            SDL_DestroyRenderer(ren);
        if (win)
            SDL_DestroyWindow(win);
        if (window_open)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        tex = nullptr;
        ren = nullptr;
        win = nullptr;
        window_open = false;
    }
};

}  // namespace

void argb_table(const ggi_color palette[256], uint32_t table[256])
{
    for (int i = 0; i < 256; i++) {
        const ggi_color &c = palette[i];
        table[i] = 0xFF000000u | uint32_t(c.r >> 8) << 16 | uint32_t(c.g >> 8) << 8 | uint32_t(c.b >> 8);
    }
}

bool texture_8bit(SDL_Texture *tex, const uint8_t *px, int w, int h, const uint32_t table[256])
{
    if (!load_sdl())
        return false;
    void *pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(tex, nullptr, &pixels, &pitch) != 0)
        return false;
    if (pitch == w * 4) {
        expand8(px, size_t(w) * h, table, static_cast<uint32_t *>(pixels));
    } else {
        for (int y = 0; y < h; y++)
            expand8(px + size_t(y) * w, size_t(w), table,
                    reinterpret_cast<uint32_t *>(static_cast<uint8_t *>(pixels) + size_t(y) * pitch));
    }
    SDL_UnlockTexture(tex);
    return true;
}

SDL_Renderer *window_renderer(SDL_Window *win)
{
    if (!load_sdl())
        return nullptr;
    SDL_Renderer *ren = SDL_CreateRenderer(win, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (ren && processor_gl(ren)) {
        // An OpenGL drawn by the processor costs several times what SDL's own software
        // renderer does for the same picture, on the window's own frame buffer rather than
        // on a texture of that OpenGL.
        SDL_DestroyRenderer(ren);
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        ren = nullptr;
    }
    if (!ren)
        ren = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
    return ren;
}

uint32_t picture_format(SDL_Renderer *ren, SDL_Window *win)
{
    // SDL's software renderer scales a texture in the window's own format with a plain copy,
    // any other one pixel by pixel through a conversion. XRGB8888 is ARGB8888 with the alpha
    // byte unused, so the same pixels serve.
    SDL_RendererInfo info;
    if (load_sdl() && SDL_GetRendererInfo(ren, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) &&
        SDL_GetWindowPixelFormat(win) == SDL_PIXELFORMAT_RGB888)
        return SDL_PIXELFORMAT_RGB888;
    return SDL_PIXELFORMAT_ARGB8888;
}

ggi_visual *open_sdl(const Options &opt)
{
    if (window_open) {
        std::fprintf(stderr, "ggi: display-sdl: only one window can be open at a time\n");
        return nullptr;
    }
    if (!load_sdl())
        return nullptr;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "ggi: cannot open a window: %s\n", SDL_GetError());
        return nullptr;
    }
    // Where no display server answers, SDL falls back to drivers that show nothing; a game
    // running there unseen until it is killed helps nobody, unless that was asked for.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if ((driver == "offscreen" || driver == "dummy") && !opt.offscreen) {
        const char *x = std::getenv("DISPLAY"), *wayland = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr,
                     "ggi: display-sdl: no window can be shown on DISPLAY=%s WAYLAND_DISPLAY=%s "
                     "(SDL found only its '%s' driver, which shows nothing); add -offscreen to "
                     "run without a window on purpose, or use GGI_DISPLAY=memory\n",
                     x ? x : "(unset)", wayland ? wayland : "(unset)", driver.c_str());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    if (!quit_registered) {
        std::atexit(SDL_Quit);
        quit_registered = true;
    }
    window_open = true;
    auto *v = new SdlVisual;
    if (!open_common(v, opt)) {
        finish(v);
        delete v;
        return nullptr;
    }
    SDL_StartTextInput();
    return v;
}

}  // namespace ggi
