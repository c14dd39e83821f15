#pragma once

#include <cstdint>

// The result word of every call through an interface: negative means failure. The values are
// the ones hosts written for the original platform test against.
using HRESULT = int32_t;

constexpr HRESULT ResultFromBits(uint32_t bits) {
    return static_cast<HRESULT>(bits);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

constexpr HRESULT E_NOTIMPL = ResultFromBits(0x80004001);
constexpr HRESULT E_NOINTERFACE = ResultFromBits(0x80004002);
constexpr HRESULT E_POINTER = ResultFromBits(0x80004003);
constexpr HRESULT E_ABORT = ResultFromBits(0x80004004);
constexpr HRESULT E_FAIL = ResultFromBits(0x80004005);
constexpr HRESULT E_UNEXPECTED = ResultFromBits(0x8000FFFF);
constexpr HRESULT E_OUTOFMEMORY = ResultFromBits(0x8007000E);
constexpr HRESULT E_INVALIDARG = ResultFromBits(0x80070057);

constexpr HRESULT CLASS_E_NOAGGREGATION = ResultFromBits(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = ResultFromBits(0x80040111);
constexpr HRESULT REGDB_E_READREGDB = ResultFromBits(0x80040150);
constexpr HRESULT REGDB_E_WRITEREGDB = ResultFromBits(0x80040151);
constexpr HRESULT REGDB_E_CLASSNOTREG = ResultFromBits(0x80040154);
constexpr HRESULT CO_E_CLASSSTRING = ResultFromBits(0x800401F3);
constexpr HRESULT CO_E_DLLNOTFOUND = ResultFromBits(0x800401F8);
constexpr HRESULT CO_E_ERRORINDLL = ResultFromBits(0x800401F9);

constexpr HRESULT DISP_E_MEMBERNOTFOUND = ResultFromBits(0x80020003);
constexpr HRESULT DISP_E_TYPEMISMATCH = ResultFromBits(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = ResultFromBits(0x80020006);
constexpr HRESULT DISP_E_NONAMEDARGS = ResultFromBits(0x80020007);
constexpr HRESULT DISP_E_BADVARTYPE = ResultFromBits(0x80020008);
constexpr HRESULT DISP_E_EXCEPTION = ResultFromBits(0x80020009);
constexpr HRESULT DISP_E_OVERFLOW = ResultFromBits(0x8002000A);
constexpr HRESULT DISP_E_BADPARAMCOUNT = ResultFromBits(0x8002000E);

constexpr bool Succeeded(HRESULT result) {
    return result >= 0;
}

constexpr bool Failed(HRESULT result) {
    return result < 0;
}
