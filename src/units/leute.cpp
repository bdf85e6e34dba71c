// The unit table's inserts and removals, and the drawing of units into the view buffer.
#include "units/leute.h"

#include <algorithm>
#include <cstring>

#include "display/video.h"
#include "display/zeile.h"
#include "effects/explose.h"
#include "map/maps.h"
#include "startup/file.h"
#include "units/data.h"

namespace {

// Sprite bytes of this value are transparent.
constexpr unsigned char DURCHSICHTIG = 3;
// Background above this index (landscape and effects drawn earlier) stays in front of units.
constexpr unsigned char SCHUTZ = 163;
// Health bar colours.
constexpr unsigned char BALKEN_RAND = 110;
constexpr unsigned char BALKEN_FUELLUNG = 96;

// Fills the lowest free slot with a new unit of side `feind`; returns the slot, or -1 when
// the side is full. A kind outside the ten known ones is refused too: it has no abilities
// to copy, and every reader of Data relies on a unit's kind indexing it.
int Einfuegen(int16_t &anz, short ax, short ay, short dx, short dy, unsigned char type, uint8_t feind)
{
    if (type >= 10)
        return -1;
    anz = static_cast<int16_t>(anz + 1);
    if (anz > MAX_PRO_SEITE) {
        anz = static_cast<int16_t>(anz - 1);
        return -1;
    }
    const int s = NextFree;
    MANN &m = Leute[s];
    std::memset(&m, 0, sizeof m);
    m.ax = ax;
    m.ay = ay;
    m.dx = dx;
    m.dy = dy;
    m.x = static_cast<int16_t>(ax - ScrollX);
    m.y = static_cast<int16_t>(ay - ScrollY);
    m.type = type;
    m.free = 1;
    m.who = 255;
    m.feind = feind;
    m.energie = Data[type].energie;
    m.d1count = 0;
    m.shape = static_cast<int16_t>(type * MANN_DIV);
    m.kette = 0;
    m.zaehler = 0;
    m.shapeX = 20;
    m.shapeY = 20;
    m.shape_start = 0;
    return s;
}

// Moves NextFree to the first free slot from `s` on; at most 98 units live, so one is found.
void NaechsterFreier(int s)
{
    for (int i = s; i < MAX_LEUTE; ++i) {
        if (Leute[i].free == 0) {
            NextFree = static_cast<int16_t>(i);
            return;
        }
    }
}

// Whether frame `bild` of the unit's sprite set lies wholly inside the loaded sprite data.
bool BildGeladen(const MANN &m, int64_t bild)
{
    const int64_t groesse = int64_t(m.shapeX) * m.shapeY;
    if (LeuteData == nullptr || bild < 0 || groesse <= 0 || m.shape_start < 0)
        return false;
    return m.shape_start + bild * groesse + groesse <= LeuteLaenge;
}

// The frame to draw: the current one when its bytes were loaded, else the unit's nearest
// sound picture, else -1 (nothing is drawn). The attack routines put the helicopter's frame
// into the infantry attack ranges, which its own set of rotor frames does not hold, and a
// sprite-layout file that does not fit the sprites can point any kind past the data. So:
// - the helicopter shows its rotor frame (frame modulo 4), else its first rotor frame;
// - the combat vehicle shows its facing without the track phase (frame - 160), else frame 0;
// - every other kind shows its standing frame (kind x MANN_DIV + R_ANFANG), else the
//   first frame of its kind (kind x MANN_DIV).
int64_t ZeigBild(const MANN &m)
{
    if (BildGeladen(m, m.shape))
        return m.shape;
    int64_t ersatz[2];
    if (m.type == 8) {
        ersatz[0] = (m.shape % 4 + 4) % 4;
        ersatz[1] = 0;
    } else if (m.type == 9) {
        ersatz[0] = int64_t(m.shape) - 160;
        ersatz[1] = 0;
    } else {
        ersatz[0] = int64_t(m.type) * MANN_DIV + R_ANFANG;
        ersatz[1] = int64_t(m.type) * MANN_DIV;
    }
    for (int64_t bild : ersatz) {
        if (BildGeladen(m, bild))
            return bild;
    }
    return -1;
}

// Sprite pixels over the background: byte 3 transparent, 0 and 255 as colour 0, background
// above 163 kept.
struct SpriteRegel {
    template <class Block> static Block Mische(Block b, Block hinten)
    {
        const Block schreiben = static_cast<Block>((b != DURCHSICHTIG) & (hinten <= SCHUTZ));
        const Block schwarz = static_cast<Block>((b == 0) | (b == 255));
        return (schreiben & b & ~schwarz) | (~schreiben & hinten);
    }
    static unsigned char Pixel(unsigned char b, unsigned char hinten)
    {
        if (b == DURCHSICHTIG || hinten > SCHUTZ)
            return hinten;
        return (b == 0 || b == 255) ? 0 : b;
    }
};

// Copies the unit's frame into the view: byte 3 transparent, 0 and 255 as colour 0, and
// background above 163 kept. Only the rows and columns inside the view are visited.
void SpriteKopie(const MANN &m)
{
    const int64_t bild = ZeigBild(m);
    if (bild < 0)
        return;
    const int breite = m.shapeX, hoehe = m.shapeY;
    const int x = m.x, y = m.y;
    const int j0 = std::max(0, -x), j1 = std::min(breite, WIDTH - x);
    const int i0 = std::max(0, -y), i1 = std::min(hoehe, HEIGHT - y);
    if (j0 >= j1 || i0 >= i1)
        return;
    const unsigned char *quelle = LeuteData + m.shape_start + bild * breite * hoehe + int64_t(i0) * breite + j0;
    unsigned char *ziel = VScreen + int64_t(y + i0) * WIDTH + x + j0;
    for (int i = i0; i < i1; ++i) {
        BlockZeile<SpriteRegel>(ziel, quelle, j1 - j0);
        quelle += breite;
        ziel += WIDTH;
    }
}

// One health-bar pixel, written only inside the view.
void BalkenPunkt(int sx, int sy, unsigned char farbe)
{
    if (sx >= 0 && sx < WIDTH && sy >= 0 && sy < HEIGHT)
        VScreen[sy * WIDTH + sx] = farbe;
}

// Health-bar pixels x0 to x1 of row sy, those inside the view, as one run.
void BalkenLauf(int x0, int x1, int sy, unsigned char farbe)
{
    x0 = std::max(x0, 0);
    x1 = std::min(x1, WIDTH - 1);
    if (x0 <= x1 && sy >= 0 && sy < HEIGHT)
        std::memset(VScreen + sy * WIDTH + x0, farbe, size_t(x1 - x0 + 1));
}

}  // namespace

