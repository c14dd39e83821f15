// The widgets that need a font: text buttons, measured and drawn in the tests' bitmap font, and
// frames, drawn around their text on the recording graphics device.

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "mainloop/MainLoop.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/TextRenderSystem.h"
#include "media/TextureManager.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Seams.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/ui/UiFixture.h"
#include "ui/UIButton.h"
#include "ui/UILabel.h"

#include <memory>

namespace {

class TextWidgets : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ResetMedia();
        UseRecordingGraphics(script);
        Seams().desktop = DesktopMode{1920, 1080, false};
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
        WriteFontPage(folder, "data/gfx/fonts/menu", TestFontPage());
        MenuFont = std::make_unique<BitmapFont>();
        MenuFont->Load("gfx/fonts/menu");
        // A page of its own, so that its glyphs are told apart by their texture.
        WriteFontPage(folder, "data/gfx/fonts/menu_hi", TestFontPage());
        MenuHiFont = std::make_unique<BitmapFont>();
        MenuHiFont->Load("gfx/fonts/menu_hi");
        WriteData("gfx/interface/cutscene_frame.jpg", JpegFile(SolidImage(64, 64, 0xFF808080u)));
        WriteData("scripts/ui_objects.txt",
                  "(Final (Word UITextButton (POSI) (KEYB) (TEXT (fontName menu)) (COLI))"
                  "       (UIFrame (POSI) (TEXT (fontName menu))))");
    }
    void TearDown() override {
        UiTest::TearDown();
        ResetMedia();
    }

    template <typename T>
    static T& First(UserInterface& layer) {
        return dynamic_cast<T&>(*layer.Objects()[0]);
    }
    static TextRenderChunk& Text(Object& object) {
        return object.RequireChunk<TextRenderChunk>(FourCC("TEXT"));
    }
    static CollisionChunk& Region(Object& object) {
        return object.RequireChunk<CollisionChunk>(FourCC("COLI"));
    }
    // The quads drawn by one frame of the layer with this texture.
    std::vector<RecordedDraw> DrawsOf(UserInterface& layer, const GfxTexture* texture) {
        script.draws.clear();
        layer.Render();
        layer.PostRender();
        std::vector<RecordedDraw> drawn;
        for (const RecordedDraw& draw : script.draws) {
            if (draw.texture == RecordedTextureId(texture)) {
                drawn.push_back(draw);
            }
        }
        return drawn;
    }

    RecordingScript script;
};

TEST_F(TextWidgets, TextButtonKeysAreRead) {
    WriteScreen("t", "(Word (TEXT (text A)) (Data (textSource NAME) (hilightColor 300 20 10) "
                     "(updateRegion 0) (fadeInStart 1) (fadeInTime 2) (fadeOutStart 5) "
                     "(fadeOutTime 3)))"
                     "(Word (TEXT (text A)))");
    UserInterface& layer = Layer(mui, "t");
    const auto& given = dynamic_cast<UITextButton&>(*layer.Objects()[0]);
    EXPECT_EQ(given.textSource, FourCC("NAME"));
    EXPECT_EQ(given.highlightColour, 0xFF2C140Au); // each value cut to its low 8 bits
    EXPECT_TRUE(given.highlightGiven);
    EXPECT_FALSE(given.updateRegion);
    EXPECT_FLOAT_EQ(given.fades.inStart, 1.0f);
    EXPECT_FLOAT_EQ(given.fades.outTime, 3.0f);
    const auto& plain = dynamic_cast<UITextButton&>(*layer.Objects()[1]);
    EXPECT_EQ(plain.textSource, 0u);
    EXPECT_FALSE(plain.highlightGiven);
    EXPECT_TRUE(plain.updateRegion);
    EXPECT_EQ(plain.hoverSound, "ui_hover");
    EXPECT_EQ(plain.clickSound, "ui_click");
}

