#pragma once

#include "world/BaseGameObject.h"

#include <string>
#include <string_view>

// Opens a dialogue file in the dialogue window once its delay has run out after the game level
// finished loading its scene, then goes. A named one that is not repeatable leaves its
// "_killed" flag, so it never shows again.
class GameModalDialog : public BaseGameObject, public OCreator<GameModalDialog> {
public:
    static constexpr std::string_view kClassName = "GameModalDialog";

    explicit GameModalDialog(ObjectsManager* owner);

    // The object's keys, then "delay", "fileName" (which clears repeat) and "repeat"; then one
    // state evaluation, and, unless that disabled or killed it, the dialogue is armed.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    void SetFileName(const std::string& file, bool repeatable) {
        fileName = file;
        repeat = repeatable;
    }
    void SetDelay(float seconds) {
        pending = true;
        delay = seconds;
    }

    std::string fileName;
    bool done = false;
    bool pending = false;
    float delay = 0.0f;
    bool repeat = false;

private:
    // The nested dialogue loop may have let this object or its scene go.
    bool StillInScene() const;
};
