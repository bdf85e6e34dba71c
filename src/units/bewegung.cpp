// Unit movement: walking routes, detours round obstacle runs, the combat vehicle, the rotor.
#include <cstdint>

#include "map/maps.h"
#include "startup/file.h"
#include "units/leute.h"

namespace {

// Pixels the combat vehicle drives per tick.
constexpr int16_t schritt = 1;

// An obstacle in the way. Past the edge of the 100 x 100 tables there is no tile and no run
// to walk round, so no detour starts there: a unit that has stepped off the map walks
// straight back to its next point, which lies on the map.
bool Hindernis(int zeile, int spalte)
{
    return KachelUeber(zeile, spalte, HINDERNIS, false);
}

// Takes the next point to walk to: the top of the detour stack first, then the route.
// Returns false when both are exhausted.
bool NaechstesZiel(MANN &m)
{
    if (m.d1count != 0) {
        m.dx = m.d1[m.d1count].x;
        m.dy = m.d1[m.d1count].y;
        m.d1count = static_cast<uint8_t>(m.d1count - 1);
        return true;
    }
    if (m.dcount < m.dmax && m.dcount < WEG_LAENGE) {
        m.dx = m.d[m.dcount].x;
        m.dy = m.d[m.dcount].y;
        m.dcount = static_cast<uint8_t>(m.dcount + 1);
        return true;
    }
    return false;
}

// Keeps a walking frame inside the range that starts at `anfang` with `lang` frames after
// it: below the range it restarts at `neu`, above it as well.
void Bereich(int16_t &shape, int anfang, int lang, int neu)
{
    if (shape < anfang)
        shape = static_cast<int16_t>(neu);
    if (shape > anfang + lang)
        shape = static_cast<int16_t>(neu);
}

}  // namespace

void MannMove(short index)
{
    MANN &m = Leute[index];
    const int base = m.type * MANN_DIV;
    bool rechts = false;
    bool links = false;

    if (m.ax == m.dx && m.ay == m.dy) {
        if (!NaechstesZiel(m)) {
            m.shape = static_cast<int16_t>(base + R_ANFANG);
            return;
        }
    }

    MannHindernis(index);

    if (m.ax < m.dx) {
        m.ax = static_cast<int16_t>(m.ax + 1);
        m.x = static_cast<int16_t>(m.x + 1);
        if (m.ay == m.dy)
            Bereich(m.shape, base + R_ANFANG, R_LANG, base + R_ANFANG);
        m.shape = static_cast<int16_t>(m.shape + 1);
        rechts = true;
    }
    if (m.ax > m.dx) {
        m.ax = static_cast<int16_t>(m.ax - 1);
        m.x = static_cast<int16_t>(m.x - 1);
        if (m.ay == m.dy)
            Bereich(m.shape, base + L_ANFANG, L_LANG, base + L_ANFANG);
        m.shape = static_cast<int16_t>(m.shape + 1);
        links = true;
    }

    if (m.ay < m.dy) {
        m.ay = static_cast<int16_t>(m.ay + 1);
        m.y = static_cast<int16_t>(m.y + 1);
        if (links)
            Bereich(m.shape, base + LU_ANFANG, LU_LANG, base + LU_ANFANG + 1);
        if (rechts)
            Bereich(m.shape, base + RU_ANFANG, RU_LANG, base + RU_ANFANG + 1);
        if (!links && !rechts) {
            Bereich(m.shape, base + U_ANFANG, U_LANG, base + U_ANFANG);
            m.shape = static_cast<int16_t>(m.shape + 1);
        }
    } else if (m.ay > m.dy) {
        m.ay = static_cast<int16_t>(m.ay - 1);
        m.y = static_cast<int16_t>(m.y - 1);
        if (links)
            Bereich(m.shape, base + LO_ANFANG, LO_LANG, base + LO_ANFANG + 1);
        if (rechts)
            Bereich(m.shape, base + RO_ANFANG, RO_LANG, base + RO_ANFANG + 1);
        if (!links && !rechts) {
            Bereich(m.shape, base + O_ANFANG, O_LANG, base + O_ANFANG);
            m.shape = static_cast<int16_t>(m.shape + 1);
        }
    }
}

