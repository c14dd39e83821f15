#pragma once

#include <string>

class Object;
class ObjectsManager;
class PositionChunk;
class SpriteRenderChunk;

// Small steps the skill games (the rhythm game, the gesture games, the forge and the telescope's
// games) share beside the frame.

PositionChunk* PositionOf(Object& object);
SpriteRenderChunk* SpriteOf(Object& object);
// The mouse lies in the object's collision rectangle; false without one.
bool MouseOn(Object& object);
void PlayFull(const std::string& soundSet);
// The item on the game level's cursor; empty without a game level or an item.
std::string HeldItemName();

// A burst of particles from the file at (x, y): emitting for the given seconds, the effect kept
// for life seconds; made, added and resolved in the scene. Nothing without a scene.
void SpawnParticles(ObjectsManager* scene, const std::string& file, float x, float y,
                    float seconds, float life);

// The leave request of the mini-game level's system set; logged when there is none.
void RequestLeave();
// The close flag of the mini-game level set; logged when there is none.
void SetCloseFlag();
// "<location>:<name>" set to value; skipped (logged) without a location or a profile.
void SetLocationFlag(const std::string& name, int value);
// The mini-game level's completion flag "<location>:<mini-game>_completed" set to 1.
void SetCompletionFlag();
// The open tutorial pop-up told to close.
void CloseTutorialPopUp();

// The first object of the scene whose visName is name, else the first made under that
// definition name; null when none (or no scene).
Object* FindNamed(ObjectsManager* scene, const std::string& name);
