#include "ui/UITriggers.h"

#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"

// ---------------------------------------------------------------------------------------------
// UITimeTrigger

UITimeTrigger::UITimeTrigger(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UITimeTrigger>*>(this), 0, 0);
}

void UITimeTrigger::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "time") {
            time = values.NextFloat(true, 0.0f);
        } else if (key == "event") {
            event = PackId(values.NextString(true, ""));
        } else if (key == "killOnEnd") {
            killOnEnd = values.NextInt(true, 0) != 0;
        } else {
            return false;
        }
        return true;
    });
}

bool UITimeTrigger::Update(float dt) {
    // The step at load does not remove the object: it keeps answering false until it goes.
    if (clock > time) {
        return !killOnEnd;
    }
    clock += dt;
    if (clock > time) {
        PostEvent(receiver, event);
        if (killOnEnd) {
            return false;
        }
        clock = 0.0f;
    }
    return Object::Update(dt);
}

// ---------------------------------------------------------------------------------------------
// GameVideoEvent

GameVideoEvent::GameVideoEvent(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<GameVideoEvent>*>(this), 0, 0);
}

void GameVideoEvent::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "object") {
            targetCode = PackId(values.NextString(true, ""));
            targetFound = owner != nullptr && owner->FindByCode(targetCode) != nullptr;
        } else if (key == "finishEvent") {
            finishEvent = PackId(values.NextString(true, ""));
        } else {
            return false;
        }
        return true;
    });
}

bool GameVideoEvent::Update(float dt) {
    // Posted once, also when the step at load found the target missing.
    if (posted) {
        return false;
    }
    const Object* target =
        targetFound && owner != nullptr ? owner->FindByCode(targetCode) : nullptr;
    if (target != nullptr && !target->dead) {
        return Object::Update(dt);
    }
    PostEvent(receiver, finishEvent);
    posted = true;
    return false;
}
