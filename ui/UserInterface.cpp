#include "ui/UserInterface.h"

#include "engine/Application.h"
#include "engine/ClassFactory.h"
#include "engine/CollisionsSystem.h"
#include "engine/Exception.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MessageSystem.h"
#include "engine/PositionSystem.h"
#include "engine/ProcessResult.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "media/TextRenderSystem.h"
#include "ui/ModalProcesses.h"
#include "ui/UIButton.h"
#include "ui/UIObject.h"
#include "world/BaseGameObject.h"
#include "world/GameSettings.h"
#include "world/Level.h"

#include <algorithm>
#include <bit>
#include <cmath>

UserInterface* MainUI = nullptr;
UserInterface* mui = nullptr;
UserInterface* OverlayUI = nullptr;
UserInterface* LevelOverlayUI = nullptr;
UserInterface* MapGameUI = nullptr;
UserInterface* DialogueUI = nullptr;
UserInterface* TutorialUI = nullptr;
UserInterface* VideoUI = nullptr;
bool InGameMenuOpen = false;

namespace {

uint64_t lastSerial = 0;
UserInterface::EventTableStandIn* eventTableStandIn = nullptr;

// Volumes this low are heard as silence, so they are stored as silence.
constexpr float kSilentVolume = 0.08f;

} // namespace

void UserInterface::SetEventTableStandIn(EventTableStandIn* standIn) {
    eventTableStandIn = standIn;
}

// Keeps the page queue free of objects that have left the layer, whatever let them go
// (clearing, reloading, removal of the dead, deletion of the layer).
class PageQueueKeeper : public System {
public:
    explicit PageQueueKeeper(UserInterface* layer) : System(layer, FourCC("PAGQ")), layer(layer) {}
    void ObjectRemoved(Object* object) override { std::erase(layer->pageQueue, object); }

private:
    UserInterface* layer;
};

UserInterface::UserInterface() : keys(this, this), serial(++lastSerial) {}

UserInterface::~UserInterface() {
    // The objects go while the page queue is still there to forget them.
    Clear();
}

void AddLayerSystems(ObjectsManager& scene, MessageReceiver& receiver) {
    scene.LoadDefinitions("scripts/ui_objects.txt");
    auto keyboard = std::make_unique<KeyboardSystem>(&scene);
    keyboard->AddReceiver(&receiver);
    scene.AddSystem(std::move(keyboard));
    scene.AddSystem(std::make_unique<PositionSystem>(&scene));
    scene.AddSystem(std::make_unique<CollisionsSystem>(&scene));
    scene.AddSystem(std::make_unique<SpriteRenderSystem>(&scene));
    scene.AddSystem(std::make_unique<TextRenderSystem>(&scene));
    scene.AddSystem(std::make_unique<MessageSystem>(&scene));
}

void UserInterface::Init() {
    windowArt = false;
    state = kResultNone;
    AddLayerSystems(*this, *this);
    AddSystem(std::make_unique<PageQueueKeeper>(this));
}

void UserInterface::AddObject(std::unique_ptr<Object> object) {
    Object* added = object.get();
    if (added == nullptr) {
        return;
    }
    if (auto* widget = dynamic_cast<UIObject*>(added)) {
        widget->RequireChunks();
    }
    Bind(*added);
    ObjectsManager::AddObject(std::move(object));
}

void UserInterface::Bind(Object& object) {
    BindWidget(object, *this, &pageQueue);
}

