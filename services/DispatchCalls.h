#pragma once

#include "platform/com/Dispatch.h"

#include <type_traits>

// The calls of a dispatch table that forward a property or a collection to an operation of the
// object's own interface: `Member` is that operation, e.g. &IVGUserContent::get_count.

namespace dispatch_calls {

template <typename>
struct MemberOf;

template <typename Class, typename Value>
struct MemberOf<HRESULT (Class::*)(Value)> {
    using Owner = Class;
    using Argument = Value;
};

template <auto Member>
auto* Self(IDispatch* self) {
    return static_cast<typename MemberOf<decltype(Member)>::Owner*>(self);
}

} // namespace dispatch_calls

template <auto Member>
HRESULT CallStringGet(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    BSTR text = nullptr;
    const HRESULT got = (dispatch_calls::Self<Member>(self)->*Member)(&text);
    SetVariantBstr(result, text);
    return got;
}

template <auto Member>
HRESULT CallStringPut(IDispatch* self, const DispatchArguments& arguments, VARIANT*) {
    return (dispatch_calls::Self<Member>(self)->*Member)(arguments.String(0));
}

template <auto Member>
HRESULT CallLongGet(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    int32_t number = 0;
    const HRESULT got = (dispatch_calls::Self<Member>(self)->*Member)(&number);
    SetVariantInt32(result, number);
    return got;
}

// A method handing out a collection, which the result carries as its dispatch interface.
template <auto Member>
HRESULT CallCollection(IDispatch* self, const DispatchArguments&, VARIANT* result) {
    using Collection = std::remove_pointer_t<
        std::remove_pointer_t<typename dispatch_calls::MemberOf<decltype(Member)>::Argument>>;
    Collection* collection = nullptr;
    const HRESULT got = (dispatch_calls::Self<Member>(self)->*Member)(&collection);
    SetVariantDispatch(result, collection);
    return got;
}
