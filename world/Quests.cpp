#include "world/Quests.h"

#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "media/SoundManager.h"
#include "world/GameModalDialog.h"
#include "world/Level.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <memory>

namespace {

constexpr int kFullVolume = 100;
// Long enough to settle the enable state in one evaluation.
constexpr float kSettleState = 100.0f;

// A quest waits while the player is busy: a dialogue on screen or the profile being written.
bool PlayerBusy() {
    return World().DialogueShown() || (CurrentPlayer != nullptr && CurrentPlayer->IsSaving());
}

// A named dialogue object in the scene, opening the file at once (or after the delay); its name
// leaves the "_killed" flag that the quests test.
void OpenNamedDialogue(ObjectsManager* scene, const std::string& name, const std::string& file,
                       float delay) {
    if (scene == nullptr) {
        return;
    }
    std::unique_ptr<Object> created =
        scene->CreateObject(std::string(GameModalDialog::kClassName), true);
    auto* dialog = dynamic_cast<GameModalDialog*>(created.get());
    if (dialog == nullptr) {
        throw Exception("%s", "GameModalDialog is not a dialogue object");
    }
    dialog->visName = name;
    scene->AddObject(std::move(created));
    dialog->SetFileName(file, false);
    dialog->SetDelay(delay);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The item-list family

ItemListQuest::ItemListQuest(ObjectsManager* owner) : BaseGameObject(owner) {}

void ItemListQuest::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (dead) {
        return;
    }
    ForEachParconKey(cursor, [this](const std::string& key, ParconCursor& value) {
        if (key == "objects") {
            while (value.HasNextValue()) {
                objects.push_back(value.NextString(true, ""));
            }
        } else if (key == "completeEvent") {
            completeEvent = FourCC(value.NextString(true, ""));
        } else {
            ReadKey(key, value);
        }
    });
}

bool ItemListQuest::Update(float dt) {
    BaseGameObject::Update(dt);
    // Without a location or a profile there is nothing to watch yet.
    if (GameLevel == nullptr || CurrentPlayer == nullptr || PlayerBusy()) {
        return true;
    }
    for (const std::string& name : objects) {
        if (!Gathered(name)) {
            return true;
        }
    }
    // A quest finished in an earlier visit leaves without a word.
    if (GetLevelFlag(visName + "_killed") == 0) {
        Complete();
    }
    return false;
}

void ItemListQuest::PostCompleteEvent() {
    if (completeEvent == 0 || eventReceiver == nullptr || owner == nullptr) {
        return;
    }
    if (auto* messages = dynamic_cast<MessageSystem*>(owner->FindSystem(FourCC("MSGS")))) {
        messages->Post(eventReceiver, completeEvent, 0);
    }
}

CollectObjectsQuest::CollectObjectsQuest(ObjectsManager* owner) : ItemListQuest(owner) {
    Object::SetCreator(static_cast<OCreator<CollectObjectsQuest>*>(this), 0, 0);
}

bool CollectObjectsQuest::Gathered(const std::string& name) const {
    return GetLevelFlag(name + "_killed") != 0;
}

void CollectObjectsQuest::Complete() {
    Sounds.PlayByName("game_won", false, kFullVolume, 0);
    PostCompleteEvent();
    Kill();
}

GetObjectsQuest::GetObjectsQuest(ObjectsManager* owner) : ItemListQuest(owner) {
    Object::SetCreator(static_cast<OCreator<GetObjectsQuest>*>(this), 0, 0);
}

bool GetObjectsQuest::Gathered(const std::string& name) const {
    return CurrentPlayer->CountItem(name) > 0;
}

bool GetObjectsQuest::ReadKey(const std::string& key, ParconCursor& cursor) {
    if (key != "killObjects") {
        return false;
    }
    killObjects = cursor.NextInt(true, 0) != 0;
    return true;
}

void GetObjectsQuest::Complete() {
    SetLevelFlag(visName + "_killed", 1);
    Sounds.PlayByName("game_won", false, kFullVolume, 0);
    PostCompleteEvent();
    if (killObjects) {
        for (const std::string& name : objects) {
            CurrentPlayer->RemoveInventoryItem(name);
        }
    }
    CurrentPlayer->AddEnergy(1, true);
    Kill();
}

OraclesQuest::OraclesQuest(ObjectsManager* owner) : ItemListQuest(owner) {
    Object::SetCreator(static_cast<OCreator<OraclesQuest>*>(this), 0, 0);
}

bool OraclesQuest::Gathered(const std::string& name) const {
    return CurrentPlayer->CountItem(name) > 0;
}

void OraclesQuest::Complete() {
    PostCompleteEvent();
    for (const std::string& name : objects) {
        CurrentPlayer->RemoveInventoryItem(name);
    }
    Kill();
}

// ---------------------------------------------------------------------------------------------
// OakbeardQuest

OakbeardQuest::OakbeardQuest(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<OakbeardQuest>*>(this), 0, 0);
}

