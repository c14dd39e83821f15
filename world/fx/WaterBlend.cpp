#include "world/fx/WaterBlend.h"

#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/Random.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace {

// Calls read(key name, key) for every key of the Data list.
template <typename Read>
void ReadKeys(const ParconCursor& cursor, Read read) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        read(key.GetListName(), key);
    }
}

} // namespace

WaterBlend::WaterBlend(ObjectsManager* owner) : LabelTarget(owner) {
    SetCreator(this, 0, 0);
}

void WaterBlend::SetProperty(const ParconCursor& cursor) {
    ReadKeys(cursor, [this](const std::string& k, ParconCursor& key) {
        if (k == "name") {
            name = key.NextString(true, "");
        } else if (k == "alphaOffset") {
            alphaOffset = key.NextFloat(true, 0.0f);
        }
    });
    ChooseTarget();
}

bool WaterBlend::Update(float dt) {
    if (!Present(target)) {
        return false;
    }
    phase += dt;
    SetAlpha((std::sin(2.0f * (phase + alphaOffset * std::numbers::pi_v<float>)) + 1.0f) / 2.5f);
    return true;
}

WaterfallBlend::WaterfallBlend(ObjectsManager* owner) : LabelTarget(owner) {
    SetCreator(this, 0, 0);
}

void WaterfallBlend::SetProperty(const ParconCursor& cursor) {
    ReadKeys(cursor, [this](const std::string& k, ParconCursor& key) {
        if (k == "name") {
            name = key.NextString(true, "");
        } else if (k == "alphaOffset") {
            alphaOffset = key.NextFloat(true, 0.0f);
        } else if (k == "downDistance") {
            downDistance = key.NextFloat(true, 0.0f);
        } else if (k == "speed") {
            speed = key.NextFloat(true, 0.0f);
        }
    });
    ChooseTarget();
}

bool WaterfallBlend::Update(float dt) {
    if (!Present(target)) {
        return false;
    }
    if (PositionChunk* position = Position(target)) {
        position->y += speed * dt;
        if (position->initialY + downDistance <= position->y) {
            position->y = position->initialY;
        }
    }
    phase += dt;
    SetAlpha(static_cast<float>(Random()) / static_cast<float>(kRandomMax) * 0.5f + 0.2f);
    return true;
}
