// The soak: many games of random input, each in a child process, the tables checked every frame.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "soak/eingabe.h"
#include "soak/spiel.h"

namespace {

namespace fs = std::filesystem;

// Frames checked when KORVAN_SOAK_FRAMES does not say: a short run for every test pass.
constexpr int64_t KURZ = 10000;

int64_t Zahl(const char *name, int64_t vorgabe)
{
    const char *s = getenv(name);
    return s != nullptr && *s != 0 ? std::strtoll(s, nullptr, 10) : vorgabe;
}

std::string Lies(const fs::path &name, int64_t ab = 0)
{
    std::ifstream f(name, std::ios::binary);
    f.seekg(ab);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void Schreibe(const fs::path &name, const std::string &inhalt)
{
    std::ofstream(name, std::ios::binary) << inhalt;
}

// The battlefields besides the generated one: maps at both size limits, thick with
// obstacles, and pictures cut short with sprite-layout numbers at their extremes.
enum class Welt { Erzeugt, KleineKarte, GrosseKarte, KurzeBilder };

// A mission of this size whose cells are obstacles at the given rate, from a seeded generator.
std::string Karte(int breite, int hoehe, int hindernisse, uint32_t saat, int kacheln)
{
    std::mt19937 z(saat);
    std::string mis = {'M', 'K', char(breite), char(hoehe)};
    for (int i = 0; i < 100 * 100; ++i) {
        // Tile 96 among them: an obstacle to walk round, yet ground to send units to.
        int k = int(z() % 100) < hindernisse ? 96 + int(z() % uint32_t(kacheln - 96)) : int(z() % 96);
        if (k == 662 || k == 676 || k == 700)
            k = 96;
        mis += char(k & 0xff);
        mis += char(k >> 8);
    }
    return mis;
}

// A folder holding copies of the generated resources, one for each battlefield, shared by
// the games of one test.
class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        char muster[] = "/tmp/korvan-soak-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        basis = muster;
    }

    // The folder of a battlefield, made when first asked for.
    fs::path Ordner(Welt w)
    {
        const fs::path o = basis / std::to_string(int(w));
        if (fs::exists(o))
            return o;
        fs::create_directory(o);
        for (const char *teil : {"resource", "data", "mission"})
            fs::copy(fs::path(KORVAN_RUN_DIR) / teil, o / teil, fs::copy_options::recursive);
        const int kacheln = int(fs::file_size(o / "resource/terrain.rsc") / 400);
        switch (w) {
        case Welt::KleineKarte:
            Schreibe(o / "mission/demo.mis", Karte(32, 21, 45, 7, kacheln));
            break;
        case Welt::GrosseKarte:
            Schreibe(o / "mission/demo.mis", Karte(98, 98, 25, 8, kacheln));
            break;
        case Welt::KurzeBilder: {
            const fs::path r = o / "resource";
            fs::resize_file(r / "font-01.rsc", 1);
            fs::resize_file(r / "maus.rsc", 300);
            // A part of a tile past the last whole one.
            fs::resize_file(r / "terrain.rsc", fs::file_size(r / "terrain.rsc") + 7);
            fs::resize_file(r / "lsprites.rsc", 1000);
            fs::resize_file(r / "ksprites.rsc", 7);
            fs::resize_file(r / "hsprites.rsc", 0);
            fs::resize_file(r / "explose.rsc", 1000);
            fs::resize_file(r / "rauch.rsc", 100);
            std::string num;
            for (int i = 0; i < 41; ++i)
                num += "N=" + std::string(i % 3 == 0 ? "9999" : i % 3 == 1 ? "-999" : "7") + ":\n";
            Schreibe(r / "mann.num", num);
            fs::remove(o / "data/system.pal");
            break;
        }
        default:
            break;
        }
        return o;
    }

