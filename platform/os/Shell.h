#pragma once

#include <string>

// What the desktop and the system offer the game beyond its window: the user's profile folder,
// the process's scheduling priority and opening a document in the user's program for it.

// The folder of the user's application data: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share; empty when neither can be had. No separator at the end.
std::string UserProfileFolder();

enum class ProcessPriority { Normal, Idle };

// Normal leaves the scheduling priority as it is; Idle lowers it to the lowest. False when the
// system refuses.
bool SetProcessPriority(ProcessPriority priority);

// Opens the file in the user's program for it ("xdg-open" with the path as its one argument,
// started directly, never through a shell) without waiting for it. With the seam set, the seam
// is told instead. False when the program cannot be started.
bool OpenDocument(const std::string& path);
