#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <string_view>
#include <vector>

// The change between two menu screens: the animated items already in the scene slide away to the
// right while the animated texts listed after the effect glide in one after another; the rest of
// the old screen goes at once. Ends after its fixed duration, leaving the new items in place.
class UIMenuFX : public UIObject, public OCreator<UIMenuFX> {
public:
    static constexpr std::string_view kClassName = "UIMenuFX";
    static constexpr float kDuration = 15.0f;
    // The slide-out speed grows with the distance of an item above this line.
    static constexpr float kSlideLine = 650.0f;

    explicit UIMenuFX(ObjectsManager* owner);
    ~UIMenuFX() override;

    // "zoomSpeed", "slideOutSpeed", "initShift", "initialScale", "timeGap"; then, once, the
    // scene's objects are collected.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void OnObjectGoing(Object* going) override;

    bool IsOutgoing(const Object* object) const;

    float clock = 0.0f;
    bool firstFrame = true;
    bool collected = false;
    float zoomSpeed = 4.0f;
    float slideOutSpeed = 4.0f;
    float initShift = -30.0f;
    float initialScale = 5.0f;
    float timeGap = 0.2f;
    int startedCount = -1;
    std::vector<Object*> outgoing;
    // The incoming items given their starting state.
    std::vector<Object*> placed;

private:
    void Collect();
    // The incoming items in scene order: animated texts that were not there before.
    std::vector<Object*> Incoming() const;
};
