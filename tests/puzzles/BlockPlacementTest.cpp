// The block placement game: the blocks' directions and turns, putting down on free cells only,
// lifting off the board, the win when every cell is covered, and Escape as the only way out.

#include "puzzles/BlockPlacement.h"

#include "tests/puzzles/PlacementFixture.h"
#include "world/FxParticles.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Cells of 100 pixels from (300, 200): three columns, two rows, the middle of the bottom row
// covered from the start.
const char* const kBoard = "offsetX: 300\noffsetY: 200\nColumns: 3\nRows: 2\nBOARD_SHAPE:\n"
                           "EEE\nEOE\n";

const char* const kDefinitions =
    "(Block TetrisPuzzleChunk (POSI) (KEYB ()) (SPRT) (COLI (left -40) (right 40) (top -40) "
    "(bottom 40)) (Data (pickSound pick) (placeSound place)))\n"
    "(Blocks TetrisPuzzleMngr (KEYB) (Data (cellSize 100) (definition "
    "levels/boards/blocks.txt)))\n";

// A block of two cells side by side (its anchor and the one to the right) at (100, 600), and one
// of two cells one above the other at (700, 600).
const char* const kBlocks = "(Block (POSI (position 100 600)) (Data (checkPoints (point 0 0 0) "
                            "(point 1 0 1))))\n"
                            "(Block (POSI (position 700 600)) (Data (checkPoints (point 0 0 0) "
                            "(point 0 1 1))))\n"
                            "(Blocks)";

class BlockPlacementTest : public PlacementTest {
protected:
    void SetUp() override {
        PlacementTest::SetUp();
        WriteData("levels/boards/blocks.txt", kBoard);
    }

    TetrisPuzzleMngr& Manager() { return *All<TetrisPuzzleMngr>().at(0); }
    TetrisPuzzleChunk& Block(std::size_t i) { return *All<TetrisPuzzleChunk>().at(i); }

    // Picks the block up where it lies and puts it down with the mouse at (x, y).
    void PutDown(std::size_t block, float x, float y) {
        Press(At(Block(block)).x, At(Block(block)).y);
        MoveTo(x, y);
        Press(x, y);
    }

    std::vector<std::pair<int32_t, int32_t>> Covered() {
        std::vector<std::pair<int32_t, int32_t>> cells;
        for (int32_t column = 0; column < 3; ++column) {
            for (int32_t row = 0; row < 2; ++row) {
                if (Manager().IsCovered(column, row)) {
                    cells.emplace_back(column, row);
                }
            }
        }
        return cells;
    }
};

TEST_F(BlockPlacementTest, StepPairsGiveTheirDirectionStraightOrDiagonal) {
    struct Case {
        int32_t x, y, direction;
        bool diagonal;
    };
    const Case cases[] = {{0, -1, 0, false}, {1, 0, 1, false}, {0, 1, 2, false}, {-1, 0, 3, false},
                          {-1, -1, 0, true}, {1, -1, 1, true}, {1, 1, 2, true},  {-1, 1, 3, true},
                          {2, 0, 0, false},  {0, 0, 0, false}};
    for (const Case& c : cases) {
        const BlockCheckPoint point = TetrisPuzzleChunk::PointOf(c.x, c.y, 1);
        EXPECT_EQ(point.direction, c.direction) << c.x << "," << c.y;
        EXPECT_EQ(point.diagonal, c.diagonal) << c.x << "," << c.y;
    }
}

TEST_F(BlockPlacementTest, FourTurnsOfTheCarriedBlockBringItsDirectionsBackAndKeepTurning) {
    LoadMiniGame(kDefinitions, kBlocks);
    Press(100.0f, 600.0f, true);
    EXPECT_EQ(At(Block(0)).rotation, 0.0f) << "a loose block does not turn";
    Press(100.0f, 600.0f);
    // The second cell lies to the right (1), then below, left, above and right again.
    const int32_t expected[] = {1, 2, 3, 0, 1};
    for (int turn = 0; turn <= 4; ++turn) {
        EXPECT_EQ(Block(0).checkPoints[1].direction, expected[turn]) << turn;
        EXPECT_EQ(At(Block(0)).rotation, 90.0f * static_cast<float>(turn));
        Press(100.0f, 600.0f, true);
    }
    EXPECT_EQ(At(Block(0)).rotation, 450.0f);
    // Five turns on, the pair points down: put down at the top left it covers (0, 0) and (0, 1).
    ASSERT_EQ(Block(0).checkPoints[1].direction, 2);
    MoveTo(350.0f, 250.0f);
    Press(350.0f, 250.0f);
    EXPECT_EQ(Covered(), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {0, 1}, {1, 1}}));
}

