#include "bench/DemoStage.h"

#include "bench/BenchWindow.h"
#include "engine/Application.h"
#include "engine/FileSystem.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/XProcess.h"
#include "game/ConnectGameHooks.h"
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
#include "tools/packtool/PackWriter.h"
#include "ui/GameFlow.h"
#include "ui/InGameFlow.h"
#include "ui/UserInterface.h"
#include "world/Level.h"
#include "world/Player.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

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

void Unpack(const std::map<std::string, PackEntry>& entries, const std::string& prefix,
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

// The drawing of one frame as the main loop does it; the one-pixel read at the end waits for
// the software rasteriser, whose threads would otherwise finish the frame after the clock stops.
void DrawFrame(XProcess& process) {
    Renderer::Clear();
    Renderer::BeginScene();
    process.PreRender();
    process.Render();
    Renderer::EndScene();
    process.PostRender();
    Renderer::Present();
    if (GraphicsDevice* device = Renderer::State().device.get()) {
        std::vector<uint32_t> pixel;
        device->ReadBackBuffer(PixelRect{0, 0, 1, 1}, pixel);
    }
}

// The program's flow with the main loop left out: the game process of an armed arrival makes
// its first pass; any other process (a dialogue or tutorial a step opens) would wait for a
// player, so it is begun, counted and ended at once.
class BenchFlow final : public GameFlow {
public:
    std::unique_ptr<XProcess> CreateGameProcess() override { return GameProc::Create(); }

    int32_t Run(std::unique_ptr<XProcess> process, bool) override {
        if (process == nullptr) {
            return 0;
        }
        if (armed) {
            armed = false;
            DemoStage::FirstPass(*process);
            seconds = std::chrono::duration<double>(Clock::now() - armedAt).count();
            arrived = GameLevel != nullptr ? GameLevel->name : std::string();
        } else {
            ++nested;
            process->Begin();
        }
        process->End();
        return 0;
    }

    bool armed = false;
    Clock::time_point armedAt;
    double seconds = 0.0;
    std::string arrived;
    int nested = 0;
};

BenchFlow flow;

double ProcessCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

std::string MetaValue(ParconCursor key) {
    return key.NextString(false, "");
}

} // namespace

bool DemoScene::Names(const DemoScene& other) const {
    const std::string file = fs::path(other.path).filename().string();
    for (const std::string& form : {"levels\\" + file, "levels/" + file}) {
        if (text.find(form) != std::string::npos) {
            return true;
        }
    }
    return false;
}

DemoStage& DemoStage::Get() {
    static DemoStage stage;
    return stage;
}

DemoStage::DemoStage() {
    previous = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "orvex-demostage-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    root = pattern;
    if (!fs::is_directory(fs::path(DEMO_GAME_FOLDER) / "data")) {
        failure = "no demo game folder";
        return;
    }
    MakeLayouts();
    ConnectGameHooks();
    InstallGameFlow(&flow);
    failure = OpenBenchWindow(window);
    if (!failure.empty()) {
        return;
    }
    SetAudioLayer(&audio);
    audio.Open();
    Sounds.Init();
    fs::create_directories(root / "profile");
    App.saveFolder = (root / "profile").string() + "/";
    if (!Player::CreateProfile(0, "bench")) {
        failure = "no profile";
        return;
    }
    for (int layout = 0; layout < 2; ++layout) {
        Enter(layout);
        ReadScenes(layout);
        Leave();
    }
    // The software rasteriser compiles its code for each drawing state the first time it is
    // used; a second of the start location does that for the states every scene shares, so that
    // the first benchmark does not pay for the rest.
    Enter(0);
    std::unique_ptr<XProcess> warmUp = OpenLocation(kStartLocation);
    for (int step = 0; step < 60 && warmUp->state != 0; ++step) {
        Pass(*warmUp);
    }
    warmUp.reset();
    Leave();
}

DemoStage::~DemoStage() {
    InstallGameFlow(nullptr);
    SetAudioLayer(nullptr);
    fs::current_path(previous);
    fs::remove_all(root);
}

