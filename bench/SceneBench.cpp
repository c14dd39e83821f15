#include "engine/ClassFactory.h"
#include "engine/CollisionsSystem.h"
#include "engine/FileSystem.h"
#include "engine/MessageSystem.h"
#include "engine/Object.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr int kObjects = 2000;
constexpr int kDefinitions = 40;

// A scene object with a little state of its own, as a typical scene object has.
class BenchObject : public Object, public OCreator<BenchObject> {
public:
    static constexpr std::string_view kClassName = "BenchObject";

    explicit BenchObject(ObjectsManager* owner) : Object(owner) { SetCreator(this, 0, 0); }

    void SetProperty(const ParconCursor& cursor) override {
        ParconCursor element = cursor;
        while (element.Next()) {
            if (const std::optional<ParconList> list = element.GetList()) {
                ParconCursor key(list, 0);
                if (key.GetListName() == "speed") {
                    speed = key.NextFloat(true, 0.0f);
                } else if (key.GetListName() == "label") {
                    label = key.NextString(true, "");
                }
            }
        }
    }

    bool Update(float dt) override {
        elapsed += dt * speed;
        return !dead;
    }

private:
    float speed = 0.0f;
    float elapsed = 0.0f;
    std::string label;
};

// A game folder with a definitions file of kDefinitions final definitions on one base, and a
// scene file of kObjects entries that use them, each placing its object.
class SceneFiles {
public:
    SceneFiles() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvex-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        std::filesystem::create_directories("data/scripts");
        std::filesystem::create_directories("data/levels");
        std::ofstream definitions("data/scripts/objects.txt");
        definitions << "(Base\n  (Common BenchObject (POSI)\n"
                       "    (COLI (left -16) (right 16) (top -16) (bottom 16) (StoreList left))\n"
                       "    (Data (speed 1) (label common))))\n(Final\n";
        for (int i = 0; i < kDefinitions; ++i) {
            definitions << "  (Thing" << i << " Common (Data (speed " << i % 7 + 1
                        << ") (label \"thing " << i << "\")) (Name T" << i << ")"
                        << " (enableFlag thing" << i << "_enabled))\n";
        }
        definitions << ")\n";
        std::ofstream scene("data/levels/bench.txt");
        scene << "(Meta (Name bench) (Type normal))\n(Objects\n";
        for (int i = 0; i < kObjects; ++i) {
            scene << "  (Thing" << i % kDefinitions << " (POSI (position " << (i * 37) % 1024 << " "
                  << (i * 53) % 768 << ")))\n";
        }
        scene << ")\n";
        Files.SetDataFolder("data");
        static const Registerer<BenchObject> registrar;
    }
    ~SceneFiles() {
        std::error_code error;
        std::filesystem::current_path(previous, error);
        std::filesystem::remove_all(folder, error);
    }

private:
    std::string folder;
    std::filesystem::path previous;
};

// A scene with the systems of a screen that has no renderer, and the definitions loaded.
std::unique_ptr<ObjectsManager> MakeScene() {
    auto scene = std::make_unique<ObjectsManager>();
    scene->AddSystem(std::make_unique<PositionSystem>(scene.get()));
    scene->AddSystem(std::make_unique<CollisionsSystem>(scene.get()));
    scene->AddSystem(std::make_unique<MessageSystem>(scene.get()));
    scene->LoadDefinitions("scripts/objects.txt");
    return scene;
}

// Reports the time per object of the scene.
void PerObject(benchmark::State& state) {
    state.counters["per_object"] = benchmark::Counter(
        kObjects, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A new scene, its definitions file read, its scene file of 2,000 objects loaded, then freed.
void BM_SceneCreateAndLoad(benchmark::State& state) {
    const SceneFiles files;
    for (auto _ : state) {
        std::unique_ptr<ObjectsManager> scene = MakeScene();
        scene->LoadScene("levels/bench.txt", false);
        benchmark::DoNotOptimize(scene->Objects().data());
    }
    PerObject(state);
}
BENCHMARK(BM_SceneCreateAndLoad)->Unit(benchmark::kMillisecond);

// The scene file loaded again into a scene that holds it already (cleared first).
void BM_SceneReload(benchmark::State& state) {
    const SceneFiles files;
    std::unique_ptr<ObjectsManager> scene = MakeScene();
    scene->LoadScene("levels/bench.txt", true);
    for (auto _ : state) {
        scene->LoadScene("levels/bench.txt", true);
    }
    PerObject(state);
}
BENCHMARK(BM_SceneReload)->Unit(benchmark::kMillisecond);

// One update step of the 2,000 objects, with the removal of the dead that follows it.
void BM_SceneUpdate(benchmark::State& state) {
    const SceneFiles files;
    std::unique_ptr<ObjectsManager> scene = MakeScene();
    scene->LoadScene("levels/bench.txt", false);
    for (auto _ : state) {
        scene->Update(1.0f / 60.0f);
        scene->RemoveDead();
    }
    PerObject(state);
}
BENCHMARK(BM_SceneUpdate)->Unit(benchmark::kMicrosecond);

// One drawing pass of the 2,000 objects (pre-render, render, post-render).
void BM_SceneDraw(benchmark::State& state) {
    const SceneFiles files;
    std::unique_ptr<ObjectsManager> scene = MakeScene();
    scene->LoadScene("levels/bench.txt", false);
    for (auto _ : state) {
        scene->PreRender();
        scene->Render();
        scene->PostRender();
    }
    PerObject(state);
}
BENCHMARK(BM_SceneDraw)->Unit(benchmark::kMicrosecond);

} // namespace
