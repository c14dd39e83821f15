#pragma once

#include "platform/os/DiskFiles.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The player files: the profiles, "last.pla", "settings.dat" and the save games. They lie in the
// player-file folder and are read there by their exact path, never through the data folders or
// the pack. Each is written whole through a temporary file, so that a crash, a kill or a full
// disk never leaves one half-written. In memory their line breaks are "\n"; on disk CR LF.

// No player file comes near this; a larger one is refused rather than read.
constexpr std::size_t kMaxPlayerFileSize = 16 << 20;

// The player-file folder (Application::GetDataDir) followed directly by the name.
std::string PlayerFilePath(std::string_view name);

// Creates the player-file folder with every missing level above it. Start-up calls it, so that
// the profiles can be written from the first change on; a failure is logged.
bool CreatePlayerFileFolder();

// Removes what a write cut short (a kill, a power loss) can leave in the player-file folder: the
// temporary copies "<player file>.tmp" of the profiles, "last.pla", "settings.dat" and the save
// games. Start-up calls it before anything reads the folder; other files are left alone.
void SweepPlayerFileFolder();

// Replaces the file at path with the text, every "\n" written as CR LF. A failure keeps the old
// file and is logged; the first failure of a run is also told to the player in a message box
// naming the file and the reason (later ones only logged, and later saves keep trying). The
// result says whether the new text is in place.
bool WritePlayerFile(const std::string& path, std::string_view text);

// The next write failure is told to the player again (a new run; tests).
void ForgetPlayerFileWriteFailures();

// Reads the file at path whole (CR LF kept). Missing when there is none; Failed (logged) when
// something is there that cannot be read as a player file.
FileRead ReadPlayerFile(const std::string& path, std::string& text);

// Deletes the file at path; a missing file is no failure, any other is logged.
bool DeletePlayerFile(const std::string& path);

// Names written into the player files (flag keys, item names, level names) must come back from
// the parser unchanged and must not break the lists around them. A plain word is written as it
// is; any other name is written as a quoted string. A name that a quoted string cannot carry (one
// with a control character, or one that needs quotes and ends with a backslash) is refused
// wherever names enter a profile.
bool IsStorableName(std::string_view name);
// The name as it is written: itself or quoted. Only for storable names.
std::string PlayerFileToken(std::string_view name);

// An item name that can be stored and also names its picture "gfx/objects/<item>.ani" without
// leaving that folder: storable, not a free slot's name ("" or "0"), and without '/', '\' or ':'.
bool IsSafeItemName(std::string_view item);

// A decimal 32-bit integer with an optional sign and nothing else; nothing otherwise.
std::optional<int32_t> ParseInt32(std::string_view text);

// A float as the standard stream writes it: at most six significant digits, C locale.
std::string FormatFloat(float value);

// Whether the text ends, trailing white space aside, with a list closed on a line of its own, as
// every player file written whole does: the writers put each closing bracket of a section on its
// own line, and no name spans a line, so a file cut short anywhere fails the test.
bool EndsWithClosedList(std::string_view text);
