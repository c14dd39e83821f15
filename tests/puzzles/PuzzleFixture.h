#pragma once

// A location "gate" with a profile, and a mini-game scene loaded into ModalLevel over it, stepped
// by the test; mouse presses and Escape reach the scene's objects through its keyboard system, as
// in a game step.

#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Random.h"
#include "media/AnimPlayer.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "puzzles/PuzzleClasses.h"
#include "tests/world/WorldFixture.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/WorldClasses.h"

#include <memory>
#include <string>
#include <vector>

class PuzzleTest : public WorldTest {
protected:
    static constexpr float kStep = 1.0f / 60.0f;

    void SetUp() override {
        WorldTest::SetUp();
        RegisterWorldClasses();
        RegisterPuzzleClasses();
        std::string sets = "(set global";
        for (const char* sound : {"game_won", "waterflow", "metal_scrape", "pick1"}) {
            WriteData(std::string(sound) + ".wav", sound);
            sets += std::string(" (") + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("gfx/fx/object_hili3.prt", "(max_parts 4)\n(flow 0 10)\n");
        WriteData("levels/gate.txt", "(Meta (Name gate) (Type normal))\n(Objects)\n");
        MakeProfile(0, "Ann");
        MakeGameLevel().LoadScene("levels/gate.txt", true);
    }

    void TearDown() override {
        ObjectsManager::Delete(ModalLevel);
        ModalLevel = nullptr;
        ReleaseAllKeys();
        Keyboard.Reset();
        Mouse = MouseState();
        HeldItemShown = false;
        HeldItemAnim = AnimPlayer();
        WorldTest::TearDown();
    }

    // "scripts/objects.txt" with the game's definitions, then the mini-game scene of these
    // objects loaded into a new ModalLevel ("minigame1", Type "puzzle").
    Level& LoadMiniGame(const std::string& definitions, const std::string& objects) {
        WriteData("scripts/objects.txt", "(Final\n" + definitions + "\n)\n");
        WriteData("levels/board.txt",
                  "(Meta (Name minigame1) (Type puzzle))\n(Objects\n" + objects + "\n)\n");
        ObjectsManager::Delete(ModalLevel);
        ModalLevel = nullptr;
        EnsureLevel(ModalLevel).LoadScene("levels/board.txt", true);
        return *ModalLevel;
    }

    // Steps of the mini-game level, its dead objects removed after each.
    void Step(int steps = 1, float dt = kStep) {
        for (int i = 0; i < steps && ModalLevel != nullptr; ++i) {
            Keyboard.Update();
            ModalLevel->Update(dt);
            ModalLevel->RemoveDead();
            Mouse.leftPressed = Mouse.leftHeld = Mouse.rightPressed = Mouse.rightHeld = false;
        }
    }

    // One step in which the button went down at (x, y).
    void Press(float x, float y, bool right = false) {
        Mouse.x = x;
        Mouse.y = y;
        (right ? Mouse.rightHeld : Mouse.leftHeld) = true;
        (right ? Mouse.rightPressed : Mouse.leftPressed) = true;
        Step();
    }

    // One step in which Escape went down, then up again.
    void PressEscape() {
        SetKeyDown(kKeyEscape, true);
        Step();
        SetKeyDown(kKeyEscape, false);
        TakeKeyPress(kKeyEscape);
        // Released, then up: only a key seen up reads as a new press.
        Keyboard.Update();
        Keyboard.Update();
    }

    void HoldAnItem() {
        WriteItemArt("key");
        HeldItemAnim.Load("gfx/objects/key.ani");
        HeldItemShown = true;
    }

    // The objects of the mini-game level of that class, in scene order.
    template <typename T>
    std::vector<T*> All() const {
        std::vector<T*> found;
        for (const auto& object : ModalLevel->Objects()) {
            if (auto* typed = dynamic_cast<T*>(object.get())) {
                found.push_back(typed);
            }
        }
        return found;
    }

    bool LeaveArmed() const { return ModalLevel->levelSystem->leaveArmed; }
};
