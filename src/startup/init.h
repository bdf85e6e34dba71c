// Start-up: every resource loaded and the battlefield prepared before the display opens.
#pragma once

void InitSpiel();
void FreeData();
// Opens the display, installs the system palette and shows the first picture of the map with
// the pointer's background saved; 0 when the display cannot be opened.
int SpielAnzeigen();
// Places both sides' starting units, with the random draws every run repeats.
void StartAufstellung();
