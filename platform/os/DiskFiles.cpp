#include "platform/os/DiskFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace {

std::string Reason(const char* what, const std::string& path, int error) {
    return std::string(what) + " " + path + ": " + std::system_category().message(error);
}

// Closes the descriptor when it goes, unless it was closed already.
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
    // Closes now; the errno of a failed close, else 0.
    int Close() {
        const int result = ::close(fd);
        fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd;
};

// The errno of the first failed write, or 0 when every byte went out.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string temporary = path + ".tmp";
    // Whatever an earlier crash left under the temporary name goes first, so that the new file is
    // ours alone (never a link that leads elsewhere).
    ::unlink(temporary.c_str());
    Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (file.Get() < 0) {
        error = Reason("Cannot create", temporary, errno);
        return false;
    }
    int failure = WriteAll(file.Get(), bytes);
    const char* step = "Cannot write";
    const std::string* subject = &temporary;
    if (failure == 0 && ::fsync(file.Get()) != 0) {
        failure = errno;
        step = "Cannot flush";
    }
    const int closeFailure = file.Close();
    if (failure == 0 && closeFailure != 0) {
        failure = closeFailure;
        step = "Cannot close";
    }
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        failure = errno;
        step = "Cannot rename over";
        subject = &path;
    }
    if (failure != 0) {
        error = Reason(step, *subject, failure);
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename is only lasting once the folder's entry is on the disk too. The new file is in
    // place either way, so a folder that cannot be synced (some file systems refuse) is no
    // failure.
    Descriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) {
        ::fsync(folder.Get());
    }
    return true;
}

bool RemoveFile(const std::string& path, std::string& error) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) {
        return true;
    }
    error = Reason("Cannot delete", path, errno);
    return false;
}

bool CreateFolderPath(const std::string& path, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(path, code);
    if (std::filesystem::is_directory(path)) {
        return true;
    }
    error = Reason("Cannot create the folder", path, code ? code.value() : ENOTDIR);
    return false;
}

FileRead ReadRegularFile(const std::string& path, std::size_t maxSize, std::string& bytes,
                         std::string& error) {
    // Non-blocking, so that a pipe of that name cannot stop the game; it is refused below.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT) {
            return FileRead::Missing;
        }
        error = Reason("Cannot open", path, errno);
        return FileRead::Failed;
    }
    struct stat info;
    if (::fstat(file.Get(), &info) != 0) {
        error = Reason("Cannot examine", path, errno);
        return FileRead::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        error = path + " is not a regular file";
        return FileRead::Failed;
    }
    if (static_cast<uint64_t>(info.st_size) > maxSize) {
        error = path + " is too large (" + std::to_string(info.st_size) + " bytes)";
        return FileRead::Failed;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = Reason("Cannot read", path, errno);
            return FileRead::Failed;
        }
        if (got == 0) {
            return FileRead::Read;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > maxSize) {
            error = path + " grew too large while it was read";
            return FileRead::Failed;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}
