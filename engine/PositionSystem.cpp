#include "engine/PositionSystem.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"

#include <memory>
#include <ostream>

void PositionChunk::Init(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        if (name == "position") {
            x = key.NextFloat(true, 0.0f);
            y = key.NextFloat(true, 0.0f);
        } else if (name == "rotation") {
            rotation = key.NextFloat(true, 0.0f);
            initialRotation = rotation;
        }
    }
    initialX = x;
    initialY = y;
}

bool PositionChunk::Write(std::ostream& out) const {
    out << "(position " << x << " " << y << ") ";
    if (rotation != 0.0f) {
        out << "(rotation " << rotation << ") ";
    }
    return true;
}

PositionSystem::PositionSystem(ObjectsManager* owner) : System(owner, FourCC("POSI")) {}

SystemChunk* PositionSystem::CreateChunk(uint32_t) {
    auto chunk = std::make_unique<PositionChunk>();
    chunk->system = this;
    return chunk.release();
}
