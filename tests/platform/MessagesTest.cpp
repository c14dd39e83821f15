#include "platform/os/Messages.h"

#include "platform/os/Keys.h"
#include "platform/os/Seams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <vector>

namespace {

std::vector<Message> received;

int64_t Record(Window* window, uint32_t id, uint64_t wParam, int64_t lParam) {
    received.push_back(Message{window, id, wParam, lParam});
    return 7;
}

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearMessages();
        ResetSeams();
        ReleaseAllKeys();
        received.clear();
        ASSERT_TRUE(RegisterWindowClass("Orvex", Record));
    }
    void TearDown() override {
        if (window != nullptr) {
            DestroyWindow(window);
        }
        UnregisterWindowClass("Orvex");
        ClearMessages();
        ResetSeams();
        ReleaseAllKeys();
    }

    // Every pump hands out the next batch of scripted events.
    void Script(std::deque<std::vector<SyntheticEvent>> batches) {
        Seams().eventSource =
            [batches = std::move(batches)](std::vector<SyntheticEvent>& events) mutable {
                if (!batches.empty()) {
                    events = std::move(batches.front());
                    batches.pop_front();
                }
            };
    }

    // The messages waiting now, in order.
    static std::vector<Message> Drain() {
        std::vector<Message> messages;
        for (Message message; PeekMessage(message);) {
            messages.push_back(message);
        }
        return messages;
    }

    // A real window on the headless display; false when there is no display at all.
    bool OpenWindow() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        window = CreateWindow("Orvex", "Orvex", 1024, 768, false);
        // Whatever the system says about the new window is not the test's business.
        for (Message message; PeekMessage(message);) {
        }
        return window != nullptr;
    }

    Window* window = nullptr;
};

TEST_F(MessagesTest, PostedQuitComesBehindTheWaitingMessagesAndAheadOfLaterOnes) {
    PostMessage(nullptr, 0x8001, 1, 2);
    PostQuitMessage(3);
    PostMessage(nullptr, 0x8002, 0, 0);
    PostQuitMessage(4); // still the one quit, with the latest code
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, 0x8001u);
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(message.lParam, 2);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, kMessageQuit);
    EXPECT_EQ(message.wParam, 4u);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, 0x8002u);
    EXPECT_FALSE(PeekMessage(message));
}

TEST_F(MessagesTest, WindowClassesRegisterOnceAndStayWhileInUse) {
    EXPECT_FALSE(RegisterWindowClass("Orvex", Record));
    EXPECT_FALSE(RegisterWindowClass("", Record));
    EXPECT_FALSE(UnregisterWindowClass("Other"));
    EXPECT_EQ(CreateWindow("Other", "Orvex", 1024, 768, false), nullptr);
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    EXPECT_FALSE(UnregisterWindowClass("Orvex"));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    window = nullptr;
    EXPECT_TRUE(UnregisterWindowClass("Orvex"));
    EXPECT_TRUE(RegisterWindowClass("Orvex", Record));
}

TEST_F(MessagesTest, DispatchReachesTheWindowsProcedure) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    PostMessage(window, kMessageMouseMove, kButtonLeft, PackPoint(-3, 700));
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(DispatchMessage(message), 7);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].window, window);
    EXPECT_EQ(received[0].wParam, kButtonLeft);
    // Signed 16-bit halves: x low, y high.
    EXPECT_EQ(static_cast<int16_t>(received[0].lParam & 0xFFFF), -3);
    EXPECT_EQ(static_cast<int16_t>((received[0].lParam >> 16) & 0xFFFF), 700);
}

TEST_F(MessagesTest, MessagesOfADestroyedWindowAreDropped) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    PostMessage(window, kMessageClose, 0, 0);
    Message stale{window, kMessageClose, 0, 0};
    DestroyWindow(window);
    window = nullptr;
    Message message;
    EXPECT_FALSE(PeekMessage(message));
    EXPECT_EQ(DispatchMessage(stale), 0);
    EXPECT_TRUE(received.empty());
}

TEST_F(MessagesTest, WindowHasTheClientSizeAndSwitchesToFullScreen) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    EXPECT_EQ(window->ClientWidth(), 1024);
    EXPECT_EQ(window->ClientHeight(), 768);
    EXPECT_FALSE(window->IsVisible());
    window->Show();
    EXPECT_TRUE(window->IsVisible());
    EXPECT_FALSE(window->IsFullScreen());
    EXPECT_EQ(window->DrawablePicture(), (PixelRect{0, 0, 1024, 768}));
    ASSERT_TRUE(window->SetFullScreen(true));
    EXPECT_TRUE(window->IsFullScreen());
    ASSERT_TRUE(window->SetFullScreen(false));
    EXPECT_FALSE(window->IsFullScreen());
    int x = 0;
    int y = 0;
    window->WindowToPicture(10, 20, x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
}

// ---------------------------------------------------------------------------------------------
// Scripted events through the translation

using Type = SyntheticEvent::Type;

struct Expected {
    uint32_t id;
    uint64_t wParam;
};

struct TranslationCase {
    const char* name;
    std::vector<SyntheticEvent> events; // window filled in by the test
    std::vector<Expected> messages;
};

