#include "ui/fx/UIShiftBkgFX.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"

#include <algorithm>
#include <utility>

namespace {

PositionChunk* PositionOfCode(ObjectsManager* scene, uint32_t code) {
    Object* object = scene != nullptr ? scene->FindByCode(code) : nullptr;
    return object != nullptr ? dynamic_cast<PositionChunk*>(object->GetChunk(FourCC("POSI"), 0))
                             : nullptr;
}

} // namespace

UIShiftBkgFX::UIShiftBkgFX(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIShiftBkgFX>*>(this), 0, 0);
}

void UIShiftBkgFX::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "backObj") {
            backObjects.push_back(PackId(values.NextString(true, "")));
        } else if (key == "panelObj") {
            panelObjects.push_back(PackId(values.NextString(true, "")));
        } else {
            return false;
        }
        return true;
    });
}

bool UIShiftBkgFX::Update(float dt) {
    // Each object is moved off to the right the first time the effect finds it: the scene's load
    // steps every object as it comes, so those listed after the effect come later.
    for (const auto& [codes, shift] : {std::pair{&backObjects, kBackShift},
                                       std::pair{&panelObjects, kPanelShift}}) {
        for (const uint32_t code : *codes) {
            PositionChunk* position = PositionOfCode(owner, code);
            if (position != nullptr &&
                std::find(shifted.begin(), shifted.end(), position) == shifted.end()) {
                shifted.push_back(position);
                position->x = position->initialX + shift;
            }
        }
    }
    if (clock > kDuration) {
        return false;
    }
    for (const std::vector<uint32_t>* codes : {&backObjects, &panelObjects}) {
        for (const uint32_t code : *codes) {
            if (PositionChunk* position = PositionOfCode(owner, code)) {
                position->x += (position->initialX - position->x) * kRate * dt;
            }
        }
    }
    clock += dt;
    return true;
}
