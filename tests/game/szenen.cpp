// Scenes of the running game built through its own functions, for the picture tests and the
// benchmarks.
#include "game/szenen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "control/control.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/maps.h"
#include "map/scroll.h"
#include "startup/file.h"
#include "startup/init.h"
#include "ui/edit.h"
#include "ui/intfc.h"
#include "ui/mouse.h"
#include "units/leute.h"
#include "units/vardefs.h"

namespace szenen {

namespace {

constexpr int VOLL = EFFEKT_TABELLE - 1;  // live entries of a full effect table
constexpr int16_t TASTE_TAB = 9;          // selects the player's units on screen

// The own kinds the keys place (troopers 0 to 3, helicopter, combat vehicle), mostly
// infantry as in a game; the enemy kinds 4 to 7.
constexpr unsigned char EIGENE[] = {0, 1, 2, 3, 0, 1, 2, 3, 8, 9};
constexpr unsigned char FEINDE[] = {4, 5, 6, 7};

// Fires a laser or a rocket from map point (ax, ay) at map point (zx, zy) for unit `owner`,
// whose own aim is kept as it was.
void Schuss(bool rakete, int ax, int ay, int zx, int zy, short owner)
{
    MANN &m = Leute[owner];
    const int16_t altX = m.zx, altY = m.zy;
    const uint8_t zaehler = m.zaehler;
    m.zx = static_cast<int16_t>(zx);
    m.zy = static_cast<int16_t>(zy);
    if (rakete)
        RocketInsert(static_cast<short>(ax), static_cast<short>(ay), owner);
    else
        LaserInsert(static_cast<short>(ax), static_cast<short>(ay), owner);
    m.zx = altX;
    m.zy = altY;
    m.zaehler = zaehler;
}

// The lowest slot holding a live unit: the owner of the shots the scenes fire.
short ErsterSchuetze()
{
    for (int i = 0; i < MAX_LEUTE; ++i)
        if (Leute[i].free != 0)
            return static_cast<short>(i);
    return 0;
}

// Both sides up to their limit: two blocks facing each other across 30 to 150 pixels, within
// every kind's reach. A place already taken is taken again; units do not block each other.
void Auffuellen()
{
    for (int n = 0; MAnz < MAX_PRO_SEITE && n < 200; ++n) {
        const short x = static_cast<short>(ScrollX + 330 + 20 * (n % 4));
        const short y = static_cast<short>(ScrollY + 20 + 28 * (n / 4 % 13));
        MInsert(x, y, x, y, EIGENE[n % std::size(EIGENE)]);
    }
    for (int n = 0; FAnz < MAX_PRO_SEITE && n < 200; ++n) {
        const short x = static_cast<short>(ScrollX + 420 + 20 * (n % 4));
        const short y = static_cast<short>(ScrollY + 10 + 28 * (n / 4 % 13));
        FInsert(x, y, x, y, FEINDE[n % std::size(FEINDE)]);
    }
}

}  // namespace

bool Start()
{
    InitSpiel();
    FadeOut();
    if (SpielAnzeigen() == 0)
        return false;
    StartAufstellung();
    return true;
}

void Gefecht(int vorlauf)
{
    Auffuellen();
    for (int i = 0; i < vorlauf; ++i)
        Bild();
    // The fallen are replaced, so that both sides stand at their limit again; then the
    // player's units on screen are selected (Tab), so they are drawn with their health bars.
    Auffuellen();
    int16_t ende = 0;
    TasteDruck(TASTE_TAB, ende);
}

void VolleTabellen()
{
    for (int i = 0; EAnz < VOLL && i < 1000; ++i)
        ExploseInsert(static_cast<short>(i * 53 % (WIDTH - 28)), static_cast<short>(i * 37 % (HEIGHT - 20)), 10, 22, 1);
    for (int i = 0; RauchAnz < VOLL && i < 1000; ++i)
        RauchInsert(static_cast<short>(i * 41 % (WIDTH - 14)), static_cast<short>(i * 29 % (HEIGHT - 14)));

    // Long flights across the view, so that every bolt is still flying many frames later.
    const short owner = ErsterSchuetze();
    for (int i = 0; LaserAnz < VOLL && i < 1000; ++i) {
        const int y = i * 2 % (HEIGHT - 20) + 10;
        Schuss(false, ScrollX + 10 + i % 50, ScrollY + y, ScrollX + WIDTH - 10, ScrollY + HEIGHT - 1 - y, owner);
    }
    for (int i = 0; RocketAnz < VOLL && i < 1000; ++i) {
        const int x = i * 3 % (WIDTH - 40) + 10;
        Schuss(true, ScrollX + x, ScrollY + 10 + i % 30, ScrollX + WIDTH - 30 - x, ScrollY + HEIGHT - 30, owner);
    }
}

void Raender()
{
    ScrollX = 200;
    ScrollY = 160;
    Landschaft();

    // Screen positions half across each edge and the corners, and just beyond the test that
    // decides whether a unit is drawn at all (-20 is drawn, -21 is not).
    struct Ort {
        int x, y;
    };
    const Ort orte[] = {{-10, 100}, {-20, 200}, {-21, 300}, {630, 60},  {625, 160}, {600, 240},
                        {200, -10}, {300, -20}, {400, -21}, {150, 390}, {250, 385}, {350, 375},
                        {-8, -8},   {628, -6},  {-12, 392}, {632, 388}, {610, 10},  {5, 371}};
    const unsigned char arten[] = {0, 8, 9, 1, 2, 3};
    int n = 0;
    for (const Ort &o : orte) {
        const short ax = static_cast<short>(ScrollX + o.x);
        const short ay = static_cast<short>(ScrollY + o.y);
        const unsigned char art = arten[n % std::size(arten)];
        MInsert(ax, ay, ax, ay, art);
        FInsert(static_cast<short>(ax + 3), static_cast<short>(ay + 2), static_cast<short>(ax + 3),
                static_cast<short>(ay + 2), FEINDE[n % std::size(FEINDE)]);
        ++n;
    }
    // Every other own unit is selected, so health bars cross the edges too.
    for (int i = 0, k = 0; i < MAX_LEUTE; ++i)
        if (Leute[i].free != 0 && Leute[i].feind == 0)
            Leute[i].aktive = static_cast<uint8_t>(k++ % 2);

    const Ort bilder[] = {{-14, 100}, {626, 200}, {300, -10}, {300, 390}, {-20, -15},
                          {630, 395}, {-27, 50},  {639, 50},  {100, -19}, {100, 399}};
    for (const Ort &o : bilder)
        ExploseInsert(static_cast<short>(o.x), static_cast<short>(o.y), 10, 22, 1);
    const Ort puffs[] = {{635, 395}, {-13, 0},  {-5, 200}, {630, 100}, {320, -7},
                         {320, 393}, {-14, 10}, {640, 10}, {20, -14},  {20, 400}};
    for (const Ort &o : puffs)
        RauchInsert(static_cast<short>(o.x), static_cast<short>(o.y));

    // Bolts that leave the view across each edge, and one that flies outside it all along.
    const short owner = ErsterSchuetze();
    const int x0 = ScrollX, y0 = ScrollY;
    Schuss(false, x0 + 600, y0 + 200, x0 + 760, y0 + 210, owner);
    Schuss(false, x0 + 30, y0 + 200, x0 - 150, y0 + 190, owner);
    Schuss(true, x0 + 300, y0 + 30, x0 + 310, y0 - 200, owner);
    Schuss(true, x0 + 200, y0 + 370, x0 + 190, y0 + 600, owner);
    Schuss(false, x0 + 20, y0 + 20, x0 - 100, y0 - 100, owner);
    Schuss(false, x0 + 700, y0 + 100, x0 + 800, y0 + 100, owner);
}

bool Bild()
{
    int16_t ende = 0;
    SpielPass(ende);
    return ende != 0;
}

uint64_t Summe(const void *daten, size_t n, uint64_t h)
{
    const auto *p = static_cast<const unsigned char *>(daten);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = (h ^ w) * 0x100000001b3u;
        h ^= h >> 31;
    }
    for (; i < n; ++i)
        h = (h ^ p[i]) * 0x100000001b3u;
    return h;
}

