// Start-up: every resource loaded and the battlefield prepared before the display opens.
#include "startup/init.h"

#include <cstdlib>

#include "map/maps.h"
#include "startup/file.h"
#include "units/data.h"

void InitSpiel() {
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

void FreeData() {
    free(Terrain);
    Terrain = nullptr;
    free(TerrainData);
    TerrainData = nullptr;
    TerrainLaenge = 0;
}
