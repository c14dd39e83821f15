// The dialogue process over a location and its pages: the HUD's fade, the shared page clock,
// skipping, the speakers and the hint; and the tutorial text of the locations.

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/PositionSystem.h"
#include "mainloop/MainLoop.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "media/TextRenderSystem.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Seams.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/ui/UiFixture.h"
#include "ui/GameTutorial.h"
#include "ui/ModalProcesses.h"
#include "ui/UIDecoredLabel.h"
#include "world/Level.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr const char* kDefinitions = R"(
(Final
  (UITutorial UIDecoredLabel (POSI) (TEXT (fontName main)))
  (Part UIStatic (POSI) (SPRT))
  (UISkipButton (POSI) (KEYB) (COLI (left 0) (right 1024) (top 0) (bottom 768)))
  (GameTutorial (POSI) (KEYB) (TEXT (fontName main)))
)
)";

// A process below the dialogue that counts its steps.
class Beneath : public XProcess {
public:
    void Update(float) override { ++updates; }
    int updates = 0;
};

class Dialogues : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WriteData("scripts/ui_objects.txt", kDefinitions);
        WriteData("gfx/w.png", PngFile(SolidImage(8, 8, 0xFFFFFFFFu)));
        const char* art = "(fileAnim idle (frame gfx\\w.png 0 0 8 8 0 0))";
        WriteData("gfx/interface/dialog_window/dialog_window.ani", art);
        WriteData("gfx/interface/dialog_window/katya.ani", art);
        WriteData("voice.wav", "voice");
        WriteData("gfx/interface/cutscene_frame.jpg", JpegFile(SolidImage(64, 64, 0xFF808080u)));
        WriteFontPage(folder, "data/gfx/fonts/main", TestFontPage());
        MainFont = std::make_unique<BitmapFont>();
        MainFont->Load("gfx/fonts/main");
        DialogueClock = 0.0f;
        DialoguePageShown = false;
    }
    // The layers let go of their textures before the media layer goes.
    void TearDown() override {
        UiTest::TearDown();
        ResetMedia();
    }

    // MainUI with the five parts that fade, and one that does not, all opaque.
    void MakeHud() {
        WriteScreen("hud", "(Part (visName lightstone)) (Part (visName ls_progress))"
                           "(Part (visName holder)) (Part (visName map_pieces))"
                           "(Part (visName options)) (Part (visName compass))");
        Layer(MainUI, "hud");
    }
    std::vector<float> HudAlphas() const {
        std::vector<float> alphas;
        for (const auto& object : MainUI->Objects()) {
            alphas.push_back(object->RequireChunk<RenderChunk>(FourCC("SPRT")).alpha);
        }
        return alphas;
    }
    static void Step(XProcess& process, int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            process.Update(kStepTime);
            process.AfterUpdate();
        }
    }
    int VoicesPlayed() const {
        const std::vector<std::string> files = PlayedFiles();
        return static_cast<int>(std::count(files.begin(), files.end(), "voice"));
    }
    static UIDecoredLabel& Page(int index) {
        return dynamic_cast<UIDecoredLabel&>(*DialogueUI->PageQueue().at(
            static_cast<std::size_t>(index)));
    }
    // The quads the renderer has drawn since it opened.
    static int64_t Drawn() { return Renderer::State().drawn; }
    void OpenRenderer() {
        UseRecordingGraphics(script);
        Seams().desktop = DesktopMode{1920, 1080, false};
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
    }

    RecordingScript script;
};

TEST_F(Dialogues, TheHudFadesOnceForASpeakerWithTheWindowArtOnly) {
    struct Case {
        const char* speaker;
        bool windowArt;
        bool fades;
    };
    const Case cases[] = {
        {"Katya", true, true},     {"Oracle", true, true},  {"tutorial", true, false},
        {"empty", true, false},    {"Katya", false, false}, {"nobody", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.speaker) + (c.windowArt ? " with" : " without") + " art");
        MakeHud();
        WriteScreen("talk", std::string("(UITutorial (TEXT (text hello)) (Data (dialogType ") +
                                c.speaker + ")))");
        std::unique_ptr<DialogUiProc> process =
            DialogUiProc::Create("menus/talk.txt", "", ModalOptions{});
        DialogueUI->windowArt = c.windowArt;
        Step(*process, 14);
        const float expected = c.fades ? 1.0f - 14.0f * 4.0f * kStepTime : 1.0f;
        std::vector<float> alphas = HudAlphas();
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_NEAR(alphas[i], expected, 1e-4f) << i;
        }
        Step(*process, 2);
        alphas = HudAlphas();
        EXPECT_FLOAT_EQ(alphas[0], c.fades ? 0.0f : 1.0f) << "gone after 15 steps";
        EXPECT_FLOAT_EQ(alphas[5], 1.0f) << "not one of the five";
        EXPECT_EQ(process->hudFaded, c.fades);
        // Once faded, a part that comes back stays for the rest of the dialogue.
        MainUI->Objects()[0]->RequireChunk<RenderChunk>(FourCC("SPRT")).alpha = 1.0f;
        Step(*process, 5);
        EXPECT_FLOAT_EQ(HudAlphas()[0], 1.0f);
        process.reset();
        DeleteAllLayers();
    }
}

