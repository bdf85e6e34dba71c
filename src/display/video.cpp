// The display: the 640 x 400 8-bit mode, the view buffer every drawing goes into, its showing.
#include "display/video.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

ggi_visual_t vis = nullptr;
const ggi_directbuffer *db = nullptr;
unsigned char *VScreen = nullptr;
unsigned char *Screen = nullptr;

namespace {

// The view buffer the game allocates: the view itself where the display has no direct
// buffer of rows WIDTH long; else the view of what is drawn outside a frame of the game.
unsigned char *EigeneAnsicht = nullptr;

}  // namespace

int init640x480()
{
    // A second call must not replace the buffers the open display is shown from.
    if (vis != nullptr)
        return 0;
    unsigned char *eigener = static_cast<unsigned char *>(malloc(WIDTH * HEIGHT));
    unsigned char *ansicht = static_cast<unsigned char *>(malloc(WIDTH * HEIGHT));
    if (eigener == nullptr || ansicht == nullptr) {
        free(eigener);
        free(ansicht);
        return 0;
    }
    Screen = eigener;
    VScreen = EigeneAnsicht = ansicht;
    if (ggiInit() != 0)
        return 0;
    const char *anzeige = getenv("GGI_DISPLAY");
    printf("GGI_DISPLAY=%s\n", anzeige != nullptr ? anzeige : "(null)");
    vis = ggiOpen(nullptr);
    if (vis == nullptr)
        return 0;
    printf("GGI-Visual ok.\n");
    if (ggiSetGraphMode(vis, WIDTH, HEIGHT, WIDTH, HEIGHT, GT_8BIT) != 0) {
        printf("Der 8-Bit Farbmodus funktioniert nicht.\n");
        printf("Das Visual wird wieder geschlossen ...\n");
        if (vis != nullptr) {
            const int fehler = ggiClose(vis);
            vis = nullptr;
            if (fehler != 0)
                return 0;
        }
        printf("Es wird nun versucht, mit dem palemu Modus, den 8-Bit Farbmodus zu "
               "emulieren...\n");
        vis = ggiOpen("display-palemu", "", nullptr);
        if (vis == nullptr)
            return 0;
        printf("Palemu-Visual ok.\n");
        if (ggiSetGraphMode(vis, WIDTH, HEIGHT, WIDTH, HEIGHT, GT_8BIT) != 0)
            return 0;
        printf("Palemu funktioniert.\n");
    }
    printf("Der Grafikmodus scheint in Ordnung zu sein.\n");
    db = ggiDBGetBuffer(vis, 0);
    // Rows shorter than the mode cannot hold the picture; such a buffer is not used.
    if (db != nullptr && (db->write == nullptr || db->buffer.plb.stride < WIDTH))
        db = nullptr;
    if (db != nullptr) {
        printf("DirectBuffer ist verf\xfc"
               "gbar und wird verwendet.\n");
        free(Screen);
        Screen = static_cast<unsigned char *>(db->write);
    } else {
        printf("DirectBuffer ist nicht verf\xfc"
               "gbar, normale Pufferung wird verwendet.\n");
    }
    return 1;
}

void Cpy2Screen()
{
    if (db != nullptr) {
        // The view drawn into the display is there already.
        if (VScreen == Screen)
            return;
        const int zeile = db->buffer.plb.stride;
        if (zeile == WIDTH) {
            memcpy(Screen, VScreen, WIDTH * HEIGHT);
        } else {
            // Rows longer than the mode: each row of the picture goes to the start of its row.
            for (int y = 0; y < HEIGHT; y++)
                memcpy(Screen + static_cast<size_t>(y) * zeile, VScreen + static_cast<size_t>(y) * WIDTH, WIDTH);
        }
    } else if (vis != nullptr) {
        ggiPutBox(vis, 0, 0, WIDTH, HEIGHT, VScreen);
    }
}

void AnsichtDirekt()
{
    if (db != nullptr && db->buffer.plb.stride == WIDTH && Screen == db->write)
        VScreen = Screen;
}

void AnsichtAbloesen()
{
    if (db == nullptr || VScreen != Screen || EigeneAnsicht == nullptr)
        return;
    memcpy(EigeneAnsicht, Screen, WIDTH * HEIGHT);
    VScreen = EigeneAnsicht;
}

void Put()
{
    if (vis == nullptr)
        return;
    if (db == nullptr)
        ggiPutBox(vis, 0, 0, WIDTH, HEIGHT, Screen);
    ggiFlush(vis);
}

namespace {

// The entries start..end as a count that fits the 256-entry palette; 0 when none do.
int PaletteAnzahl(unsigned short start, unsigned short end)
{
    if (end < start || start > 255)
        return 0;
    const int n = end - start + 1;
    return n > 256 - start ? 256 - start : n;
}

// One byte component moved into 16 bits; shifts past either end leave nothing.
uint16_t Komponente(int wert, int s)
{
    if (s >= 16 || s <= -8)
        return 0;
    return static_cast<uint16_t>(s >= 0 ? wert << s : wert >> -s);
}

}  // namespace

void Set_Palette(unsigned short start, unsigned short end, unsigned char *palette, char Shift)
{
    if (vis == nullptr)
        return;
    const int n = PaletteAnzahl(start, end);
    if (n == 0)
        return;
    ggi_color tabelle[256] = {};
    const int s = 10 - Shift;
    for (int i = 0; i < n; i++) {
        tabelle[i].r = Komponente(palette[3 * i], s);
        tabelle[i].g = Komponente(palette[3 * i + 1], s);
        tabelle[i].b = Komponente(palette[3 * i + 2], s);
    }
    ggiSetPalette(vis, start, n, tabelle);
}

void Set_Palette2(unsigned short start, unsigned short end, ggi_color *palette, unsigned char blend)
{
    if (vis == nullptr)
        return;
    const int n = PaletteAnzahl(start, end);
    if (n == 0)
        return;
    ggi_color tabelle[256] = {};
    for (int i = 0; i < n; i++) {
        tabelle[i].r = static_cast<uint16_t>((palette[i].r * blend) >> 6);
        tabelle[i].g = static_cast<uint16_t>((palette[i].g * blend) >> 6);
        tabelle[i].b = static_cast<uint16_t>((palette[i].b * blend) >> 6);
    }
    ggiSetPalette(vis, start, n, tabelle);
}

// Hooks for leaving graphics mode and for screen fades; this display needs none of them.
void textmodus() {}
void FadeOut() {}
void BildAus() {}
void FlashOut() {}
void FlashIn() {}
void GrayIn() {}
