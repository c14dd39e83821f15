#include "world/NormalLevelSystem.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/ProcessResult.h"
#include "engine/Timer.h"
#include "media/BitmapFont.h"
#include "media/ImageKernels.h"
#include "media/ParticleEmitter.h"
#include "media/Renderer.h"
#include "media/StringTable.h"
#include "platform/gfx/GfxTypes.h"
#include "platform/os/Keys.h"
#include "world/BaseGameObject.h"
#include "world/FullScreenKey.h"
#include "world/FxBlend.h"
#include "world/Level.h"
#include "world/Player.h"
#include "world/Tutorial.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;
constexpr uint32_t kNoTint = 0xFFFFFFFF;

enum class ReturnExtra { None, ClockDoor, WhackAMole, Stone };

// How a mini-game level of each Type goes back to the game level: the labels its blend-out
// fades, and what more the return does.
struct MiniGameReturn {
    std::string_view type;
    std::array<std::string_view, 3> labels;
    ReturnExtra extra = ReturnExtra::None;
};

constexpr MiniGameReturn kReturns[] = {
    {"puzzle", {"PUZZ", "BACKZ", "FINN"}},
    {"normal", {"PUZZ", "BACKZ"}},
    {"steam_machine", {"PUZZ", "BACKZ"}},
    {"crystals", {"PUZZ", "BACKZ"}},
    {"clock_door", {"PUZZ", "BACKZ"}, ReturnExtra::ClockDoor},
    {"whackamole", {"PUZZ", "BACKZ"}, ReturnExtra::WhackAMole},
    {"rockband", {"PUZZ", "BACKZ"}},
    {"map_game", {"PUZZ", "BACKZ"}},
    {"telescope", {"PUZZ", "BACK"}},
    {"map_puzzle", {"PUZZ", "BACK"}},
    {"stone", {"BACK", "PUZZ", "STON"}, ReturnExtra::Stone},
    {"gestures", {"PUZZ", "BACKZ"}},
    {"switchpuzzle", {"PUZZ", "BACKZ"}},
};

const MiniGameReturn* FindReturn(std::string_view type) {
    for (const MiniGameReturn& entry : kReturns) {
        if (entry.type == type) {
            return &entry;
        }
    }
    return nullptr;
}

// An animation the system draws, when its file is there; the level goes on without it.
void BindIfPresent(AnimPlayer& player, const std::string& file) {
    if (Files.Exists(file)) {
        player.Load(file);
    } else {
        DebugLog("%s is missing: not drawn\n", file.c_str());
    }
}

bool ShiftAnd(int letter) {
    return Keyboard.KeyDown(kKeyShift) && Keyboard.KeyPressed(letter);
}

void PostToMainUi(const char* id) {
    World().PostToMainUi(FourCC(id));
}

MessageReceiver* MainUiReceiver() {
    return World().MainUiReceiver();
}

// One blend-out in the mini-game level, added and resolved, for the labels started on it.
void StartBlendOut(Level& miniGame, const std::vector<std::string_view>& labels) {
    std::unique_ptr<Object> created = miniGame.CreateObject("FxBlendOut", true);
    auto* blend = dynamic_cast<FxBlendOut*>(created.get());
    if (blend == nullptr) {
        DebugLog("%s", "FxBlendOut is not a blend-out: the mini-game is not left\n");
        return;
    }
    miniGame.AddObject(std::move(created));
    blend->ResolveDependencies();
    for (const std::string_view label : labels) {
        blend->Start(std::string(label), 0, 0.0f);
    }
}

} // namespace

NormalLevelSystem::NormalLevelSystem(ObjectsManager* owner) : LevelSystem(owner, FourCC("LEVH")) {
    BindIfPresent(blackAnim, "gfx/black.ani");
    BindIfPresent(darkAnim, "gfx/fx/dark.ani");
}

NormalLevelSystem::~NormalLevelSystem() {
    captureTexture.Release();
    lensTexture.Release();
}

bool NormalLevelSystem::KnowsMiniGameType(std::string_view type) {
    return FindReturn(type) != nullptr;
}

void NormalLevelSystem::OnMessage(const void*, uint32_t id, uint32_t) {
    if (id == FourCC("PUFX")) {
        Level::SpawnHintPath();
    }
}

void NormalLevelSystem::Clear() {
    lensOff = true;
    for (Object* object : tutorials) {
        if (auto* tutorial = dynamic_cast<Tutorial*>(object)) {
            tutorial->Hide();
        }
    }
    tutorials.clear();
    captureTexture.Release();
    captureTexture = {};
    lensTexture.Release();
    lensTexture = {};
}

