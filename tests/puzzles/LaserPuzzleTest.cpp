// Mirrors and beams: the reflection table, the source beam, what the beam pieces show, carrying,
// turning and placing the mirrors, the win, and leaving beside the backdrop.

#include "puzzles/LaserPuzzle.h"

#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "tests/puzzles/CaveFixture.h"
#include "world/GameAnim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char* const kHall =
    "(Mirror LaserPuzzleMirrorChunk (POSI) (KEYB ()) (SPRT)"
    " (COLI (left -60) (right 60) (top -60) (bottom 60)))\n"
    "(Hall LaserPuzzleMngr (KEYB ()) (Data))\n"
    "(Back Background (POSI (position 512 300)) (SPRT (file gfx\\back.ani) (animName idle)))\n";

// The cave's board: cells of 88 from (336, 200); a crystal at (2, 0) and (3, 2), a wall at (2, 1),
// the source at (1, 3). Won with a mirror at (1, 0) turned to 180 and one at (3, 0) turned to 270.
const char* const kCaveBoard = "offsetX: 336\noffsetY: 200\nColumns: 4\nRows: 4\nBOARD_SHAPE:\n"
                               "EEGE\nEEWE\nEEEG\nELEE\n";

class LaserPuzzleTest : public CaveTest {
protected:
    void SetUp() override {
        CaveTest::SetUp();
        // 400 x 300 around its position.
        WriteData("gfx/back.ani", "(fileAnim idle (frame back.png 0 0 400 300 200 150))\n");
    }

    // The hall on the board, with two mirrors lying left of it and, when asked, the backdrop.
    LaserPuzzleMngr& LoadHall(const std::string& board, bool backdrop = false) {
        WriteData("levels/boards/hall.txt", board);
        LoadMiniGame(kHall, std::string(backdrop ? "(Back)\n" : "") +
                                "(Mirror (POSI (position 150 300)))\n"
                                "(Mirror (POSI (position 150 450)))\n"
                                "(Hall (Data (definition levels/boards/hall.txt)))");
        return Manager();
    }
    LaserPuzzleMngr& Manager() { return *All<LaserPuzzleMngr>().at(0); }
    LaserPuzzleMirrorChunk& Mirror(std::size_t i) { return *All<LaserPuzzleMirrorChunk>().at(i); }
    LaserCell& Cell(int column, int row) { return *Manager().CellAt(column, row); }

    // The mouse moved there (a carried mirror follows it), then a left press.
    void PressThere(float x, float y) {
        Mouse.x = x;
        Mouse.y = y;
        Step();
        Press(x, y);
    }
    const std::string CrystalShows(int column, int row) {
        return Cell(column, row).object->RequireChunk<SpriteRenderChunk>(FourCC("SPRT")).player.CurrentAnimName();
    }
    // A mirror put on the cell without a press.
    void PutMirror(int column, int row, float angle) {
        Cell(column, row).mirror = true;
        Cell(column, row).mirrorAngle = angle;
        Manager().ClearAllBeams(); // as a mirror placed by a press does
    }
    // The lit cells, row by row, as "c,r".
    std::vector<std::string> LitCells() {
        std::vector<std::string> lit;
        for (int r = 0; r < Manager().rows; ++r) {
            for (int c = 0; c < Manager().columns; ++c) {
                if (Cell(c, r).lit) {
                    lit.push_back(std::to_string(c) + "," + std::to_string(r));
                }
            }
        }
        return lit;
    }
    SpriteRenderChunk& BeamSprite(int column, int row) {
        return Manager().BeamPiece(column, row)->RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
    }
    float BeamRotation(int column, int row) {
        return Manager().BeamPiece(column, row)->RequireChunk<PositionChunk>(FourCC("POSI")).rotation;
    }
    // The centre of a cell of the cave's board.
    static float X(int column) { return 336.0f + 88.0f * static_cast<float>(column) + 44.0f; }
    static float Y(int row) { return 200.0f + 88.0f * static_cast<float>(row) + 44.0f; }
};

