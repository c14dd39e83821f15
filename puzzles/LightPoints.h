#pragma once

#include "media/AnimPlayer.h"
#include "world/BaseGameObject.h"
#include "world/GameButtonX.h"

#include <string>
#include <string_view>
#include <vector>

// Light points: a puzzle on the location itself. Each point is lit by using the right item (or
// the right tool) on it; once every point is lit the puzzle is solved: the points go quietly, the
// player earns one energy once, the tool goes back and a black overlay fades out.

class LightPoint : public GameButtonX, public OCreator<LightPoint> {
public:
    static constexpr std::string_view kClassName = "LightPoint";
    static constexpr const char* kWandHint = "menus\\tutorials\\OraclesHermitageInterior\\msg8.txt";
    static constexpr const char* kWandHintName = "dialog8";

    explicit LightPoint(ObjectsManager* owner);

    // The button's keys, then "lightAnim"; a point whose "_killed" flag is set starts lit.
    void SetProperty(const ParconCursor& cursor) override;
    // Lighting: see LightPoints.cpp.
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;

    std::string lightLabel; // the label of the scene objects that make up the light
    bool lit = false;

private:
    // Every living object of the light's label fades in.
    void ShowLight();
};

class LightPointsMngr : public BaseGameObject, public OCreator<LightPointsMngr> {
public:
    static constexpr std::string_view kClassName = "LightPointsMngr";
    static constexpr float kOverlayDepth = 300.0f;

    explicit LightPointsMngr(ObjectsManager* owner);
    ~LightPointsMngr() override;

    // The object's keys; then the scene's "LIGH" objects read so far whose "_killed" flag is clear.
    void SetProperty(const ParconCursor& cursor) override;
    // The state step; the solving; the overlay's fade. False once the fade is over.
    bool Update(float dt) override;
    // The black overlay, once solved, while no mini-game is open.
    void Draw() override;
    void OnObjectGoing(Object* going) override;

    const std::vector<Object*>& Points() const { return points; }

    AnimPlayer overlay;
    float delay = 2.0f;
    float overlayAlpha = 1.0f;
    bool solved = false;

private:
    // Every point still counted is a lit LightPoint.
    bool AllLit() const;
    void Solve();

    std::vector<Object*> points;
    bool collected = false;
};
