#include "engine/Application.h"
#include "engine/FourCC.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "tests/ui/UiFixture.h"
#include "ui/ModalProcesses.h"
#include "ui/UIButton.h"
#include "ui/UILabel.h"
#include "world/NormalLevelSystem.h"
#include "world/WorldHooks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The world's hooks connected to the layers, with a main loop double that checks the dialogue
// process it is handed and closes the dialogue as its close button would.
class ConnectedWorldHooks : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WriteScreen("talk", "(Question (POSI (position 0 0)) (Data (clickEvent DONE)))");
        WriteData("scripts/objects.txt", "(Final (Talk GameModalDialog (Data (fileName "
                                         "menus/talk.txt))))\n");
        WriteData("levels/room.txt", "(Meta (Name room) (levelPath levels\\room.txt))\n"
                                     "(Objects (Talk (visName dialog8)))\n");
        MakeProfile(0, "Ann");
        Connect();
    }

    void Connect() {
        ConnectWorldHooks([this](XProcess* process, bool renderEveryPass) {
            ++runs;
            auto* dialogue = dynamic_cast<DialogUiProc*>(process);
            EXPECT_NE(dialogue, nullptr);
            EXPECT_EQ(renderEveryPass, App.maxFps);
            if (dialogue == nullptr) {
                delete process;
                return 0;
            }
            EXPECT_EQ(CurrentProcess, dialogue);
            EXPECT_TRUE(dialogue->drawBeneath) << "the location stays drawn beneath";
            EXPECT_FALSE(dialogue->drawOnce);
            EXPECT_TRUE(GetWorldHooks().dialogueShown());
            EXPECT_EQ(DialogueUI->Objects().size(), 1u) << "the dialogue file is loaded";
            EXPECT_EQ(DialogueUI->messageText, "");
            DialogueUI->state = 1;
            dialogue->Update(kStepTime);
            const int32_t result = dialogue->state == 0 ? dialogue->result : -1;
            dialogue->End();
            delete dialogue;
            return result;
        });
    }

    Level& LoadRoom() {
        Level& level = MakeGameLevel();
        level.LoadScene("levels/room.txt", true);
        return level;
    }

    int runs = 0;
};

TEST_F(ConnectedWorldHooks, ADialogueObjectRunsItsDialogueProcessUntilItIsClosed) {
    for (const bool maxFps : {false, true}) {
        SCOPED_TRACE(maxFps);
        StartAgain();
        Connect();
        MakeProfile(0, "Ann");
        App.maxFps = maxFps;
        runs = 0;
        Level& level = LoadRoom();
        EXPECT_FALSE(GetWorldHooks().dialogueShown());
        level.Update(kStepTime);
        level.RemoveDead();
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(DialogueUI, nullptr) << "the closed dialogue takes its layer with it";
        EXPECT_FALSE(GetWorldHooks().dialogueShown());
        EXPECT_EQ(CurrentProcess, nullptr);
        EXPECT_EQ(CurrentPlayer->GetFlag("room:dialog8_killed"), 1);
        level.Update(kStepTime);
        EXPECT_EQ(runs, 1) << "shown once";
    }
}

TEST_F(ConnectedWorldHooks, ALoadedSceneClearsTheOverlayAndAClearedLevelDeletesItsLayers) {
    Layer(OverlayUI, "talk");
    UserInterface* const overlay = OverlayUI;
    Level& level = LoadRoom();
    EXPECT_EQ(OverlayUI, overlay);
    EXPECT_TRUE(OverlayUI->Objects().empty());
    Layer(MapGameUI, "talk");
    Layer(TutorialUI, "talk");
    level.Clear();
    EXPECT_EQ(MapGameUI, nullptr);
    EXPECT_EQ(TutorialUI, nullptr);
    EXPECT_NE(OverlayUI, nullptr);
}

TEST_F(ConnectedWorldHooks, AHeldItemGoesOntoTheCursorEvenWithoutItsPicture) {
    WriteData("gfx/objects/lamp.ani", "(emptyAnim idle)\n(emptyAnim cursor)\n");
    const WorldHooks& hooks = GetWorldHooks();
    hooks.showHeldItem("gfx/objects/lamp.ani");
    EXPECT_TRUE(HeldItemShown);
    EXPECT_EQ(HeldItemAnim.CurrentAnimName(), "cursor");
    hooks.hideHeldItem();
    EXPECT_FALSE(HeldItemShown);
    hooks.showHeldItem("gfx/objects/missing.ani");
    EXPECT_TRUE(HeldItemShown);
}

TEST_F(ConnectedWorldHooks, TheLevelSystemsReachTheLayersThatExist) {
    const WorldHooks& hooks = GetWorldHooks();
    EXPECT_EQ(hooks.mainUiReceiver(), nullptr);
    hooks.postToMainUi(FourCC("NEXT")); // no HUD: nothing
    hooks.setTutorialResult(1);
    hooks.clearLayers();
    Layer(MainUI, "talk");
    Layer(TutorialUI, "talk");
    EXPECT_EQ(hooks.mainUiReceiver(), MainUI);
    hooks.setTutorialResult(1);
    EXPECT_EQ(TutorialUI->state, 1);
    hooks.clearLayers();
    EXPECT_TRUE(MainUI->Objects().empty());
}

TEST_F(ConnectedWorldHooks, AWidgetInALevelSendsItsEventsToTheHud) {
    Level& level = LoadRoom();
    UIButton button(&level);
    UILabel label(&level);
    const WorldHooks& hooks = GetWorldHooks();
    hooks.bindWidgetToMainUi(button);
    EXPECT_EQ(button.receiver, nullptr) << "no HUD yet";
    Layer(MainUI, "talk");
    hooks.bindWidgetToMainUi(button);
    hooks.bindWidgetToMainUi(label);
    EXPECT_EQ(button.receiver, MainUI);
    EXPECT_EQ(label.receiver, MainUI);
}

TEST_F(ConnectedWorldHooks, TheWorldsOtherHooksAreKept) {
    ASSERT_TRUE(GetWorldHooks().inventorySlotEmptied);
    GetWorldHooks().inventorySlotEmptied(3);
    EXPECT_EQ(hookCalls, std::vector<std::string>{"slot emptied 3"});
}

TEST_F(ConnectedWorldHooks, AHeldItemGoesOnTheCursorAndOffAgain) {
    WriteData("gfx/objects/key.ani", "(emptyAnim idle)\n(emptyAnim cursor)\n");
    Level& level = LoadRoom();
    level.levelSystem->HoldItem("key");
    EXPECT_TRUE(HeldItemShown);
    EXPECT_EQ(HeldItemAnim.GetFileName(), "gfx/objects/key.ani");
    EXPECT_EQ(HeldItemAnim.CurrentAnimName(), "cursor");
    level.levelSystem->DropHeldItem();
    EXPECT_FALSE(HeldItemShown);
    EXPECT_TRUE(hookCalls.empty()) << "the cursor's hooks are the layers' now";
    HeldItemAnim = AnimPlayer();
}

} // namespace
