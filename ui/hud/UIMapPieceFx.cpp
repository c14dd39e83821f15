#include "ui/hud/UIMapPieceFx.h"

#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/PositionSystem.h"
#include "media/ParticleEmitter.h"
#include "media/SpriteRenderSystem.h"
#include "ui/UIButton.h"
#include "ui/UserInterface.h"
#include "ui/hud/HudSupport.h"
#include "world/Player.h"

#include <cmath>

namespace {

constexpr const char* kTrailParticles = "gfx/fx/permanent_object_fly.prt";
constexpr float kGlowTail = 0.5f;
constexpr float kArtDepth = 999.0f;

Object* HudObject(uint32_t code) {
    return MainUI != nullptr ? MainUI->FindByCode(code) : nullptr;
}

// The display's look while it glows: the list lit, the progress hidden, the second list shown.
void LightDisplay() {
    if (Object* list = HudObject(FourCC("LSTO"))) {
        if (auto* button = dynamic_cast<UIButton*>(list)) {
            button->pointerOver = true;
        }
        if (SpriteRenderChunk* sprite = Hud::Sprite(*list)) {
            sprite->alpha = 1.0f;
            sprite->player.Play("high", true, false, true, 0.0f);
        }
    }
    if (Object* progress = HudObject(FourCC("PROG"))) {
        if (SpriteRenderChunk* sprite = Hud::Sprite(*progress)) {
            sprite->alpha = 0.0f;
        }
    }
    if (Object* second = HudObject(FourCC("LST2"))) {
        if (SpriteRenderChunk* sprite = Hud::Sprite(*second)) {
            sprite->alpha = 1.0f;
            sprite->visible = true;
            sprite->player.Play("idle", true, false, true, 0.0f);
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// UIAddMapPiece

UIAddMapPiece::UIAddMapPiece(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIAddMapPiece>*>(this), 0, 0);
}

void UIAddMapPiece::Start(int pieces, float wait) {
    delay = wait;
    startCount = CurrentPlayer != nullptr ? CurrentPlayer->GetMapPieces() : 0;
    piecesToAdd = pieces;
}

bool UIAddMapPiece::Update(float dt) {
    if (!piecesAdded) {
        piecesAdded = true;
        if (CurrentPlayer != nullptr) {
            CurrentPlayer->AddMapPieces(piecesToAdd, false);
        }
    }
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    if (!glowStarted) {
        glowStarted = true;
        Hud::Burst(kBurstX, kBurstY, Hud::kHighlightParticles, 1.0f);
    }
    clock += dt;
    if (glowTime + kGlowTail <= clock) {
        return false;
    }
    LightDisplay();
    return true;
}

// ---------------------------------------------------------------------------------------------
// UIFxMapPieceFly

UIFxMapPieceFly::UIFxMapPieceFly(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIFxMapPieceFly>*>(this), 0, 0);
}

UIFxMapPieceFly::~UIFxMapPieceFly() = default;

Object* UIFxMapPieceFly::Art() const {
    return art.In(MainUI);
}

void UIFxMapPieceFly::Start(float x0, float y0, float x1, float y1,
                            const std::string& animationFile, const std::string& animationName) {
    clock = 0.0f;
    if (MainUI != nullptr) {
        std::unique_ptr<Object> created = MainUI->CreateObject("UIBitmapButton", true);
        created->ResolveDependencies();
        if (SpriteRenderChunk* sprite = Hud::Sprite(*created)) {
            Hud::BindArt(sprite->player, animationFile, animationName);
            sprite->postRender = true;
            sprite->zOrder = kArtDepth;
        }
        Object* added = created.get();
        MainUI->AddObject(std::move(created));
        if (PositionChunk* position = Hud::Position(*added)) {
            position->x = x0;
            position->y = y0;
        }
        art = ObjectLink(added);
    }
    x = x0;
    y = y0;
    targetX = x1;
    targetY = y1;
    unused = -1.0f;
    trail = Hud::LoadEmitter(kTrailParticles, x0, y0);
}

bool UIFxMapPieceFly::Update(float dt) {
    Object* flying = Art();
    if (flying == nullptr || trail == nullptr) {
        return false;
    }
    trail->Update(dt);
    const float left = flightTime - clock;
    clock += dt;
    if (clock <= flightTime) {
        x = Hud::StepToward(x, targetX, left, dt);
        y = Hud::StepToward(y, targetY, left, dt);
        if (PositionChunk* position = Hud::Position(*flying)) {
            position->x = x;
            position->y = y;
        }
        if (SpriteRenderChunk* sprite = Hud::Sprite(*flying)) {
            sprite->scale = std::sin(std::fmax(flightTime - clock, 0.0f));
        }
        trail->x = x;
        trail->y = y;
        trail->emitting = true;
        trail->Update(dt);
        return true;
    }
    trail->emitting = false;
    flying->dead = true;
    art.Reset();
    if (MainUI != nullptr) {
        if (auto* messages = dynamic_cast<MessageSystem*>(MainUI->FindSystem(FourCC("MSGS")))) {
            messages->Post(MainUI, FourCC("ADDA"), 0);
        }
    }
    done = true;
    return false;
}

void UIFxMapPieceFly::TopDraw() {
    if (trail != nullptr) {
        trail->Draw();
    }
}
