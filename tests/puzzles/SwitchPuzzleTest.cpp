// The switch puzzle: five seconds whole, then shuffled; neighbours swapped through the exchange
// effect, the win once the ids are exchanged, the sparks at the end of its delay, and leaving.

#include "puzzles/SwitchPuzzle.h"

#include "engine/Exception.h"
#include "tests/puzzles/PlacementFixture.h"
#include "world/FxPath.h"
#include "world/fx/FxReplace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kDefinitions =
    "(Tile SwitchPuzzleChunk (POSI) (KEYB ()) (SPRT) (COLI (left -50) (right 50) (top -50) "
    "(bottom 50)))\n"
    "(Switch SwitchPuzzleMngr (KEYB) (Data))\n";

// Place p of the picture, 100 x 100 from (300, 150), row by row.
float PlaceX(int32_t place) {
    return 300.0f + 100.0f * static_cast<float>(place % 4);
}
float PlaceY(int32_t place) {
    return 150.0f + 100.0f * static_cast<float>(place / 4);
}

std::string Tiles(const std::vector<int32_t>& ids) {
    std::string scene;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const auto place = static_cast<int32_t>(i);
        scene += "(Tile (POSI (position " + std::to_string(PlaceX(place)) + " " +
                 std::to_string(PlaceY(place)) + ")) (Data (ID " + std::to_string(ids[i]) + ")))\n";
    }
    return scene + "(Switch)";
}

std::vector<int32_t> Picture() {
    std::vector<int32_t> ids;
    for (int32_t id = 0; id < 16; ++id) {
        ids.push_back(id);
    }
    return ids;
}

class SwitchPuzzleTest : public PlacementTest {
protected:
    SwitchPuzzleMngr& Manager() { return *All<SwitchPuzzleMngr>().at(0); }

    // Loaded and past the shuffle, then every tile put back home but the two places swapped
    // (else the picture would be won at once).
    void LoadStarted(int32_t first = 14, int32_t second = 15) {
        LoadMiniGame(kDefinitions, Tiles(Picture()));
        Step(301);
        ASSERT_TRUE(Manager().started);
        for (SwitchPuzzleChunk* tile : All<SwitchPuzzleChunk>()) {
            tile->currentId = tile->homeId;
            At(*tile).x = PlaceX(tile->homeId);
            At(*tile).y = PlaceY(tile->homeId);
        }
        Manager().SwapDirectly(first, second);
    }

    // A press, then a step with the button up, so that the next press is a new one.
    void ClickPlace(int32_t place) {
        Press(PlaceX(place), PlaceY(place));
        Step();
    }
};

TEST_F(SwitchPuzzleTest, ForFiveSecondsThePictureIsWholeAndTakesNoClickNorEscape) {
    SeedRandom(5);
    LoadMiniGame(kDefinitions, Tiles(Picture()));
    ClickPlace(0);
    PressEscape();
    Step(290);
    EXPECT_TRUE(Manager().selection.empty());
    EXPECT_FALSE(ModalLevel->returnFlag);
    for (const SwitchPuzzleChunk* tile : All<SwitchPuzzleChunk>()) {
        ASSERT_EQ(tile->currentId, tile->homeId);
    }
    Step(10);
    EXPECT_TRUE(Manager().started);
    int moved = 0;
    for (const SwitchPuzzleChunk* tile : All<SwitchPuzzleChunk>()) {
        moved += tile->currentId != tile->homeId ? 1 : 0;
        // Each tile stands on the place its id names.
        EXPECT_EQ(At(*const_cast<SwitchPuzzleChunk*>(tile)).x, PlaceX(tile->currentId));
    }
    EXPECT_GT(moved, 0);
}

TEST_F(SwitchPuzzleTest, OnlyNeighboursInTheSameRowOrColumnAreSwapped) {
    struct Case {
        int32_t first, second;
        bool swapped;
    };
    // 3 and 4 end one row and start the next; 0 and 5 are diagonal; a tile clicked twice clears.
    const Case cases[] = {{0, 1, true},  {5, 1, true},  {5, 9, true},  {6, 5, true}, {3, 4, false},
                          {4, 3, false}, {0, 5, false}, {6, 6, false}, {0, 2, false}};
    for (const Case& c : cases) {
        LoadStarted();
        ClickPlace(c.first);
        EXPECT_EQ(Manager().selection, std::vector<int32_t>{c.first});
        EXPECT_EQ(Manager().TileAt(c.first)->selected, 1);
        ClickPlace(c.second);
        EXPECT_EQ(All<FxReplace>().size(), c.swapped ? 1u : 0u) << c.first << "," << c.second;
        EXPECT_TRUE(Manager().selection.empty());
        for (const SwitchPuzzleChunk* tile : All<SwitchPuzzleChunk>()) {
            EXPECT_EQ(tile->selected, 0);
        }
    }
}

TEST_F(SwitchPuzzleTest, TheWinWaitsForTheExchangeAndTheSparksForTheEndOfTheDelay) {
    LoadStarted(0, 1);
    ClickPlace(0);
    ClickPlace(1);
    ASSERT_EQ(All<FxReplace>().size(), 1u);
    Step();
    EXPECT_TRUE(Manager().swapping);
    // Clicks while the tiles slide are not taken.
    ClickPlace(8);
    EXPECT_TRUE(Manager().selection.empty());
    Step(20);
    EXPECT_FALSE(Manager().finished) << "the ids are exchanged only at the end";
    EXPECT_FALSE(ModalLevel->won);
    for (int step = 0; step < 40 && !Manager().finished; ++step) {
        Step();
    }
    EXPECT_FALSE(Manager().swapping);
    ASSERT_TRUE(Manager().finished);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_TRUE(Played("game_won"));
    EXPECT_TRUE(All<FxPath>().empty()) << "no sparks with the win";
    Step(25);
    EXPECT_TRUE(All<FxPath>().empty());
    EXPECT_FALSE(LeaveArmed());
    Step(10);
    EXPECT_EQ(All<FxPath>().size(), 4u);
    EXPECT_TRUE(LeaveArmed());
}

TEST_F(SwitchPuzzleTest, AHeldItemBlocksLeavingAndLeavingDropsTheToolWithoutSparks) {
    LoadStarted(0, 1);
    GameLevel->levelSystem->heldItemName = "key";
    Press(100.0f, 400.0f);
    PressEscape();
    EXPECT_FALSE(ModalLevel->returnFlag);
    GameLevel->levelSystem->heldItemName.clear();
    GameLevel->levelSystem->toolInUse = true;
    Press(100.0f, 400.0f);
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
    // Put right after leaving, the picture is not a win.
    Manager().SwapDirectly(0, 1);
    Step(60);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_TRUE(All<FxPath>().empty());
    EXPECT_FALSE(Played("game_won"));
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
}

TEST_F(SwitchPuzzleTest, AScenewithoutTheSixteenTilesOnceEachIsRefusedNamingIt) {
    std::vector<int32_t> fifteen = Picture();
    fifteen.pop_back();
    std::vector<int32_t> twice = Picture();
    twice[15] = 3;
    std::vector<int32_t> outside = Picture();
    outside[15] = 16;
    for (const std::vector<int32_t>& ids : {fifteen, twice, outside}) {
        try {
            LoadMiniGame(kDefinitions, Tiles(ids));
            ADD_FAILURE() << "loaded";
        } catch (const Exception& error) {
            EXPECT_NE(std::string(error.Text()).find("levels/board.txt"), std::string::npos)
                << error.Text();
        }
    }
}

} // namespace
