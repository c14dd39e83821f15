// The download component as an in-process server module: hosts register it once
// (DllRegisterServer) and the services create it by its class id.

#include "platform/com/ClassesRoot.h"
#include "platform/com/ObjectCreation.h"
#include "tools/downloader/DownloadComponent.h"

#include <new>

namespace {

ModuleCount downloaderModule;

IUnknown* MakeComponent() {
    return static_cast<IOutsideDownloader*>(new (std::nothrow) DownloadComponent(downloaderModule));
}

} // namespace

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (clsid != kClsidOutsideDownloader) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    ObjectFactory* factory = new (std::nothrow) ObjectFactory(downloaderModule, &MakeComponent);
    if (factory == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

extern "C" HRESULT DllCanUnloadNow() {
    return downloaderModule.InUse() ? S_FALSE : S_OK;
}

// Registration edits the classes root; nothing it may throw leaves the module.
extern "C" HRESULT DllRegisterServer() {
    try {
        const std::string path = ModulePathOf(reinterpret_cast<const void*>(&DllGetClassObject));
        const std::string clsid = FormatGuid(kClsidOutsideDownloader);
        std::string error;
        const bool written = EditClassesRoot(
            [&](RegistryKey& root) {
                root.RemoveKey("CLSID\\" + clsid);
                RegistryKey* key = root.CreateKey("CLSID\\" + clsid);
                key->SetValue("", "Orvex download component");
                RegistryKey* server = key->CreateKey("InprocServer32");
                server->SetValue("", path);
                server->SetValue("ThreadingModel", "Both");
                return !path.empty();
            },
            error);
        return written ? S_OK : E_FAIL;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT DllUnregisterServer() {
    try {
        const std::string clsid = FormatGuid(kClsidOutsideDownloader);
        std::string error;
        const bool written = EditClassesRoot(
            [&](RegistryKey& root) {
                root.RemoveKey("CLSID\\" + clsid);
                return true;
            },
            error);
        return written ? S_OK : E_FAIL;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
