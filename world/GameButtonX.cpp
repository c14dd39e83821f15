#include "world/GameButtonX.h"

#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MessageSystem.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "media/ParticleEmitter.h"
#include "media/SoundManager.h"
#include "world/FxBlend.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/WorldServices.h"
#include "world/fx/FxField.h"

#include <optional>

namespace {

constexpr int kFullVolume = 100;
// Long enough for every highlight particle to die.
constexpr float kHighlightFlush = 100.0f;

NormalLevelSystem* HoldingSystem() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

// The activator's last character is not compared, so "key1" takes "key2"; a one-character
// activator takes anything, also an empty cursor.
bool ActivatorMatches(const std::string& activator, const std::string& held) {
    const std::size_t compared = activator.size() - 1;
    return held.size() >= compared && held.compare(0, compared, activator, 0, compared) == 0;
}

} // namespace

GameButtonX::GameButtonX(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<GameButtonX>*>(this), 0, 0);
    updateDelay = -1.0f;
    disableTime = 3.0f;
}

GameButtonX::~GameButtonX() {
    if (overFx != nullptr) {
        overFx->dead = true;
    }
}

void GameButtonX::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (dead) {
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
        if (k == "clickSoundName") {
            SetClickSound(text());
        } else if (k == "clickEvent") {
            clickEvent = FourCC(text());
        } else if (k == "clickBlockEvent") {
            clickBlockEvent = FourCC(text());
        } else if (k == "clickMessage") {
            clickMessage = text();
        } else if (k == "killOnClick") {
            killOnClick = flag();
        } else if (k == "enableItemClick") {
            enableItemClick = flag();
        } else if (k == "tutorialButton") {
            tutorialButton = flag();
        } else if (k == "enableTime") {
            enableTime = key.NextFloat(true, 0.0f);
        } else if (k == "disableTime") {
            disableTime = key.NextFloat(true, 0.0f);
        } else if (k == "blockMagicItemClick") {
            blockMagicItemClick = flag();
        } else if (k == "mapIndicator") {
            mapIndicator = text();
        } else if (k == "overFx") {
            auto field = std::make_unique<FxField>();
            ParconCursor entry = key;
            while (entry.Next()) {
                const std::optional<ParconList> fxList = entry.GetList();
                if (!fxList) {
                    continue;
                }
                ParconCursor fx(fxList, 0);
                if (fx.GetListName() != "fx") {
                    continue;
                }
                const std::string file = fx.NextString(true, "");
                const float x = fx.NextFloat(true, 0.0f);
                const float y = fx.NextFloat(true, 0.0f);
                field->AddEmitter(file, x, y);
            }
            if (overFx != nullptr) {
                overFx->dead = true;
            }
            overFx = std::move(field);
        }
    }
}

bool GameButtonX::Update(float dt) {
    BaseGameObject::Update(dt);
    if (overFx != nullptr) {
        overFx->active = enabled;
        if (enabled) {
            overFx->Update(dt);
        }
    }
    return true;
}

void GameButtonX::Draw() {
    if (!enabled) {
        return;
    }
    BaseGameObject::Draw();
    if (overFx != nullptr) {
        overFx->Draw();
    }
}

