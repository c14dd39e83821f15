#pragma once

// Test objects, systems and a fixture shared by the scene tests: a scene whose objects and
// systems write what happens to them into one journal, with files written by the test.

#include "engine/ClassFactory.h"
#include "engine/Object.h"
#include "engine/ObjectsManager.h"
#include "engine/System.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the probes and recording systems did, in order.
extern std::vector<std::string> Journal;

// A scene object that journals its calls ("<name>.<call>") and can be given behaviour.
class Probe : public Object, public OCreator<Probe> {
public:
    static constexpr std::string_view kClassName = "Probe";
    // Live probes, to prove that every one made is freed.
    static int alive;

    explicit Probe(ObjectsManager* owner);
    ~Probe() override;

    // Journals "<name>.Data" and keeps each "(key value)" of the list as "key=value".
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    void PreDraw() override;
    void Draw() override;
    void PostDraw() override;
    void TopDraw() override;
    void Pause() override;
    void Resume() override;
    // Drops `going` from held and journals it.
    void OnObjectGoing(Object* going) override;

    std::vector<std::string> properties;
    std::vector<Object*> held; // pointers to other objects, kept as an effect keeps its targets
    std::function<bool(Probe&, float)> onUpdate;
    std::function<void(Probe&, uint32_t, uint32_t)> onMessage;
    std::function<void(Probe&)> onDraw;
    std::function<void(Probe&, Object*)> onGoing;
    // Every probe made from now on gets this.
    static std::function<void(Probe&)> onConstruct;
    bool journalUpdates = true;
    const void* lastSender = nullptr;
};

// A creatable class derived from another, with its own class name.
class ProbeHolder : public Probe, public OCreator<ProbeHolder> {
public:
    static constexpr std::string_view kClassName = "ProbeHolder";

    explicit ProbeHolder(ObjectsManager* owner) : Probe(owner) {
        SetCreator(static_cast<OCreator<ProbeHolder>*>(this), 0, 0);
    }
};

// A class whose definition reader always throws, to prove half-built objects never stay.
class FailingProbe : public Probe, public OCreator<FailingProbe> {
public:
    static constexpr std::string_view kClassName = "FailingProbe";

    explicit FailingProbe(ObjectsManager* owner) : Probe(owner) {
        SetCreator(static_cast<OCreator<FailingProbe>*>(this), 0, 0);
    }
    void SetProperty(const ParconCursor& cursor) override;
};

// A system that journals "<id>.<call>" and optionally makes plain chunks.
class RecordingSystem : public System {
public:
    RecordingSystem(ObjectsManager* owner, std::string_view id, bool makesChunks = false);

    void Update(float dt) override;
    void PreRender() override;
    void PostRender() override;
    void Render() override;
    void AfterRender() override;
    SystemChunk* CreateChunk(uint32_t index) override;
    void ObjectAdded(Object* object) override;
    void ObjectRemoved(Object* object) override;

    std::function<void()> onUpdate;

private:
    void Note(const std::string& call);
    std::string text;
    bool makesChunks;
};

// 'SPRT' stand-in whose chunks have an animation player: every animation's first frame is the
// rectangle (-10, -20, 30, 40), except "missing", which gives zeros as a player does.
class SpriteStandInSystem : public System {
public:
    explicit SpriteStandInSystem(ObjectsManager* owner);
    SystemChunk* CreateChunk(uint32_t index) override;
};

// Registers the test classes (once) and files them in the class factory map.
void RegisterTestClasses();

// A scene with 'POSI', 'COLI' and 'MSGS' systems in a temporary game folder.
class SceneTest : public testing::Test {
protected:
    SceneTest();
    ~SceneTest() override;

    // Writes a file under "data/".
    void WriteData(std::string_view name, std::string_view text) const;
    // The definitions file "scripts/objects.txt" with this text, loaded into the scene.
    void LoadDefinitionsText(std::string_view text);
    // A scene file "levels/test.txt" with this text, loaded with clearing.
    void LoadSceneText(std::string_view text);
    // The probe of the scene with that object name (first one), or null.
    Probe* Find(std::string_view name) const;
    // The names of the objects of the scene, in order.
    std::vector<std::string> Names() const;

    TempFolder folder{TempFolder::Enter::Yes};
    std::unique_ptr<ObjectsManager> scene;
};
