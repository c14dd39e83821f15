#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "media/SoundManager.h"
#include "tests/world/FakeWorld.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/FxBlend.h"
#include "world/GameHiddenObject.h"
#include "world/GameModalDialog.h"
#include "world/NormalLevelSystem.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

// A lamp in the room at (100, 100) with a 50 x 50 collision rectangle, the sound sets of a
// pick-up and a refusal, and the lamp's cursor picture.
class HiddenObjects : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        WriteData("pickup.wav", "pickup");
        WriteData("cannot.wav", "cannot");
        WriteData("chime.wav", "chime");
        WriteData("sounds.txt", "(set global (pickup pickup.wav) (cannot cannot.wav) "
                                "(chime chime.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        WriteItemArt("lamp");
    }

    // The room with the lamp, whose Data keys are given; one step so that its state is known.
    GameHiddenObject& LoadLamp(const std::string& data) {
        Load("(Lamp GameHiddenObject (POSI (position 100 100)) "
             "(COLI (left 0) (right 50) (top 0) (bottom 50)) (Data " +
                 data + "))",
             "(Lamp (visName lamp) (Data))");
        Run(1);
        hookCalls.clear();
        auto* lamp = dynamic_cast<GameHiddenObject*>(Find("lamp"));
        EXPECT_NE(lamp, nullptr);
        return *lamp;
    }

    // A left press at the point, as the keyboard system delivers it.
    static void Click(GameHiddenObject& object, float x, float y,
                      uint32_t param = KeyboardSystem::kPressed) {
        Mouse.x = x;
        Mouse.y = y;
        object.OnMessage(nullptr, FourCC("LMBD"), param);
    }

    // The dialogue files opened by objects of the scene so far.
    std::vector<std::string> DialogueFiles() const {
        std::vector<std::string> files;
        for (const auto& object : gameLevel->Objects()) {
            if (const auto* dialog = dynamic_cast<const GameModalDialog*>(object.get())) {
                files.push_back(dialog->fileName + " delay " +
                                std::to_string(static_cast<int>(dialog->delay)));
            }
        }
        return files;
    }

    void FillInventory() {
        const char* items[] = {"rope", "key", "coin", "map", "gem", "cup", "bell", "book"};
        for (int i = 0; i < 8; ++i) {
            CurrentPlayer->AddItemToSlot(items[i], i);
        }
    }
};

TEST_F(HiddenObjects, APressInsideTakesTheItemOntoTheCursorAndKillsTheObjectForGood) {
    GameHiddenObject& lamp = LoadLamp("");
    Click(lamp, 125.0f, 150.0f); // the bottom edge counts
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "lamp");
    EXPECT_EQ(hookCalls, std::vector<std::string>{"show gfx/objects/lamp.ani"});
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"pickup"});
    // The flag is set before the object goes, so a save taken at once keeps it gone.
    EXPECT_EQ(Flag("lamp_killed"), 1);
    EXPECT_NE(PlayerBytes("0.pla").find("lamp_killed"), std::string::npos);
    Run(1);
    EXPECT_EQ(Find("lamp"), nullptr);
    gameLevel->LoadScene("levels/room.txt", true);
    Run(1);
    EXPECT_EQ(Find("lamp"), nullptr);
}

TEST_F(HiddenObjects, ALeftPressReachesItThroughTheLevelsKeyboardSystem) {
    Load("(Lamp GameHiddenObject (POSI (position 100 100)) (KEYB) "
         "(COLI (left 0) (right 50) (top 0) (bottom 50)))",
         "(Lamp (visName lamp) (Data))");
    Run(1);
    Mouse = MouseState();
    Mouse.x = 120.0f;
    Mouse.y = 120.0f;
    Mouse.leftHeld = Mouse.leftPressed = true;
    Run(1);
    Mouse = MouseState();
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "lamp");
    EXPECT_EQ(Find("lamp"), nullptr);
}

TEST_F(HiddenObjects, ItsOwnClickSoundPlaysOnThePickUp) {
    GameHiddenObject& lamp = LoadLamp("(clickSoundName chime)");
    Click(lamp, 110.0f, 110.0f);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"chime"});
}

struct SilentRefusal {
    const char* name;
    const char* data; // the lamp's Data keys
    float x;
    float y;
    uint32_t param;
    std::function<void(SceneObjects&)> before;
};

