#include "world/MapPositionMngr.h"

#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "world/GameButtonX.h"
#include "world/Player.h"

#include <cstdint>
#include <memory>

namespace {

constexpr const char* kFarseesTower = "farsees_tower";
// That button's picture has the tower off its middle.
constexpr float kFarseesTowerShift = 35.0f;

} // namespace

MapPositionMngr::MapPositionMngr(ObjectsManager* owner) : Object(owner) {
    SetCreator(this, 0, 0);
}

GameButtonX* MapPositionMngr::FindMarkedButton() const {
    if (owner == nullptr || CurrentPlayer == nullptr) {
        return nullptr;
    }
    const std::string& last = CurrentPlayer->GetLastLevelId();
    for (const auto& object : owner->Objects()) {
        if (object == nullptr || object->name != "GameButtonX") {
            continue;
        }
        auto* button = dynamic_cast<GameButtonX*>(object.get());
        if (button != nullptr && !button->mapIndicator.empty() && button->mapIndicator == last) {
            return button;
        }
    }
    return nullptr;
}

void MapPositionMngr::SetProperty(const ParconCursor&) {
    GameButtonX* button = FindMarkedButton();
    if (button == nullptr) {
        return;
    }
    const auto* position = dynamic_cast<const PositionChunk*>(button->GetChunk(FourCC("POSI"), 0));
    const auto* picture =
        dynamic_cast<const SpriteRenderChunk*>(button->GetChunk(FourCC("SPRT"), 0));
    if (position == nullptr || picture == nullptr) {
        DebugLog("MapPositionMngr: the map button %s has no %s\n", button->visName.c_str(),
                 position == nullptr ? "position" : "sprite");
        return;
    }
    std::unique_ptr<Object> created = owner->CreateObject("GameAnim", false);
    created->ResolveDependencies();
    created->code = FourCC("PUZZ");

    const std::string animation = picture->player.CurrentAnimName();
    const FrameRect frame = picture->player.GetFrameRect(animation);
    const int32_t width = frame.right - frame.left;
    float x = position->x + static_cast<float>(width / 2);
    if (animation == kFarseesTower) {
        x -= kFarseesTowerShift;
    }
    float y = position->y - kArrowLift;
    if (y < kTopmostArrow) {
        y = kTopmostArrow;
    }
    auto& arrowPosition = created->RequireChunk<PositionChunk>(FourCC("POSI"));
    arrowPosition.x = arrowPosition.initialX = x;
    arrowPosition.y = arrowPosition.initialY = y;
    auto& arrowSprite = created->RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
    arrowSprite.player.Load(kArrowFile);
    arrowSprite.player.Play("idle", true, true, true, 0.0f);
    arrowSprite.scale = kArrowScale;
    arrow = created.get();
    owner->AddObject(std::move(created));
}

bool MapPositionMngr::Update(float dt) {
    elapsed += dt;
    return true;
}
