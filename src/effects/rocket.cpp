// Rockets: scattering, slower bolts with a smoke trail.
#include "effects/rocket.h"

#include "control/control.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "map/maps.h"
#include "startup/file.h"
#include "units/data.h"
#include "units/vardefs.h"

// Rockets in flight, in map pixels; a unit may be hit anywhere on the map, seen or not.
ROCKET Rocket[EFFEKT_TABELLE];
// Live entries, so a full table drops the next shot.
int16_t RocketAnz = 0;
// Lowest free entry, where the next shot goes.
int16_t RocketNextFree = 0;

void RocketInsert(short ax, short ay, short owner)
{
    if (!EffektPlatz(RocketAnz))
        return;
    const int16_t s = RocketNextFree;
    ROCKET &b = Rocket[s];
    MANN &schuetze = Leute[owner];
    b.free = 1;
    b.ax = ax;
    b.ay = ay;
    // Rockets scatter round the target; the x offset is drawn first.
    b.dx = static_cast<int16_t>(schuetze.zx + rnd(-5, 20));
    b.dy = static_cast<int16_t>(schuetze.zy + rnd(-5, 20));
    b.length = 7;
    b.speed = 5;
    b.destruct = Data[schuetze.type].destruct;
    b.farbe = 254;
    b.owner = owner;
    InitRocket(s);
    schuetze.zaehler = 8;
    EffektNaechsterFreier(Rocket, s, RocketNextFree);
}

void InitRocket(short index)
{
    LinieInit(Rocket[index]);
}

void CalcRocketPoint(short index)
{
    LinieSchritt(Rocket[index].l);
}

void RocketCompute(short index)
{
    ROCKET &b = Rocket[index];
    if (BolzenFlug(b, false)) {
        RocketEnde(index);
        return;
    }
    // The trail: one puff a tick where the head is now, fixed on the screen.
    if (GameDel == 0)
        RauchInsert(static_cast<int16_t>(b.l.x - ScrollX), static_cast<int16_t>(b.l.y - ScrollY));
}

void RocketEnde(short index)
{
    BolzenTreffer(Rocket[index]);
    RocketDelete(index);
}

void RocketDelete(short index)
{
    EffektFrei(Rocket, RocketAnz, RocketNextFree, index);
    MANN &schuetze = Leute[Rocket[index].owner];
    schuetze.attack = 0;
    schuetze.who = 255;
}