// "folder/data" holds every file, the demo's pack unpacked into it; "pack/pack.boo" holds every
// file, pictures and music stored and the rest compressed, as the demo's pack does.
void DemoStage::MakeLayouts() {
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
            const std::string name = fs::relative(file.path(), folder / "data").generic_string();
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

// Every scene file under "levels/" of the layout, its Meta keys read by the game's parser.
void DemoStage::ReadScenes(int layout) {
    std::vector<std::string> names;
    if (layout == 0) {
        for (const auto& file : fs::directory_iterator(fs::current_path() / "data" / "levels")) {
            if (file.is_regular_file() && file.path().extension() == ".txt") {
                names.push_back(file.path().filename().string());
            }
        }
    } else if (const PackEntry* levels = Files.FindEntry("levels")) {
        for (const auto& [name, entry] : levels->children) {
            if (!entry.folder && fs::path(name).extension() == ".txt") {
                names.push_back(name);
            }
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        DemoScene scene;
        scene.path = "levels/" + name;
        const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(scene.path);
        if (bytes) {
            scene.text.assign(bytes->begin(), bytes->end());
        }
        Parcon file;
        file.OpenFile(scene.path, true);
        ForEachParconKey(file.RootCursor(), [&](const std::string& section, ParconCursor meta) {
            if (section != "Meta") {
                return;
            }
            ForEachParconKey(meta, [&](const std::string& key, ParconCursor value) {
                if (key == "Name") {
                    scene.name = MetaValue(value);
                } else if (key == "Type") {
                    scene.type = MetaValue(value);
                } else if (key == "exitForward") {
                    scene.exitForward = MetaValue(value);
                } else if (key == "exitBack") {
                    scene.exitBack = MetaValue(value);
                } else if (key.size() == 13 && key.starts_with("miniGame") &&
                           key.ends_with("Path") && key[8] >= '1' && key[8] <= '6') {
                    scene.miniGamePaths[static_cast<std::size_t>(key[8] - '1')] =
                        MetaValue(value);
                }
            });
        });
        // A scene without a Meta section is a board or a fragment, not a scene to open.
        if (!scene.type.empty()) {
            scenes[layout].push_back(std::move(scene));
        }
    }
}

void DemoStage::Enter(int layout) {
    fs::current_path(root / kLayouts[layout]);
    Files.SetDataFolder("data");
    Files.MountPack("pack.boo");
    StringTable::Load();
    Sounds.LoadDefinitions("sounds.txt");
    LoadFonts();
}

void DemoStage::Leave() {
    ClearScenes();
    for (FontSlot* font : {&MainFont, &MenuFont, &MenuHiFont, &TooltipFont, &CutsceneFont}) {
        font->reset();
    }
    Sounds.FreeSets();
    AnimationCache::Clear();
    TextureManager::PurgeUnused();
}

void DemoStage::ClearScenes() {
    DeleteModalLevel();
    if (GameLevel != nullptr) {
        ObjectsManager::Delete(GameLevel);
        GameLevel = nullptr;
    }
    DeleteAllLayers();
    AnimationCache::Clear();
    TextureManager::PurgeUnused();
}

const DemoScene* DemoStage::Find(int layout, const std::string& path) const {
    for (const DemoScene& scene : scenes[layout]) {
        if (scene.path == path) {
            return &scene;
        }
    }
    return nullptr;
}

const DemoScene* DemoStage::OriginOf(int layout, const DemoScene& location) const {
    const std::string file = fs::path(location.path).filename().string();
    for (const DemoScene& scene : scenes[layout]) {
        if (scene.type == "normal" && (scene.exitForward == file || scene.exitBack == file)) {
            return &scene;
        }
    }
    return location.path == kStartLocation ? nullptr : Find(layout, kStartLocation);
}

const DemoScene& DemoStage::HostOf(int layout, const DemoScene& miniGame) const {
    for (const DemoScene& scene : scenes[layout]) {
        if (scene.IsLocation() && scene.Names(miniGame)) {
            return scene;
        }
    }
    for (const DemoScene& kin : scenes[layout]) {
        if (&kin != &miniGame && kin.type == miniGame.type) {
            for (const DemoScene& scene : scenes[layout]) {
                if (scene.IsLocation() && scene.Names(kin)) {
                    return scene;
                }
            }
        }
    }
    const DemoScene* start = Find(layout, kStartLocation);
    if (start == nullptr) {
        throw std::runtime_error("the demo has no start location");
    }
    return *start;
}

std::unique_ptr<XProcess> DemoStage::OpenLocation(const std::string& path) {
    Sounds.StopAll();
    EnsureLayer(MainUI);
    EnsureLayer(MapGameUI);
    EnsureLevel(GameLevel);
    EnsureLayer(OverlayUI);
    GameLevel->LoadScene(path, true);
    std::unique_ptr<XProcess> process = GameProc::Create();
    FirstPass(*process);
    return process;
}

void DemoStage::FirstPass(XProcess& process) {
    TextureManager::PurgeUnused();
    process.Begin();
    Pass(process);
}

void DemoStage::Pass(XProcess& process) {
    Step(process);
    Draw(process);
}

void DemoStage::Step(XProcess& process) {
    Mouse.Update();
    Keyboard.Update();
    process.Update(kStepTime);
    process.AfterUpdate();
}

void DemoStage::Draw(XProcess& process) {
    DrawFrame(process);
}

void DemoStage::MeasuredPass(XProcess& process, double& stepMs, double& drawMs) {
    const double start = ProcessCpuMs();
    Step(process);
    const double stepped = ProcessCpuMs();
    Draw(process);
    stepMs += stepped - start;
    drawMs += ProcessCpuMs() - stepped;
}

int DemoStage::Nested() const {
    return flow.nested;
}

void DemoStage::ResetNested() {
    flow.nested = 0;
}

void DemoStage::Arm() {
    flow.armed = true;
    flow.seconds = 0.0;
    flow.arrived.clear();
    flow.armedAt = Clock::now();
}

double DemoStage::ArmedSeconds() const {
    return flow.armed ? 0.0 : flow.seconds;
}

const std::string& DemoStage::ArrivedAt() const {
    return flow.arrived;
}
