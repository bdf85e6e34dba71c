// Resource files damaged in every way that tells the loaders apart, each time the real game
// run: its message, its exit status, the last line it printed, and never a crash.

#include "support.h"

namespace {

using namespace test;

const std::string SIEG = "\n\nBravo, du hast gewonnen!\n";
const std::string TERRAIN = "Terrain geladen.\n";

// Combat vehicles and rocket troopers set down beside the enemy: they win within about 80
// frames, so explosions, rockets and smoke are all drawn before the end.
const char *const KAMPF = "1 pos 330 110\n2 keydown '6'\n3 keyrepeat '6'\n4 keyrepeat '6'\n5 pos 330 180\n"
                          "6 keydown '6'\n7 keyrepeat '6'\n8 keydown '2'\n9 keyrepeat '2'\n10 keyrepeat '2'\n";

// A FIFO and an endless device in place of a file must not hold the game up; a file past the
// largest a loader takes is refused before it is read.
enum Schaden { FEHLT, LEER, ORDNER, FIFO, ENDLOS, EIN_BYTE, HALB, RIESIG, ZU_GROSS, ZUFALL, UNVERSEHRT };

struct Fall {
    const char *datei;
    Schaden schaden;
    int status;
    std::string fehler;  // standard error, whole
    std::string ende;    // the end of standard output
};

TEST(Ressourcen, EachDamageStopsWithItsMessageOrPlaysToTheEnd)
{
    auto lesbar = [](const char *datei) { return "Datei '" + std::string(datei) + "' nicht lesbar!\n"; };
    const std::string bild = "DirectBuffer ist verf\xfcgbar und wird verwendet.\n";
    const Fall faelle[] = {
        {"", UNVERSEHRT, 0, "", SIEG},
        {"resource/font-01.rsc", FEHLT, 1, "Kann 'resource/font-01.rsc' nicht laden!\n", "Lade Schrift ...\n"},
        {"resource/font-01.rsc", ZUFALL, 0, "", SIEG},
        {"resource/maus.rsc", LEER, 1, lesbar("resource/maus.rsc"), "Lade Mauszeiger ...\n"},
        {"resource/maus.rsc", FIFO, 1, lesbar("resource/maus.rsc"), "Lade Mauszeiger ...\n"},
        {"resource/terrain.rsc", ORDNER, 1, lesbar("resource/terrain.rsc"), "Lade Terrain ...\n"},
        {"resource/terrain.rsc", HALB, 1,
         "Die Karte 'mission/demo.mis' enth\xe4lt in Zeile 1, Spalte 13 die Kachel 662, die es nicht gibt!\n", TERRAIN},
        {"resource/terrain.rsc", RIESIG, 0, "", SIEG},
        {"resource/lsprites.rsc", FEHLT, 1, "", TERRAIN + "\n\nERROR: Kann 'lsprites.rsc' nicht laden!\n\n"},
        {"resource/lsprites.rsc", FIFO, 1, lesbar("resource/lsprites.rsc"), TERRAIN},
        {"resource/lsprites.rsc", HALB, 0, "", SIEG},
        {"resource/ksprites.rsc", RIESIG, 1,
         "Die Sprite-Datei 'ksprites.rsc' passt nicht mehr in den Puffer (900000 Bytes)!\n", TERRAIN},
        // Without any sprites the helicopters would never show.
        {"resource/hsprites.rsc", LEER, 1, lesbar("resource/hsprites.rsc"), TERRAIN},
        {"resource/mann.num", FEHLT, 1, "Kann 'resource/mann.num' nicht laden!\n", TERRAIN},
        {"resource/mann.num", ENDLOS, 1, lesbar("resource/mann.num"), TERRAIN},
        {"resource/mann.num", HALB, 1, "Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!\n", TERRAIN},
        {"resource/mann.num", RIESIG, 1,
         "Die Datei 'resource/mann.num' ist zu gro\xdf (h\xf6"
         "chstens 65536 Bytes)!\n",
         TERRAIN},
        {"mission/demo.mis", FEHLT, 1, "Kann Datei 'mission/demo.mis' nicht laden!\n", TERRAIN},
        {"mission/demo.mis", FIFO, 1, lesbar("mission/demo.mis"), TERRAIN},
        {"mission/demo.mis", EIN_BYTE, 1,
         "Die Karte 'mission/demo.mis' ist zu klein (0 x 0 Felder, mindestens 32 x 21)!\n", TERRAIN},
        {"mission/demo.mis", RIESIG, 0, "", SIEG},
        {"resource/explose.rsc", FEHLT, 1, "Kann 'resource/explose.rsc' nicht laden!\n", "Lade Explosionen ...\n"},
        {"resource/explose.rsc", ZU_GROSS, 1,
         "Die Datei 'resource/explose.rsc' ist zu gro\xdf (h\xf6"
         "chstens 16777216 Bytes)!\n",
         "Lade Explosionen ...\n"},
        {"resource/rauch.rsc", ENDLOS, 1, lesbar("resource/rauch.rsc"), "Lade Rauch ...\n"},
        {"resource/rauch.rsc", ZUFALL, 0, "", SIEG},
        // Without a whole palette every colour would be black.
        {"data/system.pal", FEHLT, 1, "Kann 'data/system.pal' nicht laden!\n", bild},
        {"data/system.pal", HALB, 1, lesbar("data/system.pal"), bild},
        {"data/system.pal", FIFO, 1, lesbar("data/system.pal"), bild},
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
        case FIFO:
            mkfifo(datei.c_str(), 0644);
            break;
        case ENDLOS:
            fs::create_symlink("/dev/zero", datei);
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
        case ZU_GROSS:
            neu = alt;
            break;
        case ZUFALL:
            for (size_t i = 0; i < alt.size(); ++i)
                neu += char(zufall());
            break;
        default:
            break;
        }
        if (f.schaden == LEER || (f.schaden >= EIN_BYTE && f.schaden <= ZUFALL))
            Write(datei, neu);
        if (f.schaden == ZU_GROSS)
            fs::resize_file(datei, 16 * 1024 * 1024 + 1);
        const Result r = Korvan(ordner.path(), "memory:-events=kampf.ev:-frames=400:-final=ende.ppm");
        const std::string fall = std::string(f.datei) + " damage " + std::to_string(f.schaden);
        EXPECT_EQ(r.status, f.status) << fall;
        EXPECT_EQ(r.err, f.fehler) << fall;
        EXPECT_TRUE(r.out.ends_with(f.ende)) << fall << ": " << r.out;
        if (f.ende == SIEG) {
            const size_t kopf = std::string("P6\n640 400\n255\n").size();
            EXPECT_NE(Read(ordner / "ende.ppm").find_first_not_of('\0', kopf), std::string::npos) << fall << ": black";
        }
    }
}

}  // namespace

