#pragma once

// The real level, parser and profile for the scene-object tests: a scene "levels/room.txt" of
// definitions and objects, with the sound sets "on" and "off" on the recording audio layer and a
// dialogue window double that journals what it is asked to show.

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "media/ParticleRenderSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "tests/world/FakeWorld.h"
#include "tests/world/WorldFixture.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"
#include "world/FxParticles.h"
#include "world/GameModalDialog.h"
#include "world/WorldClasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class SceneObjects : public WorldTest {
protected:
    static constexpr float kStep = 1.0f / 60.0f;

    void SetUp() override {
        RegisterWorldClasses();
        WorldTest::SetUp();
        WriteData("on.wav", "on");
        WriteData("off.wav", "off");
        WriteData("sounds.txt", "(set global (on on.wav) (off off.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        MakeProfile(0, "Ann");
        InstallDialogueHook();
    }

    void InstallDialogueHook() {
        FakeWorld& hooks = TestWorld();
        hooks.openDialogue = [this](const std::string& file, int flag, const std::string& text) {
            dialogues.push_back(file + " " + std::to_string(flag) + " [" + text + "]");
            if (duringDialogue) {
                duringDialogue();
            }
        };
        hooks.dialogueShown = [this] { return dialogueShown; };
    }

    // Loads the scene "room" with the definitions and the object entries.
    Level& Load(const std::string& definitions, const std::string& objects) {
        WriteData("scripts/objects.txt", "(Final " + definitions + ")\n");
        WriteData("levels/room.txt",
                  "(Meta (Name room) (levelPath levels\\room.txt))\n(Objects " + objects + ")\n");
        Level& level = MakeGameLevel();
        // The level makes no particle system of its own yet; the tests give it one.
        if (level.FindSystem(FourCC("PART")) == nullptr) {
            level.AddSystem(std::make_unique<ParticleRenderSystem>(&level));
        }
        try {
            level.LoadScene("levels/room.txt", true);
        } catch (const Exception& error) {
            ADD_FAILURE() << error.Text();
        }
        return level;
    }

    // Runs the level for that many steps of 1/60 s, sweeping its dead objects as the loop does.
    void Run(int steps) {
        for (int i = 0; i < steps; ++i) {
            gameLevel->Update(kStep);
            gameLevel->RemoveDead();
        }
    }

    Object* Find(const std::string& visName) const {
        for (const auto& object : gameLevel->Objects()) {
            if (object != nullptr && object->visName == visName) {
                return object.get();
            }
        }
        return nullptr;
    }
    float Alpha(const std::string& visName) const {
        return dynamic_cast<RenderChunk*>(Find(visName)->GetChunk(FourCC("SPRT"), 0))->alpha;
    }
    int32_t Flag(const std::string& name) const { return CurrentPlayer->GetFlag("room:" + name); }
    // The objects of the class in the game level, in scene order.
    template <typename T>
    std::vector<T*> All() const {
        std::vector<T*> found;
        for (const auto& object : gameLevel->Objects()) {
            if (auto* typed = dynamic_cast<T*>(object.get()); typed != nullptr) {
                found.push_back(typed);
            }
        }
        return found;
    }
    int Count(const std::string& className) const {
        int count = 0;
        for (const auto& object : gameLevel->Objects()) {
            count += object != nullptr && object->GetClassName() == className ? 1 : 0;
        }
        return count;
    }

    std::vector<std::string> dialogues;
    std::function<void()> duringDialogue;
    bool dialogueShown = false;
};

template <typename Blend>
Blend& AddBlend(Level& level) {
    auto created = level.CreateObject(std::string(Blend::kClassName), true);
    auto& blend = dynamic_cast<Blend&>(*created);
    level.AddObject(std::move(created));
    return blend;
}
