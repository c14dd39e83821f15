#include "platform/os/Seams.h"

#include <cstdlib>
#include <cstring>

namespace {

PlatformSeams seams;

// "WxH" or "WxHr", each side 1..65535.
std::optional<DesktopMode> ParseDesktop(const char* text) {
    DesktopMode mode;
    char* end = nullptr;
    const long width = std::strtol(text, &end, 10);
    if (end == text || *end != 'x') {
        return std::nullopt;
    }
    const char* heightText = end + 1;
    const long height = std::strtol(heightText, &end, 10);
    if (end == heightText || width < 1 || height < 1 || width > 65535 || height > 65535) {
        return std::nullopt;
    }
    if (*end == 'r') {
        mode.rotated = true;
        ++end;
    }
    if (*end != '\0') {
        return std::nullopt;
    }
    mode.width = static_cast<int>(width);
    mode.height = static_cast<int>(height);
    return mode;
}

std::optional<MessageBoxAnswer> ParseAnswer(const char* text) {
    if (std::strcmp(text, "ok") == 0) {
        return MessageBoxAnswer::Ok;
    }
    if (std::strcmp(text, "yes") == 0) {
        return MessageBoxAnswer::Yes;
    }
    if (std::strcmp(text, "no") == 0) {
        return MessageBoxAnswer::No;
    }
    return std::nullopt;
}

} // namespace

PlatformSeams& Seams() {
    return seams;
}

void ResetSeams() {
    seams = PlatformSeams();
}

std::vector<std::string> ReadSeamsFromEnvironment() {
    std::vector<std::string> malformed;
    if (const char* desktop = std::getenv("ORVEX_DESKTOP")) {
        if (const std::optional<DesktopMode> mode = ParseDesktop(desktop)) {
            seams.desktop = mode;
        } else {
            malformed.emplace_back("ORVEX_DESKTOP");
        }
    }
    if (const char* answer = std::getenv("ORVEX_MESSAGE_BOX")) {
        if (const std::optional<MessageBoxAnswer> parsed = ParseAnswer(answer)) {
            seams.messageBoxAnswer = parsed;
        } else {
            malformed.emplace_back("ORVEX_MESSAGE_BOX");
        }
    }
    return malformed;
}