uint64_t BildSumme(uint64_t h)
{
    h = Summe(VScreen, size_t(WIDTH) * HEIGHT, h);
    h = Summe(Screen, size_t(WIDTH) * HEIGHT, h);
    // Field by field: the records' padding is nobody's business.
    for (const MANN &m : Leute) {
        const int16_t felder[] = {m.feind,   m.free, m.type, m.aktive, m.attack, m.who, m.dcount, m.d1count, m.dmax,
                                  m.zaehler, m.ax,   m.ay,   m.dx,     m.dy,     m.zx,  m.zy,     m.energie, m.shape};
        h = Summe(felder, sizeof felder, h);
    }
    return h;
}

namespace {

std::string Text(const char *format, long a = 0, long b = 0, long c = 0, long d = 0)
{
    char s[200];
    std::snprintf(s, sizeof s, format, a, b, c, d);
    return s;
}

// Count, live entries and lowest free entry of one effect table.
template <class T>
std::string EffektTabelle(const char *name, const T (&t)[EFFEKT_TABELLE], int16_t anz, int16_t naechster)
{
    int lebend = 0, frei = -1;
    for (int i = 0; i < EFFEKT_TABELLE; ++i) {
        if (t[i].free > 1)
            return name + Text(" %ld: free is %ld", i, t[i].free);
        if (t[i].free == 1)
            ++lebend;
        else if (frei < 0)
            frei = i;
    }
    if (anz != lebend || anz < 0 || anz >= EFFEKT_TABELLE)
        return name + Text(": count %ld, live entries %ld", anz, lebend);
    if (naechster != frei)
        return name + Text(": next free %ld, lowest free %ld", naechster, frei);
    return "";
}

}  // namespace

