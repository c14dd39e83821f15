#include "ui/ModalProcesses.h"

#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/MessageSystem.h"
#include "engine/MouseState.h"
#include "engine/ProcessResult.h"
#include "media/RenderChunk.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "ui/HudParts.h"
#include "ui/InGameFlow.h"
#include "ui/UserInterface.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

float DialogueClock = 0.0f;
bool DialoguePageShown = false;

namespace {

constexpr float kCursorDepth = 900.0f;

void DrawAtMouse(const AnimPlayer& player, float offset, float scale) {
    player.Draw(Mouse.x + offset, Mouse.y + offset, kCursorDepth, 0.0f, 1.0f, scale, 1.0f, 0.0f,
                0xFFFFFFFFu);
}

// Loads the screen into the layer (made when missing) with clearing and hands it the text.
UserInterface& LoadLayer(UserInterface*& global, const std::string& screenFile,
                         const std::string& text) {
    UserInterface& layer = EnsureLayer(global);
    layer.LoadScene(screenFile, true);
    layer.messageText = text;
    // A word left from an earlier screen must not answer this one.
    layer.state = kResultNone;
    return layer;
}

template <typename Scene>
void UpdateIfAny(Scene* scene, float dt) {
    if (scene != nullptr) {
        scene->Update(dt);
    }
}

template <typename Scene>
void RemoveDeadIfAny(Scene* scene) {
    if (scene != nullptr) {
        scene->RemoveDead();
    }
}

void RenderPasses(ObjectsManager* scene, void (ObjectsManager::*pass)()) {
    if (scene != nullptr) {
        (scene->*pass)();
    }
}

} // namespace

void DrawCursorAnim() {
    DrawAtMouse(CursorAnim, 0.0f, 1.0f);
}

void DrawHeldItemAnim() {
    if (HeldItemShown) {
        DrawAtMouse(HeldItemAnim, 0.0f, 1.0f);
    }
}

void DrawToolCursorAnim() {
    if (ToolCursorShown) {
        DrawAtMouse(ToolCursorAnim, 20.0f, 0.8f);
    }
}

// ---------------------------------------------------------------------------------------------
// ModalProcessBase

ModalProcessBase::ModalProcessBase(const ModalOptions& options)
    : beneath(covered), drawBeneath(options.drawBeneath), drawOnce(options.drawOnce) {}

void ModalProcessBase::DeviceRestored() {
    if (beneath != nullptr) {
        beneath->DeviceRestored();
    }
}

void ModalProcessBase::Watch(UserInterface* const& global) {
    watchedGlobal = &global;
    watched = global;
    watchedSerial = global != nullptr ? global->Serial() : 0;
}

UserInterface* ModalProcessBase::Layer() const {
    if (watchedGlobal == nullptr) {
        return nullptr;
    }
    UserInterface* current = *watchedGlobal;
    if (current == nullptr || current != watched || current->Serial() != watchedSerial) {
        return nullptr;
    }
    return current;
}

bool ModalProcessBase::EndWhenLayerGone() {
    if (Layer() != nullptr) {
        return false;
    }
    state = 0;
    result = kResultNone;
    return true;
}

void ModalProcessBase::TakeResult(UserInterface& layer) {
    if (layer.state != kResultNone) {
        state = 0;
        result = layer.state;
        layer.state = kResultNone;
    }
}

void ModalProcessBase::PostRenderBeneath() {
    if (drawBeneath && beneath != nullptr) {
        beneath->PostRender();
    }
    if (drawOnce) {
        state = 0;
        result = kResultNone;
    }
}

// ---------------------------------------------------------------------------------------------
// ModalProc

std::unique_ptr<ModalProc> ModalProc::Create(const std::string& screenFile, const std::string& text,
                                             const ModalOptions& options) {
    return std::make_unique<ModalProc>(screenFile, text, options);
}

ModalProc::ModalProc(const std::string& screenFile, const std::string& text,
                     const ModalOptions& options)
    : ModalProcessBase(options), updateBeneath(options.updateBeneath) {
    LoadLayer(mui, screenFile, text);
    Watch(mui);
}

void ModalProc::Update(float dt) {
    if (EndWhenLayerGone()) {
        return;
    }
    Layer()->Update(dt);
    // The layer's own handlers may have deleted or replaced it.
    if (EndWhenLayerGone()) {
        return;
    }
    TakeResult(*Layer());
    if (updateBeneath) {
        UpdateIfAny(GameLevel, dt);
        UpdateIfAny(MainUI, dt);
    }
}

