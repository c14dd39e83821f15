#pragma once

#include <optional>
#include <string>
#include <vector>

// The answer a message box gives.
enum class MessageBoxAnswer { Ok, Yes, No };

// The desktop's current mode, as the start-up test of the renderer reads it.
struct DesktopMode {
    int width = 0;
    int height = 0;
    bool rotated = false; // turned away from the display's default orientation
};

// What tests and scripted runs put in place of the machine. A normal start sets none of it, and
// the platform layers then ask the machine.
struct PlatformSeams {
    // The desktop instead of the display's own mode.
    std::optional<DesktopMode> desktop;
    // Every message box gives this answer without showing (an OK box answers Ok).
    std::optional<MessageBoxAnswer> messageBoxAnswer;
    // Boxes answered through the seam, oldest first, each as its caption, ": " and its text.
    std::vector<std::string> messageBoxesShown;
};

PlatformSeams& Seams();
// Back to a normal start: nothing set.
void ResetSeams();

// Sets the seams of a scripted run from the environment: ORVEX_DESKTOP ("1280x1024", or with
// "r" after it for a rotated display) and ORVEX_MESSAGE_BOX ("ok", "yes" or "no"). A variable
// that is present but malformed sets nothing and its name is returned in the error list.
std::vector<std::string> ReadSeamsFromEnvironment();
