#include "puzzles/StartupEvent.h"

#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/MessageSystem.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "world/Level.h"

#include <optional>
#include <string>

StartupEvent::StartupEvent(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<StartupEvent>*>(this), 0, 0);
}

void StartupEvent::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (dead) {
        return;
    }
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "startEvent") {
            startEvent = FourCC(key.NextString(true, ""));
        } else if (name == "delay") {
            delay = key.NextFloat(true, 0.0f);
        }
    });
}

bool StartupEvent::Update(float dt) {
    BaseGameObject::Update(dt);
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    if (GameLevel == nullptr || !GameLevel->sceneLoaded || !enabled || posted) {
        return true;
    }
    auto* messages = owner != nullptr
                         ? dynamic_cast<MessageSystem*>(owner->FindSystem(FourCC("MSGS")))
                         : nullptr;
    if (messages == nullptr) {
        DebugLog("StartupEvent %s: its scene has no message system, nothing posted\n",
                 visName.c_str());
    } else {
        messages->Post(eventReceiver, startEvent, 0);
    }
    posted = true;
    return false;
}
