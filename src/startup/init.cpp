// Start-up: every resource loaded and the battlefield prepared before the display opens.
#include "startup/init.h"

#include <cstdlib>

#include <cstdio>

#include <ggi/ggi.h>

#include "display/pcxlib.h"
#include "display/video.h"
#include "map/maps.h"
#include "startup/file.h"
#include "ui/mouse.h"
#include "units/data.h"
#include "units/leute.h"

void InitSpiel()
{
    bchst = LoadSomething("Schrift", "resource/font-01.rsc");
    bchstLaenge = LetzteLaenge;
    m_images = LoadSomething("Mauszeiger", "resource/maus.rsc");
    m_imagesLaenge = LetzteLaenge;
    TerrainData = LoadSomething("Terrain", "resource/terrain.rsc");
    TerrainLaenge = LetzteLaenge;
    LoadLeute();
    LoadNum();
    LoadMap("mission/demo.mis");
    ExploseData = LoadSomething("Explosionen", "resource/explose.rsc");
    ExploseLaenge = LetzteLaenge;
    RauchData = LoadSomething("Rauch", "resource/rauch.rsc");
    RauchLaenge = LetzteLaenge;
    SetUpData();
    DecodeKarte();
    InitXYKarte();
    InitKarte();
}

void FreeData()
{
    free(Terrain);
    Terrain = nullptr;
    free(TerrainData);
    TerrainData = nullptr;
    TerrainLaenge = 0;
}

int SpielAnzeigen()
{
    if (init640x480() == 0)
        return 0;
    // Without its colours the battlefield would be one black surface.
    constexpr const char *palette = "data/system.pal";
    if (!LoadPalette(palette, pal))
        ggiPanic(fexist(palette) ? "Datei '%s' nicht lesbar!" : "Kann '%s' nicht laden!", palette);
    ggiSetPalette(vis, 0, 256, pal);
    Landschaft();
    MousePut(WIDTH / 2, HEIGHT / 2);
    MouseBackSave();
    Cpy2Screen();
    return 1;
}

void StartAufstellung()
{
    for (int i = 0; i < 10; i++) {
        const int b = rnd(-40, 40);
        const int c = rnd(-40, 40);
        if (rnd(0, 1) != 0) {
            const unsigned char k = static_cast<unsigned char>(rnd(0, 1));
            MInsert(static_cast<short>(100 + b), static_cast<short>(100 + c), static_cast<short>(100 + b),
                    static_cast<short>(100 + c), k);
        }
        FInsert(static_cast<short>(400 + b), static_cast<short>(100 + c), static_cast<short>(400 + b),
                static_cast<short>(100 + c), 4);
        FInsert(static_cast<short>(410 + b), static_cast<short>(130 + c), static_cast<short>(400 + b),
                static_cast<short>(130 + c), 4);
    }
    const int b = rnd(-40, 40);
    const int c = rnd(-40, 40);
    MInsert(static_cast<short>(30 + b), static_cast<short>(50 + c), static_cast<short>(30 + b),
            static_cast<short>(50 + c), 9);
}
