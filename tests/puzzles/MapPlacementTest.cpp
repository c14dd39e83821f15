// The map placement game: pieces picked up, carried and put down, joined at their fitting places,
// placed on their slots singly or as a group, and the map's win after its delay.

#include "puzzles/MapPlacement.h"

#include "engine/KeyboardSystem.h"
#include "tests/puzzles/PlacementFixture.h"
#include "world/FxParticles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kDefinitions =
    "(Piece PuzzleGameChunk (POSI) (KEYB ()) (SPRT) (COLI (left -30) (right 30) (top -30) "
    "(bottom 30)))\n"
    "(Slot PuzzleGameSlot (POSI) (KEYB ()) (SPRT (alpha 0)) (COLI) (Data (regionFromCenter 1)))\n"
    "(Map PuzzleGameMngr (KEYB) (Data))\n";

// Slots for "a" and "b" at (400, 150) and (500, 150); pieces "a" (at the map's origin) and "b"
// (100 to its right), loose at (100, 600) and (300, 300). A press reaches the objects in scene
// order, and the carried piece lies under every press: the slots stand first, so that a slot
// takes the piece before the piece would put itself down.
const char* const kSlots = "(Slot (visName a) (POSI (position 400 150)) (Data (requires a)))\n"
                           "(Slot (visName b) (POSI (position 500 150)) (Data (requires b)))\n";
const std::string kTwoPieces =
    std::string(kSlots) +
    "(Piece (visName a) (POSI (position 100 600)) (Data (vec (x 0) (y 0))))\n"
    "(Piece (visName b) (POSI (position 300 300)) (Data (vec (x 100) (y 0))))\n"
    "(Map)";

class MapPlacementTest : public PlacementTest {
protected:
    PuzzleGameMngr& Manager() { return *All<PuzzleGameMngr>().at(0); }
    PuzzleGameChunk& Piece(const std::string& name) {
        for (PuzzleGameChunk* piece : All<PuzzleGameChunk>()) {
            if (piece->visName == name) {
                return *piece;
            }
        }
        throw std::runtime_error("no piece " + name);
    }
    PuzzleGameSlot& Slot(std::size_t i) { return *All<PuzzleGameSlot>().at(i); }

    // Picks the piece up where it lies and puts it down at (x, y).
    void Carry(const std::string& name, float x, float y) {
        Press(At(Piece(name)).x, At(Piece(name)).y);
        MoveTo(x, y);
        Press(x, y);
    }
};

TEST_F(MapPlacementTest, APiecePutDownNearerThan20PixelsToItsFittingPlaceJoins) {
    // "a" put down with "b" at (300, 300) fits with "a" at (200, 300).
    for (const float off : {0.0f, 19.0f, 19.9f, 20.0f, 35.0f}) {
        LoadMiniGame(kDefinitions, kTwoPieces);
        Carry("a", 200.0f + off, 300.0f);
        const bool joined = off < 20.0f;
        EXPECT_EQ(Piece("a").group.size(), joined ? 1u : 0u) << off;
        EXPECT_EQ(Piece("b").group.size(), joined ? 1u : 0u) << off;
        EXPECT_EQ(Manager().held, nullptr);
    }
}

TEST_F(MapPlacementTest, AJoinedGroupIsCarriedWholeAndEveryMemberKnowsEveryOther) {
    LoadMiniGame(kDefinitions,
                 "(Piece (visName c) (POSI (position 700 600)) (Data (vec (x 0) (y 100))))\n" +
                     kTwoPieces);
    Carry("a", 200.0f, 300.0f);
    // "c" lies below "a" on the map: put down under the pair, it joins both.
    Carry("c", 200.0f, 405.0f);
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_EQ(Piece(name).group.size(), 2u) << name;
    }
    Press(At(Piece("b")).x, At(Piece("b")).y);
    MoveTo(600.0f, 500.0f);
    EXPECT_EQ(At(Piece("b")).x, 600.0f);
    EXPECT_EQ(At(Piece("a")).x, 500.0f);
    EXPECT_EQ(At(Piece("a")).y, 500.0f);
    EXPECT_EQ(At(Piece("c")).y, 600.0f);
}

