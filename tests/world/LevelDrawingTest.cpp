#include "engine/Application.h"
#include "engine/FileSystem.h"
#include "media/Renderer.h"
#include "tests/media/MediaTestSupport.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace {

// A game level and a mini-game level over it, on the recording renderer.
class LevelDrawing : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        folder.MakeFolder("data");
        folder.Write("data/scripts/objects.txt", "");
        folder.Write("data/gestures.txt", "");
        Files.SetDataFolder("data");
        InitRenderer();
        game.Load();
        miniGame.Load();
        GameLevel = &game;
        ModalLevel = &miniGame;
    }
    void TearDown() override {
        GameLevel = nullptr;
        ModalLevel = nullptr;
        game.Clear();
        miniGame.Clear();
        RecordingMediaTest::TearDown();
    }

    int Copies() const {
        return static_cast<int>(std::count(script.calls.begin(), script.calls.end(),
                                           std::string("CopyBackBufferToTexture")));
    }
    // The quads drawn with the capture's texture coordinates (the lower quarter left out).
    std::vector<RecordedDraw> CaptureQuads() const {
        std::vector<RecordedDraw> quads;
        for (const RecordedDraw& draw : script.draws) {
            if (draw.vertices.size() == 4 &&
                std::any_of(draw.vertices.begin(), draw.vertices.end(),
                            [](const GfxVertex& v) { return v.v == 0.75f; })) {
                quads.push_back(draw);
            }
        }
        return quads;
    }

    Level game;
    Level miniGame;
};

TEST_F(LevelDrawing, TheMiniGameCapturesTheBlurredScreenOnceAndDrawsItAtItsAlpha) {
    miniGame.renderBluredBackground = true;
    game.levelSystem->PostRender();
    EXPECT_EQ(Copies(), 0) << "the game level never captures";
    miniGame.levelSystem->PostRender();
    EXPECT_EQ(Copies(), 1);
    ASSERT_TRUE(miniGame.levelSystem->captureTexture.valid);
    miniGame.levelSystem->PostRender();
    EXPECT_EQ(Copies(), 1) << "captured once";

    miniGame.blurredBackgroundAlpha = 0.5f;
    miniGame.levelSystem->Render();
    const std::vector<RecordedDraw> quads = CaptureQuads();
    ASSERT_EQ(quads.size(), 1u);
    float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
    for (const GfxVertex& v : quads[0].vertices) {
        EXPECT_EQ(v.diffuse >> 24, 127u);
        left = std::min(left, v.x);
        right = std::max(right, v.x);
        top = std::min(top, v.y);
        bottom = std::max(bottom, v.y);
    }
    EXPECT_EQ(right - left, 1024.0f) << "the whole screen";
    EXPECT_EQ(bottom - top, 768.0f);
    // Drawn over whatever depth is there, without writing depth, and both set back after.
    const auto at = [this](const char* call) {
        return std::find(script.calls.begin(), script.calls.end(), std::string(call)) -
               script.calls.begin();
    };
    EXPECT_LT(at("SetRenderState ZFunc 8"), at("SetRenderState ZFunc 4"));

    // Without a mini-game the capture is not drawn.
    ModalLevel = nullptr;
    script.draws.clear();
    miniGame.levelSystem->Render();
    EXPECT_TRUE(CaptureQuads().empty());
}

TEST_F(LevelDrawing, WithoutTheBlurredBackgroundFlagNothingIsCaptured) {
    miniGame.levelSystem->PostRender();
    EXPECT_EQ(Copies(), 0);
    EXPECT_FALSE(miniGame.levelSystem->captureTexture.valid);
}

TEST_F(LevelDrawing, ClearingTheLevelLetsTheCaptureGo) {
    miniGame.renderBluredBackground = true;
    miniGame.levelSystem->lensOff = false;
    miniGame.levelSystem->PostRender();
    ASSERT_TRUE(miniGame.levelSystem->captureTexture.valid);
    ASSERT_TRUE(miniGame.levelSystem->lensTexture.valid);
    EXPECT_EQ(Copies(), 2) << "the capture and the lens";
    miniGame.Clear();
    EXPECT_FALSE(miniGame.levelSystem->captureTexture.valid);
    EXPECT_FALSE(miniGame.levelSystem->lensTexture.valid);
    EXPECT_TRUE(miniGame.levelSystem->lensOff);
}

TEST_F(LevelDrawing, DeveloperModeShowsThePlayersEnergyAndLastLevel) {
    Player player;
    player.AddEnergy(3, false);
    CurrentPlayer = &player;
    for (const bool devMode : {false, true}) {
        DevMode = devMode;
        script.texts.clear();
        game.levelSystem->PostRender();
        std::vector<std::string> expected;
        if (devMode) {
            expected = {"player energy: 3/" + std::to_string(player.GetEnergyMax()),
                        "last visited: " + player.GetLastLevelId()};
        }
        EXPECT_EQ(script.texts, expected);
    }
    DevMode = false;
    CurrentPlayer = nullptr;
}

struct LensCase {
    float mouseX;
    float mouseY;
    PixelRect source;
    int targetX;
    int targetY;
};

TEST(LensCopy, TakesThePixelsAroundTheMouseCutToTheScreen) {
    const LensCase cases[] = {
        {512.0f, 384.0f, {384, 256, 256, 256}, 0, 0},
        {100.0f, 50.0f, {0, 0, 228, 178}, 28, 78},
        {1000.0f, 700.0f, {872, 572, 152, 196}, 0, 0},
        {-200.0f, 300.0f, {0, 172, 0, 256}, 256, 0},
        {5000.0f, 1e30f, {1024, 768, 0, 0}, 0, 0},
        {std::numeric_limits<float>::quiet_NaN(), 384.0f, {0, 256, 0, 256}, 512, 0},
    };
    for (const LensCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.mouseX) + ", " + std::to_string(c.mouseY));
        const NormalLevelSystem::LensCopy copy =
            NormalLevelSystem::LensCopyAround(c.mouseX, c.mouseY);
        EXPECT_EQ(copy.source, c.source);
        if (copy.source.width > 0 && copy.source.height > 0) {
            EXPECT_EQ(copy.targetX, c.targetX);
            EXPECT_EQ(copy.targetY, c.targetY);
            EXPECT_LE(copy.targetX + copy.source.width, NormalLevelSystem::kLensSize);
            EXPECT_LE(copy.targetY + copy.source.height, NormalLevelSystem::kLensSize);
        }
    }
}

} // namespace
