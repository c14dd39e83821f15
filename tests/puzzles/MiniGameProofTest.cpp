// Each mini-game proven as a player meets it: opened over a location by GameModalProc and run in
// the real main loop, won by clicks worked out from its seeded start, or left; the result word,
// the flags, the energy and the sounds are what the player's game keeps.

#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "puzzles/PipesPuzzle.h"
#include "puzzles/RotatingTiles.h"
#include "tests/puzzles/MiniGameHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kSounds = {"game_won", "waterflow", "metal_scrape", "pick1",
                                          "game_appear"};

// A 3 x 3 picture of 100 x 100 tiles from (400, 300).
const char* const kTileDefinitions =
    "(Tile PuzzleChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ)"
    " (COLI (left -50) (right 50) (top -50) (bottom 50)) (Data (clickEvent PROT)))\n"
    "(Tiles PuzzleMngr (KEYB) (Data))\n";

std::string TilesScene() {
    std::string scene = "(Meta (Name minigame2) (Type puzzle))\n(Objects\n";
    for (int i = 0; i < 9; ++i) {
        scene += "(Tile (POSI (position " + std::to_string(400 + 100 * (i % 3)) + " " +
                 std::to_string(300 + 100 * (i / 3)) + ")))\n";
    }
    return scene + "(Tiles))\n";
}

// The pipes of version 1 as they stand when won (straight pipes also at the half turn), 80 x 80
// from (272, 184).
struct Pipe {
    const char* type;
    int rotation;
};
const std::vector<Pipe> kSolved = {{"A", 90},  {"B", 90},  {"B", 90},  {"B", 90},  {"A", 270},
                                   {"A", 180}, {"B", 90},  {"B", 90},  {"B", 90},  {"A", 0},
                                   {"A", 90},  {"B", 90},  {"B", 90},  {"B", 90},  {"A", 270},
                                   {"A", 180}, {"A", 270}, {"A", 180}, {"A", 270}, {"B", 0},
                                   {"B", 180}, {"A", 90},  {"A", 0},   {"A", 90},  {"A", 0}};

const char* const kPipeDefinitions =
    "(Pipe PipesPuzzleChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ)"
    " (COLI (left -40) (right 40) (top -40) (bottom 40)) (Data (clickEvent PROT)))\n"
    "(Pipes PipesPuzzleMngr (KEYB))\n";

std::string PipesScene() {
    std::string scene = "(Meta (Name minigame1) (Type puzzle))\n(Objects\n";
    for (int i = 0; i < 25; ++i) {
        scene += "(Pipe (POSI (position " + std::to_string(272 + 80 * (i % 5)) + " " +
                 std::to_string(184 + 80 * (i / 5)) + ")) (Data (type " + kSolved[i].type + ")))\n";
    }
    return scene + "(Pipes (Data (version 1))))\n";
}

// Left clicks (a quarter turn each, clockwise) from one angle to another; a straight pipe looks
// the same half a turn on.
int QuarterTurns(float from, int to, bool straight) {
    const int turns = ((to - static_cast<int>(from)) / 90 % 4 + 4) % 4;
    return straight ? turns % 2 : turns;
}

class MiniGameProof : public MiniGameHarness {
protected:
    int32_t Flag(const std::string& name) {
        return CurrentPlayer->GetFlag(std::string(kLocation) + ":" + name);
    }

    static bool Played(const MiniGameResult& result, const std::string& sound) {
        return std::find(result.sounds.begin(), result.sounds.end(), sound) != result.sounds.end();
    }
};

