#include "ui/Menu.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/Log.h"
#include "engine/ProcessResult.h"
#include "engine/Timer.h"
#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/StringTable.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/NativePath.h"
#include "platform/os/Shell.h"
#include "platform/os/Window.h"
#include "ui/GameFlow.h"
#include "ui/InGameFlow.h"
#include "ui/ModalProcesses.h"
#include "ui/UIInput.h"
#include "ui/UIObject.h"
#include "ui/UserInterface.h"
#include "ui/fx/UIFlyInFX.h"
#include "world/FullScreenKey.h"
#include "world/GameSettings.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

#include <cmath>
#include <cstdio>

int PendingProfileSlot = 0;
std::string MenuMessageText;
std::string MenuMessageText2;
std::string MenuMessageText3;

namespace {

constexpr uint32_t kTextInputWidth = 220;

constexpr const char* kFirstLevel = "levels/z1-wood-glyphstone.txt";
constexpr const char* kMainMenuScreen = "menus/main_menu.txt";
constexpr const char* kFirstDialogueFlag = "z1-wood-glyphstone:dialog1_killed";

// The slot 0..4 of 'XXX1'..'XXX5', or -1.
int SlotOf(uint32_t id, const char* prefix) {
    const uint32_t base = FourCC(std::string(prefix) + "1");
    return id >= base && id < base + 5 ? static_cast<int>(id - base) : -1;
}

// The first of the five profiles that can be selected. When none can, no profile is current:
// a failed selection would leave a nameless profile current, which the commands would then
// play and save as if it were a player.
bool SelectFirstProfile() {
    for (int slot = 0; slot < Player::kProfiles; ++slot) {
        if (Player::SelectProfile(slot)) {
            return true;
        }
    }
    CurrentPlayer = nullptr;
    CurrentPlayerIndex = -1;
    return false;
}

// The profile named in "last.pla", else the first of the five that can be selected.
bool SelectStartProfile() {
    const int last = Player::GetLastPlayerIndex();
    if (last >= 0 && Player::SelectProfile(last)) {
        return true;
    }
    return SelectFirstProfile();
}

// From the first to the last character that is not a space, '_' or '@'.
std::string TrimName(const std::string& text) {
    constexpr const char* kPadding = " _@";
    const std::size_t first = text.find_first_not_of(kPadding);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kPadding) - first + 1);
}

std::string Decimal(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

void PlayWarpIn() {
    if (CurrentPlayer != nullptr && CurrentPlayer->GetFlag(kFirstDialogueFlag) == 0) {
        Sounds.PlayByName("warp_in", false, 100, 0);
    }
}

} // namespace

std::string SaveGamePath(bool quick) {
    const int slot = CurrentPlayer != nullptr ? CurrentPlayer->GetProfileNumber() : 0;
    return PlayerFilePath(std::to_string(slot) + (quick ? "_quick.sav" : ".sav"));
}

Menu::Menu() : keys(this, this) {
    // Nothing shows it; art that is not there costs the menu nothing.
    if (Files.Exists("gfx/interface/loading.ani")) {
        loading.Load("gfx/interface/loading.ani");
    }
}

Menu::~Menu() {
    Clear();
}

void Menu::Init() {
    DebugLog("Menu::Init: \n");
    AddLayerSystems(*this, *this);
    pendingOk = 0;
    pendingCancel = 0;
    currentPage = 0;

    DebugLog("Player::LoadNames \n");
    Player::LoadNames();
    SelectStartProfile();
    DebugLog("Player::LoadNames - done\n");

    // The loading time is not made up in steps.
    FrameTimer.Start();

    if (!App.startFromLevel.empty()) {
        if (HasNamedProfile()) {
            PrepareGame();
            GameLevel->LoadScene(App.startFromLevel, true);
            OnGameEnded(RunGame());
        } else {
            NamePrompt();
        }
    } else {
        for (int n = 1;; ++n) {
            const std::string splash = "menus/splash/splash" + std::to_string(n) + ".txt";
            if (!Files.Exists(splash)) {
                break;
            }
            Run(ModalProc::Create(splash, "", {}), false);
        }
        LoadScene("menus/main_menu_anim.txt", true);
    }
    DebugLog("Menu::Init: - done\n");
}

void Menu::UpdateStep(float dt) {
    clock += dt;
    blink = std::fmod(clock, 1.0f) < 0.5f;
    CheckSystemKeys();
    Update(dt);
}

