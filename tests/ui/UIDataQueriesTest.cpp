#include "engine/Application.h"
#include "engine/FourCC.h"
#include "media/Renderer.h"
#include "tests/ui/UiFixture.h"
#include "ui/UserInterface.h"
#include "world/GameSettings.h"
#include "world/Level.h"

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The layers' own answers, asked of MainUI with a profile "ann" current (act 0, no flags) and
// the location "here" in the game level, after each case's preparation.
class DataQueries : public UiTest {
protected:
    void TearDown() override {
        DropMiniGame();
        Renderer::State().smallDesktop = false;
        App.fullScreen = false;
        App.versionInfo[0].clear();
        App.versionInfo[1].clear();
        App.mainNumber.clear();
        UiTest::TearDown();
    }

    void Prepare() {
        // Before the world's globals start again, which forget the mini-game level.
        DropMiniGame();
        StartAgain();
        InGameMenuOpen = false;
        MakeProfile(0, "ann");
        WriteScene("here");
        MakeGameLevel().LoadScene("levels/here.txt", true);
    }

    static void SetFlags(const std::vector<std::string>& keys) {
        for (const std::string& key : keys) {
            const std::size_t colon = key.find(':');
            CurrentPlayer->SetFlag(key.substr(0, colon), key.substr(colon + 1), 1);
        }
    }

    static void ToAct(int act) {
        for (int i = 0; i < act; ++i) {
            CurrentPlayer->StartNextAct();
        }
    }

    static void OpenMiniGame(const std::string& type) {
        auto modal = std::make_unique<Level>();
        modal->Load();
        modal->type = type;
        ModalLevel = modal.release();
    }

    static void DropMiniGame() {
        if (ModalLevel != nullptr) {
            ObjectsManager::Delete(ModalLevel);
            ModalLevel = nullptr;
        }
    }

    std::string Ask(const std::string& id) { return EnsureLayer(MainUI).AnswerData(FourCC(id)); }
};

