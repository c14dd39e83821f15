// Whack-a-mole: its board file, spots lit only once a tool is picked, water lighting a spot, the
// hammer's boundary, the progress bar, the win and the leave rule.

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Background.h"
#include "puzzles/WhackAMole.h"
#include "tests/puzzles/MiniGameHarness.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "world/FxParticles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A 400 x 300 backdrop about (512, 384), two tools, the bar and the manager.
const char* const kDefinitions =
    "(Forge Background (POSI (position 512 384)) (SPRT (file gfx\\forge.ani) (animName idle))"
    " (COLI))\n"
    "(Tool WhackAMoleTool (POSI) (KEYB ()) (SPRT) (COLI (left -30) (right 30) (top -30) (bottom 30)))\n"
    "(Bar BaseGameObject (POSI) (SPRT))\n"
    "(Mole WhackAMoleMngr (KEYB ()))\n";

// Three columns and two rows of 60 pixels from (400, 300): spots at (0,0), (2,0) and (1,1).
std::string BoardText(int spots, const std::string& lineEnd = "\n") {
    return "offsetX: 400" + lineEnd + "offsetY: 300" + lineEnd + "Columns: 3" + lineEnd +
           "Rows: 2" + lineEnd + "MaxTime: 2" + lineEnd + "MaxSpots: " + std::to_string(spots) +
           lineEnd + "BOARD_SHAPE:" + lineEnd + "SeS" + lineEnd + "ESE" + lineEnd;
}

const char* const kScene = "(Forge)\n"
                           "(Tool (visName hammer) (POSI (position 330 600)) (Data (type hammer)))\n"
                           "(Tool (visName water) (POSI (position 700 600)) (Data (type water)))\n"
                           "(Bar (visName progress_bar) (POSI (position 400 450)))\n"
                           "(Mole (Data (definition levels\\forge_board.txt)))";

class WhackAMoleTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        std::string sets = "(set global";
        for (const char* sound : {"anvil_use", "game_won"}) {
            WriteData(std::string(sound) + ".wav", sound);
            sets += std::string(" (") + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("gfx/forge.ani", "(fileAnim idle (frame gfx\\forge.png 0 0 400 300 200 150))\n");
        WriteData("gfx/puzzles/ForgingTheRod/spot.ani",
                  "(fileAnim glow (frame gfx\\spot.png 0 0 60 60 30 30))\n");
        WriteData("gfx/fx/green_glow_ring.prt", "(max_parts 4)\n(flow 0 10)\n");
    }

    void LoadForge(const std::string& board) {
        WriteData("levels/forge_board.txt", board);
        LoadMiniGame(kDefinitions, kScene);
    }

    WhackAMoleMngr& Forge() { return *All<WhackAMoleMngr>().at(0); }
    WhackAMoleTool& Tool(std::size_t i) { return *All<WhackAMoleTool>().at(i); }
    // A cell lit with that share of its time left.
    WhackAMoleCell& Lit(int column, int row, float progress) {
        WhackAMoleCell& cell = Forge().Cell(column, row);
        cell.active = true;
        cell.duration = 1.0f;
        cell.elapsed = 1.0f - progress;
        cell.progress = progress;
        return cell;
    }
    std::size_t Anvils() {
        const std::vector<std::string> played = PlayedFiles();
        return static_cast<std::size_t>(std::count(played.begin(), played.end(), "anvil_use"));
    }
    SpriteRenderChunk& SpriteOfBackdrop() {
        return *static_cast<SpriteRenderChunk*>(All<Background>().at(0)->GetChunk(FourCC("SPRT"), 0));
    }
    const SpriteRenderChunk& Bar() {
        const BaseGameObject* bar = All<BaseGameObject>().at(3);
        return *static_cast<const SpriteRenderChunk*>(bar->GetChunk(FourCC("SPRT"), 0));
    }
};

