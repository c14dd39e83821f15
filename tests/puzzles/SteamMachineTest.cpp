// The steam machine: gear kinds, the mesh test at its boundaries, the train turning up to the
// first empty slot, gears taken back, the win once, leaving, and scenes it cannot run.

#include "puzzles/SteamMachine.h"

#include "engine/Exception.h"
#include "tests/puzzles/PlacingFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kMachineDefinitions =
    std::string(PlacingTest::kBackdrop) +
    "(Slot SteamMachineSlot (POSI) (KEYB) (SPRT)"
    " (COLI (left -40) (right 40) (top -40) (bottom 40)))\n"
    "(SteamMachineWheel GameHiddenObject (POSI) (SPRT))\n"
    "(Machine SteamMachineMngr (KEYB) (Data))\n";

// Slots below y 650, where a press never leaves.
constexpr float kSlotY = 660.0f;

class SteamMachineTest : public PlacingTest {
protected:
    void SetUp() override {
        PlacingTest::SetUp();
        WriteItemArt("gear_medium1");
    }

    // Ten slots at these x (110 apart by default: medium gears mesh at R - 5).
    void LoadMachine(std::vector<float> xs = {}, bool backdrop = true) {
        if (xs.empty()) {
            for (int i = 0; i < 10; ++i) {
                xs.push_back(10.0f + 110.0f * static_cast<float>(i));
            }
        }
        std::string objects = backdrop ? kBackdropEntry : "";
        for (std::size_t i = 0; i < xs.size(); ++i) {
            objects += "(Slot (POSI (position " + std::to_string(xs[i]) + " " +
                       std::to_string(kSlotY) + ")) (Data (index " + std::to_string(i) + ")))\n";
        }
        LoadGame(kMachineDefinitions, objects + "(Machine)", "steam_machine");
    }

    SteamMachineSlot& Slot(std::size_t i) { return *All<SteamMachineSlot>().at(i); }
    SteamMachineMngr& Manager() { return *All<SteamMachineMngr>().at(0); }
    float Turn(std::size_t slot) {
        return Slot(slot).gear != nullptr ? Position(*Slot(slot).gear).rotation : 0.0f;
    }
    // The item held and put into the slot.
    void PutIn(std::size_t slot, const std::string& item) {
        Hold(item);
        Press(Position(Slot(slot)).x, kSlotY);
    }
    void ClickSlot(std::size_t slot) { Press(Position(Slot(slot)).x, kSlotY); }
};

TEST(GearKinds, ByTheBeginningOfTheItemName) {
    struct Case {
        const char* item;
        float radius, speed;
    };
    for (const Case& c : {Case{"gear_small1", 40.0f, 2.0f}, Case{"gear_medium3", 57.5f, 1.5f},
                          Case{"gear_big2", 80.5f, 1.0f}, Case{"gear_bigger", 80.5f, 1.0f},
                          Case{"key", 0.0f, 1.0f}, Case{"gear_", 0.0f, 1.0f}}) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(GearKindOf(c.item).radius, c.radius);
        EXPECT_EQ(GearKindOf(c.item).speed, c.speed);
    }
}


TEST_F(SteamMachineTest, NeighboursMeshFromRMinus5To1Point1R) {
    struct Case {
        float d; // between slots 1 and 2, two small gears: R = 80
        const char* sound;
        bool secondTurns;
        bool clockRuns;
    };
    const std::vector<Case> cases = {
        {75.0f, "gear_moving", true, true},     // R - 5
        {74.5f, "gear_nomoving", false, false}, // R - 5.5: jammed, the clock stands
        {88.0f, "gear_moving", true, true},     // 1.1 R
        {88.5f, "", false, true},               // too far: the train stops at slot 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        // Slot 1 meshes with the fixed medium gear of slot 0 (R = 97.5).
        LoadMachine({0.0f, 97.5f, 97.5f + c.d, 400, 500, 600, 700, 800, 900, 1000});
        PutIn(1, "gear_small1");
        Step();
        const std::size_t before = PlayedFiles().size();
        PutIn(2, "gear_small2");
        const std::vector<std::string> all = PlayedFiles();
        const std::vector<std::string> played(all.begin() + static_cast<long>(before), all.end());
        EXPECT_EQ(played, *c.sound == 0 ? std::vector<std::string>{}
                                        : std::vector<std::string>{c.sound});
        Step(30);
        EXPECT_EQ(Turn(2) != 0.0f, c.secondTurns);
        EXPECT_EQ(Manager().time > 0.4f, c.clockRuns);
        EXPECT_EQ(std::fabs(Turn(1)) > 5.0f, c.clockRuns) << "a jam keeps the train still";
    }
}

TEST_F(SteamMachineTest, TheTrainTurnsUpToTheFirstEmptySlotNeighboursTheOtherWay) {
    LoadMachine();
    PutIn(3, "gear_medium4"); // beyond the first empty slot
    Step();
    PutIn(1, "gear_medium2");
    Step();
    PutIn(2, "gear_medium3");
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"gear_moving", "gear_moving"}))
        << "only the gears that extend the train";
    Step(30);
    const float turn = std::fmod(1.5f * Manager().time * 30.0f, 360.0f);
    EXPECT_FLOAT_EQ(Turn(0), turn);
    EXPECT_FLOAT_EQ(Turn(1), -turn);
    EXPECT_FLOAT_EQ(Turn(2), turn);
    EXPECT_FLOAT_EQ(Turn(3), -turn);
    EXPECT_EQ(Turn(9), 0.0f) << "the fixed gear beyond the empty slots stands";
    EXPECT_EQ(Manager().reach, 4);
    EXPECT_EQ(Sprite(*Slot(0).gear).alpha, 1.0f) << "the fixed gears shown";
}

