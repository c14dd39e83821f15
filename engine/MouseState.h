#pragma once

#include "engine/System.h"

#include <cstdint>

class Window;

// The mouse as the fixed update steps see it: the cursor in the game's 1024x768 coordinates, fed
// by the window procedure, and the two buttons, taken once per step with edge flags. The main
// loop updates it at the start of each step, before the keyboard.
class MouseState {
public:
    static constexpr float kOutside = -1000.0f; // x and y while the cursor is out of the window

    // What the full-screen clamp needs of the cursor animation: the frame rectangle of its
    // current animation (all 0 when it plays none), and whether that animation is "idle".
    struct CursorFrame {
        FrameRect rect;
        bool idle = false;
    };
    // The layer that owns the cursor animation tells it.
    class CursorFrameSource {
    public:
        virtual CursorFrame CurrentCursorFrame() const = 0;

    protected:
        ~CursorFrameSource() = default;
    };

    // Takes the buttons from their events since the last update: a click shorter than a step
    // reads as pressed in one step and as released in the next. While suppressed, both read as
    // up until both have been released.
    void Update();
    // Both buttons up now, released in this step (focus lost, window menu opened).
    void ReleaseButtons();
    // Both buttons read as up until both have been released, so that a click that ended one
    // screen does not reach the next.
    void SuppressButtons() { suppress = true; }
    // Starts over for a new game window: no suppression, and a leave is reported.
    void SetWindow(Window* window);
    // Asks to be told once when the cursor leaves the game window.
    void TrackLeave();
    // The window procedure hands on every message that it passes to the system.
    void OnWindowMessage(uint32_t message, uint64_t wParam, int64_t lParam);

    // Installed by the game at start-up; with none, the cursor has no frame. The caller keeps it
    // alive while it is installed.
    static void SetCursorFrameSource(const CursorFrameSource* source);

    float x = 0.0f;
    float y = 0.0f;
    bool leftHeld = false; // down in this step
    bool rightHeld = false;
    bool leftReleased = false; // went up in this step
    bool rightReleased = false;
    bool leftPressed = false; // went down in this step
    bool rightPressed = false;
    bool moved = false;  // the window's last message was a mouse move
    int32_t wheelUp = 0; // 2 after a notch; each update lowers it, so one step sees it
    int32_t wheelDown = 0;
    bool suppress = false;

private:
    // Where the cursor may go in full screen: inside the screen by the cursor's frame.
    void ClampToScreen(int& messageX, int& messageY) const;

    // The buttons as the last update without suppression saw them.
    bool previousLeft = false;
    bool previousRight = false;
};

// The mouse of the game.
extern MouseState Mouse;
