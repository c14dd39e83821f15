#pragma once

#include <string>

// The application's start-up (Application::Init), up to the window, the device, the sound and
// the pause picture: false only when another copy of the game runs; every other failure throws
// Exception. It lives with the program, since start-up wires every layer of the game together.
bool InitApplication();

// The longest folder path that start-up creates; a longer one is refused.
constexpr std::size_t kMaxDirectoryPath = 260;

// Creates every missing level of a folder path ('\' or '/' between levels; a separator right
// after ':' is no level of its own). True when the whole folder exists afterwards; false for an
// empty path, a path longer than kMaxDirectoryPath (nothing is created then) or a level that
// cannot be made.
bool CreateDirectoryPath(const std::string& path);

// The save folder: "Saved Games/Vostrel Games/Orvex/" under the user's profile folder, or the
// current folder's "store/" when there is no profile folder.
std::string ChooseSaveFolder();

// Lets go of the single-instance name that start-up claimed (tests, which start the game more
// than once in one process).
void ReleaseSingleInstance();
