// The rhythm game: its board file, the notes' fall and the bottom that loses the game, the keys
// and their presses, pieces outliving their manager; played through the main loop, won and lost;
// and the organ that opens it: its refusals, its wins counted in flags, its loss.

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/Rockband.h"
#include "tests/puzzles/MiniGameHarness.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "ui/UserInterface.h"
#include "world/FxParticles.h"
#include "world/GameModalDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kSounds = {"game_won", "game_appear", "note1", "note2",
                                          "cannot",   "warning",     "tutorial_popup"};

// Two 64-pixel keys under the columns of a board at (400, 100), and notes that carry a sprite.
const char* const kDefinitions =
    "(RockbandObject (POSI) (SPRT))\n"
    "(Key RockbandKey (POSI) (KEYB) (SPRT (file gfx\\puzzles\\keys.ani)) (COLI (left -32) (right 32) (top -32) (bottom 32)))\n"
    "(Band RockbandMngr (POSI))\n";

// Columns, rows 4, the pattern and the speed; each header line as given.
std::string BoardText(int columns, int notes, float speed, const std::string& lineEnd = "\n") {
    return "offsetX: 400" + lineEnd + "offsetY: 100" + lineEnd +
           "Columns: " + std::to_string(columns) + lineEnd + "Rows: 4" + lineEnd +
           "PatternSize: " + std::to_string(notes) + lineEnd + "Speed: " + std::to_string(speed) +
           lineEnd + "Notes" + lineEnd;
}

std::string BandScene(int version = 1) {
    return "(Key (POSI (position 432 420)) (Data (columnId 0)))\n"
           "(Key (POSI (position 496 420)) (Data (columnId 1)))\n"
           "(Band (Data (definition levels\\rock_board.txt) (version " +
           std::to_string(version) + ")))";
}

// The notes' pictures and sparks, written by the fixture's writer.
template <typename Write>
void WriteNoteArt(Write write) {
    write("gfx/puzzles/rockband_object.ani", "(anim note)\n");
    write("gfx/puzzles/rockband2/objects.ani", "(anim note)\n");
    write("gfx/fx/collectible3.prt", "(max_parts 4)\n(flow 0 10)\n");
    std::string keys;
    for (const char* look : {"key0", "key0_pressed", "key1", "key1_pressed"}) {
        keys += std::string("(fileAnim ") + look + " (frame gfx\\keys.png 0 0 64 64 0 0))\n";
    }
    write("gfx/puzzles/keys.ani", keys);
    write("gfx/interface/dialog_window/dialog_window.ani", "(anim idle)\n");
}

std::size_t Count(const std::vector<std::string>& sounds, const std::string& sound) {
    return static_cast<std::size_t>(std::count(sounds.begin(), sounds.end(), sound));
}

class RockbandTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        std::string sets = "(set global";
        for (const std::string& sound : kSounds) {
            WriteData(sound + ".wav", sound);
            sets += " (" + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        WriteNoteArt([this](const std::string& name, const std::string& text) { WriteData(name, text); });
    }

    void LoadBand(const std::string& board, int version = 1) {
        WriteData("levels/rock_board.txt", board);
        LoadMiniGame(kDefinitions, BandScene(version));
    }

    RockbandMngr& Band() { return *All<RockbandMngr>().at(0); }
    RockbandKey& Key(std::size_t i) { return *All<RockbandKey>().at(i); }

    // A note made by the manager, then put at y in its column.
    RockbandObject& NoteAt(int32_t column, float y) {
        Band().notesToCreate = 1;
        Band().SpawnNote();
        RockbandObject& note = *Band().Notes().back();
        note.column = column;
        auto& position = note.RequireChunk<PositionChunk>(FourCC("POSI"));
        position.x = static_cast<float>(Band().CellAt(column, 0).x);
        position.y = y;
        note.targetX = position.x;
        return note;
    }

    static float Y(const RockbandObject& note) {
        return static_cast<const PositionChunk*>(note.GetChunk(FourCC("POSI"), 0))->y;
    }
};

