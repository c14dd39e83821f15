#include "media/Utf8ToWide.h"

#include <cstdint>

namespace {

constexpr int kMostLeadingOnes = 5;

// The bits of a lead byte below its first zero bit; none when it has no zero bit.
uint32_t LeadPayload(uint8_t lead) {
    for (int bit = 7; bit >= 0; --bit) {
        if ((lead & (1u << bit)) == 0) {
            return lead & ((1u << bit) - 1u);
        }
    }
    return 0;
}

std::size_t Terminate(std::span<char16_t> destination, std::size_t written) {
    destination[written] = 0;
    return written;
}

} // namespace

std::size_t Utf8ToWide(std::string_view source, std::span<char16_t> destination, int limit) {
    if (destination.empty()) {
        return 0;
    }
    // One place stays free for the terminator.
    std::size_t room = destination.size() - 1;
    if (limit >= 0 && static_cast<std::size_t>(limit) < room) {
        room = static_cast<std::size_t>(limit);
    }
    std::size_t written = 0;
    std::size_t at = 0;
    while (at < source.size() && written < room) {
        const auto lead = static_cast<uint8_t>(source[at]);
        int ones = 0;
        while (ones < kMostLeadingOnes && (lead & (0x80u >> ones)) != 0) {
            ++ones;
        }
        uint32_t unit = ones == 0 ? lead : LeadPayload(lead);
        std::size_t next = at + 1;
        bool whole = true;
        for (int following = 1; following < ones; ++following, ++next) {
            if (next == source.size()) {
                return Terminate(destination, written); // cut short by the end: dropped
            }
            const auto byte = static_cast<uint8_t>(source[next]);
            if (byte < 0x80u) {
                whole = false; // the bytes before this one are dropped; it starts afresh
                break;
            }
            unit = (unit << 6 | (byte & 0x3Fu)) & 0xFFFFu;
        }
        at = next;
        if (whole) {
            destination[written++] = static_cast<char16_t>(unit);
        }
    }
    return Terminate(destination, written);
}
