// The telescope's games: the colour filter's table, its glasses and its glyph, the search over
// map pieces that leave once picked, the telescope gesture game and its target, and the lens
// gesture element of a location.

#include "engine/FourCC.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/GestureGame.h"
#include "puzzles/TelescopeGames.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "world/MapPiece.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::size_t Count(const std::vector<std::string>& sounds, const std::string& sound) {
    return static_cast<std::size_t>(std::count(sounds.begin(), sounds.end(), sound));
}

// The view: a backdrop, three glasses at y 600 (cyan 400, yellow 500, magenta 600) with their
// lit glows, the filter, and a glyph of that name at (500, 300).
const char* const kViewDefinitions =
    "(Sky Background (POSI (position 512 330)) (SPRT (file gfx\\sky.ani) (animName idle)) (COLI))\n"
    "(Glass BaseGameObject (POSI) (SPRT) (COLI (left -30) (right 30) (top -30) (bottom 30)))\n"
    "(Filter BaseGameObject (POSI) (SPRT))\n"
    "(Glyph GameAnim (POSI) (SPRT) (Name HIDD) (COLI (left -40) (right 40) (top -40) (bottom 40)))\n"
    "(View TelescopeViewGameMngr (KEYB ()) (Data))\n";

std::string ViewScene(const std::string& glyph) {
    return "(Sky)\n"
           "(Glass (visName cyjan_button) (POSI (position 400 600)))\n"
           "(Glass (visName yellow_button) (POSI (position 500 600)))\n"
           "(Glass (visName magneta_button) (POSI (position 600 600)))\n"
           "(Filter (visName cyjan_button_active) (POSI (position 400 600)))\n"
           "(Filter (visName yellow_button_active) (POSI (position 500 600)))\n"
           "(Filter (visName magneta_button_active) (POSI (position 600 600)))\n"
           "(Filter (visName filter) (POSI (position 512 330)))\n"
           "(Glyph (visName " + glyph + ") (POSI (position 500 300)))\n"
           "(View)";
}

class TelescopeGamesTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        std::string sets = "(set global";
        for (const char* sound :
             {"lens_switching", "lens_locating", "solve_lens", "lens_gesture", "game_won"}) {
            WriteData(std::string(sound) + ".wav", sound);
            sets += std::string(" (") + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("gfx/sky.ani", "(fileAnim idle (frame gfx\\sky.png 0 0 400 400 200 200))\n");
        WriteData("gfx/fx/green_glow_ring.prt", "(max_parts 4)\n(flow 0 10)\n");
    }

    TelescopeViewGameMngr& View() { return *All<TelescopeViewGameMngr>().at(0); }
    Object* Named(const std::string& name) {
        for (const auto& object : ModalLevel->Objects()) {
            if (object != nullptr && object->visName == name) {
                return object.get();
            }
        }
        return nullptr;
    }
    bool Shown(const std::string& name) {
        const auto* object = dynamic_cast<const BaseGameObject*>(Named(name));
        return object != nullptr && object->enabled;
    }
    const SpriteRenderChunk& FilterSprite() {
        return *static_cast<const SpriteRenderChunk*>(Named("filter")->GetChunk(FourCC("SPRT"), 0));
    }
};

