#pragma once

#include <string>

// The pictures of the crystal cave and of its three mini-games (the crystal altar, the two
// pictures, the mirror hall), with its items and the black overlay of the lit lamps, under out.
void WriteCrystalCaveArt(const std::string& out);
