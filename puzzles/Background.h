#pragma once

#include "world/BaseGameObject.h"

#include <string_view>

// The backdrop of a mini-game scene: a plain scene object, published in SceneBackground so that
// the puzzle managers can play its animations and test clicks against its collision rectangle.
class Background : public BaseGameObject, public OCreator<Background> {
public:
    static constexpr std::string_view kClassName = "Background";

    // Becomes SceneBackground.
    explicit Background(ObjectsManager* owner);
    // SceneBackground is cleared when it is this one: a backdrop goes with its scene.
    ~Background() override;
};

// The newest Background, or null once it is gone.
extern Background* SceneBackground;