TEST_F(RockbandTest, TheBoardGivesTheCellsThePatternAndTheSpeedAndHasNoShape) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
        SCOPED_TRACE(lineEnd[0] == '\r' ? "CR LF" : "LF");
        LoadBand(BoardText(3, 7, 96.0f, lineEnd));
        const RockbandMngr& band = Band();
        EXPECT_EQ(band.columns, 3);
        EXPECT_EQ(band.rows, 4);
        EXPECT_EQ(band.notesToCreate, 7);
        EXPECT_EQ(band.notesLeft, 7);
        EXPECT_FLOAT_EQ(band.speed, 96.0f);
        EXPECT_EQ(band.CellAt(0, 0).x, 400);
        EXPECT_EQ(band.CellAt(0, 0).y, 100);
        EXPECT_EQ(band.CellAt(2, 3).x, 400 + 2 * 64);
        EXPECT_EQ(band.CellAt(2, 3).y, 100 + 3 * 64);
        EXPECT_EQ(band.version, 1);
    }
}

TEST_F(RockbandTest, ABrokenBoardStopsTheLoadSayingWhatIsWrong) {
    struct Case {
        std::string board;
        std::string error;
    };
    const std::string good = BoardText(2, 5, 64.0f);
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string board = good;
        board.replace(board.find(from), from.size(), to);
        return board;
    };
    const std::vector<Case> cases = {
        {replaced("offsetX:", "offsetx:"), "Expected: \"offsetX:\". offsetx: found instead."},
        {replaced("offsetY:", "Offset:"), "Expected: \"offsetY:\". Offset: found instead."},
        {replaced("Columns:", "Cols:"), "Expected: \"Columns:\". Cols: found instead."},
        {replaced("Rows:", "Lines:"), "Expected: \"Rows:\". Lines: found instead."},
        {replaced("PatternSize:", "Pattern:"),
         "Expected: \"PatternSize:\". Pattern: found instead."},
        {replaced("Speed:", "BOARD_SHAPE:"), "Expected: \"Speed:\". BOARD_SHAPE: found instead."},
        {replaced("Columns: 2", "Columns: 0"), "levels\\rock_board.txt: Columns 0 outside 1 to 64"},
        {replaced("Rows: 4", "Rows: -3"), "levels\\rock_board.txt: Rows -3 outside 1 to 64"},
        {replaced("Columns: 2", "Columns: 2000000000"),
         "levels\\rock_board.txt: Columns 2000000000 outside 1 to 64"},
        {replaced("Speed: 64", "Speed: -64"), "levels\\rock_board.txt: Speed -64 is not above 0"},
        {"offsetX: 400\n", "Expected: \"offsetY:\".  found instead."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        WriteData("levels/rock_board.txt", c.board);
        try {
            LoadMiniGame(kDefinitions, BandScene());
            ADD_FAILURE() << "the board was taken";
        } catch (const Exception& error) {
            EXPECT_EQ(std::string(error.Text()), c.error);
        }
    }
    try {
        LoadMiniGame(kDefinitions, "(Band (Data (definition levels\\none.txt)))");
        ADD_FAILURE() << "a missing board was taken";
    } catch (const Exception& error) {
        EXPECT_EQ(std::string(error.Text()), "Can't find file levels\\none.txt");
    }
}

TEST_F(RockbandTest, NotesComeEveryEightTenthsOfASecondInTheBoardsColumnsUntilThePatternIsMade) {
    LoadBand(BoardText(2, 5, 10.0f));
    std::vector<int> madeAt;
    std::size_t made = 0;
    for (int step = 1; step <= 400; ++step) {
        Step();
        const std::vector<RockbandObject*> notes = All<RockbandObject>();
        if (notes.size() > made) {
            madeAt.push_back(step);
            const RockbandObject& note = *notes.back();
            EXPECT_TRUE(note.column == 0 || note.column == 1);
            EXPECT_FLOAT_EQ(note.targetY, 100.0f + 4 * 64.0f) << "one cell below the board";
            EXPECT_FLOAT_EQ(note.speed, 10.0f);
            EXPECT_EQ(note.code, FourCC("PUZZ"));
            EXPECT_FLOAT_EQ(
                static_cast<const SpriteRenderChunk*>(note.GetChunk(FourCC("SPRT"), 0))->zOrder,
                355.0f);
        }
        made = notes.size();
    }
    ASSERT_EQ(madeAt.size(), 5u);
    for (std::size_t i = 1; i < madeAt.size(); ++i) {
        // 0.8 s of count-down, and the step that makes the note.
        EXPECT_NEAR(madeAt[i] - madeAt[i - 1], 49, 1);
    }
}

