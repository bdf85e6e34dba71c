// Feeds one input to each reader a file or a script reaches and checks what it made of it;
// shared by the fuzzers and by the test that replays their corpus.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <ggi/layer.h>

#include "display/pcxlib.h"
#include "display/video.h"
#include "lumora.h"
#include "map/maps.h"
#include "startup/file.h"
#include <ggi/testing.h>

namespace feed {

// A fatal stop of the game, caught: the reader refused its input.
struct Stopped {
    std::string message;
};

// What a reader made of an input; `fault` is empty unless the reader did something wrong.
struct Outcome {
    bool taken = false;
    std::string message, fault;
};

inline void CatchStops()
{
    ggiLayerSetPanicHandler([](const char *message) { throw Stopped{message}; });
}

inline Outcome Fault(const std::string &what)
{
    return {false, "", what};
}

// The input as a file in memory with a path the readers can open, gone with this object.
struct MemFile {
    int fd;
    std::string path;
    MemFile(const void *data, size_t size) : fd(memfd_create("korvan-feed", MFD_CLOEXEC))
    {
        if (fd >= 0 && write(fd, data, size) != ssize_t(size))
            close(fd), fd = -1;
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    ~MemFile() { fd >= 0 && close(fd); }
};

// ---- The mission loader and the map preparation after it. Two bytes past the mission
// choose how many tile pictures there are, so that maps naming missing pictures turn up.
constexpr size_t MISSION_BYTES = 4 + 2 * KARTE_MAX * KARTE_MAX;

// Whether a scan line's obstacle runs are right: each obstacle cell names the whole run it
// lies in, an open cell {0, 0}, or {0, its own place} just after a run.
inline bool RunsRight(bool vertical, int line, int last)
{
    auto cell = [&](int i) { return vertical ? YKarte[i][line] : XKarte[line][i]; };
    auto blocked = [&](int i) { return i <= last && (vertical ? Karte[i][line] : Karte[line][i]) > HINDERNIS; };
    for (int i = 0; i <= last + 1; ++i) {
        const POS p = cell(i);
        bool ok = blocked(i) ? p.anfang <= i && i < p.ende && (p.anfang == 0 || !blocked(p.anfang - 1)) &&
                                   !blocked(p.ende) && p.ende <= last + 1
                             : p.anfang == 0 && p.ende == (i > 0 && blocked(i - 1) ? i : 0);
        for (int j = p.anfang; ok && blocked(i) && j < p.ende; ++j)
            ok = blocked(j);
        if (!ok)
            return false;
    }
    return true;
}

inline Outcome Mission(const uint8_t *data, size_t size)
{
    const int tiles = size >= MISSION_BYTES + 2 ? 1 + (data[MISSION_BYTES] | data[MISSION_BYTES + 1] << 8) % 1000 : 706;
    // Exactly as many pictures as chosen, so that a read past the last one is seen; no
    // picture pixel is 255, which marks the rendered map's unwritten bytes.
    std::vector<unsigned char> pictures(size_t(tiles) * 400), view(WIDTH * HEIGHT);
    for (size_t i = 0; i < pictures.size(); ++i)
        pictures[i] = uint8_t(i * 7 % 255);
    static std::vector<unsigned char> rendered(KARTE_PIXEL * KARTE_PIXEL);
    std::fill(rendered.begin(), rendered.end(), 255);
    TerrainData = pictures.data();
    TerrainLaenge = long(pictures.size());
    Terrain = rendered.data();
    VScreen = view.data();
    memset(Karte, 0, sizeof Karte), memset(XKarte, 0, sizeof XKarte), memset(YKarte, 0, sizeof YKarte);
    AniAnz = FeldX = FeldY = 0;
    MemFile file(data, size);
    Outcome o;
    try {
        LoadMap(file.path.c_str());
        DecodeKarte();
        InitXYKarte();
        InitKarte();
    } catch (const Stopped &s) {
        o.message = s.message;
        return o;
    }
    o.taken = true;
    if (FeldX < KARTE_MIN_X || FeldX > KARTE_MAX - 2 || FeldY < KARTE_MIN_Y || FeldY > KARTE_MAX - 2)
        return Fault("a map of " + std::to_string(FeldX) + " x " + std::to_string(FeldY) + " was taken");
    for (int y = 0; y <= FeldY; ++y)
        if (!RunsRight(false, y, FeldX))
            return Fault("wrong obstacle runs in row " + std::to_string(y));
    for (int x = 0; x <= FeldX; ++x)
        if (!RunsRight(true, x, FeldY))
            return Fault("wrong obstacle runs in column " + std::to_string(x));
    // Every animation steps through its frames and paints each one, unchanged.
    for (int step = 0; step < 14; ++step) {
        AniKarte();
        for (int i = 0; i < AniAnz; ++i) {
            const ANITER &a = Animated[i];
            for (int k = 0; k < 20; ++k)
                if (a.index <= a.start || a.index > a.ende ||
                    memcmp(&rendered[(a.y + k) * KARTE_PIXEL + a.x], &pictures[(a.index - 1) * 400 + k * 20], 20) != 0)
                    return Fault("animation " + std::to_string(i) + " painted a wrong frame");
        }
    }
    // From any scroll position the view lands inside the map and shows only written map.
    const int16_t asked = int16_t(data[0] | data[1] << 8);
    for (int16_t v : {int16_t(0), int16_t(INT16_MAX), int16_t(INT16_MIN), asked}) {
        ScrollX = ScrollY = v;
        Landschaft();
        if (ScrollX != std::clamp<int>(v, 0, ScrollGrenzeX()) || ScrollY != std::clamp<int>(v, 0, ScrollGrenzeY()) ||
            memchr(VScreen, 255, WIDTH * HEIGHT) != nullptr)
            return Fault("the view scrolled to " + std::to_string(v) + " is wrong");
    }
    return o;
}

// ---- The reader of the sprite-layout numbers: 41 entries "NAME=VALUE:" or a stop.
inline Outcome MannNum(const uint8_t *data, size_t size)
{
    MemFile file(data, size);
    FILE *f = fopen(file.path.c_str(), "rb");
    if (f == nullptr)
        return Fault("cannot open the number file");
    Outcome o;
    try {
        for (int i = 0; i < 41; ++i)
            get_ini_value(f);
        o.taken = true;
    } catch (const Stopped &s) {
        o.message = s.message;
    }
    fclose(f);
    return o;
}

// ---- The game's full-screen PCX loader: any file is taken, and nothing is written past the view.
inline Outcome GamePcx(const uint8_t *data, size_t size)
{
    std::vector<unsigned char> view(WIDTH * HEIGHT, 0);  // exactly the size: overruns show
    VScreen = view.data();
    vis = nullptr;
    MemFile file(data, size);
    try {
        show_PCX(file.path.c_str());
    } catch (const Stopped &s) {
        return Fault("a picture that exists was refused: " + s.message);
    }
    return {true, "", ""};
}

// ---- The viewer's PCX reader: a picture within the limits, every pixel readable.
inline Outcome ViewerPcx(const uint8_t *data, size_t size)
{
    MemFile memory(data, size);
    FILE *file = fopen(memory.path.c_str(), "rb");
    if (file == nullptr)
        return Fault("cannot open the picture file");
    uint8_t palette[PCX_PALETTE_SIZE];
    uint16_t w = 0, h = 0;
    pcx_result result;
    uint8_t *pixels = readpcx(file, palette, &w, &h, &result);
    fclose(file);
    Outcome o{pixels != nullptr, "", ""};
    if (o.taken != (result == PCX_LOADED))
        return Fault("the picture and the result disagree");
    if (pixels != nullptr && (w == 0 || w > PCX_MAX_WIDTH || h == 0 || h > PCX_MAX_HEIGHT))
        o.fault = "a picture of " + std::to_string(w) + " x " + std::to_string(h);
    static uint8_t shown[PCX_MAX_WIDTH * PCX_MAX_HEIGHT];
    if (pixels != nullptr && o.fault.empty())
        memcpy(shown, pixels, size_t(w) * h);  // lets the sanitizer see a short allocation
    free(pixels);
    return o;
}

// ---- The event-script reader: a script that parses comes back the same when its events
// are written out as a recording writes them and read again.
inline Outcome Script(const uint8_t *data, size_t size)
{
    MemFile file(data, size);
    std::vector<ggi::ScriptLine> lines, events, again;
    Outcome o{ggi::parse_script(file.path, lines), "", ""};
    std::string recorded;
    for (size_t i = 0; o.taken && i < lines.size(); ++i) {
        if (i > 0 && lines[i].frame < lines[i - 1].frame)
            return Fault("a line goes back in frames");
        if (!lines[i].shot)
            recorded += ggi::format_event(lines[i].frame, lines[i].event) + "\n", events.push_back(lines[i]);
    }
    MemFile recording(recorded.data(), recorded.size());
    if (o.taken && (!ggi::parse_script(recording.path, again) || again.size() != events.size()))
        return Fault("the recording of a script does not read back:\n" + recorded);
    // The payload of every kind of event lies in the four words after the common part.
    auto same = [](const ggi::ScriptLine &a, const ggi::ScriptLine &b) {
        const gii_pmove_event &p = a.event.pmove, &q = b.event.pmove;
        return a.frame == b.frame && p.type == q.type && p.x == q.x && p.y == q.y && p.z == q.z && p.wheel == q.wheel;
    };
    for (size_t i = 0; i < again.size(); ++i)
        if (!same(events[i], again[i]))
            return Fault("event " + std::to_string(i + 1) + " reads back as " +
                         ggi::format_event(again[i].frame, again[i].event));
    return o;
}

}  // namespace feed