TEST_F(WhackAMoleTest, TheBoardGivesTheCellsTheSpotsAndTheKeptTimeLimit) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
        LoadForge(BoardText(2, lineEnd));
        WhackAMoleMngr& forge = Forge();
        EXPECT_EQ(forge.spotsToScore, 2);
        EXPECT_EQ(forge.spotsLeft, 2);
        EXPECT_FLOAT_EQ(forge.timeLimit, 120.0f);
        const std::string spots = {forge.Cell(0, 0).spot ? 'S' : 'E', forge.Cell(1, 0).spot ? 'S' : 'E',
                                   forge.Cell(2, 0).spot ? 'S' : 'E', forge.Cell(1, 1).spot ? 'S' : 'E'};
        EXPECT_EQ(spots, "SESS");
        EXPECT_EQ(forge.Cell(2, 1).x, 400 + 2 * 60);
        EXPECT_EQ(forge.Cell(2, 1).y, 300 + 60);
        EXPECT_TRUE(forge.Cell(1, 0).empty);
    }
}

TEST_F(WhackAMoleTest, ABrokenBoardStopsTheLoadSayingWhatIsWrong) {
    const std::string good = BoardText(2);
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string board = good;
        board.replace(board.find(from), from.size(), to);
        return board;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {replaced("MaxTime:", "Time:"), "Expected: \"MaxTime:\". Time: found instead."},
        {replaced("MaxSpots:", "Spots:"), "Expected: \"MaxSpots:\". Spots: found instead."},
        {replaced("MaxSpots: 2", "MaxSpots: 0"), "levels\\forge_board.txt: MaxSpots 0 is below 1"},
        {replaced("Columns: 3", "Columns: 0"), "levels\\forge_board.txt: Columns 0 outside 1 to 64"},
        {replaced("Rows: 2", "Rows: 99999"), "levels\\forge_board.txt: Rows 99999 outside 1 to 64"},
        {replaced("ESE", "ES"), "levels\\forge_board.txt: row 2 has 2 of 3 letters"},
        {replaced("ESE\n", ""), "levels\\forge_board.txt: row 2 of 2 is missing"},
        {replaced("SeS", "SXS"), "Wrong map tile definition"},
    };
    for (const auto& [board, error] : cases) {
        SCOPED_TRACE(error);
        WriteData("levels/forge_board.txt", board);
        try {
            LoadMiniGame(kDefinitions, kScene);
            ADD_FAILURE() << "the board was taken";
        } catch (const Exception& thrown) {
            EXPECT_EQ(std::string(thrown.Text()), error);
        }
    }
}

TEST_F(WhackAMoleTest, SpotsLightOnlyOnceAToolIsPickedAndThePickedToolFollowsTheMouse) {
    LoadForge(BoardText(2));
    const auto lit = [this] {
        int count = 0;
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 2; ++r) {
                count += Forge().Cell(c, r).active ? 1 : 0;
            }
        }
        return count;
    };
    int litBefore = 0;
    for (int i = 0; i < 300; ++i) {
        Step();
        litBefore += lit();
    }
    EXPECT_EQ(litBefore, 0);
    Press(330, 600);
    EXPECT_TRUE(Forge().playing);
    EXPECT_EQ(Forge().selectedTool, &Tool(0));
    int litAfter = 0;
    Mouse.x = 480;
    Mouse.y = 200;
    for (int i = 0; i < 300; ++i) {
        Step();
        litAfter += lit();
    }
    EXPECT_GT(litAfter, 0);
    const auto* position = static_cast<const PositionChunk*>(Tool(0).GetChunk(FourCC("POSI"), 0));
    EXPECT_FLOAT_EQ(position->x, 480.0f);
    EXPECT_FLOAT_EQ(position->y, 200.0f);
    // The hammer in hand lies under the mouse when the water is picked: the water is taken.
    Press(700, 600);
    Step();
    EXPECT_EQ(Forge().selectedTool, &Tool(1));
}

TEST_F(WhackAMoleTest, WaterLightsADarkSpotForUpToTwiceItsTime) {
    LoadForge(BoardText(2));
    Forge().selectedTool = &Tool(1);
    Press(430, 330); // spot (0, 0)
    const WhackAMoleCell& cell = Forge().Cell(0, 0);
    EXPECT_TRUE(cell.active);
    EXPECT_LE(cell.elapsed, 0.0f + kStep);
    EXPECT_GE(cell.elapsed, -cell.duration);
    Press(490, 330); // the empty cell (1, 0)
    EXPECT_FALSE(Forge().Cell(1, 0).active);
}

