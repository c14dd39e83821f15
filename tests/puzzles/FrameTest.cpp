// The frame every mini-game stands on, shown on the rotating tiles (the frame's plainest game):
// which pieces a manager collects, the leave zone and Escape, what leaving and winning set, and
// pieces that outlive their manager.

#include "engine/PositionSystem.h"
#include "puzzles/PipesPuzzle.h"
#include "puzzles/RotatingTiles.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "world/fx/FxRotate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A 100 x 100 tile at (500, 400) and the manager, which takes every message.
const char* const kTiles = "(Tile PuzzleChunk (POSI) (KEYB) (SPRT)"
                           " (COLI (left -50) (right 50) (top -50) (bottom 50))"
                           " (Data (clickEvent PROT)))\n"
                           "(Tiles PuzzleMngr (KEYB) (Data))\n";

class FrameTest : public PuzzleTest {
protected:
    PuzzleMngr& Manager() { return *All<PuzzleMngr>().at(0); }
    PuzzleChunk& Tile(std::size_t i) { return *All<PuzzleChunk>().at(i); }
    int32_t CompletionFlag() { return CurrentPlayer->GetFlag("gate:minigame1_completed"); }
};

TEST_F(FrameTest, ALeftPressLeavesOnlyInTheLeaveZone) {
    struct Case {
        float x, y;
        bool leaves;
    };
    const std::vector<Case> cases = {
        {200, 400, false}, {800, 400, false}, {199, 400, true},  {801, 400, true},
        {500, 99, true},   {100, 700, false}, {100, 750, false}, {500, 650, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        EXPECT_EQ(MiniGameManager::InBoardLeaveZone(c.x, c.y), c.leaves);
        // Through the manager: the tile starts turned, so no win hides the leave.
        SeedRandom(2);
        LoadMiniGame(kTiles, "(Tile (POSI (position 500 300)))\n(Tiles)");
        Tile(0).SetRotation(90.0f);
        Press(c.x, c.y);
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(Manager().finished, c.leaves);
    }
}

TEST_F(FrameTest, EscapeLeavesWhateverTheMouseDoesUntilTheGameIsOverOrLeaving) {
    LoadMiniGame(kTiles, "(Tile (POSI (position 500 400)))\n(Tiles)");
    Tile(0).SetRotation(90.0f);
    Mouse.x = 500; // over the tile, in the play area
    Mouse.y = 400;
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_EQ(CompletionFlag(), 0) << "a game left is not won";
    EXPECT_FALSE(ModalLevel->won);
    EXPECT_TRUE(PlayedFiles().empty()) << "no win sound";
    // The leave request follows after the delay, and the manager goes.
    Step(20);
    EXPECT_FALSE(LeaveArmed());
    Step(20);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_TRUE(All<PuzzleMngr>().empty());

    // Nothing once a leave request is set, or once the game is over.
    for (const bool won : {false, true}) {
        SCOPED_TRACE(won ? "won" : "leave requested");
        LoadMiniGame(kTiles, "(Tile (POSI (position 500 400)))\n(Tiles)");
        Tile(0).SetRotation(won ? 0.0f : 90.0f);
        if (won) {
            Step();
            ASSERT_TRUE(Manager().finished);
        } else {
            ModalLevel->levelSystem->leaveArmed = true;
        }
        PressEscape();
        Press(100, 400);
        EXPECT_FALSE(ModalLevel->returnFlag);
    }
}

TEST_F(FrameTest, AHeldItemBlocksThePiecesButNotTheLeave) {
    LoadMiniGame(kTiles, "(Tile (POSI (position 500 400)))\n(Tiles)");
    Tile(0).SetRotation(90.0f);
    HoldAnItem();
    Press(500, 400);
    EXPECT_TRUE(All<FxRotate>().empty()) << "no turn with an item on the cursor";
    Press(100, 400);
    EXPECT_TRUE(ModalLevel->returnFlag);
}

TEST_F(FrameTest, TheManagerTakesOnlyItsOwnClassListedBeforeIt) {
    const std::string definitions = std::string(kTiles) +
                                    "(Pipe PipesPuzzleChunk (POSI) (KEYB) (SPRT) (Data (type A)))\n"
                                    "(TilesAgain PuzzleMngr (KEYB) (Data))\n";
    LoadMiniGame(definitions, "(Tile (POSI (position 300 300)))\n"
                              "(Pipe (POSI (position 400 300)))\n"
                              "(Tiles)\n"
                              "(Tile (POSI (position 500 300)))");
    ASSERT_EQ(Manager().Pieces().size(), 1u) << "not the pipe, nor the tile after the manager";
    EXPECT_EQ(Manager().Pieces()[0], &Tile(0));
    EXPECT_TRUE(Tile(0).manager.Collected());
    EXPECT_FALSE(Tile(1).manager.Collected());
    EXPECT_FALSE(All<PipesPuzzleChunk>().at(0)->manager.Collected());
}

TEST_F(FrameTest, AManagerReadTwiceCollectsAndSetsUpItsPiecesOnce) {
    // The definition and the scene entry both carry "Data": the manager reads keys twice.
    const std::string definitions =
        std::string(kTiles) + "(TilesWithData PuzzleMngr (KEYB) (Data))\n";
    SeedRandom(5);
    LoadMiniGame(definitions, "(Tile (POSI (position 300 300)))\n(Tile (POSI (position 500 300)))\n"
                              "(TilesWithData (Data))");
    const int32_t next = Random();
    SeedRandom(5);
    Random();
    Random(); // one start rotation for each of the two tiles, no more
    EXPECT_EQ(next, Random());
    EXPECT_EQ(All<PuzzleMngr>().at(0)->Pieces().size(), 2u);
}

// The manager leaves the scene half a second after the win; its tiles stay and must read it as
// finished, never touch it.
TEST_F(FrameTest, PiecesOutliveTheirManagerAndReadItAsFinished) {
    LoadMiniGame(kTiles, "(Tile (POSI (position 500 400)))\n(Tiles)");
    Tile(0).SetRotation(0.0f);
    Step(); // won at once
    Step(4 * 60);
    ASSERT_TRUE(All<PuzzleMngr>().empty());
    EXPECT_TRUE(Tile(0).manager.Finished());
    Press(500, 400);
    Press(500, 400, true);
    EXPECT_TRUE(All<FxRotate>().empty()) << "clicks 4 s past the win turn nothing";
}

} // namespace
