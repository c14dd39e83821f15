// The screen puzzle of a location's wall: places taking the item of their name once any one of
// their requirements is filled, the "_filled" flags on re-entry, the empty-click dialogue, the
// final effect once, and places that outlive their manager.

#include "puzzles/ScreenPuzzle.h"

#include "tests/puzzles/PlacingFixture.h"
#include "world/FxParticles.h"
#include "world/GameModalDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kWallDefinitions =
    "(Place ScreenPuzzle (POSI) (KEYB) (SPRT (file gfx/back.ani))"
    " (COLI (left -30) (right 30) (top -30) (bottom 30)) (Data (clickSoundName place_click)))\n"
    "(Wall ScreenPuzzleMngr (POSI) (disableFlag wall_done) (Data (finalFlag wall_done)))\n"
    "(Frame PuzzleFrame (POSI) (SPRT (file gfx/back.ani)) (Data))\n";

// stoneA needs nothing; stoneB needs stoneA; stoneC needs stoneX (never there) or stoneB.
const char* const kWall =
    "(Frame (POSI (position 500 500)))\n"
    "(Place (POSI (position 100 100)) (visName stoneA) (Data (emptyClickMessage msg.txt)))\n"
    "(Place (POSI (position 200 100)) (visName stoneB) (Data (requires stoneA)))\n"
    "(Place (POSI (position 300 100)) (visName stoneC) (Data (requires stoneX stoneB)))\n"
    "(Wall)\n";

class ScreenPuzzleTest : public PlacingTest {
protected:
    void SetUp() override {
        PlacingTest::SetUp();
        for (const char* file : {"gfx/fx/tomb_dust2.prt", "gfx/fx/tomb_dust.prt",
                                 "gfx/fx/debris.prt"}) {
            WriteData(file, "(max_parts 4)\n(flow 0 10)\n");
        }
        WriteData("msg.txt", "(Meta)\n");
    }

    // The wall in the location of that name, loaded into a fresh game level.
    void EnterWall(const std::string& location = "z1-barrow-in") {
        WriteData("scripts/objects.txt", std::string("(Final\n") + kWallDefinitions + ")\n");
        WriteData("levels/wall.txt", "(Meta (Name " + location + ") (Type normal))\n(Objects\n" +
                                         kWall + ")\n");
        MakeGameLevel().LoadScene("levels/wall.txt", true);
    }
    // Steps of the location.
    void StepHere(int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            Keyboard.Update();
            GameLevel->Update(kStep);
            GameLevel->RemoveDead();
            Mouse.leftPressed = Mouse.leftHeld = false;
        }
    }
    void ClickPlace(int place) {
        Mouse.x = 100.0f * static_cast<float>(place + 1);
        Mouse.y = 100.0f;
        Mouse.leftHeld = Mouse.leftPressed = true;
        StepHere();
    }
    template <typename T>
    std::vector<T*> Here() const {
        std::vector<T*> found;
        for (const auto& object : GameLevel->Objects()) {
            if (auto* typed = dynamic_cast<T*>(object.get())) {
                found.push_back(typed);
            }
        }
        return found;
    }
    std::string Filled() {
        std::string marks;
        for (ScreenPuzzle* place : Here<ScreenPuzzle>()) {
            marks += place->filled ? (Sprite(*place).visible ? 'F' : '?') : '.';
        }
        return marks;
    }
};

TEST_F(ScreenPuzzleTest, APlaceTakesItsItemOnceAnyOneOfItsRequirementsIsFilled) {
    struct Move {
        const char* item;
        int place;
        const char* filled;
        bool kept; // the item stays on the cursor
    };
    const std::vector<Move> moves = {
        {"stoneB", 1, "...", true},  // stoneA is not filled yet
        {"stoneC", 1, "...", true},  // not this place's item
        {"stoneA", 0, "F..", false},
        {"stoneC", 2, "F..", true},  // needs stoneX or stoneB
        {"stoneB", 1, "FF.", false},
        {"stoneC", 2, "FFF", false}, // stoneB is enough
    };
    EnterWall("gate");
    for (const Move& move : moves) {
        SCOPED_TRACE(std::string(move.item) + " on " + std::to_string(move.place));
        Hold(move.item);
        ClickPlace(move.place);
        EXPECT_EQ(Filled(), move.filled);
        EXPECT_EQ(Held(), move.kept ? move.item : "");
        GameLevel->levelSystem->DropHeldItem();
    }
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:stoneA_filled"), 1);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:stoneC_filled"), 1);
    const std::vector<std::string> played = PlayedFiles();
    ASSERT_GE(played.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(played.begin(), played.begin() + 3),
              (std::vector<std::string>{"place_click", "place_click", "place_click"}));
}

