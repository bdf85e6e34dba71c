// The soak: games of random input on the generated battlefield and on odd ones, every frame
// checked against the rules of the game's tables, each game replaying to its recorded digest.

#include <ggi/layer.h>

#include "control/control.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "game/szenen.h"
#include "map/maps.h"
#include "support.h"
#include "units/vardefs.h"

namespace {

using namespace test;

constexpr int ESCAPE = 27, TAB = 9;
// The keys of the command table besides Escape and h; those that act on every repeat.
constexpr int BEFEHLE[] = {'^', TAB, 'x', '1', '2', '3', '4', '5', '6', 'a', 'b', 'c', 'd', '+', '-'};
constexpr int WIEDERHOLT[] = {'1', '2', '3', '4', '5', '6', 'a', 'b', 'c', 'd', '+', '-'};
// Keys without a command: Return, space, other letters, cursor keys, F1, the last symbol.
constexpr int FREMD[] = {0, 8, 13, 32, 'q', 'H', 0xE032, 0xE035, 0xE101, 0xFFFF};
// Event types the game has no use for, and buttons it ignores.
constexpr int ROH[] = {0, 1, 2, 3, 4, 12, 13};
constexpr int64_t KNOEPFE[] = {0, 3, 4, 255, 4294967295};

// The script of one game of random input; the same seed gives the same script everywhere
// (the standard Mersenne Twister, never the C library's rand(), which is the game's).
class Erzeuger {
public:
    Erzeuger(uint32_t saat, int laenge) : laenge(laenge), z(saat) {}

