// The display layer's entry points: set-up, targets, modes, drawing, palettes, events, exit.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include <ggi/layer.h>

#include "internal.h"

namespace ggi {

namespace {

// How often ggiInit was called without a matching ggiExit.
int init_count = 0;
// Whether the end-of-process handler is registered (once per process).
bool exit_handler_set = false;

struct Alias {
    const char *name;
    const char *target;
};

// Every name a display string may start with, and the target it means.
constexpr Alias ALIASES[] = {
    {"display-memory", "display-memory"},
    {"memory", "display-memory"},
    {"display-sdl", "display-sdl"},
    {"sdl", "display-sdl"},
    {"x", "display-sdl"},
    {"display-x", "display-sdl"},
    {"display-palemu", "display-palemu"},
    {"palemu", "display-palemu"},
    {"display-terminal", "display-terminal"},
    {"terminal", "display-terminal"},
    {"tty", "display-terminal"},
    {"aa", "display-terminal"},
    {"display-canvas", "display-canvas"},
    {"canvas", "display-canvas"},
    {"web", "display-canvas"},
};

// Whether the build has a target: the window and the terminal live outside the browser, the
// page only in it.
bool target_built(const std::string &target)
{
#ifdef __EMSCRIPTEN__
    const bool built = target != "display-sdl" && target != "display-terminal";
    const char *where = "outside the browser; use display-canvas here";
#else
    const bool built = target != "display-canvas";
    const char *where = "in the browser build (./web)";
#endif
    if (built)
        return true;
    std::fprintf(stderr, "ggi: %s exists only %s\n", target.c_str(), where);
    return false;
}

// Whether a recording, a picture or a shot could not be written.
bool writing_failed = false;

void at_exit()
{
    for (ggi_visual *v : open_visuals())
        finish(v);
    for (ggi_visual *v : open_visuals())
        v->give_back();
    // What the player asked to keep is lost: the run did not succeed.
    if (writing_failed) {
        std::fflush(stdout);
        _exit(1);
    }
}

bool value_number(const std::string &value, int64_t lo, int64_t hi, int64_t &out)
{
    int64_t v = 0;
    auto r = std::from_chars(value.data(), value.data() + value.size(), v, 10);
    if (value.empty() || r.ec != std::errc() || r.ptr != value.data() + value.size() || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

bool parse_depths(const std::string &list, unsigned &depths)
{
    depths = 0;
    if (list.empty()) {
        std::fprintf(stderr, "ggi: -depths: the list is empty; give some of 8, 16 and 24\n");
        return false;
    }
    size_t i = 0;
    while (i < list.size()) {
        size_t comma = list.find(',', i);
        std::string item = list.substr(i, comma == std::string::npos ? std::string::npos : comma - i);
        if (item == "8")
            depths |= DEPTH8;
        else if (item == "16")
            depths |= DEPTH16;
        else if (item == "24")
            depths |= DEPTH24;
        else {
            std::fprintf(stderr, "ggi: -depths: '%s' is not 8, 16 or 24\n", item.c_str());
            return false;
        }
        if (comma == std::string::npos)
            break;
        i = comma + 1;
        if (i == list.size()) {
            std::fprintf(stderr, "ggi: -depths: the list '%s' ends with a comma\n", list.c_str());
            return false;
        }
    }
    return true;
}

// Whether an option name belongs to a target; palemu passes its options on to its parent,
// which checks them.
bool option_known(const std::string &target, const std::string &name)
{
    static const struct {
        const char *target;  // null: every target's
        std::vector<const char *> names;
    } options[] = {
        {nullptr, {"events", "record", "frames", "final"}},
        {"display-memory", {"depths", "nodb"}},
        {"display-sdl", {"fullscreen", "scale", "nograb", "nopause", "offscreen"}},
        {"display-terminal", {"charset"}},
        {"display-canvas", {"scale", "nograb"}},  // a fixed scale, and the pointer never locked
    };
    for (const auto &o : options)
        if (!o.target || target == o.target || target == "display-palemu")
            for (const char *n : o.names)
                if (name == n)
                    return true;
    return false;
}

void no_display_message()
{
    std::fprintf(stderr, "ggi: no display found: neither GGI_DISPLAY nor DISPLAY nor WAYLAND_DISPLAY "
                         "is set, and standard output is no terminal.\n"
                         "ggi: to run without a display, set GGI_DISPLAY=memory, for example "
                         "GGI_DISPLAY=memory:-frames=100\n");
}

const char *env(const char *name)
{
    const char *v = std::getenv(name);
    return v && *v ? v : nullptr;
}

// The target used where GGI_DISPLAY names none: the page in the browser build; elsewhere the
// window on a desktop, else the terminal that standard output shows (its type named in TERM).
// False when there is none.
bool found_display(std::string &target)
{
#ifdef __EMSCRIPTEN__
    target = "display-canvas";
#else
    if (env("DISPLAY") || env("WAYLAND_DISPLAY"))
        target = "display-sdl";
    else if (isatty(STDOUT_FILENO) && env("TERM"))
        target = "display-terminal";
    else
        return false;
#endif
    return true;
}

}  // namespace

std::vector<ggi_visual *> &open_visuals()
{
    // Never destroyed: the end-of-process handler still walks it after static destructors.
    static auto *visuals = new std::vector<ggi_visual *>;
    return *visuals;
}

bool parse_display(const std::string &text, DisplaySpec &spec)
{
    spec = DisplaySpec();
    size_t colon = text.find(':');
    std::string name = text.substr(0, colon);
    for (const Alias &a : ALIASES)
        if (name == a.name)
            spec.target = a.target;
    if (spec.target.empty()) {
        std::fprintf(stderr,
                     "ggi: unknown display '%s' (known: display-sdl, sdl, x, display-x, "
                     "display-memory, memory, display-palemu, palemu, display-terminal, terminal, tty, aa, "
                     "display-canvas, canvas, web)\n",
                     name.c_str());
        return false;
    }
    while (colon != std::string::npos) {
        size_t start = colon + 1;
        colon = text.find(':', start);
        std::string o = text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!o.empty())
            spec.options.push_back(o);
    }
    return true;
}

bool parse_options(const DisplaySpec &spec, Options &opt)
{
    opt = Options();
    for (const std::string &o : spec.options) {
        size_t eq = o.find('=');
        std::string name = o.substr(0, eq);
        bool has_value = eq != std::string::npos;
        std::string value = has_value ? o.substr(eq + 1) : "";
        if (name.size() < 2 || name[0] != '-') {
            std::fprintf(stderr, "ggi: option '%s' of %s does not start with '-'\n", o.c_str(), spec.target.c_str());
            return false;
        }
        name.erase(0, 1);
        if (!option_known(spec.target, name)) {
            std::fprintf(stderr, "ggi: %s has no option -%s\n", spec.target.c_str(), name.c_str());
            return false;
        }
        bool takes_value = name == "events" || name == "record" || name == "final" || name == "frames" ||
                           name == "depths" || name == "scale" || name == "charset";
        if (takes_value && !has_value) {
            std::fprintf(stderr, "ggi: option -%s needs a value: -%s=...\n", name.c_str(), name.c_str());
            return false;
        }
        if (!takes_value && has_value) {
            std::fprintf(stderr, "ggi: option -%s takes no value\n", name.c_str());
            return false;
        }
        if ((name == "events" || name == "record" || name == "final") && value.empty()) {
            std::fprintf(stderr, "ggi: option -%s needs a file name\n", name.c_str());
            return false;
        }
        int64_t n = 0;
        if (name == "events")
            opt.events = value;
        else if (name == "record")
            opt.record = value;
        else if (name == "final")
            opt.final = value;
        else if (name == "frames") {
            if (!value_number(value, 0, INT32_MAX, n)) {
                std::fprintf(stderr, "ggi: -frames: '%s' is not a frame number\n", value.c_str());
                return false;
            }
            opt.frames = n;
        } else if (name == "depths") {
            if (!parse_depths(value, opt.depths))
                return false;
        } else if (name == "nodb")
            opt.nodb = true;
        else if (name == "fullscreen")
            opt.fullscreen = true;
        else if (name == "nograb")
            opt.nograb = true;
        else if (name == "nopause")
            opt.nopause = true;
        else if (name == "offscreen")
            opt.offscreen = true;
        else if (name == "scale") {
            if (!value_number(value, 1, 16, n)) {
                std::fprintf(stderr, "ggi: -scale: '%s' is not a whole number from 1 to 16\n", value.c_str());
                return false;
            }
            opt.scale = int(n);
        } else if (name == "charset") {
            if (value != "ascii" && value != "shades" && value != "blocks") {
                std::fprintf(stderr, "ggi: -charset: '%s' is not ascii, shades or blocks\n", value.c_str());
                return false;
            }
            opt.charset = value;
        }
    }
    return true;
}

bool default_display(DisplaySpec &spec)
{
    if (const char *d = env("GGI_DISPLAY"))
        return parse_display(d, spec);
    spec = DisplaySpec();
    if (found_display(spec.target))
        return true;
    no_display_message();
    return false;
}

bool palemu_parent(const DisplaySpec &own, DisplaySpec &parent)
{
    const char *d = env("GGI_DISPLAY");
    DisplaySpec from_env;
    if (d && !parse_display(d, from_env))
        return false;
    if (d && from_env.target != "display-palemu") {
        parent = from_env;
    } else if (found_display(parent.target)) {
        parent.options = from_env.options;
    } else {
        no_display_message();
        return false;
    }
    // The palemu display string's own options come last, so they win over GGI_DISPLAY's.
    parent.options.insert(parent.options.end(), own.options.begin(), own.options.end());
    return true;
}

bool open_common(ggi_visual *v, const Options &given)
{
    Options opt = given;
    opt.events = from_origin(given.events);
    opt.record = from_origin(given.record);
    opt.final = from_origin(given.final);
    v->opt = opt;
    if (!opt.events.empty() && !parse_script(opt.events, v->in.script))
        return false;
    v->in.escapes_from = opt.frames;
    if (!opt.record.empty()) {
        v->in.record = open_for_writing(opt.record);
        if (!v->in.record) {
            std::fprintf(stderr, "ggi: cannot write event recording '%s': %s\n", opt.record.c_str(),
                         std::strerror(errno));
            return false;
        }
        std::fprintf(v->in.record, "# input events as delivered: FRAME EVENT ARGUMENTS\n");
        std::fflush(v->in.record);
    }
    return true;
}

ggi_visual *open_spec(const DisplaySpec &spec)
{
    Options opt;
    if (!parse_options(spec, opt) || !target_built(spec.target))
        return nullptr;
    ggi_visual *v = nullptr;
    if (spec.target == "display-memory")
        v = open_memory(opt);
#ifdef __EMSCRIPTEN__
    else if (spec.target == "display-canvas")
        v = open_canvas(opt);
#else
    else if (spec.target == "display-sdl")
        v = open_sdl(opt);
    else if (spec.target == "display-terminal")
        v = open_terminal(opt);
#endif
    else {
        DisplaySpec parent;
        if (!palemu_parent(spec, parent))
            return nullptr;
        v = open_palemu(parent);
    }
    if (v)
        open_visuals().push_back(v);
    return v;
}

bool write_shown(ggi_visual *v, const std::string &file)
{
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (!v->shown_rgb(rgb, w, h))
        return false;
    return write_ppm(file, w, h, rgb);
}

FILE *open_for_writing(const std::string &file)
{
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *f = fdopen(fd, "wb");
    if (!f)
        close(fd);
    return f;
}

void picture_lost()
{
    writing_failed = true;
}

void write_failed(const char *what, const std::string &file)
{
    std::fprintf(stderr, "ggi: cannot write %s '%s': %s\n", what, file.c_str(), std::strerror(errno));
    writing_failed = true;
}

void finish(ggi_visual *v)
{
    if (!v->final_written && !v->opt.final.empty() && v->has_mode())
        if (!write_shown(v, v->opt.final))
            picture_lost();
    v->final_written = true;
    if (v->in.record) {
        errno = 0;
        const bool ok = std::fflush(v->in.record) == 0 && !std::ferror(v->in.record);
        if ((std::fclose(v->in.record) != 0 || !ok) && !v->record_failed)
            write_failed("event recording", v->opt.record);
        v->in.record = nullptr;
    }
}

}  // namespace ggi

bool ggi_visual::shown_rgb(std::vector<uint8_t> &rgb, int &w, int &h)
{
    if (!has_mode())
        return false;
    const ggi::Picture &p = picture();
    rgb = ggi::picture_rgb(p);
    w = p.w;
    h = p.h;
    return true;
}

using namespace ggi;

namespace {

bool is_open(ggi_visual_t vis)
{
    auto &all = open_visuals();
    return vis && std::find(all.begin(), all.end(), vis) != all.end();
}

void fill_mode(ggi_mode *m, int x, int y, ggi_graphtype type)
{
    if (!m)
        return;
    std::memset(m, 0, sizeof *m);
    m->frames = 1;
    m->visible.x = m->virt.x = int16_t(std::clamp(x, 1, 4096));
    m->visible.y = m->virt.y = int16_t(std::clamp(y, 1, 4096));
    m->graphtype = type;
    m->dpp.x = m->dpp.y = 1;
}

}  // namespace

int ggiInit(void)
{
    if (!exit_handler_set) {
        std::atexit(at_exit);
        exit_handler_set = true;
    }
    init_count++;
    return 0;
}

int ggiExit(void)
{
    if (init_count == 0)
        return -1;
    if (--init_count == 0) {
        // Closing a palemu visual closes its parent, which was opened just before it, so the
        // visuals are taken from the back one by one.
        while (!open_visuals().empty())
            ggiClose(open_visuals().back());
    }
    return init_count;
}

ggi_visual_t ggiOpen(const char *display, ...)
{
    // The arguments after the name are target arguments in LibGGI; none is needed here, so
    // they are not read.
    if (init_count == 0) {
        std::fprintf(stderr, "ggi: ggiOpen before ggiInit\n");
        return nullptr;
    }
    DisplaySpec spec;
    if (display && *display) {
        if (!parse_display(display, spec))
            return nullptr;
    } else if (!default_display(spec)) {
        return nullptr;
    }
    return open_spec(spec);
}

int ggiClose(ggi_visual_t vis)
{
    if (!is_open(vis))
        return -1;
    auto &all = open_visuals();
    finish(vis);
    vis->close_target();
    all.erase(std::find(all.begin(), all.end(), vis));
    delete vis;
    return 0;
}

int ggiCheckGraphMode(ggi_visual_t vis, int x, int y, int xv, int yv, ggi_graphtype type, ggi_mode *suggested)
{
    if (!is_open(vis))
        return -1;
    ggi_graphtype suggest = type;
    int r = mode_size_ok(x, y, xv, yv) ? vis->check_mode(x, y, type, suggest) : -1;
    fill_mode(suggested, x, y, suggest);
    return r;
}

int ggiSetGraphMode(ggi_visual_t vis, int x, int y, int xv, int yv, ggi_graphtype type)
{
    if (!is_open(vis) || !mode_size_ok(x, y, xv, yv))
        return -1;
    ggi_graphtype suggest = type;
    if (vis->check_mode(x, y, type, suggest) != 0)
        return -1;
    return vis->set_mode(x, y, type == GGI_AUTO ? suggest : type);
}

const ggi_directbuffer *ggiDBGetBuffer(ggi_visual_t vis, int bufnum)
{
    if (!is_open(vis) || bufnum != 0)
        return nullptr;
    return vis->direct_buffer();
}

int ggiPutBox(ggi_visual_t vis, int x, int y, int w, int h, const void *buffer)
{
    if (!is_open(vis) || !vis->has_mode() || !buffer)
        return -1;
    if (w <= 0 || h <= 0)
        return 0;
    Picture &p = vis->picture();
    picture_put(p, x, y, w, h, buffer);
    vis->box_done(x <= 0 && y <= 0 && int64_t(x) + w >= p.w && int64_t(y) + h >= p.h);
    return 0;
}

int ggiFlush(ggi_visual_t vis)
{
    if (!is_open(vis))
        return -1;
    if (vis->has_mode())
        vis->flush();
    return 0;
}

int ggiSetPalette(ggi_visual_t vis, int start, int len, const ggi_color *colormap)
{
    if (!is_open(vis) || !colormap || start < 0 || len < 0 || start > 256 || len > 256 - start)
        return -1;
    Picture &p = vis->picture();
    if (p.type != GT_8BIT && p.type != 0)
        return -1;
    std::copy(colormap, colormap + len, p.palette + start);
    return 0;
}

ggi_pixel ggiMapColor(ggi_visual_t vis, const ggi_color *col)
{
    if (!is_open(vis) || !col)
        return 0;
    return map_colour(vis->picture(), *col);
}

int ggiSetGCForeground(ggi_visual_t vis, ggi_pixel color)
{
    if (!is_open(vis))
        return -1;
    vis->picture().fg = color;
    return 0;
}

int ggiFillscreen(ggi_visual_t vis)
{
    if (!is_open(vis) || !vis->has_mode())
        return -1;
    Picture &p = vis->picture();
    picture_fill(p, p.fg);
    return 0;
}

int ggiGetc(ggi_visual_t vis)
{
    gii_event ev;
    if (!is_open(vis) || read_event(vis->input_owner(), &ev, emKeyPress | emKeyRepeat) == 0)
        return GIIUC_Escape;
    return int(ev.key.sym);
}

namespace {

// Set by a harness that feeds the loaders damaged files and must outlive their stops.
ggiLayerPanicHandler panic_handler = nullptr;
// Set by a program that changes its working directory before opening the display; empty:
// file names stay as given.
std::string origin;

}  // namespace

std::string ggi::from_origin(const std::string &file)
{
    if (origin.empty() || file.empty() || file[0] == '/')
        return file;
    return origin + "/" + file;
}

void ggiLayerSetOrigin(const char *dir)
{
    origin = dir ? dir : "";
}

void ggiLayerSetPanicHandler(ggiLayerPanicHandler handler)
{
    panic_handler = handler;
}

void ggiPanic(const char *format, ...)
{
    va_list ap;
    if (panic_handler) {
        char message[1024];
        va_start(ap, format);
        std::vsnprintf(message, sizeof message, format, ap);
        va_end(ap);
        panic_handler(message);
    }
    // The message belongs on the terminal as the user had it, not on a picture about to vanish.
    for (ggi_visual *v : open_visuals())
        v->give_back();
    va_start(ap, format);
    std::vfprintf(stderr, format, ap);
    va_end(ap);
    // A stop's message is a line of its own, whether or not its text ends the line.
    const size_t n = std::strlen(format);
    if (n == 0 || format[n - 1] != '\n')
        std::fputc('\n', stderr);
    std::fflush(stderr);
    // exit runs the end-of-process handler, which writes the -final pictures.
    std::exit(1);
}

gii_event_mask ggiEventPoll(ggi_visual_t vis, gii_event_mask mask, struct timeval *t)
{
    if (!is_open(vis))
        return 0;
    return poll_events(vis->input_owner(), mask, t);
}

int ggiEventRead(ggi_visual_t vis, gii_event *ev, gii_event_mask mask)
{
    if (!is_open(vis) || !ev)
        return 0;
    return read_event(vis->input_owner(), ev, mask);
}

int64_t ggiLayerFrame(ggi_visual_t vis)
{
    if (!is_open(vis))
        return -1;
    return vis->input_owner()->in.frame;
}

int ggiLayerShown(ggi_visual_t vis, int *w, int *h, std::vector<uint8_t> *rgb)
{
    int pw = 0, ph = 0;
    std::vector<uint8_t> data;
    if (!is_open(vis) || !vis->shown_rgb(data, pw, ph))
        return -1;
    if (w)
        *w = pw;
    if (h)
        *h = ph;
    if (rgb)
        *rgb = std::move(data);
    return 0;
}

int ggiLayerWritePPM(ggi_visual_t vis, const char *file)
{
    if (!is_open(vis) || !file)
        return -1;
    return write_shown(vis, file) ? 0 : -1;
}

const ggi_color *ggiLayerPalette(ggi_visual_t vis)
{
    return is_open(vis) ? vis->picture().palette : nullptr;
}

SDL_Window *ggiLayerWindow(ggi_visual_t vis)
{
    return is_open(vis) ? vis->window() : nullptr;
}

FILE *ggiLayerOpenFile(const char *name, long *size)
{
    const int fd = name ? open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *f = fdopen(fd, "rb");
    if (!f) {
        close(fd);
        return nullptr;
    }
    if (size)
        *size = long(st.st_size);
    return f;
}
