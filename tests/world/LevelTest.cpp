#include "engine/Application.h"
#include "engine/ClassFactory.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "media/AnimPlayer.h"
#include "media/ParticleEmitter.h"
#include "media/Renderer.h"
#include "media/SpriteRenderSystem.h"
#include "platform/os/Keys.h"
#include "tests/world/FakeWorld.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/BaseGameObject.h"
#include "world/FullScreenKey.h"
#include "world/FxBlend.h"
#include "world/FxPath.h"
#include "world/GameAnim.h"
#include "world/GameHiddenObject.h"
#include "world/GameSettings.h"
#include "world/NormalLevelSystem.h"
#include "world/fx/FxPulseAlpha.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Counts its updates; stands in for the animated objects a dialogue leaves running.
class Ticker : public Object, public OCreator<Ticker> {
public:
    static constexpr std::string_view kClassName = "Ticker";
    explicit Ticker(ObjectsManager* owner) : Object(owner) { SetCreator(this, 0, 0); }
    void SetProperty(const ParconCursor&) override {}
    bool Update(float) override {
        ++updates;
        return true;
    }
    int updates = 0;
};
const Registerer<Ticker> kTicker;

// The mini-game screen's parts, one object of each label, and a part of no label.
constexpr const char* kMiniGameDefinitions =
    "(Part BaseGameObject (POSI) (SPRT)) "
    "(Puzzle Part (Name PUZZ)) (Back Part (Name BACK)) (Finish Part (Name FINN)) "
    "(Stone Part (Name STON)) (Other Part (Name OTHR))";
constexpr const char* kMiniGameObjects =
    "(Puzzle (visName puzzle)) (Back (visName back)) (Finish (visName finish)) "
    "(Stone (visName stone)) (Other (visName other))";

// The room as the game level and, over it, a mini-game level of a chosen Type.
class Levels : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        Load(kMiniGameDefinitions, "");
        ReleaseAllKeys();
        Keyboard.Reset();
        ResetFullScreenKey();
    }
    void TearDown() override {
        ModalLevel = nullptr;
        miniGame.reset();
        ReleaseAllKeys();
        Keyboard.Reset();
        ResetFullScreenKey();
        DevMode = false;
        ToolCursorShown = false;
        SceneObjects::TearDown();
    }

    Level& StartMiniGame(const std::string& type) {
        ModalLevel = nullptr;
        miniGame.reset();
        WriteData("levels/game.txt", "(Meta (Name game) (levelPath levels\\game.txt) (Type " +
                                         type + "))\n(Objects " + kMiniGameObjects + ")\n");
        miniGame = std::make_unique<Level>();
        miniGame->Load();
        // The mini-game process makes the level the mini-game before it loads the scene.
        ModalLevel = miniGame.get();
        miniGame->LoadScene("levels/game.txt", true);
        return *miniGame;
    }

    // One step of both levels, the game level first, as the processes run them.
    void StepBoth() {
        gameLevel->Update(kStep);
        if (ModalLevel != nullptr) {
            ModalLevel->Update(kStep);
            ModalLevel->RemoveDead();
        }
        gameLevel->RemoveDead();
    }

    // The blend-outs of the mini-game, each as the sorted visNames of its targets.
    std::vector<std::set<std::string>> BlendOuts() const {
        std::vector<std::set<std::string>> blends;
        for (const auto& object : miniGame->Objects()) {
            if (const auto* blend = dynamic_cast<const FxBlendOut*>(object.get())) {
                std::set<std::string> names;
                for (const Object* target : blend->targets) {
                    names.insert(target->visName);
                }
                blends.push_back(names);
            }
        }
        return blends;
    }

    // One step with the keys down (newly pressed when they were up).
    static void Keys(std::initializer_list<int> keys) {
        ReleaseAllKeys();
        Keyboard.Reset();
        for (const int key : keys) {
            SetKeyDown(key, true);
        }
        Keyboard.Update();
    }

    std::unique_ptr<Level> miniGame;
};

struct ReturnCase {
    const char* type;
    std::vector<std::set<std::string>> blendOuts;
};

