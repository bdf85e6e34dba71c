// The game loop: one pass a frame, its order of work, the event pump and the player's commands.
#pragma once

#include <cstdint>

#include <ggi/gii.h>

extern int16_t GameSpeed;         // pace 1..10, larger is slower
extern int16_t GameDel;           // tick counter; effects advance on frames where it is 0
extern uint8_t Rahmen;            // selection frame: 0 none, 1 button down, 2 dragging
extern int16_t RahmenX, RahmenY;  // where the left button went down

void GameLoop();
// One pass of the loop, one frame: events, drawing, showing; sets Ende when the game is over.
// The soak test and the benchmarks drive the game frame by frame through it.
void SpielPass(int16_t &Ende);

// The steps of one pass that the loop hands its events and frames to.

// Acts on one input event by its type; Escape sets Ende. Unknown types are reported.
void Ereignis(const gii_event &event, int16_t &Ende);
// Keeps the pointer inside the view after every event.
void ZeigerImBild();
// Key-press commands (Escape, h, ^, Tab, x) for a key code.
void TasteDruck(int16_t code, int16_t &Ende);
// Commands of pressed and repeated keys (unit keys, + and -), then GameSpeed kept in 1..10.
void TasteWiederholt(int16_t code);
// Mouse buttons: 1 left, 2 right; others do nothing.
void KnopfDruck(uint32_t button);
void KnopfLos(uint32_t button);
// After a pointer move: the frame drag starts, the right-button drag scrolls.
void ZeigerBewegt();
// Chooses the pointer picture for what lies under the pointer.
void ZeigerBild();
// Every live unit: its pacing counter, its behaviour when due, its drawing.
void LeuteSchritt();
// The four effect tables, walked together index by index.
void EffekteSchritt();
