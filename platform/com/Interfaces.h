#pragma once

#include "platform/com/Guid.h"
#include "platform/com/Result.h"
#include "platform/com/Variant.h"

#include <cstdint>

// The base interfaces of the object model. The order of the operations is the order of the
// slots every module relies on; an interface has no virtual destructor (objects delete
// themselves on their last Release) and its operations never let an exception out.

constexpr Guid kIidUnknown = GuidLiteral("{00000000-0000-0000-C000-000000000046}");
constexpr Guid kIidClassFactory = GuidLiteral("{00000001-0000-0000-C000-000000000046}");
constexpr Guid kIidDispatch = GuidLiteral("{00020400-0000-0000-C000-000000000046}");
constexpr Guid kIidEnumVariant = GuidLiteral("{00020404-0000-0000-C000-000000000046}");
constexpr Guid kIidSupportErrorInfo = GuidLiteral("{DF0B3D60-548F-101B-8E65-08002B2BA1FF}");

class IUnknown {
public:
    // Hands out the interface with a new reference; E_NOINTERFACE and null when the object
    // has none such.
    virtual HRESULT QueryInterface(const Guid& iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

using DISPID = int32_t;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr DISPID DISPID_NEWENUM = -4;

// How a member is invoked; a caller may combine method and property get.
constexpr uint16_t DISPATCH_METHOD = 1;
constexpr uint16_t DISPATCH_PROPERTYGET = 2;
constexpr uint16_t DISPATCH_PROPERTYPUT = 4;
constexpr uint16_t DISPATCH_PROPERTYPUTREF = 8;

// The arguments of an Invoke, last argument first; a property put names its value
// DISPID_PROPERTYPUT.
struct DispatchParams {
    VARIANT* arguments = nullptr;
    DISPID* namedIds = nullptr;
    uint32_t count = 0;
    uint32_t namedCount = 0;
};

// Filled by Invoke when it returns DISP_E_EXCEPTION: the member's own failure.
struct DispatchException {
    HRESULT code = S_OK;
    BSTR source = nullptr;
    BSTR description = nullptr;
};

class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
    virtual HRESULT GetTypeInfo(uint32_t index, uint32_t locale, void** typeInfo) = 0;
    virtual HRESULT GetIDsOfNames(const Guid& reserved, const char16_t* const* names,
                                  uint32_t count, uint32_t locale, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, const Guid& reserved, uint32_t locale, uint16_t flags,
                           DispatchParams* params, VARIANT* result, DispatchException* exception,
                           uint32_t* argumentError) = 0;

protected:
    ~IDispatch() = default;
};

class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
    virtual HRESULT LockServer(int32_t lock) = 0;

protected:
    ~IClassFactory() = default;
};

class IEnumVARIANT : public IUnknown {
public:
    virtual HRESULT Next(uint32_t count, VARIANT* items, uint32_t* fetched) = 0;
    virtual HRESULT Skip(uint32_t count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumVARIANT** copy) = 0;

protected:
    ~IEnumVARIANT() = default;
};

class ISupportErrorInfo : public IUnknown {
public:
    virtual HRESULT InterfaceSupportsErrorInfo(const Guid& iid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};
