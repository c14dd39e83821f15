#include "platform/os/Shell.h"

#include "platform/os/Seams.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

constexpr int kIdleNice = 19;

// The program's path through $PATH, found before forking: the child then only calls exec.
std::string FindProgram(std::string_view program) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + std::string(program);
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        folders.remove_prefix(colon + 1);
    }
}

} // namespace

std::string UserProfileFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return std::string(home) + "/.local/share";
    }
    return {};
}

bool SetProcessPriority(ProcessPriority priority) {
    if (priority == ProcessPriority::Normal) {
        return true;
    }
    return ::setpriority(PRIO_PROCESS, 0, kIdleNice) == 0;
}

bool OpenDocument(const std::string& path) {
    if (Seams().openDocument) {
        return Seams().openDocument(path);
    }
    const std::string program = FindProgram("xdg-open");
    if (program.empty()) {
        return false;
    }
    std::vector<char*> arguments = {const_cast<char*>("xdg-open"), const_cast<char*>(path.c_str()),
                                    nullptr};
    // Two forks: the middle child ends at once, so the opener is nobody's child to wait for and
    // leaves no zombie behind, however long the document stays open.
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execv(program.c_str(), arguments.data());
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