TEST_F(ScreenPuzzleTest, TheFinalEffectRewardsOnceAndBreaksOnlyTheBarrowsWall) {
    for (const char* location : {"z1-barrow-in", "gate"}) {
        SCOPED_TRACE(location);
        StartAgain();
        MakeProfile(0, "Ann");
        EnterWall(location);
        const int32_t energy = CurrentPlayer->GetEnergy();
        for (const char* item : {"stoneA", "stoneB", "stoneC"}) {
            Hold(item);
            ClickPlace(std::string(item) == "stoneA" ? 0 : std::string(item) == "stoneB" ? 1 : 2);
        }
        // The manager stands after the places: the last filling completes it in that update.
        EXPECT_TRUE(Here<ScreenPuzzleMngr>().empty());
        EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);
        EXPECT_EQ(CurrentPlayer->GetFlag(std::string(location) + ":wall_done"), 1);
        EXPECT_EQ(PlayedFiles().back(), "game_won");
        const std::size_t dust = std::string(location) == "z1-barrow-in" ? 18u : 0u;
        EXPECT_EQ(Here<FxParticles>().size(), 3u + dust) << "a puff per place, then the wall";
        StepHere(10);
        EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);

        // Re-entered, the places are filled at once; the manager, disabled by the final flag,
        // rewards nothing again.
        EnterWall(location);
        EXPECT_EQ(Filled(), "FFF");
        StepHere(10);
        EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);
    }
}

// The places share their names with the items they take, whose pick-up kills those names: the
// places come back all the same (their definition is not named after their class), the filled
// ones filled, and the wall stands until every place is filled.
TEST_F(ScreenPuzzleTest, ReEnteringShowsTheFilledPlacesOnly) {
    const std::vector<std::vector<const char*>> itemsPickedUp = {
        {}, {"stoneA", "stoneB"}, {"stoneA", "stoneB", "stoneC"}};
    for (const std::vector<const char*>& pickedUp : itemsPickedUp) {
        SCOPED_TRACE(pickedUp.size());
        StartAgain();
        MakeProfile(0, "Ann");
        for (const char* item : pickedUp) {
            CurrentPlayer->SetFlag("z1-barrow-in", std::string(item) + "_killed", 1);
        }
        EnterWall();
        Hold("stoneA");
        ClickPlace(0);
        const int32_t energy = CurrentPlayer->GetEnergy();
        EnterWall();
        EXPECT_EQ(Filled(), "F..");
        StepHere(3);
        EXPECT_EQ(Here<ScreenPuzzleMngr>().size(), 1u) << "the wall stands";
        EXPECT_EQ(CurrentPlayer->GetFlag("z1-barrow-in:wall_done"), 0);
        EXPECT_EQ(CurrentPlayer->GetEnergy(), energy);
        Hold("stoneB");
        ClickPlace(1);
        EXPECT_EQ(Filled(), "FF.") << "the requirement read from the flag";
    }
}

TEST_F(ScreenPuzzleTest, AnEmptyClickOpensThePlacesDialogueWhileItIsEmpty) {
    std::vector<std::string> opened;
    bool dialogueShown = false;
    TestWorld().openDialogue = [&opened](const std::string& file, int, const std::string&) {
        opened.push_back(file);
    };
    TestWorld().dialogueShown = [&dialogueShown] { return dialogueShown; };
    EnterWall();
    const auto clickAndSettle = [this](int place) {
        ClickPlace(place);
        StepHere(3);
    };
    clickAndSettle(0);
    EXPECT_EQ(opened, std::vector<std::string>{"msg.txt"});
    dialogueShown = true;
    clickAndSettle(0);
    EXPECT_EQ(opened.size(), 1u) << "not over another dialogue";
    dialogueShown = false;
    clickAndSettle(1);
    EXPECT_EQ(opened.size(), 1u) << "a place without a message says nothing";
    Hold("stoneA");
    clickAndSettle(0);
    clickAndSettle(0);
    EXPECT_EQ(opened.size(), 1u) << "a filled place says nothing";
}

TEST_F(ScreenPuzzleTest, PlacesOutliveTheirManagerAsFinished) {
    EnterWall();
    Hold("stoneA");
    ClickPlace(0);
    Here<ScreenPuzzleMngr>().at(0)->dead = true;
    StepHere();
    ASSERT_TRUE(Here<ScreenPuzzleMngr>().empty());
    ScreenPuzzle& place = *Here<ScreenPuzzle>().at(1);
    EXPECT_TRUE(place.PuzzleOver());
    EXPECT_FALSE(place.RequirementsMet());
    Hold("stoneB");
    ClickPlace(1);
    EXPECT_EQ(Held(), "stoneB");
    EXPECT_EQ(Filled(), "F..");
}

} // namespace
