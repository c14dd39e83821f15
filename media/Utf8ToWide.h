#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// Decodes UTF-8 into 16-bit code units, as the fonts draw them: a byte without leading one bits is
// one unit; a byte with n leading one bits (at most five counted) starts a sequence of n bytes,
// whose following bytes must each be at least 128, and whose unit is the lead byte's bits below
// its first zero bit followed by six bits of each following byte, cut to 16 bits. A sequence
// broken by a byte below 128 drops the bytes before that byte; one cut short by the end of the
// source drops what is left. Code points above U+FFFF are cut to 16 bits.
//
// At most `limit` units are written (no limit when negative), and never more than the
// destination holds besides the terminating zero unit, which is always written when there is room
// for it. Returns the number of units written, the terminator not counted.
std::size_t Utf8ToWide(std::string_view source, std::span<char16_t> destination, int limit);
