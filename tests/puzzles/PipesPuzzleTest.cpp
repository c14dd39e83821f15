// The pipes: the ends of each piece, the water trace from the hidden source, the win (and version
// 0's exit piece), turns by click, and the leave with its own fade-out.

#include "puzzles/PipesPuzzle.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "media/RenderChunk.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "world/FxBlend.h"
#include "world/FxPath.h"
#include "world/fx/FxRotate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t L = 2, R = 4, B8 = 8, B16 = 16;

struct Pipe {
    const char* type;
    float rotation;
};

// A board every piece of which is watered: the water runs along the rows, down at the ends,
// through the last two rows in a loop and out at the bottom-left piece, a straight pipe standing
// upright (at 180 for version 0's exit). Versions 0 and 1 share their ends; version 2 has its
// own.
const std::vector<Pipe> kSolved01 = {{"A", 90},  {"B", 90},  {"B", 90},  {"B", 90},  {"A", 270},
                                     {"A", 180}, {"B", 90},  {"B", 90},  {"B", 90},  {"A", 0},
                                     {"A", 90},  {"B", 90},  {"B", 90},  {"B", 90},  {"A", 270},
                                     {"A", 180}, {"A", 270}, {"A", 180}, {"A", 270}, {"B", 0},
                                     {"B", 180}, {"A", 90},  {"A", 0},   {"A", 90},  {"A", 0}};
const std::vector<Pipe> kSolved2 = {{"A", 270}, {"B", 0},   {"B", 0},   {"B", 0},   {"A", 90},
                                    {"A", 180}, {"B", 0},   {"B", 0},   {"B", 0},   {"A", 0},
                                    {"A", 270}, {"B", 0},   {"B", 0},   {"B", 0},   {"A", 90},
                                    {"A", 180}, {"A", 90},  {"A", 180}, {"A", 90},  {"B", 90},
                                    {"B", 90},  {"A", 270}, {"A", 0},   {"A", 270}, {"A", 0}};

// 25 pipes of 80 x 80 from (260, 160), labelled "PUZZ", a backdrop and a frame.
const char* const kDefinitions =
    "(Pipe PipesPuzzleChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ)"
    " (COLI (left -40) (right 40) (top -40) (bottom 40)) (Data (clickEvent PROT)))\n"
    "(Backdrop Background (POSI) (SPRT) (Name BACK))\n"
    "(Frame BaseGameObject (POSI) (SPRT) (Name FINN))\n"
    "(Other BaseGameObject (POSI) (SPRT))\n"
    "(Pipes PipesPuzzleMngr (KEYB))\n";

class PipesPuzzleTest : public PuzzleTest {
protected:
    static float X(int i) { return 260.0f + static_cast<float>(i % 5) * 80.0f; }
    static float Y(int i) { return 160.0f + static_cast<float>(i / 5) * 80.0f; }

    // The board of that version with the pieces' types; each starts at a random rotation.
    void LoadBoard(int version, const std::vector<Pipe>& pipes, int pieces = 25) {
        std::string objects = "(Backdrop) (Frame) (Other)\n";
        for (int i = 0; i < pieces; ++i) {
            objects += "(Pipe (POSI (position " + std::to_string(X(i)) + " " +
                       std::to_string(Y(i)) + ")) (Data (type " +
                       pipes[static_cast<std::size_t>(i)].type + ")))\n";
        }
        objects += "(Pipes (Data (version " + std::to_string(version) + ")))";
        LoadMiniGame(kDefinitions, objects);
    }

    // Every piece turned as the layout says, then one step: the ends and the trace.
    void Turn(const std::vector<Pipe>& pipes) {
        for (std::size_t i = 0; i < pipes.size(); ++i) {
            Piece(static_cast<int>(i)).SetRotation(pipes[i].rotation);
        }
        Step();
    }

    PipesPuzzleChunk& Piece(int i) {
        return *All<PipesPuzzleChunk>().at(static_cast<std::size_t>(i));
    }
    PipesPuzzleMngr& Manager() { return *All<PipesPuzzleMngr>().at(0); }

    std::string Watered() {
        std::string map;
        for (const PipesPuzzleChunk* pipe : All<PipesPuzzleChunk>()) {
            map += pipe->watered ? 'w' : '.';
        }
        return map;
    }
};

TEST_F(PipesPuzzleTest, EachTypeHasItsEndsAtEachQuarterTurnOfEachVersion) {
    struct Case {
        const char* type;
        int rotation;
        uint32_t ends01;
        uint32_t ends2;
    };
    const std::vector<Case> cases = {
        {"A", 0, B8 | L, B16 | L},
        {"A", 90, B8 | R, B8 | L},
        {"A", 180, B16 | R, B8 | R},
        {"A", 270, B16 | L, B16 | R},
        {"B", 0, B8 | B16, L | R},
        {"B", 90, L | R, B8 | B16},
        {"B", 180, B8 | B16, L | R},
        {"B", 270, L | R, B8 | B16},
        {"A", 45, 0, 0},
        {"A", 360, 0, 0},
        {"C", 0, 0, 0},
        {"unknown", 90, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " at " + std::to_string(c.rotation));
        EXPECT_EQ(PipesPuzzleChunk::OpeningsOf(c.type, c.rotation, 0), c.ends01);
        EXPECT_EQ(PipesPuzzleChunk::OpeningsOf(c.type, c.rotation, 1), c.ends01);
        EXPECT_EQ(PipesPuzzleChunk::OpeningsOf(c.type, c.rotation, 2), c.ends2);
    }
}

