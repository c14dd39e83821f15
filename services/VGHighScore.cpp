#include "services/VGHighScore.h"

#include "services/Guarded.h"

#include <new>

namespace {

IVGHighScoreItem* As(IDispatch* self) {
    return static_cast<IVGHighScoreItem*>(self);
}

const DispatchMember kMembers[] = {
    {"name", 1, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         BSTR text = nullptr;
         const HRESULT got = As(self)->get_name(&text);
         SetVariantBstr(result, text);
         return got;
     }},
    {"score", 2, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         int64_t value = 0;
         const HRESULT got = As(self)->get_score(&value);
         SetVariantInt64(result, value);
         return got;
     }},
    {"Mode", 3, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         int32_t value = 0;
         const HRESULT got = As(self)->get_Mode(&value);
         SetVariantInt32(result, value);
         return got;
     }},
    {"Description", 4, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         BSTR text = nullptr;
         const HRESULT got = As(self)->get_Description(&text);
         SetVariantBstr(result, text);
         return got;
     }},
};

} // namespace

VGHighScore::VGHighScore(const ScoreItem& item)
    : AutomationObject<IVGHighScoreItem>(kMembers), item(item) {}

VGHighScore* VGHighScore::Create(const ScoreItem& item) noexcept {
    return Guarded<VGHighScore*>(nullptr, [&] { return new VGHighScore(item); });
}

HRESULT VGHighScore::QueryOwnInterface(const Guid& iid, void** object) {
    return AnswerInterface(
        iid, object,
        {{kIidUnknown, Identity()}, {kIidDispatch, Identity()}, {kIidVGHighScoreItem, Identity()}});
}

HRESULT VGHighScore::get_name(BSTR* value) {
    return ReturnString(item.name, value);
}

HRESULT VGHighScore::get_score(int64_t* value) {
    if (value == nullptr) {
        return E_FAIL;
    }
    *value = item.value;
    return S_OK;
}

HRESULT VGHighScore::get_Mode(int32_t* value) {
    if (value == nullptr) {
        return E_FAIL;
    }
    *value = item.mode;
    return S_OK;
}

HRESULT VGHighScore::get_Description(BSTR* value) {
    return ReturnString(item.description, value);
}
