#pragma once

#include "tools/demogen/Canvas.h"

#include <string>

// One face of a TrueType font at one pixel size, rasterised with FreeType.
struct FontStyle {
    std::string fontFile; // a .ttf file
    int pixelSize = 16;
    Colour colour{1.0f, 1.0f, 1.0f, 1.0f};
    // A soft halo of this colour around every glyph (alpha 0: none).
    Colour halo{0.0f, 0.0f, 0.0f, 0.0f};
    float haloRadius = 0.0f;
    int spacing = 0; // the ".fnt" character spacing
};

// Writes the bitmap font "<stem>.png"/"<stem>.fnt", and "<stem>1.png"/"<stem>1.fnt" and so on
// for as many pages of pageSize x pageSize as the glyphs of printable ASCII and Latin-1 need.
// Returns the number of pages written.
int WriteBitmapFont(const std::string& stem, const FontStyle& style, int pageSize);

// Draws a line of text (ASCII) with its left end at x and its baseline at y.
void DrawTitle(Canvas& canvas, const std::string& text, float x, float baseline,
               const FontStyle& style);
// The width in pixels that DrawTitle takes for the text.
float TitleWidth(const std::string& text, const FontStyle& style);
