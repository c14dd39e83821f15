// The crystal altar: which held item a slot takes, what a wrong one ends, the win with its spark,
// leaving beside the altar; and the location's sequence hint.

#include "puzzles/CrystalSlots.h"

#include "tests/puzzles/CaveFixture.h"
#include "world/FxPath.h"
#include "world/GameAnim.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kAltar = "(Slot CrystalSlot (POSI) (KEYB) (SPRT)"
                           " (COLI (left -40) (right 40) (top -40) (bottom 40)) (Data))\n"
                           "(Altar CrystalSlotsMngr (KEYB) (Data))\n";
const char* const kTwoSlots = "(Slot (visName crystal_red) (POSI (position 400 400)))\n"
                              "(Slot (visName crystal_blue) (POSI (position 600 400)))\n"
                              "(Altar)";

// Three stones of the hint, given out of order, and their manager.
const char* const kHint = "(Glow SequenceAnimObject (POSI) (SPRT))\n"
                          "(Hint SequenceAnimMngr (Data))\n";
const char* const kThreeStones = "(Glow (Data (sequenceId 2)))\n"
                                 "(Glow (Data (sequenceId 0)))\n"
                                 "(Glow (Data (sequenceId 1)))\n"
                                 "(Hint)";

class CrystalSlotsTest : public CaveTest {
protected:
    CrystalSlot& Slot(std::size_t i) { return *All<CrystalSlot>().at(i); }
    CrystalSlotsMngr& Altar() { return *All<CrystalSlotsMngr>().at(0); }

    // The sequenceId of the stone shown, -1 for none, -2 for more than one.
    int ShownStone() {
        int shown = -1;
        for (SequenceAnimObject* stone : OnLocation<SequenceAnimObject>()) {
            const auto* sprite = dynamic_cast<const RenderChunk*>(stone->GetChunk(FourCC("SPRT"), 0));
            if (sprite != nullptr && sprite->visible) {
                shown = shown == -1 ? stone->sequenceId : -2;
            }
        }
        return shown;
    }
};

TEST_F(CrystalSlotsTest, ASlotTakesTheItemsWhoseNameBeginsWithItsOwn) {
    struct Case {
        const char* held;
        bool fits;
    };
    const std::vector<Case> cases = {
        {"crystal_red1", true}, {"crystal_red", true},   {"crystal_redder", true},
        {"crystal_re", false},  {"crystal_blue1", false}, {"Crystal_red1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        LoadMiniGame(kAltar, kTwoSlots);
        const std::size_t played = PlayedFiles().size();
        ASSERT_FALSE(Slot(0).CrystalShown()) << "an empty slot shows no crystal";
        Hold(c.held);
        Press(400, 400);
        EXPECT_EQ(Slot(0).filled, c.fits);
        EXPECT_EQ(Slot(0).CrystalShown(), c.fits);
        EXPECT_EQ(ModalLevel->crystalsPlaced, c.fits ? 1 : 0);
        EXPECT_EQ(PlayedSince(played), std::vector<std::string>{c.fits ? "crystal_pick" : "warning"});
        // Placed, the crystal leaves the cursor; refused, the cursor is emptied with the
        // inventory given back.
        EXPECT_TRUE(Held().empty());
        EXPECT_FALSE(HeldItemShown);
        // A wrong crystal ends the game at once, without a win.
        EXPECT_EQ(ModalLevel->returnFlag, !c.fits);
        EXPECT_EQ(LeaveArmed(), !c.fits);
        EXPECT_EQ(Altar().finished, !c.fits);
    }
}

TEST_F(CrystalSlotsTest, AWrongCrystalHidesTheFilledSlotsButKeepsTheirMark) {
    LoadMiniGame(kAltar, kTwoSlots);
    Hold("crystal_red1");
    Press(400, 400);
    ASSERT_TRUE(Slot(0).CrystalShown());
    Hold("crystal_red2");
    Press(600, 400);
    EXPECT_TRUE(Slot(0).filled);
    EXPECT_FALSE(Slot(0).CrystalShown());
    EXPECT_FALSE(Slot(1).filled);
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_FALSE(ModalLevel->won);
}

TEST_F(CrystalSlotsTest, AFilledSlotAndAnEmptyCursorDoNothing) {
    LoadMiniGame(kAltar, kTwoSlots);
    Press(400, 400);
    EXPECT_FALSE(Slot(0).filled);
    EXPECT_TRUE(PlayedFiles().empty()) << "nothing held: no sound";
    Hold("crystal_red1");
    Press(400, 400);
    Hold("crystal_blue1");
    Press(400, 400);
    EXPECT_EQ(Held(), "crystal_blue1") << "a filled slot takes nothing, not even a wrong crystal";
    EXPECT_FALSE(ModalLevel->returnFlag);
    EXPECT_EQ(ModalLevel->crystalsPlaced, 1);
}

TEST_F(CrystalSlotsTest, BothSlotsFilledWinWithOneSparkAndTheLight) {
    LoadMiniGame(kAltar, kTwoSlots);
    Hold("crystal_red1");
    Press(400, 400);
    Hold("crystal_blue1");
    Press(600, 400);
    EXPECT_TRUE(Altar().finished);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_EQ(PlayedFiles(),
              (std::vector<std::string>{"crystal_pick", "crystal_pick", "game_won", "light"}));
    const std::vector<FxPath*> sparks = All<FxPath>();
    ASSERT_EQ(sparks.size(), 1u);
    EXPECT_EQ(sparks[0]->endX, 522.0f);
    EXPECT_EQ(sparks[0]->endY, 369.0f);
    // The leave request two seconds on.
    Step(115);
    EXPECT_FALSE(LeaveArmed());
    Step(10);
    EXPECT_TRUE(LeaveArmed());
}

TEST_F(CrystalSlotsTest, ALeftPressBesideTheAltarLeavesAndRestartsTheHint) {
    struct Case {
        float x, y;
        bool leaves;
    };
    const std::vector<Case> cases = {
        {299, 400, true}, {300, 400, false}, {700, 400, false}, {701, 400, true},
        {500, 99, true},  {100, 700, false},
    };
    EXPECT_FALSE(CrystalSlotsMngr::InCrystalLeaveZone(300, 100));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        LoadLocation(kHint, kThreeStones);
        SequenceAnimMngr& hint = *OnLocation<SequenceAnimMngr>().at(0);
        StepLocation(250); // into the sequence
        ASSERT_NE(hint.currentStep, 0);
        LoadMiniGame(kAltar, kTwoSlots);
        Hold("crystal_red1");
        Press(400, 400); // one crystal in, shown
        Press(c.x, c.y);
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(LeaveArmed(), c.leaves) << "the leave request at once";
        EXPECT_EQ(Slot(0).CrystalShown(), !c.leaves);
        EXPECT_EQ(hint.currentStep == 0 && hint.wait == 3.0f, c.leaves);
    }
}

