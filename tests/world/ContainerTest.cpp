#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/PositionSystem.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/NormalLevelSystem.h"
#include "world/SmartUI.h"
#include "world/fx/FxBackpack.h"
#include "world/fx/FxContainerOpenClose.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A container "box" at (300, 300), 100 x 100, whose ring's centre is (350, 350); the slots and
// the effects' particle files and sounds the container plays.
class Containers : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        for (const char* file : {"collectible2", "collectible3", "object_hili2", "wand_fx"}) {
            WriteData(std::string("gfx/fx/") + file + ".prt",
                      "(alpha 0 1) (size 0 4) (max_parts 10) (flow 0 60)\n");
        }
        for (const char* item : {"gem", "cup", "ring", "box", "wand", "prize"}) {
            WriteData(std::string("gfx/objects/") + item + ".ani",
                      "(emptyAnim idle) (emptyAnim cursor) (emptyAnim empty)\n");
        }
        TestWorld().launchTool = [this](int tool) {
            launched.push_back(tool);
            return hudHasTools;
        };
    }

    // The room with a container of that name, slots and further Data keys.
    SmartUI& LoadBox(const std::string& name, const std::string& slotNames,
                     const std::string& data = "") {
        Load("(Box SmartUI (POSI (position 300 300)) (KEYB) (SPRT) "
             "(COLI (left 0) (right 100) (top 0) (bottom 100))) "
             "(SmartUISlot (POSI) (KEYB) (SPRT) (COLI (left -20) (right 20) (top -20) (bottom 20)))",
             "(Box (visName " + name + ") (Data (slots " + slotNames + ") " + data + "))");
        Run(1);
        return *All<SmartUI>().at(0);
    }

    void ClickAt(Object& object, float x, float y) {
        Mouse.x = x;
        Mouse.y = y;
        object.OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    }
    void ClickBox(SmartUI& box) { ClickAt(box, 350.0f, 350.0f); }
    void ClickSlot(SmartUISlot& slot) {
        const auto* position = dynamic_cast<PositionChunk*>(slot.GetChunk(FourCC("POSI"), 0));
        ClickAt(slot, position->x, position->y);
    }
    void Hold(const std::string& item) { gameLevel->levelSystem->HoldItem(item); }
    std::string Held() const { return gameLevel->levelSystem->heldItemName; }
    // Opened, and run until every slot has arrived.
    void OpenFully(SmartUI& box) {
        ClickBox(box);
        Run(150);
        ASSERT_FALSE(box.opening);
    }

    std::vector<int> launched;
    bool hudHasTools = true;
};

TEST_F(Containers, SlotsLeaveFromTheLastEveryPointFifteenAndArriveAtTheirRingPlaces) {
    SmartUI& box = LoadBox("box", "gem cup ring");
    ClickBox(box);
    EXPECT_TRUE(box.opening);
    EXPECT_TRUE(box.open);
    const std::vector<SmartUISlot*> slots = box.Slots();
    ASSERT_EQ(slots.size(), 3u);
    std::vector<int> launchSteps(3, -1);
    for (int step = 1; step <= 30; ++step) {
        Run(1);
        for (int i = 0; i < 3; ++i) {
            const auto* sprite = dynamic_cast<RenderChunk*>(slots[i]->GetChunk(FourCC("SPRT"), 0));
            if (launchSteps[i] < 0 && sprite->alpha > 0.0f) {
                launchSteps[i] = step;
            }
        }
    }
    // Launched at the first step, then 0.15 s (nine steps) apart, last slot first; each shows
    // in the step it leaves.
    EXPECT_EQ(launchSteps, (std::vector<int>{19, 10, 1}));
    EXPECT_EQ(Count("FxContainerOpenClose"), 0) << "over after the last launch";
    Run(120);
    EXPECT_FALSE(box.opening);
    const float places[3][2] = {{350, 441}, {413, 415}, {440, 350}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(slots[i]->ready);
        const auto* position = dynamic_cast<PositionChunk*>(slots[i]->GetChunk(FourCC("POSI"), 0));
        EXPECT_EQ(position->x, places[i][0]);
        EXPECT_EQ(position->y, places[i][1]);
    }
}

