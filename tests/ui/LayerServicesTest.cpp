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


// What the HUD's parts were asked, in order.
std::vector<std::string> PartCalls;

// HUD parts that journal what the layers ask of them. Each slot shows the player's slot of the
// order in which it was made.
class JournalSlot : public Object, public OCreator<JournalSlot>, public InventorySlotPart {
public:
    static constexpr std::string_view kClassName = "JournalSlot";
    explicit JournalSlot(ObjectsManager* owner) : Object(owner), index(made++) {
        SetCreator(this, 0, 0);
    }
    void SetProperty(const ParconCursor&) override {}
    int SlotIndex() const override { return index; }
    void PutItem(const std::string& item, int slot, bool refreshOnly, bool highlight,
                 bool silentAdd) override {
        PartCalls.push_back("slot " + std::to_string(index) + " put '" + item + "' " +
                            std::to_string(slot) + (refreshOnly ? " refresh" : "") +
                            (highlight ? " highlight" : "") + (silentAdd ? " silent" : ""));
    }
    void MarkEmpty() override { PartCalls.push_back("slot " + std::to_string(index) + " empty"); }

    static inline int made = 0;
    int index;
};

class JournalTools : public Object, public OCreator<JournalTools>, public ToolSlotsPart {
public:
    static constexpr std::string_view kClassName = "JournalTools";
    explicit JournalTools(ObjectsManager* owner) : Object(owner) { SetCreator(this, 0, 0); }
    void SetProperty(const ParconCursor&) override {}
    void LaunchTool(int tool) override { PartCalls.push_back("launch " + std::to_string(tool)); }
    void ResetToolSlots() override { PartCalls.push_back("reset tools"); }
    std::string HeldTool() const override { return "wand"; }
};

class JournalSpark : public Object, public OCreator<JournalSpark>, public ParticleFxPart {
public:
    static constexpr std::string_view kClassName = "JournalSpark";
    explicit JournalSpark(ObjectsManager* owner) : Object(owner) { SetCreator(this, 0, 0); }
    void SetProperty(const ParconCursor&) override {}
    void Start(const std::string& file, float x, float y) override {
        PartCalls.push_back("spark " + file + " " + std::to_string(static_cast<int>(x)) + "," +
                            std::to_string(static_cast<int>(y)));
    }
};

const Registerer<JournalSlot> kSlot;
const Registerer<JournalTools> kTools;
const Registerer<JournalSpark> kSpark;

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

// The HUD of a test: two inventory slots and a tool bar, under the definition names the world's
// requests look for.
class HudParts : public LayerServicesTest {
protected:
    void SetUp() override {
        LayerServicesTest::SetUp();
        WriteData("scripts/ui_objects.txt", "(Final (UIInventorySlot JournalSlot) "
                                            "(UIPermanentSlotMngr JournalTools) "
                                            "(UIPartFx JournalSpark))\n");
        WriteScreen("hud", "(UIInventorySlot) (UIInventorySlot) (UIPermanentSlotMngr)");
        JournalSlot::made = 0;
        PartCalls.clear();
    }
};

TEST_F(HudParts, WithoutAHudNothingIsAskedAndTheToolIsLeftToTheCaller) {
    layers.InventorySlotEmptied(0);
    layers.RefillInventorySlots();
    layers.ResetToolSlots();
    layers.GiveItemToFirstSlot("rod");
    layers.RewardSpark("spark.prt", 1, 2);
    EXPECT_FALSE(layers.LaunchTool(1));
    EXPECT_EQ(layers.PermanentToolInUse(), std::nullopt);
    EXPECT_TRUE(PartCalls.empty());
}

TEST_F(HudParts, TheWorldsRequestsReachTheHudsParts) {
    Layer(MainUI, "hud");
    CurrentPlayer->AddItemToSlot("acorn", 1);
    layers.InventorySlotEmptied(1);
    layers.RefillInventorySlots();
    layers.GiveItemToFirstSlot("rod");
    layers.ResetToolSlots();
    EXPECT_TRUE(layers.LaunchTool(3));
    EXPECT_EQ(layers.PermanentToolInUse(), "wand");
    layers.RewardSpark("gfx\\fx\\hili.prt", 42, 735);
    EXPECT_EQ(PartCalls, (std::vector<std::string>{
                             "slot 1 empty", "slot 0 put '' 0 refresh",
                             "slot 1 put 'acorn' 1 refresh", "slot 0 put 'rod' 0 highlight silent",
                             "reset tools", "launch 3", "spark gfx\\fx\\hili.prt 42,735"}));
    EXPECT_EQ(MainUI->Objects().size(), 4u) << "the spark stays on the HUD";
}

} // namespace
