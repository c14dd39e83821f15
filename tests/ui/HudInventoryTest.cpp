#include "media/AnimPlayer.h"
#include "tests/ui/HudFixture.h"
#include "ui/hud/UIInventory.h"
#include "ui/hud/UIPartFx.h"
#include "media/ParticleEmitter.h"
#include "world/GameModalDialog.h"
#include "world/NormalLevelSystem.h"
#include "world/Level.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Records = std::vector<InventorySlot>;

Records FirstRecords(int n) {
    Records records;
    for (int i = 0; i < n; ++i) {
        records.push_back(CurrentPlayer->GetInventorySlot(i));
    }
    return records;
}

// What the profile on disk holds for the first slots, read back into a fresh record (which, as
// every profile load does, empties the cursor).
Records SavedRecords(int n) {
    Player reread;
    EXPECT_TRUE(reread.Load(0, false));
    Records records;
    for (int i = 0; i < n; ++i) {
        records.push_back(reread.GetInventorySlot(i));
    }
    return records;
}

std::vector<std::string> Hints() {
    std::vector<std::string> files;
    for (const auto& object : MainUI->Objects()) {
        if (auto* dialog = dynamic_cast<GameModalDialog*>(object.get())) {
            files.push_back(dialog->fileName);
        }
    }
    return files;
}

using HudInventory = HudTest;

TEST_F(HudInventory, TheManagerNumbersTheSlotsInScreenOrderAndShowsTheRecords) {
    CurrentPlayer->AddItemToSlot("acorn", 2);
    CurrentPlayer->AddItemToSlot("acorn", 2);
    LoadHud(9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(Slot(i).SlotIndex(), i);
    }
    EXPECT_TRUE(Slot(2).artShown);
    EXPECT_EQ(Slot(2).itemArt.CurrentAnimName(), "cursor");
    EXPECT_FALSE(Slot(1).artShown);
    // A ninth slot has no record: it stays empty and takes nothing.
    Run(kStepTime);
    EXPECT_FALSE(Slot(8).enabled);
    EXPECT_FALSE(Slot(8).PutItem("acorn", 8, false, false, false));
    EXPECT_EQ(CurrentPlayer->CountItem("acorn"), 2);
}

