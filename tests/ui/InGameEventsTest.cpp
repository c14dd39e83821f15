#include "engine/Application.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/MessageSystem.h"
#include "engine/MouseState.h"
#include "engine/PositionSystem.h"
#include "engine/ProcessResult.h"
#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "tests/support/LogCapture.h"
#include "tests/ui/UiFixture.h"
#include "ui/GameFlow.h"
#include "ui/ModalProcesses.h"
#include "ui/UserInterface.h"
#include "world/FullScreenKey.h"
#include "world/GameSettings.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <gmock/gmock.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kAlt = 18;
constexpr int kF4 = 115;

// The screens the events load; each shows one caption.
constexpr const char* kScreens[] = {
    "ingame_options_menu",
    "ingame_options_menu2",
    "ask_quitingame",
    "ask_quit_full",
    "ingame_options_menu_close",
    "tele_out",
    "tele_out2",
    "tele_out3",
    "tele_out4",
    "tele_out5",
    "tele_in",
    "main_menu",
    "saving",
    "loading",
    "keys",
    "intro",
    "outro",
};

// The real event table on the layers, with the game process and the main loop scripted: each
// run is journalled by what it shows, answered from a queue, and deleted at once.
class InGameEvents : public UiTest, public GameFlow {
protected:
    void SetUp() override {
        UiTest::SetUp();
        UserInterface::SetEventTableStandIn(nullptr);
        InstallGameFlow(this);
        for (const char* screen : kScreens) {
            WriteScreen(screen, "(Caption)");
        }
        WriteScreen("tutorials/msg1", "(Caption (POSI (position 5 5))) (Caption)");
        for (const char* level :
             {"here", "next", "back", "z1-wood-glyphstone", "z2-brotherhood", "wood_map",
              "fire_map", "water_map", "metal_map", "game1", "game6"}) {
            WriteScene(level);
        }
        ResetFullScreenKey();
        App.fullScreen = false;
        InGameMenuOpen = false;
    }

    void TearDown() override {
        if (ModalLevel != nullptr) {
            ObjectsManager::Delete(ModalLevel);
            ModalLevel = nullptr;
        }
        if (GameLevel != nullptr && GameLevel != gameLevel.get()) {
            ObjectsManager::Delete(GameLevel);
            GameLevel = nullptr;
        }
        InstallGameFlow(nullptr);
        Renderer::State().smallDesktop = false;
        App.fullScreen = false;
        App.toggleFullScreen = false;
        ClearMessages();
        UiTest::TearDown();
    }

    std::unique_ptr<XProcess> CreateGameProcess() override { return std::make_unique<XProcess>(); }

    int32_t Run(std::unique_ptr<XProcess> owned, bool) override {
        XProcess* const process = owned.get();
        auto path = [](const ObjectsManager* scene) {
            return scene != nullptr ? scene->ScenePath() : std::string("?");
        };
        if (dynamic_cast<ModalProc*>(process) != nullptr) {
            runs.push_back("modal " + path(mui));
        } else if (dynamic_cast<ModalProc2*>(process) != nullptr) {
            runs.push_back("closing " + path(MapGameUI));
        } else if (dynamic_cast<VideoModalProc*>(process) != nullptr) {
            runs.push_back("video " + path(VideoUI));
        } else if (dynamic_cast<GameModalProc*>(process) != nullptr) {
            runs.push_back("minigame " + path(ModalLevel));
        } else {
            runs.push_back("game " + path(GameLevel));
        }
        int32_t result = 0;
        if (!answers.empty()) {
            result = answers.front();
            answers.pop_front();
        }
        if (duringRun) {
            duringRun();
        }
        return result;
    }

    // The location "levels/here.txt" in the game level, a profile "ann" current.
    Level& Play(const std::string& exitForward = "next.txt", const std::string& exitBack = "") {
        MakeProfile(0, "ann");
        Level& level = MakeGameLevel();
        level.LoadScene("levels/here.txt", true);
        // Loading wrote the save game; the tests look for the writes that the events make.
        std::filesystem::remove(Players("0.sav"));
        level.exitForward = exitForward;
        level.exitBack = exitBack;
        return level;
    }

