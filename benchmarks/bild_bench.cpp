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
#include "game/szenen.h"
#include "map/maps.h"
#include "messung.h"
#include "path/weg.h"
#include "stand.h"
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

// One frame of the game from `stand`, timed alone, then the floor: the two whole pictures a
// frame used to write (the map window into the view buffer, the view buffer onto the
// display), as two plain block copies. The
// counters are the medians of both over every iteration and their ratio.
void Bild(benchmark::State &state, const szenen::Stand *stand)
{
    if (!gestartet) {
        state.SkipWithError("the game did not start");
        return;
    }
    std::vector<double> bild, boden;
    for (auto _ : state) {
        szenen::Zuruecksetzen(*stand);
        const auto a = Uhr::now();
        szenen::Bild();
        const auto b = Uhr::now();
        std::memcpy(Ansicht, Quelle, sizeof Quelle);
        std::memcpy(Screen, Ansicht, sizeof Quelle);
        benchmark::ClobberMemory();
        const auto c = Uhr::now();
        state.SetIterationTime(Sekunden(a, b));
        bild.push_back(Sekunden(a, b));
        boden.push_back(Sekunden(b, c));
    }
    const double b = Median(bild), f = Median(boden);
    state.counters["frame_us"] = b * 1e6;
    state.counters["floor_us"] = f * 1e6;
    state.counters["ratio"] = f > 0 ? b / f : 0;
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
