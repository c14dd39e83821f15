#pragma once

#include "media/TextureManager.h"

#include <cstdint>
#include <functional>
#include <string>

class XProcess;

// The step time of every update: 1/60 s as a 32-bit float.
constexpr float kStepTime = 1.0f / 60.0f;

// What the main loop and the window procedure need of the layers above them, which they cannot
// include. Each layer sets its own part once at start-up; a part left unset does nothing.
struct MainLoopHooks {
    // Saves the current player's profile when there is one: a close request answered Yes, or
    // made while the game is inactive, ends the run.
    std::function<void()> saveProfile;
    // The bitmap fonts let go of their vertex buffers before the device is made again, and make
    // them again after.
    std::function<void()> releaseFontBuffers;
    std::function<void()> restoreFontBuffers;
    // Draws the cursor animation at the point, depth 900 (over the pause picture).
    std::function<void(float x, float y)> drawCursor;
    // A frame of the running process has just been presented (scripted runs take their
    // screenshots here: the game's picture stays in the back buffer until the next frame).
    std::function<void()> framePresented;
};

MainLoopHooks& LoopHooks();

// Connects scene loading to the layers below the game: loading a scene stops the looping sounds
// of every sound set and makes the mouse ignore both buttons until they are released. Called
// once at start-up.
void ConnectSceneLoadHooks();

// The game's own pause (the game process toggles it and draws the pause picture itself); while
// it is set, the redraw of an inactive window leaves the pause picture out.
extern bool GamePaused;
// "gfx/interface/pause.jpg": drawn over the frozen game while the window is in the background.
extern TextureHandle PausePicture;
// The first frames never show the pause picture, so start-up names it and the first draw loads
// it, once per start.
void LoadPausePictureWhenDrawn(const std::string& name);
// The pause picture to draw, loaded now if it is still only named.
TextureHandle* PausePictureToDraw();

// Runs the process until it ends: fixed steps of kStepTime as the frame timer makes them due,
// drawing after the passes that ran a step (or after every pass with renderEveryPass, the
// "maxfps" option), one window message per pass, a sleeping redraw while the window is in the
// background, and a new window and device after a lost device or a switch to or from full
// screen. Then ends and deletes the process and returns its result word; the mouse ignores both
// buttons until they are released, so the click that ended it does not reach the process below.
// A null process returns 0. The process is deleted also when an Exception or ExceptionQuit
// (the quit message) passes through, which then goes on to the caller.
int32_t RunProcess(XProcess* process, bool renderEveryPass);
