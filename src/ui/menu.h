// The main menu: a modal screen over the frozen game, left with Escape.
#pragma once

void ShowHauptMenu();
void HauptMenu();
