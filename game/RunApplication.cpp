#include "game/RunApplication.h"

#include "engine/Application.h"
#include "engine/Exception.h"
#include "game/ApplicationInit.h"
#include "game/Shutdown.h"
#include "game/StartGame.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"

#include <exception>
#include <string>

namespace {

constexpr int kFatalExit = 1;

// Shutdown as far as it goes: a throw from it must not hide the error being reported.
void ShutdownQuietly() {
    try {
        Shutdown();
    } catch (...) {
    }
}

int ReportFatal(const std::string& text) {
    ShutdownQuietly();
    if (IsWindow(App.window)) {
        App.window->Hide();
    }
    ShowMessageBox(nullptr, text, "Error", MessageBoxButtons::Ok, MessageBoxIcon::None);
    if (IsWindow(App.window)) {
        PostMessage(App.window, kMessageClose, 0, 0);
    }
    return kFatalExit;
}

} // namespace

int RunApplication() {
    try {
        if (InitApplication()) {
            StartGame();
        }
        Shutdown();
        return 0;
    } catch (const Exception& error) {
        return ReportFatal(error.Text());
    } catch (const ExceptionQuit&) {
        ShutdownQuietly();
        return 0;
    } catch (const std::exception& error) {
        // Not the game's own error type, but just as fatal: shown and handled the same way.
        return ReportFatal(MessagePart(error.what()));
    } catch (...) {
        return ReportFatal("Unknown error");
    }
}
