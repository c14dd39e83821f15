// The library's shelf and card machine. The shelf's books are placed by clicks on the location;
// the machine's tune game is run nested through the real game process (a one-tile board stands
// in for the tune), won or left.

#include "puzzles/Library.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Random.h"
#include "puzzles/RotatingTiles.h"
#include "tests/puzzles/MiniGameHarness.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "world/GameModalDialog.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kLibrary = "library";

// The shelf and the machine at (100, 100) and (300, 100), 100 x 100 each, in a location of their
// own.
class LibraryObjects : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        WriteData("paper_place.wav", "paper_place");
        WriteData("sounds.txt", "(set global (paper_place paper_place.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData(LibraryShelf::kSparks, "(max_parts 4)\n(flow 0 10)\n");
        for (const char* book : {"library_book1", "library_book2", "library_book3", "atlas"}) {
            WriteItemArt(book);
        }
    }

    void LoadLibrary(const std::string& shelfData, const std::string& machineData = "") {
        WriteData("scripts/objects.txt",
                  "(Final\n"
                  " (Shelf LibraryShelf (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) "
                  "(bottom 100)))\n"
                  " (Machine LibraryMachine (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) "
                  "(bottom 100)))\n"
                  " (GameModalDialog)\n)\n");
        WriteData(std::string("levels/") + kLibrary + ".txt",
                  std::string("(Meta (Name ") + kLibrary + "))\n(Objects\n" +
                      " (Shelf (visName shelf) (POSI (position 100 100)) (Data " + shelfData +
                      "))\n (Machine (visName machine) (POSI (position 300 100)) (Data " +
                      machineData + "))\n)\n");
        MakeGameLevel().LoadScene(std::string("levels/") + kLibrary + ".txt", true);
    }

    template <typename T>
    T* Find() const {
        for (const auto& object : GameLevel->Objects()) {
            if (auto* found = dynamic_cast<T*>(object.get()); found != nullptr && !found->dead) {
                return found;
            }
        }
        return nullptr;
    }

    void ClickWith(Object& target, const std::string& held, float x) {
        GameLevel->levelSystem->heldItemName = held;
        Mouse.x = x;
        Mouse.y = 150.0f;
        target.OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    }

    int32_t Flag(const std::string& name) {
        return CurrentPlayer->GetFlag(std::string(kLibrary) + ":" + name);
    }

    std::vector<std::string> Dialogues() const {
        std::vector<std::string> files;
        for (const auto& object : GameLevel->Objects()) {
            if (const auto* dialog = dynamic_cast<const GameModalDialog*>(object.get())) {
                files.push_back(dialog->fileName);
            }
        }
        return files;
    }
};

const std::string kThreeBooks = "(activators library_book1 library_book2 library_book3)";

struct ShelfCase {
    const char* name;
    int32_t placedBefore; // the flag "shelf_actBooks" as the location loads
    std::vector<std::string> books; // placed one after the other
    int32_t placedAfter;
    bool killed;
    std::string heldAfter;
};

TEST_F(LibraryObjects, TheShelfTakesItsListedBooksAndGoesWhenFull) {
    const ShelfCase cases[] = {
        {"three books fill it", 0, {"library_book1", "library_book2", "library_book3"}, 3, true, ""},
        {"in any order", 0, {"library_book3", "library_book1"}, 2, false, ""},
        {"a book not on its list stays held", 0, {"atlas"}, 0, false, "atlas"},
        {"the count read back: the third book fills it", 2, {"library_book3"}, 3, true, ""},
        {"a count beyond the list reads as full", 9, {"library_book1"}, 3, true, ""},
        {"a negative count reads as none", -4, {"library_book1"}, 1, false, ""},
    };
    for (const ShelfCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.placedBefore != 0) {
            CurrentPlayer->SetFlag(kLibrary, "shelf_actBooks", c.placedBefore);
        }
        LoadLibrary(kThreeBooks);
        LibraryShelf* shelf = Find<LibraryShelf>();
        ASSERT_NE(shelf, nullptr);
        const std::size_t played = PlayedFiles().size();
        for (const std::string& book : c.books) {
            ClickWith(*shelf, book, 150.0f);
        }
        EXPECT_EQ(shelf->placed, c.placedAfter);
        EXPECT_EQ(shelf->dead, c.killed);
        EXPECT_EQ(Flag("shelf_killed") != 0, c.killed);
        EXPECT_EQ(GameLevel->levelSystem->heldItemName, c.heldAfter);
        const std::size_t taken = c.heldAfter.empty() ? c.books.size() : 0;
        EXPECT_EQ(PlayedFiles().size() - played, taken);
        if (taken > 0) {
            EXPECT_EQ(Flag("shelf_actBooks"), c.placedAfter);
        }
        // The next case starts from a fresh profile.
        StartAgain();
        RegisterWorldClasses();
        RegisterPuzzleClasses();
        MakeProfile(0, "Ann");
    }
}

struct EmptyClickCase {
    const char* name;
    std::string shelfData;
    std::string machineData;
    float x;
    std::vector<std::string> dialogues;
};

