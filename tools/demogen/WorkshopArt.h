#pragma once

#include <string>

// The workshop beyond the sealed gate with its three games (the block chest, the switched
// picture, the maze box), the world map's table where the map is put together, and their sounds,
// written under the game-data folder out.
void WriteWorkshopArt(const std::string& out);
