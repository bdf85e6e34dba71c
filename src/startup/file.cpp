// Resource loaders, the sprite-layout numbers, and the small file and number utilities.
#include "startup/file.h"

unsigned char *bchst = nullptr;
unsigned char *m_images = nullptr;
unsigned char *TerrainData = nullptr;
unsigned char *ExploseData = nullptr;
unsigned char *RauchData = nullptr;
long bchstLaenge = 0, m_imagesLaenge = 0, TerrainLaenge = 0, ExploseLaenge = 0, RauchLaenge = 0;

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
