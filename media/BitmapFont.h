#pragma once

#include "media/Renderer.h"
#include "media/TextureManager.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class GfxVertexBuffer;

// One glyph cell of a font page.
struct Glyph {
    int32_t code = 0;
    int16_t x = 0; // the cell's top-left corner in its page, texels
    int16_t y = 0;
    uint8_t width = 0; // texels; 0: no glyph
    int16_t page = 0;
};

// Where a text lies: left and top are where it was placed.
struct TextRectangle {
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;
};

// A font of glyph cells cut from PNG pages, each page described by a ".fnt" text file. Texts are
// UTF-8 and go through the string table; every glyph is one quad, written into the font's own
// vertex buffer and drawn a page at a time. Every font is linked into one list, through which a
// lost device takes their vertex buffers away and gives them back.
class BitmapFont {
public:
    // The font's vertex buffer holds this many vertices, four a glyph.
    static constexpr uint32_t kVertexCount = 65536;
    // Longer texts are not drawn: their quads might not fit the buffer.
    static constexpr std::size_t kMostDrawnBytes = kVertexCount / 4;
    // Only this many characters of a text are decoded.
    static constexpr int kMostCharacters = 2999;

    BitmapFont();
    // Unlinks the font and lets go of its pages, vertex buffer and glyphs.
    ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Reads page 0 from name + ".png" and name + ".fnt", then page k from name + k + ".png" and
    // name + k + ".fnt" for as long as the image exists. A page whose image cannot be loaded is
    // left out (its glyphs draw nothing); a missing ".fnt" gives no glyphs. Returns the number of
    // pages loaded.
    int Load(const std::string& name);

    // Draws a text with its top-left corner at (x, y): colourTop on the glyphs' upper corners,
    // colourBottom on the lower ones (ARGB); scale multiplies sizes and advances. Nothing for an
    // empty text, a text longer than kMostDrawnBytes once translated, or with "render_fonts" off.
    void DrawTextEx(std::string_view text, float x, float y, float z, uint32_t colourTop,
                    uint32_t colourBottom, float scale);
    void DrawText(std::string_view text, float x, float y, float z, uint32_t colour);
    // Where the text would be drawn at (x, y): one line height tall, as wide as the advances of
    // its glyphs less one spacing.
    TextRectangle TextRect(std::string_view text, float x, float y, float scale) const;

    // One batch of glyph quads of one page; nothing when the font has no such page.
    void BeginDraw(int page);
    void EndDraw();

    // A lost device: every font's vertex buffer goes, and comes back empty.
    static void ReleaseAllVertexBuffers();
    static void RestoreAllVertexBuffers();

    // The glyph of a character; null when the font has none.
    const Glyph* FindGlyph(char16_t code) const;
    int32_t LineHeight() const { return lineHeight; }
    float Spacing() const { return spacing; }
    // Pages by index; a page whose image failed holds an empty handle.
    const std::vector<TextureHandle>& Pages() const { return pages; }
    bool HasVertexBuffer() const { return vertexBuffer != nullptr; }

private:
    using GlyphBlock = std::array<Glyph, 256>;

    void LoadPage(const std::string& imageName, const std::string& glyphFile);
    void ReadGlyphs(std::string_view text, const std::string& fileName, int page);
    // Takes a glyph record, or logs why it is refused.
    void AddGlyph(const std::string& fileName, int page, const int64_t (&record)[5]);
    // Letters without a glyph borrow the glyph of their other case.
    void BorrowOtherCase();
    Glyph& Slot(char16_t code);
    void CreateVertexBuffer();
    void WriteQuad(const Glyph& glyph, float pen, float y, float z, uint32_t colourTop,
                   uint32_t colourBottom, float scale);

    std::vector<TextureHandle> pages;
    std::unique_ptr<GfxVertexBuffer> vertexBuffer;
    QuadVertex* writePointer = nullptr; // into the locked buffer, while a batch is open
    int32_t pageWidth = 0;              // texels of the last page loaded, used for every page
    int32_t pageHeight = 0;
    int32_t lineHeight = 0;
    // Glyphs by character code, in blocks of 256 made as codes of the block arrive.
    std::array<std::unique_ptr<GlyphBlock>, 256> glyphs;
    uint32_t batchCount = 0;
    bool drawing = false;
    float spacing = 0.0f; // added after every glyph
    std::array<char16_t, kMostCharacters + 1> decoded{};
    BitmapFont* previous = nullptr;
    BitmapFont* next = nullptr;
};

// One of the game's fonts, held as a std::unique_ptr would hold it. A font named with
// LoadWhenUsed is read from its files only when first asked for, so that the fonts the first
// screens do not show cost nothing at start.
class FontSlot {
public:
    // Forgets the font held; the next get() makes and loads the named one.
    void LoadWhenUsed(std::string name);
    FontSlot& operator=(std::unique_ptr<BitmapFont> made);
    // The font, loaded first if it was waiting; null when there is none.
    BitmapFont* get();
    BitmapFont* operator->() { return get(); }
    BitmapFont& operator*() { return *get(); }
    void reset();
    // A font waiting to be loaded counts as there.
    bool operator==(std::nullptr_t) const { return font == nullptr && pending.empty(); }

private:
    std::unique_ptr<BitmapFont> font;
    std::string pending; // the name of the font to load at the first get()
};

// The fonts of the game, named at start-up and destroyed at shutdown (before the textures go).
extern FontSlot MainFont;
extern FontSlot MenuFont;
extern FontSlot MenuHiFont;
extern FontSlot TooltipFont;
extern FontSlot CutsceneFont;
