// The game's entry point: banner, loading, display, the starting units, the game, the outcome.
#include <cstdio>

#include "control/control.h"
#include "display/video.h"
#include "startup/init.h"
#include "units/leute.h"

int main() {
    printf("KORVAN\n");
    printf("Ein Echtzeit-Taktikspiel aus der Korvan-Werkstatt, 2025-2026\n");
    printf("Programm, Grafik und Karten: das Korvan-Team\n");
    printf("\nAlle Rechte vorbehalten.\n");
    InitSpiel();
    FadeOut();
    if (SpielAnzeigen() == 0) {
        // A display that would not open has been explained by the display layer already.
        if (vis != nullptr)
            printf("Der Grafikmodus 640 x 400 mit 256 Farben konnte nicht eingerichtet werden!\n");
        return 1;
    }
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
