#include "media/BitmapFont.h"

#include "engine/Application.h"
#include "media/StringTable.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

class BitmapFontTest : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        InitRenderer();
    }

    // A font of one 64 x 16 page with these ".fnt" records.
    std::unique_ptr<BitmapFont> FontWith(const std::string& records) {
        folder.Write("f.png", PngFile(SolidImage(64, 16, 0xFFFFFFFFu)));
        folder.Write("f.fnt", records);
        auto font = std::make_unique<BitmapFont>();
        font->Load("f");
        return font;
    }

    std::unique_ptr<BitmapFont> TestFont() {
        WriteFontPage(folder, "gfx/fonts/test", TestFontPage());
        auto font = std::make_unique<BitmapFont>();
        EXPECT_EQ(font->Load("gfx/fonts/test"), 1);
        return font;
    }
};

// A font named to be loaded when used reads its files at its first use, once.
TEST_F(BitmapFontTest, AFontLoadedWhenUsedIsReadAtItsFirstUse) {
    FontSlot slot;
    slot.LoadWhenUsed("gfx/fonts/late");
    EXPECT_FALSE(slot == nullptr);
    WriteFontPage(folder, "gfx/fonts/late", TestFontPage());
    BitmapFont* const font = slot.get();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Pages().size(), 1u);
    EXPECT_NE(font->FindGlyph(u'A'), nullptr);
    EXPECT_EQ(slot.get(), font);
    slot.reset();
    EXPECT_TRUE(slot == nullptr);
}

// ---------------------------------------------------------------------------------------------
// Font files

struct GlyphExpectation {
    char16_t code;
    std::optional<Glyph> glyph; // none: the font has no glyph for the code
};

struct FontFileCase {
    const char* name;
    std::string records;
    std::vector<GlyphExpectation> glyphs;
    int32_t lineHeight;
    float spacing;
    const char* logged; // a part of the log, or "" for no log at all
};

void PrintTo(const FontFileCase& c, std::ostream* out) {
    *out << c.name;
}

class FontFiles : public BitmapFontTest, public testing::WithParamInterface<FontFileCase> {};

