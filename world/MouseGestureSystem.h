#pragma once

#include "engine/KeyboardSystem.h"
#include "engine/Parcon.h"
#include "engine/System.h"
#include "media/Math2D.h"
#include "media/TextureManager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Level;

// An object's part in 'MOUG': made and destroyed as a keyboard chunk is, but sent nothing.
class MouseGestureChunk : public KeyboardChunk {};

// One straight run of a stroke in one of the four directions.
struct GestureSegment {
    char direction = 'R'; // 'L', 'R', 'U' or 'D'
    float length = 0.0f;
};

// One "gesture" list of "gestures.txt".
struct GestureTemplate {
    std::string pattern; // letters L, R, U, D
    std::string name;
    bool matchPart = false; // the pattern may match any part of the stroke
};

// 'MOUG': while a tool is in use on the game level, a stroke drawn with the left button is
// recorded as straight runs left, right, up and down, written as a text of their letters and
// looked up among the templates of "gestures.txt" in file order; its gesture name (empty when
// none matches) goes to the enabled "GestureGameElement" objects of a mini-game level named
// "gestures" or "switchpuzzle" and to the enabled "TelescopeGestureGameElement" objects of the
// game level. While the button is held a glowing trail follows the cursor and sparks fall behind
// it (drawn by the mini-game level's system while one is open). The level makes it last among its
// systems.
class MouseGestureSystem : public System {
public:
    static constexpr float kRatioThreshold = 6.0f;
    static constexpr float kSmallestMove = 4.0f;
    static constexpr float kTrailFadeEnd = 0.8f;
    static constexpr float kTrailWidth = 38.0f;
    // Past this many points the trail fades by steps instead of by time, so that it shortens.
    static constexpr std::size_t kMostTimedTrailPoints = 1800;
    static constexpr const char* kTemplateFile = "gestures.txt";
    static constexpr const char* kTrailTexture = "gfx/fx/gold_trail.jpg";
    static constexpr const char* kSparkFile = "gfx/fx/magic_trail.prt";
    static constexpr float kSparkEmission = 0.2f;
    static constexpr float kSparkLife = 2.0f;

    // Loads the trail texture and the templates; a missing "gestures.txt", or a template without
    // its name or pattern, throws the parser's error.
    explicit MouseGestureSystem(ObjectsManager* owner);
    ~MouseGestureSystem() override;

    void Update(float dt) override;
    // The trail, additively blended over everything.
    void PostRender() override;
    SystemChunk* CreateChunk(uint32_t index) override;

    // The directions of the segments longer than a tenth of the longest, in order.
    static std::string StrokeText(const std::vector<GestureSegment>& segments);
    // The name of the first template that matches the stroke text; empty when none does.
    std::string FindGesture(const std::string& strokeText) const;

    const std::vector<GestureTemplate>& Templates() const { return templates; }
    const std::vector<GestureSegment>& Segments() const { return segments; }
    const std::vector<GestureTrailPoint>& Trail() const { return trail; }
    bool Recording() const { return recording; }
    float StrokeLength() const { return strokeLength; }

private:
    void StartStroke();
    void Sample(Vector2 mouse);
    void AddSegment(char direction, float ratio, float length);
    void EndStroke();
    // The game level's system while a mini-game level is open over it.
    bool BeneathAMiniGame() const;
    void AddTrailPoint(Vector2 cursor);
    void SpawnSparks(Vector2 cursor);
    void UpdateTrail();

    TextureHandle trailTexture;
    std::vector<GestureSegment> segments;
    float lastRatio = 0.0f;
    float strokeLength = 0.0f;
    int32_t segmentCount = 0;
    std::vector<GestureTemplate> templates;
    std::vector<GestureTrailPoint> trail;
    float stepTime = 0.0f;
    bool recording = false;
    Vector2 lastSample;
    Vector2 trailAnchor;
    Vector2 sparkAnchor;
    float sparkHalfSize = 0.0f;
    // The spark definition, read at the first spark and kept.
    std::unique_ptr<Parcon> sparkDefinition;
};
