// The screens of this part of the game on the assembled demo game folder, drawn on the real
// OpenGL device (headless unless a video driver is chosen): a step and a frame of the credits
// with their fireworks, and of Katya's dialogue over the barrow with the location running
// beneath it.

#include "bench/BenchWindow.h"
#include "engine/FileSystem.h"
#include "engine/Random.h"
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
#include "platform/os/Window.h"
#include "ui/ModalProcesses.h"
#include "ui/UserInterface.h"
#include "world/Level.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

// The demo game folder with what the menu has loaded, the window and the device, made once.
struct Stage {
    Window* window = nullptr;
    RecordingAudio audio;
    std::string failure;

    Stage() {
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
        SeedRandom(1);
    }
    // What holds on to the device and the audio layer goes before they do.
    ~Stage() {
        for (FontSlot* font :
             {&MainFont, &MenuFont, &MenuHiFont, &TooltipFont, &CutsceneFont}) {
            font->reset();
        }
        Sounds.FreeSets();
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
        SetAudioLayer(nullptr);
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

void DrawFrame(XProcess& process) {
    Renderer::Clear();
    Renderer::BeginScene();
    process.PreRender();
    process.Render();
    Renderer::EndScene();
    process.PostRender();
    Renderer::Present();
}

// The credits screen on a layer, run for six seconds so that fireworks are in the air.
class RunningCredits : public XProcess {
public:
    RunningCredits() {
        EnsureLayer(mui).LoadScene("menus/credits.txt", true);
        for (int i = 0; i < 360; ++i) {
            Update(kStepTime);
        }
    }
    ~RunningCredits() override {
        DeleteAllLayers();
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
    }
    void Update(float dt) override {
        mui->Update(dt);
        mui->RemoveDead();
    }
    void PreRender() override { mui->PreRender(); }
    void Render() override { mui->Render(); }
    void PostRender() override { mui->PostRender(); }
};

// Katya's dialogue over the barrow, her page arrived and waiting for a click.
class RunningDialogue {
public:
    RunningDialogue() {
        game = GameProc::Create();
        GameLevel->LoadScene("levels/z1-barrow-out.txt", true);
        dialogue = DialogUiProc::Create("menus/dialogs/barrow_katya.txt", "", ModalOptions{});
        dialogue->Begin();
        for (int i = 0; i < 120; ++i) {
            dialogue->Update(kStepTime);
            dialogue->AfterUpdate();
        }
    }
    ~RunningDialogue() {
        dialogue.reset();
        game.reset();
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        DeleteAllLayers();
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
    }
    DialogUiProc& Process() { return *dialogue; }

private:
    std::unique_ptr<GameProc> game;
    std::unique_ptr<DialogUiProc> dialogue;
};

void BM_CreditsStep(benchmark::State& state) {
    if (!TheStage().failure.empty()) {
        state.SkipWithError(TheStage().failure.c_str());
        return;
    }
    RunningCredits credits;
    for (auto _ : state) {
        credits.Update(kStepTime);
    }
}
BENCHMARK(BM_CreditsStep)->Unit(benchmark::kMicrosecond);

void BM_CreditsFrameOpenGl(benchmark::State& state) {
    if (!TheStage().failure.empty()) {
        state.SkipWithError(TheStage().failure.c_str());
        return;
    }
    RunningCredits credits;
    for (auto _ : state) {
        DrawFrame(credits);
    }
}
BENCHMARK(BM_CreditsFrameOpenGl)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DialogueStep(benchmark::State& state) {
    if (!TheStage().failure.empty()) {
        state.SkipWithError(TheStage().failure.c_str());
        return;
    }
    RunningDialogue dialogue;
    if (!DialoguePageShown) {
        state.SkipWithError("the page did not arrive");
        return;
    }
    for (auto _ : state) {
        dialogue.Process().Update(kStepTime);
        dialogue.Process().AfterUpdate();
    }
}
BENCHMARK(BM_DialogueStep)->Unit(benchmark::kMicrosecond);

void BM_DialogueFrameOpenGl(benchmark::State& state) {
    if (!TheStage().failure.empty()) {
        state.SkipWithError(TheStage().failure.c_str());
        return;
    }
    RunningDialogue dialogue;
    for (auto _ : state) {
        DrawFrame(dialogue.Process());
    }
}
BENCHMARK(BM_DialogueFrameOpenGl)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
