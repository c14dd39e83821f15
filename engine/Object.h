#pragma once

#include "engine/MessageReceiver.h"
#include "engine/System.h"

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

class BaseOCreator;
class ObjectsManager;
class ParconCursor;

// Everything that lives in a scene: a named bag of chunks (one per component system that its
// definition names) with a few common fields. The class factory builds objects by class name and
// the scene reads their definitions into them; the scene and the systems drive them through the
// virtual operations below.
class Object : public MessageReceiver {
public:
    // An object of the scene owner.
    explicit Object(ObjectsManager* owner);
    // An object that never enters a scene; its visName is "unknown".
    Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Ignores the message.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    // Every creatable class's constructor names its own OCreator part here; the two words are
    // not used.
    virtual void SetCreator(const BaseOCreator* creator, uint32_t, uint32_t);
    // Reads the owner scene's definition of that name into the object (LoadFromNode); nothing
    // when the scene has no such definition. A definition that comes back to itself through
    // the definitions it names throws.
    virtual void ApplyDefinition(const std::string& definitionName, bool instance);
    // Removes every chunk first.
    ~Object() override;
    // Reads the class's own keys from a "Data" list; the cursor stands on its head.
    virtual void SetProperty(const ParconCursor& cursor) = 0;
    // Writes the object's own keys as definition text; true when it wrote any.
    virtual bool WriteDefinition(std::ostream& out) const;
    // One step; false when the object is to go (the scene then marks it dead). The default
    // keeps the object while dead is clear.
    virtual bool Update(float dt);
    virtual void PreDraw();
    virtual void PostDraw();
    virtual void Draw();
    virtual void TopDraw();
    virtual void Pause();
    virtual void Resume();
    // For objects that keep pointers to other objects of their scene and listen for removals
    // (ObjectsManager::AddRemovalListener): `going` is leaving the scene and will be deleted,
    // so every pointer to it must be dropped now. The default does nothing.
    virtual void OnObjectGoing(Object* going);

    // Reads a definition list: the elements after the cursor, in order (see Object.cpp). With
    // instance set (a scene-file entry) plain words are skipped instead of applied.
    void LoadFromNode(const ParconCursor& cursor, bool instance);

    // The chunk of system id: with index 0 the first one, else the one with that chunk index;
    // null when there is none.
    SystemChunk* GetChunk(uint32_t id, uint32_t index);
    const SystemChunk* GetChunk(uint32_t id, uint32_t index) const;
    // GetChunk for code that cannot go on without the chunk: throws "%s has no %s chunk" (the
    // object's name and the id) when it is missing, or is not a Chunk.
    SystemChunk& RequireChunk(uint32_t id, uint32_t index = 0);
    template <typename Chunk>
    Chunk& RequireChunk(uint32_t id, uint32_t index = 0) {
        Chunk* chunk = dynamic_cast<Chunk*>(GetChunk(id, index));
        if (chunk == nullptr) {
            ThrowMissingChunk(id);
        }
        return *chunk;
    }
    // Has system make a chunk with that index for this object and files it; throws when the
    // system makes no chunks.
    SystemChunk* AddToSystem(System* system, uint32_t index);
    // Hands every chunk the chunks its system depends on; throws "Unresolved dependencies in
    // systems" when one is missing.
    void ResolveDependencies();

    // The class name the creator reports; empty without a creator.
    std::string GetClassName() const;
    std::vector<std::string> GetEnableFlags() const { return enableFlags; }
    std::vector<std::string> GetDisableFlags() const { return disableFlags; }
    // System id to its chunks, in the order they were added.
    const std::map<uint32_t, std::vector<SystemChunk*>>& Chunks() const { return chunks; }

    bool dead = false; // to be removed from the scene
    std::string name;  // the definition name the scene created it under
    std::vector<std::string> enableFlags;
    std::vector<std::string> disableFlags;
    ObjectsManager* owner;
    bool drawFirst = false; // drawn before the scene's systems
    uint32_t code = 0;      // four-character object code ("Name"), 0 for none
    std::string visName;

    // Never shared by two objects of a run, so a pointer kept to an object that may have gone can
    // be told from a new object made where it lay (ObjectLink).
    uint64_t Serial() const { return serial; }

private:
    friend class ObjectsManager;
    friend class System;

    // A name for messages: the definition name, else the class name.
    std::string MessageName() const;
    [[noreturn]] void ThrowMissingChunk(uint32_t id) const;
    // Takes the chunk out of the map without deleting it (its system is going first).
    void ForgetChunk(SystemChunk* chunk);

    std::map<uint32_t, std::vector<SystemChunk*>> chunks;
    const BaseOCreator* creator = nullptr;
    bool leaving = false;   // the scene has let it go; it is freed when the scene's walk ends
    bool listening = false; // among the owner's removal listeners
    uint64_t serial;
};