TEST_F(Levels, AFinishedMiniGameFadesItsTypesLabelsOnceAndGrantsOneEnergy) {
    using Names = std::set<std::string>;
    const ReturnCase cases[] = {
        {"puzzle", {Names{"puzzle", "back", "finish"}}},
        {"normal", {Names{"puzzle", "back"}}},
        {"steam_machine", {Names{"puzzle", "back"}}},
        {"crystals", {Names{"puzzle", "back"}}},
        {"clock_door", {Names{"puzzle", "back"}}},
        {"whackamole", {Names{"puzzle", "back"}}},
        {"rockband", {Names{"puzzle", "back"}}},
        {"map_game", {Names{"puzzle", "back"}}},
        {"telescope", {Names{"puzzle", "back"}}},
        {"map_puzzle", {Names{"puzzle", "back"}}},
        {"stone", {Names{"back"}, Names{"puzzle"}, Names{"stone"}}},
        {"gestures", {Names{"puzzle", "back"}}},
        {"switchpuzzle", {Names{"puzzle", "back"}}},
    };
    for (const ReturnCase& c : cases) {
        SCOPED_TRACE(c.type);
        Level& game = StartMiniGame(c.type);
        const int32_t energy = CurrentPlayer->GetEnergy();
        StepBoth();
        EXPECT_TRUE(BlendOuts().empty()) << "nothing before the mini-game is over";
        game.levelSystem->leaveArmed = true;
        for (int i = 0; i < 3; ++i) {
            StepBoth();
        }
        EXPECT_EQ(BlendOuts(), c.blendOuts);
        EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + 1);
        EXPECT_FALSE(game.levelSystem->active);
    }
}

TEST_F(Levels, AMiniGameLeftWithoutItsRewardStillFadesOut) {
    CurrentPlayer->AddItemToSlot("librarian_key_red", 0);
    Level& game = StartMiniGame("clock_door");
    game.returnFlag = true;
    game.levelSystem->leaveArmed = true;
    StepBoth();
    EXPECT_EQ(CurrentPlayer->GetEnergy(), 0);
    EXPECT_EQ(BlendOuts().size(), 1u);
    EXPECT_EQ(CurrentPlayer->GetInventorySlot(0).item, "librarian_key_red");
}

TEST_F(Levels, TheReturnsExtrasTakeTheKeysGiveTheRodAndPutTheToolsAway) {
    std::vector<std::string> journal;
    FakeWorld& hooks = TestWorld();
    hooks.resetToolSlots = [&journal] { journal.push_back("reset tool slots"); };
    bool slotTakesIt = true;
    hooks.giveItemToFirstSlot = [&journal, &slotTakesIt](const std::string& item) {
        journal.push_back("give " + item);
        return slotTakesIt;
    };
    for (const char* key : {"librarian_key_blue", "librarian_key_red", "rope"}) {
        CurrentPlayer->AddItemToSlot(key, static_cast<int>(journal.size()) + (key[0] == 'r'));
    }
    CurrentPlayer->AddItemToSlot("librarian_key_green", 5);

    gameLevel->levelSystem->toolInUse = true;
    ToolCursorShown = true;
    StartMiniGame("clock_door").levelSystem->leaveArmed = true;
    StepBoth();
    EXPECT_EQ(CurrentPlayer->CountItem("librarian_key_blue"), 0);
    EXPECT_EQ(CurrentPlayer->CountItem("librarian_key_red"), 0);
    EXPECT_EQ(CurrentPlayer->CountItem("librarian_key_green"), 0);
    EXPECT_EQ(CurrentPlayer->CountItem("rope"), 1);
    EXPECT_FALSE(gameLevel->levelSystem->toolInUse);
    EXPECT_FALSE(ToolCursorShown);
    EXPECT_EQ(journal, std::vector<std::string>{"reset tool slots"});

    journal.clear();
    StartMiniGame("whackamole").levelSystem->leaveArmed = true;
    StepBoth();
    EXPECT_EQ(journal, (std::vector<std::string>{"reset tool slots", "give multitool_rod"}));
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "");

    // A rod that no slot takes goes onto the free cursor instead of being lost.
    slotTakesIt = false;
    StartMiniGame("whackamole").levelSystem->leaveArmed = true;
    StepBoth();
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "multitool_rod");
}

