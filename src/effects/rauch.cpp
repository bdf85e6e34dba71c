// Smoke puffs left behind by rockets, fixed on the screen.
#include "effects/rauch.h"

#include <cstring>

#include "control/control.h"
#include "startup/file.h"

// Live puffs; unlike explosions they stay put on the screen while the view scrolls.
RAUCH Rauch[EFFEKT_TABELLE];
// Live entries, so a full table drops further puffs.
int16_t RauchAnz = 0;
// Lowest free entry, where the next puff goes.
int16_t RauchNextFree = 0;

// A puff image is 14 x 14 bytes; images 0 to 7 make the animation.
constexpr int RAUCH_SEITE = 14;
constexpr int RAUCH_BILDER = 8;

void RauchInsert(short x, short y)
{
    if (!EffektPlatz(RauchAnz))
        return;
    const int16_t s = RauchNextFree;
    RAUCH &r = Rauch[s];
    std::memset(&r, 0, sizeof r);
    r.free = 1;
    r.x = x;
    r.y = y;
    r.index = 0;
    EffektNaechsterFreier(Rauch, s, RauchNextFree);
}

void RauchCompute(short index)
{
    RAUCH &r = Rauch[index];
    if (GameDel == 0)
        r.index = static_cast<int16_t>(r.index + 1);
    if (r.index < RAUCH_BILDER)
        ShowRauch(index);
    else
        RauchDelete(index);
}

void ShowRauch(short index)
{
    const RAUCH &r = Rauch[index];
    EffektBild(RauchData, RauchLaenge, int64_t(RAUCH_SEITE) * RAUCH_SEITE * r.index, RAUCH_SEITE, RAUCH_SEITE, r.x,
               r.y);
}

void RauchDelete(short index)
{
    EffektFrei(Rauch, RauchAnz, RauchNextFree, index);
}
