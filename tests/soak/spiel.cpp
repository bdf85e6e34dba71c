// One game in a process of its own, driven frame by frame, its tables checked after each frame.
#include "soak/spiel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include <ggi/ggi.h>
#include <ggi/layer.h>

#include "control/control.h"
#include "display/pcxlib.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/maps.h"
#include "startup/file.h"
#include "startup/init.h"
#include "ui/mouse.h"
#include "units/leute.h"

namespace {

std::string Text(const char *format, long a = 0, long b = 0, long c = 0, long d = 0)
{
    char s[200];
    snprintf(s, sizeof s, format, a, b, c, d);
    return s;
}

// Count, live entries and lowest free entry of one effect table.
template <class T>
std::string EffektTabelle(const char *name, const T (&t)[EFFEKT_TABELLE], int16_t anz, int16_t naechster)
{
    int lebend = 0, frei = -1;
    for (int i = 0; i < EFFEKT_TABELLE; ++i) {
        if (t[i].free > 1)
            return std::string(name) + Text(" %ld: free is %ld", i, t[i].free);
        if (t[i].free == 1)
            ++lebend;
        else if (frei < 0)
            frei = i;
    }
    if (anz != lebend)
        return std::string(name) + Text(": count %ld, live entries %ld", anz, lebend);
    if (anz < 0 || anz >= EFFEKT_TABELLE)
        return std::string(name) + Text(": count %ld", anz);
    if (naechster != frei)
        return std::string(name) + Text(": next free %ld, lowest free %ld", naechster, frei);
    return "";
}

}  // namespace

std::string Verletzt()
{
    int m = 0, f = 0, frei = -1;
    for (int i = 0; i < MAX_LEUTE; ++i) {
        const MANN &u = Leute[i];
        if (u.free > 1)
            return Text("unit %ld: free is %ld", i, u.free);
        if (u.free == 0) {
            if (frei < 0)
                frei = i;
            continue;
        }
        ++(u.feind == 0 ? m : f);
        if (u.feind > 1 || u.type > 9)
            return Text("unit %ld: side %ld, kind %ld", i, u.feind, u.type);
        if (u.dmax > WEG_LAENGE || u.dcount > u.dmax)
            return Text("unit %ld: waypoint %ld of %ld, the list holds %ld", i, u.dcount, u.dmax,
                        WEG_LAENGE);
        // The top of the detour stack is d1[d1count].
        if (u.d1count >= UMWEG_LAENGE)
            return Text("unit %ld: detour top %ld, the stack holds %ld", i, u.d1count, UMWEG_LAENGE);
    }
    if (MAnz != m || FAnz != f)
        return Text("counts %ld and %ld, live units %ld and %ld", MAnz, FAnz, m, f);
    if (MAnz > MAX_PRO_SEITE || FAnz > MAX_PRO_SEITE)
        return Text("counts %ld and %ld, at most %ld a side", MAnz, FAnz, MAX_PRO_SEITE);
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
    if (ScrollX < 0 || ScrollX > 20 * FeldX - WIDTH || ScrollY < 0 || ScrollY > 20 * FeldY - HEIGHT - 20)
        return Text("view at %ld, %ld", ScrollX, ScrollY);
    return "";
}

bool SpieleGeprueft(Ergebnis &e, int64_t maxPasses)
{
    auto fehler = [&e](const std::string &s) {
        snprintf(e.fehler, sizeof e.fehler, "%s", s.c_str());
        return false;
    };

    InitSpiel();
    FadeOut();
    if (SpielAnzeigen() == 0)
        return fehler("the display did not open");
    StartAufstellung();
    fflush(stdout);
    e.startAusgabe = lseek(1, 0, SEEK_CUR);

    std::string s = Verletzt();
    if (!s.empty())
        return fehler("after start-up: " + s);
    int16_t Ende = 0;
    while (Ende == 0) {
        if (e.passes == maxPasses)
            return fehler(Text("the game did not end within %ld frames", maxPasses));
        SpielPass(Ende);
        ++e.passes;
        s = Verletzt();
        if (!s.empty())
            return fehler(Text("frame %ld: ", e.passes) + s);

        e.maxM = std::max<int>(e.maxM, MAnz);
        e.maxF = std::max<int>(e.maxF, FAnz);
        e.maxLaser = std::max<int>(e.maxLaser, LaserAnz);
        e.maxRocket = std::max<int>(e.maxRocket, RocketAnz);
        e.maxExplose = std::max<int>(e.maxExplose, EAnz);
        e.maxRauch = std::max<int>(e.maxRauch, RauchAnz);
        for (const MANN &u : Leute)
            if (u.free != 0) {
                e.maxWeg = std::max<int>(e.maxWeg, u.dmax);
                e.maxUmweg = std::max<int>(e.maxUmweg, u.d1count);
            }
        e.maxScrollX = std::max<int>(e.maxScrollX, ScrollX);
        e.maxScrollY = std::max<int>(e.maxScrollY, ScrollY);
        e.maxSpeed = std::max<int>(e.maxSpeed, GameSpeed);
        if (MAnz == 0 || FAnz == 0)
            e.aufgerieben = true;
    }
    e.frames = ggiLayerFrame(vis);
    fflush(stdout);
    return true;
}
