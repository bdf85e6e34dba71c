// The resource loaders and the sprite-layout numbers: contents, lengths, and every fatal stop.
#include <malloc.h>
#include <sys/resource.h>

#include <cstring>

#include "startup/file.h"
#include "startup/hilfen.h"

namespace {

class Lader : public ImOrdner {};
using LaderTod = Lader;

int WertAus(const std::string &inhalt) {
    Schreibe("wert.num", inhalt);
    FILE *f = fopen("wert.num", "rb");
    const int w = get_ini_value(f);
    fclose(f);
    return w;
}

TEST_F(Lader, IniValuesFollowAtoiRules) {
    EXPECT_EQ(WertAus("L_ANFANG=7:"), 7);
    EXPECT_EQ(WertAus("X= -3:"), -3);
    EXPECT_EQ(WertAus("Kommentar ohne Gleichheit\r\nnoch eine Zeile\n\nR_LANG=12:\n"), 12);
    EXPECT_EQ(WertAus("A=-999:"), -999);
    EXPECT_EQ(WertAus("A=+42:"), 42);
    EXPECT_EQ(WertAus("A=\n\t5:"), 5);
    EXPECT_EQ(WertAus("A=4x:"), 4);
    EXPECT_EQ(WertAus("A=:"), 0);
    EXPECT_EQ(WertAus("A=-:"), 0);
}

TEST_F(Lader, LoadNumFillsTheFortyOneNumbersInFileOrder) {
    int16_t *const reihe[41] = {
        &L_ANFANG,  &L_LANG,     &R_ANFANG,  &R_LANG,     &O_ANFANG,  &O_LANG,     &U_ANFANG,
        &U_LANG,    &LO_ANFANG,  &LO_LANG,   &LU_ANFANG,  &LU_LANG,   &RO_ANFANG,  &RO_LANG,
        &RU_ANFANG, &RU_LANG,    &MANN_DIV,  &ANGRIF_L,   &ANGRIF_LL, &ANGRIF_R,   &ANGRIF_RL,
        &ANGRIF_O,  &ANGRIF_OL,  &ANGRIF_U,  &ANGRIF_UL,  &ANGRIF_LO, &ANGRIF_LOL, &ANGRIF_LU,
        &ANGRIF_LUL, &ANGRIF_RO, &ANGRIF_ROL, &ANGRIF_RU, &ANGRIF_RUL, &FL_ANFANG, &FR_ANFANG,
        &FO_ANFANG, &FU_ANFANG,  &S1_ANFANG, &S1_LANG,    &S2_ANFANG, &S2_LANG};
    // Names are not examined: the file's order alone decides, so they are deliberately wrong.
    std::string text = "# Sprite-Aufteilung\n";
    for (int i = 0; i < 41; i++)
        text += "NAME" + std::to_string(40 - i) + "=" + std::to_string(i * 7 - 30) + ":\n";
    Schreibe("resource/mann.num", text);
    LoadNum();
    for (int i = 0; i < 41; i++) EXPECT_EQ(*reihe[i], i * 7 - 30) << "entry " << i + 1;
}

TEST_F(LaderTod, BrokenSpriteNumbersStopNamingTheFile) {
    std::string vierzig;
    for (int i = 0; i < 40; i++) vierzig += "W=" + std::to_string(i) + ":\n";
    Schreibe("resource/mann.num", vierzig);
    EXPECT_EXIT(LoadNum(), testing::ExitedWithCode(1),
                Genau("Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!"));
    // The last entry cut off inside its value.
    Schreibe("resource/mann.num", vierzig + "W=12");
    EXPECT_EXIT(LoadNum(), testing::ExitedWithCode(1),
                Genau("Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!"));
    Schreibe("resource/mann.num", "A=1:\nB=12345:\n" + vierzig);
    EXPECT_EXIT(LoadNum(), testing::ExitedWithCode(1),
                Genau("Ein Wert in 'resource/mann.num' hat mehr als 4 Zeichen!"));
    std::filesystem::remove("resource/mann.num");
    EXPECT_EXIT(LoadNum(), testing::ExitedWithCode(1),
                Genau("Kann 'resource/mann.num' nicht laden!"));
}

TEST_F(Lader, LoadSomethingReadsTheWholeFileAndItsLength) {
    std::string inhalt(3000, '\0');
    for (size_t i = 0; i < inhalt.size(); i++) inhalt[i] = (char)(i * 13);
    Schreibe("resource/font-01.rsc", inhalt);
    testing::internal::CaptureStdout();
    unsigned char *p = LoadSomething("Schrift", "resource/font-01.rsc");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Lade Schrift ...\nSchrift geladen.\n");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(LetzteLaenge, 3000);
    EXPECT_EQ(std::string((char *)p, 3000), inhalt);
    free(p);
}

TEST_F(LaderTod, LoadSomethingStopsOnMissingOrEmptyFiles) {
    EXPECT_EXIT((AusgabeNachStderr(), LoadSomething("Rauch", "resource/rauch.rsc")),
                testing::ExitedWithCode(1),
                Genau("Lade Rauch ...\nKann 'resource/rauch.rsc' nicht laden!"));
    Schreibe("resource/rauch.rsc", "");
    EXPECT_EXIT((AusgabeNachStderr(), LoadSomething("Rauch", "resource/rauch.rsc")),
                testing::ExitedWithCode(1), Genau("Lade Rauch ...\nDatei nicht lesbar!"));
}

void SpriteDateien(size_t l, size_t k, size_t h) {
    Schreibe("resource/lsprites.rsc", std::string(l, 'L'));
    Schreibe("resource/ksprites.rsc", std::string(k, 'K'));
    Schreibe("resource/hsprites.rsc", std::string(h, 'H'));
}

TEST_F(Lader, LoadLeuteJoinsTheThreeSpriteFiles) {
    SpriteDateien(1000, 2000, 3000);
    testing::internal::CaptureStdout();
    LoadLeute();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(KAMPF_START, 1000);
    EXPECT_EQ(HELI_START, 3000);
    EXPECT_EQ(LeuteLaenge, 6000);
    EXPECT_EQ(std::string((char *)LeuteData, 6000),
              std::string(1000, 'L') + std::string(2000, 'K') + std::string(3000, 'H'));
    EXPECT_EQ(std::filesystem::current_path(), ordner);
    free(LeuteData);

    // Exactly a full buffer still fits.
    SpriteDateien(LEUTE_PUFFER - 2, 1, 1);
    LoadLeute();
    EXPECT_EQ(LeuteLaenge, LEUTE_PUFFER);
    EXPECT_EQ(LeuteData[LEUTE_PUFFER - 1], 'H');
    free(LeuteData);
}

TEST_F(Lader, LoadLeuteComesBackThroughALinkedResourceFolder) {
    // The resource folder is a link into another tree; ".." from inside it would land in
    // that tree, and every later relative path of the game would miss.
    std::filesystem::create_directories("woanders/inhalt");
    Schreibe("woanders/inhalt/lsprites.rsc", "L");
    Schreibe("woanders/inhalt/ksprites.rsc", "K");
    Schreibe("woanders/inhalt/hsprites.rsc", "H");
    std::filesystem::create_directories("spiel");
    std::filesystem::create_directory_symlink(ordner / "woanders/inhalt", "spiel/resource");
    std::filesystem::current_path("spiel");
    LoadLeute();
    EXPECT_EQ(LeuteLaenge, 3);
    EXPECT_EQ(std::filesystem::current_path(), ordner / "spiel");
    free(LeuteData);
}

TEST_F(LaderTod, LoadLeuteStops) {
    for (const char *fehlt : {"lsprites.rsc", "ksprites.rsc", "hsprites.rsc"}) {
        SpriteDateien(10, 10, 10);
        std::filesystem::remove(std::string("resource/") + fehlt);
        EXPECT_EXIT((AusgabeNachStderr(), LoadLeute()), testing::ExitedWithCode(0),
                    Genau(std::string("\n\nERROR: Kann '") + fehlt + "' nicht laden!\n"));
    }
    SpriteDateien(400000, 400000, 100001);
    EXPECT_EXIT(LoadLeute(), testing::ExitedWithCode(1),
                Genau("Die Sprite-Datei 'hsprites.rsc' passt nicht mehr in den Puffer (900000 "
                      "Bytes)!"));
    SpriteDateien(LEUTE_PUFFER + 1, 0, 0);
    EXPECT_EXIT(LoadLeute(), testing::ExitedWithCode(1), "'lsprites.rsc' passt nicht mehr");
}

TEST_F(LaderTod, LoadTerrainFillsItsBufferOrStops) {
    Schreibe("resource/terrain.rsc", std::string(400000, 'T'));
    LoadTerrain();
    EXPECT_EQ(TerrainLaenge, 400000);
    EXPECT_EQ(TerrainData[399999], 'T');
    free(TerrainData);
    TerrainData = nullptr;

    Schreibe("resource/terrain.rsc", std::string(400001, 'T'));
    EXPECT_EXIT(LoadTerrain(), testing::ExitedWithCode(1),
                Genau("Die Datei 'terrain.rsc' passt nicht in den Puffer (400000 Bytes)!"));
    std::filesystem::remove("resource/terrain.rsc");
    EXPECT_EXIT((AusgabeNachStderr(), LoadTerrain()), testing::ExitedWithCode(0),
                Genau("\n\nERROR: Kann 'terrain.rsc' nicht laden!\n"));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool MIT_SANITIZER = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool MIT_SANITIZER = true;
#else
constexpr bool MIT_SANITIZER = false;
#endif
#else
constexpr bool MIT_SANITIZER = false;
#endif

// Caps the address space a little above what the process maps now, so large allocations fail;
// the free space the heap still holds from earlier tests is given back first.
void SpeicherKnapp() {
    mallopt(M_MMAP_THRESHOLD, 128 << 10);
    malloc_trim(0);
    long seiten = 0;
    FILE *f = fopen("/proc/self/statm", "r");
    if (f == nullptr || fscanf(f, "%ld", &seiten) != 1) exit(3);
    fclose(f);
    const rlim_t grenze = (rlim_t)seiten * sysconf(_SC_PAGESIZE) + (64 << 10);
    struct rlimit r = {grenze, grenze};
    setrlimit(RLIMIT_AS, &r);
}

TEST_F(LaderTod, FailedAllocationsStopWithAMessage) {
    if (MIT_SANITIZER) GTEST_SKIP() << "the sanitizer's allocator reserves its own address space";
    // A sparse file: large in size, no room on disk.
    Schreibe("resource/gross.rsc", "");
    std::filesystem::resize_file("resource/gross.rsc", 200u << 20);
    EXPECT_EXIT((SpeicherKnapp(), LoadSomething("Gross", "resource/gross.rsc")),
                testing::ExitedWithCode(1),
                Genau("Nicht genug Speicher, um 'resource/gross.rsc' zu laden!"));
    SpriteDateien(1, 1, 1);
    EXPECT_EXIT((SpeicherKnapp(), LoadLeute()), testing::ExitedWithCode(1),
                Genau("Nicht genug Speicher, um die Sprites zu laden!"));
}

}  // namespace
