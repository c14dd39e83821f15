#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class Object;
class ObjectsManager;
class ParconCursor;
class System;

// A rectangle of an animation frame in whole pixels, relative to the drawing position.
struct FrameRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// One object's part in one component system. The object files it under its system's id; the
// system makes and destroys it.
class SystemChunk {
public:
    SystemChunk() = default;
    // chunkId: the id the object files the chunk under when no system made it.
    explicit SystemChunk(uint32_t chunkId) : chunkId(chunkId) {}
    SystemChunk(const SystemChunk&) = delete;
    SystemChunk& operator=(const SystemChunk&) = delete;

    // Gets, for each id in the system's dependencies, the object's chunk of that id.
    virtual void Link(SystemChunk* dependency);
    virtual ~SystemChunk() = default;
    // Reads the chunk's section of a definition; the cursor stands on the section's head. The
    // base reads "StoreList".
    virtual void Init(const ParconCursor& cursor);
    // Writes the chunk's keys as definition text; true when it wrote.
    virtual bool Write(std::ostream& out) const;

    // What "regionFromSprite" asks of the chunk filed under 'SPRT': the rectangle of the first
    // frame of the named animation of the chunk's animation player. Nothing for a chunk that
    // has no animation player; the sprite chunk answers it.
    virtual std::optional<FrameRect> FirstFrameRect(const std::string& animation) const;

    uint32_t chunkId = 0;
    std::set<std::string> storeList; // key names that Write writes back
    System* system = nullptr;
    Object* object = nullptr;
    uint32_t index = 0; // 0 for the first or only chunk of its system
};

// A component system of a scene, named by a four-character id. The scene owns it (from
// ObjectsManager::AddSystem on) and runs it in its list order, and deletes it only after the
// scene's objects are gone.
class System {
public:
    // Files the system in the owner's system map under id, where a later system of the same id
    // replaces it; the creator then gives it its place with ObjectsManager::AddSystem.
    System(ObjectsManager* owner, uint32_t id);
    virtual ~System();
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    virtual void Update(float dt);
    virtual void PreRender();
    virtual void PostRender();
    virtual void Render();
    virtual void AfterRender();
    // A new chunk with the chunk index, or null for a system that makes no chunks.
    virtual SystemChunk* CreateChunk(uint32_t index);
    // Deletes the chunk, taking it out of the kept chunks first (nothing for null).
    virtual void DestroyChunk(SystemChunk* chunk);
    virtual void ObjectAdded(Object* object);
    // The scene is about to let the object go.
    virtual void ObjectRemoved(Object* object);

    // The chunks of a system that keeps them, in the order they were made.
    const std::vector<SystemChunk*>& Chunks() const { return chunkList; }
    // Takes the object's chunks out of the kept ones: the scene has let it go, and the system
    // must not run or draw them while the object waits to be freed (which, for a scene whose
    // walk holds a nested game process, is not soon). They are deleted with the object.
    void ForgetKeptChunksOf(const Object* object);

    uint32_t id;
    std::vector<uint32_t> dependencies; // ids of the systems whose chunks this one's chunks need
    ObjectsManager* owner;

protected:
    // For systems that keep their chunks: the chunk becomes this system's and joins the list.
    SystemChunk* KeepChunk(std::unique_ptr<SystemChunk> chunk);
    // Deletes every kept chunk; an object still holding one forgets it first.
    void DeleteAllChunks();
    // The kept chunks, for systems that reorder them (the render systems sort theirs by depth).
    std::vector<SystemChunk*>& KeptChunks() { return chunkList; }

private:
    std::vector<SystemChunk*> chunkList;
};
