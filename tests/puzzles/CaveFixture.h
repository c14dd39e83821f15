#pragma once

// The puzzle fixture with the sounds and pictures of the crystal cave's games, a location scene of
// the test's own objects stepped like the mini-game, and a stand-in for the HUD's tool slots.

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/Object.h"
#include "media/RenderChunk.h"
#include "tests/puzzles/PuzzleFixture.h"
#include "ui/HudParts.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The HUD's tool slots as far as the puzzles ask them: the tool in use, and the resets counted.
class StandInToolSlots : public Object, public ToolSlotsPart {
public:
    explicit StandInToolSlots(ObjectsManager* owner) : Object(owner) {
        name = "UIPermanentSlotMngr";
    }
    void SetProperty(const ParconCursor&) override {}
    void LaunchTool(int) override {}
    void ResetToolSlots() override {
        ++resets;
        tool.clear();
    }
    std::string HeldTool() const override { return tool; }

    std::string tool;
    int resets = 0;
};

class CaveTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        std::string sets = "(set global";
        for (const char* sound : {"game_won", "crystal_pick", "warning", "light", "push", "pickup",
                                  "refract_light", "lamp"}) {
            WriteData(std::string(sound) + ".wav", sound);
            sets += std::string(" (") + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        WriteData("gfx/fx/object_hili2.prt", "(max_parts 4)\n(flow 0 10)\n");
        // A 60 x 40 spot with its pivot at its centre.
        WriteData("gfx/spot.ani", "(fileAnim idle (frame spot.png 0 0 60 40 30 20))\n");
        WriteData("gfx/black.ani", "(fileAnim idle (frame black.png 0 0 8 8 0 0))\n");
        WriteData("gfx/puzzles/mirrorgame/objects.ani",
                  "(fileAnim crystal_off (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim crystal_on (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim idle (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim idle2 (frame m.png 0 0 88 88 44 44))\n"
                  "(fileAnim cross (frame m.png 0 0 88 88 44 44))\n");
    }

    void TearDown() override {
        DeleteAllLayers();
        PuzzleTest::TearDown();
    }

    // The location "gate" again, now with these definitions and objects.
    Level& LoadLocation(const std::string& definitions, const std::string& objects) {
        WriteData("scripts/objects.txt", "(Final\n" + definitions + "\n)\n");
        WriteData("levels/gate.txt", "(Meta (Name gate) (levelPath levels\\gate.txt) (Type normal))\n"
                                     "(Objects\n" + objects + "\n)\n");
        GameLevel->LoadDefinitions("scripts/objects.txt");
        GameLevel->LoadScene("levels/gate.txt", true);
        return *GameLevel;
    }

    // Steps of the location, its dead objects removed after each.
    void StepLocation(int steps = 1, float dt = kStep) {
        for (int i = 0; i < steps && GameLevel != nullptr; ++i) {
            Keyboard.Update();
            GameLevel->Update(dt);
            GameLevel->RemoveDead();
            Mouse.leftPressed = Mouse.leftHeld = Mouse.rightPressed = Mouse.rightHeld = false;
        }
    }

    void PressOnLocation(float x, float y) {
        Mouse.x = x;
        Mouse.y = y;
        Mouse.leftHeld = Mouse.leftPressed = true;
        StepLocation();
    }

    void Hold(const std::string& item) {
        WriteItemArt(item);
        GameLevel->levelSystem->HoldItem(item);
    }
    const std::string& Held() const { return GameLevel->levelSystem->heldItemName; }

    // The HUD layer with the stand-in tool slots.
    StandInToolSlots& ToolSlots() {
        WriteData("scripts/ui_objects.txt", "(Final)\n");
        UserInterface& hud = EnsureLayer(MainUI);
        auto slots = std::make_unique<StandInToolSlots>(&hud);
        StandInToolSlots& made = *slots;
        hud.AddObject(std::move(slots));
        return made;
    }

    // The sound files played after the first `count`.
    std::vector<std::string> PlayedSince(std::size_t count) const {
        const std::vector<std::string> all = PlayedFiles();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(count, all.size())), all.end()};
    }

    // The objects of the location of that class, in scene order.
    template <typename T>
    std::vector<T*> OnLocation() const {
        std::vector<T*> found;
        for (const auto& object : GameLevel->Objects()) {
            if (auto* typed = dynamic_cast<T*>(object.get())) {
                found.push_back(typed);
            }
        }
        return found;
    }
};
