// The display layer's own inner parts: the visual record, its picture, options and input state.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include <ggi/ggi.h>
#include <ggi/testing.h>

struct SDL_Window;

namespace ggi {

// Bits of Options::depths, one per graph type a memory visual accepts.
constexpr unsigned DEPTH8 = 1, DEPTH16 = 2, DEPTH24 = 4;

// What a display string's options asked for; each target checks which of them it knows.
struct Options {
    std::string events;                            // -events=FILE: an event script
    std::string record;                            // -record=FILE: where delivered events are written
    std::string final;                             // -final=FILE: the picture last shown, written at the end
    int64_t frames = -1;                           // -frames=N: Escape presses from frame N on; -1 none
    unsigned depths = DEPTH8 | DEPTH16 | DEPTH24;  // -depths=LIST (memory)
    bool nodb = false;                             // -nodb (memory)
    bool fullscreen = false;                       // -fullscreen (window)
    int scale = 0;                                 // -scale=N (window, page); 0 lets them pick
    bool nograb = false;                           // -nograb (window, page)
    bool nopause = false;                          // -nopause (window): runs on while the window has no focus
    bool offscreen = false;                        // -offscreen (window): SDL's drivers that show nothing allowed
    std::string charset;                           // -charset=NAME (terminal): the characters cells are drawn with
};

// A target name with its options, as GGI_DISPLAY or ggiOpen's argument spells it.
struct DisplaySpec {
    std::string target;                // the canonical name: display-memory, -sdl, -palemu, -terminal or -canvas
    std::vector<std::string> options;  // raw "-name[=value]" strings in order
};

// Splits "TARGET[:OPTION...]" and resolves the aliases; false (with a message) when unknown.
bool parse_display(const std::string &text, DisplaySpec &spec);
// Reads the options into `opt`; false (with a message) on an unknown or malformed option.
bool parse_options(const DisplaySpec &spec, Options &opt);

// A file name the user gave, below the folder set by ggiLayerSetOrigin when it is relative.
std::string from_origin(const std::string &file);

// Events as the targets and the scripts make them.
gii_event key_event(uint8_t type, uint32_t sym);
gii_event move_event(uint8_t type, int32_t x, int32_t y);
gii_event button_event(uint8_t type, uint32_t button);
gii_event raw_event(uint8_t type);

// The picture a program draws into, in the pixel format of its mode.
struct Picture {
    int w = 0, h = 0;
    ggi_graphtype type = 0;   // 0 until a mode is set
    int bpp = 0;              // bytes per pixel
    std::vector<uint8_t> px;  // w * h * bpp bytes, rows top to bottom
    ggi_color palette[256] = {};
    ggi_pixel fg = 0;
};

int bytes_per_pixel(ggi_graphtype type);
// (Re)sizes the picture for a mode, cleared to colour 0, palette black.
void picture_set(Picture &p, int w, int h, ggi_graphtype type);
// Copies a box of pixels in the picture's format, cut to the picture.
void picture_put(Picture &p, int x, int y, int w, int h, const void *buffer);
void picture_fill(Picture &p, ggi_pixel colour);
ggi_pixel map_colour(const Picture &p, const ggi_color &c);
// Eight-bit components of every pixel, row by row, as a PPM holds them.
std::vector<uint8_t> picture_rgb(const Picture &p);
bool write_ppm(const std::string &file, int w, int h, const std::vector<uint8_t> &rgb);

// Whether a mode request is well formed: sizes in range, virtual size equal or automatic.
bool mode_size_ok(int x, int y, int xv, int yv);

// Frames a second at most on the targets that show them: the game counts frames, so its pace
// must not follow the machine.
constexpr int MAX_FPS = 70;

// Holds each frame shown until its time: sleeps, never spins. The steps keep the average at
// MAX_FPS and start afresh after a stall; a display that waited already finds the frame due.
struct Pacer {
    std::chrono::steady_clock::time_point next{};
    void wait();
};

// The code point the UTF-8 bytes s[0..n) start with, and `used`, how many bytes it took; a stray
// or malformed byte is taken alone (false, used 1), and bytes that end inside a character
// give false with used 0.
bool utf8_point(const unsigned char *s, size_t n, uint32_t &point, size_t &used);

// Input state of a visual: the queue, the script, the frame counter and the recording.
struct Input {
    std::deque<gii_event> queue;     // events waiting to be read
    std::vector<ScriptLine> script;  // the -events script
    size_t next = 0;                 // first script line not yet due
    int64_t frame = 0;               // empty polls so far
    int64_t escapes_from = -1;       // from this frame on one Escape per frame; -1 none
    int64_t escape_frame = -1;       // the frame that got its Escape last
    FILE *record = nullptr;          // -record file, open while the visual is
};

}  // namespace ggi

