// The terminal target: the picture dithered into a text terminal's cells by libcaca; keys and
// the xterm mouse read from the terminal as LibGII events.
#include <caca.h>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>

#include "internal.h"

// Last: the terminal database's header names its capabilities as macros.
#include <term.h>

// ncurses checks for waiting input while it draws and breaks off when there is some; a moving
// mouse would then leave the picture half drawn. Declared here: <curses.h> names too much.
extern "C" int typeahead(int fd);

namespace ggi {

namespace {

// The mouse in the xterm protocol: presses and releases, every motion, SGR coordinates.
constexpr char MOUSE_ON[] = "\033[?1000h\033[?1003h\033[?1006h";
constexpr char MOUSE_OFF[] = "\033[?1006l\033[?1003l\033[?1000l";
// How long a lone Escape waits for the rest of a key's sequence, in milliseconds.
constexpr int ESCAPE_WAIT = 25;
// The signals that end the process: each gives the terminal back first.
constexpr int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Everything a signal handler needs to give the terminal back, as plain values: it may only
// write, set the terminal's modes and move descriptors. One terminal is held at a time.
struct Held {
    volatile sig_atomic_t active = 0;
    int tty = -1;             // the terminal, opened as /dev/tty
    int out = -1, err = -1;   // the program's standard output and error while they are held back
    int kept = -1;            // what the program wrote to the terminal meanwhile
    termios mode{};           // the terminal's modes before
    char restore[512] = {};   // what puts the terminal back: mouse, colours, cursor, keypad, screen
    size_t restore_size = 0;  //
    struct sigaction before[std::size(SIGNALS)] = {};
} held;

void write_all(int fd, const char *s, size_t n)
{
    while (n > 0) {
        const ssize_t w = write(fd, s, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return;
        s += w;
        n -= size_t(w);
    }
}

// Gives the terminal back and shows what the program wrote meanwhile. Safe in a signal handler.
// `screen`: the whole restore string; after ncurses ended its screen only the mouse is left.
void hand_back(bool screen)
{
    if (!held.active)
        return;
    held.active = 0;
    if (screen)
        write_all(held.tty, held.restore, held.restore_size);
    else
        write_all(held.tty, MOUSE_OFF, sizeof MOUSE_OFF - 1);
    tcsetattr(held.tty, TCSANOW, &held.mode);
    for (auto [fd, saved] : {std::pair{1, &held.out}, std::pair{2, &held.err}})
        if (*saved >= 0) {
            dup2(*saved, fd);
            close(*saved);
            *saved = -1;
        }
    if (held.kept >= 0) {
        char buffer[4096];
        ssize_t n;
        lseek(held.kept, 0, SEEK_SET);
        while ((n = read(held.kept, buffer, sizeof buffer)) > 0)
            write_all(held.tty, buffer, size_t(n));
        close(held.kept);
        held.kept = -1;
    }
}

void on_signal(int sig)
{
    hand_back(true);
    for (size_t i = 0; i < std::size(SIGNALS); i++)
        if (SIGNALS[i] == sig)
            sigaction(sig, &held.before[i], nullptr);
    raise(sig);
}

std::string *collected = nullptr;
int collect(int c)
{
    *collected += char(c);
    return c;
}

// What puts the terminal back, from its terminfo entry; false when the terminal type is not
// known or cannot place the cursor (ncurses would end the process or draw nonsense).
bool terminal_known(int tty, std::string &restore)
{
    int fault = 0;
    if (setupterm(nullptr, tty, &fault) != 0)
        return false;
    const bool addressable = cursor_address != nullptr && cursor_address != reinterpret_cast<char *>(-1);
    restore = MOUSE_OFF;
    collected = &restore;
    for (const char *cap : {exit_attribute_mode, cursor_normal, keypad_local, exit_ca_mode})
        if (cap && cap != reinterpret_cast<char *>(-1))
            tputs(cap, 1, collect);
    collected = nullptr;
    del_curterm(cur_term);
    return addressable;
}

// Which picture pixel a cell shows, along one side: the first and last cells of the picture
// give its first and last pixels, so that a pointer at the terminal's edge reaches the edge.
int32_t cell_pixel(int cell, int start, int cells, int pixels)
{
    if (cells <= 1)
        return 0;
    return int32_t(std::clamp<int64_t>(int64_t(cell - start) * (pixels - 1) / (cells - 1), 0, pixels - 1));
}

// The LibGII symbol of a key that sends "ESC [ NUMBER ~".
uint32_t tilde_key(int n)
{
    switch (n) {
    case 3:
        return 127;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
        return GIIK_F1 + uint32_t(n - 11);
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        return GIIK_F1 + 5 + uint32_t(n - 17);
    case 23:
    case 24:
        return GIIK_F1 + 10 + uint32_t(n - 23);
    default:
        return 0;
    }
}

// The cursor keys' final letters, A to D.
constexpr uint32_t CURSOR_KEYS[] = {GIIK_Up, GIIK_Down, GIIK_Right, GIIK_Left};

// One pass over a terminal's input: where its events go, and the state they change.
struct Reader {
    TerminalInput &state;
    const CellFit &fit;
    std::deque<gii_event> &out;

    // Terminals report no releases: a key is pressed and let go at once.
    void key(uint32_t sym)
    {
        out.push_back(key_event(evKeyPress, sym));
        out.push_back(key_event(evKeyRelease, sym));
    }

    // A report in cells, 1 for the first; `code` as xterm sends it: the button in the low
    // bits (3: none), 32 a motion, 64 the wheel.
    void mouse(int code, int col, int row, bool down)
    {
        const int32_t x = cell_pixel(col - 1, fit.x, fit.w, fit.pw), y = cell_pixel(row - 1, fit.y, fit.h, fit.ph);
        if (x != state.last_x || y != state.last_y) {
            state.last_x = x;
            state.last_y = y;
            out.push_back(move_event(evPtrAbsolute, x, y));
        }
        if (code & (32 | 64))
            return;
        static constexpr uint32_t BUTTONS[] = {GII_PBUTTON_LEFT, GII_PBUTTON_MIDDLE, GII_PBUTTON_RIGHT};
        const int b = code & 3;
        for (int i = 0; i < 3; i++) {
            const unsigned bit = 1u << BUTTONS[i];
            // The old protocol's release does not say which button: every one held is let go.
            if (down && b == i && !(state.pressed & bit)) {
                state.pressed |= bit;
                out.push_back(button_event(evPtrButtonPress, BUTTONS[i]));
            } else if ((!down || b == 3) && (b == i || b == 3) && (state.pressed & bit)) {
                state.pressed &= ~bit;
                out.push_back(button_event(evPtrButtonRelease, BUTTONS[i]));
            }
        }
    }

    // A sequence that starts with Escape; the bytes it took, 0 when it is not complete.
    size_t escape(const unsigned char *s, size_t n)
    {
        if (n < 2)
            return 0;
        if (s[1] == 'O') {
            if (n < 3)
                return 0;
            const unsigned char f = s[2];
            if (f >= 'A' && f <= 'D')
                key(CURSOR_KEYS[f - 'A']);
            else if (f >= 'P' && f <= 'S')
                key(GIIK_F1 + uint32_t(f - 'P'));
            else if (f == 'M')
                key(GIIUC_Return);
            return 3;
        }
        if (s[1] != '[') {
            // Escape, then whatever key came right after it.
            key(GIIUC_Escape);
            return 1;
        }
        if (n >= 3 && s[2] == 'M') {
            if (n < 6)
                return 0;
            mouse(s[3] - 32, s[4] - 32, s[5] - 32, (s[3] & 3) != 3);
            return 6;
        }
        // ESC [ PARAMETERS FINAL, the parameters digits and separators.
        size_t i = 2;
        while (i < n && s[i] >= 0x20 && s[i] <= 0x3F)
            i++;
        if (i == n)
            return 0;
        const bool sgr = s[2] == '<';
        int v[3] = {};
        int count = 0;
        for (size_t p = sgr ? 3 : 2; p < i && count < 3; p++) {
            if (s[p] == ';')
                count++;
            else if (s[p] >= '0' && s[p] <= '9')
                v[count] = std::min(v[count] * 10 + (s[p] - '0'), 1 << 20);
        }
        const unsigned char f = s[i];
        if (sgr && (f == 'M' || f == 'm') && count == 2)
            mouse(v[0], v[1], v[2], f == 'M');
        else if (f >= 'A' && f <= 'D')
            key(CURSOR_KEYS[f - 'A']);
        else if (f == '~' && tilde_key(v[0]))
            key(tilde_key(v[0]));
        return i + 1;
    }
};

}  // namespace

CellFit fit_cells(int cols, int rows, int w, int h)
{
    // A cell is about twice as high as it is wide.
    int fw = cols, fh = rows;
    if (int64_t(cols) * h > int64_t(rows) * 2 * w)
        fw = int(std::max<int64_t>(1, int64_t(rows) * 2 * w / h));
    else
        fh = int(std::max<int64_t>(1, int64_t(cols) * h / (2 * int64_t(w))));
    return CellFit{(cols - fw) / 2, (rows - fh) / 2, fw, fh, w, h};
}

size_t TerminalInput::feed(const std::string &bytes, bool complete, const CellFit &fit, std::deque<gii_event> &out)
{
    Reader r{*this, fit, out};
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        size_t used = 1;
        if (c == 27) {
            used = r.escape(s + i, n - i);
            if (used == 0 && !complete)
                return i;
            if (used == 0)
                r.key(GIIUC_Escape);
        } else if (c >= 0x80) {
            uint32_t point;
            if (!utf8_point(s + i, n - i, point, used) && used == 0 && !complete)
                return i;
            // A byte that is no UTF-8 is taken as Latin-1, as a terminal of that kind sends it.
            if (point <= 0xFFFF)
                r.key(point);
        } else {
            // The Backspace key sends DEL; Ctrl+J is a Return as Ctrl+M is.
            r.key(c == 127 ? GIIUC_BackSpace : c == '\n' ? GIIUC_Return : c);
        }
        i += used ? used : 1;
    }
    return i;
}

namespace {

struct TerminalVisual final : PresentingVisual {
    Picture shown;  // the frame last presented
    caca_canvas_t *cv = nullptr;
    caca_display_t *dp = nullptr;
    caca_dither_t *dither = nullptr;
    FILE *screen = nullptr;  // the terminal as a stream for ncurses, which draws through stdout
    Pacer pacer;
    TerminalInput input;
    std::string pending;  // input bytes of a key or report not yet complete
    CellFit fit{};
    winsize size{};           // the terminal's size when it was last drawn
    bool input_gone = false;  // the terminal hung up or its input ended

