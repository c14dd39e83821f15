#include "world/BaseGameObject.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "media/AnimPlayer.h"
#include "media/BitmapFont.h"
#include "media/ParticleEmitter.h"
#include "media/ParticleRenderSystem.h"
#include "media/RenderChunk.h"
#include "media/SpriteRenderSystem.h"
#include "world/FxParticles.h"
#include "world/GameModalDialog.h"
#include "world/Level.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <algorithm>

namespace {

constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;

// Flag lists take every following word of the key's list.
void ReadWords(ParconCursor key, std::vector<std::string>& words, const std::string& keyName) {
    while (key.Next()) {
        if (key.GetList().has_value()) {
            throw Exception("Definition error: a list inside the flag list %s", keyName.c_str());
        }
        words.push_back(key.GetString(""));
    }
}

bool ModalLevelOpenOtherThan(const ObjectsManager* scene) {
    return ModalLevel != nullptr && ModalLevel != scene;
}

bool DialogueShown() {
    return World().DialogueShown();
}

} // namespace

BaseGameObject::BaseGameObject(ObjectsManager* owner) : Object(owner) {
    SetCreator(this, 0, 0);
}

BaseGameObject::BaseGameObject() {
    SetCreator(this, 0, 0);
}

BaseGameObject::~BaseGameObject() = default;

int32_t BaseGameObject::GetLevelFlag(const std::string& name) {
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        return 0;
    }
    return CurrentPlayer->GetFlag(GameLevel->GetName() + ":" + name);
}

int32_t BaseGameObject::GetGlobalFlag(const std::string& key) {
    return CurrentPlayer == nullptr ? 0 : CurrentPlayer->GetFlag(key);
}

void BaseGameObject::SetLevelFlag(const std::string& name, int32_t value) {
    if (GameLevel == nullptr || CurrentPlayer == nullptr) {
        DebugLog("Flag %s not set: %s\n", name.c_str(),
                 GameLevel == nullptr ? "no game level" : "no current player");
        return;
    }
    CurrentPlayer->SetFlag(GameLevel->GetName(), name, value);
}

CollisionChunk* BaseGameObject::Collision() {
    return dynamic_cast<CollisionChunk*>(GetChunk(FourCC("COLI"), 0));
}

RenderChunk* BaseGameObject::Sprite() {
    return dynamic_cast<RenderChunk*>(GetChunk(FourCC("SPRT"), 0));
}

void BaseGameObject::SetProperty(const ParconCursor& cursor) {
    stateTimer = -1.0f;
    // These classes are read whatever their killed flag (a wall's place shares its name with the
    // item it takes, whose pick-up kills that name): known by class, whatever definition made them.
    const std::string className = GetClassName();
    if (!visName.empty() && className != "ScreenPuzzle" &&
        className != "SpotTheDifferenceGameChunk" && GetLevelFlag(visName + "_killed") != 0) {
        dead = true;
        return;
    }
    ParconCursor element = cursor;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor key(list, 0);
        const std::string k = key.GetListName();
        const auto text = [&key] { return key.NextString(true, ""); };
        const auto flag = [&key] { return key.NextInt(true, 0) != 0; };
        const auto number = [&key] { return key.NextFloat(true, 0.0f); };
        if (k == "enabled") {
            enabled = flag();
        } else if (k == "disableFlag") {
            ReadWords(key, disableFlags, k);
        } else if (k == "enableFlag") {
            ReadWords(key, enableFlags, k);
        } else if (k == "enableGlobalFlag") {
            ReadWords(key, enableGlobalFlags, k);
        } else if (k == "enableClickFlag") {
            ReadWords(key, enableClickFlags, k);
        } else if (k == "enableClickEnergy") {
            enableClickEnergy = key.NextInt(true, 0);
        } else if (k == "fadeOnEnable") {
            fadeOnEnable = flag();
        } else if (k == "fadeOnDisable") {
            fadeOnDisable = flag();
        } else if (k == "activator") {
            activator = text();
        } else if (k == "magicActivator") {
            magicActivator = text();
        } else if (k == "enableDelay") {
            enableDelay = number();
        } else if (k == "disableDelay") {
            disableDelay = number();
        } else if (k == "enableDialog") {
            enableDialog = text();
        } else if (k == "disableDialog") {
            disableDialog = text();
        } else if (k == "toolTip") {
            toolTip = text();
        } else if (k == "toolTip2") {
            toolTip2 = text();
        } else if (k == "toolTip3") {
            toolTip3 = text();
        } else if (k == "toolTip4") {
            toolTip4 = text();
        } else if (k == "enableEnergyToolTip") {
            enableEnergyToolTip = text();
        } else if (k == "enableEnergyToolTip2") {
            enableEnergyToolTip2 = text();
        } else if (k == "disableGlobalFlag") {
            ReadWords(key, disableGlobalFlags, k);
        } else if (k == "updateDelay") {
            updateDelay = number();
        } else if (k == "enableFx") {
            ReadStateFx(key, enableFx);
        } else if (k == "disableFx") {
            ReadStateFx(key, disableFx);
        } else if (k == "showHighlightEffect") {
            LoadHighlight("gfx/fx/hiddenObject_hili.prt");
        } else if (k == "showHighlightEffect2") {
            LoadHighlight("gfx/fx/hiddenObject_hili2.prt");
        } else if (k == "killOnDisable") {
            killOnDisable = flag();
        } else if (k == "exitArrow") {
            exitArrow = text();
        } else if (k == "enableSound") {
            enableSound = text();
        } else if (k == "disableSound") {
            disableSound = text();
        } else if (k == "loopSound") {
            loopSound = text();
        } else if (k == "enableTime") {
            enableTime = number();
        } else if (k == "disableTime") {
            disableTime = number();
        } else if (k == "cantClickMessage") {
            cantClickMessage = text();
        } else if (k == "emptyClickMessage") {
            emptyClickMessage = text();
        } else if (k == "magicActivatorMessage") {
            magicActivatorMessage = text();
        }
    }
    // The presence of an enable list alone starts the object disabled, whatever the key order.
    if (!enableFlags.empty() || !enableGlobalFlags.empty()) {
        enabled = false;
    }
}

