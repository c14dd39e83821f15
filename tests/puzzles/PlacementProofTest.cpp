// The placement games proven as a player meets them: opened over a location by GameModalProc and
// run in the real main loop, won by clicks worked out from the scene (and, for the switched
// picture, from its seeded shuffle as it came out), or left.

#include "engine/PositionSystem.h"
#include "puzzles/BlockPlacement.h"
#include "puzzles/SwitchPuzzle.h"
#include "tests/puzzles/MiniGameHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::vector<std::string> kSounds = {"game_won",     "pick1",          "paper_place",
                                          "map_complete", "ball_fall",      "pick",
                                          "place",        "rock_ball_roll", "game_appear"};

class PlacementProof : public MiniGameHarness {
protected:
    void SetUp() override {
        MiniGameHarness::SetUp();
        for (const char* particles : {"gfx/fx/collectible2.prt", "gfx/fx/snow_sparks.prt"}) {
            WriteData(particles, "(max_parts 4)\n(flow 0 10)\n");
        }
    }

    int32_t Flag(const std::string& name) {
        return CurrentPlayer->GetFlag(std::string(kLocation) + ":" + name);
    }

    static bool Played(const MiniGameResult& result, const std::string& sound) {
        return std::find(result.sounds.begin(), result.sounds.end(), sound) != result.sounds.end();
    }

    // A game left: the word of a way back, no completion flag, no reward, no win sound.
    void ExpectLeftBack(const MiniGameResult& result, const std::string& flag) {
        EXPECT_EQ(result.word, 5);
        EXPECT_EQ(Flag(flag), 0);
        EXPECT_EQ(result.energyGained, 0);
        EXPECT_FALSE(Played(result, "game_won"));
        EXPECT_FALSE(result.wonAt);
        EXPECT_TRUE(result.returnFlagAt);
        EXPECT_TRUE(result.leaveArmedAt);
    }
};

// ---------------------------------------------------------------------------------------------
// The map: two slots, then their pieces (a press reaches the slot before the carried piece).

const char* const kMapDefinitions =
    "(Piece PuzzleGameChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ) (COLI (left -30) (right 30) "
    "(top -30) (bottom 30)))\n"
    "(Slot PuzzleGameSlot (POSI) (KEYB ()) (SPRT (alpha 0)) (COLI) (Data (regionFromCenter 1)))\n"
    "(Map PuzzleGameMngr (KEYB) (Data))\n";

const char* const kMapScene =
    "(Meta (Name minigame4) (Type map_puzzle))\n(Objects\n"
    "(Slot (visName a) (POSI (position 400 300)) (Data (requires a)))\n"
    "(Slot (visName b) (POSI (position 520 300)) (Data (requires b)))\n"
    "(Piece (visName a) (POSI (position 150 600)) (Data (vec (x 0) (y 0))))\n"
    "(Piece (visName b) (POSI (position 850 600)) (Data (vec (x 120) (y 0))))\n"
    "(Map))\n";

TEST_F(PlacementProof, TheMapIsAssembledPieceByPieceAndTakesTheMapPieces) {
    WriteMiniGame("levels/map.txt", kMapScene, kMapDefinitions, kSounds);
    OpenMiniGame("levels/map.txt", 3);
    CurrentPlayer->AddMapPieces(10, true);
    Click(150, 600);
    Click(400, 300);
    Click(850, 600);
    Click(520, 300);
    const MiniGameResult result = Run();
    EXPECT_EQ(result.word, 6);
    EXPECT_EQ(Flag("minigame4_completed"), 1);
    EXPECT_EQ(CurrentPlayer->GetMapPieces(), 0);
    EXPECT_TRUE(Played(result, "paper_place"));
    EXPECT_TRUE(Played(result, "map_complete"));
    EXPECT_FALSE(result.wonAt) << "the map sets no won flag";
    EXPECT_FALSE(result.returnFlagAt);
    EXPECT_TRUE(result.leaveArmedAt);
}

// ---------------------------------------------------------------------------------------------
// The blocks: a board of three by two cells of 100 pixels from (300, 200), the middle of the
// bottom row covered; a pair across, a pair down and a single block.

const char* const kBlockDefinitions =
    "(Block TetrisPuzzleChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ) (COLI (left -40) (right 40) "
    "(top -40) (bottom 40)) (Data (pickSound pick) (placeSound place)))\n"
    "(Blocks TetrisPuzzleMngr (KEYB) (Data (cellSize 100) (definition "
    "levels/boards/blocks.txt)))\n";