TEST_F(RockbandTest, ANoteIsHittableInTheBottomTwoRowsAndLosesTheGameWithinFivePixels) {
    struct Case {
        float y;       // target 356
        bool hittable; // rows - 2 = 2: y above 228
        bool lost;
    };
    const std::vector<Case> cases = {
        {200.0f, false, false}, {228.0f, false, false}, {229.0f, true, false},
        {350.0f, true, false},  {351.0f, true, true},   {356.0f, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        LoadBand(BoardText(1, 5, 30.0f));
        RockbandObject& note = NoteAt(0, c.y);
        const std::size_t soundsBefore = PlayedFiles().size();
        const bool alive = note.Update(kStep);
        EXPECT_EQ(note.hittable, c.hittable);
        EXPECT_EQ(Band().failed, c.lost);
        EXPECT_EQ(alive, !c.lost);
        if (c.lost) {
            EXPECT_FLOAT_EQ(Y(note), 356.0f) << "put on the target";
            ASSERT_EQ(PlayedFiles().size(), soundsBefore + 1);
            EXPECT_EQ(PlayedFiles().back(), "warning");
        } else if (c.y < 356.0f) {
            EXPECT_FLOAT_EQ(Y(note), c.y + 30.0f * kStep) << "falls at the board's speed";
        } else {
            EXPECT_FLOAT_EQ(Y(note), 356.0f) << "a note standing on its target stays";
        }
    }
}

TEST_F(RockbandTest, AFastNoteNeverStepsPastTheBottom) {
    LoadBand(BoardText(1, 5, 100000.0f));
    RockbandObject& note = NoteAt(0, 100.0f);
    EXPECT_TRUE(note.Update(kStep));
    EXPECT_FALSE(note.Update(kStep)) << "the step after finds it at the bottom";
    EXPECT_TRUE(Band().failed);
}

TEST_F(RockbandTest, APressHitsEveryHittableNoteOfItsColumnAndNothingElse) {
    LoadBand(BoardText(2, 9, 10.0f));
    RockbandObject& low = NoteAt(0, 300.0f);
    RockbandObject& lower = NoteAt(0, 340.0f);
    RockbandObject& high = NoteAt(0, 120.0f);
    RockbandObject& other = NoteAt(1, 300.0f);
    Step();
    ASSERT_TRUE(low.hittable && lower.hittable && other.hittable && !high.hittable);
    Band().notesLeft = 9;
    const std::size_t sparksBefore = All<FxParticles>().size();

    Band().PressColumn(0, false);
    EXPECT_EQ(Band().notesLeft, 7);
    EXPECT_EQ(Count(PlayedFiles(), "note1"), 2u);
    EXPECT_EQ(All<FxParticles>().size(), sparksBefore + 2);
    Step();
    const std::vector<RockbandObject*> left = All<RockbandObject>();
    EXPECT_EQ(left, (std::vector<RockbandObject*>{&high, &other}));
    EXPECT_EQ(Band().Notes(), left);

    // Quiet: the hit without its note.
    Band().PressColumn(1, true);
    EXPECT_EQ(Band().notesLeft, 6);
    EXPECT_EQ(Count(PlayedFiles(), "note2"), 0u);

    // A column without a hittable note: "cannot", nothing else.
    Band().PressColumn(0, false);
    EXPECT_EQ(Band().notesLeft, 6);
    EXPECT_EQ(PlayedFiles().back(), "cannot");
    EXPECT_FALSE(high.dead);
}

TEST_F(RockbandTest, OfTwoKeysPressedInOneStepTheLaterWins) {
    WriteData("levels/rock_board.txt", BoardText(2, 5, 10.0f));
    // The keys overlap at (464, 420).
    LoadMiniGame(kDefinitions, "(Key (POSI (position 440 420)) (Data (columnId 0)))\n"
                               "(Key (POSI (position 488 420)) (Data (columnId 1)))\n"
                               "(Band (Data (definition levels\\rock_board.txt)))");
    RockbandObject& first = NoteAt(0, 330.0f);
    RockbandObject& second = NoteAt(1, 330.0f);
    Step();
    Press(464.0f, 420.0f);
    Step();
    EXPECT_FALSE(first.dead);
    EXPECT_EQ(All<RockbandObject>(), (std::vector<RockbandObject*>{&first}));
    EXPECT_EQ(Count(PlayedFiles(), "note2"), 1u);
    EXPECT_EQ(Count(PlayedFiles(), "note1"), 0u);
    (void)second;
}

TEST_F(RockbandTest, EachLookShowsAPressedKey) {
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        LoadBand(BoardText(2, 5, 10.0f), version);
        const auto& sprite =
            *static_cast<const SpriteRenderChunk*>(Key(1).GetChunk(FourCC("SPRT"), 0));
        Mouse.x = 496.0f;
        Mouse.y = 420.0f;
        Mouse.leftHeld = true;
        Step();
        EXPECT_TRUE(Key(1).pressedLook);
        if (version == 1) {
            EXPECT_TRUE(sprite.visible);
        } else {
            EXPECT_EQ(sprite.player.CurrentAnimName(), "key1");
        }
        Mouse.x = 300.0f; // held away from the key
        Mouse.leftHeld = true;
        Step();
        EXPECT_FALSE(Key(1).pressedLook);
        if (version == 1) {
            EXPECT_FALSE(sprite.visible);
        } else {
            EXPECT_EQ(sprite.player.CurrentAnimName(), "key1_pressed");
        }
    }
}

