#include "platform/com/RegistryKey.h"

namespace {

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

bool IsValidKeyName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        if (IsControl(c)) {
            return false;
        }
    }
    return true;
}

// Splits "a\b\c" into its names; an empty path gives none.
std::vector<std::string_view> PathNames(std::string_view path) {
    std::vector<std::string_view> names;
    if (path.empty()) {
        return names;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        names.push_back(path.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return names;
        }
        start = end + 1;
    }
}

void AppendQuoted(std::string& out, std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (IsControl(c)) {
            out += "\\x";
            out += digits[static_cast<unsigned char>(c) >> 4];
            out += digits[static_cast<unsigned char>(c) & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Reads a quoted text at line[at], moving `at` past it.
bool ReadQuoted(std::string_view line, std::size_t& at, std::string& text) {
    if (at >= line.size() || line[at] != '"') {
        return false;
    }
    ++at;
    text.clear();
    while (at < line.size()) {
        const char c = line[at++];
        if (c == '"') {
            return true;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (at >= line.size()) {
            return false;
        }
        const char escaped = line[at++];
        if (escaped == '\\' || escaped == '"') {
            text += escaped;
        } else if (escaped == 'x' && at + 2 <= line.size() && HexValue(line[at]) >= 0 &&
                   HexValue(line[at + 1]) >= 0) {
            text += static_cast<char>(HexValue(line[at]) * 16 + HexValue(line[at + 1]));
            at += 2;
        } else {
            return false;
        }
    }
    return false;
}

void FormatKey(std::string& out, const RegistryKey& key, const std::string& path) {
    out += '[';
    out += path;
    out += "]\n";
    for (const auto& [valueName, value] : key.Values()) {
        if (valueName.empty()) {
            out += '@';
        } else {
            AppendQuoted(out, valueName);
        }
        out += '=';
        AppendQuoted(out, value);
        out += '\n';
    }
    for (const RegistryKey* below : key.SubKeys()) {
        FormatKey(out, *below, path + "\\" + below->Name());
    }
}

} // namespace

RegistryKey::RegistryKey(std::string name) : name(std::move(name)) {}

const std::string* RegistryKey::Value(std::string_view valueName) const {
    const auto found = values.find(Folded(valueName));
    return found == values.end() ? nullptr : &found->second.second;
}

void RegistryKey::SetValue(std::string_view valueName, std::string_view value) {
    auto& entry = values[Folded(valueName)];
    if (entry.first.empty()) {
        entry.first = valueName;
    }
    entry.second = value;
}

bool RegistryKey::RemoveValue(std::string_view valueName) {
    return values.erase(Folded(valueName)) != 0;
}

std::vector<std::pair<std::string, std::string>> RegistryKey::Values() const {
    std::vector<std::pair<std::string, std::string>> list;
    for (const auto& [folded, entry] : values) {
        list.push_back(entry);
    }
    return list;
}

template <typename Key>
Key* RegistryKey::FindBelow(Key* key, std::string_view path) {
    for (const std::string_view keyName : PathNames(path)) {
        const auto found = key->keys.find(Folded(keyName));
        if (found == key->keys.end()) {
            return nullptr;
        }
        key = found->second.get();
    }
    return key;
}

const RegistryKey* RegistryKey::FindKey(std::string_view path) const {
    return FindBelow(this, path);
}

RegistryKey* RegistryKey::FindKey(std::string_view path) {
    return FindBelow(this, path);
}

RegistryKey* RegistryKey::CreateKey(std::string_view path) {
    const std::vector<std::string_view> names = PathNames(path);
    if (names.empty()) {
        return nullptr;
    }
    for (const std::string_view keyName : names) {
        if (!IsValidKeyName(keyName)) {
            return nullptr;
        }
    }
    RegistryKey* key = this;
    for (const std::string_view keyName : names) {
        std::unique_ptr<RegistryKey>& below = key->keys[Folded(keyName)];
        if (!below) {
            below = std::make_unique<RegistryKey>(std::string(keyName));
        }
        key = below.get();
    }
    return key;
}

bool RegistryKey::RemoveKey(std::string_view path) {
    const std::size_t last = path.rfind('\\');
    RegistryKey* parent = last == std::string_view::npos ? this : FindKey(path.substr(0, last));
    const std::string_view keyName = last == std::string_view::npos ? path : path.substr(last + 1);
    return parent != nullptr && !keyName.empty() && parent->keys.erase(Folded(keyName)) != 0;
}

std::vector<const RegistryKey*> RegistryKey::SubKeys() const {
    std::vector<const RegistryKey*> list;
    for (const auto& [folded, key] : keys) {
        list.push_back(key.get());
    }
    return list;
}

std::string FormatRegistry(const RegistryKey& root) {
    std::string out = "; Orvex classes root\n";
    for (const RegistryKey* key : root.SubKeys()) {
        FormatKey(out, *key, key->Name());
    }
    return out;
}

bool ParseRegistry(std::string_view text, RegistryKey& root, std::string& error) {
    RegistryKey* current = nullptr;
    std::size_t lineNumber = 0;
    const auto fail = [&](const char* reason) {
        error = "line " + std::to_string(lineNumber) + ": " + reason;
        return false;
    };
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) {
                return fail("a key line must be [path]");
            }
            current = root.CreateKey(line.substr(1, line.size() - 2));
            if (current == nullptr) {
                return fail("the key path is not valid");
            }
            continue;
        }
        if (current == nullptr) {
            return fail("a value stands before any key");
        }
        std::size_t at = 0;
        std::string valueName;
        if (line.front() == '@') {
            at = 1;
        } else if (!ReadQuoted(line, at, valueName)) {
            return fail("a value name must be @ or a quoted text");
        }
        std::string value;
        if (at >= line.size() || line[at] != '=') {
            return fail("'=' expected after the value name");
        }
        ++at;
        if (!ReadQuoted(line, at, value) || at != line.size()) {
            return fail("the value must be one quoted text");
        }
        current->SetValue(valueName, value);
    }
    return true;
}
