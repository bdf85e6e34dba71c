// Resource loaders, the sprite-layout numbers, and the small file and number utilities.
#include "startup/file.h"

#include <fcntl.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include <ggi/ggi.h>
#include <ggi/layer.h>

#include "display/video.h"

unsigned char *bchst = nullptr;
unsigned char *m_images = nullptr;
unsigned char *TerrainData = nullptr;
unsigned char *ExploseData = nullptr;
unsigned char *RauchData = nullptr;
long bchstLaenge = 0, m_imagesLaenge = 0, TerrainLaenge = 0, ExploseLaenge = 0, RauchLaenge = 0;
long LetzteLaenge = 0;

unsigned char *LeuteData = nullptr;
int32_t LeuteLaenge = 0;
int32_t KAMPF_START = 0;
int32_t HELI_START = 0;

int16_t L_ANFANG, L_LANG, R_ANFANG, R_LANG, O_ANFANG, O_LANG, U_ANFANG, U_LANG;
int16_t LO_ANFANG, LO_LANG, LU_ANFANG, LU_LANG, RO_ANFANG, RO_LANG, RU_ANFANG, RU_LANG;
int16_t MANN_DIV;
int16_t ANGRIF_L, ANGRIF_LL, ANGRIF_R, ANGRIF_RL, ANGRIF_O, ANGRIF_OL, ANGRIF_U, ANGRIF_UL;
int16_t ANGRIF_LO, ANGRIF_LOL, ANGRIF_LU, ANGRIF_LUL, ANGRIF_RO, ANGRIF_ROL, ANGRIF_RU, ANGRIF_RUL;
int16_t FL_ANFANG, FR_ANFANG, FO_ANFANG, FU_ANFANG;
int16_t S1_ANFANG, S1_LANG, S2_ANFANG, S2_LANG;

const char *AppDirs[] = {nullptr};
char Text_Low[256];

namespace {

// Where each value of resource/mann.num goes, in the order of the file.
int16_t *const MannNummern[41] = {
    &L_ANFANG,  &L_LANG,     &R_ANFANG,  &R_LANG,     &O_ANFANG,  &O_LANG,     &U_ANFANG,  &U_LANG,    &LO_ANFANG,
    &LO_LANG,   &LU_ANFANG,  &LU_LANG,   &RO_ANFANG,  &RO_LANG,   &RU_ANFANG,  &RU_LANG,   &MANN_DIV,  &ANGRIF_L,
    &ANGRIF_LL, &ANGRIF_R,   &ANGRIF_RL, &ANGRIF_O,   &ANGRIF_OL, &ANGRIF_U,   &ANGRIF_UL, &ANGRIF_LO, &ANGRIF_LOL,
    &ANGRIF_LU, &ANGRIF_LUL, &ANGRIF_RO, &ANGRIF_ROL, &ANGRIF_RU, &ANGRIF_RUL, &FL_ANFANG, &FR_ANFANG, &FO_ANFANG,
    &FU_ANFANG, &S1_ANFANG,  &S1_LANG,   &S2_ANFANG,  &S2_LANG,
};

// The largest picture file the game can use: tile numbers reach 32767, at 400 bytes a tile.
constexpr long GROESSTE_DATEI = 16 * 1024 * 1024;
// The sprite-layout numbers take a few hundred bytes; their reader never wades through more.
constexpr long GROESSTE_NUM = 64 * 1024;

// Size of an open file, or -1 where it has none (a directory, a pipe).
long DateiGroesse(FILE *f)
{
    if (fseek(f, 0, SEEK_END) != 0)
        return -1;
    return ftell(f);
}

// Opens a file the way the game reads all its files: a FIFO or a device in its place never
// holds the game up and is refused like a folder. Modes other than reading open as asked.
FILE *Oeffnen(const char *name, const char *typ)
{
    return typ[0] == 'r' ? ggiLayerOpenFile(name, nullptr) : fopen(name, typ);
}

// Stops with the message for a file that is there but cannot be read, naming it.
[[noreturn]] void NichtLesbar(const char *name)
{
    ggiPanic("Datei '%s' nicht lesbar!", name);
    abort();
}

// Stops before reading a file larger than any the game can use.
void HoechstensGross(const char *name, long groesse, long grenze)
{
    if (groesse > grenze)
        ggiPanic("Die Datei '%s' ist zu gro\xdf (h\xf6"
                 "chstens %ld Bytes)!",
                 name, grenze);
}

}  // namespace

unsigned char *LoadSomething(const char *Text, const char *Filename)
{
    printf("Lade %s ...\n", Text);
    if (fexist(Filename) == 0)
        ggiPanic("Kann '%s' nicht laden!", Filename);
    long groesse = 0;
    FILE *f = ggiLayerOpenFile(Filename, &groesse);
    if (f == nullptr)
        NichtLesbar(Filename);
    fclose(f);
    HoechstensGross(Filename, groesse, GROESSTE_DATEI);
    unsigned int Anzahl = 0;
    unsigned char *puffer = fload(Filename, "rb", Anzahl, nullptr, 0, nullptr);
    if (Anzahl == 0) {
        free(puffer);
        NichtLesbar(Filename);
    }
    // fload leaves the count at the file's size when only the allocation failed.
    if (puffer == nullptr)
        ggiPanic("Nicht genug Speicher, um '%s' zu laden!", Filename);
    LetzteLaenge = Anzahl;
    printf("%s geladen.\n", Text);
    return puffer;
}

