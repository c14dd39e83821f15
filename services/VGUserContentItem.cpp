#include "services/VGUserContentItem.h"

#include "platform/os/DiskFiles.h"
#include "services/Guarded.h"

#include <new>

namespace {

IVGUserContentItem* As(IDispatch* self) {
    return static_cast<IVGUserContentItem*>(self);
}

template <HRESULT (IVGUserContentItem::*Get)(BSTR*)>
HRESULT StringMember(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    BSTR text = nullptr;
    const HRESULT got = (As(self)->*Get)(&text);
    SetVariantBstr(result, text);
    return got;
}

template <HRESULT (IVGUserContentItem::*Get)(VARIANT_BOOL*)>
HRESULT BoolMember(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    VARIANT_BOOL value = VARIANT_FALSE;
    const HRESULT got = (As(self)->*Get)(&value);
    SetVariantBool(result, value != VARIANT_FALSE);
    return got;
}

const DispatchMember kMembers[] = {
    {"name", 1, DISPATCH_PROPERTYGET, "", StringMember<&IVGUserContentItem::get_name>},
    {"Logo", 2, DISPATCH_PROPERTYGET, "", StringMember<&IVGUserContentItem::get_Logo>},
    {"File", 3, DISPATCH_PROPERTYGET, "", StringMember<&IVGUserContentItem::get_File>},
    {"Description", 4, DISPATCH_PROPERTYGET, "",
     StringMember<&IVGUserContentItem::get_Description>},
    {"Remove", 5, DISPATCH_METHOD, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT*) { return As(self)->Remove(); }},
    {"isDownloaded", 6, DISPATCH_PROPERTYGET, "",
     BoolMember<&IVGUserContentItem::get_isDownloaded>},
    {"isAvailable", 7, DISPATCH_PROPERTYGET, "", BoolMember<&IVGUserContentItem::get_isAvailable>},
    {"Number", 8, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         int32_t value = 0;
         const HRESULT got = As(self)->get_Number(&value);
         SetVariantInt32(result, value);
         return got;
     }},
};

HRESULT ReturnBool(bool flag, VARIANT_BOOL* place) {
    if (place == nullptr) {
        return E_FAIL;
    }
    *place = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

} // namespace

VGUserContentItem::VGUserContentItem(const ContentItem& item)
    : AutomationObject<IVGUserContentItem>(kMembers), item(item) {}

VGUserContentItem* VGUserContentItem::Create(const ContentItem& item) noexcept {
    return Guarded<VGUserContentItem*>(nullptr, [&] { return new VGUserContentItem(item); });
}

HRESULT VGUserContentItem::QueryOwnInterface(const Guid& iid, void** object) {
    return AnswerInterface(iid, object,
                           {{kIidUnknown, Identity()},
                            {kIidDispatch, Identity()},
                            {kIidVGUserContentItem, Identity()}});
}

HRESULT VGUserContentItem::get_name(BSTR* value) {
    return ReturnString(item.name, value);
}

HRESULT VGUserContentItem::get_Logo(BSTR* value) {
    return ReturnString(item.logo, value);
}

HRESULT VGUserContentItem::get_File(BSTR* value) {
    return ReturnString(item.file, value);
}

HRESULT VGUserContentItem::get_Description(BSTR* value) {
    return ReturnString(item.description, value);
}

HRESULT VGUserContentItem::Remove() {
    return Guarded(E_FAIL, [&] {
        std::string error;
        bool removed = true;
        for (const std::string* path : {&item.file, &item.logo}) {
            if (!path->empty() && !RemoveFile(*path, error)) {
                removed = false;
            }
        }
        if (!removed) {
            return E_FAIL;
        }
        const std::lock_guard guard(flagsLock);
        item.isDownloaded = false;
        item.isAvailable = true;
        return S_OK;
    });
}

HRESULT VGUserContentItem::get_isDownloaded(VARIANT_BOOL* value) {
    const std::lock_guard guard(flagsLock);
    return ReturnBool(item.isDownloaded, value);
}

HRESULT VGUserContentItem::get_isAvailable(VARIANT_BOOL* value) {
    const std::lock_guard guard(flagsLock);
    return ReturnBool(item.isAvailable, value);
}

HRESULT VGUserContentItem::get_Number(int32_t* value) {
    if (value == nullptr) {
        return E_FAIL;
    }
    *value = item.number;
    return S_OK;
}
