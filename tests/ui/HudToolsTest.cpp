#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "engine/PositionSystem.h"
#include "media/AnimPlayer.h"
#include "media/ParticleEmitter.h"
#include "media/SpriteRenderSystem.h"
#include "tests/ui/HudFixture.h"
#include "ui/ModalProcesses.h"
#include "ui/hud/UIFxFlyTo.h"
#include "ui/hud/UIMapPieceFx.h"
#include "ui/hud/UIPermanentSlots.h"
#include "world/GameModalDialog.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string Playing(Object& object) {
    const auto* sprite = dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
    return sprite != nullptr ? sprite->player.CurrentAnimName() : "(no sprite)";
}

std::vector<std::string> Dialogues(ObjectsManager& scene) {
    std::vector<std::string> files;
    for (const auto& object : scene.Objects()) {
        if (auto* dialog = dynamic_cast<GameModalDialog*>(object.get())) {
            files.push_back(dialog->name + " " + dialog->fileName);
        }
    }
    return files;
}

class HudTools : public HudTest {
protected:
    // A mini-game over the game level, its level system ready to be asked to leave.
    Level& MiniGame(const std::string& name) {
        miniGame = std::make_unique<Level>();
        miniGame->Load();
        miniGame->name = name;
        ModalLevel = miniGame.get();
        return *miniGame;
    }

    void TearDown() override {
        ModalLevel = nullptr;
        miniGame.reset();
        HudTest::TearDown();
    }

    std::unique_ptr<Level> miniGame;
};

TEST_F(HudTools, ALaunchedToolIsCountedAndItsSlotShownOnlyAfterTheFlight) {
    LoadHud();
    Run(kStepTime);
    EXPECT_FALSE(Tool(2).active) << "not owned";
    layers.LaunchTool(2);
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(2), 1);
    ASSERT_EQ(OfClass("UIFxFlyTo").size(), 1u);
    Run(1.5f);
    EXPECT_FALSE(Tool(2).active);
    Run(0.2f);
    EXPECT_TRUE(Tool(2).active);
    EXPECT_EQ(Playing(Tool(2)), "chromatic_lens_idle");

    // Outside the four tools: refused. A HUD without that slot still counts it.
    Tools().LaunchTool(4);
    Tools().LaunchTool(-1);
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(3), 0);
    Fresh();
    WriteScreen("hud", "(UIPermanentSlot (POSI) (Data (slotName wand))) (UIPermanentSlotMngr)");
    Layer(MainUI, "hud");
    layers.LaunchTool(3);
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(3), 1);
    EXPECT_TRUE(OfClass("UIFxFlyTo").empty());
}

TEST_F(HudTools, SelectingPutsTheToolOnTheCursorAndASecondClickLetsItGo) {
    CurrentPlayer->AddPermanentItem(1, 0);
    CurrentPlayer->AddPermanentItem(1, 3);
    LoadHud();
    Run(kStepTime);
    ClickTool(0);
    EXPECT_EQ(Tools().HeldTool(), "wand");
    EXPECT_TRUE(ToolCursorShown);
    EXPECT_EQ(ToolCursorAnim.CurrentAnimName(), "wand_cursor");
    EXPECT_TRUE(GameLevel->levelSystem->toolInUse);
    EXPECT_EQ(Playing(Tool(0)), "wand_active");
    ClickTool(0);
    EXPECT_EQ(Tools().HeldTool(), "");
    EXPECT_FALSE(ToolCursorShown);
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
    EXPECT_EQ(Playing(Tool(0)), "wand_idle");

    // The orb never shows on the cursor; outside a mini-game it opens its hint and is put back.
    ClickTool(3);
    EXPECT_FALSE(ToolCursorShown);
    EXPECT_EQ(Dialogues(*MainUI), std::vector<std::string>{"dialog1999 menus\\tutorials\\sorb.txt"});
    EXPECT_EQ(Tools().HeldTool(), "");

    // No tool slot reacts while an item is held.
    Hold("acorn");
    ClickTool(0);
    EXPECT_EQ(Tools().HeldTool(), "");
    EXPECT_FALSE(ToolCursorShown);
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
}