void BindWidget(Object& object, MessageReceiver& receiver, std::vector<Object*>* pageQueue) {
    MessageReceiver* self = &receiver;
    const std::string className = object.GetClassName();
    const std::string& definition = object.name;
    auto* button = dynamic_cast<UIButton*>(&object);
    auto* bound = dynamic_cast<ReceiverBound*>(&object);
    auto bindButton = [&] {
        if (button != nullptr) {
            button->receiver = self;
        }
    };
    auto bindWidget = [&] {
        if (bound != nullptr) {
            bound->receiver = self;
        }
    };
    // The first test that matches decides.
    if (className == "UIBitmapButton" || className == "UITextButton" || className == "UIButton" ||
        className == "UIPermanentSlot") {
        bindButton();
        // The backpack button is hidden on the quicksand location.
        if (button != nullptr && object.code == FourCC("BPAK") && GameLevel != nullptr &&
            GameLevel->levelId == "z1-quicksand") {
            button->HideAndDisable();
        }
    } else if (definition == "UIButton") {
        bindButton();
    } else if (className == "UILabel") {
        bindWidget();
    } else if (className == "UIInventorySlot") {
        bindButton();
    } else if (className == "UISlider" || className == "UITimeTrigger") {
        bindWidget();
    } else if (definition == "GameButtonX" || definition == "GameModalDialog") {
        // Scene objects taken into a layer send their events to it, as a level's send theirs
        // to the HUD.
        if (auto* sceneObject = dynamic_cast<BaseGameObject*>(&object)) {
            sceneObject->eventReceiver = self;
        }
    } else if (definition == "GameTutorial") {
        bindWidget();
    } else if (definition == "UIStoneSymbol" || definition == "UISkipButton") {
        bindButton();
    } else if (definition == "UITutorial") {
        if (auto* text = dynamic_cast<TextRenderChunk*>(object.GetChunk(FourCC("TEXT"), 0))) {
            text->postRender = true;
        }
        if (pageQueue != nullptr) {
            pageQueue->push_back(&object);
        }
    } else if (definition == "GameVideoEvent") {
        bindWidget();
    }
}

void UserInterface::OnMessage(const void* sender, uint32_t id, uint32_t param) {
    if (eventTableStandIn != nullptr) {
        eventTableStandIn->OnEvent(*this, id);
        return;
    }
    HandleEvent(sender, id, param);
}

std::string UserInterface::GetData(uint32_t id) {
    switch (id) {
    case FourCC("MSGT"):
        return messageText;
    case FourCC("MSG2"):
        return secondText;
    case FourCC("MSG3"):
        return thirdText;
    default:
        break;
    }
    return eventTableStandIn != nullptr ? eventTableStandIn->AnswerData(*this, id) : AnswerData(id);
}

void UserInterface::SetData(uint32_t id, uint32_t valueBits) {
    StoreVolumeSetting(id, valueBits);
}

void StoreVolumeSetting(uint32_t id, uint32_t valueBits) {
    if (id != FourCC("SVOL") && id != FourCC("MVOL")) {
        return;
    }
    float value = std::bit_cast<float>(valueBits);
    if (!std::isfinite(value) || value <= kSilentVolume) {
        value = 0.0f;
    }
    value = std::min(value, 1.0f);
    const int volume = static_cast<int>(value * 100.0f);
    if (id == FourCC("SVOL")) {
        GameSettings.soundVolume = value;
        Sounds.SetSampleVolume(volume);
    } else {
        GameSettings.musicVolume = value;
        Sounds.SetStreamVolume(volume);
    }
    SaveSettings();
}

void UserInterface::PopPage() {
    if (!pageQueue.empty()) {
        pageQueue.erase(pageQueue.begin());
    }
}

UserInterface& EnsureLayer(UserInterface*& global) {
    if (global == nullptr) {
        auto layer = std::make_unique<UserInterface>();
        layer->Init();
        global = layer.release();
    }
    return *global;
}

void DeleteLayer(UserInterface*& global) {
    UserInterface* layer = global;
    global = nullptr;
    ObjectsManager::Delete(layer);
}

void ClearLayer(UserInterface* layer) {
    if (layer != nullptr) {
        layer->Clear();
    }
}

void DeleteAllLayers() {
    for (UserInterface** global : {&MainUI, &MapGameUI, &OverlayUI, &LevelOverlayUI, &mui,
                                   &DialogueUI, &TutorialUI, &VideoUI}) {
        DeleteLayer(*global);
    }
}

void DeleteLevelLayers() {
    DeleteLayer(MapGameUI);
    DeleteLayer(TutorialUI);
}
