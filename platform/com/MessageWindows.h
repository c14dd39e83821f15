#pragma once

#include "platform/com/ComExport.h"

#include <cstdint>

// Windows that receive posted messages: a host makes one, hands its id to a library (which
// posts to it from any thread) and takes the messages off in the order they were posted.
using WindowId = uint32_t;

struct WindowMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// A new window, never 0 and never reused in the process; 0 when memory runs out.
ORVEXCOM_API WindowId CreateMessageWindow() noexcept;
// Forgets the window and its pending messages; a thread waiting on it wakes with nothing.
ORVEXCOM_API void DestroyMessageWindow(WindowId window) noexcept;

// Queues a message; false when there is no such window or its queue is full (10000 messages,
// as on the original platform).
ORVEXCOM_API bool PostWindowMessage(WindowId window, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam) noexcept;

// Takes the oldest message off the queue; false when there is none.
ORVEXCOM_API bool PeekWindowMessage(WindowId window, WindowMessage* message) noexcept;

// Waits up to the time-out for a message and takes it off; false when none came, the window is
// unknown or it was destroyed meanwhile.
ORVEXCOM_API bool WaitWindowMessage(WindowId window, uint32_t timeoutMilliseconds,
                                    WindowMessage* message) noexcept;