TEST_F(Levels, AMiniGameSceneOfATypeWithoutAWayBackIsRefusedNamingTheFile) {
    try {
        StartMiniGame("maze");
        ADD_FAILURE() << "loaded";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.Text()).find("levels/game.txt"), std::string::npos)
            << error.Text();
        EXPECT_NE(std::string(error.Text()).find("maze"), std::string::npos) << error.Text();
    }
    // The same scene as the game level is a location like any other.
    ModalLevel = nullptr;
    EXPECT_NO_THROW(gameLevel->LoadScene("levels/game.txt", true));
}

TEST_F(Levels, ASceneKeepsNoKeysOfTheSceneBeforeIt) {
    WriteData("levels/first.txt",
              "(Meta (Name first) (levelPath levels\\first.txt) (Type map) (exitForward next.txt)"
              " (exitBack back.txt) (miniGame1Path levels\\game.txt))\n(Objects)\n");
    WriteData("levels/second.txt",
              "(Meta (Name second) (levelPath levels\\second.txt))\n(Objects)\n");
    gameLevel->LoadScene("levels/first.txt", true);
    ASSERT_EQ(gameLevel->exitBack, "back.txt");
    ASSERT_EQ(gameLevel->type, "map");
    gameLevel->LoadScene("levels/second.txt", true);
    EXPECT_EQ(gameLevel->name, "second");
    EXPECT_EQ(gameLevel->type, "normal");
    EXPECT_EQ(gameLevel->exitForward, "");
    EXPECT_EQ(gameLevel->exitBack, "");
    EXPECT_EQ(gameLevel->miniGamePaths[0], "");
}

TEST_F(Levels, AltEnterTogglesOnceInAStepWhereBothLevelSystemsRun) {
    StartMiniGame("puzzle");
    Renderer::State().smallDesktop = false;
    GameSettings.fullScreen = false;
    App.fullScreen = false;
    Keys({kKeyLeftAlt, kKeyEnter});
    StepBoth();
    EXPECT_TRUE(GameSettings.fullScreen);
    EXPECT_TRUE(App.toggleFullScreen);
    EXPECT_EQ(PlayerBytes("settings.dat").substr(0, 3), "1\r\n");
}

TEST_F(Levels, DeveloperKeysWorkOnlyInDeveloperMode) {
    for (const bool devMode : {false, true}) {
        SCOPED_TRACE(devMode);
        DevMode = devMode;
        const int32_t energy = CurrentPlayer->GetEnergy();
        const int32_t pieces = CurrentPlayer->GetMapPieces();
        Keys({kKeyLeftShift, 'E'});
        gameLevel->Update(kStep);
        Keys({kKeyLeftShift, 'M'});
        gameLevel->Update(kStep);
        EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + (devMode ? 1 : 0));
        EXPECT_EQ(CurrentPlayer->GetMapPieces(), pieces + (devMode ? 1 : 0));
        Keys({'E'}); // without Shift
        gameLevel->Update(kStep);
        EXPECT_EQ(CurrentPlayer->GetEnergy(), energy + (devMode ? 1 : 0));
    }
}

TEST_F(Levels, ToolKeysNeverLoseATool) {
    // Shift+W, T, C, O launch the tools 0 to 3 on the HUD's tool manager, which counts them; a HUD
    // without one must not swallow the tool.
    DevMode = true;
    const char keys[] = {'W', 'T', 'C', 'O'};
    for (int tool = 0; tool < 4; ++tool) {
        SCOPED_TRACE(tool);
        const int32_t before = CurrentPlayer->GetPermanentCount(tool);
        Keys({kKeyLeftShift, keys[tool]});
        gameLevel->Update(kStep);
        EXPECT_EQ(CurrentPlayer->GetPermanentCount(tool), before + 1);
    }

    std::vector<int> launched;
    FakeWorld& hooks = TestWorld();
    hooks.launchTool = [&launched](int tool) {
        launched.push_back(tool);
        CurrentPlayer->AddPermanentItem(1, tool);
        return true;
    };
    const int32_t before = CurrentPlayer->GetPermanentCount(1);
    Keys({kKeyLeftShift, 'T'});
    gameLevel->Update(kStep);
    EXPECT_EQ(launched, std::vector<int>{1});
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(1), before + 1); // counted once, by the manager
}

