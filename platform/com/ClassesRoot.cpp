#include "platform/com/ClassesRoot.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// Far beyond any real registration; a bigger file is damaged, not read.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Closes a descriptor when it goes (and so releases a lock taken on it).
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd; }

private:
    int fd;
};

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

bool ReadTree(const std::string& path, RegistryKey& root, std::string& error) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT) {
            return true;
        }
        error = SystemError("cannot open the classes root", path);
        return false;
    }
    struct stat info;
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "the classes root " + path + " is not a file";
        return false;
    }
    if (info.st_size > kMaxFileSize) {
        error = "the classes root " + path + " is too large to be a registry";
        return false;
    }
    std::string text;
    char buffer[16384];
    while (true) {
        const ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            error = SystemError("cannot read the classes root", path);
            return false;
        }
        if (count == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        if (static_cast<off_t>(text.size()) > kMaxFileSize) {
            error = "the classes root " + path + " is too large to be a registry";
            return false;
        }
    }
    std::string reason;
    if (!ParseRegistry(text, root, reason)) {
        error = "the classes root " + path + " is damaged: " + reason;
        return false;
    }
    return true;
}

bool WriteTree(const std::string& path, const RegistryKey& root, std::string& error) {
    const std::string text = FormatRegistry(root);
    std::string temporary = path + ".XXXXXX";
    const Descriptor file(::mkstemp(temporary.data()));
    if (file.Get() < 0) {
        error = SystemError("cannot write beside the classes root", path);
        return false;
    }
    const bool written =
        ::fchmod(file.Get(), 0644) == 0 && WriteAll(file.Get(), text) && ::fsync(file.Get()) == 0;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot write the classes root", path);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

std::string ClassesRootPath() {
    if (const char* path = std::getenv("ORVEX_CLASSES_ROOT"); path != nullptr && *path != '\0') {
        return path;
    }
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        config = std::string(home) + "/.config";
    } else {
        return {};
    }
    return config + "/orvex/classes-root.reg";
}

bool ReadClassesRoot(RegistryKey& root, std::string& error) noexcept {
    try {
        const std::string path = ClassesRootPath();
        if (path.empty()) {
            error = "no place for the classes root: set ORVEX_CLASSES_ROOT or HOME";
            return false;
        }
        return ReadTree(path, root, error);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}

bool EditClassesRoot(const std::function<bool(RegistryKey&)>& change, std::string& error) noexcept {
    try {
        const std::string path = ClassesRootPath();
        if (path.empty()) {
            error = "no place for the classes root: set ORVEX_CLASSES_ROOT or HOME";
            return false;
        }
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        std::error_code ignored;
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, ignored);
        }
        const std::string lockPath = path + ".lock";
        const Descriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (lock.Get() < 0) {
            error = SystemError("cannot lock the classes root", lockPath);
            return false;
        }
        while (::flock(lock.Get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                error = SystemError("cannot lock the classes root", lockPath);
                return false;
            }
        }
        RegistryKey root;
        if (!ReadTree(path, root, error)) {
            return false;
        }
        if (!change(root)) {
            error = "the change to the classes root was abandoned";
            return false;
        }
        return WriteTree(path, root, error);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    } catch (...) {
        error = "the change to the classes root failed";
        return false;
    }
}

std::optional<std::string> ReadClassesRootValue(std::string_view keyPath,
                                                std::string_view valueName) noexcept {
    try {
        RegistryKey root;
        std::string error;
        if (!ReadClassesRoot(root, error)) {
            std::fprintf(stderr, "orvexcom: %s\n", error.c_str());
            return std::nullopt;
        }
        const RegistryKey* key = root.FindKey(keyPath);
        const std::string* value = key != nullptr ? key->Value(valueName) : nullptr;
        if (value == nullptr) {
            return std::nullopt;
        }
        return *value;
    } catch (...) {
        return std::nullopt;
    }
}
