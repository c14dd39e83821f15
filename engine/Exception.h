#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

// Size of every buffer that FormatText fills, terminator included.
constexpr std::size_t kFormatTextSize = 256;

// printf-style formatting into the caller's buffer; the result is always cut to fit and
// terminated. Returns the buffer.
[[gnu::format(printf, 2, 3)]] char* FormatText(char (&buffer)[kFormatTextSize], const char* format,
                                               ...);
[[gnu::format(printf, 2, 0)]] char* FormatTextV(char (&buffer)[kFormatTextSize], const char* format,
                                                va_list args);

// The one error type of the program, thrown by value for every fatal condition. Its text is
// at most 255 characters and always terminated.
class Exception {
public:
    static constexpr std::size_t kMaxLength = 255;

    [[gnu::format(printf, 2, 3)]] explicit Exception(const char* format, ...);

    const char* Text() const { return text; }

private:
    char text[kMaxLength + 1];
};

// A text that goes into a message, cut to what an Exception can hold anyway, so that formatting
// stays cheap and bounded whatever the size of the data.
std::string MessagePart(std::string_view text);

// Thrown by the main loop when the quit message arrives, to unwind every nested process.
struct ExceptionQuit {};
