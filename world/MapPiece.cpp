#include "world/MapPiece.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <optional>

namespace {

constexpr int kFullVolume = 100;

bool ItemHeld() {
    return GameLevel != nullptr && GameLevel->levelSystem != nullptr &&
           !GameLevel->levelSystem->heldItemName.empty();
}

} // namespace

MapPiece::MapPiece(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<MapPiece>*>(this), 0, 0);
    clickSoundName = kPickSound;
}

void MapPiece::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (dead) {
        return;
    }
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string k = key.GetListName();
        if (k == "clickSoundName") {
            clickSoundName = key.NextString(true, "");
        } else if (k == "fadeInStart") {
            fadeInStart = key.NextFloat(true, 0.0f);
        } else if (k == "fadeInTime") {
            fadeInTime = key.NextFloat(true, 0.0f);
        } else if (k == "fadeOutStart") {
            fadeOutStart = key.NextFloat(true, 0.0f);
        } else if (k == "fadeOutTime") {
            fadeOutTime = key.NextFloat(true, 0.0f);
        } else if (k == "magicActivator") {
            magicActivator = key.NextString(true, "");
        }
    }
}

void MapPiece::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (!enabled || dead || id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return;
    }
    CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    for (const std::string& flag : enableClickFlags) {
        if (GetLevelFlag(flag) == 0) {
            Sounds.PlayByName("cannot", false, kFullVolume, 0);
            if (!cantClickMessage.empty()) {
                OpenDialog(cantClickMessage, false, 0.0f);
            }
            return;
        }
    }
    if (!magicActivator.empty() && GameLevel != nullptr) {
        const std::optional<std::string> tool = World().PermanentToolInUse();
        if (tool && *tool != magicActivator) {
            return;
        }
    }
    if (ItemHeld()) {
        return;
    }
    Sounds.PlayByName(clickSoundName, false, kFullVolume, 0);
    const auto* position = dynamic_cast<PositionChunk*>(GetChunk(FourCC("POSI"), 0));
    const float x = position != nullptr ? position->x : 0.0f;
    const float y = position != nullptr ? position->y : 0.0f;
    // A HUD without its counter would lose the piece: it is counted here instead.
    if (!World().CollectMapPiece(x, y) && CurrentPlayer != nullptr) {
        CurrentPlayer->AddMapPieces(1, false);
    }
    Kill();
}

bool MapPiece::Update(float dt) {
    RenderChunk* sprite = Sprite();
    if (enabled && sprite != nullptr) {
        elapsed += dt;
        const float full = sprite->baseAlpha;
        float alpha = full;
        if (fadeInStart >= 0.0f) {
            if (elapsed <= fadeInStart) {
                alpha = 0.0f;
            } else if (elapsed <= fadeInStart + fadeInTime && fadeInTime > 0.0f) {
                alpha = (elapsed - fadeInStart) / fadeInTime * full;
            }
        }
        if (fadeOutStart >= 0.0f && elapsed >= fadeOutStart) {
            if (elapsed <= fadeOutStart + fadeOutTime && fadeOutTime > 0.0f) {
                alpha = (1.0f - (elapsed - fadeOutStart) / fadeOutTime) * full;
            } else {
                alpha = 0.0f;
            }
        }
        sprite->alpha = alpha;
    }
    return BaseGameObject::Update(dt);
}

void MapPiece::Draw() {
    if (enabled) {
        BaseGameObject::Draw();
    }
}