TEST_F(PipesPuzzleTest, AWholeBoardWateredIsWonWithoutTheWonFlagOrSparks) {
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        CurrentPlayer->SetFlag("gate", "minigame1_completed", 0);
        const std::size_t soundsBefore = PlayedFiles().size();
        LoadBoard(version, version == 2 ? kSolved2 : kSolved01);
        Turn(version == 2 ? kSolved2 : kSolved01);
        EXPECT_EQ(Watered(), std::string(25, 'w'));
        EXPECT_TRUE(Manager().finished);
        EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
        ASSERT_EQ(PlayedFiles().size(), soundsBefore + 1);
        EXPECT_EQ(PlayedFiles().back(), "waterflow");
        EXPECT_FALSE(ModalLevel->won);
        EXPECT_TRUE(All<FxPath>().empty());
        Step(40);
        EXPECT_TRUE(LeaveArmed()) << "after half a second";
    }
}

TEST_F(PipesPuzzleTest, VersionZeroWantsTheExitPieceAt180) {
    LoadBoard(0, kSolved01);
    std::vector<Pipe> exitUpsideDown = kSolved01;
    exitUpsideDown[20].rotation = 0; // a straight pipe: watered all the same
    Turn(exitUpsideDown);
    EXPECT_EQ(Watered(), std::string(25, 'w'));
    EXPECT_FALSE(Manager().finished);
    Turn(kSolved01);
    EXPECT_TRUE(Manager().finished);
}

TEST_F(PipesPuzzleTest, TheTraceFollowsMeetingEndsOnly) {
    struct Case {
        const char* name;
        int piece;
        Pipe change;
        const char* watered;
    };
    const std::vector<Case> cases = {
        // Piece 1 keeps only the end towards the source: a dead end is watered all the same.
        {"a dead end", 2, {"X", 90}, "ww......................."},
        // Piece 4 runs on to the right; piece 5, at the start of the next row, is not its
        // neighbour.
        {"no wrap", 4, {"B", 90}, "wwwww...................."},
        // In the middle of a turn a piece has no ends.
        {"a turning piece", 3, {"B", 45}, "www......................"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadBoard(1, kSolved01);
        std::vector<Pipe> pipes = kSolved01;
        pipes[static_cast<std::size_t>(c.piece)] = c.change;
        Piece(c.piece).type = c.change.type;
        Turn(pipes);
        EXPECT_EQ(Watered(), c.watered);
        EXPECT_FALSE(Manager().finished);
    }
}

TEST_F(PipesPuzzleTest, TheSourceIsHiddenHeldAndDeafToClicks) {
    for (const int version : {0, 2}) {
        SCOPED_TRACE(version);
        LoadBoard(version, kSolved01);
        Press(X(0), Y(0));
        Press(X(0), Y(0), true);
        EXPECT_TRUE(All<FxPipeRotate>().empty());
        Piece(0).SetRotation(0.0f);
        Step();
        EXPECT_EQ(Piece(0).RotationDegrees(), version == 2 ? 270.0f : 90.0f);
        const auto* sprite = dynamic_cast<const RenderChunk*>(Piece(0).GetChunk(FourCC("SPRT"), 0));
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->alpha, 0.0f);
    }
}

TEST_F(PipesPuzzleTest, ClicksTurnAPieceEitherWayWithItsSoundOneTurnAtATime) {
    LoadBoard(1, kSolved01);
    Turn(kSolved01);
    ASSERT_TRUE(Manager().finished);
    // A won board takes no more turns; a fresh one does.
    Press(X(7), Y(7));
    EXPECT_TRUE(All<FxPipeRotate>().empty());

    // An elbow a half turn out of place: a right turn, then three left ones bring it home.
    LoadBoard(1, kSolved01);
    std::vector<Pipe> pipes = kSolved01;
    pipes[9].rotation = 180;
    Turn(pipes);
    Press(X(9), Y(9), true);
    ASSERT_EQ(All<FxPipeRotate>().size(), 1u);
    Step();
    EXPECT_TRUE(Piece(9).turning);
    Press(X(9), Y(9));
    EXPECT_EQ(All<FxPipeRotate>().size(), 1u) << "a turning piece takes no click";
    Step(60);
    EXPECT_EQ(Piece(9).RotationDegrees(), 90.0f);
    for (int turn = 0; turn < 3; ++turn) {
        EXPECT_FALSE(Manager().finished);
        Press(X(9), Y(9));
        Step(60);
    }
    EXPECT_EQ(Piece(9).RotationDegrees(), 0.0f);
    EXPECT_TRUE(Manager().finished) << "all watered again";
    std::vector<std::string> sounds(5, "metal_scrape");
    sounds.front() = "waterflow"; // the first board's win
    sounds.emplace_back("waterflow");
    EXPECT_EQ(PlayedFiles(), sounds);
}

TEST_F(PipesPuzzleTest, LeavingFadesTheBoardItselfAndDropsTheTool) {
    LoadBoard(1, kSolved01);
    GameLevel->levelSystem->toolInUse = true;
    ToolCursorShown = true;
    ModalLevel->blendFinished = false; // the fade-in still runs: no leave yet
    PressEscape();
    EXPECT_FALSE(ModalLevel->returnFlag);

    ModalLevel->blendFinished = true;
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_TRUE(Manager().finished);
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
    EXPECT_FALSE(ToolCursorShown);
    const std::vector<FxBlendOut*> fades = All<FxBlendOut>();
    ASSERT_EQ(fades.size(), 1u);
    EXPECT_EQ(fades[0]->targets.size(), 27u) << "the pipes, the backdrop and the frame";
    EXPECT_TRUE(PlayedFiles().empty());
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
}

TEST_F(PipesPuzzleTest, ABoardOfOtherThan25PiecesIsRefusedNamingItsFile) {
    try {
        LoadBoard(0, kSolved01, 24);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(), "levels/board.txt: the pipes board has 24 pieces instead of 25");
    }
}

} // namespace
