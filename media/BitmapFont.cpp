#include "media/BitmapFont.h"

#include "engine/Application.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "engine/profile.h"
#include "media/StringTable.h"
#include "media/Utf8ToWide.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

FontSlot MainFont;
FontSlot MenuFont;
FontSlot MenuHiFont;
FontSlot TooltipFont;
FontSlot CutsceneFont;

void FontSlot::LoadWhenUsed(std::string name) {
    font.reset();
    pending = std::move(name);
}

FontSlot& FontSlot::operator=(std::unique_ptr<BitmapFont> made) {
    font = std::move(made);
    pending.clear();
    return *this;
}

BitmapFont* FontSlot::get() {
    if (!pending.empty()) {
        const std::string name = std::move(pending);
        pending.clear();
        font = std::make_unique<BitmapFont>();
        font->Load(name);
    }
    return font.get();
}

void FontSlot::reset() {
    font.reset();
    pending.clear();
}

namespace {

constexpr uint32_t kStride = sizeof(QuadVertex);
constexpr uint32_t kMostQuads = BitmapFont::kVertexCount / 4;

// The list of every font; a plain pointer, so no font ever outlives it at exit.
BitmapFont* firstFont = nullptr;

// Whitespace-separated words of a ".fnt" file, one after another.
class Words {
public:
    explicit Words(std::string_view text) : text(text) {}

    std::optional<std::string_view> Next() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
            ++at;
        }
        if (at == text.size()) {
            return std::nullopt;
        }
        const std::size_t start = at;
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) == 0) {
            ++at;
        }
        return text.substr(start, at - start);
    }

private:
    std::string_view text;
    std::size_t at = 0;
};

// A decimal integer making up the whole word, with an optional sign.
std::optional<int64_t> ParseInteger(std::string_view word) {
    if (word.starts_with('+')) {
        word.remove_prefix(1);
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || word.empty()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

BitmapFont::BitmapFont() : next(firstFont) {
    if (firstFont != nullptr) {
        firstFont->previous = this;
    }
    firstFont = this;
}

BitmapFont::~BitmapFont() {
    if (previous != nullptr) {
        previous->next = next;
    } else {
        firstFont = next;
    }
    if (next != nullptr) {
        next->previous = previous;
    }
    for (TextureHandle& page : pages) {
        page.Release();
    }
}

int BitmapFont::Load(const std::string& name) {
    LoadPage(name + ".png", name + ".fnt");
    // Glyphs keep their page in 16 bits.
    for (int page = 1; page <= INT16_MAX && Files.Exists(name + std::to_string(page) + ".png");
         ++page) {
        const std::string stem = name + std::to_string(page);
        LoadPage(stem + ".png", stem + ".fnt");
    }
    BorrowOtherCase();
    int loaded = 0;
    for (const TextureHandle& page : pages) {
        loaded += page.valid ? 1 : 0;
    }
    return loaded;
}

void BitmapFont::LoadPage(const std::string& imageName, const std::string& glyphFile) {
    if (!vertexBuffer) {
        CreateVertexBuffer();
    }
    // Pages keep their index even when an image fails, so that later pages' glyphs still find
    // theirs.
    const int page = static_cast<int>(pages.size());
    TextureHandle& handle = pages.emplace_back();
    if (TextureManager::Load(handle, imageName)) {
        pageWidth = handle.entry->width;
        pageHeight = handle.entry->height;
    }
    if (const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(glyphFile)) {
        ReadGlyphs(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                   glyphFile, page);
    }
}

// Records of code, the glyph's own character (not used), x, y, width and height. A record that
// does not read as numbers is taken as a word followed by the character spacing.
void BitmapFont::ReadGlyphs(std::string_view text, const std::string& fileName, int page) {
    Words words(text);
    while (true) {
        int64_t record[5] = {};
        std::optional<std::string_view> word = words.Next();
        if (!word) {
            return;
        }
        bool numbers = true;
        for (int field = 0; field < 6 && numbers; ++field) {
            if (field > 0 && !(word = words.Next())) {
                return;
            }
            if (field == 1) {
                continue; // the glyph's own character
            }
            const std::optional<int64_t> value = ParseInteger(*word);
            if (value) {
                record[field == 0 ? 0 : field - 1] = *value;
            } else {
                numbers = false;
            }
        }
        if (numbers) {
            AddGlyph(fileName, page, record);
            continue;
        }
        // The word that failed names a setting; the integer after it is the spacing.
        const std::optional<std::string_view> valueWord = words.Next();
        const std::optional<int64_t> value = valueWord ? ParseInteger(*valueWord) : std::nullopt;
        if (!value || *value < std::numeric_limits<int32_t>::min() ||
            *value > std::numeric_limits<int32_t>::max()) {
            return;
        }
        spacing = static_cast<float>(*value);
    }
}

void BitmapFont::AddGlyph(const std::string& fileName, int page, const int64_t (&record)[5]) {
    const auto [code, x, y, width, height] = record;
    const char* refusal = nullptr;
    if (code < 0 || code > 0xFFFF) {
        refusal = "its code is outside 0..65535";
    } else if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) {
        refusal = "its cell lies beyond 16-bit coordinates";
    } else if (width < 0 || height < 0) {
        refusal = "its size is negative";
    } else if (width > 255) {
        refusal = "it is wider than 255";
    } else if (height > std::numeric_limits<int32_t>::max()) {
        refusal = "it is too tall";
    }
    if (refusal != nullptr) {
        DebugLog("BitmapFont: %s: glyph %lld skipped: %s\n", fileName.c_str(),
                 static_cast<long long>(code), refusal);
        return;
    }
    Glyph& glyph = Slot(static_cast<char16_t>(code));
    glyph.code = static_cast<int32_t>(code);
    glyph.x = static_cast<int16_t>(x);
    glyph.y = static_cast<int16_t>(y);
    glyph.width = static_cast<uint8_t>(width);
    glyph.page = static_cast<int16_t>(page);
    if (lineHeight == 0) {
        lineHeight = static_cast<int32_t>(height);
    }
}

void BitmapFont::BorrowOtherCase() {
    const auto borrow = [this](char16_t to, char16_t from) {
        const Glyph* source = FindGlyph(from);
        if (FindGlyph(to) != nullptr || source == nullptr) {
            return;
        }
        const Glyph copy = *source;
        Glyph& target = Slot(to);
        target.code = to;
        target.x = copy.x;
        target.y = copy.y;
        target.width = copy.width;
        target.page = copy.page;
    };
    for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
        borrow(letter, static_cast<char16_t>(letter - u'a' + u'A'));
    }
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        borrow(letter, static_cast<char16_t>(letter - u'A' + u'a'));
    }
}

