#pragma once

#include <cstdint>

// After start-up: the sound sets, the five fonts, the cursor, then the main menu run until it
// ends. Returns the menu process's result word.
int32_t StartGame();
