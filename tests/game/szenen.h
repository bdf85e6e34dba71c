// The game run inside a test's own process: its start-up, one frame at a time, the rules its
// tables keep, digests of what it shows; and the scenes the picture tests and the benchmarks
// build through its own functions: a busy battle, every effect table full, the view's edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace szenen {

// Start-up as the game's entry point does it, in the current folder, on the display that
// GGI_DISPLAY names: resources, display, palette, the first picture, the starting units.
// False when the display does not open.
bool Start();

// Fills both sides up to their limit of 49, every unit on screen and within weapon range of
// the other side, lets the battle run `vorlauf` frames so that shots are in flight, and
// fills both sides up again; the player's units on screen end up selected.
void Gefecht(int vorlauf);

// Fills every effect table up to its 199 live entries, all on screen: explosions and smoke
// spread over the view, lasers and rockets flying long paths across it.
void VolleTabellen();

// Scrolls into the map and puts units of every size, selected and not, and effects of every
// kind across all four edges of the view, half in and half out.
void Raender();

// One frame of the game loop; true when the game would end after it.
bool Bild();

// A digest of a block of bytes taken eight at a step, fast enough for every frame; folded
// into `h`, so that a whole game gives one number.
uint64_t Summe(const void *daten, size_t n, uint64_t h = 0xcbf29ce484222325u);

// The digest of the view buffer, the picture shown and the unit table, folded into `h`.
uint64_t BildSumme(uint64_t h = 0xcbf29ce484222325u);

// The first rule of the game's tables, counters and pointer that does not hold, or empty.
std::string Verletzt();

}  // namespace szenen