// Putting the held item down on a slot, by what the slot holds.
TEST_F(HudInventory, PuttingDownStacksFillsSwapsOrRefusesByWhatTheSlotHolds) {
    struct Case {
        const char* name;
        Records before; // slot 0
        const char* held;
        Records after;
        const char* heldAfter;
    };
    const Case cases[] = {
        {"an empty slot takes it", {{"", 0}}, "acorn", {{"acorn", 1}}, ""},
        {"the same kind stacks", {{"key1", 1}}, "key2", {{"key2", 2}}, ""},
        {"one of another kind swaps", {{"feather", 1}}, "acorn", {{"acorn", 1}}, "feather"},
        {"a stack of another kind refuses", {{"feather", 2}}, "acorn", {{"feather", 2}}, "acorn"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        for (int n = 0; n < c.before[0].count; ++n) {
            CurrentPlayer->AddItemToSlot(c.before[0].item, 0);
        }
        LoadHud();
        Run(kStepTime);
        Hold(c.held);
        ClickSlot(0);
        EXPECT_EQ(Held(), c.heldAfter);
        EXPECT_EQ(HeldItemShown, !std::string(c.heldAfter).empty());
        EXPECT_EQ(FirstRecords(1), c.after);
        EXPECT_EQ(SavedRecords(1), c.after) << "saved";
    }
}

TEST_F(HudInventory, PickingUpTakesOneAndHidesTheArtWithTheLast) {
    for (int n = 0; n < 3; ++n) {
        CurrentPlayer->AddItemToSlot("acorn", 1);
    }
    LoadHud();
    Run(kStepTime);
    ClickSlot(1);
    EXPECT_EQ(Held(), "acorn");
    EXPECT_EQ(SavedRecords(2)[1], (InventorySlot{"acorn", 2}));
    EXPECT_TRUE(Slot(1).artShown);

    GameLevel->levelSystem->DropHeldItem();
    CurrentPlayer->TakeOneFromSlot(1);
    ClickSlot(1);
    EXPECT_EQ(Held(), "acorn");
    EXPECT_TRUE(CurrentPlayer->IsInventorySlotEmpty(1));
    EXPECT_FALSE(Slot(1).artShown);

    // Nothing held on an empty slot: nothing happens, not even a sound.
    GameLevel->levelSystem->DropHeldItem();
    const std::size_t sounds = Played().size();
    ClickSlot(1);
    EXPECT_EQ(Held(), "");
    EXPECT_EQ(Played().size(), sounds);
}

// A grant lands in the slot asked for when it can, else where it fits, and never over another
// item; with no room it is refused for its caller to keep.
TEST_F(HudInventory, GrantsGoToAFreeOrSameKindSlotAndAreRefusedOnAFullBar) {
    struct Case {
        const char* name;
        Records before;
        Records after;
        bool taken;
    };
    const Records otherFull(8, {"feather", 1});
    Records rodLast = otherFull;
    rodLast[7] = {"multitool_rod", 1};
    Records rodLastAfter = rodLast;
    rodLastAfter[7] = {"multitool_rod", 2};
    const Case cases[] = {
        {"into the free slot", {{"", 0}, {"", 0}}, {{"multitool_rod", 1}, {"", 0}}, true},
        {"onto the same kind", {{"multitool_rod", 1}}, {{"multitool_rod", 2}}, true},
        {"past another item to the first free",
         {{"feather", 1}, {"", 0}},
         {{"feather", 1}, {"multitool_rod", 1}},
         true},
        {"onto the same kind further on", rodLast, rodLastAfter, true},
        {"refused on a bar full of other things", otherFull, otherFull, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        for (std::size_t i = 0; i < c.before.size(); ++i) {
            for (int n = 0; n < c.before[i].count; ++n) {
                CurrentPlayer->AddItemToSlot(c.before[i].item, static_cast<int>(i));
            }
        }
        LoadHud();
        Run(kStepTime);
        Hold("acorn");
        EXPECT_EQ(layers.GiveItemToFirstSlot("multitool_rod"), c.taken);
        EXPECT_EQ(FirstRecords(static_cast<int>(c.after.size())), c.after);
        EXPECT_EQ(Held(), "acorn") << "a grant leaves the cursor alone";
    }
}

TEST_F(HudInventory, AHighlightedGrantBurstsOverTheSlotThatShowsIt) {
    CurrentPlayer->AddItemToSlot("feather", 0);
    LoadHud();
    ASSERT_TRUE(Slot(0).PutItem("acorn", 0, false, true, true));
    const std::vector<Object*> bursts = OfClass("UIPartFx");
    ASSERT_EQ(bursts.size(), 1u);
    const auto* burst = dynamic_cast<UIPartFx*>(bursts[0]);
    EXPECT_FLOAT_EQ(burst->Emitter()->x, kSlotX + 80.0f);
    EXPECT_TRUE(Slot(1).artShown);
    EXPECT_EQ(Played(), std::vector<std::string>{"crystal_pick"});
}

TEST_F(HudInventory, TheStackingHintOpensOnceWhenAnItemOfAKindAlreadyHeldArrives) {
    LoadHud();
    Run(kStepTime);
    Hold("key1");
    ClickSlot(0);
    EXPECT_TRUE(Hints().empty()) << "the first of its kind";
    Hold("key2");
    ClickSlot(1);
    EXPECT_EQ(Hints(), std::vector<std::string>{"menus\\tutorials\\stack.txt"});
    EXPECT_EQ(CurrentPlayer->GetFlag("global:stackDialogShown"), 1);
    Hold("key1");
    ClickSlot(2);
    EXPECT_EQ(Hints().size(), 1u) << "once per profile";
}

TEST_F(HudInventory, ClicksAreRefusedDuringADialogueATeleportOrTheMapGame) {
    CurrentPlayer->AddItemToSlot("acorn", 0);
    LoadHud();
    Run(kStepTime);
    UserInterface* dialogue = &EnsureLayer(DialogueUI);
    ClickSlot(0);
    EXPECT_EQ(Held(), "");
    DeleteLayer(DialogueUI);
    static_cast<void>(dialogue);

    GameLevel->busy = true;
    ClickSlot(0);
    EXPECT_EQ(Held(), "");
    GameLevel->busy = false;

    Level mapGame;
    mapGame.name = "map_game";
    ModalLevel = &mapGame;
    ClickSlot(0);
    EXPECT_EQ(Held(), "");
    ModalLevel = nullptr;

    ClickSlot(0);
    EXPECT_EQ(Held(), "acorn");
}

// A name that would reach outside the pictures' folder gets no picture, but the item is not
// lost: the profile takes ".." (and the slot shows nothing), the cursor keeps what it refuses.
TEST_F(HudInventory, AnItemNameLeavingThePictureFolderShowsNoPictureAndIsKept) {
    struct Case {
        const char* name;
        bool stored;
    };
    for (const Case c : {Case{"..", true}, Case{"a/b", false}, Case{"a\\b", false}}) {
        SCOPED_TRACE(c.name);
        Fresh();
        LoadHud();
        Run(kStepTime);
        Hold(c.name);
        ClickSlot(0);
        EXPECT_FALSE(Slot(0).artShown);
        EXPECT_EQ(Held(), c.stored ? "" : c.name);
        EXPECT_EQ(CurrentPlayer->GetInventorySlot(0).item, c.stored ? c.name : "");
    }
}

TEST_F(HudInventory, TheWorldsRefreshAndEmptyingReachTheSlots) {
    CurrentPlayer->AddItemToSlot("acorn", 3);
    LoadHud();
    CurrentPlayer->RemoveInventoryItem("acorn");
    EXPECT_FALSE(Slot(3).artShown);

    CurrentPlayer->SetInventoryBackSlot("feather", 2, 5);
    Hold("key1");
    RefreshInventorySlots();
    EXPECT_EQ(Held(), "");
    EXPECT_TRUE(Slot(5).artShown);
    EXPECT_FALSE(Slot(3).artShown);
    EXPECT_EQ(CurrentPlayer->GetInventorySlot(5), (InventorySlot{"feather", 2}));
}

} // namespace
