#pragma once

#include "platform/com/Result.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// What registration writes into the classes root, as scripts of keys, each run as one edit of
// the classes root.

// One key a script writes: its path below the classes root and its values (the default value
// has the empty name). A replaced key is removed with all below it before it is written, and on
// removal is taken away whole; any other key loses the values the script gave it and goes only
// when nothing else is left in it, so entries of other modules survive.
struct ScriptKey {
    std::string path;
    std::vector<std::pair<std::string, std::string>> values;
    bool replaced = false;
};

// Parents stand before their children. The parents every module shares ("AppID", "CLSID",
// "TypeLib", "Interface") are not part of any script and are never removed.
using RegistryScript = std::vector<ScriptKey>;

RegistryScript AppIdScript();
// The script of one entry of kServerClasses.
RegistryScript ClassScript(std::size_t classIndex, const std::string& modulePath);
RegistryScript TypeLibraryScript(const std::string& modulePath);

// Writes or removes a script's keys; REGDB_E_WRITEREGDB when the classes root cannot be read or
// written.
HRESULT RunScript(const RegistryScript& script);
HRESULT RunScriptForRemoval(const RegistryScript& script);

// The whole registration of the module at the path, and its removal: the application id, then
// the classes in table order, then the type library; removal goes the other way round. Each
// stops at the first failure and returns it.
HRESULT RegisterServerAt(const std::string& modulePath);
HRESULT UnregisterServerAt(const std::string& modulePath);