void Menu::CheckSystemKeys() {
    if (!Keyboard.KeyDown(kKeyAlt)) {
        return;
    }
    if (Keyboard.KeyPressed(kKeyF4) && App.fullScreen && mui != nullptr && !mui->quitQuestion &&
        AskFullScreenQuit()) {
        state = kResultClose;
        return;
    }
    RunFullScreenKey();
}

void Menu::AddObject(std::unique_ptr<Object> object) {
    Object* added = object.get();
    if (added == nullptr) {
        return;
    }
    if (auto* widget = dynamic_cast<UIObject*>(added)) {
        widget->RequireChunks();
    }
    BindWidget(*added, *this, nullptr);
    ObjectsManager::AddObject(std::move(object));
}

void Menu::OnSceneLoaded() {
    ObjectsManager::OnSceneLoaded();
}

void Menu::Clear() {
    ObjectsManager::Clear();
}

void Menu::OnMessage(const void* sender, uint32_t id, uint32_t param) {
    Handle(sender, id, param);
    keys.OnEvent(id);
    PassEventToScreenEffects(*this, sender, id, param);
}

void Menu::Handle(const void* sender, uint32_t id, uint32_t param) {
    if (const char* level = LocationOfChoice(id)) {
        StartLevel(level);
        return;
    }
    if (const int slot = SlotOf(id, "PLA"); slot >= 0) {
        if (Player::SelectProfile(slot)) {
            Handle(sender, FourCC("BACK"), param);
        }
        return;
    }
    if (const int slot = SlotOf(id, "NDP"); slot >= 0) {
        NewOrDeleteProfile(slot);
        return;
    }
    switch (id) {
    case FourCC("PROF"):
        Player::LoadNames();
        LoadScene("menus/profiles.txt", true);
        break;
    case FourCC("STV5"):
        // Without a location played yet the flag has no scope to go under.
        if (CurrentPlayer != nullptr && GameLevel != nullptr) {
            CurrentPlayer->SetFlag(GameLevel->name, "stones_reveal", 1);
        }
        StartLevel("levels/z2-brotherhood.txt");
        break;
    case FourCC("HELP"):
        OpenHelp();
        break;
    case FourCC("CCPL"):
    case FourCC("CCPM"):
        ConfirmName(id);
        break;
    case FourCC("STCO"):
        LoadScene("menus/cutscenes/cutscene_start.txt", true);
        break;
    case FourCC("CUSC"):
        Handle(sender, FourCC("CONT"), param);
        break;
    case FourCC("INOK"):
    case FourCC("INCA"): {
        uint32_t& pending = id == FourCC("INOK") ? pendingOk : pendingCancel;
        if (pending != 0) {
            const uint32_t event = pending;
            pending = 0;
            Handle(sender, event, param);
        }
        break;
    }
    case FourCC("PLAY"):
        if (CurrentPlayer != nullptr) {
            CurrentPlayer->Save();
        }
        if (!SelectStartProfile()) {
            NamePrompt();
            break;
        }
        PlayWarpIn();
        Handle(sender, FourCC("CONT"), param);
        break;
    case FourCC("OPTS"):
        LoadScene("menus/options.txt", false);
        break;
    case FourCC("HIGH"):
        LoadScene("menus/highscores.txt", false);
        break;
    case FourCC("QUIT"):
        LoadScene("menus/ask_quit.txt", true);
        break;
    case FourCC("MAIN"):
        if (!SelectStartProfile()) {
            NamePrompt();
        } else {
            LoadScene(kMainMenuScreen, true);
        }
        break;
    case FourCC("MAII"):
        Sounds.StopAll();
        if (GameLevel != nullptr && CurrentPlayer != nullptr) {
            GameLevel->SaveGameState(SaveGamePath(false));
        }
        LoadScene(kMainMenuScreen, true);
        break;
    case FourCC("QUIC"):
        SaveSettings();
        state = kResultClose;
        break;
    case FourCC("FULL"):
        SwitchFullScreenSetting();
        break;
    case FourCC("CRED"):
        LoadScene("menus/credits.txt", true);
        break;
    case FourCC("BACK"):
        LoadScene(kMainMenuScreen, true);
        break;
    case FourCC("ASKP"):
        LoadScene("menus/play_menu.txt", true);
        break;
    case FourCC("CONT"):
        if (CurrentPlayer != nullptr && !CurrentPlayer->GetLastLevelId().empty() &&
            CurrentPlayer->GetLastLevelId() != "unknown") {
            LoadScene("menus/ask_play.txt", true);
        } else {
            StartLevel(kFirstLevel);
        }
        break;
    case FourCC("CONE"):
        NewGame();
        break;
    case FourCC("LOAD"):
        if (!HasNamedProfile()) {
            NamePrompt();
        } else if (!App.startFromLevel.empty()) {
            PrepareGame();
            GameLevel->LoadScene(App.startFromLevel, true);
            OnGameEnded(RunGame());
        } else {
            PrepareGame();
            LoadAndRun(SaveGamePath(false));
        }
        break;
    case FourCC("SAVE"):
        if (GameLevel != nullptr && CurrentPlayer != nullptr) {
            Run(ModalProc::Create("menus/saving.txt", "", {.drawOnce = true}), App.maxFps);
            if (GameLevel != nullptr) {
                GameLevel->SaveGameState(SaveGamePath(true));
            }
        }
        break;
    case FourCC("LOAQ"):
        if (GameLevel != nullptr && CurrentPlayer != nullptr) {
            if (GameLevel->levelSystem != nullptr) {
                GameLevel->levelSystem->DropHeldItem();
            }
            LoadAndRun(SaveGamePath(false));
        }
        break;
    case FourCC("SAVQ"):
        if (GameLevel != nullptr && CurrentPlayer != nullptr) {
            GameLevel->SaveGameState(SaveGamePath(false));
        }
        break;
    default:
        break;
    }
}

