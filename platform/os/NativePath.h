#pragma once

#include <string>
#include <string_view>

// The data name files with Windows separators ("menus\tutorials\x.txt"). Every name that reaches
// the operating system goes through NativePath: '\' becomes '/', and "." and ".." components are
// resolved lexically, as Windows does, so "data/../config.txt" works whether or not "data"
// exists or is a link.
std::string NativePath(std::string_view name);

// True when a name is a path of its own and is used unchanged: it begins with '/' (absolute
// here, as a drive letter is on Windows) or it carries a drive letter ("C:\..."), which names
// nothing here. A name beginning with '\' is not: on Windows it hangs under the drive, and the
// file layer puts it under its base folder.
bool IsAbsoluteName(std::string_view name);

// The current folder, of any length; empty when it cannot be had.
std::string CurrentFolder();

// True when the path names a regular file (links followed). Folders and devices never open as
// files.
bool IsRegularFile(const std::string& nativePath);