    ~TerminalVisual() override { close_target(); }

    // libcaca and ncurses write to stdout and ask it for the terminal's size; while they work,
    // stdout is the terminal's own stream, while the program's goes on being held back.
    template <class Work> void on_screen(Work work)
    {
        FILE *program = stdout;
        stdout = screen;
        work();
        std::fflush(screen);
        stdout = program;
    }

    int set_mode(int w, int h, ggi_graphtype type) override
    {
        if (dither)
            caca_free_dither(dither);
        // The pixels as the picture holds them: a palette, 5-6-5 bits, or blue, green and red bytes.
        const int bits = bytes_per_pixel(type) * 8;
        if (type == GT_8BIT)
            dither = caca_create_dither(8, w, h, w, 0, 0, 0, 0);
        else if (type == GT_16BIT)
            dither = caca_create_dither(16, w, h, w * 2, 0xF800, 0x07E0, 0x001F, 0);
        else
            dither = caca_create_dither(bits, w, h, w * 3, 0xFF0000, 0x00FF00, 0x0000FF, 0);
        if (!dither) {
            std::fprintf(stderr, "ggi: display-terminal: cannot dither a %d x %d picture: %s\n", w, h,
                         std::strerror(errno));
            pic = Picture();
            return -1;
        }
        caca_set_dither_charset(dither, opt.charset.c_str());
        // An ordered pattern keeps its place when the view scrolls, where diffused errors
        // would shimmer over the whole field.
        caca_set_dither_algorithm(dither, "ordered4");
        picture_set(pic, w, h, type);
        present();
        return 0;
    }

