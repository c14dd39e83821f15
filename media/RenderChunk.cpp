#include "media/RenderChunk.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"

#include <string>

void RenderChunk::Link(SystemChunk* dependency) {
    if (dependency->system != nullptr && dependency->system->id == FourCC("POSI")) {
        // A chunk of another kind filed under 'POSI' has no position to give.
        position = dynamic_cast<PositionChunk*>(dependency);
    }
}

void RenderChunk::Init(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string name = key.GetListName();
        if (name == "alpha") {
            alpha = baseAlpha = key.NextFloat(true, 0.0f);
        } else if (name == "zOrder") {
            zOrder = baseZOrder = key.NextFloat(true, 0.0f);
        } else if (name == "scale") {
            scale = baseScale = key.NextFloat(true, 0.0f);
        } else if (name == "preRender") {
            preRender = key.NextInt(true, 0) != 0;
        } else if (name == "postRender") {
            postRender = key.NextInt(true, 0) != 0;
        } else if (name == "afterAllRender") {
            afterAllRender = key.NextInt(true, 0) != 0;
        }
    }
}

void RenderChunk::Draw() {}

void RenderChunk::Update(float dt) {
    if (showDelay > 0.0f) {
        visible = false;
        showDelay -= dt;
        if (showDelay <= 0.0f) {
            visible = true;
        }
    }
}
