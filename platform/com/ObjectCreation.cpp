#include "platform/com/ObjectCreation.h"

#include "platform/com/ClassesRoot.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace {

struct RegisteredClass {
    uint32_t cookie;
    Guid clsid;
    IUnknown* classObject;
};

struct LoadedModule {
    void* handle;
    GetClassObjectEntry getClassObject;
    CanUnloadNowEntry canUnloadNow;
};

// Shared by every thread of the process; the lock is never held while a module's code runs
// except to load or unload it.
struct Runtime {
    std::mutex lock;
    std::vector<RegisteredClass> classes;
    uint32_t nextCookie = 1;
    std::map<std::string, LoadedModule> modules;
};

Runtime& TheRuntime() {
    static Runtime* runtime = new Runtime; // outlives every static destructor of the process
    return *runtime;
}

IUnknown* FindRegisteredClass(const Guid& clsid) {
    Runtime& runtime = TheRuntime();
    const std::lock_guard guard(runtime.lock);
    for (const RegisteredClass& entry : runtime.classes) {
        if (entry.clsid == clsid) {
            entry.classObject->AddRef();
            return entry.classObject;
        }
    }
    return nullptr;
}

HRESULT LoadModule(const std::string& path, LoadedModule& module) {
    Runtime& runtime = TheRuntime();
    {
        const std::lock_guard guard(runtime.lock);
        const auto found = runtime.modules.find(path);
        if (found != runtime.modules.end()) {
            module = found->second;
            return S_OK;
        }
    }
    // Loaded without the lock: the module's start-up code may register classes itself.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "orvexcom: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return CO_E_DLLNOTFOUND;
    }
    module.handle = handle;
    module.getClassObject =
        reinterpret_cast<GetClassObjectEntry>(::dlsym(handle, "DllGetClassObject"));
    module.canUnloadNow = reinterpret_cast<CanUnloadNowEntry>(::dlsym(handle, "DllCanUnloadNow"));
    if (module.getClassObject == nullptr) {
        ::dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    const std::lock_guard guard(runtime.lock);
    const auto [entry, added] = runtime.modules.emplace(path, module);
    if (!added) {
        ::dlclose(handle); // another thread loaded it meanwhile: the handle counts once
        module = entry->second;
    }
    return S_OK;
}

HRESULT RunRegistration(const std::string& path, const char* entryName) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "orvexcom: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return CO_E_DLLNOTFOUND;
    }
    const auto entry = reinterpret_cast<RegisterServerEntry>(::dlsym(handle, entryName));
    const HRESULT result = entry != nullptr ? entry() : CO_E_ERRORINDLL;
    ::dlclose(handle);
    return result;
}

} // namespace

HRESULT RegisterClassObject(const Guid& clsid, IUnknown* classObject, uint32_t* cookie) noexcept {
    if (classObject == nullptr || cookie == nullptr) {
        return E_INVALIDARG;
    }
    try {
        Runtime& runtime = TheRuntime();
        const std::lock_guard guard(runtime.lock);
        runtime.classes.push_back({runtime.nextCookie, clsid, classObject});
        *cookie = runtime.nextCookie++;
        classObject->AddRef();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT RevokeClassObject(uint32_t cookie) noexcept {
    IUnknown* released = nullptr;
    {
        Runtime& runtime = TheRuntime();
        const std::lock_guard guard(runtime.lock);
        for (auto entry = runtime.classes.begin(); entry != runtime.classes.end(); ++entry) {
            if (entry->cookie == cookie) {
                released = entry->classObject;
                runtime.classes.erase(entry);
                break;
            }
        }
    }
    if (released == nullptr) {
        return E_INVALIDARG;
    }
    released->Release();
    return S_OK;
}

HRESULT GetClassObject(const Guid& clsid, const Guid& iid, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    try {
        if (IUnknown* registered = FindRegisteredClass(clsid)) {
            const HRESULT result = registered->QueryInterface(iid, object);
            registered->Release();
            return result;
        }
        const std::optional<std::string> path =
            ReadClassesRootValue("CLSID\\" + FormatGuid(clsid) + "\\InprocServer32", "");
        if (!path || path->empty()) {
            return REGDB_E_CLASSNOTREG;
        }
        LoadedModule module{};
        const HRESULT loaded = LoadModule(*path, module);
        if (Failed(loaded)) {
            return loaded;
        }
        return module.getClassObject(clsid, iid, object);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CreateInstance(const Guid& clsid, IUnknown* outer, const Guid& iid,
                       void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    void* factoryPlace = nullptr;
    const HRESULT found = GetClassObject(clsid, kIidClassFactory, &factoryPlace);
    if (Failed(found)) {
        return found;
    }
    IClassFactory* factory = static_cast<IClassFactory*>(factoryPlace);
    const HRESULT created = factory->CreateInstance(outer, iid, object);
    factory->Release();
    return created;
}

HRESULT ClassIdFromProgId(std::string_view progId, Guid* clsid) noexcept {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    try {
        if (progId.empty() || progId.find('\\') != std::string_view::npos) {
            return CO_E_CLASSSTRING;
        }
        const std::optional<std::string> text =
            ReadClassesRootValue(std::string(progId) + "\\CLSID", "");
        const std::optional<Guid> parsed = text ? ParseGuid(*text) : std::nullopt;
        if (!parsed) {
            return CO_E_CLASSSTRING;
        }
        *clsid = *parsed;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CreateInstanceByProgId(std::string_view progId, IUnknown* outer, const Guid& iid,
                               void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    Guid clsid;
    const HRESULT found = ClassIdFromProgId(progId, &clsid);
    return Failed(found) ? found : CreateInstance(clsid, outer, iid, object);
}

void FreeUnusedModules() noexcept {
    std::vector<void*> unused;
    {
        Runtime& runtime = TheRuntime();
        const std::lock_guard guard(runtime.lock);
        for (auto module = runtime.modules.begin(); module != runtime.modules.end();) {
            const LoadedModule& loaded = module->second;
            if (loaded.canUnloadNow != nullptr && loaded.canUnloadNow() == S_OK) {
                try {
                    unused.push_back(loaded.handle);
                } catch (...) {
                    return;
                }
                module = runtime.modules.erase(module);
            } else {
                ++module;
            }
        }
    }
    for (void* handle : unused) {
        ::dlclose(handle);
    }
}

HRESULT RegisterServerModule(const std::string& path) noexcept {
    return RunRegistration(path, "DllRegisterServer");
}

HRESULT UnregisterServerModule(const std::string& path) noexcept {
    return RunRegistration(path, "DllUnregisterServer");
}

std::string ModulePathOf(const void* address) {
    Dl_info info;
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    char* full = ::realpath(info.dli_fname, nullptr);
    if (full == nullptr) {
        return info.dli_fname;
    }
    std::string path(full);
    std::free(full);
    return path;
}
