#pragma once

#include "engine/ClassFactory.h"
#include "world/fx/SceneEffect.h"

#include <string>
#include <string_view>

// What the two rising effects share: after a delay the target fades in while it moves to its end
// point by the remaining-time rule, then lands there with a sound and a puff of dust. A missing
// target ends it.
class RiseIntoPlace : public SceneEffect {
public:
    static constexpr const char* kDust = "gfx/fx/tomb_dust.prt";
    static constexpr float kDustEmission = 1.5f;
    static constexpr float kDustLife = 3.0f;

    void SetProperty(const ParconCursor&) override {}
    bool Update(float dt) override;

    float x = 0.0f; // the current point
    float y = 0.0f;
    float startX = 0.0f;
    float startY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    Object* target = nullptr;
    float elapsed = 0.0f;
    float duration = 1.0f;
    float delay = 0.0f;

protected:
    RiseIntoPlace(ObjectsManager* owner, float defaultDuration);
    // The target's current and initial position.
    void Place(float atX, float atY);
    // After the landing sound and the dust.
    virtual void Landed() {}

private:
    virtual const char* LandingSound() const = 0;
    void SpawnDust();
};

// A pillar rises 128 pixels out of the ground ("column_move" as it starts) and lands with
// "explosionlarge".
class FxPillar : public RiseIntoPlace, public OCreator<FxPillar> {
public:
    static constexpr std::string_view kClassName = "FxPillar";
    static constexpr float kRise = 128.0f;

    explicit FxPillar(ObjectsManager* owner);

    // The object, invisible, 128 pixels below its place, rises to it after the delay.
    void Start(Object* object, float startDelay);

private:
    const char* LandingSound() const override { return "explosionlarge"; }
};

// A book flies from the library machine's slot at (673, 462) to its place on the shelf, its
// "_enabled" flag set at once, and lands with "paper_place"; the first book there may bring the
// librarian's dialogue.
class FxBook : public RiseIntoPlace, public OCreator<FxBook> {
public:
    static constexpr std::string_view kClassName = "FxBook";
    static constexpr float kSlotX = 673.0f;
    static constexpr float kSlotY = 462.0f;
    static constexpr const char* kDialogue = "menus\\tutorials\\z5-library-in\\msg5.txt";

    explicit FxBook(ObjectsManager* owner);

    void Start(Object* object, float startDelay);

private:
    const char* LandingSound() const override { return "paper_place"; }
    // "dialog5" while the book's own flag, the library's "dialog3_killed" and its machine's
    // card count (below 4) say the librarian has not spoken yet.
    void Landed() override;
};
