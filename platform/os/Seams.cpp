#include "platform/os/Seams.h"

#include "platform/os/DiskFiles.h"
#include "platform/os/ScriptedInput.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

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

constexpr std::size_t kMaxScriptSize = 1 << 20;

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, Number low, Number high) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc() || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// "PASS:FILE" requests separated by ';'.
std::optional<std::vector<PlatformSeams::ScreenshotRequest>> ParseScreenshots(
    std::string_view text) {
    std::vector<PlatformSeams::ScreenshotRequest> requests;
    while (true) {
        const std::size_t end = text.find(';');
        const std::string_view one = text.substr(0, end);
        const std::size_t colon = one.find(':');
        if (colon == std::string_view::npos || colon + 1 == one.size()) {
            return std::nullopt;
        }
        const std::optional<int> pass = ParseNumber(one.substr(0, colon), 1, INT_MAX);
        if (!pass) {
            return std::nullopt;
        }
        requests.push_back({*pass, std::string(one.substr(colon + 1)), false});
        if (end == std::string_view::npos) {
            return requests;
        }
        text.remove_prefix(end + 1);
    }
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
    if (const char* name = std::getenv("ORVEX_INSTANCE")) {
        if (*name != '\0') {
            seams.instanceName = name;
        } else {
            malformed.emplace_back("ORVEX_INSTANCE");
        }
    }
    if (const char* seed = std::getenv("ORVEX_SEED")) {
        if (const auto value = ParseNumber<uint32_t>(seed, 0, UINT32_MAX)) {
            seams.randomSeed = value;
        } else {
            malformed.emplace_back("ORVEX_SEED");
        }
    }
    if (const char* requests = std::getenv("ORVEX_SCREENSHOT")) {
        if (auto parsed = ParseScreenshots(requests)) {
            seams.screenshots = std::move(*parsed);
        } else {
            malformed.emplace_back("ORVEX_SCREENSHOT");
        }
    }
    if (const char* end = std::getenv("ORVEX_END")) {
        if (std::strcmp(end, "first-frame") == 0) {
            seams.endAfterFirstFrame = true;
        } else if (const auto pass = ParseNumber(std::string_view(end), 1, INT_MAX)) {
            seams.endPass = pass;
        } else {
            malformed.emplace_back("ORVEX_END");
        }
    }
    bool stepClock = false;
    if (const char* step = std::getenv("ORVEX_STEP_CLOCK")) {
        if (std::strcmp(step, "1") == 0) {
            stepClock = true;
        } else if (std::strcmp(step, "0") != 0) {
            malformed.emplace_back("ORVEX_STEP_CLOCK");
        }
    }
    std::vector<ScriptedEvent> events;
    bool scripted = false;
    if (const char* script = std::getenv("ORVEX_SCRIPT")) {
        std::string text;
        std::string error;
        const FileRead read = ReadRegularFile(script, kMaxScriptSize, text, error);
        if (read == FileRead::Read && ParseInputScript(text, events, error)) {
            scripted = true;
        } else {
            malformed.push_back("ORVEX_SCRIPT: " +
                                (read == FileRead::Missing ? std::string("no such file") : error));
        }
    }
    if (const char* record = std::getenv("ORVEX_SOUNDS")) {
        // Each line is flushed as it is written, so that a run that ends badly still shows
        // what it played.
        std::shared_ptr<std::FILE> file(std::fopen(record, "w"), [](std::FILE* open) {
            if (open != nullptr) {
                std::fclose(open);
            }
        });
        if (file) {
            seams.soundStarted = [file](std::string_view kind, std::string_view name) {
                std::fprintf(file.get(), "%d %.*s %.*s\n", Seams().pass,
                             static_cast<int>(kind.size()), kind.data(),
                             static_cast<int>(name.size()), name.data());
                std::fflush(file.get());
            };
        } else {
            malformed.emplace_back("ORVEX_SOUNDS");
        }
    }
    // Passes are counted whenever something is placed by them.
    if (scripted || stepClock || seams.endPass || !seams.screenshots.empty()) {
        InstallScriptedRun(std::move(events), stepClock);
    }
    return malformed;
}

void NoteSoundStarted(std::string_view kind, std::string_view name) {
    if (Seams().soundStarted) {
        Seams().soundStarted(kind, name);
    }
}