namespace {

// Appends one sprite file to LeuteData; the offset runs on across the three files. A missing
// file ends the game with its own line, one without sprites stops it: its units would never
// show.
void LeuteAnhaengen(const char *name, int32_t &offset)
{
    const std::string pfad = std::string("resource/") + name;
    if (fexist(name) == 0) {
        textmodus();
        printf("\n\nERROR: Kann '%s' nicht laden!\n\n", name);
        exit(1);
    }
    long groesse = 0;
    FILE *f = ggiLayerOpenFile(name, &groesse);
    if (f == nullptr || groesse == 0)
        NichtLesbar(pfad.c_str());
    if (groesse > LEUTE_PUFFER - offset)
        ggiPanic("Die Sprite-Datei '%s' passt nicht mehr in den Puffer (%d Bytes)!", name,
                 static_cast<int>(LEUTE_PUFFER));
    const size_t gelesen = fread(LeuteData + offset, 1, static_cast<size_t>(groesse), f);
    fclose(f);
    if (gelesen != static_cast<size_t>(groesse))
        NichtLesbar(pfad.c_str());
    offset += static_cast<int32_t>(gelesen);
}

}  // namespace

void LoadLeute()
{
    LeuteData = static_cast<unsigned char *>(malloc(LEUTE_PUFFER));
    if (LeuteData == nullptr)
        ggiPanic("Nicht genug Speicher, um die Sprites zu laden!");
    // The way back is held open rather than taken as "..", so that a resource folder that is
    // a link leads back to the game's folder, not to the parent of the link's target.
    const int zurueck = open(".", O_RDONLY | O_DIRECTORY);
    // Without the folder the sprite files are missing and the stop below says which one.
    const bool drin = chdir("resource") == 0;
    int32_t offset = 0;
    LeuteAnhaengen("lsprites.rsc", offset);
    KAMPF_START = offset;
    LeuteAnhaengen("ksprites.rsc", offset);
    HELI_START = offset;
    LeuteAnhaengen("hsprites.rsc", offset);
    LeuteLaenge = offset;
    if (drin && (zurueck < 0 || fchdir(zurueck) != 0))
        ggiPanic("Kann nicht in den Spielordner zur\xfc"
                 "ckkehren!");
    if (zurueck >= 0)
        close(zurueck);
}

void LoadTerrain()
{
    constexpr int32_t TERRAIN_PUFFER = 400000;
    TerrainData = static_cast<unsigned char *>(malloc(TERRAIN_PUFFER));
    if (TerrainData == nullptr)
        ggiPanic("Nicht genug Speicher, um '%s' zu laden!", "resource/terrain.rsc");
    FILE *f = ggiLayerOpenFile("resource/terrain.rsc", nullptr);
    if (f == nullptr) {
        textmodus();
        printf("\n\nERROR: Kann 'terrain.rsc' nicht laden!\n\n");
        exit(1);
    }
    int32_t offset = 0;
    int c;
    while ((c = fgetc(f)) != EOF) {
        if (offset >= TERRAIN_PUFFER)
            ggiPanic("Die Datei 'terrain.rsc' passt nicht in den Puffer (%d Bytes)!", static_cast<int>(TERRAIN_PUFFER));
        TerrainData[offset++] = static_cast<unsigned char>(c);
    }
    fclose(f);
    TerrainLaenge = offset;
}

void LoadNum()
{
    constexpr const char *name = "resource/mann.num";
    if (fexist(name) == 0)
        ggiPanic("Kann '%s' nicht laden!", name);
    long groesse = 0;
    FILE *d = ggiLayerOpenFile(name, &groesse);
    if (d == nullptr)
        NichtLesbar(name);
    if (groesse > GROESSTE_NUM) {
        fclose(d);
        HoechstensGross(name, groesse, GROESSTE_NUM);
    }
    for (int16_t *ziel : MannNummern)
        *ziel = static_cast<int16_t>(get_ini_value(d));
    fclose(d);
}

int get_ini_value(FILE *D)
{
    char wert[5];
    memset(wert, ' ', sizeof wert);
    int c;
    do {
        c = fgetc(D);
        if (c == EOF)
            ggiPanic("Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!");
    } while (c != '=');
    // A value holds at most 4 characters: its ':' must fit the fifth place.
    size_t n = 0;
    do {
        if (n == sizeof wert)
            ggiPanic("Ein Wert in 'resource/mann.num' hat mehr als 4 Zeichen!");
        c = fgetc(D);
        if (c == EOF)
            ggiPanic("Die Datei 'resource/mann.num' endet vor dem letzten Eintrag!");
        wert[n++] = static_cast<char>(c);
    } while (c != ':');
    // atoi's rules on a buffer without a terminating zero; the ':' ends the digits.
    size_t i = 0;
    while (i < n && isspace(static_cast<unsigned char>(wert[i])))
        i++;
    bool negativ = false;
    if (i < n && (wert[i] == '+' || wert[i] == '-'))
        negativ = wert[i++] == '-';
    int zahl = 0;
    while (i < n && isdigit(static_cast<unsigned char>(wert[i])))
        zahl = zahl * 10 + (wert[i++] - '0');
    return negativ ? -zahl : zahl;
}

