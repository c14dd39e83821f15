// The in-game event table of the layers and the location changes and option flows it starts.

#include "engine/Application.h"
#include "engine/ClassFactory.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/ProcessResult.h"
#include "engine/Timer.h"
#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"
#include "media/ParticleRenderSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "ui/HudParts.h"
#include "ui/InGameFlow.h"
#include "ui/Menu.h"
#include "ui/ModalProcesses.h"
#include "ui/UIButton.h"
#include "ui/UIDecoredLabel.h"
#include "ui/UserInterface.h"
#include "ui/fx/UIFlyInFX.h"
#include "world/FullScreenKey.h"
#include "world/FxParticles.h"
#include "world/GameSettings.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"

#include <array>
#include <memory>
#include <optional>

namespace {

constexpr const char* kMapPieceCounter = "UIAddMapPiece";

// The Alt+F4 step last asked about: every layer's handler sees the keys of a step, and the
// question is asked once for them.
std::optional<uint32_t> quitQuestionStep;

// The teleport screens of 'TELE', 'TEL2'..'TEL5'.
const char* TeleportScreen(uint32_t id) {
    switch (id) {
    case FourCC("TELE"):
        return "menus/tele_out.txt";
    case FourCC("TEL2"):
        return "menus/tele_out2.txt";
    case FourCC("TEL3"):
        return "menus/tele_out3.txt";
    case FourCC("TEL4"):
        return "menus/tele_out4.txt";
    case FourCC("TEL5"):
        return "menus/tele_out5.txt";
    default:
        return nullptr;
    }
}

// The mini-game number 1..6 of 'STG1'..'STG6', else 0.
int MiniGameOf(uint32_t id) {
    const uint32_t first = FourCC("STG1");
    return id >= first && id < first + Level::kMiniGames ? static_cast<int>(id - first) + 1 : 0;
}

int32_t RunModal(const std::string& screen, bool drawOnce) {
    return RunInGameProcess(ModalProc::Create(screen, "", {.drawOnce = drawOnce}));
}

NormalLevelSystem* GameLevelSystem() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

void DropHeldItem() {
    if (NormalLevelSystem* system = GameLevelSystem()) {
        system->DropHeldItem();
    }
}

void SetLocationFlag(const std::string& name) {
    if (GameLevel != nullptr && CurrentPlayer != nullptr) {
        CurrentPlayer->SetFlag(GameLevel->name, name, 1);
    }
}

void AddEnergy() {
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->AddEnergy(1, true);
    }
}

void RemoveItem(const char* item) {
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->RemoveInventoryItem(item);
    }
}

void CloseDialogue() {
    if (DialogueUI != nullptr) {
        DialogueUI->state = kResultClose;
    }
}

SpriteRenderChunk* SpriteOf(Object& object) {
    return dynamic_cast<SpriteRenderChunk*>(object.GetChunk(FourCC("SPRT"), 0));
}

} // namespace

void RestoreHud() {
    if (MainUI == nullptr) {
        return;
    }
    for (const std::unique_ptr<Object>& slot : MainUI->Objects()) {
        Object* object = slot.get();
        if (object == nullptr || object->dead) {
            continue;
        }
        SpriteRenderChunk* sprite = SpriteOf(*object);
        if (IsFadingHudPart(*object) && sprite != nullptr && sprite->alpha < 1.0f) {
            RestartFadeIn(*object, 0.0f, 0.3f);
        }
    }
}

