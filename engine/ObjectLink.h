#pragma once

#include <cstdint>

class Object;
class ObjectsManager;

// A pointer to an object that is not the holder's to keep alive: one of another scene, or one
// that may go before the holder. It is followed only by looking the very object up in a scene the
// caller names as alive, so an object that left its scene, or whose scene went, counts as gone,
// and a new object made where it lay is not taken for it.
class ObjectLink {
public:
    ObjectLink() = default;
    explicit ObjectLink(Object* object);

    // The object when it is still in the scene and not dead; null otherwise (and for a null
    // scene).
    Object* In(const ObjectsManager* scene) const;
    bool Empty() const { return object == nullptr; }
    void Reset() { *this = ObjectLink(); }
    // The object it was taken from, only to compare with; never to follow.
    const Object* Address() const { return object; }

private:
    Object* object = nullptr;
    uint64_t serial = 0;
};