void OakbeardQuest::SetProperty(const ParconCursor& cursor) {
    BaseGameObject::SetProperty(cursor);
    if (dead) {
        return;
    }
    if (GetGlobalFlag("z1-barrow-out:dialog3_killed") != 0) {
        UpdateState(kSettleState);
        if (!enabled) {
            dead = true;
        }
    }
}

bool OakbeardQuest::Update(float dt) {
    UpdateState(dt);
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    if (!enabled || PlayerBusy() || CurrentPlayer == nullptr) {
        return true;
    }
    const int32_t blooms = CurrentPlayer->CountItem("fire_bloom");
    const int32_t crystals = CurrentPlayer->CountItem("orvexian_crystal");
    const int32_t seeds = CurrentPlayer->CountItem("seed");
    const std::string folder = kDialogues;
    // One errand's dialogue a step: the next waits until no dialogue is on screen.
    if (seeds == kErrandCount && !seedDone) {
        seedDone = true;
        OpenNamedDialogue(owner, "dialog4", folder + "msg4.txt", 0.0f);
        return true;
    }
    if (crystals == kErrandCount && !crystalDone) {
        crystalDone = true;
        OpenNamedDialogue(owner, "dialog5", folder + "msg5.txt", 0.0f);
        return true;
    }
    if (blooms == kErrandCount && !bloomDone) {
        bloomDone = true;
        OpenNamedDialogue(owner, "dialog6", folder + "msg6.txt", 0.0f);
        return true;
    }
    // The own flag is read without a scope, so it is never set: the introduction comes on each
    // visit until the quest ends.
    if (!introDone && !crystalDone && !seedDone && !bloomDone &&
        GetGlobalFlag(visName + "_killed") == 0) {
        introDone = true;
        OpenNamedDialogue(GameLevel, "dialog8", folder + "msg8.txt", 0.0f);
    }
    if (GetGlobalFlag("z1-barrow-out:dialog4_killed") != 0 &&
        GetGlobalFlag("z1-barrow-out:dialog5_killed") != 0 &&
        GetGlobalFlag("z1-barrow-out:dialog6_killed") != 0) {
        Kill();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// GuardianQuest

GuardianQuest::GuardianQuest(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<GuardianQuest>*>(this), 0, 0);
}

void GuardianQuest::SetProperty(const ParconCursor& cursor) {
    UpdateState(kSettleState);
    if (!enabled) {
        dead = true;
        return;
    }
    BaseGameObject::SetProperty(cursor);
}

bool GuardianQuest::Update(float dt) {
    if (delay > 0.0f) {
        delay -= dt;
        return true;
    }
    UpdateState(dt);
    if (PlayerBusy() || GameLevel == nullptr) {
        return true;
    }
    if (GetLevelFlag("guardian_task_killed") == 0) {
        return true;
    }
    Sounds.PlayByName("game_won", false, kFullVolume, 0);
    OpenNamedDialogue(owner, "dialog4", kDialogue, 1.0f);
    Kill();
    return false;
}