TEST_F(TextWidgets, RegionFromTextFollowsTheAlignmentAndTakesTheClicks) {
    struct Case {
        int align;
        float left;
    };
    // "ABC" in the tests' font is 17 wide and 8 high; centred, its left edge is -floor(8.5).
    const Case cases[] = {{0, 0.0f}, {1, -8.0f}, {2, -17.0f}, {3, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        events.clear();
        WriteScreen("t", "(Word (POSI (position 100 100)) (TEXT (text ABC) (align " +
                             std::to_string(c.align) +
                             ")) (Data (clickEvent BGO) (regionFromText)))");
        UserInterface& layer = Layer(mui, "t");
        const CollisionChunk& region = Region(First<UITextButton>(layer));
        EXPECT_FLOAT_EQ(region.left, c.left);
        EXPECT_FLOAT_EQ(region.right, c.left + 17.0f);
        EXPECT_FLOAT_EQ(region.top, 0.0f);
        EXPECT_FLOAT_EQ(region.bottom, 8.0f);
        ClickAt(layer, 100 + c.left + 20, 104); // just right of the text
        ClickAt(layer, 100 + c.left + 1, 104);  // on its first letter
        layer.Update(kStepTime);
        EXPECT_EQ(events, (std::vector<std::string>{"BGO"}));
    }
}

TEST_F(TextWidgets, ATextFromTheLayerReplacesTheTextAndItsRegion) {
    WriteScreen("t", "(Word (POSI (position 100 100)) (TEXT (text A)) "
                     "(Data (textSource NAME) (regionFromText)))"
                     "(Word (POSI (position 100 200)) (TEXT (text A)) "
                     "(Data (textSource NAME) (regionFromText) (updateRegion 0)))");
    UserInterface& layer = Layer(mui, "t");
    data[FourCC("NAME")] = "ABC";
    layer.Update(kStepTime);
    auto& updated = dynamic_cast<UITextButton&>(*layer.Objects()[0]);
    auto& fixed = dynamic_cast<UITextButton&>(*layer.Objects()[1]);
    EXPECT_EQ(Text(updated).text, "ABC");
    EXPECT_EQ(Text(fixed).text, "ABC");
    EXPECT_FLOAT_EQ(Region(updated).right, 17.0f);
    EXPECT_FLOAT_EQ(Region(fixed).right, 4.0f); // still the width of "A"
}

TEST_F(TextWidgets, HoverChangesColourAndFontAndLeavingChangesThemBack) {
    struct Case {
        const char* what;
        const char* highlight;
        uint32_t hovered;
    };
    const Case cases[] = {
        {"highlight given", "(hilightColor 255 0 0)", 0xFFFF0000u},
        {"no highlight: the colour stays", "", 0xFF0A141Eu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteScreen("t", std::string("(Word (POSI (position 100 100)) (TEXT (text ABC) "
                                     "(color 10 20 30)) (Data (regionFromText) ") +
                             c.highlight + "))");
        UserInterface& layer = Layer(mui, "t");
        TextRenderChunk& text = Text(First<UITextButton>(layer));
        MoveTo(layer, 500, 500);
        EXPECT_EQ(text.colour, 0xFF0A141Eu);
        EXPECT_EQ(text.font, MenuFont.get());
        MoveTo(layer, 105, 104);
        EXPECT_EQ(text.colour, c.hovered);
        EXPECT_EQ(text.font, MenuHiFont.get());
        EXPECT_EQ(text.fontName, "menu_hi");
        // Drawn in the hover colour by the highlight font.
        const auto drawn = DrawsOf(layer, MenuHiFont->Pages()[0].Texture());
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn[0].vertices[0].diffuse, c.hovered);
        MoveTo(layer, 500, 500);
        EXPECT_EQ(text.colour, 0xFF0A141Eu);
        EXPECT_EQ(text.font, MenuFont.get());
        EXPECT_EQ(text.fontName, "menu");
        EXPECT_FALSE(DrawsOf(layer, MenuFont->Pages()[0].Texture()).empty());
    }
}

TEST_F(TextWidgets, TextButtonsFadeAndFollowTheirEnabledId) {
    WriteScreen("t", "(Word (TEXT (text A)) (Data (fadeInStart 0.5) (fadeInTime 1) "
                     "(fadeOutStart 2) (fadeOutTime 1)))"
                     "(Word (TEXT (text B)) (Data (enabled ENAB)))");
    UserInterface& layer = Layer(mui, "t");
    TextRenderChunk& faded = Text(*layer.Objects()[0]);
    TextRenderChunk& bound = Text(*layer.Objects()[1]);
    struct Case {
        float until;
        float alpha;
        bool visible;
    };
    const Case cases[] = {
        {0.25f, 0.0f, false}, {1.0f, 0.5f, true},  {1.75f, 1.0f, true},
        {2.5f, 0.5f, true},   {3.5f, 0.0f, false},
    };
    float clock = 0.0f;
    data[FourCC("ENAB")] = "1";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.until);
        while (clock + kStepTime / 2 < c.until) {
            layer.Update(kStepTime);
            clock += kStepTime;
        }
        EXPECT_NEAR(faded.alpha, c.alpha, 0.02f);
        EXPECT_EQ(faded.visible, c.visible);
        EXPECT_TRUE(bound.visible);
    }
    data[FourCC("ENAB")] = "0";
    layer.Update(kStepTime);
    EXPECT_FALSE(bound.visible);
    data[FourCC("ENAB")] = "1";
    layer.Update(kStepTime);
    EXPECT_TRUE(bound.visible);
}

