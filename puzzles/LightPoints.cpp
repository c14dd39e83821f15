#include "puzzles/LightPoints.h"

#include "engine/CollisionsSystem.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "media/SoundManager.h"
#include "ui/HudParts.h"
#include "world/FxBlend.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <memory>
#include <optional>

namespace {

constexpr int kFullVolume = 100;
constexpr const char* kOverlayFile = "gfx/black.ani";
constexpr uint32_t kNoTint = 0xFFFFFFFFu;
constexpr float kLightDelay = 0.5f;
constexpr float kLightTime = 2.0f;

NormalLevelSystem* GameSystem() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

ToolSlotsPart* ToolSlots() {
    return FindHudPart<ToolSlotsPart>("UIPermanentSlotMngr");
}

} // namespace

// ---------------------------------------------------------------------------------------------
// LightPoint

LightPoint::LightPoint(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<LightPoint>*>(this), 0, 0);
}

void LightPoint::SetProperty(const ParconCursor& cursor) {
    GameButtonX::SetProperty(cursor);
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "lightAnim") {
            lightLabel = key.NextString(true, "");
        }
    });
    lit = GetLevelFlag(visName + "_killed") != 0;
}

void LightPoint::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (lit || id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return;
    }
    const CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    if (!magicActivator.empty() && GameLevel != nullptr) {
        // A HUD without tool slots does not stand in the way.
        if (const ToolSlotsPart* tools = ToolSlots(); tools != nullptr &&
                                                       tools->HeldTool() != magicActivator) {
            return;
        }
    }
    Sounds.PlayByName(clickSoundName, false, kFullVolume, 0);
    NormalLevelSystem* holder = GameSystem();
    const std::string held = holder != nullptr ? holder->heldItemName : std::string();
    if (held.starts_with(activator)) {
        // The item is used up; a point that takes no item leaves the cursor as it is.
        if (!activator.empty() && holder != nullptr) {
            holder->DropHeldItem();
        }
        SetLevelFlag(visName + "_killed", 1);
        ShowLight();
        lit = true;
        return;
    }
    if (holder != nullptr && holder->toolInUse) {
        OpenDialog(kWandHint, false, 0.0f, kWandHintName);
    }
}

void LightPoint::ShowLight() {
    if (owner == nullptr || GameLevel == nullptr || lightLabel.empty()) {
        return;
    }
    std::vector<Object*> lights;
    ForEachLabelled(*owner, lightLabel, [&lights](Object& light) { lights.push_back(&light); });
    for (Object* light : lights) {
        std::unique_ptr<Object> created = GameLevel->CreateObject("FxBlendIn", true);
        auto* blend = dynamic_cast<FxBlendIn*>(created.get());
        if (blend == nullptr) {
            DebugLog("%s", "FxBlendIn is not a blend: the light is not shown\n");
            return;
        }
        owner->AddObject(std::move(created));
        blend->ResolveDependencies();
        blend->AddTarget(light);
        blend->Start(lightLabel, kLightDelay, kLightTime);
    }
}

// ---------------------------------------------------------------------------------------------
// LightPointsMngr

LightPointsMngr::LightPointsMngr(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<LightPointsMngr>*>(this), 0, 0);
}

LightPointsMngr::~LightPointsMngr() = default;

void LightPointsMngr::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (collected || owner == nullptr) {
        return;
    }
    collected = true;
    UpdateState(100.0f);
    owner->AddRemovalListener(this);
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        Object* object = slot.get();
        if (object == nullptr || object == this || object->code != FourCC("LIGH")) {
            continue;
        }
        if (GetLevelFlag(object->visName + "_killed") == 0) {
            points.push_back(object);
        }
    }
    UpdateState(0.0f);
}

void LightPointsMngr::OnObjectGoing(Object* going) {
    std::erase(points, going);
    BaseGameObject::OnObjectGoing(going);
}

bool LightPointsMngr::AllLit() const {
    for (const Object* point : points) {
        if (point->dead || point->GetClassName() != LightPoint::kClassName) {
            continue;
        }
        const auto* light = dynamic_cast<const LightPoint*>(point);
        if (light != nullptr && !light->lit) {
            return false;
        }
    }
    return true;
}

void LightPointsMngr::Solve() {
    for (Object* point : std::vector<Object*>(points)) {
        if (point->dead || point->GetClassName() != LightPoint::kClassName) {
            continue;
        }
        if (auto* light = dynamic_cast<LightPoint*>(point)) {
            light->Kill();
        }
    }
    if (NormalLevelSystem* system = GameSystem()) {
        system->lightsSolved = true;
    }
    solved = true;
    if (CurrentPlayer == nullptr) {
        DebugLog("%s", "No profile: the light points give no energy\n");
    } else if (GetLevelFlag(visName + "_killed") == 0) {
        CurrentPlayer->AddEnergy(1, true);
        SetLevelFlag(visName + "_killed", 1);
    }
    ToolCursorShown = false;
    if (ToolSlotsPart* tools = ToolSlots()) {
        tools->ResetToolSlots();
    }
    if (Files.Exists(kOverlayFile)) {
        overlay.Load(kOverlayFile);
    } else {
        DebugLog("%s is missing: the light points' overlay is not drawn\n", kOverlayFile);
    }
}

bool LightPointsMngr::Update(float dt) {
    UpdateState(dt);
    if (!solved) {
        if (!AllLit()) {
            return true;
        }
        Solve();
    }
    if (delay > 0.0f) {
        delay -= dt;
        overlayAlpha = delay * 0.5f;
        return true;
    }
    return false;
}

void LightPointsMngr::Draw() {
    // Under a mini-game opened before the fade ended the overlay would stand in front of the
    // mini-game's pictures; the location is not stepped meanwhile, so the fade waits for it.
    if (solved && delay != 0.0f && ModalLevel == nullptr) {
        overlay.Draw(0.0f, 0.0f, kOverlayDepth, 0.0f, overlayAlpha, 1.0f, 1.0f, 0.0f, kNoTint);
    }
}