// The click rule, in order; each refusal ends it.
void GameButtonX::OnMessage(const void*, uint32_t id, uint32_t param) {
    if ((GameLevel != nullptr && GameLevel->blendOutPending) || World().DialogueShown() ||
        eventReceiver == nullptr || dead || !enabled) {
        return;
    }
    if (blockMagicItemClick && GameLevel != nullptr && World().PermanentToolInUse() == "wand") {
        return;
    }
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed) {
        return;
    }
    CollisionChunk* collision = Collision();
    if (collision == nullptr || !collision->Contains(Mouse.x, Mouse.y)) {
        return;
    }
    NormalLevelSystem* holder = HoldingSystem();
    const std::string heldItem = holder != nullptr ? holder->heldItemName : std::string();

    if (!emptyClickMessage.empty() && heldItem.empty() && !World().DialogueShown()) {
        OpenDialog(emptyClickMessage, false, 0.0f);
        return;
    }
    for (const std::string& flag : enableClickFlags) {
        if (GetLevelFlag(flag) == 0) {
            Sounds.PlayByName("cannot", false, kFullVolume, 0);
            if (!cantClickMessage.empty()) {
                OpenDialog(cantClickMessage, false, 0.0f);
            }
            return;
        }
    }
    if (!magicActivator.empty() && GameLevel != nullptr) {
        // A HUD without the tool bar does not stand in the way.
        const std::optional<std::string> tool = World().PermanentToolInUse();
        if (tool && *tool != magicActivator) {
            if (!magicActivatorMessage.empty()) {
                OpenDialog(magicActivatorMessage, false, 0.0f);
            }
            return;
        }
    }
    if (!activator.empty() && !ActivatorMatches(activator, heldItem)) {
        return;
    }
    // A plain button ignores clicks made with an item on the cursor.
    if (!enableItemClick && activator.empty() && !heldItem.empty() && !tutorialButton) {
        return;
    }
    if (enableClickEnergy > 0) {
        if (CurrentPlayer == nullptr) {
            DebugLog("%s refused: a click that costs energy needs a player\n", visName.c_str());
            return;
        }
        if (enableClickEnergy > CurrentPlayer->GetEnergy()) {
            if (GetGlobalFlag("global:glyphstoneDialogShown") == 0) {
                CurrentPlayer->SetFlag("global", "glyphstoneDialogShown", 1);
                OpenDialog(kLowEnergyFirstDialog, false, 0.0f);
            } else {
                Sounds.PlayByName("no_energy", false, kFullVolume, 0);
                OpenDialog(kLowEnergyDialog, false, 0.0f);
            }
            return;
        }
    }
    if (clickEvent != 0) {
        if (highlightEmitter != nullptr) {
            highlightEmitter->emitting = false;
            highlightEmitter->Update(kHighlightFlush);
        }
        PostClickEvent(clickEvent);
    } else if (clickBlockEvent != 0) {
        PostClickEvent(clickBlockEvent);
    }
    if (!clickMessage.empty()) {
        OpenDialog(clickMessage, true, 0.0f, visName);
    }
    if (killOnClick) {
        if (!tutorialButton && !enableItemClick && holder != nullptr) {
            holder->DropHeldItem();
        }
        KillByClick();
    }
    if (!activator.empty() && !enableItemClick && holder != nullptr) {
        holder->DropHeldItem();
    }
}

void GameButtonX::PostClickEvent(uint32_t event) {
    if (overFx != nullptr) {
        overFx->Stop();
    }
    auto* messages = owner != nullptr
                         ? dynamic_cast<MessageSystem*>(owner->FindSystem(FourCC("MSGS")))
                         : nullptr;
    if (messages != nullptr) {
        messages->Post(eventReceiver, event, 0);
    } else {
        DebugLog("%s: event %s not posted, the scene has no message system\n", visName.c_str(),
                 FourCCText(event).c_str());
    }
    Sounds.PlayByName(clickSoundName, false, kFullVolume, 0);
}

void GameButtonX::KillByClick() {
    if (fadeOnDisable && Sprite() != nullptr && owner != nullptr) {
        if (GetLevelFlag(visName + "_killed") == 0) {
            std::unique_ptr<Object> created = owner->CreateObject("FxBlendOut", true);
            auto* blend = dynamic_cast<FxBlendOut*>(created.get());
            if (blend == nullptr) {
                throw Exception("%s", "FxBlendOut is not a blend effect");
            }
            blend->AddTarget(this);
            blend->time = disableTime;
            owner->AddObject(std::move(created));
            SetLevelFlag(visName + "_killed", 1);
            SpawnStateFx(true);
        } else {
            Kill();
        }
    } else {
        Kill();
    }
    if (!disableSound.empty()) {
        Sounds.PlayByName(disableSound, false, kFullVolume, 0);
    }
    SpawnStateFx(true);
}