void BaseGameObject::ReadStateFx(const ParconCursor& key, std::vector<StateFxEntry>& entries) {
    ParconCursor element = key;
    while (element.Next()) {
        const std::optional<ParconList> list = element.GetList();
        if (!list) {
            continue;
        }
        ParconCursor fx(list, 0);
        if (fx.GetListName() != "fx") {
            continue;
        }
        StateFxEntry entry;
        entry.file = fx.NextString(true, "");
        entry.x = fx.NextFloat(true, 0.0f);
        entry.y = fx.NextFloat(true, 0.0f);
        if (entry.x == 0.0f && entry.y == 0.0f) {
            if (const RenderChunk* sprite = Sprite()) {
                const auto* position =
                    dynamic_cast<const PositionChunk*>(GetChunk(FourCC("POSI"), 0));
                if (position == nullptr) {
                    throw Exception("Definition error: %s has a sprite for its effects but no "
                                    "position",
                                    visName.c_str());
                }
                std::string animation = "idle";
                if (const auto* picture = dynamic_cast<const SpriteRenderChunk*>(sprite)) {
                    if (!picture->player.CurrentAnimName().empty()) {
                        animation = picture->player.CurrentAnimName();
                    }
                }
                const FrameRect rect = sprite->FirstFrameRect(animation).value_or(FrameRect{});
                entry.x = position->x + static_cast<float>(rect.right / 2);
                entry.y = position->y + static_cast<float>(rect.bottom / 2);
            }
        }
        entries.push_back(std::move(entry));
    }
}

void BaseGameObject::LoadHighlight(const std::string& file) {
    auto emitter = std::make_unique<ParticleEmitter>();
    Parcon parser;
    parser.OpenFile(file, true);
    emitter->Load(*parser.Root(), 0);
    emitter->x = Mouse.x;
    emitter->y = Mouse.y;
    emitter->emitting = false;
    highlightEmitter = std::move(emitter);
}

bool BaseGameObject::Update(float dt) {
    UpdateState(dt);
    if (dead) {
        return true; // killed by its flags: the scene removes it
    }
    CollisionChunk* collision = Collision();
    const bool inside = collision != nullptr && collision->Contains(Mouse.x, Mouse.y);
    if (inside && !exitArrow.empty() && enabled) {
        CursorAnim.Play(exitArrow, true, false, true, 0.0f);
    }
    if (!enabled) {
        return true;
    }
    mouseOver = inside && ModalLevel == nullptr;
    UpdateHoverHighlight(dt);
    return true;
}

