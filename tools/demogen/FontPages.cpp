#include "tools/demogen/FontPages.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// The characters of every font: printable ASCII, Latin-1 and the typographic quotes and dashes.
std::vector<uint32_t> CharacterSet() {
    std::vector<uint32_t> codes;
    for (uint32_t code = 32; code <= 126; ++code) {
        codes.push_back(code);
    }
    for (uint32_t code = 161; code <= 255; ++code) {
        codes.push_back(code);
    }
    for (const uint32_t code : {0x2013u, 0x2014u, 0x2018u, 0x2019u, 0x201Cu, 0x201Du, 0x2026u}) {
        codes.push_back(code);
    }
    return codes;
}

// One face at one size; freed with the library.
class Face {
public:
    explicit Face(const FontStyle& style) {
        if (FT_Init_FreeType(&library) != 0) {
            throw std::runtime_error("FreeType cannot start");
        }
        if (FT_New_Face(library, style.fontFile.c_str(), 0, &face) != 0) {
            FT_Done_FreeType(library);
            throw std::runtime_error("cannot open font " + style.fontFile);
        }
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(style.pixelSize));
    }
    ~Face() {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    // Renders the character; false when the face has no glyph for it.
    bool Render(uint32_t code) {
        const FT_UInt index = FT_Get_Char_Index(face, code);
        if (index == 0 && code != ' ') {
            return false;
        }
        return FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0;
    }
    FT_GlyphSlot Slot() const { return face->glyph; }
    int Ascender() const { return static_cast<int>(face->size->metrics.ascender >> 6); }
    int Descender() const { return static_cast<int>(face->size->metrics.descender >> 6); }
    int Advance() const { return static_cast<int>(std::lround(face->glyph->advance.x / 64.0)); }

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

// Coverage of the rendered glyph, placed in a w x h cell with the pen at (penX, baseline).
std::vector<float> GlyphCoverage(const FT_GlyphSlot slot, int w, int h, int penX, int baseline) {
    std::vector<float> coverage(static_cast<std::size_t>(w * h), 0.0f);
    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int x = penX + slot->bitmap_left + static_cast<int>(column);
            const int y = baseline - slot->bitmap_top + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= w || y >= h) {
                continue;
            }
            const uint8_t value = bitmap.buffer[static_cast<std::ptrdiff_t>(row) * bitmap.pitch +
                                                static_cast<std::ptrdiff_t>(column)];
            coverage[static_cast<std::size_t>(y * w + x)] = static_cast<float>(value) / 255.0f;
        }
    }
    return coverage;
}

// Paints a cell: the halo first, then the glyph over it.
void PaintCell(Canvas& page, int cellX, int cellY, int w, int h, const std::vector<float>& coverage,
               const FontStyle& style) {
    const int radius = static_cast<int>(std::ceil(style.haloRadius));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (style.halo.a > 0.0f && radius > 0) {
                float strongest = 0.0f;
                for (int dy = -radius; dy <= radius; ++dy) {
                    for (int dx = -radius; dx <= radius; ++dx) {
                        const int sx = x + dx;
                        const int sy = y + dy;
                        if (sx < 0 || sy < 0 || sx >= w || sy >= h) {
                            continue;
                        }
                        const float d = std::hypot(static_cast<float>(dx), static_cast<float>(dy));
                        const float falloff = std::max(0.0f, 1.0f - d / (style.haloRadius + 1.0f));
                        strongest = std::max(
                            strongest, coverage[static_cast<std::size_t>(sy * w + sx)] * falloff);
                    }
                }
                page.Blend(cellX + x, cellY + y, style.halo, strongest);
            }
            page.Blend(cellX + x, cellY + y, style.colour,
                       coverage[static_cast<std::size_t>(y * w + x)]);
        }
    }
}

std::string GlyphWord(uint32_t code) {
    // The record's second word is the glyph's own character, which the reader skips: any
    // non-blank byte serves, and plain ASCII keeps the file readable.
    if (code > ' ' && code < 127) {
        return std::string(1, static_cast<char>(code));
    }
    return "_";
}

} // namespace

int WriteBitmapFont(const std::string& stem, const FontStyle& style, int pageSize) {
    Face face(style);
    const int pad = static_cast<int>(std::ceil(style.haloRadius));
    const int lineHeight = face.Ascender() - face.Descender() + 2 * pad;
    const int baseline = face.Ascender() + pad;
    const Colour clear{style.colour.r, style.colour.g, style.colour.b, 0.0f};

    int pageCount = 0;
    std::unique_ptr<Canvas> page;
    std::string records;
    int x = 0;
    int y = 0;
    const auto finishPage = [&] {
        const std::string name = pageCount == 0 ? stem : stem + std::to_string(pageCount);
        // The halo widens every cell; a negative spacing keeps the advance the face's own.
        records += "spacing " + std::to_string(style.spacing - 2 * pad) + "\n";
        WritePng(name + ".png", *page);
        WriteText(name + ".fnt", records);
        ++pageCount;
        page.reset();
        records.clear();
    };
    for (const uint32_t code : CharacterSet()) {
        if (!face.Render(code)) {
            continue;
        }
        const int w = std::min(face.Advance() + 2 * pad, 255);
        if (x + w > pageSize) {
            x = 0;
            y += lineHeight + 1;
        }
        if (page && y + lineHeight > pageSize) {
            finishPage();
        }
        if (!page) {
            page = std::make_unique<Canvas>(pageSize, pageSize, clear);
            x = 0;
            y = 0;
        }
        PaintCell(*page, x, y, w, lineHeight,
                  GlyphCoverage(face.Slot(), w, lineHeight, pad, baseline), style);
        records += std::to_string(code) + " " + GlyphWord(code) + " " + std::to_string(x) + " " +
                   std::to_string(y) + " " + std::to_string(w) + " " + std::to_string(lineHeight) +
                   "\n";
        x += w + 1;
    }
    if (page) {
        finishPage();
    }
    return pageCount;
}

void DrawTitle(Canvas& canvas, const std::string& text, float x, float baseline,
               const FontStyle& style) {
    Face face(style);
    const int pad = static_cast<int>(std::ceil(style.haloRadius)) + 2;
    float pen = x;
    for (const char c : text) {
        if (!face.Render(static_cast<unsigned char>(c))) {
            continue;
        }
        const int w = face.Advance() + 2 * pad;
        const int h = face.Ascender() - face.Descender() + 2 * pad;
        Canvas cell(w, h);
        PaintCell(cell, 0, 0, w, h, GlyphCoverage(face.Slot(), w, h, pad, face.Ascender() + pad),
                  style);
        canvas.Paste(cell, static_cast<int>(pen) - pad,
                     static_cast<int>(baseline) - face.Ascender() - pad);
        pen += static_cast<float>(face.Advance() + style.spacing);
    }
}

float TitleWidth(const std::string& text, const FontStyle& style) {
    Face face(style);
    float width = 0.0f;
    for (const char c : text) {
        if (face.Render(static_cast<unsigned char>(c))) {
            width += static_cast<float>(face.Advance() + style.spacing);
        }
    }
    return width;
}
