#include "engine/Application.h"
#include "engine/Exception.h"
#include "engine/MouseState.h"
#include "engine/Timer.h"
#include "engine/profile.h"
#include "mainloop/MainLoop.h"
#include "media/TextureManager.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "tests/mainloop/LoopFixture.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using Type = SyntheticEvent::Type;

// ---------------------------------------------------------------------------------------------
// Steps and frames

class StepsDue : public LoopTest, public testing::WithParamInterface<bool> {};

TEST_P(StepsDue, StepsFollowTheClockAndFramesFollowTheSteps) {
    const bool renderEveryPass = GetParam();
    stepsPerPump = {1, 0, 3, 0, 2};
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [](TestProcess& self, int step) {
        if (step == 6) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), renderEveryPass);
    const Strings drawnOnEveryPass = {"pump",     "a.Update", "a.Render", "pump",
                                      "a.Render", "pump",     "a.Update", "a.Update",
                                      "a.Update", "a.Render", "pump",     "a.Render",
                                      "pump",     "a.Update", "a.Update", "pump"};
    // A pass with no step due and no message rests until the next step's edge (half a step,
    // 8.3 ms, rounded up) instead of looking into the queue again at once.
    const Strings drawnAfterSteps = {
        "pump",     "a.Update", "a.Render", "pump",   "wait 9", "pump",     "a.Update", "a.Update",
        "a.Update", "a.Render", "pump",     "wait 9", "pump",   "a.Update", "a.Update", "pump"};
    EXPECT_EQ(Only({"pump", "a.Update", "a.Render", "wait 9"}),
              renderEveryPass ? drawnOnEveryPass : drawnAfterSteps);
}

INSTANTIATE_TEST_SUITE_P(RenderEveryPass, StepsDue, testing::Bool());

TEST_F(LoopTest, EveryStepIsASixtiethAndEveryFrameHasItsStagesInOrder) {
    LogCapture log;
    App.showFps = true;
    auto process = std::make_unique<TestProcess>("b");
    std::vector<float> times;
    process->onUpdate = [&](TestProcess& self, int step) {
        times.push_back(self.stepTimes.back());
        if (step == 3) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), false);
    EXPECT_EQ(times, (std::vector<float>(3, 1.0f / 60.0f)));
    EXPECT_EQ(times[0], 0.016666668f);
    EXPECT_EQ(Only({"b.Update", "b.AfterUpdate", "b.PreRender", "b.Render", "b.PostRender"}),
              (Strings{"b.Update", "b.AfterUpdate", "b.PreRender", "b.Render", "b.PostRender",
                       "b.Update", "b.AfterUpdate", "b.PreRender", "b.Render", "b.PostRender",
                       "b.Update", "b.AfterUpdate"}));
    const Strings frame = {"Clear 3 00000000 1.0 0", "BeginScene", "EndScene", "Present"};
    Strings drawing;
    for (const std::string& call : script.calls) {
        if (std::find(frame.begin(), frame.end(), call) != frame.end() ||
            call.starts_with("DrawText")) {
            drawing.push_back(call.starts_with("DrawText") ? "DrawText" : call);
        }
    }
    EXPECT_EQ(drawing,
              (Strings{"Clear 3 00000000 1.0 0", "BeginScene", "DrawText", "EndScene", "Present",
                       "Clear 3 00000000 1.0 0", "BeginScene", "DrawText", "EndScene", "Present"}));
    EXPECT_EQ(script.texts.front(), "0") << "the frame rate before it was first measured";

    ProfilePrint();
    for (const char* tag :
         {"main_update", "main_render", "main_render_clear_buffer", "main_render_begin_drawing",
          "main_render_proc_render", "main_render_post_render", "main_render_present"}) {
        EXPECT_NE(log.Text().find(std::string("\"") + tag + "\""), std::string::npos) << tag;
    }
}

TEST_F(LoopTest, ProcessEndingInItsFirstStepIsNeverDrawnEndsOnceAndIsDeleted) {
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [](TestProcess& self, int) {
        self.state = 0;
        self.result = 7;
    };
    process->onEnd = [](TestProcess& self) { self.result = 99; };
    EXPECT_EQ(RunProcess(std::move(process), true), 7) << "the result as it was before End";
    EXPECT_EQ(Only({"a.Begin", "a.Update", "a.AfterUpdate", "a.PreRender", "a.Render",
                    "a.PostRender", "a.End", "a.deleted"}),
              (Strings{"a.Begin", "a.Update", "a.AfterUpdate", "a.End", "a.deleted"}));
    EXPECT_EQ(CountCalls("Present"), 0);
    EXPECT_EQ(CurrentProcess, nullptr);
    EXPECT_EQ(RunningProcess, nullptr);
    EXPECT_TRUE(Mouse.suppress);
}