Glyph& BitmapFont::Slot(char16_t code) {
    std::unique_ptr<GlyphBlock>& block = glyphs[code >> 8];
    if (!block) {
        block = std::make_unique<GlyphBlock>();
    }
    return (*block)[code & 0xFFu];
}

const Glyph* BitmapFont::FindGlyph(char16_t code) const {
    const std::unique_ptr<GlyphBlock>& block = glyphs[code >> 8];
    if (!block) {
        return nullptr;
    }
    const Glyph& glyph = (*block)[code & 0xFFu];
    return glyph.width != 0 ? &glyph : nullptr;
}

void BitmapFont::CreateVertexBuffer() {
    RenderDevice& state = Renderer::State();
    if (state.device) {
        state.device->CreateVertexBuffer(kVertexCount * kStride, kQuadVertexFormat, vertexBuffer);
    }
}

void BitmapFont::DrawText(std::string_view text, float x, float y, float z, uint32_t colour) {
    DrawTextEx(text, x, y, z, colour, colour, 1.0f);
}

void BitmapFont::DrawTextEx(std::string_view text, float x, float y, float z, uint32_t colourTop,
                            uint32_t colourBottom, float scale) {
    if (!App.renderFonts || text.empty()) {
        return;
    }
    const std::string_view translated = StringTable::Translate(text);
    if (translated.size() > kMostDrawnBytes) {
        return;
    }
    const std::size_t count = Utf8ToWide(translated, decoded, kMostCharacters);
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (!pages[page].valid) {
            continue;
        }
        const ProfileScope profile("BitmapFont::DrawTextEx");
        BeginDraw(static_cast<int>(page));
        float pen = x;
        for (std::size_t i = 0; i < count; ++i) {
            const Glyph* glyph = FindGlyph(decoded[i]);
            if (glyph == nullptr) {
                continue;
            }
            if (static_cast<std::size_t>(glyph->page) == page) {
                WriteQuad(*glyph, pen, y, z, colourTop, colourBottom, scale);
            }
            pen += (static_cast<float>(glyph->width) + spacing) * scale;
        }
        EndDraw();
    }
}

