#pragma once

#include "engine/System.h"

#include <cstdint>
#include <iosfwd>

// An object's place on the screen ('POSI').
class PositionChunk : public SystemChunk {
public:
    // Reads "position" (x, y) and "rotation"; afterwards the initial position is the position.
    // "StoreList" is not read here.
    void Init(const ParconCursor& cursor) override;
    // "(position x y) ", then "(rotation r) " when the rotation is not 0.
    bool Write(std::ostream& out) const override;

    // Where the position stood after the last Init; effects move objects relative to it.
    float initialX = 0.0f;
    float initialY = 0.0f;
    float x = 0.0f; // screen pixels, y downwards
    float y = 0.0f;
    float rotation = 0.0f;
    float initialRotation = 0.0f; // as read
};

// 'POSI': makes position chunks and keeps no list of them.
class PositionSystem : public System {
public:
    explicit PositionSystem(ObjectsManager* owner);

    SystemChunk* CreateChunk(uint32_t index) override;
};