TEST_F(WhackAMoleTest, TheHammerScoresALitSpotAboveAFifthOfItsTimeAndNeverAnEmptyCell) {
    struct Case {
        int column, row;
        float progress;
        bool scored;
        std::size_t anvils;
    };
    const std::vector<Case> cases = {
        {0, 0, 0.2f, false, 1}, {0, 0, 0.21f, true, 1}, {1, 0, 0.9f, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + " at " + std::to_string(c.progress));
        LoadForge(BoardText(2));
        Forge().selectedTool = &Tool(0);
        Lit(c.column, c.row, c.progress);
        const std::size_t anvilsBefore = Anvils();
        const std::size_t sparksBefore = All<FxParticles>().size();
        Press(400.0f + 60.0f * static_cast<float>(c.column) + 30.0f, 330.0f);
        EXPECT_EQ(Forge().spotsLeft, c.scored ? 1 : 2);
        EXPECT_EQ(Anvils() - anvilsBefore, c.anvils);
        EXPECT_EQ(All<FxParticles>().size() - sparksBefore, c.scored ? 1u : 0u);
    }
}

TEST_F(WhackAMoleTest, TheLastSpotWinsWithTheBarFullAndRed) {
    LoadForge(BoardText(1));
    Press(330, 600); // the hammer
    Step();
    EXPECT_FLOAT_EQ(Bar().fill, 0.0f);
    Lit(0, 0, 0.9f);
    Press(430, 330);
    EXPECT_EQ(Forge().spotsLeft, 0);
    EXPECT_FLOAT_EQ(Bar().fill, 1.0f);
    EXPECT_EQ(static_cast<uint32_t>(Bar().tint), 0xFFFF0000u);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(PlayedFiles().back(), "game_won");
    Step(10);
    EXPECT_FLOAT_EQ(Bar().fill, 1.0f) << "the won game keeps its bar";
    Step(130);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_FALSE(ModalLevel->returnFlag);
}

TEST_F(WhackAMoleTest, APressOutsideTheGrownBackdropAboveTheHudOrEscapeLeavesWhileItIsShown) {
    struct Case {
        float x, y, alpha;
        bool leaves;
    };
    // The backdrop spans 312..712 x 234..534; grown, 212..812 x 134..634.
    const std::vector<Case> cases = {
        {100, 300, 1.0f, true},  {100, 750, 1.0f, false}, {100, 300, 0.5f, false},
        {250, 300, 1.0f, false}, {500, 120, 1.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        LoadForge(BoardText(2));
        SpriteOfBackdrop().alpha = c.alpha;
        Press(c.x, c.y);
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(Forge().leaving, c.leaves);
    }
    LoadForge(BoardText(2));
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
    Step(130);
    EXPECT_TRUE(LeaveArmed());
}

} // namespace

namespace {

// The forge played through the main loop: each tool put down goes back to its place, so the spot
// the water lit is struck by the hammer and not taken for the water lying on it.
class ForgeProof : public MiniGameHarness {};

TEST_F(ForgeProof, WaterThenTheHammerOnOneSpotScoresIt) {
    WriteMiniGame("levels/forge.txt",
                  std::string("(Meta (Name forge) (Type whackamole))\n(Objects\n") + kScene + ")\n",
                  kDefinitions, {"anvil_use", "game_won"});
    WriteData("levels/forge_board.txt", BoardText(1));
    WriteData("gfx/forge.ani", "(fileAnim idle (frame gfx\\forge.png 0 0 400 300 200 150))\n");
    WriteData("gfx/puzzles/ForgingTheRod/spot.ani",
              "(fileAnim glow (frame gfx\\spot.png 0 0 60 60 30 30))\n");
    WriteData("gfx/fx/green_glow_ring.prt", "(max_parts 4)\n(flow 0 10)\n");
    OpenMiniGame("levels/forge.txt", 1);
    Wait(60);
    Click(700, 600); // the water
    Click(430, 330); // the spot (0, 0)
    Click(330, 600); // the hammer
    Click(430, 330);
    const MiniGameResult result = Run(PlannedPasses() + 300);
    EXPECT_EQ(result.word, 6);
    EXPECT_TRUE(result.wonAt);
}

} // namespace
