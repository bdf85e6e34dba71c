// The game loop: one pass a frame, its order of work, the event pump and the player's commands.
#include "control/control.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sys/time.h>

#include <ggi/ggi.h>

#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/maps.h"
#include "map/scroll.h"
#include "path/weg.h"
#include "ui/edit.h"
#include "ui/font.h"
#include "ui/intfc.h"
#include "ui/menu.h"
#include "ui/mouse.h"
#include "units/data.h"
#include "units/leute.h"

// The pace: a unit acts every (its speed + GameSpeed) frames, the animations every GameSpeed.
int16_t GameSpeed = 1;
// Counts frames up to GameSpeed; the effects advance on the frames where it is 0.
int16_t GameDel = 0;
// The selection frame that a left drag opens, and the point where the button went down.
uint8_t Rahmen = 0;
int16_t RahmenX = 0, RahmenY = 0;

namespace {

constexpr int16_t TASTE_ESCAPE = 27;
constexpr int16_t TASTE_TAB = 9;

// Whether the tile under the pointer is no ground for orders. Past the tables there is none.
bool ZeigerBlockiert()
{
    return KachelUeber((my + ScrollY) / KACHEL, (mx + ScrollX) / KACHEL, BODEN, true);
}

// A live unit whose sprite, borders included, lies under the pointer.
bool UnterZeiger(const MANN &m)
{
    return m.free != 0 &&
           maus_innen(m.x, m.y, static_cast<short>(m.x + m.shapeX), static_cast<short>(m.y + m.shapeY)) != 0;
}

void AlleAbwaehlen()
{
    for (MANN &m : Leute)
        m.aktive = 0;
}

// A pointer coordinate moved or set by an event; a value beyond 16 bits stops at their end
// instead of wrapping round to the far side of the view.
int16_t Koordinate(int64_t wert)
{
    return static_cast<int16_t>(std::clamp<int64_t>(wert, INT16_MIN, INT16_MAX));
}

// A kind outside the ability table has no delay of its own; its behaviour does nothing.
int Tempo(uint8_t type)
{
    return type < std::size(Data) ? Data[type].speed : 0;
}

// Left release over a unit or the ground: select, attack or move.
void Klick()
{
    int treffer = -1;
    for (int i = 0; i < MAX_LEUTE; ++i)
        if (UnterZeiger(Leute[i])) {
            treffer = i;
            break;
        }

    if (treffer >= 0 && Leute[treffer].feind == 0) {
        AlleAbwaehlen();
        Leute[treffer].aktive = 1;
        return;
    }
    if (treffer >= 0) {
        for (MANN &m : Leute)
            if (m.free != 0 && m.aktive != 0 && m.feind == 0) {
                m.attack = 1;
                m.who = static_cast<uint8_t>(treffer);
            }
        return;
    }
    if (ZeigerBlockiert())
        return;
    for (int j = 0; j < MAX_LEUTE; ++j) {
        MANN &m = Leute[j];
        if (m.free == 0 || m.aktive == 0 || m.feind != 0)
            continue;
        m.attack = 0;
        m.dx = static_cast<int16_t>(mx + ScrollX);
        m.dy = static_cast<int16_t>(my + ScrollY);
        m.d1count = 0;
        m.dcount = 0;
        WegSuchen(static_cast<short>(j));
    }
}

// Left release after a drag: the frame replaces the selection with the own units whose
// top-left corner lies in it.
void RahmenAuswahl()
{
    const int links = std::min(mx, RahmenX), rechts = std::max(mx, RahmenX);
    const int oben = std::min(my, RahmenY), unten = std::max(my, RahmenY);
    for (MANN &m : Leute) {
        m.aktive = 0;
        if (m.feind == 0 && links <= m.x && m.x <= rechts && oben <= m.y && m.y <= unten) {
            m.aktive = 1;
            MouseSet(2);
        }
    }
}

}  // namespace

