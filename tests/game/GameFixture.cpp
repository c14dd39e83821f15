#include "tests/game/GameFixture.h"

#include "engine/Application.h"
#include "engine/Config.h"
#include "engine/FileSystem.h"
#include "engine/Input.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/XProcess.h"
#include "engine/profile.h"
#include "game/ApplicationInit.h"
#include "game/Shutdown.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "media/StringTable.h"
#include "platform/audio/AudioLayer.h"
#include "platform/os/Clock.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"
#include "platform/os/Window.h"
#include "ui/GameFlow.h"
#include "ui/Menu.h"
#include "ui/UserInterface.h"
#include "world/GameSettings.h"
#include "world/Player.h"
#include "world/WorldServices.h"

#include <unistd.h>

#include <cstdlib>

void ResetGameGlobals() {
    Shutdown();
    Renderer::State() = RenderDevice();
    DestroyWindow(App.window);
    UnregisterWindowClass(kWindowClassName);
    ReleaseSingleInstance();
    ClearMessages();
    App = Application();
    DevMode = false;
    LogEnabled = false;
    SetLogPath("");
    CurrentProcess = nullptr;
    RunningProcess = nullptr;
    InstallMainLoopClient(nullptr);
    ObjectsManager::SetLoadListener(nullptr);
    InstallWorldServices(nullptr);
    InstallGameFlow(nullptr);
    UserInterface::SetEventTableStandIn(nullptr);
    CurrentPlayer = nullptr;
    CurrentPlayerIndex = -1;
    LastPlayerIndex = -1;
    for (Player& profile : PlayerProfiles) {
        profile = Player();
    }
    GameSettings = UserSettings();
    StringTable::Clear();
    Keyboard.Reset();
    Mouse = MouseState();
    ProfileReset();
    SetClockSource(nullptr);
    ResetSeams();
}

void GameTest::SetUp() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ResetGameGlobals();
    game = std::make_unique<TempFolder>(TempFolder::Enter::Yes);
    folder.MakeFolder("profile");
    xdg = std::make_unique<ScopedEnvironment>("XDG_DATA_HOME", ProfileFolder());
    game->MakeFolder("data");
    WriteData("version.txt", "(version_info 1 4)\n(main_number 7)\n");
    WriteData("strings-utf8.txt", "(str.of \"of\")\n");
    WriteData("gestures.txt", "");
    WriteConfig("(full_screen 0)\n");
    UseRecordingGraphics(script);
    SetAudioLayer(&audio);
    instanceName = "orvex-test-" + std::to_string(::getpid());
    StartAgain();
    if (!InitVideo()) {
        GTEST_SKIP() << "no display";
    }
}

void GameTest::StartAgain() {
    ResetGameGlobals();
    Seams().instanceName = instanceName;
    Seams().messageBoxAnswer = MessageBoxAnswer::Ok;
    Seams().desktop = DesktopMode{1920, 1080, false};
    Seams().randomSeed = 1;
}

void GameTest::TearDown() {
    ResetGameGlobals();
    SetAudioLayer(nullptr);
    SetGraphicsSystemFactory({});
    xdg.reset();
    game.reset();
}

void GameTest::WriteData(std::string_view name, std::string_view bytes) const {
    game->Write("data/" + std::string(name), bytes);
}

void GameTest::WriteConfig(std::string_view settings) const {
    game->Write("config.txt", settings);
}

std::string GameTest::SaveFolder() const {
    return ProfileFolder() + "/Saved Games/Vostrel Games/Orvex/";
}
