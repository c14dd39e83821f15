// Whole screens on the real OpenGL device, headless: a question run as a modal process over a
// scene and answered by scripted clicks, an options screen whose slider sets the volume, and a
// name typed into a text input; the frames are checked by their pixels.

#include "engine/Application.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/ui/UiFixture.h"
#include "ui/ModalProcesses.h"
#include "ui/UIInput.h"
#include "ui/UiClasses.h"
#include "ui/UserInterface.h"
#include "world/GameSettings.h"
#include "world/PlayerFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kRed = 0xFFFF0000u;

class ScreensGlTest : public OpenGlMediaTest {
protected:
    // The scene below the question: the whole screen blue.
    class Backdrop : public XProcess {
    public:
        void Render() override { Fill(0, 0, 1024, 768, kBlue); }
    };

    void SetUp() override {
        OpenGlMediaTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        Files.SetDataFolder("data");
        RegisterUiClasses();
        // A yes button of green art and a no button of red art, 64 x 32 each.
        WriteFile("data/yes.png",
                  PngFile(MakeImage(64, 32, [](uint32_t, uint32_t) { return kGreen; })));
        WriteFile("data/no.png",
                  PngFile(MakeImage(64, 32, [](uint32_t, uint32_t) { return kRed; })));
        WriteFile("data/yes.ani", "(framedAnim idle yes.png 64 32 (fps 1) (frames 0))\n"
                                  "(framedAnim high yes.png 64 32 (fps 1) (frames 0))\n");
        WriteFile("data/no.ani", "(framedAnim idle no.png 64 32 (fps 1) (frames 0))\n"
                                 "(framedAnim high no.png 64 32 (fps 1) (frames 0))\n");
        WriteFile("data/scripts/ui_objects.txt",
                  "(Final\n"
                  "  (YesButton UIBitmapButton (POSI) (KEYB) (SPRT (file yes.ani) (animName idle))"
                  "    (COLI (left -32) (right 32) (top -16) (bottom 16)))\n"
                  "  (NoButton UIBitmapButton (POSI) (KEYB) (SPRT (file no.ani) (animName idle))"
                  "    (COLI (left -32) (right 32) (top -16) (bottom 16)))\n"
                  "  (UISlider (POSI) (KEYB ()) (COLI (left 0) (right 200) (top 0) (bottom 20))"
                  "    (SPRT button (file yes.ani) (animName idle)))\n"
                  "  (UIInput (POSI) (TEXT))\n"
                  ")\n");
        WriteFile("data/menus/message4.txt",
                  "(Objects (YesButton (POSI (position 300 400)) (Data (clickEvent BYES)))\n"
                  "         (NoButton (POSI (position 700 400)) (Data (clickEvent BNO))))\n");
        Mouse = MouseState();
    }

    void TearDown() override {
        DeleteAllLayers();
        Mouse = MouseState();
        ReleaseAllKeys();
        Keyboard.Reset();
        OpenGlMediaTest::TearDown();
    }

    // One frame of the process, as the main loop draws it.
    static void Draw(XProcess& process) {
        Renderer::Clear();
        process.PreRender();
        process.Render();
        process.PostRender();
    }

    // Steps the process until it ends, pressing the left button at (x, y) in the fifth step;
    // answers its result, or -1 when it did not end.
    static int32_t Answer(XProcess& process, float x, float y) {
        for (int step = 0; step < 20; ++step) {
            Mouse.x = x;
            Mouse.y = y;
            Mouse.leftHeld = Mouse.leftPressed = step == 4;
            process.Update(kStepTime);
            process.AfterUpdate();
            if (process.state == 0) {
                return process.result;
            }
        }
        return -1;
    }
};

TEST_F(ScreensGlTest, AQuestionOverASceneIsDrawnAndAnsweredByClicks) {
    struct Case {
        float x;
        int32_t result;
    };
    for (const Case c : {Case{300, 2}, Case{700, 3}}) {
        SCOPED_TRACE(c.result);
        auto below = std::make_unique<Backdrop>();
        std::unique_ptr<ModalProc> question(
            ModalProc::Create("menus/message4.txt", "str.doyouwantto", {}));
        Draw(*question);
        ExpectPixel(10, 10, kBlue);    // the scene beneath
        ExpectPixel(300, 400, kGreen); // yes
        ExpectPixel(700, 400, kRed);   // no
        ExpectPixel(500, 400, kBlue);
        EXPECT_EQ(Answer(*question, c.x, 400), c.result);
        question.reset();
        below.reset();
    }
}

TEST_F(ScreensGlTest, ASliderSetsTheVolumeAndWritesTheSettings) {
    const std::string players = std::filesystem::current_path().string() + "/players";
    App = Application();
    App.saveFolder = players + "/";
    ASSERT_TRUE(CreatePlayerFileFolder());
    WriteFile("data/menus/options.txt",
              "(Objects (UISlider (POSI (position 100 300)) (Data (dataSource MVOL))))\n");
    std::unique_ptr<ModalProc> options(
        ModalProc::Create("menus/options.txt", "", {.drawBeneath = false}));
    EXPECT_EQ(Answer(*options, 150, 310), -1);
    EXPECT_FLOAT_EQ(GameSettings.musicVolume, 0.25f);
    std::ifstream settings(players + "/settings.dat");
    std::stringstream text;
    text << settings.rdbuf();
    EXPECT_NE(text.str().find("0.25"), std::string::npos) << text.str();

    // The knob follows the value: a quarter along the 200 pixels, less its 128-pixel offset.
    Draw(*options);
    ExpectPixel(100 + 50 - 128, 300, kGreen);
    options.reset();
    App = Application();
    std::filesystem::remove_all(players);
}

TEST_F(ScreensGlTest, ANameIsTypedThroughTheKeys) {
    WriteFile("data/menus/text_input.txt", "(Objects (UIInput (POSI (position 400 300))))\n");
    std::unique_ptr<ModalProc> input(
        ModalProc::Create("menus/text_input.txt", "", {.drawBeneath = false}));
    auto type = [&](int key, bool shift) {
        // Up for two steps, so that the next press reads as a new one.
        ReleaseAllKeys();
        Keyboard.Update();
        Keyboard.Update();
        SetKeyDown(kKeyLeftShift, shift);
        SetKeyDown(key, true);
        Keyboard.Update();
        input->Update(kStepTime);
    };
    type('A', true);
    type('N', false);
    type('N', false);
    EXPECT_EQ(EnteredText, "Ann");
    input.reset();
}

} // namespace