void MannHindernis(short index)
{
    MANN &m = Leute[index];
    const int tx = m.ax / KACHEL;
    const int ty = m.ay / KACHEL;
    int16_t dx;
    int16_t dy;
    MPOS fern;

    // Each case reads the run of the tile that blocked, which lies inside the tables.
    if (Hindernis(ty, tx + 1) && m.ax < m.dx) {
        const POS lauf = YKarte[ty][tx + 1];
        dx = static_cast<int16_t>(m.ax - 1);
        dy = static_cast<int16_t>(m.ay < m.d[0].y ? lauf.ende * KACHEL + 10 : (lauf.anfang - 1) * KACHEL);
        fern = {static_cast<int16_t>(m.ax + 40), dy};
    } else if (Hindernis(ty, tx) && m.ax > m.dx) {
        const POS lauf = YKarte[ty][tx];
        dx = static_cast<int16_t>(m.ax + 1);
        dy = static_cast<int16_t>(m.ay < m.d[0].y ? lauf.ende * KACHEL + 10 : (lauf.anfang - 1) * KACHEL);
        fern = {static_cast<int16_t>(m.ax - 30), dy};
    } else if (Hindernis(ty + 1, tx) && m.ay < m.dy) {
        const POS lauf = XKarte[ty + 1][tx];
        dy = static_cast<int16_t>(m.ay - 1);
        dx = static_cast<int16_t>(m.ax < m.d[0].x ? lauf.ende * KACHEL + 10 : (lauf.anfang - 1) * KACHEL);
        fern = {dx, static_cast<int16_t>(m.ay + 40)};
    } else if (Hindernis(ty, tx) && m.ay > m.dy) {
        const POS lauf = XKarte[ty][tx];
        dy = static_cast<int16_t>(m.ay + 1);
        dx = static_cast<int16_t>(m.ax < m.d[0].x ? lauf.ende * KACHEL + 10 : (lauf.anfang - 1) * KACHEL);
        fern = {dx, static_cast<int16_t>(m.ay - 30)};
    } else {
        return;
    }

    // A push writes two entries, the upper one at d1count + 1; when that would lie past
    // the stack the detour is left out and the unit keeps its way.
    if (m.d1count >= UMWEG_LAENGE - 1)
        return;

    m.d1[m.d1count] = {m.dx, m.dy};
    m.dx = dx;
    m.dy = dy;
    m.d1[m.d1count + 1] = fern;
    m.d1count = static_cast<uint8_t>(m.d1count + 1);
}

void KampfMove(short index)
{
    MANN &m = Leute[index];

    if (m.ax == m.dx && m.ay == m.dy)
        NaechstesZiel(m);
    if (m.ax == m.dx && m.ay == m.dy)
        return;

    MannHindernis(index);

    if (m.kette == 2) {
        m.shape = static_cast<int16_t>(m.shape - 160);
        m.kette = 0;
    }

    int ziel;
    int sx;
    int sy;
    if (m.ax < m.dx && m.ay < m.dy) {
        ziel = 110, sx = 1, sy = 1;
    } else if (m.ax < m.dx && m.ay > m.dy) {
        ziel = 50, sx = 1, sy = -1;
    } else if (m.ax > m.dx && m.ay < m.dy) {
        ziel = 130, sx = -1, sy = 1;
    } else if (m.ax > m.dx && m.ay > m.dy) {
        ziel = 30, sx = -1, sy = -1;
    } else if (m.ax < m.dx) {
        ziel = 80, sx = 1, sy = 0;
    } else if (m.ax > m.dx) {
        ziel = 0, sx = -1, sy = 0;
    } else if (m.ay < m.dy) {
        ziel = 120, sx = 0, sy = 1;
    } else {
        // The destination differs from the position here (a detour never picks the
        // vehicle's own point), so what is left is straight up.
        ziel = 40, sx = 0, sy = -1;
    }

    if (m.shape == ziel) {
        m.ax = static_cast<int16_t>(m.ax + sx * schritt);
        m.x = static_cast<int16_t>(m.x + sx * schritt);
        m.ay = static_cast<int16_t>(m.ay + sy * schritt);
        m.y = static_cast<int16_t>(m.y + sy * schritt);
    } else {
        // Turning runs over the frame numbers 0..130 without wrapping round.
        if (m.shape <= ziel - 1)
            m.shape = static_cast<int16_t>(m.shape + 10);
        if (m.shape > ziel)
            m.shape = static_cast<int16_t>(m.shape - 10);
    }

    if (m.kette == 1) {
        m.shape = static_cast<int16_t>(m.shape + 160);
        m.kette = 2;
    } else {
        m.kette = 1;
    }
}

void HeliMove(short index)
{
    MANN &m = Leute[index];
    if (m.shape > 2)
        m.shape = 0;
    else
        m.shape = static_cast<int16_t>(m.shape + 1);
}
