// A small in-process server for the runtime's tests: one class, registered under two ProgIDs,
// with the entry points every server module exports.

#include "platform/com/ClassesRoot.h"
#include "platform/com/ComObject.h"
#include "platform/com/Dispatch.h"
#include "platform/com/ObjectCreation.h"
#include "tests/platform/TestCounter.h"

#include <new>

namespace {

ModuleCount counterModule;

const DispatchMember kMembers[] = {
    {"Add", 1, DISPATCH_METHOD, "l",
     [](IDispatch* self, const DispatchArguments& arguments, VARIANT*) {
         return static_cast<ITestCounter*>(self)->Add(arguments.Long(0));
     }},
    {"Total", 2, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         result->type = VT_I8;
         return static_cast<ITestCounter*>(self)->get_Total(&result->i8);
     }},
};

class Counter final : public ComObject<ITestCounter> {
public:
    Counter() : ComObject<ITestCounter>(counterModule) {}

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return AnswerInterface(
            iid, object, {{kIidUnknown, this}, {kIidDispatch, this}, {kIidTestCounter, this}});
    }
    HRESULT GetTypeInfoCount(uint32_t* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(uint32_t, uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const Guid&, const char16_t* const* names, uint32_t count, uint32_t,
                          DISPID* ids) override {
        return DispatchIdsOfNames(kMembers, names, count, ids);
    }
    HRESULT Invoke(DISPID id, const Guid&, uint32_t, uint16_t flags, DispatchParams* params,
                   VARIANT* result, DispatchException* exception,
                   uint32_t* argumentError) override {
        return DispatchInvoke(kMembers, this, id, flags, params, result, exception, argumentError);
    }

    HRESULT Add(int32_t amount) override {
        total += amount;
        return S_OK;
    }
    HRESULT get_Total(int64_t* value) override {
        if (value == nullptr) {
            return E_POINTER;
        }
        *value = total;
        return S_OK;
    }

private:
    int64_t total = 0;
};

IUnknown* MakeCounter() {
    return static_cast<ITestCounter*>(new (std::nothrow) Counter);
}

} // namespace

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (clsid != kClsidTestCounter) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    ObjectFactory* factory = new (std::nothrow) ObjectFactory(counterModule, &MakeCounter);
    if (factory == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

extern "C" HRESULT DllCanUnloadNow() {
    return counterModule.InUse() ? S_FALSE : S_OK;
}

// Registration edits the classes root; nothing it may throw leaves the module.
extern "C" HRESULT DllRegisterServer() {
    try {
        const std::string path = ModulePathOf(reinterpret_cast<const void*>(&DllGetClassObject));
        const std::string clsid = FormatGuid(kClsidTestCounter);
        std::string error;
        const bool written = EditClassesRoot(
            [&](RegistryKey& root) {
                RegistryKey* versioned = root.CreateKey(kTestCounterProgId);
                versioned->SetValue("", "Orvex test counter");
                versioned->CreateKey("CLSID")->SetValue("", clsid);
                RegistryKey* independent = root.CreateKey(kTestCounterIndependentProgId);
                independent->SetValue("", "Orvex test counter");
                independent->CreateKey("CLSID")->SetValue("", clsid);
                independent->CreateKey("CurVer")->SetValue("", kTestCounterProgId);
                root.RemoveKey("CLSID\\" + clsid);
                RegistryKey* key = root.CreateKey("CLSID\\" + clsid);
                key->SetValue("", "Orvex test counter");
                key->CreateKey("ProgID")->SetValue("", kTestCounterProgId);
                key->CreateKey("VersionIndependentProgID")
                    ->SetValue("", kTestCounterIndependentProgId);
                RegistryKey* server = key->CreateKey("InprocServer32");
                server->SetValue("", path);
                server->SetValue("ThreadingModel", "Free");
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
        const std::string clsid = FormatGuid(kClsidTestCounter);
        std::string error;
        const bool written = EditClassesRoot(
            [&](RegistryKey& root) {
                root.RemoveKey(kTestCounterProgId);
                root.RemoveKey(kTestCounterIndependentProgId);
                root.RemoveKey("CLSID\\" + clsid);
                return true;
            },
            error);
        return written ? S_OK : E_FAIL;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
