// The game's entry point: banner, loading, display, the starting units, the game, the outcome.
//
// The game reads every file below its working directory (resource/, data/, mission/). A run in
// the build folder starts there and changes nothing. The installed game is started from any
// folder: when resource/ is not below the working directory, it changes into its data folder,
// found at KORVAN_DATA_DIR relative to the program file's folder (../share/games/korvan beside
// /usr/games/korvan), before anything is loaded. It tells the display layer the folder it was
// started in, so the file names the player gives in GGI_DISPLAY (-events, -record, -final)
// and in shot lines stay relative to that folder.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include <ggi/layer.h>

#include "control/control.h"
#include "display/video.h"
#include "startup/init.h"
#include "units/leute.h"

namespace {

// Moves into the installed data folder where the working directory holds no resource/; where
// there is none either, the loaders report the first missing file as in any other folder.
void InDenDatenordner()
{
    namespace fs = std::filesystem;
    std::error_code fehler;
    if (fs::is_directory("resource", fehler))
        return;
    const fs::path programm = fs::read_symlink("/proc/self/exe", fehler);
    if (fehler)
        return;
    const fs::path daten = programm.parent_path() / KORVAN_DATA_DIR;
    if (!fs::is_directory(daten / "resource", fehler))
        return;
    const fs::path start = fs::current_path(fehler);
    if (fehler || chdir(daten.c_str()) != 0)
        return;
    ggiLayerSetOrigin(start.c_str());
}

}  // namespace

int main()
{
    InDenDatenordner();
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
