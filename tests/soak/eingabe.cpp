// Random player input for the soak: one event script per game, from a seeded generator.
#include "soak/eingabe.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <random>

namespace {

// Key codes of Escape and Tab.
constexpr int ESCAPE = 27;
constexpr int TAB = 9;

// The keys of the command table besides Escape and h, which have their own places.
constexpr int BEFEHLE[] = {'^', TAB, 'x', '1', '2', '3', '4', '5', '6', 'a', 'b', 'c', 'd', '+', '-'};
// The keys that act again on every repeat.
constexpr int WIEDERHOLT[] = {'1', '2', '3', '4', '5', '6', 'a', 'b', 'c', 'd', '+', '-'};
// Keys the game has no command for: Return, BackSpace, space, letters, the cursor keys, F1,
// and symbols whose low 16 bits, which the game looks at, are a unit key or -1. None of them
// comes down to Escape or h.
constexpr int FREMD[] = {0,      8,      13,     32,     'q',     'H',      0xE032,
                         0xE033, 0xE034, 0xE035, 0xE101, 0x10031, 0x10FFFF, 0xFFFF};
// Event types the game has no use for: 2, 4, 12 and 13 must be reported, 1 only by the
// main menu, 3 by neither, and 0 lies outside every mask the game polls with.
constexpr int ROH[] = {0, 1, 2, 3, 4, 12, 13};
// Buttons besides left and right, which the game ignores.
constexpr uint32_t KNOEPFE[] = {0, 3, 4, 255, 4294967295u};

bool Gemeldet(int typ, bool menue)
{
    return typ == 2 || typ == 4 || typ == 12 || typ == 13 || (menue && typ == 1);
}

class Erzeuger {
public:
    Erzeuger(uint32_t saat, int laenge) : laenge(laenge), z(saat) {}

    // A whole number from a to b, both included.
    int64_t Wuerfel(int64_t a, int64_t b) { return a + int64_t(z() % uint64_t(b - a + 1)); }
    bool Prozent(int p) { return Wuerfel(0, 99) < p; }
    template <class T, size_t N> T Eines(const T (&liste)[N]) { return liste[Wuerfel(0, N - 1)]; }

    void Zeile(int64_t frame, const std::string &text, int roh = -1)
    {
        zeilen.push_back({frame, text, roh, imMenue});
    }
    void Taste(int64_t f, const char *art, int sym) { Zeile(f, std::string(art) + " " + std::to_string(sym)); }
    void Zug(int64_t f, int64_t dx, int64_t dy)
    {
        Zeile(f, "move " + std::to_string(dx) + " " + std::to_string(dy));
    }
    void Ort(int64_t f, int64_t x, int64_t y)
    {
        Zeile(f, "pos " + std::to_string(x) + " " + std::to_string(y));
    }
    void Knopf(int64_t f, bool runter, uint32_t k)
    {
        Zeile(f, std::string(runter ? "down " : "up ") + std::to_string(k));
    }
    void Roh(int64_t f, int typ) { Zeile(f, "raw " + std::to_string(typ), typ); }

    // A far pointer move or position: well past the view, up to the ends of 32 bits.
    int64_t Weit()
    {
        switch (Wuerfel(0, 3)) {
        case 0: return Wuerfel(640, 100000) * (Prozent(50) ? 1 : -1);
        case 1: return INT32_MAX;
        case 2: return INT32_MIN;
        default: return Wuerfel(-70000, 70000);
        }
    }

    // Input the main menu gets while it is open; anything but Escape.
    void MenueRauschen(int64_t f)
    {
        switch (Wuerfel(0, 5)) {
        case 0: Taste(f, "keydown", Prozent(50) ? Eines(BEFEHLE) : 'h'); break;
        case 1:
            if (Prozent(50))
                Zug(f, Wuerfel(-50, 50), Wuerfel(-50, 50));
            else
                Zug(f, Weit(), Weit());
            break;
        case 2: Ort(f, Weit(), Weit()); break;
        case 3: Knopf(f, Prozent(50), uint32_t(Wuerfel(1, 2))); break;
        case 4: Roh(f, Eines(ROH)); break;
        default: Taste(f, "keyrepeat", Eines(WIEDERHOLT)); break;
        }
    }

    // Several pointer moves over the next frames, for drags.
    int64_t Ziehen(int64_t f)
    {
        const int64_t schritte = Wuerfel(1, 12);
        for (int64_t i = 0; i < schritte; ++i) {
            f += Wuerfel(0, 2);
            if (Prozent(80))
                Zug(f, Wuerfel(-40, 40), Wuerfel(-40, 40));
            else
                Ort(f, Wuerfel(-50, 700), Wuerfel(-50, 450));
        }
        return f;
    }