TEST_F(HiddenObjects, SilentRefusalsLeaveEverythingAsItWas) {
    const SilentRefusal cases[] = {
        {"outside the rectangle", "", 151.0f, 110.0f, KeyboardSystem::kPressed, {}},
        {"button held, not newly pressed", "", 110.0f, 110.0f, 0, {}},
        {"disabled", "(enabled 0)", 110.0f, 110.0f, KeyboardSystem::kPressed, {}},
        {"an activator", "(activator oil)", 110.0f, 110.0f, KeyboardSystem::kPressed, {}},
        {"an item already held", "", 110.0f, 110.0f, KeyboardSystem::kPressed,
         [](SceneObjects&) { GameLevel->levelSystem->heldItemName = "rope"; }},
        {"another tool in use", "(magicActivator wand)", 110.0f, 110.0f, KeyboardSystem::kPressed,
         [](SceneObjects&) {
             FakeWorld& hooks = TestWorld();
             hooks.permanentToolInUse = [] { return std::optional<std::string>("orb"); };
         }},
    };
    for (const SilentRefusal& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        InstallDialogueHook();
        MakeProfile(0, "Ann");
        GameHiddenObject& lamp = LoadLamp(c.data);
        if (c.before) {
            c.before(*this);
        }
        const std::string heldBefore = gameLevel->levelSystem->heldItemName;
        const std::size_t played = PlayedFiles().size();
        Click(lamp, c.x, c.y, c.param);
        EXPECT_EQ(gameLevel->levelSystem->heldItemName, heldBefore);
        EXPECT_EQ(Flag("lamp_killed"), 0);
        EXPECT_FALSE(lamp.dead);
        EXPECT_EQ(PlayedFiles().size(), played);
        EXPECT_TRUE(DialogueFiles().empty());
    }
}

TEST_F(HiddenObjects, TheRightToolOrAHudWithoutToolBarLetsAMagicObjectBeTaken) {
    for (const bool withToolBar : {false, true}) {
        SCOPED_TRACE(withToolBar);
        StartAgain();
        InstallDialogueHook();
        MakeProfile(0, "Ann");
        if (withToolBar) {
            FakeWorld& hooks = TestWorld();
            hooks.permanentToolInUse = [] { return std::optional<std::string>("wand"); };
        }
        GameHiddenObject& lamp = LoadLamp("(magicActivator wand)");
        Click(lamp, 110.0f, 110.0f);
        EXPECT_EQ(gameLevel->levelSystem->heldItemName, "lamp");
    }
}

TEST_F(HiddenObjects, AMissingClickFlagPlaysCannotAndOpensItsMessageAtOnce) {
    for (const char* message : {"", "menus\\tutorials\\not_yet.txt"}) {
        SCOPED_TRACE(message);
        StartAgain();
        InstallDialogueHook();
        MakeProfile(0, "Ann");
        CurrentPlayer->SetFlag("room", "a", 1);
        const std::string keys =
            "(enableClickFlag a b)" +
            (*message != 0 ? " (cantClickMessage " + std::string(message) + ")" : std::string());
        GameHiddenObject& lamp = LoadLamp(keys);
        const std::size_t played = PlayedFiles().size();
        Click(lamp, 110.0f, 110.0f);
        ASSERT_EQ(PlayedFiles().size(), played + 1);
        EXPECT_EQ(PlayedFiles().back(), "cannot");
        EXPECT_EQ(DialogueFiles(), *message != 0
                                       ? std::vector<std::string>{std::string(message) + " delay 0"}
                                       : std::vector<std::string>{});
        EXPECT_EQ(gameLevel->levelSystem->heldItemName, "");
        EXPECT_FALSE(lamp.dead);
    }
}

TEST_F(HiddenObjects, AFullInventoryOpensItsDialogueUnlessASlotHoldsTheSameKind) {
    GameHiddenObject& lamp = LoadLamp("");
    FillInventory();
    Click(lamp, 110.0f, 110.0f);
    EXPECT_EQ(DialogueFiles(),
              std::vector<std::string>{"menus\\tutorials\\inventory_full.txt delay 0"});
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "");
    EXPECT_FALSE(lamp.dead);

    // "lamp 2" is of the lamp's kind: the pick-up goes on.
    CurrentPlayer->RemoveInventoryItem("bell");
    CurrentPlayer->AddItemToSlot("lamp 2", 6);
    Click(lamp, 110.0f, 110.0f);
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "lamp");
    EXPECT_TRUE(lamp.dead);
}

TEST_F(HiddenObjects, WithoutAGameLevelNothingIsTakenAndNothingIsLost) {
    GameHiddenObject& lamp = LoadLamp("");
    GameLevel = nullptr;
    Click(lamp, 110.0f, 110.0f);
    EXPECT_FALSE(lamp.dead);
    EXPECT_EQ(gameLevel->levelSystem->heldItemName, "");
    EXPECT_TRUE(PlayedFiles().empty());
}

} // namespace
