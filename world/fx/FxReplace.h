#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/SceneEffect.h"

#include <string_view>

// Two puzzle pieces exchange places: each slides to where the other stood, then they exchange
// their slot values (FxPiece) and "pick1" plays. Their manager, reached through the first piece,
// is busy meanwhile. A piece that goes ends the exchange at the next step.
class FxReplace : public SceneEffect, public OCreator<FxReplace> {
public:
    static constexpr std::string_view kClassName = "FxReplace";

    explicit FxReplace(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    bool Update(float dt) override;

    float elapsed = 0.0f;
    float duration = 0.6f;
    Object* a = nullptr;
    Object* b = nullptr;
    float aStartX = 0.0f, aStartY = 0.0f, aEndX = 0.0f, aEndY = 0.0f, aDeltaX = 0.0f,
          aDeltaY = 0.0f;
    float bStartX = 0.0f, bStartY = 0.0f, bEndX = 0.0f, bEndY = 0.0f, bDeltaX = 0.0f,
          bDeltaY = 0.0f;
};

// Two wheel segments exchange their places on the ring at once and turn by an eighth, one each
// way, over the duration; their manager, reached through the first, is busy meanwhile.
class FxReplaceAngle : public SceneEffect, public OCreator<FxReplaceAngle> {
public:
    static constexpr std::string_view kClassName = "FxReplaceAngle";
    static constexpr int32_t kLastPlace = 7;

    explicit FxReplaceAngle(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // The turns go toward each other's place, the ring wrapping between 7 and 0; then the two
    // exchange their ring indices.
    void Start(Object* first, Object* second);
    bool Update(float dt) override;

    float elapsed = 0.0f;
    float duration = 0.6f;
    Object* a = nullptr;
    Object* b = nullptr;
    float aStartAngle = 0.0f;
    float aDelta = 0.0f;
    float bStartAngle = 0.0f;
    float bDelta = 0.0f;
};