TEST_P(FontFiles, ReadAsTheRecordsSay) {
    const FontFileCase& c = GetParam();
    const LogCapture log;
    const std::unique_ptr<BitmapFont> font = FontWith(c.records);
    for (const GlyphExpectation& expected : c.glyphs) {
        SCOPED_TRACE(static_cast<int>(expected.code));
        const Glyph* glyph = font->FindGlyph(expected.code);
        ASSERT_EQ(glyph != nullptr, expected.glyph.has_value());
        if (glyph != nullptr) {
            EXPECT_EQ(glyph->x, expected.glyph->x);
            EXPECT_EQ(glyph->y, expected.glyph->y);
            EXPECT_EQ(glyph->width, expected.glyph->width);
            EXPECT_EQ(glyph->page, expected.glyph->page);
        }
    }
    EXPECT_EQ(font->LineHeight(), c.lineHeight);
    EXPECT_EQ(font->Spacing(), c.spacing);
    const std::string text = log.Text();
    if (std::string(c.logged).empty()) {
        EXPECT_EQ(text.find("glyph"), std::string::npos) << text;
    } else {
        EXPECT_THAT(text, HasSubstr(c.logged));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontFiles,
    testing::Values(
        FontFileCase{"plain records",
                     "65 A 1 2 7 12\n66 B 9 2 8 12\n",
                     {{u'A', Glyph{65, 1, 2, 7, 0}}, {u'B', Glyph{66, 9, 2, 8, 0}}, {u'Z', {}}},
                     12,
                     0.0f,
                     ""},
        FontFileCase{"spacing word between records",
                     "65 A 0 0 5 10 spacing 2 66 B 5 0 6 11",
                     {{u'A', Glyph{65, 0, 0, 5, 0}}, {u'B', Glyph{66, 5, 0, 6, 0}}},
                     10,
                     2.0f,
                     ""},
        FontFileCase{"the first nonzero height decides the line height",
                     "65 A 0 0 5 0\n66 B 5 0 6 14\n67 C 11 0 6 20\n",
                     {{u'C', Glyph{67, 11, 0, 6, 0}}},
                     14,
                     0.0f,
                     ""},
        FontFileCase{"the glyph's own character may take several bytes",
                     "233 \xC3\xA9 3 4 6 9\n",
                     {{u'\u00E9', Glyph{233, 3, 4, 6, 0}}},
                     9,
                     0.0f,
                     ""},
        FontFileCase{"a width over 255 is skipped",
                     "65 A 0 0 256 10\n66 B 0 0 255 10\n",
                     {{u'A', {}}, {u'B', Glyph{66, 0, 0, 255, 0}}},
                     10,
                     0.0f,
                     "f.fnt: glyph 65 skipped: it is wider than 255"},
        FontFileCase{"a negative width is skipped",
                     "65 A 0 0 -4 10\n",
                     {{u'A', {}}},
                     0,
                     0.0f,
                     "glyph 65 skipped: its size is negative"},
        FontFileCase{"a negative height is skipped and sets no line height",
                     "65 A 0 0 4 -10\n66 B 0 0 4 8\n",
                     {{u'A', {}}, {u'B', Glyph{66, 0, 0, 4, 0}}},
                     8,
                     0.0f,
                     "glyph 65 skipped: its size is negative"},
        FontFileCase{"coordinates beyond 16 bits are skipped",
                     "65 A 40000 0 4 8\n66 B 0 -32769 4 8\n67 C -32768 32767 4 8\n",
                     {{u'A', {}}, {u'B', {}}, {u'C', Glyph{67, -32768, 32767, 4, 0}}},
                     8,
                     0.0f,
                     "glyph 66 skipped: its cell lies beyond 16-bit coordinates"},
        FontFileCase{
            "codes outside 16 bits are skipped",
            "70000 x 0 0 4 8\n-1 y 0 0 4 8\n65535 z 1 1 4 8\n",
            {{u'\xFFFF', Glyph{65535, 1, 1, 4, 0}}, {static_cast<char16_t>(70000 & 0xFFFF), {}}},
            8,
            0.0f,
            "glyph 70000 skipped: its code is outside 0..65535"},
        FontFileCase{"a number too large for any field ends in the spacing rule",
                     "65 A 0 0 4 8 99999999999999999999 3 66 B 4 0 4 8\n",
                     {{u'A', Glyph{65, 0, 0, 4, 0}}, {u'B', Glyph{66, 4, 0, 4, 0}}},
                     8,
                     3.0f,
                     ""},
        FontFileCase{"a setting without an integer ends the reading",
                     "65 A 0 0 4 8\nspacing wide\n66 B 4 0 4 8\n",
                     {{u'A', Glyph{65, 0, 0, 4, 0}}, {u'B', {}}},
                     8,
                     0.0f,
                     ""},
        FontFileCase{"a record cut short by the end is dropped",
                     "65 A 0 0 4 8\n66 B 4 0",
                     {{u'A', Glyph{65, 0, 0, 4, 0}}, {u'B', {}}},
                     8,
                     0.0f,
                     ""},
        FontFileCase{"a width of zero is no glyph", "65 A 0 0 0 8\n", {{u'A', {}}}, 8, 0.0f, ""}));

TEST_F(BitmapFontTest, LettersBorrowTheGlyphOfTheOtherCase) {
    const std::unique_ptr<BitmapFont> font =
        FontWith("65 A 1 0 5 8\n98 b 7 0 6 8\n67 C 20 0 3 8\n99 c 30 0 4 8\n");
    struct Case {
        char16_t letter;
        int16_t x;
        uint8_t width;
    };
    for (const Case c :
         {Case{u'a', 1, 5}, Case{u'B', 7, 6}, Case{u'C', 20, 3}, Case{u'c', 30, 4}}) {
        SCOPED_TRACE(static_cast<char>(c.letter));
        const Glyph* glyph = font->FindGlyph(c.letter);
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(glyph->x, c.x);
        EXPECT_EQ(glyph->width, c.width);
    }
    EXPECT_EQ(font->FindGlyph(u'd'), nullptr);
    EXPECT_EQ(font->FindGlyph(u'D'), nullptr);
}

TEST_F(BitmapFontTest, PagesFollowOneAnotherWhileTheirImagesExist) {
    folder.Write("m.png", PngFile(SolidImage(64, 32, 0xFFFFFFFFu)));
    folder.Write("m.fnt", "65 A 0 0 4 8\n");
    folder.Write("m1.png", PngFile(SolidImage(128, 64, 0xFFFFFFFFu)));
    folder.Write("m1.fnt", "66 B 0 0 5 8\n98 b 8 0 5 8\n");
    folder.Write("m2.fnt", "67 C 0 0 6 8\n"); // no image: not a page
    folder.Write("m3.png", PngFile(SolidImage(8, 8, 0xFFFFFFFFu)));
    BitmapFont font;
    EXPECT_EQ(font.Load("m"), 2);
    ASSERT_EQ(font.Pages().size(), 2u);
    EXPECT_EQ(font.FindGlyph(u'A')->page, 0);
    EXPECT_EQ(font.FindGlyph(u'B')->page, 1);
    EXPECT_EQ(font.FindGlyph(u'a')->page, 0);
    EXPECT_EQ(font.FindGlyph(u'C'), nullptr);
}

TEST_F(BitmapFontTest, AMissingPageImageOrGlyphFileLeavesTheRestUsable) {
    const LogCapture log;
    folder.Write("n.fnt", "65 A 0 0 4 8\n");
    folder.Write("n1.png", PngFile(SolidImage(16, 16, 0xFFFFFFFFu)));
    BitmapFont font;
    EXPECT_EQ(font.Load("n"), 1);
    EXPECT_THAT(log.Text(), HasSubstr("Could not load texture: n.png"));
    // Page 0 keeps its place, so page 1 stays page 1; its glyphs are simply missing.
    ASSERT_EQ(font.Pages().size(), 2u);
    EXPECT_FALSE(font.Pages()[0].valid);
    EXPECT_TRUE(font.Pages()[1].valid);
    EXPECT_NE(font.FindGlyph(u'A'), nullptr);
    EXPECT_EQ(font.FindGlyph(u'B'), nullptr);
}

TEST_F(BitmapFontTest, DestroyingTheFontGivesItsPagesBack) {
    auto font = TestFont();
    TextureEntry* page = font->Pages()[0].entry;
    EXPECT_EQ(page->referenceCount, 1);
    font.reset();
    EXPECT_EQ(page->referenceCount, 0);
}

// ---------------------------------------------------------------------------------------------
// Measuring

TEST_F(BitmapFontTest, TextRectAddsAdvancesLessOneSpacing) {
    StringTable::Clear();
    folder.Write("strings-utf8.txt", "(str.ab \"AB\")\n");
    StringTable::Load();
    const std::unique_ptr<BitmapFont> font = TestFont(); // A 4, B 6, C 5, space 3, spacing 1
    struct Case {
        const char* text;
        float scale;
        float width;
    };
    const Case cases[] = {
        {"", 1.0f, -1.0f},    {"A", 1.0f, 4.0f},    {"AB", 1.0f, 11.0f},
        {"A B", 1.0f, 15.0f}, {"AxB", 1.0f, 11.0f}, {"A\xC3\xA9", 1.0f, 4.0f},
        {"AB", 2.0f, 22.0f},  {"a", 1.0f, 4.0f},    {"str.ab", 1.0f, 11.0f},
        {"ABC", 0.5f, 8.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TextRectangle rect = font->TextRect(c.text, 100.0f, 50.0f, c.scale);
        EXPECT_FLOAT_EQ(rect.left, 100.0f);
        EXPECT_FLOAT_EQ(rect.right - rect.left, c.width);
        EXPECT_FLOAT_EQ(rect.top, 50.0f);
        EXPECT_FLOAT_EQ(rect.bottom, 50.0f + 8.0f * c.scale);
    }
}

TEST_F(BitmapFontTest, OnlyTheFirstCharactersOfALongTextCount) {
    const std::unique_ptr<BitmapFont> font = TestFont();
    const std::string text(BitmapFont::kMostCharacters + 100, 'A');
    const TextRectangle rect = font->TextRect(text, 0, 0, 1.0f);
    EXPECT_FLOAT_EQ(rect.right, 5.0f * BitmapFont::kMostCharacters - 1.0f);
}

// ---------------------------------------------------------------------------------------------
// Drawing

TEST_F(BitmapFontTest, DrawWritesOneStripPerGlyphIntoItsOwnBuffer) {
    const std::unique_ptr<BitmapFont> font = TestFont();
    script.calls.clear();
    script.draws.clear();
    font->DrawTextEx("AxB", 10.0f, 20.0f, 5.0f, kRed, kBlue, 2.0f);

    EXPECT_THAT(script.calls,
                ElementsAre(testing::StartsWith("SetTexture 0 #"), "SetStreamSource 0 buffer 24",
                            "SetVertexShader 142", "Lock 0 0 Discard", "Unlock",
                            "DrawPrimitive TriangleStrip 0 2", "DrawPrimitive TriangleStrip 4 2",
                            "SetStreamSource 0 none 24", "SetStreamSource 0 buffer 24",
                            "SetTexture 0 #0"));
    ASSERT_EQ(script.draws.size(), 2u);
    // 'A' at the pen, then 'B' after A's advance (4 + 1) x 2; the unknown 'x' adds nothing.
    struct Corner {
        float x, y, u, v;
        uint32_t colour;
    };
    const float a = 4.0f / 32.0f;
    const Corner expectedA[4] = {{9.5f, 35.5f, 0.0f, 1.0f, kBlue},
                                 {9.5f, 19.5f, 0.0f, 0.0f, kRed},
                                 {17.5f, 35.5f, a, 1.0f, kBlue},
                                 {17.5f, 19.5f, a, 0.0f, kRed}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const GfxVertex& vertex = script.draws[0].vertices[i];
        EXPECT_FLOAT_EQ(vertex.x, expectedA[i].x);
        EXPECT_FLOAT_EQ(vertex.y, expectedA[i].y);
        EXPECT_FLOAT_EQ(vertex.z, 5.0f);
        EXPECT_FLOAT_EQ(vertex.u, expectedA[i].u);
        EXPECT_FLOAT_EQ(vertex.v, expectedA[i].v);
        EXPECT_EQ(vertex.diffuse, expectedA[i].colour);
    }
    const GfxVertex& bTopRight = script.draws[1].vertices[3];
    EXPECT_FLOAT_EQ(bTopRight.x, 10.0f + 10.0f + 12.0f - 0.5f);
    EXPECT_FLOAT_EQ(bTopRight.u, 10.0f / 32.0f);
    EXPECT_NE(script.draws[0].texture, 0);
}

TEST_F(BitmapFontTest, EachPageDrawsItsOwnGlyphsWithTheWholeTextsAdvances) {
    folder.Write("p.png", PngFile(SolidImage(32, 8, 0xFFFFFFFFu)));
    folder.Write("p.fnt", "65 A 0 0 4 8\n");
    folder.Write("p1.png", PngFile(SolidImage(32, 8, 0xFFFFFFFFu)));
    folder.Write("p1.fnt", "66 B 8 0 6 8\n");
    BitmapFont font;
    ASSERT_EQ(font.Load("p"), 2);
    script.draws.clear();
    font.DrawText("BA", 0.0f, 0.0f, 0.0f, kRed);
    ASSERT_EQ(script.draws.size(), 2u);
    // Page 0 first: its 'A' comes after the 'B' of page 1.
    EXPECT_FLOAT_EQ(script.draws[0].vertices[0].x, 6.0f - 0.5f);
    EXPECT_FLOAT_EQ(script.draws[1].vertices[0].x, -0.5f);
    EXPECT_NE(script.draws[0].texture, script.draws[1].texture);
}

TEST_F(BitmapFontTest, NothingIsDrawnForEmptyOverlongOrSwitchedOffText) {
    const std::unique_ptr<BitmapFont> font = TestFont();
    script.draws.clear();
    font->DrawText("", 0, 0, 0, kRed);
    font->DrawText(std::string(BitmapFont::kMostDrawnBytes + 1, 'A'), 0, 0, 0, kRed);
    App.renderFonts = false;
    font->DrawText("AB", 0, 0, 0, kRed);
    EXPECT_THAT(script.draws, IsEmpty());
    // Measuring goes on with the fonts switched off.
    EXPECT_FLOAT_EQ(font->TextRect("AB", 0, 0, 1.0f).right, 11.0f);

    App.renderFonts = true;
    font->DrawText(std::string(BitmapFont::kMostDrawnBytes, 'A'), 0, 0, 0, kRed);
    EXPECT_EQ(script.draws.size(), static_cast<std::size_t>(BitmapFont::kMostCharacters));
}

TEST_F(BitmapFontTest, ALostDeviceTakesTheBuffersAwayAndGivesThemBackEmpty) {
    const std::unique_ptr<BitmapFont> first = TestFont();
    BitmapFont second;
    EXPECT_TRUE(first->HasVertexBuffer());
    BitmapFont::ReleaseAllVertexBuffers();
    EXPECT_FALSE(first->HasVertexBuffer());
    script.draws.clear();
    first->DrawText("AB", 0, 0, 0, kRed); // harmless without a buffer
    EXPECT_THAT(script.draws, IsEmpty());

    script.calls.clear();
    BitmapFont::RestoreAllVertexBuffers();
    EXPECT_EQ(script.CallsStartingWith("CreateVertexBuffer 1572864 142").size(), 2u);
    EXPECT_TRUE(first->HasVertexBuffer());
    first->DrawText("AB", 0, 0, 0, kRed);
    EXPECT_EQ(script.draws.size(), 2u);
}

TEST_F(BitmapFontTest, AFailedBufferLockDrawsNothingAndRestoresTheRenderer) {
    const std::unique_ptr<BitmapFont> font = TestFont();
    script.failVertexLocks = 1;
    script.calls.clear();
    script.draws.clear();
    font->DrawText("AB", 0, 0, 0, kRed);
    EXPECT_THAT(script.draws, IsEmpty());
    EXPECT_EQ(script.calls.back(), "SetTexture 0 #0");
    EXPECT_THAT(script.calls, testing::Contains("SetStreamSource 0 none 24"));
}

} // namespace
