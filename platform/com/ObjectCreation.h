#pragma once

#include "platform/com/ComExport.h"
#include "platform/com/Interfaces.h"

#include <cstdint>
#include <string>
#include <string_view>

// The entry points an in-process server module exports by these names, with C linkage.
using GetClassObjectEntry = HRESULT (*)(const Guid& clsid, const Guid& iid, void** object);
using CanUnloadNowEntry = HRESULT (*)();
using RegisterServerEntry = HRESULT (*)();

// Makes a class object known inside this process only, before any registry lookup (test
// doubles, classes of the host itself). Keeps a reference until revoked.
ORVEXCOM_API HRESULT RegisterClassObject(const Guid& clsid, IUnknown* classObject,
                                         uint32_t* cookie) noexcept;
ORVEXCOM_API HRESULT RevokeClassObject(uint32_t cookie) noexcept;

// The class object of a class: one registered in the process, else the module named by the
// classes root's "CLSID\{clsid}\InprocServer32" is loaded and asked through its
// DllGetClassObject. REGDB_E_CLASSNOTREG when the class is not registered, CO_E_DLLNOTFOUND when
// its module cannot be loaded, CO_E_ERRORINDLL when the module has no DllGetClassObject.
ORVEXCOM_API HRESULT GetClassObject(const Guid& clsid, const Guid& iid, void** object) noexcept;

// A new object of the class, through its class object.
ORVEXCOM_API HRESULT CreateInstance(const Guid& clsid, IUnknown* outer, const Guid& iid,
                                    void** object) noexcept;

// The class of a ProgID, from the classes root's "{progId}\CLSID"; CO_E_CLASSSTRING when the
// ProgID is unknown or names no valid class id.
ORVEXCOM_API HRESULT ClassIdFromProgId(std::string_view progId, Guid* clsid) noexcept;

ORVEXCOM_API HRESULT CreateInstanceByProgId(std::string_view progId, IUnknown* outer,
                                            const Guid& iid, void** object) noexcept;

// Unloads every loaded module whose DllCanUnloadNow answers S_OK. Called by a host at a quiet
// moment: no other thread may be creating objects of those modules meanwhile.
ORVEXCOM_API void FreeUnusedModules() noexcept;

// Loads a module and runs its DllRegisterServer or DllUnregisterServer.
ORVEXCOM_API HRESULT RegisterServerModule(const std::string& path) noexcept;
ORVEXCOM_API HRESULT UnregisterServerModule(const std::string& path) noexcept;

// The full path of the module (program or shared library) holding the address; empty when it
// cannot be had. A module registers itself with the path of one of its own functions.
ORVEXCOM_API std::string ModulePathOf(const void* address);
