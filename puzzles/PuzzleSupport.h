#pragma once

#include <optional>
#include <string>

class NormalLevelSystem;
class Object;
class ObjectsManager;
class PositionChunk;
class SpriteRenderChunk;

// Small pieces the board, placing and turning games share beside the frame.

// The object's 'POSI' and first 'SPRT' chunk; null when it has none.
PositionChunk* PositionOf(Object& object);
SpriteRenderChunk* SpriteOf(Object& object);
// The mouse lies in the object's collision rectangle; false without one.
bool MouseOn(Object& object);

// A burst of particles from the file at (x, y): emitting for the given seconds, the effect kept
// for life seconds; made, resolved and added in the scene. Nothing without a scene, and nothing
// (logged) when the file is missing.
void SpawnParticles(ObjectsManager* scene, const std::string& file, float x, float y, float seconds,
                    float life);

// The level systems of the game level (the cursor's held item, the stone symbol) and of the
// mini-game; null when that level is not there.
NormalLevelSystem* GameSystem();
NormalLevelSystem* MiniGameSystem();
// The game level's held item name; empty without a game level.
std::string HeldItemName();

void PlayFull(const std::string& soundSet);

// Sets the leave request of the mini-game level's system; logged when there is none.
void RequestLeave();

// The backdrop's collision rectangle set to the first frame of the animation of its sprite,
// widened on every side, and whether the mouse lies in it. Nothing without a backdrop (or its
// sprite and rectangle): a press then never counts as outside it.
std::optional<bool> MouseOnBackground(const std::string& animation, float widen);
// The backdrop's sprite alpha; nothing without a backdrop or its sprite.
std::optional<float> BackgroundAlpha();

// "<location>:<mini-game>_completed" set to 1; skipped (logged) without the levels or a profile.
void SetCompletionFlag();

// Puts the item back on the cursor with its picture "gfx/objects/<item>.ani". A name that could
// leave the objects folder, or that has no picture, is refused (logged): false, and the caller
// keeps the item where it was.
bool HoldItemBack(const std::string& item);

// The scene file being read, for load errors.
std::string ReadingScene(const ObjectsManager* scene);