TEST_F(LoopTest, NullProcessReturnsZeroAtOnce) {
    EXPECT_EQ(RunProcess(nullptr, false), 0);
    EXPECT_EQ(pumps, 0);
}

TEST_F(LoopTest, DeviceThatIsNotReadyDrawsNothingThatPass) {
    script.cooperativeLevelResults = {kGfxDeviceLost};
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [](TestProcess& self, int step) {
        if (step == 3) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), false);
    EXPECT_EQ(Only({"a.Update", "a.Render"}),
              (Strings{"a.Update", "a.Update", "a.Render", "a.Update"}));
}

TEST_F(LoopTest, SkipPresentFlagSkipsOnePresentAndIsCleared) {
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [](TestProcess& self, int step) {
        if (step == 1) {
            self.flag = 1;
        }
        if (step == 2) {
            EXPECT_EQ(self.flag, 0);
        }
        if (step == 3) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), false);
    EXPECT_EQ(Only({"a.Render"}).size(), 2u);
    EXPECT_EQ(CountCalls("Present"), 1);
}

// ---------------------------------------------------------------------------------------------
// Nested processes

TEST_F(LoopTest, NestedProcessReturnsItsResultToTheOneBelow) {
    auto outer = std::make_unique<TestProcess>("outer");
    outer->onUpdate = [](TestProcess& self, int step) {
        if (step == 1) {
            auto inner = std::make_unique<TestProcess>("inner");
            inner->onUpdate = [](TestProcess& own, int) {
                EXPECT_EQ(RunningProcess, &own);
                EXPECT_EQ(CurrentProcess, &own);
                own.result = 5;
                own.state = 0;
            };
            EXPECT_EQ(RunProcess(std::move(inner), false), 5);
            EXPECT_EQ(RunningProcess, nullptr) << "not the outer process again";
            EXPECT_EQ(CurrentProcess, &self);
        } else {
            self.state = 0;
        }
    };
    EXPECT_EQ(RunProcess(std::move(outer), false), 0);
    EXPECT_EQ(Only({"outer.Suspend", "inner.Begin", "inner.End", "inner.deleted", "outer.Resume",
                    "outer.End", "outer.deleted"}),
              (Strings{"outer.Suspend", "inner.Begin", "inner.End", "inner.deleted", "outer.Resume",
                       "outer.End", "outer.deleted"}));
}

struct UnwindCase {
    const char* name;
    bool quit; // the inner process posts the quit message, else it throws an Exception
};

class Unwinding : public LoopTest, public testing::WithParamInterface<UnwindCase> {};

