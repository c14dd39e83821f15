#include "tests/engine/SceneFixture.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"

std::vector<std::string> Journal;

// ---------------------------------------------------------------------------------------------
// Probe

int Probe::alive = 0;
std::function<void(Probe&)> Probe::onConstruct;

Probe::Probe(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<Probe>*>(this), 0, 0);
    ++alive;
    if (onConstruct) {
        onConstruct(*this);
    }
}

Probe::~Probe() {
    --alive;
}

void Probe::SetProperty(const ParconCursor& cursor) {
    Journal.push_back(name + ".Data");
    ParconCursor element = cursor;
    while (element.Next()) {
        if (const std::optional<ParconList> list = element.GetList()) {
            ParconCursor key(list, 0);
            const std::string keyName = key.GetListName();
            properties.push_back(keyName + "=" + key.NextString(false, ""));
        }
    }
}

bool Probe::Update(float dt) {
    if (journalUpdates) {
        Journal.push_back(name + ".Update");
    }
    if (onUpdate) {
        return onUpdate(*this, dt);
    }
    return Object::Update(dt);
}

void Probe::OnMessage(const void* sender, uint32_t id, uint32_t param) {
    Journal.push_back(name + ".OnMessage " + FourCCText(id) + " " + std::to_string(param));
    lastSender = sender;
    if (onMessage) {
        onMessage(*this, id, param);
    }
}

void Probe::PreDraw() {
    Journal.push_back(name + ".PreDraw");
}

void Probe::Draw() {
    Journal.push_back(name + ".Draw");
    if (onDraw) {
        onDraw(*this);
    }
}

void Probe::PostDraw() {
    Journal.push_back(name + ".PostDraw");
}

void Probe::TopDraw() {
    Journal.push_back(name + ".TopDraw");
}

void Probe::Pause() {
    Journal.push_back(name + ".Pause");
}

void Probe::Resume() {
    Journal.push_back(name + ".Resume");
}

void Probe::OnObjectGoing(Object* going) {
    Journal.push_back(name + ".OnObjectGoing " + going->name);
    std::erase(held, going);
    if (onGoing) {
        onGoing(*this, going);
    }
}

void FailingProbe::SetProperty(const ParconCursor&) {
    throw Exception("FailingProbe refuses its data");
}

// ---------------------------------------------------------------------------------------------
// Systems

RecordingSystem::RecordingSystem(ObjectsManager* owner, std::string_view id, bool makesChunks)
    : System(owner, FourCC(id)), text(id), makesChunks(makesChunks) {}

void RecordingSystem::Note(const std::string& call) {
    Journal.push_back(text + "." + call);
}

void RecordingSystem::Update(float) {
    Note("Update");
    if (onUpdate) {
        onUpdate();
    }
}

void RecordingSystem::PreRender() {
    Note("PreRender");
}

void RecordingSystem::PostRender() {
    Note("PostRender");
}

void RecordingSystem::Render() {
    Note("Render");
}

void RecordingSystem::AfterRender() {
    Note("AfterRender");
}

SystemChunk* RecordingSystem::CreateChunk(uint32_t) {
    if (!makesChunks) {
        return nullptr;
    }
    return KeepChunk(std::make_unique<SystemChunk>());
}

void RecordingSystem::ObjectAdded(Object* object) {
    Note("ObjectAdded " + object->name);
}

void RecordingSystem::ObjectRemoved(Object* object) {
    Note("ObjectRemoved " + object->name);
}

namespace {

class SpriteStandInChunk : public SystemChunk {
public:
    std::optional<FrameRect> FirstFrameRect(const std::string& animation) const override {
        if (animation == "missing") {
            return FrameRect{};
        }
        return FrameRect{-10, -20, 30, 40};
    }
};

} // namespace

SpriteStandInSystem::SpriteStandInSystem(ObjectsManager* owner) : System(owner, FourCC("SPRT")) {}

SystemChunk* SpriteStandInSystem::CreateChunk(uint32_t) {
    return KeepChunk(std::make_unique<SpriteStandInChunk>());
}

// ---------------------------------------------------------------------------------------------
// Fixture

void RegisterTestClasses() {
    static const Registerer<Probe> probe;
    static const Registerer<ProbeHolder> holder;
    static const Registerer<FailingProbe> failing;
    MoveClassRegistry();
}

SceneTest::SceneTest() {
    RegisterTestClasses();
    Files.SetDataFolder("data");
    Journal.clear();
    Probe::alive = 0;
    scene = std::make_unique<ObjectsManager>();
    scene->AddSystem(std::make_unique<PositionSystem>(scene.get()));
    scene->AddSystem(std::make_unique<CollisionsSystem>(scene.get()));
    scene->AddSystem(std::make_unique<MessageSystem>(scene.get()));
}

SceneTest::~SceneTest() {
    scene.reset();
    Probe::onConstruct = nullptr;
    EXPECT_EQ(Probe::alive, 0) << "a probe was not freed";
    Journal.clear();
}

void SceneTest::WriteData(std::string_view name, std::string_view text) const {
    folder.Write("data/" + std::string(name), text);
}

void SceneTest::LoadDefinitionsText(std::string_view text) {
    WriteData("scripts/objects.txt", text);
    scene->LoadDefinitions("scripts/objects.txt");
}

void SceneTest::LoadSceneText(std::string_view text) {
    WriteData("levels/test.txt", text);
    scene->LoadScene("levels/test.txt", true);
}

Probe* SceneTest::Find(std::string_view name) const {
    for (const std::unique_ptr<Object>& object : scene->Objects()) {
        if (object != nullptr && object->name == name) {
            return dynamic_cast<Probe*>(object.get());
        }
    }
    return nullptr;
}

std::vector<std::string> SceneTest::Names() const {
    std::vector<std::string> names;
    for (const std::unique_ptr<Object>& object : scene->Objects()) {
        names.push_back(object != nullptr ? object->name : "<null>");
    }
    return names;
}