// What the player gives the display layer: each fault stops the game once, in the layer's own
// words, with status 1, and nothing waits on a FIFO or an endless line.
TEST(Anzeige, BadDisplayInputsStopTheGameOnceInTheLayersWords)
{
    const struct {
        const char *umgebung, *anzeige;
        std::string fehler;
    } faelle[] = {
        {"", "memory:-depths=", "ggi: -depths: the list is empty; give some of 8, 16 and 24\n"},
        {"", "memory:-events=fifo", "ggi: cannot read event script 'fifo': not a regular file\n"},
        // SDL falls back to a driver that shows nothing where no display server answers.
        {"SDL_VIDEODRIVER=offscreen", "sdl",
         "ggi: display-sdl: no window can be shown on DISPLAY=(unset) WAYLAND_DISPLAY=(unset) (SDL found only its "
         "'offscreen' driver, which shows nothing); add -offscreen to run without a window on purpose, or use "
         "GGI_DISPLAY=memory\n"},
        // A recording that cannot be written is lost: the game plays on, then says so and fails.
        {"", "memory:-frames=5:-record=/dev/full",
         "ggi: cannot write event recording '/dev/full': No space left on device\n"},
    };
    for (const auto &f : faelle) {
        GameFolder ordner;
        mkfifo((ordner / "fifo").c_str(), 0644);
        const Result r =
            Shell(ordner.path(), std::string(f.umgebung) + " GGI_DISPLAY='" + f.anzeige + "' timeout 60 ./korvan");
        EXPECT_EQ(r.status, 1) << f.anzeige;
        EXPECT_EQ(r.err, f.fehler) << f.anzeige;
        EXPECT_EQ(r.out.find("Grafikmodus 640"), std::string::npos) << f.anzeige;
    }
}
