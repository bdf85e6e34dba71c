// The whole program's start: console lines in order, display variants, damaged resources.
#include <sys/wait.h>

#include "startup/hilfen.h"

namespace {

namespace fs = std::filesystem;

// A copy of the run folder, so that tests may damage its files.
class Start : public ImOrdner {
protected:
    void SetUp() override {
        ImOrdner::SetUp();
        const fs::path lauf = KORVAN_RUN_DIR;
        for (const char *teil : {"resource", "data", "mission"})
            fs::copy(lauf / teil, ordner / teil, fs::copy_options::recursive);
        fs::create_symlink(lauf / "korvan", ordner / "korvan");
    }

    // Runs the game with this GGI_DISPLAY (none: unset, and no desktop either).
    void Starte(const char *anzeige) {
        std::string befehl = "env -u DISPLAY -u WAYLAND_DISPLAY";
        befehl += anzeige != nullptr ? std::string(" GGI_DISPLAY='") + anzeige + "'"
                                     : std::string(" -u GGI_DISPLAY");
        befehl += " ./korvan >aus.txt 2>fehler.txt </dev/null";
        const int s = system(befehl.c_str());
        ASSERT_TRUE(WIFEXITED(s));
        status = WEXITSTATUS(s);
        aus = Lies("aus.txt");
        fehler = Lies("fehler.txt");
    }

    int status = -1;
    std::string aus, fehler;
};

const std::string BANNER =
    "KORVAN\n"
    "Ein Echtzeit-Taktikspiel aus der Korvan-Werkstatt, 2025-2026\n"
    "Programm, Grafik und Karten: das Korvan-Team\n"
    "\nAlle Rechte vorbehalten.\n";
const std::string LADEN =
    "Lade Schrift ...\nSchrift geladen.\n"
    "Lade Mauszeiger ...\nMauszeiger geladen.\n"
    "Lade Terrain ...\nTerrain geladen.\n"
    "Lade Explosionen ...\nExplosionen geladen.\n"
    "Lade Rauch ...\nRauch geladen.\n"
    "InitXKarte ...\nInitYKarte ...\nXYKarten initialisiert.\n";
const std::string GEMEINSAM = "Der Grafikmodus scheint in Ordnung zu sein.\n";
const std::string OHNE_DB =
    "DirectBuffer ist nicht verf\xfc" "gbar, normale Pufferung wird verwendet.\n";
const std::string VERLOREN = "\n\nDu hast diese Zeit verloren!\n";

TEST_F(Start, ConsoleLinesInOrderOnEachDisplay) {
    Starte("memory:-frames=1");
    EXPECT_EQ(status, 0) << fehler;
    EXPECT_EQ(aus, BANNER + LADEN + "GGI_DISPLAY=memory:-frames=1\nGGI-Visual ok.\n" + GEMEINSAM +
                       "DirectBuffer ist verf\xfc" "gbar und wird verwendet.\n\n\n" + VERLOREN);

    Starte("memory:-nodb:-frames=1");
    EXPECT_EQ(status, 0) << fehler;
    EXPECT_EQ(aus, BANNER + LADEN + "GGI_DISPLAY=memory:-nodb:-frames=1\nGGI-Visual ok.\n" +
                       GEMEINSAM + OHNE_DB + "\n\n" + VERLOREN);

    Starte("memory:-depths=16,24:-frames=1");
    EXPECT_EQ(status, 0) << fehler;
    EXPECT_EQ(aus, BANNER + LADEN + "GGI_DISPLAY=memory:-depths=16,24:-frames=1\n" +
                       "GGI-Visual ok.\nDer 8-Bit Farbmodus funktioniert nicht.\n"
                       "Das Visual wird wieder geschlossen ...\n"
                       "Es wird nun versucht, mit dem palemu Modus, den 8-Bit Farbmodus zu "
                       "emulieren...\n"
                       "Palemu-Visual ok.\nPalemu funktioniert.\n" +
                       GEMEINSAM + OHNE_DB + "\n\n" + VERLOREN);
}

TEST_F(Start, EveryRunStartsAlike) {
    Starte("memory:-frames=3:-final=eins.ppm");
    Starte("memory:-frames=3:-final=zwei.ppm");
    std::vector<unsigned char> eins, zwei;
    ASSERT_TRUE(LiesPPM("eins.ppm", eins));
    ASSERT_TRUE(LiesPPM("zwei.ppm", zwei));
    EXPECT_TRUE(eins == zwei);
}

TEST_F(Start, NoDisplayStopsWithStatusOne) {
    Starte(nullptr);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(aus, BANNER + LADEN + "GGI_DISPLAY=(null)\n" +
                       "Der Grafikmodus 640 x 400 mit 256 Farben konnte nicht eingerichtet "
                       "werden!\n");
}

TEST_F(Start, DamagedResourcesStopWithTheirMessage) {
    fs::rename("resource/maus.rsc", "maus.rsc");
    Starte("memory:-frames=1");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(aus, BANNER + "Lade Schrift ...\nSchrift geladen.\nLade Mauszeiger ...\n");
    EXPECT_EQ(fehler.rfind("Kann 'resource/maus.rsc' nicht laden!", 0), 0u) << fehler;
    fs::rename("maus.rsc", "resource/maus.rsc");

    Schreibe("resource/rauch.rsc", "");
    Starte("memory:-frames=1");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(fehler.rfind("Datei nicht lesbar!", 0), 0u) << fehler;
    EXPECT_TRUE(aus.ends_with("Lade Rauch ...\n"));
}

TEST_F(Start, DamagedSpritesStop) {
    fs::rename("resource/ksprites.rsc", "ksprites.rsc");
    Starte("memory:-frames=1");
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(aus.ends_with("Terrain geladen.\n\n\nERROR: Kann 'ksprites.rsc' nicht laden!\n\n"))
        << aus;
    fs::rename("ksprites.rsc", "resource/ksprites.rsc");

    const auto l = fs::file_size("resource/lsprites.rsc");
    const auto k = fs::file_size("resource/ksprites.rsc");
    ASSERT_LT(l + k, 900000u);
    fs::resize_file("resource/hsprites.rsc", 900001 - l - k);
    Starte("memory:-frames=1");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(fehler.rfind("Die Sprite-Datei 'hsprites.rsc' passt nicht mehr in den Puffer (900000 "
                           "Bytes)!", 0),
              0u)
        << fehler;
}

TEST_F(Start, BrokenSpriteNumbersStopNamingTheFile) {
    const std::string num = Lies("resource/mann.num");
    size_t ende = 0;
    for (int i = 0; i < 40; i++) ende = num.find(':', ende) + 1;
    ASSERT_NE(ende, 0u);
    Schreibe("resource/mann.num", num.substr(0, ende));
    Starte("memory:-frames=1");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(fehler.rfind("Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!", 0), 0u)
        << fehler;

    const size_t gleich = num.find('=');
    Schreibe("resource/mann.num", num.substr(0, gleich + 1) + "12345" + num.substr(num.find(':')));
    Starte("memory:-frames=1");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(fehler.rfind("Ein Wert in 'resource/mann.num' hat mehr als 4 Zeichen!", 0), 0u)
        << fehler;
}

}  // namespace
