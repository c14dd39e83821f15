#pragma once

#include "tests/support/TempFolder.h"

#include <string>

// Turns the debug log on into a file of its own while the object lives; Text() is what was
// logged so far.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string Text() const;

private:
    TempFolder folder;
    bool wasEnabled;
    std::string previousPath;
};
