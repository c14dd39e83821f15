#include "platform/com/Variant.h"

#include "platform/com/Interfaces.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// The value behind a by-reference VARIANT, as a VARIANT that owns nothing. Follows a reference
// to a VARIANT once more (hosts pass variables as references to VARIANTs).
bool Dereference(const VARIANT& in, VARIANT& out) {
    out = in;
    for (int level = 0; level < 2 && (out.type & VT_BYREF) != 0; ++level) {
        const VARTYPE base = static_cast<VARTYPE>(out.type & ~VT_BYREF);
        void* place = out.reference;
        if (place == nullptr) {
            return false;
        }
        out.type = base;
        switch (base) {
        case VT_VARIANT:
            out = *static_cast<const VARIANT*>(place);
            break;
        case VT_I1:
            out.i1 = *static_cast<const int8_t*>(place);
            break;
        case VT_I2:
            out.i2 = *static_cast<const int16_t*>(place);
            break;
        case VT_I4:
        case VT_INT:
            out.i4 = *static_cast<const int32_t*>(place);
            break;
        case VT_I8:
            out.i8 = *static_cast<const int64_t*>(place);
            break;
        case VT_UI1:
            out.ui1 = *static_cast<const uint8_t*>(place);
            break;
        case VT_UI2:
            out.ui2 = *static_cast<const uint16_t*>(place);
            break;
        case VT_UI4:
        case VT_UINT:
            out.ui4 = *static_cast<const uint32_t*>(place);
            break;
        case VT_UI8:
            out.ui8 = *static_cast<const uint64_t*>(place);
            break;
        case VT_R4:
            out.r4 = *static_cast<const float*>(place);
            break;
        case VT_R8:
            out.r8 = *static_cast<const double*>(place);
            break;
        case VT_BOOL:
            out.boolean = *static_cast<const VARIANT_BOOL*>(place);
            break;
        case VT_BSTR:
            out.bstr = *static_cast<const BSTR*>(place);
            break;
        case VT_UNKNOWN:
            out.unknown = *static_cast<IUnknown* const*>(place);
            break;
        case VT_DISPATCH:
            out.dispatch = *static_cast<IDispatch* const*>(place);
            break;
        default:
            return false;
        }
    }
    return (out.type & VT_BYREF) == 0;
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsIgnoringCase(std::u16string_view text, std::string_view ascii) {
    if (text.size() != ascii.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        char a = ascii[i];
        if (a >= 'A' && a <= 'Z') {
            a = static_cast<char>(a - 'A' + 'a');
        }
        if (c != static_cast<char16_t>(a)) {
            return false;
        }
    }
    return true;
}

// A number as automation sees it: exact integer or real.
struct Number {
    bool isReal = false;
    bool isUnsigned = false;
    int64_t integer = 0;
    uint64_t unsignedInteger = 0;
    double real = 0.0;
};

HRESULT NumberFromText(std::u16string_view wide, Number& number) {
    const std::u16string_view text = Trimmed(wide);
    std::string narrow;
    for (const char16_t c : text) {
        if (c > 0x7F) {
            return DISP_E_TYPEMISMATCH;
        }
        narrow += static_cast<char>(c);
    }
    if (narrow.empty()) {
        return DISP_E_TYPEMISMATCH;
    }
    const char* const end = narrow.data() + narrow.size();
    const char* begin = narrow.data();
    if (*begin == '+') {
        ++begin;
    }
    const auto asInteger = std::from_chars(begin, end, number.integer);
    if (asInteger.ec == std::errc() && asInteger.ptr == end) {
        return S_OK;
    }
    if (asInteger.ec == std::errc::result_out_of_range) {
        return DISP_E_OVERFLOW;
    }
    const auto asReal = std::from_chars(begin, end, number.real);
    if (asReal.ec == std::errc() && asReal.ptr == end) {
        number.isReal = true;
        return S_OK;
    }
    return asReal.ec == std::errc::result_out_of_range ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
}

HRESULT NumberOf(const VARIANT& given, Number& number) {
    VARIANT value;
    if (!Dereference(given, value)) {
        return DISP_E_TYPEMISMATCH;
    }
    switch (value.type) {
    case VT_EMPTY:
        number.integer = 0;
        return S_OK;
    case VT_I1:
        number.integer = value.i1;
        return S_OK;
    case VT_I2:
        number.integer = value.i2;
        return S_OK;
    case VT_I4:
    case VT_INT:
        number.integer = value.i4;
        return S_OK;
    case VT_I8:
        number.integer = value.i8;
        return S_OK;
    case VT_UI1:
        number.integer = value.ui1;
        return S_OK;
    case VT_UI2:
        number.integer = value.ui2;
        return S_OK;
    case VT_UI4:
    case VT_UINT:
        number.integer = value.ui4;
        return S_OK;
    case VT_UI8:
        number.isUnsigned = true;
        number.unsignedInteger = value.ui8;
        return S_OK;
    case VT_R4:
        number.isReal = true;
        number.real = value.r4;
        return S_OK;
    case VT_R8:
        number.isReal = true;
        number.real = value.r8;
        return S_OK;
    case VT_BOOL:
        number.integer = value.boolean != 0 ? -1 : 0;
        return S_OK;
    case VT_BSTR:
        return NumberFromText(BstrView(value.bstr), number);
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT NumberToInt64(const Number& number, int64_t* result) {
    if (number.isUnsigned) {
        if (number.unsignedInteger > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return DISP_E_OVERFLOW;
        }
        *result = static_cast<int64_t>(number.unsignedInteger);
        return S_OK;
    }
    if (number.isReal) {
        // Rounded half to even, as automation rounds.
        const double rounded = std::nearbyint(number.real);
        if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) {
            return DISP_E_OVERFLOW;
        }
        *result = static_cast<int64_t>(rounded);
        return S_OK;
    }
    *result = number.integer;
    return S_OK;
}

} // namespace

void InitVariant(VARIANT* value) noexcept {
    value->type = VT_EMPTY;
    value->i8 = 0;
}

HRESULT ClearVariant(VARIANT* value) noexcept {
    if (value == nullptr) {
        return E_INVALIDARG;
    }
    switch (value->type) {
    case VT_BSTR:
        FreeBstr(value->bstr);
        break;
    case VT_UNKNOWN:
        if (value->unknown != nullptr) {
            value->unknown->Release();
        }
        break;
    case VT_DISPATCH:
        if (value->dispatch != nullptr) {
            value->dispatch->Release();
        }
        break;
    default:
        break;
    }
    InitVariant(value);
    return S_OK;
}

HRESULT CopyVariant(VARIANT* to, const VARIANT* from) noexcept {
    if (to == nullptr || from == nullptr) {
        return E_INVALIDARG;
    }
    if (to == from) {
        return S_OK;
    }
    ClearVariant(to);
    if (from->type == VT_BSTR && from->bstr != nullptr) {
        BSTR copy = AllocBstr(BstrView(from->bstr));
        if (copy == nullptr) {
            return E_OUTOFMEMORY;
        }
        SetVariantBstr(to, copy);
        return S_OK;
    }
    *to = *from;
    if (to->type == VT_UNKNOWN && to->unknown != nullptr) {
        to->unknown->AddRef();
    } else if (to->type == VT_DISPATCH && to->dispatch != nullptr) {
        to->dispatch->AddRef();
    }
    return S_OK;
}

HRESULT VariantToInt64(const VARIANT& value, int64_t* result) noexcept {
    if (result == nullptr) {
        return E_POINTER;
    }
    try {
        Number number;
        const HRESULT read = NumberOf(value, number);
        return Failed(read) ? read : NumberToInt64(number, result);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VariantToInt32(const VARIANT& value, int32_t* result) noexcept {
    if (result == nullptr) {
        return E_POINTER;
    }
    int64_t wide = 0;
    const HRESULT read = VariantToInt64(value, &wide);
    if (Failed(read)) {
        return read;
    }
    if (wide < std::numeric_limits<int32_t>::min() || wide > std::numeric_limits<int32_t>::max()) {
        return DISP_E_OVERFLOW;
    }
    *result = static_cast<int32_t>(wide);
    return S_OK;
}

HRESULT VariantToBool(const VARIANT& given, VARIANT_BOOL* result) noexcept {
    if (result == nullptr) {
        return E_POINTER;
    }
    VARIANT value;
    if (!Dereference(given, value)) {
        return DISP_E_TYPEMISMATCH;
    }
    if (value.type == VT_BSTR) {
        const std::u16string_view text = Trimmed(BstrView(value.bstr));
        if (EqualsIgnoringCase(text, "true")) {
            *result = VARIANT_TRUE;
            return S_OK;
        }
        if (EqualsIgnoringCase(text, "false")) {
            *result = VARIANT_FALSE;
            return S_OK;
        }
    }
    try {
        Number number;
        const HRESULT read = NumberOf(value, number);
        if (Failed(read)) {
            return read;
        }
        const bool truth = number.isReal       ? number.real != 0.0
                           : number.isUnsigned ? number.unsignedInteger != 0
                                               : number.integer != 0;
        *result = truth ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VariantToBstr(const VARIANT& given, BSTR* result) noexcept {
    if (result == nullptr) {
        return E_POINTER;
    }
    VARIANT value;
    if (!Dereference(given, value)) {
        return DISP_E_TYPEMISMATCH;
    }
    try {
        std::string text;
        switch (value.type) {
        case VT_BSTR:
            *result = AllocBstr(BstrView(value.bstr));
            return *result != nullptr ? S_OK : E_OUTOFMEMORY;
        case VT_EMPTY:
            break;
        case VT_BOOL:
            text = value.boolean != 0 ? "True" : "False";
            break;
        default: {
            Number number;
            const HRESULT read = NumberOf(value, number);
            if (Failed(read)) {
                return read;
            }
            char digits[64];
            const auto written =
                number.isReal ? std::to_chars(digits, digits + sizeof digits, number.real)
                : number.isUnsigned
                    ? std::to_chars(digits, digits + sizeof digits, number.unsignedInteger)
                    : std::to_chars(digits, digits + sizeof digits, number.integer);
            text.assign(digits, written.ptr);
            break;
        }
        }
        *result = AllocBstrFromNarrow(text);
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