const char* const kBlockScene =
    "(Meta (Name minigame1) (Type puzzle))\n(Objects\n"
    "(Block (POSI (position 150 650)) (Data (checkPoints (point 0 0 0) (point 1 0 1))))\n"
    "(Block (POSI (position 500 650)) (Data (checkPoints (point 0 0 0) (point 0 1 1))))\n"
    "(Block (POSI (position 850 650)) (Data (checkPoints (point 0 0 0))))\n"
    "(Blocks))\n";

class BlockProof : public PlacementProof {
protected:
    void OpenBlocks() {
        WriteData("levels/boards/blocks.txt",
                  "offsetX: 300\noffsetY: 200\nColumns: 3\nRows: 2\nBOARD_SHAPE:\nEEE\nEOE\n");
        WriteMiniGame("levels/blocks.txt", kBlockScene, kBlockDefinitions, kSounds);
        OpenMiniGame("levels/blocks.txt", 3);
    }
};

TEST_F(BlockProof, TheBlocksAreWonByCoveringEveryCell) {
    OpenBlocks();
    const std::array<std::array<int, 4>, 3> moves = {
        {{150, 650, 350, 250}, {500, 650, 550, 250}, {850, 650, 350, 350}}};
    for (const auto& [fromX, fromY, toX, toY] : moves) {
        Click(fromX, fromY);
        // The carried block follows the mouse in the steps before the press.
        Move(toX, toY);
        Click(toX, toY);
    }
    const MiniGameResult result = Run();
    EXPECT_EQ(result.word, 6);
    EXPECT_EQ(Flag("minigame1_completed"), 1);
    EXPECT_EQ(result.energyGained, 1);
    EXPECT_TRUE(Played(result, "place"));
    EXPECT_TRUE(Played(result, "game_won"));
    ASSERT_TRUE(result.wonAt);
    ASSERT_TRUE(result.leaveArmedAt);
    // Two seconds of delay, a step a pass.
    EXPECT_GE(*result.leaveArmedAt - *result.wonAt, 119);
    EXPECT_LE(*result.leaveArmedAt - *result.wonAt, 122);
}

TEST_F(BlockProof, TheBlocksAreLeftByEscapeAlone) {
    OpenBlocks();
    Wait(10);
    Click(100, 400);
    Escape();
    ExpectLeftBack(Run(), "minigame1_completed");
}

// ---------------------------------------------------------------------------------------------
// The switched picture: tiles of 100 pixels from (350, 200).

const char* const kSwitchDefinitions =
    "(Tile SwitchPuzzleChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ) (COLI (left -50) (right 50) "
    "(top -50) (bottom 50)))\n"
    "(Switch SwitchPuzzleMngr (KEYB) (Data))\n";

int PlaceX(int place) {
    return 350 + 100 * (place % 4);
}
int PlaceY(int place) {
    return 200 + 100 * (place / 4);
}

std::string SwitchScene() {
    std::string scene = "(Meta (Name switchpuzzle) (Type switchpuzzle))\n(Objects\n";
    for (int id = 0; id < 16; ++id) {
        scene += "(Tile (POSI (position " + std::to_string(PlaceX(id)) + " " +
                 std::to_string(PlaceY(id)) + ")) (Data (ID " + std::to_string(id) + ")))\n";
    }
    return scene + "(Switch))\n";
}

class SwitchProof : public PlacementProof {
protected:
    // The swaps of neighbouring places that bring every tile home, worked out from where the
    // tiles stand: place by place, the tile that belongs there goes along its row to the
    // place's column, then up; the places already done are never touched.
    static std::vector<std::pair<int, int>> Solution(std::array<int, 16> home) {
        std::vector<std::pair<int, int>> swaps;
        const auto swapPlaces = [&](int a, int b) {
            std::swap(home[static_cast<std::size_t>(a)], home[static_cast<std::size_t>(b)]);
            swaps.emplace_back(a, b);
        };
        for (int place = 0; place < 16; ++place) {
            int at = static_cast<int>(std::find(home.begin(), home.end(), place) - home.begin());
            while (at % 4 != place % 4) {
                const int next = at % 4 < place % 4 ? at + 1 : at - 1;
                swapPlaces(at, next);
                at = next;
            }
            while (at != place) {
                swapPlaces(at, at - 4);
                at -= 4;
            }
        }
        return swaps;
    }

