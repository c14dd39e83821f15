#include "ui/Menu.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/NativePath.h"
#include "platform/os/Seams.h"
#include "tests/support/LogCapture.h"
#include "tests/ui/UiFixture.h"
#include "ui/GameFlow.h"
#include "ui/MenuProc.h"
#include "ui/ModalProcesses.h"
#include "ui/UIInput.h"
#include "world/GameSettings.h"
#include "world/Level.h"

#include <gmock/gmock.h>

#include <bit>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kAlt = 18;
constexpr int kEnter = 13;
constexpr int kF4 = 115;

// The screens the menu commands load; each shows one caption.
constexpr const char* kScreens[] = {
    "main_menu_anim", "main_menu",   "profiles",    "text_input",   "text_input2",
    "player_exists",  "options",     "highscores",  "ask_quit",     "ask_quit_full",
    "credits",        "play_menu",   "ask_play",    "message4",     "saving",
    "keys",           "keys_multi1", "keys_multi2", "credits_fade",
};

class MenuTest : public UiTest, public GameFlow {
protected:
    void SetUp() override {
        UiTest::SetUp();
        for (const char* screen : kScreens) {
            WriteScreen(screen, "(Caption)");
        }
        WriteData("menus/cutscenes/cutscene_start.txt", "(Objects (Caption))");
        for (const char* level : {"z1-wood-glyphstone", "z2-brotherhood", "z6-acropolis",
                                  "z1-barrow-out", "z3-tower", "next", "back"}) {
            WriteScene(level);
        }
        InstallGameFlow(this);
        EnteredText.clear();
        ActiveTextInput = nullptr;
        MenuMessageText.clear();
        PendingProfileSlot = 0;
    }

    void TearDown() override {
        menu.reset();
        DeleteMenusGameLevel();
        if (ModalLevel != nullptr) {
            ObjectsManager::Delete(ModalLevel);
            ModalLevel = nullptr;
        }
        InstallGameFlow(nullptr);
        ResetSeams();
        ClearMessages();
        UiTest::TearDown();
    }

    // The game level that the menu made when it started a location.
    void DeleteMenusGameLevel() {
        if (GameLevel != nullptr && GameLevel != gameLevel.get()) {
            Level* level = GameLevel;
            GameLevel = nullptr;
            ObjectsManager::Delete(level);
        }
    }

    // The next case of a table: the menu, its layers and its game level gone, the world fresh.
    void NextCase() {
        menu.reset();
        DeleteAllLayers();
        DeleteMenusGameLevel();
        StartAgain();
    }

    // What the runs were: "game <scene loaded into the game level>" or "modal <screen on mui>";
    // the game's result and the modal answer come from the queues (0 when empty).
    std::unique_ptr<XProcess> CreateGameProcess() override { return std::make_unique<XProcess>(); }

    int32_t Run(std::unique_ptr<XProcess> owned, bool) override {
        XProcess* const process = owned.get();
        int32_t result = 0;
        if (dynamic_cast<ModalProc*>(process) != nullptr) {
            runs.push_back("modal " + (mui != nullptr ? mui->ScenePath() : std::string("?")));
            if (!answers.empty()) {
                result = answers.front();
                answers.pop_front();
            }
        } else if (process != nullptr) {
            runs.push_back("game " +
                           (GameLevel != nullptr ? GameLevel->ScenePath() : std::string("?")));
            if (!gameResults.empty()) {
                result = gameResults.front();
                gameResults.pop_front();
            }
            if (onGame) {
                onGame();
            }
        }
        return result;
    }

    Menu& StartMenu() {
        menu = std::make_unique<Menu>();
        menu->Init();
        runs.clear();
        return *menu;
    }

    // A button that sends the id, put over the screen on show and clicked in one step of the
    // menu; it goes again when the command left it there.
    void Click(uint32_t id) {
        WriteScreen("command", "(Question (Name CMD) (POSI (position 0 0)) (Data (clickEvent " +
                                   FourCCText(id) + ")))");
        const std::string before = menu->ScenePath();
        menu->LoadScene("menus/command.txt", false);
        Mouse.x = 10;
        Mouse.y = 10;
        Mouse.leftHeld = Mouse.leftPressed = true;
        menu->UpdateStep(kStepTime);
        Mouse = MouseState();
        if (menu->ScenePath() == "menus/command.txt") {
            shown = before;
        } else {
            shown.clear();
        }
        if (Object* button = menu->FindByCode(FourCC("CMD"))) {
            menu->DestroyObject(button);
        }
    }

