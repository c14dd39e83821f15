#include "puzzles/ScreenPuzzle.h"

#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/PuzzleSupport.h"
#include "world/FxParticles.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

struct Point {
    float x, y;
};

// Where the wall of the barrow breaks when the last place is filled.
constexpr std::array<Point, 9> kDustPoints = {{{349.0f, 498.0f},
                                               {338.0f, 417.0f},
                                               {682.0f, 483.0f},
                                               {706.0f, 407.0f},
                                               {828.0f, 567.0f},
                                               {883.0f, 446.0f},
                                               {433.0f, 545.0f},
                                               {538.0f, 546.0f},
                                               {496.0f, 501.0f}}};
constexpr float kDebrisRise = 50.0f;

} // namespace

// ---------------------------------------------------------------------------------------------
// ScreenPuzzle

ScreenPuzzle::ScreenPuzzle(ObjectsManager* owner) : GameButtonX(owner) {
    Object::SetCreator(static_cast<OCreator<ScreenPuzzle>*>(this), 0, 0);
}

void ScreenPuzzle::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "requires") {
            while (values.HasNextValue()) {
                requirements.push_back(values.NextString(true, ""));
            }
        } else if (key == "clickSoundName") {
            clickSoundName = values.NextString(true, "");
        }
    });
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->visible = filled;
    }
}

void ScreenPuzzle::OnObjectGoing(Object* going) {
    if (going != nullptr && going == manager) {
        manager = nullptr;
        managerGone = true;
    }
    GameButtonX::OnObjectGoing(going);
}

bool ScreenPuzzle::PuzzleOver() const {
    return managerGone || (manager != nullptr && (manager->finished || manager->dead));
}

bool ScreenPuzzle::RequirementsMet() const {
    if (manager == nullptr || manager->dead) {
        return false;
    }
    if (requirements.empty()) {
        return true;
    }
    return std::any_of(requirements.begin(), requirements.end(), [this](const std::string& name) {
        return std::any_of(manager->screens.begin(), manager->screens.end(),
                           [&name](const ScreenPuzzle* screen) {
                               return screen->visName == name && screen->filled;
                           });
    });
}

void ScreenPuzzle::Fill() {
    filled = true;
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->visible = true;
    }
}

void ScreenPuzzle::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (manager == nullptr || PuzzleOver() || id != FourCC("LMBD") ||
        param != KeyboardSystem::kPressed || !MouseOn(*this)) {
        return;
    }
    const std::string held = HeldItemName();
    if (held.empty()) {
        if (!emptyClickMessage.empty() && !filled && !World().DialogueShown()) {
            OpenDialog(emptyClickMessage, false, 0.0f);
        }
        return;
    }
    if (held != visName || !RequirementsMet()) {
        return;
    }
    PlayFull(clickSoundName);
    Fill();
    if (NormalLevelSystem* system = GameSystem()) {
        system->DropHeldItem();
    }
    SetLevelFlag(visName + "_filled", 1);
    SpawnDust();
}

void ScreenPuzzle::SpawnDust() {
    if (owner == nullptr) {
        return;
    }
    const PositionChunk* position = PositionOf(*this);
    const SpriteRenderChunk* sprite = SpriteOf(*this);
    if (position == nullptr) {
        return;
    }
    float x = position->x;
    float y = position->y;
    if (sprite != nullptr) {
        std::string playing = sprite->player.CurrentAnimName();
        const FrameRect frame = sprite->player.GetFrameRect(playing.empty() ? "idle" : playing);
        x += static_cast<float>(frame.right - frame.left) / 2.0f;
        y += static_cast<float>(frame.bottom - frame.top) / 2.0f;
    }
    // The place stands in the location: its scene is the game level.
    SpawnParticles(owner, kDustParticles, x, y, 0.5f, 3.0f);
}

bool ScreenPuzzle::Update(float dt) {
    if (filled && !PuzzleOver()) {
        UpdateHoverHighlight(dt);
    }
    if (SpriteRenderChunk* sprite = SpriteOf(*this)) {
        sprite->player.Play("screen", true, false, true, 0.0f);
    }
    return true;
}

void ScreenPuzzle::Draw() {
    if (filled && !PuzzleOver()) {
        GameButtonX::Draw();
    }
}

// ---------------------------------------------------------------------------------------------
// ScreenPuzzleMngr

ScreenPuzzleMngr::ScreenPuzzleMngr(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<ScreenPuzzleMngr>*>(this), 0, 0);
}

void ScreenPuzzleMngr::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key == "finalFlag") {
            finalFlag = values.NextString(true, "");
        }
    });
    if (owner == nullptr) {
        return;
    }
    screens.clear();
    owner->AddRemovalListener(this);
    for (const auto& object : owner->Objects()) {
        auto* screen = dynamic_cast<ScreenPuzzle*>(object.get());
        if (screen == nullptr || object->GetClassName() != ScreenPuzzle::kClassName) {
            continue;
        }
        if (CurrentPlayer != nullptr && GetLevelFlag(screen->visName + "_filled") != 0) {
            screen->Fill();
        }
        screen->manager = this;
        screen->managerGone = false;
        owner->AddRemovalListener(screen);
        screens.push_back(screen);
    }
}

void ScreenPuzzleMngr::OnObjectGoing(Object* going) {
    std::erase(screens, going);
    BaseGameObject::OnObjectGoing(going);
}

void ScreenPuzzleMngr::SpawnFinalEffect() {
    if (owner == nullptr) {
        return;
    }
    for (const Point& point : kDustPoints) {
        SpawnParticles(owner, "gfx/fx/tomb_dust.prt", point.x, point.y, 1.5f, 3.0f);
        SpawnParticles(owner, "gfx/fx/debris.prt", point.x, point.y - kDebrisRise, 0.5f, 3.0f);
    }
}

bool ScreenPuzzleMngr::Update(float dt) {
    BaseGameObject::Update(dt);
    if (!enabled) {
        return true;
    }
    const bool allFilled = std::all_of(screens.begin(), screens.end(),
                                       [](const ScreenPuzzle* screen) { return screen->filled; });
    if (!finished && !allFilled) {
        return true;
    }
    if (GameLevel != nullptr && GameLevel->GetName() == kDustLocation) {
        SpawnFinalEffect();
    }
    if (!finished) {
        if (CurrentPlayer != nullptr) {
            CurrentPlayer->AddEnergy(1, true);
        }
        PlayFull("game_won");
    }
    if (!finalFlag.empty()) {
        SetLevelFlag(finalFlag, 1);
    }
    finished = true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// PuzzleFrame

PuzzleFrame::PuzzleFrame(ObjectsManager* owner) : GameAnim(owner) {
    Object::SetCreator(static_cast<OCreator<PuzzleFrame>*>(this), 0, 0);
}

void PuzzleFrame::SetProperty(const ParconCursor& cursor) {
    GameAnim::SetProperty(cursor);
}