TEST_F(RockbandTest, KeysAndNotesReadAManagerThatHasGoneAsFinished) {
    LoadBand(BoardText(2, 5, 10.0f));
    RockbandObject& note = NoteAt(0, 300.0f);
    RockbandKey& key = Key(0);
    ModalLevel->DestroyObject(&Band());
    Step();
    EXPECT_TRUE(All<RockbandObject>().empty()) << "the note ended";
    EXPECT_TRUE(key.manager.Finished(ModalLevel));
    const std::size_t soundsBefore = PlayedFiles().size();
    Press(432.0f, 420.0f);
    Step();
    EXPECT_EQ(PlayedFiles().size(), soundsBefore) << "a finished game takes no press";
    (void)note;

    // A note no manager made ends at once; a key without one only shows its look.
    LoadMiniGame(kDefinitions, "(Key (POSI (position 432 420)) (Data (columnId 0)))\n"
                               "(RockbandObject (POSI (position 400 100)))");
    Step();
    EXPECT_TRUE(All<RockbandObject>().empty());
    Press(432.0f, 420.0f);
    EXPECT_FALSE(Key(0).manager.Finished(ModalLevel));
}

TEST_F(RockbandTest, AllNotesHitWinAfterTwoSecondsAndALostNoteClosesTheGame) {
    for (const bool win : {true, false}) {
        SCOPED_TRACE(win ? "won" : "lost");
        LoadBand(BoardText(1, 1, 10.0f));
        RockbandObject& note = NoteAt(0, win ? 300.0f : 352.0f);
        Step();
        if (win) {
            Band().PressColumn(0, false);
        }
        int steps = 0;
        while (!LeaveArmed() && steps < 400) {
            Step();
            ++steps;
        }
        EXPECT_NEAR(steps, 120, 2) << "the end delay";
        EXPECT_EQ(ModalLevel->won, win);
        EXPECT_EQ(ModalLevel->returnFlag, !win);
        EXPECT_TRUE(All<RockbandMngr>().empty()) << "the manager ended";
        (void)note;
    }
}

// The organ in a location over the rhythm game.
class OrganTest : public RockbandTest {
protected:
    void LoadOrgan(const std::string& organData) {
        WriteData("scripts/objects.txt",
                  std::string("(Final\n(OrganPipes Organ (POSI) (KEYB) (SPRT)"
                              " (COLI (left -50) (right 50) (top -50) (bottom 50)))\n"
                              "(GameModalDialog (POSI))\n") +
                      kDefinitions + ")\n");
        WriteData("levels/gate.txt", "(Meta (Name gate) (Type normal))\n(Objects\n"
                                     "(OrganPipes (POSI (position 500 300)) (Data " +
                                         organData + ")))\n");
        GameLevel->LoadDefinitions("scripts/objects.txt");
        GameLevel->LoadScene("levels/gate.txt", true);
    }

