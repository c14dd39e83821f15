#include "ui/hud/UIFxFlyTo.h"

#include "engine/PositionSystem.h"
#include "media/Math2D.h"
#include "media/ParticleEmitter.h"
#include "media/SpriteRenderSystem.h"
#include "ui/UserInterface.h"
#include "ui/hud/HudSupport.h"
#include "world/Level.h"
#include "world/Player.h"

namespace {

constexpr const char* kTrailParticles = "gfx/fx/permanent_object_fly.prt";
constexpr float kArtDepth = 700.0f;

// A tool's first-time hint: its flag, the dialogue and the dialogue's type name.
struct FirstHint {
    const char* animation;
    const char* flag;
    const char* file;
    const char* name;
    bool outsideMiniGameOnly;
};

constexpr FirstHint kFirstHints[] = {
    {"chromatic_lens_cursor", "clens_tutorial_shown", "menus\\tutorials\\ChamberDoor\\msg6.txt",
     "dialog9999", true},
    {"scrying_orb_cursor", "orb_tutorial_shown", "menus\\tutorials\\z1-wood-glyphstone\\msg6.txt",
     "dialog1000", false},
};

} // namespace

UIFxFlyTo::UIFxFlyTo(ObjectsManager* owner) : UIObject(owner) {
    SetCreator(static_cast<OCreator<UIFxFlyTo>*>(this), 0, 0);
}

UIFxFlyTo::~UIFxFlyTo() = default;

void UIFxFlyTo::Start(float x0, float y0, float x1, float y1, const std::string& animationFile,
                      const std::string& name) {
    clock = 0.0f;
    animationName = name;
    if (owner != nullptr) {
        std::unique_ptr<Object> created = owner->CreateObject("UIBitmapButton", true);
        created->ResolveDependencies();
        if (SpriteRenderChunk* sprite = Hud::Sprite(*created)) {
            Hud::BindArt(sprite->player, animationFile, name);
            sprite->postRender = true;
            sprite->zOrder = kArtDepth;
        }
        Object* added = created.get();
        owner->AddObject(std::move(created));
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
    turning = x0 < 700.0f ? -1.0f : 0.0f;
    trail = Hud::LoadEmitter(kTrailParticles, x0, y0);
}

bool UIFxFlyTo::Update(float dt) {
    Object* flying = art.In(owner);
    if (flying == nullptr || trail == nullptr) {
        return false;
    }
    trail->Update(dt);
    const float left = flightTime - clock;
    clock += dt;
    PositionChunk* position = Hud::Position(*flying);
    if (clock <= flightTime) {
        x = Hud::StepToward(x, targetX, left, dt);
        y = Hud::StepToward(y, targetY, left, dt);
        // Turned about the target, so at the target itself the art is exactly there.
        const bool there = x == targetX && y == targetY;
        const Vector2 placed = there ? Vector2{x, y}
                                     : Math2D::RotatePoint({x, y}, {targetX, targetY},
                                                           turning * clock);
        if (position != nullptr) {
            position->x = placed.x;
            position->y = placed.y;
        }
        trail->x = placed.x + 32.0f;
        trail->y = placed.y + 32.0f;
    } else {
        trail->emitting = false;
        if (!arrived) {
            arrived = true;
            if (position != nullptr) {
                position->x = targetX;
                position->y = targetY;
            }
            Hud::Burst(targetX + 16.0f, targetY + 16.0f, Hud::kHighlightParticles, 1.0f);
        }
    }
    trail->Update(dt);
    if (clock <= flightTime || trail->IsAlive()) {
        return true;
    }
    flying->dead = true;
    art.Reset();
    OpenFirstHint();
    return false;
}

void UIFxFlyTo::OpenFirstHint() const {
    if (CurrentPlayer == nullptr || owner == nullptr) {
        return;
    }
    for (const FirstHint& hint : kFirstHints) {
        if (animationName != hint.animation || (hint.outsideMiniGameOnly && ModalLevel != nullptr) ||
            CurrentPlayer->GetFlag(std::string("global:") + hint.flag) != 0) {
            continue;
        }
        CurrentPlayer->SetFlag("global", hint.flag, 1);
        Hud::OpenHint(*owner, hint.file, hint.name, 1.0f);
    }
}

void UIFxFlyTo::TopDraw() {
    if (trail != nullptr) {
        trail->Draw();
    }
}
