#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Buttons that fly in from one point when the screen's layer hands the effect its trigger: they
// start large, far in front and clear at the start point and glide to their places; then the
// effect posts its event to the layer and waits for the next trigger.
class UIFlyInFX : public UIObject, public OCreator<UIFlyInFX> {
public:
    static constexpr std::string_view kClassName = "UIFlyInFX";
    static constexpr float kStartScale = 4.0f;
    static constexpr float kStartDepth = 50.0f;
    static constexpr float kLongest = 5.0f;
    static constexpr float kNear = 0.1f;
    // The glide's rate per second for each unit of "zoomSpeed".
    static constexpr float kRatePerSpeed = 5.0f;

    explicit UIFlyInFX(ObjectsManager* owner);

    // "object", "flair" (object codes, repeatable), "zoomSpeed", "startPos" (x y), "event".
    void SetProperty(const ParconCursor& cursor) override;
    // 'ZOF1'..'ZOF4' fly that "flair" object alone; 'ZOE1'..'ZOE6' fly the "object" list.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;
    bool Update(float dt) override;

    bool Flying() const { return clock >= 0.0f; }

    std::vector<uint32_t> objects;
    std::vector<uint32_t> flairs;
    float zoomSpeed = 1.3f;
    float startX = 400.0f;
    float startY = 300.0f;
    uint32_t event = 0;
    float clock = -1.0f;
    bool flairChosen = false;

private:
    void Start();
    void Finish();
};

// What the layers and the main menu do after handling an event: the screen effects of the scene
// that start on events get it too.
void PassEventToScreenEffects(ObjectsManager& scene, const void* sender, uint32_t id,
                              uint32_t param);
