#include "platform/com/Variant.h"

#include "platform/com/ComObject.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

ModuleCount probes;

// An object that only counts: the test sees its references through the module count.
class Probe final : public ComObject<IDispatch> {
public:
    Probe() : ComObject<IDispatch>(probes) {}
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return AnswerInterface(iid, object, {{kIidUnknown, this}, {kIidDispatch, this}});
    }
    HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(uint32_t, uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const Guid&, const char16_t* const*, uint32_t, uint32_t,
                          DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT Invoke(DISPID, const Guid&, uint32_t, uint16_t, DispatchParams*, VARIANT*,
                   DispatchException*, uint32_t*) override {
        return E_NOTIMPL;
    }
};

VARIANT Of(VARTYPE type) {
    VARIANT value;
    InitVariant(&value);
    value.type = type;
    return value;
}

TEST(VariantTest, CopyGivesTheStringACopyOfItsOwn) {
    VARIANT original;
    InitVariant(&original);
    SetVariantBstr(&original, AllocBstr(u"lantern"));
    VARIANT copy;
    InitVariant(&copy);
    ASSERT_EQ(CopyVariant(&copy, &original), S_OK);
    EXPECT_NE(copy.bstr, original.bstr);
    ClearVariant(&original);
    EXPECT_EQ(original.type, VT_EMPTY);
    EXPECT_EQ(BstrView(copy.bstr), u"lantern");
    ClearVariant(&copy);
}

TEST(VariantTest, CopyAndClearKeepTheReferencesOfInterfacesBalanced) {
    Probe* probe = new Probe;
    VARIANT held;
    InitVariant(&held);
    SetVariantDispatch(&held, probe); // takes the creator's reference
    VARIANT copy;
    InitVariant(&copy);
    ASSERT_EQ(CopyVariant(&copy, &held), S_OK);
    EXPECT_EQ(probe->AddRef(), 3u);
    probe->Release();
    ClearVariant(&held);
    EXPECT_TRUE(probes.InUse());
    // Copying over a VARIANT that holds the object releases it first.
    VARIANT number;
    InitVariant(&number);
    SetVariantInt32(&number, 5);
    ASSERT_EQ(CopyVariant(&copy, &number), S_OK);
    EXPECT_FALSE(probes.InUse());
    EXPECT_EQ(copy.i4, 5);
}

TEST(VariantTest, ConvertsArgumentsToIntegersAsAutomationDoes) {
    int16_t shortValue = -9;
    VARIANT byReferenceTarget = Of(VT_BSTR);
    byReferenceTarget.bstr = AllocBstr(u"77");
    struct Case {
        const char* what;
        VARIANT value;
        HRESULT result;
        int32_t expected;
    };
    std::vector<Case> cases;
    const auto add = [&](const char* what, VARIANT value, HRESULT result, int32_t expected) {
        cases.push_back({what, value, result, expected});
    };
    VARIANT v = Of(VT_I2);
    v.i2 = -5;
    add("short", v, S_OK, -5);
    v = Of(VT_R8);
    v.r8 = 2.5;
    add("half rounds to even, down", v, S_OK, 2);
    v.r8 = 3.5;
    add("half rounds to even, up", v, S_OK, 4);
    v.r8 = -1e12;
    add("real too small", v, DISP_E_OVERFLOW, 0);
    v = Of(VT_I8);
    v.i8 = int64_t(1) << 31;
    add("64-bit too large", v, DISP_E_OVERFLOW, 0);
    v = Of(VT_UI4);
    v.ui4 = 0xFFFFFFFFu;
    add("unsigned too large", v, DISP_E_OVERFLOW, 0);
    v = Of(VT_BOOL);
    v.boolean = VARIANT_TRUE;
    add("true", v, S_OK, -1);
    add("empty", Of(VT_EMPTY), S_OK, 0);
    add("null", Of(VT_NULL), DISP_E_TYPEMISMATCH, 0);
    add("dispatch", Of(VT_DISPATCH), DISP_E_TYPEMISMATCH, 0);
    v = Of(VT_I2 | VT_BYREF);
    v.reference = &shortValue;
    add("short by reference", v, S_OK, -9);
    v = Of(VT_VARIANT | VT_BYREF);
    v.reference = &byReferenceTarget;
    add("text in a variant by reference", v, S_OK, 77);
    v = Of(VT_I4 | VT_BYREF);
    v.reference = nullptr;
    add("null reference", v, DISP_E_TYPEMISMATCH, 0);

    for (const Case& c : cases) {
        int32_t result = 12345;
        EXPECT_EQ(VariantToInt32(c.value, &result), c.result) << c.what;
        if (c.result == S_OK) {
            EXPECT_EQ(result, c.expected) << c.what;
        }
    }
    ClearVariant(&byReferenceTarget);
}

TEST(VariantTest, ReadsNumbersFromTextInTheCLocale) {
    const struct {
        const char16_t* text;
        HRESULT result;
        int64_t expected;
    } cases[] = {
        {u" 42 ", S_OK, 42},
        {u"-17", S_OK, -17},
        {u"+8", S_OK, 8},
        {u"1099511627776", S_OK, int64_t(1) << 40},
        {u"2.5", S_OK, 2},
        {u"1,5", DISP_E_TYPEMISMATCH, 0},
        {u"lamp", DISP_E_TYPEMISMATCH, 0},
        {u"", DISP_E_TYPEMISMATCH, 0},
        {u"99999999999999999999", DISP_E_OVERFLOW, 0},
        {u"\u0664\u0662", DISP_E_TYPEMISMATCH, 0},
    };
    for (const auto& c : cases) {
        VARIANT value;
        InitVariant(&value);
        SetVariantBstr(&value, AllocBstr(c.text));
        int64_t result = 0;
        EXPECT_EQ(VariantToInt64(value, &result), c.result);
        if (c.result == S_OK) {
            EXPECT_EQ(result, c.expected);
        }
        ClearVariant(&value);
    }
}

TEST(VariantTest, ConvertsToBooleansAndStrings) {
    VARIANT value;
    InitVariant(&value);
    SetVariantBstr(&value, AllocBstr(u"FALSE"));
    VARIANT_BOOL truth = VARIANT_TRUE;
    EXPECT_EQ(VariantToBool(value, &truth), S_OK);
    EXPECT_EQ(truth, VARIANT_FALSE);
    ClearVariant(&value);
    SetVariantInt32(&value, 2);
    EXPECT_EQ(VariantToBool(value, &truth), S_OK);
    EXPECT_EQ(truth, VARIANT_TRUE);

    const struct {
        VARIANT value;
        const char16_t* text;
    } cases[] = {
        {[] {
             VARIANT v = Of(VT_I4);
             v.i4 = -12;
             return v;
         }(),
         u"-12"},
        {[] {
             VARIANT v = Of(VT_I8);
             v.i8 = std::numeric_limits<int64_t>::min();
             return v;
         }(),
         u"-9223372036854775808"},
        {[] {
             VARIANT v = Of(VT_BOOL);
             v.boolean = VARIANT_TRUE;
             return v;
         }(),
         u"True"},
        {[] {
             VARIANT v = Of(VT_R8);
             v.r8 = 0.5;
             return v;
         }(),
         u"0.5"},
        {Of(VT_EMPTY), u""},
    };
    for (const auto& c : cases) {
        BSTR text = nullptr;
        EXPECT_EQ(VariantToBstr(c.value, &text), S_OK);
        EXPECT_EQ(BstrView(text), c.text);
        FreeBstr(text);
    }
}

} // namespace
