#include "engine/ObjectLink.h"

#include "engine/Object.h"
#include "engine/ObjectsManager.h"

#include <memory>

ObjectLink::ObjectLink(Object* linked)
    : object(linked), serial(linked != nullptr ? linked->Serial() : 0) {}

Object* ObjectLink::In(const ObjectsManager* scene) const {
    if (scene == nullptr || object == nullptr) {
        return nullptr;
    }
    // Only objects still listed are read, so a gone object is never touched.
    for (const std::unique_ptr<Object>& slot : scene->Objects()) {
        if (slot.get() == object) {
            return object->Serial() == serial && !object->dead ? object : nullptr;
        }
    }
    return nullptr;
}