void BaseGameObject::UpdateHoverHighlight(float dt) {
    CollisionChunk* collision = Collision();
    const bool inside = collision != nullptr && enabled && collision->Contains(Mouse.x, Mouse.y);
    if (inside && !ModalLevelOpenOtherThan(owner)) {
        highlightHover = true;
    } else {
        hoverText.clear();
        highlightHover = false;
    }
    if (highlightEmitter == nullptr) {
        return;
    }
    // The open state of an inventory container is its own class's business; until it exists,
    // every object waits for the dialogue layer only.
    highlightEmitter->emitting = highlightHover && ModalLevel == nullptr && !DialogueShown();
    highlightEmitter->x = Mouse.x;
    highlightEmitter->y = Mouse.y;
    highlightEmitter->Update(dt);
}

void BaseGameObject::Draw() {
    if (!enabled) {
        return;
    }
    if (highlightEmitter != nullptr && !ModalLevelOpenOtherThan(owner)) {
        highlightEmitter->Draw();
    }
    if (mouseOver) {
        if (!enableEnergyToolTip.empty() && enableClickEnergy > 0 && CurrentPlayer != nullptr &&
            CurrentPlayer->GetEnergy() < enableClickEnergy) {
            DrawToolTipBlock({&enableEnergyToolTip, &enableEnergyToolTip2});
        }
        if (!toolTip.empty()) {
            DrawToolTipBlock({&toolTip, &toolTip2, &toolTip3, &toolTip4});
        }
    }
    mouseOver = false;
}

void BaseGameObject::DrawToolTipBlock(const std::vector<const std::string*>& lines) const {
    if (TooltipFont == nullptr) {
        return;
    }
    float x = Mouse.x + 20.0f;
    float y = Mouse.y + 30.0f;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::string& line = *lines[k];
        if (line.empty() && k > 0) {
            continue;
        }
        const TextRectangle size = TooltipFont->TextRect(line, 0.0f, 0.0f, 1.0f);
        const float w = size.right - size.left;
        const float h = size.bottom - size.top;
        if (k == 1) {
            // The second line is placed from the mouse, not from the first line's place.
            if (Mouse.x + 32.0f > kScreenWidth - w) {
                x = kScreenWidth - w;
            }
            if (Mouse.y > kScreenHeight - h - 30.0f) {
                y = kScreenHeight - h;
            }
        } else {
            if (x > kScreenWidth - w) {
                x = kScreenWidth - w;
            }
            if (y > kScreenHeight - h - 30.0f) {
                y = kScreenHeight - h;
            }
        }
        x = std::max(x, 0.0f);
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (!lines[k]->empty()) {
            TooltipFont->DrawTextEx(*lines[k], x, y + 10.0f + 20.0f * static_cast<float>(k),
                                    kToolTipDepth, kToolTipColour, kToolTipColour, 1.0f);
        }
    }
}

void BaseGameObject::Kill() {
    SetLevelFlag(visName + "_killed", 1);
    disableFlags.push_back(visName + "_killed");
    dead = true;
}

void BaseGameObject::SpawnStateFx(bool disable) {
    const std::vector<StateFxEntry>& entries = disable ? disableFx : enableFx;
    if (entries.empty()) {
        return;
    }
    if (GameLevel == nullptr) {
        DebugLog("Effects of %s not shown: no game level\n", visName.c_str());
        return;
    }
    for (const StateFxEntry& entry : entries) {
        std::unique_ptr<Object> created = GameLevel->CreateObject("FxParticles", true);
        auto* fx = dynamic_cast<FxParticles*>(created.get());
        if (fx == nullptr) {
            throw Exception("%s", "FxParticles is not a particle effect");
        }
        PositionChunk& position = fx->Position();
        position.x = entry.x;
        position.y = entry.y;
        ParticleChunk& particles = fx->Particles();
        Parcon parser;
        parser.OpenFile(entry.file, true);
        particles.emitter.Load(*parser.Root(), 0);
        particles.lifeTime = 3.0f;
        fx->life = 4.5f;
        fx->ResolveDependencies();
        GameLevel->AddObject(std::move(created));
    }
}

void BaseGameObject::OpenDialog(const std::string& file, bool repeat, float delay,
                                const std::string& dialogName) {
    if (owner == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = owner->CreateObject("GameModalDialog", true);
    auto* dialog = dynamic_cast<GameModalDialog*>(created.get());
    if (dialog == nullptr) {
        throw Exception("%s", "GameModalDialog is not a dialogue object");
    }
    if (!dialogName.empty()) {
        dialog->visName = dialogName;
    }
    owner->AddObject(std::move(created));
    dialog->SetFileName(file, repeat);
    dialog->SetDelay(delay);
}