TEST_F(MapPlacementTest, ACarriedGroupFillsTheSlotsOfAllItsPiecesAtOnceAndLeavesTheScene) {
    LoadMiniGame(kDefinitions, kTwoPieces);
    Carry("a", 200.0f, 300.0f);
    Press(At(Piece("a")).x, At(Piece("a")).y);
    MoveTo(400.0f, 150.0f);
    Press(400.0f, 150.0f);
    EXPECT_TRUE(Slot(0).filled);
    EXPECT_TRUE(Slot(1).filled);
    EXPECT_TRUE(Played("paper_place"));
    EXPECT_EQ(All<FxParticles>().size(), 1u);
    // The placed pieces are gone from the scene and from every list the manager keeps.
    EXPECT_TRUE(All<PuzzleGameChunk>().empty());
    EXPECT_TRUE(Manager().Pieces().empty());
    EXPECT_EQ(Manager().held, nullptr);
    // Later steps and clicks touch nothing freed (the sanitizers watch).
    MoveTo(300.0f, 300.0f);
    Press(300.0f, 300.0f);
    Press(400.0f, 150.0f);
}

TEST_F(MapPlacementTest, ASlotOfAnotherPieceLeavesThePieceHeld) {
    LoadMiniGame(kDefinitions, kTwoPieces);
    Press(100.0f, 600.0f);
    MoveTo(500.0f, 150.0f);
    // The slot's part of the press alone (in play the carried piece under the press then puts
    // itself down there).
    Mouse.x = 500.0f;
    Mouse.y = 150.0f;
    Slot(1).OnMessage(nullptr, FourCC("LMBD"), KeyboardSystem::kPressed);
    EXPECT_FALSE(Slot(1).filled);
    EXPECT_EQ(Manager().held, &Piece("a"));
    MoveTo(450.0f, 450.0f);
    EXPECT_EQ(At(Piece("a")).x, 450.0f);
}

TEST_F(MapPlacementTest, TheMapIsWonASecondAfterItsLastSlotAndTakesTenMapPiecesDownToNone) {
    struct Case {
        int32_t before;
        int32_t after;
    };
    for (const Case c : {Case{12, 2}, Case{10, 0}, Case{7, 0}}) {
        LoadMiniGame(kDefinitions,
                     "(Slot (visName a) (POSI (position 400 150)) (Data (requires a)))\n"
                     "(Piece (visName a) (POSI (position 100 600)))\n"
                     "(Map)");
        CurrentPlayer->AddMapPieces(c.before - CurrentPlayer->GetMapPieces(), true);
        CurrentPlayer->SetFlag("gate", "minigame1_completed", 0);
        Press(100.0f, 600.0f);
        MoveTo(400.0f, 150.0f);
        Press(400.0f, 150.0f);
        ASSERT_TRUE(Slot(0).filled);
        PuzzleGameMngr* manager = &Manager();
        Step(55);
        EXPECT_FALSE(manager->finished) << "the win waits for its delay";
        EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
        EXPECT_EQ(CurrentPlayer->GetMapPieces(), c.before);
        Step(10);
        EXPECT_TRUE(All<PuzzleGameMngr>().empty()) << "the manager is done";
        EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
        EXPECT_EQ(CurrentPlayer->GetMapPieces(), c.after) << c.before;
        EXPECT_TRUE(Played("map_complete"));
        EXPECT_TRUE(LeaveArmed());
        EXPECT_FALSE(ModalLevel->won);
    }
}

TEST_F(MapPlacementTest, EscapeAndPressesOffTheMapDoNotLeave) {
    LoadMiniGame(kDefinitions, kTwoPieces);
    PressEscape();
    Press(10.0f, 10.0f);
    Press(900.0f, 400.0f);
    Step(120);
    EXPECT_FALSE(ModalLevel->returnFlag);
    EXPECT_FALSE(Manager().finished);
    EXPECT_FALSE(LeaveArmed());
}

} // namespace
