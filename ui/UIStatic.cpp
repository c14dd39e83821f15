#include "ui/UIStatic.h"

#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"

// ---------------------------------------------------------------------------------------------
// UIStatic

UIStatic::UIStatic(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIStatic>*>(this), 0, 0);
}

void UIStatic::SetProperty(const ParconCursor& cursor) {
    UIObject::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        return fades.Read(key, values);
    });
}

void UIStatic::RequireChunks() {
    RequireChunk<SpriteRenderChunk>(FourCC("SPRT"));
}

bool UIStatic::Update(float dt) {
    if (dead) {
        return false;
    }
    clock += dt;
    auto* sprite = dynamic_cast<SpriteRenderChunk*>(GetChunk(FourCC("SPRT"), 0));
    if (sprite == nullptr) {
        return true;
    }
    if (fades.FadedOut(clock)) {
        sprite->alpha = 0.0f;
        return true;
    }
    const float factor = fades.Factor(clock, sprite->baseAlpha);
    // Exactly full leaves the alpha to other effects.
    if (factor != 1.0f) {
        sprite->alpha = factor;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// UIAnimObject

UIAnimObject::UIAnimObject(ObjectsManager* owner) : UIStatic(owner) {
    SetCreator(static_cast<OCreator<UIAnimObject>*>(this), 0, 0);
}

void UIAnimObject::SetProperty(const ParconCursor& cursor) {
    UIStatic::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key != "points") {
            return false;
        }
        points.clear();
        while (values.Next()) {
            const std::optional<ParconList> list = values.GetList();
            if (!list) {
                continue;
            }
            ParconCursor point(list, 0);
            Point read;
            // The first element is the point's own first value (an unnamed list).
            read.x = point.GetFloat(0.0f);
            read.y = point.NextFloat(true, 0.0f);
            read.time = point.NextFloat(false, 0.0f);
            read.readX = read.x;
            read.readY = read.y;
            points.push_back(read);
        }
        index = 0;
        segmentClock = 0.0f;
        return true;
    });
}

bool UIAnimObject::Update(float dt) {
    if (dead) {
        return false;
    }
    if (points.size() < 2) {
        return true;
    }
    segmentClock += dt;
    Point& current = points[index];
    const Point& next = points[index + 1];
    const float duration = current.time > 0.0f ? current.time : 1.0f;
    // The remaining distance over the time that remained before this step, so that the point
    // arrives when the segment clock reaches the duration, never dividing by zero.
    const float remaining = duration - (segmentClock - dt);
    if (remaining <= dt) {
        current.x = next.x;
        current.y = next.y;
    } else {
        current.x += (next.x - current.x) / remaining * dt;
        current.y += (next.y - current.y) / remaining * dt;
    }
    if (segmentClock >= duration) {
        ++index;
        segmentClock = 0.0f;
        if (index >= points.size() - 1) {
            index = 0;
            for (Point& point : points) {
                point.x = point.readX;
                point.y = point.readY;
            }
        }
    }
    if (auto* position = dynamic_cast<PositionChunk*>(GetChunk(FourCC("POSI"), 0))) {
        position->x = position->initialX + points[index].x;
        position->y = position->initialY + points[index].y;
    }
    if (auto* sprite = dynamic_cast<SpriteRenderChunk*>(GetChunk(FourCC("SPRT"), 0))) {
        const bool between = index > 0 && index + 2 < points.size();
        sprite->player.Play(between ? "left" : "main", true, false, true, 0.0f);
    }
    return true;
}