int fexist(const char *Name)
{
    // Opening a FIFO to read would wait for a writer; without waiting, it opens at once.
    const int fd = open(Name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    close(fd);
    return 1;
}

char *fsearch(const char *Filename, char *Puffer)
{
    for (const char *const *dir = AppDirs; *dir != nullptr; dir++) {
        strcpy(Puffer, *dir);
        strcat(Puffer, Filename);
        printf("Teste: %s\n", Puffer);
        if (fexist(Puffer) == 1)
            return Puffer;
    }
    return Puffer;
}

char *strlow(const char *text)
{
    Text_Low[0] = 0;
    if (text == nullptr)
        return Text_Low;
    const size_t laenge = strlen(text);
    for (size_t i = 0; i <= laenge && i <= 254; i++)
        Text_Low[i] = static_cast<char>(tolower(static_cast<unsigned char>(text[i])));
    return Text_Low;
}

char *floadfile(const char *Name, const char *Typ, long *Anzahl)
{
    if (Name == nullptr || Typ == nullptr)
        return nullptr;
    FILE *f = Oeffnen(Name, Typ);
    if (f == nullptr)
        return nullptr;
    const long groesse = DateiGroesse(f);
    if (groesse < 0) {
        fclose(f);
        return nullptr;
    }
    *Anzahl = groesse;
    char *puffer = static_cast<char *>(malloc(groesse + 1));
    if (puffer == nullptr) {
        fclose(f);
        return nullptr;
    }
    // The spare byte ends the text, so that a text file can be used as a string.
    memset(puffer, 0, groesse + 1);
    fseek(f, 0, SEEK_SET);
    fread(puffer, 1, groesse, f);
    fclose(f);
    return puffer;
}

unsigned char *fload(const char *Name, const char *Typ, unsigned int &Anzahl, unsigned char *Puffer, unsigned int Head,
                     unsigned short *)
{
    if (Name == nullptr)
        return nullptr;
    FILE *f = Oeffnen(Name, Typ);
    if (f == nullptr)
        return nullptr;
    if (Anzahl == 0) {
        const long groesse = DateiGroesse(f);
        // Compared unsigned and wide: where long has 32 bits, UINT_MAX does not fit in it.
        if (groesse < 0 || static_cast<uintmax_t>(groesse) > UINT_MAX) {
            fclose(f);
            return nullptr;
        }
        // A header beyond the end leaves nothing to read.
        Anzahl = static_cast<unsigned long>(groesse) > Head ? static_cast<unsigned int>(groesse - Head) : 0;
    }
    if (Puffer == nullptr) {
        Puffer = static_cast<unsigned char *>(malloc(Anzahl));
        if (Puffer == nullptr) {
            fclose(f);
            return nullptr;
        }
    }
    fseek(f, Head, SEEK_SET);
    Anzahl = static_cast<unsigned int>(fread(Puffer, 1, Anzahl, f));
    fclose(f);
    return Puffer;
}

void freadt(unsigned char *Puffer, unsigned int Anzahl, FILE *Handle)
{
    for (unsigned int i = 0; i < Anzahl; i++, Puffer++) {
        const int c = fgetc(Handle);
        if (c == EOF)
            return;
        if (c != 0)
            *Puffer = static_cast<unsigned char>(c);
    }
}

unsigned int floadt(const char *Name, const char *Typ, unsigned int Anzahl, unsigned char *Puffer, unsigned int Head)
{
    if (Name == nullptr)
        return 0;
    FILE *f = Oeffnen(Name, Typ);
    if (f == nullptr)
        return 0;
    if (Anzahl == 0) {
        const long groesse = DateiGroesse(f);
        fclose(f);
        return groesse < 0 ? 0 : static_cast<unsigned int>(groesse);
    }
    fseek(f, Head, SEEK_SET);
    freadt(Puffer, Anzahl, f);
    fclose(f);
    return Anzahl;
}

int rnd(int Lower, int Upper)
{
    // The span is taken in 64 bits so that the widest bounds do not overflow.
    if (Lower < Upper)
        return static_cast<int>(Lower + rand() % (static_cast<long long>(Upper) - Lower + 1));
    if (Lower == Upper)
        return Lower;
    return static_cast<int>(Upper + rand() % (static_cast<long long>(Lower) - Upper + 1));
}

void delay(long n)
{
    usleep(static_cast<useconds_t>(n * 1000));
}

void memadd(unsigned char *Pointer, unsigned char Delta, unsigned short Size)
{
    for (unsigned int i = 0; i < Size; i++)
        Pointer[i] = static_cast<unsigned char>(Pointer[i] + Delta);
}
