#pragma once

#include <string>

// The hermitage's room with its organ, and the skill games played there (the rhythm game, the
// gesture slab, the forge, the telescope's views), with their sounds, under the game-data folder
// out.
void WriteHermitageArt(const std::string& out);