    // The screen on show: the last one loaded.
    std::string Screen() const { return shown.empty() ? menu->ScenePath() : shown; }

    std::string shown;
    std::unique_ptr<Menu> menu;
    std::vector<std::string> runs;
    std::deque<int32_t> gameResults;
    std::deque<int32_t> answers;
    std::function<void()> onGame;
};

TEST_F(MenuTest, SplashScreensRunInOrderUntilTheFirstMissingNumber) {
    struct Case {
        std::vector<int> present;
        std::vector<std::string> runs;
    };
    const Case cases[] = {
        {{1, 2}, {"modal menus/splash/splash1.txt", "modal menus/splash/splash2.txt"}},
        {{1, 2, 4}, {"modal menus/splash/splash1.txt", "modal menus/splash/splash2.txt"}},
        {{2, 3}, {}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.present));
        std::filesystem::remove_all(folder / "data/menus/splash");
        for (const int n : c.present) {
            WriteData("menus/splash/splash" + std::to_string(n) + ".txt", "(Objects (Caption))");
        }
        runs.clear();
        menu = std::make_unique<Menu>();
        menu->Init();
        EXPECT_EQ(runs, c.runs);
        EXPECT_EQ(Screen(), "menus/main_menu_anim.txt");
        menu.reset();
        DeleteAllLayers();
    }
}

TEST_F(MenuTest, StartFromLevelSkipsTheSplashAndPlaysAtOnceWithANamedProfile) {
    WriteData("menus/splash/splash1.txt", "(Objects (Caption))");
    App.startFromLevel = "levels/z3-tower.txt";
    MakeProfile(0, "Ann");
    gameResults = {1};
    menu = std::make_unique<Menu>();
    menu->Init();
    EXPECT_THAT(runs, ElementsAre("game levels/z3-tower.txt"));
    EXPECT_EQ(Screen(), "menus/main_menu.txt");

    // Without a profile there is nobody to play: the name comes first.
    NextCase();
    runs.clear();
    menu = std::make_unique<Menu>();
    menu->Init();
    EXPECT_THAT(runs, IsEmpty());
    EXPECT_EQ(Screen(), "menus/text_input2.txt");
}

TEST_F(MenuTest, TheLastPlayerIsSelectedAtStartElseTheFirstThatLoads) {
    MakeProfile(1, "Ann");
    MakeProfile(3, "Bob");
    struct Case {
        const char* last; // "last.pla", or null for none
        const char* current;
    };
    const Case cases[] = {{"3", "Bob"}, {"1", "Ann"}, {"2", "Ann"}, {nullptr, "Ann"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.last != nullptr ? c.last : "none");
        CurrentPlayer = nullptr;
        if (c.last != nullptr) {
            WritePlayerBytes("last.pla", c.last);
        } else {
            std::filesystem::remove(Players("last.pla"));
        }
        StartMenu();
        ASSERT_NE(CurrentPlayer, nullptr);
        EXPECT_EQ(CurrentPlayer->GetName(), c.current);
    }
}