    // Something the player does in frame f; the frame where the next thing may happen.
    int64_t Aktion(int64_t f, Spielplan &plan)
    {
        switch (Wuerfel(0, 17)) {
        case 0:  // a command key, sometimes let go again
        case 1: {
            const int k = Eines(BEFEHLE);
            Taste(f, "keydown", k);
            if (Prozent(50))
                Taste(f + Wuerfel(0, 3), "keyup", k);
            break;
        }
        case 2: {  // a key held down: one press, then repeats, several to a frame
            const int k = Eines(WIEDERHOLT);
            Taste(f, "keydown", k);
            const int64_t n = Wuerfel(1, 60);
            for (int64_t i = 0; i < n; ++i)
                Taste(f + i / Wuerfel(1, 4), "keyrepeat", k);
            Taste(f + n, "keyup", k);
            break;
        }
        case 3: {  // the main menu, played with for a while and left with Escape
            // Closed before the closing Escape, which would otherwise close it instead.
            const int64_t dauer = Wuerfel(0, 25);
            if (!Prozent(40) || f + dauer >= laenge - 1)
                break;
            Taste(f, "keydown", 'h');
            imMenue = true;
            for (int64_t g = f; g < f + dauer; ++g)
                if (Prozent(50))
                    MenueRauschen(g);
            imMenue = false;
            Taste(f + dauer, "keydown", ESCAPE);
            ++plan.menues;
            // Nothing else while the menu is open: a second menu's Escape would close this
            // one, and this one's Escape would then end the game.
            return f + dauer + 1;
        }
        case 4:
        case 5:
            Zug(f, Wuerfel(-20, 20), Wuerfel(-20, 20));
            break;
        case 6:
            Zug(f, Weit(), Weit());
            break;
        case 7:
            Ort(f, Wuerfel(0, 639), Wuerfel(0, 399));
            break;
        case 8:
            Ort(f, Weit(), Weit());
            break;
        case 9: {  // against an edge, so the view scrolls by itself
            const bool senkrecht = Prozent(50);
            const int64_t x = senkrecht ? (Prozent(50) ? 0 : 639) : Wuerfel(0, 639);
            const int64_t y = senkrecht ? Wuerfel(0, 399) : (Prozent(50) ? 0 : 399);
            Ort(f, x, y);
            break;
        }
        case 10:  // a left click where the pointer is
            Knopf(f, true, 1);
            Knopf(f + Wuerfel(0, 1), false, 1);
            break;
        case 11:  // a selection frame
            Knopf(f, true, 1);
            Knopf(Ziehen(f), false, 1);
            break;
        case 12:  // a right drag scrolls; a right click deselects
            Knopf(f, true, 2);
            Knopf(Prozent(70) ? Ziehen(f) : f + Wuerfel(0, 1), false, 2);
            break;
        case 13:  // other buttons, and presses or releases without their partner
            if (Prozent(50))
                Knopf(f, Prozent(50), Eines(KNOEPFE));
            else
                Knopf(f, Prozent(50), uint32_t(Wuerfel(1, 2)));
            break;
        case 14:
            Roh(f, Eines(ROH));
            break;
        case 15:
            Taste(f, Prozent(50) ? "keyup" : "keydown", Eines(FREMD));
            break;
        case 16: {  // all own units on screen sent to a point: routes and detours
            Taste(f, "keydown", TAB);
            Ort(f, Wuerfel(0, 639), Wuerfel(0, 399));
            Knopf(f, true, 1);
            Knopf(f, false, 1);
            break;
        }
        default: {  // units placed at a random point of the view
            Ort(f, Wuerfel(0, 639), Wuerfel(0, 399));
            const int k = Eines(WIEDERHOLT);
            Taste(f, "keydown", k);
            break;
        }
        }
        return f + 1;
    }

    std::string Text(Spielplan &plan)
    {
        std::stable_sort(zeilen.begin(), zeilen.end(),
                         [](const Eintrag &a, const Eintrag &b) { return a.frame < b.frame; });
        std::string s;
        for (const Eintrag &e : zeilen) {
            s += std::to_string(e.frame) + " " + e.text + "\n";
            if (Gemeldet(e.roh, e.imMenue))
                plan.unerwartet.emplace_back(e.frame, e.roh);
        }
        return s;
    }

private:
    struct Eintrag {
        int64_t frame;
        std::string text;
        int roh;       // event type of a raw line, else -1
        bool imMenue;  // delivered while the main menu is open
    };
    const int laenge;
    bool imMenue = false;  // lines made now go to the open main menu
    std::mt19937 z;
    std::vector<Eintrag> zeilen;
};

}  // namespace

Spielplan ErzeugeSpiel(uint32_t saat, int laenge)
{
    Erzeuger e(saat, laenge);
    Spielplan plan;
    plan.laenge = laenge;
    // Busy and quiet stretches: how much happens differs from game to game.
    const int dichte = int(e.Wuerfel(10, 60));
    for (int64_t f = 1; f < laenge - 1;)
        f = e.Prozent(dichte) ? e.Aktion(f, plan) : f + 1;
    // Escape only at the end; an open menu takes the first, -frames brings more.
    e.Taste(laenge - 1, "keydown", ESCAPE);
    plan.skript = e.Text(plan);
    return plan;
}
