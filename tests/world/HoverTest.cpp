// What a scene object shows while the mouse is over it: the highlight particles that follow the
// mouse and the tool-tip lines, measured and drawn in the tests' bitmap font on the recording
// graphics device.

#include "engine/MouseState.h"
#include "media/BitmapFont.h"
#include "media/ParticleEmitter.h"
#include "media/Renderer.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Seams.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/BaseGameObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

class Hover : public SceneObjects {
protected:
    void SetUp() override {
        // The media globals first: their reset starts the application record afresh, which the
        // world's fixture then fills.
        ResetMedia();
        UseRecordingGraphics(script);
        Seams().desktop = DesktopMode{1920, 1080, false};
        SceneObjects::SetUp();
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
        // The tests' font: "A" is 4 wide with a spacing of 1, so n of them are 5n - 1 wide, 8 high.
        WriteFontPage(folder, "data/gfx/fonts/tooltip", TestFontPage());
        TooltipFont = std::make_unique<BitmapFont>();
        TooltipFont->Load("gfx/fonts/tooltip");
        // Particles born where the emitter stands and living a second; the two files differ in
        // their pool size only, which tells them apart.
        WriteData("gfx/fx/hiddenObject_hili.prt",
                  "(alpha 0 1) (alpha 1 1) (size 0 4) (max_parts 100) (flow 0 60) (vel 0 0 0) "
                  "(gravity 0)\n");
        WriteData("gfx/fx/hiddenObject_hili2.prt",
                  "(alpha 0 1) (alpha 1 1) (size 0 4) (max_parts 200) (flow 0 60) (vel 0 0 0) "
                  "(gravity 0)\n");
    }
    void TearDown() override {
        Mouse = MouseState();
        SceneObjects::TearDown();
        ResetMedia();
    }

    // The object "sign" over the whole screen, with its Data keys.
    BaseGameObject& Sign(const std::string& data) {
        Load("(Sign BaseGameObject (POSI) (COLI (left 0) (right 1024) (top 0) (bottom 768)) "
             "(Data " +
                 data + "))",
             "(Sign (visName sign))");
        return dynamic_cast<BaseGameObject&>(*Find("sign"));
    }

    void MouseAt(float x, float y) {
        Mouse.x = x;
        Mouse.y = y;
    }

    // The lines one frame of the level draws, each as "x y glyphs" from its first glyph's
    // top-left corner; a line ends where the next glyph does not follow on the same row.
    std::vector<std::string> DrawnLines() {
        script.draws.clear();
        gameLevel->Render();
        struct Line {
            float x, y, lastX;
            int glyphs;
        };
        std::vector<Line> lines;
        for (const RecordedDraw& draw : script.draws) {
            for (std::size_t i = 0; i + 3 < draw.vertices.size(); i += 4) {
                // A glyph's second vertex is its top-left corner, drawn half a pixel back.
                const float x = draw.vertices[i + 1].x + 0.5f;
                const float y = draw.vertices[i + 1].y + 0.5f;
                if (lines.empty() || lines.back().y != y || x <= lines.back().lastX) {
                    lines.push_back({x, y, x, 0});
                }
                lines.back().lastX = x;
                ++lines.back().glyphs;
            }
        }
        std::vector<std::string> texts;
        for (const Line& line : lines) {
            texts.push_back(std::to_string(static_cast<int>(line.x)) + " " +
                            std::to_string(static_cast<int>(line.y)) + " " +
                            std::to_string(line.glyphs));
        }
        return texts;
    }

    RecordingScript script;
};

std::string As(int count) {
    return std::string(static_cast<std::size_t>(count), 'A');
}

// ---------------------------------------------------------------------------------------------
// Tool-tips

struct ToolTipCase {
    const char* name;
    std::string data;
    int32_t energy; // the player's
    float mouseX, mouseY;
    std::vector<std::string> lines; // "x y glyphs"
};

void PrintTo(const ToolTipCase& c, std::ostream* out) {
    *out << c.name;
}

class ToolTips : public Hover, public testing::WithParamInterface<ToolTipCase> {};

