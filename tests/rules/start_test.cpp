// Start-up where the games do not look: set-up messages, palettes, pictures, long rows, loaders and small utilities.
#include <malloc.h>
#include <sys/resource.h>

#include "display/pcxlib.h"
#include "regeln.h"
#include "support.h"
#include <ggi/testing.h>

extern "C" void __asan_init() __attribute__((weak));  // AddressSanitizer's; it reserves its own address space

namespace {

using namespace test;
using namespace testing;

// A new folder, the working folder while this lives.
struct Ordner : Folder {
    const fs::path vorher = fs::current_path();
    Ordner() { fs::current_path(path()); }
    ~Ordner() { fs::current_path(vorher); }
};

// Caps the address space a little above what the process maps, so that large allocations fail, and loads.
void Knapp(void (*laden)())
{
    rlimit grenze{};
    std::ifstream("/proc/self/statm") >> grenze.rlim_cur;  // pages mapped
    grenze.rlim_max = grenze.rlim_cur = grenze.rlim_cur * sysconf(_SC_PAGESIZE) + (64 << 10);
    freopen("/dev/null", "w", stdout);
    mallopt(M_MMAP_THRESHOLD, 128 << 10);
    malloc_trim(0);
    setrlimit(RLIMIT_AS, &grenze);
    laden();
}

// Opens the display with its messages on standard error; the status says whether it opened.
[[noreturn]] void Einrichten(const std::string &anzeige)
{
    setenv("GGI_DISPLAY", anzeige.c_str(), 1);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    exit(init640x480());
}

TEST(Anzeige, SetUpReportsEachStepEmulatesEightBitsAndWithoutADisplayTheGameEnds)
{
    const std::string gut = "Der Grafikmodus scheint in Ordnung zu sein.\nDirectBuffer ist nicht verf\xfcgbar, normale "
                            "Pufferung wird verwendet.\n";
    const std::string palemu = "Der 8-Bit Farbmodus funktioniert nicht.\nDas Visual wird wieder geschlossen ...\nEs "
                               "wird nun versucht, mit dem palemu Modus, den 8-Bit Farbmodus zu emulieren...\n"
                               "Palemu-Visual ok.\nPalemu funktioniert.\n";
    const std::pair<std::string, std::string> faelle[] = {{"memory:-nodb", "GGI-Visual ok.\n" + gut},
                                                          {"memory:-depths=16,24", "GGI-Visual ok.\n" + palemu + gut}};
    for (const auto &[anzeige, meldung] : faelle)
        EXPECT_EXIT(Einrichten(anzeige), ExitedWithCode(1), Eq("GGI_DISPLAY=" + anzeige + "\n" + meldung));
    const Result r = Shell(GameFolder().path(), "env -u GGI_DISPLAY ./korvan");
    EXPECT_EQ(r.status, 1);
    // The layer says why; the game's line about the graphics mode is for a mode that failed.
    EXPECT_EQ(r.out.substr(r.out.find("GGI_")), "GGI_DISPLAY=(null)\n");
    EXPECT_TRUE(r.err.starts_with("ggi: no display found")) << r.err;
}

TEST(Anzeige, PalettesScaleEachComponentAndEndAtEntry255)
{
    // A second set-up answers 0; then entries 20, 21 (6-bit), 40 (blend 32/64), 249 (untouched), 250 (8-bit, to 255).
    const std::vector<uint64_t> farben = InChild([] {
        unsigned char roh[3 * 8] = {63, 0, 1, 0, 63, 63, 255, 128, 1};
        ggi_color farbe = {40000, 20000, 1, 0};
        setenv("GGI_DISPLAY", "memory", 1);
        freopen("/dev/null", "w", stdout);
        init640x480();
        Set_Palette(20, 20, roh, 0), Set_Palette(21, 21, roh + 3, 0);  // one entry at a time
        Set_Palette(250, 400, roh + 6, 2);
        Set_Palette2(40, 40, &farbe, 32);
        std::vector<uint64_t> werte = {uint64_t(init640x480())};
        const ggi_color *palette = ggiLayerPalette(vis);
        for (int i : {20, 21, 40, 249, 250})
            werte.insert(werte.end(), {palette[i].r, palette[i].g, palette[i].b});
        return werte;
    });
    EXPECT_EQ(farben,
              (std::vector<uint64_t>{0, 64512, 0, 1024, 0, 64512, 64512, 20000, 10000, 0, 0, 0, 0, 65280, 32768, 256}));
}

TEST(Anzeige, PicturesStartAfterTheirHeaderAndKeepTheirPaletteAtTheEnd)
{
    Ordner ordner;
    std::string datei = std::string(128, 'x').append("\x01\xc2\x03");  // a pixel of 1, then two of 3
    for (int i = 0; i < 256; ++i)
        datei += {char(i), char(255 - i), 7};
    Write("p", datei);
    const std::vector<uint64_t> gezeigt = InChild([] {
        setenv("GGI_DISPLAY", "memory", 1);
        freopen("/dev/null", "w", stdout);
        init640x480(), show_PCX("p");
        const ggi_color *p = ggiLayerPalette(vis);
        return std::vector<uint64_t>{VScreen[0], VScreen[1], VScreen[2], p[0].r, p[0].g, p[0].b, p[255].r, p[255].b};
    });
    EXPECT_EQ(gezeigt, (std::vector<uint64_t>{1, 3, 3, 0, 65280, 1792, 65280, 1792}));
}

TEST(Anzeige, RowsLongerThanTheViewsTakeEachRowAtTheirStart)
{
    std::vector<unsigned char> schirm((WIDTH + 60) * HEIGHT, 0);
    Leeren(7);
    VScreen[WIDTH] = 8;
    ggi_directbuffer puffer{};
    puffer.buffer.plb.stride = WIDTH + 60;
    puffer.write = Screen = schirm.data();
    db = &puffer;
    Cpy2Screen();
    db = nullptr;
    Screen = nullptr;
    EXPECT_EQ((std::vector<int>{schirm[WIDTH - 1], schirm[WIDTH], schirm[WIDTH + 60], schirm.back()}),
              (std::vector<int>{7, 0, 8, 0}));
}

TEST(Lader, StopsWithTheReason)
{
    Ordner ordner;
    Write("lsprites.rsc", "");  // without a resource folder, read from here
    fs::resize_file("lsprites.rsc", 900001);
    EXPECT_EXIT(LoadLeute(), ExitedWithCode(1),
                Eq("Die Sprite-Datei 'lsprites.rsc' passt nicht mehr in den Puffer (900000 Bytes)!\n"));
    if (&__asan_init == nullptr) {
        Write("gross", "");
        fs::resize_file("gross", 16 << 20);  // the largest file the loader takes
        EXPECT_EXIT(Knapp([] { LoadSomething("Gross", "gross"); }), ExitedWithCode(1),
                    Eq("Nicht genug Speicher, um 'gross' zu laden!\n"));
        EXPECT_EXIT(Knapp(LoadLeute), ExitedWithCode(1), Eq("Nicht genug Speicher, um die Sprites zu laden!\n"));
    }
}

TEST(Lader, SpritesReachedThroughALinkLeadBackToTheGamesFolder)
{
    Ordner ordner;
    fs::create_directory("spiel");
    fs::create_directory_symlink(fs::current_path(), "spiel/resource");  // back up to the folder holding the game
    for (const char *datei : {"lsprites.rsc", "ksprites.rsc", "hsprites.rsc"})
        Write(datei, "12345");
    const std::vector<uint64_t> danach = InChild([] {
        fs::current_path("spiel");
        LoadLeute();
        const bool zurueck = fs::current_path().filename() == "spiel";
        return std::vector<uint64_t>{uint64_t(KAMPF_START), uint64_t(HELI_START), uint64_t(LeuteLaenge), zurueck};
    });
    EXPECT_EQ(danach, (std::vector<uint64_t>{5, 10, 15, 1}));
}

// An entry's value reads as atoi reads up to four characters, whatever text comes before its "=".
TEST(Lader, SpriteNumbersReadAsAtoiReadsThem)
{
    const std::pair<std::string, int> faelle[] = {
        {"L_ANFANG=7:", 7}, {"x\r\n# -5:\nN= -3:", -3}, {"N=+12x:", 12}, {"N=9999:", 9999}, {"N=:", 0}, {"N=-:", 0}};
    for (const auto &[text, wert] : faelle) {
        FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "rb");
        EXPECT_EQ(get_ini_value(f), wert) << text;
        fclose(f);
    }
}