    Organ& TheOrgan() { return *dynamic_cast<Organ*>(FindIn(*GameLevel, "OrganPipes")); }

    static Object* FindIn(Level& level, const std::string& name) {
        for (const auto& object : level.Objects()) {
            if (object != nullptr && object->name == name) {
                return object.get();
            }
        }
        return nullptr;
    }

    std::vector<std::string> Dialogues() {
        std::vector<std::string> shown;
        for (const auto& object : GameLevel->Objects()) {
            if (auto* dialog = dynamic_cast<GameModalDialog*>(object.get())) {
                shown.push_back(dialog->visName + " " + dialog->fileName);
            }
        }
        return shown;
    }

    void PressOrgan() {
        Mouse.x = 500.0f;
        Mouse.y = 300.0f;
        Mouse.leftHeld = Mouse.leftPressed = true;
        Keyboard.Update();
        GameLevel->Update(kStep);
        Mouse.leftHeld = Mouse.leftPressed = false;
    }
};

TEST_F(OrganTest, TheOrganReadsItsActivatorsAndItsWinsSoFar) {
    CurrentPlayer->SetFlag("gate", "OrganGame", 4);
    LoadOrgan("(activators bell_small bell_big)");
    EXPECT_EQ(TheOrgan().activators, (std::vector<std::string>{"bell_small", "bell_big"}));
    EXPECT_EQ(TheOrgan().gamesWon, 4);
    EXPECT_EQ(TheOrgan().GetClickSoundName(), "push");
}

TEST_F(OrganTest, TheOrganRefusesAnEmptyCursorAndAnItemNotItsOwnAndWaitsForAnOpenGame) {
    LoadOrgan("(activators bell_small)");
    PressOrgan();
    EXPECT_EQ(Dialogues(),
              (std::vector<std::string>{
                  "dialog99 menus\\tutorials\\OraclesHermitageInterior\\msg9.txt"}));
    GameLevel->RemoveDead();

    LoadOrgan("(activators bell_small)");
    WriteItemArt("key");
    GameLevel->levelSystem->HoldItem("key");
    PressOrgan();
    EXPECT_EQ(Dialogues().size(), 1u);

    // While a mini-game is open the organ takes no press at all.
    LoadOrgan("(activators bell_small)");
    GameLevel->levelSystem->HoldItem("key");
    LoadBand(BoardText(1, 1, 10.0f));
    PressOrgan();
    EXPECT_TRUE(Dialogues().empty());
}

// The rhythm game played through the main loop, and the organ that opens it from a location.
class RockbandProof : public MiniGameHarness {
protected:
    void WriteGame(int notes) {
        WriteMiniGame("levels/rockband1.txt",
                      "(Meta (Name rockband) (Type rockband))\n(Objects\n(Key (POSI (position 432 "
                      "420)) (Data (columnId 0)))\n(Band (Data (definition levels\\rock_board.txt))))\n",
                      std::string(kDefinitions) +
                          "(OrganPipes Organ (POSI) (KEYB) (SPRT)"
                          " (COLI (left -50) (right 50) (top -50) (bottom 50)))\n",
                      kSounds);
        WriteData("levels/rock_board.txt", BoardText(1, notes, 128.0f));
        WriteNoteArt([this](const std::string& name, const std::string& text) { WriteData(name, text); });
        for (const char* dialogue : {"msg9", "msg10"}) {
            WriteData(std::string("menus/tutorials/OraclesHermitageInterior/") + dialogue + ".txt",
                      "(Objects)\n");
        }
    }

    // Clicks on the key every 20 passes for that many passes.
    void ClickKeyFor(int passes) {
        for (int at = 0; at < passes; at += 20) {
            Click(432, 420);
            Wait(12);
        }
    }