TEST_F(Levels, ShiftQWinsTheMiniGameOrPostsNextButNeverOnTheWorldMap) {
    DevMode = true;
    std::vector<std::string> journal;
    FakeWorld& hooks = TestWorld();
    hooks.postToMainUi = [&journal](uint32_t id) { journal.push_back(FourCCText(id)); };
    hooks.clearLayers = [&journal] { journal.push_back("clear layers"); };

    Level& game = StartMiniGame("puzzle");
    Keys({kKeyLeftShift, 'Q'});
    gameLevel->Update(kStep);
    EXPECT_EQ(CurrentPlayer->GetFlag("room:game_completed"), 1);
    EXPECT_EQ(CurrentPlayer->GetFlag("z1-quicksand:inv_unlocked"), 1);
    EXPECT_TRUE(game.levelSystem->leaveArmed);
    EXPECT_TRUE(journal.empty());

    ModalLevel = nullptr;
    Keys({kKeyLeftShift, 'Q'});
    gameLevel->Update(kStep);
    EXPECT_EQ(journal, (std::vector<std::string>{"clear layers", "NEXT"}));
    EXPECT_TRUE(gameLevel->Objects().empty());

    journal.clear();
    gameLevel->type = "map";
    Keys({kKeyLeftShift, 'Q'});
    gameLevel->Update(kStep);
    Keys({kKeyLeftShift, 'S'});
    gameLevel->Update(kStep);
    EXPECT_EQ(journal, std::vector<std::string>{"SAVE"});
}

TEST_F(Levels, TheHintPathTracesAFrameOverTheMiniGame) {
    WriteData("gfx/fx/object_hili2.prt", "(alpha 0 1) (size 0 4) (max_parts 10) (flow 0 60)\n");
    // Without a mini-game there is nothing to frame.
    gameLevel->OnMessage(nullptr, FourCC("PUFX"), 0);
    EXPECT_EQ(Count("FxPath"), 0);

    Level& game = StartMiniGame("puzzle");
    game.OnMessage(nullptr, FourCC("PUFX"), 0);
    std::vector<FxPath*> legs;
    for (const auto& object : game.Objects()) {
        if (auto* path = dynamic_cast<FxPath*>(object.get())) {
            legs.push_back(path);
        }
    }
    ASSERT_EQ(legs.size(), 4u);
    const float expected[4][5] = {{253, 121, 775, 119, 0},
                                  {775, 119, 775, 646, 2},
                                  {775, 646, 253, 646, 4},
                                  {253, 646, 253, 121, 6}};
    for (std::size_t i = 0; i < legs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(legs[i]->x, expected[i][0]);
        EXPECT_EQ(legs[i]->y, expected[i][1]);
        EXPECT_EQ(legs[i]->endX, expected[i][2]);
        EXPECT_EQ(legs[i]->endY, expected[i][3]);
        EXPECT_EQ(legs[i]->delay, expected[i][4]);
        EXPECT_EQ(legs[i]->time, 2.0f);
    }
}

