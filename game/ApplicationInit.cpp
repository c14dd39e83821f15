#include "game/ApplicationInit.h"

#include "engine/Application.h"
#include "engine/Config.h"
#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/Random.h"
#include "engine/Timer.h"
#include "game/ConnectGameHooks.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/StringTable.h"
#include "platform/os/NativePath.h"
#include "platform/os/Seams.h"
#include "platform/os/Shell.h"
#include "platform/os/SingleInstance.h"
#include "world/GameSettings.h"
#include "world/PlayerFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <ctime>

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr double kStepsPerSecond = 60.0;
constexpr const char* kPausePictureName = "gfx/interface/pause.jpg";

SingleInstance instance;

bool IsFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// One level: made, or there already.
bool MakeFolder(const std::string& path) {
    const std::string native = NativePath(path);
    return ::mkdir(native.c_str(), 0755) == 0 || (errno == EEXIST && IsFolder(native));
}

void ThrowNoDataDirectory() {
    throw Exception("Could not create data directory!");
}

} // namespace

bool CreateDirectoryPath(const std::string& path) {
    if (path.empty() || path.size() > kMaxDirectoryPath) {
        return false;
    }
    for (std::size_t at = 1; at < path.size(); ++at) {
        if ((path[at] == '\\' || path[at] == '/') && path[at - 1] != ':') {
            // A level that cannot be made shows at the end, when the whole path is not there.
            MakeFolder(path.substr(0, at));
        }
    }
    return MakeFolder(path);
}

std::string ChooseSaveFolder() {
    const std::string profile = UserProfileFolder();
    if (!profile.empty()) {
        return profile + "/Saved Games/Vostrel Games/Orvex/";
    }
    return CurrentFolder() + "/store/";
}

void ReleaseSingleInstance() {
    instance.Release();
}

bool InitApplication() {
    if (!instance.Claim(InstanceName(kWindowClassName))) {
        return false;
    }
    LogEnabled = false;
    DebugLog("Application::Init\n");
    ConnectGameHooks();

    Files.MountPack("pack.boo");
    Files.SetDataFolder("data");
    DebugLog("done\n");

    DebugLog("Creating data directories..");
    App.saveFolder = ChooseSaveFolder();
    DebugLog("done\n");
    // Every save goes here: a folder that cannot be made would lose them all without a word.
    if (!CreateDirectoryPath(App.saveFolder)) {
        ThrowNoDataDirectory();
    }
    SetLogPath(App.saveFolder + "\\log.txt");

    App.autoMinFpsUp = 25.0f;
    App.autoMinFpsDown = 20.0f;
    App.autoFpsTimeSwitch = 10.0f;
    PriorityClass priority = PriorityClass::Normal;

    DebugLog("Loading version and application config..");
    ReadVersionFile(App, "version.txt");
    ReadConfigFile(App, "../config.txt", priority);
    DebugLog("done\n");
    // A write cut short by a kill leaves its temporary copy; none may linger or be read.
    SweepPlayerFileFolder();

    DebugLog("Loading player info and strings..");
    StringTable::Load();
    DebugLog("done\n");

    if (SetProcessPriority(priority == PriorityClass::Idle ? ProcessPriority::Idle
                                                           : ProcessPriority::Normal)) {
        DebugLog("Process priority change OK. Set to %d.\n", static_cast<int>(priority));
    } else {
        DebugLog("Process priority change failed!\n");
    }

    FrameTimer.SetRate(kStepsPerSecond);

    App.fullScreen = FullScreenAtStart(App.fullScreen);

    if (!CreateDirectoryPath(App.saveFolder) || !CreatePlayerFileFolder()) {
        ThrowNoDataDirectory();
    }

    App.window = CreateAppWindow(kScreenWidth, kScreenHeight, App.fullScreen);
    if (App.window == nullptr) {
        throw Exception("Cannot Create App Window");
    }
    if (!Renderer::Init(kScreenWidth, kScreenHeight,
                        App.bit16 ? PixelFormat::R5G6B5 : PixelFormat::X8R8G8B8, App.window,
                        !App.fullScreen)) {
        throw Exception("Cannot initialize DirectX");
    }

    Mouse.SetWindow(App.window);
    Sounds.Init();
    SeedRandom(Seams().randomSeed.value_or(static_cast<uint32_t>(std::time(nullptr))));
    Seams().reseed = [](uint32_t seed) { SeedRandom(seed); };

    // A missing pause picture is told here, as it always was; one that is there is decoded
    // when first drawn, after the first frames.
    const bool pausePictureThere = Files.Exists(kPausePictureName);
    LoadPausePictureWhenDrawn(pausePictureThere ? kPausePictureName : "");
    if (!pausePictureThere) {
        TextureManager::Load(PausePicture, kPausePictureName);
    }

    DebugLog("Application::Init done\n");
    return true;
}
