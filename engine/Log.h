#pragma once

#include <string>

// The debug log writes only while this is set ("create_log" in the configuration).
extern bool LogEnabled;

// Where the log goes: the save folder followed by "\log.txt" (separators are made native).
void SetLogPath(const std::string& path);
const std::string& LogPath();

// printf-style progress line: to standard error (the debugger output here) and appended to the
// log file. Nothing at all happens while LogEnabled is false.
[[gnu::format(printf, 1, 2)]] void DebugLog(const char* format, ...);
