#include "world/GameButtonX.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MessageReceiver.h"
#include "engine/MouseState.h"
#include "media/SoundManager.h"
#include "tests/world/FakeWorld.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/FxBlend.h"
#include "world/GameModalDialog.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/fx/FxField.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

// Journals the events that reach it.
struct EventLog : MessageReceiver {
    void OnMessage(const void*, uint32_t id, uint32_t) override {
        events.push_back(FourCCText(id));
    }
    std::vector<std::string> events;
};

// A chest in the room at (100, 100) with a 50 x 50 collision rectangle and a sprite, its events
// going to the HUD's receiver, with the sound sets its clicks may play.
class Buttons : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        for (const char* sound : {"cannot", "no_energy", "creak", "thud"}) {
            WriteData(std::string(sound) + ".wav", sound);
        }
        WriteData("sounds.txt", "(set global (cannot cannot.wav) (no_energy no_energy.wav) "
                                "(creak creak.wav) (thud thud.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        WriteItemArt("key2");
        WriteItemArt("k");
        WriteItemArt("rope");
        Reset();
    }

    // Everything fresh for the next case of a table.
    void Reset() {
        StartAgain();
        InstallDialogueHook();
        MakeProfile(0, "Ann");
        receiver.events.clear();
        TestWorld().mainUiReceiver = [this] { return &receiver; };
    }

    // The room with the chest, whose Data keys are given; one step so that its state is known.
    GameButtonX& LoadChest(const std::string& data) {
        Load("(Chest GameButtonX (POSI (position 100 100)) (SPRT) "
             "(COLI (left 0) (right 50) (top 0) (bottom 50)) (Data " +
                 data + "))",
             "(Chest (visName chest) (Data))");
        Run(1);
        hookCalls.clear();
        auto* chest = dynamic_cast<GameButtonX*>(Find("chest"));
        EXPECT_NE(chest, nullptr);
        return *chest;
    }

    static void Click(GameButtonX& button, float x = 110.0f, float y = 110.0f,
                      uint32_t param = KeyboardSystem::kPressed) {
        Mouse.x = x;
        Mouse.y = y;
        button.OnMessage(nullptr, FourCC("LMBD"), param);
    }

    // "file, repeat, name" of each dialogue object made so far.
    std::vector<std::string> Dialogues() const {
        std::vector<std::string> made;
        for (const auto& object : gameLevel->Objects()) {
            if (const auto* dialog = dynamic_cast<const GameModalDialog*>(object.get())) {
                made.push_back(dialog->fileName + (dialog->repeat ? " repeat" : "") +
                               (dialog->visName.empty() ? "" : " as " + dialog->visName));
            }
        }
        return made;
    }

    std::string& Held() { return gameLevel->levelSystem->heldItemName; }

    EventLog receiver;
};

struct ClickCase {
    const char* name;
    std::string data; // the chest's Data keys
    std::function<void(GameButtonX&)> before;
    std::vector<std::string> events;
    std::vector<std::string> dialogues;
    std::vector<std::string> sounds;
    std::string heldAfter;
    float x = 110.0f;
    uint32_t param = KeyboardSystem::kPressed;
};

