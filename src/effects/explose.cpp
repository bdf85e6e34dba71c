// Explosions: frame animations where a unit died, anchored to the screen.
#include "effects/explose.h"

#include <cstring>

#include "control/control.h"
#include "startup/file.h"

// Live explosions; the scroll steps shift their screen positions with the view.
EXPLO Explose[EFFEKT_TABELLE];
// Live entries, so a full table can refuse the next death's explosion.
int16_t EAnz = 0;
// Lowest free entry, where the next explosion goes.
int16_t ExploseNextFree = 0;

void ExploseInsert(short x, short y, short destruct, short range, unsigned char type)
{
    if (!EffektPlatz(EAnz))
        return;
    const int16_t s = ExploseNextFree;
    EXPLO &e = Explose[s];
    std::memset(&e, 0, sizeof e);
    e.free = 1;
    e.type = type;
    e.x = x;
    e.y = y;
    e.range = range;
    e.destruct = destruct;
    e.index = 0;
    // Only kind 1 has pictures; any other kind keeps a zero size and ends on its first tick.
    if (type == 1) {
        e.frames = 11;
        e.shape_x = 28;
        e.shape_y = 20;
        e.shape_start = 0;
    }
    EffektNaechsterFreier(Explose, s, ExploseNextFree);
}

void ExploseCompute(short index)
{
    EXPLO &e = Explose[index];
    if (GameDel == 0)
        e.index = static_cast<int16_t>(e.index + 1);
    if (e.index > e.frames)
        EDelete(index);
    else
        ShowExplose(index);
}

void ShowExplose(short index)
{
    const EXPLO &e = Explose[index];
    const int64_t k = e.shape_start + int64_t(e.shape_x) * e.shape_y * e.index;
    EffektBild(ExploseData, ExploseLaenge, k, e.shape_x, e.shape_y, e.x, e.y);
}

void EDelete(short index)
{
    EffektFrei(Explose, EAnz, ExploseNextFree, index);
}
