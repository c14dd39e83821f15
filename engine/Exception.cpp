#include "engine/Exception.h"

#include <cstdio>

char* FormatTextV(char (&buffer)[kFormatTextSize], const char* format, va_list args) {
    if (std::vsnprintf(buffer, kFormatTextSize, format, args) < 0) {
        buffer[0] = '\0';
    }
    return buffer;
}

char* FormatText(char (&buffer)[kFormatTextSize], const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatTextV(buffer, format, args);
    va_end(args);
    return buffer;
}

Exception::Exception(const char* format, ...) {
    static_assert(sizeof(text) == kFormatTextSize, "an Exception text is one FormatText buffer");
    va_list args;
    va_start(args, format);
    FormatTextV(text, format, args);
    va_end(args);
}

std::string MessagePart(std::string_view text) {
    return std::string(text.substr(0, Exception::kMaxLength));
}
