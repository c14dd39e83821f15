#pragma once

#include "engine/ClassFactory.h"
#include "platform/gfx/Matrix.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string_view>

// The zoom into a place of a map screen and back out: over a second the whole screen is scaled
// about the target point while that point eases toward the screen's centre and the "zoom"
// picture over it clears. The zoom in ends by posting its event to the layer (again each step
// until the layer acts on it), the zoom out by posting its own and going idle. The zoomed view
// holds only while the effect's own scene draws, and is whole again when the effect goes, so no
// other screen (nor one that the layer runs on the event) is drawn zoomed.
class UIMapZoomFX : public UIObject, public OCreator<UIMapZoomFX> {
public:
    static constexpr std::string_view kClassName = "UIMapZoomFX";
    // How much larger the scene is at full zoom.
    static constexpr float kFullScale = 3.0f;
    static constexpr float kCentreX = 400.0f;
    static constexpr float kCentreY = 300.0f;

    explicit UIMapZoomFX(ObjectsManager* owner);
    ~UIMapZoomFX() override;

    // "trigger", "outTrigger", "event", "zoomOutEvent" (event ids), "target" (x y), "base" and
    // "zoom" (object codes).
    void SetProperty(const ParconCursor& cursor) override;
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    bool Update(float dt) override;
    // The zoomed view at the start of the scene's frame, the whole view after its last pass.
    void PreDraw() override;
    void TopDraw() override;

    // The view at progress p (0 whole, 1 full zoom) toward the target.
    static Matrix ViewAt(float p, float targetX, float targetY);
    static void SetView(const Matrix& view);

    uint32_t trigger = 0;
    uint32_t outTrigger = 0;
    uint32_t event = 0;
    uint32_t zoomOutEvent = 0;
    float targetX = kCentreX;
    float targetY = kCentreY;
    uint32_t baseCode = 0; // kept; the zoom itself does not move it
    uint32_t zoomCode = 0;
    float clock = 0.0f;
    bool active = false;
    bool zoomingIn = true;
    float progress = 0.0f; // 0 whole, 1 full zoom
    bool viewSet = false;
};
