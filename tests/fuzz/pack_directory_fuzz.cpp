// Feeds arbitrary bytes to the pack directory reader: every input must give a tree or our
// Exception, never a crash, a hang or a huge allocation.
#include "engine/Exception.h"
#include "engine/PackDirectory.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream pack(std::string(reinterpret_cast<const char*>(data), size));
    try {
        ReadPackDirectory(pack, size, "fuzz.boo");
    } catch (const Exception&) {
    }
    return 0;
}
