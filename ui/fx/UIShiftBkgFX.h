#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstdint>
#include <string_view>
#include <vector>

class PositionChunk;

// The entrance of a screen's background and panel: both start off the right edge and settle
// into place within a few seconds.
class UIShiftBkgFX : public UIObject, public OCreator<UIShiftBkgFX> {
public:
    static constexpr std::string_view kClassName = "UIShiftBkgFX";
    static constexpr float kDuration = 5.0f;
    static constexpr float kBackShift = 1024.0f;
    static constexpr float kPanelShift = 500.0f;
    static constexpr float kRate = 5.0f;

    explicit UIShiftBkgFX(ObjectsManager* owner);

    // "backObj" and "panelObj": object codes, each key once per object.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    std::vector<uint32_t> backObjects;
    std::vector<uint32_t> panelObjects;
    float clock = 0.0f;

private:
    // The positions moved off already; compared, never followed.
    std::vector<const PositionChunk*> shifted;
};
