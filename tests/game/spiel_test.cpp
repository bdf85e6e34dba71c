// Whole games and scenes against the digests recorded from the game as it stands: scripted
// games through the built program, and scenes built in a process of the test's own.

#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "game/szenen.h"
#include "support.h"
#include "units/vardefs.h"

namespace {

using namespace test;

const std::string SIEG = "Bravo, du hast gewonnen!\n";
const std::string VERLOREN = "\n\nDu hast diese Zeit verloren!\n";

enum Bau { START, GEFECHT, VOLL, RAENDER };

// The scenes of the benchmarks, frame after frame; the busy ones draw units and effects
// across every edge of the view and fill every table, so that no drawing path goes unseen.
TEST(Szenen, FrameAfterFrameAsRecorded)
{
    const struct {
        Bau bau;
        int frames;
        uint64_t summe;  // of the table counts and every frame's pictures
    } szenen[] = {{START, 4, 0xdab8f83284c4c0bbull},
                  {GEFECHT, 8, 0x6e754924c612e2e4ull},
                  {VOLL, 8, 0x804c3516c1190171ull},
                  {RAENDER, 14, 0xe730726bf8c0a369ull}};
    for (const auto &s : szenen) {
        const std::vector<uint64_t> ist = InChild([&s] {
            if (chdir(KORVAN_RUN_DIR) != 0 || setenv("GGI_DISPLAY", "memory", 1) != 0 ||
                freopen("/dev/null", "w", stdout) == nullptr || !szenen::Start())
                return std::vector<uint64_t>{};
            if (s.bau == GEFECHT || s.bau == VOLL)
                szenen::Gefecht(10);
            if (s.bau == VOLL)
                szenen::VolleTabellen();
            if (s.bau == RAENDER)
                szenen::Raender();
            const int16_t tabellen[] = {MAnz, FAnz, LaserAnz, RocketAnz, EAnz, RauchAnz};
            uint64_t h = szenen::BildSumme(szenen::Summe(tabellen, sizeof tabellen));
            for (int i = 0; i < s.frames; ++i) {
                szenen::Bild();
                h = szenen::BildSumme(h);
            }
            return std::vector<uint64_t>{h};
        });
        EXPECT_EQ(ist, std::vector<uint64_t>{s.summe}) << "scene " << s.bau << ", digest now: " << Hex(ist);
    }
}

uint64_t Summe(const std::string &s)
{
    return szenen::Summe(s.data(), s.size());
}

// What a scripted game left: what it printed and a digest of each picture.
struct Partie {
    int status = -1;
    std::string aus, fehler;
    std::map<std::string, uint64_t> bilder;
};

Partie Spiele(const std::string &skript, const std::vector<std::string> &bilder)
{
    GameFolder ordner;
    fs::copy(fs::path(KORVAN_SOURCE_DIR) / "tests/game/scripts" / skript, ordner / skript);
    const Result r = Korvan(ordner.path(), "memory:-events=" + skript + ":-frames=3000:-final=ende.ppm");
    Partie p{r.status, r.out, r.err, {}};
    for (const std::string &b : bilder)
        p.bilder[b] = fs::exists(ordner / b) ? Summe(Read(ordner / b)) : 0;
    p.bilder["ende.ppm"] = Summe(Read(ordner / "ende.ppm"));
    return p;
}

struct Skript {
    const char *name;
    const std::string &ausgang;
    std::vector<std::string> bilder;
    uint64_t summe;  // of every picture, in the order of their names
};

// The outcome, the status and every picture, and the rules that tie the games together.
TEST(Spiele, ScriptedGamesEndAsRecorded)
{
    const std::vector<std::string> kampf = {"kampf20.ppm", "kampf30.ppm", "kampf40.ppm"};
    const Skript skripte[] = {
        // Combat vehicles beside the enemy camp: the camp falls and the game ends by itself.
        {"sieg.ev",
         SIEG,
         {"kampf16.ppm", "kampf20.ppm", "kampf30.ppm", "kampf40.ppm", "vorbei.ppm"},
         0x3a64bb7abf81637eull},
        // The same battle with the main menu open for ten passes of it.
        {"sieg_menue.ev", SIEG, {"menue.ppm", "kampf20.ppm", "kampf30.ppm", "kampf40.ppm"}, 0xb45f825f750eb49cull},
        // The same battle with the editor overlay shown for a few frames.
        {"sieg_editor.ev", SIEG, {"editor.ppm", "kampf20.ppm", "kampf30.ppm", "kampf40.ppm"}, 0xd6ba644cf25bc91eull},
        {"befehle.ev",
         VERLOREN,
         {"rahmen.ppm", "unterwegs.ppm", "kampf.ppm", "gezogen.ppm", "rand.ppm", "editor.ppm", "menue.ppm",
          "danach.ppm"},
         0x49d7d300f80cbe87ull},
    };
    std::map<std::string, Partie> partien;
    for (const Skript &s : skripte) {
        const Partie p = partien[s.name] = Spiele(s.name, s.bilder);
        EXPECT_EQ(p.status, 0) << s.name;
        EXPECT_EQ(p.fehler, "") << s.name;
        EXPECT_TRUE(p.aus.ends_with(s.ausgang)) << s.name << ": " << p.aus;
        uint64_t summe = Summe(p.aus);
        for (const auto &[name, bild] : p.bilder)
            summe = szenen::Summe(&bild, sizeof bild, summe);
        EXPECT_EQ(summe, s.summe) << s.name << ", digest now: " << Hex({summe});
    }
    // The game was over before frame 100; the menu holds the battle for its eleven passes
    // and the overlay only covers it: afterwards both go on as without them.
    EXPECT_EQ(partien["sieg.ev"].bilder["vorbei.ppm"], 0u);
    for (const std::string &b : kampf) {
        EXPECT_EQ(partien["sieg_menue.ev"].bilder[b], partien["sieg.ev"].bilder[b]) << b;
        EXPECT_EQ(partien["sieg_editor.ev"].bilder[b], partien["sieg.ev"].bilder[b]) << b;
    }
    EXPECT_NE(partien["sieg_editor.ev"].bilder["editor.ppm"], partien["sieg.ev"].bilder["kampf16.ppm"]);
}

}  // namespace