TEST_F(Buttons, TheClickRuleRefusesOrActsStepByStep) {
    const auto hold = [](const char* item) {
        return [item](GameButtonX&) { GameLevel->levelSystem->heldItemName = item; };
    };
    const auto tool = [](const char* name) {
        return [name](GameButtonX&) {
            TestWorld().permanentToolInUse = [name] { return std::optional<std::string>(name); };
        };
    };
    const std::string posted = "(clickEvent OPEN) (clickSoundName creak)";
    const ClickCase cases[] = {
        {"the level fades out",
         "(clickEvent OPEN)",
         [](GameButtonX&) { GameLevel->blendOutPending = true; },
         {},
         {},
         {},
         ""},
        {"a dialogue is shown",
         "(clickEvent OPEN)",
         [this](GameButtonX&) { dialogueShown = true; },
         {},
         {},
         {},
         ""},
        {"no receiver",
         "(clickEvent OPEN)",
         [](GameButtonX& chest) { chest.eventReceiver = nullptr; },
         {},
         {},
         {},
         ""},
        {"disabled", "(clickEvent OPEN) (enabled 0)", {}, {}, {}, {}, ""},
        {"the wand blocks it",
         "(clickEvent OPEN) (blockMagicItemClick 1)",
         tool("wand"),
         {},
         {},
         {},
         ""},
        {"another tool does not block it",
         "(clickEvent OPEN) (blockMagicItemClick 1)",
         tool("orb"),
         {"OPEN"},
         {},
         {},
         ""},
        {"held, not newly pressed", "(clickEvent OPEN)", {}, {}, {}, {}, "", 110.0f, 0},
        {"outside the rectangle", "(clickEvent OPEN)", {}, {}, {}, {}, "", 151.0f},
        {"empty-handed with its message",
         "(clickEvent OPEN) (emptyClickMessage m\\empty.txt)",
         {},
         {},
         {"m\\empty.txt"},
         {},
         ""},
        {"a missing click flag",
         "(clickEvent OPEN) (enableClickFlag lit) (cantClickMessage m\\no.txt)",
         {},
         {},
         {"m\\no.txt"},
         {"cannot"},
         ""},
        {"the wrong tool",
         "(clickEvent OPEN) (magicActivator wand) (magicActivatorMessage m\\wand.txt)",
         tool("orb"),
         {},
         {"m\\wand.txt"},
         {},
         ""},
        {"a magic activator with no tool bar",
         "(clickEvent OPEN) (magicActivator wand)",
         {},
         {"OPEN"},
         {},
         {},
         ""},
        {"activator key1, key2 held",
         "(clickEvent OPEN) (activator key1)",
         hold("key2"),
         {"OPEN"},
         {},
         {},
         ""},
        {"activator key1, k held",
         "(clickEvent OPEN) (activator key1)",
         hold("k"),
         {},
         {},
         {},
         "k"},
        {"activator key1, nothing held", "(clickEvent OPEN) (activator key1)", {}, {}, {}, {}, ""},
        {"one-character activator, nothing held",
         "(clickEvent OPEN) (activator k)",
         {},
         {"OPEN"},
         {},
         {},
         ""},
        {"a plain button with an item held", "(clickEvent OPEN)", hold("rope"), {}, {}, {}, "rope"},
        {"enableItemClick keeps the item",
         "(clickEvent OPEN) (enableItemClick 1)",
         hold("rope"),
         {"OPEN"},
         {},
         {},
         "rope"},
        {"a tutorial button with an item held",
         "(clickEvent OPEN) (tutorialButton 1)",
         hold("rope"),
         {"OPEN"},
         {},
         {},
         "rope"},
        {"enough energy",
         "(clickEvent OPEN) (enableClickEnergy 2)",
         [](GameButtonX&) { CurrentPlayer->AddEnergy(2, false); },
         {"OPEN"},
         {},
         {},
         ""},
        {"the full click",
         posted + " (clickMessage m\\opened.txt)",
         {},
         {"OPEN"},
         {"m\\opened.txt repeat as chest"},
         {"creak"},
         ""},
        {"clickEvent over clickBlockEvent",
         posted + " (clickBlockEvent BLCK)",
         {},
         {"OPEN"},
         {},
         {"creak"},
         ""},
        {"clickBlockEvent alone",
         "(clickBlockEvent BLCK) (clickSoundName creak)",
         {},
         {"BLCK"},
         {},
         {"creak"},
         ""},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        dialogueShown = false;
        GameButtonX& chest = LoadChest(c.data);
        if (c.before) {
            c.before(chest);
        }
        const std::size_t played = PlayedFiles().size();
        Click(chest, c.x, 110.0f, c.param);
        dialogueShown = false;
        GameLevel->blendOutPending = false;
        gameLevel->Update(kStep); // delivers the posted events
        EXPECT_EQ(receiver.events, c.events);
        EXPECT_EQ(Dialogues(), c.dialogues);
        const std::vector<std::string> all = PlayedFiles();
        EXPECT_EQ(
            std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(played), all.end()),
            c.sounds);
        EXPECT_EQ(Held(), c.heldAfter);
        EXPECT_FALSE(chest.dead);
    }
}

TEST_F(Buttons, TooLittleEnergyExplainsOnceThenSaysNoEnergy) {
    GameButtonX& chest = LoadChest("(clickEvent OPEN) (enableClickEnergy 2)");
    CurrentPlayer->AddEnergy(1, false);
    Click(chest);
    EXPECT_EQ(CurrentPlayer->GetFlag("global:glyphstoneDialogShown"), 1);
    EXPECT_EQ(Dialogues(), std::vector<std::string>{GameButtonX::kLowEnergyFirstDialog});
    EXPECT_TRUE(PlayedFiles().empty());
    Click(chest);
    EXPECT_EQ(Dialogues(), (std::vector<std::string>{GameButtonX::kLowEnergyFirstDialog,
                                                     GameButtonX::kLowEnergyDialog}));
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"no_energy"});
    gameLevel->Update(kStep);
    EXPECT_TRUE(receiver.events.empty());
    EXPECT_EQ(CurrentPlayer->GetEnergy(), 1); // spent by whoever takes the event, not here
}

TEST_F(Buttons, TheMatchingKeyLeavesTheCursorAndTheChestFadesAwayForGood) {
    GameButtonX& chest = LoadChest("(clickEvent OPEN) (activator key1) (killOnClick 1) "
                                   "(fadeOnDisable 1) (killOnDisable 1) (disableTime 2) "
                                   "(disableSound thud)");
    Held() = "key2";
    Click(chest);
    EXPECT_EQ(Held(), "");
    EXPECT_EQ(hookCalls.front(), "hide");
    EXPECT_EQ(Flag("chest_killed"), 1);
    EXPECT_NE(PlayerBytes("0.pla").find("chest_killed"), std::string::npos);
    const std::vector<FxBlendOut*> blends = All<FxBlendOut>();
    ASSERT_EQ(blends.size(), 1u);
    EXPECT_EQ(blends[0]->time, 2.0f);
    EXPECT_EQ(blends[0]->targets, std::list<Object*>{&chest});
    EXPECT_EQ(PlayedFiles().back(), "thud");
    Run(60);
    EXPECT_GT(Alpha("chest"), 0.4f);
    EXPECT_LT(Alpha("chest"), 0.6f);
    EXPECT_FALSE(chest.dead);
    Run(61);
    EXPECT_EQ(Find("chest"), nullptr);
    gameLevel->LoadScene("levels/room.txt", true);
    Run(1);
    EXPECT_EQ(Find("chest"), nullptr);
}

