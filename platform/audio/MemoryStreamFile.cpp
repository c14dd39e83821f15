#include "platform/audio/MemoryStreamFile.h"

#include <algorithm>
#include <cstring>

std::size_t MemoryStreamFile::Read(void* buffer, std::size_t size) {
    const std::size_t count = std::min(size, bytes.size() - position);
    if (count > 0) {
        std::memcpy(buffer, bytes.data() + position, count);
    }
    position += count;
    return count;
}

bool MemoryStreamFile::Seek(uint64_t offset) {
    if (offset > bytes.size()) {
        return false;
    }
    position = static_cast<std::size_t>(offset);
    return true;
}

void MemoryStreamFile::Close() {
    owned = {};
    bytes = {};
    position = 0;
}
