#include "puzzles/SkillGameSupport.h"

#include "engine/Log.h"
#include "engine/ObjectsManager.h"
#include "engine/ProcessResult.h"
#include "world/Level.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <memory>

void SetCloseFlag() {
    if (ModalLevel == nullptr) {
        DebugLog("%s", "No mini-game level: the close flag is not set\n");
        return;
    }
    ModalLevel->returnFlag = true;
}

void SetLocationFlag(const std::string& name, int value) {
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        DebugLog("The flag %s is not set: no location or no profile\n", name.c_str());
        return;
    }
    CurrentPlayer->SetFlag(GameLevel->GetName(), name, value);
}

void CloseTutorialPopUp() {
    World().SetTutorialResult(kResultClose);
}

Object* FindNamed(ObjectsManager* scene, const std::string& name) {
    if (scene == nullptr || name.empty()) {
        return nullptr;
    }
    for (const std::unique_ptr<Object>& slot : scene->Objects()) {
        if (slot != nullptr && slot->visName == name) {
            return slot.get();
        }
    }
    for (const std::unique_ptr<Object>& slot : scene->Objects()) {
        if (slot != nullptr && slot->name == name) {
            return slot.get();
        }
    }
    return nullptr;
}
