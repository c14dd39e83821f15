#include "puzzles/TelescopeGames.h"

#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/SpriteRenderSystem.h"
#include "puzzles/GestureGame.h"
#include "puzzles/MiniGame.h"
#include "puzzles/PuzzleSupport.h"
#include "puzzles/SkillGameSupport.h"
#include "world/BaseGameObject.h"
#include "world/Level.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <memory>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr const char* kRingParticles = "gfx/fx/green_glow_ring.prt";

bool LeftPress(uint32_t id, uint32_t param) {
    return id == kLeftDown && param == KeyboardSystem::kPressed;
}

void AddEnergy() {
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->AddEnergy(1, true);
    } else {
        DebugLog("%s", "No profile: the energy is not given\n");
    }
}

// Shows or hides a scene object of the view, the sprite at once.
void Show(Object* object, bool shown) {
    auto* sceneObject = dynamic_cast<BaseGameObject*>(object);
    if (sceneObject == nullptr) {
        return;
    }
    sceneObject->enabled = shown;
    if (SpriteRenderChunk* sprite = SpriteOf(*sceneObject)) {
        sprite->visible = shown;
    }
}

bool Enabled(const Object* object) {
    const auto* sceneObject = dynamic_cast<const BaseGameObject*>(object);
    return sceneObject != nullptr && sceneObject->enabled;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TelescopeGestureGameElement

TelescopeGestureGameElement::TelescopeGestureGameElement(ObjectsManager* owner) : GameAnim(owner) {
    Object::SetCreator(static_cast<OCreator<TelescopeGestureGameElement>*>(this), 0, 0);
    updateDelay = -1.0f;
}

void TelescopeGestureGameElement::SetProperty(const ParconCursor& cursor) {
    GameAnim::SetProperty(cursor);
    if (dead) {
        return;
    }
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "gestureName") {
            gestureName = key.NextString(true, "");
        } else if (name == "clickMessage") {
            clickMessage = key.NextString(true, "");
        }
    });
}

void TelescopeGestureGameElement::OnGesture(const std::string& gesture) {
    if (!gesture.empty() && gesture == gestureName) {
        recognised = true;
    }
}

bool TelescopeGestureGameElement::Update(float dt) {
    GameAnim::Update(dt);
    if (!recognised || rewarded) {
        return true;
    }
    rewarded = true;
    PlayFull("lens_gesture");
    float x = 0.0f;
    float y = 0.0f;
    if (const PositionChunk* position = PositionOf(*this)) {
        x = position->x;
        y = position->y;
    }
    if (const SpriteRenderChunk* sprite = SpriteOf(*this)) {
        const FrameRect frame = sprite->player.GetFrameRect(visName);
        x += static_cast<float>(frame.right - frame.left) / 2.0f;
        y += static_cast<float>(frame.bottom - frame.top) / 2.0f;
    }
    SpawnParticles(owner, kRingParticles, x, y, 0.2f, 3.0f);
    SetLocationFlag(visName + "_killed", 1);
    AddEnergy();
    return true;
}

void TelescopeGestureGameElement::OnMessage(const void*, uint32_t id, uint32_t param) {
    // Only an element the level wired to the HUD answers clicks.
    if (eventReceiver == nullptr || dead || !LeftPress(id, param) || !MouseOn(*this)) {
        return;
    }
    if (GameLevel != nullptr) {
        const std::optional<std::string> tool = World().PermanentToolInUse();
        if (tool && !tool->empty()) {
            return;
        }
    }
    if (!clickMessage.empty() && enabled) {
        OpenDialog(clickMessage, true, 0.0f);
    }
}

// ---------------------------------------------------------------------------------------------
// TelescopeGestureGameMngr

TelescopeGestureGameMngr::TelescopeGestureGameMngr(ObjectsManager* owner) : Object(owner) {
    Object::SetCreator(static_cast<OCreator<TelescopeGestureGameMngr>*>(this), 0, 0);
}

void TelescopeGestureGameMngr::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& name, ParconCursor& key) {
        if (name == "objectName") {
            objectName = key.NextString(true, "");
        }
    });
    if (!objectName.empty()) {
        target = ObjectLink(FindNamed(owner, objectName));
    }
}

bool TelescopeGestureGameMngr::Update(float) {
    // Only a gesture game element can be won: an object of another class named so is no target.
    const auto* element = dynamic_cast<const GestureGameElement*>(target.In(owner));
    if (element == nullptr || !element->recognised || !element->enabled || done) {
        return true;
    }
    done = true;
    // Every gesture game of a location sets the same literal flag; the scene's own completion
    // flag, as the frame and the orb record a won game, tells this game's win apart, so that the
    // location can offer it once.
    SetLocationFlag(GestureGameMngr::kWinFlag, 1);
    SetCompletionFlag();
    AddEnergy();
    PlayFull("game_won");
    if (ModalLevel != nullptr) {
        ModalLevel->won = true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// TelescopeGameMngr

TelescopeGameMngr::TelescopeGameMngr(ObjectsManager* owner) : Object(owner) {
    Object::SetCreator(static_cast<OCreator<TelescopeGameMngr>*>(this), 0, 0);
}

void TelescopeGameMngr::SetProperty(const ParconCursor&) {
    if (owner == nullptr || !pieces.empty()) {
        return;
    }
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        if (slot != nullptr && slot->GetClassName() == "MapPiece") {
            pieces.emplace_back(slot.get());
        }
    }
}

std::size_t TelescopeGameMngr::PiecesLeft() const {
    std::size_t left = 0;
    for (const ObjectLink& piece : pieces) {
        if (piece.In(owner) != nullptr) {
            ++left;
        }
    }
    return left;
}

void TelescopeGameMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (!finished && !MiniGameManager::LeaveRequested() && LeaveByBackdrop(id, param)) {
        finished = true;
    }
}