void NormalLevelSystem::Deactivate() {
    leaveArmed = false;
    active = false;
}

void NormalLevelSystem::DropHeldItem() {
    heldItemName.clear();
    World().HideHeldItem();
}

void NormalLevelSystem::HoldItem(const std::string& item) {
    heldItemName = item;
    World().ShowHeldItem("gfx/objects/" + item + ".ani");
}

void NormalLevelSystem::Update(float) {
    if (DevMode) {
        DeveloperKeys();
    }
    RunFullScreenKey();
    FindHiddenObjectsLeft();
    ReturnFromMiniGame();
}

void NormalLevelSystem::DeveloperKeys() {
    if (ShiftAnd('E') && CurrentPlayer != nullptr) {
        CurrentPlayer->AddEnergy(1, true);
    }
    if (ShiftAnd('M') && CurrentPlayer != nullptr) {
        CurrentPlayer->AddMapPieces(1, false);
    }
    if (ShiftAnd('Q') && GameLevel != nullptr && GameLevel->type != "map") {
        if (CurrentPlayer != nullptr) {
            CurrentPlayer->SetFlag("z1-quicksand", "inv_unlocked", 1);
            CurrentPlayer->SetFlag("z1-wood-glyphstone", "dialog4_killed", 1);
        }
        World().SetTutorialResult(kResultClose);
        if (ModalLevel != nullptr) {
            NormalLevelSystem* miniGame = ModalLevel->levelSystem;
            if (miniGame != nullptr && !miniGame->leaveArmed) {
                if (CurrentPlayer != nullptr) {
                    CurrentPlayer->SetFlag(GameLevel->name, ModalLevel->name + "_completed", 1);
                }
                miniGame->active = true;
                miniGame->leaveArmed = true;
            }
        } else {
            GameLevel->Clear();
            World().ClearLayers();
            PostToMainUi("NEXT");
            FrameTimer.Start();
        }
    }
    if (ShiftAnd('S')) {
        PostToMainUi("SAVE");
    }
    if (ShiftAnd('L')) {
        PostToMainUi("LOAD");
    }
    constexpr std::array<int, 4> kToolKeys = {'W', 'T', 'C', 'O'};
    for (std::size_t tool = 0; tool < kToolKeys.size(); ++tool) {
        if (!ShiftAnd(kToolKeys[tool])) {
            continue;
        }
        const bool launched = World().LaunchTool(static_cast<int>(tool));
        if (CurrentPlayer != nullptr) {
            // Without the HUD's tool manager the tool would be lost: it is counted directly.
            if (!launched) {
                CurrentPlayer->AddPermanentItem(1, static_cast<int>(tool));
            }
            CurrentPlayer->Save();
        }
    }
}

void NormalLevelSystem::FindHiddenObjectsLeft() {
    hiddenObjectsLeft = false;
    if (GameLevel == nullptr) {
        return;
    }
    for (const auto& object : GameLevel->Objects()) {
        if (object == nullptr || object->name != "GameHiddenObject") {
            continue;
        }
        const auto* hidden = dynamic_cast<const BaseGameObject*>(object.get());
        if (hidden == nullptr) {
            continue;
        }
        if ((hidden->highlightEmitter != nullptr && hidden->highlightEmitter->drawnOnce) ||
            hidden->highlightHover) {
            hiddenObjectsLeft = true;
            return;
        }
    }
}

void NormalLevelSystem::ReturnFromMiniGame() {
    if (ModalLevel == nullptr || !leaveArmed || !active) {
        return;
    }
    const MiniGameReturn* entry = FindReturn(ModalLevel->type);
    if (entry == nullptr) {
        return; // refused when its scene was loaded
    }
    active = false;
    Level& miniGame = *ModalLevel;
    const bool rewarded = !miniGame.returnFlag;
    if (rewarded && CurrentPlayer != nullptr) {
        CurrentPlayer->AddEnergy(1, true);
    }
    if (entry->extra == ReturnExtra::ClockDoor && rewarded && CurrentPlayer != nullptr) {
        for (const char* key : {"librarian_key_blue", "librarian_key_red", "librarian_key_green"}) {
            CurrentPlayer->RemoveInventoryItem(key);
        }
    }
    std::vector<std::string_view> labels;
    for (const std::string_view label : entry->labels) {
        if (!label.empty()) {
            labels.push_back(label);
        }
    }
    if (entry->extra == ReturnExtra::Stone) {
        // Each part of the stone screen fades on its own.
        for (const std::string_view label : labels) {
            StartBlendOut(miniGame, {label});
        }
    } else {
        StartBlendOut(miniGame, labels);
    }
    if (GameLevel != nullptr && GameLevel->levelSystem != nullptr) {
        GameLevel->levelSystem->toolInUse = false;
    }
    ToolCursorShown = false;
    World().ResetToolSlots();
    if (entry->extra == ReturnExtra::WhackAMole) {
        // A rod no slot takes is not lost: it goes onto the cursor when that is free.
        if (!World().GiveItemToFirstSlot("multitool_rod") && GameLevel != nullptr &&
            GameLevel->levelSystem != nullptr && GameLevel->levelSystem->heldItemName.empty()) {
            GameLevel->levelSystem->HoldItem("multitool_rod");
        }
    }
    if (entry->extra == ReturnExtra::Stone && rewarded) {
        for (const auto& object : miniGame.Objects()) {
            auto* stone = dynamic_cast<StoneCompletion*>(object.get());
            if (stone != nullptr && object->GetClassName() == "SingleStoneMngr") {
                stone->ActivateAllSymbols();
                break;
            }
        }
    }
}

