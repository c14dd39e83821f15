// The chain of mini-games behind one location object, played through the real game process: a
// click on the object opens the next game of its list nested in the location's step; the games
// are small one-tile boards, put upright (won) or turned away and left with Escape by script.

#include "engine/ProcessResult.h"
#include "puzzles/RotatingTiles.h"
#include "puzzles/TreeGames.h"
#include "engine/Random.h"
#include "tests/puzzles/MiniGameHarness.h"
#include "world/NormalLevelSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kSounds = {"game_won",     "pick1",         "game_appear",
                                          "stairs_build", "column_move",   "explosionlarge",
                                          "door_open",    "metal_scrape"};

// The chain's object at (100, 100), 100 x 100, and the one-tile boards it opens; the pillars
// "pillar_1" to "pillar_4" stand on the location.
const char* const kDefinitions =
    "(Tile PuzzleChunk (POSI) (KEYB ()) (SPRT) (Name PUZZ)"
    " (COLI (left -50) (right 50) (top -50) (bottom 50)) (Data (clickEvent PROT)))\n"
    "(Tiles PuzzleMngr (KEYB) (Data))\n"
    "(Chain TreeGamesManager (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) (bottom 100)))\n"
    "(Pillar BaseGameObject (POSI))\n";

std::string BoardScene(int n) {
    return "(Meta (Name game" + std::to_string(n) +
           ") (Type puzzle))\n(Objects\n(Tile (POSI (position 500 400)))\n(Tiles))\n";
}

std::string ChainEntry(const std::string& name, int games, const std::string& keys) {
    std::string list = "(minigame";
    for (int n = 1; n <= games; ++n) {
        list += " levels/game" + std::to_string(n) + ".txt";
    }
    return "(Chain (visName " + name + ") (POSI (position 100 100)) (Data " + list + ") " + keys +
           "))\n";
}

std::string Pillars() {
    std::string pillars;
    for (int n = 1; n <= 4; ++n) {
        pillars += "(Pillar (visName pillar_" + std::to_string(n) + ") (POSI (position " +
                   std::to_string(200 + 100 * n) + " 600)))\n";
    }
    return pillars;
}

// What the player does at the chain, one step after the other.
enum class Act {
    Win,          // clicks the object; the game opens and is won
    Leave,        // clicks the object; the game opens and is left with Escape
    Abort,        // clicks the object; the game's scene ends with no word of a way back
    ClickHolding, // clicks the object with an item on the cursor
    DoubleClick,  // clicks twice during the countdown; the game opens once and is won
};

struct ChainCase {
    const char* name;
    std::string object = "chain";
    int games = 3;
    std::string keys{};       // further Data keys of the chain
    std::vector<int> wonBefore{}; // the games whose flags are set before the visit
    std::vector<Act> acts{};
    std::vector<std::string> opened{}; // the games opened, in order
    std::vector<int> booked{};         // the games whose flags are set at the end
    bool completed = false;          // "<name>_completed" is set
    bool present = true;             // the object is still on the location
    int stairs = 0;
    int pillarsRisen = 0; // pillars that landed
    int doorOpened = 0;   // the platform's door sound, one for each click that starts a game
};

// Test names show the case's name, not its bytes.
void PrintTo(const ChainCase& chain, std::ostream* out) {
    *out << chain.name;
}

class TreeGames : public MiniGameHarness {
protected:
    static constexpr uint32_t kWinSeed = 11;
    static constexpr uint32_t kLeaveSeed = 12;
    // Passes after the last action before the location's run ends.
    static constexpr int kSettle = 60;

    int32_t Flag(const std::string& name) {
        return CurrentPlayer->GetFlag(std::string(kLocation) + ":" + name);
    }

    void Prepare(const ChainCase& c) {
        WriteMiniGame("levels/game1.txt", BoardScene(1), kDefinitions, kSounds);
        WriteLocation(ChainEntry(c.object, c.games, c.keys) + Pillars());
        for (int n = 2; n <= c.games; ++n) {
            WriteData("levels/game" + std::to_string(n) + ".txt", BoardScene(n));
        }
        for (const char* particles : {"gfx/fx/tomb_dust.prt"}) {
            WriteData(particles, "(max_parts 4)\n(flow 0 10)\n");
        }
        OpenLocation(5);
        for (const int n : c.wonBefore) {
            CurrentPlayer->SetFlag(kLocation, c.object + "_" + std::to_string(n) + "_completed",
                                   1);
        }
        // The chain reads its flags as the location loads: again, with the flags set.
        GameLevel->LoadScene(std::string("levels/") + kLocation + ".txt", true);
    }