std::string Menu::GetData(uint32_t id) {
    if (const int slot = SlotOf(id, "PLA"); slot >= 0) {
        return Player::GetProfileName(slot);
    }
    if (const int slot = SlotOf(id, "NDP"); slot >= 0) {
        return Player::GetProfileName(slot).empty() ? "str.newplayer" : "str.deleteplayer";
    }
    const bool forcedFullScreen = Renderer::State().smallDesktop;
    switch (id) {
    case FourCC("MSGT"):
        return MenuMessageText;
    case FourCC("MSG2"):
        return MenuMessageText2;
    case FourCC("MSG3"):
        return MenuMessageText3;
    case FourCC("MACC"):
        if (CurrentPlayer == nullptr ||
            CurrentPlayer->GetFlag("map_metal:minigame4_completed") != 0) {
            return {};
        }
        return std::to_string(CurrentPlayer->GetMapPieces()) + " " +
               std::string(StringTable::Translate("str.of")) + " 10";
    case FourCC("CPLA"):
        return CurrentPlayer != nullptr ? CurrentPlayer->GetName() : std::string();
    case FourCC("SVOL"):
        return Decimal(GameSettings.soundVolume);
    case FourCC("MVOL"):
        return Decimal(GameSettings.musicVolume);
    case FourCC("FULL"):
        if (forcedFullScreen) {
            return {};
        }
        return App.fullScreen ? "str.switchtowindowed" : "str.switchtofullscreen";
    case FourCC("LOAD"):
        return CurrentPlayer != nullptr && !CurrentPlayer->GetLastLevelId().empty() &&
                       CurrentPlayer->GetLastLevelId() != "unknown"
                   ? "1"
                   : "0";
    case FourCC("STRE"):
        // No configuration key sets a stretch option, so it is always off.
        return "stretchon";
    case FourCC("PAGE"):
        return "Page " + std::to_string(currentPage + 1) + "/" + std::to_string(lastPage + 1);
    case FourCC("BULD"):
        return std::string(StringTable::Translate("str.version")) + ": " + App.versionInfo[0] +
               "." + (App.versionInfo[1].empty() ? std::string("102") : App.versionInfo[1]) + "." +
               App.mainNumber;
    case FourCC("PLER"):
        if (CurrentPlayer == nullptr) {
            return {};
        }
        return std::string(StringTable::Translate("str.welcome")) + " " + CurrentPlayer->GetName();
    default:
        return {};
    }
}

void Menu::SetData(uint32_t id, uint32_t valueBits) {
    StoreVolumeSetting(id, valueBits);
}

bool Menu::HasNamedProfile() const {
    return CurrentPlayer != nullptr && !CurrentPlayer->GetName().empty();
}

void Menu::StartLevel(const std::string& levelFile) {
    if (!HasNamedProfile()) {
        NamePrompt();
        return;
    }
    Sounds.StopAll();
    PrepareGame();
    GameLevel->LoadScene(levelFile, true);
    OnGameEnded(RunGame());
}

void Menu::PrepareGame() {
    if (GameLevel != nullptr && GameLevel->levelSystem != nullptr) {
        GameLevel->levelSystem->DropHeldItem();
    }
    Sounds.PlayByName("level_select", false, 100, 0);
    EnsureLayer(MainUI);
    EnsureLayer(MapGameUI);
    EnsureLevel(GameLevel);
    EnsureLayer(OverlayUI);
    ClearLayer(LevelOverlayUI);
}

