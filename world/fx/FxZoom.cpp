#include "world/fx/FxZoom.h"

#include "engine/Parcon.h"
#include "media/Renderer.h"
#include "platform/gfx/Matrix.h"

#include <numbers>
#include <optional>

namespace {

void SetView(const Matrix& view) {
    if (GraphicsDevice* device = Renderer::State().device.get()) {
        device->SetTransform(TransformType::View, view);
    }
}

} // namespace

FxZoom::FxZoom(ObjectsManager* owner) : Object(owner) {
    SetCreator(this, 0, 0);
    drawFirst = true;
}

FxZoom::~FxZoom() {
    SetView(MatrixIdentity());
}

void FxZoom::SetProperty(const ParconCursor& cursor) {
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string k = key.GetListName();
        if (k == "maxRotation") {
            maxRotation = key.NextFloat(true, 0.0f) * std::numbers::pi_v<float> / 180.0f;
        } else if (k == "maxScale") {
            maxScale = key.NextFloat(true, 0.0f);
        } else if (k == "time") {
            time = key.NextFloat(true, 0.0f);
        }
    }
}

Matrix FxZoom::ViewAt(float t) const {
    const float k = 4.0f * t * (1.0f - t);
    const float s = 1.0f + k * maxScale;
    const float angle = maxRotation * k;
    const float p = k * k * k;
    // A point goes about the centre first (to it, scaled, turned, back), then drifts toward the
    // middle of the 800 x 600 view the bump was made for.
    Matrix view = MatrixTranslation(-centreX, -centreY, 0.0f);
    view = MatrixMultiply(view, MatrixScaling(s, s, 1.0f));
    view = MatrixMultiply(view, MatrixRotationZ(angle));
    view = MatrixMultiply(view, MatrixTranslation(centreX, centreY, 0.0f));
    return MatrixMultiply(view,
                          MatrixTranslation((400.0f - centreX) * p, (300.0f - centreY) * p, 0.0f));
}

bool FxZoom::Update(float dt) {
    elapsed += dt;
    // A time of 0 or less has no bump: the end at once.
    if (time <= 0.0f || elapsed / time > 1.0f) {
        SetView(MatrixIdentity());
        dead = true;
        return false;
    }
    SetView(ViewAt(elapsed / time));
    return true;
}
