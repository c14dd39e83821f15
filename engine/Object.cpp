#include "engine/Object.h"

#include "engine/ClassFactory.h"
#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/profile.h"

#include <algorithm>
#include <ostream>

namespace {

uint64_t lastSerial = 0;

} // namespace

Object::Object(ObjectsManager* owner) : owner(owner), serial(++lastSerial) {}

Object::Object() : owner(nullptr), visName("unknown"), serial(++lastSerial) {}

Object::~Object() {
    while (!chunks.empty()) {
        const auto first = chunks.begin();
        SystemChunk* chunk = first->second.front();
        first->second.erase(first->second.begin());
        if (first->second.empty()) {
            chunks.erase(first);
        }
        chunk->object = nullptr;
        if (chunk->system != nullptr) {
            chunk->system->DestroyChunk(chunk);
        } else {
            delete chunk;
        }
    }
    if (listening && owner != nullptr) {
        owner->RemoveRemovalListener(this);
    }
}

void Object::OnMessage(const void*, uint32_t, uint32_t) {}

void Object::SetCreator(const BaseOCreator* newCreator, uint32_t, uint32_t) {
    creator = newCreator;
}

void Object::ApplyDefinition(const std::string& definitionName, bool instance) {
    if (owner == nullptr) {
        return;
    }
    const ObjectDefinition* definition;
    {
        ProfileScope profile("omanager->GetObjectDef");
        definition = owner->GetObjectDef(definitionName);
    }
    if (definition == nullptr) {
        return;
    }
    ObjectsManager::DefinitionInUse inUse(*owner, *this, *definition, definitionName);
    LoadFromNode(definition->cursor, instance);
}

bool Object::WriteDefinition(std::ostream&) const {
    return false;
}

bool Object::Update(float) {
    return !dead;
}

void Object::PreDraw() {}
void Object::PostDraw() {}
void Object::Draw() {}
void Object::TopDraw() {}
void Object::Pause() {}
void Object::Resume() {}
void Object::OnObjectGoing(Object*) {}

// Each element after the cursor is handled by the first rule that fits: a word applies the
// definition of that name where it stands (definitions only), then "Data", "regionFromSprite",
// "visName", "disableFlag", "enableFlag", "Name", "Label", and any other list is the section
// of the system its head names. So what a definition names comes first and what follows it
// overrides it.
void Object::LoadFromNode(const ParconCursor& cursor, bool instance) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const ParconNode* node = element.Current();
        if (node->kind == ParconNode::kValue) {
            const std::string_view text = element.List()->Text(*node);
            if (!instance && !text.empty()) {
                ApplyDefinition(std::string(text), false);
            }
            continue;
        }
        ParconCursor section(element.GetList(), 0);
        const std::string head = section.GetListName();
        if (head == "Data") {
            SetProperty(section);
        } else if (head == "regionFromSprite") {
            const std::string animation = section.NextString(true, "");
            const SystemChunk& sprite = RequireChunk(FourCC("SPRT"));
            CollisionChunk& collision = RequireChunk<CollisionChunk>(FourCC("COLI"));
            const std::optional<FrameRect> rect = sprite.FirstFrameRect(animation);
            if (!rect) {
                throw Exception("%s: its SPRT chunk has no animation player for regionFromSprite",
                                MessagePart(MessageName()).c_str());
            }
            collision.left = static_cast<float>(rect->left);
            collision.top = static_cast<float>(rect->top);
            collision.right = static_cast<float>(rect->right);
            collision.bottom = static_cast<float>(rect->bottom);
        } else if (head == "visName") {
            visName = section.NextString(true, "");
        } else if (head == "disableFlag" || head == "enableFlag") {
            std::vector<std::string>& flags = head == "disableFlag" ? disableFlags : enableFlags;
            while (section.Next()) {
                if (section.Current()->kind == ParconNode::kValue) {
                    flags.push_back(section.GetString(""));
                }
            }
        } else if (head == "Name") {
            code = FourCC(section.NextString(true, ""));
        } else if (head == "Label") {
            // Read by the definitions loader.
        } else {
            const uint32_t id = FourCC(head);
            uint32_t index = 0;
            if (section.HasNextValue()) {
                ParconCursor indexWord = section;
                indexWord.Next();
                index = FourCC(indexWord.GetString(""));
            }
            SystemChunk* chunk = GetChunk(id, index);
            if (chunk == nullptr) {
                ProfileScope profile("AddToSystem");
                System* system = owner != nullptr ? owner->FindSystem(id) : nullptr;
                if (system == nullptr) {
                    throw Exception("Unknown system: %s", MessagePart(head).c_str());
                }
                chunk = AddToSystem(system, index);
            }
            ProfileScope profile("chunk->Init");
            chunk->Init(section);
        }
    }
}

namespace {

SystemChunk* FindChunk(const std::map<uint32_t, std::vector<SystemChunk*>>& chunks, uint32_t id,
                       uint32_t index) {
    const auto found = chunks.find(id);
    if (found == chunks.end() || found->second.empty()) {
        return nullptr;
    }
    if (index == 0) {
        return found->second.front();
    }
    for (SystemChunk* chunk : found->second) {
        if (chunk->index == index) {
            return chunk;
        }
    }
    return nullptr;
}

} // namespace

SystemChunk* Object::GetChunk(uint32_t id, uint32_t index) {
    return FindChunk(chunks, id, index);
}

const SystemChunk* Object::GetChunk(uint32_t id, uint32_t index) const {
    return FindChunk(chunks, id, index);
}

SystemChunk& Object::RequireChunk(uint32_t id, uint32_t index) {
    SystemChunk* chunk = GetChunk(id, index);
    if (chunk == nullptr) {
        ThrowMissingChunk(id);
    }
    return *chunk;
}

void Object::ThrowMissingChunk(uint32_t id) const {
    throw Exception("%s has no %s chunk", MessagePart(MessageName()).c_str(),
                    FourCCText(id).c_str());
}

SystemChunk* Object::AddToSystem(System* system, uint32_t index) {
    SystemChunk* chunk = system->CreateChunk(index);
    if (chunk == nullptr) {
        throw Exception("System %s makes no chunks (object %s)", FourCCText(system->id).c_str(),
                        MessagePart(MessageName()).c_str());
    }
    chunk->index = index;
    chunks[chunk->system != nullptr ? chunk->system->id : chunk->chunkId].push_back(chunk);
    chunk->object = this;
    return chunk;
}

void Object::ResolveDependencies() {
    for (const auto& [id, list] : chunks) {
        for (SystemChunk* chunk : list) {
            if (chunk->system == nullptr) {
                continue;
            }
            for (const uint32_t dependency : chunk->system->dependencies) {
                SystemChunk* other = GetChunk(dependency, 0);
                if (other == nullptr) {
                    throw Exception("Unresolved dependencies in systems");
                }
                chunk->Link(other);
            }
        }
    }
}

std::string Object::GetClassName() const {
    return creator != nullptr ? creator->GetName() : std::string();
}

std::string Object::MessageName() const {
    if (!name.empty()) {
        return name;
    }
    const std::string className = GetClassName();
    return className.empty() ? std::string("object") : className;
}

void Object::ForgetChunk(SystemChunk* chunk) {
    for (auto entry = chunks.begin(); entry != chunks.end(); ++entry) {
        std::vector<SystemChunk*>& list = entry->second;
        const auto found = std::find(list.begin(), list.end(), chunk);
        if (found != list.end()) {
            list.erase(found);
            if (list.empty()) {
                chunks.erase(entry);
            }
            chunk->object = nullptr;
            return;
        }
    }
}
