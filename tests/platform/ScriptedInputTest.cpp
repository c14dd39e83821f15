#include "platform/os/ScriptedInput.h"

#include "platform/os/Clock.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"
#include "platform/os/Seams.h"
#include "platform/os/Window.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Type = SyntheticEvent::Type;

// "PASS type key x y" for each event.
std::vector<std::string> Describe(const std::vector<ScriptedEvent>& events) {
    static const char* const kTypes[] = {"keydown", "keyup", "down",    "up",    "move",
                                         "wheel",   "focus", "unfocus", "leave", "close"};
    std::vector<std::string> lines;
    for (const ScriptedEvent& scripted : events) {
        std::ostringstream line;
        line << scripted.pass << " " << kTypes[static_cast<int>(scripted.event.type)] << " "
             << scripted.event.key << " " << scripted.event.x << " " << scripted.event.y;
        lines.push_back(line.str());
    }
    return lines;
}

std::vector<std::string> Parsed(const std::string& script) {
    std::vector<ScriptedEvent> events;
    std::string error;
    EXPECT_TRUE(ParseInputScript(script, events, error)) << error;
    return Describe(events);
}

TEST(ScriptedInputTest, EachKindOfLineGivesItsEvents) {
    struct Case {
        std::string script;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"5 move 10 20", {"5 move 0 10 20"}},
        {"5 down 1 2\n6 up 3 4", {"5 down 1 1 2", "6 up 1 3 4"}},
        {"5 rdown 1 2\n6 rup 1 2", {"5 down 2 1 2", "6 up 2 1 2"}},
        // The button stays down long enough for a step to see it.
        {"5 click 10 20", {"5 move 0 10 20", "5 down 1 10 20", "9 up 1 10 20"}},
        {"3 key enter", {"3 keydown 13 0 0", "7 keyup 13 0 0"}},
        {"3 keydown a\n4 keyup 7\n5 keydown f4",
         {"3 keydown 65 0 0", "4 keyup 55 0 0", "5 keydown 115 0 0"}},
        {"2 type Ab 1",
         {"2 keydown 65 0 0", "6 keyup 65 0 0", "10 keydown 66 0 0", "14 keyup 66 0 0",
          "18 keydown 32 0 0", "22 keyup 32 0 0", "26 keydown 49 0 0", "30 keyup 49 0 0"}},
        {"1 wheel -2", {"1 wheel 0 0 -2"}},
        {"4 focus-lost\n5 focus-gained\n6 leave\n7 close",
         {"4 unfocus 0 0 0", "5 focus 0 0 0", "6 leave 0 0 0", "7 close 0 0 0"}},
        // Comments, blank lines, CR LF; events sorted by pass, a pass's events in line order.
        {"# a session\r\n\r\n9 move 1 1\r\n  # indented\n2 move 2 2\n2 move 3 3\n",
         {"2 move 0 2 2", "2 move 0 3 3", "9 move 0 1 1"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parsed(c.script), c.events) << c.script;
    }
}

TEST(ScriptedInputTest, ALineItCannotReadIsRefusedWithItsNumber) {
    const char* const scripts[] = {
        "x move 1 2", "0 move 1 2",  "1 move 1",          "1 move 1 2 3", "1 move a b",
        "1 jump",     "1 key",       "1 key f99",         "1 key 256",    "1 type a!b",
        "1 wheel",    "1 close now", "1 move 99999 1",    "-5 move 1 2",  "99999999999999 move 1 2",
        "1 seed",     "1 seed -1",   "1 seed 4294967296", "1 seed 7 8",   "1 seed x",
    };
    for (const char* line : scripts) {
        std::vector<ScriptedEvent> events = {ScriptedEvent{}};
        std::string error;
        const std::string script = std::string("1 move 0 0\n# fine so far\n") + line + "\n";
        EXPECT_FALSE(ParseInputScript(script, events, error)) << line;
        EXPECT_THAT(error, HasSubstr("line 3: ")) << line;
        EXPECT_EQ(events.size(), 1u) << "untouched on failure: " << line;
    }
}

