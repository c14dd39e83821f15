#include "media/TextRenderSystem.h"

#include "engine/FourCC.h"
#include "media/BitmapFont.h"
#include "media/StringTable.h"
#include "tests/media/RenderSceneFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// The glyph quads of one draw: where each glyph's top-left corner landed.
struct GlyphSpot {
    float x, y;
    uint32_t colour;
};

class TextRenderSystemTest : public RenderSceneTest {
protected:
    void SetUp() override {
        RenderSceneTest::SetUp();
        // The tests' font: A 4, B 6, C 5, space 3 wide, spacing 1, line height 8.
        WriteFontPage(folder, "gfx/fonts/main", TestFontPage());
        MainFont = std::make_unique<BitmapFont>();
        MainFont->Load("gfx/fonts/main");
        CutsceneFont = std::make_unique<BitmapFont>();
        CutsceneFont->Load("gfx/fonts/main");
        system = scene->FindSystem(FourCC("TEXT"));
    }

    Object* Text(const std::string& keys) {
        return Add("(thing (POSI (position 100 200)) (TEXT " + keys + "))");
    }

    static TextRenderChunk& TextOf(Object* object) {
        return ChunkOf<TextRenderChunk>(object, "TEXT");
    }

    // The lines of a laid-out text, as texts.
    static std::vector<std::string> LinesOf(const TextRenderChunk& chunk) {
        std::vector<std::string> lines;
        for (const TextRenderChunk::Line& line : chunk.Lines()) {
            lines.emplace_back(chunk.LaidOutText().substr(line.first, line.end - line.first));
        }
        return lines;
    }

    std::vector<GlyphSpot> Glyphs() const {
        std::vector<GlyphSpot> spots;
        for (const RecordedDraw& draw : script.draws) {
            // The strip's second vertex is the glyph's top-left corner.
            spots.push_back(
                {draw.vertices[1].x + 0.5f, draw.vertices[1].y + 0.5f, draw.vertices[1].diffuse});
        }
        return spots;
    }

    System* system = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Layout

struct WrapCase {
    const char* name;
    float width;
    std::string text;
    std::vector<std::string> lines;
};

void PrintTo(const WrapCase& c, std::ostream* out) {
    *out << c.name;
}

class Wrapping : public TextRenderSystemTest, public testing::WithParamInterface<WrapCase> {};

TEST_P(Wrapping, BreaksTheTextIntoLines) {
    const WrapCase& c = GetParam();
    TextRenderChunk& chunk = TextOf(Text("(text \"\")"));
    chunk.text = c.text;
    chunk.wrapWidth = c.width;
    chunk.Layout();
    EXPECT_THAT(LinesOf(chunk), ElementsAreArray(c.lines));
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += (i > 0 ? " " : "") + piece;
    }
    return text;
}

// Widths: "AB" 11, "AB AB" 27, "AB AB AB" 43, "AAAAAAAA" 39.
INSTANTIATE_TEST_SUITE_P(
    Cases, Wrapping,
    testing::Values(
        WrapCase{"fits on one line", 100.0f, "AB AB", {"AB AB"}},
        WrapCase{"breaks at the last space that fits", 30.0f, "AB AB AB", {"AB AB", "AB"}},
        WrapCase{"exactly the width still fits", 27.0f, "AB AB AB", {"AB AB", "AB"}},
        WrapCase{"one word a line", 12.0f, "AB AB AB", {"AB", "AB", "AB"}},
        WrapCase{"a bar always breaks", 100.0f, "AB|AB", {"AB", "AB"}},
        WrapCase{"a bar and a wrap", 20.0f, "AB AB|AB", {"AB", "AB", "AB"}},
        WrapCase{"an over-long first word stands alone", 20.0f, "AAAAAAAA B", {"AAAAAAAA", "B"}},
        WrapCase{"an over-long word in the middle", 20.0f, "A AAAAAAAA B", {"A", "AAAAAAAA", "B"}},
        WrapCase{"an over-long last word", 20.0f, "A AAAAAAAA", {"A", "AAAAAAAA"}},
        WrapCase{"a single over-long word", 10.0f, "AAAAAAAA", {"AAAAAAAA"}},
        WrapCase{"an empty text", 10.0f, "", {""}},
        WrapCase{"more lines than the old table held", 5.0f, Repeated("A", 45),
                 std::vector<std::string>(45, "A")}));

