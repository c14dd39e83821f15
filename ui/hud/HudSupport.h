#pragma once

#include <memory>
#include <string>

class AnimPlayer;
class Object;
class ObjectsManager;
class ParticleEmitter;
class PositionChunk;
class SpriteRenderChunk;

// What the HUD's parts share: their chunks, their particle effects and their hint dialogues.
namespace Hud {

constexpr int kFullVolume = 100;
constexpr const char* kHighlightParticles = "gfx\\fx\\hiddenObject_hili.prt";

PositionChunk* Position(Object& object);
SpriteRenderChunk* Sprite(Object& object);

// The picture of an item, "gfx/objects/<item>.ani"; empty for a name that is no item or would
// leave that folder ("..", '/', '\').
std::string ItemArtFile(const std::string& item);
// Binds the player to the animation file and plays the animation looping. A picture that cannot
// be read leaves the player as it was (logged): pictures are never worth ending the game for.
void BindArt(AnimPlayer& player, const std::string& file, const std::string& animation);
// The tool-tip key of an item: "str." and its base name.
std::string ItemToolTip(const std::string& item);

// A particle emitter loaded from a ".prt" file, at (x, y), emitting. Throws the file's error.
std::unique_ptr<ParticleEmitter> LoadEmitter(const std::string& file, float x, float y);
// A "UIPartFx" burst on MainUI at (x, y) for the seconds given; nothing without MainUI.
void Burst(float x, float y, const std::string& file, float seconds);
// A "GameModalDialog" in the scene, named (its type name) as given, opening the file after the
// delay; not repeatable.
void OpenHint(ObjectsManager& scene, const std::string& file, const std::string& name,
              float delay);
// The remaining-time step toward the end value: within a step of the end, or with no time left,
// the end itself, so no step overshoots or divides by a vanishing time.
float StepToward(float current, float end, float timeLeft, float dt);

} // namespace Hud
