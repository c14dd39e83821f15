#include "ui/UIObject.h"

#include "engine/MessageReceiver.h"
#include "engine/MessageSystem.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"

bool FadeTimes::FadedOut(float clock) const {
    return FadeOutOn() && clock > outStart + outTime;
}

float FadeTimes::Factor(float clock, float full) const {
    float factor = full;
    if (FadeInOn()) {
        if (clock < inStart) {
            factor = 0.0f;
        } else if (inTime > 0.0f && clock < inStart + inTime) {
            factor = (clock - inStart) / inTime * full;
        }
    }
    if (FadeOutOn() && clock >= outStart) {
        if (outTime > 0.0f && clock < outStart + outTime) {
            factor = (1.0f - (clock - outStart) / outTime) * full;
        } else {
            factor = 0.0f;
        }
    }
    return factor;
}

bool FadeTimes::Read(const std::string& key, ParconCursor& values) {
    float* target = nullptr;
    if (key == "fadeInStart") {
        target = &inStart;
    } else if (key == "fadeInTime") {
        target = &inTime;
    } else if (key == "fadeOutStart") {
        target = &outStart;
    } else if (key == "fadeOutTime") {
        target = &outTime;
    } else {
        return false;
    }
    *target = values.NextFloat(true, 0.0f);
    return true;
}

UIObject::UIObject(ObjectsManager* owner) : Object(owner) {}

void UIObject::SetProperty(const ParconCursor& cursor) {
    animate = false;
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "animate") {
            animate = values.NextInt(true, 0) != 0;
            return true;
        }
        return false;
    });
}

void UIObject::RequireChunks() {}

void UIObject::ForEachKey(const ParconCursor& cursor,
                          const std::function<bool(const std::string&, ParconCursor&)>& read) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor values(list, 0);
        if (list->elements.empty()) {
            continue;
        }
        const std::string key = values.GetListName();
        read(key, values);
    }
}

void UIObject::PostEvent(MessageReceiver* receiver, uint32_t id) const {
    if (receiver == nullptr || id == 0 || owner == nullptr) {
        return;
    }
    if (auto* messages = dynamic_cast<MessageSystem*>(owner->FindSystem(FourCC("MSGS")))) {
        messages->Post(receiver, id, 0);
    }
}

std::string AskData(MessageReceiver* receiver, uint32_t id) {
    if (receiver == nullptr || id == 0) {
        return {};
    }
    return receiver->GetData(id);
}
