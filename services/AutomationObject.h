#pragma once

#include "platform/com/ComObject.h"
#include "platform/com/Dispatch.h"
#include "services/ServicesModule.h"

#include <cstdint>
#include <span>
#include <string_view>

// An object of the services module reached through a dual interface: IDispatch answered from
// the object's table of members. The objects carry no type information.
//
// A host may make the object a part of its own (aggregation): the host's object, the outer one,
// is then the object's identity, and every reference and query on the object's interfaces goes
// to it; the outer object holds the object through its own unknown, which alone counts the
// object's references.
template <typename Interface, typename... Others>
class AutomationObject : public ComObject<Interface, Others...> {
    using Base = ComObject<Interface, Others...>;

public:
    HRESULT QueryInterface(const Guid& iid, void** object) final {
        return outer != nullptr ? outer->QueryInterface(iid, object)
                                : QueryOwnInterface(iid, object);
    }
    uint32_t AddRef() final { return outer != nullptr ? outer->AddRef() : Base::AddRef(); }
    uint32_t Release() final { return outer != nullptr ? outer->Release() : Base::Release(); }

    // Makes a new object a part of the outer one, before any reference is handed out; returns
    // the object's own unknown, which takes over the reference the object was made with.
    IUnknown* Aggregate(IUnknown* outerObject) noexcept {
        outer = outerObject;
        return &inner;
    }

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
        : Base(ServicesModule()), members(members) {}

    // The object's own answer to a query, from its table of interfaces.
    virtual HRESULT QueryOwnInterface(const Guid& iid, void** object) = 0;

    // The object's one IUnknown, for interface tables and identity.
    IUnknown* Identity() { return static_cast<Interface*>(this); }

private:
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(AutomationObject& owner) : owner(owner) {}
        HRESULT QueryInterface(const Guid& iid, void** object) override {
            if (iid != kIidUnknown) {
                return owner.QueryOwnInterface(iid, object);
            }
            if (object == nullptr) {
                return E_POINTER;
            }
            AddRef();
            *object = this;
            return S_OK;
        }
        uint32_t AddRef() override { return owner.Base::AddRef(); }
        uint32_t Release() override { return owner.Base::Release(); }

    private:
        AutomationObject& owner;
    };

    std::span<const DispatchMember> members;
    InnerUnknown inner{*this};
    IUnknown* outer = nullptr; // set once, before the object is shared
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
