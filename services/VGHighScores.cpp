#include "services/VGHighScores.h"

#include "services/Guarded.h"
#include "services/VGHighScore.h"

#include <algorithm>
#include <limits>

namespace {

IVGHighScores* As(IDispatch* self) {
    return static_cast<IVGHighScores*>(self);
}

const DispatchMember kMembers[] = {
    {"_NewEnum", DISPID_NEWENUM, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         IUnknown* enumerator = nullptr;
         const HRESULT got = As(self)->get__NewEnum(&enumerator);
         SetVariantUnknown(result, enumerator);
         return got;
     }},
    {"Item", DISPID_VALUE, DISPATCH_PROPERTYGET, "l",
     [](IDispatch* self, const DispatchArguments& arguments, VARIANT* result) {
         IVGHighScoreItem* item = nullptr;
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

VGHighScores::VGHighScores(const std::vector<ScoreItem>& items)
    : AutomationObject<IVGHighScores, IEnumVARIANT>(kMembers), items(items) {}

VGHighScores* VGHighScores::Create(const std::vector<ScoreItem>& items) noexcept {
    return Guarded<VGHighScores*>(nullptr, [&] { return new VGHighScores(items); });
}

HRESULT VGHighScores::QueryOwnInterface(const Guid& iid, void** object) {
    return AnswerInterface(iid, object,
                           {{kIidUnknown, Identity()},
                            {kIidDispatch, Identity()},
                            {kIidVGHighScores, Identity()},
                            {kIidEnumVariant, static_cast<IEnumVARIANT*>(this)}});
}

HRESULT VGHighScores::get__NewEnum(IUnknown** enumerator) {
    if (enumerator == nullptr) {
        return E_FAIL;
    }
    {
        const std::lock_guard guard(cursorLock);
        cursor = 1;
    }
    Identity()->AddRef();
    *enumerator = Identity();
    return S_OK;
}

HRESULT VGHighScores::get_Item(int32_t index, IVGHighScoreItem** item) {
    if (item == nullptr) {
        return E_FAIL;
    }
    *item = nullptr;
    if (index < 1 || static_cast<std::size_t>(index) > items.size()) {
        return E_FAIL;
    }
    VGHighScore* made = VGHighScore::Create(items[static_cast<std::size_t>(index) - 1]);
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    *item = made;
    return S_OK;
}

HRESULT VGHighScores::get_count(int32_t* count) {
    if (count == nullptr) {
        return E_FAIL;
    }
    *count = static_cast<int32_t>(
        std::min<std::size_t>(items.size(), std::numeric_limits<int32_t>::max()));
    return S_OK;
}

HRESULT VGHighScores::Next(uint32_t count, VARIANT* out, uint32_t* fetched) {
    if (fetched != nullptr) {
        *fetched = 0;
    }
    if (out == nullptr) {
        return S_FALSE;
    }
    const std::lock_guard guard(cursorLock);
    const auto size = static_cast<int64_t>(items.size());
    uint32_t got = 0;
    for (; got < count && cursor >= 1 && cursor <= size; ++got, ++cursor) {
        VGHighScore* made = VGHighScore::Create(items[static_cast<std::size_t>(cursor - 1)]);
        if (made == nullptr) {
            // Nothing is handed out after all: the places filled so far are emptied again and
            // the cursor goes back to where this call found it.
            for (uint32_t i = 0; i < got; ++i) {
                ClearVariant(&out[i]);
            }
            cursor -= got;
            return E_OUTOFMEMORY;
        }
        InitVariant(&out[got]);
        SetVariantDispatch(&out[got], made);
    }
    if (fetched != nullptr) {
        *fetched = got;
    }
    return got == count ? S_OK : S_FALSE;
}

HRESULT VGHighScores::Skip(uint32_t count) {
    const std::lock_guard guard(cursorLock);
    const auto size = static_cast<int64_t>(items.size());
    if (cursor + count <= size) {
        cursor += count;
        return S_OK;
    }
    cursor = size;
    return S_FALSE;
}

HRESULT VGHighScores::Reset() {
    const std::lock_guard guard(cursorLock);
    cursor = 1;
    return S_OK;
}

HRESULT VGHighScores::Clone(IEnumVARIANT** copy) {
    if (copy != nullptr) {
        *copy = nullptr;
    }
    return E_NOTIMPL;
}