TEST_F(TextRenderSystemTest, TheLaidOutSizeIsTheWrapWidthOrTheOneLinesWidth) {
    TextRenderChunk& chunk = TextOf(Text("(text \"AB AB AB\") (width 30)"));
    chunk.Layout();
    EXPECT_FLOAT_EQ(chunk.laidOutWidth, 30.0f);
    EXPECT_FLOAT_EQ(chunk.laidOutHeight, 16.0f);
    chunk.text = "AB AB";
    chunk.scale = 2.0f;
    chunk.wrapWidth = 100.0f;
    chunk.Layout();
    EXPECT_FLOAT_EQ(chunk.laidOutWidth, 54.0f);
    EXPECT_FLOAT_EQ(chunk.laidOutHeight, 16.0f);
}

TEST_F(TextRenderSystemTest, AKeyIsTranslatedBeforeItIsLaidOut) {
    folder.Write("strings-utf8.txt", "(str.long \"AB AB AB\")\n");
    StringTable::Load();
    TextRenderChunk& chunk = TextOf(Text("(text str.long) (width 30)"));
    chunk.Layout();
    EXPECT_THAT(LinesOf(chunk), ElementsAre("AB AB", "AB"));
}

// ---------------------------------------------------------------------------------------------
// Drawing

TEST_F(TextRenderSystemTest, WrappedLinesDrawOneLineHeightApart) {
    TextRenderChunk& chunk = TextOf(Text("(text \"AB AB|C\") (width 20) (shift 1 2)"));
    chunk.extraYOffset = 50.0f; // one-line texts only
    script.draws.clear();
    chunk.Draw(TextPass::Main);
    const std::vector<GlyphSpot> spots = Glyphs();
    ASSERT_EQ(spots.size(), 5u);
    EXPECT_FLOAT_EQ(spots[0].x, 101.0f);
    EXPECT_FLOAT_EQ(spots[0].y, 202.0f);
    EXPECT_FLOAT_EQ(spots[1].x, 106.0f);
    EXPECT_FLOAT_EQ(spots[2].y, 210.0f);
    EXPECT_FLOAT_EQ(spots[4].x, 101.0f);
    EXPECT_FLOAT_EQ(spots[4].y, 218.0f);
}

TEST_F(TextRenderSystemTest, ColourAndAlphaGoToEveryCorner) {
    TextRenderChunk& chunk = TextOf(Text("(text A) (color 255 0 0)"));
    EXPECT_EQ(chunk.colour, 0xFFFF0000u);
    struct Case {
        float alpha;
        uint32_t colour;
    };
    for (const Case c : {Case{1.0f, 0xFFFF0000u}, Case{2.0f, 0xFFFF0000u}, Case{0.5f, 0x80FF0000u},
                         Case{-1.0f, 0x00FF0000u}}) {
        SCOPED_TRACE(c.alpha);
        chunk.alpha = c.alpha;
        script.draws.clear();
        chunk.Draw(TextPass::Main);
        ASSERT_EQ(script.draws.size(), 1u);
        for (const GfxVertex& vertex : script.draws[0].vertices) {
            EXPECT_EQ(vertex.diffuse, c.colour);
        }
    }
    // Only the low byte of each channel counts.
    EXPECT_EQ(TextOf(Text("(color 256 513 -1)")).colour, 0xFF0001FFu);
}

struct AlignCase {
    int32_t align;
    TextPass pass;
    float scale;
    float x, y; // where the first glyph's top-left corner lands
};

TEST_F(TextRenderSystemTest, AlignmentPlacesTheTextByPass) {
    // "AB" is 11 wide and 8 tall; at scale 1.5, 16.5 wide and 12 tall. The shift is (0, 6).
    const AlignCase cases[] = {
        {0, TextPass::Main, 1.0f, 100.0f, 206.0f},
        {1, TextPass::Main, 1.0f, 94.0f, 206.0f}, // -5.5 floored
        {2, TextPass::Main, 1.0f, 89.0f, 206.0f}, // ends at the position
        {3, TextPass::Main, 1.0f, 94.0f, 205.0f}, // (shift - height) / 2 = -1
        {3, TextPass::Post, 1.0f, 89.0f, 198.0f}, // -width, -height
        {3, TextPass::AfterAll, 1.0f, 89.0f, 198.0f},
        {1, TextPass::Post, 1.5f, 91.75f, 206.0f}, // not floored away from scale 1
        {7, TextPass::Main, 1.0f, 100.0f, 206.0f},
    };
    for (const AlignCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "align " << c.align << " pass "
                                        << static_cast<int>(c.pass) << " scale " << c.scale);
        TextRenderChunk& chunk = TextOf(Text("(text AB) (shift 0 6)"));
        chunk.align = c.align;
        chunk.scale = c.scale;
        script.draws.clear();
        chunk.Draw(c.pass);
        const std::vector<GlyphSpot> spots = Glyphs();
        ASSERT_EQ(spots.size(), 2u);
        EXPECT_FLOAT_EQ(spots[0].x, c.x);
        EXPECT_FLOAT_EQ(spots[0].y, c.y);
    }
}

