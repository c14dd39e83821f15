#pragma once

#include "media/TextureManager.h"

#include <cstdint>
#include <memory>
#include <string>

class XProcess;

// The step time of every update: 1/60 s as a 32-bit float.
constexpr float kStepTime = 1.0f / 60.0f;

// What the main loop and the window procedure need of the program above them. The game installs
// its implementation at start-up; tests install one that records. With none installed the loop
// runs without them.
class MainLoopClient {
public:
    // Saves the current player's profile when there is one: a close request answered Yes, or
    // made while the game is inactive, ends the run.
    virtual void SaveProfile() = 0;
    // The bitmap fonts let go of their vertex buffers before the device is made again, and make
    // them again after.
    virtual void ReleaseFontBuffers() = 0;
    virtual void RestoreFontBuffers() = 0;
    // Draws the cursor animation at the point, depth 900 (over the pause picture).
    virtual void DrawCursor(float x, float y) = 0;
    // A frame of the running process has just been presented (scripted runs take their
    // screenshots here: the game's picture stays in the back buffer until the next frame).
    virtual void FramePresented() = 0;

protected:
    ~MainLoopClient() = default;
};

// Installs the program's client; null runs the loop without one. The caller keeps it alive
// while it is installed.
void InstallMainLoopClient(MainLoopClient* client);
MainLoopClient& LoopClient();

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
// A null process returns 0. The process is ended and freed also when an Exception or
// ExceptionQuit (the quit message) passes through, which then goes on to the caller.
int32_t RunProcess(std::unique_ptr<XProcess> process, bool renderEveryPass);
