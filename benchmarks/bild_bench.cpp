// A frame's cost in the start position, a busy battle and with every effect table full,
// each against the floor of copying the two pictures a frame writes; the route planner.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "display/video.h"
#include "effects/explose.h"
#include "effects/rauch.h"
#include "game/szenen.h"
#include "map/maps.h"
#include "messung.h"
#include "path/weg.h"
#include "stand.h"
#include "startup/file.h"
#include "units/vardefs.h"

namespace messung {

namespace {

// The three scenes, each kept as it stood when it was built.
szenen::Stand Startstellung, Gefecht, Voll;
bool gestartet = false;

// The source of the floor's first copy: as large as the view buffer.
unsigned char Quelle[WIDTH * HEIGHT];
// The floor's view buffer, allocated as the game allocates one: the game draws its view
// straight into the display where it can, and the floor keeps copying through a buffer of
// its own as a frame once did.
unsigned char *Ansicht = nullptr;

// One row of a picture copied into the view: from, to (an offset in the view) and how many.
struct Zeile {
    const unsigned char *von;
    size_t nach, n;
};

// The rows of a w x h picture at `bild` (or less, where the loaded bytes end) put with its
// top-left corner at view point (x, y), cut to the view.
void Bildzeilen(std::vector<Zeile> &z, const unsigned char *daten, long laenge, long bild, int w, int h, int x, int y)
{
    if (daten == nullptr || w <= 0 || h <= 0 || bild < 0)
        return;
    const int j0 = std::max(0, -x), j1 = std::min(w, WIDTH - x);
    for (int i = std::max(0, -y); i < std::min(h, HEIGHT - y) && j0 < j1; ++i)
        if (bild + long(i) * w + j1 <= laenge)
            z.push_back({daten + bild + long(i) * w + j0, size_t(y + i) * WIDTH + size_t(x + j0), size_t(j1 - j0)});
}

// The sprite floor's rows: every unit on screen, explosion and smoke puff of the scene as it
// stands, each image row copied to its place as it is drawn (the bolts' single pixels are not
// counted).
std::vector<Zeile> Bildbytes()
{
    std::vector<Zeile> z;
    for (const MANN &m : Leute) {
        const int x = m.ax - ScrollX, y = m.ay - ScrollY;
        if (m.free != 0 && x >= -20 && x < WIDTH && y >= -20 && y < HEIGHT)
            Bildzeilen(z, LeuteData, LeuteLaenge, m.shape_start + long(m.shape) * m.shapeX * m.shapeY, m.shapeX,
                       m.shapeY, x, y);
    }
    for (const EXPLO &e : Explose)
        if (e.free == 1)
            Bildzeilen(z, ExploseData, ExploseLaenge, e.shape_start + long(e.shape_x) * e.shape_y * e.index, e.shape_x,
                       e.shape_y, e.x, e.y);
    for (const RAUCH &r : Rauch)
        if (r.free == 1)
            Bildzeilen(z, RauchData, RauchLaenge, 14L * 14 * r.index, 14, 14, r.x, r.y);
    return z;
}

// One frame of the game from `stand`, timed alone, then the floor: the two whole pictures a
// frame used to write (the map window into the view buffer, the view buffer onto the
// display), as two plain block copies. The counters are the medians of both over every
// iteration and their ratio; besides, a second floor that also copies the rows of the scene's
// units and effect images into the floor's view with memcpy: the bytes the picture's rules
// must read and write, which the first floor does not count.
void Bild(benchmark::State &state, const szenen::Stand *stand)
{
    if (!gestartet) {
        state.SkipWithError("the game did not start");
        return;
    }
    szenen::Zuruecksetzen(*stand);
    const std::vector<Zeile> zeilen = Bildbytes();
    std::vector<double> bild, boden, boden2;
    for (auto _ : state) {
        szenen::Zuruecksetzen(*stand);
        const auto a = Uhr::now();
        szenen::Bild();
        const auto b = Uhr::now();
        std::memcpy(Ansicht, Quelle, sizeof Quelle);
        std::memcpy(Screen, Ansicht, sizeof Quelle);
        benchmark::ClobberMemory();
        const auto c = Uhr::now();
        for (const Zeile &z : zeilen)
            std::memcpy(Ansicht + z.nach, z.von, z.n);
        benchmark::ClobberMemory();
        const auto d = Uhr::now();
        state.SetIterationTime(Sekunden(a, b));
        bild.push_back(Sekunden(a, b));
        boden.push_back(Sekunden(b, c));
        boden2.push_back(Sekunden(b, d));
    }
    const double b = Median(bild), f = Median(boden), f2 = Median(boden2);
    state.counters["frame_us"] = b * 1e6;
    state.counters["floor_us"] = f * 1e6;
    state.counters["ratio"] = f > 0 ? b / f : 0;
    state.counters["floor2_us"] = f2 * 1e6;
    state.counters["ratio2"] = f2 > 0 ? b / f2 : 0;
}

// Route planning for orders from random open places to random open places of the demo map,
// for a unit in a slot of its own.
void WegSuchenBench(benchmark::State &state)
{
    if (!gestartet) {
        state.SkipWithError("the game did not start");
        return;
    }
    struct Auftrag {
        int16_t ax, ay, dx, dy;
    };
    std::mt19937 zufall(1);
    auto offen = [&zufall]() {
        for (;;) {
            const int x = static_cast<int>(zufall() % (20u * FeldX));
            const int y = static_cast<int>(zufall() % (20u * (FeldY - 1)));
            if (Karte[y / 20][x / 20] <= 96)
                return std::pair<int16_t, int16_t>(static_cast<int16_t>(x), static_cast<int16_t>(y));
        }
    };
    std::vector<Auftrag> auftraege(4096);
    for (Auftrag &a : auftraege) {
        const auto von = offen(), nach = offen();
        a = {von.first, von.second, nach.first, nach.second};
    }
    const short slot = MAX_LEUTE - 1;
    const MANN alt = Leute[slot];
    MANN &m = Leute[slot];
    size_t i = 0;
    for (auto _ : state) {
        const Auftrag &a = auftraege[i++ % auftraege.size()];
        m.ax = a.ax;
        m.ay = a.ay;
        m.dx = a.dx;
        m.dy = a.dy;
        m.attack = 0;
        m.dcount = 0;
        m.d1count = 0;
        WegSuchen(slot);
        benchmark::DoNotOptimize(m.dmax);
    }
    Leute[slot] = alt;
    state.counters["calls_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

bool SpielStarten()
{
    if (chdir(KORVAN_RUN_DIR) != 0 || setenv("GGI_DISPLAY", "memory", 1) != 0)
        return false;
    // The start-up's progress lines would run into the table.
    std::fflush(stdout);
    const int ausgabe = dup(1);
    const int leer = open("/dev/null", O_WRONLY);
    dup2(leer, 1);
    close(leer);
    gestartet = szenen::Start();
    if (gestartet) {
        szenen::Sichern(Startstellung);
        szenen::Gefecht(10);
        szenen::Sichern(Gefecht);
        szenen::VolleTabellen();
        szenen::Sichern(Voll);
    }
    std::fflush(stdout);
    dup2(ausgabe, 1);
    close(ausgabe);
    Ansicht = static_cast<unsigned char *>(std::malloc(sizeof Quelle));
    gestartet = gestartet && Ansicht != nullptr;
    for (size_t i = 0; i < sizeof Quelle; ++i)
        Quelle[i] = static_cast<unsigned char>(i * 7 + i / 640);
    return gestartet;
}

void BildBenchmarks()
{
    benchmark::RegisterBenchmark("Frame/start", Bild, &Startstellung)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Frame/busy", Bild, &Gefecht)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Frame/worst", Bild, &Voll)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("WegSuchen", WegSuchenBench)->Unit(benchmark::kMicrosecond);
}

}  // namespace messung
