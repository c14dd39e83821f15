#include "engine/ClassFactory.h"

#include "engine/Exception.h"

std::unique_ptr<std::vector<const BaseReg*>> ClassRegistry;
std::map<std::string, const BaseReg*, std::less<>> ClassFactoryMap;

BaseReg::BaseReg() {
    if (ClassRegistry == nullptr) {
        ClassRegistry = std::make_unique<std::vector<const BaseReg*>>();
    }
    ClassRegistry->push_back(this);
}

namespace {

bool IsPending(const BaseReg* registrar) {
    return dynamic_cast<const PendingRegisterer*>(registrar) != nullptr;
}

} // namespace

std::unique_ptr<Object> PendingRegisterer::Create(ObjectsManager*) const {
    throw Exception("Class %s is not available yet", MessagePart(className).c_str());
}

void MoveClassRegistry() {
    if (ClassRegistry == nullptr) {
        return;
    }
    for (const BaseReg* registrar : *ClassRegistry) {
        const BaseReg*& filed = ClassFactoryMap[registrar->GetName()];
        // A class that is built keeps its name when the list of pending names still holds it.
        if (filed != nullptr && IsPending(registrar) && !IsPending(filed)) {
            continue;
        }
        filed = registrar;
    }
    ClassRegistry.reset();
}
