#pragma once

#include "engine/ClassFactory.h"
#include "engine/ObjectLink.h"
#include "ui/HudParts.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class ParticleEmitter;

// Adds map pieces to the current player at its first step, then, after its delay, makes the
// HUD's map-piece display glow for a while.
class UIAddMapPiece : public UIObject, public OCreator<UIAddMapPiece>, public MapPieceCounterPart {
public:
    static constexpr std::string_view kClassName = "UIAddMapPiece";
    // Where the burst of the glow shows.
    static constexpr float kBurstX = 70.0f;
    static constexpr float kBurstY = 700.0f;

    explicit UIAddMapPiece(ObjectsManager* owner);

    // Reads no keys.
    void SetProperty(const ParconCursor&) override {}
    void Start(int pieces, float delay) override;
    bool Update(float dt) override;

    float clock = 0.0f;
    bool glowStarted = false;
    int32_t startCount = 0;
    int32_t piecesToAdd = 0;
    float glowTime = 0.8f;
    float delay = 0.0f;
    bool piecesAdded = false;
};

// A picked-up map piece flying across the screen to the HUD, shrinking as it lands; then it
// tells MainUI ('ADDA').
class UIFxMapPieceFly : public UIObject,
                        public OCreator<UIFxMapPieceFly>,
                        public MapPieceFlightPart {
public:
    static constexpr std::string_view kClassName = "UIFxMapPieceFly";
    static constexpr float kFlightTime = 1.0f;

    explicit UIFxMapPieceFly(ObjectsManager* owner);
    ~UIFxMapPieceFly() override;

    // The art, a "UIBitmapButton" on MainUI playing the animation, and the trail start at
    // (x0, y0) toward (x1, y1). Without MainUI nothing flies.
    void Start(float x0, float y0, float x1, float y1, const std::string& animationFile,
               const std::string& animationName) override;
    bool Update(float dt) override;
    void TopDraw() override;

    // The flying art while it is on MainUI; null otherwise.
    Object* Art() const;

    float clock = 0.0f;
    float flightTime = kFlightTime;
    float x = 0.0f;
    float y = 0.0f;
    float targetX = 0.0f;
    float targetY = 0.0f;
    float unused = 0.0f;
    bool done = false;

private:
    ObjectLink art;
    std::unique_ptr<ParticleEmitter> trail;
};
