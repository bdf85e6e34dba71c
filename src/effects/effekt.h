// The discipline every effect table follows: a count, a lowest-free index, insert and delete.
#pragma once

#include <cstdint>

constexpr int EFFEKT_TABELLE = 200;  // entries per effect table; at most 199 live at once

// Insert check: counts the new entry, or refuses it (and takes the count back) when the
// table would hold 200.
inline bool EffektPlatz(int16_t &anz)
{
    anz = static_cast<int16_t>(anz + 1);
    if (anz >= EFFEKT_TABELLE) {
        anz = static_cast<int16_t>(anz - 1);
        return false;
    }
    return true;
}

// Next-free scan after filling entry `gefuellt`: the first free entry above it.
template <class T>
inline void EffektNaechsterFreier(T (&tabelle)[EFFEKT_TABELLE], int16_t gefuellt, int16_t &nextFree)
{
    for (int i = gefuellt; i < EFFEKT_TABELLE; ++i) {
        if (tabelle[i].free == 0) {
            nextFree = static_cast<int16_t>(i);
            return;
        }
    }
}

// Delete: frees the entry and pulls the next-free index back to it when it lies lower.
template <class T>
inline void EffektFrei(T (&tabelle)[EFFEKT_TABELLE], int16_t &anz, int16_t &nextFree, int16_t index)
{
    anz = static_cast<int16_t>(anz - 1);
    tabelle[index].free = 0;
    if (index < nextFree)
        nextFree = index;
}
