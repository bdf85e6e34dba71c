// The game as a process: start-up to the first picture against the work it cannot avoid, and
// its share of the processor while it plays a scripted battle in a window under Xvfb.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "map/maps.h"
#include "messung.h"

namespace messung {

namespace {

// Starts the game in the run folder with the given GGI_DISPLAY, its output dropped, and
// DISPLAY set or removed; returns its process id, or -1.
pid_t SpielStarten(const std::string &anzeige, const std::string &x)
{
    const pid_t kind = fork();
    if (kind != 0)
        return kind;
    const int leer = open("/dev/null", O_RDWR);
    dup2(leer, 0);
    dup2(leer, 1);
    dup2(leer, 2);
    setenv("GGI_DISPLAY", anzeige.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    // The present's benchmark may have chosen SDL's offscreen driver for this process; the
    // game's window goes to the virtual X server.
    unsetenv("SDL_VIDEODRIVER");
    if (x.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", x.c_str(), 1);
    if (chdir(KORVAN_RUN_DIR) == 0)
        execl("./korvan", "korvan", static_cast<char *>(nullptr));
    _exit(127);
}

// Processor time of this thread so far, in seconds.
double Rechenzeit()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The floor of the start-up: the random numbers the map's preparation draws (two for every
// pixel of every rendered tile) and reading every resource byte once. Its processor time.
double StartBoden()
{
    const double a = Rechenzeit();
    const long zuege = 2L * 20 * 20 * FeldX * (FeldY - 1);
    unsigned summe = 0;
    for (long i = 0; i < zuege; ++i)
        summe += static_cast<unsigned>(rand());
    benchmark::DoNotOptimize(summe);
    static std::vector<char> puffer(1 << 20);
    for (const char *ordner : {"resource", "data", "mission"})
        for (const auto &e : std::filesystem::directory_iterator(std::string(KORVAN_RUN_DIR) + "/" + ordner)) {
            FILE *f = fopen(e.path().c_str(), "rb");
            if (f == nullptr)
                continue;
            while (fread(puffer.data(), 1, puffer.size(), f) == puffer.size())
                ;
            fclose(f);
        }
    return Rechenzeit() - a;
}

// From exec to the first picture shown: the headless game told to end at its first frame.
// The figure is processor time, the game's (from its resource usage) against the floor's:
// on a machine shared with other work the clock on the wall mostly measures the others.
// The wall-clock time is kept beside it.
void Start(benchmark::State &state)
{
    std::vector<double> start, boden, wand;
    for (auto _ : state) {
        const auto a = Uhr::now();
        const pid_t kind = SpielStarten("memory:-frames=1", "");
        int status = 0;
        rusage verbrauch{};
        if (kind < 0 || wait4(kind, &status, 0, &verbrauch) != kind || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the game did not start and end cleanly");
            return;
        }
        const double w = Sekunden(a, Uhr::now());
        state.SetIterationTime(w);
        wand.push_back(w);
        start.push_back(double(verbrauch.ru_utime.tv_sec + verbrauch.ru_stime.tv_sec) +
                        double(verbrauch.ru_utime.tv_usec + verbrauch.ru_stime.tv_usec) * 1e-6);
        boden.push_back(StartBoden());
    }
    const double s = Median(start), b = Median(boden);
    state.counters["start_ms"] = s * 1e3;
    state.counters["floor_ms"] = b * 1e3;
    state.counters["ratio"] = b > 0 ? s / b : 0;
    state.counters["wall_ms"] = Median(wand) * 1e3;
}

// The path of a program by name, as the shell would find it; empty when there is none.
std::string Programm(const char *name)
{
    const char *pfad = getenv("PATH");
    std::string rest = pfad ? pfad : "/usr/bin:/bin";
    while (!rest.empty()) {
        const size_t k = rest.find(':');
        const std::string ordner = rest.substr(0, k);
        rest = k == std::string::npos ? "" : rest.substr(k + 1);
        const std::string p = ordner + "/" + name;
        if (access(p.c_str(), X_OK) == 0)
            return p;
    }
    return "";
}

// A virtual X server on a free display; its process id and display name, or -1.
pid_t XStarten(std::string &anzeige)
{
    const std::string xvfb = Programm("Xvfb");
    int rohr[2];
    if (xvfb.empty() || pipe(rohr) != 0)
        return -1;
    const pid_t kind = fork();
    if (kind == 0) {
        const int leer = open("/dev/null", O_RDWR);
        dup2(leer, 0);
        dup2(leer, 1);
        dup2(leer, 2);
        dup2(rohr[1], 3);
        execl(xvfb.c_str(), "Xvfb", "-displayfd", "3", "-screen", "0", "1600x1000x24", "-nolisten", "tcp",
              static_cast<char *>(nullptr));
        _exit(127);
    }
    close(rohr[1]);
    // The server writes its display number once it listens.
    char zahl[16] = {};
    ssize_t n = 0, k;
    while (n < 15 && (k = read(rohr[0], zahl + n, 15 - n)) > 0 && !strchr(zahl, '\n'))
        n += k;
    close(rohr[0]);
    if (!strchr(zahl, '\n')) {
        kill(kind, SIGTERM);
        waitpid(kind, nullptr, 0);
        return -1;
    }
    char name[24];
    snprintf(name, sizeof name, ":%d", atoi(zahl));
    anzeige = std::string(name);
    return kind;
}

// Processor time a process has used so far, from /proc, in seconds.
double Prozesszeit(pid_t p)
{
    std::ifstream f("/proc/" + std::to_string(p) + "/stat");
    std::string inhalt((std::istreambuf_iterator<char>(f)), {});
    // The fields after the command name, which may hold blanks, start after its ')'.
    const size_t k = inhalt.rfind(')');
    if (k == std::string::npos)
        return -1;
    std::vector<std::string> felder;
    std::string feld;
    for (char c : inhalt.substr(k + 2)) {
        if (c == ' ') {
            felder.push_back(feld);
            feld.clear();
        } else {
            feld += c;
        }
    }
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    if (felder.size() < 13)
        return -1;
    return (std::stod(felder[11]) + std::stod(felder[12])) / double(sysconf(_SC_CLK_TCK));
}

// A battle with orders: the player's units selected and sent across the river, units added
// on both sides, a frame drawn and a glide of the view, until Escape ends it at `ende`.
std::string Skript(int ende)
{
    std::string s = "# A scripted battle for the window's processor share.\n";
    auto zeile = [&s](int bild, const std::string &was) { s += std::to_string(bild) + " " + was + "\n"; };
    for (int t = 0; t + 70 < ende; t += 70) {
        zeile(t + 1, "pos " + std::to_string(60 + t % 500) + " " + std::to_string(80 + t % 250));
        zeile(t + 2, "keydown '1'");
        zeile(t + 3, "keydown 'a'");
        zeile(t + 4, "keydown 'c'");
        zeile(t + 5, "keydown 9");
        zeile(t + 10, "pos " + std::to_string(380 + t % 200) + " " + std::to_string(120 + t % 200));
        zeile(t + 11, "down 1");
        zeile(t + 12, "up 1");
        zeile(t + 30, "pos 100 100");
        zeile(t + 31, "down 1");
        zeile(t + 34, "pos 300 300");
        zeile(t + 36, "up 1");
    }
    return s;
}

// The game's processor time per second of play in a window at the paced frame rate, from
// the second second of the game to its end, while it plays the scripted battle.
void Fenster(benchmark::State &state)
{
    constexpr int BILDER = 70 * 12;
    const std::string skript =
        (std::filesystem::temp_directory_path() / ("korvan-bench-" + std::to_string(getpid()) + ".ev")).string();
    std::ofstream(skript) << Skript(BILDER);
    for (auto _ : state) {
        std::string anzeige;
        const pid_t x = XStarten(anzeige);
        if (x < 0) {
            state.SkipWithError("no Xvfb: install xvfb to measure the window");
            break;
        }
        const auto a = Uhr::now();
        const pid_t kind =
            SpielStarten("sdl:-scale=2:-nograb:-events=" + skript + ":-frames=" + std::to_string(BILDER), anzeige);
        usleep(1000000);
        const double cpu0 = Prozesszeit(kind);
        const auto b = Uhr::now();
        int status = 0;
        rusage verbrauch{};
        const pid_t fertig = wait4(kind, &status, 0, &verbrauch);
        const auto c = Uhr::now();
        kill(x, SIGTERM);
        waitpid(x, nullptr, 0);
        if (fertig != kind || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || cpu0 < 0) {
            state.SkipWithError("the game did not run in the window");
            break;
        }
        const double cpu = double(verbrauch.ru_utime.tv_sec + verbrauch.ru_stime.tv_sec) +
                           double(verbrauch.ru_utime.tv_usec + verbrauch.ru_stime.tv_usec) * 1e-6;
        state.SetIterationTime(Sekunden(a, c));
        state.counters["cpu_share"] = (cpu - cpu0) / Sekunden(b, c);
        state.counters["play_s"] = Sekunden(a, c);
        state.counters["fps"] = BILDER / Sekunden(a, c);
    }
    std::filesystem::remove(skript);
}

}  // namespace

void ProzessBenchmarks()
{
    benchmark::RegisterBenchmark("Startup", Start)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Window", Fenster)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
}

}  // namespace messung
