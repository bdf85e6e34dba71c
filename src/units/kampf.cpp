// Combat: range tests, the target scan, attack animations, direct hits and hit sparks.
#include <cstdint>
#include <cstdlib>

#include "display/video.h"
#include "effects/laser.h"
#include "effects/rocket.h"
#include "map/maps.h"
#include "startup/file.h"
#include "units/data.h"
#include "units/leute.h"

namespace {

// The eight directions a unit can face while it attacks.
enum Richtung {
    RICHTUNG_R,
    RICHTUNG_RO,
    RICHTUNG_RU,
    RICHTUNG_L,
    RICHTUNG_LO,
    RICHTUNG_LU,
    RICHTUNG_O,
    RICHTUNG_U,
    KEINE_RICHTUNG
};

// Where the laser leaves the trooper's sprite, per direction, from its top-left corner.
constexpr int16_t Muendung[8][2] = {
    {19, 10}, {12, 4}, {14, 14}, {0, 10}, {5, 4}, {3, 14}, {8, 15}, {11, 2},
};

// The weapon radius of a unit in map pixels, squared against a distance in the same units.
bool ImRadius(const MANN &m, int32_t a, int32_t b)
{
    const int64_t c = Data[m.type].weapon_reach * KACHEL;
    return static_cast<int64_t>(a) * a + static_cast<int64_t>(b) * b <= c * c;
}

// A unit's target slot names a record of the table; 255 (or anything past the table)
// means the unit has no target.
bool HatZiel(const MANN &m)
{
    return m.who < MAX_LEUTE;
}

// The facing of the direct-fire and rocket attacks, from the target's position.
Richtung Blickrichtung(const MANN &m)
{
    if (m.zx > m.ax) {
        if (m.zy > m.ay + 10)
            return RICHTUNG_RU;
        if (m.zy < m.ay + 10)
            return RICHTUNG_RO;
        return RICHTUNG_R;
    }
    if (m.zx < m.ax) {
        if (m.zy > m.ay + 10)
            return RICHTUNG_LU;
        if (m.zy < m.ay + 10)
            return RICHTUNG_LO;
        return RICHTUNG_L;
    }
    if (m.zy > m.ay)
        return RICHTUNG_U;
    return RICHTUNG_O;
}

// The laser trooper's aim wobbles: each comparison draws its own offset.
int Zittern(const MANN &m)
{
    return (rand() % Data[m.type].hit_security) * m.shapeX / 4;
}

// The laser trooper's facing; the two draws of the straight up/down choice may disagree,
// and then there is no facing at all for this call.
Richtung LaserBlickrichtung(const MANN &m)
{
    if (m.zx > m.ax) {
        if (m.zy + Zittern(m) > m.ay + 10)
            return RICHTUNG_RU;
        if (m.zy + Zittern(m) < m.ay + 10)
            return RICHTUNG_RO;
        return RICHTUNG_R;
    }
    if (m.zx + Zittern(m) < m.ax) {
        if (m.zy + Zittern(m) > m.ay + 10)
            return RICHTUNG_LU;
        if (m.zy + Zittern(m) < m.ay + 10)
            return RICHTUNG_LO;
        return RICHTUNG_L;
    }
    if (m.zy + Zittern(m) > m.ay)
        return RICHTUNG_U;
    if (m.zy + Zittern(m) <= m.ay)
        return RICHTUNG_O;
    return KEINE_RICHTUNG;
}

// One step of the attack animation in the given direction. Returns true when the cycle
// has just completed, the moment a projectile leaves.
bool AngriffsSchritt(MANN &m, Richtung r)
{
    int anfang = 0;
    int lang = 0;
    switch (r) {
    case RICHTUNG_R:
        anfang = ANGRIF_R, lang = ANGRIF_RL;
        break;
    case RICHTUNG_RO:
        anfang = ANGRIF_RO, lang = ANGRIF_ROL;
        break;
    case RICHTUNG_RU:
        anfang = ANGRIF_RU, lang = ANGRIF_RUL;
        break;
    case RICHTUNG_L:
        anfang = ANGRIF_L, lang = ANGRIF_LL;
        break;
    case RICHTUNG_LO:
        anfang = ANGRIF_LO, lang = ANGRIF_LOL;
        break;
    case RICHTUNG_LU:
        anfang = ANGRIF_LU, lang = ANGRIF_LUL;
        break;
    case RICHTUNG_O:
        anfang = ANGRIF_O, lang = ANGRIF_OL;
        break;
    case RICHTUNG_U:
        anfang = ANGRIF_U, lang = ANGRIF_UL;
        break;
    case KEINE_RICHTUNG:
        return false;
    }
    const int s = m.type * MANN_DIV + anfang;
    bool fertig = false;
    if (m.shape < s)
        m.shape = static_cast<int16_t>(s);
    if (m.shape > s + lang) {
        m.shape = static_cast<int16_t>(s);
        fertig = true;
    }
    return fertig;
}

// The part of the cycle after a possible launch: the frame moves on.
void AngriffsBild(MANN &m)
{
    m.fire = 1;
    m.shape = static_cast<int16_t>(m.shape + 1);
}

}  // namespace

