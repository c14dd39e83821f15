#pragma once

#include "platform/audio/AudioLayer.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

// A stream file over bytes of the test's own, counting how often it was closed.
class BytesFile final : public StreamFile {
public:
    BytesFile(std::string bytes, int* closed) : bytes(std::move(bytes)), closed(closed) {}

    std::size_t Read(void* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, bytes.size() - position);
        std::memcpy(buffer, bytes.data() + position, count);
        position += count;
        return count;
    }
    bool Seek(uint64_t offset) override {
        if (!canSeek || offset > bytes.size()) {
            return false;
        }
        position = static_cast<std::size_t>(offset);
        return true;
    }
    uint64_t Length() const override { return bytes.size(); }
    void Close() override { ++*closed; }

    bool canSeek = true;

private:
    std::string bytes;
    std::size_t position = 0;
    int* closed;
};