void MInsert(short ax, short ay, short dx, short dy, unsigned char type)
{
    const int s = Einfuegen(MAnz, ax, ay, dx, dy, type, 0);
    if (s < 0)
        return;
    MANN &m = Leute[s];
    if (type == 8) {
        m.shapeX = 53;
        m.shapeY = 30;
        m.shape_start = HELI_START;
        m.shape = 0;
    } else if (type == 9) {
        m.shapeX = 43;
        m.shapeY = 30;
        m.shape_start = KAMPF_START;
        m.shape = 0;
    }
    NaechsterFreier(s);
}

// Enemy units of every kind are drawn as 20 x 20 infantry frames.
void FInsert(short ax, short ay, short dx, short dy, unsigned char type)
{
    const int s = Einfuegen(FAnz, ax, ay, dx, dy, type, 1);
    if (s < 0)
        return;
    NaechsterFreier(s);
}

void MDelete(short index)
{
    MAnz = static_cast<int16_t>(MAnz - 1);
    Leute[index].free = 0;
    if (index < NextFree)
        NextFree = index;
}

void FDelete(short index)
{
    FAnz = static_cast<int16_t>(FAnz - 1);
    Leute[index].free = 0;
    if (index < NextFree)
        NextFree = index;
}

unsigned char IsDead(short index)
{
    MANN &m = Leute[index];
    if (m.energie > 0)
        return 0;
    ExploseInsert(m.x, m.y, 10, 22, 1);
    if (m.feind == 1)
        FDelete(index);
    else
        MDelete(index);
    return 1;
}

void MSet(short index)
{
    SpriteKopie(Leute[index]);
}

// Draws the unit and, over it, its health bar: an outline of 110 around a fill of 96 whose
// length is the share of the kind's full energie; a unit at 0 or less keeps one pixel.
void MSetAkt(short index)
{
    const MANN &m = Leute[index];
    SpriteKopie(m);
    const int w = m.shapeX / 2;
    const int o = m.shapeX / 4;
    const int f = m.energie <= 0 ? 1 : m.energie * w / Data[m.type].energie;
    const int x = m.x, y = m.y;
    const int links = x + o - 1, rechts = x + o + w;
    for (int sy = y + 1; sy <= y + 2; ++sy) {
        BalkenPunkt(links, sy, BALKEN_RAND);
        BalkenPunkt(rechts, sy, BALKEN_RAND);
    }
    BalkenLauf(links, rechts, y, BALKEN_RAND);
    BalkenLauf(links, rechts, y + 3, BALKEN_RAND);
    for (int sy = y + 1; sy <= y + 2; ++sy)
        BalkenLauf(x + o, x + o + f - 1, sy, BALKEN_FUELLUNG);
}