TEST_F(LibraryObjects, AClickWithNothingHeldOpensTheirDialogue) {
    const EmptyClickCase cases[] = {
        {"the shelf's description", kThreeBooks + " (descriptionDialog shelf.txt)", "", 150.0f,
         {"shelf.txt"}},
        {"the machine's hint", "", "(activators card1) (noActivatorDialog machine.txt)", 350.0f,
         {"machine.txt"}},
        {"the shelf without one", kThreeBooks, "", 150.0f, {}},
        {"outside both", kThreeBooks + " (descriptionDialog shelf.txt)", "", 250.0f, {}},
    };
    for (const EmptyClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        LoadLibrary(c.shelfData, c.machineData);
        ClickWith(*Find<LibraryShelf>(), "", c.x);
        ClickWith(*Find<LibraryMachine>(), "", c.x);
        EXPECT_EQ(Dialogues(), c.dialogues);
    }
}

// The machine on a location run by the game process, its tune a one-tile board.
const std::vector<std::string> kSounds = {"game_won", "pick1", "game_appear", "paper_place",
                                          "metal_scrape"};

class LibraryMachineRun : public MiniGameHarness {
protected:
    static constexpr uint32_t kSeed = 12;
    static constexpr int kSettle = 60;

    void Prepare(const std::string& activators) {
        const std::string objects = "(Machine (visName machine) (POSI (position 300 100)) (Data "
                          "(activators " +
                          activators + ")))\n(Book (visName book1) (POSI (position 500 300)))\n";
        WriteMiniGame(LibraryMachine::kTuneGame,
                      "(Meta (Name rockband2) (Type puzzle))\n(Objects\n(Tile (POSI (position "
                      "500 400)))\n(Tiles))\n",
                      "(Tile PuzzleChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ)"
                      " (COLI (left -50) (right 50) (top -50) (bottom 50)) (Data (clickEvent "
                      "PROT)))\n(Tiles PuzzleMngr (KEYB) (Data))\n"
                      "(Machine LibraryMachine (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) "
                      "(bottom 100)))\n(Book BaseGameObject (POSI))\n",
                      kSounds);
        WriteLocation(objects);
        WriteItemArt("card1");
        WriteData("gfx/fx/tomb_dust.prt", "(max_parts 4)\n(flow 0 10)\n");
        OpenLocation(kSeed);
        // The librarian has spoken: the book lands without her dialogue.
        CurrentPlayer->SetFlag("z5-library-in", "dialog3_killed", 1);
    }

    // Holds the card, clicks the machine; the tune opens (the seed makes its start not won).
    void InsertCard() {
        HoldItem("card1");
        Then([] { SeedRandom(kSeed); });
        Click(350, 150);
        Wait(30);
        Then([this] {
            opened = ModalLevel != nullptr ? ModalLevel->name : "none";
            ASSERT_TRUE(ModalLevel == nullptr || !ModalLevel->won) << "choose another seed";
        });
    }
    void TurnTile(float degrees) {
        Then([this, degrees] {
            for (PuzzleChunk* tile : Pieces<PuzzleChunk>()) {
                tile->SetRotation(degrees);
            }
        });
    }
    int32_t Flag(const std::string& name) {
        return CurrentPlayer->GetFlag(std::string(kLocation) + ":" + name);
    }
    static int Count(const MiniGameResult& result, const std::string& sound) {
        return static_cast<int>(std::count(result.sounds.begin(), result.sounds.end(), sound));
    }

    std::string opened;
};

struct TuneCase {
    const char* name;
    std::string activators;
    bool win;
    int32_t cards;      // "machine_actCards" afterwards
    bool machineKilled;
    int bookLandings;   // FxBook lands with "paper_place"
    int wonSounds;      // the board's own win sound and the machine's for the last card
    int32_t energy;     // the board's reward and the machine's for the last card
};

// Test names show the case's name, not its bytes.
void PrintTo(const TuneCase& tune, std::ostream* out) {
    *out << tune.name;
}

class LibraryMachineTunes : public LibraryMachineRun,
                            public testing::WithParamInterface<TuneCase> {};

TEST_P(LibraryMachineTunes, AWonTuneCountsItsCardAndRaisesItsBook) {
    const TuneCase& c = GetParam();
    Prepare(c.activators);
    InsertCard();
    // Written after the save game of the tune's opening: reading that back forgets it.
    Wait(10);
    Then([] { CurrentPlayer->SetFlag(kLocation, "during_tune", 1); });
    if (c.win) {
        TurnTile(0.0f);
    } else {
        TurnTile(90.0f);
        Wait(60);
        Escape();
    }
    Wait(300);
    bool saveReadBack = false;
    Then([&saveReadBack, this] { saveReadBack = Flag("during_tune") == 0; });
    const MiniGameResult result = RunLocation(PlannedPasses() + kSettle);

    EXPECT_EQ(opened, "rockband2");
    EXPECT_EQ(Flag("machine_actCards"), c.cards);
    EXPECT_EQ(Flag("machine_killed") != 0, c.machineKilled);
    EXPECT_EQ(Count(result, "paper_place"), c.bookLandings);
    EXPECT_EQ(Count(result, "game_won"), c.wonSounds);
    EXPECT_EQ(result.energyGained, c.energy);
    EXPECT_EQ(saveReadBack, !c.win);
}

INSTANTIATE_TEST_SUITE_P(
    Tunes, LibraryMachineTunes,
    testing::Values(TuneCase{"TheOnlyCardWon", "card1", true, 1, true, 1, 2, 2},
                    TuneCase{"TheFirstOfTwoCardsWon", "card1 card2", true, 1, false, 1, 1, 1},
                    TuneCase{"ATuneLostCountsNothingAndReadsTheSaveBack", "card1", false, 0,
                             false, 0, 0, 0}),
    [](const testing::TestParamInfo<TuneCase>& tune) { return std::string(tune.param.name); });

} // namespace