    void present() override
    {
        shown = pic;
        draw();
        pacer.wait();
    }

    // The frame last presented, dithered into the cells the terminal has now.
    void draw()
    {
        if (shown.type == 0)
            return;
        if (shown.bpp == 1) {
            uint32_t r[256], g[256], b[256], a[256];
            for (int i = 0; i < 256; i++) {
                r[i] = shown.palette[i].r >> 4;
                g[i] = shown.palette[i].g >> 4;
                b[i] = shown.palette[i].b >> 4;
                a[i] = 0xFFF;
            }
            caca_set_dither_palette(dither, r, g, b, a);
        }
        ioctl(held.tty, TIOCGWINSZ, &size);
        on_screen([this] {
            // A resize the terminal reported is taken on at a refresh; the canvas then has its size.
            if (size.ws_col != caca_get_canvas_width(cv) || size.ws_row != caca_get_canvas_height(cv))
                caca_refresh_display(dp);
            fit = fit_cells(caca_get_canvas_width(cv), caca_get_canvas_height(cv), shown.w, shown.h);
            caca_set_color_ansi(cv, CACA_LIGHTGRAY, CACA_BLACK);
            caca_clear_canvas(cv);
            caca_dither_bitmap(cv, fit.x, fit.y, fit.w, fit.h, dither, shown.px.data());
            caca_refresh_display(dp);
        });
    }

