#include "engine/StoredEntryStream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

} // namespace

StoredEntryStreambuf::StoredEntryStreambuf(std::istream& pack, uint32_t offset, uint32_t size)
    : pack(pack), left(size), buffer(kBufferSize) {
    pack.seekg(offset);
    if (!pack) {
        left = 0;
    }
}

std::streamsize StoredEntryStreambuf::ReadPack(char* bytes, std::streamsize count) {
    count = std::min<std::streamsize>(count, left);
    if (count <= 0) {
        return 0;
    }
    pack.read(bytes, count);
    const std::streamsize got = pack.gcount();
    // A pack cut short under us ends the entry where the file ends.
    left = got < count ? 0 : left - static_cast<uint32_t>(got);
    return got;
}

StoredEntryStreambuf::int_type StoredEntryStreambuf::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    const std::streamsize got =
        ReadPack(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    setg(buffer.data(), buffer.data(), buffer.data() + got);
    return got > 0 ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

std::streamsize StoredEntryStreambuf::xsgetn(char_type* bytes, std::streamsize count) {
    // Large reads go straight from the pack into the caller's memory.
    const std::streamsize buffered = std::min<std::streamsize>(count, egptr() - gptr());
    if (buffered > 0) {
        std::memcpy(bytes, gptr(), static_cast<std::size_t>(buffered));
        gbump(static_cast<int>(buffered));
    }
    std::streamsize done = buffered;
    if (count - done >= static_cast<std::streamsize>(buffer.size())) {
        done += ReadPack(bytes + done, count - done);
        // What the buffer holds no longer lies just before the position: nothing to put back.
        setg(buffer.data(), buffer.data(), buffer.data());
    }
    return done < count ? done + std::streambuf::xsgetn(bytes + done, count - done) : done;
}

std::streamsize StoredEntryStreambuf::showmanyc() {
    return left > 0 ? static_cast<std::streamsize>(left) : -1;
}