TEST_F(Containers, FillingEverySlotGivesOneEnergyOnceAndTheFinalObject) {
    SmartUI& box = LoadBox("box", "gem cup", "(finalObject prize)");
    OpenFully(box);
    std::vector<SmartUISlot*> slots = box.Slots();
    Hold("cup");
    ClickSlot(*slots[0]);
    EXPECT_FALSE(slots[0]->filled) << "not its item";
    ClickSlot(*slots[1]);
    EXPECT_TRUE(slots[1]->filled);
    EXPECT_EQ(Held(), "");
    EXPECT_EQ(Flag("cup_filled"), 1);
    Hold("gem");
    ClickBox(box);
    EXPECT_TRUE(box.open) << "an open container closes only with an empty hand";
    ClickSlot(*slots[0]);
    Run(1);
    EXPECT_TRUE(box.toTake);
    EXPECT_FALSE(box.open);
    EXPECT_EQ(CurrentPlayer->GetEnergy(), 1);
    EXPECT_EQ(Flag("box_toTake"), 1);
    EXPECT_EQ(Held(), "prize");

    // Loaded again with its flags: completed, and the energy is not given twice.
    SmartUI& again = LoadBox("box", "gem cup", "(finalObject prize)");
    EXPECT_TRUE(again.toTake);
    gameLevel->levelSystem->DropHeldItem();
    CurrentPlayer->SetFlag("room", "box_toTake", 0);
    SmartUI& refilled = LoadBox("box", "gem cup");
    OpenFully(refilled);
    Run(1);
    EXPECT_TRUE(refilled.toTake) << "its slots were filled from the profile";
    EXPECT_EQ(CurrentPlayer->GetEnergy(), 2) << "its flag was cleared by hand";
    SmartUI& third = LoadBox("box", "gem cup");
    EXPECT_TRUE(third.toTake);
    Run(5);
    EXPECT_EQ(CurrentPlayer->GetEnergy(), 2);
}

TEST_F(Containers, EachOpeningsSlotsLeaveTheSceneWhenTheCloseHasTakenThemBack) {
    SmartUI& box = LoadBox("box", "gem cup ring");
    for (int round = 0; round < 3; ++round) {
        OpenFully(box);
        EXPECT_EQ(Count("SmartUISlot"), 3);
        ClickBox(box);
        EXPECT_FALSE(box.open);
        Run(150);
        EXPECT_EQ(Count("SmartUISlot"), 0) << "round " << round;
    }
}

TEST_F(Containers, ACompletedContainerIsTakenOntoTheCursorOnlyWithItsActivator) {
    CurrentPlayer->SetFlag("room", "box_toTake", 1);
    SmartUI& box = LoadBox("box", "gem");
    Hold("gem");
    ClickBox(box);
    EXPECT_FALSE(box.dead) << "no activator: nothing may be held";
    gameLevel->levelSystem->DropHeldItem();
    ClickBox(box);
    EXPECT_TRUE(box.dead);
    EXPECT_EQ(Held(), "box");
    EXPECT_EQ(Flag("box_pickedUp"), 1);

    StartAgain();
    MakeProfile(0, "Ann");
    InstallDialogueHook();
    CurrentPlayer->SetFlag("room", "box_toTake", 1);
    SmartUI& killed = LoadBox("box", "gem", "(KillOnEnd 1)");
    ClickBox(killed);
    EXPECT_TRUE(killed.dead);
    EXPECT_EQ(Held(), "") << "KillOnEnd: nothing onto the cursor";
}

