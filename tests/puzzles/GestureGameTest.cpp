// The gesture game: which drawn gesture an element takes, with and without the tutorial; the
// literal win flag, the delay and the close; the leave zone and Escape; and the whole tutorial
// played through the main loop, its nine pop-ups to its flag.

#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/GestureGame.h"
#include "tests/puzzles/MiniGameHarness.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "ui/UserInterface.h"
#include "world/FxParticles.h"
#include "world/FxPath.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char* const kGestures[] = {"sort", "row", "column", "flash"};

// Elements under their definition name, as the gesture system looks for them, 100 x 80 each.
const char* const kDefinitions =
    "(GestureGameElement (POSI) (SPRT (file gfx\\runes.ani)))\n"
    "(Gestures GestureGameMngr (KEYB ()))\n";

std::string RuneArt() {
    std::string art;
    for (const char* gesture : kGestures) {
        for (const std::string& look : {std::string(gesture), std::string(gesture) + "_idle2"}) {
            art += "(fileAnim " + look + " (frame gfx\\runes.png 0 0 100 80 0 0))\n";
        }
    }
    return art;
}

std::string Element(const char* gesture, int x, int y) {
    return std::string("(GestureGameElement (visName ") + gesture + ") (POSI (position " +
           std::to_string(x) + " " + std::to_string(y) + ")) (SPRT (animName " + gesture +
           ")) (Data (gestureName " + gesture + ")))\n";
}

std::size_t Count(const std::vector<std::string>& sounds, const std::string& sound) {
    return static_cast<std::size_t>(std::count(sounds.begin(), sounds.end(), sound));
}

class GestureGameTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        std::string sets = "(set global";
        for (const char* sound : {"pick2", "game_won", "door_open", "tutorial_popup"}) {
            WriteData(std::string(sound) + ".wav", sound);
            sets += std::string(" (") + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("gfx/runes.ani", RuneArt());
        for (const char* particles : {"gfx/fx/green_glow_ring.prt", "gfx/fx/object_hili2.prt"}) {
            WriteData(particles, "(max_parts 4)\n(flow 0 10)\n");
        }
    }

    // The scene "gestures" (or with its own Meta) of these objects.
    Level& LoadGestures(const std::string& objects, const std::string& meta = "(Name gestures)") {
        WriteData("scripts/objects.txt", std::string("(Final\n") + kDefinitions + ")\n");
        WriteData("levels/gestures.txt",
                  "(Meta " + meta + " (Type gestures))\n(Objects\n" + objects + ")\n");
        ObjectsManager::Delete(ModalLevel);
        ModalLevel = nullptr;
        EnsureLevel(ModalLevel).LoadScene("levels/gestures.txt", true);
        return *ModalLevel;
    }

    GestureGameElement& ElementOf(std::size_t i) { return *All<GestureGameElement>().at(i); }
    GestureGameMngr& Manager() { return *All<GestureGameMngr>().at(0); }
};

TEST_F(GestureGameTest, WithoutATutorialEachElementTakesItsOwnGestureOnce) {
    LoadGestures(Element("sort", 200, 300) + Element("row", 400, 300) + "(Gestures)");
    GestureGameElement& sort = ElementOf(0);
    for (const char* other : {"", "row", "Sort"}) {
        sort.OnGesture(other);
        EXPECT_FALSE(sort.recognised) << other;
    }
    sort.OnGesture("sort");
    EXPECT_TRUE(sort.recognised);
    Step();
    const auto* sprite = static_cast<const SpriteRenderChunk*>(sort.GetChunk(FourCC("SPRT"), 0));
    EXPECT_EQ(sprite->player.CurrentAnimName(), "sort_idle2");
    const std::vector<FxParticles*> effects = All<FxParticles>();
    ASSERT_EQ(effects.size(), 2u);
    for (FxParticles* effect : effects) {
        EXPECT_FLOAT_EQ(effect->Position().x, 250.0f) << "the middle of the lit rune";
        EXPECT_FLOAT_EQ(effect->Position().y, 340.0f);
    }
    EXPECT_EQ(Count(PlayedFiles(), "pick2"), 1u);

    // Drawn again: nothing more.
    sort.OnGesture("sort");
    Step();
    EXPECT_EQ(All<FxParticles>().size(), 2u);
    EXPECT_EQ(Count(PlayedFiles(), "pick2"), 1u);
    EXPECT_FALSE(Manager().won) << "the row is still to draw";
}

