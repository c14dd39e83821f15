#pragma once

#include <string>

// The pictures of the barrow's inner chamber and of its five mini-games (glyph stones, steam
// machine, clock door, wheel of time, lock door), with their items, under out.
void WriteBarrowGamesPictures(const std::string& out);
