// The lock door: the open test on truncated angles, a press within 150 of the centre turning both
// handles, one turn at a time, the win, leaving, and a lock without its handles.

#include "puzzles/LockDoor.h"

#include "engine/Exception.h"
#include "tests/puzzles/PlacingFixture.h"
#include "world/fx/FxLockRotate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kLockDefinitions = std::string(PlacingTest::kBackdrop) +
                                     "(Handle BaseGameObject (POSI) (SPRT))\n"
                                     "(Lock LockDoorMngr (KEYB) (Data))\n";

class LockDoorTest : public PlacingTest {
protected:
    void LoadLock(const std::string& handles = "(Handle (visName handle1))\n"
                                               "(Handle (visName handle2))\n",
                  bool backdrop = true) {
        LoadGame(kLockDefinitions,
                 std::string(backdrop ? kBackdropEntry : "") + handles + "(Lock)");
    }
    LockDoorMngr& Lock() { return *All<LockDoorMngr>().at(0); }
};

TEST_F(LockDoorTest, OpenWithTheFirstHandleAcrossAndTheSecondUpright) {
    struct Case {
        float turn1, turn2;
        bool open;
    };
    for (const Case& c : {Case{90, 0, true}, Case{270, 180, true}, Case{-90, -180, true},
                          Case{-270, 0.9f, true}, Case{90.9f, -0.5f, true},
                          Case{89.9f, 0, false}, Case{90, 90, false}, Case{180, 0, false},
                          Case{0, 0, false}, Case{90, 360, false}}) {
        SCOPED_TRACE(std::to_string(c.turn1) + " " + std::to_string(c.turn2));
        EXPECT_EQ(LockDoorMngr::Open(c.turn1, c.turn2), c.open);
    }
}

TEST_F(LockDoorTest, APressWithin150OfTheCentreTurnsBothHandlesOneTurnAtATime) {
    struct Case {
        float x, y;
        const char* direction; // empty: no turn
    };
    const std::vector<Case> cases = {
        {638, 385, "right"}, {338, 385, "left"},   {488, 235, "right"}, {488, 535, "right"},
        {639, 385, ""},      {488, 535.5f, ""},    {487.9f, 385, "left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        LoadLock();
        const std::size_t sounds = PlayedFiles().size();
        Press(c.x, c.y);
        const std::vector<FxLockRotate*> turns = All<FxLockRotate>();
        ASSERT_EQ(turns.size(), *c.direction != 0 ? 1u : 0u);
        EXPECT_EQ(PlayedFiles().size() - sounds, turns.size());
        if (turns.empty()) {
            continue;
        }
        EXPECT_EQ(turns[0]->direction, c.direction);
        Press(c.x, c.y);
        EXPECT_EQ(All<FxLockRotate>().size(), 1u) << "a press while turning starts nothing";
        EXPECT_EQ(PlayedFiles().size() - sounds, 1u);
        Step(60);
        EXPECT_TRUE(All<FxLockRotate>().empty());
        EXPECT_FALSE(Lock().busy);
    }
}

TEST_F(LockDoorTest, TheOpenLockWinsAndClosesAfterTwoSeconds) {
    LoadLock();
    Position(*ModalLevel->Objects().at(1)).rotation = -270.0f;
    Position(*ModalLevel->Objects().at(2)).rotation = -180.0f;
    Step();
    EXPECT_TRUE(Lock().finished);
    EXPECT_EQ(CompletionFlag(), 1);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"game_won"});
    StepSeconds(1.9f);
    EXPECT_FALSE(All<LockDoorMngr>().empty());
    StepSeconds(0.2f);
    EXPECT_TRUE(All<LockDoorMngr>().empty());
}

TEST_F(LockDoorTest, APressLeavesOutsideTheBackdropWidenedBy100AboveY700) {
    struct Case {
        const char* name;
        bool backdrop;
        float alpha;
        float x, y;
        bool escape;
        bool leaves;
    };
    // The backdrop widened by 100: x 212 to 812, y 0 to 600.
    const std::vector<Case> cases = {
        {"outside at 699", true, 1.0f, 900, 699, false, true},
        {"outside at 700", true, 1.0f, 900, 700, false, false},
        {"inside the widened backdrop", true, 1.0f, 800, 300, false, false},
        {"Escape, the backdrop shown", true, 1.0f, 500, 300, true, true},
        {"Escape, the backdrop at 0.8", true, 0.8f, 500, 300, true, false},
        {"Escape at 0.8 outside it", true, 0.8f, 900, 300, true, true},
        {"no backdrop: a press stays", false, 1.0f, 900, 300, false, false},
        {"no backdrop: Escape leaves", false, 1.0f, 900, 300, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadLock("(Handle (visName handle1))\n(Handle (visName handle2))\n", c.backdrop);
        if (c.backdrop) {
            Sprite(*All<Background>().at(0)).alpha = c.alpha;
        }
        Mouse.x = c.x;
        Mouse.y = c.y;
        if (c.escape) {
            PressEscape();
        } else {
            Press(c.x, c.y);
        }
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(Lock().finished, c.leaves);
    }
}

TEST_F(LockDoorTest, ALockWithoutBothHandlesIsRefusedNamingItsFile) {
    struct Case {
        const char* handles;
        const char* error;
    };
    for (const Case& c :
         {Case{"(Handle (visName handle1))\n", "levels/board.txt: the lock has no handle2"},
          Case{"(Handle (visName handle2))\n", "levels/board.txt: the lock has no handle1"},
          Case{"(Handle (visName handle1))\n(Other (visName handle2))\n",
               "levels/board.txt: the lock has no handle2 position"}}) {
        SCOPED_TRACE(c.error);
        try {
            LoadGame(kLockDefinitions + "(Other BaseGameObject)\n",
                     std::string(c.handles) + "(Lock)");
            ADD_FAILURE() << "no error";
        } catch (const Exception& error) {
            EXPECT_STREQ(error.Text(), c.error);
        }
    }
}

} // namespace