TEST_F(MessagesTest, ScriptedEventsBecomeTheGamesMessages) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    const uint64_t wheelUp = static_cast<uint64_t>(kWheelNotch) << 16;
    const uint64_t wheelDown = static_cast<uint64_t>(static_cast<uint16_t>(-2 * kWheelNotch)) << 16;
    const std::vector<TranslationCase> cases = {
        {"focus gained",
         {{Type::FocusGained}},
         {{kMessageActivateApp, 1}, {kMessageActivate, kActivateActive}}},
        {"focus lost",
         {{Type::FocusLost}},
         {{kMessageActivate, kActivateInactive}, {kMessageActivateApp, 0}}},
        {"close", {{Type::Close}}, {{kMessageClose, 0}}},
        {"letter",
         {{Type::KeyDown, nullptr, 'A'}, {Type::KeyUp, nullptr, 'A'}},
         {{kMessageKeyDown, 'A'}, {kMessageKeyUp, 'A'}}},
        {"right Control as the generic code",
         {{Type::KeyDown, nullptr, 0xA3}},
         {{kMessageKeyDown, kKeyControl}}},
        {"Alt and keys with Alt are system keys",
         {{Type::KeyDown, nullptr, 0xA5}, {Type::KeyDown, nullptr, 'X'}},
         {{kMessageSysKeyDown, kKeyAlt}, {kMessageSysKeyDown, 'X'}}},
        {"F10 is a system key",
         {{Type::KeyDown, nullptr, kKeyF10}},
         {{kMessageSysKeyDown, kKeyF10}}},
        {"left click",
         {{Type::ButtonDown, nullptr, kKeyLeftButton, 5, 6},
          {Type::ButtonUp, nullptr, kKeyLeftButton, 5, 6}},
         {{kMessageLeftButtonDown, kButtonLeft}, {kMessageLeftButtonUp, 0}}},
        {"right click",
         {{Type::ButtonDown, nullptr, kKeyRightButton, 5, 6}},
         {{kMessageRightButtonDown, kButtonRight}}},
        {"middle button has no message", {{Type::ButtonDown, nullptr, kKeyMiddleButton}}, {}},
        {"wheel",
         {{Type::Wheel, nullptr, 0, 0, 1}, {Type::Wheel, nullptr, 0, 0, -2}},
         {{kMessageMouseWheel, wheelUp}, {kMessageMouseWheel, wheelDown}}},
        {"leave without asking", {{Type::MouseLeave}}, {}},
    };
    for (const TranslationCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseAllKeys();
        std::vector<SyntheticEvent> events = c.events;
        for (SyntheticEvent& event : events) {
            event.window = window;
        }
        Script({events});
        const std::vector<Message> messages = Drain();
        ASSERT_EQ(messages.size(), c.messages.size());
        for (std::size_t i = 0; i < messages.size(); ++i) {
            EXPECT_EQ(messages[i].window, window);
            EXPECT_EQ(messages[i].id, c.messages[i].id) << i;
            EXPECT_EQ(messages[i].wParam, c.messages[i].wParam) << i;
        }
    }
}

TEST_F(MessagesTest, ScriptedKeysChangeTheKeyStatesAlsoWithoutAWindow) {
    Script({{{Type::KeyDown, nullptr, kKeyEscape}, {Type::KeyUp, nullptr, kKeyEscape}},
            {{Type::ButtonDown, nullptr, kKeyLeftButton}}});
    EXPECT_TRUE(Drain().empty());
    EXPECT_FALSE(KeyIsDown(kKeyEscape));
    EXPECT_TRUE(TakeKeyPress(kKeyEscape)) << "the press shorter than a pump is kept";
    Drain();
    EXPECT_TRUE(KeyIsDown(kKeyLeftButton));
}

TEST_F(MessagesTest, LeaveComesOnceEachTimeItWasAskedFor) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    ASSERT_TRUE(TrackMouseLeave(window));
    Script({{{Type::MouseLeave, window}}, {{Type::MouseLeave, window}}});
    std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, kMessageMouseLeave);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(MessagesTest, ConsecutiveMovesAreMergedIntoTheLatest) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    Script({{{Type::MouseMove, window, 0, 1, 1},
             {Type::MouseMove, window, 0, 2, 2},
             {Type::MouseMove, window, 0, 3, 3},
             {Type::ButtonDown, window, kKeyLeftButton, 3, 3},
             {Type::MouseMove, window, 0, 4, 4}}});
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].id, kMessageMouseMove);
    EXPECT_EQ(messages[0].lParam, PackPoint(3, 3));
    EXPECT_EQ(messages[1].id, kMessageLeftButtonDown);
    EXPECT_EQ(messages[2].id, kMessageMouseMove);
    EXPECT_EQ(messages[2].lParam, PackPoint(4, 4));
    EXPECT_EQ(messages[2].wParam, kButtonLeft);
}

TEST_F(MessagesTest, StreamOfInputCannotHoldThePostedQuitBack) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    // Every pump brings a key, as a player typing without pause would.
    int pumps = 0;
    Seams().eventSource = [&](std::vector<SyntheticEvent>& events) {
        ++pumps;
        events.push_back({pumps % 2 != 0 ? Type::KeyDown : Type::KeyUp, window, 'K'});
    };
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    PostQuitMessage(0);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, kMessageQuit);
}

TEST_F(MessagesTest, EventsOfWindowsThatAreGoneAreDropped) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    Window* gone = window;
    DestroyWindow(window);
    window = nullptr;
    Script({{{Type::Close, gone}, {Type::FocusGained, nullptr}}});
    EXPECT_TRUE(Drain().empty());
    EXPECT_FALSE(PushSyntheticEvent({Type::Close, gone}));
}

TEST_F(MessagesTest, SyntheticEventsTakeTheSystemsOwnPath) {
    if (!OpenWindow()) {
        GTEST_SKIP() << "no display";
    }
    ASSERT_TRUE(PushSyntheticEvent({Type::KeyDown, window, kKeyF1}));
    ASSERT_TRUE(PushSyntheticEvent({Type::Close, window}));
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].id, kMessageKeyDown);
    EXPECT_EQ(messages[0].wParam, static_cast<uint64_t>(kKeyF1));
    EXPECT_EQ(messages[1].id, kMessageClose);
    EXPECT_TRUE(KeyIsDown(kKeyF1));
}

} // namespace