TEST_F(LaserPuzzleTest, EachReflectionWalksItsWayFromTheMirror) {
    struct Row {
        float angle, incoming;
        std::vector<std::string> lit; // besides the mirror at 2,2
        float given;                  // the direction the walk gives
    };
    // The sources at 0,2 and 4,2 stop the walks that stop at a source.
    const std::vector<Row> rows = {
        {0, 0, {"2,0", "2,1"}, 0},       {0, 90, {"2,0", "2,1"}, 0},
        {0, 180, {"1,2"}, 270},          {90, 90, {"2,0", "2,1"}, 0},
        {90, 180, {"3,2"}, 90},          {90, 270, {"2,0", "2,1"}, 0},
        {180, 0, {"3,2"}, 90},           {180, 90, {"3,2", "4,2"}, 270},
        {180, 270, {"2,3", "2,4"}, 180}, {270, 0, {"1,2"}, 270},
        {270, 90, {"2,3", "2,4"}, 180},
    };
    const char* const board = "offsetX: 0\noffsetY: 0\nColumns: 5\nRows: 5\nBOARD_SHAPE:\n"
                              "EEEEE\nEEEEE\nEEEEE\nEEEEE\nEEEEE\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.angle) + " from " + std::to_string(row.incoming));
        LaserPuzzleMngr& game = LoadHall(board);
        game.ClearAllBeams();
        Cell(0, 2).source = Cell(4, 2).source = true;
        PutMirror(2, 2, row.angle);
        Cell(2, 2).lit = true;
        Cell(2, 2).beamDirection = row.incoming;
        game.traceBeam(2, 2, row.angle);
        std::vector<std::string> expected = row.lit;
        expected.push_back("2,2");
        std::sort(expected.begin(), expected.end());
        std::vector<std::string> lit = LitCells();
        std::sort(lit.begin(), lit.end());
        EXPECT_EQ(lit, expected);
        EXPECT_EQ(Cell(2, 2).beamCount, 1);
        EXPECT_EQ(Cell(2, 2).beamDirection, row.incoming) << "the mirror keeps its first beam";
        const std::string& far = row.lit.back();
        EXPECT_EQ(Cell(far[0] - '0', far[2] - '0').beamDirection, row.given);
        EXPECT_EQ(Cell(2, 2).drawnAngle, row.angle);
        EXPECT_EQ(Cell(far[0] - '0', far[2] - '0').drawnAngle, row.given);
    }
    // A pair outside the table, and a mirror at 45 degrees, make no walk.
    for (const auto& [angle, incoming] : {std::pair{0.0f, 270.0f}, std::pair{45.0f, 0.0f}}) {
        SCOPED_TRACE(angle);
        LaserPuzzleMngr& game = LoadHall(board);
        game.ClearAllBeams();
        PutMirror(2, 2, angle);
        Cell(2, 2).lit = true;
        Cell(2, 2).beamDirection = incoming;
        game.traceBeam(2, 2, angle);
        EXPECT_EQ(LitCells(), std::vector<std::string>{"2,2"});
        EXPECT_EQ(Cell(2, 2).beamCount, 0);
        EXPECT_EQ(LaserPuzzleMngr::FindReflection(angle, incoming), nullptr);
    }
}

TEST_F(LaserPuzzleTest, TheSourceBeamRisesToTheFirstWallPassingOverTheSource) {
    LoadHall("offsetX: 0\noffsetY: 0\nColumns: 2\nRows: 5\nBOARD_SHAPE:\nEE\nEW\nEE\nEE\nEL\n");
    Step();
    EXPECT_EQ(LitCells(), (std::vector<std::string>{"1,2", "1,3", "1,4"}));
    EXPECT_EQ(BeamSprite(1, 4).alpha, 0.0f) << "the source's own piece stays unseen";
    EXPECT_TRUE(BeamSprite(1, 3).visible);
    EXPECT_EQ(BeamSprite(1, 3).player.CurrentAnimName(), "idle");
    EXPECT_GE(BeamSprite(1, 3).alpha, 0.6f);
    // Without a source the beam rises from 0,0.
    LoadHall("offsetX: 0\noffsetY: 0\nColumns: 2\nRows: 2\nBOARD_SHAPE:\nEE\nEE\n");
    Step();
    EXPECT_EQ(LitCells(), std::vector<std::string>{"0,0"});
}

