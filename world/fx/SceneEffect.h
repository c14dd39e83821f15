#pragma once

#include "engine/Object.h"

#include <vector>

class PositionChunk;
class RenderChunk;

// What the effects that act on single objects of their scene share: their target pointers read
// as missing once the object is marked dead or the scene lets it go (the effect listens for
// removals and drops the pointer then), so no step touches an object the scene deleted.
class SceneEffect : public Object {
public:
    explicit SceneEffect(ObjectsManager* owner);
    ~SceneEffect() override;

    // Drops every watched pointer to the object.
    void OnObjectGoing(Object* going) override;

    // Set and not marked dead.
    static bool Present(const Object* object) { return object != nullptr && !object->dead; }
    // The object's 'SPRT' and 'POSI' chunks, or null.
    static RenderChunk* Sprite(Object* object);
    static PositionChunk* Position(Object* object);
    // One step of the remaining-time move: the rest of the way over the time left. The last
    // step (no more time left than the step) lands on the end, so none overshoots or divides by
    // a vanishing time.
    static float Approach(float current, float end, float timeLeft, float dt) {
        return timeLeft <= dt ? end : current + (end - current) / timeLeft * dt;
    }

protected:
    // A pointer member that the effect keeps on an object of its scene; registered once, by the
    // constructor of the class that declares it.
    void Watch(Object** slot) { watched.push_back(slot); }

private:
    std::vector<Object**> watched;
};