class ScriptedRunTest : public testing::Test {
protected:
    void SetUp() override {
        ResetSeams();
        ClearMessages();
    }
    void TearDown() override {
        ResetSeams();
        SetClockSource(nullptr);
        ClearMessages();
    }

    // One look into the queue; the ids of the messages it finds (with keysOnly, only the key
    // messages: the system may still be telling of the window).
    std::vector<uint32_t> Pump(bool keysOnly = false) {
        std::vector<uint32_t> ids;
        for (Message message; PeekMessage(message);) {
            if (!keysOnly || message.id == kMessageKeyDown || message.id == kMessageKeyUp) {
                ids.push_back(message.id);
            }
        }
        return ids;
    }

    TempFolder folder;
};

TEST_F(ScriptedRunTest, TheEnvironmentSetsAScriptedRun) {
    folder.Write("session.txt", "2 key escape\n");
    const ScopedEnvironment script("ORVEX_SCRIPT", folder / "session.txt");
    const ScopedEnvironment step("ORVEX_STEP_CLOCK", "1");
    const ScopedEnvironment end("ORVEX_END", "4");
    const ScopedEnvironment seed("ORVEX_SEED", "4242");
    const ScopedEnvironment shots("ORVEX_SCREENSHOT", "3:/tmp/menu.png;90:/tmp/level.png");
    const ScopedEnvironment instance("ORVEX_INSTANCE", "orvex-e2e");
    EXPECT_TRUE(ReadSeamsFromEnvironment().empty());

    EXPECT_EQ(Seams().randomSeed, 4242u);
    EXPECT_EQ(Seams().instanceName, "orvex-e2e");
    ASSERT_EQ(Seams().screenshots.size(), 2u);
    EXPECT_EQ(Seams().screenshots[0].pass, 3);
    EXPECT_EQ(Seams().screenshots[0].path, "/tmp/menu.png");
    EXPECT_EQ(Seams().screenshots[1].pass, 90);
    EXPECT_EQ(Seams().screenshots[1].path, "/tmp/level.png");
    EXPECT_EQ(Seams().endPass, 4);

    // The clock moves exactly one step per pass, and the quit comes at the end pass.
    const uint32_t start = Clock().Milliseconds();
    for (int pass = 1; pass <= 3; ++pass) {
        EXPECT_THAT(Pump(), ::testing::Not(::testing::Contains(kMessageQuit)));
    }
    EXPECT_EQ(Seams().pass, 3);
    EXPECT_NEAR(Clock().Milliseconds() - start, 50, 1);
    EXPECT_THAT(Pump(), ElementsAre(kMessageQuit));
}

TEST_F(ScriptedRunTest, ScriptedEventsGoToTheLatestWindowAtTheirPass) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (!InitVideo()) {
        GTEST_SKIP() << "no display";
    }
    ASSERT_TRUE(RegisterWindowClass("ScriptedRunTest", DefWindowProc));
    Window* window = CreateWindow("ScriptedRunTest", "ScriptedRunTest", 320, 200, false);
    ASSERT_NE(window, nullptr);
    Pump(); // what the system says of the new window

    std::vector<ScriptedEvent> events;
    std::string error;
    ASSERT_TRUE(ParseInputScript("2 keydown a\n4 keyup a\n", events, error));
    InstallScriptedRun(std::move(events), false);
    // One look into the queue is one pass.
    std::vector<std::string> seen;
    for (int pass = 1; pass <= 5; ++pass) {
        Message message;
        if (PeekMessage(message) &&
            (message.id == kMessageKeyDown || message.id == kMessageKeyUp)) {
            EXPECT_EQ(message.window, window);
            seen.push_back(std::to_string(pass) +
                           (message.id == kMessageKeyDown ? " down" : " up"));
        }
    }
    EXPECT_THAT(seen, ElementsAre("2 down", "4 up"));

    DestroyWindow(window);
    UnregisterWindowClass("ScriptedRunTest");
}

