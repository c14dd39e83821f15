#pragma once

#include "platform/com/ComExport.h"

#include <string>
#include <string_view>

// Strings cross the interfaces as 16-bit characters and are held inside as narrow text in the
// system's code page, which is UTF-8 here. Both conversions replace what cannot be converted
// (a lone surrogate, a malformed byte sequence) by U+FFFD.
ORVEXCOM_API std::string NarrowFromWide(std::u16string_view text);
ORVEXCOM_API std::u16string WideFromNarrow(std::string_view text);

// True when the text holds no lone surrogate, so it converts without loss.
ORVEXCOM_API bool IsWellFormedWide(std::u16string_view text);