namespace {

bool SlotIsFree(InventorySlotPart& slot) {
    return CurrentPlayer != nullptr && CurrentPlayer->IsInventorySlotEmpty(slot.SlotIndex());
}

InventorySlotPart* FreeInventorySlot() {
    return FindHudPart<InventorySlotPart>("UIInventorySlot", &SlotIsFree);
}

void GiveItem(InventorySlotPart& slot, const char* item) {
    slot.PutItem(item, slot.SlotIndex(), false, true, true);
}

// Gives the item into the first free slot; false when none is free.
bool GiveItem(const char* item) {
    InventorySlotPart* slot = FreeInventorySlot();
    if (slot == nullptr) {
        return false;
    }
    GiveItem(*slot, item);
    return true;
}

// An item traded for another: the old one goes; when a slot is free, energy and the new one.
void TradeItem(const char* given, const char* received) {
    RemoveItem(given);
    if (InventorySlotPart* slot = FreeInventorySlot()) {
        AddEnergy();
        GiveItem(*slot, received);
    }
    CloseDialogue();
    RestoreHud();
}

bool LaunchTool(int tool) {
    ToolSlotsPart* tools = FindHudPart<ToolSlotsPart>("UIPermanentSlotMngr");
    if (tools == nullptr) {
        return false;
    }
    tools->LaunchTool(tool);
    return true;
}

void AddMapPieces(int pieces) {
    MapPieceCounterPart* counter = nullptr;
    std::unique_ptr<Object> created = MakeHudPart(kMapPieceCounter, counter);
    if (counter != nullptr) {
        counter->Start(pieces, 0.0f);
        MainUI->AddObject(std::move(created));
    }
}

void PlayVideo(const char* screen) {
    RunInGameProcess(VideoModalProc::Create(screen, "", {}));
}

// The small tip pop-up 48 pixels above the cursor, in a fresh LevelOverlayUI.
void ShowTip(const char* screen) {
    if (LevelOverlayUI != nullptr) {
        LevelOverlayUI->Clear();
        DeleteLayer(LevelOverlayUI);
    }
    UserInterface& tip = EnsureLayer(LevelOverlayUI);
    tip.LoadScene(screen, true);
    for (const std::unique_ptr<Object>& slot : tip.Objects()) {
        if (slot == nullptr) {
            continue;
        }
        if (auto* position = dynamic_cast<PositionChunk*>(slot->GetChunk(FourCC("POSI"), 0))) {
            position->x = Mouse.x;
            position->y = Mouse.y - 48.0f;
            position->initialX = position->x;
            position->initialY = position->y;
        }
    }
}

// The filled water bucket is used up in a burst of sparks.
void PourWater() {
    if (GameLevel == nullptr) {
        return;
    }
    std::unique_ptr<Object> created = GameLevel->CreateObject("FxParticles", true);
    auto* fx = dynamic_cast<FxParticles*>(created.get());
    if (fx == nullptr) {
        DebugLog("%s\n", "FxParticles is not a particle effect: no sparks");
    } else {
        PositionChunk& position = fx->Position();
        position.x = 403.0f;
        position.y = 281.0f;
        ParticleChunk& particles = fx->Particles();
        Parcon parser;
        parser.OpenFile("gfx/fx/snow_sparks.prt", true);
        particles.emitter.Load(*parser.Root(), 0);
        particles.lifeTime = 0.2f;
        fx->life = 3.0f;
        fx->ResolveDependencies();
        GameLevel->AddObject(std::move(created));
    }
    DropHeldItem();
}

void FillBucket() {
    if (NormalLevelSystem* system = GameLevelSystem()) {
        system->HoldItem("fobucket_water");
    }
}

// 'MENU': the in-game options over the location, unless the first tutorial is not done yet or a
// mini-game runs.
void OpenInGameMenu(UserInterface& layer) {
    if (GameLevel != nullptr && GameLevel->levelId == "z1-wood-glyphstone" &&
        PlayerFlag("z1-wood-glyphstone:lightstoneTutorial_killed") == 0) {
        return;
    }
    if (ModalLevel != nullptr) {
        return;
    }
    if (GameLevel != nullptr && !GameLevel->levelPath.empty()) {
        WriteSaveGame(false);
    }
    if (Object* lightstone = layer.FindByCode(FourCC("LSTO"))) {
        if (SpriteRenderChunk* sprite = SpriteOf(*lightstone)) {
            sprite->alpha = 0.0f;
        }
    }
    if (auto* map = dynamic_cast<UIButton*>(layer.FindByCode(FourCC("MAPC")))) {
        map->enabled = false;
    }
    if (NormalLevelSystem* system = GameLevelSystem()) {
        system->menuOpen = true;
    }
    CloseDialogue();
    if (!InGameMenuOpen) {
        InGameMenuOpen = true;
        RunModal("menus/ingame_options_menu.txt", false);
        InGameMenuOpen = false;
    }
    // The level may have been cleared and refilled meanwhile; its system is the same object.
    if (NormalLevelSystem* system = GameLevelSystem()) {
        system->menuOpen = false;
    }
}

// 'TELE', 'TEL2'..'TEL5': the player leaves for the next act.
void Teleport(UserInterface& layer, const char* screen) {
    if (GameLevel != nullptr) {
        GameLevel->busy = true;
    }
    CloseDialogue();
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->StartNextAct();
    }
    Sounds.PlayByName("warp_in", false, 100, 0);
    layer.LoadScene(screen, true);
}

// 'STG1'..'STG6': the location's mini-game of that number.
void EnterMiniGame(UserInterface& layer, int number) {
    if (number < Level::kMiniGames && ModalLevel != nullptr) {
        return;
    }
    if (GameLevel == nullptr) {
        return;
    }
    if (GameLevel->type == "map" &&
        (CurrentPlayer == nullptr || CurrentPlayer->GetMapPieces() < kMapPiecesForMap)) {
        return;
    }
    const std::string scene = GameLevel->miniGamePaths[static_cast<std::size_t>(number - 1)];
    // A button for a mini-game that the location does not name opens nothing.
    if (scene.empty()) {
        DebugLog("%s has no mini-game %d\n", GameLevel->name.c_str(), number);
        return;
    }
    Sounds.StopAll();
    Sounds.PlayByName("game_appear", false, 100, 0);
    const int32_t result = RunInGameProcess(GameModalProc::Create(scene, {}));
    if (!layer.IsBeingDeleted()) {
        layer.HandleProcessResult(result);
    }
}

