#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/ComExport.h"
#include "platform/com/Result.h"

#include <cstdint>

class IUnknown;
class IDispatch;

// The type tag of a VARIANT. The numbers are the platform's, so hosts that pass numbers keep
// working.
using VARTYPE = uint16_t;
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R4 = 4;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_ERROR = 10;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_VARIANT = 12;
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_I1 = 16;
constexpr VARTYPE VT_UI1 = 17;
constexpr VARTYPE VT_UI2 = 18;
constexpr VARTYPE VT_UI4 = 19;
constexpr VARTYPE VT_I8 = 20;
constexpr VARTYPE VT_UI8 = 21;
constexpr VARTYPE VT_INT = 22;
constexpr VARTYPE VT_UINT = 23;
// Added to a type: the VARIANT points at a value owned by the caller.
constexpr VARTYPE VT_BYREF = 0x4000;

using VARIANT_BOOL = int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// A tagged value as automation passes it. A VARIANT owns its BSTR and holds a reference on its
// interface; by-reference values are owned by whoever made them.
struct VARIANT {
    VARTYPE type = VT_EMPTY;
    union {
        int8_t i1;
        int16_t i2;
        int32_t i4;
        int64_t i8;
        uint8_t ui1;
        uint16_t ui2;
        uint32_t ui4;
        uint64_t ui8;
        float r4;
        double r8;
        VARIANT_BOOL boolean;
        HRESULT error;
        BSTR bstr;
        IUnknown* unknown;
        IDispatch* dispatch;
        void* reference; // with VT_BYREF: the value's place, of the type without VT_BYREF
    };
};

// Sets an uninitialised VARIANT to VT_EMPTY.
ORVEXCOM_API void InitVariant(VARIANT* value) noexcept;
// Frees what the VARIANT owns (its BSTR, its reference) and leaves it VT_EMPTY.
ORVEXCOM_API HRESULT ClearVariant(VARIANT* value) noexcept;
// Clears `to`, then makes it a copy of `from` with a BSTR of its own and a new reference.
ORVEXCOM_API HRESULT CopyVariant(VARIANT* to, const VARIANT* from) noexcept;

// The value converted as automation converts arguments: integers of every width, reals rounded
// half to even, booleans, decimal text; by-reference values are followed. DISP_E_TYPEMISMATCH
// when the type cannot convert, DISP_E_OVERFLOW when the value does not fit.
ORVEXCOM_API HRESULT VariantToInt32(const VARIANT& value, int32_t* result) noexcept;
ORVEXCOM_API HRESULT VariantToInt64(const VARIANT& value, int64_t* result) noexcept;
ORVEXCOM_API HRESULT VariantToBool(const VARIANT& value, VARIANT_BOOL* result) noexcept;
// A new BSTR the caller frees; numbers are written in decimal, booleans as "True" or "False".
ORVEXCOM_API HRESULT VariantToBstr(const VARIANT& value, BSTR* result) noexcept;

// Puts a value into a VARIANT that holds nothing to free (fresh or cleared). The VARIANT takes
// the BSTR and the reference it is given.
inline void SetVariantInt32(VARIANT* to, int32_t value) noexcept {
    to->type = VT_I4;
    to->i4 = value;
}
inline void SetVariantInt64(VARIANT* to, int64_t value) noexcept {
    to->type = VT_I8;
    to->i8 = value;
}
inline void SetVariantBool(VARIANT* to, bool value) noexcept {
    to->type = VT_BOOL;
    to->boolean = value ? VARIANT_TRUE : VARIANT_FALSE;
}
inline void SetVariantBstr(VARIANT* to, BSTR value) noexcept {
    to->type = VT_BSTR;
    to->bstr = value;
}
inline void SetVariantDispatch(VARIANT* to, IDispatch* value) noexcept {
    to->type = VT_DISPATCH;
    to->dispatch = value;
}
inline void SetVariantUnknown(VARIANT* to, IUnknown* value) noexcept {
    to->type = VT_UNKNOWN;
    to->unknown = value;
}
