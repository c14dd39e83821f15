#include "ui/fx/UIMenuFX.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SoundManager.h"
#include "media/TextRenderSystem.h"

#include <algorithm>
#include <cmath>

namespace {

PositionChunk* PositionOf(Object& object) {
    return dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
}

TextRenderChunk* TextOf(Object& object) {
    return dynamic_cast<TextRenderChunk*>(object.GetChunk(FourCC("TEXT"), 0));
}

bool Animated(const Object& object) {
    const auto* widget = dynamic_cast<const UIObject*>(&object);
    return widget != nullptr && widget->animate;
}

} // namespace

UIMenuFX::UIMenuFX(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIMenuFX>*>(this), 0, 0);
}

UIMenuFX::~UIMenuFX() {
    if (owner != nullptr) {
        owner->RemoveRemovalListener(this);
    }
}

void UIMenuFX::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "zoomSpeed") {
            zoomSpeed = values.NextFloat(true, zoomSpeed);
        } else if (key == "slideOutSpeed") {
            slideOutSpeed = values.NextFloat(true, slideOutSpeed);
        } else if (key == "initShift") {
            initShift = values.NextFloat(true, initShift);
        } else if (key == "initialScale") {
            initialScale = values.NextFloat(true, initialScale);
        } else if (key == "timeGap") {
            timeGap = values.NextFloat(true, timeGap);
        } else {
            return false;
        }
        return true;
    });
    if (!collected) {
        Collect();
    }
}

void UIMenuFX::Collect() {
    if (owner != nullptr) {
        for (const std::unique_ptr<Object>& slot : owner->Objects()) {
            Object* object = slot.get();
            if (object == nullptr || object == this) {
                continue;
            }
            if (Animated(*object)) {
                outgoing.push_back(object);
            } else {
                object->dead = true;
            }
        }
        // The outgoing items may be let go by others before the effect ends.
        owner->AddRemovalListener(this);
    }
    startedCount = -1;
    collected = true;
    Sounds.PlayByName("menu_item_sound", false, 100, 0);
}

void UIMenuFX::OnObjectGoing(Object* going) {
    std::erase(outgoing, going);
    std::erase(placed, going);
}

bool UIMenuFX::IsOutgoing(const Object* object) const {
    return std::find(outgoing.begin(), outgoing.end(), object) != outgoing.end();
}

std::vector<Object*> UIMenuFX::Incoming() const {
    std::vector<Object*> items;
    if (owner == nullptr) {
        return items;
    }
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        Object* object = slot.get();
        if (object != nullptr && object != this && TextOf(*object) != nullptr &&
            Animated(*object) && !IsOutgoing(object)) {
            items.push_back(object);
        }
    }
    return items;
}

bool UIMenuFX::Update(float dt) {
    // An entry without a "Data" list never reads its keys; its first step comes right after it
    // joins the scene, before the objects listed after it.
    if (!collected) {
        Collect();
    }
    clock += dt;
    const std::vector<Object*> incoming = Incoming();
    if (clock >= 0.0f && clock < kDuration) {
        // A gap of 0 or less starts every item at once.
        const int passed = timeGap > 0.0f ? static_cast<int>(std::floor(clock / timeGap))
                                          : static_cast<int>(incoming.size());
        for (std::size_t i = 0; i < incoming.size(); ++i) {
            TextRenderChunk* text = TextOf(*incoming[i]);
            PositionChunk* position = PositionOf(*incoming[i]);
            // Items come into the scene one by one as it loads, after the effect's first step:
            // each takes its starting state the first time the effect sees it.
            if (std::find(placed.begin(), placed.end(), incoming[i]) == placed.end()) {
                placed.push_back(incoming[i]);
                if (position != nullptr) {
                    position->y = position->initialY + initShift;
                }
                text->scale = initialScale;
                text->alpha = 0.0f;
            }
            if (static_cast<int>(i) <= passed) {
                const float step = zoomSpeed * dt;
                if (position != nullptr) {
                    position->y += (position->initialY - position->y) * step;
                }
                text->scale += (text->baseScale - text->scale) * step;
                text->alpha += (1.0f - text->alpha) * step;
            }
        }
        firstFrame = false;
        startedCount = passed;
        for (Object* object : outgoing) {
            PositionChunk* position = PositionOf(*object);
            if (position != nullptr && TextOf(*object) != nullptr) {
                position->x += (kSlideLine - position->y) * slideOutSpeed * dt;
            }
        }
        return true;
    }
    for (Object* object : outgoing) {
        object->dead = true;
    }
    for (Object* object : incoming) {
        TextRenderChunk* text = TextOf(*object);
        text->scale = text->baseScale;
        text->alpha = 1.0f;
        if (PositionChunk* position = PositionOf(*object)) {
            position->y = position->initialY;
        }
    }
    return false;
}
