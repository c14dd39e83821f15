#include "engine/MouseState.h"

#include "engine/Application.h"
#include "platform/os/Keys.h"
#include "platform/os/Messages.h"

#include <algorithm>
#include <utility>

MouseState Mouse;

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

const MouseState::CursorFrameSource* cursorFrameSource = nullptr;

int SignedHalf(uint64_t bits) {
    return static_cast<int16_t>(static_cast<uint16_t>(bits & 0xFFFF));
}

} // namespace

void MouseState::SetCursorFrameSource(const CursorFrameSource* source) {
    cursorFrameSource = source;
}

void MouseState::Update() {
    leftPressed = false;
    rightPressed = false;
    const bool leftNow = KeyIsDown(kKeyLeftButton);
    const bool rightNow = KeyIsDown(kKeyRightButton);
    // Presses are taken in every step, so that none made while suppressed counts later.
    const bool leftTapped = TakeKeyPress(kKeyLeftButton);
    const bool rightTapped = TakeKeyPress(kKeyRightButton);
    if (suppress) {
        leftHeld = false;
        rightHeld = false;
    } else {
        const bool left = leftNow || leftTapped;
        const bool right = rightNow || rightTapped;
        leftPressed = left && !previousLeft;
        rightPressed = right && !previousRight;
        previousLeft = left;
        previousRight = right;
        leftReleased = leftHeld && !left;
        rightReleased = rightHeld && !right;
        leftHeld = left;
        rightHeld = right;
    }
    if (!leftNow && !rightNow && suppress) {
        suppress = false;
        // Both are up now: the next press is a press, even in the very next step.
        previousLeft = false;
        previousRight = false;
    }
    if (wheelUp != 0) {
        --wheelUp;
    }
    if (wheelDown != 0) {
        --wheelDown;
    }
}

void MouseState::ReleaseButtons() {
    leftHeld = false;
    rightHeld = false;
    leftPressed = false;
    rightPressed = false;
    leftReleased = true;
    rightReleased = true;
}

void MouseState::SetWindow(Window* window) {
    suppress = false;
    TrackMouseLeave(window);
}

void MouseState::TrackLeave() {
    TrackMouseLeave(App.window);
}

void MouseState::ClampToScreen(int& messageX, int& messageY) const {
    const CursorFrame frame =
        cursorFrameSource != nullptr ? cursorFrameSource->CurrentCursorFrame() : CursorFrame{};
    const int lowestX = frame.idle ? frame.rect.right : 0;
    const int lowestY = frame.idle ? frame.rect.bottom : 0;
    messageX = std::max(std::min(messageX, kScreenWidth - frame.rect.right / 2), lowestX);
    messageY = std::max(std::min(messageY, kScreenHeight - frame.rect.bottom / 2), lowestY);
}

void MouseState::OnWindowMessage(uint32_t message, uint64_t wParam, int64_t lParam) {
    switch (message) {
    case kMessageMouseMove: {
        if (x == kOutside) {
            TrackLeave();
        }
        const uint64_t point = static_cast<uint64_t>(lParam);
        int messageX = SignedHalf(point);
        int messageY = SignedHalf(point >> 16);
        if (App.fullScreen) {
            ClampToScreen(messageX, messageY);
        }
        x = static_cast<float>(messageX);
        y = static_cast<float>(messageY);
        break;
    }
    case kMessageMouseWheel:
        if (SignedHalf(wParam >> 16) > 0) {
            wheelUp = 2;
        } else {
            wheelDown = 2;
        }
        break;
    case kMessageMouseLeave:
        x = kOutside;
        y = kOutside;
        break;
    case kMessageActivateApp:
        if (wParam != 0) {
            suppress = true;
            TrackLeave();
        }
        break;
    default:
        break;
    }
}
