#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <string_view>

struct Matrix;

// A camera bump on the whole view: over its time the view swells, tilts and drifts toward the
// screen's middle and comes back. The view transform is identity again at the end, and also when
// the effect goes early (its scene cleared mid-zoom).
class FxZoom : public Object, public OCreator<FxZoom> {
public:
    static constexpr std::string_view kClassName = "FxZoom";

    explicit FxZoom(ObjectsManager* owner);
    ~FxZoom() override;

    // "maxRotation" (degrees), "maxScale" and "time".
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    // The view at t (0 to 1) of the bump: about the centre, scaled, then turned, then moved.
    Matrix ViewAt(float t) const;

    float elapsed = 0.0f;
    float time = 2.0f;
    float maxScale = 2.0f;
    float maxRotation = 3.0f; // radians
    float centreX = 0.0f;     // no key and no caller sets the centre
    float centreY = 0.0f;
};