void NormalLevelSystem::Render() {
    if (ModalLevel != nullptr && captureTexture.valid) {
        Renderer::SetRenderState(RenderState::ZFunc, kCompareAlways);
        Renderer::SetZWriteEnable(false);
        DrawQuad(0.0f, 0.0f, 120.0f, kScreenWidth, kScreenHeight, 0.0f, 0.0f, 1.0f, 0.75f,
                 &captureTexture, 0.0f, ModalLevel->blurredBackgroundAlpha, 1.0f, nullptr, 0.0f,
                 0.0f);
        Renderer::SetZWriteEnable(true);
        Renderer::SetRenderState(RenderState::ZFunc, kCompareLessEqual);
    }
    if (darken) {
        blackAnim.Draw(0.0f, 0.0f, 100.0f, 0.0f, 1.0f, 1.2f, 1.0f, 0.0f, kNoTint);
    }
}

void NormalLevelSystem::PostRender() {
    if (darken) {
        return;
    }
    const bool gameLevelsOwn = GameLevel != nullptr && GameLevel->levelSystem == this;
    if (ModalLevel != nullptr && ModalLevel->renderBluredBackground && captureNeeded &&
        !gameLevelsOwn) {
        captureTexture.Release();
        captureTexture = Renderer::CaptureBlurredScreen();
        captureNeeded = false;
    }
    if (!lensTexture.valid && Renderer::State().device) {
        TextureManager::CreateTexture(lensTexture, kLensSize, kLensSize, false);
    }
    if (!lensOff) {
        DrawLens();
    }
    if (DevMode && CurrentPlayer != nullptr) {
        char line[kFormatTextSize];
        FormatText(line, "player energy: %d/%d", CurrentPlayer->GetEnergy(),
                   CurrentPlayer->GetEnergyMax());
        Renderer::DrawDebugText(40.0f, 0.0f, line, 1.0f, 1.0f, 1.0f, 1.0f);
        FormatText(line, "last visited: %s", CurrentPlayer->GetLastLevelId().c_str());
        Renderer::DrawDebugText(40.0f, 20.0f, line, 1.0f, 1.0f, 1.0f, 1.0f);
    }
    DrawBookToolTip();
}

NormalLevelSystem::LensCopy NormalLevelSystem::LensCopyAround(float mouseX, float mouseY) {
    // A cut on the left or top moves the copy inside the texture by as much. A point far off
    // the screen copies nothing, however far.
    const auto pixel = [](float at, float extent) {
        return std::isfinite(at)
                   ? static_cast<int>(std::clamp(at, -2.0f * kLensSize, extent + 2.0f * kLensSize))
                   : -2 * kLensSize;
    };
    const int left = pixel(mouseX, kScreenWidth) - kLensSize / 2;
    const int top = pixel(mouseY, kScreenHeight) - kLensSize / 2;
    const int clippedLeft = std::clamp(left, 0, static_cast<int>(kScreenWidth));
    const int clippedTop = std::clamp(top, 0, static_cast<int>(kScreenHeight));
    const int right = std::clamp(left + kLensSize, clippedLeft, static_cast<int>(kScreenWidth));
    const int bottom = std::clamp(top + kLensSize, clippedTop, static_cast<int>(kScreenHeight));
    LensCopy copy;
    copy.source = {clippedLeft, clippedTop, right - clippedLeft, bottom - clippedTop};
    copy.targetX = clippedLeft - left;
    copy.targetY = clippedTop - top;
    return copy;
}