unsigned char ScanInRange(short index, short i)
{
    const MANN &m = Leute[index];
    return ImRadius(m, m.ax - Leute[i].ax, m.ay - Leute[i].ay) ? 1 : 0;
}

unsigned char InRange(short index)
{
    const MANN &m = Leute[index];
    return ImRadius(m, m.ax - m.zx, m.ay - m.zy) ? 1 : 0;
}

void ScanArea(short index)
{
    MANN &m = Leute[index];
    // The scan runs on to the end, so the opponent in the highest slot wins.
    for (int16_t i = 0; i < MAX_LEUTE; ++i) {
        if (Leute[i].free != 0 && Leute[i].feind != m.feind && ScanInRange(index, i) == 1) {
            m.zx = Leute[i].ax;
            m.zy = Leute[i].ay;
            m.attack = 1;
            m.who = static_cast<uint8_t>(i);
        }
    }
}

void LeuteTrackAttack(short index)
{
    MANN &m = Leute[index];
    // The target's slot is followed even after it has been freed; a lock without a slot
    // is no lock.
    if (!HatZiel(m)) {
        m.attack = 0;
        return;
    }
    m.zx = Leute[m.who].ax;
    m.zy = Leute[m.who].ay;
}

void LeuteAttack(short index)
{
    MANN &m = Leute[index];
    AngriffsSchritt(m, Blickrichtung(m));
    AngriffsBild(m);
    LeuteTrackAttack(index);
}

void RocketMannAttack(short index)
{
    MANN &m = Leute[index];
    if (AngriffsSchritt(m, Blickrichtung(m)))
        RocketInsert(m.ax, m.ay, index);
    AngriffsBild(m);
    LeuteTrackAttack(index);
}

void LaserMannAttack(short index)
{
    MANN &m = Leute[index];
    const Richtung r = LaserBlickrichtung(m);
    if (r != KEINE_RICHTUNG) {
        if (AngriffsSchritt(m, r))
            LaserInsert(static_cast<int16_t>(m.ax + Muendung[r][0]), static_cast<int16_t>(m.ay + Muendung[r][1]),
                        index);
        AngriffsBild(m);
    }
    LeuteTrackAttack(index);
}

void CalcHit(short index)
{
    MANN &m = Leute[index];
    if (!HatZiel(m)) {
        m.attack = 0;
        return;
    }
    const uint8_t hit = static_cast<uint8_t>(rand() % Data[m.type].hit_security);
    MANN &ziel = Leute[m.who];
    ziel.energie = static_cast<int16_t>(ziel.energie - (Data[m.type].destruct - hit));
    if (ziel.energie <= 0)
        m.attack = 0;
}

void ShowGoderAttack(short index)
{
    const MANN &m = Leute[index];
    if (!HatZiel(m))
        return;
    const int px = Leute[m.who].x + rand() % 20;
    const int py = Leute[m.who].y + rand() % 20;
    // The spark: a bright centre with a glow one row below.
    const struct {
        int x, y;
        unsigned char farbe;
    } punkte[4] = {{px, py, 201}, {px - 1, py + 1, 103}, {px, py + 1, 97}, {px + 1, py + 1, 103}};
    for (const auto &p : punkte) {
        if (p.x >= 0 && p.x < WIDTH && p.y >= 0 && p.y < HEIGHT)
            VScreen[p.y * WIDTH + p.x] = p.farbe;
    }
}
