#include "platform/com/MessageWindows.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace {

TEST(MessageWindowsTest, MessagesArriveInTheOrderTheyWerePosted) {
    const WindowId window = CreateMessageWindow();
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(PostWindowMessage(window, 0x8001, 0, 0));
    EXPECT_TRUE(PostWindowMessage(window, 0x8002, 7, -3));
    WindowMessage message;
    ASSERT_TRUE(PeekWindowMessage(window, &message));
    EXPECT_EQ(message.message, 0x8001u);
    ASSERT_TRUE(PeekWindowMessage(window, &message));
    EXPECT_EQ(message.message, 0x8002u);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(message.lParam, -3);
    EXPECT_FALSE(PeekWindowMessage(window, &message));
    DestroyMessageWindow(window);
}

TEST(MessageWindowsTest, PostingToAWindowThatIsGoneFails) {
    const WindowId window = CreateMessageWindow();
    DestroyMessageWindow(window);
    EXPECT_FALSE(PostWindowMessage(window, 1, 0, 0));
    EXPECT_FALSE(PostWindowMessage(0, 1, 0, 0));
    WindowMessage message;
    EXPECT_FALSE(WaitWindowMessage(window, 0, &message));
    DestroyMessageWindow(window); // twice is harmless
}

TEST(MessageWindowsTest, AWaitingThreadWakesForAMessageFromAnotherThread) {
    const WindowId window = CreateMessageWindow();
    std::thread poster([window] { PostWindowMessage(window, 0x8123, 0, 0); });
    WindowMessage message;
    EXPECT_TRUE(WaitWindowMessage(window, 30000, &message));
    EXPECT_EQ(message.message, 0x8123u);
    poster.join();
    DestroyMessageWindow(window);
}

TEST(MessageWindowsTest, DestroyingAWindowWakesItsWaiterEmptyHanded) {
    const WindowId window = CreateMessageWindow();
    bool received = true;
    std::thread waiter([&] {
        WindowMessage message;
        received = WaitWindowMessage(window, 30000, &message);
    });
    // The waiter may or may not have started waiting: either way it must end with nothing.
    DestroyMessageWindow(window);
    waiter.join();
    EXPECT_FALSE(received);
}

TEST(MessageWindowsTest, AFullQueueRefusesMoreMessages) {
    const WindowId window = CreateMessageWindow();
    for (int i = 0; i < 10000; ++i) {
        ASSERT_TRUE(PostWindowMessage(window, 1, static_cast<uintptr_t>(i), 0));
    }
    EXPECT_FALSE(PostWindowMessage(window, 1, 0, 0));
    WindowMessage message;
    ASSERT_TRUE(PeekWindowMessage(window, &message));
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_TRUE(PostWindowMessage(window, 1, 0, 0));
    DestroyMessageWindow(window);
}

TEST(MessageWindowsTest, EveryWindowHasAnIdOfItsOwn) {
    std::set<WindowId> ids;
    for (int i = 0; i < 20; ++i) {
        ids.insert(CreateMessageWindow());
    }
    EXPECT_EQ(ids.size(), 20u);
    EXPECT_EQ(ids.count(0), 0u);
    for (const WindowId id : ids) {
        DestroyMessageWindow(id);
    }
}

} // namespace
