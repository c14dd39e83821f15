#include "platform/os/SingleInstance.h"

#include "platform/os/Seams.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

SingleInstance::~SingleInstance() {
    Release();
}

bool SingleInstance::Claim(const std::string& name) {
    if (Held()) {
        return true;
    }
    const std::string full = name + "-" + std::to_string(::getuid());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // The first byte 0 puts the name in the abstract namespace; the rest must fit after it.
    if (full.size() + 1 > sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path + 1, full.data(), full.size());
    const int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) {
        return false;
    }
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + full.size());
    if (::bind(handle, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        ::close(handle);
        return false;
    }
    socket = handle;
    return true;
}

void SingleInstance::Release() {
    if (socket >= 0) {
        ::close(socket);
        socket = -1;
    }
}

std::string InstanceName(const std::string& name) {
    return Seams().instanceName ? *Seams().instanceName : name;
}