TEST_F(LaserPuzzleTest, AMirrorMeetingTheSourceBeamWithItsBackStaysDark) {
    const char* const column = "offsetX: 0\noffsetY: 0\nColumns: 1\nRows: 3\nBOARD_SHAPE:\nE\nE\nL\n";
    for (const float angle : {0.0f, 90.0f}) {
        SCOPED_TRACE(angle);
        LoadHall(column);
        PutMirror(0, 1, angle);
        Step(3);
        EXPECT_EQ(LitCells(), std::vector<std::string>{"0,2"});
    }
    LoadHall(column);
    PutMirror(0, 1, 180.0f);
    Step();
    EXPECT_EQ(LitCells(), (std::vector<std::string>{"0,1", "0,2"})) << "nothing above it lights";
}

TEST_F(LaserPuzzleTest, CrossingBeamsShowTheCrossAndMirrorsTheirOwnPiece) {
    LoadHall("offsetX: 0\noffsetY: 0\nColumns: 3\nRows: 3\nBOARD_SHAPE:\nEEE\nEEE\nELE\n");
    PutMirror(1, 0, 180.0f);
    PutMirror(2, 0, 270.0f);
    PutMirror(2, 1, 0.0f);
    Step();
    EXPECT_EQ(Cell(1, 1).beamCount, 2);
    EXPECT_EQ(BeamSprite(1, 1).player.CurrentAnimName(), "cross");
    EXPECT_TRUE(Cell(0, 1).lit);
    EXPECT_EQ(BeamSprite(0, 1).player.CurrentAnimName(), "idle");
    EXPECT_EQ(BeamRotation(0, 1), 270.0f);
    for (const auto& [c, r, angle] : {std::tuple{1, 0, 180.0f}, std::tuple{2, 0, 270.0f},
                                      std::tuple{2, 1, 0.0f}}) {
        SCOPED_TRACE(std::to_string(c) + "," + std::to_string(r));
        EXPECT_EQ(BeamSprite(c, r).player.CurrentAnimName(), "idle2");
        EXPECT_EQ(BeamRotation(c, r), angle + 180.0f);
    }
}

TEST_F(LaserPuzzleTest, ABoardWithoutCrystalsIsWonAtOnceAndTheCavesIsNot) {
    LoadHall("offsetX: 0\noffsetY: 0\nColumns: 2\nRows: 2\nBOARD_SHAPE:\nEE\nLE\n");
    Step();
    EXPECT_TRUE(Manager().finished);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"game_won"});

    LoadHall(kCaveBoard);
    Step(10);
    EXPECT_FALSE(Manager().finished);
    EXPECT_EQ(Manager().sourceColumn, 1);
    EXPECT_EQ(Manager().sourceRow, 3);
}

TEST_F(LaserPuzzleTest, TheCavesBoardIsWonByTwoMirrorsCarriedTurnedAndPlaced) {
    LoadHall(kCaveBoard);
    // The first mirror, turned twice while carried, onto 1,0.
    Press(150, 300);
    ASSERT_EQ(Manager().carried, &Mirror(0));
    for (int turn = 0; turn < 2; ++turn) {
        Press(700, 700, true);
    }
    EXPECT_EQ(Mirror(0).Turn(), 180.0f);
    EXPECT_EQ(Mirror(1).Turn(), 0.0f) << "only the carried mirror turns";
    PressThere(X(1), Y(0));
    EXPECT_TRUE(Mirror(0).placed);
    EXPECT_EQ(Manager().carried, nullptr);
    EXPECT_EQ(Cell(1, 0).mirrorAngle, 180.0f);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"refract_light"});
    Step();
    EXPECT_TRUE(Cell(2, 0).lit) << "the first crystal";
    EXPECT_FALSE(Manager().finished);
    // The second, turned three times, onto 3,0.
    Press(150, 450);
    for (int turn = 0; turn < 3; ++turn) {
        Press(700, 700, true);
    }
    PressThere(X(3), Y(0));
    ASSERT_TRUE(Mirror(1).placed);
    // A move clears the board: the crystals show dark for a frame, then the beam grows again.
    EXPECT_EQ(CrystalShows(2, 0), "crystal_off");
    Step(3);
    EXPECT_EQ(CrystalShows(2, 0), "crystal_on");
    EXPECT_TRUE(Cell(3, 2).lit);
    EXPECT_TRUE(Manager().finished);
    EXPECT_TRUE(ModalLevel->won);
    Step(125);
    EXPECT_TRUE(LeaveArmed());
}