TEST_F(BlockPlacementTest, ABlockGoesOnTheBoardOnlyWhereAllItsCellsAreFree) {
    struct Case {
        const char* what;
        float x, y;
        bool placed;
    };
    const Case cases[] = {
        {"two free cells", 350.0f, 250.0f, true},
        {"the right edge", 351.0f + 99.0f, 250.0f, true},
        {"over the right edge", 550.0f, 250.0f, false},
        {"an O cell", 450.0f, 350.0f, false},
        // Cut towards zero, -0.1 of a cell would be column 0 and the block would cover (0, 0)
        // twice.
        {"over the left edge", 290.0f, 250.0f, false},
        {"above the board", 350.0f, 190.0f, false},
    };
    for (const Case& c : cases) {
        LoadMiniGame(kDefinitions, kBlocks);
        PutDown(0, c.x, c.y);
        EXPECT_EQ(Block(0).onBoard, c.placed) << c.what;
        EXPECT_EQ(Manager().held, nullptr) << c.what << ": put down or dropped, never kept";
        if (c.placed) {
            const auto [column, row] = Manager().CellAt(c.x, c.y);
            EXPECT_EQ(At(Block(0)).x, 350.0f + 100.0f * static_cast<float>(column)) << c.what;
            EXPECT_EQ(At(Block(0)).y, 250.0f) << c.what;
            EXPECT_EQ(Block(0).coveredCells.size(), 2u);
            EXPECT_TRUE(Played("place"));
            EXPECT_EQ(All<FxParticles>().size(), 1u);
        } else {
            EXPECT_EQ(At(Block(0)).x, c.x) << c.what << ": dropped where it is";
            EXPECT_EQ(Covered(), (std::vector<std::pair<int32_t, int32_t>>{{1, 1}})) << c.what;
        }
    }
}

TEST_F(BlockPlacementTest, ACoveredCellRefusesASecondBlock) {
    LoadMiniGame(kDefinitions, kBlocks);
    PutDown(0, 350.0f, 250.0f);
    ASSERT_TRUE(Block(0).onBoard);
    // The upright pair on (1, 0) and (1, 1): both taken.
    PutDown(1, 450.0f, 250.0f);
    EXPECT_FALSE(Block(1).onBoard);
}

TEST_F(BlockPlacementTest, LiftingABlockFreesExactlyItsCellsAndPressesElsewhereDoNothing) {
    LoadMiniGame(kDefinitions, kBlocks);
    PutDown(0, 350.0f, 250.0f);
    PutDown(1, 550.0f, 250.0f);
    ASSERT_TRUE(Block(1).onBoard);
    ASSERT_EQ(Covered(),
              (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}));
    // Off the board, on the board's own "O" cell, and on the board beside the blocks.
    for (const auto& [x, y] :
         {std::pair{100.0f, 100.0f}, std::pair{900.0f, 700.0f}, std::pair{450.0f, 350.0f}}) {
        Press(x, y);
        EXPECT_EQ(Manager().held, nullptr) << x << "," << y;
    }
    EXPECT_TRUE(Block(0).onBoard);
    // Its second cell, outside its rectangle, lifts the first block.
    Press(450.0f, 250.0f);
    EXPECT_EQ(Manager().held, &Block(0));
    EXPECT_FALSE(Block(0).onBoard);
    EXPECT_TRUE(Block(0).coveredCells.empty());
    EXPECT_EQ(Covered(), (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 0}, {2, 1}}));
    EXPECT_TRUE(Played("pick"));
}

TEST_F(BlockPlacementTest, ABoardAllCoveredIsWonAtOnceAndClosesAfterTwoSeconds) {
    WriteData("levels/boards/blocks.txt",
              "offsetX: 300\noffsetY: 200\nColumns: 2\nRows: 1\nBOARD_SHAPE:\nOO\n");
    LoadMiniGame(kDefinitions, kBlocks);
    Step();
    EXPECT_TRUE(Manager().finished);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"game_won"});
    Step(115);
    EXPECT_FALSE(LeaveArmed());
    Step(10);
    EXPECT_TRUE(LeaveArmed());
}

TEST_F(BlockPlacementTest, OnlyEscapeLeavesAndItDropsTheHeldTool) {
    LoadMiniGame(kDefinitions, kBlocks);
    GameLevel->levelSystem->toolInUse = true;
    for (const auto& [x, y] : {std::pair{100.0f, 50.0f}, std::pair{100.0f, 400.0f}}) {
        Press(x, y);
    }
    EXPECT_FALSE(ModalLevel->returnFlag);
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_TRUE(Manager().finished);
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
    Step(130);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
    EXPECT_FALSE(Played("game_won"));
}

} // namespace