TEST_F(TextRenderSystemTest, EachPassDrawsTheTextsMarkedForItByDepth) {
    TextOf(Text("(text A)")).position->x = 10.0f;
    TextOf(Text("(text A) (zOrder 700)")).position->x = 20.0f;
    TextOf(Text("(text A) (postRender 1)")).position->x = 30.0f;
    TextOf(Text("(text A) (afterAllRender 1)")).position->x = 40.0f;
    TextOf(Text("(text A) (postRender 1) (afterAllRender 1)")).position->x = 50.0f;
    TextOf(Text("(text A)")).visible = false;
    const auto drawn = [&](const std::function<void()>& pass) {
        script.draws.clear();
        pass();
        std::vector<int> xs;
        for (const GlyphSpot& spot : Glyphs()) {
            xs.push_back(static_cast<int>(spot.x));
        }
        return xs;
    };
    EXPECT_THAT(drawn([&] { system->Render(); }), ElementsAre(20, 10));
    EXPECT_THAT(drawn([&] { system->PostRender(); }), ElementsAre(30, 50));
    EXPECT_THAT(drawn([&] { system->AfterRender(); }), ElementsAre(40, 50));
    EXPECT_THAT(drawn([&] { system->PreRender(); }), IsEmpty());
}

TEST_F(TextRenderSystemTest, FontNamesPickTheGamesFonts) {
    MenuFont = std::make_unique<BitmapFont>();
    EXPECT_EQ(TextOf(Text("(text A)")).font, MainFont.get());
    EXPECT_EQ(TextOf(Text("(fontName cutscene)")).font, CutsceneFont.get());
    EXPECT_NE(CutsceneFont.get(), MainFont.get());
    EXPECT_EQ(TextOf(Text("(fontName menu)")).font, MenuFont.get());
    TextRenderChunk& kept = TextOf(Text("(fontName menu) (fontName fancy)"));
    EXPECT_EQ(kept.font, MenuFont.get());
    EXPECT_EQ(kept.fontName, "fancy");
}

TEST_F(TextRenderSystemTest, KeysAreReadIntoTheChunk) {
    const TextRenderChunk& chunk =
        TextOf(Text("(text \"Hello there\") (width 120) (shift 3 4) (zOrder 10) (alpha 0.25)"
                    " (scale 2) (align 2) (postRender 1) (afterAllRender 1) (preRender 1)"));
    EXPECT_EQ(chunk.text, "Hello there");
    EXPECT_FLOAT_EQ(chunk.wrapWidth, 120.0f);
    EXPECT_FLOAT_EQ(chunk.shiftX, 3.0f);
    EXPECT_FLOAT_EQ(chunk.shiftY, 4.0f);
    EXPECT_FLOAT_EQ(chunk.zOrder, 10.0f);
    EXPECT_FLOAT_EQ(chunk.alpha, 0.25f);
    EXPECT_FLOAT_EQ(chunk.scale, 2.0f);
    EXPECT_FLOAT_EQ(chunk.baseScale, 2.0f);
    EXPECT_EQ(chunk.align, 2);
    EXPECT_TRUE(chunk.postRender);
    EXPECT_TRUE(chunk.afterAllRender);
    const TextRenderChunk& plain = TextOf(Text("(text x)"));
    EXPECT_FLOAT_EQ(plain.zOrder, 800.0f);
    EXPECT_FLOAT_EQ(plain.wrapWidth, -1.0f);
    EXPECT_EQ(plain.colour, 0xFFFFFFFFu);
}

TEST_F(TextRenderSystemTest, WithoutAFontNothingIsDrawnOrLaidOut) {
    MainFont.reset();
    TextRenderChunk& chunk = TextOf(Text("(text \"AB AB\") (width 5)"));
    EXPECT_EQ(chunk.font, nullptr);
    script.draws.clear();
    system->Render();
    chunk.Layout();
    EXPECT_THAT(script.draws, IsEmpty());
    EXPECT_THAT(chunk.Lines(), IsEmpty());
}

} // namespace
