// The ball slider: where a click sends the ball, falling into the goal on the way, the trap, the
// backdrop's widened rectangle for leaving, the hover arrows, and boards without a start.

#include "puzzles/BallSlider.h"

#include "engine/Exception.h"
#include "puzzles/Background.h"
#include "puzzles/RotatingTiles.h"
#include "tests/puzzles/PlacementFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Cells of 64 pixels from the top left of the screen: the ball starts at (1, 1), the goal lies in
// the middle of row 2 and the trap at the end of row 3, whose left end has no wall.
const char* const kMaze = "offsetX: 0\noffsetY: 0\nColumns: 6\nRows: 5\nBOARD_SHAPE:\n"
                          "OOOOOO\n"
                          "OBEEEE\n"
                          "OEEDEO\n"
                          "EEEETO\n"
                          "OOOOOO\n";

// The ball is made by its class name alone.
const char* const kDefinitions =
    "(Backdrop Background (POSI) (SPRT (file gfx\\back.ani) (animName idle)) (COLI))\n"
    "(Slider SlyderMngr (KEYB) (Data (ballFileName gfx\\ball.ani) (arrowFileName gfx\\arrows.ani)"
    " (definition levels/boards/maze.txt)))\n";

// The backdrop's 400 x 400 frame centred at (200, 200).
const char* const kWithBackdrop = "(Backdrop (POSI (position 200 200)))\n(Slider)";

float Centre(int32_t cell) {
    return 64.0f * static_cast<float>(cell) + 32.0f;
}

class BallSliderTest : public PlacementTest {
protected:
    void SetUp() override {
        PlacementTest::SetUp();
        WriteData("levels/boards/maze.txt", kMaze);
        WriteData("gfx/back.ani", "(framedAnim idle back.png 400 400 (frames 0))\n");
        WriteData("gfx/ball.ani", "(emptyAnim idle)\n(emptyAnim roll)\n(emptyAnim complete)\n");
        WriteData("gfx/arrows.ani", "(emptyAnim exit_down)\n(emptyAnim exit_up)\n"
                                    "(emptyAnim exit_left)\n(emptyAnim exit_right)\n");
    }

    SlyderMngr& Manager() { return *All<SlyderMngr>().at(0); }
    PositionChunk& Ball() { return At(*Manager().ball); }
    void PutBall(int32_t column, int32_t row) {
        Ball().x = Centre(column);
        Ball().y = Centre(row);
    }
    // A press on a cell, then steps until the ball rests (or the game ends).
    void Roll(int32_t column, int32_t row) {
        Press(Centre(column), Centre(row));
        for (int step = 0; step < 300 && Manager().rolling && !Manager().finished; ++step) {
            Step();
        }
    }
};

TEST_F(BallSliderTest, AClickInLineSendsTheBallToTheCellBeforeTheNextWall) {
    struct Case {
        const char* what;
        int32_t ballColumn, ballRow, column, row, endColumn, endRow;
    };
    const Case cases[] = {
        {"right, no wall: the last column", 1, 1, 3, 1, 5, 1},
        {"right, to the wall", 1, 2, 4, 2, 4, 2},
        {"down, to the wall", 1, 1, 1, 3, 1, 3},
        {"left, no wall: column 1", 3, 3, 0, 3, 1, 3},
        {"up, no wall: row 1", 3, 3, 3, 0, 3, 1},
        {"diagonal: nowhere", 1, 1, 2, 2, 1, 1},
        {"its own cell: nowhere", 1, 1, 1, 1, 1, 1},
    };
    LoadMiniGame(kDefinitions, kWithBackdrop);
    for (const Case& c : cases) {
        PutBall(c.ballColumn, c.ballRow);
        const auto [x, y] = Manager().RollTarget(Centre(c.column) + 10.0f, Centre(c.row) - 10.0f);
        EXPECT_EQ(x, Centre(c.endColumn)) << c.what;
        EXPECT_EQ(y, Centre(c.endRow)) << c.what;
    }
}

TEST_F(BallSliderTest, TheBallStartsOnItsCellAndRollsAtItsSpeed) {
    LoadMiniGame(kDefinitions, kWithBackdrop);
    EXPECT_EQ(Ball().x, Centre(1));
    EXPECT_EQ(Ball().y, Centre(1));
    Step(130); // the fade-in
    Press(Centre(3), Centre(1));
    EXPECT_TRUE(Manager().rolling);
    EXPECT_TRUE(Played("rock_ball_roll"));
    Step(30);
    // Half a second at 250 pixels a second.
    EXPECT_NEAR(Ball().x, Centre(1) + 125.0f, 5.0f);
    Roll(3, 1);
    EXPECT_EQ(Ball().x, Centre(5));
    EXPECT_FALSE(Manager().rolling);
}

