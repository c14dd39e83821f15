#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A four-character id: the text's first four characters packed into 32 bits, the first in the
// top byte ("POSI" is 0x504F5349). A shorter text is padded with zero bytes ("ABC" is
// 0x41424300); an empty one gives 0.
constexpr uint32_t FourCC(std::string_view text) {
    uint32_t id = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        id <<= 8;
        if (i < text.size()) {
            id |= static_cast<unsigned char>(text[i]);
        }
    }
    return id;
}

// The id as text for messages: its characters without the padding zero bytes; any other byte
// that is not printable ASCII shows as "\xNN".
std::string FourCCText(uint32_t id);