TEST_F(Buttons, ASecondClickDuringTheFadeKillsAtOnce) {
    GameButtonX& chest =
        LoadChest("(clickEvent OPEN) (killOnClick 1) (fadeOnDisable 1) (killOnDisable 1)");
    Click(chest);
    Run(10);
    ASSERT_FALSE(chest.dead);
    Click(chest);
    EXPECT_TRUE(chest.dead);
    EXPECT_EQ(All<FxBlendOut>().size(), 1u);
    Run(1);
    EXPECT_EQ(Find("chest"), nullptr);
}

TEST_F(Buttons, WithoutAFadeTheClickKillsTheButton) {
    for (const char* data : {"(killOnClick 1) (tutorialButton 1)",
                             "(killOnClick 1) (tutorialButton 1) (fadeOnDisable 1)"}) {
        SCOPED_TRACE(data);
        Reset();
        // Without a sprite there is nothing to fade.
        Load(std::string("(Chest GameButtonX (POSI (position 100 100)) "
                         "(COLI (left 0) (right 50) (top 0) (bottom 50)) (Data ") +
                 data + "))",
             "(Chest (visName chest) (Data))");
        Run(1);
        auto& chest = dynamic_cast<GameButtonX&>(*Find("chest"));
        Held() = "rope";
        Click(chest);
        EXPECT_TRUE(chest.dead);
        EXPECT_EQ(Flag("chest_killed"), 1);
        EXPECT_EQ(Held(), "rope"); // a tutorial button leaves the cursor alone
        EXPECT_TRUE(All<FxBlendOut>().empty());
    }
}

TEST_F(Buttons, WithoutLevelOrPlayerFlagsReadZeroWritesAreSkippedAndEnergyIsRefused) {
    GameButtonX& chest = LoadChest("(clickEvent OPEN) (enableClickEnergy 1)");
    CurrentPlayer = nullptr;
    Click(chest);
    gameLevel->Update(kStep);
    EXPECT_TRUE(receiver.events.empty());
    EXPECT_TRUE(Dialogues().empty());

    Reset();
    GameButtonX& other = LoadChest("(clickEvent OPEN) (killOnClick 1) (fadeOnDisable 1)");
    GameLevel = nullptr; // a button on a menu screen
    Click(other);
    Click(other); // the flag could not be kept, so the second click fades it again
    GameLevel = gameLevel.get();
    gameLevel->Update(kStep);
    EXPECT_EQ(receiver.events, (std::vector<std::string>{"OPEN", "OPEN"}));
    EXPECT_EQ(All<FxBlendOut>().size(), 2u);
    EXPECT_EQ(Flag("chest_killed"), 0);
}

TEST_F(Buttons, TheSparkleRunsWhileEnabledAndStopsOnTheClick) {
    WriteData("gfx/fx/spark.prt", "(alpha 0 1) (size 0 4) (max_parts 50) (flow 0 60) "
                                  "(vel 0 0 0) (gravity 0)\n");
    GameButtonX& chest = LoadChest("(clickEvent OPEN) (overFx (fx gfx/fx/spark.prt 12 34))");
    FxField* field = chest.OverFx();
    ASSERT_NE(field, nullptr);
    ASSERT_EQ(field->Emitters().size(), 1u);
    EXPECT_EQ(field->Emitters()[0]->x, 12.0f);
    EXPECT_EQ(field->Emitters()[0]->y, 34.0f);
    EXPECT_TRUE(field->Emitters()[0]->emitting); // switched on by the step LoadChest ran
    Click(chest);
    EXPECT_FALSE(field->active);
    EXPECT_FALSE(field->Emitters()[0]->emitting);
    chest.enabled = false;
    Run(1);
    EXPECT_FALSE(field->active);
}

TEST_F(Buttons, KeysAndDefaults) {
    GameButtonX& chest = LoadChest("(mapIndicator z1-barrow-out) (clickEvent OP) "
                                   "(enableTime 0.5)");
    EXPECT_EQ(chest.mapIndicator, "z1-barrow-out");
    EXPECT_EQ(chest.clickEvent, FourCC("OP"));
    EXPECT_EQ(chest.enableTime, 0.5f);
    EXPECT_EQ(chest.disableTime, 3.0f);
    EXPECT_EQ(chest.updateDelay, -1.0f);
}

} // namespace
