#pragma once

#include "engine/ClassFactory.h"
#include "ui/UIObject.h"

#include <cstddef>
#include <string_view>
#include <vector>

// A picture that fades in and out on a timetable.
class UIStatic : public UIObject, public OCreator<UIStatic> {
public:
    static constexpr std::string_view kClassName = "UIStatic";

    explicit UIStatic(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    void RequireChunks() override;

    FadeTimes fades;
    float clock = 0.0f;
};

// A picture that walks a looping path of points, offsets from its defined position, playing
// "main" on the first and last segments and "left" between them.
class UIAnimObject : public UIStatic, public OCreator<UIAnimObject> {
public:
    static constexpr std::string_view kClassName = "UIAnimObject";

    struct Point {
        float x = 0.0f;
        float y = 0.0f;
        float readX = 0.0f;
        float readY = 0.0f;
        float time = 0.0f; // the segment's duration from this point; 1 s when 0
    };

    explicit UIAnimObject(ObjectsManager* owner);

    void SetProperty(const ParconCursor& cursor) override;
    // With fewer than two points the object stays where its definition puts it.
    bool Update(float dt) override;

    std::size_t index = 0;
    std::vector<Point> points;
    float segmentClock = 0.0f;
};
