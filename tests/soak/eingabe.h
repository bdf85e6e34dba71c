// Random player input for the soak: one event script per game, from a seeded generator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One generated game: its script and what the game must say about the script's odd events.
struct Spielplan {
    int laenge = 0;     // frame of the closing Escape; -frames takes over from there
    std::string skript;  // the event script, frames in order
    // Frame and type of every event the game reports as unexpected, in delivery order.
    std::vector<std::pair<int64_t, int>> unerwartet;
    int menues = 0;  // how often the script opens the main menu
};

// The script of one game of about `laenge` frames. The same seed gives the same script on
// every machine: the generator is the standard Mersenne Twister with its values reduced by
// hand, never the C library's rand(), which belongs to the game.
Spielplan ErzeugeSpiel(uint32_t saat, int laenge);
