#pragma once

#include "platform/com/Interfaces.h"

// The class of the small test module: a counter created by ProgID from a shared library.
constexpr Guid kClsidTestCounter = GuidLiteral("{6C1D2F0E-52B4-4E7A-9A31-0D7E5B8C4A10}");
constexpr Guid kIidTestCounter = GuidLiteral("{6C1D2F0F-52B4-4E7A-9A31-0D7E5B8C4A10}");
constexpr const char* kTestCounterProgId = "OrvexTests.Counter.1";
constexpr const char* kTestCounterIndependentProgId = "OrvexTests.Counter";

class ITestCounter : public IDispatch {
public:
    virtual HRESULT Add(int32_t amount) = 0;
    virtual HRESULT get_Total(int64_t* total) = 0;

protected:
    ~ITestCounter() = default;
};
