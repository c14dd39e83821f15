#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"
#include "engine/ObjectLink.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Carries a container's slots out to their places or back in: one FxSlotOpenClose per item,
// launched from the last item to the first, one every interval.
class FxContainerOpenClose : public Object, public OCreator<FxContainerOpenClose> {
public:
    static constexpr std::string_view kClassName = "FxContainerOpenClose";

    explicit FxContainerOpenClose(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // The item shown (alpha 1) or not (alpha 0) as it waits, and appended.
    void AddItem(Object* item, bool visible);
    // The container's point, the way, and a word kept for the caller; the launches start with
    // the last item.
    void Setup(float x, float y, bool intoContainer, uint32_t word);
    bool Update(float dt) override;

    float elapsed = 2.2f; // past the interval, so the first item leaves at the first step
    float interval = 0.15f;
    int nextIndex = 0;
    bool intoContainer = false;
    uint32_t word = 0;
    float centreX = 0.0f;
    float centreY = 0.0f;

private:
    std::vector<ObjectLink> items;
};

// Carries one item between the container's point and its slot, spinning about the point and
// growing (coming out) or shrinking (going in). An item that came out is marked as arrived; one
// taken back in leaves the scene when it is in, since the next opening makes new ones.
class FxSlotOpenClose : public Object, public OCreator<FxSlotOpenClose> {
public:
    static constexpr std::string_view kClassName = "FxSlotOpenClose";

    explicit FxSlotOpenClose(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    // Coming out, the target starts unseen and small; going in, whole.
    void SetTarget(Object* target, bool intoContainer);
    // The way between the container's point and the target's place.
    void SetPath(float x, float y, bool intoContainer);
    bool Update(float dt) override;

    bool intoContainer = false;
    float elapsed = 0.0f;
    float duration = 1.6f;
    float centreX = 0.0f;
    float centreY = 0.0f;
    float spin = 0.0f;
    float startX = 0.0f;
    float startY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    float currentX = 0.0f;
    float currentY = 0.0f;

private:
    ObjectLink target;
};
