// The services as an in-process server module: the four entry points hosts and the runtime call
// by name. Everything else in the module stays hidden (see vglsvs.map).

#include "platform/com/ObjectCreation.h"
#include "services/Guarded.h"
#include "services/ServerClasses.h"
#include "services/ServerRegistration.h"
#include "services/ServicesModule.h"
#include "services/VGHighScore.h"
#include "services/VGHighScoreService.h"
#include "services/VGHighScores.h"
#include "services/VGUserContent.h"
#include "services/VGUserContentItem.h"
#include "services/VGUserContentService.h"

#include <new>

namespace {

// Runs the class's whole construction (a null result is a failed one) and, given an outer
// object, makes the new object a part of it.
template <typename Class, typename Interface>
IUnknown* Make(IUnknown* outer) {
    Class* made = Class::Create();
    if (made == nullptr || outer == nullptr) {
        return static_cast<Interface*>(made);
    }
    return made->Aggregate(outer);
}

struct ClassMaker {
    const Guid& clsid;
    ObjectFactory::AggregatingMaker maker;
};

const ClassMaker kMakers[] = {
    {kClsidVGHighScoreService, &Make<VGHighScoreService, IVGHighScoreService>},
    {kClsidVGHighScores, &Make<VGHighScores, IVGHighScores>},
    {kClsidVGHighScore, &Make<VGHighScore, IVGHighScoreItem>},
    {kClsidVGUserContentService, &Make<VGUserContentService, IVGUserContentService>},
    {kClsidVGUserContent, &Make<VGUserContent, IVGUserContent>},
    {kClsidVGUserContentItem, &Make<VGUserContentItem, IVGUserContentItem>},
};

} // namespace

// Every entry point runs through the one guard: nothing thrown leaves the module.

// When in doubt the module stays loaded.
extern "C" HRESULT DllCanUnloadNow() {
    return Guarded(S_FALSE, [] { return ServicesModule().InUse() ? S_FALSE : S_OK; });
}

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    return Guarded(E_OUTOFMEMORY, [&] {
        for (const ClassMaker& entry : kMakers) {
            if (entry.clsid != clsid) {
                continue;
            }
            ObjectFactory* factory =
                new (std::nothrow) ObjectFactory(ServicesModule(), entry.maker);
            if (factory == nullptr) {
                return E_OUTOFMEMORY;
            }
            const HRESULT result = factory->QueryInterface(iid, object);
            factory->Release();
            return result;
        }
        return CLASS_E_CLASSNOTAVAILABLE;
    });
}

namespace {

// The real path of this module, as registration writes it.
std::string ThisModulePath() {
    return ModulePathOf(reinterpret_cast<const void*>(&DllGetClassObject));
}

} // namespace

// Registration edits the classes root.
extern "C" HRESULT DllRegisterServer() {
    return Guarded(E_OUTOFMEMORY, [&] { return RegisterServerAt(ThisModulePath()); });
}

extern "C" HRESULT DllUnregisterServer() {
    return Guarded(E_OUTOFMEMORY, [&] { return UnregisterServerAt(ThisModulePath()); });
}
