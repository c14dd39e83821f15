#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The disk operations behind files that must survive a crash: replacing a file whole, deleting
// one, making folders and reading a regular file by its exact path. Paths are native (see
// NativePath); error texts name the path and the reason.

// Replaces the file at path with exactly these bytes, so that at every moment the path holds
// either the whole old file or the whole new one: the bytes go to a temporary file beside it
// (path + ".tmp"), which is flushed to the disk and renamed over the old file; then the folder is
// synced. On failure (a full disk, a folder that cannot be written) the old file stays as it was,
// the temporary file is removed, error says why, and the result is false.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Deletes the file. True when it is gone afterwards, also when there was none.
bool RemoveFile(const std::string& path, std::string& error);

// Creates every missing folder of the path. True when the folder exists afterwards.
bool CreateFolderPath(const std::string& path, std::string& error);

enum class FileRead { Read, Missing, Failed };

// Reads the regular file at path whole into bytes. Missing when nothing is there; Failed (with
// error) when something is there that is not a regular file, cannot be read, or holds more than
// maxSize bytes.
FileRead ReadRegularFile(const std::string& path, std::size_t maxSize, std::string& bytes,
                         std::string& error);
