// From "play" to the first frame of the demo's start location, as the main menu starts it: the
// game process made, the location loaded into the game level, one step and one frame drawn on
// the real OpenGL device (headless unless a video driver is chosen). Once with every file of the
// demo under "data/", once with every file in "pack.boo". The menu's fonts, strings and sound
// sets are loaded before, as they are when the player clicks "Play"; no profile is current, so
// no save game is written.

#include "bench/BenchWindow.h"
#include "engine/Exception.h"
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
#include "platform/os/Window.h"
#include "tools/packtool/PackWriter.h"
#include "ui/UserInterface.h"
#include "world/Level.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kStartLocation = "levels/z1-wood-glyphstone.txt";

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool Stored(const std::string& name) {
    const std::string extension = fs::path(name).extension().string();
    return extension == ".png" || extension == ".jpg" || extension == ".ogg";
}

// The two layouts of the demo game folder, the window and the device, made once.
struct Stage {
    fs::path root;
    fs::path previous;
    Window* window = nullptr;
    RecordingAudio audio;
    std::string failure;

    Stage() {
        previous = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "orvex-demobench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        root = pattern;
        if (!fs::is_directory(fs::path(DEMO_GAME_FOLDER) / "data")) {
            failure = "no demo game folder";
            return;
        }
        MakeLayouts();
        RegisterGameClasses();
        failure = OpenBenchWindow(window);
        if (!failure.empty()) {
            return;
        }
        SetAudioLayer(&audio);
        audio.Open();
        Sounds.Init();
    }

    ~Stage() {
        fs::current_path(previous);
        fs::remove_all(root);
    }

    // "folder/data" holds every file, the demo's pack unpacked into it; "pack/pack.boo" holds
    // every file, pictures and music stored and the rest compressed, as the demo's pack does.
    void MakeLayouts() {
        const fs::path folder = root / "folder";
        fs::create_directories(root / "pack" / "data");
        fs::create_directories(folder);
        fs::copy(fs::path(DEMO_GAME_FOLDER) / "data", folder / "data", fs::copy_options::recursive);
        fs::current_path(DEMO_GAME_FOLDER);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        Unpack(Files.PackRoot(), "", folder / "data");
        PackWriter pack;
        for (const auto& file : fs::recursive_directory_iterator(folder / "data")) {
            if (file.is_regular_file()) {
                const std::string name =
                    fs::relative(file.path(), folder / "data").generic_string();
                pack.AddBytes(name, ReadWhole(file.path()),
                              Stored(name) ? PackWriter::Packing::Stored
                                           : PackWriter::Packing::Bzip2);
            }
        }
        pack.Write((root / "pack" / "pack.boo").string());
        for (const char* name : {"version.txt", "config.txt"}) {
            fs::copy_file(fs::path(DEMO_GAME_FOLDER) / name, folder / name);
            fs::copy_file(fs::path(DEMO_GAME_FOLDER) / name, root / "pack" / name);
        }
    }

    static void Unpack(const std::map<std::string, PackEntry>& entries, const std::string& prefix,
                       const fs::path& target) {
        for (const auto& [name, entry] : entries) {
            if (entry.folder) {
                Unpack(entry.children, prefix + name + "/", target);
                continue;
            }
            const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(prefix + name);
            if (!bytes) {
                throw std::runtime_error("cannot read " + prefix + name + " from the demo's pack");
            }
            fs::create_directories((target / (prefix + name)).parent_path());
            std::ofstream(target / (prefix + name), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes->data()),
                       static_cast<std::streamsize>(bytes->size()));
        }
    }

    // The game folder of the layout becomes the current one, with what the menu has loaded.
    void Enter(const char* layout) {
        fs::current_path(root / layout);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        StringTable::Load();
        Sounds.LoadDefinitions("sounds.txt");
        LoadFonts();
    }

    void Leave() {
        for (FontSlot* font :
             {&MainFont, &MenuFont, &MenuHiFont, &TooltipFont, &CutsceneFont}) {
            font->reset();
        }
        Sounds.FreeSets();
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

void BM_PlayToFirstFrame(benchmark::State& state) {
    Stage& stage = TheStage();
    if (!stage.failure.empty()) {
        state.SkipWithError(stage.failure.c_str());
        return;
    }
    stage.Enter(state.range(0) == 0 ? "folder" : "pack");
    for (auto _ : state) {
        std::unique_ptr<GameProc> process(GameProc::Create());
        GameLevel->LoadScene(kStartLocation, true);
        process->Update(kStepTime);
        process->AfterUpdate();
        Renderer::Clear();
        Renderer::BeginScene();
        process->PreRender();
        process->Render();
        Renderer::EndScene();
        process->PostRender();
        Renderer::Present();

        state.PauseTiming();
        if (GameLevel->Objects().empty()) {
            state.SkipWithError("the location did not load");
        }
        process.reset();
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
        DeleteAllLayers();
        // The next play reads and decodes the location's pictures again.
        AnimationCache::Clear();
        TextureManager::PurgeUnused();
        state.ResumeTiming();
    }
    stage.Leave();
    state.SetLabel(state.range(0) == 0 ? "from data/" : "from pack.boo");
}
BENCHMARK(BM_PlayToFirstFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