    void PlanSwapsAfterTheShuffle() {
        // Past the five seconds whole: the shuffle as it came out decides the clicks.
        Wait(330);
        Then([this] {
            std::array<int, 16> home{};
            for (const SwitchPuzzleChunk* tile : Pieces<SwitchPuzzleChunk>()) {
                home[static_cast<std::size_t>(tile->currentId)] = tile->homeId;
            }
            swapsPlanned = Solution(home);
            for (const auto& [from, to] : swapsPlanned) {
                Click(PlaceX(from), PlaceY(from));
                Click(PlaceX(to), PlaceY(to));
                Wait(45); // the exchange takes 0.6 s
            }
        });
        // The harness walks the actions due at a pass up to the next planned one: this empty
        // action keeps the clicks planned above out of that walk.
        Then([] {});
    }

    std::vector<std::pair<int, int>> swapsPlanned;
};

TEST_F(SwitchProof, ThePictureIsRestoredBySwappingNeighbours) {
    WriteMiniGame("levels/switch.txt", SwitchScene(), kSwitchDefinitions, kSounds);
    OpenMiniGame("levels/switch.txt", 9);
    PlanSwapsAfterTheShuffle();
    const MiniGameResult result = Run(20000);
    ASSERT_FALSE(swapsPlanned.empty()) << "a shuffle that left the picture whole proves nothing";
    EXPECT_EQ(result.word, 6);
    EXPECT_EQ(Flag("switchpuzzle_completed"), 1);
    EXPECT_EQ(result.energyGained, 1);
    EXPECT_TRUE(Played(result, "game_won"));
    EXPECT_TRUE(result.wonAt);
}

TEST_F(SwitchProof, ThePictureIsLeftByAClickBesideIt) {
    WriteMiniGame("levels/switch.txt", SwitchScene(), kSwitchDefinitions, kSounds);
    OpenMiniGame("levels/switch.txt", 9);
    Wait(330);
    Click(100, 400);
    ExpectLeftBack(Run(), "switchpuzzle_completed");
}

// ---------------------------------------------------------------------------------------------
// The ball slider: cells of 64 pixels from (300, 200); the ball rolls right to the wall, then
// down over the goal. Straight down from the start lies the trap.

const char* const kSliderDefinitions =
    "(Slider SlyderMngr (KEYB) (Data (definition levels/boards/maze.txt)))\n";

const char* const kSliderScene = "(Meta (Name maze) (Type puzzle))\n(Objects\n(Slider))\n";

class SliderProof : public PlacementProof {
protected:
    void OpenSlider() {
        WriteData("levels/boards/maze.txt", "offsetX: 300\noffsetY: 200\nColumns: 6\nRows: 5\n"
                                            "BOARD_SHAPE:\nOOOOOO\nOBEEOO\nOEOEOO\nOTEDEO\n"
                                            "OOOOOO\n");
        WriteData("gfx/puzzles/slyder_ball.ani", "(emptyAnim idle)\n(emptyAnim roll)\n"
                                                 "(emptyAnim complete)\n");
        WriteData("gfx/puzzles/slyder1_arrows.ani", "(emptyAnim exit_down)\n");
        WriteMiniGame("levels/maze.txt", kSliderScene, kSliderDefinitions, kSounds);
        OpenMiniGame("levels/maze.txt", 3);
        Wait(130); // the fade-in
    }

    static int Centre(int origin, int cell) { return origin + 64 * cell + 32; }
};

TEST_F(SliderProof, TheBallIsRolledIntoItsHole) {
    OpenSlider();
    Click(Centre(300, 3), Centre(200, 1));
    Wait(60);
    Click(Centre(300, 3), Centre(200, 3));
    const MiniGameResult result = Run();
    EXPECT_EQ(result.word, 6);
    EXPECT_EQ(Flag("maze_completed"), 0) << "the slider sets no completion flag";
    EXPECT_EQ(result.energyGained, 1);
    EXPECT_TRUE(Played(result, "rock_ball_roll"));
    EXPECT_TRUE(Played(result, "ball_fall"));
    EXPECT_TRUE(Played(result, "game_won"));
    ASSERT_TRUE(result.wonAt);
    ASSERT_TRUE(result.leaveArmedAt);
    EXPECT_GE(*result.leaveArmedAt - *result.wonAt, 119);
}

TEST_F(SliderProof, TheTrapAndEscapeEndTheGameAsLeft) {
    OpenSlider();
    Click(Centre(300, 1), Centre(200, 3));
    ExpectLeftBack(Run(), "maze_completed");
}

TEST_F(SliderProof, EscapeLeavesTheSlider) {
    OpenSlider();
    Escape();
    ExpectLeftBack(Run(), "maze_completed");
}

} // namespace
