#pragma once

#include <cstdint>
#include <vector>

// The debug text face: 5x7 glyphs of printable ASCII, drawn bold (each lit pixel also lights the
// one to its right) in cells of kDebugFontCellWidth x kDebugFontCellHeight pixels.
constexpr int kDebugFontCellWidth = 7;
constexpr int kDebugFontCellHeight = 12;
constexpr int kDebugFontFirstChar = 32;
constexpr int kDebugFontLastChar = 126;
constexpr int kDebugFontColumns = 16;

// An atlas of every glyph, kDebugFontColumns cells a row, as ARGB pixels: white, alpha 255 where
// lit and 0 elsewhere. Width and height are powers of two.
struct DebugFontAtlas {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
DebugFontAtlas BuildDebugFontAtlas();

// The cell of a character in the atlas; characters outside the face use '?'.
void DebugFontCell(unsigned char character, int& x, int& y);