    // Closes every dialogue at once, noting its file.
    void CloseDialogues() {
        Watch([this] {
            if (DialogueUI != nullptr && DialogueUI != closing) {
                dialogues.push_back(DialogueUI->ScenePath());
                DialogueUI->state = 1;
            }
            closing = DialogueUI;
        });
    }

    int32_t Flag(const std::string& name) {
        return CurrentPlayer->GetFlag(std::string(kLocation) + ":" + name);
    }

    std::vector<std::string> dialogues;
    const UserInterface* closing = nullptr; // the dialogue told to close, until it has gone
};

TEST_F(RockbandProof, FiveNotesHitWinTheGameAndEmptyClicksCostNothing) {
    WriteGame(5);
    OpenMiniGame("levels/rockband1.txt", 3);
    ClickKeyFor(480);
    const MiniGameResult result = Run();
    EXPECT_EQ(result.word, 6);
    EXPECT_TRUE(result.wonAt);
    EXPECT_FALSE(result.returnFlagAt);
    EXPECT_EQ(Count(result.sounds, "note1"), 5u);
    EXPECT_GT(Count(result.sounds, "cannot"), 0u);
    EXPECT_EQ(Count(result.sounds, "warning"), 0u);
    EXPECT_EQ(result.energyGained, 1);
}

TEST_F(RockbandProof, ANoteAtTheBottomLosesTheGame) {
    WriteGame(5);
    OpenMiniGame("levels/rockband1.txt", 3);
    const MiniGameResult result = Run();
    EXPECT_EQ(result.word, 5);
    EXPECT_FALSE(result.wonAt);
    EXPECT_TRUE(result.returnFlagAt);
    EXPECT_EQ(Count(result.sounds, "warning"), 1u) << "the first note ends the game";
    EXPECT_EQ(result.energyGained, 0);
}

TEST_F(RockbandProof, TheOrgansSixthWinCompletesItAndEachWinIsKept) {
    WriteGame(1);
    WriteLocation("(OrganPipes (POSI (position 700 300)) (Data (activators bell_small)))");
    WriteItemArt("bell_small");
    OpenLocation(3);
    CurrentPlayer->SetFlag(kLocation, "OrganGame", 4);
    GameLevel->LoadScene(std::string("levels/") + kLocation + ".txt", true);
    for (int game = 0; game < 2; ++game) {
        HoldItem("bell_small");
        Click(700, 300);
        ClickKeyFor(260);
        Wait(200);
        Then([this, game] {
            EXPECT_EQ(ModalLevel, nullptr) << "the game level is back after game " << game;
            EXPECT_EQ(Flag("OrganGame"), 5 + game);
            EXPECT_EQ(Flag("OrganGame_completed"), game);
        });
    }
    const MiniGameResult result = RunLocation(PlannedPasses() + 10);
    EXPECT_EQ(Flag("organ_game_bell_small_completed"), 1);
    EXPECT_EQ(Flag("OrganGame"), 6);
    EXPECT_EQ(Flag("OrganGame_completed"), 1);
    EXPECT_EQ(result.energyGained, 2);
    EXPECT_EQ(Count(result.sounds, "game_appear"), 2u);
}

TEST_F(RockbandProof, AnOrganGameLostShowsItsDialogueAndGivesTheActivatorBack) {
    WriteGame(1);
    WriteLocation("(OrganPipes (POSI (position 700 300)) (Data (activators bell_small)))");
    WriteItemArt("bell_small");
    OpenLocation(3);
    HoldItem("bell_small");
    Click(700, 300);
    CloseDialogues();
    const MiniGameResult result = RunLocation(PlannedPasses() + 700);
    EXPECT_EQ(dialogues, (std::vector<std::string>{
                             "menus\\tutorials\\OraclesHermitageInterior\\msg10.txt"}));
    EXPECT_EQ(Flag("OrganGame"), 0);
    EXPECT_EQ(Flag("organ_game_bell_small_completed"), 0);
    ASSERT_NE(GameLevel, nullptr);
    EXPECT_EQ(GameLevel->levelSystem->heldItemName, "bell_small") << "the save game's cursor";
    EXPECT_EQ(result.energyGained, 0);
}

} // namespace
