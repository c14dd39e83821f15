#pragma once

#include <string>

// The sealed gate, the pipes and the tiles of the demo's mini-games, with their sounds, written
// under the game-data folder out.
void WritePuzzleArt(const std::string& out);