// A mini-game puts the tool in hand away (on its entry, and when it is left): the next click on
// that slot chooses the tool again rather than letting go of a tool no longer in hand.
TEST_F(HudTools, AToolPutAwayByAMiniGameIsChosenAgainByOneClick) {
    CurrentPlayer->AddPermanentItem(1, 0);
    CurrentPlayer->AddPermanentItem(1, 2);
    LoadHud();
    Run(kStepTime);
    WriteScene("slab", "gestures");
    ClickTool(0);
    ASSERT_TRUE(GameLevel->levelSystem->toolInUse);
    std::unique_ptr<GameModalProc> entry = GameModalProc::Create("levels/slab.txt", {});
    ASSERT_NE(ModalLevel, nullptr);
    EXPECT_FALSE(GameLevel->levelSystem->toolInUse);
    EXPECT_FALSE(ToolCursorShown);
    EXPECT_EQ(Tools().HeldTool(), "");
    EXPECT_EQ(Playing(Tool(0)), "wand_idle");

    ClickTool(0);
    EXPECT_EQ(Tools().HeldTool(), "wand");
    EXPECT_TRUE(ToolCursorShown);
    EXPECT_TRUE(GameLevel->levelSystem->toolInUse);
    EXPECT_EQ(Playing(Tool(0)), "wand_active");

    // Put away by the game's leave, the same.
    layers.ResetToolSlots();
    EXPECT_EQ(Tools().HeldTool(), "");
    ClickTool(0);
    EXPECT_EQ(Tools().HeldTool(), "wand");

    // The lens, whose slot keeps its look when the tools are put away, keeps its choice too.
    ClickTool(2);
    ASSERT_EQ(Tools().HeldTool(), "chromatic_lens");
    layers.ResetToolSlots();
    EXPECT_EQ(Tools().HeldTool(), "chromatic_lens");

    entry.reset();
    ObjectsManager::Delete(ModalLevel);
    ModalLevel = nullptr;
}

TEST_F(HudTools, TheLensLightsTheFirstHiddenThingForOneChargeOrSaysThereIsNone) {
    CurrentPlayer->AddPermanentItem(2, 2);
    LoadHud();
    Run(kStepTime);
    ClickTool(2);
    EXPECT_EQ(Dialogues(*MainUI),
              std::vector<std::string>{"dialog999 menus\\tutorials\\itemsNotFound.txt"});
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(2), 2) << "the charge is kept";

    WriteData("scripts/objects.txt",
              "(Final (Hidden GameHiddenObject (POSI) (SPRT (file gfx\\objects\\acorn.ani)) "
              "(COLI (left 0) (right 10) (top 0) (bottom 10))))\n");
    WriteData("levels/wood.txt", "(Meta (Name wood) (levelPath levels\\wood.txt))\n(Objects "
                                 "(Hidden (visName chromatic_lens_spare) (POSI (position 5 5))) "
                                 "(Hidden (visName acorn) (POSI (position 300 200))))\n");
    GameLevel->LoadDefinitions("scripts/objects.txt");
    GameLevel->LoadScene("levels/wood.txt", true);
    ClickTool(2); // lets the lens go
    ClickTool(2);
    ASSERT_NE(Tools().LensTarget(), nullptr);
    EXPECT_EQ(Tools().LensTarget()->visName, "acorn") << "never the lens itself";
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(2), 1);
    EXPECT_FLOAT_EQ(Tools().LensParticles()->x, 300.0f);

    // Collected mid-glow: the glow ends at once, the charge stays spent.
    Run(5.0f);
    EXPECT_TRUE(Tools().LensParticlesShown() || Tools().lensTime > 0.0f);
    for (const auto& object : GameLevel->Objects()) {
        if (object != nullptr && object->visName == "acorn") {
            object->dead = true;
        }
    }
    GameLevel->RemoveDead();
    Run(kStepTime);
    EXPECT_EQ(Tools().LensTarget(), nullptr);
    EXPECT_FALSE(Tools().LensParticlesShown());
    EXPECT_EQ(Tools().lensTime, 0.0f);
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(2), 1);
}

TEST_F(HudTools, TheLensGlowEndsAfterTwentySecondsAndATargetWhoseSceneWentIsGone) {
    CurrentPlayer->AddPermanentItem(3, 2);
    WriteData("scripts/objects.txt",
              "(Final (Hidden GameHiddenObject (POSI) (COLI (left 0) (right 10) (top 0) "
              "(bottom 10))))\n");
    WriteData("levels/wood.txt", "(Meta (Name wood) (levelPath levels\\wood.txt))\n(Objects "
                                 "(Hidden (visName acorn) (POSI (position 300 200))))\n");
    GameLevel->LoadDefinitions("scripts/objects.txt");
    GameLevel->LoadScene("levels/wood.txt", true);
    LoadHud();
    Run(kStepTime);
    ClickTool(2);
    ASSERT_NE(Tools().LensTarget(), nullptr);
    Run(19.9f);
    EXPECT_NE(Tools().LensTarget(), nullptr);
    Run(0.2f);
    EXPECT_EQ(Tools().LensTarget(), nullptr);

    ClickTool(2);
    ClickTool(2);
    ASSERT_NE(Tools().LensTarget(), nullptr);
    GameLevel = nullptr;
    gameLevel.reset();
    Run(kStepTime);
    EXPECT_EQ(Tools().LensTarget(), nullptr);
}