TEST_F(DataQueries, TheTaskTextsFollowTheStory) {
    struct Case {
        int act;
        std::vector<std::string> flags;
        bool menuOpen;
        const char* id;
        const char* answer;
    };
    const std::vector<std::string> allAcropolisGames = {
        "z6-acropolis:dialog1_killed",      "z6-acropolis:minigame1_completed",
        "z6-acropolis:minigame2_completed", "z6-acropolis:minigame3_completed",
        "z6-acropolis:minigame4_completed", "z6-acropolis:minigame5_completed",
        "z6-acropolis:minigame6_completed"};
    const Case cases[] = {
        {0, {}, false, "TASK", ""},
        {0, {"z1-wood-glyphstone:dialog1_killed"}, false, "TASK", "str.woodtask1"},
        {0,
         {"z1-wood-glyphstone:dialog1_killed", "z1-quicksand:dialog1_killed"},
         false,
         "TASK",
         "str.woodtask2"},
        // A task of another world does not show.
        {1, {"z1-wood-glyphstone:dialog1_killed"}, false, "TASK", ""},
        {4, {"z4-gardens-out:dialog7_killed"}, false, "TASK", ""},
        {4,
         {"z4-gardens-out:dialog7_killed", "z3-tower-in:dialog4_killed"},
         false,
         "TASK",
         "str.aethertask8"},
        {5, {"z6-acropolis:dialog1_killed"}, false, "TASK", "str.accropolistask2"},
        {5, {"z6-acropolis:dialog1_killed", "z6-acropolis:minigame4_completed"}, false, "TASK", ""},
        {5, allAcropolisGames, false, "TASK", ""},
        // The in-game menu hides the first task only.
        {1, {"z1-barrow-out:dialog3_killed"}, false, "TASK", "str.firetask7a"},
        {1, {"z1-barrow-out:dialog3_killed"}, true, "TASK", ""},
        {1, {"z1-barrow-out:dialog3_killed"}, true, "TAS2", "str.firetask7c"},
        {1, {"z1-barrow-out:dialog3_killed"}, true, "TAS3", "str.firetask7b"},
        {5, {"z6-acropolis:dialog1_killed", "z6-acropolis:smartuiWater_killed"}, false, "TAS2", ""},
        {4, {"z5-wheel-of-time:minigame1_completed"}, false, "TAS3", "str.aethertask3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " act " + std::to_string(c.act) + " " + c.answer);
        Prepare();
        ToAct(c.act);
        SetFlags(c.flags);
        InGameMenuOpen = c.menuOpen;
        EXPECT_EQ(Ask(c.id), c.answer);
    }
}

TEST_F(DataQueries, LocationAndProgressIdsAnswerOneOrZero) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        const char* id;
        const char* answer;
    };
    const Case cases[] = {
        {"no way back", [] {}, "PREV", "0"},
        {"a way back", [] { GameLevel->exitBack = "back.txt"; }, "PREV", "1"},
        {"a way back under a mini-game",
         [] {
             GameLevel->exitBack = "back.txt";
             OpenMiniGame("normal");
         },
         "PREV", "0"},
        {"first mini-game open", [] {}, "STG1", "1"},
        {"first mini-game won", [] { SetFlags({"here:minigame1_completed"}); }, "STG1", "0"},
        {"second before the first", [] {}, "STG2", "0"},
        {"second after the first", [] { SetFlags({"here:minigame1_completed"}); }, "STG2", "1"},
        {"second won",
         [] {
             SetFlags({"here:minigame1_completed", "here:minigame2_completed"});
         },
         "STG2", "0"},
        {"first won", [] { SetFlags({"here:minigame1_completed"}); }, "LV2S", "1"},
        {"second won", [] { SetFlags({"here:minigame2_completed"}); }, "LV2C", "1"},
        {"inventory elsewhere", [] {}, "INVE", "1"},
        {"inventory locked", [] { GameLevel->levelId = "z1-quicksand"; }, "INVE", "0"},
        {"inventory unlocked",
         [] {
             GameLevel->levelId = "z1-wood-glyphstone";
             SetFlags({"z1-quicksand:inv_unlocked"});
         },
         "INVE", "1"},
        {"map pieces", [] { CurrentPlayer->AddMapPieces(7, true); }, "MACC", "7 str.of 10"},
        {"map pieces all placed",
         [] {
             CurrentPlayer->AddMapPieces(7, true);
             SetFlags({"map_metal:minigame4_completed"});
         },
         "MACC", ""},
        {"map game open", [] {}, "MAPT", "1"},
        {"lightstone before the first dialogue", [] {}, "LVES", "0"},
        {"lightstone after it", [] { SetFlags({"z1-wood-glyphstone:dialog1_killed"}); }, "LVES",
         "1"},
        {"hold", [] {}, "HOLD", "1"},
        {"level name", [] {}, "LVNM", "here"},
        {"unknown", [] {}, "ABCD", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.name);
        Prepare();
        c.prepare();
        EXPECT_EQ(Ask(c.id), c.answer);
    }
}

TEST_F(DataQueries, SettingsAndVersionAreWrittenOut) {
    Prepare();
    GameSettings.soundVolume = 0.5f;
    GameSettings.musicVolume = 1.0f;
    EXPECT_EQ(Ask("SVOL"), "0.5");
    EXPECT_EQ(Ask("MVOL"), "1");

    App.fullScreen = false;
    EXPECT_EQ(Ask("FULL"), "str.switchtofullscreen");
    App.fullScreen = true;
    EXPECT_EQ(Ask("FULL"), "str.switchtowindowed");
    // Forced by the display: nothing to switch to, in either mode.
    Renderer::State().smallDesktop = true;
    EXPECT_EQ(Ask("FULL"), "");
    App.fullScreen = false;
    EXPECT_EQ(Ask("FULL"), "");

    App.versionInfo[0] = "1.";
    App.versionInfo[1] = "b";
    EXPECT_EQ(Ask("BULD"), "str.version: 1.102b");
    App.mainNumber = "7";
    EXPECT_EQ(Ask("BULD"), "str.version: 1.7b");
}

} // namespace