TEST_F(Levels, APathReachesItsEndStopsEmittingAndGoesAfterThreeTimesItsTime) {
    WriteData("p.prt", "(alpha 0 1) (size 0 4) (max_parts 10) (flow 0 60)\n");
    FxPath path(gameLevel.get());
    path.Start("p.prt", 0.0f, 0.0f, 60.0f, -30.0f, 1.0f, 0.5f);
    ASSERT_NE(path.Emitter(), nullptr);
    int steps = 0;
    const auto run = [&](int n) {
        bool alive = true;
        for (int i = 0; i < n && alive; ++i) {
            alive = path.Update(kStep);
            ++steps;
        }
        return alive;
    };
    EXPECT_TRUE(run(30)); // the delay
    EXPECT_EQ(path.x, 0.0f);
    EXPECT_TRUE(run(30)); // halfway
    EXPECT_NEAR(path.x, 30.0f, 1.5f);
    EXPECT_NEAR(path.y, -15.0f, 1.0f);
    EXPECT_EQ(path.Emitter()->x, path.x);
    EXPECT_TRUE(path.Emitter()->emitting);
    EXPECT_TRUE(run(31)); // the end, and one step past it
    EXPECT_FLOAT_EQ(path.x, 60.0f);
    EXPECT_FLOAT_EQ(path.y, -30.0f);
    EXPECT_FALSE(path.Emitter()->emitting);
    EXPECT_TRUE(run(115)); // 3 s of its own time less a few steps
    EXPECT_FALSE(run(10));
    EXPECT_NEAR(steps * kStep, 0.5f + 3.0f, 2 * kStep);
}

TEST_F(Levels, UnderADialogueOnlyTheAnimationsAndPulsesOfTheGameLevelRun) {
    Load("(GameAnim (POSI) (SPRT)) (FxPulseAlpha2) (Lamp Ticker)",
         "(GameAnim (visName anim) (Name WISP)) (FxPulseAlpha2 (Data (name WISP))) "
         "(Lamp (visName lamp))");
    auto& anim = dynamic_cast<GameAnim&>(*Find("anim"));
    auto& pulse = *All<FxPulseAlpha2>().at(0);
    const float elapsed = anim.elapsed;
    const float phase = pulse.phase;
    const int lamp = dynamic_cast<Ticker*>(Find("lamp"))->updates;
    Level::UpdateUnderDialogue(kStep);
    EXPECT_EQ(anim.elapsed, elapsed + kStep);
    EXPECT_EQ(pulse.phase, phase + kStep);
    EXPECT_EQ(dynamic_cast<Ticker*>(Find("lamp"))->updates, lamp);
}

TEST_F(Levels, AnAnimationStartsOnTheFirstObjectOfTheLabelOrName) {
    WriteData("lamp.ani", "(emptyAnim idle)\n(emptyAnim glow)\n");
    Load("(Lamp BaseGameObject (POSI) (SPRT (file lamp.ani)) (Name LAMP))",
         "(Lamp (visName first)) (Lamp (visName second))");
    const auto animation = [this](const char* visName) {
        return dynamic_cast<SpriteRenderChunk*>(Find(visName)->GetChunk(FourCC("SPRT"), 0))
            ->player.CurrentAnimName();
    };
    Level::PlayAnimByLabel("LAMPS", "glow", 1.0f);
    EXPECT_EQ(animation("first"), "glow");
    EXPECT_NE(animation("second"), "glow");
    Level::PlayObjectAnim("second", "glow", 1.0f);
    EXPECT_EQ(animation("second"), "glow");
    Level::PlayAnimByLabel("NONE", "idle", 1.0f); // no such label: nothing
    Level::PlayObjectAnim("third", "idle", 1.0f);
    EXPECT_EQ(animation("first"), "glow");
}

TEST_F(Levels, AnAddedObjectDisabledForGoodGoesAndAHiddenObjectsEventsGoToTheHud) {
    MessageReceiver* const hud = gameLevel.get(); // any receiver stands in for the HUD
    FakeWorld& hooks = TestWorld();
    hooks.mainUiReceiver = [hud] { return hud; };
    CurrentPlayer->SetFlag("room", "gone", 1);
    Load("(Crate Ticker (Data)) (Plain BaseGameObject) (Gem GameHiddenObject)",
         "(Crate (visName crate) (disableFlag gone)) (Plain (visName plain) (disableFlag gone)) "
         "(Gem (visName gem))");
    EXPECT_TRUE(Find("crate")->dead);
    EXPECT_FALSE(Find("plain")->dead) << "a plain scene object decides by its own state";
    EXPECT_EQ(dynamic_cast<BaseGameObject*>(Find("gem"))->eventReceiver, hud);
    EXPECT_EQ(dynamic_cast<BaseGameObject*>(Find("plain"))->eventReceiver, nullptr);
}

} // namespace
