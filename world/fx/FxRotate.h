#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/SceneEffect.h"

#include <string_view>

// A quarter turn of a puzzle piece: the target's rotation goes by 90 degrees in the direction
// over the duration, then stands snapped to 0, 90, 180 or 270. The piece's busy mark (FxPiece)
// is set while it turns. A missing target ends the turn at once.
class FxQuarterTurn : public SceneEffect {
public:
    static constexpr float kTurn = 90.0f;

    // The angle in 0..360 snapped to the nearest quarter turn, 360 being 0.
    static float Snap(float angle);

    bool Update(float dt) override;
    void SetProperty(const ParconCursor&) override {}

    float currentAngle = 0.0f;
    float startAngle = 0.0f;
    float elapsed = 0.0f;
    float duration = 0.6f;
    int direction = 1;
    Object* target = nullptr;

protected:
    // lifted: the piece is raised (drawn on top, swelling and shrinking back) and "pick1" plays.
    FxQuarterTurn(ObjectsManager* owner, bool lifted);

private:
    bool lifted;
};

// The tile turn of the rotating tiles: lifted and with its sound.
class FxRotate : public FxQuarterTurn, public OCreator<FxRotate> {
public:
    static constexpr std::string_view kClassName = "FxRotate";
    static constexpr float kLiftedDepth = 250.0f;
    static constexpr float kRestingDepth = 102.0f;

    explicit FxRotate(ObjectsManager* owner);
};

// The pipe turn: in place and silent.
class FxPipeRotate : public FxQuarterTurn, public OCreator<FxPipeRotate> {
public:
    static constexpr std::string_view kClassName = "FxPipeRotate";

    explicit FxPipeRotate(ObjectsManager* owner);
};
