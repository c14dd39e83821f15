#pragma once

#include <cstdint>

// The five bitmap fonts of the game, from "gfx/fonts/".
void LoadFonts();

// After start-up: the sound sets, the five fonts, the cursor, then the main menu run until it
// ends. Returns the menu process's result word.
int32_t StartGame();