// A game process on the game level as the save game left it; then its result.
void RunLoadedGame(UserInterface& layer) {
    FrameTimer.Start();
    const int32_t result = RunNewGameProcess();
    if (!layer.IsBeingDeleted()) {
        layer.HandleProcessResult(result);
    }
}

// 'LOAD': the quick save game, when there is one.
void LoadQuickSave(UserInterface& layer) {
    RunModal("menus/loading.txt", true);
    EnsureLayer(MainUI);
    Level& level = EnsureLevel(GameLevel);
    EnsureLayer(OverlayUI);
    const std::string path = SaveGamePath(true);
    if (!Files.Exists(path)) {
        return;
    }
    std::string failure;
    if (!level.LoadGameState(path, &failure)) {
        DebugLog("The quick save game %s was not loaded: %s\n", path.c_str(), failure.c_str());
        return;
    }
    RunLoadedGame(layer);
}

// 'LOAQ': the normal save game.
void LoadNormalSave(UserInterface& layer) {
    if (GameLevel == nullptr) {
        return;
    }
    DropHeldItem();
    const std::string path = SaveGamePath(false);
    std::string failure;
    if (!GameLevel->LoadGameState(path, &failure)) {
        DebugLog("The save game %s was not loaded: %s\n", path.c_str(), failure.c_str());
        return;
    }
    RunLoadedGame(layer);
}

} // namespace

