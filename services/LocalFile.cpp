#include "services/LocalFile.h"

#include "platform/os/DiskFiles.h"
#include "services/ServiceClients.h"

#include <cstdlib>
#include <mutex>

namespace {

// The threads of one process take turns on the services' files, so two services of one game
// never write the same temporary file at once.
std::mutex& FileLock() {
    static std::mutex lock;
    return lock;
}

bool UsableFolderName(std::string_view name) {
    return name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace

std::string CommonDataFolder() {
    if (const char* folder = std::getenv(kCommonDataVariable); folder != nullptr && *folder) {
        return WithSlash(folder);
    }
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        return WithSlash(xdg);
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return WithSlash(std::string(home) + "/.local/share");
    }
    return {};
}

std::string GameFolderOnDisk(std::string_view gameFolder) {
    std::string name(gameFolder);
    LowerCaseGameFolder(name);
    return name;
}

std::string DataFolderPath(std::string_view companyName, std::string_view gameFolder) {
    std::string path = CommonDataFolder();
    if (path.empty()) {
        return {};
    }
    for (const std::string& level : {std::string(companyName), GameFolderOnDisk(gameFolder)}) {
        if (level.empty()) {
            continue;
        }
        if (!UsableFolderName(level)) {
            return {};
        }
        path += level;
        path += '/';
    }
    return path;
}

std::string ItemFolderPath(std::string_view dataFolder, int32_t number) {
    return std::string(dataFolder) + std::to_string(number) + "/";
}

std::string ItemFilePath(std::string_view dataFolder, int32_t number, std::string_view kind,
                         std::string_view extension) {
    return ItemFolderPath(dataFolder, number) + std::string(kind) + std::to_string(number) + "." +
           std::string(extension);
}

std::string CreateItemFolder(std::string_view dataFolder, int32_t number) {
    if (dataFolder.empty()) {
        return {};
    }
    const std::string folder = ItemFolderPath(dataFolder, number);
    std::string error;
    return CreateFolderPath(folder, error) ? folder : std::string();
}

std::string TemporaryFolder() {
    if (const char* folder = std::getenv("TMPDIR"); folder != nullptr && *folder == '/') {
        return WithSlash(folder);
    }
    return "/tmp/";
}

std::string FileNameOfUrl(std::string_view url) {
    const std::size_t slash = url.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? url : url.substr(slash + 1));
}

LocalFile::LocalFile(std::string_view fileName, std::string_view companyName,
                     std::string_view gameFolder)
    : folder(DataFolderPath(companyName, gameFolder)) {
    if (!folder.empty()) {
        path = folder + std::string(fileName);
    }
}

bool LocalFile::MakeFolder() {
    std::string error;
    return !path.empty() && CreateFolderPath(folder, error);
}

bool LocalFile::Write(std::string_view text) {
    const std::lock_guard guard(FileLock());
    std::string error;
    return MakeFolder() && ReplaceFileAtomically(path, text, error);
}

bool LocalFile::Read(std::string& text) {
    const std::lock_guard guard(FileLock());
    if (!MakeFolder()) {
        return false;
    }
    std::string bytes;
    std::string error;
    switch (ReadRegularFile(path, kMaxSize, bytes, error)) {
    case FileRead::Read:
        text.assign(bytes.c_str());
        return true;
    case FileRead::Missing:
        // Reading creates the file, as opening it for reading and writing always has.
        ReplaceFileAtomically(path, "", error);
        text.clear();
        return true;
    case FileRead::Failed:
        break;
    }
    return false;
}
