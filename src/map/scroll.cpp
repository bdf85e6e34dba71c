// Scrolling the view: right-button drag, edge pushing, the glide; single tile drawing.
#include "map/scroll.h"

#include <cstring>

#include "display/video.h"
#include "effects/explose.h"
#include "map/maps.h"
#include "startup/file.h"
#include "ui/mouse.h"

int16_t ScrollSpeed = 4;
int16_t RightScroll = 0;
int16_t RightScrollX = 0, RightScrollY = 0;
int16_t RightScrolled = 0;
uint8_t NachScroll = 0;
uint8_t ScrollDir = 0;

namespace {

// Explosions sit on screen pixels: they move the other way by as far as the view really moves.
void ExplosionenX(int16_t shift)
{
    for (EXPLO &e : Explose)
        if (e.free != 0)
            e.x = static_cast<int16_t>(e.x + shift);
}

void ExplosionenY(int16_t shift)
{
    for (EXPLO &e : Explose)
        if (e.free != 0)
            e.y = static_cast<int16_t>(e.y + shift);
}

void Links(int16_t step)
{
    const int16_t alt = ScrollX;
    ScrollX = static_cast<int16_t>(ScrollX - step);
    ExplosionenX(ScrollX < 0 ? alt : step);
}

void Rechts(int16_t step)
{
    const int16_t alt = ScrollX;
    ScrollX = static_cast<int16_t>(ScrollX + step);
    const int16_t shift = ScrollX > ScrollGrenzeX() ? static_cast<int16_t>(ScrollGrenzeX() - alt) : step;
    ExplosionenX(static_cast<int16_t>(-shift));
}

void Hoch(int16_t step)
{
    const int16_t alt = ScrollY;
    ScrollY = static_cast<int16_t>(ScrollY - step);
    ExplosionenY(ScrollY < 0 ? alt : step);
}

void Runter(int16_t step)
{
    const int16_t alt = ScrollY;
    ScrollY = static_cast<int16_t>(ScrollY + step);
    const int16_t shift = ScrollY > ScrollGrenzeY() ? static_cast<int16_t>(ScrollGrenzeY() - alt) : step;
    ExplosionenY(static_cast<int16_t>(-shift));
}

// A drag step follows the pointer at ScrollSpeed times its movement, capped at four times that.
int16_t DragStep(int weg)
{
    int16_t step = static_cast<int16_t>(ScrollSpeed * weg);
    if (step > 4 * ScrollSpeed)
        step = static_cast<int16_t>(4 * ScrollSpeed);
    return step;
}

int16_t NormStep()
{
    return static_cast<int16_t>(2 * ScrollSpeed);
}

}  // namespace

void ScrollLeft()
{
    Links(DragStep(RightScrollX - mx));
    RightScrolled = 2;
}

void ScrollRight()
{
    Rechts(DragStep(mx - RightScrollX));
    RightScrolled = 2;
}

void ScrollUp()
{
    Hoch(DragStep(RightScrollY - my));
    RightScrolled = 2;
}

void ScrollDown()
{
    Runter(DragStep(my - RightScrollY));
    RightScrolled = 2;
}

void NormScrollLeft()
{
    Links(NormStep());
}
void NormScrollRight()
{
    Rechts(NormStep());
}
void NormScrollUp()
{
    Hoch(NormStep());
}
void NormScrollDown()
{
    Runter(NormStep());
}

void DoScroll()
{
    if (mx <= 1 && ScrollX > 0) {
        NormScrollLeft();
        NachScroll = static_cast<uint8_t>(ScrollSpeed);
        ScrollDir = 1;
    }
    if (mx > WIDTH - 18 && ScrollX < ScrollGrenzeX()) {
        NormScrollRight();
        NachScroll = static_cast<uint8_t>(ScrollSpeed);
        ScrollDir = 2;
    }
    if (my <= 1 && ScrollY > 0) {
        NormScrollUp();
        NachScroll = static_cast<uint8_t>(ScrollSpeed);
        ScrollDir = 3;
    }
    if (my > HEIGHT - 18 && ScrollY < ScrollGrenzeY()) {
        NormScrollDown();
        NachScroll = static_cast<uint8_t>(ScrollSpeed);
        ScrollDir = 4;
    }
}

void NachScrollen()
{
    if (NachScroll == 0)
        return;
    // The glide borrows the step size: each step is two pixels shorter than the last.
    const uint8_t speed = static_cast<uint8_t>(ScrollSpeed);
    ScrollSpeed = NachScroll;
    --NachScroll;
    switch (ScrollDir) {
    case 1:
        NormScrollLeft();
        break;
    case 2:
        NormScrollRight();
        break;
    case 3:
        NormScrollUp();
        break;
    case 4:
        NormScrollDown();
        break;
    default:
        break;
    }
    ScrollSpeed = speed;
}

void PutSprite(short x, short y, short index)
{
    // A tile that was never loaded has no picture to draw.
    if (index < 0 || index >= KachelAnzahl())
        return;
    // Cut at the view's border: the cursor and the tile column may reach past it.
    const int links = x < 0 ? -x : 0;
    const int rechts = x + KACHEL > WIDTH ? WIDTH - x : KACHEL;
    if (links >= rechts)
        return;
    const unsigned char *kachel = TerrainData + KACHEL * KACHEL * index;
    for (int i = 0; i < KACHEL; ++i) {
        if (y + i < 0 || y + i >= HEIGHT)
            continue;
        memcpy(VScreen + (y + i) * WIDTH + x + links, kachel + KACHEL * i + links, rechts - links);
    }
}
