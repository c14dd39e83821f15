#pragma once

#include "platform/com/ComObject.h"
#include "platform/com/Dispatch.h"
#include "services/ServicesModule.h"

#include <cstdint>
#include <span>
#include <string_view>

// An object of the services module reached through a dual interface: IDispatch answered from
// the object's table of members. The objects carry no type information.
template <typename Interface, typename... Others>
class AutomationObject : public ComObject<Interface, Others...> {
public:
    HRESULT GetTypeInfoCount(uint32_t* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(uint32_t, uint32_t, void** typeInfo) override {
        if (typeInfo != nullptr) {
            *typeInfo = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(const Guid&, const char16_t* const* names, uint32_t count, uint32_t,
                          DISPID* ids) override {
        return DispatchIdsOfNames(members, names, count, ids);
    }
    HRESULT Invoke(DISPID member, const Guid&, uint32_t, uint16_t flags, DispatchParams* params,
                   VARIANT* result, DispatchException* exception,
                   uint32_t* argumentError) override {
        return DispatchInvoke(members, static_cast<Interface*>(this), member, flags, params, result,
                              exception, argumentError);
    }

protected:
    explicit AutomationObject(std::span<const DispatchMember> members)
        : ComObject<Interface, Others...>(ServicesModule()), members(members) {}

    // The object's one IUnknown, for interface tables and identity.
    IUnknown* Identity() { return static_cast<Interface*>(this); }

private:
    std::span<const DispatchMember> members;
};

// Writes a new copy of the text into an out place without looking at what the place held (an
// out place holds nothing of ours): E_FAIL for a null place, E_OUTOFMEMORY (and null) when
// memory runs out.
inline HRESULT ReturnString(std::string_view text, BSTR* place) noexcept {
    if (place == nullptr) {
        return E_FAIL;
    }
    *place = AllocBstrFromNarrow(text);
    return *place == nullptr ? E_OUTOFMEMORY : S_OK;
}