    // The game open now, turned upright or away.
    void TurnTile(float degrees) {
        Then([this, degrees] {
            for (PuzzleChunk* tile : Pieces<PuzzleChunk>()) {
                tile->SetRotation(degrees);
            }
        });
    }
    void NoteOpened() {
        Then([this] {
            opened.push_back(ModalLevel != nullptr ? ModalLevel->name : "none");
            if (ModalLevel != nullptr && ModalLevel->won) {
                ADD_FAILURE() << "a game won as it opened proves nothing: choose another seed";
            }
        });
    }
    // The tile's start turn comes from the game's generator, seeded here as the script's "seed"
    // word does: the seed is one whose start is not already upright.
    void Seed(uint32_t seed) {
        Then([seed] { SeedRandom(seed); });
    }
    // A game's fade-in, its win delay and its fade-out have passed.
    void WaitGameOver() { Wait(300); }

    void Play(Act act) {
        switch (act) {
        case Act::Win:
            Seed(kWinSeed);
            Click(150, 150);
            Wait(30);
            NoteOpened();
            TurnTile(0.0f);
            WaitGameOver();
            break;
        case Act::DoubleClick:
            Seed(kWinSeed);
            Click(150, 150);
            Click(150, 150);
            Wait(60);
            NoteOpened();
            TurnTile(0.0f);
            WaitGameOver();
            Then([this] { opened.push_back(ModalLevel != nullptr ? "a second game" : "none"); });
            break;
        case Act::Leave:
            Seed(kLeaveSeed);
            Click(150, 150);
            Wait(30);
            NoteOpened();
            TurnTile(90.0f);
            Wait(60);
            Escape();
            WaitGameOver();
            break;
        case Act::Abort:
            Seed(kLeaveSeed);
            Click(150, 150);
            Wait(30);
            NoteOpened();
            TurnTile(90.0f);
            Then([] {
                if (ModalLevel != nullptr) {
                    ModalLevel->state = kResultClose;
                }
            });
            Wait(30);
            break;
        case Act::ClickHolding:
            HoldItem("rope");
            Click(150, 150);
            Wait(60);
            NoteOpened();
            Then([] { GameLevel->levelSystem->DropHeldItem(); });
            break;
        }
    }

    static int Count(const MiniGameResult& result, const std::string& sound) {
        return static_cast<int>(std::count(result.sounds.begin(), result.sounds.end(), sound));
    }

    TreeGamesManager* Chain() const {
        if (GameLevel == nullptr) {
            return nullptr;
        }
        for (const auto& object : GameLevel->Objects()) {
            if (auto* chain = dynamic_cast<TreeGamesManager*>(object.get())) {
                return chain;
            }
        }
        return nullptr;
    }

    std::vector<std::string> opened;
};

class TreeGamesChain : public TreeGames, public testing::WithParamInterface<ChainCase> {};

TEST_P(TreeGamesChain, OpensItsGamesInTurnAndBooksOnlyTheWonOnes) {
    const ChainCase& c = GetParam();
    Prepare(c);
    for (const Act act : c.acts) {
        Play(act);
    }
    bool present = false;
    Then([this, &present] { present = Chain() != nullptr; });
    const MiniGameResult result = RunLocation(PlannedPasses() + kSettle);

    EXPECT_EQ(opened, c.opened);
    for (int n = 1; n <= TreeGamesManager::kMaxBookedGames; ++n) {
        const bool expected = std::find(c.booked.begin(), c.booked.end(), n) != c.booked.end();
        EXPECT_EQ(Flag(c.object + "_" + std::to_string(n) + "_completed") != 0, expected)
            << "game " << n;
    }
    EXPECT_EQ(Flag(c.object + "_completed") != 0, c.completed);
    EXPECT_EQ(present, c.present);
    EXPECT_EQ(Count(result, "stairs_build"), c.stairs);
    EXPECT_EQ(Count(result, "explosionlarge"), c.pillarsRisen);
    EXPECT_EQ(Count(result, "door_open"), c.doorOpened);
}

