// The abilities of the ten unit kinds.
#include "units/data.h"

// Abilities per kind, read by the inserts, the drawing, combat and the behaviour pacing.
ABILITY Data[10];

void SetUpData()
{
    // energie, destruct, hit_security, see_reach, weapon_reach, shot_delay, speed.
    // The sides are not mirror images: the enemy rocket trooper (5) fights like the
    // player's laser trooper, the enemy laser trooper (6) like the player's rocket trooper.
    static const ABILITY werte[10] = {
        {20, 5, 5, 6, 5, 2, 2},       // 0 trooper with hit sparks
        {15, 15, 6, 7, 7, 10, 1},     // 1 rocket trooper
        {25, 7, 2, 6, 6, 2, 3},       // 2 laser trooper
        {25, 10, 4, 7, 6, 5, 2},      // 3 trooper
        {20, 5, 5, 6, 5, 2, 2},       // 4 enemy trooper with hit sparks
        {25, 7, 5, 6, 6, 2, 3},       // 5 enemy rocket trooper
        {15, 15, 6, 7, 7, 10, 1},     // 6 enemy laser trooper
        {25, 10, 4, 7, 6, 5, 2},      // 7 enemy trooper
        {15, 15, 6, 7, 7, 10, 1},     // 8 helicopter
        {250, 50, 5, 10, 12, 15, 1},  // 9 combat vehicle
    };
    for (int k = 0; k < 10; ++k)
        Data[k] = werte[k];
}
