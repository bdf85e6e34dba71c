// The discipline every effect table follows: a count, a lowest-free index, insert and delete.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "display/video.h"
#include "display/zeile.h"

constexpr int EFFEKT_TABELLE = 200;  // entries per effect table; at most 199 live at once

// Insert check: counts the new entry, or refuses it (and takes the count back) when the
// table would hold 200.
inline bool EffektPlatz(int16_t &anz)
{
    anz = static_cast<int16_t>(anz + 1);
    if (anz >= EFFEKT_TABELLE) {
        anz = static_cast<int16_t>(anz - 1);
        return false;
    }
    return true;
}

// Next-free scan after filling entry `gefuellt`: the first free entry above it.
template <class T> inline void EffektNaechsterFreier(T (&tabelle)[EFFEKT_TABELLE], int16_t gefuellt, int16_t &nextFree)
{
    for (int i = gefuellt; i < EFFEKT_TABELLE; ++i) {
        if (tabelle[i].free == 0) {
            nextFree = static_cast<int16_t>(i);
            return;
        }
    }
}

// Delete: frees the entry and pulls the next-free index back to it when it lies lower.
template <class T> inline void EffektFrei(T (&tabelle)[EFFEKT_TABELLE], int16_t &anz, int16_t &nextFree, int16_t index)
{
    anz = static_cast<int16_t>(anz - 1);
    tabelle[index].free = 0;
    if (index < nextFree)
        nextFree = index;
}

// Effect pixels: colour 0 transparent, every other byte drawn over whatever lies below.
struct EffektRegel {
    template <class Block> static Block Mische(Block b, Block hinten)
    {
        const Block zeigen = static_cast<Block>(b != 0);
        return (zeigen & b) | (~zeigen & hinten);
    }
    static unsigned char Pixel(unsigned char b, unsigned char hinten) { return b != 0 ? b : hinten; }
};

// Draws one effect image (colour 0 transparent) with its top-left corner at view point
// (x, y), clipped to the view. The image starts at byte `start` of `daten`; an image that
// does not lie wholly inside the `laenge` loaded bytes is not drawn at all, so a short or
// missing resource file costs the picture, never a read past its buffer.
inline void EffektBild(const unsigned char *daten, long laenge, int64_t start, int breite, int hoehe, int x, int y)
{
    if (daten == nullptr || breite <= 0 || hoehe <= 0 || start < 0 || start + int64_t(breite) * hoehe > laenge)
        return;
    const int j0 = std::max(0, -x), j1 = std::min(breite, WIDTH - x);
    const int i0 = std::max(0, -y), i1 = std::min(hoehe, HEIGHT - y);
    if (j0 >= j1 || i0 >= i1)
        return;
    const unsigned char *quelle = daten + start + int64_t(i0) * breite + j0;
    unsigned char *ziel = VScreen + int64_t(y + i0) * WIDTH + x + j0;
    for (int i = i0; i < i1; ++i) {
        BlockZeile<EffektRegel>(ziel, quelle, j1 - j0);
        quelle += breite;
        ziel += WIDTH;
    }
}
