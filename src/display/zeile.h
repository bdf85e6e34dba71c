// One row of picture bytes over the view buffer, sixteen or eight pixels at a time.
#pragma once

#include <cstring>

// The compiler turns each block operation into a few vector instructions, with baseline
// instructions only.
typedef unsigned char Block16 __attribute__((vector_size(16)));
typedef unsigned char Block8 __attribute__((vector_size(8)));

// A drawing rule gives, for a block and for a single pixel, what the view shows once a
// picture byte `b` is drawn over the background `hinten`:
//   template <class Block> static Block Mische(Block b, Block hinten);
//   static unsigned char Pixel(unsigned char b, unsigned char hinten);
// Each pixel depends only on its own picture byte and its own background, so a row's last
// block may overlap the one before it, as long as both are worked out from the background
// as it was.
template <class Regel, class Block> inline Block ZeilenBlock(const unsigned char *ziel, const unsigned char *quelle)
{
    Block b, hinten;
    std::memcpy(&b, quelle, sizeof b);
    std::memcpy(&hinten, ziel, sizeof hinten);
    return Regel::template Mische<Block>(b, hinten);
}

template <class Block> inline void ZeilenSetze(unsigned char *ziel, const Block &b)
{
    std::memcpy(ziel, &b, sizeof b);
}

// Draws the `n` pixels of `quelle` over `ziel` by the rule. The overlapping last block is
// read before the blocks ahead of it are written, which also spares the processor a read of
// half-written bytes.
template <class Regel> inline void BlockZeile(unsigned char *ziel, const unsigned char *quelle, int n)
{
    if (n >= 16) {
        const Block16 letzter = ZeilenBlock<Regel, Block16>(ziel + n - 16, quelle + n - 16);
        for (int j = 0; j + 16 <= n; j += 16)
            ZeilenSetze(ziel + j, ZeilenBlock<Regel, Block16>(ziel + j, quelle + j));
        ZeilenSetze(ziel + n - 16, letzter);
    } else if (n >= 8) {
        const Block8 erster = ZeilenBlock<Regel, Block8>(ziel, quelle);
        const Block8 letzter = ZeilenBlock<Regel, Block8>(ziel + n - 8, quelle + n - 8);
        ZeilenSetze(ziel, erster);
        ZeilenSetze(ziel + n - 8, letzter);
    } else {
        for (int j = 0; j < n; ++j)
            ziel[j] = Regel::Pixel(quelle[j], ziel[j]);
    }
}