TEST_F(BallSliderTest, ABallRollingOverTheGoalFallsInAndTheGameIsWonWithoutACompletionFlag) {
    LoadMiniGame(kDefinitions, kWithBackdrop);
    Step(130);
    PutBall(1, 2);
    Roll(5, 2);
    ASSERT_TRUE(Manager().finished);
    EXPECT_NEAR(Ball().x, Centre(3), 5.0f) << "it stops in the hole, short of the wall";
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_TRUE(Played("ball_fall"));
    EXPECT_FALSE(Played("game_won"));
    Step(115);
    EXPECT_FALSE(LeaveArmed());
    Step(10);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_TRUE(Played("game_won"));
    EXPECT_FALSE(ModalLevel->returnFlag);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
}

TEST_F(BallSliderTest, ATrapClosesTheGameAsLeftWithoutAWin) {
    LoadMiniGame(kDefinitions, kWithBackdrop);
    Step(130);
    PutBall(1, 3);
    Roll(5, 3);
    // It comes to rest on the trap, the wall behind it; the next step finds it there.
    Step();
    ASSERT_TRUE(Manager().finished);
    EXPECT_TRUE(ModalLevel->returnFlag);
    Step(125);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_FALSE(ModalLevel->won);
    EXPECT_FALSE(Played("ball_fall"));
    EXPECT_FALSE(Played("game_won"));
}

TEST_F(BallSliderTest, APressOffTheWidenedBackdropLeavesUnlessItIsOnTheHud) {
    struct Case {
        float x, y;
        bool leaves;
    };
    // The backdrop covers 0 to 400 both ways, widened to -30 to 430.
    const Case cases[] = {{Centre(1), 720.0f, false},
                          {Centre(1), 650.0f, true},
                          {Centre(1), 420.0f, false},
                          {440.0f, Centre(1), true}};
    for (const Case& c : cases) {
        LoadMiniGame(kDefinitions, kWithBackdrop);
        Step(130);
        Press(c.x, c.y);
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves) << c.x << "," << c.y;
        EXPECT_EQ(LeaveArmed(), c.leaves) << "leaving asks to close at once";
        // A press in line that does not leave rolls the ball.
        EXPECT_EQ(Manager().rolling, !c.leaves) << c.x << "," << c.y;
    }
}

TEST_F(BallSliderTest, TheArrowShowsTheWayUnderTheMouseOnlyOverTheBackdrop) {
    LoadMiniGame(kDefinitions, kWithBackdrop);
    Step(130);
    struct Case {
        float x, y;
        const char* direction;
    };
    const Case cases[] = {{Centre(1), Centre(3), "Down"},
                          {Centre(4), Centre(1), "Right"},
                          {Centre(0), Centre(1), ""}, // a wall beside the ball
                          {Centre(2), Centre(2), ""},
                          {Centre(1), 600.0f, ""}}; // below the backdrop
    for (const Case& c : cases) {
        MoveTo(c.x, c.y);
        EXPECT_EQ(Manager().arrowDirection, c.direction) << c.x << "," << c.y;
    }
}

TEST_F(BallSliderTest, WithoutABackdropTheWholeScreenIsPlayAndEscapeStillLeaves) {
    LoadMiniGame(kDefinitions, "(Slider)");
    ASSERT_EQ(SceneBackground, nullptr);
    MoveTo(Centre(1), Centre(3));
    EXPECT_TRUE(Manager().arrowDirection.empty());
    Press(900.0f, 100.0f);
    EXPECT_FALSE(ModalLevel->returnFlag);
    Step();
    GameLevel->levelSystem->toolInUse = true;
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
}

TEST_F(BallSliderTest, ABoardWithoutAStartCellIsRefusedNamingItsFile) {
    WriteData("levels/boards/maze.txt",
              "offsetX: 0\noffsetY: 0\nColumns: 3\nRows: 1\nBOARD_SHAPE:\nEDE\n");
    try {
        LoadMiniGame(kDefinitions, "(Slider)");
        ADD_FAILURE() << "loaded";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.Text()).find("levels/boards/maze.txt"), std::string::npos)
            << error.Text();
    }
}

} // namespace