// The orb by the mini-game it is used in.
TEST_F(HudTools, TheOrbSolvesTheMiniGamesThatAllowItForOneCharge) {
    struct Case {
        const char* game;
        int charges;
        bool gestureTutorialDone;
        bool solved;
    };
    const Case cases[] = {
        {"pipes", 1, false, true},         {"pipes", 0, false, false},
        {"crystals", 2, false, false},     {"gestures", 1, false, false},
        {"gestures", 1, true, true},       {"telescope", 1, false, true},
        {"steam_machine", 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.game) + " " + std::to_string(c.charges));
        Fresh();
        GameLevel->name = "wood";
        CurrentPlayer->SetPermanentCount(c.charges, 3);
        if (c.gestureTutorialDone) {
            CurrentPlayer->SetFlag("global", "tutorial_gesture_completed", 1);
        }
        CurrentPlayer->AddItemToSlot("gear_small1", 0);
        LoadHud();
        Tool(3).SetActive(true);
        Run(kStepTime);
        Level& game = MiniGame(c.game);
        const std::size_t sounds = Played().size();
        ClickTool(3);
        const std::vector<std::string> all = Played();
        const std::vector<std::string> played(all.begin() + static_cast<long>(sounds), all.end());
        EXPECT_EQ(game.won, c.solved);
        EXPECT_EQ(game.levelSystem->leaveArmed, c.solved);
        EXPECT_EQ(CurrentPlayer->GetFlag("wood:" + std::string(c.game) + "_completed"),
                  c.solved ? 1 : 0);
        EXPECT_EQ(CurrentPlayer->GetPermanentCount(3), c.solved ? c.charges - 1 : c.charges);
        const std::vector<std::string> expected =
            c.solved ? std::vector<std::string>{"scrying_orb", "game_won"}
                     : std::vector<std::string>{"cannot"};
        EXPECT_EQ(played, expected);
        if (c.solved) {
            EXPECT_FALSE(Tool(3).active) << "the last charge spent";
        }
        const std::string game_name = c.game;
        if (game_name == "telescope") {
            EXPECT_EQ(OfClass("UIAddMapPiece").size(), 1u);
            EXPECT_EQ(CurrentPlayer->GetFlag("wood:hermitage_mappiece1_killed"), 1);
        }
        if (game_name == "steam_machine") {
            EXPECT_EQ(CurrentPlayer->CountItem("gear_small"), 0);
            EXPECT_EQ(CurrentPlayer->GetFlag("wood:gear_big2_killed"), 1);
        }
        ModalLevel = nullptr;
        miniGame.reset();
    }
}

TEST_F(HudTools, TheOrbDoesNothingInAMiniGameAlreadyWonOrLeft) {
    CurrentPlayer->SetPermanentCount(1, 3);
    LoadHud();
    Run(kStepTime);
    for (const int which : {0, 1, 2}) {
        Level& game = MiniGame("pipes");
        game.won = which == 0;
        game.returnFlag = which == 1;
        game.levelSystem->leaveArmed = which == 2;
        ClickTool(3);
        EXPECT_EQ(CurrentPlayer->GetPermanentCount(3), 1);
    }
}

TEST_F(HudTools, TheLensHintOpensOncePerProfileAndNeverDuringAMiniGame) {
    LoadHud();
    Run(kStepTime);
    MiniGame("pipes");
    layers.LaunchTool(2);
    Run(4.0f);
    EXPECT_TRUE(OfClass("UIFxFlyTo").empty()) << "landed and its trail gone";
    EXPECT_TRUE(Dialogues(*MainUI).empty());
    ModalLevel = nullptr;
    layers.LaunchTool(2);
    Run(4.0f);
    EXPECT_EQ(Dialogues(*MainUI),
              std::vector<std::string>{"dialog9999 menus\\tutorials\\ChamberDoor\\msg6.txt"});
    layers.LaunchTool(2);
    Run(4.0f);
    EXPECT_EQ(Dialogues(*MainUI).size(), 1u);
    EXPECT_EQ(CurrentPlayer->GetPermanentCount(2), 3);
}

TEST_F(HudTools, AToolFliesFromTheMouseToItsSlotAndLandsThere) {
    LoadHud();
    Mouse.x = 100.0f;
    Mouse.y = 100.0f;
    layers.LaunchTool(0);
    auto* fly = dynamic_cast<UIFxFlyTo*>(OfClass("UIFxFlyTo").at(0));
    ASSERT_NE(fly->Art(), nullptr);
    for (int step = 0; step < 96; ++step) {
        fly->Update(kStepTime);
    }
    const auto* position = dynamic_cast<PositionChunk*>(fly->Art()->GetChunk(FourCC("POSI"), 0));
    EXPECT_FLOAT_EQ(position->x, 742.0f);
    EXPECT_FLOAT_EQ(position->y, 697.0f);
}

} // namespace
