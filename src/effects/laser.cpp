// Laser bolts and the line tracer they share with rockets.
#include "effects/laser.h"

#include <cstdlib>

#include "control/control.h"
#include "display/video.h"
#include "map/maps.h"
#include "units/data.h"
#include "units/vardefs.h"

// Lasers in flight, in map pixels; a unit may be hit anywhere on the map, seen or not.
LASER Laser[EFFEKT_TABELLE];
// Live entries, so a full table drops the next shot.
int16_t LaserAnz = 0;
// Lowest free entry, where the next shot goes.
int16_t LaserNextFree = 0;

namespace {

// Narrows to the tracer's 16-bit fields, wrapping as they do.
int16_t w16(int v)
{
    return static_cast<int16_t>(v);
}

// Whether the bolt has passed its aim on each axis. Both flags live for one frame's call:
// once an axis is reached it stays reached until the call ends. The start and the aim are
// kept here, so that the test does not read them from the record after every pixel drawn.
struct Erreicht {
    int16_t ax, ay, dx, dy;
    bool x = false;
    bool y = false;

    explicit Erreicht(const LASER &b) : ax(b.ax), ay(b.ay), dx(b.dx), dy(b.dy) {}

    // A bolt moving right (down) is through one pixel past the aim; one moving left (up),
    // or standing on that axis, on reaching it.
    bool Pruefen(const LINE &l)
    {
        if ((ax < dx && l.x > dx) || (ax >= dx && l.x <= dx))
            x = true;
        if ((ay < dy && l.y > dy) || (ay >= dy && l.y <= dy))
            y = true;
        return x && y;
    }
};

}  // namespace

void LinieInit(LASER &b)
{
    LINE &l = b.l;
    const int breite = abs(b.dx - b.ax);
    const int hoehe = abs(b.dy - b.ay);
    if (breite < hoehe) {
        if (b.dy < b.ay) {
            l.yincr = -1;
            l.dy = w16(b.ay - b.dy);
        } else {
            l.yincr = 1;
            l.dy = w16(b.dy - b.ay);
        }
        l.div = 1;
        l.xincr = b.ax < b.dx ? 1 : -1;
        l.dx = w16(breite);
        l.d = w16(2 * l.dx - l.dy);
        l.aincr = w16(2 * (l.dx - l.dy));
        l.bincr = w16(2 * l.dx);
    } else {
        if (b.dx < b.ax) {
            l.xincr = -1;
            l.dx = w16(b.ax - b.dx);
        } else {
            l.xincr = 1;
            l.dx = w16(b.dx - b.ax);
        }
        l.div = 0;
        l.yincr = b.ay < b.dy ? 1 : -1;
        l.dy = w16(hoehe);
        l.d = w16(2 * l.dy - l.dx);
        l.aincr = w16(2 * (l.dy - l.dx));
        l.bincr = w16(2 * l.dy);
    }
    l.x = b.ax;
    l.y = b.ay;
}

void LinieSchritt(LINE &l)
{
    // Whether the minor axis moves flips from step to step in no pattern a processor could
    // learn, so it is written as selections rather than as jumps.
    const bool bleibt = l.d < 0;
    l.d = w16(l.d + (bleibt ? l.bincr : l.aincr));
    if (l.div == 0) {
        l.y = w16(l.y + (bleibt ? 0 : l.yincr));
        l.x = w16(l.x + l.xincr);
    } else {
        l.x = w16(l.x + (bleibt ? 0 : l.xincr));
        l.y = w16(l.y + l.yincr);
    }
}

bool BolzenFlug(LASER &b, bool schattiert)
{
    // A bolt aimed at its own start has no direction to fly in; it strikes where it is.
    if (b.ax == b.dx && b.ay == b.dy) {
        b.l.x = b.ax;
        b.l.y = b.ay;
        return true;
    }

    // The tracer, the view and the buffer are worked on in locals: each byte stored could
    // otherwise be any of them, and the compiler would fetch them all again after it.
    LINE l = b.l;
    Erreicht erreicht(b);
    if (GameDel == 0) {
        for (int i = 0; i < b.speed; ++i)
            LinieSchritt(l);
        if (erreicht.Pruefen(l)) {
            b.l = l;
            return true;
        }
    }

    const LINE kopf = l;
    unsigned char *bild = VScreen;
    const int scrollX = ScrollX, scrollY = ScrollY;
    const int laenge = b.length;
    const unsigned char farbe = b.farbe;
    for (int i = 0; i < laenge; ++i) {
        LinieSchritt(l);
        const int sx = l.x - scrollX;
        const int sy = l.y - scrollY;
        if (sx >= 0 && sx < WIDTH && sy >= 0 && sy < HEIGHT) {
            // The streak darkens by one colour every two pixels behind the first.
            const int abzug = schattiert ? i / 2 : 0;
            bild[sy * WIDTH + sx] = static_cast<unsigned char>(farbe - abzug);
        }
        if (erreicht.Pruefen(l)) {
            b.l = l;
            return true;
        }
    }
    b.l = kopf;
    return false;
}

void BolzenTreffer(const LASER &b)
{
    for (MANN &m : Leute) {
        if (m.ax <= b.l.x && b.l.x <= m.ax + m.shapeX && m.ay <= b.l.y && b.l.y <= m.ay + m.shapeY)
            m.energie = w16(m.energie - b.destruct);
    }
}

void LaserInsert(short ax, short ay, short owner)
{
    if (!EffektPlatz(LaserAnz))
        return;
    const int16_t s = LaserNextFree;
    LASER &b = Laser[s];
    MANN &schuetze = Leute[owner];
    b.free = 1;
    b.ax = ax;
    b.ay = ay;
    b.dx = schuetze.zx;
    b.dy = schuetze.zy;
    b.length = 7;
    b.speed = 10;
    b.destruct = Data[schuetze.type].destruct;
    b.farbe = 229;
    b.owner = owner;
    InitLaser(s);
    schuetze.zaehler = 2;
    EffektNaechsterFreier(Laser, s, LaserNextFree);
}

void InitLaser(short index)
{
    LinieInit(Laser[index]);
}

void CalcLaserPoint(short index)
{
    LinieSchritt(Laser[index].l);
}

void LaserCompute(short index)
{
    if (BolzenFlug(Laser[index], true))
        LaserEnde(index);
}

void LaserEnde(short index)
{
    BolzenTreffer(Laser[index]);
    LaserDelete(index);
}

void LaserDelete(short index)
{
    EffektFrei(Laser, LaserAnz, LaserNextFree, index);
    MANN &schuetze = Leute[Laser[index].owner];
    schuetze.attack = 0;
    schuetze.who = 255;
}
