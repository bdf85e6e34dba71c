// The browser build's target: the picture in the page's <canvas>, keyboard and mouse from the page.
//
// The program's loop stays a blocking loop: each frame shown, and each wait for an event, gives
// the page its turn (emscripten_sleep, which the build turns into a return to the browser and
// a resumption). The page's side, canvas.js, turns the browser's events into LibGII ones and
// puts the pictures on the canvas.
#include <emscripten.h>

#include <bitset>

#include "internal.h"

// The page's side, reached through the module object that canvas.js furnishes.
EM_JS(void, page_open, (int grab), { Module.ggiPage.open(grab); });
EM_JS(void, page_mode, (int w, int h, int scale), { Module.ggiPage.mode(w, h, scale); });
EM_JS(void, page_show, (const uint32_t *rgba, int w, int h), { Module.ggiPage.show(rgba, w, h); });
EM_JS(int, page_event, (int32_t * values), { return Module.ggiPage.next(values); });
EM_JS(void, page_close, (), { Module.ggiPage.close(); });
EM_JS(int, page_paused, (), { return Module.ggiPage.paused(); });
EM_JS(void, page_dim, (), { Module.ggiPage.dim(); });

namespace ggi {

namespace {

// Frames a second at most: the game counts frames, so its pace must not follow the machine.
constexpr double FRAME_MS = 1000.0 / 70;
// The longest the program keeps the page waiting, in milliseconds, where it polls without
// showing a frame: the page still draws and takes input in between.
constexpr double LONGEST_TURN = 100;
// Device events kept unread at most; later ones are dropped, as from a full LibGII queue.
constexpr size_t MAX_QUEUED = 8192;
// What canvas.js hands over besides LibGII's event types: the page asks the program to end.
constexpr int PAGE_CLOSE = 255;

// A palette entry as the page's pixels take it: red, green, blue and an opaque alpha in
// memory order, the high byte of each 16-bit component.
uint32_t rgba(const ggi_color &c)
{
    return 0xFF000000u | uint32_t(c.b >> 8) << 16 | uint32_t(c.g >> 8) << 8 | uint32_t(c.r >> 8);
}

struct CanvasVisual final : PresentingVisual {
    std::vector<uint32_t> shown;  // the frame last shown, RGBA, pic.w x pic.h
    uint32_t table[256] = {};     // the palette as RGBA, for 8-bit pictures
    std::bitset<256> buttons;     // pointer buttons delivered pressed and not yet released
    double next_frame = 0;        // time the next frame may be shown, in milliseconds
    double last_turn = 0;         // time the page last had its turn
    bool closing = false;         // the page asked the program to end

    ~CanvasVisual() override { close_target(); }

    int set_mode(int w, int h, ggi_graphtype type) override
    {
        picture_set(pic, w, h, type);
        page_mode(w, h, opt.scale);
        present();
        return 0;
    }

    // The whole picture into RGBA through the palette as it stands, onto the canvas; then the
    // page's turn until the frame's time is up.
    void present() override
    {
        const size_t n = static_cast<size_t>(pic.w) * pic.h;
        shown.resize(n);
        const uint8_t *s = pic.px.data();
        if (pic.bpp == 1) {
            for (int i = 0; i < 256; i++)
                table[i] = rgba(pic.palette[i]);
            expand8(s, n, table, shown.data());
        } else {
            const std::vector<uint8_t> rgb = picture_rgb(pic);
            for (size_t i = 0; i < n; i++)
                shown[i] = 0xFF000000u | uint32_t(rgb[3 * i + 2]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i];
        }
        page_show(shown.data(), pic.w, pic.h);
        pace();
    }

    // Sleeps until the next frame is due, at least long enough for the page to draw; the steps
    // keep the average at the frame rate and start afresh after a stall.
    void pace()
    {
        double now = emscripten_get_now();
        emscripten_sleep(now < next_frame ? static_cast<unsigned>(next_frame - now) : 0);
        now = last_turn = emscripten_get_now();
        next_frame = now >= next_frame + FRAME_MS ? now + FRAME_MS : next_frame + FRAME_MS;
    }

    bool shown_rgb(std::vector<uint8_t> &rgb, int &w, int &h) override
    {
        if (!has_mode())
            return false;
        rgb.resize(shown.size() * 3);
        for (size_t i = 0; i < shown.size(); i++) {
            rgb[3 * i] = uint8_t(shown[i]);
            rgb[3 * i + 1] = uint8_t(shown[i] >> 8);
            rgb[3 * i + 2] = uint8_t(shown[i] >> 16);
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

    // A release comes only after its press, so that a button pressed outside the canvas
    // gives the program no click.
    void button(uint8_t type, int32_t n)
    {
        if (n < 0 || n > 255 || (type == evPtrButtonRelease && !buttons.test(size_t(n))))
            return;
        buttons.set(size_t(n), type == evPtrButtonPress);
        push(button_event(type, uint32_t(n)));
    }

    // Leaving the page ends the program by its own path, as closing the window does: Escape
    // from this frame on.
    void close_requested()
    {
        closing = true;
        if (in.escapes_from < 0 || in.escapes_from > in.frame)
            in.escapes_from = in.frame;
    }

    // One event from the page into the queue, or the page's request to end.
    void take(int type, const int32_t *v)
    {
        switch (type) {
        case evKeyPress:
        case evKeyRepeat:
        case evKeyRelease:
            push(key_event(uint8_t(type), uint32_t(v[0])));
            break;
        case evPtrRelative:
        case evPtrAbsolute:
            push(move_event(uint8_t(type), v[0], v[1]));
            break;
        case evPtrButtonPress:
        case evPtrButtonRelease:
            button(uint8_t(type), v[0]);
            break;
        case PAGE_CLOSE:
            close_requested();
            break;
        }
    }

    void pump() override
    {
        int32_t v[2];
        while (int type = page_event(v))
            take(type, v);
        if (page_paused() && has_mode() && !closing)
            hold();
        // A program that polls without showing anything still gives the page its turn.
        if (emscripten_get_now() - last_turn > LONGEST_TURN)
            wait_devices(0);
    }

    // A pause (the Pause key, or the page hidden): the program stays in its event poll, so no
    // frame passes and nothing is delivered; the canvas shows the last picture dimmed, never
    // the program's own picture. The page drops its input meanwhile (keys held into the pause
    // are let go); leaving the page still ends the program.
    void hold()
    {
        page_dim();
        int32_t v[2];
        while (page_paused() && !closing) {
            wait_devices(50);
            while (int type = page_event(v))
                take(type, v);
        }
        page_show(shown.data(), pic.w, pic.h);
    }

    bool has_devices() const override { return true; }
    void wait_devices(int ms) override
    {
        emscripten_sleep(static_cast<unsigned>(ms));
        last_turn = emscripten_get_now();
    }

    void close_target() override { page_close(); }
};

}  // namespace

ggi_visual *open_canvas(const Options &opt)
{
    auto *v = new CanvasVisual;
    if (!open_common(v, opt)) {
        finish(v);
        delete v;
        return nullptr;
    }
    v->last_turn = emscripten_get_now();
    page_open(!opt.nograb);
    return v;
}

}  // namespace ggi
