#include "ui/LayerServices.h"

#include "engine/Application.h"
#include "engine/ClassFactory.h"
#include "engine/FourCC.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "tests/ui/UiFixture.h"
#include "ui/GameFlow.h"
#include "ui/HudParts.h"
#include "ui/ModalProcesses.h"
#include "ui/UIButton.h"
#include "ui/UILabel.h"
#include "world/GameModalDialog.h"
#include "world/NormalLevelSystem.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {


// The layers' services installed for the world, with a main loop double that checks the
// dialogue process it is handed and closes the dialogue as its close button would.
class LayerServicesTest : public UiTest, public GameFlow {
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

    void TearDown() override {
        InstallGameFlow(nullptr);
        UiTest::TearDown();
    }

    void Connect() {
        InstallWorldServices(&layers);
        InstallGameFlow(this);
    }

    std::unique_ptr<XProcess> CreateGameProcess() override { return nullptr; }

    int32_t Run(std::unique_ptr<XProcess> process, bool renderEveryPass) override {
        ++runs;
        auto* dialogue = dynamic_cast<DialogUiProc*>(process.get());
        EXPECT_NE(dialogue, nullptr);
        EXPECT_EQ(renderEveryPass, App.maxFps);
        if (dialogue == nullptr) {
            return 0;
        }
        EXPECT_EQ(CurrentProcess, dialogue);
        EXPECT_TRUE(dialogue->drawBeneath) << "the location stays drawn beneath";
        EXPECT_FALSE(dialogue->drawOnce);
        EXPECT_TRUE(World().DialogueShown());
        EXPECT_EQ(DialogueUI->Objects().size(), 1u) << "the dialogue file is loaded";
        EXPECT_EQ(DialogueUI->messageText, "");
        DialogueUI->state = 1;
        dialogue->Update(kStepTime);
        const int32_t result = dialogue->state == 0 ? dialogue->result : -1;
        dialogue->End();
        return result;
    }

    Level& LoadRoom() {
        Level& level = MakeGameLevel();
        level.LoadScene("levels/room.txt", true);
        return level;
    }

    LayerServices layers;
    int runs = 0;
};

TEST_F(LayerServicesTest, ADialogueObjectRunsItsDialogueProcessUntilItIsClosed) {
    for (const bool maxFps : {false, true}) {
        SCOPED_TRACE(maxFps);
        StartAgain();
        Connect();
        MakeProfile(0, "Ann");
        App.maxFps = maxFps;
        runs = 0;
        Level& level = LoadRoom();
        EXPECT_FALSE(World().DialogueShown());
        level.Update(kStepTime);
        level.RemoveDead();
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(DialogueUI, nullptr) << "the closed dialogue takes its layer with it";
        EXPECT_FALSE(World().DialogueShown());
        EXPECT_EQ(CurrentProcess, nullptr);
        EXPECT_EQ(CurrentPlayer->GetFlag("room:dialog8_killed"), 1);
        level.Update(kStepTime);
        EXPECT_EQ(runs, 1) << "shown once";
    }
}

TEST_F(LayerServicesTest, ALoadedSceneClearsTheOverlayAndAClearedLevelDeletesItsLayers) {
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

TEST_F(LayerServicesTest, AHeldItemGoesOntoTheCursorEvenWithoutItsPicture) {
    WriteData("gfx/objects/lamp.ani", "(emptyAnim idle)\n(emptyAnim cursor)\n");
    layers.ShowHeldItem("gfx/objects/lamp.ani");
    EXPECT_TRUE(HeldItemShown);
    EXPECT_EQ(HeldItemAnim.CurrentAnimName(), "cursor");
    layers.HideHeldItem();
    EXPECT_FALSE(HeldItemShown);
    layers.ShowHeldItem("gfx/objects/missing.ani");
    EXPECT_TRUE(HeldItemShown);
}

TEST_F(LayerServicesTest, TheLevelSystemsReachTheLayersThatExist) {
    EXPECT_EQ(layers.MainUiReceiver(), nullptr);
    layers.PostToMainUi(FourCC("NEXT")); // no HUD: nothing
    layers.SetTutorialResult(1);
    layers.ClearLayers();
    Layer(MainUI, "talk");
    Layer(TutorialUI, "talk");
    EXPECT_EQ(layers.MainUiReceiver(), MainUI);
    layers.SetTutorialResult(1);
    EXPECT_EQ(TutorialUI->state, 1);
    layers.ClearLayers();
    EXPECT_TRUE(MainUI->Objects().empty());
}

TEST_F(LayerServicesTest, AWidgetInALevelSendsItsEventsToTheHud) {
    Level& level = LoadRoom();
    UIButton button(&level);
    UILabel label(&level);
    layers.BindWidgetToMainUi(button);
    EXPECT_EQ(button.receiver, nullptr) << "no HUD yet";
    Layer(MainUI, "talk");
    layers.BindWidgetToMainUi(button);
    layers.BindWidgetToMainUi(label);
    EXPECT_EQ(button.receiver, MainUI);
    EXPECT_EQ(label.receiver, MainUI);
}

TEST_F(LayerServicesTest, AHeldItemGoesOnTheCursorAndOffAgain) {
    WriteData("gfx/objects/key.ani", "(emptyAnim idle)\n(emptyAnim cursor)\n");
    Level& level = LoadRoom();
    level.levelSystem->HoldItem("key");
    EXPECT_TRUE(HeldItemShown);
    EXPECT_EQ(HeldItemAnim.GetFileName(), "gfx/objects/key.ani");
    EXPECT_EQ(HeldItemAnim.CurrentAnimName(), "cursor");
    level.levelSystem->DropHeldItem();
    EXPECT_FALSE(HeldItemShown);
    EXPECT_TRUE(hookCalls.empty()) << "the cursor is the layers'";
    HeldItemAnim = AnimPlayer();
}

TEST_F(LayerServicesTest, ASceneObjectTakenIntoALayerSendsItsEventsToIt) {
    WriteData("scripts/ui_objects.txt", "(Final (GameModalDialog))\n");
    WriteScreen("with_dialog", "(GameModalDialog)");
    UserInterface& overlay = Layer(OverlayUI, "with_dialog");
    ASSERT_EQ(overlay.Objects().size(), 1u);
    auto* dialog = dynamic_cast<GameModalDialog*>(overlay.Objects()[0].get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->eventReceiver, &overlay);
}

TEST_F(LayerServicesTest, WithoutAHudNothingIsAskedAndTheToolIsLeftToTheCaller) {
    layers.InventorySlotEmptied(0);
    layers.RefillInventorySlots();
    layers.ResetToolSlots();
    EXPECT_FALSE(layers.GiveItemToFirstSlot("rod"));
    layers.RewardSpark("spark.prt", 1, 2);
    EXPECT_FALSE(layers.LaunchTool(1));
    EXPECT_EQ(layers.PermanentToolInUse(), std::nullopt);
    EXPECT_EQ(MainUI, nullptr);
}

} // namespace