TEST_F(MenuTest, CommandsShowTheirScreensOrStartTheirLocations) {
    enum class Profile { None, Fresh, Played };
    struct Case {
        const char* id;
        Profile profile;
        const char* screen; // after the command; null when a game decides it
        std::vector<std::string> runs;
    };
    const Case cases[] = {
        {"SLV3", Profile::Fresh, "menus/main_menu.txt", {"game levels/z1-wood-glyphstone.txt"}},
        {"SLVF", Profile::Fresh, "menus/main_menu.txt", {"game levels/z6-acropolis.txt"}},
        {"SLV0", Profile::Fresh, "menus/main_menu.txt", {"game levels/z1-barrow-out.txt"}},
        {"STV5", Profile::Fresh, "menus/main_menu.txt", {"game levels/z2-brotherhood.txt"}},
        {"CONT", Profile::Fresh, "menus/main_menu.txt", {"game levels/z1-wood-glyphstone.txt"}},
        {"CUSC", Profile::Fresh, "menus/main_menu.txt", {"game levels/z1-wood-glyphstone.txt"}},
        {"CONT", Profile::Played, "menus/ask_play.txt", {}},
        {"PLAY", Profile::Played, "menus/ask_play.txt", {}},
        {"CONE", Profile::Played, "menus/main_menu.txt", {"game levels/z1-wood-glyphstone.txt"}},
        {"MAIN", Profile::Fresh, "menus/main_menu.txt", {}},
        {"BACK", Profile::Fresh, "menus/main_menu.txt", {}},
        {"PROF", Profile::Fresh, "menus/profiles.txt", {}},
        {"QUIT", Profile::Fresh, "menus/ask_quit.txt", {}},
        {"CRED", Profile::Fresh, "menus/credits.txt", {}},
        {"ASKP", Profile::Fresh, "menus/play_menu.txt", {}},
        {"STCO", Profile::Fresh, "menus/cutscenes/cutscene_start.txt", {}},
        {"OPTS", Profile::Fresh, "menus/options.txt", {}},
        {"HIGH", Profile::Fresh, "menus/highscores.txt", {}},
        {"KEYS", Profile::Fresh, "menus/keys.txt", {}},
        {"KEM1", Profile::Fresh, "menus/keys_multi1.txt", {}},
        {"KEM2", Profile::Fresh, "menus/keys_multi2.txt", {}},
        {"MAII", Profile::Fresh, "menus/main_menu.txt", {}},
        {"NOPE", Profile::Fresh, "menus/main_menu_anim.txt", {}},
        {"PLA1", Profile::Fresh, "menus/main_menu.txt", {}},
        {"PLA3", Profile::Fresh, "menus/main_menu_anim.txt", {}}, // an empty slot
        {"INOK", Profile::Fresh, "menus/main_menu_anim.txt", {}}, // nothing pending
        {"INCA", Profile::Fresh, "menus/main_menu_anim.txt", {}},
        // A location needs a named profile: without one, the name comes first.
        {"SLV3", Profile::None, "menus/text_input2.txt", {}},
        {"CONT", Profile::None, "menus/text_input2.txt", {}},
        {"CONE", Profile::None, "menus/text_input2.txt", {}},
        {"PLAY", Profile::None, "menus/text_input2.txt", {}},
        {"MAIN", Profile::None, "menus/text_input2.txt", {}},
        {"LOAD", Profile::None, "menus/text_input2.txt", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " profile " + std::to_string(static_cast<int>(c.profile)));
        NextCase();
        if (c.profile != Profile::None) {
            Player& player = MakeProfile(0, "Ann");
            if (c.profile == Profile::Played) {
                player.SetLastLevelId("z3-tower");
            }
        }
        gameResults = {1};
        StartMenu();
        Click(FourCC(c.id));
        EXPECT_EQ(Screen(), c.screen);
        EXPECT_EQ(runs, c.runs);
        menu.reset();
        DeleteAllLayers();
    }
}

TEST_F(MenuTest, OverlayScreensAddToTheScreenAndTheOthersReplaceIt) {
    MakeProfile(0, "Ann");
    StartMenu();
    std::size_t objects = menu->Objects().size();
    for (const char* id : {"OPTS", "HIGH", "KEYS", "KEM1", "QUIT", "CRED"}) {
        SCOPED_TRACE(id);
        Click(FourCC(id));
        const bool over = std::string(id) != "QUIT" && std::string(id) != "CRED";
        // Each screen here is one caption.
        EXPECT_EQ(menu->Objects().size(), over ? objects + 1 : 1u);
        objects = menu->Objects().size();
    }
}

TEST_F(MenuTest, ANewGameDeletesTheProfilesFilesAndStartsAfresh) {
    Player& player = MakeProfile(2, "Ann");
    player.SetFlag("z1-wood-glyphstone", "dialog1", 5);
    player.SetLastLevelId("z3-tower");
    WritePlayerBytes("2.sav", "old");
    WritePlayerBytes("2_quick.sav", "old");
    WritePlayerBytes("1.sav", "someone else's");
    StartMenu();
    Click(FourCC("CONE"));
    EXPECT_THAT(runs, ElementsAre("game levels/z1-wood-glyphstone.txt"));
    EXPECT_FALSE(PlayerFileExists("2_quick.sav"));
    EXPECT_TRUE(PlayerFileExists("1.sav"));
    EXPECT_EQ(CurrentPlayer->GetName(), "Ann");
    EXPECT_TRUE(CurrentPlayer->Flags().empty() ||
                CurrentPlayer->Flags().count("z1-wood-glyphstone:dialog1") == 0);
}

