// Unit behaviour per tick: destination check, target scan, death, then attack or move by kind.
#include <cstdint>

#include "map/maps.h"
#include "units/data.h"
#include "units/leute.h"

namespace {

// A destination is dropped when it is no ground for orders; one off the map has no tile to
// look at and is dropped as well.
bool ZielGesperrt(const MANN &m)
{
    return KachelUeber(m.dy / KACHEL, m.dx / KACHEL, BODEN, true);
}

// The target lock holds and its remembered position is within weapon range.
bool Angriffsbereit(short index)
{
    return Leute[index].attack != 0 && InRange(index) == 1;
}

}  // namespace

void MVerhalten(short index)
{
    MANN &m = Leute[index];

    if (ZielGesperrt(m)) {
        m.dx = m.ax;
        m.dy = m.ay;
    }

    if (m.ax == m.dx && m.ay == m.dy)
        ScanArea(index);

    switch (m.type) {
    case 0:
    case 4:
        if (IsDead(index))
            return;
        if (Angriffsbereit(index)) {
            LeuteAttack(index);
            ShowGoderAttack(index);
            CalcHit(index);
        } else {
            MannMove(index);
        }
        break;
    case 1:
    case 5:
        if (IsDead(index))
            return;
        if (Angriffsbereit(index)) {
            if (m.zaehler == 0)
                RocketMannAttack(index);
            else
                m.zaehler = static_cast<uint8_t>(m.zaehler - 1);
        } else {
            MannMove(index);
        }
        break;
    case 2:
    case 6:
        if (IsDead(index))
            return;
        if (Angriffsbereit(index)) {
            if (m.zaehler == 0)
                LaserMannAttack(index);
            else
                m.zaehler = static_cast<uint8_t>(m.zaehler - 1);
        } else {
            MannMove(index);
        }
        break;
    case 3:
    case 7:
    case 8:
        if (IsDead(index))
            return;
        if (Angriffsbereit(index)) {
            LeuteAttack(index);
            CalcHit(index);
        } else if (m.type == 8) {
            HeliMove(index);
        } else {
            MannMove(index);
        }
        break;
    case 9:
        if (IsDead(index))
            return;
        if (Angriffsbereit(index))
            CalcHit(index);
        else
            KampfMove(index);
        break;
    default:
        break;
    }
}
