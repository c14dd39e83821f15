#include "world/Furnace.h"

#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/MouseState.h"
#include "media/SoundManager.h"
#include "world/FxParticles.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr int kFullVolume = 100;
constexpr float kSparkEmission = 0.5f;
constexpr float kSparkLife = 3.0f;

std::string MeterFlag(int32_t meter) {
    return "heat-meter-" + std::to_string(meter) + "_killed";
}

} // namespace

Furnace::Furnace(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<Furnace>*>(this), 0, 0);
}

void Furnace::SetProperty(const ParconCursor& cursor) {
    // The count is data of the profile: a negative one reads as no coal given.
    coals = std::max(GetLevelFlag(kCoalsFlag), 0);
    BaseGameObject::SetProperty(cursor);
}

bool Furnace::IsCoal(std::string_view item) {
    return item.size() >= kCoal.size() && item.substr(0, kCoal.size()) == kCoal;
}

void Furnace::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (dead || id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return;
    }
    NormalLevelSystem* holder = GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
    if (holder == nullptr || !IsCoal(holder->heldItemName)) {
        return;
    }
    CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    Sounds.PlayByName("furnace_coal", false, kFullVolume, 0);
    holder->DropHeldItem();
    // A count at the top of its range stays there rather than wrapping round.
    if (coals < std::numeric_limits<int32_t>::max()) {
        ++coals;
    }
    if (coals % kCoalsPerMeter == 0 && coals / kCoalsPerMeter <= kMeters) {
        const int32_t meter = coals / kCoalsPerMeter - 1;
        const bool lastMeter = meter == kMeters - 1;
        const bool alreadyOut = lastMeter && GetLevelFlag(MeterFlag(meter)) != 0;
        SetLevelFlag(MeterFlag(meter), 1);
        if (lastMeter && !alreadyOut && CurrentPlayer != nullptr) {
            CurrentPlayer->AddEnergy(1, true);
        }
    }
    SetLevelFlag(kCoalsFlag, coals);
    SpawnOneShotParticles(GameLevel, kSparks, Mouse.x, Mouse.y, kSparkEmission, kSparkLife);
}