TEST_F(TextWidgets, FramesGrowOutOfTheirCentreByTheirFadeTimes) {
    struct Case {
        const char* fades;
        float factor;
    };
    const Case cases[] = {
        {"", 1.0f},                                  // fades off: drawn full
        {"(fadeInStart 0.15) (fadeInTime 1)", 0.5f}, // half grown, for ever
        {"(fadeInStart 0.25) (fadeInTime 1)", 1 / 6.0f},
        {"(fadeInStart 1) (fadeInTime 1)", 1.0f},   // long before the fade-in: full
        {"(fadeOutStart 0) (fadeOutTime 0)", 1.0f}, // at the end of the fade-out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fades);
        WriteScreen("f", std::string("(UIFrame (TEXT (text A)) (Data (position 100 200) "
                                     "(width 500) (height 60) (zOrder 7) (align 2) ") +
                             c.fades + "))");
        UserInterface& layer = Layer(mui, "f");
        auto& frame = First<UIFrame>(layer);
        EXPECT_EQ(frame.align, 2);
        for (int step = 0; step < 10; ++step) {
            layer.Update(kStepTime); // its clock does not run
        }
        const auto drawn = DrawsOf(layer, frame.texture.Texture());
        ASSERT_EQ(drawn.size(), 9u);
        const float f = c.factor;
        const GfxVertex& corner = drawn[0].vertices[0];
        EXPECT_NEAR(corner.x + 0.5f, 100 - 24 + (1 - f) * 500 * 0.4f, 1e-3f);
        EXPECT_FLOAT_EQ(corner.y + 0.5f, 200 - 24);
        EXPECT_FLOAT_EQ(corner.z, 7.0f);
        EXPECT_NEAR(static_cast<int>(corner.diffuse >> 24), f * 255, 1.0f);
        // The stretched centre: the grown width; the middle row: the height.
        const std::vector<GfxVertex>& centre = drawn[4].vertices;
        EXPECT_NEAR(centre[2].x - centre[0].x, 500 * 0.8f * f + 500 * 0.2f + 40, 1e-3f);
        EXPECT_NEAR(centre[2].y - centre[0].y, 60.0f, 1e-3f);
    }
}

TEST_F(TextWidgets, FramesKeepTheirTextAsDefined) {
    WriteScreen("f", "(UIFrame (TEXT (text Hello) (alpha 0.7)) (Data (textSource NAME) "
                     "(enabled SHOW) (fadeInStart 0) (fadeInTime 1) (width 10) (height 10)))");
    UserInterface& layer = Layer(mui, "f");
    data[FourCC("NAME")] = "Other";
    data[FourCC("SHOW")] = "0";
    for (int step = 0; step < 30; ++step) {
        layer.Update(kStepTime);
    }
    const TextRenderChunk& text = Text(First<UIFrame>(layer));
    EXPECT_EQ(text.text, "Hello");
    EXPECT_FLOAT_EQ(text.alpha, 0.7f);
}

} // namespace