    bool shown_rgb(std::vector<uint8_t> &rgb, int &w, int &h) override
    {
        if (!has_mode())
            return false;
        rgb = picture_rgb(shown);
        w = shown.w;
        h = shown.h;
        return true;
    }

    void pump() override
    {
        winsize now{};
        if (ioctl(held.tty, TIOCGWINSZ, &now) == 0 && (now.ws_col != size.ws_col || now.ws_row != size.ws_row))
            draw();
        read_input(0);
    }

    // Reads what the terminal sent, waiting up to `ms` for it, and queues its events. A
    // sequence cut short (a lone Escape, most often) is given a moment for the rest, then
    // taken as it stands.
    void read_input(int ms)
    {
        if (input_gone) {
            if (ms > 0)
                poll(nullptr, 0, ms);
            return;
        }
        receive(ms);
        pending.erase(0, input.feed(pending, false, fit, in.queue));
        if (!pending.empty()) {
            receive(ESCAPE_WAIT);
            pending.erase(0, input.feed(pending, true, fit, in.queue));
        }
    }

    // Appends what the terminal has sent, waiting up to `ms` for the first of it. A terminal
    // that hung up or an input that ended leaves the program without keys: it is ended.
    void receive(int ms)
    {
        for (pollfd p{held.tty, POLLIN, 0}; poll(&p, 1, ms) > 0; ms = 0) {
            char buffer[1024];
            const ssize_t n = read(held.tty, buffer, sizeof buffer);
            if (n > 0) {
                pending.append(buffer, size_t(n));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                input_gone = true;
                escapes_from_now(in);
                return;
            }
        }
    }

    bool has_devices() const override { return true; }
    void wait_devices(int ms) override { read_input(ms); }

    void give_back() override { close_target(); }

