// Start-up: every resource loaded and the battlefield prepared before the display opens.
#pragma once

void InitSpiel();
void FreeData();
