#pragma once

#include "platform/audio/AudioLayer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A stream file over bytes in memory: either bytes that someone else keeps alive, or bytes of
// its own (released when the stream closes it). Streams read from memory only, so the audio
// thread never touches the file layer.
class MemoryStreamFile final : public StreamFile {
public:
    explicit MemoryStreamFile(std::span<const uint8_t> borrowed) : bytes(borrowed) {}
    explicit MemoryStreamFile(std::vector<uint8_t> own) : owned(std::move(own)), bytes(owned) {}
    MemoryStreamFile(const MemoryStreamFile&) = delete;
    MemoryStreamFile& operator=(const MemoryStreamFile&) = delete;

    std::size_t Read(void* buffer, std::size_t size) override;
    bool Seek(uint64_t offset) override;
    uint64_t Length() const override { return bytes.size(); }
    void Close() override;

private:
    std::vector<uint8_t> owned;
    std::span<const uint8_t> bytes;
    std::size_t position = 0;
};