TEST_F(ScriptedRunTest, SeedsGoToTheGameAtTheirPassAndAreNoEvents) {
    std::vector<ScriptedEvent> events;
    std::string error;
    ASSERT_TRUE(ParseInputScript("3 seed 4294967295\n2 seed 17\n", events, error)) << error;
    std::vector<std::string> seeds;
    Seams().reseed = [&](uint32_t seed) {
        seeds.push_back(std::to_string(Seams().pass) + ": " + std::to_string(seed));
    };
    InstallScriptedRun(std::move(events), false);
    for (int pass = 1; pass <= 4; ++pass) {
        EXPECT_THAT(Pump(true), ::testing::IsEmpty());
    }
    EXPECT_THAT(seeds, ElementsAre("2: 17", "3: 4294967295"));
}

TEST_F(ScriptedRunTest, AMalformedVariableIsNamedAndSetsNothing) {
    struct Case {
        const char* variable;
        const char* value;
        const char* named; // the start of the error entry
    };
    const Case cases[] = {
        {"ORVEX_SEED", "abc", "ORVEX_SEED"},
        {"ORVEX_SEED", "99999999999", "ORVEX_SEED"},
        {"ORVEX_END", "0", "ORVEX_END"},
        {"ORVEX_END", "soon", "ORVEX_END"},
        {"ORVEX_SCREENSHOT", "5", "ORVEX_SCREENSHOT"},
        {"ORVEX_SCREENSHOT", "5:", "ORVEX_SCREENSHOT"},
        {"ORVEX_SCREENSHOT", "x:menu.png", "ORVEX_SCREENSHOT"},
        {"ORVEX_SCREENSHOT", "5:a.png;", "ORVEX_SCREENSHOT"},
        {"ORVEX_STEP_CLOCK", "2", "ORVEX_STEP_CLOCK"},
        {"ORVEX_INSTANCE", "", "ORVEX_INSTANCE"},
        {"ORVEX_SCRIPT", "/nonexistent/session.txt", "ORVEX_SCRIPT: no such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.value);
        ResetSeams();
        const ScopedEnvironment variable(c.variable, c.value);
        const std::vector<std::string> malformed = ReadSeamsFromEnvironment();
        ASSERT_EQ(malformed.size(), 1u);
        EXPECT_THAT(malformed[0], ::testing::StartsWith(c.named));
        EXPECT_FALSE(Seams().randomSeed);
        EXPECT_FALSE(Seams().endPass);
        EXPECT_TRUE(Seams().screenshots.empty());
        EXPECT_FALSE(Seams().eventSource);
    }
    folder.Write("bad.txt", "1 move 1 2\n2 dance\n");
    ResetSeams();
    const ScopedEnvironment script("ORVEX_SCRIPT", folder / "bad.txt");
    EXPECT_THAT(ReadSeamsFromEnvironment(), ElementsAre("ORVEX_SCRIPT: line 2: unknown event"));
    EXPECT_FALSE(Seams().eventSource);
}

TEST_F(ScriptedRunTest, ANormalStartCountsNothing) {
    EXPECT_TRUE(ReadSeamsFromEnvironment().empty());
    EXPECT_FALSE(Seams().eventSource);
    EXPECT_FALSE(Seams().randomSeed);
    EXPECT_FALSE(Seams().endAfterFirstFrame);
}

TEST_F(ScriptedRunTest, TheEndCanBeTheFirstFrame) {
    const ScopedEnvironment end("ORVEX_END", "first-frame");
    EXPECT_TRUE(ReadSeamsFromEnvironment().empty());
    EXPECT_TRUE(Seams().endAfterFirstFrame);
    EXPECT_FALSE(Seams().endPass);
}

} // namespace