void NormalLevelSystem::DrawLens() {
    const LensCopy copy = LensCopyAround(Mouse.x, Mouse.y);
    GfxTexture* const lens = lensTexture.Texture();
    if (lens != nullptr && Renderer::State().device && copy.source.width > 0 &&
        copy.source.height > 0) {
        Renderer::State().device->CopyBackBufferToTexture(copy.source, *lens, copy.targetX,
                                                          copy.targetY);
    }
    blackAnim.Draw(0.0f, 0.0f, 100.0f, 0.0f, 1.0f, 1.2f, 1.0f, 0.0f, kNoTint);
    if (toolInUse) {
        const float half = static_cast<float>(kLensSize) / 2.0f;
        DrawQuad(Mouse.x - half, Mouse.y - half, 100.0f, static_cast<float>(kLensSize),
                 static_cast<float>(kLensSize), 0.0f, 0.0f, 1.0f, 1.0f, &lensTexture, 0.0f, 1.0f,
                 1.0f, nullptr, 0.0f, 0.0f);
        const float s = std::sin(4.0f * static_cast<float>(FrameTimer.GetTime()));
        darkAnim.Draw(Mouse.x + s, Mouse.y + s, 100.0f, 0.0f, s, 9.0f, 1.0f, 0.0f, kNoTint);
        darkAnim.Draw(Mouse.x, Mouse.y, 100.0f, 0.0f, 1.0f, 8.0f, 1.0f, 0.0f, kNoTint);
    }
    lensMouseX = Mouse.x;
    lensMouseY = Mouse.y;
}

void NormalLevelSystem::DrawBookToolTip() const {
    if (heldItemName.compare(0, 12, "library_book") != 0 || TooltipFont == nullptr) {
        return;
    }
    const std::string key = "str." + heldItemName;
    const std::string_view text = StringTable::Translate(key);
    const TextRectangle size = TooltipFont->TextRect(text, 0.0f, 0.0f, 1.0f);
    const float w = size.right - size.left;
    const float h = size.bottom - size.top;
    float x = Mouse.x - 20.0f;
    float y = Mouse.y + 60.0f;
    if (kScreenWidth - w < Mouse.x) {
        x = kScreenWidth - w;
    }
    if (kScreenHeight - h - 30.0f < Mouse.y) {
        y = kScreenHeight - h;
    }
    x = std::max(x, 0.0f);
    TooltipFont->DrawText(text, x, y, 500.0f, kNoTint);
}

void NormalLevelSystem::ObjectAdded(Object* object) {
    if (object == nullptr) {
        return;
    }
    const std::string className = object->GetClassName();
    auto* sceneObject = dynamic_cast<BaseGameObject*>(object);
    // The events of the level's interactive objects go to the HUD.
    static constexpr std::array<std::string_view, 7> kToHud = {
        "GameVideo",    "TreeGamesManager", "TelescopeGestureGameElement",
        "StartupEvent", "GameHiddenObject", "SmartUI",
        "GameButtonX"};
    // Flags that disable an object for good remove it at once; the HUD's widgets and the
    // objects that only take events never go this way.
    static constexpr std::array<std::string_view, 6> kKeptWhateverTheFlags = {
        "UILabel",        "TreeGamesManager", "TelescopeGestureGameElement",
        "BaseGameObject", "GameButtonX",      "glyphstoneTutorial"};
    if (std::find(kKeptWhateverTheFlags.begin(), kKeptWhateverTheFlags.end(), className) ==
            kKeptWhateverTheFlags.end() &&
        !object->disableFlags.empty() && GameLevel != nullptr && CurrentPlayer != nullptr) {
        for (const std::string& flag : object->disableFlags) {
            if (CurrentPlayer->GetFlag(GameLevel->name + ":" + flag) != 0) {
                object->dead = true;
                break;
            }
        }
    }
    if (className == "UIBitmapButton" || className == "UILabel" || className == "UITimeTrigger" ||
        className == "UITextButton") {
        World().BindWidgetToMainUi(*object);
    }
    if (object->name == "Tutorial") {
        if (auto* tutorial = dynamic_cast<Tutorial*>(object)) {
            tutorial->Hide();
        }
        tutorials.push_back(object);
    }
    if (sceneObject == nullptr) {
        return;
    }
    if (object->name == "GameModalDialog") {
        sceneObject->eventReceiver = World().MuiReceiver();
    }
    if (std::find(kToHud.begin(), kToHud.end(), className) != kToHud.end() ||
        object->name == "CollectObjectsQuest") {
        sceneObject->eventReceiver = MainUiReceiver();
    }
}

void NormalLevelSystem::ObjectRemoved(Object* object) {
    if (object != nullptr && object->name == "Tutorial") {
        std::erase(tutorials, object);
    }
}
