#include "engine/ObjectsManager.h"

#include "engine/ClassFactory.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "engine/profile.h"

#include <algorithm>
#include <cassert>
#include <set>
#include <string_view>
#include <utility>

SceneLoadListener* ObjectsManager::loadListener = nullptr;

namespace {

constexpr uint32_t kParticles = FourCC("PART");
constexpr uint32_t kTexts = FourCC("TEXT");

// The names the post-render passes test every object for, once a pass each frame: compared as
// views, so that most names are told apart by their length alone.
constexpr std::string_view kDecoredLabel = "UIDecoredLabel";

// The object names that the post-render pass draws above the texts.
bool DrawsAboveTexts(std::string_view name) {
    return name == "UIFxMapPieceFly" || name == "UIFxFlyTo" || name == "UIPartFx";
}

// A list whose element 0 is a word with text.
bool HasName(const ParconList& list) {
    return !list.elements.empty() && !list.Text(list.elements.front()).empty();
}

// The text of the last "Label" list of a definition; empty when none.
std::string LabelOf(const ParconList& definition) {
    std::string label;
    ParconCursor element(&definition, 0);
    while (element.Next()) {
        if (const std::optional<ParconList> list = element.GetList()) {
            ParconCursor key(list, 0);
            if (key.GetListName() == "Label") {
                label = key.NextString(true, "");
            }
        }
    }
    return label;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Life

ObjectsManager::ObjectsManager() {
    MoveClassRegistry();
}

ObjectsManager::~ObjectsManager() {
    assert(walkDepth == 0 && "a scene that may be walking is deleted with ObjectsManager::Delete");
    ObjectsManager::Clear();
    for (std::unique_ptr<System>& system : systemList) {
        system.reset();
    }
    systemList.clear();
}

void ObjectsManager::Delete(ObjectsManager* scene) {
    if (scene == nullptr) {
        return;
    }
    if (scene->walkDepth == 0) {
        delete scene;
        return;
    }
    if (!scene->deletePending) {
        scene->ObjectsManager::Clear();
        scene->deletePending = true;
    }
}

void ObjectsManager::SetLoadListener(SceneLoadListener* listener) {
    loadListener = listener;
}

void ObjectsManager::OnSceneLoaded() {}

std::string ObjectsManager::GetText() const {
    return {};
}

void ObjectsManager::SetProperty(const std::string&, const std::string&) {}

// ---------------------------------------------------------------------------------------------
// Systems and objects

void ObjectsManager::AddSystem(std::unique_ptr<System> system) {
    if (system != nullptr) {
        systemList.push_back(std::move(system));
    }
}

System* ObjectsManager::FindSystem(uint32_t id) const {
    const auto found = systems.find(id);
    return found != systems.end() ? found->second : nullptr;
}

void ObjectsManager::AddObject(std::unique_ptr<Object> object) {
    if (object == nullptr) {
        return;
    }
    WalkScope walk(*this);
    Object* added = object.get();
    objects.push_back(std::move(object));
    ForEachSystem([added](System& system) { system.ObjectAdded(added); });
    if (added->code != 0 && !added->leaving) {
        codes[added->code] = added;
    }
}

void ObjectsManager::DestroyObject(Object* object) {
    if (object == nullptr) {
        return;
    }
    WalkScope walk(*this);
    // Found by address only: an object that has left is no longer in the list.
    for (std::size_t slot = 0; slot < objects.size(); ++slot) {
        if (objects[slot].get() == object) {
            LetGo(Unlink(slot));
            return;
        }
    }
}

void ObjectsManager::Clear() {
    WalkScope walk(*this);
    scenePath.clear();
    // Listeners told of one object may add others; they go too.
    for (std::size_t slot = 0; slot < objects.size(); ++slot) {
        if (objects[slot] != nullptr) {
            LetGo(Unlink(slot));
        }
    }
    codes.clear();
}

void ObjectsManager::RemoveDead() {
    WalkScope walk(*this);
    for (std::size_t slot = 0; slot < objects.size() && !deletePending; ++slot) {
        if (objects[slot] != nullptr && objects[slot]->dead) {
            LetGo(Unlink(slot));
        }
    }
}

Object* ObjectsManager::FindByCode(uint32_t code) const {
    const auto found = codes.find(code);
    return found != codes.end() ? found->second : nullptr;
}

void ObjectsManager::AddRemovalListener(Object* listener) {
    if (listener == nullptr || listener->listening || listener->leaving) {
        return;
    }
    listener->listening = true;
    removalListeners.push_back(listener);
}

void ObjectsManager::RemoveRemovalListener(Object* listener) {
    if (listener == nullptr || !listener->listening) {
        return;
    }
    listener->listening = false;
    const auto found = std::find(removalListeners.begin(), removalListeners.end(), listener);
    if (found == removalListeners.end()) {
        return;
    }
    if (walkDepth > 0) {
        // A notification may be walking the list.
        *found = nullptr;
        listenerSlotsFreed = true;
    } else {
        removalListeners.erase(found);
    }
}

std::unique_ptr<Object> ObjectsManager::Unlink(std::size_t slot) {
    assert(walkDepth > 0);
    objectSlotsFreed = true;
    return std::move(objects[slot]);
}

// Listeners first, so that nothing keeps a pointer to the object when the systems see it go.
void ObjectsManager::LetGo(std::unique_ptr<Object> object) {
    assert(walkDepth > 0);
    Object* going = object.get();
    going->leaving = true;
    leaving.push_back(std::move(object));
    RemoveRemovalListener(going);
    for (std::size_t i = 0; i < removalListeners.size(); ++i) {
        if (Object* listener = removalListeners[i]) {
            listener->OnObjectGoing(going);
        }
    }
    for (std::size_t i = 0; i < systemList.size(); ++i) {
        systemList[i]->ObjectRemoved(going);
    }
    for (std::size_t i = 0; i < systemList.size(); ++i) {
        systemList[i]->ForgetKeptChunksOf(going);
    }
    const auto filed = codes.find(going->code);
    if (filed != codes.end() && filed->second == going) {
        codes.erase(filed);
    }
}

void ObjectsManager::EndWalk() {
    // Freeing runs destructors, which may let more objects go: they are freed here too. Last
    // first, since systems keep their chunks in the order the objects came.
    ++walkDepth;
    while (!leaving.empty()) {
        std::vector<std::unique_ptr<Object>> freed;
        freed.swap(leaving);
        while (!freed.empty()) {
            freed.pop_back();
        }
    }
    if (objectSlotsFreed) {
        std::erase(objects, nullptr);
        objectSlotsFreed = false;
    }
    if (listenerSlotsFreed) {
        std::erase(removalListeners, nullptr);
        listenerSlotsFreed = false;
    }
    --walkDepth;
    if (deletePending) {
        deletePending = false;
        delete this;
    }
}

// ---------------------------------------------------------------------------------------------
// Frame passes

int ObjectsManager::Update(float dt) {
    WalkScope walk(*this);
    ForEachSystem([dt](System& system) { system.Update(dt); });
    // An object marked dead waits for its owner's sweep without running again: a scene updated
    // by someone that sweeps later (the game under a dialogue) would otherwise repeat its ending.
    ForEachObject([dt](Object& object) {
        if (!object.dead && !object.Update(dt)) {
            object.dead = true;
        }
    });
    return 1;
}

void ObjectsManager::UpdateParticles(float dt) {
    WalkScope walk(*this);
    ForEachSystem([dt](System& system) {
        if (system.id == kParticles) {
            system.Update(dt);
        }
    });
}

void ObjectsManager::PreRender() {
    WalkScope walk(*this);
    ForEachSystem([](System& system) { system.PreRender(); });
    ForEachObject([](Object& object) { object.PreDraw(); });
}

void ObjectsManager::Render() {
    WalkScope walk(*this);
    ForEachObject([](Object& object) {
        if (object.drawFirst) {
            object.Draw();
        }
    });
    ForEachSystem([](System& system) {
        if (system.id != kTexts) {
            system.Render();
        }
    });
    ForEachObject([](Object& object) {
        if (!object.drawFirst) {
            object.Draw();
        }
    });
    ForEachSystem([](System& system) {
        if (system.id == kParticles) {
            system.PostRender();
        }
    });
    ForEachSystem([](System& system) {
        if (system.id == kTexts) {
            system.Render();
        }
    });
}

// Decorated labels, fly-to effects and particle widgets come out above the texts.
void ObjectsManager::PostRender() {
    WalkScope walk(*this);
    ForEachSystem([](System& system) {
        if (system.id != kTexts) {
            system.PostRender();
        }
    });
    ForEachObject([](Object& object) {
        if (std::string_view(object.name) != kDecoredLabel) {
            object.PostDraw();
        }
    });
    ForEachObject([](Object& object) {
        if (!DrawsAboveTexts(object.name)) {
            object.TopDraw();
        }
    });
    ForEachSystem([](System& system) {
        if (system.id != kTexts) {
            system.AfterRender();
        }
    });
    ForEachObject([](Object& object) {
        if (std::string_view(object.name) == kDecoredLabel) {
            object.PostDraw();
        }
    });
    ForEachSystem([](System& system) {
        if (system.id == kTexts) {
            system.PostRender();
        }
    });
    ForEachSystem([](System& system) {
        if (system.id == kTexts) {
            system.AfterRender();
        }
    });
    ForEachObject([](Object& object) {
        if (DrawsAboveTexts(object.name)) {
            object.TopDraw();
        }
    });
}

void ObjectsManager::PostDrawAll() {
    WalkScope walk(*this);
    ForEachObject([](Object& object) { object.PostDraw(); });
}

void ObjectsManager::Pause() {
    WalkScope walk(*this);
    ForEachObject([](Object& object) { object.Pause(); });
}

void ObjectsManager::Resume() {
    WalkScope walk(*this);
    ForEachObject([](Object& object) { object.Resume(); });
}

// ---------------------------------------------------------------------------------------------
// Definitions and scene files

const ObjectDefinition* ObjectsManager::GetObjectDef(const std::string& name) const {
    const auto found = definitions.find(name);
    return found != definitions.end() ? &found->second : nullptr;
}

ObjectsManager::DefinitionInUse::DefinitionInUse(ObjectsManager& scene, const Object& object,
                                                 const ObjectDefinition& definition,
                                                 const std::string& name)
    : scene(scene) {
    for (const auto& [reader, used] : scene.definitionsInUse) {
        if (reader == &object && used == &definition) {
            throw Exception("Definition %s refers back to itself!", MessagePart(name).c_str());
        }
    }
    if (scene.definitionsInUse.size() >= kMaxDefinitionDepth) {
        throw Exception("Definitions nested too deeply at %s!", MessagePart(name).c_str());
    }
    scene.definitionsInUse.emplace_back(&object, &definition);
}

void ObjectsManager::LoadDefinitions(const std::string& path) {
    parser.OpenFile(path, true);
    ParconCursor group = parser.RootCursor();
    while (group.Next()) {
        const std::optional<ParconList> groupList = group.GetList();
        if (!groupList) {
            continue;
        }
        ParconCursor element(groupList, 0);
        const bool final = element.GetListName() == "Final";
        while (element.Next()) {
            const std::optional<ParconList> list = element.GetList();
            if (!list) {
                continue;
            }
            if (!HasName(*list)) {
                throw Exception("A definition without a name in %s", MessagePart(path).c_str());
            }
            const std::string name(list->Text(list->elements[0]));
            ObjectDefinition definition;
            definition.cursor = ParconCursor(list, 0);
            if (list->elements.size() > 1 && list->elements[1].kind == ParconNode::kValue) {
                definition.baseName = std::string(list->Text(list->elements[1]));
            }
            definition.final = final;
            if (final) {
                std::string label = LabelOf(*list);
                finalNames.push_back(name);
                finalLabels.push_back(std::move(label));
            }
            definitions[name] = std::move(definition);
        }
    }
}

std::unique_ptr<Object> ObjectsManager::CreateObject(const std::string& definitionName,
                                                     bool allowIncomplete) {
    ProfileScope profile("CreateObject");
    WalkScope walk(*this);
    // Down the base names to a registered class.
    const BaseReg* registrar = nullptr;
    std::set<const ObjectDefinition*> passed;
    std::string className = definitionName;
    while (!className.empty()) {
        const auto registered = ClassFactoryMap.find(className);
        if (registered != ClassFactoryMap.end()) {
            registrar = registered->second;
            break;
        }
        const ObjectDefinition* definition = GetObjectDef(className);
        if (definition == nullptr) {
            break;
        }
        if (!passed.insert(definition).second) {
            throw Exception("Definition %s refers back to itself!", MessagePart(className).c_str());
        }
        className = definition->baseName;
    }
    if (registrar == nullptr) {
        throw Exception("Object %s not found!", MessagePart(definitionName).c_str());
    }
    const ObjectDefinition* definition = GetObjectDef(definitionName);
    if ((definition == nullptr || !definition->final) && !allowIncomplete) {
        throw Exception("Incomplete object created (%s)!", MessagePart(definitionName).c_str());
    }
    std::unique_ptr<Object> object = registrar->Create(this);
    if (object == nullptr) {
        return nullptr;
    }
    object->owner = this;
    object->name = definitionName;
    object->ApplyDefinition(definitionName, false);
    return object;
}

void ObjectsManager::LoadScene(const std::string& path, bool clearFirst) {
    if (loadListener != nullptr) {
        loadListener->BeforeSceneLoad();
    }
    Mouse.SuppressButtons();
    // Cleared in a walk of its own, so that the old objects are freed before the new ones come
    // (unless the scene is walking already).
    if (clearFirst) {
        Clear();
    }
    WalkScope walk(*this);
    // Restored however the load ends, so that a failed load names no file afterwards.
    struct ReadingMark {
        std::string& mark;
        std::string before;
        ~ReadingMark() { mark = std::move(before); }
    } reading{readingPath, std::exchange(readingPath, path)};
    Parcon file;
    file.OpenFile(path, true);
    ParconCursor top = file.RootCursor();
    while (top.Next() && !deletePending) {
        const std::optional<ParconList> list = top.GetList();
        if (!list) {
            continue;
        }
        ParconCursor section(list, 0);
        const std::string head = section.GetListName();
        if (head == "Meta") {
            ReadMeta(section, path);
        } else if (head == "Objects") {
            ReadObjects(section, path);
        }
    }
    if (deletePending) {
        return;
    }
    scenePath = path;
    OnSceneLoaded();
}

void ObjectsManager::ReadMeta(ParconCursor entries, const std::string& path) {
    while (entries.Next()) {
        const std::optional<ParconList> entry = entries.GetList();
        if (!entry) {
            throw Exception("A Meta entry that is not a list in %s", MessagePart(path).c_str());
        }
        if (!HasName(*entry)) {
            throw Exception("A Meta entry without a key in %s", MessagePart(path).c_str());
        }
        ParconCursor key(entry, 0);
        const std::string name = key.GetListName();
        const std::string value = key.NextString(true, "");
        SetProperty(name, value);
    }
}

// Each entry is created, read over its definition, linked, added and updated once before the
// next one is made, so an object's definition reader sees only the objects before it.
void ObjectsManager::ReadObjects(ParconCursor entries, const std::string& path) {
    while (entries.Next() && !deletePending) {
        const std::optional<ParconList> entry = entries.GetList();
        if (!entry) {
            throw Exception("An Objects entry that is not a list in %s", MessagePart(path).c_str());
        }
        if (!HasName(*entry)) {
            throw Exception("An Objects entry without a definition name in %s",
                            MessagePart(path).c_str());
        }
        const std::string definitionName(entry->Text(entry->elements[0]));
        std::unique_ptr<Object> object = CreateObject(definitionName, false);
        if (object == nullptr) {
            throw Exception("Unknown object: %s", MessagePart(definitionName).c_str());
        }
        object->LoadFromNode(ParconCursor(entry, 0), true);
        object->name = definitionName;
        object->ResolveDependencies();
        Object* added = object.get();
        AddObject(std::move(object));
        added->Update(0.0f);
    }
}
