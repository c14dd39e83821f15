#include "platform/com/Bstr.h"

#include "platform/com/CodePage.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kMaxCharacters = std::numeric_limits<uint32_t>::max() / 2 - 1;

// The count stands in the four bytes before the characters.
const char* CountOf(const char16_t* text) {
    return reinterpret_cast<const char*>(text) - sizeof(uint32_t);
}

} // namespace

BSTR AllocBstr(std::u16string_view text) noexcept {
    if (text.size() > kMaxCharacters) {
        return nullptr;
    }
    const std::size_t bytes = text.size() * sizeof(char16_t);
    void* block = std::malloc(sizeof(uint32_t) + bytes + sizeof(char16_t));
    if (block == nullptr) {
        return nullptr;
    }
    const uint32_t count = static_cast<uint32_t>(bytes);
    std::memcpy(block, &count, sizeof count);
    auto* characters = reinterpret_cast<char16_t*>(static_cast<char*>(block) + sizeof(uint32_t));
    if (bytes != 0) {
        std::memcpy(characters, text.data(), bytes);
    }
    characters[text.size()] = u'\0';
    return characters;
}

BSTR AllocBstrFromNarrow(std::string_view text) noexcept {
    try {
        return AllocBstr(WideFromNarrow(text));
    } catch (...) {
        return nullptr;
    }
}

void FreeBstr(BSTR text) noexcept {
    if (text != nullptr) {
        std::free(reinterpret_cast<char*>(text) - sizeof(uint32_t));
    }
}

uint32_t BstrLength(const char16_t* text) noexcept {
    if (text == nullptr) {
        return 0;
    }
    uint32_t count;
    std::memcpy(&count, CountOf(text), sizeof count);
    return count / sizeof(char16_t);
}
