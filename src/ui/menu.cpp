// The main menu: a modal screen over the frozen game, left with Escape.
#include "ui/menu.h"

#include <cstdio>

#include <ggi/ggi.h>

#include "display/video.h"
#include "ui/font.h"
#include "ui/intfc.h"
#include "ui/mouse.h"

namespace {

// One entry: its bar, and where its dark and light texts go (no light text: lx < 0).
struct Eintrag {
    const char *text;
    int x, y, lang;
    int dx, dy;
    int lx, ly;
};

constexpr Eintrag EINTRAEGE[] = {
    {"Spiel fortsetzen", 240, 100, 160, 246, 104, -1, -1}, {"Neues Spiel erstellen", 240, 150, 160, 246, 154, 245, 153},
    {"Spiel laden", 240, 180, 160, 246, 184, 245, 183},    {"Spiel speichern", 240, 200, 160, 246, 204, 245, 203},
    {"Einstellungen", 240, 230, 160, 246, 234, 245, 233},  {"Mitwirkende", 240, 250, 160, 246, 254, 245, 253},
    {"Beenden", 549, 385, 90, 554, 389, 555, 388},
};

// The menu's own bar colours, and the light text colour shared with the panel.
constexpr unsigned char HELL = 240, MITTEL = 241, DUNKEL = 242, TEXT = 254;

// Keeps the pointer inside the view; done on the full value so a far move cannot wrap round.
int16_t Begrenzt(int64_t v, int64_t max)
{
    return static_cast<int16_t>(v < 0 ? 0 : (v > max ? max : v));
}

}  // namespace

void ShowHauptMenu()
{
    for (const Eintrag &e : EINTRAEGE) {
        Balken(e.x, e.y, e.lang, HELL, DUNKEL, MITTEL);
        write(e.dx, e.dy, e.text, DUNKEL);
        if (e.lx >= 0)
            write(e.lx, e.ly, e.text, TEXT);
    }
}

void HauptMenu()
{
    int Ende = 0;
    struct timeval tval = {0, 0};
    gii_event event;

    // The menu is drawn before its first poll for input, yet shown only after it.
    AnsichtAbloesen();
    ShowHauptMenu();
    MousePut(WIDTH / 2, HEIGHT / 2);
    MouseBackSave();
    MouseSet(0);
    // Where the saved block was taken: the pointer is removed from there in the next pass.
    int16_t gx = mx, gy = my;

    while (Ende == 0) {
        while (ggiEventPoll(vis, emAll, &tval) != 0) {
            ggiEventRead(vis, &event, emAll);
            switch (event.any.type) {
            case evKeyPress:
                if (event.key.sym == GIIUC_Escape)
                    Ende = 1;
                break;
            case evPtrRelative:
                mx1 = mx;
                my1 = my;
                mx = Begrenzt(int64_t{mx} + event.pmove.x, WIDTH - 1);
                my = Begrenzt(int64_t{my} + event.pmove.y, HEIGHT - 1);
                break;
            case evPtrAbsolute:
                mx1 = mx;
                my1 = my;
                mx = Begrenzt(event.pmove.x, WIDTH - 1);
                my = Begrenzt(event.pmove.y, HEIGHT - 1);
                break;
            case evExpose:
            case evKeyRelease:
            case evKeyRepeat:
            case evPtrButtonPress:
            case evPtrButtonRelease:
                break;
            default:
                printf("Ein unerwartetes Ereignis ist aufgetreten: event.any.type=%d\n", event.any.type);
                break;
            }
            mx = Begrenzt(mx, WIDTH - 1);
            my = Begrenzt(my, HEIGHT - 1);
        }

        mx1 = gx;
        my1 = gy;
        MouseBackRestore();
        MouseBackSave();
        gx = mx;
        gy = my;
        MousePlace();
        Cpy2Screen();
    }
}
