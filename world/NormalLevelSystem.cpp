#include "world/NormalLevelSystem.h"

#include "engine/FourCC.h"
#include "world/WorldHooks.h"

NormalLevelSystem::NormalLevelSystem(ObjectsManager* owner) : LevelSystem(owner, FourCC("LEVH")) {}

void NormalLevelSystem::OnMessage(const void*, uint32_t, uint32_t) {}

void NormalLevelSystem::Clear() {}

void NormalLevelSystem::Deactivate() {
    leaveArmed = false;
    active = false;
}

void NormalLevelSystem::DropHeldItem() {
    heldItemName.clear();
    if (const auto& hide = GetWorldHooks().hideHeldItem) {
        hide();
    }
}

void NormalLevelSystem::HoldItem(const std::string& item) {
    heldItemName = item;
    if (const auto& show = GetWorldHooks().showHeldItem) {
        show("gfx/objects/" + item + ".ani");
    }
}