bool TelescopeGameMngr::Update(float dt) {
    if (!finished && PiecesLeft() > 0) {
        return true;
    }
    if (!concluded) {
        concluded = true;
        if (!MiniGameManager::CloseFlagSet()) {
            finished = true;
            SetCompletionFlag();
            PlayFull("game_won");
            if (ModalLevel != nullptr) {
                ModalLevel->won = true;
            }
        }
    }
    if (winDelay > 0.0f) {
        winDelay -= dt;
        return true;
    }
    RequestLeave();
    return false;
}

// ---------------------------------------------------------------------------------------------
// TelescopeViewGameMngr

const std::array<TelescopeViewGameMngr::FilterRow, 8> TelescopeViewGameMngr::kFilterTable = {{
    {true, true, true, 0xFF611F02, 0.75f, "spike"},
    {true, true, false, 0xFF00FF00, 0.5f, "column"},
    {true, false, true, 0xFF0B00FF, 0.5f, "sort"},
    {true, false, false, 0xFF007FFF, 0.5f, "flash"},
    {false, true, true, 0xFFFF0003, 0.5f, nullptr},
    {false, true, false, 0xFFFFFF00, 0.5f, nullptr},
    {false, false, true, 0xFFFF00B1, 0.5f, "shuffle"},
    {false, false, false, 0, 0.0f, nullptr},
}};

TelescopeViewGameMngr::TelescopeViewGameMngr(ObjectsManager* owner) : Object(owner) {
    Object::SetCreator(static_cast<OCreator<TelescopeViewGameMngr>*>(this), 0, 0);
}

const TelescopeViewGameMngr::FilterRow& TelescopeViewGameMngr::RowOf(bool cyan, bool yellow,
                                                                     bool magenta) {
    for (const FilterRow& row : kFilterTable) {
        if (row.cyan == cyan && row.yellow == yellow && row.magenta == magenta) {
            return row;
        }
    }
    return kFilterTable.back();
}

void TelescopeViewGameMngr::SetProperty(const ParconCursor&) {
    if (owner == nullptr) {
        return;
    }
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        Object* object = slot.get();
        if (object == nullptr) {
            continue;
        }
        const std::string& name = object->visName;
        if (name == "magneta_button") {
            magentaButton = ObjectLink(object);
        } else if (name == "yellow_button") {
            yellowButton = ObjectLink(object);
        } else if (name == "cyjan_button") {
            cyanButton = ObjectLink(object);
        } else if (name == "filter") {
            filter = ObjectLink(object);
        } else if (object->code == FourCC("HIDD")) {
            glyph = ObjectLink(object);
            Show(object, false);
        }
    }
}

void TelescopeViewGameMngr::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (finished || MiniGameManager::LeaveRequested()) {
        return;
    }
    if (LeaveByBackdrop(id, param)) {
        finished = true;
        return;
    }
    if (!LeftPress(id, param)) {
        return;
    }
    struct Glass {
        ObjectLink& button;
        bool& on;
        const char* lit;
    };
    for (const Glass& glass : {Glass{magentaButton, magentaOn, "magneta_button_active"},
                               Glass{yellowButton, yellowOn, "yellow_button_active"},
                               Glass{cyanButton, cyanOn, "cyjan_button_active"}}) {
        Object* button = glass.button.In(owner);
        if (button == nullptr || !MouseOn(*button)) {
            continue;
        }
        PlayFull("lens_switching");
        locatingPlayed = false;
        glass.on = !glass.on;
        Show(FindNamed(owner, glass.lit), glass.on);
    }
    Object* hidden = glyph.In(owner);
    if (hidden != nullptr && Enabled(hidden) && MouseOn(*hidden)) {
        PlayFull("solve_lens");
        if (const PositionChunk* position = PositionOf(*hidden)) {
            SpawnParticles(owner, kRingParticles, position->x, position->y, 0.4f, 3.0f);
        }
        hidden->dead = true;
        finished = true;
        Show(filter.In(owner), false);
    }
}

void TelescopeViewGameMngr::EvaluateFilter() {
    Object* hidden = glyph.In(owner);
    Show(hidden, false);
    Object* glass = filter.In(owner);
    SpriteRenderChunk* sprite = glass != nullptr ? SpriteOf(*glass) : nullptr;
    if (sprite != nullptr) {
        sprite->alpha = 0.0f;
    }
    const FilterRow& row = RowOf(cyanOn, yellowOn, magentaOn);
    if (sprite != nullptr && row.tint != 0) {
        sprite->tint = static_cast<int32_t>(row.tint);
        sprite->alpha = row.alpha;
    }
    if (hidden == nullptr || row.glyph == nullptr || hidden->visName != row.glyph) {
        return;
    }
    if (!locatingPlayed) {
        PlayFull("lens_locating");
        locatingPlayed = true;
    }
    Show(hidden, true);
}

bool TelescopeViewGameMngr::Update(float) {
    if (!finished) {
        EvaluateFilter();
        return true;
    }
    for (const char* lit : {"cyjan_button_active", "magneta_button_active", "yellow_button_active"}) {
        Show(FindNamed(owner, lit), false);
    }
    if (!MiniGameManager::CloseFlagSet()) {
        SetCompletionFlag();
    }
    RequestLeave();
    return false;
}
