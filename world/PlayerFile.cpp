#include "world/PlayerFile.h"

#include "engine/Application.h"
#include "engine/Log.h"
#include "platform/os/MessageBox.h"
#include "platform/os/NativePath.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace {

bool writeFailureTold = false;

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// A word that the definition parser reads back as one value, unchanged.
bool IsPlainWord(std::string_view name) {
    if (name.empty() || name.front() == '#') {
        return false;
    }
    for (const char c : name) {
        if (c == ' ' || IsControl(c) || c == '(' || c == ')' || c == '[' || c == ']' || c == '"') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string PlayerFilePath(std::string_view name) {
    return App.GetDataDir() + std::string(name);
}

bool CreatePlayerFileFolder() {
    const std::string folder = App.GetDataDir();
    if (folder.empty()) {
        return true; // the current folder
    }
    std::string error;
    if (!CreateFolderPath(NativePath(folder), error)) {
        DebugLog("%s\n", error.c_str());
        return false;
    }
    return true;
}

void SweepPlayerFileFolder() {
    const std::string folder = App.GetDataDir();
    std::error_code error;
    std::filesystem::directory_iterator entries(NativePath(folder.empty() ? "." : folder), error);
    if (error) {
        return; // no folder yet: nothing was left
    }
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        // The writer's temporary name is the player file's own with ".tmp" after it.
        constexpr std::string_view kTemporary = ".tmp";
        if (name.size() <= kTemporary.size() || !name.ends_with(kTemporary)) {
            continue;
        }
        const std::string_view playerFile(name.data(), name.size() - kTemporary.size());
        if (!playerFile.ends_with(".pla") && !playerFile.ends_with(".sav") &&
            playerFile != "settings.dat") {
            continue;
        }
        if (entry.is_regular_file(error) || entry.is_symlink(error)) {
            std::string reason;
            if (!RemoveFile(entry.path().string(), reason)) {
                DebugLog("%s\n", reason.c_str());
            }
        }
    }
}

bool WritePlayerFile(const std::string& path, std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    std::string error;
    if (!ReplaceFileAtomically(NativePath(path), bytes, error)) {
        DebugLog("Player file not saved: %s\n", error.c_str());
        // A full disk or a read-only folder loses the player's progress: say so, once, rather
        // than leave it to a log nobody reads.
        if (!writeFailureTold) {
            writeFailureTold = true;
            ShowMessageBox(App.window,
                           "Your progress could not be saved in \"" + path + "\".\n" + error +
                               "\nThe game keeps what it had saved before and tries again at the "
                               "next save.",
                           "Saving failed", MessageBoxButtons::Ok, MessageBoxIcon::Warning);
        }
        return false;
    }
    return true;
}

void ForgetPlayerFileWriteFailures() {
    writeFailureTold = false;
}

FileRead ReadPlayerFile(const std::string& path, std::string& text) {
    std::string error;
    const FileRead result = ReadRegularFile(NativePath(path), kMaxPlayerFileSize, text, error);
    if (result == FileRead::Failed) {
        DebugLog("Player file not read: %s\n", error.c_str());
    }
    return result;
}

bool DeletePlayerFile(const std::string& path) {
    std::string error;
    if (!RemoveFile(NativePath(path), error)) {
        DebugLog("%s\n", error.c_str());
        return false;
    }
    return true;
}

bool IsStorableName(std::string_view name) {
    if (IsPlainWord(name)) {
        return true;
    }
    for (const char c : name) {
        if (IsControl(c)) {
            return false;
        }
    }
    // Inside quotes a backslash before the closing quote would escape it.
    return name.empty() || name.back() != '\\';
}

std::string PlayerFileToken(std::string_view name) {
    if (IsPlainWord(name)) {
        return std::string(name);
    }
    // The parser reads \" as a quote and any other backslash as itself.
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

bool IsSafeItemName(std::string_view item) {
    if (item.empty() || item == "0" || !IsStorableName(item)) {
        return false;
    }
    return item.find_first_of("/\\:") == std::string_view::npos;
}

std::optional<int32_t> ParseInt32(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string FormatFloat(float value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(
        buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::general, 6);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

bool EndsWithClosedList(std::string_view text) {
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    if (last == std::string_view::npos || text[last] != ')') {
        return false;
    }
    const std::size_t lineStart = text.find_last_of('\n', last);
    if (lineStart == std::string_view::npos) {
        return false;
    }
    for (std::size_t i = lineStart + 1; i < last; ++i) {
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r') {
            return false;
        }
    }
    return true;
}
