#include "tests/support/LogCapture.h"

#include "engine/Log.h"

#include <filesystem>

LogCapture::LogCapture() : wasEnabled(LogEnabled), previousPath(LogPath()) {
    SetLogPath(folder / "log.txt");
    LogEnabled = true;
}

LogCapture::~LogCapture() {
    LogEnabled = wasEnabled;
    SetLogPath(previousPath);
}

std::string LogCapture::Text() const {
    const std::string path = folder / "log.txt";
    return std::filesystem::exists(path) ? ReadFileBytes(path) : std::string();
}