TEST_F(MiniGameProof, TheTilesAreWonByTurningEachUpright) {
    WriteMiniGame("levels/tiles.txt", TilesScene(), kTileDefinitions, kSounds);
    OpenMiniGame("levels/tiles.txt", 27);
    // The start as it came out of the seeded generator; a turn takes 0.6 s.
    int clicks = 0;
    for (const PuzzleChunk* tile : Pieces<PuzzleChunk>()) {
        const auto* position = tile->GetChunk(FourCC("POSI"), 0);
        ASSERT_NE(position, nullptr);
        for (int turn = QuarterTurns(tile->RotationDegrees(), 360, false); turn > 0; --turn) {
            Click(static_cast<int>(static_cast<const PositionChunk*>(position)->x),
                  static_cast<int>(static_cast<const PositionChunk*>(position)->y));
            Wait(40);
            ++clicks;
        }
    }
    ASSERT_GT(clicks, 0) << "a seed whose start is already won proves nothing";
    const MiniGameResult result = Run();
    EXPECT_EQ(result.word, 6);
    EXPECT_EQ(Flag("minigame2_completed"), 1);
    EXPECT_EQ(result.energyGained, 1);
    EXPECT_TRUE(Played(result, "game_won"));
    ASSERT_TRUE(result.wonAt);
    ASSERT_TRUE(result.leaveArmedAt);
    EXPECT_FALSE(result.returnFlagAt);
    // The leave request half a second (30 steps, a pass each) after the win.
    EXPECT_GE(*result.leaveArmedAt - *result.wonAt, 30);
    EXPECT_LE(*result.leaveArmedAt - *result.wonAt, 32);
}

TEST_F(MiniGameProof, ThePipesAreWonByTurningEachPipeIntoTheWatersWay) {
    WriteMiniGame("levels/pipes.txt", PipesScene(), kPipeDefinitions, kSounds);
    OpenMiniGame("levels/pipes.txt", 4);
    const std::vector<PipesPuzzleChunk*> pipes = Pieces<PipesPuzzleChunk>();
    ASSERT_EQ(pipes.size(), 25u);
    for (std::size_t i = 1; i < pipes.size(); ++i) {
        const int turns =
            QuarterTurns(pipes[i]->RotationDegrees(), kSolved[i].rotation, pipes[i]->type == "B");
        for (int turn = 0; turn < turns; ++turn) {
            Click(272 + 80 * static_cast<int>(i % 5), 184 + 80 * static_cast<int>(i / 5));
            Wait(40);
        }
    }
    const MiniGameResult result = Run();
    EXPECT_EQ(result.word, 6);
    EXPECT_EQ(Flag("minigame1_completed"), 1);
    EXPECT_EQ(result.energyGained, 1);
    EXPECT_TRUE(Played(result, "waterflow"));
    EXPECT_TRUE(Played(result, "metal_scrape"));
    EXPECT_FALSE(result.wonAt) << "the pipes set no won flag";
    EXPECT_TRUE(result.leaveArmedAt);
}

// A game left: the word of a way back, no completion flag, no reward, no win sound; the close
// flag first, the leave request after the delay.
void ExpectLeftBack(const MiniGameResult& result, int32_t completionFlag) {
    EXPECT_EQ(result.word, 5);
    EXPECT_EQ(completionFlag, 0);
    EXPECT_EQ(result.energyGained, 0);
    for (const char* win : {"game_won", "waterflow"}) {
        EXPECT_EQ(std::find(result.sounds.begin(), result.sounds.end(), win), result.sounds.end());
    }
    EXPECT_FALSE(result.wonAt);
    ASSERT_TRUE(result.returnFlagAt);
    ASSERT_TRUE(result.leaveArmedAt);
    EXPECT_GT(*result.leaveArmedAt, *result.returnFlagAt);
}

TEST_F(MiniGameProof, TheTilesAreLeftByAClickBesideTheBoardEvenWithAnItemHeld) {
    WriteMiniGame("levels/tiles.txt", TilesScene(), kTileDefinitions, kSounds);
    OpenMiniGame("levels/tiles.txt", 27);
    HoldItem("key");
    Wait(10);
    Click(100, 400);
    const MiniGameResult result = Run();
    ExpectLeftBack(result, Flag("minigame2_completed"));
}

TEST_F(MiniGameProof, ThePipesAreLeftByEscape) {
    WriteMiniGame("levels/pipes.txt", PipesScene(), kPipeDefinitions, kSounds);
    OpenMiniGame("levels/pipes.txt", 27);
    Wait(10);
    Escape();
    const MiniGameResult result = Run();
    ExpectLeftBack(result, Flag("minigame1_completed"));
}

} // namespace