TEST_F(Dialogues, PagesShareTheClockWaitForAClickAndFinishOnce) {
    EnsureLayer(MainUI);
    WriteScreen("pages",
                "(UITutorial (TEXT (text one)) (Data (soundFile voice.wav) (finishEvent DONE)"
                "  (fadeInStart 0.5) (fadeInTime 0.5) (fadeOutStart 1.2) (fadeOutTime 0.5)))"
                "(UITutorial (TEXT (text two))"
                "  (Data (fadeInStart 2.0) (fadeInTime 0.5) (fadeOutStart 3.0) (fadeOutTime 0.5)))"
                "(UISkipButton)");
    std::unique_ptr<DialogUiProc> process =
        DialogUiProc::Create("menus/pages.txt", "", ModalOptions{});
    // The load gave each page a step of 0; two pages move the clock twice a step.
    Step(*process, 3);
    EXPECT_NEAR(DialogueClock, 6.0f * kStepTime, 1e-5f);
    EXPECT_EQ(VoicesPlayed(), 0) << "before its fade-in";
    DialogueUI->SkipDialoguePage();
    EXPECT_EQ(DialogueUI->PageQueue().size(), 2u) << "a page still coming cannot be skipped";

    Step(*process, 40);
    EXPECT_TRUE(DialoguePageShown);
    EXPECT_FLOAT_EQ(DialogueClock, 1.0f) << "stopped where the page has appeared";
    EXPECT_EQ(VoicesPlayed(), 1);
    EXPECT_FLOAT_EQ(DialogueUI->Objects()[0]->RequireChunk<TextRenderChunk>(FourCC("TEXT")).alpha,
                    1.0f);
    Step(*process, 30);
    EXPECT_FLOAT_EQ(DialogueClock, 1.0f) << "waiting";
    EXPECT_THAT(events, ::testing::Not(::testing::Contains("DONE")));

    DialogueUI->SkipDialoguePage();
    EXPECT_FALSE(DialoguePageShown);
    EXPECT_FLOAT_EQ(DialogueClock, 1.2f) << "the page's fade-out start";
    EXPECT_EQ(DialogueUI->PageQueue().size(), 1u);
    Step(*process, 60);
    EXPECT_EQ(std::count(events.begin(), events.end(), "DONE"), 1) << "to MainUI, once";
    EXPECT_EQ(VoicesPlayed(), 1) << "once a page";
    EXPECT_TRUE(DialoguePageShown) << "the second page waits in turn";
    EXPECT_FLOAT_EQ(DialogueClock, 2.5f);
}

TEST_F(Dialogues, SkippingStopsTheVoiceOfThePageOnScreen) {
    WriteScreen("voice", "(UITutorial (TEXT (text one)) (Data (soundFile voice.wav)"
                         "  (fadeInStart 0.2) (fadeInTime 0.1) (fadeOutStart 2) (fadeOutTime 1)))");
    std::unique_ptr<DialogUiProc> process =
        DialogUiProc::Create("menus/voice.txt", "", ModalOptions{});
    Step(*process, 30);
    ASSERT_TRUE(DialoguePageShown);
    UIDecoredLabel& page = Page(0);
    DialogueUI->SkipDialoguePage();
    EXPECT_TRUE(page.voiceStopped);
    EXPECT_FLOAT_EQ(DialogueClock, 2.0f);
}

TEST_F(Dialogues, APageFromTheStartNeverStopsTheClock) {
    WriteScreen("at_once", "(UITutorial (TEXT (text one))"
                           "  (Data (fadeInStart 0) (fadeInTime 0.5) (fadeOutStart 5)))");
    std::unique_ptr<DialogUiProc> process =
        DialogUiProc::Create("menus/at_once.txt", "", ModalOptions{});
    Step(*process, 60);
    EXPECT_FALSE(DialoguePageShown);
    EXPECT_NEAR(DialogueClock, 1.0f, 1e-4f);
    EXPECT_FLOAT_EQ(DialogueUI->Objects()[0]->RequireChunk<TextRenderChunk>(FourCC("TEXT")).alpha,
                    1.0f);
}

