// The start-up event posts once, after its delay, once the game level has loaded and while it is
// enabled; the backdrop is published while it lives.

#include "puzzles/StartupEvent.h"

#include "engine/FourCC.h"
#include "engine/MessageReceiver.h"
#include "puzzles/Background.h"
#include "puzzles/PuzzleClasses.h"
#include "tests/world/WorldFixture.h"
#include "world/Level.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Journal final : MessageReceiver {
    void OnMessage(const void*, uint32_t id, uint32_t) override { events.push_back(id); }
    std::vector<uint32_t> events;
};

class StartupEventTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        RegisterPuzzleClasses();
        TestWorld().mainUiReceiver = [this] { return &hud; };
        WriteData("scripts/objects.txt",
                  "(Final (Tip StartupEvent) (Backdrop Background (POSI)))\n");
    }

    // The game level loaded with one start-up event whose Data is given.
    void LoadLocation(const std::string& data) {
        WriteData("levels/gate.txt", "(Meta (Name gate))\n(Objects (Tip (visName tip) (Data "
                                     "(startEvent MSG2xx)" +
                                         data + ")))\n");
        MakeGameLevel().LoadScene("levels/gate.txt", true);
    }

    // Steps of 1/8 s until the event arrives; the step it arrived in, or 0 when it never did.
    int StepsUntilPosted(Level& level, int steps) {
        for (int step = 1; step <= steps; ++step) {
            level.Update(0.125f);
            level.RemoveDead();
            if (!hud.events.empty()) {
                return step;
            }
        }
        return 0;
    }

    Journal hud;
};

TEST_F(StartupEventTest, PostsItsEventHalfASecondAfterTheSceneStarted) {
    LoadLocation("");
    // Four steps run the delay out; the fifth posts, and the scene's queue delivers in the sixth.
    EXPECT_EQ(StepsUntilPosted(*GameLevel, 20), 6);
    EXPECT_EQ(hud.events, std::vector<uint32_t>{FourCC("MSG2")});
    // Once only: the object has left the scene.
    for (int step = 0; step < 20; ++step) {
        GameLevel->Update(0.125f);
        GameLevel->RemoveDead();
    }
    EXPECT_EQ(hud.events.size(), 1u);
    EXPECT_TRUE(GameLevel->Objects().empty());
}

TEST_F(StartupEventTest, ADisabledEventWaitsUntilItIsEnabled) {
    MakeProfile(0, "Ann");
    LoadLocation("(enabled 0) (enableFlag tip_on) (delay 0.25)");
    EXPECT_EQ(StepsUntilPosted(*GameLevel, 40), 0);
    CurrentPlayer->SetFlag("gate", "tip_on", 1);
    EXPECT_GT(StepsUntilPosted(*GameLevel, 40), 0);
    EXPECT_EQ(hud.events, std::vector<uint32_t>{FourCC("MSG2")});
}

TEST_F(StartupEventTest, NothingIsPostedWithoutAGameLevel) {
    LoadLocation("");
    Level& scene = *GameLevel;
    GameLevel = nullptr; // a menu's scene: no location is being played
    EXPECT_EQ(StepsUntilPosted(scene, 40), 0);
    GameLevel = &scene;
}

TEST_F(StartupEventTest, TheBackdropIsPublishedWhileItsSceneLives) {
    WriteData("levels/board.txt", "(Meta (Name board))\n(Objects (Backdrop))\n");
    MakeGameLevel().LoadScene("levels/board.txt", true);
    ASSERT_NE(SceneBackground, nullptr);
    EXPECT_EQ(SceneBackground->owner, GameLevel);
    GameLevel->Clear();
    EXPECT_EQ(SceneBackground, nullptr) << "cleared with its scene";
}

} // namespace
