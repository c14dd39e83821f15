#include "platform/os/Messages.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
        received.clear();
        ASSERT_TRUE(RegisterWindowClass("Orvex", Record));
    }
    void TearDown() override {
        if (window != nullptr) {
            DestroyWindow(window);
        }
        UnregisterWindowClass("Orvex");
        ClearMessages();
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

TEST_F(MessagesTest, PostedQuitComesAfterEveryWaitingMessage) {
    PostMessage(nullptr, 0x8001, 1, 2);
    PostQuitMessage(3);
    PostMessage(nullptr, 0x8002, 0, 0);
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, 0x8001u);
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(message.lParam, 2);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, 0x8002u);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.id, kMessageQuit);
    EXPECT_EQ(message.wParam, 3u);
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

} // namespace
