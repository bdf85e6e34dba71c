// What the benchmarks share: the clock, medians, and the registration of each group.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace messung {

using Uhr = std::chrono::steady_clock;

inline double Sekunden(Uhr::time_point von, Uhr::time_point bis)
{
    return std::chrono::duration<double>(bis - von).count();
}

// The middle of the samples: noise from other processes only ever adds time, and the
// median keeps a few stalls from moving the figure.
inline double Median(std::vector<double> werte)
{
    if (werte.empty())
        return 0;
    std::nth_element(werte.begin(), werte.begin() + werte.size() / 2, werte.end());
    return werte[werte.size() / 2];
}

// Start-up of the game in this process, on the headless display, with its start position,
// busy battle and full effect tables kept for the frame benchmarks. False when it failed.
bool SpielStarten();

// Each group registers its benchmarks; main runs them in this order.
void BildBenchmarks();         // frame cost in three scenes, and the route planner
void DarstellungBenchmarks();  // the window's present against SDL's conversion
void ProzessBenchmarks();      // start-up and the window's processor share, in child processes

}  // namespace messung