void UserInterface::HandleEvent(const void* sender, uint32_t id, uint32_t param) {
    // Actions may delete or reload this layer, or run screens in which that happens: it stays
    // allocated until the handler returns, and is touched only while it is not being deleted.
    WalkScope keep(*this);
    auto gone = [this] { return IsBeingDeleted(); };

    // Step 1: the full-screen quit question, before any event.
    bool askedToQuit = false;
    if (App.fullScreen && Keyboard.KeyDown(kKeyAlt) && Keyboard.KeyPressed(kKeyF4) &&
        !InGameMenuOpen && (mui == nullptr || !mui->quitQuestion) &&
        quitQuestionStep != Keyboard.StepNumber()) {
        quitQuestionStep = Keyboard.StepNumber();
        askedToQuit = true;
        AskFullScreenQuit();
        if (gone()) {
            return;
        }
    }

    // Step 2: the action. With the quit question the ids before 'STMA' are passed over.
    if (!askedToQuit) {
        if (const char* location = LocationOfChoice(id)) {
            GoToLocation(location);
        }
        switch (id) {
        case FourCC("DBST"):
            windowArt = true;
            break;
        case FourCC("DBSA"):
            if (DialogueUI != nullptr) {
                DialogueUI->windowArt = false;
            }
            break;
        case FourCC("DBSP"):
        case FourCC("ORCO"):
            CloseDialogue();
            RestoreHud();
            break;
        case FourCC("GDDD"):
            if (GameLevelSystem() != nullptr) {
                Level::PlayObjectAnim("guardian_task", "idle", 0.0f);
            }
            SetLocationFlag("guardian_task_start");
            break;
        case FourCC("RECR"):
            TradeItem("orvexian_crystal", "multitool_crystal");
            break;
        case FourCC("RER1"):
            RemoveItem("multitool_rod");
            break;
        case FourCC("RERO"):
        case FourCC("REFL"):
            AddEnergy();
            CloseDialogue();
            RestoreHud();
            break;
        case FourCC("REBL"):
            TradeItem("fire_bloom", "multitool_horns");
            break;
        case FourCC("RESE"):
            TradeItem("seed", "multitool_gear");
            break;
        case FourCC("REMO"):
        case FourCC("AVI1"):
            RemoveItem("multitool_horns");
            RemoveItem("multitool_gear");
            RemoveItem("multitool_crystal");
            if (id == FourCC("AVI1")) {
                PlayVideo("menus/intro.txt");
            }
            break;
        case FourCC("AVI2"):
            CloseDialogue();
            // The end of the story is saved before the closing cut-scene, so that a player who
            // quits during it does not continue from before the end.
            WriteSaveGame(false);
            if (GameLevel != nullptr) {
                GameLevel->state = kResultCredits;
            }
            PlayVideo("menus/outro.txt");
            break;
        case FourCC("ORCI"):
            if (LaunchTool(1)) {
                AddEnergy();
            }
            CloseDialogue();
            RestoreHud();
            break;
        case FourCC("STV5"):
            SetLocationFlag("stones_reveal");
            GoToLocation("levels/z2-brotherhood.txt");
            break;
        default:
            break;
        }
    }
    if (gone()) {
        return;
    }

    switch (id) {
    case FourCC("STMA"):
    case FourCC("QMAP"):
    case FourCC("MAP"):
        ChooseElementMap();
        break;
    case FourCC("BYES"):
        state = kResultYes;
        break;
    case FourCC("BNO"):
        state = kResultNo;
        break;
    case FourCC("SKIP"):
        SkipDialoguePage();
        break;
    case FourCC("ADDE"):
        AddEnergy();
        break;
    case FourCC("INOK"):
        LoadScene("menus/ingame_options_menu.txt", true);
        break;
    case FourCC("ADDY"):
    case FourCC("ADDO"):
        if (DialogueUI != nullptr) {
            CloseDialogue();
            AddMapPieces(id == FourCC("ADDY") ? 9 : 10);
        }
        break;
    case FourCC("ADDS"):
        LaunchTool(3);
        break;
    case FourCC("ADDX"):
        CloseDialogue();
        RestoreHud();
        AddMapPieces(1);
        break;
    case FourCC("ADK2"):
    case FourCC("ADK3"):
        CloseDialogue();
        RestoreHud();
        GiveItem(id == FourCC("ADK2") ? "librarian_key_red" : "librarian_key_green");
        break;
    case FourCC("TEIN"):
        LoadScene("menus/tele_in.txt", true);
        break;
    case FourCC("MENU"):
        OpenInGameMenu(*this);
        break;
    case FourCC("BKGM"):
        CloseDialogue();
        break;
    case FourCC("KILA"):
    case FourCC("KILL"):
        state = kResultClose;
        break;
    case FourCC("BKGL"):
        if (!optionsOpen) {
            OpenIngameOptions();
        }
        break;
    case FourCC("MILL"):
        if (TutorialUI != nullptr) {
            TutorialUI->state = kResultClose;
        }
        break;
    case FourCC("IASQ"):
        LoadScene("menus/ask_quitingame.txt", true);
        break;
    case FourCC("INOQ"):
        LoadScene("menus/ingame_options_menu2.txt", true);
        break;
    case FourCC("QUIT"):
        Sounds.StopAll();
        InGameMenuOpen = false;
        WriteSaveGame(false);
        state = kResultClose;
        if (GameLevel != nullptr) {
            GameLevel->state = kResultClose;
        }
        break;
    case FourCC("PUFX"):
        Level::SpawnHintPath();
        break;
    case FourCC("DOOR"):
        Sounds.PlayByName("door_close", false, 100, 0);
        break;
    case FourCC("NEXT"):
        if (ModalLevel == nullptr && GameLevel != nullptr) {
            GoToLocation(LocationFile(GameLevel->exitForward));
        }
        break;
    case FourCC("PREV"):
        if (GameLevel != nullptr && !GameLevel->exitBack.empty() && ModalLevel == nullptr) {
            GoToLocation(LocationFile(GameLevel->exitBack));
        }
        break;
    case FourCC("LOAD"):
        LoadQuickSave(*this);
        break;
    case FourCC("SAVE"):
        RunModal("menus/saving.txt", true);
        WriteSaveGame(true);
        break;
    case FourCC("MSG1"):
        ShowTip("menus/tutorials/msg1.txt");
        break;
    case FourCC("LOAQ"):
        LoadNormalSave(*this);
        break;
    case FourCC("SAVQ"):
        WriteSaveGame(false);
        if (ModalLevel != nullptr && ModalLevel->type == "rockband") {
            DropHeldItem();
        }
        break;
    case FourCC("MSG2"):
        ShowTip("menus/tutorials/msg2.txt");
        break;
    case FourCC("FULL"):
        SwitchFullScreenSetting();
        break;
    case FourCC("FOWA"):
        FillBucket();
        break;
    case FourCC("FOWT"):
        PourWater();
        break;
    default:
        if (const char* screen = TeleportScreen(id)) {
            Teleport(*this, screen);
        } else if (const int miniGame = MiniGameOf(id); miniGame != 0) {
            EnterMiniGame(*this, miniGame);
        }
        break;
    }

    // Step 3: the keys screens.
    if (!gone()) {
        keys.OnEvent(id);
    }
    // Then the screen's effects that start on events.
    if (!gone()) {
        PassEventToScreenEffects(*this, sender, id, param);
    }
}

void UserInterface::SkipDialoguePage() {
    if (PageQueue().empty() || !DialoguePageShown) {
        return;
    }
    DialoguePageShown = false;
    Object* page = PageQueue().front();
    if (auto* label = dynamic_cast<UILabel*>(page)) {
        DialogueClock = label->fades.outStart;
    }
    if (auto* decorated = dynamic_cast<UIDecoredLabel*>(page)) {
        decorated->StopVoice();
    }
    PopPage();
}
