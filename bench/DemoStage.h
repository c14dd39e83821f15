#pragma once

#include "platform/audio/RecordingAudio.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class Window;
class XProcess;

// One scene of the demo as its file's Meta section gives it.
struct DemoScene {
    std::string path;     // "levels/name.txt"
    std::string name;     // "Name"
    std::string type;     // "Type": "normal" for a location, "map" for the world map
    std::string exitForward;
    std::string exitBack;
    std::array<std::string, 6> miniGamePaths; // "miniGame1Path" .. "miniGame6Path", as written
    std::string text;     // the whole file, to find the scenes it names elsewhere

    // A location the player walks through (the world map among them); every other Type is a
    // mini-game opened over a location.
    bool IsLocation() const { return type == "normal" || type == "map"; }
    // The scene file names the other scene (as "levels\name.txt" or "levels/name.txt").
    bool Names(const DemoScene& other) const;
};

// The demo game folder in two layouts, every file under "data/" ("folder") and every file in
// "pack.boo" ("pack"), with what the game has made before a location or a mini-game opens: the
// window on the real OpenGL device (headless unless a video driver is chosen), the sound layer,
// the game's hooks, the menu's fonts, strings and sound sets, and a new profile, so that each
// scene load writes the save game as it does for a player. Made once, on the first use.
class DemoStage {
public:
    static constexpr const char* kLayouts[] = {"folder", "pack"};
    // The location the main menu's "Play" starts.
    static constexpr const char* kStartLocation = "levels/z1-wood-glyphstone.txt";

    static DemoStage& Get();

    // Empty when the stage is ready; otherwise why not, for SkipWithError.
    const std::string& Failure() const { return failure; }
    // The scenes of the layout, read through the file layer from that layout's own files, in
    // name order.
    const std::vector<DemoScene>& Scenes(int layout) const { return scenes[layout]; }
    static const char* LayoutLabel(int layout) {
        return layout == 0 ? "from data/" : "from pack.boo";
    }

    // The layout's game folder becomes the current one, with what the menu has loaded.
    void Enter(int layout);
    // The scenes and layers go, and every picture and animation with them, so that the next
    // load reads and decodes its files again.
    void Leave();
    // Deletes the game level, the mini-game level and every layer, and empties the caches; the
    // processes on them are gone before.
    static void ClearScenes();

    // What leads the player to the location: the location whose exit names it; else the start
    // location (the world map's travel buttons reach the others), or null for the start location
    // itself, which only the main menu's "Play" opens.
    const DemoScene* OriginOf(int layout, const DemoScene& location) const;
    // The location a mini-game opens over: the one that names it, else the one over which a
    // mini-game of the same Type opens (a game opened by an object's code), else the start
    // location.
    const DemoScene& HostOf(int layout, const DemoScene& miniGame) const;
    const DemoScene* Find(int layout, const std::string& path) const;

    // A game process on the location, stepped and drawn once, as the player sees it arrive.
    static std::unique_ptr<XProcess> OpenLocation(const std::string& path);

    // The first pass of the main loop for a process that has just been made, as RunProcess runs
    // it: the unused pictures purged, Begin, one step and one frame.
    static void FirstPass(XProcess& process);
    // One pass of the main loop after that: one step and one frame.
    static void Pass(XProcess& process);
    // The two halves of a pass: the step (the input read, Update and AfterUpdate), and the frame
    // drawn, presented and finished by the software rasteriser.
    static void Step(XProcess& process);
    static void Draw(XProcess& process);
    // A pass whose halves' CPU time of the whole process (every thread of the rasteriser
    // included) is added to the two sums, in milliseconds.
    static void MeasuredPass(XProcess& process, double& stepMs, double& drawMs);

    // The flow's count of processes that a step asked to run nested (a dialogue, a tutorial):
    // they are begun and ended at once, since nothing would answer them here.
    int Nested() const;
    void ResetNested();
    // The next game process the flow runs makes its first pass and stops the clock then, as a
    // location reached by an exit is seen; the time from Arm to that frame, in seconds.
    void Arm();
    double ArmedSeconds() const;
    // The Name of the location that armed first pass showed.
    const std::string& ArrivedAt() const;

    ~DemoStage();
    DemoStage(const DemoStage&) = delete;
    DemoStage& operator=(const DemoStage&) = delete;

private:
    DemoStage();
    void MakeLayouts();
    void ReadScenes(int layout);

    std::filesystem::path root;
    std::filesystem::path previous;
    Window* window = nullptr;
    RecordingAudio audio;
    std::string failure;
    std::array<std::vector<DemoScene>, 2> scenes;
};

// The benchmarks of the demo's scenes, registered once the stage has listed them.
void RegisterLocationBenchmarks(DemoStage& stage);
void RegisterMiniGameBenchmarks(DemoStage& stage);
