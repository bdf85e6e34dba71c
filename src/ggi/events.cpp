// Input events: event scripts, the frame counter, -frames, recording, polling and reading.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <thread>

#include <ggi/layer.h>

#include "internal.h"

namespace ggi {

namespace {

// Frame numbers stop here; at 70 frames a second that is most of a year.
constexpr int64_t MAX_FRAME = 2147483647;
// Key symbols are 16 bits wide: the characters of Unicode's first plane and the layer's
// codes among them. A wider number would reach the program cut short, as another key.
constexpr int64_t MAX_SYM = 0xFFFF;
// The longest script line: room for a shot's file name of the longest path.
constexpr size_t MAX_LINE = 4200;
// How much of a word a message repeats.
constexpr size_t SHOWN_WORD = 40;
// Event types fit the 32 bits of an event mask.
constexpr int64_t MAX_TYPE = 31;

struct Names {
    const char *name;
    uint8_t type;
};

// The script's event words and the event types they deliver.
constexpr Names EVENT_NAMES[] = {
    {"keydown", evKeyPress}, {"keyrepeat", evKeyRepeat}, {"keyup", evKeyRelease},    {"move", evPtrRelative},
    {"pos", evPtrAbsolute},  {"down", evPtrButtonPress}, {"up", evPtrButtonRelease},
};

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

void skip_space(const std::string &s, size_t &i)
{
    while (i < s.size() && is_space(s[i]))
        i++;
}

// The next whitespace-separated word; empty at the end of the line.
std::string word(const std::string &s, size_t &i)
{
    skip_space(s, i);
    size_t start = i;
    while (i < s.size() && !is_space(s[i]))
        i++;
    return s.substr(start, i - start);
}

// How a word appears in a message: a long one cut short.
std::string shown(const std::string &w)
{
    if (w.empty())
        return "end of line";
    return "'" + (w.size() > SHOWN_WORD ? w.substr(0, SHOWN_WORD) + "'..." : w + "'");
}

bool number(const std::string &w, int64_t lo, int64_t hi, int64_t &out)
{
    if (w.empty())
        return false;
    int64_t v = 0;
    auto r = std::from_chars(w.data(), w.data() + w.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != w.data() + w.size() || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

// A key symbol: a decimal number, or one character between single quotes (a byte taken as
// its Latin-1 code point, so 'h' is 104).
bool key_symbol(const std::string &s, size_t &i, std::string &seen, int64_t &sym)
{
    skip_space(s, i);
    if (i < s.size() && s[i] == '\'') {
        if (i + 2 < s.size() && s[i + 2] == '\'' && (i + 3 == s.size() || is_space(s[i + 3]))) {
            unsigned char c = s[i + 1];
            if (c >= 32 && c != 127) {
                sym = c;
                i += 3;
                return true;
            }
        }
        size_t j = i;
        seen = word(s, j);
        return false;
    }
    seen = word(s, i);
    return number(seen, 0, MAX_SYM, sym);
}

void stamp(gii_event &ev, uint8_t type, uint8_t size)
{
    std::memset(&ev, 0, sizeof ev);
    ev.any.size = size;
    ev.any.type = type;
    gettimeofday(&ev.any.time, nullptr);
}

}  // namespace

void Pacer::wait()
{
    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::nanoseconds(1000000000 / MAX_FPS);
    auto now = clock::now();
    if (now < next) {
        std::this_thread::sleep_until(next);
        now = clock::now();
    }
    next = now >= next + period ? now + period : next + period;
}

bool utf8_point(const unsigned char *s, size_t n, uint32_t &point, size_t &used)
{
    const uint32_t c = s[0];
    const size_t more = c >= 0xF8 ? 9 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : c >= 0x80 ? 9 : 0;
    point = c;
    used = 1;
    if (more == 0 || more == 9)
        return more == 0;
    uint32_t p = c & (0x3F >> more);
    for (size_t i = 1; i <= more; i++) {
        if (i == n) {
            used = 0;
            return false;
        }
        if ((s[i] & 0xC0) != 0x80)
            return false;
        p = p << 6 | (s[i] & 0x3F);
    }
    point = p;
    used = more + 1;
    return true;
}

void escapes_from_now(Input &in)
{
    if (in.escapes_from < 0 || in.escapes_from > in.frame)
        in.escapes_from = in.frame;
}

gii_event key_event(uint8_t type, uint32_t sym)
{
    gii_event ev;
    stamp(ev, type, sizeof(gii_key_event));
    ev.key.sym = sym;
    ev.key.label = sym;
    return ev;
}

gii_event move_event(uint8_t type, int32_t x, int32_t y)
{
    gii_event ev;
    stamp(ev, type, sizeof(gii_pmove_event));
    ev.pmove.x = x;
    ev.pmove.y = y;
    return ev;
}

gii_event button_event(uint8_t type, uint32_t button)
{
    gii_event ev;
    stamp(ev, type, sizeof(gii_pbutton_event));
    ev.pbutton.button = button;
    return ev;
}

gii_event raw_event(uint8_t type)
{
    gii_event ev;
    stamp(ev, type, sizeof(gii_any_event));
    return ev;
}

// The next line of a script without its newline; false at the end of the file. A line longer
// than MAX_LINE is cut there and `too_long` set.
bool next_line(FILE *in, std::string &s, bool &too_long)
{
    s.clear();
    too_long = false;
    int c;
    while ((c = std::getc(in)) != EOF && c != '\n') {
        if (s.size() == MAX_LINE) {
            too_long = true;
            return true;
        }
        s += char(c);
    }
    return c != EOF || !s.empty();
}

bool parse_script(const std::string &file, std::vector<ScriptLine> &lines)
{
    FILE *in = ggiLayerOpenFile(file.c_str(), nullptr);
    if (!in) {
        std::fprintf(stderr, "ggi: cannot read event script '%s': %s\n", file.c_str(),
                     errno == EINVAL ? "not a regular file" : std::strerror(errno));
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE *)> closer(in, std::fclose);
    std::string s;
    bool too_long = false;
    int line = 0;
    int64_t last_frame = 0;
    int last_line = 0;
    auto fail = [&](const std::string &what) {
        std::fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, what.c_str());
        return false;
    };
    while (next_line(in, s, too_long)) {
        line++;
        if (too_long)
            return fail("the line is longer than " + std::to_string(MAX_LINE) + " characters");
        size_t i = 0;
        skip_space(s, i);
        if (i == s.size() || s[i] == '#')
            continue;

        ScriptLine l{};
        std::string w = word(s, i);
        if (!number(w, 0, MAX_FRAME, l.frame))
            return fail("expected a frame number, found " + shown(w));
        if (l.frame < last_frame)
            return fail("frame " + std::to_string(l.frame) + " comes before frame " + std::to_string(last_frame) +
                        " of line " + std::to_string(last_line));

        std::string name = word(s, i);
        if (name.empty())
            return fail("expected an event after the frame number");
        const Names *known = nullptr;
        for (const Names &n : EVENT_NAMES)
            if (name == n.name)
                known = &n;

        std::string seen;
        if (known && (known->type == evKeyPress || known->type == evKeyRepeat || known->type == evKeyRelease)) {
            int64_t sym;
            if (!key_symbol(s, i, seen, sym))
                return fail(name +
                            ": expected a key symbol (a number from 0 to 65535 or one quoted "
                            "character), found " +
                            shown(seen));
            l.event = key_event(known->type, uint32_t(sym));
        } else if (known && (known->type == evPtrRelative || known->type == evPtrAbsolute)) {
            int64_t xy[2];
            for (int64_t &v : xy) {
                seen = word(s, i);
                if (!number(seen, INT32_MIN, INT32_MAX, v))
                    return fail(name + ": expected two numbers, found " + shown(seen));
            }
            l.event = move_event(known->type, int32_t(xy[0]), int32_t(xy[1]));
        } else if (known) {
            int64_t button;
            seen = word(s, i);
            if (!number(seen, 0, UINT32_MAX, button))
                return fail(name + ": expected a button number, found " + shown(seen));
            l.event = button_event(known->type, uint32_t(button));
        } else if (name == "raw") {
            int64_t type;
            seen = word(s, i);
            if (!number(seen, 0, MAX_TYPE, type))
                return fail("raw: expected an event type from 0 to 31, found " + shown(seen));
            l.event = raw_event(uint8_t(type));
        } else if (name == "shot") {
            l.shot = true;
            l.file = word(s, i);
            if (l.file.empty())
                return fail("shot: expected a file name, found end of line");
            l.file = from_origin(l.file);
        } else {
            return fail("unknown event " + shown(name));
        }

        skip_space(s, i);
        if (i < s.size() && s[i] != '#')
            return fail("unexpected " + shown(word(s, i)) + " after the event");
        last_frame = l.frame;
        last_line = line;
        lines.push_back(l);
    }
    if (std::ferror(in)) {
        std::fprintf(stderr, "ggi: cannot read event script '%s'\n", file.c_str());
        return false;
    }
    return true;
}

std::string format_event(int64_t frame, const gii_event &ev)
{
    std::string s = std::to_string(frame) + " ";
    const uint8_t type = ev.any.type;
    for (const Names &n : EVENT_NAMES) {
        if (n.type != type)
            continue;
        s += n.name;
        switch (type) {
        case evKeyPress:
        case evKeyRepeat:
        case evKeyRelease: {
            uint32_t sym = ev.key.sym;
            if (sym > 32 && sym < 127 && sym != '\'')
                s += std::string(" '") + char(sym) + "'";
            else
                s += " " + std::to_string(sym);
            return s;
        }
        case evPtrRelative:
        case evPtrAbsolute:
            return s + " " + std::to_string(ev.pmove.x) + " " + std::to_string(ev.pmove.y);
        default:
            return s + " " + std::to_string(ev.pbutton.button);
        }
    }
    return s + "raw " + std::to_string(type);
}

namespace {

gii_event_mask mask_of(const gii_event &ev)
{
    return ev.any.type < 32 ? EVMASK(ev.any.type) : 0;
}

gii_event_mask pending(const Input &in)
{
    gii_event_mask m = 0;
    for (const gii_event &ev : in.queue)
        m |= mask_of(ev);
    return m;
}

bool escape_waiting(const Input &in)
{
    for (const gii_event &ev : in.queue)
        if (ev.any.type == evKeyPress && ev.key.sym == GIIUC_Escape)
            return true;
    return false;
}

// Queues what is due at the current frame: the script lines up to it in file order (a
// shot is written at once), then the Escape that -frames or a closed window owes this
// frame, unless an earlier one is still unread.
void make_due(ggi_visual *v)
{
    Input &in = v->in;
    while (in.next < in.script.size() && in.script[in.next].frame <= in.frame) {
        const ScriptLine &l = in.script[in.next++];
        if (!l.shot)
            in.queue.push_back(l.event);
        else if (!write_shown(v, l.file)) {
            if (!v->has_mode())
                std::fprintf(stderr, "ggi: no picture shown yet for '%s'\n", l.file.c_str());
            picture_lost();
        }
    }
    if (in.escapes_from >= 0 && in.frame >= in.escapes_from && in.escape_frame != in.frame) {
        in.escape_frame = in.frame;
        if (!escape_waiting(in))
            in.queue.push_back(key_event(evKeyPress, GIIUC_Escape));
    }
}

// Everything that can arrive now: due script lines, the devices' events, and an Escape owed
// to a window closed by them.
void gather(ggi_visual *v)
{
    make_due(v);
    v->pump();
    make_due(v);
}

// A blocking wait for an event in `mask`. A window waits for its devices, counting a frame
// for every frame's time that passes without one. Without devices the counter moves on to
// the next frame that has something to deliver; when nothing is left at all, an Escape
// press is made up so that a headless program is never stuck. False only when even that
// cannot be delivered (a mask without key presses).
bool wait_for(ggi_visual *v, gii_event_mask mask)
{
    Input &in = v->in;
    for (;;) {
        gather(v);
        if (pending(in) & mask)
            return true;
        if (v->has_devices()) {
            v->wait_devices(1000 / MAX_FPS);
            gather(v);
            if (pending(in) & mask)
                return true;
            in.frame++;
            continue;
        }
        int64_t next = -1;
        if (in.next < in.script.size())
            next = in.script[in.next].frame;
        if (in.escapes_from >= 0 && (mask & emKeyPress)) {
            int64_t e = std::max(in.escapes_from, in.frame + 1);
            if (next < 0 || e < next)
                next = e;
        }
        if (next < 0)
            break;
        in.frame = std::max(next, in.frame + 1);
    }
    if (!(mask & emKeyPress))
        return false;
    in.queue.push_back(key_event(evKeyPress, GIIUC_Escape));
    return true;
}

}  // namespace

gii_event_mask poll_events(ggi_visual *v, gii_event_mask mask, const struct timeval *t)
{
    Input &in = v->in;
    gather(v);
    gii_event_mask m = pending(in) & mask;
    if (m)
        return m;
    if (!t)
        return wait_for(v, mask) ? pending(in) & mask : 0;
    int64_t ms = int64_t(t->tv_sec) * 1000 + t->tv_usec / 1000;
    if (ms > 0 && v->has_devices()) {
        v->wait_devices(int(std::min<int64_t>(ms, INT32_MAX)));
        gather(v);
        if ((m = pending(in) & mask))
            return m;
    }
    in.frame++;
    return 0;
}

int read_event(ggi_visual *v, gii_event *ev, gii_event_mask mask)
{
    Input &in = v->in;
    gather(v);
    if (!(pending(in) & mask) && !wait_for(v, mask)) {
        std::memset(ev, 0, sizeof *ev);
        return 0;
    }
    auto it = std::find_if(in.queue.begin(), in.queue.end(), [mask](const gii_event &e) { return mask_of(e) & mask; });
    *ev = *it;
    in.queue.erase(it);
    if (in.record && !v->record_failed &&
        (std::fprintf(in.record, "%s\n", format_event(in.frame, *ev).c_str()) < 0 || std::fflush(in.record) != 0)) {
        v->record_failed = true;
        write_failed("event recording", v->opt.record);
    }
    return ev->any.size;
}

}  // namespace ggi
