#pragma once

#include "engine/Object.h"
#include "engine/Parcon.h"
#include "engine/System.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// One definition of a definitions file.
struct ObjectDefinition {
    ParconCursor cursor;  // on the definition's list, at its head
    std::string baseName; // the second element when it is a word; empty when none
    bool final = false;   // from a "Final" group: objects can be created from it
};

// What loading a scene file asks of the layers above the engine before it reads the file: the
// looping samples of every sound set stop. The game installs it at start-up.
class SceneLoadListener {
public:
    virtual void BeforeSceneLoad() = 0;

protected:
    ~SceneLoadListener() = default;
};

// A scene: an ordered list of component systems, an ordered list of objects, and the object
// definitions they are made from. Levels, the main menu and the user-interface layers derive
// from it.
//
// Scenes survive being changed while they run. While one of its passes (or a WalkScope) runs,
// an object that leaves the scene (DestroyObject, Clear, RemoveDead) is unlinked at once: it is
// out of Objects() (its slot holds null until the walk ends), out of the code map, its systems
// and removal listeners have been told; it is freed only when the outermost walk returns, so the
// code running inside it can finish. Objects added during a walk are reached by it.
//
// Owners delete a scene only through Delete, never with delete, since the scene may be deleting
// itself from inside one of its own passes.
class ObjectsManager {
public:
    // Keeps the scene walking for its life; every pass holds one. Code that calls into a
    // scene's objects from outside the scene's own passes (a system delivering input or
    // messages) holds one too.
    class WalkScope {
    public:
        explicit WalkScope(ObjectsManager& scene) : scene(scene) { ++scene.walkDepth; }
        ~WalkScope() {
            if (--scene.walkDepth == 0) {
                scene.EndWalk(); // may free the scene
            }
        }
        WalkScope(const WalkScope&) = delete;
        WalkScope& operator=(const WalkScope&) = delete;

    private:
        ObjectsManager& scene;
    };

    // Nesting of definitions (a definition naming another, and so on) beyond this is refused,
    // so that no data file can run the stack out.
    static constexpr std::size_t kMaxDefinitionDepth = 100;

    // Files the classes registered so far in the class factory map.
    ObjectsManager();
    ObjectsManager(const ObjectsManager&) = delete;
    ObjectsManager& operator=(const ObjectsManager&) = delete;

    // Called at the end of every scene load, after the path is stored.
    virtual void OnSceneLoaded();
    // Clears the objects (with this class's Clear), then deletes the systems in list order.
    virtual ~ObjectsManager();
    // Appends the object, tells every system in order, then files it under its code when that
    // is not 0 (a later object of a code replaces an earlier one). The scene owns it from now.
    virtual void AddObject(std::unique_ptr<Object> object);
    // Lets an object of this scene go: removal listeners, then every system, are told; it leaves
    // the object list and the code map and is deleted (at the end of the current walk). Nothing
    // for null or an object that is not in the scene.
    virtual void DestroyObject(Object* object);
    virtual std::string GetText() const;
    // One "Meta" entry of a scene file.
    virtual void SetProperty(const std::string& key, const std::string& value);
    // Empties the scene path and lets every object go, first to last; the systems and the
    // definitions stay.
    virtual void Clear();

    // Deletes the scene now, or, when it is inside one of its own walks, clears it now and
    // deletes it when the outermost walk returns (its passes stop early). Nothing for null.
    static void Delete(ObjectsManager* scene);
    // Installs what LoadScene tells first; null tells nobody. The caller keeps it alive while
    // it is installed.
    static void SetLoadListener(SceneLoadListener* listener);

    // Appends a system: the order of adding is the order of updating and drawing.
    void AddSystem(std::unique_ptr<System> system);
    // The system filed under id, or null.
    System* FindSystem(uint32_t id) const;

    // Reads a definitions file into the definition map (a later definition of a name replaces
    // an earlier one); the parsed text stays with the scene.
    void LoadDefinitions(const std::string& path);
    const ObjectDefinition* GetObjectDef(const std::string& name) const;
    // Creates an object of the definition (or of a class name used directly) and reads its
    // definition chain into it; not yet added. Throws "Object %s not found!" when no registered
    // class is reached, "Incomplete object created (%s)!" for a definition that is not final
    // unless allowIncomplete. Null only when the class's registrar gives nothing.
    std::unique_ptr<Object> CreateObject(const std::string& definitionName, bool allowIncomplete);
    // Loads a scene file ("Meta" and "Objects") into the scene, clearing it first when asked.
    // Before anything is read the load listener is told, and the mouse treats both buttons as up
    // until they are released.
    void LoadScene(const std::string& path, bool clearFirst);