TEST_F(MenuTest, LoadingAMissingOrDamagedSaveStaysInTheMenuAndLogs) {
    MakeProfile(0, "Ann");
    for (const char* save : {"", "not a save game"}) {
        SCOPED_TRACE(save);
        if (*save != '\0') {
            WritePlayerBytes("0.sav", save);
        }
        const LogCapture log;
        StartMenu();
        Click(FourCC("LOAD"));
        EXPECT_THAT(runs, IsEmpty());
        EXPECT_EQ(Screen(), "menus/main_menu_anim.txt");
        EXPECT_THAT(log.Text(), HasSubstr("0.sav"));

        // 'LOAQ' in the menu the same, with a game level.
        Click(FourCC("LOAQ"));
        EXPECT_THAT(runs, IsEmpty());
    }
}

TEST_F(MenuTest, ASaveWrittenInTheGameIsLoadedAndPlayed) {
    MakeProfile(0, "Ann");
    StartMenu();
    // The game writes the regular save game of the location it plays.
    onGame = [this] { menu->OnMessage(nullptr, FourCC("SAVQ"), 0); };
    Click(FourCC("SLV3"));
    ASSERT_TRUE(PlayerFileExists("0.sav"));
    onGame = nullptr;
    runs.clear();
    GameLevel->Clear();
    Click(FourCC("LOAD"));
    // The save game names the scene file as the level gives it.
    EXPECT_THAT(runs, ElementsAre("game levels\\z1-wood-glyphstone.txt"));

    // The quick save game goes beside it after the saving notice.
    Click(FourCC("SAVE"));
    EXPECT_TRUE(PlayerFileExists("0_quick.sav"));
    EXPECT_THAT(runs, ElementsAre("game levels\\z1-wood-glyphstone.txt", "modal menus/saving.txt"));
}

TEST_F(MenuTest, LoadWithAStartLevelConfiguredPlaysThatLevelAndNotTheSave) {
    MakeProfile(0, "Ann");
    StartMenu();
    App.startFromLevel = "levels/z3-tower.txt";
    Click(FourCC("LOAD"));
    EXPECT_THAT(runs, ElementsAre("game levels/z3-tower.txt"));
}

TEST_F(MenuTest, SaveCommandsWithoutAGameOrAPlayerDoNothing) {
    StartMenu();
    for (const char* id : {"SAVE", "SAVQ", "LOAQ", "MAII"}) {
        SCOPED_TRACE(id);
        Click(FourCC(id));
        EXPECT_THAT(runs, IsEmpty());
        EXPECT_THAT(PlayerFolder(), ::testing::Not(::testing::Contains(HasSubstr(".sav"))));
    }
    EXPECT_EQ(GameLevel, nullptr);
}

