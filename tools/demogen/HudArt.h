#pragma once

#include <string>

// The pictures and sounds of the HUD's inventory bar, tool slots, map-piece display and the
// containers and collectibles that feed them, under the game-data folder out.
void WriteHudArt(const std::string& out);
