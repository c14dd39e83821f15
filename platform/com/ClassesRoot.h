#pragma once

#include "platform/com/ComExport.h"
#include "platform/com/RegistryKey.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The classes root of the registry, kept in one text file (see FormatRegistry). Its path is
// $ORVEX_CLASSES_ROOT when set, else "orvex/classes-root.reg" under $XDG_CONFIG_HOME (by default
// ~/.config). Empty when none of these can be had.
ORVEXCOM_API std::string ClassesRootPath();

// Reads the whole tree; a missing file is an empty tree. False with the reason (naming the
// file) when the file cannot be read or is damaged.
ORVEXCOM_API bool ReadClassesRoot(RegistryKey& root, std::string& error) noexcept;

// Reads the tree, lets `change` edit it and writes the result back: to a new file renamed over
// the old one, so a reader never sees half a file, and under a lock, so edits of several
// processes or threads never lose each other's keys. When `change` returns false nothing is
// written and the result is false.
ORVEXCOM_API bool EditClassesRoot(const std::function<bool(RegistryKey&)>& change,
                                  std::string& error) noexcept;

// One value of the classes root, or nothing when the key, the value or the file is missing.
ORVEXCOM_API std::optional<std::string> ReadClassesRootValue(std::string_view keyPath,
                                                             std::string_view valueName) noexcept;
