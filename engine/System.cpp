#include "engine/System.h"

#include "engine/Object.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"

#include <algorithm>
#include <iterator>
#include <ostream>

// ---------------------------------------------------------------------------------------------
// Chunk

void SystemChunk::Link(SystemChunk*) {}

void SystemChunk::Init(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        if (key.GetListName() != "StoreList") {
            continue;
        }
        while (key.Next()) {
            if (key.Current()->kind == ParconNode::kValue) {
                storeList.insert(key.GetString(""));
            }
        }
    }
}

bool SystemChunk::Write(std::ostream&) const {
    return false;
}

std::optional<FrameRect> SystemChunk::FirstFrameRect(const std::string&) const {
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// System

System::System(ObjectsManager* owner, uint32_t id) : id(id), owner(owner) {
    if (owner != nullptr) {
        owner->systems[id] = this;
    }
}

System::~System() {
    DeleteAllChunks();
    if (owner != nullptr) {
        const auto filed = owner->systems.find(id);
        if (filed != owner->systems.end() && filed->second == this) {
            owner->systems.erase(filed);
        }
    }
}

void System::Update(float) {}
void System::PreRender() {}
void System::PostRender() {}
void System::Render() {}
void System::AfterRender() {}

SystemChunk* System::CreateChunk(uint32_t) {
    return nullptr;
}

// A kept chunk leaves the list first. Searched from the end, where a scene that frees many
// objects at once takes them from.
void System::DestroyChunk(SystemChunk* chunk) {
    if (chunk == nullptr) {
        return;
    }
    const auto kept = std::find(chunkList.rbegin(), chunkList.rend(), chunk);
    if (kept != chunkList.rend()) {
        chunkList.erase(std::next(kept).base());
    }
    delete chunk;
}

void System::ForgetKeptChunksOf(const Object* object) {
    std::erase_if(chunkList,
                  [object](const SystemChunk* chunk) { return chunk->object == object; });
}

void System::ObjectAdded(Object*) {}
void System::ObjectRemoved(Object*) {}

SystemChunk* System::KeepChunk(std::unique_ptr<SystemChunk> chunk) {
    chunk->system = this;
    chunkList.push_back(chunk.get());
    return chunk.release();
}

void System::DeleteAllChunks() {
    std::vector<SystemChunk*> kept;
    kept.swap(chunkList);
    for (SystemChunk* chunk : kept) {
        if (chunk->object != nullptr) {
            chunk->object->ForgetChunk(chunk);
        }
        delete chunk;
    }
}