void ModalProc::AfterUpdate() {
    RemoveDeadIfAny(Layer());
}

void ModalProc::Render() {
    if (drawBeneath && beneath != nullptr) {
        beneath->Render();
    }
    RenderPasses(Layer(), &ObjectsManager::Render);
    if (updateBeneath) {
        RenderPasses(MainUI, &ObjectsManager::Render);
    }
}

void ModalProc::PreRender() {
    if (drawBeneath && beneath != nullptr) {
        beneath->PreRender();
    }
    RenderPasses(Layer(), &ObjectsManager::PreRender);
}

void ModalProc::PostRender() {
    PostRenderBeneath();
    RenderPasses(Layer(), &ObjectsManager::PostRender);
    if (CurrentProcess == this) {
        DrawCursorAnim();
        if (updateBeneath) {
            DrawHeldItemAnim();
            DrawToolCursorAnim();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TutorialModalProc

std::unique_ptr<TutorialModalProc> TutorialModalProc::Create(const std::string& screenFile,
                                                             const std::string& text,
                                                             const ModalOptions& options) {
    return std::make_unique<TutorialModalProc>(screenFile, text, options);
}

TutorialModalProc::TutorialModalProc(const std::string& screenFile, const std::string& text,
                                     const ModalOptions& options)
    : ModalProcessBase(options), updateBeneath(options.updateBeneath) {
    LoadLayer(TutorialUI, screenFile, text);
    Watch(TutorialUI);
    Sounds.PlayByName("tutorial_popup", false, 100, 0);
}

void TutorialModalProc::Update(float dt) {
    if (EndWhenLayerGone()) {
        return;
    }
    if (Keyboard.KeyPressed(kKeyEscape)) {
        Layer()->state = kResultClose;
    }
    Layer()->Update(dt);
    if (EndWhenLayerGone()) {
        return;
    }
    TakeResult(*Layer());
    if (updateBeneath) {
        UpdateIfAny(ModalLevel, dt);
        UpdateIfAny(GameLevel, dt);
        UpdateIfAny(MainUI, dt);
    }
}

void TutorialModalProc::AfterUpdate() {
    RemoveDeadIfAny(Layer());
}

void TutorialModalProc::Render() {
    if (drawBeneath && beneath != nullptr) {
        beneath->Render();
    }
    RenderPasses(Layer(), &ObjectsManager::Render);
}

void TutorialModalProc::PreRender() {
    if (drawBeneath && beneath != nullptr) {
        beneath->PreRender();
    }
    RenderPasses(Layer(), &ObjectsManager::PreRender);
}

void TutorialModalProc::PostRender() {
    PostRenderBeneath();
    RenderPasses(Layer(), &ObjectsManager::PostRender);
    if (CurrentProcess == this) {
        DrawCursorAnim();
        DrawHeldItemAnim();
        DrawToolCursorAnim();
    }
}

// ---------------------------------------------------------------------------------------------
// VideoModalProc

std::unique_ptr<VideoModalProc> VideoModalProc::Create(const std::string& screenFile,
                                                       const std::string& text,
                                                       const ModalOptions& options) {
    return std::make_unique<VideoModalProc>(screenFile, text, options);
}

VideoModalProc::VideoModalProc(const std::string& screenFile, const std::string& text,
                               const ModalOptions& options)
    : ModalProcessBase(options) {
    LoadLayer(VideoUI, screenFile, text);
    Watch(VideoUI);
}

void VideoModalProc::Update(float dt) {
    if (EndWhenLayerGone()) {
        return;
    }
    Layer()->Update(dt);
    if (!EndWhenLayerGone()) {
        TakeResult(*Layer());
    }
}

void VideoModalProc::AfterUpdate() {
    RemoveDeadIfAny(Layer());
}

void VideoModalProc::Render() {
    if (drawBeneath && beneath != nullptr) {
        beneath->Render();
    }
    RenderPasses(Layer(), &ObjectsManager::Render);
}

void VideoModalProc::PreRender() {
    if (drawBeneath && beneath != nullptr) {
        beneath->PreRender();
    }
    RenderPasses(Layer(), &ObjectsManager::PreRender);
}

void VideoModalProc::PostRender() {
    PostRenderBeneath();
    RenderPasses(Layer(), &ObjectsManager::PostRender);
    DrawCursorAnim();
}

// ---------------------------------------------------------------------------------------------
// GameModalProc

std::unique_ptr<GameModalProc> GameModalProc::Create(const std::string& sceneFile,
                                                     const ModalOptions& options) {
    return std::make_unique<GameModalProc>(sceneFile, options);
}

namespace {

// A mini-game starts with no tool in hand: the wand no longer draws, its art leaves the cursor
// and its slot waits for the player's next click to choose it again.
void PutAwayTools() {
    if (GameLevel != nullptr && GameLevel->levelSystem != nullptr) {
        GameLevel->levelSystem->toolInUse = false;
    }
    ToolCursorShown = false;
    if (ToolSlotsPart* slots = FindHudPart<ToolSlotsPart>("UIPermanentSlotMngr")) {
        slots->ResetToolSlots();
    }
}

} // namespace

GameModalProc::GameModalProc(const std::string& sceneFile, const ModalOptions& options)
    : ModalProcessBase(options) {
    EnsureLevel(ModalLevel);
    if (GameLevel != nullptr) {
        // The save game is written before the mini-game starts.
        if (MainUI != nullptr) {
            if (auto* messages = dynamic_cast<MessageSystem*>(MainUI->FindSystem(FourCC("MSGS")))) {
                messages->Post(static_cast<MessageReceiver*>(MainUI), FourCC("SAVQ"), 0);
            }
        }
        PutAwayTools();
    }
    ModalLevel->LoadScene(sceneFile, true);
    if (ModalLevel->type == "stone") {
        PutAwayTools();
    }
    ModalLevel->state = kResultNone;
    level = ModalLevel;
}

Level* GameModalProc::OwnLevel() const {
    return ModalLevel == level ? ModalLevel : nullptr;
}

void GameModalProc::Update(float dt) {
    Level* own = OwnLevel();
    if (own == nullptr) {
        // The mini-game's level went, or another mini-game took its place.
        state = 0;
        result = kResultNone;
        return;
    }
    own->Update(dt);
    own = OwnLevel();
    if (own == nullptr) {
        state = 0;
        result = kResultNone;
        return;
    }
    if (own->state != kResultNone) {
        state = 0;
        result = own->state;
    }
    UpdateIfAny(MainUI, dt);
    UpdateIfAny(MapGameUI, dt);
    if (OwnLevel() != nullptr && OwnLevel()->type == "gestures" && GameLevel != nullptr) {
        GameLevel->UpdateParticles(dt);
    }
}

void GameModalProc::AfterUpdate() {
    RemoveDeadIfAny(OwnLevel());
    RemoveDeadIfAny(MainUI);
}

void GameModalProc::Render() {
    if (drawBeneath && beneath != nullptr) {
        beneath->Render();
    }
    RenderPasses(OwnLevel(), &ObjectsManager::Render);
}

void GameModalProc::PreRender() {
    if (drawBeneath && beneath != nullptr) {
        beneath->PreRender();
    }
    RenderPasses(OwnLevel(), &ObjectsManager::PreRender);
}

void GameModalProc::PostRender() {
    PostRenderBeneath();
    RenderPasses(OwnLevel(), &ObjectsManager::PostRender);
    RenderPasses(mui, &ObjectsManager::PostRender);
    RenderPasses(MapGameUI, &ObjectsManager::PostRender);
    DrawHeldItemAnim();
    if (CurrentProcess == this) {
        DrawToolCursorAnim();
        DrawCursorAnim();
    }
}

// ---------------------------------------------------------------------------------------------
// ModalProc2

std::unique_ptr<ModalProc2> ModalProc2::Create(const std::string& screenFile,
                                               const std::string& text,
                                               const ModalOptions& options) {
    return std::make_unique<ModalProc2>(screenFile, text, options);
}

ModalProc2::ModalProc2(const std::string& screenFile, const std::string& text,
                       const ModalOptions& options)
    : ModalProcessBase(options) {
    LoadLayer(MapGameUI, screenFile, text);
    Watch(MapGameUI);
}

void ModalProc2::Update(float dt) {
    if (EndWhenLayerGone()) {
        return;
    }
    Layer()->Update(dt);
    UpdateIfAny(MainUI, dt);
    if (ModalLevel == nullptr || ModalLevel->type != "map_game") {
        UpdateIfAny(mui, dt);
    }
    if (!EndWhenLayerGone()) {
        TakeResult(*Layer());
    }
}

void ModalProc2::AfterUpdate() {
    RemoveDeadIfAny(Layer());
    RemoveDeadIfAny(MainUI);
    RemoveDeadIfAny(mui);
}

void ModalProc2::Render() {
    if (drawBeneath && beneath != nullptr && beneath->covered != nullptr) {
        beneath->covered->Render();
    }
    RenderPasses(Layer(), &ObjectsManager::Render);
}

void ModalProc2::PreRender() {
    if (drawBeneath && beneath != nullptr && beneath->covered != nullptr) {
        beneath->covered->PreRender();
    }
    RenderPasses(Layer(), &ObjectsManager::PreRender);
}

void ModalProc2::PostRender() {
    if (drawBeneath && beneath != nullptr && beneath->covered != nullptr) {
        beneath->covered->PostRender();
    }
    if (drawOnce) {
        state = 0;
        result = kResultNone;
    }
    RenderPasses(Layer(), &ObjectsManager::PostRender);
    if (CurrentProcess == this) {
        DrawCursorAnim();
    }
}

// ---------------------------------------------------------------------------------------------
// DialogUiProc

std::unique_ptr<DialogUiProc> DialogUiProc::Create(const std::string& screenFile,
                                                   const std::string& text,
                                                   const ModalOptions& options) {
    return std::make_unique<DialogUiProc>(screenFile, text, options);
}

DialogUiProc::DialogUiProc(const std::string& screenFile, const std::string& text,
                           const ModalOptions& options)
    : ModalProcessBase(options) {
    DialogueClock = 0.0f;
    if (DialogueUI != nullptr) {
        DialogueUI->ClearPages();
        DeleteLayer(DialogueUI);
    }
    UserInterface& layer = LoadLayer(DialogueUI, screenFile, text);
    layer.speakerText.clear();
    Watch(DialogueUI);
}

void DialogUiProc::Begin() {
    windowArt.Load("gfx/interface/dialog_window/dialog_window.ani");
    CursorAnim.Play("idle", true, false, true, 0.0f);
}

void DialogUiProc::End() {
    if (Layer() != nullptr) {
        DeleteLayer(DialogueUI);
    }
}

void DialogUiProc::Update(float dt) {
    if (EndWhenLayerGone()) {
        return;
    }
    // The pages run the dialogue clock themselves.
    Layer()->Update(dt);
    if (EndWhenLayerGone()) {
        return;
    }
    if (GameLevel != nullptr) {
        Level::UpdateUnderDialogue(dt);
        if (beneath != nullptr && RunsWholeGameBeneath()) {
            beneath->Update(dt);
        }
    }
    if (EndWhenLayerGone()) {
        return;
    }
    if (!hudFaded) {
        FadeHud(*Layer(), dt);
    }
    TakeResult(*Layer());
}

bool DialogUiProc::RunsWholeGameBeneath() {
    return GameLevel != nullptr && GameLevel->levelId == "z1-wood-glyphstone" &&
           CurrentPlayer != nullptr &&
           CurrentPlayer->GetFlag("z1-wood-glyphstone:dialog1_killed") != 0 &&
           CurrentPlayer->GetFlag("z1-wood-glyphstone:lightstoneTutorial_killed") == 0;
}

void DialogUiProc::FadeHud(const UserInterface& layer, float dt) {
    if (!layer.windowArt || layer.speakerText == "tutorial" || layer.speakerText == "empty" ||
        MainUI == nullptr) {
        return;
    }
    const ObjectsManager::WalkScope walk(*MainUI);
    for (const std::unique_ptr<Object>& slot : MainUI->Objects()) {
        Object* object = slot.get();
        if (object == nullptr || object->dead || !IsFadingHudPart(*object)) {
            continue;
        }
        auto* sprite = dynamic_cast<RenderChunk*>(object->GetChunk(FourCC("SPRT"), 0));
        if (sprite == nullptr || !(sprite->alpha > 0.0f)) {
            continue;
        }
        sprite->alpha -= kHudFadeRate * dt;
        if (sprite->alpha < 0.0f) {
            sprite->alpha = 0.0f;
            hudFaded = true;
        }
    }
}

void DialogUiProc::AfterUpdate() {
    RemoveDeadIfAny(Layer());
}

void DialogUiProc::Render() {
    if (drawBeneath && beneath != nullptr) {
        beneath->Render();
    }
    RenderPasses(Layer(), &ObjectsManager::Render);
}

void DialogUiProc::PreRender() {
    if (drawBeneath && beneath != nullptr) {
        beneath->PreRender();
    }
    RenderPasses(Layer(), &ObjectsManager::PreRender);
}

void DialogUiProc::PostRender() {
    PostRenderBeneath();
    if (UserInterface* layer = Layer()) {
        if (layer->windowArt) {
            windowArt.Draw(0.0f, 640.0f, 800.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
        }
        layer->PostRender();
    }
    if (CurrentProcess == this) {
        DrawHeldItemAnim();
        DrawCursorAnim();
        DrawToolCursorAnim();
    }
}