TEST(Hilfen, StrlowKeepsTheFirst255CharactersAndEndsWhereTheTextEnds)
{
    // In this order: each call writes over what the one before left.
    const std::string lang(300, 'K');
    const std::pair<const char *, std::string> faelle[] = {
        {lang.c_str(), std::string(255, 'k')}, {"Lade MAUS.RSC", "lade maus.rsc"}, {nullptr, ""}};
    for (const auto &[text, klein] : faelle)
        EXPECT_EQ(strlow(text), klein) << (text ? text : "null");
}

TEST(Hilfen, FloadtKeepsThePictureUnderZeroBytesAndAnswersTheCountOrTheSize)
{
    Ordner ordner;
    Write("b", std::string("KOPF\x05\0\x07\0\x09", 9));
    unsigned char bild[] = {1, 1, 1, 1, 1};
    EXPECT_EQ(floadt("b", "rb", 5, bild, 4), 5u);
    EXPECT_EQ(floadt("b", "rb", 0, nullptr, 0), 9u);
    EXPECT_EQ((std::vector<int>(bild, bild + 5)), (std::vector<int>{5, 1, 7, 1, 9}));
}

TEST(Hilfen, RndDrawsAlikeInEitherOrderOfTheBoundsBothIncludedAndNothingForEqualOnes)
{
    std::vector<int> vorwaerts, rueckwaerts;
    srand(1);
    for (int i = 0; i < 200; ++i) {
        vorwaerts.push_back(rnd(3, 10));
        EXPECT_EQ(rnd(7, 7), 7);
    }
    srand(1);
    for (int i = 0; i < 200; ++i)
        rueckwaerts.push_back(rnd(10, 3));
    EXPECT_EQ(vorwaerts, rueckwaerts);
    EXPECT_EQ(std::set<int>(vorwaerts.begin(), vorwaerts.end()), (std::set<int>{3, 4, 5, 6, 7, 8, 9, 10}));
}

}  // namespace
