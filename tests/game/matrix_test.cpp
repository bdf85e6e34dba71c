// Resource files damaged in every way that tells the loaders apart, each time the real game
// run: its message, its exit status, the last line it printed, and never a crash.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support.h"

namespace {

using namespace test;

const std::string SIEG = "\n\nBravo, du hast gewonnen!\n";
const std::string TERRAIN = "Terrain geladen.\n";

// Combat vehicles and rocket troopers set down beside the enemy: they win within about 80
// frames, so explosions, rockets and smoke are all drawn before the end.
const char *const KAMPF = "1 pos 330 110\n2 keydown '6'\n3 keyrepeat '6'\n4 keyrepeat '6'\n5 pos 330 180\n"
                          "6 keydown '6'\n7 keyrepeat '6'\n8 keydown '2'\n9 keyrepeat '2'\n10 keyrepeat '2'\n";

enum Schaden { FEHLT, LEER, ORDNER, EIN_BYTE, HALB, RIESIG, ZUFALL, UNVERSEHRT };

struct Fall {
    const char *datei;
    Schaden schaden;
    int status;
    const char *fehler;    // standard error, whole
    std::string ende;      // the end of standard output
    bool schwarz = false;  // the last picture black all over
};

TEST(Ressourcen, EachDamageStopsWithItsMessageOrPlaysToTheEnd)
{
    const Fall faelle[] = {
        {"", UNVERSEHRT, 0, "", SIEG},
        {"resource/font-01.rsc", FEHLT, 1, "Kann 'resource/font-01.rsc' nicht laden!", "Lade Schrift ...\n"},
        {"resource/font-01.rsc", ZUFALL, 0, "", SIEG},
        {"resource/maus.rsc", LEER, 1, "Datei nicht lesbar!", "Lade Mauszeiger ...\n"},
        {"resource/maus.rsc", EIN_BYTE, 0, "", SIEG},
        {"resource/terrain.rsc", ORDNER, 1, "Datei nicht lesbar!", "Lade Terrain ...\n"},
        {"resource/terrain.rsc", HALB, 1,
         "Die Karte 'mission/demo.mis' enth\xe4lt in Zeile 1, Spalte 13 die Kachel 662, die es nicht gibt!", TERRAIN},
        {"resource/terrain.rsc", RIESIG, 0, "", SIEG},
        {"resource/lsprites.rsc", FEHLT, 0, "", TERRAIN + "\n\nERROR: Kann 'lsprites.rsc' nicht laden!\n\n"},
        {"resource/ksprites.rsc", RIESIG, 1,
         "Die Sprite-Datei 'ksprites.rsc' passt nicht mehr in den Puffer (900000 Bytes)!", TERRAIN},
        {"resource/hsprites.rsc", ZUFALL, 0, "", SIEG},
        {"resource/lsprites.rsc", HALB, 0, "", SIEG},
        {"resource/mann.num", FEHLT, 1, "Kann 'resource/mann.num' nicht laden!", TERRAIN},
        {"resource/mann.num", HALB, 1, "Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!", TERRAIN},
        {"resource/mann.num", RIESIG, 0, "", SIEG},
        {"mission/demo.mis", FEHLT, 1, "Kann Datei 'mission/demo.mis' nicht laden!", TERRAIN},
        {"mission/demo.mis", EIN_BYTE, 1,
         "Die Karte 'mission/demo.mis' ist zu klein (0 x 0 Felder, mindestens 32 x 21)!", TERRAIN},
        {"mission/demo.mis", RIESIG, 0, "", SIEG},
        {"resource/explose.rsc", FEHLT, 1, "Kann 'resource/explose.rsc' nicht laden!", "Lade Explosionen ...\n"},
        {"resource/explose.rsc", HALB, 0, "", SIEG},
        {"resource/rauch.rsc", ORDNER, 1, "Datei nicht lesbar!", "Lade Rauch ...\n"},
        {"resource/rauch.rsc", ZUFALL, 0, "", SIEG},
        // Without a whole palette every colour is black; the game plays on.
        {"data/system.pal", FEHLT, 0, "", SIEG, true},
        {"data/system.pal", HALB, 0, "", SIEG, true},
        {"data/system.pal", ZUFALL, 0, "", SIEG},
    };
    std::mt19937 zufall(1);
    for (const Fall &f : faelle) {
        GameFolder ordner;
        Write(ordner / "kampf.ev", KAMPF);
        const fs::path datei = ordner / f.datei;
        const std::string alt = f.schaden == UNVERSEHRT ? "" : Read(datei);
        if (f.schaden != UNVERSEHRT)
            fs::remove(datei);
        std::string neu;
        switch (f.schaden) {
        case ORDNER:
            fs::create_directory(datei);
            break;
        case EIN_BYTE:
            neu = alt.substr(0, 1);
            break;
        case HALB:
            neu = alt.substr(0, alt.size() / 2);
            break;
        case RIESIG:
            neu = alt + std::string(1000000, 'x');
            break;
        case ZUFALL:
            for (size_t i = 0; i < alt.size(); ++i)
                neu += char(zufall());
            break;
        default:
            break;
        }
        if (f.schaden != FEHLT && f.schaden != ORDNER && f.schaden != UNVERSEHRT)
            Write(datei, neu);
        const Result r = Korvan(ordner.path(), "memory:-events=kampf.ev:-frames=400:-final=ende.ppm");
        const std::string fall = std::string(f.datei) + " damage " + std::to_string(f.schaden);
        EXPECT_EQ(r.status, f.status) << fall;
        EXPECT_EQ(r.err, f.fehler) << fall;
        EXPECT_TRUE(r.out.ends_with(f.ende)) << fall << ": " << r.out;
        if (f.ende == SIEG) {
            const std::string bild = Read(ordner / "ende.ppm");
            const size_t kopf = std::string("P6\n640 400\n255\n").size();
            ASSERT_EQ(bild.size(), kopf + 640 * 400 * 3) << fall;
            EXPECT_EQ(bild.find_first_not_of('\0', kopf) == std::string::npos, f.schwarz) << fall;
        }
    }
}

}  // namespace
