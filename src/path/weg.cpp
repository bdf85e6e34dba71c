// The route planner for move orders: a greedy walk over the tiles that writes a detour around
// every obstacle run it meets, found at once from the run tables.
#include "path/weg.h"

#include "map/maps.h"
#include "units/vardefs.h"

namespace {

// A pass, and with it any detour, starts only while fewer waypoints than this are written.
constexpr int PASS_GRENZE = 18;
// One pass writes at most two detours of three points; the target follows them.
static_assert(WEG_LAENGE >= PASS_GRENZE - 1 + 6 + 1, "the last pass and the target must fit");

// Tiles outside the tables cannot be walked on.
bool Offen(int x, int y)
{
    return !KachelUeber(y, x, HINDERNIS, true);
}

// An obstacle that a detour can pass. A neighbour beyond the tables has no run to walk around;
// no step goes there, as the walk and the tile it aims at stay inside them.
bool Hindernis(int x, int y)
{
    return KachelUeber(y, x, HINDERNIS, false);
}

// Walker tiles and table indices are kept inside the tables: a run that touches the map edge
// or a run table that does not match the map would otherwise send the walk off the tables.
int16_t Begrenzt(int v)
{
    return static_cast<int16_t>(v < 0 ? 0 : v >= KARTE_MAX ? KARTE_MAX - 1 : v);
}

POS RunX(int zeile, int spalte)
{
    return XKarte[Begrenzt(zeile)][Begrenzt(spalte)];
}
POS RunY(int zeile, int spalte)
{
    return YKarte[Begrenzt(zeile)][Begrenzt(spalte)];
}

void Schreibe(MANN &m, int x, int y)
{
    m.d[m.dcount].x = static_cast<int16_t>(x);
    m.d[m.dcount].y = static_cast<int16_t>(y);
    ++m.dcount;
}

// Side choice: the far side (right, or below) when its end is strictly nearer or the run
// starts at the edge, unless the run also reaches the far edge.
bool FerneSeite(POS r, int p, int grenze)
{
    return (r.ende - p < p - r.anfang || r.anfang == 0) && r.ende < grenze;
}

// Passes the horizontal run through tile (spalte, y + dir): a side step along the current row
// to the column beside the run, then down (dir 1) or up (dir -1) past the vertical run of the
// run's end tile on that side.
void UmwegVertikal(MANN &m, int16_t &x, int16_t &y, int dir, int spalte)
{
    Schreibe(m, KACHEL * x, KACHEL * y);
    const int zeile = y + dir;
    const POS r = RunX(zeile, spalte);
    const bool rechts = FerneSeite(r, x, FeldX);
    // A run across the whole row leaves no column beside it; the walk stays at the edge.
    x = Begrenzt(rechts ? r.ende : r.anfang - 1);
    Schreibe(m, KACHEL * x, KACHEL * y);
    const POS p = RunY(zeile, rechts ? r.ende - 1 : r.anfang);
    if (dir > 0) {
        y = Begrenzt(p.ende);
        Schreibe(m, KACHEL * x, KACHEL * y);
    } else {
        // Ten pixels beyond the corner of the tile before the run; at the top edge that tile
        // is row 0 itself.
        y = Begrenzt(p.anfang - 1);
        Schreibe(m, KACHEL * x, KACHEL * y - 10);
    }
}

// Passes the vertical run through tile (x + dir, y): a side step along the current column to
// the row beside the run (below it first), then right (dir 1) or left (dir -1) past the
// horizontal run of the run's end tile on that side.
void UmwegHorizontal(MANN &m, int16_t &x, int16_t &y, int dir)
{
    Schreibe(m, KACHEL * x, KACHEL * y);
    const int spalte = x + dir;
    const POS r = RunY(y, spalte);
    const bool unten = FerneSeite(r, y, FeldY);
    y = Begrenzt(unten ? r.ende : r.anfang - 1);
    Schreibe(m, KACHEL * x, KACHEL * y);
    const POS p = RunX(unten ? r.ende - 1 : r.anfang, spalte);
    if (dir > 0) {
        x = Begrenzt(p.ende);
        Schreibe(m, KACHEL * x, KACHEL * y);
    } else {
        x = Begrenzt(p.anfang - 1);
        Schreibe(m, KACHEL * x - 10, KACHEL * y);
    }
}

// The horizontal cases, tested from where any vertical detour of the pass left the walk.
bool UmwegSeitlich(MANN &m, int16_t &x, int16_t &y, bool links, bool rechts)
{
    bool corrected = false;
    if (links && Hindernis(x - 1, y)) {
        UmwegHorizontal(m, x, y, -1);
        corrected = true;
    }
    if (rechts && Hindernis(x + 1, y)) {
        UmwegHorizontal(m, x, y, 1);
        corrected = true;
    }
    return corrected;
}

}  // namespace

void WegSuchen(short index)
{
    MANN &m = Leute[index];
    // A unit that stands beyond the tables (a detour point of the movement can put it there)
    // starts its walk from the nearest tile inside them.
    int16_t x = Begrenzt(m.ax / KACHEL);
    int16_t y = Begrenzt(m.ay / KACHEL);
    m.dcount = 0;

    while (m.dcount < PASS_GRENZE) {
        // The walk aims at a tile inside the tables; the list still ends with the exact target.
        const int zx = Begrenzt(m.dx / KACHEL);
        const int zy = Begrenzt(m.dy / KACHEL);
        if (x == zx && y == zy)
            break;

        const bool rechts = x < zx;
        const bool links = x > zx;
        const bool unten = y < zy;
        const bool oben = y > zy;
        const int16_t sx = static_cast<int16_t>(x + (rechts ? 1 : links ? -1 : 0));
        const int16_t sy = static_cast<int16_t>(y + (unten ? 1 : oben ? -1 : 0));
        if (Offen(sx, sy)) {
            x = sx;
            y = sy;
            continue;
        }

        // Blocked: (x, y) is still the last open tile. A pass writes the vertical detour
        // first and then the horizontal one from wherever the first left the walk.
        bool corrected = false;
        if (unten && Hindernis(x, y + 1)) {
            UmwegVertikal(m, x, y, 1, x);
            corrected = true;
        }
        if (oben && Hindernis(x, y - 1)) {
            UmwegVertikal(m, x, y, -1, x);
            corrected = true;
        }
        corrected = UmwegSeitlich(m, x, y, links, rechts) || corrected;
        if (corrected)
            continue;
        // A blocked straight step always meets its own neighbour above; should it not, the
        // walk ends rather than try the same step again.
        if (!unten && !oben)
            break;
        // Only the diagonal tile blocks: both straight neighbours are open and have no run.
        // The diagonal tile is taken as the blocking one, so the run looked up is the one
        // actually in the way, and the walk passes it along its own column.
        UmwegVertikal(m, x, y, unten ? 1 : -1, rechts ? x + 1 : x - 1);
        UmwegSeitlich(m, x, y, links, rechts);
    }

    m.d[m.dcount].x = m.dx;
    m.d[m.dcount].y = m.dy;
    m.dmax = static_cast<uint8_t>(m.dcount + 1);
    m.dcount = 0;
    m.dx = m.d[0].x;
    m.dy = m.d[0].y;
}
