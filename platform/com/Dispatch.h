#pragma once

#include "platform/com/ComExport.h"
#include "platform/com/Interfaces.h"

#include <cstddef>
#include <span>
#include <vector>

// IDispatch from a table of members. Each member names its argument types in a signature, one
// letter an argument: 'l' 32-bit integer, 'L' 64-bit integer, 's' string, 'b' boolean, 'v' any
// VARIANT. A property put has the new value as its last argument. The arguments are converted
// before the member's call runs, so a call never sees a value of the wrong type.

// The converted arguments of one call, in declaration order; they live until the call returns.
class ORVEXCOM_API DispatchArguments {
public:
    DispatchArguments() = default;
    ~DispatchArguments();
    DispatchArguments(const DispatchArguments&) = delete;
    DispatchArguments& operator=(const DispatchArguments&) = delete;

    int32_t Long(std::size_t index) const { return values[index].i4; }
    int64_t Int64(std::size_t index) const { return values[index].i8; }
    // Owned by the arguments: the callee copies what it keeps.
    BSTR String(std::size_t index) const { return values[index].bstr; }
    bool Bool(std::size_t index) const { return values[index].boolean != 0; }
    const VARIANT& Variant(std::size_t index) const { return values[index]; }

private:
    friend class DispatchArgumentsBuilder;
    std::vector<VARIANT> values;
};

// A member's call: `self` is the object's dispatch interface (cast it to the object's own
// interface); a result goes into `result`, which is always given and starts VT_EMPTY.
using DispatchCall = HRESULT (*)(IDispatch* self, const DispatchArguments& arguments,
                                 VARIANT* result);

struct DispatchMember {
    const char* name; // found whatever its case
    DISPID id;
    uint16_t kind; // one of DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT
    const char* signature;
    DispatchCall call;
};

// GetIDsOfNames over the table. Only the member's own name is known: names of parameters give
// DISPID_UNKNOWN and DISP_E_UNKNOWNNAME.
ORVEXCOM_API HRESULT DispatchIdsOfNames(std::span<const DispatchMember> members,
                                        const char16_t* const* names, uint32_t count,
                                        DISPID* ids) noexcept;

// Invoke over the table. A member whose call fails gives DISP_E_EXCEPTION with the failure in
// `exception` (when given); a bad argument gives its position in `argumentError`.
ORVEXCOM_API HRESULT DispatchInvoke(std::span<const DispatchMember> members, IDispatch* self,
                                    DISPID id, uint16_t flags, const DispatchParams* params,
                                    VARIANT* result, DispatchException* exception,
                                    uint32_t* argumentError) noexcept;
