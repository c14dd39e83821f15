#include "world/fx/FxAnim.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"

#include <array>
#include <cstdint>

FxAnim::FxAnim(ObjectsManager* owner) : Object(owner) {
    SetCreator(this, 0, 0);
    if (owner == nullptr) {
        return;
    }
    const std::array<uint32_t, 2> ids = {FourCC("POSI"), FourCC("SPRT")};
    std::array<System*, 2> systems{};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        systems[i] = owner->FindSystem(ids[i]);
        if (systems[i] == nullptr) {
            throw Exception("Unknown system: %s", FourCCText(ids[i]).c_str());
        }
    }
    for (System* system : systems) {
        AddToSystem(system, 0);
    }
}

bool FxAnim::Update(float) {
    const auto* sprite = dynamic_cast<const SpriteRenderChunk*>(GetChunk(FourCC("SPRT"), 0));
    // An unbound player plays nothing, so there is nothing to wait for.
    if (sprite == nullptr || sprite->player.GetFileName().empty() || sprite->player.IsFinished()) {
        dead = true;
        return false;
    }
    return true;
}

PositionChunk& FxAnim::Position() {
    return RequireChunk<PositionChunk>(FourCC("POSI"));
}

SpriteRenderChunk& FxAnim::Sprite() {
    return RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
}
