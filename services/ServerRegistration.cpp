#include "services/ServerRegistration.h"

#include "platform/com/ClassesRoot.h"
#include "services/Guarded.h"
#include "services/ServerClasses.h"

#include <filesystem>
#include <iterator>

namespace {

// RegisterTypeLib's word for the platform the library was built for; hosts look for it.
constexpr const char* kTypeLibraryPlatform = "win32";

std::string LibraryVersionKey() {
    return "TypeLib\\" + FormatGuid(kLibidVostrelGamesServicesLib) + "\\" +
           kVostrelGamesServicesLibVersion;
}

} // namespace

RegistryScript AppIdScript() {
    const std::string appId = FormatGuid(kAppIdVostrelGamesServices);
    return {
        {"AppID\\" + appId, {{"", kAppIdDescription}}},
        {std::string("AppID\\") + kAppIdModuleKey, {{"AppID", appId}}},
    };
}

RegistryScript ClassScript(std::size_t classIndex, const std::string& modulePath) {
    const ServerClass& entry = kServerClasses[classIndex];
    const std::string clsid = FormatGuid(entry.clsid);
    const std::string classKey = "CLSID\\" + clsid;
    RegistryScript script = {
        {entry.progId, {{"", entry.description}}},
        {std::string(entry.progId) + "\\CLSID", {{"", clsid}}},
        {entry.independentProgId, {{"", entry.description}}},
        {std::string(entry.independentProgId) + "\\CLSID", {{"", clsid}}},
        {std::string(entry.independentProgId) + "\\CurVer", {{"", entry.progId}}},
        {classKey, {{"", entry.description}}, true},
        {classKey + "\\ProgID", {{"", entry.progId}}},
        {classKey + "\\VersionIndependentProgID", {{"", entry.independentProgId}}},
        {classKey + "\\Programmable", {}},
        {classKey + "\\InprocServer32", {{"", modulePath}, {"ThreadingModel", "Free"}}},
    };
    if (entry.toolboxBitmap) {
        script.push_back({classKey + "\\ToolboxBitmap32",
                          {{"", modulePath + ", " + std::to_string(kToolboxBitmapResource)}}});
    }
    if (entry.appId) {
        script[5].values.emplace_back("AppID", FormatGuid(kAppIdVostrelGamesServices));
    }
    script.push_back({classKey + "\\TypeLib", {{"", FormatGuid(kLibidVostrelGamesServicesLib)}}});
    return script;
}

RegistryScript TypeLibraryScript(const std::string& modulePath) {
    const std::string libid = FormatGuid(kLibidVostrelGamesServicesLib);
    const std::string version = LibraryVersionKey();
    // The type library travels inside the module; its help files would lie beside it.
    const std::string folder = std::filesystem::path(modulePath).parent_path().string();
    RegistryScript script = {
        {"TypeLib\\" + libid, {}},
        {version, {{"", kVostrelGamesServicesLibHelp}}, true},
        {version + "\\0", {}},
        {version + "\\0\\" + kTypeLibraryPlatform, {{"", modulePath}}},
        {version + "\\FLAGS", {{"", "0"}}},
        {version + "\\HELPDIR", {{"", folder}}},
    };
    for (const ServerClass& entry : kServerClasses) {
        const std::string key = "Interface\\" + FormatGuid(entry.iid);
        script.push_back({key, {{"", entry.interfaceName}}, true});
        script.push_back(
            {key + "\\TypeLib", {{"", libid}, {"Version", kVostrelGamesServicesLibVersion}}});
    }
    return script;
}

HRESULT RunScript(const RegistryScript& script) {
    return Guarded(E_OUTOFMEMORY, [&] {
        std::string error;
        const bool written = EditClassesRoot(
            [&](RegistryKey& root) {
                for (const ScriptKey& entry : script) {
                    if (entry.replaced) {
                        root.RemoveKey(entry.path);
                    }
                    RegistryKey* key = root.CreateKey(entry.path);
                    if (key == nullptr) {
                        return false;
                    }
                    for (const auto& [name, value] : entry.values) {
                        key->SetValue(name, value);
                    }
                }
                return true;
            },
            error);
        return written ? S_OK : REGDB_E_WRITEREGDB;
    });
}

HRESULT RunScriptForRemoval(const RegistryScript& script) {
    return Guarded(E_OUTOFMEMORY, [&] {
        std::string error;
        const bool written = EditClassesRoot(
            [&](RegistryKey& root) {
                // Children first, so a parent is empty when its turn comes.
                for (auto entry = script.rbegin(); entry != script.rend(); ++entry) {
                    if (entry->replaced) {
                        root.RemoveKey(entry->path);
                        continue;
                    }
                    RegistryKey* key = root.FindKey(entry->path);
                    if (key == nullptr) {
                        continue;
                    }
                    for (const auto& value : entry->values) {
                        key->RemoveValue(value.first);
                    }
                    if (key->Values().empty() && key->SubKeys().empty()) {
                        root.RemoveKey(entry->path);
                    }
                }
                return true;
            },
            error);
        return written ? S_OK : REGDB_E_WRITEREGDB;
    });
}

HRESULT RegisterServerAt(const std::string& modulePath) {
    if (modulePath.empty()) {
        return E_FAIL;
    }
    HRESULT result = RunScript(AppIdScript());
    for (std::size_t index = 0; index < std::size(kServerClasses) && Succeeded(result); ++index) {
        result = RunScript(ClassScript(index, modulePath));
    }
    return Succeeded(result) ? RunScript(TypeLibraryScript(modulePath)) : result;
}

HRESULT UnregisterServerAt(const std::string& modulePath) {
    HRESULT result = RunScriptForRemoval(TypeLibraryScript(modulePath));
    for (std::size_t index = 0; index < std::size(kServerClasses) && Succeeded(result); ++index) {
        result = RunScriptForRemoval(ClassScript(index, modulePath));
    }
    return Succeeded(result) ? RunScriptForRemoval(AppIdScript()) : result;
}