void Menu::OnGameEnded(int32_t result) {
    switch (result) {
    case kResultClose:
        LoadScene(kMainMenuScreen, true);
        break;
    case kResultForward:
    case kResultBack:
        if (GameLevel != nullptr) {
            const std::string next = LocationFile(result == kResultForward ? GameLevel->exitForward
                                                                           : GameLevel->exitBack);
            GameLevel->Clear();
            StartLevel(next);
        }
        break;
    case kResultLeftBack:
        LeaveMiniGameBack();
        break;
    case kResultLeft:
        DeleteModalLevel();
        break;
    case kResultCredits:
        LoadScene("menus/credits_fade.txt", true);
        break;
    default:
        break;
    }
}

bool Menu::ProfileNameExists(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (int slot = 0; slot < Player::kProfiles; ++slot) {
        if (Player::GetProfileName(slot) == name) {
            return true;
        }
    }
    return false;
}

int32_t Menu::RunGame() {
    return Run(Flow().CreateGameProcess(), App.maxFps);
}

int32_t Menu::Run(std::unique_ptr<XProcess> process, bool renderEveryPass) {
    return Flow().Run(std::move(process), renderEveryPass);
}

void Menu::NamePrompt() {
    MenuMessageText = "str.enteryourname";
    MenuMessageText2.clear();
    PendingProfileSlot = 0;
    pendingOk = FourCC("CCPM");
    pendingCancel = FourCC("PROF");
    LoadScene("menus/text_input2.txt", true);
}

void Menu::ConfirmName(uint32_t id) {
    const std::string name =
        TrimName(ActiveTextInput != nullptr ? ActiveTextInput->entered : EnteredText);
    const bool fromProfiles = id == FourCC("CCPL");
    if (!name.empty() && !ProfileNameExists(name)) {
        if (Player::CreateProfile(PendingProfileSlot, name)) {
            if (fromProfiles) {
                Handle(this, FourCC("PROF"), 0);
            } else {
                LoadScene(kMainMenuScreen, true);
            }
            return;
        }
        DebugLog("Menu: profile %d cannot take the name %s\n", PendingProfileSlot,
                 MessagePart(name).c_str());
    } else if (!name.empty()) {
        PendingProfileSlot = 0;
        pendingOk = FourCC("PROF");
        LoadScene("menus/player_exists.txt", true);
        return;
    }
    // The input screen stays, ready for another try.
    pendingOk = id;
    pendingCancel = FourCC("PROF");
}

void Menu::NewOrDeleteProfile(int slot) {
    if (Player::GetProfileName(slot).empty()) {
        TextInputWidthLimit = kTextInputWidth;
        PendingProfileSlot = slot;
        pendingOk = FourCC("CCPL");
        pendingCancel = FourCC("PROF");
        LoadScene("menus/text_input.txt", true);
        return;
    }
    UserInterface& question = EnsureLayer(mui);
    question.messageText = "str.doyouwantto";
    question.secondText = "str.deletethisprofile";
    const int32_t answer =
        Run(ModalProc::Create("menus/message4.txt", question.messageText, {.drawBeneath = false}),
            App.maxFps);
    if (answer != kResultYes) {
        return;
    }
    Player::DeleteProfile(slot);
    if (!SelectFirstProfile()) {
        NamePrompt();
    }
}

void Menu::OpenHelp() {
    std::string path = CurrentFolder();
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    path += "/help/help.htm";
    if (App.window != nullptr) {
        App.window->Minimise();
    }
    if (!OpenDocument(path)) {
        DebugLog("Menu: the help %s could not be opened\n", path.c_str());
    }
}

void Menu::NewGame() {
    if (!HasNamedProfile()) {
        NamePrompt();
        return;
    }
    const std::string slot = std::to_string(CurrentPlayer->GetProfileNumber());
    for (const char* suffix : {".pla", ".sav", "_quick.sav"}) {
        DeletePlayerFile(PlayerFilePath(slot + suffix));
    }
    CurrentPlayer->Reset();
    CurrentPlayer->Save();
    PlayWarpIn();
    StartLevel(kFirstLevel);
}

void Menu::LoadAndRun(const std::string& saveName) {
    std::string failure;
    if (!GameLevel->LoadGameState(saveName, &failure)) {
        DebugLog("Menu: the save game %s was not loaded: %s\n", saveName.c_str(), failure.c_str());
        return;
    }
    OnGameEnded(RunGame());
}