TEST_F(SteamMachineTest, AGearComesBackToTheCursorWhenItsNameHasAPicture) {
    struct Case {
        const char* name;
        bool back;
    };
    for (const Case& c : {Case{"gear_medium2", true}, Case{"gear_nopicture", false},
                          Case{"../gear_medium2", false}, Case{"x/gear", false},
                          Case{"x\\gear", false}}) {
        SCOPED_TRACE(c.name);
        LoadMachine();
        PutIn(1, "gear_medium2");
        Slot(1).gear->visName = c.name;
        ClickSlot(1);
        Step();
        EXPECT_EQ(Held(), c.back ? c.name : "");
        EXPECT_EQ(Slot(1).gear == nullptr, c.back);
        EXPECT_EQ(All<SteamMachineWheel>().size(), c.back ? 2u : 3u);
    }
    // Something held: a full slot and a fixed one take nothing.
    LoadMachine();
    PutIn(1, "gear_medium2");
    Hold("gear_small1");
    ClickSlot(1);
    ClickSlot(0);
    EXPECT_EQ(Held(), "gear_small1");
    EXPECT_EQ(Slot(1).gear->visName, "gear_medium2");
    EXPECT_EQ(All<SteamMachineWheel>().size(), 3u);
}

TEST_F(SteamMachineTest, EverySlotFilledAndMeshingWinsOnceThenTheSlotsGoQuiet) {
    LoadMachine();
    for (std::size_t slot = 1; slot <= 7; ++slot) {
        PutIn(slot, "gear_medium" + std::to_string(slot));
        Step();
    }
    EXPECT_FALSE(Manager().finished);
    PutIn(8, "gear_medium8");
    EXPECT_EQ(CompletionFlag(), 1);
    EXPECT_TRUE(ModalLevel->won);
    StepSeconds(1.4f);
    EXPECT_FALSE(LeaveArmed());
    StepSeconds(0.2f);
    EXPECT_TRUE(All<SteamMachineMngr>().empty());
    const std::vector<std::string> played = PlayedFiles();
    EXPECT_EQ(std::count(played.begin(), played.end(), "game_won"), 1);
    // The slots outlive the machine: no gear comes back.
    ClickSlot(4);
    EXPECT_EQ(Held(), "");
    EXPECT_NE(Slot(4).gear, nullptr);
}

TEST_F(SteamMachineTest, APressLeavesOutsideTheShownBackdropDownToY650) {
    struct Case {
        const char* name;
        bool backdrop;
        float alpha;
        float x, y;
        bool escape;
        bool leaves;
    };
    const std::vector<Case> cases = {
        {"outside at 650", true, 1.0f, 100, 650, false, true},
        {"outside below 650", true, 1.0f, 100, 651, false, false},
        {"inside the widened backdrop", true, 1.0f, 300, 300, false, false},
        {"outside, the backdrop at 0.8", true, 0.8f, 100, 300, false, false},
        {"Escape", true, 1.0f, 500, 300, true, true},
        {"Escape, the backdrop at 0.8", true, 0.8f, 500, 300, true, false},
        {"no backdrop: a press stays", false, 1.0f, 100, 300, false, false},
        {"no backdrop: Escape leaves", false, 1.0f, 100, 300, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadMachine({}, c.backdrop);
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
        EXPECT_EQ(Manager().finished, c.leaves);
    }
}

TEST_F(SteamMachineTest, AMachineWithoutItsTenSlotsInOrderIsRefusedNamingItsFile) {
    struct Case {
        std::vector<float> xs;
        std::vector<int> indices;
        const char* error;
    };
    const std::vector<Case> cases = {
        {{0, 1, 2, 3, 4, 5, 6, 7, 8}, {0, 1, 2, 3, 4, 5, 6, 7, 8},
         "levels/board.txt: the steam machine has 9 slots instead of at least 10"},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 2, 1, 3, 4, 5, 6, 7, 8, 9},
         "levels/board.txt: steam machine slot 1 has the index 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        std::string objects;
        for (std::size_t i = 0; i < c.xs.size(); ++i) {
            objects += "(Slot (POSI (position " + std::to_string(c.xs[i] * 100) +
                       " 660)) (Data (index " + std::to_string(c.indices[i]) + ")))\n";
        }
        try {
            LoadGame(kMachineDefinitions, objects + "(Machine)", "steam_machine");
            ADD_FAILURE() << "no error";
        } catch (const Exception& error) {
            EXPECT_STREQ(error.Text(), c.error);
        }
    }
}

TEST_F(SteamMachineTest, InALocationAGearIsAHiddenObjectWithItsRadius) {
    LoadGame("(Gear SteamMachineWheel (POSI) (SPRT) (Data (radius 12.5)))", "(Gear)");
    const auto* gear = dynamic_cast<SteamMachineWheel*>(ModalLevel->Objects().at(0).get());
    ASSERT_NE(gear, nullptr);
    EXPECT_EQ(gear->radius, 12.5f);
    EXPECT_NE(dynamic_cast<const GameHiddenObject*>(gear), nullptr);
}

} // namespace
