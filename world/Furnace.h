#pragma once

#include "engine/ClassFactory.h"
#include "world/GameButtonX.h"

#include <cstdint>
#include <string>
#include <string_view>

// The location's furnace that the player feeds with coal: each click with a coal on the cursor
// uses it up and counts it in the flag "Furnace_coals"; the 3rd, 6th and 9th coal put out one of
// the three heat meters ("heat-meter-0" .. "-2", through their "_killed" flags), and the 9th gives
// one energy.
class Furnace : public GameButtonX, public OCreator<Furnace> {
public:
    static constexpr std::string_view kClassName = "Furnace";
    static constexpr std::string_view kCoal = "hearth-of-power-in-coa";
    static constexpr const char* kCoalsFlag = "Furnace_coals";
    static constexpr const char* kSparks = "gfx/fx/furnace.prt";
    static constexpr int32_t kCoalsPerMeter = 3;
    static constexpr int32_t kMeters = 3;

    explicit Furnace(ObjectsManager* owner);

    // The coal count from its flag, then the object's keys (not the button's).
    void SetProperty(const ParconCursor& cursor) override;
    // A left press inside the furnace with a coal held feeds it; every other click does nothing.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;

    // An item whose first 22 characters are those of a coal.
    static bool IsCoal(std::string_view item);

    int32_t coals = 0;
};