TEST_F(GestureGameTest, TheTutorialTakesOnlyTheGestureItWaitsForOnceItsIntroWasShown) {
    struct Case {
        const char* what;
        bool introShown;
        bool stepDone;
        const char* mode;
        bool taken;
    };
    const std::vector<Case> cases = {
        {"before the intro", false, false, "sort", false},
        {"another gesture awaited", true, false, "row", false},
        {"its step already done", true, true, "sort", false},
        {"awaited", true, false, "sort", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadGestures(Element("sort", 200, 300) + "(Gestures (Data (showTutorial 1)))");
        GestureGameMngr& game = Manager();
        ASSERT_TRUE(game.showTutorial);
        game.introShown = c.introShown;
        game.stepDone = c.stepDone;
        game.tutorialMode = c.mode;
        ElementOf(0).OnGesture("sort");
        EXPECT_EQ(ElementOf(0).recognised, c.taken);
        EXPECT_EQ(game.stepDone, c.taken || c.stepDone);
    }
    // An element no manager took follows no tutorial.
    LoadGestures(Element("sort", 200, 300));
    ElementOf(0).OnGesture("sort");
    EXPECT_TRUE(ElementOf(0).recognised);
}

TEST_F(GestureGameTest, AWinSetsTheLiteralFlagAndClosesThreeSecondsLater) {
    struct Case {
        const char* levelId;
        std::size_t sparks;
    };
    for (const Case& c : {Case{"z1-hermitage-in:slab", 0}, Case{"z1-barrow-in:gesture1", 2}}) {
        SCOPED_TRACE(c.levelId);
        CurrentPlayer->SetFlag("gate", "minigame1_completed", 0);
        const std::size_t soundsBefore = PlayedFiles().size();
        // A scene without elements is won at its first step.
        LoadGestures("(Gestures)", std::string("(Name slab) (levelId ") + c.levelId + ")");
        Step();
        EXPECT_EQ(CurrentPlayer->GetFlag("gate:minigame1_completed"), 1);
        EXPECT_EQ(CurrentPlayer->GetFlag("gate:slab_completed"), 0);
        EXPECT_TRUE(ModalLevel->won);
        EXPECT_EQ(All<FxPath>().size(), c.sparks);
        ASSERT_GT(PlayedFiles().size(), soundsBefore);
        EXPECT_EQ(PlayedFiles()[soundsBefore], "game_won");
        int steps = 1;
        while (!LeaveArmed() && steps < 400) {
            Step();
            ++steps;
        }
        EXPECT_NEAR(steps, 180, 2);
        EXPECT_FALSE(ModalLevel->returnFlag);
        EXPECT_TRUE(All<GestureGameMngr>().empty());
        EXPECT_EQ(Count(PlayedFiles(), "door_open"), c.sparks == 0 ? 0u : 1u);
    }
}

TEST_F(GestureGameTest, ALeftPressInTheZoneOrEscapeClosesTheGameAtOnceUntilItIsWon) {
    struct Case {
        float x, y;
        bool leaves;
    };
    const std::vector<Case> zone = {
        {20, 700, false}, {20, 300, true},  {20, 649, true},  {20, 650, false},
        {500, 49, true},  {500, 50, false}, {976, 300, true}, {975, 300, false},
    };
    for (const Case& c : zone) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        EXPECT_EQ(GestureGameMngr::InGestureLeaveZone(c.x, c.y), c.leaves);
        LoadGestures(Element("sort", 200, 300) + "(Gestures (Data (showTutorial 1)))");
        GameLevel->levelSystem->toolInUse = true;
        Press(c.x, c.y);
        EXPECT_EQ(ModalLevel->returnFlag, c.leaves);
        EXPECT_EQ(LeaveArmed(), c.leaves) << "the close and the leave request together";
        EXPECT_EQ(Manager().showTutorial, !c.leaves);
        EXPECT_EQ(GameLevel->levelSystem->toolInUse, !c.leaves) << "the wand is dropped";
    }
    LoadGestures(Element("sort", 200, 300) + "(Gestures)");
    PressEscape();
    EXPECT_TRUE(ModalLevel->returnFlag);
    EXPECT_TRUE(LeaveArmed());

    LoadGestures("(Gestures)");
    Step();
    ASSERT_TRUE(ModalLevel->won);
    PressEscape();
    Press(20, 300);
    EXPECT_FALSE(ModalLevel->returnFlag) << "a won game is not left";
    EXPECT_FALSE(LeaveArmed());
}

