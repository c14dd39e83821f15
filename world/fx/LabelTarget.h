#pragma once

#include "world/fx/SceneEffect.h"

#include <string>

// What the placed alpha effects share: a label ("name") whose last object in scene order is
// their target, chosen once their keys are read, and the target's sprite alpha they write.
class LabelTarget : public SceneEffect {
public:
    explicit LabelTarget(ObjectsManager* owner);

    std::string name;
    Object* target = nullptr;

protected:
    // The last live object of the scene whose code is the label's.
    void ChooseTarget();
    // The target's sprite alpha, when it has a sprite.
    void SetAlpha(float alpha);
};