    // A failed game leaves its folder behind, to be replayed with the game itself.
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(basis);
    }

    // Plays one game in a child process; false with a message when it broke a rule, crashed,
    // or said something it should not have.
    bool Spiele(const fs::path &ordner, const Spielplan &plan, int nummer, Ergebnis &e,
                std::string &meldung)
    {
        const std::string name = "spiel-" + std::to_string(nummer);
        std::ofstream(ordner / (name + ".ev"), std::ios::binary) << plan.skript;
        fflush(stdout);
        fflush(stderr);
        int rohr[2];
        if (pipe(rohr) != 0) {
            meldung = "no pipe";
            return false;
        }
        const pid_t kind = fork();
        if (kind == 0) {
            close(rohr[0]);
            if (chdir(ordner.c_str()) != 0)
                _exit(10);
            const int aus = open((name + ".aus").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int fehler = open((name + ".fehler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (aus < 0 || fehler < 0 || dup2(aus, 1) < 0 || dup2(fehler, 2) < 0)
                _exit(11);
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            const std::string anzeige =
                "memory:-events=" + name + ".ev:-frames=" + std::to_string(plan.laenge);
            setenv("GGI_DISPLAY", anzeige.c_str(), 1);
            // A game that hangs ends by the alarm instead of holding up the suite.
            alarm(900);
            Ergebnis r;
            const bool ok = SpieleGeprueft(r, plan.laenge + 100);
            fflush(stdout);
            const ssize_t n = write(rohr[1], &r, sizeof r);
            _exit(n == ssize_t(sizeof r) ? (ok ? 0 : 3) : 12);
        }
        close(rohr[1]);
        if (kind < 0) {
            close(rohr[0]);
            meldung = "fork failed";
            return false;
        }
        size_t gelesen = 0;
        auto *ziel = reinterpret_cast<char *>(&e);
        while (gelesen < sizeof e) {
            const ssize_t n = read(rohr[0], ziel + gelesen, sizeof e - gelesen);
            if (n <= 0)
                break;
            gelesen += size_t(n);
        }
        close(rohr[0]);
        int status = 0;
        waitpid(kind, &status, 0);

        const std::string fehler = Lies(ordner / (name + ".fehler"));
        std::ostringstream o;
        o << ordner.string() << "/" << name << ".ev, replayed by the game with GGI_DISPLAY=memory:-events="
          << name << ".ev:-frames=" << plan.laenge << ": ";
        if (WIFSIGNALED(status)) {
            o << "killed by signal " << WTERMSIG(status) << "\n" << fehler;
        } else if (WEXITSTATUS(status) != 0 || gelesen != sizeof e) {
            o << "exit status " << WEXITSTATUS(status) << ": " << e.fehler << "\n" << fehler;
        } else if (!fehler.empty()) {
            o << "standard error: " << fehler;
        } else {
            const std::string gemeldet = Unerwartet(plan, e, Lies(ordner / (name + ".aus"), e.startAusgabe));
            if (gemeldet.empty())
                return true;
            o << gemeldet;
        }
        meldung = o.str();
        return false;
    }

    // Every line the game printed during play must be the report of an odd event the
    // script delivered, in the order it delivered them. An event due in frame N is
    // delivered when N lies below the display's final frame count.
    static std::string Unerwartet(const Spielplan &plan, const Ergebnis &e, const std::string &aus)
    {
        std::vector<std::string> erwartet;
        for (const auto &[frame, typ] : plan.unerwartet)
            if (frame < e.frames)
                erwartet.push_back("Ein unerwartetes Ereignis ist aufgetreten: event.any.type=" +
                                   std::to_string(typ));
        std::vector<std::string> zeilen;
        std::istringstream s(aus);
        for (std::string z; std::getline(s, z);)
            zeilen.push_back(z);
        if (zeilen == erwartet)
            return "";
        std::ostringstream o;
        o << "printed " << zeilen.size() << " lines during play, expected " << erwartet.size()
          << " reports of odd events";
        for (size_t i = 0; i < std::min(zeilen.size(), erwartet.size()); ++i)
            if (zeilen[i] != erwartet[i]) {
                o << "; line " << i + 1 << " is '" << zeilen[i] << "', expected '" << erwartet[i] << "'";
                break;
            }
        return o.str();
    }

    // Plays games of random input on the battlefields in turn until `soll` frames are
    // checked, and prints what the games reached; false when one failed.
    bool Soake(int64_t soll, const std::vector<Welt> &welten, Ergebnis &hoch, int &menues,
               int64_t &gemeldet)
    {
        const auto saat = uint32_t(Zahl("KORVAN_SOAK_SEED", 1));
        std::mt19937 laengen(saat + uint32_t(welten[0]));
        int64_t passes = 0, frames = 0;
        int spiele = 0, aufgerieben = 0;
        while (passes < soll) {
            // Games of 300 to 3000 frames, the last one no longer than the rest of the run.
            const int64_t rest = std::max<int64_t>(soll - passes, 100);
            const int laenge = int(std::min<int64_t>(300 + laengen() % 2701, rest));
            const Spielplan plan =
                ErzeugeSpiel(saat * 1000003u + uint32_t(welten[0]) * 10007u + uint32_t(spiele), laenge);
            const Welt w = welten[size_t(spiele) % welten.size()];
            Ergebnis e;
            std::string meldung;
            if (!Spiele(Ordner(w), plan, spiele, e, meldung)) {
                ADD_FAILURE() << "battlefield " << int(w) << ", " << meldung;
                return false;
            }
            ++spiele;
            passes += e.passes;
            frames += e.frames;
            for (const auto &u : plan.unerwartet)
                gemeldet += u.first < e.frames;
            menues += plan.menues;
            aufgerieben += e.aufgerieben;
            hoch.maxM = std::max(hoch.maxM, e.maxM);
            hoch.maxF = std::max(hoch.maxF, e.maxF);
            hoch.maxLaser = std::max(hoch.maxLaser, e.maxLaser);
            hoch.maxRocket = std::max(hoch.maxRocket, e.maxRocket);
            hoch.maxExplose = std::max(hoch.maxExplose, e.maxExplose);
            hoch.maxRauch = std::max(hoch.maxRauch, e.maxRauch);
            hoch.maxWeg = std::max(hoch.maxWeg, e.maxWeg);
            hoch.maxUmweg = std::max(hoch.maxUmweg, e.maxUmweg);
            hoch.maxScrollX = std::max(hoch.maxScrollX, e.maxScrollX);
            hoch.maxScrollY = std::max(hoch.maxScrollY, e.maxScrollY);
            hoch.maxSpeed = std::max(hoch.maxSpeed, e.maxSpeed);
        }
        printf("Soaked %lld frames in %d games (%lld with the menus' passes; seed %u).\n"
               "%d games ended with a side wiped out; %d menus opened; %lld odd events reported.\n"
               "Highest: %d own and %d enemy units, %d lasers, %d rockets, %d explosions, %d "
               "smoke puffs; routes of %d waypoints, detour stacks of %d; view at %d, %d; "
               "speed %d.\n",
               (long long)passes, spiele, (long long)frames, saat, aufgerieben, menues,
               (long long)gemeldet, hoch.maxM, hoch.maxF, hoch.maxLaser, hoch.maxRocket,
               hoch.maxExplose, hoch.maxRauch, hoch.maxWeg, hoch.maxUmweg, hoch.maxScrollX,
               hoch.maxScrollY, hoch.maxSpeed);
        RecordProperty("frames", std::to_string(passes));
        RecordProperty("games", spiele);
        return true;
    }

    fs::path basis;
};

TEST_F(Soak, RandomGamesKeepEveryTableInOrder)
{
    const int64_t soll = Zahl("KORVAN_SOAK_FRAMES", KURZ);
    Ergebnis hoch;
    int menues = 0;
    int64_t gemeldet = 0;
    if (!Soake(soll, {Welt::Erzeugt}, hoch, menues, gemeldet))
        return;

    // The input must have reached what the checks are about; a shorter run than the usual
    // one is not held to it.
    if (soll < KURZ)
        return;
    EXPECT_EQ(hoch.maxM, 49) << "the own side never reached its limit";
    EXPECT_EQ(hoch.maxF, 49) << "the enemy side never reached its limit";
    EXPECT_GT(hoch.maxLaser, 0);
    EXPECT_GT(hoch.maxRocket, 0);
    EXPECT_GT(hoch.maxExplose, 0);
    EXPECT_GT(hoch.maxRauch, 0);
    EXPECT_GT(hoch.maxWeg, 1) << "no route with a waypoint on the way";
    EXPECT_GT(hoch.maxUmweg, 0) << "no detour around an obstacle";
    EXPECT_GT(hoch.maxScrollX, 0);
    EXPECT_GT(hoch.maxScrollY, 0);
    EXPECT_EQ(hoch.maxSpeed, 10);
    EXPECT_GT(menues, 0);
    EXPECT_GT(gemeldet, 0);
}

// The same input on the smallest and the largest map, both thick with obstacles, and with
// pictures cut short: a quarter of the frames each.
TEST_F(Soak, RandomGamesOnOddMapsAndShortPictures)
{
    const int64_t soll = Zahl("KORVAN_SOAK_FRAMES", KURZ) * 3 / 4;
    Ergebnis hoch;
    int menues = 0;
    int64_t gemeldet = 0;
    if (!Soake(soll, {Welt::KleineKarte, Welt::GrosseKarte, Welt::KurzeBilder}, hoch, menues, gemeldet))
        return;
    if (soll < KURZ * 3 / 4)
        return;
    // The largest map scrolls to its far corner.
    EXPECT_EQ(hoch.maxScrollX, 20 * 98 - 640);
    EXPECT_EQ(hoch.maxScrollY, 20 * 98 - 420);
    EXPECT_GT(hoch.maxUmweg, 0);
}

}  // namespace