// The tutorial played as a player meets it, its blocking pop-ups closed as soon as they show.
class GestureTutorialProof : public MiniGameHarness {};

TEST_F(GestureTutorialProof, TheTutorialRunsItsNinePopUpsToItsFlagAndTheGameIsWon) {
    std::string scene = "(Meta (Name gestures) (Type gestures))\n(Objects\n";
    int x = 200;
    for (const char* gesture : kGestures) {
        scene += Element(gesture, x, 150);
        x += 160;
    }
    scene += "(Gestures (Data (showTutorial 1))))\n";
    WriteMiniGame("levels/gestures.txt", scene, kDefinitions,
                  {"pick2", "game_won", "tutorial_popup"});
    WriteData("gfx/runes.ani", RuneArt());
    WriteData("gestures.txt", "(gesture sort URD)\n(gesture row DR)\n(gesture column RD)\n"
                              "(gesture flash DRD)\n");
    WriteData("gfx/fx/magic_trail.prt", "(max_parts 4)\n(flow 0 10)\n");
    for (const char* particles : {"gfx/fx/green_glow_ring.prt", "gfx/fx/object_hili2.prt"}) {
        WriteData(particles, "(max_parts 4)\n(flow 0 10)\n");
    }
    const std::vector<std::string> blocking = {"gesture_intro", "excellent_wand", "excellent",
                                               "gestures_finish"};
    const std::vector<std::string> running = {"wand", "gesture_sort", "gesture_row",
                                              "gesture_column", "gesture_flash"};
    const std::string folder = "menus\\tutorials\\mini-games-tutorials\\";
    for (const std::vector<std::string>* screens : {&blocking, &running}) {
        for (const std::string& screen : *screens) {
            WriteData("menus/tutorials/mini-games-tutorials/" + screen + ".txt", "(Objects)\n");
        }
    }
    OpenMiniGame("levels/gestures.txt", 1);

    // The player reads each blocking pop-up and closes it, and picks the wand when asked.
    std::vector<std::string> shown;
    Watch([&] {
        // A pop-up told to close is gone by the next pass; a new one may take its place.
        if (TutorialUI == nullptr || TutorialUI->state != 0 ||
            (!shown.empty() && TutorialUI->ScenePath() == folder + shown.back() + ".txt")) {
            return;
        }
        const std::string path = TutorialUI->ScenePath();
        const std::string screen = path.substr(folder.size(), path.size() - folder.size() - 4);
        shown.push_back(screen);
        if (std::find(blocking.begin(), blocking.end(), screen) != blocking.end()) {
            TutorialUI->state = 1;
        } else if (screen == "wand") {
            GameLevel->levelSystem->toolInUse = true;
        }
    });
    // Each gesture drawn well after its pop-up has shown: intro at 3 s, the wand's step 1 s on,
    // each later step 2 s after the last gesture.
    Wait(300);
    Stroke({{300, 550}, {300, 400}, {500, 400}, {500, 550}}); // sort: up, right, down
    Wait(200);
    Stroke({{300, 400}, {300, 550}, {500, 550}}); // row: down, right
    Wait(200);
    Stroke({{300, 400}, {500, 400}, {500, 550}}); // column: right, down
    Wait(200);
    Stroke({{300, 350}, {300, 450}, {450, 450}, {450, 580}}); // flash: down, right, down
    const MiniGameResult result = Run(PlannedPasses() + 600);

    EXPECT_EQ(shown, (std::vector<std::string>{"gesture_intro", "wand", "excellent_wand",
                                                "gesture_sort", "excellent", "gesture_row",
                                                "gesture_column", "gesture_flash",
                                                "gestures_finish"}));
    EXPECT_EQ(CurrentPlayer->GetFlag("global:tutorial_gesture_completed"), 1);
    EXPECT_EQ(CurrentPlayer->GetFlag(std::string(kLocation) + ":minigame1_completed"), 1);
    EXPECT_EQ(result.word, 6);
    EXPECT_EQ(Count(result.sounds, "pick2"), 4u);
    EXPECT_EQ(Count(result.sounds, "tutorial_popup"), 9u);
}

} // namespace
