#include "engine/Log.h"

#include "platform/os/NativePath.h"

#include <cstdarg>
#include <cstdio>

bool LogEnabled = false;

namespace {

std::string logPath;

} // namespace

void SetLogPath(const std::string& path) {
    logPath = NativePath(path);
}

const std::string& LogPath() {
    return logPath;
}

void DebugLog(const char* format, ...) {
    if (!LogEnabled) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string line;
    if (length > 0) {
        line.resize(static_cast<std::size_t>(length));
        std::vsnprintf(line.data(), line.size() + 1, format, args);
    }
    va_end(args);

    std::fputs(line.c_str(), stderr);
    if (logPath.empty()) {
        return;
    }
    // Opened and closed for every line, so the file is complete whenever the program dies.
    if (std::FILE* file = std::fopen(logPath.c_str(), "a")) {
        std::fputs(line.c_str(), file);
        std::fclose(file);
    }
}
