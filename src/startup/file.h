// Resource loaders, the sprite-layout numbers, and the small file and number utilities.
#pragma once

#include <cstdint>
#include <cstdio>

// Buffers loaded whole at start-up, kept for the whole run.
extern unsigned char *bchst;        // font glyphs
extern unsigned char *m_images;     // pointer pictures
extern unsigned char *TerrainData;  // tile pictures
extern unsigned char *ExploseData;  // explosion images
extern unsigned char *RauchData;    // smoke images

// The three sprite files back to back.
constexpr int32_t LEUTE_PUFFER = 900000;
extern unsigned char *LeuteData;
extern int32_t LeuteLaenge;  // bytes of LeuteData that hold sprite data
extern int32_t KAMPF_START;  // where the combat-vehicle sprites begin
extern int32_t HELI_START;   // where the helicopter sprites begin

// Lengths of the loaded buffers, so that no reader strays past them.
extern long bchstLaenge, m_imagesLaenge, TerrainLaenge, ExploseLaenge, RauchLaenge;
extern long LetzteLaenge;  // length of the buffer LoadSomething returned last

// The 41 sprite-layout numbers of resource/mann.num, in the order of that file.
extern int16_t L_ANFANG, L_LANG, R_ANFANG, R_LANG, O_ANFANG, O_LANG, U_ANFANG, U_LANG;
extern int16_t LO_ANFANG, LO_LANG, LU_ANFANG, LU_LANG, RO_ANFANG, RO_LANG, RU_ANFANG, RU_LANG;
extern int16_t MANN_DIV;
extern int16_t ANGRIF_L, ANGRIF_LL, ANGRIF_R, ANGRIF_RL, ANGRIF_O, ANGRIF_OL, ANGRIF_U, ANGRIF_UL;
extern int16_t ANGRIF_LO, ANGRIF_LOL, ANGRIF_LU, ANGRIF_LUL, ANGRIF_RO, ANGRIF_ROL, ANGRIF_RU, ANGRIF_RUL;
extern int16_t FL_ANFANG, FR_ANFANG, FO_ANFANG, FU_ANFANG;
extern int16_t S1_ANFANG, S1_LANG, S2_ANFANG, S2_LANG;

extern const char *AppDirs[];  // search path of fsearch, ended by a null entry
extern char Text_Low[256];     // result buffer of strlow

unsigned char *LoadSomething(const char *Text, const char *Filename);
void LoadLeute();
void LoadNum();
int get_ini_value(FILE *D);
void LoadTerrain();
int fexist(const char *Name);
char *fsearch(const char *Filename, char *Puffer);
char *strlow(const char *text);
char *floadfile(const char *Name, const char *Typ, long *Anzahl);
unsigned char *fload(const char *Name, const char *Typ, unsigned int &Anzahl, unsigned char *Puffer, unsigned int Head,
                     unsigned short *Deskriptor);
void freadt(unsigned char *Puffer, unsigned int Anzahl, FILE *Handle);
unsigned int floadt(const char *Name, const char *Typ, unsigned int Anzahl, unsigned char *Puffer, unsigned int Head);
int rnd(int Lower, int Upper);
void delay(long n);
void memadd(unsigned char *Pointer, unsigned char Delta, unsigned short Size);
