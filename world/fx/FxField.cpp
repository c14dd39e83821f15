#include "world/fx/FxField.h"

#include "engine/Parcon.h"
#include "media/ParticleEmitter.h"

FxField::FxField(ObjectsManager* owner) : Object(owner) {
    SetCreator(this, 0, 0);
}

FxField::FxField() {
    SetCreator(this, 0, 0);
}

FxField::~FxField() = default;

void FxField::AddEmitter(const std::string& particleFile, float x, float y) {
    auto emitter = std::make_unique<ParticleEmitter>();
    Parcon parser;
    parser.OpenFile(particleFile, true);
    emitter->Load(*parser.Root(), 0);
    emitter->x = x;
    emitter->y = y;
    emitter->emitting = false;
    emitters.push_back(std::move(emitter));
}

void FxField::Stop() {
    active = false;
    for (const auto& emitter : emitters) {
        emitter->emitting = false;
        emitter->Reset();
    }
}

bool FxField::Update(float dt) {
    if (active) {
        for (const auto& emitter : emitters) {
            emitter->emitting = true;
        }
    }
    for (const auto& emitter : emitters) {
        emitter->Update(dt);
    }
    return true;
}

void FxField::Draw() {
    for (const auto& emitter : emitters) {
        emitter->Draw();
    }
}
