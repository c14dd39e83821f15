#include "engine/CollisionsSystem.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/profile.h"

#include <memory>
#include <ostream>

void CollisionChunk::Link(SystemChunk* dependency) {
    if (dependency->system != nullptr && dependency->system->id == FourCC("POSI")) {
        // A chunk of another kind filed under 'POSI' has no position to give.
        position = dynamic_cast<PositionChunk*>(dependency);
    }
}

void CollisionChunk::Init(const ParconCursor& cursor) {
    SystemChunk::Init(cursor);
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        if (name == "left") {
            left = readLeft = key.NextFloat(true, 0.0f);
        } else if (name == "right") {
            right = readRight = key.NextFloat(true, 0.0f);
        } else if (name == "top") {
            top = readTop = key.NextFloat(true, 0.0f);
        } else if (name == "bottom") {
            bottom = readBottom = key.NextFloat(true, 0.0f);
        }
    }
    disabled = false;
}

bool CollisionChunk::Write(std::ostream& out) const {
    if (storeList.contains("top")) {
        out << "(top " << top << ")\n";
    }
    if (storeList.contains("bottom")) {
        out << "(bottom " << bottom << ")\n";
    }
    if (storeList.contains("left")) {
        out << "(left " << left << ")\n";
    }
    if (storeList.contains("right")) {
        out << "(right " << right << ")\n";
    }
    return true;
}

bool CollisionChunk::Contains(float x, float y) const {
    if (disabled || position == nullptr) {
        return false;
    }
    return position->x + left <= x && x <= position->x + right && position->y + top <= y &&
           y <= position->y + bottom;
}

CollisionsSystem::CollisionsSystem(ObjectsManager* owner) : System(owner, FourCC("COLI")) {
    dependencies.push_back(FourCC("POSI"));
}

void CollisionsSystem::Update(float) {
    ProfileScope profile("CollisionsSystem::Update");
}

SystemChunk* CollisionsSystem::CreateChunk(uint32_t) {
    return KeepChunk(std::make_unique<CollisionChunk>());
}
