#pragma once

#include "platform/com/ComExport.h"

#include <cstdint>
#include <new>
#include <string>
#include <string_view>

// A string as it crosses an interface: 16-bit characters after a 32-bit byte count, ending in a
// zero character (which may also stand inside). Allocated with malloc by this runtime, so any
// module may free what another made. A null BSTR reads as the empty string.
using BSTR = char16_t*;

// A new BSTR holding the text; null when memory runs out or the text is too long for the count.
ORVEXCOM_API BSTR AllocBstr(std::u16string_view text) noexcept;
// The same from narrow text in the system code page.
ORVEXCOM_API BSTR AllocBstrFromNarrow(std::string_view text) noexcept;
// Frees a BSTR; null is allowed.
ORVEXCOM_API void FreeBstr(BSTR text) noexcept;
// Characters in the BSTR; 0 for null.
ORVEXCOM_API uint32_t BstrLength(const char16_t* text) noexcept;

inline std::u16string_view BstrView(const char16_t* text) noexcept {
    return text == nullptr ? std::u16string_view() : std::u16string_view(text, BstrLength(text));
}

// Owns one BSTR: frees it when it goes, hands it out on request.
class Bstr {
public:
    Bstr() = default;
    // Throws std::bad_alloc when memory runs out.
    explicit Bstr(std::u16string_view text) : value(AllocBstr(text)) {
        if (value == nullptr) {
            throw std::bad_alloc();
        }
    }
    static Bstr FromNarrow(std::string_view text) {
        Bstr result;
        result.value = AllocBstrFromNarrow(text);
        if (result.value == nullptr) {
            throw std::bad_alloc();
        }
        return result;
    }
    // Takes ownership of a BSTR made elsewhere.
    static Bstr Adopt(BSTR text) noexcept {
        Bstr result;
        result.value = text;
        return result;
    }

    Bstr(Bstr&& other) noexcept : value(other.value) { other.value = nullptr; }
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            FreeBstr(value);
            value = other.value;
            other.value = nullptr;
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { FreeBstr(value); }

    BSTR Get() const noexcept { return value; }
    // Gives up ownership: the caller frees the result.
    BSTR Release() noexcept {
        BSTR result = value;
        value = nullptr;
        return result;
    }
    // Frees what is held and returns the place for a call to fill.
    BSTR* Put() noexcept {
        FreeBstr(value);
        value = nullptr;
        return &value;
    }

    std::u16string_view View() const noexcept { return BstrView(value); }
    uint32_t Length() const noexcept { return BstrLength(value); }

private:
    BSTR value = nullptr;
};
