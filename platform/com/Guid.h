#pragma once

#include "platform/com/ComExport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A 128-bit identifier of a class, an interface, a type library or an application.
struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};

    friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

namespace guid_detail {

constexpr int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (digits in either case).
constexpr bool ReadGuid(std::string_view text, Guid& guid) {
    constexpr std::string_view pattern = "{........-....-....-....-............}";
    if (text.size() != pattern.size()) {
        return false;
    }
    uint8_t bytes[16] = {};
    int nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (pattern[i] != '.') {
            if (text[i] != pattern[i]) {
                return false;
            }
            continue;
        }
        const int digit = HexDigit(text[i]);
        if (digit < 0) {
            return false;
        }
        bytes[nibble / 2] = static_cast<uint8_t>(bytes[nibble / 2] * 16 + digit);
        ++nibble;
    }
    guid.data1 = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
                 static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    guid.data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    guid.data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i) {
        guid.data4[i] = bytes[8 + i];
    }
    return true;
}

void BadGuidLiteral(); // not defined: a bad literal stops the compilation

} // namespace guid_detail

// A GUID written in the source as text; a malformed literal does not compile.
consteval Guid GuidLiteral(std::string_view text) {
    Guid guid;
    if (!guid_detail::ReadGuid(text, guid)) {
        guid_detail::BadGuidLiteral();
    }
    return guid;
}

// The GUID of a text in registry form with braces; nothing when it is not one.
constexpr std::optional<Guid> ParseGuid(std::string_view text) {
    Guid guid;
    if (!guid_detail::ReadGuid(text, guid)) {
        return std::nullopt;
    }
    return guid;
}

// Registry form: braces, upper-case digits.
ORVEXCOM_API std::string FormatGuid(const Guid& guid);

constexpr Guid kGuidNull{};
