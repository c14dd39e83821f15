// The rotating tiles: random start rotations, turns through the tile-turn effect, the win when
// every tile stands at 0 with its flag, sound and sparks.

#include "puzzles/RotatingTiles.h"

#include "tests/puzzles/PuzzleFixture.h"
#include "world/FxPath.h"
#include "world/fx/FxRotate.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const char* const kTiles = "(Tile PuzzleChunk (POSI) (KEYB ()) (SPRT)"
                           " (COLI (left -50) (right 50) (top -50) (bottom 50))"
                           " (Data (clickEvent PROT)))\n"
                           "(Tiles PuzzleMngr (KEYB) (Data))\n";
const char* const kThreeTiles = "(Tile (POSI (position 300 300)))\n"
                                "(Tile (POSI (position 400 300)))\n"
                                "(Tile (POSI (position 500 300)))\n"
                                "(Tiles)";

class RotatingTilesTest : public PuzzleTest {
protected:
    PuzzleChunk& Tile(std::size_t i) { return *All<PuzzleChunk>().at(i); }
    PuzzleMngr& Manager() { return *All<PuzzleMngr>().at(0); }
};

TEST_F(RotatingTilesTest, StartRotationsAreQuarterTurnsMostlyAt270) {
    std::map<float, int> seen;
    SeedRandom(11);
    for (int run = 0; run < 40; ++run) {
        LoadMiniGame(kTiles, kThreeTiles);
        for (const PuzzleChunk* tile : All<PuzzleChunk>()) {
            ++seen[tile->RotationDegrees()];
        }
    }
    EXPECT_EQ(seen.size(), 4u);
    for (const auto& [angle, count] : seen) {
        EXPECT_TRUE(angle == 0.0f || angle == 90.0f || angle == 180.0f || angle == 270.0f);
    }
    EXPECT_GT(seen[270.0f], 60) << "seven in ten of 120";
}

TEST_F(RotatingTilesTest, ABoardUprightAtTheStartIsWonInTheFirstStep) {
    LoadMiniGame(kTiles, kThreeTiles);
    for (PuzzleChunk* tile : All<PuzzleChunk>()) {
        tile->SetRotation(0.0f);
    }
    Step();
    EXPECT_TRUE(Manager().finished);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"game_won"});
    // The four sparks along the border, in order.
    const std::vector<FxPath*> sparks = All<FxPath>();
    ASSERT_EQ(sparks.size(), 4u);
    const float border[4][4] = {
        {253, 121, 775, 119}, {775, 119, 775, 646}, {775, 646, 253, 646}, {253, 646, 253, 121}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(sparks[i]->endX, border[i][2]);
        EXPECT_EQ(sparks[i]->endY, border[i][3]);
    }
}

TEST_F(RotatingTilesTest, ClicksTurnTilesBothWaysAndATurningTileBlocksTheWinAndClicks) {
    LoadMiniGame(kTiles, kThreeTiles);
    Tile(0).SetRotation(90.0f);
    Tile(1).SetRotation(0.0f);
    Tile(2).SetRotation(0.0f);
    Press(300, 300);
    ASSERT_EQ(All<FxRotate>().size(), 1u);
    Step();
    EXPECT_TRUE(Tile(0).turning);
    Press(300, 300, true);
    EXPECT_EQ(All<FxRotate>().size(), 1u) << "a turning tile takes no click";
    // Half-way the tile is not upright, and the game is not won.
    Step(10);
    EXPECT_FALSE(Manager().finished);
    Step(40);
    EXPECT_FALSE(Tile(0).turning);
    EXPECT_EQ(Tile(0).RotationDegrees(), 180.0f);
    // The right button turns back, twice to upright; the win follows.
    Press(300, 300, true);
    Step(50);
    EXPECT_EQ(Tile(0).RotationDegrees(), 90.0f);
    Press(300, 300, true);
    Step(50);
    EXPECT_EQ(Tile(0).RotationDegrees(), 0.0f);
    EXPECT_TRUE(ModalLevel->won);
}

TEST_F(RotatingTilesTest, AnUprightBoardAfterALeaveIsNotAWin) {
    LoadMiniGame(kTiles, kThreeTiles);
    Tile(0).SetRotation(90.0f);
    Press(100, 400);
    ASSERT_TRUE(ModalLevel->returnFlag);
    Tile(0).SetRotation(0.0f);
    Step(60);
    EXPECT_FALSE(ModalLevel->won);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
    EXPECT_TRUE(LeaveArmed());
}

} // namespace
