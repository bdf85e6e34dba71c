// Recorded battles: a game played in a window replays headless to the same pictures, and a
// recording played against another mission or palette only feeds input.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/lauf.h"

namespace {

using namespace lauf;

// The window game's input besides the pointer and keys that X delivers: after a quiet
// start (when the X input comes) six combat vehicles are set down by the enemy camp,
// and pictures are taken in the middle of the fight. It ends when a side is wiped out, or
// from frame GRENZE on by the Escapes of -frames.
const char *const FENSTER_SKRIPT = R"(# The window game's own part of the battle.
300 pos 300 120
301 keydown '6'
302 keydown '6'
303 keydown '6'
304 pos 300 160
305 keydown '6'
306 keyrepeat '6'
307 keydown '6'
315 shot fenster315.ppm
340 shot fenster340.ppm
)";
constexpr int GRENZE = 1000;

// Whether a program can be found on PATH.
bool Vorhanden(const std::string &programm)
{
    const char *pfad = std::getenv("PATH");
    std::stringstream teile(pfad ? pfad : "");
    for (std::string teil; std::getline(teile, teil, ':');)
        if (!teil.empty() && access((teil + "/" + programm).c_str(), X_OK) == 0)
            return true;
    return false;
}

// Waits up to `sekunden` for the process to end; its exit status, or -1 when it had to
// be killed.
int Warte(pid_t pid, int sekunden)
{
    const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(sekunden);
    for (;;) {
        int s = 0;
        if (waitpid(pid, &s, WNOHANG) == pid)
            return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
        if (std::chrono::steady_clock::now() > ende) {
            kill(pid, SIGKILL);
            waitpid(pid, &s, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Runs the game in `ordner` with the given display string and waits for it; stdout and
// stderr go to aus.txt and fehler.txt there.
int SpieleKopflos(const fs::path &ordner, const std::string &anzeige)
{
    const std::string befehl = "cd '" + ordner.string() +
                               "' && env -u DISPLAY -u WAYLAND_DISPLAY GGI_DISPLAY='" + anzeige +
                               "' ./korvan >aus.txt 2>fehler.txt </dev/null";
    const int s = std::system(befehl.c_str());
    return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
}

// The lines of an event script that deliver events, comments and blank lines left out.
std::vector<std::string> Ereignisse(const std::string &skript)
{
    std::vector<std::string> aus;
    std::stringstream s(skript);
    for (std::string zeile; std::getline(s, zeile);)
        if (!zeile.empty() && zeile[0] != '#')
            aus.push_back(zeile);
    return aus;
}

// The recording with a shot line for each (frame, file), placed after the events of
// earlier frames: the shot then writes the picture the game had shown when the events of
// that frame arrived, as the window game's own script did.
std::string MitBildern(const std::string &aufnahme, const std::vector<std::pair<int, std::string>> &bilder)
{
    std::string aus;
    size_t naechstes = 0;
    std::stringstream s(aufnahme);
    for (std::string zeile; std::getline(s, zeile);) {
        if (!zeile.empty() && zeile[0] != '#') {
            const long frame = std::strtol(zeile.c_str(), nullptr, 10);
            for (; naechstes < bilder.size() && bilder[naechstes].first <= frame; naechstes++)
                aus += std::to_string(bilder[naechstes].first) + " shot " + bilder[naechstes].second + "\n";
        }
        aus += zeile + "\n";
    }
    for (; naechstes < bilder.size(); naechstes++)
        aus += std::to_string(bilder[naechstes].first) + " shot " + bilder[naechstes].second + "\n";
    return aus;
}

class Aufnahme : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (xvfb > 0) {
            kill(xvfb, SIGTERM);
            Warte(xvfb, 10);
        }
        for (const fs::path &o : ordner)
            fs::remove_all(o);
    }

    fs::path NeuerOrdner()
    {
        const fs::path o = NeuerSpielOrdner("/tmp/korvan-replay-XXXXXX");
        EXPECT_FALSE(o.empty());
        ordner.push_back(o);
        return o;
    }

    // Starts a virtual X server on a free display; its name (":N"), or empty on failure.
    std::string StarteXvfb()
    {
        int rohr[2];
        if (pipe(rohr) != 0)
            return "";
        xvfb = fork();
        if (xvfb == 0) {
            // The server writes its display number to fd 3 once it takes connections.
            dup2(rohr[1], 3);
            const int leer = open("/dev/null", O_RDWR);
            dup2(leer, 0);
            dup2(leer, 1);
            dup2(leer, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten",
                   "tcp", "-noreset", static_cast<char *>(nullptr));
            _exit(127);
        }
        close(rohr[1]);
        std::string nummer;
        pollfd p{rohr[0], POLLIN, 0};
        while (xvfb > 0 && poll(&p, 1, 20000) == 1) {
            char c;
            if (read(rohr[0], &c, 1) != 1 || c == '\n')
                break;
            nummer += c;
        }
        close(rohr[0]);
        return nummer.empty() ? "" : ":" + nummer;
    }

    // Starts the game in a window on `anzeige`, in the background.
    static pid_t StarteFenster(const fs::path &ort, const std::string &anzeige, const std::string &optionen)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(ort.c_str()) != 0)
                _exit(126);
            setenv("DISPLAY", anzeige.c_str(), 1);
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("SDL_VIDEODRIVER");
            setenv("GGI_DISPLAY", optionen.c_str(), 1);
            // On a real X server SDL unloads the X libraries at exit, and what they keep in
            // their own globals then looks leaked to LeakSanitizer, which cannot name their
            // module any more. The headless replay runs the game with leak checks.
            const char *asan = std::getenv("ASAN_OPTIONS");
            setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
            const int leer = open("/dev/null", O_RDONLY);
            const int aus = open("aus.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int fehler = open("fehler.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(leer, 0);
            dup2(aus, 1);
            dup2(fehler, 2);
            execl("./korvan", "korvan", static_cast<char *>(nullptr));
            _exit(127);
        }
        return pid;
    }

    // Real X input while the game runs: a helicopter and a trooper set down south-west,
    // Tab, and a move order for everything selected. True when it was sent.
    static bool SpieleMitXdotool(const std::string &anzeige)
    {
        const std::string x = "DISPLAY=" + anzeige + " ";
        const std::string suche = x + "timeout 30 xdotool search --sync --onlyvisible --name '^korvan$'";
        const std::string befehle =
            "mousemove --window %1 120 330 sleep 0.1 key 5 sleep 0.1 "
            "mousemove --window %1 150 300 sleep 0.1 key 3 sleep 0.1 key Tab sleep 0.1 "
            "mousemove --window %1 200 250 sleep 0.1 click 1";
        const std::string befehl = x + "xdotool search --sync --onlyvisible --name '^korvan$' " + befehle;
        return std::system((suche + " >/dev/null && " + befehl + " >/dev/null 2>&1").c_str()) == 0;
    }

    pid_t xvfb = -1;
    std::vector<fs::path> ordner;
};