TEST_F(LaserPuzzleTest, ACarriedMirrorIsPutDownBesideTheCellsThatRefuseIt) {
    struct Case {
        const char* where;
        float x, y;
    };
    const std::vector<Case> cases = {
        {"wall", X(2), Y(1)},      {"crystal", X(2), Y(0)}, {"source", X(1), Y(3)},
        {"occupied", X(0), Y(0)},  {"outside", 800, 300},   {"below", X(0), Y(4) + 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        LoadHall(kCaveBoard);
        PutMirror(0, 0, 90.0f);
        Press(150, 300);
        PressThere(c.x, c.y);
        EXPECT_EQ(Manager().carried, nullptr);
        EXPECT_FALSE(Mirror(0).placed);
        EXPECT_EQ(Mirror(0).RequireChunk<PositionChunk>(FourCC("POSI")).x, c.x) << "lies there";
        EXPECT_EQ(Mirror(0).RequireChunk<SpriteRenderChunk>(FourCC("SPRT")).zOrder,
                  LaserPuzzleMirrorChunk::kLyingDepth);
    }
}

TEST_F(LaserPuzzleTest, APlacedMirrorIsLiftedWithTheBoardsBeamsCleared) {
    LoadHall(kCaveBoard);
    Press(150, 300);
    Press(700, 700, true);
    Press(700, 700, true);
    PressThere(X(1), Y(0));
    Step();
    ASSERT_TRUE(Cell(2, 0).lit);
    PressThere(X(1), Y(0));
    EXPECT_EQ(Manager().carried, &Mirror(0));
    EXPECT_FALSE(Mirror(0).placed);
    EXPECT_FALSE(Cell(1, 0).mirror);
    EXPECT_EQ(Cell(1, 0).mirrorAngle, 0.0f);
    EXPECT_FALSE(Cell(2, 0).lit);
    EXPECT_EQ(Cell(2, 0).beamDirection, -1.0f);
    EXPECT_FALSE(BeamSprite(2, 0).visible);
    // Carried, it follows the mouse.
    Mouse.x = 222;
    Mouse.y = 333;
    Step();
    EXPECT_EQ(Mirror(0).RequireChunk<PositionChunk>(FourCC("POSI")).x, 222.0f);
}

TEST_F(LaserPuzzleTest, APlacedMirrorWhoseAreaReachesPastTheBoardReadsNoCellThere) {
    LoadHall(kCaveBoard);
    Press(150, 300);
    PressThere(X(0), Y(3));
    ASSERT_TRUE(Mirror(0).placed);
    // Its click area reaches 16 beyond the board's bottom edge, where no cell lies.
    PressThere(X(0), Y(3) + 50);
    EXPECT_TRUE(Mirror(0).placed);
    EXPECT_EQ(Manager().carried, nullptr);
    // Cells up to one cell left of or above the board count as column or row 0.
    EXPECT_TRUE(Manager().CanPlaceMirror(336 - 50, Y(0)));
    EXPECT_FALSE(Manager().CanPlaceMirror(336 - 100, Y(0)));
}

TEST_F(LaserPuzzleTest, APressLeavesOutsideTheWidenedBackdropAndNotBelow650) {
    struct Case {
        float x, y;
        bool leaves;
    };
    // The backdrop covers 312..712 x 150..450; widened, 112..912 x 120..480.
    const std::vector<Case> cases = {
        {112, 300, false}, {111, 300, true}, {912, 300, false}, {913, 300, true},
        {512, 119, true},  {512, 481, true}, {512, 650, true},  {512, 651, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        LoadHall(kCaveBoard, true);
        ASSERT_NE(SceneBackground, nullptr);
        Press(c.x, c.y);
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(LeaveArmed(), c.leaves) << "the leave request at once";
    }
}

TEST_F(LaserPuzzleTest, WithoutABackdropOnlyEscapeLeavesAndItDropsTheTool) {
    LoadHall(kCaveBoard);
    ASSERT_EQ(SceneBackground, nullptr);
    StandInToolSlots& tools = ToolSlots();
    tools.tool = "wand";
    GameLevel->levelSystem->toolInUse = true;
    ToolCursorShown = true;
    Press(5, 5);
    EXPECT_FALSE(ModalLevel->returnFlag);
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
    EXPECT_FALSE(ToolCursorShown);
    EXPECT_EQ(tools.resets, 1);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
}

} // namespace
