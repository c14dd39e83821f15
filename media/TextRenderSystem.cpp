#include "media/TextRenderSystem.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/profile.h"
#include "media/BitmapFont.h"
#include "media/RenderChunk.h"
#include "media/StringTable.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr std::size_t kNoBreak = static_cast<std::size_t>(-1);

// 0..1 to 0..255, rounded; at least 1 is 255, at most 0 (or not a number) is 0.
uint32_t AlphaByte(float alpha) {
    if (alpha >= 1.0f) {
        return 255;
    }
    if (!(alpha > 0.0f)) {
        return 0;
    }
    return static_cast<uint32_t>(std::floor(alpha * 255.0f + 0.5f));
}

BitmapFont* FontNamed(const std::string& name, BitmapFont* current) {
    if (name == "main") {
        return MainFont.get();
    }
    if (name == "menu") {
        return MenuFont.get();
    }
    if (name == "menu_hi") {
        return MenuHiFont.get();
    }
    if (name == "tooltip") {
        return TooltipFont.get();
    }
    if (name == "cutscene") {
        return CutsceneFont.get();
    }
    return current;
}

float TextDepth(const TextRenderChunk& chunk) {
    return chunk.zOrder;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Chunk

TextRenderChunk::TextRenderChunk() : font(MainFont.get()) {}

void TextRenderChunk::Link(SystemChunk* dependency) {
    if (dependency->system != nullptr && dependency->system->id == FourCC("POSI")) {
        position = dynamic_cast<PositionChunk*>(dependency);
    }
}

void TextRenderChunk::Init(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        if (name == "alpha") {
            alpha = key.NextFloat(true, 0.0f);
        } else if (name == "zOrder") {
            zOrder = key.NextFloat(true, 0.0f);
        } else if (name == "scale") {
            scale = baseScale = key.NextFloat(true, 0.0f);
        } else if (name == "postRender") {
            postRender = key.NextInt(true, 0) != 0;
        } else if (name == "afterAllRender") {
            afterAllRender = key.NextInt(true, 0) != 0;
        } else if (name == "text") {
            text = key.NextString(true, "");
        } else if (name == "fontName") {
            fontName = key.NextString(true, "");
            font = FontNamed(fontName, font);
        } else if (name == "color") {
            const auto red = static_cast<uint32_t>(key.NextInt(true, 0));
            const auto green = static_cast<uint32_t>(key.NextInt(true, 0));
            const auto blue = static_cast<uint32_t>(key.NextInt(true, 0));
            colour = 0xFF000000u | (red & 0xFFu) << 16 | (green & 0xFFu) << 8 | (blue & 0xFFu);
        } else if (name == "shift") {
            shiftX = key.NextFloat(true, 0.0f);
            shiftY = key.NextFloat(true, 0.0f);
        } else if (name == "align") {
            align = key.NextInt(true, 0);
        } else if (name == "width") {
            wrapWidth = key.NextFloat(true, 0.0f);
        }
    }
}

