#include "services/VGUserContent.h"

#include "services/Guarded.h"
#include "services/VGUserContentItem.h"

#include <algorithm>
#include <limits>

namespace {

IVGUserContent* As(IDispatch* self) {
    return static_cast<IVGUserContent*>(self);
}

const DispatchMember kMembers[] = {
    {"Item", DISPID_VALUE, DISPATCH_PROPERTYGET, "l",
     [](IDispatch* self, const DispatchArguments& arguments, VARIANT* result) {
         IVGUserContentItem* item = nullptr;
         const HRESULT got = As(self)->get_Item(arguments.Long(0), &item);
         SetVariantDispatch(result, item);
         return got;
     }},
    {"count", 1, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         int32_t count = 0;
         const HRESULT got = As(self)->get_count(&count);
         SetVariantInt32(result, count);
         return got;
     }},
};

} // namespace

VGUserContent::VGUserContent(const ContentList& list)
    : AutomationObject<IVGUserContent>(kMembers), list(list) {}

VGUserContent* VGUserContent::Create(const ContentList& list) noexcept {
    return Guarded<VGUserContent*>(nullptr, [&] { return new VGUserContent(list); });
}

HRESULT VGUserContent::QueryOwnInterface(const Guid& iid, void** object) {
    return AnswerInterface(
        iid, object,
        {{kIidUnknown, Identity()}, {kIidDispatch, Identity()}, {kIidVGUserContent, Identity()}});
}

HRESULT VGUserContent::get_Item(int32_t index, IVGUserContentItem** item) {
    if (item == nullptr) {
        return E_FAIL;
    }
    *item = nullptr;
    if (index < 1 || static_cast<std::size_t>(index) > list.items.size()) {
        return E_FAIL;
    }
    VGUserContentItem* made =
        VGUserContentItem::Create(list.items[static_cast<std::size_t>(index) - 1]);
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    *item = made;
    return S_OK;
}

HRESULT VGUserContent::get_count(int32_t* count) {
    if (count == nullptr) {
        return E_FAIL;
    }
    *count = static_cast<int32_t>(
        std::min<std::size_t>(list.items.size(), std::numeric_limits<int32_t>::max()));
    return S_OK;
}