    void close_target() override
    {
        if (!held.active)
            return;
        std::fflush(stdout);
        std::fflush(stderr);
        on_screen([this] {
            if (dp)
                caca_free_display(dp);
        });
        if (dither)
            caca_free_dither(dither);
        if (cv)
            caca_free_canvas(cv);
        dp = nullptr;
        dither = nullptr;
        cv = nullptr;
        for (size_t i = 0; i < std::size(SIGNALS); i++)
            sigaction(SIGNALS[i], &held.before[i], nullptr);
        hand_back(false);
        std::fclose(screen);
        close(held.tty);
        screen = nullptr;
        held.tty = -1;
    }
};

// Puts what the program writes to the terminal aside until the terminal is given back.
void hold_output()
{
    std::fflush(stdout);
    std::fflush(stderr);
    held.kept = memfd_create("ggi-terminal-output", MFD_CLOEXEC);
    if (held.kept < 0)
        return;
    for (auto [fd, saved] : {std::pair{1, &held.out}, std::pair{2, &held.err}})
        if (isatty(fd)) {
            *saved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
            dup2(held.kept, fd);
        }
}

}  // namespace

ggi_visual *open_terminal(const Options &given)
{
    if (held.active) {
        std::fprintf(stderr, "ggi: display-terminal: only one terminal can be open at a time\n");
        return nullptr;
    }
    const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        std::fprintf(stderr, "ggi: display-terminal: no terminal to draw on: /dev/tty: %s\n", std::strerror(errno));
        return nullptr;
    }
    std::string restore;
    const char *type = std::getenv("TERM");
    if (!terminal_known(tty, restore) || restore.size() >= sizeof held.restore) {
        std::fprintf(stderr,
                     "ggi: display-terminal: the terminal type TERM=%s is not known here or cannot place the "
                     "cursor; set TERM to the terminal's type (xterm-256color, screen, linux, ...)\n",
                     type ? type : "(unset)");
        close(tty);
        return nullptr;
    }
    auto *v = new TerminalVisual;
    if (!open_common(v, given)) {
        finish(v);
        close(tty);
        delete v;
        return nullptr;
    }
    held.tty = tty;
    std::memcpy(held.restore, restore.data(), restore.size());
    held.restore_size = restore.size();
    tcgetattr(tty, &held.mode);
    v->screen = fdopen(fcntl(tty, F_DUPFD_CLOEXEC, 3), "w");
    if (!v->screen) {
        std::fprintf(stderr, "ggi: display-terminal: cannot write to the terminal: %s\n", std::strerror(errno));
        finish(v);
        close(tty);
        delete v;
        return nullptr;
    }
    v->cv = caca_create_canvas(0, 0);
    // libcaca's terminal drivers set the whole locale from the environment; only the
    // characters' is theirs to set, the rest stays the program's.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    const char *driver = std::getenv("CACA_DRIVER");
    struct sigaction on {};
    on.sa_handler = on_signal;
    sigemptyset(&on.sa_mask);
    // A signal the program was started to ignore (nohup) stays ignored.
    for (size_t i = 0; i < std::size(SIGNALS); i++)
        if (sigaction(SIGNALS[i], &on, &held.before[i]) == 0 && held.before[i].sa_handler == SIG_IGN)
            sigaction(SIGNALS[i], &held.before[i], nullptr);
    held.active = 1;
    hold_output();
    v->on_screen([v, driver] { v->dp = caca_create_display_with_driver(v->cv, driver ? driver : "ncurses"); });
    const std::string characters = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_ALL, locale.c_str());
    std::setlocale(LC_CTYPE, characters.c_str());
    if (!v->dp) {
        const int fault = errno;
        v->close_target();
        std::fprintf(stderr, "ggi: display-terminal: libcaca cannot draw on this terminal: %s\n", std::strerror(fault));
        finish(v);
        delete v;
        return nullptr;
    }
    // Block characters where the terminal's character set has them.
    if (v->opt.charset.empty())
        v->opt.charset = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0 ? "blocks" : "ascii";
    typeahead(-1);
    caca_set_display_time(v->dp, 0);
    caca_set_display_title(v->dp, program_invocation_short_name);
    write_all(tty, MOUSE_ON, sizeof MOUSE_ON - 1);
    // Ctrl+C and the other signal keys end the program as in any terminal program (the
    // handlers give the terminal back first); Ctrl+Z would leave the terminal in the game's modes.
    termios mode;
    if (tcgetattr(tty, &mode) == 0) {
        mode.c_lflag |= ISIG;
        mode.c_cc[VSUSP] = _POSIX_VDISABLE;
        tcsetattr(tty, TCSANOW, &mode);
    }
    return v;
}

}  // namespace ggi