TEST_F(CrystalSlotsTest, EscapeLeavesAndLeavingNeedsNoLocationHint) {
    LoadMiniGame(kAltar, kTwoSlots);
    Mouse.x = 500;
    Mouse.y = 400;
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
}

TEST_F(CrystalSlotsTest, TheHintShowsEachStoneOneSecondInOrderThenPausesThreeSeconds) {
    LoadLocation(kHint, kThreeStones);
    ASSERT_EQ(OnLocation<SequenceAnimMngr>().at(0)->Objects().size(), 3u);
    // Steps of a quarter second, so that the times add up exactly. The step in which the pause
    // ends already counts towards the first stone's second.
    const std::vector<std::pair<float, int>> shownAt = {
        {0.25f, -1}, {2.75f, -1}, {3.0f, 0},  {3.5f, 0},  {3.75f, 1}, {4.5f, 1},
        {4.75f, 2},  {5.5f, 2},   {5.75f, -1}, {8.5f, -1}, {8.75f, 0}, {9.75f, 1},
    };
    float time = 0.0f;
    for (const auto& [at, stone] : shownAt) {
        SCOPED_TRACE(at);
        while (time < at) {
            StepLocation(1, 0.25f);
            time += 0.25f;
        }
        EXPECT_EQ(ShownStone(), stone);
    }
}

TEST_F(CrystalSlotsTest, TheHintShowsNothingWhileAMiniGameIsOpenAndRestartsFromThePause) {
    LoadLocation(kHint, kThreeStones);
    StepLocation(13, 0.25f); // 3.25 s: the first stone
    ASSERT_EQ(ShownStone(), 0);
    LoadMiniGame(kAltar, kTwoSlots);
    StepLocation(1, 0.25f);
    EXPECT_EQ(ShownStone(), -1);
    ObjectsManager::Delete(ModalLevel);
    ModalLevel = nullptr;
    StepLocation(1, 0.25f);
    EXPECT_EQ(ShownStone(), 1) << "the sequence ran on beneath the mini-game";
    OnLocation<SequenceAnimMngr>().at(0)->Restart();
    EXPECT_EQ(ShownStone(), -1);
    StepLocation(11, 0.25f);
    EXPECT_EQ(ShownStone(), -1);
    StepLocation(1, 0.25f);
    EXPECT_EQ(ShownStone(), 0);
}

} // namespace
