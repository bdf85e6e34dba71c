// One pass of the game loop in the start position and with every effect table full, timed by
// the same program natively and in the browser build, so that ./bench can set the page's frame
// against the native one of the same run. The game runs on the headless display, as in the
// frame benchmarks; the first argument is the run folder (the browser build has its resources
// packed at the root). Prints one line per scene, microseconds a pass:
//
//     frame_start_us 11.9
//     frame_worst_us 35.2
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/szenen.h"
#include "stand.h"

namespace {

using Uhr = std::chrono::steady_clock;

// The browser's clock is coarse (five microseconds where the page is isolated from others, a
// hundred where not), so every sample times a run of passes of a millisecond or more: short
// enough that most samples run without another process taking the core, and the samples'
// medians keep the others out.
constexpr double PROBE_S = 0.001;
constexpr int PROBEN = 201;

double Sekunden(Uhr::time_point von, Uhr::time_point bis)
{
    return std::chrono::duration<double>(bis - von).count();
}

double Median(std::vector<double> werte)
{
    std::nth_element(werte.begin(), werte.begin() + werte.size() / 2, werte.end());
    return werte[werte.size() / 2];
}

// Passes from `stand`, each from the scene as it was kept; their time in seconds.
double Passes(const szenen::Stand &stand, int n)
{
    const auto a = Uhr::now();
    for (int i = 0; i < n; ++i) {
        szenen::Zuruecksetzen(stand);
        szenen::Bild();
    }
    return Sekunden(a, Uhr::now());
}

// Microseconds a pass of the game loop from `stand`, without the scene's restoring: each
// sample times a run of passes and then as many restores alone, and the median of the second
// is taken from the median of the first.
double Durchlauf(const szenen::Stand &stand)
{
    // The run's length: doubled until a run takes a sample's time (a stall on the way only
    // shortens it).
    int n = 1;
    while (n < (1 << 20) && Passes(stand, n) < PROBE_S)
        n *= 2;

    std::vector<double> mit, ohne;
    for (int probe = 0; probe < PROBEN; ++probe) {
        mit.push_back(Passes(stand, n));
        const auto a = Uhr::now();
        for (int i = 0; i < n; ++i)
            szenen::Zuruecksetzen(stand);
        ohne.push_back(Sekunden(a, Uhr::now()));
    }
    szenen::Zuruecksetzen(stand);
    return (Median(mit) - Median(ohne)) / n * 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    if ((argc > 1 && chdir(argv[1]) != 0) || setenv("GGI_DISPLAY", "memory", 1) != 0) {
        std::perror(argc > 1 ? argv[1] : "GGI_DISPLAY");
        return 1;
    }
    if (!szenen::Start()) {
        std::fprintf(stderr, "The game did not start; no frame is measured.\n");
        return 1;
    }
    static szenen::Stand start, voll;
    szenen::Sichern(start);
    szenen::Gefecht(10);
    szenen::VolleTabellen();
    szenen::Sichern(voll);

    const double s = Durchlauf(start), w = Durchlauf(voll);
    std::printf("frame_start_us %.3f\nframe_worst_us %.3f\n", s, w);
    return 0;
}