// A visual. The core keeps the options and input; each target supplies the picture side.
struct ggi_visual {
    ggi::Options opt;
    ggi::Input in;
    bool final_written = false;
    bool record_failed = false;  // reported once, when the first write failed

    virtual ~ggi_visual() = default;
    // 0 when the target can set this mode, -1 when not; `suggest` becomes the graph type it
    // would set (the one chosen for GGI_AUTO, another one it offers, or 0 for none).
    virtual int check_mode(int w, int h, ggi_graphtype type, ggi_graphtype &suggest) = 0;
    virtual int set_mode(int w, int h, ggi_graphtype type) = 0;
    virtual bool has_mode() const = 0;
    virtual const ggi_directbuffer *direct_buffer() { return nullptr; }
    virtual ggi::Picture &picture() = 0;
    // After a box went into the picture: whether it covered all of it (the targets that
    // present count that as a frame).
    virtual void box_done([[maybe_unused]] bool whole) {}
    virtual void flush() {}
    // The picture last shown, as PPM components; false while no mode is set.
    virtual bool shown_rgb(std::vector<uint8_t> &rgb, int &w, int &h);
    // The visual whose options and input serve this one (palemu: its parent).
    virtual ggi_visual *input_owner() { return this; }
    // Moves the events of the target's own devices into the queue.
    virtual void pump() {}
    // Whether the target has devices of its own that a blocking wait can wait for.
    virtual bool has_devices() const { return false; }
    // Waits up to `ms` milliseconds for device events (they are pumped afterwards).
    virtual void wait_devices([[maybe_unused]] int ms) {}
    // The window that shows the picture, for the targets that have one.
    virtual SDL_Window *window() { return nullptr; }
    // Closing: releases what the target holds (the parent of palemu, the window).
    virtual void close_target() {}
    // Hands the user's terminal back as it was, before a stop's message or the end of the
    // process (the terminal target).
    virtual void give_back() {}
};

namespace ggi {

// A target that shows its picture as whole frames (the window, the terminal, the page, palemu
// on its parent): a box that covers the picture, or a flush, presents it.
struct PresentingVisual : ggi_visual {
    Picture pic;

    // Every depth a picture can hold; 8 bits where none is asked for, or one it cannot hold.
    int check_mode(int, int, ggi_graphtype type, ggi_graphtype &suggest) override
    {
        const bool held = type == GGI_AUTO || bytes_per_pixel(type) != 0;
        suggest = held && type != GGI_AUTO ? type : GT_8BIT;
        return held ? 0 : -1;
    }

    bool has_mode() const override { return pic.type != 0; }
    Picture &picture() override { return pic; }
    void box_done(bool whole) override
    {
        if (whole)
            present();
    }
    void flush() override { present(); }
    virtual void present() = 0;
};

// The open visuals, parents included, for ggiExit and the end of the process.
std::vector<ggi_visual *> &open_visuals();
// Opens a target by its parsed display string; null after a message on stderr.
ggi_visual *open_spec(const DisplaySpec &spec);
// Shared part of every visual's opening: options to fields, script read, record file opened.
bool open_common(ggi_visual *v, const Options &opt);
// Writes the -final picture once, if there is a picture; flushes and closes the recording.
void finish(ggi_visual *v);
// Writes the picture last shown as a PPM file; false when there is none or writing failed.
bool write_shown(ggi_visual *v, const std::string &file);
// Opens a file for writing without waiting on a FIFO that nobody reads; null on failure.
FILE *open_for_writing(const std::string &file);
// Reports a file the layer could not write; the process then ends with status 1.
void write_failed(const char *what, const std::string &file);
// A picture the program never sees the failure of (-final, a shot line) could not be written:
// the process ends with status 1. The message has been given.
void picture_lost();

ggi_visual *open_memory(const Options &opt);
// Every option of a palemu display string goes to its parent, with the parent's own.
ggi_visual *open_palemu(const DisplaySpec &parent);
ggi_visual *open_sdl(const Options &opt);
ggi_visual *open_terminal(const Options &opt);
ggi_visual *open_canvas(const Options &opt);

// The display string a palemu visual puts its picture on: GGI_DISPLAY unless that is palemu.
bool palemu_parent(const DisplaySpec &own, DisplaySpec &parent);
// The default display: GGI_DISPLAY, or the window where a desktop is found.
bool default_display(DisplaySpec &spec);

// The input of a visual is gone (its window closed, its terminal hung up): one Escape press a
// frame from now on, as -frames gives them, so the program ends by its own path.
void escapes_from_now(Input &in);

// Event side of the API for one input owner.
gii_event_mask poll_events(ggi_visual *v, gii_event_mask mask, const struct timeval *t);
int read_event(ggi_visual *v, gii_event *ev, gii_event_mask mask);

}  // namespace ggi
