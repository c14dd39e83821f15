#pragma once

#include "engine/ClassFactory.h"
#include "engine/ObjectLink.h"
#include "ui/UIObject.h"

#include <memory>
#include <string>
#include <string_view>

class ParticleEmitter;

// A tool just gained flying to its HUD slot with a particle trail: from left of x = 700 it swings
// in on an arc, from the right it comes straight. On arrival it bursts; once the trail has died
// out the art goes and, the first time per profile, the lens or orb hint opens.
class UIFxFlyTo : public UIObject, public OCreator<UIFxFlyTo> {
public:
    static constexpr std::string_view kClassName = "UIFxFlyTo";
    static constexpr float kFlightTime = 1.6f;

    explicit UIFxFlyTo(ObjectsManager* owner);
    ~UIFxFlyTo() override;

    // The art, a "UIBitmapButton" of this layer playing the animation of the file, and the
    // trail start at (x0, y0) toward (x1, y1).
    void Start(float x0, float y0, float x1, float y1, const std::string& animationFile,
               const std::string& animationName);
    bool Update(float dt) override;
    void TopDraw() override;

    // The flying art while it is in the layer; null otherwise.
    Object* Art() const { return art.In(owner); }

    float clock = 0.0f;
    float flightTime = kFlightTime;
    float x = 0.0f;
    float y = 0.0f;
    float targetX = 0.0f;
    float targetY = 0.0f;
    float turning = 1.0f;
    bool arrived = false;
    std::string animationName;

private:
    // The first-time hint of the lens or the orb.
    void OpenFirstHint() const;

    ObjectLink art;
    std::unique_ptr<ParticleEmitter> trail;
};
