#include "tests/puzzles/MiniGameHarness.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/Random.h"
#include "engine/Timer.h"
#include "engine/XProcess.h"
#include "game/ConnectGameHooks.h"
#include "game/GameProc.h"
#include "mainloop/AppWindow.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"
#include "tests/media/MediaTestSupport.h"
#include "ui/GameFlow.h"
#include "ui/ModalProcesses.h"
#include "ui/UserInterface.h"
#include "world/NormalLevelSystem.h"
#include "world/WorldServices.h"

#include <cstdlib>

namespace {

using Type = SyntheticEvent::Type;

// Passes between a button or key going down and up again, and after it before the next action:
// a message takes its pass, and the game steps only in passes without one.
constexpr int kHoldPasses = 3;
constexpr int kActionPasses = 8;
constexpr int32_t kOutOfTime = 99;

SyntheticEvent Event(Type type, int key, int x, int y) {
    return SyntheticEvent{type, App.window, key, x, y};
}

void Note(std::optional<int>& at, bool set, int pass) {
    if (set && !at) {
        at = pass;
    }
}

} // namespace

void MiniGameHarness::SetUp() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ResetMedia();
    WorldTest::SetUp();
    UseRecordingGraphics(script);
    Seams().desktop = DesktopMode{1920, 1080, false};
    SetClockSource(&clock);
    FrameTimer.SetRate(60.0);
    // Half a step in, so that whole steps of clock time never land on a step's edge.
    clock.AdvanceSeconds(0.5 / 60.0);
    App.window = CreateAppWindow(1024, 768, false);
    if (App.window == nullptr) {
        GTEST_SKIP() << "no display for a window: the mini-game did not run";
    }
    Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, App.window, true);
    Mouse.SetWindow(App.window);
    // What the system says about the new window is not the test's business.
    for (Message message; PeekMessage(message);) {
    }
    App.active = true;
    ConnectGameHooks();
    Seams().eventSource = [this](std::vector<SyntheticEvent>& handed) { Pump(handed); };
}

void MiniGameHarness::TearDown() {
    ResetSeams();
    // The mini-game covers the game process when it has not run; each pops itself.
    miniGame.reset();
    game.reset();
    while (CurrentProcess != nullptr) {
        delete CurrentProcess;
    }
    ObjectsManager::Delete(ModalLevel);
    ModalLevel = nullptr;
    ObjectsManager::Delete(GameLevel);
    GameLevel = nullptr;
    DeleteAllLayers();
    GamePaused = false;
    InstallMainLoopClient(nullptr);
    ObjectsManager::SetLoadListener(nullptr);
    InstallWorldServices(nullptr);
    InstallGameFlow(nullptr);
    ReleaseAllKeys();
    Keyboard.Reset();
    Mouse = MouseState();
    // The window before the media: their reset forgets the application's window.
    if (App.window != nullptr) {
        DestroyWindow(App.window);
        App.window = nullptr;
    }
    UnregisterWindowClass(kWindowClassName);
    ResetMedia();
    ClearMessages();
    SetClockSource(nullptr);
    WorldTest::TearDown();
}

void MiniGameHarness::WriteMiniGame(const std::string& scenePath, const std::string& sceneText,
                                    const std::string& definitions,
                                    const std::vector<std::string>& sounds) {
    WriteData(scenePath, sceneText);
    WriteData("scripts/objects.txt",
              "(Final\n  (Scenery BaseGameObject (POSI) (SPRT (zOrder -900)))\n" + definitions +
                  "\n)\n");
    WriteData("scripts/ui_objects.txt", "(Final)\n");
    WriteData("menus/game.txt", "(Objects)\n");
    WriteData(std::string("levels/") + kLocation + ".txt",
              std::string("(Meta (Name ") + kLocation + ") (levelPath levels\\" + kLocation +
                  ".txt) (Type normal))\n(Objects (Scenery))\n");
    // The border sparks and the reward's sparks over the HUD.
    for (const char* particles : {"gfx/fx/object_hili3.prt", "gfx/fx/hiddenObject_hili.prt"}) {
        WriteData(particles, "(max_parts 4)\n(flow 0 10)\n");
    }
    std::string sets = "(set global";
    for (const std::string& sound : sounds) {
        WriteData(sound + ".wav", sound);
        sets += " (" + sound + " " + sound + ".wav)";
    }
    WriteData("sounds.txt", sets + ")\n");
    Sounds.LoadDefinitions("sounds.txt");
}

void MiniGameHarness::OpenMiniGame(const std::string& scenePath, uint32_t seed) {
    MakeProfile(0, "Ann");
    // The location and its HUD, as a new game makes them.
    game = GameProc::Create();
    GameLevel->LoadScene(std::string("levels/") + kLocation + ".txt", true);
    SeedRandom(seed);
    miniGame = GameModalProc::Create(scenePath, {});
}

void MiniGameHarness::WriteLocation(const std::string& objects) {
    WriteData(std::string("levels/") + kLocation + ".txt",
              std::string("(Meta (Name ") + kLocation + ") (levelPath levels\\" + kLocation +
                  ".txt) (Type normal))\n(Objects (Scenery)\n" + objects + "\n)\n");
}

void MiniGameHarness::OpenLocation(uint32_t seed) {
    MakeProfile(0, "Ann");
    game = GameProc::Create();
    GameLevel->LoadScene(std::string("levels/") + kLocation + ".txt", true);
    SeedRandom(seed);
}