std::string Verletzt()
{
    int m = 0, f = 0, frei = -1;
    for (int i = 0; i < MAX_LEUTE; ++i) {
        const MANN &u = Leute[i];
        if (u.free == 0 && frei < 0)
            frei = i;
        if (u.free == 0)
            continue;
        ++(u.feind == 0 ? m : f);
        if (u.free > 1 || u.feind > 1 || u.type > 9)
            return Text("unit %ld: free %ld, side %ld, kind %ld", i, u.free, u.feind, u.type);
        // The top of the detour stack is d1[d1count].
        if (u.dmax > WEG_LAENGE || u.dcount > u.dmax || u.d1count >= UMWEG_LAENGE)
            return Text("unit %ld: waypoint %ld of %ld, detour top %ld", i, u.dcount, u.dmax, u.d1count);
    }
    if (MAnz != m || FAnz != f || MAnz > MAX_PRO_SEITE || FAnz > MAX_PRO_SEITE)
        return Text("counts %ld and %ld, live units %ld and %ld", MAnz, FAnz, m, f);
    if (NextFree != frei)
        return Text("next free unit %ld, lowest free slot %ld", NextFree, frei);
    for (const std::string &s : {EffektTabelle("laser", Laser, LaserAnz, LaserNextFree),
                                 EffektTabelle("rocket", Rocket, RocketAnz, RocketNextFree),
                                 EffektTabelle("explosion", Explose, EAnz, ExploseNextFree),
                                 EffektTabelle("smoke", Rauch, RauchAnz, RauchNextFree)})
        if (!s.empty())
            return s;
    if (mx < 0 || mx >= WIDTH || my < 0 || my >= HEIGHT)
        return Text("pointer at %ld, %ld", mx, my);
    if (GameSpeed < 1 || GameSpeed > 10)
        return Text("game speed %ld", GameSpeed);
    if (ScrollX < 0 || ScrollX > ScrollGrenzeX() || ScrollY < 0 || ScrollY > ScrollGrenzeY())
        return Text("view at %ld, %ld", ScrollX, ScrollY);
    return "";
}

}  // namespace szenen
