#include "engine/ClassFactory.h"

std::unique_ptr<std::vector<const BaseReg*>> ClassRegistry;
std::map<std::string, const BaseReg*, std::less<>> ClassFactoryMap;

BaseReg::BaseReg() {
    if (ClassRegistry == nullptr) {
        ClassRegistry = std::make_unique<std::vector<const BaseReg*>>();
    }
    ClassRegistry->push_back(this);
}

void MoveClassRegistry() {
    if (ClassRegistry == nullptr) {
        return;
    }
    for (const BaseReg* registrar : *ClassRegistry) {
        ClassFactoryMap[registrar->GetName()] = registrar;
    }
    ClassRegistry.reset();
}