TextRectangle BitmapFont::TextRect(std::string_view text, float x, float y, float scale) const {
    std::array<char16_t, kMostCharacters + 1> units;
    const std::size_t count = Utf8ToWide(StringTable::Translate(text), units, kMostCharacters);
    float advance = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        if (const Glyph* glyph = FindGlyph(units[i])) {
            advance += (static_cast<float>(glyph->width) + spacing) * scale;
        }
    }
    return TextRectangle{x, x + advance - spacing * scale, y,
                         y + static_cast<float>(lineHeight) * scale};
}

void BitmapFont::BeginDraw(int page) {
    if (pages.empty() || page < 0 || static_cast<std::size_t>(page) >= pages.size()) {
        return;
    }
    const ProfileScope profile("BitmapFont::BeginDraw");
    batchCount = 0;
    drawing = true;
    writePointer = nullptr;
    GraphicsDevice* device = Renderer::State().device.get();
    if (device == nullptr || !vertexBuffer) {
        return;
    }
    device->SetTexture(0, pages[static_cast<std::size_t>(page)].Texture());
    device->SetStreamSource(0, vertexBuffer.get(), kStride);
    device->SetVertexShader(kQuadVertexFormat);
    void* data = nullptr;
    if (vertexBuffer->Lock(0, 0, &data, kLockDiscard) == kGfxOk) {
        writePointer = static_cast<QuadVertex*>(data);
    }
}

void BitmapFont::WriteQuad(const Glyph& glyph, float pen, float y, float z, uint32_t colourTop,
                           uint32_t colourBottom, float scale) {
    if (writePointer == nullptr || batchCount >= kMostQuads || pageWidth <= 0 || pageHeight <= 0) {
        return;
    }
    const float w = static_cast<float>(glyph.width) * scale;
    const float h = static_cast<float>(lineHeight) * scale;
    const auto texelsWide = static_cast<float>(pageWidth);
    const auto texelsHigh = static_cast<float>(pageHeight);
    const float uLeft = static_cast<float>(glyph.x) / texelsWide;
    const float vTop = static_cast<float>(glyph.y) / texelsHigh;
    const float uRight = uLeft + static_cast<float>(glyph.width) / texelsWide;
    const float vBottom = vTop + static_cast<float>(lineHeight) / texelsHigh;
    // Half a pixel back, as every quad of the renderer, so texels land on their pixels.
    const float left = pen - 0.5f;
    const float top = y - 0.5f;
    QuadVertex* quad = writePointer + static_cast<std::size_t>(batchCount) * 4;
    quad[0] = QuadVertex{left, top + h, z, colourBottom, uLeft, vBottom};
    quad[1] = QuadVertex{left, top, z, colourTop, uLeft, vTop};
    quad[2] = QuadVertex{left + w, top + h, z, colourBottom, uRight, vBottom};
    quad[3] = QuadVertex{left + w, top, z, colourTop, uRight, vTop};
    ++batchCount;
}

void BitmapFont::EndDraw() {
    if (pages.empty() || !drawing) {
        return;
    }
    const ProfileScope profile("BitmapFont::EndDraw");
    drawing = false;
    GraphicsDevice* device = Renderer::State().device.get();
    if (device == nullptr || !vertexBuffer) {
        return;
    }
    if (writePointer != nullptr) {
        vertexBuffer->Unlock();
        writePointer = nullptr;
        for (uint32_t glyph = 0; glyph < batchCount; ++glyph) {
            device->DrawPrimitive(PrimitiveType::TriangleStrip, glyph * 4, 2);
        }
    }
    device->SetStreamSource(0, nullptr, kStride);
    Renderer::RestoreStreamSource();
    Renderer::ResetTexture();
}

void BitmapFont::ReleaseAllVertexBuffers() {
    for (BitmapFont* font = firstFont; font != nullptr; font = font->next) {
        font->vertexBuffer.reset();
    }
}

void BitmapFont::RestoreAllVertexBuffers() {
    for (BitmapFont* font = firstFont; font != nullptr; font = font->next) {
        font->CreateVertexBuffer();
    }
}