TEST_P(Unwinding, NestedProcessesAreEndedAndDeletedInnerToOuter) {
    const bool quit = GetParam().quit;
    auto outer = std::make_unique<TestProcess>("outer");
    outer->onUpdate = [quit](TestProcess&, int step) {
        if (step != 1) {
            return;
        }
        auto middle = std::make_unique<TestProcess>("middle");
        middle->onUpdate = [quit](TestProcess&, int) {
            auto inner = std::make_unique<TestProcess>("inner");
            inner->onUpdate = [quit](TestProcess&, int innerStep) {
                if (innerStep != 2) {
                    return;
                }
                if (quit) {
                    PostQuitMessage(0);
                } else {
                    throw Exception("broken");
                }
            };
            RunProcess(std::move(inner), false);
            ADD_FAILURE() << "the inner loop never returns";
        };
        RunProcess(std::move(middle), false);
        ADD_FAILURE() << "the middle loop never returns";
    };
    if (quit) {
        EXPECT_THROW(RunProcess(std::move(outer), false), ExceptionQuit);
    } else {
        EXPECT_THROW(RunProcess(std::move(outer), false), Exception);
    }
    EXPECT_EQ(Only({"inner.End", "inner.deleted", "middle.Resume", "middle.End", "middle.deleted",
                    "outer.Resume", "outer.End", "outer.deleted"}),
              (Strings{"inner.End", "inner.deleted", "middle.Resume", "middle.End",
                       "middle.deleted", "outer.Resume", "outer.End", "outer.deleted"}));
    EXPECT_EQ(CurrentProcess, nullptr);
    EXPECT_EQ(RunningProcess, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Throws, Unwinding,
                         testing::Values(UnwindCase{"quit", true}, UnwindCase{"error", false}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(LoopTest, ProcessWhoseEndThrowsIsStillDeleted) {
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [](TestProcess& self, int) { self.state = 0; };
    process->onEnd = [](TestProcess&) { throw Exception("cannot end"); };
    EXPECT_THROW(RunProcess(std::move(process), false), Exception);
    EXPECT_EQ(Only({"a.End", "a.deleted"}), (Strings{"a.End", "a.deleted"}));
    EXPECT_EQ(CurrentProcess, nullptr);
}

TEST_F(LoopTest, ClickThatEndedAProcessIsNotSeenByTheOneBelow) {
    Strings seen; // the outer process's left button, step by step
    auto outer = std::make_unique<TestProcess>("outer");
    outer->onUpdate = [&](TestProcess& self, int step) {
        if (step == 1) {
            auto inner = std::make_unique<TestProcess>("inner");
            inner->onUpdate = [&](TestProcess& own, int innerStep) {
                if (innerStep == 1) {
                    Next(Event(Type::ButtonDown, kKeyLeftButton, 10, 10));
                }
                if (Mouse.leftPressed) {
                    own.state = 0;
                }
            };
            RunProcess(std::move(inner), false);
            return;
        }
        seen.push_back(Mouse.leftPressed ? "pressed" : Mouse.leftHeld ? "held" : "up");
        if (step == 3) {
            Next(Event(Type::ButtonUp, kKeyLeftButton, 10, 10));
        }
        if (step == 5) {
            Next(Event(Type::ButtonDown, kKeyLeftButton, 10, 10));
        }
        if (Mouse.leftPressed) {
            self.state = 0;
        }
    };
    RunProcess(std::move(outer), false);
    EXPECT_EQ(seen, (Strings{"up", "up", "up", "up", "pressed"}));
}

// ---------------------------------------------------------------------------------------------
// In the background

struct InactiveCase {
    const char* name;
    bool gamePaused;
};

class InactiveWindow : public LoopTest, public testing::WithParamInterface<InactiveCase> {};

TEST_P(InactiveWindow, SleepsAndRedrawsThePictureWithoutSteps) {
    GamePaused = GetParam().gamePaused;
    ASSERT_TRUE(TextureManager::CreateTexture(PausePicture, 256, 128, false));
    const int pauseTexture = RecordedTextureId(PausePicture.Texture());
    TestLoopClient.onCursor = [](float x, float y) {
        Calls.push_back("cursor " + std::to_string(static_cast<int>(x)) + " " +
                        std::to_string(static_cast<int>(y)));
    };
    int lostAt = 0;
    std::vector<int> pumpOfStep;
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [&](TestProcess& self, int step) {
        pumpOfStep.push_back(pumps);
        if (step == 1) {
            Next(Event(Type::MouseMove, 0, 40, 50));
        }
        if (step == 2) {
            lostAt = pumps + 1;
            Next(Event(Type::FocusLost));
            // Five passes in the background, during which the clock goes on.
            At(lostAt + 5, Event(Type::FocusGained));
        }
        if (step == 5) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), false);

    // Focus lost: the two messages take two passes, then the background passes sleep and draw
    // until the focus comes back (two messages again).
    EXPECT_EQ(sleeps, (std::vector<uint32_t>(3, 50)));
    const Strings background =
        GamePaused ? Strings{"a.PreRender", "a.Render", "a.PostRender"}
                   : Strings{"a.PreRender", "a.Render", "a.PostRender", "cursor 40 50"};
    Strings expected;
    for (int pass = 0; pass < 3; ++pass) {
        expected.push_back("pump");
        expected.insert(expected.end(), background.begin(), background.end());
    }
    Strings inBackground;
    int pump = 0;
    for (const std::string& call : Calls) {
        pump += call == "pump" ? 1 : 0;
        if (pump >= lostAt + 2 && pump <= lostAt + 4) {
            inBackground.push_back(call);
        }
    }
    EXPECT_EQ(inBackground, expected);

    int pauseDraws = 0;
    for (const RecordedDraw& draw : script.draws) {
        if (draw.texture == pauseTexture) {
            ++pauseDraws;
            EXPECT_EQ(draw.vertices[0].x, 383.5f);
            EXPECT_EQ(draw.vertices[0].y, 319.5f);
            EXPECT_EQ(draw.vertices[2].x, 639.5f);
            EXPECT_EQ(draw.vertices[2].y, 447.5f);
            EXPECT_EQ(draw.vertices[0].z, 900.0f);
        }
    }
    EXPECT_EQ(pauseDraws, GamePaused ? 0 : 3);
    EXPECT_EQ(CountCalls("SetRenderState ZFunc 8"), GamePaused ? 0 : 3);
    EXPECT_EQ(CountCalls("SetRenderState ZFunc 4"), GamePaused ? 0 : 3);
    EXPECT_EQ(CountCalls("Present"), 3 + 3) << "three frames in front, three behind";
    EXPECT_EQ(audio.Calls(), (Strings{"Open", "Pause", "Start"}));
    EXPECT_FALSE(App.deviceLost) << "a window in the background keeps its device";
    // Back in front, the time spent behind is not made up: one step per pass again.
    ASSERT_EQ(pumpOfStep.size(), 5u);
    EXPECT_EQ(pumpOfStep[3] + 1, pumpOfStep[4]);
    EXPECT_EQ(pumpOfStep[3], lostAt + 7);
}

INSTANTIATE_TEST_SUITE_P(Pause, InactiveWindow,
                         testing::Values(InactiveCase{"pausePicture", false},
                                         InactiveCase{"gamePaused", true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(LoopTest, FullScreenInTheBackgroundDrawsNothingAndIsRebuiltOnReturn) {
    OpenGameWindow(true);
    Window* const first = App.window;
    auto process = std::make_unique<TestProcess>("a");
    int lostAt = 0;
    process->onUpdate = [&](TestProcess& self, int step) {
        if (step == 1) {
            lostAt = pumps + 1;
            Next(Event(Type::FocusLost));
            At(lostAt + 5, Event(Type::FocusGained));
        }
        if (step == 2) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), false);
    EXPECT_EQ(sleeps, (std::vector<uint32_t>(3, 50)));
    EXPECT_EQ(Only({"a.Render", "a.DeviceLost", "a.DeviceRestored"}),
              (Strings{"a.Render", "a.DeviceLost", "a.DeviceRestored"}));
    EXPECT_EQ(CountCalls("Present"), 1);
    EXPECT_NE(App.window, first);
    EXPECT_TRUE(App.window->IsFullScreen());
    EXPECT_FALSE(App.deviceLost);
    EXPECT_TRUE(App.fullScreen);
}

// ---------------------------------------------------------------------------------------------
// Rebuild

TEST_F(LoopTest, LostDeviceRebuildsWindowAndDeviceInOrder) {
    ASSERT_TRUE(TextureManager::CreateTexture(PausePicture, 256, 128, false));
    TestLoopClient.onReleaseFonts = [] { Calls.emplace_back("fonts.release"); };
    TestLoopClient.onRestoreFonts = [] { Calls.emplace_back("fonts.restore"); };
    script.presentResults = {kGfxDeviceLost};
    Window* const first = App.window;
    auto process = std::make_unique<TestProcess>("a");
    process->onDeviceLost = [&](TestProcess&) {
        EXPECT_EQ(PausePicture.Texture(), nullptr) << "textures go first";
        EXPECT_EQ(script.devicesAlive, 1) << "then the process, while the device still lives";
        EXPECT_EQ(App.window, first);
        EXPECT_EQ(audio.Calls(), Strings{"Open"}) << "the sound is paused after the process";
    };
    process->onDeviceRestored = [&](TestProcess&) {
        EXPECT_NE(App.window, first);
        EXPECT_TRUE(App.window->IsVisible());
        EXPECT_FALSE(App.window->IsFullScreen());
        EXPECT_EQ(script.devicesAlive, 1);
        EXPECT_NE(PausePicture.Texture(), nullptr) << "textures are back first";
        EXPECT_EQ(audio.Calls().back(), "Pause") << "the sound comes back last";
        EXPECT_FALSE(App.deviceLost);
    };
    process->onUpdate = [](TestProcess& self, int step) {
        if (step == 3) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), false);
    EXPECT_EQ(Only({"a.Update", "a.Render", "fonts.release", "a.DeviceLost", "fonts.restore",
                    "a.DeviceRestored"}),
              (Strings{"a.Update", "a.Render", "fonts.release", "a.DeviceLost", "fonts.restore",
                       "a.DeviceRestored", "a.Update", "a.Render", "a.Update"}));
    EXPECT_EQ(audio.Calls(), (Strings{"Open", "Pause", "Start"}));
    EXPECT_TRUE(Seams().messageBoxesShown.empty());
}

TEST_F(LoopTest, FullScreenSwitchRebuildsInTheOtherMode) {
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [](TestProcess& self, int step) {
        if (step == 1) {
            App.toggleFullScreen = true;
        }
        if (step == 2) {
            self.state = 0;
        }
    };
    RunProcess(std::move(process), false);
    EXPECT_EQ(Only({"a.DeviceLost", "a.DeviceRestored"}),
              (Strings{"a.DeviceLost", "a.DeviceRestored"}));
    EXPECT_TRUE(App.fullScreen);
    EXPECT_FALSE(App.toggleFullScreen);
    EXPECT_TRUE(App.window->IsFullScreen());
    ASSERT_FALSE(script.deviceAttempts.empty());
    EXPECT_FALSE(script.deviceAttempts.back().windowed);
}

TEST_F(LoopTest, RebuildGoesOnPastAWindowThatCannotBeReleased) {
    DestroyWindow(App.window);
    App.window = nullptr; // the handle is gone already
    App.deviceLost = true;
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [](TestProcess& self, int) { self.state = 0; };
    RunProcess(std::move(process), false);
    EXPECT_EQ(Seams().messageBoxesShown, (Strings{"SHUTDOWN ERROR: Could Not Release hWnd."}));
    EXPECT_NE(App.window, nullptr);
    EXPECT_EQ(Only({"a.DeviceRestored", "a.Update"}), (Strings{"a.DeviceRestored", "a.Update"}));
}

TEST_F(LoopTest, FailedRebuildEndsTheRunWithAnException) {
    script.createDeviceResults = {kGfxNotAvailable, kGfxNotAvailable, kGfxNotAvailable};
    App.deviceLost = true;
    auto process = std::make_unique<TestProcess>("a");
    EXPECT_THROW(RunProcess(std::move(process), false), Exception);
    EXPECT_EQ(Only({"a.DeviceLost", "a.DeviceRestored", "a.End", "a.deleted"}),
              (Strings{"a.DeviceLost", "a.End", "a.deleted"}));
}

// ---------------------------------------------------------------------------------------------
// Close requests

struct CloseCase {
    const char* name;
    bool fullScreen;
    bool inBackground;
    MessageBoxAnswer answer;
    bool asked;
    bool quits; // the profile is saved and the run ends
    Type request = Type::Close;
};

class CloseRequest : public LoopTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseRequest, EndsTheRunOnlyWhenAgreedOrInTheBackground) {
    const CloseCase& c = GetParam();
    if (c.fullScreen) {
        OpenGameWindow(true);
    }
    Seams().messageBoxAnswer = c.answer;
    int saved = 0;
    TestLoopClient.onSave = [&] { ++saved; };
    auto process = std::make_unique<TestProcess>("a");
    process->onUpdate = [&](TestProcess& self, int step) {
        if (step == 1) {
            if (c.inBackground) {
                Next(Event(Type::FocusLost));
                At(pumps + 8, Event(Type::FocusGained)); // for a request that is ignored
            }
            Next(Event(c.request));
        }
        if (step == 2) {
            self.state = 0;
        }
    };
    if (c.quits) {
        EXPECT_THROW(RunProcess(std::move(process), false), ExceptionQuit);
    } else {
        EXPECT_NO_THROW(RunProcess(std::move(process), false));
    }
    EXPECT_EQ(saved, c.quits ? 1 : 0);
    EXPECT_EQ(Seams().messageBoxesShown, c.asked ? Strings{"Quit: Exit to Windows?"} : Strings{});
    EXPECT_EQ(Only({"a.End", "a.deleted"}), (Strings{"a.End", "a.deleted"}));
    EXPECT_NE(App.window, nullptr) << "the window goes only with a rebuild or the program";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloseRequest,
    testing::Values(CloseCase{"windowYes", false, false, MessageBoxAnswer::Yes, true, true},
                    CloseCase{"windowNo", false, false, MessageBoxAnswer::No, true, false},
                    CloseCase{"fullScreen", true, false, MessageBoxAnswer::Yes, false, false},
                    CloseCase{"windowInBackground", false, true, MessageBoxAnswer::No, false, true},
                    CloseCase{"fullScreenInBackground", true, true, MessageBoxAnswer::No, false,
                              true},
                    // A terminate or interrupt signal: nobody may be there to answer.
                    CloseCase{"signalInWindow", false, false, MessageBoxAnswer::No, false, true,
                              Type::Terminate},
                    CloseCase{"signalInFullScreen", true, false, MessageBoxAnswer::No, false, true,
                              Type::Terminate},
                    CloseCase{"signalInBackground", false, true, MessageBoxAnswer::No, false, true,
                              Type::Terminate}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
