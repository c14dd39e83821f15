#pragma once

#include "engine/ClassFactory.h"
#include "engine/Object.h"

#include <string_view>

class PositionChunk;
class SpriteRenderChunk;

// A one-shot animation of its own: a position and a sprite, which its creator places and plays;
// it goes when the animation has ended (at once when nothing plays).
class FxAnim : public Object, public OCreator<FxAnim> {
public:
    static constexpr std::string_view kClassName = "FxAnim";

    // Takes its chunks from the owner's 'POSI' and 'SPRT' systems; throws "Unknown system: %s"
    // when the owner has no such system.
    explicit FxAnim(ObjectsManager* owner);

    void SetProperty(const ParconCursor&) override {}
    bool Update(float dt) override;

    PositionChunk& Position();
    SpriteRenderChunk& Sprite();
};
