#pragma once

#include "engine/System.h"

#include <cstdint>
#include <iosfwd>

class PositionChunk;

// An object's click rectangle ('COLI'), given as offsets from its 'POSI' position.
class CollisionChunk : public SystemChunk {
public:
    // Takes the object's position chunk.
    void Link(SystemChunk* dependency) override;
    // "StoreList" first, then "left", "right", "top" and "bottom"; sides not given keep their
    // values. Enables the chunk.
    void Init(const ParconCursor& cursor) override;
    // The sides named in storeList, in the order top, bottom, left, right.
    bool Write(std::ostream& out) const override;

    // The point lies inside the rectangle, edges included (y grows downwards); never while
    // disabled or before the chunk is linked to a position.
    bool Contains(float x, float y) const;

    bool disabled = false;
    PositionChunk* position = nullptr;
    // Current offsets from the position.
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;
    // The offsets as last read from a definition.
    float readLeft = 0.0f;
    float readRight = 0.0f;
    float readTop = 0.0f;
    float readBottom = 0.0f;
};

// 'COLI': depends on 'POSI' and keeps its chunks. Hit tests are made by the objects themselves.
class CollisionsSystem : public System {
public:
    explicit CollisionsSystem(ObjectsManager* owner);

    void Update(float dt) override;
    SystemChunk* CreateChunk(uint32_t index) override;
};