TEST_F(Dialogues, ZeroLengthFadesAreSteps) {
    WriteScreen("steps", "(UITutorial (TEXT (text one))"
                         "  (Data (fadeInStart 0.1) (fadeInTime 0) (fadeOutStart 0.5) (fadeOutTime 0)))");
    std::unique_ptr<DialogUiProc> process =
        DialogUiProc::Create("menus/steps.txt", "", ModalOptions{});
    const TextRenderChunk& text =
        DialogueUI->Objects()[0]->RequireChunk<TextRenderChunk>(FourCC("TEXT"));
    Step(*process, 10);
    EXPECT_FLOAT_EQ(text.alpha, 1.0f);
    EXPECT_TRUE(DialoguePageShown);
    DialogueUI->SkipDialoguePage();
    Step(*process, 1);
    EXPECT_FLOAT_EQ(text.alpha, 0.0f);
}

TEST_F(Dialogues, SpeakersChooseTheirBoxAndAnUnknownOneDrawsNone) {
    struct Case {
        const char* word;
        const char* stored;
        bool portrait;
        bool drawsBox;
    };
    const Case cases[] = {
        {"Katya", "Katya", true, true},        {"Oakbeard", "Oakbeard", false, true},
        {"tutorial", "tutorial", false, true}, {"empty", "empty", false, false},
        {"Stranger", "", false, false},
    };
    OpenRenderer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        WriteScreen("speaker", std::string("(UITutorial (TEXT (text ABC)) (Data (dialogType ") +
                                   c.word + ")))");
        UserInterface& layer = Layer(DialogueUI, "speaker");
        auto& page = dynamic_cast<UIDecoredLabel&>(*layer.Objects()[0]);
        EXPECT_EQ(page.dialogType, c.stored);
        EXPECT_EQ(page.hasSpeakerPortrait, c.portrait);
        const int64_t before = Drawn();
        page.PostDraw();
        EXPECT_EQ(Drawn() > before, c.drawsBox);
    }
}

TEST_F(Dialogues, TheHintsAlphaIsTheTextsOpacityAsAByte) {
    struct Case {
        float opacity;
        uint32_t alpha;
    };
    for (const Case c : {Case{-1.0f, 0}, Case{0.0f, 0}, Case{0.5f, 128}, Case{1.0f, 255},
                         Case{2.0f, 255}}) {
        EXPECT_EQ(UIDecoredLabel::HintAlpha(c.opacity), c.alpha) << c.opacity;
    }
}

TEST_F(Dialogues, TheWholeGameRunsBeneathOnlyDuringTheFirstTutorial) {
    struct Case {
        const char* level;
        int dialogKilled;
        int lightstoneKilled;
        int updates;
    };
    const Case cases[] = {
        {"z1-wood-glyphstone", 1, 0, 3},
        {"z1-wood-glyphstone", 0, 0, 0},
        {"z1-wood-glyphstone", 1, 1, 0},
        {"z1-barrow-out", 1, 0, 0},
    };
    WriteScreen("talk", "(UITutorial (TEXT (text hello)))");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.level) + " " + std::to_string(c.dialogKilled) +
                     std::to_string(c.lightstoneKilled));
        StartAgain();
        Player& player = MakeProfile(0, "Ann");
        MakeGameLevel().levelId = c.level;
        player.SetFlag("z1-wood-glyphstone", "dialog1_killed", c.dialogKilled);
        player.SetFlag("z1-wood-glyphstone", "lightstoneTutorial_killed", c.lightstoneKilled);
        Beneath beneath;
        std::unique_ptr<DialogUiProc> process =
            DialogUiProc::Create("menus/talk.txt", "", ModalOptions{});
        Step(*process, 3);
        EXPECT_EQ(beneath.updates, c.updates);
        process.reset();
    }
}

TEST_F(Dialogues, ADialogueOpenedOverAnotherEndsTheFirst) {
    WriteScreen("talk", "(UITutorial (TEXT (text hello)))");
    std::unique_ptr<DialogUiProc> first =
        DialogUiProc::Create("menus/talk.txt", "", ModalOptions{});
    std::unique_ptr<DialogUiProc> second =
        DialogUiProc::Create("menus/talk.txt", "", ModalOptions{});
    Step(*second, 1);
    EXPECT_NE(second->state, 0);
    Step(*first, 1);
    EXPECT_EQ(first->state, 0);
    EXPECT_EQ(first->result, 0);
}