    std::string Skript()
    {
        const int dichte = int(W(10, 60));  // busy and quiet games
        for (int64_t f = 1; f < laenge - 1;)
            f = P(dichte) ? Aktion(f) : f + 1;
        Z(laenge - 1, "keydown 27");  // an open menu takes it; -frames brings more
        std::stable_sort(zeilen.begin(), zeilen.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        std::string s;
        for (const auto &[f, text] : zeilen)
            s += std::to_string(f) + " " + text + "\n";
        return s;
    }

private:
    int64_t W(int64_t a, int64_t b) { return a + int64_t(z() % uint64_t(b - a + 1)); }
    bool P(int prozent) { return W(0, 99) < prozent; }
    template <class T, size_t N> T E(const T (&liste)[N]) { return liste[W(0, N - 1)]; }
    void Z(int64_t f, const std::string &text) { zeilen.emplace_back(f, text); }
    void Taste(int64_t f, const char *art, int sym) { Z(f, std::string(art) + " " + std::to_string(sym)); }
    void Paar(int64_t f, const char *art, int64_t a, int64_t b)
    {
        Z(f, std::string(art) + " " + std::to_string(a) + " " + std::to_string(b));
    }
    void Knopf(int64_t f, bool runter, int64_t k) { Z(f, (runter ? "down " : "up ") + std::to_string(k)); }
    // A far pointer move or place, up to the ends of 32 bits.
    int64_t Weit()
    {
        const int64_t w[] = {W(640, 100000) * (P(50) ? 1 : -1), INT32_MAX, INT32_MIN, W(-70000, 70000)};
        return w[W(0, 3)];
    }
    void Punkt(int64_t f) { Paar(f, "pos", W(0, 639), W(0, 399)); }
    // Pointer moves over the next frames, for drags.
    int64_t Ziehen(int64_t f)
    {
        for (int64_t i = W(1, 12); i > 0; --i) {
            f += W(0, 2);
            if (P(80))
                Paar(f, "move", W(-40, 40), W(-40, 40));
            else
                Paar(f, "pos", W(-50, 700), W(-50, 450));
        }
        return f;
    }

    // Something the player does in frame f; the frame where the next thing may happen.
    int64_t Aktion(int64_t f)
    {
        switch (W(0, 17)) {
        case 0:
        case 1: {  // a command key, sometimes let go again
            const int k = E(BEFEHLE);
            Taste(f, "keydown", k);
            if (P(50))
                Taste(f + W(0, 3), "keyup", k);
            break;
        }
        case 2: {  // a key held down: repeats, several to a frame
            const int k = E(WIEDERHOLT);
            Taste(f, "keydown", k);
            const int64_t n = W(1, 60);
            for (int64_t i = 0; i < n; ++i)
                Taste(f + i / W(1, 4), "keyrepeat", k);
            Taste(f + n, "keyup", k);
            break;
        }
        case 3: {  // the main menu, played with and left with Escape before the game's end
            const int64_t dauer = W(0, 25);
            if (!P(40) || f + dauer >= laenge - 1)
                break;
            Taste(f, "keydown", 'h');
            for (int64_t g = f; g < f + dauer; ++g) {
                const int64_t w = P(50) ? W(0, 4) : 5;
                if (w == 0)
                    Taste(g, "keydown", P(50) ? E(BEFEHLE) : 'h');
                else if (w == 1)
                    Paar(g, "move", P(50) ? W(-50, 50) : Weit(), P(50) ? W(-50, 50) : Weit());
                else if (w == 2)
                    Paar(g, "pos", Weit(), Weit());
                else if (w == 3)
                    Knopf(g, P(50), W(1, 2));
                else if (w == 4)
                    Z(g, "raw " + std::to_string(E(ROH)));
            }
            Taste(f + dauer, "keydown", ESCAPE);
            return f + dauer + 1;
        }
        case 4:
        case 5:
            Paar(f, "move", W(-20, 20), W(-20, 20));
            break;
        case 6:
            Paar(f, "move", Weit(), Weit());
            break;
        case 7:
            Punkt(f);
            break;
        case 8:
            Paar(f, "pos", Weit(), Weit());
            break;
        case 9: {  // against an edge, so the view scrolls by itself
            const bool senkrecht = P(50);
            Paar(f, "pos", senkrecht ? (P(50) ? 0 : 639) : W(0, 639), senkrecht ? W(0, 399) : (P(50) ? 0 : 399));
            break;
        }
        case 10:  // a left click
            Knopf(f, true, 1);
            Knopf(f + W(0, 1), false, 1);
            break;
        case 11:  // a selection frame
            Knopf(f, true, 1);
            Knopf(Ziehen(f), false, 1);
            break;
        case 12:  // a right drag scrolls; a right click deselects
            Knopf(f, true, 2);
            Knopf(P(70) ? Ziehen(f) : f + W(0, 1), false, 2);
            break;
        case 13:
            Knopf(f, P(50), P(50) ? E(KNOEPFE) : W(1, 2));
            break;
        case 14:
            Z(f, "raw " + std::to_string(E(ROH)));
            break;
        case 15:
            Taste(f, P(50) ? "keyup" : "keydown", E(FREMD));
            break;
        case 16:  // all own units on screen sent to a point: routes and detours
            Taste(f, "keydown", TAB);
            Punkt(f);
            Knopf(f, true, 1);
            Knopf(f, false, 1);
            break;
        default:  // a unit placed at a random point of the view
            Punkt(f);
            Taste(f, "keydown", E(WIEDERHOLT));
            break;
        }
        return f + 1;
    }

    const int laenge;
    std::mt19937 z;
    std::vector<std::pair<int64_t, std::string>> zeilen;
};

// The battlefields: the generated one, maps at both size limits thick with obstacles, and
// pictures cut short with sprite-layout numbers at their extremes.
enum Welt { ERZEUGT, KLEIN, GROSS, KURZ };

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

void Bereite(const fs::path &o, Welt w)
{
    const fs::path r = o / "resource";
    const int kacheln = int(fs::file_size(r / "terrain.rsc") / 400);
    if (w == KLEIN)
        Write(o / "mission/demo.mis", Karte(32, 21, 45, 7, kacheln));
    if (w == GROSS)
        Write(o / "mission/demo.mis", Karte(98, 98, 25, 8, kacheln));
    if (w != KURZ)
        return;
    const std::pair<const char *, uintmax_t> kuerzer[] = {
        {"font-01.rsc", 1},     {"maus.rsc", 300},   {"terrain.rsc", fs::file_size(r / "terrain.rsc") + 7},
        {"lsprites.rsc", 1000}, {"ksprites.rsc", 7}, {"hsprites.rsc", 1},
        {"explose.rsc", 1000},  {"rauch.rsc", 100}};
    for (const auto &[datei, groesse] : kuerzer)
        fs::resize_file(r / datei, groesse);
    std::string num;
    for (int i = 0; i < 41; ++i)
        num += "N=" + std::string(i % 3 == 0 ? "9999" : i % 3 == 1 ? "-999" : "7") + ":\n";
    Write(r / "mann.num", num);
}

// What a game reached, highest values over its frames; a game's first number is its digest.
enum { SUMME, PASSES, M, F, LASER, ROCKET, EXPLOSE, RAUCH, WEG, UMWEG, SCROLLX, SCROLLY, SPEED, WERTE };

// Plays the script in `ordner` in a child process, every frame checked; the digest folds
// in every frame's pictures and units, the picture shown at the end and what the game
// printed. Empty after a failure, which is reported.
std::vector<uint64_t> Spiele(const fs::path &ordner, const std::string &skript, int laenge)
{
    Write(ordner / "spiel.ev", skript);
    const std::vector<uint64_t> werte = InChild([&]() -> std::vector<uint64_t> {
        const int aus = open((ordner / "aus.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(ordner.c_str()) != 0 || aus < 0 || dup2(aus, 1) < 0)
            return {};
        const std::string anzeige = "memory:-events=spiel.ev:-frames=" + std::to_string(laenge);
        setenv("GGI_DISPLAY", anzeige.c_str(), 1);
        alarm(600);  // a game that hangs ends instead of holding up the suite
        if (!szenen::Start())
            return {};
        std::vector<uint64_t> w(WERTE, 0);
        w[SUMME] = szenen::BildSumme();
        for (bool ende = false; !ende; ++w[PASSES]) {
            if (w[PASSES] > uint64_t(laenge) + 100) {
                fprintf(stderr, "the game did not end\n");
                return {};
            }
            ende = szenen::Bild();
            const std::string regel = szenen::Verletzt();
            if (!regel.empty()) {
                fprintf(stderr, "frame %llu: %s\n", (unsigned long long)w[PASSES], regel.c_str());
                return {};
            }
            w[SUMME] = szenen::BildSumme(w[SUMME]);
            const int16_t jetzt[] = {MAnz, FAnz, LaserAnz, RocketAnz, EAnz,     RauchAnz,
                                     0,    0,    ScrollX,  ScrollY,   GameSpeed};
            for (int i = M; i < WERTE; ++i)
                w[i] = std::max<uint64_t>(w[i], uint64_t(jetzt[i - M]));
            for (const MANN &u : Leute)
                if (u.free != 0) {
                    w[WEG] = std::max<uint64_t>(w[WEG], u.dmax);
                    w[UMWEG] = std::max<uint64_t>(w[UMWEG], u.d1count);
                }
        }
        int breite = 0, hoehe = 0;
        std::vector<uint8_t> rgb;
        fflush(stdout);
        if (ggiLayerShown(vis, &breite, &hoehe, &rgb) != 0)
            return {};
        w[SUMME] = szenen::Summe(rgb.data(), rgb.size(), w[SUMME]);
        const std::string gedruckt = Read("aus.txt");
        w[SUMME] = szenen::Summe(gedruckt.data(), gedruckt.size(), w[SUMME]);
        return w;
    });
    EXPECT_FALSE(werte.empty()) << "replay it: cd " << ordner
                                << " && GGI_DISPLAY=memory:-events=spiel.ev:-frames=" << laenge << " ./korvan";
    return werte;
}

struct Partie {
    Welt welt;
    uint32_t saat;
    int laenge;
    uint64_t summe;
};

// Recorded from the game as it stands; a change of any rule, picture or message changes them.
const Partie PARTIEN[] = {
    {ERZEUGT, 1, 2600, 0xc1e7ffa8a8e26ba2ull}, {ERZEUGT, 2, 2400, 0xacc30f58153b9ca1ull},
    {ERZEUGT, 3, 1800, 0x0e3feac6b9661c5full}, {KLEIN, 4, 1200, 0xc5a54c3e21c8b55full},
    {GROSS, 6, 2000, 0xaa884c8c2917bc3dull},   {KURZ, 6, 1000, 0xd8f6f3ac6eefcfeaull},
};

TEST(Soak, RandomGamesKeepTheRulesAndReplayToTheirDigests)
{
    Folder basis;
    std::vector<uint64_t> hoch(WERTE, 0), summen;
    for (const Partie &p : PARTIEN) {
        const fs::path ordner = basis / std::to_string(&p - PARTIEN);
        Furnish(ordner);
        Bereite(ordner, p.welt);
        const std::vector<uint64_t> w = Spiele(ordner, Erzeuger(p.saat, p.laenge).Skript(), p.laenge);
        if (w.empty())
            return;
        summen.push_back(w[SUMME]);
        for (int i = M; i < WERTE; ++i)
            hoch[i] = std::max(hoch[i], p.welt == GROSS && i >= SCROLLX ? 0 : w[i]);
        if (p.welt == GROSS) {  // the largest map scrolls to its far corner
            EXPECT_EQ(w[SCROLLX], 20u * 98 - 640);
            EXPECT_EQ(w[SCROLLY], 20u * 98 - 420);
        }
    }
    // The input reached what the rules are about.
    const std::vector<uint64_t> erreicht = {0, 0, 49, 49, 1, 1, 1, 1, 2, 1, 1, 1, 10};
    for (int i = M; i < WERTE; ++i)
        EXPECT_GE(hoch[i], erreicht[i]) << "value " << i;
    std::vector<uint64_t> soll;
    for (const Partie &p : PARTIEN)
        soll.push_back(p.summe);
    EXPECT_EQ(summen, soll) << "digests now:\n" << Hex(summen);

    // The long soak (cmake --build DIR --target soak) goes on with new seeds for
    // KORVAN_SOAK_FRAMES frames, every frame checked.
    const char *mehr = getenv("KORVAN_SOAK_FRAMES");
    for (int64_t n = 0, gespielt = 0; mehr != nullptr && gespielt < std::atoll(mehr); ++n) {
        const fs::path ordner = basis / ("lang" + std::to_string(n));
        Furnish(ordner);
        Bereite(ordner, Welt(n % 4));
        const int laenge = 300 + int(n * 7919 % 2700);
        const std::vector<uint64_t> w = Spiele(ordner, Erzeuger(uint32_t(1000 + n), laenge).Skript(), laenge);
        if (w.empty())
            return;
        gespielt += int64_t(w[PASSES]);
        fs::remove_all(ordner);
    }
}

}  // namespace
