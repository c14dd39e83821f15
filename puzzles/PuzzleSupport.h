#pragma once

#include <string>

class Object;
class ObjectsManager;
class PositionChunk;
class SpriteRenderChunk;

// Small pieces the board games share beside the frame.

// The object's 'POSI' and first 'SPRT' chunk; null when it has none.
PositionChunk* PositionOf(Object& object);
SpriteRenderChunk* SpriteOf(Object& object);

// A burst of particles from the file at (x, y): emitting for the given seconds, the effect kept
// for life seconds; made, resolved and added in the scene. Nothing without a scene.
void SpawnParticles(ObjectsManager* scene, const std::string& file, float x, float y, float seconds,
                    float life);

// Sets the leave request of the mini-game level's system; logged when there is none.
void RequestLeave();
