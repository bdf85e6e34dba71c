// One game in a process of its own, driven frame by frame, its tables checked after each frame.
#pragma once

#include <cstdint>
#include <string>

// What a game reports back to the test that started it.
struct Ergebnis {
    int64_t passes = 0;     // frames of the game loop played and checked
    int64_t frames = 0;     // the display's frame count at the end, menu passes included
    int64_t startAusgabe = 0;  // bytes of standard output written by the start-up
    // The highest values seen, so the test knows what the input reached.
    int maxM = 0, maxF = 0;                // live units per side
    int maxLaser = 0, maxRocket = 0, maxExplose = 0, maxRauch = 0;
    int maxWeg = 0, maxUmweg = 0;          // waypoints of a route, points on a detour stack
    int maxScrollX = 0, maxScrollY = 0;
    int maxSpeed = 0;
    bool aufgerieben = false;  // a side was wiped out before the closing Escape
    char fehler[400] = {};     // the first broken rule, empty when every frame kept them all
};

// The broken rule of the game's tables and pointer, or empty when all hold.
std::string Verletzt();

// Start-up as the game does it, in the current folder, on the display that GGI_DISPLAY names;
// then frames until the game ends, each followed by the check. Returns false with `fehler`
// set when start-up failed or a rule broke; `maxPasses` bounds a game that would not end.
bool SpieleGeprueft(Ergebnis &e, int64_t maxPasses);
