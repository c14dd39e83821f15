#pragma once

// A scene with the position, collision and three render systems, on the recording renderer and
// audio layer, whose objects are read from definition texts written in the test.

#include "engine/CollisionsSystem.h"
#include "engine/Object.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"
#include "media/SpriteRenderSystem.h"
#include "media/TextRenderSystem.h"
#include "tests/media/AnimationFixture.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

// A scene object of no class of its own: its looks are all in its chunks.
class Thing : public Object {
public:
    explicit Thing(ObjectsManager* owner) : Object(owner) {}
    void SetProperty(const ParconCursor&) override {}
};

class RenderSceneTest : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        scene = std::make_unique<ObjectsManager>();
        scene->AddSystem(std::make_unique<PositionSystem>(scene.get()));
        scene->AddSystem(std::make_unique<CollisionsSystem>(scene.get()));
        scene->AddSystem(std::make_unique<SpriteRenderSystem>(scene.get()));
        scene->AddSystem(std::make_unique<ParticleRenderSystem>(scene.get()));
        scene->AddSystem(std::make_unique<TextRenderSystem>(scene.get()));
    }

    void TearDown() override {
        scene.reset();
        AnimationTest::TearDown();
    }

    // An object read from a definition list such as "(thing (POSI (position 1 2)) (SPRT ...))",
    // its dependencies resolved and added to the scene.
    Object* Add(const std::string& definition) {
        std::istringstream input(definition);
        Parcon& parser = *parsers.emplace_back(std::make_unique<Parcon>());
        parser.ParseStream("objects.txt", input);
        ParconCursor root = parser.RootCursor();
        EXPECT_TRUE(root.Next());
        auto object = std::make_unique<Thing>(scene.get());
        object->LoadFromNode(ParconCursor(root.GetList(), 0), false);
        object->ResolveDependencies();
        Object* added = object.get();
        scene->AddObject(std::move(object));
        return added;
    }

    template <typename Chunk>
    static Chunk& ChunkOf(Object* object, const char* system) {
        return object->RequireChunk<Chunk>(FourCC(system));
    }

    std::unique_ptr<ObjectsManager> scene;
    std::vector<std::unique_ptr<Parcon>> parsers;
};