    void Send(UserInterface& layer, const std::string& id) {
        layer.OnMessage(nullptr, FourCC(id), 0);
    }

    std::vector<std::string> runs;
    std::deque<int32_t> answers;
    std::function<void()> duringRun;
};

TEST_F(InGameEvents, AnswersAndClosingEventsSetTheLayersResultWord) {
    struct Case {
        const char* id;
        int32_t result;
    };
    const Case cases[] = {{"KILL", 1}, {"KILA", 1}, {"BYES", 2},
                          {"BNO", 3},  {"ABCD", 0}, {"DBST", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        UserInterface& layer = EnsureLayer(mui);
        layer.state = 0;
        Send(layer, c.id);
        EXPECT_EQ(layer.state, c.result);
        EXPECT_THAT(runs, IsEmpty());
    }
    EXPECT_TRUE(mui->windowArt);
}

TEST_F(InGameEvents, ClosingTheDialogueAndTheTutorialEndsTheirScreens) {
    struct Case {
        const char* id;
        UserInterface** closed;
    };
    const Case cases[] = {{"DBSP", &DialogueUI},
                          {"ORCO", &DialogueUI},
                          {"BKGM", &DialogueUI},
                          {"RERO", &DialogueUI},
                          {"MILL", &TutorialUI}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        UserInterface& closed = EnsureLayer(*c.closed);
        closed.state = 0;
        Send(EnsureLayer(MainUI), c.id);
        EXPECT_EQ(closed.state, 1);
    }
    // Without the layers there is nothing to close, and nothing breaks.
    DeleteLayer(DialogueUI);
    DeleteLayer(TutorialUI);
    for (const char* id : {"DBSP", "BKGM", "MILL", "DBSA", "ADDY", "ADDO"}) {
        Send(*MainUI, id);
    }
    EXPECT_EQ(DialogueUI, nullptr);
    EXPECT_EQ(TutorialUI, nullptr);
}

// The screen on which the event was clicked is replaced while its click is being delivered: the
// old widgets stay alive until the delivery ends, and the new screen takes the next click.
TEST_F(InGameEvents, ReloadsFromTheLayersOwnButtonReplaceItsScreen) {
    struct Case {
        const char* id;
        const char* screen;
    };
    const Case cases[] = {{"INOK", "menus/ingame_options_menu.txt"},
                          {"IASQ", "menus/ask_quitingame.txt"},
                          {"INOQ", "menus/ingame_options_menu2.txt"},
                          {"TEIN", "menus/tele_in.txt"},
                          {"TELE", "menus/tele_out.txt"},
                          {"TEL4", "menus/tele_out4.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        WriteScreen("clicked", std::string("(Question (POSI (position 0 0)) (Data (clickEvent ") +
                                   c.id + "))) (Question (POSI (position 0 0)) (Data (clickEvent " +
                                   c.id + ")))");
        UserInterface& layer = Layer(mui, "clicked");
        ClickAt(layer, 10, 10);
        EXPECT_EQ(layer.ScenePath(), c.screen);
        // The second button of the old screen went with it: its click is not delivered.
        ASSERT_EQ(layer.Objects().size(), 1u);
        EXPECT_EQ(layer.Objects().front()->name, "Caption");
    }
}

TEST_F(InGameEvents, ATeleportStartsTheNextActWithNoEnergy) {
    Level& level = Play();
    Player& player = *CurrentPlayer;
    player.AddEnergy(3, false);
    EnsureLayer(DialogueUI);
    Send(EnsureLayer(MainUI), "TEL2");
    EXPECT_EQ(player.GetEnergy(), 0);
    EXPECT_EQ(player.GetActWorld(), 1);
    EXPECT_TRUE(level.busy);
    EXPECT_EQ(DialogueUI->state, 1);
    EXPECT_EQ(MainUI->ScenePath(), "menus/tele_out2.txt");
    EXPECT_THAT(PlayerBytes("0.pla"), ::testing::HasSubstr("1"));
}

TEST_F(InGameEvents, LocationChangesRunTheNextLocationInANewGameProcess) {
    struct Case {
        const char* id;
        const char* exitForward;
        const char* exitBack;
        bool miniGameOpen;
        bool itemHeld;
        std::vector<std::string> runs;
    };
    const Case cases[] = {
        {"NEXT", "next.txt", "", false, false, {"game levels/next.txt"}},
        {"NEXT", "/next.txt", "", false, false, {"game levels/next.txt"}},
        {"NEXT", "next.txt", "", true, false, {}},
        {"NEXT", "next.txt", "", false, true, {}},
        {"PREV", "next.txt", "back.txt", false, false, {"game levels/back.txt"}},
        {"PREV", "next.txt", "", false, false, {}},
        {"PREV", "next.txt", "back.txt", true, false, {}},
        {"SLV3", "", "", false, false, {"game levels/z1-wood-glyphstone.txt"}},
        {"SLV9", "", "", false, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.exitForward + " " + c.exitBack);
        StartAgain();
        runs.clear();
        Play(c.exitForward, c.exitBack);
        if (c.miniGameOpen) {
            auto modal = std::make_unique<Level>();
            modal->Load();
            ModalLevel = modal.release();
        }
        if (c.itemHeld) {
            GameLevel->levelSystem->heldItemName = "acorn";
        }
        Send(EnsureLayer(MainUI), c.id);
        EXPECT_EQ(runs, c.runs);
        if (ModalLevel != nullptr) {
            ObjectsManager::Delete(ModalLevel);
            ModalLevel = nullptr;
        }
        DeleteAllLayers();
    }
}

TEST_F(InGameEvents, ALocationChangeResetsEveryLayerAndActsOnTheGamesResult) {
    Play();
    WriteScreen("hud", "(Caption) (Caption)");
    Layer(MainUI, "hud");
    Layer(DialogueUI, "hud");
    Layer(OverlayUI, "hud");
    // The new location's game ends with 2: on to its own way forward.
    answers = {2, 0};
    duringRun = [] {
        if (GameLevel->ScenePath() == "levels/next.txt") {
            GameLevel->exitForward = "back.txt";
        }
    };
    Send(*MainUI, "NEXT");
    EXPECT_THAT(runs, ElementsAre("game levels/next.txt", "game levels/back.txt"));
    for (UserInterface* layer : {MainUI, mui, VideoUI, OverlayUI, DialogueUI}) {
        ASSERT_NE(layer, nullptr);
        EXPECT_THAT(layer->Objects(), IsEmpty());
    }

    // The game's result 1 takes the layer back to the main menu screen.
    runs.clear();
    answers = {1};
    Send(*MainUI, "SLV5");
    EXPECT_THAT(runs, ElementsAre("game levels/z2-brotherhood.txt"));
    EXPECT_EQ(MainUI->ScenePath(), "menus/main_menu.txt");
}

TEST_F(InGameEvents, AFinishedMiniGamesResultIsActedOn) {
    Play();
    struct Case {
        int32_t result;
        bool levelLeft;
        bool saveReadBack;
    };
    const Case cases[] = {{5, false, true}, {6, false, false}, {4, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        auto modal = std::make_unique<Level>();
        modal->Load();
        ModalLevel = modal.release();
        UserInterface& hud = EnsureLayer(MainUI);
        auto* messages = dynamic_cast<MessageSystem*>(hud.FindSystem(FourCC("MSGS")));
        ASSERT_NE(messages, nullptr);
        hud.HandleProcessResult(c.result);
        EXPECT_EQ(ModalLevel != nullptr, c.levelLeft);
        EXPECT_EQ(!messages->Queue().empty() && messages->Queue().back().id == FourCC("LOAQ"),
                  c.saveReadBack);
        DeleteAllLayers();
        if (ModalLevel != nullptr) {
            ObjectsManager::Delete(ModalLevel);
            ModalLevel = nullptr;
        }
    }
}

// A location entered under an open mini-game left the mini-game's level open over it: the
// location took no clicks, and the mini-game's process still waited beneath. The location stays,
// unsaved, and the mini-game with it.
TEST_F(InGameEvents, NoLocationNorMapIsEnteredWhileAMiniGameIsOpen) {
    struct Case {
        const char* id;
        const char* logged;
    };
    const Case cases[] = {{"SLV3", "levels/z1-wood-glyphstone.txt is not entered"},
                          {"STV5", "levels/z2-brotherhood.txt is not entered"},
                          {"STMA", "The map is not opened"},
                          {"QMAP", "The map is not opened"},
                          {"MAP", "The map is not opened"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        StartAgain();
        runs.clear();
        Play();
        auto modal = std::make_unique<Level>();
        modal->Load();
        modal->name = "steam_machine";
        Level* const miniGame = modal.release();
        ModalLevel = miniGame;
        const LogCapture log;
        Send(EnsureLayer(MainUI), c.id);
        EXPECT_THAT(runs, IsEmpty());
        EXPECT_EQ(ModalLevel, miniGame);
        EXPECT_EQ(GameLevel->ScenePath(), "levels/here.txt");
        EXPECT_FALSE(PlayerFileExists("0.sav"));
        EXPECT_THAT(log.Text(), HasSubstr(std::string(c.logged) +
                                          " while the mini-game steam_machine is open"));
        ObjectsManager::Delete(ModalLevel);
        ModalLevel = nullptr;
        DeleteAllLayers();
    }
}

// A mini-game's Back result takes its own exit, with the mini-game closed before the location
// is entered.
TEST_F(InGameEvents, ABackResultClosesTheMiniGameBeforeItsExitIsTaken) {
    Play("next.txt", "here.txt");
    auto modal = std::make_unique<Level>();
    modal->Load();
    modal->exitBack = "back.txt";
    ModalLevel = modal.release();
    bool miniGameOpenDuringRun = true;
    duringRun = [&] { miniGameOpenDuringRun = ModalLevel != nullptr; };
    EnsureLayer(MainUI).HandleProcessResult(3);
    EXPECT_THAT(runs, ElementsAre("game levels/back.txt"));
    EXPECT_FALSE(miniGameOpenDuringRun);
    EXPECT_EQ(ModalLevel, nullptr);
}

TEST_F(InGameEvents, TheElementMapFollowsTheProgress) {
    struct Case {
        std::vector<const char*> flags;
        int pieces;
        const char* map;
    };
    const Case cases[] = {
        {{}, 0, "levels\\wood_map.txt"},
        {{}, 10, "levels\\wood_map.txt"},
        {{"z1-wood-glyphstone:dialog3_killed"}, 0, "levels\\fire_map.txt"},
        {{"z1-hermitage-in:minigame1_completed"}, 9, "levels\\wood_map.txt"},
        {{"z1-hermitage-in:minigame1_completed"}, 10, "levels\\fire_map.txt"},
        {{"map_water:minigame1_completed"}, 3, "levels\\water_map.txt"},
        {{"map_water:minigame1_completed", "map_metal:minigame1_completed"},
         3,
         "levels\\metal_map.txt"},
        {{"map_water:minigame2_completed"}, 10, "levels\\metal_map.txt"},
        {{"z4-gardens-out:dialog4_killed"}, 10, "levels\\metal_map.txt"},
    };
    for (const char* id : {"STMA", "QMAP", "MAP"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(id) + " " + c.map);
            StartAgain();
            runs.clear();
            Play();
            for (const char* flag : c.flags) {
                const std::string key = flag;
                const std::size_t colon = key.find(':');
                CurrentPlayer->SetFlag(key.substr(0, colon), key.substr(colon + 1), 1);
            }
            CurrentPlayer->AddMapPieces(c.pieces, true);
            Send(EnsureLayer(MainUI), id);
            EXPECT_THAT(runs, ElementsAre(std::string("game ") + c.map));
            // The location left was saved first.
            EXPECT_TRUE(PlayerFileExists("0.sav"));
            DeleteAllLayers();
        }
    }
}

TEST_F(InGameEvents, TheInGameMenuOpensOnlyOnceTheFirstTutorialIsDone) {
    Level& level = Play();
    level.levelId = "z1-wood-glyphstone";
    UserInterface& hud = EnsureLayer(MainUI);
    Send(hud, "MENU");
    EXPECT_THAT(runs, IsEmpty());
    EXPECT_FALSE(PlayerFileExists("0.sav"));

    CurrentPlayer->SetFlag("z1-wood-glyphstone", "lightstoneTutorial_killed", 1);
    bool openDuringRun = false;
    bool menuFlagDuringRun = false;
    duringRun = [&] {
        openDuringRun = InGameMenuOpen;
        menuFlagDuringRun = GameLevel->levelSystem->menuOpen;
    };
    Send(hud, "MENU");
    EXPECT_THAT(runs, ElementsAre("modal menus/ingame_options_menu.txt"));
    EXPECT_TRUE(openDuringRun);
    EXPECT_TRUE(menuFlagDuringRun);
    EXPECT_FALSE(InGameMenuOpen);
    EXPECT_FALSE(level.levelSystem->menuOpen);
    EXPECT_TRUE(PlayerFileExists("0.sav"));

    // Not over a mini-game, and not a second time while it is open.
    runs.clear();
    InGameMenuOpen = true;
    Send(hud, "MENU");
    EXPECT_THAT(runs, IsEmpty());
    InGameMenuOpen = false;
    auto modal = std::make_unique<Level>();
    modal->Load();
    ModalLevel = modal.release();
    Send(hud, "MENU");
    EXPECT_THAT(runs, IsEmpty());
}

TEST_F(InGameEvents, QuitWritesTheSaveGameAndEndsTheGameProcess) {
    Level& level = Play();
    UserInterface& options = EnsureLayer(mui);
    InGameMenuOpen = true;
    Send(options, "QUIT");
    EXPECT_FALSE(InGameMenuOpen);
    EXPECT_EQ(options.state, 1);
    EXPECT_EQ(level.state, 1);
    EXPECT_THAT(PlayerBytes("0.sav"), ::testing::HasSubstr("here"));
}

TEST_F(InGameEvents, TheEndIsSavedBeforeTheClosingCutSceneWhichEndsTheGameInTheCredits) {
    Level& level = Play();
    CurrentPlayer->SetFlag("here", "hermit_lantern_enabled", 1);
    std::string savedDuringVideo;
    duringRun = [&] {
        savedDuringVideo = PlayerFileExists("0.sav") ? PlayerBytes("0.sav") : "";
    };
    Send(EnsureLayer(MainUI), "AVI2");
    EXPECT_THAT(runs, ElementsAre("video menus/outro.txt"));
    // A player who quits during the video continues from the end.
    EXPECT_THAT(savedDuringVideo, ::testing::HasSubstr("hermit_lantern_enabled"));
    EXPECT_EQ(level.state, kResultCredits);
}

TEST_F(InGameEvents, MiniGamesOpenByTheirRules) {
    struct Case {
        const char* id;
        const char* type;
        int pieces;
        bool miniGameOpen;
        std::vector<std::string> runs;
    };
    const Case cases[] = {
        {"STG1", "normal", 0, false, {"minigame levels/game1.txt"}},
        {"STG1", "normal", 0, true, {}},
        {"STG6", "normal", 0, true, {"minigame levels/game6.txt"}},
        {"STG1", "map", 9, false, {}},
        {"STG1", "map", 10, false, {"minigame levels/game1.txt"}},
        // The location names no third mini-game.
        {"STG3", "normal", 0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.type + " " + std::to_string(c.pieces));
        StartAgain();
        runs.clear();
        Level& level = Play();
        level.type = c.type;
        level.miniGamePaths[0] = "levels/game1.txt";
        level.miniGamePaths[5] = "levels/game6.txt";
        CurrentPlayer->AddMapPieces(c.pieces, true);
        if (c.miniGameOpen) {
            auto modal = std::make_unique<Level>();
            modal->Load();
            ModalLevel = modal.release();
        }
        // Left normally: the mini-game's level goes afterwards.
        answers = {6};
        Send(EnsureLayer(MainUI), c.id);
        EXPECT_EQ(runs, c.runs);
        if (!c.runs.empty()) {
            EXPECT_EQ(ModalLevel, nullptr);
        }
        if (ModalLevel != nullptr) {
            ObjectsManager::Delete(ModalLevel);
            ModalLevel = nullptr;
        }
        DeleteAllLayers();
        answers.clear();
    }
}

TEST_F(InGameEvents, FullSwitchesTheSettingUnlessTheDisplayForcesFullScreen) {
    UserInterface& options = EnsureLayer(mui);
    Renderer::State().smallDesktop = true;
    GameSettings.fullScreen = true;
    Send(options, "FULL");
    EXPECT_TRUE(GameSettings.fullScreen);
    EXPECT_FALSE(App.toggleFullScreen);
    EXPECT_FALSE(PlayerFileExists("settings.dat"));

    Renderer::State().smallDesktop = false;
    App.fullScreen = true;
    Send(options, "FULL");
    EXPECT_FALSE(GameSettings.fullScreen);
    EXPECT_TRUE(App.toggleFullScreen);
    EXPECT_TRUE(PlayerFileExists("settings.dat"));
    Send(options, "FULL");
    EXPECT_TRUE(GameSettings.fullScreen);
    EXPECT_FALSE(App.toggleFullScreen);
}

// Every layer's handler sees the keys of a step (each raw key arrives as an event of its own):
// in full screen Alt+F4 asks once, and never while the question or the in-game menu is open.
TEST_F(InGameEvents, AltF4InFullScreenAsksOnce) {
    UserInterface& hud = EnsureLayer(MainUI);
    UserInterface& overlay = EnsureLayer(OverlayUI);
    SetKeyDown(kAlt, true);
    SetKeyDown(kF4, true);
    Keyboard.Update();

    // In a window the window's close request asks instead.
    Send(hud, "ABCD");
    EXPECT_THAT(runs, IsEmpty());

    App.fullScreen = true;
    answers = {3};
    bool flagDuringRun = false;
    duringRun = [&] {
        flagDuringRun = mui->quitQuestion;
        // Alt+F4 again while the question is on screen stacks no second one.
        Send(hud, "ABCD");
    };
    Send(hud, "ABCD");
    Send(overlay, "ABCD");
    Send(hud, "ABCD");
    EXPECT_THAT(runs, ElementsAre("modal menus/ask_quit_full.txt"));
    EXPECT_TRUE(flagDuringRun);
    EXPECT_FALSE(mui->quitQuestion);
    Message message;
    EXPECT_FALSE(PeekMessage(message));

    // The next press asks again; Yes saves the settings, closes the screen on mui and quits.
    duringRun = nullptr;
    runs.clear();
    answers = {2};
    ReleaseKeys();
    SetKeyDown(kAlt, true);
    SetKeyDown(kF4, true);
    Keyboard.Update();
    Send(hud, "DBST");
    EXPECT_THAT(runs, ElementsAre("modal menus/ask_quit_full.txt"));
    EXPECT_EQ(mui->state, 1);
    EXPECT_TRUE(PlayerFileExists("settings.dat"));
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, kMessageQuit);
    // The event that came with the question is one of those passed over.
    EXPECT_FALSE(hud.windowArt);

    // Not while the in-game menu is open.
    runs.clear();
    InGameMenuOpen = true;
    ReleaseKeys();
    SetKeyDown(kAlt, true);
    SetKeyDown(kF4, true);
    Keyboard.Update();
    Send(hud, "ABCD");
    EXPECT_THAT(runs, IsEmpty());
}

TEST_F(InGameEvents, SavingAndLoadingUseTheQuickOrTheNormalSaveGame) {
    Play();
    UserInterface& options = EnsureLayer(mui);
    // Without a quick save game 'LOAD' shows its notice and no more.
    Send(options, "LOAD");
    EXPECT_THAT(runs, ElementsAre("modal menus/loading.txt"));

    runs.clear();
    Send(options, "SAVE");
    EXPECT_THAT(runs, ElementsAre("modal menus/saving.txt"));
    EXPECT_TRUE(PlayerFileExists("0_quick.sav"));
    EXPECT_FALSE(PlayerFileExists("0.sav"));

    runs.clear();
    GameLevel->LoadScene("levels/next.txt", true);
    Send(options, "LOAD");
    EXPECT_THAT(runs, ElementsAre("modal menus/loading.txt", "game levels\\here.txt"));

    // 'SAVQ' writes the normal one, 'LOAQ' reads it back and plays, dropping what was held.
    runs.clear();
    Send(options, "SAVQ");
    EXPECT_TRUE(PlayerFileExists("0.sav"));
    GameLevel->Clear();
    GameLevel->levelSystem->heldItemName = "acorn";
    Send(options, "LOAQ");
    EXPECT_THAT(runs, ElementsAre("game levels\\here.txt"));
    EXPECT_TRUE(GameLevel->levelSystem->heldItemName.empty());
}

TEST_F(InGameEvents, ATipRebuiltFromItsOwnLayerAppearsAboveTheCursor) {
    WriteScreen("tip", "(Question (POSI (position 0 0)) (Data (clickEvent MSG1)))");
    UserInterface& old = Layer(LevelOverlayUI, "tip");
    const uint64_t oldSerial = old.Serial();
    ClickAt(old, 10, 10);
    ASSERT_NE(LevelOverlayUI, nullptr);
    EXPECT_NE(LevelOverlayUI->Serial(), oldSerial);
    EXPECT_EQ(LevelOverlayUI->ScenePath(), "menus/tutorials/msg1.txt");
    ASSERT_EQ(LevelOverlayUI->Objects().size(), 2u);
    for (const std::unique_ptr<Object>& object : LevelOverlayUI->Objects()) {
        auto* position = dynamic_cast<PositionChunk*>(object->GetChunk(FourCC("POSI"), 0));
        ASSERT_NE(position, nullptr);
        EXPECT_EQ(position->x, 10.0f);
        EXPECT_EQ(position->y, -38.0f);
        EXPECT_EQ(position->initialY, -38.0f);
    }
}

// A screen run from a layer's handler may delete that layer: the handler then leaves it alone,
// and the process result that would have reloaded it is dropped.
TEST_F(InGameEvents, ALayerDeletedDuringANestedRunIsNotTouchedAfterwards) {
    Level& level = Play();
    level.miniGamePaths[0] = "levels/game1.txt";
    EnsureLayer(DialogueUI);
    duringRun = [] { DeleteLayer(DialogueUI); };
    answers = {1};
    Send(*DialogueUI, "STG1");
    EXPECT_THAT(runs, ElementsAre("minigame levels/game1.txt"));
    EXPECT_EQ(DialogueUI, nullptr);
}

TEST_F(InGameEvents, EveryEventReachesTheKeysScreensAfterItsAction) {
    UserInterface& layer = Layer(mui, "main_menu");
    Send(layer, "KEYS");
    // Loaded over the screen on show, not in its place.
    EXPECT_EQ(layer.ScenePath(), "menus/keys.txt");
    EXPECT_EQ(layer.Objects().size(), 2u);
}

TEST_F(InGameEvents, GivingAndLaunchingFindNoHudPartsAndDoNothing) {
    Play();
    Player& player = *CurrentPlayer;
    player.AddItemToSlot("orvexian_crystal", 0);
    EnsureLayer(MainUI);
    for (const char* id : {"RECR", "ORCI", "ADDS", "ADK2", "ADDX"}) {
        Send(*MainUI, id);
    }
    // The crystal is traded in, but with no inventory slot on the HUD nothing is given back.
    EXPECT_EQ(player.CountItem("orvexian_crystal"), 0);
    EXPECT_EQ(player.CountItem("multitool_crystal"), 0);
    EXPECT_EQ(player.GetEnergy(), 0);
    EXPECT_EQ(player.GetMapPieces(), 0);
}

// 'BKGL' from the options screen closes it and runs the closing screen once, however often it
// comes while that screen runs.
TEST_F(InGameEvents, TheOptionsCloseOnceWhileTheirClosingScreenRuns) {
    UserInterface& options = EnsureLayer(mui);
    InGameMenuOpen = true;
    bool flagDuringRun = false;
    duringRun = [&] {
        flagDuringRun = options.optionsOpen;
        Send(options, "BKGL");
    };
    Send(options, "BKGL");
    EXPECT_THAT(runs, ElementsAre("closing menus/ingame_options_menu_close.txt"));
    EXPECT_TRUE(flagDuringRun);
    EXPECT_EQ(options.state, 1);
    EXPECT_FALSE(options.optionsOpen);
    EXPECT_FALSE(InGameMenuOpen);
    EXPECT_NE(MapGameUI, nullptr);
}

} // namespace
