// Scenes of the running game built through its own functions, for the picture tests and the
// benchmarks.
#include "drawing/szenen.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "control/control.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/scroll.h"
#include "startup/file.h"
#include "startup/init.h"
#include "ui/edit.h"
#include "ui/intfc.h"
#include "ui/mouse.h"
#include "units/leute.h"

namespace szenen {

namespace {

constexpr int VOLL = EFFEKT_TABELLE - 1;  // live entries of a full effect table
constexpr int ZELLE = 20;                 // edge of a map cell in pixels
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
        ExploseInsert(static_cast<short>(i * 53 % (WIDTH - 28)),
                      static_cast<short>(i * 37 % (HEIGHT - 20)), 10, 22, 1);
    for (int i = 0; RauchAnz < VOLL && i < 1000; ++i)
        RauchInsert(static_cast<short>(i * 41 % (WIDTH - 14)), static_cast<short>(i * 29 % (HEIGHT - 14)));

    // Long flights across the view, so that every bolt is still flying many frames later.
    const short owner = ErsterSchuetze();
    for (int i = 0; LaserAnz < VOLL && i < 1000; ++i) {
        const int y = i * 2 % (HEIGHT - 20) + 10;
        Schuss(false, ScrollX + 10 + i % 50, ScrollY + y, ScrollX + WIDTH - 10, ScrollY + HEIGHT - 1 - y,
               owner);
    }
    for (int i = 0; RocketAnz < VOLL && i < 1000; ++i) {
        const int x = i * 3 % (WIDTH - 40) + 10;
        Schuss(true, ScrollX + x, ScrollY + 10 + i % 30, ScrollX + WIDTH - 30 - x, ScrollY + HEIGHT - 30,
               owner);
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
    const Ort orte[] = {{-10, 100}, {-20, 200}, {-21, 300}, {630, 60}, {625, 160}, {600, 240},
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

    const Ort bilder[] = {{-14, 100}, {626, 200}, {300, -10}, {300, 390}, {-20, -15}, {630, 395},
                          {-27, 50},  {639, 50},  {100, -19}, {100, 399}};
    for (const Ort &o : bilder)
        ExploseInsert(static_cast<short>(o.x), static_cast<short>(o.y), 10, 22, 1);
    const Ort puffs[] = {{635, 395}, {-13, 0}, {-5, 200}, {630, 100}, {320, -7}, {320, 393},
                         {-14, 10},  {640, 10}, {20, -14}, {20, 400}};
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

void Sichern(Stand &s)
{
    std::memcpy(s.leute, Leute, sizeof Leute);
    s.mAnz = MAnz;
    s.fAnz = FAnz;
    s.nextFree = NextFree;
    std::memcpy(s.laser, Laser, sizeof Laser);
    std::memcpy(s.rocket, Rocket, sizeof Rocket);
    std::memcpy(s.explose, Explose, sizeof Explose);
    std::memcpy(s.rauch, Rauch, sizeof Rauch);
    s.laserAnz = LaserAnz, s.laserNext = LaserNextFree;
    s.rocketAnz = RocketAnz, s.rocketNext = RocketNextFree;
    s.eAnz = EAnz, s.eNext = ExploseNextFree;
    s.rauchAnz = RauchAnz, s.rauchNext = RauchNextFree;
    s.scrollX = ScrollX, s.scrollY = ScrollY;
    s.rightScroll = RightScroll, s.rightScrollX = RightScrollX, s.rightScrollY = RightScrollY;
    s.rightScrolled = RightScrolled;
    s.nachScroll = NachScroll, s.scrollDir = ScrollDir;
    s.gameSpeed = GameSpeed, s.gameDel = GameDel;
    s.rahmen = Rahmen, s.rahmenX = RahmenX, s.rahmenY = RahmenY;
    s.phase = r, s.edit = edit;
    s.mx = mx, s.my = my, s.mx1 = mx1, s.my1 = my1;
    s.mouseImage = MouseImage, s.imageStart = m_image_start, s.imageEnd = m_image_end;
    s.showImage = m_show_image;
    // The pointer keeps the background it covers in its first frame.
    const long hintergrund = m_images != nullptr ? std::min<long>(256, m_imagesLaenge) : 0;
    s.mausHintergrund.assign(m_images, m_images + hintergrund);
    std::memcpy(s.animated, Animated, sizeof Animated);
    s.aniAnz = AniAnz;
    s.zellen.resize(size_t(AniAnz) * ZELLE * ZELLE);
    for (int i = 0; i < AniAnz; ++i)
        for (int j = 0; j < ZELLE; ++j)
            std::memcpy(&s.zellen[(size_t(i) * ZELLE + j) * ZELLE],
                        Terrain + (Animated[i].y + j) * KARTE_PIXEL + Animated[i].x, ZELLE);
}

void Zuruecksetzen(const Stand &s)
{
    std::memcpy(Leute, s.leute, sizeof Leute);
    MAnz = s.mAnz;
    FAnz = s.fAnz;
    NextFree = s.nextFree;
    std::memcpy(Laser, s.laser, sizeof Laser);
    std::memcpy(Rocket, s.rocket, sizeof Rocket);
    std::memcpy(Explose, s.explose, sizeof Explose);
    std::memcpy(Rauch, s.rauch, sizeof Rauch);
    LaserAnz = s.laserAnz, LaserNextFree = s.laserNext;
    RocketAnz = s.rocketAnz, RocketNextFree = s.rocketNext;
    EAnz = s.eAnz, ExploseNextFree = s.eNext;
    RauchAnz = s.rauchAnz, RauchNextFree = s.rauchNext;
    ScrollX = s.scrollX, ScrollY = s.scrollY;
    RightScroll = s.rightScroll, RightScrollX = s.rightScrollX, RightScrollY = s.rightScrollY;
    RightScrolled = s.rightScrolled;
    NachScroll = s.nachScroll, ScrollDir = s.scrollDir;
    GameSpeed = s.gameSpeed, GameDel = s.gameDel;
    Rahmen = s.rahmen, RahmenX = s.rahmenX, RahmenY = s.rahmenY;
    r = s.phase, edit = s.edit;
    mx = s.mx, my = s.my, mx1 = s.mx1, my1 = s.my1;
    MouseImage = s.mouseImage, m_image_start = s.imageStart, m_image_end = s.imageEnd;
    m_show_image = s.showImage;
    if (!s.mausHintergrund.empty())
        std::memcpy(m_images, s.mausHintergrund.data(), s.mausHintergrund.size());
    std::memcpy(Animated, s.animated, sizeof Animated);
    AniAnz = s.aniAnz;
    for (int i = 0; i < AniAnz; ++i)
        for (int j = 0; j < ZELLE; ++j)
            std::memcpy(Terrain + (Animated[i].y + j) * KARTE_PIXEL + Animated[i].x,
                        &s.zellen[(size_t(i) * ZELLE + j) * ZELLE], ZELLE);
}

bool Bild()
{
    int16_t ende = 0;
    SpielPass(ende);
    return ende != 0;
}

uint64_t Pruefsumme(const unsigned char *daten, size_t n)
{
    uint64_t h = 0xcbf29ce484222325u;
    for (size_t i = 0; i < n; ++i) {
        h ^= daten[i];
        h *= 0x100000001b3u;
    }
    return h;
}

uint64_t BildPruefsumme()
{
    const uint64_t ansicht = Pruefsumme(VScreen, size_t(WIDTH) * HEIGHT);
    const uint64_t gezeigt = Pruefsumme(Screen, size_t(WIDTH) * HEIGHT);
    return ansicht ^ (gezeigt << 1 | gezeigt >> 63);
}

}  // namespace szenen