TEST_P(ToolTips, ArePlacedFromTheMouseAndKeptOnScreen) {
    const ToolTipCase& c = GetParam();
    Sign(c.data);
    CurrentPlayer->AddEnergy(c.energy, false);
    MouseAt(c.mouseX, c.mouseY);
    Run(1);
    EXPECT_EQ(DrawnLines(), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToolTips,
    testing::Values(
        // The block starts 20 right of and 30 below the mouse; line k is drawn 10 + 20 (k - 1)
        // below that.
        ToolTipCase{"BelowRightOfTheMouse", "(toolTip AAAA)", 0, 100, 100, {"120 140 4"}},
        ToolTipCase{"FourLines",
                    "(toolTip A) (toolTip2 AA) (toolTip3 AAA) (toolTip4 AAAA)",
                    0,
                    100,
                    100,
                    {"120 140 1", "120 160 2", "120 180 3", "120 200 4"}},
        ToolTipCase{"EmptyLineLeavesItsRow",
                    "(toolTip A) (toolTip4 AA)",
                    0,
                    100,
                    100,
                    {"120 140 1", "120 200 2"}},
        // "AAAA" is 19 wide: a start past 1024 - 19 is pulled back to 1005.
        ToolTipCase{"PulledLeftAtTheRightEdge", "(toolTip AAAA)", 0, 1000, 100, {"1005 140 4"}},
        // A start below 768 - 8 - 30 puts the block at 768 - 8.
        ToolTipCase{"PulledUpAtTheBottom", "(toolTip AAAA)", 0, 100, 720, {"120 770 4"}},
        ToolTipCase{"KeptAtTheBottomEdgeAbove", "(toolTip AAAA)", 0, 100, 700, {"120 740 4"}},
        // Wider than the screen: it starts at 0.
        ToolTipCase{"NeverLeftOfZero", "(toolTip " + As(210) + ")", 0, 500, 100, {"0 140 210"}},
        // The second line is tested from the mouse + 32: 1012 > 1005 pulls the block to 1005,
        // though the first line at 1000 fitted.
        ToolTipCase{"SecondLinePlacedFromTheMouse",
                    "(toolTip A) (toolTip2 AAAA)",
                    0,
                    980,
                    100,
                    {"1005 140 1", "1005 160 4"}},
        // The third is placed as the first: 1000 fits 19 wide.
        ToolTipCase{"ThirdLinePlacedAsTheFirst",
                    "(toolTip A) (toolTip3 AAAA)",
                    0,
                    980,
                    100,
                    {"1000 140 1", "1000 180 4"}},
        ToolTipCase{"ThirdLinePulledLeft",
                    "(toolTip A) (toolTip3 " + As(10) + ")",
                    0,
                    980,
                    100,
                    {"975 140 1", "975 180 10"}},
        // Energy lacking: its two lines, then the tool-tip, each block placed from the mouse.
        ToolTipCase{"EnergyLackingDrawsBothBlocks",
                    "(toolTip AAAA) (enableClickEnergy 5) (enableEnergyToolTip AA) "
                    "(enableEnergyToolTip2 A)",
                    4,
                    100,
                    100,
                    {"120 140 2", "120 160 1", "120 140 4"}},
        ToolTipCase{"EnergyBlockPlacedByItsOwnLines",
                    "(toolTip A) (enableClickEnergy 5) (enableEnergyToolTip " + As(10) +
                        ") (enableEnergyToolTip2 A)",
                    0,
                    990,
                    100,
                    {"1020 140 10", "1020 160 1", "1010 140 1"}},
        ToolTipCase{"EnoughEnergyDrawsOnlyTheToolTip",
                    "(toolTip AAAA) (enableClickEnergy 5) (enableEnergyToolTip AA)",
                    5,
                    100,
                    100,
                    {"120 140 4"}},
        ToolTipCase{"EnergyLinesWithoutAToolTip",
                    "(enableClickEnergy 5) (enableEnergyToolTip AA)",
                    0,
                    100,
                    100,
                    {"120 140 2"}},
        ToolTipCase{"NoEnergyNeededNoEnergyLines",
                    "(toolTip AAAA) (enableEnergyToolTip AA)",
                    0,
                    100,
                    100,
                    {"120 140 4"}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(Hover, ToolTipIsDrawnOnlyForTheFrameAfterAnUpdateWithTheMouseOver) {
    Sign("(toolTip AAAA)");
    MouseAt(100, 100);
    Run(1);
    EXPECT_EQ(DrawnLines().size(), 1u);
    EXPECT_TRUE(DrawnLines().empty()); // drawn once per update
    Run(1);
    EXPECT_EQ(DrawnLines().size(), 1u);
}

TEST_F(Hover, ToolTipIsNotShownOffTheObjectWhileDisabledOrUnderAMiniGame) {
    for (const char* condition : {"outside", "disabled", "mini-game"}) {
        SCOPED_TRACE(condition);
        BaseGameObject& sign = Sign("(toolTip AAAA)");
        MouseAt(std::string(condition) == "outside" ? 1030.0f : 100.0f, 100.0f);
        sign.enabled = std::string(condition) != "disabled";
        ModalLevel = std::string(condition) == "mini-game" ? GameLevel : nullptr;
        Run(1);
        EXPECT_TRUE(DrawnLines().empty());
        ModalLevel = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------
// Highlight particles

TEST_F(Hover, HighlightKeyLoadsItsEffectAndTheLastOneReadDecides) {
    struct Case {
        const char* data;
        int pool;
    };
    for (const Case& c : {Case{"(showHighlightEffect)", 100}, Case{"(showHighlightEffect2)", 200},
                          Case{"(showHighlightEffect2) (showHighlightEffect)", 100},
                          Case{"(showHighlightEffect) (showHighlightEffect2)", 200}}) {
        SCOPED_TRACE(c.data);
        const BaseGameObject& sign = Sign(c.data);
        ASSERT_NE(sign.highlightEmitter, nullptr);
        EXPECT_EQ(sign.highlightEmitter->MaxParts(), c.pool);
    }
    EXPECT_EQ(Sign("").highlightEmitter, nullptr);
}

TEST_F(Hover, HighlightFollowsTheMouseWhileItIsOverTheObject) {
    BaseGameObject& sign = Sign("(showHighlightEffect)");
    MouseAt(300, 200);
    Run(1);
    EXPECT_TRUE(sign.highlightHover);
    EXPECT_TRUE(sign.highlightEmitter->emitting);
    MouseAt(310, 220);
    Run(10);
    EXPECT_FLOAT_EQ(sign.highlightEmitter->x, 310.0f);
    EXPECT_FLOAT_EQ(sign.highlightEmitter->y, 220.0f);
    bool bornAtTheMouse = false;
    for (const Particle& particle : sign.highlightEmitter->Particles()) {
        bornAtTheMouse = bornAtTheMouse || (particle.alive && particle.x == 310.0f);
    }
    EXPECT_TRUE(bornAtTheMouse);
    sign.hoverText = "words";
    MouseAt(1030, 200);
    Run(1);
    EXPECT_FALSE(sign.highlightHover);
    EXPECT_FALSE(sign.highlightEmitter->emitting);
    EXPECT_TRUE(sign.hoverText.empty());
}

enum class Then { MouseStays, MouseGoes, DialogueShown, OwnMiniGame, OtherMiniGame, Disabled };

struct HighlightCase {
    const char* name;
    Then then;
    bool hover;
    std::optional<bool> emitting; // none: not advanced at all
    bool drawn;
};

void PrintTo(const HighlightCase& c, std::ostream* out) {
    *out << c.name;
}

class Highlight : public Hover, public testing::WithParamInterface<HighlightCase> {};

// The emitter runs only while the mouse is over the enabled object, no mini-game is open and no
// dialogue is shown; its particles are drawn unless another scene's mini-game is open.
TEST_P(Highlight, EmitsAndDrawsOnlyWhenAllowed) {
    const HighlightCase& c = GetParam();
    BaseGameObject& sign = Sign("(showHighlightEffect)");
    MouseAt(300, 200);
    Run(30); // particles to draw
    ASSERT_TRUE(sign.highlightEmitter->emitting);
    Level other;
    switch (c.then) {
    case Then::MouseStays:
        break;
    case Then::MouseGoes:
        MouseAt(1030, 200);
        break;
    case Then::DialogueShown:
        dialogueShown = true;
        break;
    case Then::OwnMiniGame:
        ModalLevel = GameLevel;
        break;
    case Then::OtherMiniGame:
        ModalLevel = &other;
        break;
    case Then::Disabled:
        sign.enabled = false;
        break;
    }
    Run(1);
    EXPECT_EQ(sign.highlightHover, c.hover);
    if (c.emitting.has_value()) {
        EXPECT_EQ(sign.highlightEmitter->emitting, *c.emitting);
    }
    script.draws.clear();
    gameLevel->Render();
    EXPECT_EQ(!script.draws.empty(), c.drawn);
    ModalLevel = nullptr;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Highlight,
    testing::Values(HighlightCase{"MouseOver", Then::MouseStays, true, true, true},
                    HighlightCase{"MouseGone", Then::MouseGoes, false, false, true},
                    HighlightCase{"DialogueShown", Then::DialogueShown, true, false, true},
                    HighlightCase{"OwnMiniGame", Then::OwnMiniGame, true, false, true},
                    HighlightCase{"OtherMiniGame", Then::OtherMiniGame, false, false, false},
                    // A disabled object's update stops before the hover step: the emitter is left
                    // as it was, and nothing of the object is drawn.
                    HighlightCase{"Disabled", Then::Disabled, true, std::nullopt, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
