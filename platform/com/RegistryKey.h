#pragma once

#include "platform/com/ComExport.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One key of the classes root: named string values and keys below it. Names of keys and
// values are found whatever their case (ASCII letters; other bytes compare as they are) and
// keep the case they were first written with. The default value has the empty name.
class ORVEXCOM_API RegistryKey {
public:
    explicit RegistryKey(std::string name = {});

    const std::string& Name() const { return name; }

    const std::string* Value(std::string_view valueName) const;
    void SetValue(std::string_view valueName, std::string_view value);
    bool RemoveValue(std::string_view valueName);
    // (name, value) pairs in name order.
    std::vector<std::pair<std::string, std::string>> Values() const;

    // A key below this one, by names joined with '\'; null when there is none.
    const RegistryKey* FindKey(std::string_view path) const;
    RegistryKey* FindKey(std::string_view path);
    // The key, created with every missing level; null when the path names no valid key (an
    // empty name, a control character).
    RegistryKey* CreateKey(std::string_view path);
    // Removes the key with everything below it; false when there is none.
    bool RemoveKey(std::string_view path);
    // The keys right below this one, in name order.
    std::vector<const RegistryKey*> SubKeys() const;

private:
    template <typename Key>
    static Key* FindBelow(Key* key, std::string_view path);

    std::string name;
    std::map<std::string, std::pair<std::string, std::string>> values; // folded name: name, value
    std::map<std::string, std::unique_ptr<RegistryKey>> keys;          // folded name: key
};

// The text form of a whole tree, as the classes-root file holds it: a line "[path]" for every
// key, then its values as `@="..."` (the default) or `"name"="..."`; '\', '"' and control
// characters in quotes are written \\, \" and \xHH.
ORVEXCOM_API std::string FormatRegistry(const RegistryKey& root);

// Reads the text form into `root`; false with the line number and the reason in `error`.
ORVEXCOM_API bool ParseRegistry(std::string_view text, RegistryKey& root, std::string& error);