TEST_F(Aufnahme, AGameInTheWindowReplaysHeadlessToTheSamePictures)
{
    if (!Vorhanden("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed, so no window can be opened here: "
                        "apt-get install xvfb runs this test";
    const std::string anzeige = StarteXvfb();
    ASSERT_FALSE(anzeige.empty()) << "Xvfb did not start";

    const fs::path fenster = NeuerOrdner();
    Schreib(fenster / "fenster.ev", FENSTER_SKRIPT);
    const pid_t spiel = StarteFenster(
        fenster, anzeige,
        "display-sdl:-scale=1:-events=fenster.ev:-record=aufnahme.ev:-final=fenster.ppm:-frames=" +
            std::to_string(GRENZE));
    const bool xdotool = Vorhanden("xdotool");
    const bool gesendet = xdotool && SpieleMitXdotool(anzeige);
    ASSERT_EQ(Warte(spiel, 120), 0) << Lies(fenster / "fehler.txt");
    const std::string fensterAus = Lies(fenster / "aus.txt");
    const std::string aufnahme = Lies(fenster / "aufnahme.ev");
    ASSERT_TRUE(EndetMit(fensterAus, "\n" + GEWONNEN) || EndetMit(fensterAus, VERLOREN)) << fensterAus;

    // The recording holds the script's events in their frames and, when xdotool ran, those
    // from X: the helicopter key is in no script.
    for (const std::string &zeile : Ereignisse(FENSTER_SKRIPT)) {
        if (zeile.find(" shot ") == std::string::npos) {
            EXPECT_NE(aufnahme.find("\n" + zeile + "\n"), std::string::npos) << zeile;
        }
    }
    if (!xdotool) {
        std::cout << "xdotool is not installed: the window got no real X input\n";
    } else {
        EXPECT_TRUE(gesendet) << "xdotool could not drive the window";
        EXPECT_NE(aufnahme.find(" keydown '5'\n"), std::string::npos) << aufnahme;
    }

    // The recording alone replays the game headless, with shot lines added for pictures.
    const fs::path wieder = NeuerOrdner();
    Schreib(wieder / "wieder.ev", MitBildern(aufnahme, {{315, "wieder315.ppm"}, {340, "wieder340.ppm"}}));
    ASSERT_EQ(SpieleKopflos(wieder, "memory:-events=wieder.ev:-record=wieder_aufnahme.ev:-final=wieder.ppm:-frames=" +
                                        std::to_string(GRENZE + 100)),
              0)
        << Lies(wieder / "fehler.txt");
    EXPECT_EQ(Lies(wieder / "fehler.txt"), "");
    const std::string wiederAus = Lies(wieder / "aus.txt");
    const size_t zeile = fensterAus.rfind('\n', fensterAus.size() - 2);
    EXPECT_TRUE(EndetMit(wiederAus, fensterAus.substr(zeile))) << wiederAus;
    EXPECT_EQ(Lies(wieder / "wieder_aufnahme.ev"), aufnahme) << "the same input in the same frames";

    const std::string ende = Lies(fenster / "fenster.ppm");
    ASSERT_FALSE(ende.empty());
    EXPECT_TRUE(ende == Lies(wieder / "wieder.ppm")) << "the last pictures differ";
    ASSERT_TRUE(fs::exists(fenster / "fenster315.ppm")) << "the battle runs at frame 315";
    for (const char *frame : {"315", "340"}) {
        const std::string bild = Lies(fenster / ("fenster" + std::string(frame) + ".ppm"));
        if (bild.empty()) {
            // The battle was over before this frame in the window; then so it is in the replay.
            EXPECT_FALSE(fs::exists(wieder / ("wieder" + std::string(frame) + ".ppm"))) << frame;
            continue;
        }
        EXPECT_TRUE(bild == Lies(wieder / ("wieder" + std::string(frame) + ".ppm")))
            << "the pictures of frame " << frame << " differ";
    }
}

// A mission made from the demo map: `feldX` x `feldY` tiles, the map turned upside down and
// mirrored, or filled with one tile number when `fuellen` is not negative.
std::string AndereMission(const std::string &demo, int feldX, int feldY, int fuellen)
{
    std::string m = demo;
    m[2] = static_cast<char>(feldX);
    m[3] = static_cast<char>(feldY);
    const int demoX = static_cast<uint8_t>(demo[2]), demoY = static_cast<uint8_t>(demo[3]);
    for (int r = 0; r < 100; r++)
        for (int c = 0; c < 100; c++) {
            const size_t ziel = 4 + 2 * (static_cast<size_t>(r) * 100 + c);
            if (fuellen >= 0) {
                m[ziel] = static_cast<char>(fuellen & 0xff);
                m[ziel + 1] = static_cast<char>(fuellen >> 8);
            } else if (r < demoY && c < demoX) {
                const size_t quelle = 4 + 2 * (static_cast<size_t>(demoY - 1 - r) * 100 + (demoX - 1 - c));
                m[ziel] = demo[quelle];
                m[ziel + 1] = demo[quelle + 1];
            }
        }
    return m;
}

TEST_F(Aufnahme, ARecordingPlayedAgainstOtherResourcesOnlyFeedsInput)
{
    // Two recordings made with the demo mission: the lost battle of move and attack
    // orders, and the drags to every corner of the map.
    const fs::path quelle = fs::path(KORVAN_SOURCE_DIR) / "tests/e2e/scripts";
    std::vector<std::string> aufnahmen;
    for (const char *skript : {"niederlage.ev", "ziehen.ev"}) {
        const fs::path o = NeuerOrdner();
        fs::copy_file(quelle / skript, o / "skript.ev");
        ASSERT_EQ(SpieleKopflos(o, "memory:-events=skript.ev:-record=aufnahme.ev:-frames=3000"), 0) << skript;
        aufnahmen.push_back(Lies(o / "aufnahme.ev"));
        ASSERT_GT(Ereignisse(aufnahmen.back()).size(), 10u) << skript;
    }

    const std::string demo = Lies(fs::path(KORVAN_RUN_DIR) / "mission/demo.mis");
    ASSERT_EQ(demo.size(), 20004u);
    std::string palette = Lies(fs::path(KORVAN_RUN_DIR) / "data/system.pal");
    ASSERT_GE(palette.size(), 768u);
    for (size_t i = palette.size() - 768; i < palette.size(); i++)
        palette[i] = static_cast<char>(255 - static_cast<uint8_t>(palette[i]));

    struct Abwandlung {
        const char *was;
        std::string mission;  // empty: the demo mission
        bool palette;
    };
    // 159 is one of the demo map's obstacle tiles.
    const Abwandlung abwandlungen[] = {
        {"a smaller map, upside down and mirrored", AndereMission(demo, 40, 30, -1), false},
        {"a map of obstacles only", AndereMission(demo, 64, 48, 159), false},
        {"the view's size as the map, and other colours", AndereMission(demo, 32, 21, -1), true},
    };
    for (const Abwandlung &a : abwandlungen) {
        for (const std::string &aufnahme : aufnahmen) {
            const fs::path o = NeuerOrdner();
            fs::remove(o / "mission/demo.mis");
            Schreib(o / "mission/demo.mis", a.mission);
            if (a.palette) {
                fs::remove(o / "data/system.pal");
                Schreib(o / "data/system.pal", palette);
            }
            Schreib(o / "aufnahme.ev", aufnahme);
            const int grenze = 2000;
            const int status = SpieleKopflos(o, "memory:-events=aufnahme.ev:-record=wieder.ev:-final=ende.ppm:-frames=" +
                                                    std::to_string(grenze));
            const std::string aus = Lies(o / "aus.txt");
            EXPECT_EQ(status, 0) << a.was << ": " << Lies(o / "fehler.txt");
            EXPECT_EQ(Lies(o / "fehler.txt"), "") << a.was;
            EXPECT_TRUE(EndetMit(aus, "\n" + GEWONNEN) || EndetMit(aus, VERLOREN)) << a.was << ": " << aus;
            EXPECT_TRUE(fs::exists(o / "ende.ppm")) << a.was;

            // What the game was given is the recording, as far as the game lasted, and
            // then the Escapes of -frames.
            const std::vector<std::string> alt = Ereignisse(aufnahme), neu = Ereignisse(Lies(o / "wieder.ev"));
            size_t i = 0;
            for (; i < neu.size() && i < alt.size() && neu[i] == alt[i]; i++) {
            }
            for (; i < neu.size(); i++) {
                EXPECT_TRUE(neu[i].find(" keydown 27") != std::string::npos &&
                            std::strtol(neu[i].c_str(), nullptr, 10) >= grenze)
                    << a.was << ": " << neu[i];
            }
        }
    }
}

}  // namespace