// ---------------------------------------------------------------------------------------------
// GameTutorial

class GameTutorials : public Dialogues {
protected:
    GameTutorial& Tutorial(const std::string& data, const std::string& text = "A") {
        WriteScreen("tip", "(GameTutorial (POSI (position 400 100)) (TEXT (text " + text +
                               ")) (Data (soundFile voice.wav) " + data + "))");
        UserInterface& layer = Layer(mui, "tip");
        return dynamic_cast<GameTutorial&>(*layer.Objects()[0]);
    }
    static void Run(GameTutorial& tutorial, float seconds) {
        const int steps = static_cast<int>(std::lround(seconds / kStepTime));
        for (int i = 0; i < steps && !tutorial.dead; ++i) {
            tutorial.Update(kStepTime);
        }
    }
    static float Alpha(GameTutorial& tutorial) {
        return tutorial.RequireChunk<TextRenderChunk>(FourCC("TEXT")).alpha;
    }
};

TEST_F(GameTutorials, HoldsWhenFullyInUntilAClickThenFadesOutAndGoes) {
    GameTutorial& tutorial = Tutorial(
        "(fadeInStart 0.5) (fadeInTime 1) (fadeOutStart 4) (fadeOutTime 0.5)");
    Run(tutorial, 1.0f);
    EXPECT_NEAR(Alpha(tutorial), 0.5f, 0.02f);
    Run(tutorial, 2.0f);
    EXPECT_TRUE(tutorial.holding);
    EXPECT_FLOAT_EQ(tutorial.clock, 1.5f);
    EXPECT_FLOAT_EQ(Alpha(tutorial), 1.0f);
    EXPECT_EQ(VoicesPlayed(), 1);
    tutorial.OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    EXPECT_FALSE(tutorial.holding);
    EXPECT_FLOAT_EQ(tutorial.clock, 4.0f);
    Run(tutorial, 0.25f);
    EXPECT_NEAR(Alpha(tutorial), 0.5f, 0.05f);
    Run(tutorial, 0.5f);
    EXPECT_TRUE(tutorial.dead);
    EXPECT_EQ(VoicesPlayed(), 1);
}

TEST_F(GameTutorials, WithoutFadesItShowsAtOnceAndNeverHolds) {
    GameTutorial& tutorial = Tutorial("");
    Run(tutorial, 2.0f);
    EXPECT_FLOAT_EQ(Alpha(tutorial), 1.0f);
    EXPECT_FALSE(tutorial.holding);
    EXPECT_FALSE(tutorial.dead);
}

TEST_F(GameTutorials, ZeroLengthFadesAreSteps) {
    GameTutorial& tutorial =
        Tutorial("(fadeInStart 0.5) (fadeInTime 0) (fadeOutStart 1) (fadeOutTime 0)");
    Run(tutorial, 0.6f);
    EXPECT_FLOAT_EQ(Alpha(tutorial), 1.0f);
    EXPECT_TRUE(tutorial.holding);
    tutorial.OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    tutorial.Update(kStepTime);
    EXPECT_FALSE(std::isnan(Alpha(tutorial)));
    Run(tutorial, 0.1f);
    EXPECT_TRUE(tutorial.dead);
}

TEST_F(GameTutorials, StaysOnScreenOnceFullyOpen) {
    // 59 'A' (5 each with the spacing) and one 'C' (6) are 300 pixels wide.
    GameTutorial& tutorial = Tutorial("", std::string(59, 'A') + "C");
    PositionChunk& position = tutorial.RequireChunk<PositionChunk>(FourCC("POSI"));
    position.x = 1000.0f;
    Run(tutorial, 0.2f);
    EXPECT_FLOAT_EQ(position.x, 676.0f);
    position.x = 20.0f;
    Run(tutorial, kStepTime);
    EXPECT_FLOAT_EQ(position.x, 100.0f);
}

TEST_F(GameTutorials, ATutorialWhoseFlagIsSetDiesAtLoad) {
    MakeProfile(0, "Ann").SetFlag("z1-wood-glyphstone", "acorn_killed", 1);
    MakeGameLevel().name = "z1-wood-glyphstone";
    EXPECT_TRUE(Tutorial("(disableFlag feather_killed acorn_killed)").dead);
    EXPECT_FALSE(Tutorial("(disableFlag feather_killed)").dead);
}

} // namespace
