#include "platform/os/NativePath.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

std::string NativePath(std::string_view name) {
    std::string path(name);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (path.empty()) {
        return path;
    }
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    // lexically_normal turns "a/.." into "."; an empty result never names anything.
    return normal.empty() ? std::string(".") : normal;
}

bool IsAbsoluteName(std::string_view name) {
    return (!name.empty() && name.front() == '/') || (name.size() >= 2 && name[1] == ':');
}

std::string CurrentFolder() {
    // current_path asks getcwd for a buffer of the right size: no length limit.
    std::error_code error;
    std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

bool IsRegularFile(const std::string& nativePath) {
    struct stat info;
    return ::stat(nativePath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
