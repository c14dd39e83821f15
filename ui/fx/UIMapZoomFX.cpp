#include "ui/fx/UIMapZoomFX.h"

#include "engine/FourCC.h"
#include "engine/MessageReceiver.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "media/RenderChunk.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/gfx/GraphicsDevice.h"

#include <algorithm>

UIMapZoomFX::UIMapZoomFX(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIMapZoomFX>*>(this), 0, 0);
}

UIMapZoomFX::~UIMapZoomFX() {
    SetView(MatrixIdentity());
}

void UIMapZoomFX::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "trigger") {
            trigger = PackId(values.NextString(true, ""));
        } else if (key == "outTrigger") {
            outTrigger = PackId(values.NextString(true, ""));
        } else if (key == "event") {
            event = PackId(values.NextString(true, ""));
        } else if (key == "zoomOutEvent") {
            zoomOutEvent = PackId(values.NextString(true, ""));
        } else if (key == "target") {
            targetX = values.NextFloat(true, targetX);
            targetY = values.NextFloat(true, targetY);
        } else if (key == "base") {
            baseCode = PackId(values.NextString(true, ""));
        } else if (key == "zoom") {
            zoomCode = PackId(values.NextString(true, ""));
        } else {
            return false;
        }
        return true;
    });
}

void UIMapZoomFX::OnMessage(const void*, uint32_t id, uint32_t) {
    if (id == 0) {
        return;
    }
    if (id == trigger) {
        clock = 0.0f;
        active = true;
        zoomingIn = true;
        Sounds.PlayByName("map_zoom", false, 100, 0);
    } else if (id == outTrigger) {
        clock = 0.0f;
        active = true;
        zoomingIn = false;
    }
}

Matrix UIMapZoomFX::ViewAt(float p, float x, float y) {
    const float ease = p * p * p;
    const float scale = 1.0f + (kFullScale - 1.0f) * p;
    Matrix view = MatrixTranslation(-x, -y, 0.0f);
    view = MatrixMultiply(view, MatrixScaling(scale, scale, 1.0f));
    view = MatrixMultiply(view, MatrixTranslation(x, y, 0.0f));
    return MatrixMultiply(
        view, MatrixTranslation((kCentreX - x) * ease, (kCentreY - y) * ease, 0.0f));
}

void UIMapZoomFX::SetView(const Matrix& view) {
    RenderDevice& state = Renderer::State();
    if (state.device != nullptr) {
        state.device->SetTransform(TransformType::View, view);
    }
}

bool UIMapZoomFX::Update(float dt) {
    if (!active) {
        return true;
    }
    clock = std::min(1.0f, clock + dt);
    progress = zoomingIn ? clock : 1.0f - clock;
    if (Object* zoom = owner != nullptr ? owner->FindByCode(zoomCode) : nullptr) {
        if (auto* sprite = dynamic_cast<RenderChunk*>(zoom->GetChunk(FourCC("SPRT"), 0))) {
            sprite->alpha = std::min(1.0f, 3.25f * (1.0f - progress));
        }
    }
    if (clock < 1.0f) {
        return true;
    }
    auto* layer = dynamic_cast<MessageReceiver*>(owner);
    if (zoomingIn) {
        PostEvent(layer, event);
    } else {
        PostEvent(layer, zoomOutEvent);
        active = false;
        progress = 0.0f;
    }
    return true;
}

void UIMapZoomFX::PreDraw() {
    if (active) {
        SetView(ViewAt(progress, targetX, targetY));
        viewSet = true;
    }
}

void UIMapZoomFX::TopDraw() {
    if (viewSet) {
        viewSet = false;
        SetView(MatrixIdentity());
    }
}
