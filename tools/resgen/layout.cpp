// The sprite-layout numbers, written from the same constants that lay out the infantry sheet.
#include <sstream>

#include "resgen.h"

namespace resgen {

std::vector<Number> MannNumbers()
{
    const int S = STRAIGHT_LANG, D = DIAGONAL_LANG, A = ATTACK_LANG;
    return {
        {"L_ANFANG", WalkStart(L)},
        {"L_LANG", S},
        {"R_ANFANG", WalkStart(R)},
        {"R_LANG", S},
        {"O_ANFANG", WalkStart(O)},
        {"O_LANG", S},
        {"U_ANFANG", WalkStart(U)},
        {"U_LANG", S},
        {"LO_ANFANG", WalkStart(LO)},
        {"LO_LANG", D},
        {"LU_ANFANG", WalkStart(LU)},
        {"LU_LANG", D},
        {"RO_ANFANG", WalkStart(RO)},
        {"RO_LANG", D},
        {"RU_ANFANG", WalkStart(RU)},
        {"RU_LANG", D},
        {"MANN_DIV", MANN_DIV},
        {"ANGRIF_L", AttackStart(L)},
        {"ANGRIF_LL", A},
        {"ANGRIF_R", AttackStart(R)},
        {"ANGRIF_RL", A},
        {"ANGRIF_O", AttackStart(O)},
        {"ANGRIF_OL", A},
        {"ANGRIF_U", AttackStart(U)},
        {"ANGRIF_UL", A},
        {"ANGRIF_LO", AttackStart(LO)},
        {"ANGRIF_LOL", A},
        {"ANGRIF_LU", AttackStart(LU)},
        {"ANGRIF_LUL", A},
        {"ANGRIF_RO", AttackStart(RO)},
        {"ANGRIF_ROL", A},
        {"ANGRIF_RU", AttackStart(RU)},
        {"ANGRIF_RUL", A},
        // The standing pose of each straight direction, and the two still poses facing
        // right and left; the game keeps them without showing them.
        {"FL_ANFANG", WalkStart(L)},
        {"FR_ANFANG", WalkStart(R)},
        {"FO_ANFANG", WalkStart(O)},
        {"FU_ANFANG", WalkStart(U)},
        {"S1_ANFANG", WalkStart(R)},
        {"S1_LANG", 0},
        {"S2_ANFANG", WalkStart(L)},
        {"S2_LANG", 0},
    };
}

std::string MannNumText()
{
    std::ostringstream out;
    for (const Number &n : MannNumbers())
        out << n.name << "=" << n.value << ":\n";
    return out.str();
}

}  // namespace resgen
