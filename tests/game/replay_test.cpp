// A battle played in a real window on a virtual X server, with input from X, replays from its
// recording alone, headless, to the same pictures and the same outcome.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "support.h"

namespace {

using namespace test;

// Waits up to `sekunden` for the process; its exit status, or -1 when it had to be killed.
int Warte(pid_t pid, int sekunden)
{
    const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(sekunden);
    for (int s = 0;; std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        if (waitpid(pid, &s, WNOHANG) == pid)
            return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
        if (std::chrono::steady_clock::now() > ende) {
            kill(pid, SIGKILL);
            waitpid(pid, &s, 0);
            return -1;
        }
    }
}

// A virtual X server on a free display, gone with this object.
struct Xvfb {
    pid_t pid = -1;
    std::string name;  // ":N", empty when it did not start
    Xvfb()
    {
        int rohr[2];
        if (pipe(rohr) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            dup2(rohr[1], 3);  // the server writes its display number there once it listens
            const int leer = open("/dev/null", O_RDWR);
            dup2(leer, 0), dup2(leer, 1), dup2(leer, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char *>(nullptr));
            _exit(127);
        }
        close(rohr[1]);
        pollfd p{rohr[0], POLLIN, 0};
        for (char c; poll(&p, 1, 20000) == 1 && read(rohr[0], &c, 1) == 1 && c != '\n';)
            name += c;
        close(rohr[0]);
        name = name.empty() ? "" : ":" + name;
    }
    ~Xvfb()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            Warte(pid, 10);
        }
    }
};

TEST(Aufnahme, AGameInTheWindowReplaysHeadlessToTheSamePictures)
{
    Xvfb x;
    ASSERT_FALSE(x.name.empty()) << "Xvfb did not start";
    GameFolder fenster, wieder;
    // The window game's own part: combat vehicles set down by the enemy camp once the X
    // input is in, and pictures in the middle of the fight.
    Write(fenster / "fenster.ev", "300 pos 300 120\n301 keydown '6'\n302 keydown '6'\n303 keydown '6'\n"
                                  "304 pos 300 160\n305 keyrepeat '6'\n307 keydown '6'\n340 shot bild.ppm\n");
    const pid_t spiel = fork();
    if (spiel == 0) {
        if (chdir(fenster.path().c_str()) != 0)
            _exit(126);
        setenv("DISPLAY", x.name.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        setenv("GGI_DISPLAY",
               "display-sdl:-scale=1:-events=fenster.ev:-record=aufnahme.ev:-final=ende.ppm:-frames=1000", 1);
        // SDL unloads the X libraries at exit, and what they keep then looks leaked to
        // LeakSanitizer; the headless replay runs with leak checks.
        setenv("ASAN_OPTIONS", (std::string(getenv("ASAN_OPTIONS") ?: "") + ":detect_leaks=0").c_str(), 1);
        freopen("aus.txt", "w", stdout);
        execl("./korvan", "korvan", static_cast<char *>(nullptr));
        _exit(127);
    }
    // Real X input while the game runs: a helicopter and a trooper set down south-west,
    // Tab, and a move order for everything selected.
    const std::string xdotool =
        "DISPLAY=" + x.name + " timeout 30 xdotool search --sync --onlyvisible --name '^korvan$' ";
    const int gesendet = std::system((xdotool + ">/dev/null && " + xdotool +
                                      "mousemove --window %1 120 330 sleep 0.1 key 5 sleep 0.1 "
                                      "mousemove --window %1 150 300 sleep 0.1 key 3 sleep 0.1 key Tab sleep 0.1 "
                                      "mousemove --window %1 200 250 sleep 0.1 click 1 >/dev/null 2>&1")
                                         .c_str());
    ASSERT_EQ(Warte(spiel, 120), 0);
    EXPECT_EQ(gesendet, 0) << "xdotool could not drive the window";
    const std::string aufnahme = Read(fenster / "aufnahme.ev");
    EXPECT_NE(aufnahme.find(" keydown '5'\n"), std::string::npos) << "the helicopter key came from X";
    EXPECT_NE(aufnahme.find("\n305 keyrepeat '6'\n"), std::string::npos) << "the script's events beside X";

    // The recording alone, with the shot put back among its lines, replays headless.
    std::string skript;
    for (size_t a = 0, b; (b = aufnahme.find('\n', a)) != std::string::npos; a = b + 1) {
        const std::string zeile = aufnahme.substr(a, b - a + 1);
        if (zeile[0] != '#' && std::stol(zeile) >= 340 && skript.find("shot") == std::string::npos)
            skript += "340 shot bild.ppm\n";
        skript += zeile;
    }
    if (skript.find("shot") == std::string::npos)
        skript += "340 shot bild.ppm\n";
    Write(wieder / "wieder.ev", skript);
    const Result r = Korvan(wieder.path(), "memory:-events=wieder.ev:-record=aufnahme.ev:-final=ende.ppm:-frames=1100");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string aus = Read(fenster / "aus.txt");
    EXPECT_EQ(r.out.substr(r.out.size() - 12), aus.substr(aus.size() - 12)) << "the same outcome";
    EXPECT_EQ(Read(wieder / "aufnahme.ev"), aufnahme) << "the same input in the same frames";
    for (const char *bild : {"ende.ppm", "bild.ppm"}) {
        EXPECT_FALSE(Read(fenster / bild).empty()) << bild;
        EXPECT_TRUE(Read(fenster / bild) == Read(wieder / bild)) << bild << " differs";
    }
}

}  // namespace