using enum Act;
INSTANTIATE_TEST_SUITE_P(
    Chains, TreeGamesChain,
    testing::Values(
        ChainCase{.name = "ThreeGamesWonInTurn",
                  .acts = {Win, Win, Win},
                  .opened = {"game1", "game2", "game3"},
                  .booked = {1, 2, 3},
                  .completed = true,
                  .present = false,
                  .stairs = 3},
        ChainCase{.name = "MaxGames4WithThreeEntriesEndsAfterThree",
                  .keys = "(maxGames 4)",
                  .acts = {Win, Win, Win, Win},
                  .opened = {"game1", "game2", "game3", "none"},
                  .booked = {1, 2, 3},
                  .completed = true,
                  .present = false,
                  .stairs = 3},
        ChainCase{.name = "Games1And2WonBeforeTheThirdOpens",
                  .wonBefore = {1, 2},
                  .acts = {Win},
                  .opened = {"game3"},
                  .booked = {1, 2, 3},
                  .completed = true,
                  .present = false,
                  .stairs = 1},
        ChainCase{.name = "ASingleGame",
                  .games = 1,
                  .acts = {Win},
                  .opened = {"game1"},
                  .booked = {1},
                  .completed = true,
                  .present = false,
                  .stairs = 1},
        ChainCase{.name = "AGameLeftBackBooksNothingAndOpensAgain",
                  .acts = {Leave, Win},
                  .opened = {"game1", "game1"},
                  .booked = {1},
                  .stairs = 1},
        ChainCase{.name = "AGameWhoseSceneEndedOtherwiseBooksNothing",
                  .acts = {Abort, Win},
                  .opened = {"game1", "game1"},
                  .booked = {1},
                  .stairs = 1},
        ChainCase{.name = "AClickWithAnItemHeldOpensNothing",
                  .acts = {ClickHolding},
                  .opened = {"none"}},
        ChainCase{.name = "ASecondClickDuringTheCountdownOpensNothingMore",
                  .keys = "(executeGameDelay 0.5)",
                  .acts = {DoubleClick},
                  .opened = {"game1", "none"},
                  .booked = {1},
                  .stairs = 1},
        ChainCase{.name = "WithThePillarEffectAPillarRisesForEachGame",
                  .games = 2,
                  .keys = "(fxPillar 1)",
                  .acts = {Win, Win},
                  .opened = {"game1", "game2"},
                  .booked = {1, 2},
                  .completed = true,
                  .present = false,
                  .pillarsRisen = 2},
        ChainCase{.name = "TheRowOfPillarsRaisesTheFourthWithTheThird",
                  .object = "PillarsGamesManager",
                  .keys = "(fxPillar 1)",
                  .wonBefore = {1, 2},
                  .acts = {Win},
                  .opened = {"game3"},
                  .booked = {1, 2, 3},
                  .completed = true,
                  .present = false,
                  .pillarsRisen = 2},
        ChainCase{.name = "ThePlatformOpensItsDoorForEachGame",
                  .object = "PlatformGamesManager",
                  .games = 2,
                  .acts = {Leave, Win},
                  .opened = {"game1", "game1"},
                  .booked = {1},
                  .stairs = 1,
                  .doorOpened = 2},
        ChainCase{.name = "AFlagBeyondTheChainEndsItAtOnce",
                  .games = 2,
                  .wonBefore = {4},
                  .acts = {ClickHolding},
                  .opened = {"none"},
                  .booked = {4},
                  .present = false}),
    [](const testing::TestParamInfo<ChainCase>& chain) { return std::string(chain.param.name); });

TEST_F(TreeGames, ComingBackRestoresTheGamesWon) {
    const ChainCase chain{.name = "restart"};
    Prepare(chain);
    Play(Act::Win);
    RunLocation(PlannedPasses() + kSettle);
    GameLevel->LoadScene(std::string("levels/") + kLocation + ".txt", true);
    ASSERT_NE(Chain(), nullptr);
    EXPECT_EQ(Chain()->gamesWon, 1);
    EXPECT_EQ(Chain()->gameCount, 3);
}

} // namespace