// The wand container hands the wand to the HUD; without the HUD's tool slots the wand is still
// counted.
TEST_F(Containers, TheWandContainerLaunchesTheWandOrCountsItWithoutTheToolSlots) {
    for (const bool tools : {true, false}) {
        SCOPED_TRACE(tools);
        StartAgain();
        MakeProfile(0, "Ann");
        InstallDialogueHook();
        TestWorld().launchTool = [this](int tool) {
            launched.push_back(tool);
            return hudHasTools;
        };
        hudHasTools = tools;
        launched.clear();
        SmartUI& wand = LoadBox("wand", "gem");
        OpenFully(wand);
        Hold("gem");
        ClickSlot(*wand.Slots().at(0));
        Run(1);
        EXPECT_EQ(launched, std::vector<int>{0});
        EXPECT_EQ(CurrentPlayer->GetPermanentCount(0), tools ? 0 : 1);
        EXPECT_EQ(Held(), "");
    }
}

TEST_F(Containers, MoreThanEightSlotsIsADefinitionErrorNamingTheContainerAndFile) {
    WriteData("scripts/objects.txt", "(Final (Box SmartUI (POSI) (COLI)))\n");
    WriteData("levels/room.txt", "(Meta (Name room))\n(Objects (Box (visName big) "
                                 "(Data (slots a b c d e f g h i))))\n");
    Level& level = MakeGameLevel();
    try {
        level.LoadScene("levels/room.txt", true);
        ADD_FAILURE() << "loaded";
    } catch (const Exception& error) {
        const std::string text = error.Text();
        EXPECT_NE(text.find("big"), std::string::npos) << text;
        EXPECT_NE(text.find("levels/room.txt"), std::string::npos) << text;
    }
}

TEST_F(Containers, AnEffectWithNoItemsEndsAtItsFirstStepAndOneWhoseItemWentSkipsIt) {
    Load("", "");
    auto created = gameLevel->CreateObject("FxContainerOpenClose", true);
    auto& empty = dynamic_cast<FxContainerOpenClose&>(*created);
    empty.Setup(0.0f, 0.0f, false, 0);
    EXPECT_FALSE(empty.Update(kStep));

    auto slotFx = gameLevel->CreateObject("FxSlotOpenClose", true);
    auto& carry = dynamic_cast<FxSlotOpenClose&>(*slotFx);
    carry.SetTarget(nullptr, false);
    EXPECT_FALSE(carry.Update(kStep)) << "no target";
}

// The backpack rises 128 pixels into the HUD as it fades in; its HUD going ends the effect.
TEST_F(Containers, TheBackpackRisesIntoTheHudAndUnlocksTheInventoryOnce) {
    Load("(Pack BaseGameObject (POSI (position 512 704)) (SPRT))", "(Pack (visName pack))");
    Object& pack = *Find("pack");
    TestWorld().hudScene = [this] { return static_cast<ObjectsManager*>(gameLevel.get()); };
    auto created = gameLevel->CreateObject("FxBackpack", true);
    auto& backpack = dynamic_cast<FxBackpack&>(*created);
    backpack.SetItem(&pack);
    gameLevel->AddObject(std::move(created));
    const auto* position = dynamic_cast<PositionChunk*>(pack.GetChunk(FourCC("POSI"), 0));
    EXPECT_EQ(position->y, 832.0f);
    EXPECT_EQ(Flag("inv_unlocked"), 1);
    Run(30);
    EXPECT_NEAR(position->y, 768.0f, 3.0f);
    EXPECT_NEAR(Alpha("pack"), 0.5f, 0.05f);
    Run(40);
    EXPECT_EQ(position->x, 512.0f);
    EXPECT_EQ(position->y, 704.0f);
    EXPECT_EQ(Count("FxBackpack"), 0);

    created = gameLevel->CreateObject("FxBackpack", true);
    auto& orphan = dynamic_cast<FxBackpack&>(*created);
    orphan.SetItem(&pack);
    TestWorld().hudScene = nullptr;
    EXPECT_FALSE(orphan.Update(kStep)) << "its HUD went";
}

} // namespace