void Ereignis(const gii_event &event, int16_t &Ende)
{
    switch (event.any.type) {
    case evCommand:
    case evExpose:
    case evKeyRelease:
        break;
    case evKeyPress:
        TasteDruck(static_cast<int16_t>(event.key.sym), Ende);
        TasteWiederholt(static_cast<int16_t>(event.key.sym));
        break;
    case evKeyRepeat:
        TasteWiederholt(static_cast<int16_t>(event.key.sym));
        break;
    case evPtrRelative:
        mx1 = mx;
        my1 = my;
        mx = Koordinate(int64_t{mx} + event.pmove.x);
        my = Koordinate(int64_t{my} + event.pmove.y);
        break;
    case evPtrAbsolute:
        mx1 = mx;
        my1 = my;
        mx = Koordinate(event.pmove.x);
        my = Koordinate(event.pmove.y);
        break;
    case evPtrButtonPress:
        KnopfDruck(event.pbutton.button);
        break;
    case evPtrButtonRelease:
        KnopfLos(event.pbutton.button);
        break;
    default:
        printf("Ein unerwartetes Ereignis ist aufgetreten: event.any.type=%d\n", event.any.type);
        break;
    }
}

void ZeigerImBild()
{
    mx = static_cast<int16_t>(std::clamp<int>(mx, 0, WIDTH - 1));
    my = static_cast<int16_t>(std::clamp<int>(my, 0, HEIGHT - 1));
}

void TasteDruck(int16_t code, int16_t &Ende)
{
    if (code == TASTE_ESCAPE)
        Ende = 1;
    if (code == 'h')
        HauptMenu();
    if (code == '^')
        edit = edit == 0 ? 1 : 0;
    if (code == TASTE_TAB) {
        // Adds the own units on screen; a selection made before stays.
        for (MANN &m : Leute)
            if (m.free != 0 && m.x >= 0 && m.x < WIDTH && m.y >= 0 && m.y < HEIGHT && m.feind == 0) {
                m.aktive = 1;
                MouseSet(2);
            }
    }
    if (code == 'x') {
        // Spreads the destinations of the selection; the routes stay as they were.
        for (MANN &m : Leute)
            if (m.aktive != 0) {
                m.dx = static_cast<int16_t>(m.dx + rand() % 20);
                m.dy = static_cast<int16_t>(m.dy - rand() % 20);
            }
    }
}

void TasteWiederholt(int16_t code)
{
    // The map pixel under the pointer, where new units stand and head for.
    const int16_t px = static_cast<int16_t>(ScrollX + mx);
    const int16_t py = static_cast<int16_t>(ScrollY + my);
    if (code >= '1' && code <= '4')
        MInsert(px, py, px, py, static_cast<unsigned char>(code - '1'));
    if (code >= 'a' && code <= 'd')
        FInsert(px, py, px, py, static_cast<unsigned char>(code - 93));
    if (code == '5')
        MInsert(px, py, px, py, 8);
    if (code == '6')
        MInsert(px, py, px, py, 9);
    if (code == '+')
        GameSpeed = static_cast<int16_t>(GameSpeed >> 1);
    if (code == '-')
        GameSpeed = static_cast<int16_t>(GameSpeed << 1);
    if (GameSpeed < 2)
        GameSpeed = 1;
    if (GameSpeed > 10)
        GameSpeed = 10;
}

void KnopfDruck(uint32_t button)
{
    if (button == GII_PBUTTON_LEFT && Rahmen == 0) {
        Rahmen = 1;
        RahmenX = mx;
        RahmenY = my;
    }
    if (button == GII_PBUTTON_RIGHT && RightScroll == 0) {
        RightScroll = 1;
        RightScrollX = mx;
        RightScrollY = my;
    }
}

void KnopfLos(uint32_t button)
{
    if (button == GII_PBUTTON_LEFT) {
        if (Rahmen == 2)
            RahmenAuswahl();
        else
            Klick();
        Rahmen = 0;
    }
    if (button == GII_PBUTTON_RIGHT) {
        // A press that scrolled the view was a drag, not a click: the selection stays.
        if (RightScrolled != 2)
            AlleAbwaehlen();
        RightScrolled = 0;
        RightScroll = 0;
    }
}