TEST_F(TelescopeGamesTest, EachCombinationOfGlassesTintsTheFilterAndShowsOnlyItsGlyph) {
    struct Case {
        bool cyan, yellow, magenta;
        uint32_t tint;
        float alpha;
        const char* glyph;
    };
    const std::vector<Case> cases = {
        {true, true, true, 0xFF611F02, 0.75f, "spike"},
        {true, true, false, 0xFF00FF00, 0.5f, "column"},
        {true, false, true, 0xFF0B00FF, 0.5f, "sort"},
        {true, false, false, 0xFF007FFF, 0.5f, "flash"},
        {false, true, true, 0xFFFF0003, 0.5f, nullptr},
        {false, true, false, 0xFFFFFF00, 0.5f, nullptr},
        {false, false, true, 0xFFFF00B1, 0.5f, "shuffle"},
    };
    for (const Case& c : cases) {
        for (const char* glyph : {"spike", "column", "sort", "flash", "shuffle"}) {
            SCOPED_TRACE(std::string(glyph) + " under " + std::to_string(c.tint));
            LoadMiniGame(kViewDefinitions, ViewScene(glyph));
            EXPECT_FALSE(Shown(glyph)) << "hidden at the start";
            View().cyanOn = c.cyan;
            View().yellowOn = c.yellow;
            View().magentaOn = c.magenta;
            const std::size_t locatedBefore = Count(PlayedFiles(), "lens_locating");
            Step();
            EXPECT_EQ(static_cast<uint32_t>(FilterSprite().tint), c.tint);
            EXPECT_FLOAT_EQ(FilterSprite().alpha, c.alpha);
            const bool its = c.glyph != nullptr && std::string(c.glyph) == glyph;
            EXPECT_EQ(Shown(glyph), its);
            EXPECT_EQ(Count(PlayedFiles(), "lens_locating") - locatedBefore, its ? 1u : 0u);
        }
    }
    // All glasses off: no filter.
    LoadMiniGame(kViewDefinitions, ViewScene("flash"));
    Step();
    EXPECT_FLOAT_EQ(FilterSprite().alpha, 0.0f);
}

TEST_F(TelescopeGamesTest, TheCyanGlassTwiceRestoresTheViewAndItsGlyphIsLocatedAgain) {
    LoadMiniGame(kViewDefinitions, ViewScene("flash"));
    Press(400, 600);
    Step(3);
    EXPECT_TRUE(View().cyanOn);
    EXPECT_TRUE(Shown("cyjan_button_active"));
    EXPECT_TRUE(Shown("flash"));
    EXPECT_EQ(Count(PlayedFiles(), "lens_locating"), 1u) << "once for the combination";
    Press(400, 600);
    Step();
    EXPECT_FALSE(View().cyanOn);
    EXPECT_FALSE(Shown("cyjan_button_active"));
    EXPECT_FALSE(Shown("flash"));
    Press(400, 600);
    Step();
    EXPECT_EQ(Count(PlayedFiles(), "lens_switching"), 3u);
    EXPECT_EQ(Count(PlayedFiles(), "lens_locating"), 2u);

    // The shown glyph clicked: won, and closed at once.
    Press(500, 300);
    EXPECT_EQ(PlayedFiles().back(), "solve_lens");
    EXPECT_TRUE(All<TelescopeViewGameMngr>().empty() || View().finished);
    Step();
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
    EXPECT_TRUE(LeaveArmed());
    EXPECT_EQ(Named("flash"), nullptr) << "the glyph is gone";
    EXPECT_FALSE(Shown("cyjan_button_active"));
    EXPECT_FALSE(Shown("filter"));
}

TEST_F(TelescopeGamesTest, AHiddenGlyphCannotBeClickedAndEscapeLeavesWithoutTheFlag) {
    LoadMiniGame(kViewDefinitions, ViewScene("flash"));
    Press(500, 300);
    EXPECT_EQ(Count(PlayedFiles(), "solve_lens"), 0u);
    PressEscape();
    Step();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_TRUE(LeaveArmed()) << "closed at once";
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 0);
}