TEST_F(MenuTest, TypedNamesAreTrimmedCheckedAndCreated) {
    struct Case {
        const char* typed;
        const char* screen;
        const char* created; // in slot 0, or null
    };
    const Case cases[] = {
        {"  _Bob@ ", "menus/main_menu.txt", "Bob"},  {"Bo b", "menus/main_menu.txt", "Bo b"},
        {"___", "menus/text_input2.txt", nullptr},   {"", "menus/text_input2.txt", nullptr},
        {"Ann", "menus/player_exists.txt", nullptr}, {" Ann_", "menus/player_exists.txt", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        NextCase();
        EnteredText.clear();
        StartMenu();
        Click(FourCC("MAIN")); // nobody to play: the name prompt
        ASSERT_EQ(Screen(), "menus/text_input2.txt");
        EXPECT_EQ(MenuMessageText, "str.enteryourname");
        // A name in another slot, taken meanwhile.
        MakeProfile(1, "Ann");
        CurrentPlayer = nullptr;

        EnteredText = c.typed;
        Click(FourCC("INOK"));
        EXPECT_EQ(Screen(), c.screen);
        EXPECT_EQ(Player::GetProfileName(0), c.created != nullptr ? c.created : "");
        if (c.created != nullptr) {
            EXPECT_EQ(CurrentPlayer->GetName(), c.created);
        }
        if (std::string(c.screen) == "menus/text_input2.txt") {
            // Still waiting for a name: OK asks again, cancel goes to the profiles.
            EXPECT_EQ(menu->pendingOk, FourCC("CCPM"));
            Click(FourCC("INCA"));
            EXPECT_EQ(Screen(), "menus/profiles.txt");
        }
        if (std::string(c.screen) == "menus/player_exists.txt") {
            Click(FourCC("INOK"));
            EXPECT_EQ(Screen(), "menus/profiles.txt");
        }
    }
}

TEST_F(MenuTest, NewProfileOnAnEmptySlotAsksForItsName) {
    MakeProfile(0, "Ann");
    StartMenu();
    TextInputWidthLimit = 999;
    Click(FourCC("NDP3"));
    EXPECT_EQ(Screen(), "menus/text_input.txt");
    EXPECT_EQ(TextInputWidthLimit, 220u);
    EXPECT_EQ(PendingProfileSlot, 2);
    EnteredText = "Cid";
    Click(FourCC("INOK"));
    EXPECT_EQ(Player::GetProfileName(2), "Cid");
    EXPECT_EQ(CurrentPlayer->GetName(), "Cid");
    EXPECT_EQ(Screen(), "menus/profiles.txt");

    // Cancel goes back to the list too.
    Click(FourCC("NDP5"));
    Click(FourCC("INCA"));
    EXPECT_EQ(Screen(), "menus/profiles.txt");
    EXPECT_EQ(Player::GetProfileName(4), "");
}

TEST_F(MenuTest, DeletingAProfileAsksFirstAndDeletesOnlyOnYes) {
    MakeProfile(0, "Ann");
    MakeProfile(3, "Bob");
    StartMenu();
    answers = {3};
    Click(FourCC("NDP1"));
    EXPECT_THAT(runs, ElementsAre("modal menus/message4.txt"));
    EXPECT_EQ(mui->messageText, "str.doyouwantto");
    EXPECT_EQ(mui->secondText, "str.deletethisprofile");
    EXPECT_EQ(Player::GetProfileName(0), "Ann");

    answers = {2};
    Click(FourCC("NDP1"));
    EXPECT_EQ(Player::GetProfileName(0), "");
    EXPECT_FALSE(PlayerFileExists("0.pla"));
    ASSERT_NE(CurrentPlayer, nullptr);
    EXPECT_EQ(CurrentPlayer->GetName(), "Bob");

    // The last profile gone: the name prompt.
    answers = {2};
    Click(FourCC("NDP4"));
    EXPECT_EQ(CurrentPlayer, nullptr);
    EXPECT_EQ(Screen(), "menus/text_input2.txt");
}

TEST_F(MenuTest, TheGamesResultDecidesWhatComesNext) {
    WriteData("levels/fwd.txt",
              "(Meta (Name fwd) (exitForward \"/next.txt\") (exitBack \"back.txt\"))"
              "(Objects)");
    // An exit without a leading separator still names a file in "levels/".
    WriteData("levels/plain.txt", "(Meta (Name plain) (exitForward \"next.txt\"))(Objects)");
    MakeProfile(0, "Ann");
    struct Case {
        const char* start;
        int32_t result;
        std::vector<std::string> runs;
        const char* screen;
    };
    const Case cases[] = {
        {"levels/fwd.txt", 1, {"game levels/fwd.txt"}, "menus/main_menu.txt"},
        {"levels/fwd.txt",
         2,
         {"game levels/fwd.txt", "game levels/next.txt"},
         "menus/main_menu.txt"},
        {"levels/plain.txt",
         2,
         {"game levels/plain.txt", "game levels/next.txt"},
         "menus/main_menu.txt"},
        {"levels/fwd.txt",
         3,
         {"game levels/fwd.txt", "game levels/back.txt"},
         "menus/main_menu.txt"},
        {"levels/fwd.txt", 8, {"game levels/fwd.txt"}, "menus/credits_fade.txt"},
        {"levels/fwd.txt", 4, {"game levels/fwd.txt"}, "menus/ask_play.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.result);
        StartMenu();
        gameResults = {c.result, 1};
        menu->LoadScene("menus/ask_play.txt", true);
        try {
            menu->StartLevel(c.start);
        } catch (const Exception& error) {
            ADD_FAILURE() << error.Text();
        }
        EXPECT_EQ(runs, c.runs);
        EXPECT_EQ(Screen(), c.screen);
    }
}

TEST_F(MenuTest, AnEndedMiniGameLevelIsDeleted) {
    MakeProfile(0, "Ann");
    for (const int32_t result : {5, 6}) {
        StartMenu();
        onGame = [] {
            ModalLevel = new Level();
            ModalLevel->Load();
        };
        gameResults = {result};
        menu->StartLevel("levels/z3-tower.txt");
        EXPECT_EQ(ModalLevel, nullptr) << result;
        // A mini-game left back reads the save game again when the HUD next runs.
        events.clear();
        MainUI->Update(kStepTime);
        EXPECT_EQ(events,
                  result == 5 ? std::vector<std::string>{"LOAQ"} : std::vector<std::string>{})
            << result;
    }
}

TEST_F(MenuTest, DataIdsAnswerAndAreEmptyWithoutAPlayer) {
    App.versionInfo[0] = "1";
    App.mainNumber = "7";
    GameSettings.soundVolume = 0.5f;
    GameSettings.musicVolume = 0.25f;
    StartMenu();
    MenuMessageText = "first";
    MenuMessageText2 = "second";
    menu->currentPage = 1;
    menu->lastPage = 3;
    struct Case {
        const char* id;
        const char* withoutPlayer;
        const char* withPlayer;
    };
    const Case cases[] = {
        {"CPLA", "", "Ann"},
        {"PLER", "", "str.welcome Ann"},
        {"LOAD", "0", "1"},
        {"MACC", "", "4 str.of 10"},
        {"PLA2", "", "Ann"},
        {"PLA1", "", ""},
        {"NDP2", "str.newplayer", "str.deleteplayer"},
        {"NDP1", "str.newplayer", "str.newplayer"},
        {"MSGT", "first", "first"},
        {"MSG2", "second", "second"},
        {"SVOL", "0.5", "0.5"},
        {"MVOL", "0.25", "0.25"},
        {"FULL", "str.switchtofullscreen", "str.switchtofullscreen"},
        {"PAGE", "Page 2/4", "Page 2/4"},
        {"BULD", "str.version: 1.102.7", "str.version: 1.102.7"},
        {"STRE", "stretchon", "stretchon"},
        {"WHAT", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(menu->GetData(FourCC(c.id)), c.withoutPlayer) << c.id;
    }
    Player& player = MakeProfile(1, "Ann");
    player.SetLastLevelId("z3-tower");
    player.AddMapPieces(4, true);
    for (const Case& c : cases) {
        EXPECT_EQ(menu->GetData(FourCC(c.id)), c.withPlayer) << c.id;
    }
    player.SetFlag("map_metal", "minigame4_completed", 1);
    EXPECT_EQ(menu->GetData(FourCC("MACC")), "");
}

TEST_F(MenuTest, VolumesSetThroughTheMenuAreStoredAndSaved) {
    StartMenu();
    menu->SetData(FourCC("SVOL"), std::bit_cast<uint32_t>(0.5f));
    menu->SetData(FourCC("MVOL"), std::bit_cast<uint32_t>(0.05f));
    EXPECT_EQ(GameSettings.soundVolume, 0.5f);
    EXPECT_EQ(GameSettings.musicVolume, 0.0f);
    EXPECT_EQ(Sounds.GetSampleVolume(), 50);
    EXPECT_TRUE(PlayerFileExists("settings.dat"));
}

TEST_F(MenuTest, QuitSavesTheSettingsAndEndsTheMenu) {
    StartMenu();
    Click(FourCC("QUIC"));
    EXPECT_EQ(menu->state, 1);
    EXPECT_TRUE(PlayerFileExists("settings.dat"));
}

TEST_F(MenuTest, FullTogglesTheSettingAndAsksForTheSwitch) {
    StartMenu();
    Click(FourCC("FULL"));
    EXPECT_TRUE(GameSettings.fullScreen);
    EXPECT_TRUE(App.toggleFullScreen);
    EXPECT_EQ(PlayerBytes("settings.dat").substr(0, 1), "1");
    App.toggleFullScreen = false;
    App.fullScreen = true;
    Click(FourCC("FULL"));
    EXPECT_FALSE(GameSettings.fullScreen);
    EXPECT_TRUE(App.toggleFullScreen);
}

TEST_F(MenuTest, HelpOpensTheCurrentFoldersHelpPage) {
    std::vector<std::string> opened;
    Seams().openDocument = [&](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    StartMenu();
    Click(FourCC("HELP"));
    EXPECT_THAT(opened, ElementsAre(CurrentFolder() + "/help/help.htm"));
}

// Alt+F4 and Alt+Enter are looked at once a step: a step that brings many messages (a held
// button and several keys) asks or switches once.
TEST_F(MenuTest, AltKeysActOnceAStep) {
    StartMenu();
    EnsureLayer(mui);
    App.fullScreen = true;
    answers = {3};
    SetKeyDown(kAlt, true);
    SetKeyDown(kF4, true);
    SetKeyDown('A', true);
    SetKeyDown('B', true);
    Keyboard.Update();
    Mouse.leftHeld = true;
    menu->UpdateStep(kStepTime);
    EXPECT_THAT(runs, ElementsAre("modal menus/ask_quit_full.txt"));
    EXPECT_FALSE(mui->quitQuestion);
    EXPECT_EQ(menu->state, 0);

    // Yes: the settings are saved and the game ends.
    runs.clear();
    answers = {2};
    ReleaseKeys();
    SetKeyDown(kAlt, true);
    SetKeyDown(kF4, true);
    Keyboard.Update();
    menu->UpdateStep(kStepTime);
    EXPECT_THAT(runs, ElementsAre("modal menus/ask_quit_full.txt"));
    EXPECT_EQ(menu->state, 1);
    EXPECT_TRUE(PlayerFileExists("settings.dat"));
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, kMessageQuit);

    // In a window Alt+F4 asks nothing; Alt+Enter switches once.
    runs.clear();
    App.fullScreen = false;
    ReleaseKeys();
    SetKeyDown(kAlt, true);
    SetKeyDown(kF4, true);
    SetKeyDown(kEnter, true);
    SetKeyDown('A', true);
    Keyboard.Update();
    Mouse.leftHeld = true;
    menu->UpdateStep(kStepTime);
    EXPECT_THAT(runs, IsEmpty());
    EXPECT_TRUE(GameSettings.fullScreen);
    EXPECT_TRUE(App.toggleFullScreen);
}

TEST_F(MenuTest, TheQuestionIsNotAskedTwiceAtOnce) {
    StartMenu();
    EnsureLayer(mui).quitQuestion = true;
    App.fullScreen = true;
    SetKeyDown(kAlt, true);
    SetKeyDown(kF4, true);
    Keyboard.Update();
    menu->UpdateStep(kStepTime);
    EXPECT_THAT(runs, IsEmpty());
}

TEST_F(MenuTest, TheBlinkFlagIsOnInTheFirstHalfOfEachSecond) {
    StartMenu();
    struct Case {
        float advance;
        bool blink;
    };
    const Case cases[] = {{0.0f, true},     {0.25f, true}, {0.2499f, true},
                          {0.0002f, false}, {0.4f, false}, {0.2f, true}};
    for (const Case& c : cases) {
        menu->UpdateStep(c.advance);
        EXPECT_EQ(menu->blink, c.blink) << menu->clock;
    }
}

TEST_F(MenuTest, TheMenuProcessOwnsTheMenuAndEndsOnItsResult) {
    MakeProfile(0, "Ann");
    WriteData("snd/music/main_menu.ogg", "");
    std::unique_ptr<MenuProc> process = MenuProc::Create();
    process->Begin();
    ASSERT_NE(process->menu, nullptr);
    ASSERT_NE(mui, nullptr);
    EXPECT_EQ(process->menu->ScenePath(), "menus/main_menu_anim.txt");
    EnsureLayer(MapGameUI);
    process->Update(kStepTime);
    EXPECT_EQ(process->state, 1);
    process->menu->state = 1;
    process->Update(kStepTime);
    EXPECT_EQ(process->state, 0);
    EXPECT_EQ(process->result, 1);
    process->End();
    EXPECT_EQ(process->menu, nullptr);
    EXPECT_EQ(mui, nullptr);
    EXPECT_EQ(MapGameUI, nullptr);
}

} // namespace
