// Runs every benchmark, prints Google Benchmark's table, then one line per figure:
// NAME value floor ratio target PASS|MISS (RECORD for figures kept for the record only).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "messung.h"

namespace {

// The console table, with every run's counters kept for the figures.
class Sammler : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::map<std::string, double>> zaehler;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            auto &z = zaehler[run.benchmark_name()];
            for (const auto &[name, c] : run.counters)
                z[name] = c.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // A counter of a benchmark, or a negative value when the benchmark did not run.
    double Wert(const std::string &lauf, const std::string &name) const
    {
        const auto l = zaehler.find(lauf);
        if (l == zaehler.end())
            return -1;
        const auto z = l->second.find(name);
        return z == l->second.end() ? -1 : z->second;
    }
};

// One figure: value and floor in the unit its name gives, their ratio, the target ratio
// (none for a figure kept for the record) and whether the ratio stays within it.
void Zeile(const char *name, double wert, double boden, double ziel)
{
    if (wert < 0) {
        if (ziel > 0)
            std::printf("%-22s - - - %.2f NOT-RUN\n", name, ziel);
        else
            std::printf("%-22s - - - - NOT-RUN\n", name);
        return;
    }
    if (boden <= 0) {
        std::printf("%-22s %.0f - - - RECORD\n", name, wert);
        return;
    }
    const double verhaeltnis = wert / boden;
    if (ziel <= 0) {
        std::printf("%-22s %.1f %.1f %.2f - RECORD\n", name, wert, boden, verhaeltnis);
        return;
    }
    std::printf("%-22s %.3f %.3f %.2f %.2f %s\n", name, wert, boden, verhaeltnis, ziel,
                verhaeltnis <= ziel ? "PASS" : "MISS");
}

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!messung::SpielStarten())
        std::fprintf(stderr, "The game did not start in the run folder; its frames are not measured.\n");
    messung::BildBenchmarks();
    messung::DarstellungBenchmarks();
    messung::ProzessBenchmarks();

    Sammler sammler;
    benchmark::RunSpecifiedBenchmarks(&sammler);
    benchmark::Shutdown();

    const Sammler &s = sammler;
    std::printf("\nNAME value floor ratio target PASS|MISS\n");
    Zeile("frame_start_us", s.Wert("Frame/start/manual_time", "frame_us"),
          s.Wert("Frame/start/manual_time", "floor_us"), 1.5);
    Zeile("frame_busy_us", s.Wert("Frame/busy/manual_time", "frame_us"), s.Wert("Frame/busy/manual_time", "floor_us"),
          0);
    Zeile("frame_worst_us", s.Wert("Frame/worst/manual_time", "frame_us"),
          s.Wert("Frame/worst/manual_time", "floor_us"), 3.0);
    // The busy and worst scenes against the floor that also counts their units' and effects'
    // image bytes.
    Zeile("frame_busy_us/2", s.Wert("Frame/busy/manual_time", "frame_us"),
          s.Wert("Frame/busy/manual_time", "floor2_us"), 0);
    Zeile("frame_worst_us/2", s.Wert("Frame/worst/manual_time", "frame_us"),
          s.Wert("Frame/worst/manual_time", "floor2_us"), 0);
    Zeile("present_us", s.Wert("Present/manual_time", "layer_us"), s.Wert("Present/manual_time", "sdl_us"), 1.0);
    // The window's share is measured against one whole core.
    const double anteil = s.Wert("Window/iterations:1/manual_time", "cpu_share");
    Zeile("window_cpu_share", anteil, anteil < 0 ? -1 : 1.0, 0.04);
    Zeile("startup_ms", s.Wert("Startup/iterations:15/manual_time", "start_ms"),
          s.Wert("Startup/iterations:15/manual_time", "floor_ms"), 1.2);
    Zeile("wegsuchen_calls_per_s", s.Wert("WegSuchen", "calls_per_s"), 0, 0);
    return 0;
}
