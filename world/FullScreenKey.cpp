#include "world/FullScreenKey.h"

#include "engine/Application.h"
#include "engine/Input.h"
#include "media/Renderer.h"
#include "platform/os/Keys.h"
#include "world/GameSettings.h"
#include "world/Player.h"

#include <cstdint>
#include <optional>

namespace {

std::optional<uint32_t> handledStep;

} // namespace

bool RunFullScreenKey() {
    if (!Keyboard.KeyDown(kKeyAlt) || !Keyboard.KeyPressed(kKeyEnter)) {
        return false;
    }
    if (handledStep == Keyboard.StepNumber()) {
        return false;
    }
    handledStep = Keyboard.StepNumber();
    return SwitchFullScreenSetting();
}

bool SwitchFullScreenSetting() {
    // No window of the game's size fits such a desktop: it stays in full screen.
    if (Renderer::State().smallDesktop) {
        return false;
    }
    GameSettings.fullScreen = !GameSettings.fullScreen;
    SaveSettings();
    if (CurrentPlayer != nullptr) {
        CurrentPlayer->Save();
    }
    // A second toggle before the main loop has switched takes the request back.
    App.toggleFullScreen = GameSettings.fullScreen != App.fullScreen;
    return true;
}

void ResetFullScreenKey() {
    handledStep.reset();
}
