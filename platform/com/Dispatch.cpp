#include "platform/com/Dispatch.h"

#include <cstring>
#include <new>

// Fills a DispatchArguments from the caller's VARIANTs.
class DispatchArgumentsBuilder {
public:
    explicit DispatchArgumentsBuilder(DispatchArguments& arguments) : arguments(arguments) {}

    HRESULT Add(char type, const VARIANT& given) {
        VARIANT value;
        InitVariant(&value);
        HRESULT result = S_OK;
        switch (type) {
        case 'l':
            value.type = VT_I4;
            result = VariantToInt32(given, &value.i4);
            break;
        case 'L':
            value.type = VT_I8;
            result = VariantToInt64(given, &value.i8);
            break;
        case 'b':
            value.type = VT_BOOL;
            result = VariantToBool(given, &value.boolean);
            break;
        case 's': {
            BSTR text = nullptr;
            result = VariantToBstr(given, &text);
            SetVariantBstr(&value, text);
            break;
        }
        case 'v':
            result = CopyVariant(&value, &given);
            break;
        default:
            return E_UNEXPECTED;
        }
        if (Failed(result)) {
            ClearVariant(&value);
            return result;
        }
        arguments.values.push_back(value);
        return S_OK;
    }

private:
    DispatchArguments& arguments;
};

DispatchArguments::~DispatchArguments() {
    for (VARIANT& value : values) {
        ClearVariant(&value);
    }
}

namespace {

bool SameName(const char16_t* given, const char* name) {
    std::size_t i = 0;
    for (; name[i] != '\0'; ++i) {
        char16_t c = given[i];
        if (c == u'\0') {
            return false;
        }
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        char n = name[i];
        if (n >= 'A' && n <= 'Z') {
            n = static_cast<char>(n - 'A' + 'a');
        }
        if (c != static_cast<char16_t>(static_cast<unsigned char>(n))) {
            return false;
        }
    }
    return given[i] == u'\0';
}

const DispatchMember* FindMember(std::span<const DispatchMember> members, DISPID id,
                                 uint16_t flags) {
    for (const DispatchMember& member : members) {
        if (member.id == id && (member.kind & flags) != 0) {
            return &member;
        }
    }
    return nullptr;
}

} // namespace

HRESULT DispatchIdsOfNames(std::span<const DispatchMember> members, const char16_t* const* names,
                           uint32_t count, DISPID* ids) noexcept {
    if (names == nullptr || ids == nullptr) {
        return E_INVALIDARG;
    }
    if (count == 0) {
        return S_OK;
    }
    HRESULT result = S_OK;
    ids[0] = DISPID_UNKNOWN;
    if (names[0] != nullptr) {
        for (const DispatchMember& member : members) {
            if (SameName(names[0], member.name)) {
                ids[0] = member.id;
                break;
            }
        }
    }
    if (ids[0] == DISPID_UNKNOWN) {
        result = DISP_E_UNKNOWNNAME;
    }
    for (uint32_t i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

HRESULT DispatchInvoke(std::span<const DispatchMember> members, IDispatch* self, DISPID id,
                       uint16_t flags, const DispatchParams* params, VARIANT* result,
                       DispatchException* exception, uint32_t* argumentError) noexcept {
    static const DispatchParams noArguments;
    if (params == nullptr) {
        params = &noArguments;
    }
    const DispatchMember* member = FindMember(members, id, flags);
    if (member == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (member->kind == DISPATCH_PROPERTYPUT) {
        if (params->namedCount != 1 || params->namedIds == nullptr ||
            params->namedIds[0] != DISPID_PROPERTYPUT) {
            return params->namedCount == 0 ? DISP_E_BADPARAMCOUNT : DISP_E_NONAMEDARGS;
        }
    } else if (params->namedCount != 0) {
        return DISP_E_NONAMEDARGS;
    }
    const std::size_t expected = std::strlen(member->signature);
    if (params->count != expected || (expected != 0 && params->arguments == nullptr)) {
        return DISP_E_BADPARAMCOUNT;
    }
    try {
        DispatchArguments arguments;
        DispatchArgumentsBuilder builder(arguments);
        // The caller passes the last argument first.
        for (std::size_t i = 0; i < expected; ++i) {
            const std::size_t position = expected - 1 - i;
            const HRESULT converted =
                builder.Add(member->signature[i], params->arguments[position]);
            if (Failed(converted)) {
                if (argumentError != nullptr) {
                    *argumentError = static_cast<uint32_t>(position);
                }
                return converted;
            }
        }
        VARIANT scratch;
        VARIANT* answer = result != nullptr ? result : &scratch;
        InitVariant(answer);
        const HRESULT called = member->call(self, arguments, answer);
        if (result == nullptr || Failed(called)) {
            ClearVariant(answer);
        }
        if (Failed(called)) {
            if (exception != nullptr) {
                exception->code = called;
            }
            return DISP_E_EXCEPTION;
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
