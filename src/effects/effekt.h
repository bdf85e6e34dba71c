// The discipline every effect table follows: a count, a lowest-free index, insert and delete.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "display/video.h"

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
template <class T>
inline void EffektNaechsterFreier(T (&tabelle)[EFFEKT_TABELLE], int16_t gefuellt, int16_t &nextFree)
{
    for (int i = gefuellt; i < EFFEKT_TABELLE; ++i) {
        if (tabelle[i].free == 0) {
            nextFree = static_cast<int16_t>(i);
            return;
        }
    }
}

// Delete: frees the entry and pulls the next-free index back to it when it lies lower.
template <class T>
inline void EffektFrei(T (&tabelle)[EFFEKT_TABELLE], int16_t &anz, int16_t &nextFree, int16_t index)
{
    anz = static_cast<int16_t>(anz - 1);
    tabelle[index].free = 0;
    if (index < nextFree)
        nextFree = index;
}

// Effect pixels eight or sixteen at a time, colour 0 transparent: the compiler turns each
// block into a few vector instructions. Each pixel depends only on its own image byte and
// its own background, so a row's last block may overlap the one before it, as long as both
// are worked out from the background as it was.
typedef unsigned char EffektBlock16 __attribute__((vector_size(16)));
typedef unsigned char EffektBlock8 __attribute__((vector_size(8)));

template <class Block>
inline Block EffektBlock(const unsigned char *ziel, const unsigned char *quelle)
{
    Block b, hinten;
    std::memcpy(&b, quelle, sizeof b);
    std::memcpy(&hinten, ziel, sizeof hinten);
    const Block zeigen = (Block)(b != 0);
    return (zeigen & b) | (~zeigen & hinten);
}

template <class Block>
inline void EffektSetze(unsigned char *ziel, const Block &b)
{
    std::memcpy(ziel, &b, sizeof b);
}

// The `n` visible pixels of one row of an effect image. The overlapping last block is read
// before the blocks ahead of it are written, which also spares the processor a read of
// half-written bytes.
inline void EffektZeile(unsigned char *ziel, const unsigned char *quelle, int n)
{
    if (n >= 16) {
        const EffektBlock16 letzter = EffektBlock<EffektBlock16>(ziel + n - 16, quelle + n - 16);
        for (int j = 0; j + 16 <= n; j += 16)
            EffektSetze(ziel + j, EffektBlock<EffektBlock16>(ziel + j, quelle + j));
        EffektSetze(ziel + n - 16, letzter);
    } else if (n >= 8) {
        const EffektBlock8 erster = EffektBlock<EffektBlock8>(ziel, quelle);
        const EffektBlock8 letzter = EffektBlock<EffektBlock8>(ziel + n - 8, quelle + n - 8);
        EffektSetze(ziel, erster);
        EffektSetze(ziel + n - 8, letzter);
    } else {
        for (int j = 0; j < n; ++j)
            if (quelle[j] != 0)
                ziel[j] = quelle[j];
    }
}

// Draws one effect image (colour 0 transparent) with its top-left corner at view point
// (x, y), clipped to the view. The image starts at byte `start` of `daten`; an image that
// does not lie wholly inside the `laenge` loaded bytes is not drawn at all, so a short or
// missing resource file costs the picture, never a read past its buffer.
inline void EffektBild(const unsigned char *daten, long laenge, int64_t start, int breite, int hoehe,
                       int x, int y)
{
    if (daten == nullptr || breite <= 0 || hoehe <= 0 || start < 0 ||
        start + int64_t(breite) * hoehe > laenge)
        return;
    const int j0 = std::max(0, -x), j1 = std::min(breite, WIDTH - x);
    const int i0 = std::max(0, -y), i1 = std::min(hoehe, HEIGHT - y);
    if (j0 >= j1 || i0 >= i1)
        return;
    const unsigned char *quelle = daten + start + int64_t(i0) * breite + j0;
    unsigned char *ziel = VScreen + int64_t(y + i0) * WIDTH + x + j0;
    for (int i = i0; i < i1; ++i) {
        EffektZeile(ziel, quelle, j1 - j0);
        quelle += breite;
        ziel += WIDTH;
    }
}