MiniGameResult MiniGameHarness::RunLocation(int maxPasses) {
    const int32_t energyBefore = CurrentPlayer != nullptr ? CurrentPlayer->GetEnergy() : 0;
    At(maxPasses, [](std::vector<SyntheticEvent>&) {
        for (Level* level : {ModalLevel, GameLevel}) {
            if (level != nullptr) {
                level->state = kOutOfTime;
            }
        }
    });
    EndPopUpsFrom(maxPasses);
    seen = MiniGameResult();
    try {
        seen.word = RunProcess(std::move(game), false);
    } catch (const Exception& error) {
        ADD_FAILURE() << "the location stopped: " << error.Text();
    }
    seen.passes = pumps;
    seen.energyGained = (CurrentPlayer != nullptr ? CurrentPlayer->GetEnergy() : 0) - energyBefore;
    seen.sounds = PlayedFiles();
    return seen;
}

void MiniGameHarness::EndPopUpsFrom(int pass) {
    // A pop-up or dialogue that waits for the player would keep the run going for ever.
    watchers.push_back([this, pass] {
        if (pumps < pass) {
            return;
        }
        for (UserInterface* layer : {TutorialUI, DialogueUI}) {
            if (layer != nullptr) {
                layer->state = kOutOfTime;
            }
        }
    });
}

void MiniGameHarness::At(int pass, std::function<void(std::vector<SyntheticEvent>&)> action) {
    plan.emplace(pass, std::move(action));
}

void MiniGameHarness::Button(int x, int y, int key) {
    Move(x, y);
    At(planned - kActionPasses + 1, [=](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::ButtonDown, key, x, y));
    });
    At(planned - kActionPasses + 1 + kHoldPasses, [=](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::ButtonUp, key, x, y));
    });
}

void MiniGameHarness::Click(int x, int y) {
    Button(x, y, kKeyLeftButton);
}

void MiniGameHarness::RightClick(int x, int y) {
    Button(x, y, kKeyRightButton);
}

void MiniGameHarness::Move(int x, int y) {
    At(planned, [=](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::MouseMove, 0, x, y));
    });
    planned += kActionPasses;
}

void MiniGameHarness::Escape() {
    At(planned, [](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::KeyDown, kKeyEscape, 0, 0));
    });
    At(planned + kHoldPasses, [](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::KeyUp, kKeyEscape, 0, 0));
    });
    planned += kActionPasses;
}

void MiniGameHarness::Stroke(const std::vector<std::pair<int, int>>& points) {
    if (points.empty()) {
        return;
    }
    constexpr int kMovesPerLeg = 6;
    int x = points.front().first;
    int y = points.front().second;
    Move(x, y);
    At(planned, [x, y](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::ButtonDown, kKeyLeftButton, x, y));
    });
    planned += 2;
    for (std::size_t leg = 1; leg < points.size(); ++leg) {
        const int toX = points[leg].first;
        const int toY = points[leg].second;
        for (int move = 1; move <= kMovesPerLeg; ++move) {
            const int atX = x + (toX - x) * move / kMovesPerLeg;
            const int atY = y + (toY - y) * move / kMovesPerLeg;
            At(planned, [atX, atY](std::vector<SyntheticEvent>& events) {
                events.push_back(Event(Type::MouseMove, 0, atX, atY));
            });
            planned += 2;
        }
        x = toX;
        y = toY;
    }
    At(planned, [x, y](std::vector<SyntheticEvent>& events) {
        events.push_back(Event(Type::ButtonUp, kKeyLeftButton, x, y));
    });
    planned += kActionPasses;
}

void MiniGameHarness::Wait(int steps) {
    planned += steps;
}

void MiniGameHarness::HoldItem(const std::string& item) {
    WriteItemArt(item);
    Then([item] {
        if (GameLevel != nullptr && GameLevel->levelSystem != nullptr) {
            GameLevel->levelSystem->HoldItem(item);
        }
    });
}

void MiniGameHarness::Then(std::function<void()> f) {
    At(planned, [f = std::move(f)](std::vector<SyntheticEvent>&) { f(); });
    planned += 1;
}

void MiniGameHarness::Pump(std::vector<SyntheticEvent>& handed) {
    ++pumps;
    clock.AdvanceSeconds(1.0 / 60.0);
    const auto [first, last] = plan.equal_range(pumps);
    for (auto due = first; due != last; ++due) {
        due->second(handed);
    }
    for (const std::function<void()>& watcher : watchers) {
        watcher();
    }
    if (ModalLevel != nullptr) {
        Note(seen.wonAt, ModalLevel->won, pumps);
        Note(seen.returnFlagAt, ModalLevel->returnFlag, pumps);
        Note(seen.leaveArmedAt,
             ModalLevel->levelSystem != nullptr && ModalLevel->levelSystem->leaveArmed, pumps);
    }
}

MiniGameResult MiniGameHarness::Run(int maxPasses) {
    const int32_t energyBefore = CurrentPlayer != nullptr ? CurrentPlayer->GetEnergy() : 0;
    // A game that never ends is stopped with a word no game gives.
    At(maxPasses, [](std::vector<SyntheticEvent>&) {
        if (ModalLevel != nullptr) {
            ModalLevel->state = kOutOfTime;
        }
    });
    EndPopUpsFrom(maxPasses);
    seen = MiniGameResult();
    try {
        seen.word = RunProcess(std::move(miniGame), false);
    } catch (const Exception& error) {
        ADD_FAILURE() << "the mini-game stopped: " << error.Text();
    }
    seen.passes = pumps;
    seen.energyGained = (CurrentPlayer != nullptr ? CurrentPlayer->GetEnergy() : 0) - energyBefore;
    seen.sounds = PlayedFiles();
    return seen;
}