TEST_F(TelescopeGamesTest, TheSearchIsWonWhenEveryMapPieceHasLeftTheScene) {
    const char* definitions = "(Piece MapPiece (POSI) (SPRT))\n(Search TelescopeGameMngr (Data))\n";
    LoadMiniGame(definitions, "(Search)");
    Step();
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1) << "no pieces: won at once";
    EXPECT_TRUE(ModalLevel->won);
    Step(70);
    EXPECT_TRUE(LeaveArmed()) << "a second later";

    CurrentPlayer->SetFlag("gate", "minigame1_completed", 0);
    LoadMiniGame(definitions, "(Piece) (Piece) (Search)");
    TelescopeGameMngr& search = *All<TelescopeGameMngr>().at(0);
    ASSERT_EQ(search.PiecesLeft(), 2u);
    ModalLevel->DestroyObject(All<MapPiece>().at(0));
    Step(5);
    EXPECT_EQ(search.PiecesLeft(), 1u);
    EXPECT_FALSE(ModalLevel->won);
    All<MapPiece>().at(0)->dead = true; // picked: it goes with the step's sweep
    Step(2);
    EXPECT_TRUE(ModalLevel->won);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
}

TEST_F(TelescopeGamesTest, TheTelescopeGestureGameIsWonOnlyByAGestureElementOfItsName) {
    const char* definitions = "(GestureGameElement (POSI) (SPRT))\n(Other GameAnim (POSI) (SPRT))\n"
                              "(Stars TelescopeGestureGameMngr (Data))\n";
    for (const bool element : {true, false}) {
        SCOPED_TRACE(element ? "a gesture element" : "another class");
        CurrentPlayer->SetFlag("gate", "minigame1_completed", 0);
        CurrentPlayer->SetFlag("gate", "gestures_completed", 0);
        const int32_t energy = CurrentPlayer->GetEnergy();
        LoadMiniGame(definitions,
                     std::string(element ? "(GestureGameElement" : "(Other") +
                         " (visName star) (Data (gestureName hook)))\n"
                         "(Stars (Data (objectName star)))");
        // Named as a gesture game's scene must be for the wand's gestures to reach it.
        ModalLevel->name = "gestures";
        if (element) {
            All<GestureGameElement>().at(0)->OnGesture("hook");
        }
        Step(3);
        // The literal flag every gesture game sets, and the scene's own that tells this win
        // from another gesture game's of the location.
        EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), element ? 1 : 0);
        EXPECT_EQ(CurrentPlayer->GetFlag("gate:gestures_completed"), element ? 1 : 0);
        EXPECT_EQ(CurrentPlayer->GetEnergy() - energy, element ? 1 : 0);
        EXPECT_EQ(ModalLevel->won, element);
        EXPECT_EQ(All<TelescopeGestureGameMngr>().empty(), element) << "it ends once won";
        EXPECT_FALSE(LeaveArmed()) << "the scene's gesture game leads back";
    }
}

TEST_F(TelescopeGamesTest, ALensElementRecognisedTwiceRewardsOnce) {
    WriteData("scripts/objects.txt",
              "(Final\n(TelescopeGestureGameElement (POSI) (SPRT)))\n");
    WriteData("levels/gate.txt", "(Meta (Name gate) (Type normal))\n(Objects\n"
                                 "(TelescopeGestureGameElement (visName lens_rune) (POSI (position 100 100))"
                                 " (Data (gestureName square)))))\n");
    GameLevel->LoadDefinitions("scripts/objects.txt");
    GameLevel->LoadScene("levels/gate.txt", true);
    auto* element = dynamic_cast<TelescopeGestureGameElement*>(GameLevel->Objects().at(0).get());
    ASSERT_NE(element, nullptr);
    const int32_t energy = CurrentPlayer->GetEnergy();
    element->OnGesture("hook");
    GameLevel->Update(kStep);
    EXPECT_FALSE(element->rewarded);
    for (int i = 0; i < 2; ++i) {
        element->OnGesture("square");
        GameLevel->Update(kStep);
    }
    EXPECT_EQ(CurrentPlayer->GetEnergy() - energy, 1);
    EXPECT_EQ(CurrentPlayer->GetFlag("gate:lens_rune_killed"), 1);
    EXPECT_EQ(Count(PlayedFiles(), "lens_gesture"), 1u);
}

} // namespace
