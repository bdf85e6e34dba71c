// The game's entry point: banner, loading, display, the starting units, the game, the outcome.
#include <cstdio>

#include <ggi/ggi.h>

#include "control/control.h"
#include "display/pcxlib.h"
#include "display/video.h"
#include "map/maps.h"
#include "startup/file.h"
#include "startup/init.h"
#include "ui/mouse.h"
#include "units/leute.h"

// Both sides' starting units around fixed points, scattered by the unseeded generator.
static void StartAufstellung() {
    for (int i = 0; i < 10; i++) {
        const int b = rnd(-40, 40);
        const int c = rnd(-40, 40);
        if (rnd(0, 1) != 0) {
            const unsigned char k = (unsigned char)rnd(0, 1);
            MInsert((short)(100 + b), (short)(100 + c), (short)(100 + b), (short)(100 + c), k);
        }
        FInsert((short)(400 + b), (short)(100 + c), (short)(400 + b), (short)(100 + c), 4);
        FInsert((short)(410 + b), (short)(130 + c), (short)(400 + b), (short)(130 + c), 4);
    }
    const int b = rnd(-40, 40);
    const int c = rnd(-40, 40);
    MInsert((short)(30 + b), (short)(50 + c), (short)(30 + b), (short)(50 + c), 9);
}

int main() {
    printf("KORVAN\n");
    printf("Ein Echtzeit-Taktikspiel aus der Korvan-Werkstatt, 2025-2026\n");
    printf("Programm, Grafik und Karten: das Korvan-Team\n");
    printf("\nAlle Rechte vorbehalten.\n");
    InitSpiel();
    FadeOut();
    if (init640x480() == 0) {
        printf("Der Grafikmodus 640 x 400 mit 256 Farben konnte nicht eingerichtet werden!\n");
        return 1;
    }
    LoadPalette("data/system.pal", pal);
    ggiSetPalette(vis, 0, 256, pal);
    Landschaft();
    MousePut(WIDTH / 2, HEIGHT / 2);
    MouseBackSave();
    Cpy2Screen();
    printf("\n\n");
    StartAufstellung();
    GameLoop();
    BildAus();
    textmodus();
    if (FAnz == 0 && MAnz != 0)
        printf("Bravo, du hast gewonnen!\n");
    else
        printf("\n\nDu hast diese Zeit verloren!\n");
    return 0;
}
