// Feeds one input to each of the readers a file or a script reaches and checks what they made
// of it; shared by the fuzzers and by the test that replays their corpus.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <ggi/layer.h>

#include "display/pcxlib.h"
#include "display/video.h"
#include "ggi/internal.h"
#include "lumora.h"
#include "map/maps.h"
#include "startup/file.h"

namespace feed {

// A fatal stop of the game, caught: the reader refused its input.
struct Stopped {
    std::string message;
};

// What a reader made of an input. `fault` is empty unless the reader did something wrong.
struct Outcome {
    bool taken = false;
    std::string message;  // the stop's message when refused
    std::string fault;
};

// Makes the game's fatal stops throw Stopped instead of ending the process.
inline void CatchStops()
{
    ggiLayerSetPanicHandler([](const char *message) { throw Stopped{message}; });
}

// The input as a file in memory with a path the readers can open, gone when this is.
class MemFile {
public:
    MemFile(const uint8_t *data, size_t size)
    {
        fd_ = memfd_create("korvan-feed", MFD_CLOEXEC);
        for (size_t done = 0; fd_ >= 0 && done < size;) {
            ssize_t n = write(fd_, data + done, size - done);
            if (n <= 0) {
                close(fd_);
                fd_ = -1;
            } else {
                done += size_t(n);
            }
        }
        if (fd_ >= 0)
            path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemFile()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    MemFile(const MemFile &) = delete;
    MemFile &operator=(const MemFile &) = delete;

    bool ok() const { return fd_ >= 0; }
    const char *path() const { return path_.c_str(); }

private:
    int fd_ = -1;
    std::string path_;
};

inline Outcome Fault(std::string what)
{
    Outcome o;
    o.fault = std::move(what);
    return o;
}

inline std::string At(int row, int column)
{
    return " at row " + std::to_string(row) + ", column " + std::to_string(column);
}

// ---- The mission loader and the map preparation after it.

// The mission file is 20,004 bytes; two more bytes, when present, choose how many tile
// pictures there are (1 to 1000), so that maps naming pictures that do not exist turn up.
constexpr size_t MISSION_BYTES = 4 + 2 * KARTE_MAX * KARTE_MAX;
constexpr int DEFAULT_TILES = 706;

// Pixel (k, l) of tile t: never 255, which marks the rendered map's unwritten bytes.
inline unsigned char TilePixel(int t, int k, int l)
{
    return static_cast<unsigned char>((t * 7 + k * 20 + l) % 255);
}

// One scan line of runs checked against what a run is: the obstacle cells from `anfang` up
// to before `ende`, with open cells (or the map's edge, one past it) on both sides; an open
// cell holds 0, or its own place in `ende` right after a run.
inline std::string CheckRuns(bool vertical, int line, int last)
{
    auto cell = [&](int i) -> POS & { return vertical ? YKarte[i][line] : XKarte[line][i]; };
    auto blocked = [&](int i) { return (vertical ? Karte[i][line] : Karte[line][i]) > 95; };
    const char *name = vertical ? "YKarte" : "XKarte";
    for (int i = 0; i <= last + 1; ++i) {
        const POS p = cell(i);
        const std::string where = vertical ? At(i, line) : At(line, i);
        if (i <= last && blocked(i)) {
            bool ok = p.anfang <= i && i < p.ende && p.ende <= last + 1 &&
                      (p.anfang == 0 || !blocked(p.anfang - 1)) &&
                      (p.ende == last + 1 || !blocked(p.ende));
            for (int j = p.anfang; ok && j < p.ende; ++j)
                ok = blocked(j);
            if (!ok)
                return std::string(name) + " {" + std::to_string(p.anfang) + ", " +
                       std::to_string(p.ende) + "} is not the run" + where;
        } else {
            const int ende = i > 0 && blocked(i - 1) ? i : 0;
            if (p.anfang != 0 || p.ende != ende)
                return std::string(name) + " of an open cell is {" + std::to_string(p.anfang) +
                       ", " + std::to_string(p.ende) + "}" + where;
        }
    }
    return "";
}

// Landschaft from a given scroll position: the position lands inside the map, and nothing
// shown comes from a part of the rendered map that was never written.
inline std::string CheckView(int16_t x, int16_t y)
{
    ScrollX = x;
    ScrollY = y;
    Landschaft();
    const int hx = std::max(0, std::min<int>(x, 20 * FeldX - WIDTH));
    const int hy = std::max(0, std::min<int>(y, 20 * FeldY - HEIGHT - 20));
    if (ScrollX != hx || ScrollY != hy)
        return "scrolling to " + std::to_string(x) + ", " + std::to_string(y) + " ends at " +
               std::to_string(ScrollX) + ", " + std::to_string(ScrollY);
    if (std::memchr(VScreen, 255, WIDTH * HEIGHT) != nullptr)
        return "the view at " + std::to_string(x) + ", " + std::to_string(y) +
               " shows unwritten map";
    return "";
}

inline Outcome Mission(const uint8_t *data, size_t size)
{
    int tiles = DEFAULT_TILES;
    if (size >= MISSION_BYTES + 2)
        tiles = 1 + (data[MISSION_BYTES] | data[MISSION_BYTES + 1] << 8) % 1000;
    // Made once; each input gets a copy of exactly its size, so that a read past the last
    // picture is seen.
    static const std::vector<unsigned char> every = [] {
        std::vector<unsigned char> p(1000 * 400);
        for (int t = 0; t < 1000; ++t)
            for (int k = 0; k < 20; ++k)
                for (int l = 0; l < 20; ++l)
                    p[size_t(t) * 400 + k * 20 + l] = TilePixel(t, k, l);
        return p;
    }();
    std::vector<unsigned char> pictures(every.begin(), every.begin() + tiles * 400);
    std::vector<unsigned char> view(WIDTH * HEIGHT);
    // The rendered map lives for the whole run, as in the game; 255 marks what nobody wrote.
    static unsigned char *rendered =
        static_cast<unsigned char *>(malloc(KARTE_PIXEL * KARTE_PIXEL));
    if (rendered == nullptr)
        return Fault("no memory for the rendered map");
    memset(rendered, 255, KARTE_PIXEL * KARTE_PIXEL);

    TerrainData = pictures.data();
    TerrainLaenge = long(pictures.size());
    Terrain = rendered;
    VScreen = view.data();
    memset(Karte, 0, sizeof Karte);
    memset(XKarte, 0, sizeof XKarte);
    memset(YKarte, 0, sizeof YKarte);
    memset(Animated, 0, sizeof Animated);
    AniAnz = 0;
    FeldX = FeldY = 0;

    MemFile file(data, size);
    if (!file.ok())
        return Fault("cannot make the mission file");
    Outcome o;
    try {
        LoadMap(file.path());
        DecodeKarte();
        InitXYKarte();
        InitKarte();
    } catch (const Stopped &s) {
        o.message = s.message;
        return o;
    }
    o.taken = true;
    if (FeldX < KARTE_MIN_X || FeldX > KARTE_MAX - 2 || FeldY < KARTE_MIN_Y ||
        FeldY > KARTE_MAX - 2)
        return Fault("a map of " + std::to_string(FeldX) + " x " + std::to_string(FeldY) +
                     " tiles was taken");
    if (Terrain != rendered)
        return Fault("the rendered map was allocated again");

    for (int y = 0; y <= FeldY; ++y)
        if (std::string f = CheckRuns(false, y, FeldX); !f.empty())
            return Fault(f);
    for (int x = 0; x <= FeldX; ++x)
        if (std::string f = CheckRuns(true, x, FeldY); !f.empty())
            return Fault(f);

    // Every cell that starts an animation, in scan order, with a first frame of its own.
    int n = 0;
    for (int y = 0; y < FeldY; ++y)
        for (int x = 0; x < FeldX; ++x) {
            const int16_t t = Karte[y][x];
            if (t != 662 && t != 676 && t != 700)
                continue;
            if (n >= AniAnz)
                return Fault("the animation" + At(y, x) + " is missing");
            const ANITER &a = Animated[n++];
            const int16_t ende = t == 662 ? 675 : t == 676 ? 687 : 706;
            if (a.x != 20 * x || a.y != 20 * y || a.start != t || a.ende != ende ||
                a.index < a.start || a.index >= a.ende)
                return Fault("the animation" + At(y, x) + " is set up wrongly");
        }
    if (n != AniAnz)
        return Fault(std::to_string(AniAnz) + " animations for " + std::to_string(n) + " cells");

    // Every frame of the longest animation, and back to its first: each step paints the
    // frame it names, unchanged.
    for (int step = 0; step < 14; ++step) {
        AniKarte();
        for (int i = 0; i < AniAnz; ++i) {
            const ANITER &a = Animated[i];
            if (a.index <= a.start || a.index > a.ende)
                return Fault("animation " + std::to_string(i) + " stepped to " +
                             std::to_string(a.index));
            for (int k = 0; k < 20; ++k)
                if (memcmp(Terrain + (a.y + k) * KARTE_PIXEL + a.x,
                           every.data() + (a.index - 1) * 400 + k * 20, 20) != 0)
                    return Fault("animation " + std::to_string(i) + " painted a wrong frame");
        }
    }

    const int16_t asked = int16_t(data[0] | data[1] << 8);
    const int16_t positions[][2] = {{0, 0}, {INT16_MAX, INT16_MAX}, {INT16_MIN, INT16_MIN},
                                    {-30, 5000}, {asked, asked}};
    for (const auto &p : positions)
        if (std::string f = CheckView(p[0], p[1]); !f.empty())
            return Fault(f);
    return o;
}

// ---- The reader of the sprite-layout numbers.

constexpr int LAYOUT_NUMBERS = 41;

// What atoi makes of an entry's value, and whether the file holds 41 entries whose values
// fit 4 characters.
inline bool ExpectedNumbers(const uint8_t *data, size_t size, int16_t *numbers)
{
    size_t i = 0;
    for (int e = 0; e < LAYOUT_NUMBERS; ++e) {
        while (i < size && data[i] != '=')
            ++i;
        if (i == size)
            return false;
        const size_t start = ++i;
        while (i < size && data[i] != ':')
            ++i;
        if (i == size || i - start > 4)
            return false;
        const std::string text(reinterpret_cast<const char *>(data) + start, i - start);
        numbers[e] = int16_t(std::atoi(text.c_str()));
        ++i;
    }
    return true;
}

inline Outcome MannNum(const uint8_t *data, size_t size)
{
    MemFile file(data, size);
    FILE *D = file.ok() ? fopen(file.path(), "rb") : nullptr;
    if (D == nullptr)
        return Fault("cannot make the number file");
    int16_t got[LAYOUT_NUMBERS];
    Outcome o;
    try {
        for (int16_t &n : got)
            n = int16_t(get_ini_value(D));
        o.taken = true;
    } catch (const Stopped &s) {
        o.message = s.message;
    }
    fclose(D);

    int16_t want[LAYOUT_NUMBERS];
    const bool whole = ExpectedNumbers(data, size, want);
    if (o.taken != whole)
        return Fault(o.taken ? "a damaged number file was taken"
                             : "a sound number file was refused: " + o.message);
    for (int e = 0; o.taken && e < LAYOUT_NUMBERS; ++e)
        if (got[e] != want[e])
            return Fault("entry " + std::to_string(e + 1) + " reads " + std::to_string(got[e]) +
                         ", atoi gives " + std::to_string(want[e]));
    return o;
}

// ---- The game's full-screen PCX loader.

inline Outcome GamePcx(const uint8_t *data, size_t size)
{
    // Exactly the view buffer's size, so that a byte written past it is seen.
    std::vector<unsigned char> view(WIDTH * HEIGHT, 0);
    VScreen = view.data();
    vis = nullptr;
    MemFile file(data, size);
    if (!file.ok())
        return Fault("cannot make the picture file");
    Outcome o;
    try {
        show_PCX(file.path());
        o.taken = true;
    } catch (const Stopped &s) {
        o.message = s.message;
        return Fault("a picture that exists was refused: " + o.message);
    }

    // Pixels the codes cover; past them the end of the file reads as colour 255.
    size_t covered = 0;
    for (size_t i = 128; i < size && covered < size_t(WIDTH * HEIGHT); ++i)
        if (data[i] >= 192) {
            covered += data[i] - 192;
            ++i;
        } else {
            ++covered;
        }
    static const std::vector<unsigned char> white(WIDTH * HEIGHT, 255);
    if (covered < view.size() &&
        memcmp(view.data() + covered, white.data(), view.size() - covered) != 0)
        return Fault("the pixels after the end of the file are not all 255");
    return o;
}

// ---- The viewer's PCX reader.

inline Outcome ViewerPcx(const uint8_t *data, size_t size)
{
    MemFile memory(data, size);
    FILE *file = memory.ok() ? fopen(memory.path(), "rb") : nullptr;
    if (file == nullptr)
        return Fault("cannot make the picture file");
    uint8_t palette[PCX_PALETTE_SIZE];
    uint16_t width = 0;
    uint16_t height = 0;
    pcx_result result;
    uint8_t *pixels = readpcx(file, palette, &width, &height, &result);
    fclose(file);

    Outcome o;
    o.taken = pixels != nullptr;
    if (o.taken != (result == PCX_LOADED))
        return Fault("the picture and the result disagree");
    if (pixels != nullptr) {
        if (width == 0 || width > PCX_MAX_WIDTH || height == 0 || height > PCX_MAX_HEIGHT)
            o.fault = "a picture of " + std::to_string(width) + " x " + std::to_string(height);
        // Reading every pixel lets the address sanitizer see a picture allocated too small.
        static uint8_t shown[PCX_MAX_WIDTH * PCX_MAX_HEIGHT];
        if (o.fault.empty())
            memcpy(shown, pixels, size_t(width) * height);
        free(pixels);
    }
    return o;
}

// ---- The display layer's event-script reader.

// Whether two script lines deliver the same: the frame, and the event's type and payload.
inline bool SameLine(const ggi::ScriptLine &a, const ggi::ScriptLine &b)
{
    if (a.frame != b.frame || a.shot != b.shot || a.event.any.type != b.event.any.type)
        return false;
    switch (a.event.any.type) {
    case evKeyPress:
    case evKeyRepeat:
    case evKeyRelease:
        return a.event.key.sym == b.event.key.sym;
    case evPtrRelative:
    case evPtrAbsolute:
        return a.event.pmove.x == b.event.pmove.x && a.event.pmove.y == b.event.pmove.y;
    case evPtrButtonPress:
    case evPtrButtonRelease:
        return a.event.pbutton.button == b.event.pbutton.button;
    default:
        return true;
    }
}

// A script that parses comes back unchanged when its events are written out as a recording
// writes them and read again.
inline Outcome Script(const uint8_t *data, size_t size)
{
    MemFile file(data, size);
    if (!file.ok())
        return Fault("cannot make the script file");
    std::vector<ggi::ScriptLine> lines;
    Outcome o;
    o.taken = ggi::parse_script(file.path(), lines);
    if (!o.taken)
        return o;

    std::string recorded;
    std::vector<ggi::ScriptLine> events;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0 && lines[i].frame < lines[i - 1].frame)
            return Fault("line " + std::to_string(i + 1) + " goes back in frames");
        if (lines[i].shot)
            continue;
        recorded += ggi::format_event(lines[i].frame, lines[i].event) + "\n";
        events.push_back(lines[i]);
    }
    MemFile again(reinterpret_cast<const uint8_t *>(recorded.data()), recorded.size());
    std::vector<ggi::ScriptLine> replayed;
    if (!again.ok())
        return Fault("cannot make the recording file");
    if (!ggi::parse_script(again.path(), replayed))
        return Fault("the recording of a script does not parse:\n" + recorded);
    if (replayed.size() != events.size())
        return Fault("the recording holds " + std::to_string(replayed.size()) + " events, not " +
                     std::to_string(events.size()));
    for (size_t i = 0; i < events.size(); ++i)
        if (!SameLine(events[i], replayed[i]))
            return Fault("event " + std::to_string(i + 1) + " is recorded as '" +
                         ggi::format_event(replayed[i].frame, replayed[i].event) + "'");
    return o;
}

}  // namespace feed