void ZeigerBewegt()
{
    if (Rahmen == 1)
        Rahmen = 2;
    if (RightScroll == 0)
        return;
    // Each drag step also leaves a glide of as many steps as the pointer moved.
    if (mx < RightScrollX && ScrollX > 0) {
        ScrollLeft();
        NachScroll = static_cast<uint8_t>(RightScrollX - mx);
        ScrollDir = 1;
    }
    if (mx > RightScrollX && ScrollX < ScrollGrenzeX()) {
        ScrollRight();
        NachScroll = static_cast<uint8_t>(mx - RightScrollX);
        ScrollDir = 2;
    }
    if (my < RightScrollY && ScrollY > 0) {
        ScrollUp();
        NachScroll = static_cast<uint8_t>(RightScrollY - my);
        ScrollDir = 3;
    }
    if (my > RightScrollY && ScrollY < ScrollGrenzeY()) {
        ScrollDown();
        NachScroll = static_cast<uint8_t>(my - RightScrollY);
        ScrollDir = 4;
    }
    RightScrollX = mx;
    RightScrollY = my;
}

void ZeigerBild()
{
    // While units are selected the pointer keeps the picture it has.
    if (MouseImage != 2)
        MouseSet(0);
    for (const MANN &m : Leute)
        if (UnterZeiger(m))
            MouseSet(m.feind == 0 ? 3 : 4);
    if (ZeigerBlockiert())
        MouseSet(1);
}

void LeuteSchritt()
{
    for (int i = 0; i < MAX_LEUTE; ++i) {
        MANN &m = Leute[i];
        if (m.free == 0)
            continue;
        m.warten = static_cast<uint8_t>(m.warten + 1);
        if (m.warten >= Tempo(m.type) + GameSpeed) {
            MVerhalten(static_cast<short>(i));
            m.warten = 0;
        }
        // A unit its behaviour has just removed is drawn once more, under its explosion.
        if (m.aktive != 0)
            MouseImage = 2;
        m.x = static_cast<int16_t>(m.ax - ScrollX);
        m.y = static_cast<int16_t>(m.ay - ScrollY);
        if (m.x >= -20 && m.x < WIDTH && m.y >= -20 && m.y < HEIGHT) {
            if (m.aktive != 0 && m.feind == 0)
                MSetAkt(static_cast<short>(i));
            else
                MSet(static_cast<short>(i));
        }
    }
}

void EffekteSchritt()
{
    // Index by index across the tables, so effects of one index draw in this order.
    for (int i = 0; i < EFFEKT_TABELLE; ++i) {
        const short n = static_cast<short>(i);
        if (Explose[i].free == 1)
            ExploseCompute(n);
        if (Laser[i].free == 1)
            LaserCompute(n);
        if (Rauch[i].free == 1)
            RauchCompute(n);
        if (Rocket[i].free == 1)
            RocketCompute(n);
    }
}

void SpielPass(int16_t &Ende)
{
    // The pointer before the event being handled, to tell whether the event moved it.
    static int16_t mx_old = 0, my_old = 0;
    timeval tval;
    gii_event event;

    // Drain every waiting event without waiting for more.
    tval.tv_sec = 0;
    tval.tv_usec = 0;
    while (ggiEventPoll(vis, emAll, &tval) != 0) {
        mx_old = mx;
        my_old = my;
        if (ggiEventRead(vis, &event, emAll) <= 0)
            break;
        Ereignis(event, Ende);
        ZeigerImBild();
        if (mx != mx_old || my != my_old)
            ZeigerBewegt();
    }

    ZeigerBild();
    NachScrollen();
    DoScroll();
    // Nothing polls for input from here to the end of the frame.
    AnsichtDirekt();
    Landschaft();
    if (edit != 0)
        PutSprite(static_cast<short>(mx / KACHEL * KACHEL), static_cast<short>(my / KACHEL * KACHEL), EditSelect);
    LeuteSchritt();
    EffekteSchritt();
    if (Rahmen == 2)
        draw_box(std::min(mx, RahmenX), std::min(my, RahmenY), std::max(mx, RahmenX), std::max(my, RahmenY), 96);
    InterFace();
    if (edit != 0) {
        ShowSpriteSelect();
        ShowEditInterface();
    }
    MouseBackSave();
    MousePlace();

    GameDel = static_cast<int16_t>(GameDel + 1);
    if (GameDel >= GameSpeed) {
        GameDel = 0;
        MouseAnimate();
        AniKarte();
    }
    Iwrite(1, 1, LaserAnz, 254);
    Cpy2Screen();

    if (FAnz == 0 || MAnz == 0)
        Ende = 1;
}

void GameLoop()
{
    // Set by Escape or when a side is wiped out; never reset, so a second call returns at once.
    static int16_t Ende = 0;
    while (Ende == 0)
        SpielPass(Ende);
}
