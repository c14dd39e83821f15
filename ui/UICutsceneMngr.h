#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The cut-scene camera as the path hands it on: an offset, a scale kept within its limits, and
// the view's size. Kept as data; nothing is drawn through it.
struct CutsceneCamera {
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    double scale = 1.0;
    double lowerLimit = -100.0;
    double upperLimit = 100.0;
    double viewWidth = 1024.0;
    double viewHeight = 768.0;
    // The last point of the path handed on.
    float pointX = 0.0f;
    float pointY = 0.0f;
    float pointZ = 0.0f;
    int pointsTaken = 0;
    double shownScale = 1.0;

    void Reset() { *this = CutsceneCamera(); }
    void TakePoint(float x, float y, float z);
    // The scale with the zoom applied, held within the limits, as shownScale.
    void LimitScale(float zoom);
};

// The invisible manager of the cut-scene screen: it runs the camera along its path, 25 points a
// second, and keeps the screen's backgrounds ('BACK') at an offset that the arrow keys move and a
// zoom that Home and End change.
class UICutsceneMngr : public Object, public OCreator<UICutsceneMngr> {
public:
    static constexpr std::string_view kClassName = "UICutsceneMngr";
    static constexpr const char* kPathFile = "menus/cutscenes/intro_camera_path.txt";
    // Pixels a second that a held arrow key moves the backgrounds.
    static constexpr float kPanSpeed = 100.0f;
    // The backgrounds' positions count from the far corner of the screen.
    static constexpr float kOriginX = 1024.0f;
    static constexpr float kOriginY = 768.0f;
    static constexpr float kIndexTolerance = 1e-3f;

    struct Point {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
    };

    // Reads the camera path; a path that cannot be read throws, naming the file.
    explicit UICutsceneMngr(ObjectsManager* owner);
    // The view whole again.
    ~UICutsceneMngr() override;

    // Keys are not read; the scene's 'BACK' objects are collected.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;
    // Hands the camera the point of the clock (the last one once the path has run out).
    void Draw() override;
    void OnObjectGoing(Object* going) override;

    // Appends the points of a path file: blank lines skipped, each other line nine numbers read
    // as three points (a, b, c), each kept as (a, c, -b). Throws "Can't open file %s for
    // reading." for a file that cannot be read, and names file and line for a line that is not
    // nine numbers.
    void ReadFloatRows(const std::string& file);

    float clock = 0.0f;
    int32_t pointIndex = 0;
    std::vector<Object*> backgrounds;
    std::vector<Point> points;
    float pointsPerSecond = 25.0f;
    CutsceneCamera camera;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float offsetZ = 0.0f;
    float zoom = 1.0f;
    bool collected = false;

private:
    void CollectBackgrounds();
};
