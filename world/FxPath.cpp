#include "world/FxPath.h"

#include "engine/Parcon.h"
#include "media/ParticleEmitter.h"

FxPath::FxPath(ObjectsManager* owner) : Object(owner) {
    Object::SetCreator(static_cast<OCreator<FxPath>*>(this), 0, 0);
}

FxPath::~FxPath() = default;

void FxPath::SetProperty(const ParconCursor&) {}

void FxPath::Start(const std::string& particleFile, float startX, float startY, float pathEndX,
                   float pathEndY, float pathTime, float startDelay) {
    auto loaded = std::make_unique<ParticleEmitter>();
    Parcon parser;
    parser.OpenFile(particleFile, true);
    loaded->Load(*parser.Root(), 0);
    loaded->x = startX;
    loaded->y = startY;
    loaded->emitting = true;
    emitter = std::move(loaded);
    x = startX;
    y = startY;
    endX = pathEndX;
    endY = pathEndY;
    time = pathTime;
    delay = startDelay;
}

bool FxPath::Update(float dt) {
    if (emitter == nullptr) {
        return false;
    }
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    elapsed += dt;
    if (elapsed <= time) {
        // The rest of the way over the time left; the last step lands on the end point, so
        // no step can overshoot or divide by a vanishing time.
        const float left = time - elapsed;
        if (left <= dt) {
            x = endX;
            y = endY;
        } else {
            x += (endX - x) / left * dt;
            y += (endY - y) / left * dt;
        }
        emitter->x = x;
        emitter->y = y;
    } else {
        emitter->emitting = false;
        if (elapsed > 3.0f * time) {
            return false;
        }
    }
    emitter->Update(dt);
    return true;
}

void FxPath::Draw() {
    if (emitter != nullptr) {
        emitter->Draw();
    }
}
