// The services as an in-process server module: the four entry points hosts and the runtime call
// by name. Everything else in the module stays hidden (see vglsvs.map).

#include "platform/com/ObjectCreation.h"
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

// Each maker runs the class's whole construction; a null result is a failed one.
IUnknown* MakeHighScoreService() {
    return static_cast<IVGHighScoreService*>(VGHighScoreService::Create());
}
IUnknown* MakeHighScores() {
    return static_cast<IVGHighScores*>(VGHighScores::Create());
}
IUnknown* MakeHighScore() {
    return static_cast<IVGHighScoreItem*>(VGHighScore::Create());
}
IUnknown* MakeUserContentService() {
    return static_cast<IVGUserContentService*>(VGUserContentService::Create());
}
IUnknown* MakeUserContent() {
    return static_cast<IVGUserContent*>(VGUserContent::Create());
}
IUnknown* MakeUserContentItem() {
    return static_cast<IVGUserContentItem*>(VGUserContentItem::Create());
}

struct ClassMaker {
    const Guid& clsid;
    ObjectFactory::Maker maker;
};

const ClassMaker kMakers[] = {
    {kClsidVGHighScoreService, &MakeHighScoreService},
    {kClsidVGHighScores, &MakeHighScores},
    {kClsidVGHighScore, &MakeHighScore},
    {kClsidVGUserContentService, &MakeUserContentService},
    {kClsidVGUserContent, &MakeUserContent},
    {kClsidVGUserContentItem, &MakeUserContentItem},
};

} // namespace

extern "C" HRESULT DllCanUnloadNow() {
    return ServicesModule().InUse() ? S_FALSE : S_OK;
}

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    for (const ClassMaker& entry : kMakers) {
        if (entry.clsid != clsid) {
            continue;
        }
        ObjectFactory* factory = new (std::nothrow) ObjectFactory(ServicesModule(), entry.maker);
        if (factory == nullptr) {
            return E_OUTOFMEMORY;
        }
        const HRESULT result = factory->QueryInterface(iid, object);
        factory->Release();
        return result;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

namespace {

// The real path of this module, as registration writes it.
std::string ThisModulePath() {
    return ModulePathOf(reinterpret_cast<const void*>(&DllGetClassObject));
}

} // namespace

// Registration edits the classes root; nothing it may throw leaves the module.
extern "C" HRESULT DllRegisterServer() {
    try {
        return RegisterServerAt(ThisModulePath());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT DllUnregisterServer() {
    try {
        return UnregisterServerAt(ThisModulePath());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
