// The in-game HUD of the demo with everything on it: eight filled inventory slots, the four tool
// slots shown (the lens and orb with their charges), a tool in flight to its slot, and the
// map-piece display; one step of MainUI and one frame of it on the real OpenGL device (headless
// unless a video driver is chosen).

#include "bench/BenchWindow.h"
#include "engine/Application.h"
#include "engine/FileSystem.h"
#include "game/ClassList.h"
#include "game/GameProc.h"
#include "game/StartGame.h"
#include "mainloop/MainLoop.h"
#include "media/AnimationCache.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/StringTable.h"
#include "media/TextureManager.h"
#include "platform/audio/AudioLayer.h"
#include "platform/audio/RecordingAudio.h"
#include "ui/UserInterface.h"
#include "ui/hud/UIFxFlyTo.h"
#include "ui/hud/UIPermanentSlots.h"
#include "world/Level.h"
#include "world/Player.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kStartLocation = "levels/z1-wood-glyphstone.txt";
constexpr const char* kItems[] = {"acorn",  "acorn2", "feather",    "mushroom",
                                  "crystal_shard", "old_key", "magic_wand", "moonstone"};

// The demo game folder with the menu's fonts, strings and sounds, a profile of its own in a
// temporary folder, the window and the device, made once.
struct Stage {
    fs::path profiles;
    fs::path previous;
    Window* window = nullptr;
    RecordingAudio audio;
    std::string failure;

    Stage() {
        previous = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "orvex-hudbench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        profiles = pattern;
        if (!fs::is_directory(fs::path(DEMO_GAME_FOLDER) / "data")) {
            failure = "no demo game folder";
            return;
        }
        fs::current_path(DEMO_GAME_FOLDER);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        RegisterGameClasses();
        failure = OpenBenchWindow(window);
        if (!failure.empty()) {
            return;
        }
        SetAudioLayer(&audio);
        audio.Open();
        Sounds.Init();
        StringTable::Load();
        Sounds.LoadDefinitions("sounds.txt");
        LoadFonts();
        App.saveFolder = profiles.string() + "/";
        if (!Player::CreateProfile(0, "bench")) {
            failure = "no profile";
        }
    }

    // The sound sets and fonts go before the audio layer they were made on.
    ~Stage() {
        for (FontSlot* font :
             {&MainFont, &MenuFont, &MenuHiFont, &TooltipFont, &CutsceneFont}) {
            font->reset();
        }
        Sounds.FreeSets();
        SetAudioLayer(nullptr);
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
        fs::current_path(previous);
        fs::remove_all(profiles);
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

// The game on the start location with the full HUD; the flight never lands, so every step and
// frame has one.
class FullHud {
public:
    FullHud() {
        for (int i = 0; i < Player::kInventorySlots; ++i) {
            CurrentPlayer->SetInventoryBackSlot(kItems[i], i + 1, i);
        }
        CurrentPlayer->CopyBackToInventory();
        for (int tool = 0; tool < Player::kPermanentSlots; ++tool) {
            CurrentPlayer->SetPermanentCount(tool + 1, tool);
        }
        process = GameProc::Create();
        GameLevel->LoadScene(kStartLocation, true);
        for (const auto& object : MainUI->Objects()) {
            if (auto* tools = dynamic_cast<UIPermanentSlotMngr*>(object.get())) {
                tools->LaunchTool(1);
            }
        }
        for (const auto& object : MainUI->Objects()) {
            if (auto* flight = dynamic_cast<UIFxFlyTo*>(object.get())) {
                flight->flightTime = 1.0e9f;
                flying = flight;
            }
        }
        // Past the slot's reveal, so that all four are shown.
        for (int step = 0; step < 120; ++step) {
            MainUI->Update(kStepTime);
            MainUI->RemoveDead();
        }
    }
    ~FullHud() {
        process.reset();
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        DeleteAllLayers();
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
    }
    bool Flying() const { return flying != nullptr && flying->Art() != nullptr; }

private:
    std::unique_ptr<GameProc> process;
    UIFxFlyTo* flying = nullptr;
};

void BM_HudStep(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    FullHud hud;
    if (!hud.Flying()) {
        state.SkipWithError("no tool in flight");
        return;
    }
    for (auto _ : state) {
        MainUI->Update(kStepTime);
        MainUI->RemoveDead();
    }
    state.counters["objects"] = static_cast<double>(MainUI->Objects().size());
}
BENCHMARK(BM_HudStep)->Unit(benchmark::kMicrosecond);

// MainUI alone drawn and presented: the real time, since the device works apart.
void BM_HudFrameOpenGl(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    FullHud hud;
    for (auto _ : state) {
        Renderer::Clear();
        Renderer::BeginScene();
        MainUI->PreRender();
        MainUI->Render();
        Renderer::EndScene();
        MainUI->PostRender();
        Renderer::Present();
    }
}
BENCHMARK(BM_HudFrameOpenGl)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