void TextRenderChunk::Layout() {
    lines.clear();
    laidOutWidth = 0.0f;
    laidOutHeight = 0.0f;
    laidOut.assign(StringTable::Translate(text));
    if (font == nullptr) {
        return;
    }
    const std::string_view all = laidOut;
    float pieceWidth = 0.0f;
    float pieceHeight = 0.0f;
    const auto measure = [&](std::size_t first, std::size_t end) {
        const TextRectangle rect = font->TextRect(all.substr(first, end - first), 0, 0, scale);
        pieceWidth = rect.right - rect.left;
        pieceHeight = rect.bottom - rect.top;
    };
    std::size_t start = 0;
    std::size_t lastBreak = kNoBreak; // the last byte before a space at which the line fits
    // A bar and the end of the text end a piece as a space does, so that every piece is
    // measured before it is taken as a line.
    for (std::size_t i = 0;;) {
        const bool atEnd = i >= all.size();
        const char c = atEnd ? '\0' : all[i];
        if (atEnd || c == ' ' || c == '|') {
            measure(start, std::min(i, all.size()));
            if (pieceWidth > wrapWidth && lastBreak != kNoBreak) {
                lines.push_back(Line{start, lastBreak + 1});
                start = lastBreak + 2;
                lastBreak = kNoBreak;
                i = start;
                continue;
            }
            if (atEnd) {
                break;
            }
            if (c == '|' || pieceWidth > wrapWidth) {
                // A bar ends its line; so does a word wider than the whole line, alone on it.
                lines.push_back(Line{start, i});
                start = i + 1;
                lastBreak = kNoBreak;
                i = start;
                continue;
            }
            if (i > start) {
                lastBreak = i - 1;
            }
        }
        ++i;
    }
    // The last line, measured last.
    lines.push_back(Line{start, all.size()});
    laidOutHeight = static_cast<float>(lines.size()) * pieceHeight;
    laidOutWidth = lines.size() > 1 ? wrapWidth : pieceWidth;
}

void TextRenderChunk::Draw(TextPass pass) {
    if (!visible || font == nullptr || position == nullptr) {
        return;
    }
    const TextRectangle whole = font->TextRect(text, 0, 0, scale);
    const float w = whole.right - whole.left;
    const float h = whole.bottom - whole.top;
    float xo = 0.0f;
    float yo = 0.0f;
    if (align == 1) {
        xo = -(centringWidth + w) / 2.0f;
    } else if (align == 2) {
        xo = -w;
    } else if (align == 3) {
        if (pass == TextPass::Main) {
            xo = -(centringWidth + w) / 2.0f;
            yo = (shiftY - h) / 2.0f;
        } else {
            xo = -w;
            yo = -h;
        }
    }
    if (scale == 1.0f) {
        xo = std::floor(xo);
    }
    const uint32_t argb = AlphaByte(alpha) << 24 | (colour & 0x00FFFFFFu);
    const float x = position->x + xo + shiftX;
    const float y = position->y + yo + shiftY;
    if (!(wrapWidth > 0.0f)) {
        font->DrawTextEx(text, x, y + extraYOffset, zOrder, argb, argb, scale);
        return;
    }
    Layout();
    const std::string_view all = laidOut;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const Line& line = lines[k];
        font->DrawTextEx(all.substr(line.first, line.end - line.first), x,
                         y + static_cast<float>(k) * h, zOrder, argb, argb, scale);
    }
}

// ---------------------------------------------------------------------------------------------
// System

TextRenderSystem::TextRenderSystem(ObjectsManager* owner) : System(owner, FourCC("TEXT")) {
    dependencies.push_back(FourCC("POSI"));
}

template <typename Selected>
void TextRenderSystem::SortAndDraw(TextPass pass, Selected selected) {
    SortByDepth<TextRenderChunk>(KeptChunks(), TextDepth);
    for (std::size_t i = 0; i < Chunks().size(); ++i) {
        auto* chunk = static_cast<TextRenderChunk*>(Chunks()[i]);
        if (chunk->visible && selected(*chunk)) {
            chunk->Draw(pass);
        }
    }
}

void TextRenderSystem::Render() {
    const ProfileScope profile("TextRenderSystem::Render");
    SortAndDraw(TextPass::Main, [](const TextRenderChunk& chunk) {
        return !chunk.postRender && !chunk.afterAllRender;
    });
}

void TextRenderSystem::PostRender() {
    SortAndDraw(TextPass::Post, [](const TextRenderChunk& chunk) { return chunk.postRender; });
}

void TextRenderSystem::AfterRender() {
    SortAndDraw(TextPass::AfterAll,
                [](const TextRenderChunk& chunk) { return chunk.afterAllRender; });
}

SystemChunk* TextRenderSystem::CreateChunk(uint32_t index) {
    SystemChunk* chunk = KeepChunk(std::make_unique<TextRenderChunk>());
    chunk->index = index;
    return chunk;
}
