// The clock door: keys into their holes, the circles of the goal holes, keys taken back, the
// 15 px of slack while holding, the win closing in the same update, and leaving.

#include "puzzles/ClockDoor.h"

#include "tests/puzzles/PlacingFixture.h"
#include "world/GameAnim.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kClockDefinitions =
    std::string(PlacingTest::kBackdrop) +
    "(Hole ClockGameSlot (POSI) (KEYB) (SPRT) (COLI) (Data (regionFromCenter 20.7)))\n"
    "(Circle GameAnim (POSI) (SPRT) (Data (enabled 0)))\n"
    "(Door ClockDoorGameMngr (KEYB) (Data))\n";

const char* const kKeys[] = {"librarian_key_red", "librarian_key_green", "librarian_key_blue"};

class ClockDoorTest : public PlacingTest {
protected:
    // Holes for red, green and blue at x 100, 200, 300 (y 600), goals unless said; a fourth,
    // never a goal, for blue at x 400. The circles unless left out.
    void LoadDoor(bool goals = true, bool circles = true) {
        std::string objects = kBackdropEntry;
        for (int i = 0; i < 3; ++i) {
            objects += "(Hole (POSI (position " + std::to_string(100 * (i + 1)) +
                       " 600)) (Data (activator " + kKeys[i] + ") (goal " + (goals ? "1" : "0") +
                       ")))\n";
        }
        objects += "(Hole (POSI (position 400 600)) (Data (activator librarian_key_blue)))\n";
        if (circles) {
            for (const char* name : {"red_circle", "green_circle", "blue_circle"}) {
                objects += std::string("(Circle (POSI) (visName ") + name + "))\n";
            }
        }
        LoadGame(kClockDefinitions, objects + "(Door)", "clock_door");
    }

    ClockDoorGameMngr& Door() { return *All<ClockDoorGameMngr>().at(0); }
    ClockGameSlot& Hole(std::size_t i) { return *All<ClockGameSlot>().at(i); }
    bool Shown(std::size_t hole) { return Sprite(Hole(hole)).visible; }
    std::string Colours() {
        std::string on;
        on += Door().redOn ? 'r' : '-';
        on += Door().greenOn ? 'g' : '-';
        on += Door().blueOn ? 'b' : '-';
        return on;
    }
    void ClickHole(std::size_t i, float dx = 0, float dy = 0) {
        Press(100.0f * static_cast<float>(i + 1) + dx, 600.0f + dy);
    }
};

TEST_F(ClockDoorTest, KeysGoIntoTheirOwnHolesAndLightTheCirclesOfGoalHoles) {
    LoadDoor();
    Hold("librarian_key_green");
    ClickHole(0);
    EXPECT_EQ(Held(), "librarian_key_green") << "a wrong key stays on the cursor";
    ClickHole(1);
    EXPECT_EQ(Held(), "");
    EXPECT_TRUE(Shown(1));
    EXPECT_EQ(Colours(), "-g-");
    EXPECT_TRUE(Door().greenCircle->enabled);
    EXPECT_FALSE(Door().redCircle->enabled);
    Hold("librarian_key_blue");
    ClickHole(3); // not a goal: the key sits there, no circle
    EXPECT_EQ(Colours(), "-g-");
    EXPECT_TRUE(Shown(3));
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"warning", "key_unlock", "key_unlock"}));
}

TEST_F(ClockDoorTest, AKeyTakenBackSwitchesItsColourOffFromAnyHole) {
    for (const bool goals : {true, false}) {
        SCOPED_TRACE(goals ? "goal holes" : "other holes");
        LoadDoor(goals);
        Hold("librarian_key_red");
        ClickHole(0);
        Door().SetColour("librarian_key_red", true);
        ClickHole(0);
        EXPECT_EQ(Held(), "librarian_key_red");
        EXPECT_FALSE(Shown(0));
        EXPECT_EQ(Colours(), "---");
        EXPECT_FALSE(Door().redCircle->enabled);
        // An empty hole gives nothing back.
        GameLevel->levelSystem->DropHeldItem();
        ClickHole(0);
        EXPECT_EQ(Held(), "");
    }
}

TEST_F(ClockDoorTest, WhileHoldingAPress15PxDownAndRightOfTheHoleCounts) {
    struct Case {
        const char* name;
        bool holding;
        float dx, dy;
        bool counts;
    };
    // The hole reaches 20 from its centre ("regionFromCenter" 20.7 cut to 20).
    const std::vector<Case> cases = {
        {"holding, 35 off", true, 35, 35, true},
        {"holding, 36 off", true, 36, 0, false},
        {"holding, on the edge", true, -20, -20, true},
        {"not holding, 21 off", false, 21, 0, false},
        {"not holding, on the edge", false, 20, 20, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadDoor();
        if (!c.holding) {
            Hold("librarian_key_red");
            ClickHole(0);
        }
        if (c.holding) {
            Hold("librarian_key_red");
        }
        ClickHole(0, c.dx, c.dy);
        // Holding, the key goes in; not holding, it comes back.
        EXPECT_EQ(Shown(0), c.holding == c.counts);
    }
}

TEST_F(ClockDoorTest, ThreeKeysInGoalHolesWinAndCloseInTheSameUpdate) {
    for (const bool circles : {true, false}) {
        SCOPED_TRACE(circles ? "with circles" : "missing circles are skipped");
        CurrentPlayer->SetFlag("gate", "minigame1_completed", 0);
        LoadDoor(true, circles);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(CompletionFlag(), 0);
            Hold(kKeys[i]);
            ClickHole(i);
        }
        EXPECT_EQ(CompletionFlag(), 1);
        EXPECT_TRUE(ModalLevel->won);
        EXPECT_TRUE(All<ClockDoorGameMngr>().empty()) << "the leave request in the same update";
        EXPECT_EQ(PlayedFiles().back(), "game_won");
        // The holes outlive the door: no key comes back.
        ClickHole(0);
        EXPECT_EQ(Held(), "");
    }
}

TEST_F(ClockDoorTest, APressLeavesOutsideTheBackdropDownToY512AndEscapeAlways) {
    struct Case {
        const char* name;
        bool backdrop;
        float x, y;
        bool escape;
        bool leaves;
    };
    const std::vector<Case> cases = {
        {"outside at 512", true, 900, 512, false, true},
        {"outside below 512", true, 900, 513, false, false},
        {"inside the widened backdrop", true, 730, 300, false, false},
        {"Escape", true, 500, 300, true, true},
        {"no backdrop: a press stays", false, 900, 300, false, false},
        {"no backdrop: Escape leaves", false, 900, 300, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string objects = c.backdrop ? kBackdropEntry : "";
        LoadGame(kClockDefinitions, objects + "(Door)", "clock_door");
        Mouse.x = c.x;
        Mouse.y = c.y;
        if (c.escape) {
            PressEscape();
        } else {
            Press(c.x, c.y);
        }
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(All<ClockDoorGameMngr>().empty(), c.leaves) << "closed in the next update";
        EXPECT_EQ(CompletionFlag(), 0);
    }
}

} // namespace
