#pragma once

#include "engine/System.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class BitmapFont;
class PositionChunk;

// The drawing passes a text tells apart: the scene's main pass, and its late ones.
enum class TextPass { Main, Post, AfterAll };

// An object's text ('TEXT'), drawn at its position with one of the game's fonts, on one line or
// wrapped at a width.
class TextRenderChunk : public SystemChunk {
public:
    // One line of a wrapped text: bytes [first, end) of the laid-out text.
    struct Line {
        std::size_t first = 0;
        std::size_t end = 0;
    };

    TextRenderChunk();

    // Keeps the object's position chunk.
    void Link(SystemChunk* dependency) override;
    // Reads "alpha", "zOrder", "scale", "postRender", "afterAllRender", "text", "fontName",
    // "color", "shift", "align" and "width"; "StoreList" is not read.
    void Init(const ParconCursor& cursor) override;

    // Breaks the translated text into lines no wider than the wrap width, at the last space that
    // still fits; '|' always breaks. A word wider than the wrap width alone takes a line of its
    // own. Sets the laid-out width and height.
    void Layout();
    // Draws the text in the pass, aligned as the pass wants it.
    void Draw(TextPass pass);

    const std::vector<Line>& Lines() const { return lines; }
    // The text the lines index into.
    std::string_view LaidOutText() const { return laidOut; }

    std::string fontName;
    float wrapWidth = -1.0f; // "width"; at most 0: one line
    float shiftX = 0.0f;
    float shiftY = 0.0f;
    float zOrder = 800.0f;
    BitmapFont* font; // one of the game's fonts, which outlive every scene
    std::string text;
    float laidOutWidth = 0.0f;
    float laidOutHeight = 0.0f;
    bool visible = true;
    float centringWidth = 0.0f;
    float extraYOffset = 0.0f;
    float alpha = 1.0f;
    float scale = 1.0f;
    float baseScale = 1.0f;
    int32_t align = 0; // 1 centred, 2 to the left of the position, 3 centred on both axes
    uint32_t colour = 0xFFFFFFFFu;
    bool postRender = false;
    bool afterAllRender = false;
    PositionChunk* position = nullptr;

private:
    std::string laidOut;
    std::vector<Line> lines;
};

// 'TEXT': makes text chunks, keeps them in order of creation, and draws them sorted by depth in
// the main, post-render and after-all passes; depends on 'POSI'.
class TextRenderSystem : public System {
public:
    explicit TextRenderSystem(ObjectsManager* owner);

    void PostRender() override;
    void Render() override;
    void AfterRender() override;
    SystemChunk* CreateChunk(uint32_t index) override;

private:
    template <typename Selected>
    void SortAndDraw(TextPass pass, Selected selected);
};