    // One step: every system, then every object not marked dead; an object whose update returns
    // false is marked dead. Returns 1.
    int Update(float dt);
    // Only the 'PART' systems.
    void UpdateParticles(float dt);
    void PreRender();
    void Render();
    void PostRender();
    void PostDrawAll();
    void Pause();
    void Resume();
    // Lets every dead object go, in list order. Called by the owner between update steps.
    void RemoveDead();

    Object* FindByCode(uint32_t code) const;

    // A listener is told (Object::OnObjectGoing) of every other object about to leave the scene,
    // whatever lets it go; a listener that leaves stops listening. Adding twice adds once.
    void AddRemovalListener(Object* listener);
    void RemoveRemovalListener(Object* listener);

    // The objects in the order added. During a walk, objects that left hold null slots.
    const std::vector<std::unique_ptr<Object>>& Objects() const { return objects; }
    const std::vector<std::unique_ptr<System>>& Systems() const { return systemList; }
    const std::map<std::string, ObjectDefinition>& Definitions() const { return definitions; }
    // The definitions of the "Final" groups in file order, with their "Label" texts.
    const std::vector<std::string>& FinalNames() const { return finalNames; }
    const std::vector<std::string>& FinalLabels() const { return finalLabels; }
    // The last scene file loaded; empty after Clear.
    const std::string& ScenePath() const { return scenePath; }
    // The scene file that LoadScene is reading now, for objects that check what they read;
    // empty outside a load.
    const std::string& ReadingPath() const { return readingPath; }
    // Delete was called from inside a walk: the scene's passes stop, and it is freed when the
    // outermost walk returns.
    bool IsBeingDeleted() const { return deletePending; }

    // The scene's exit word: the process that owns the scene ends when it becomes non-zero.
    int32_t state = 0;

private:
    friend class Object;
    friend class System;

    // Marks one definition as being read into one object while it lives; throws when that
    // object is already reading it (a definition that comes back to itself) or when
    // definitions nest too deeply.
    class DefinitionInUse {
    public:
        DefinitionInUse(ObjectsManager& scene, const Object& object,
                        const ObjectDefinition& definition, const std::string& name);
        ~DefinitionInUse() { scene.definitionsInUse.pop_back(); }
        DefinitionInUse(const DefinitionInUse&) = delete;
        DefinitionInUse& operator=(const DefinitionInUse&) = delete;

    private:
        ObjectsManager& scene;
    };

    // Takes the object out of its slot, leaving null.
    std::unique_ptr<Object> Unlink(std::size_t slot);
    // Tells listeners and systems, forgets the code and keeps the object until the walk ends.
    void LetGo(std::unique_ptr<Object> object);
    // The outermost walk returned: frees the objects that left, closes the null slots, and
    // deletes the scene when Delete asked for it.
    void EndWalk();
    void ReadMeta(ParconCursor entries, const std::string& path);
    void ReadObjects(ParconCursor entries, const std::string& path);

    // Calls f on every object still in the list, walking by index so that the list may change.
    template <typename F>
    void ForEachObject(F f) {
        for (std::size_t i = 0; i < objects.size() && !deletePending; ++i) {
            if (Object* object = objects[i].get()) {
                f(*object);
            }
        }
    }
    template <typename F>
    void ForEachSystem(F f) {
        for (std::size_t i = 0; i < systemList.size() && !deletePending; ++i) {
            f(*systemList[i]);
        }
    }

    Parcon parser; // holds every definitions file read, for the scene's life
    std::map<std::string, ObjectDefinition> definitions;
    std::vector<std::string> finalNames;
    std::vector<std::string> finalLabels;
    std::map<uint32_t, System*> systems;
    std::vector<std::unique_ptr<System>> systemList;
    std::vector<std::unique_ptr<Object>> objects;
    std::string scenePath;
    std::string readingPath;
    std::map<uint32_t, Object*> codes;

    std::vector<Object*> removalListeners; // null slots for those gone during a walk
    int walkDepth = 0;
    bool deletePending = false;
    bool objectSlotsFreed = false;                // objects holds null slots
    bool listenerSlotsFreed = false;              // removalListeners holds null slots
    std::vector<std::unique_ptr<Object>> leaving; // freed when the outermost walk returns
    std::vector<std::pair<const Object*, const ObjectDefinition*>> definitionsInUse;

    static SceneLoadListener* loadListener;
};
