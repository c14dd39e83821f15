#pragma once

#include <string>

class Window;

// Process priority classes that the configuration can choose.
enum class PriorityClass : int { Normal = 32, Idle = 64 };

// The one application record: activity, full-screen state and requests, the configuration
// values, the device state, the save folder and the version texts.
struct Application {
    bool active = true;
    bool fullScreen = false;
    bool toggleFullScreen = false; // request to switch between window and full screen
    bool menuFlag = true;          // read only by the main menu
    bool showFps = false;
    bool textureFiltering = false;
    bool tutorials = false;
    bool lowQuality = false;  // set by the automatic quality switch of the main loop
    bool autoQuality = false; // no configuration key sets it
    bool renderFonts = true;
    bool localDataDir = false;
    bool tripleBuffering = false;
    bool maxFps = false; // render on every pass of the main loop
    bool bit16 = false;  // 16-bit back buffer
    float autoMinFpsUp = 25.0f;
    float autoMinFpsDown = 20.0f;
    float autoFpsTimeSwitch = 10.0f; // seconds
    bool deviceLost = false;
    std::string saveFolder;
    std::string versionInfo[2];
    std::string mainNumber;
    std::string startFromLevel;
    Window* window = nullptr; // the game window; owned by the platform layer

    // The folder of the player files, ending with a separator: "config\" under the current
    // folder when localDataDir is set, else the save folder (the current folder while there is
    // none).
    std::string GetDataDir() const;
};

extern Application App;

// "dev_mode" of the configuration.
extern bool DevMode;
