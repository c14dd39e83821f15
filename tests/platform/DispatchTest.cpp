#include "platform/com/Dispatch.h"

#include "platform/com/ComObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ModuleCount testModule;

// The objects of this test: a lamp reached only through IDispatch, as a script would.
class ILamp : public IDispatch {
public:
    virtual HRESULT get_Brightness(int32_t* value) = 0;
    virtual HRESULT put_Brightness(int32_t value) = 0;
    virtual HRESULT get_Name(BSTR* value) = 0;
    virtual HRESULT Rename(BSTR name) = 0;
    virtual HRESULT Subtract(int32_t from, int32_t amount, int64_t* difference) = 0;
    virtual HRESULT get_Item(int32_t index, BSTR* item) = 0;
    virtual HRESULT get__NewEnum(IUnknown** enumerator) = 0;

protected:
    ~ILamp() = default;
};

const std::vector<std::u16string> kParts = {u"base", u"shade", u"bulb"};

class PartEnumerator final : public ComObject<IEnumVARIANT> {
public:
    PartEnumerator() : ComObject<IEnumVARIANT>(testModule) {}
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return AnswerInterface(iid, object, {{kIidUnknown, this}, {kIidEnumVariant, this}});
    }
    HRESULT Next(uint32_t, VARIANT* items, uint32_t* fetched) override {
        if (position >= kParts.size()) {
            return S_FALSE;
        }
        SetVariantBstr(&items[0], AllocBstr(kParts[position++]));
        if (fetched != nullptr) {
            *fetched = 1;
        }
        return S_OK;
    }
    HRESULT Skip(uint32_t count) override {
        position += count;
        return S_OK;
    }
    HRESULT Reset() override {
        position = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

private:
    std::size_t position = 0;
};

ILamp* AsLamp(IDispatch* self) {
    return static_cast<ILamp*>(self);
}

const DispatchMember kLampMembers[] = {
    {"Brightness", 1, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         result->type = VT_I4;
         return AsLamp(self)->get_Brightness(&result->i4);
     }},
    {"Brightness", 1, DISPATCH_PROPERTYPUT, "l",
     [](IDispatch* self, const DispatchArguments& arguments, VARIANT*) {
         return AsLamp(self)->put_Brightness(arguments.Long(0));
     }},
    {"Name", 2, DISPATCH_PROPERTYGET, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         BSTR name = nullptr;
         const HRESULT got = AsLamp(self)->get_Name(&name);
         SetVariantBstr(result, name);
         return got;
     }},
    {"Rename", 3, DISPATCH_METHOD, "s",
     [](IDispatch* self, const DispatchArguments& arguments, VARIANT*) {
         return AsLamp(self)->Rename(arguments.String(0));
     }},
    {"Subtract", 4, DISPATCH_METHOD, "ll",
     [](IDispatch* self, const DispatchArguments& arguments, VARIANT* result) {
         result->type = VT_I8;
         return AsLamp(self)->Subtract(arguments.Long(0), arguments.Long(1), &result->i8);
     }},
    {"Item", DISPID_VALUE, DISPATCH_PROPERTYGET, "l",
     [](IDispatch* self, const DispatchArguments& arguments, VARIANT* result) {
         BSTR item = nullptr;
         const HRESULT got = AsLamp(self)->get_Item(arguments.Long(0), &item);
         SetVariantBstr(result, item);
         return got;
     }},
    {"_NewEnum", DISPID_NEWENUM, DISPATCH_PROPERTYGET | DISPATCH_METHOD, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         IUnknown* enumerator = nullptr;
         const HRESULT got = AsLamp(self)->get__NewEnum(&enumerator);
         SetVariantUnknown(result, enumerator);
         return got;
     }},
};

class Lamp final : public ComObject<ILamp> {
public:
    Lamp() : ComObject<ILamp>(testModule) {}

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return AnswerInterface(iid, object, {{kIidUnknown, this}, {kIidDispatch, this}});
    }
    HRESULT GetTypeInfoCount(uint32_t* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(uint32_t, uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const Guid&, const char16_t* const* names, uint32_t count, uint32_t,
                          DISPID* ids) override {
        return DispatchIdsOfNames(kLampMembers, names, count, ids);
    }
    HRESULT Invoke(DISPID id, const Guid&, uint32_t, uint16_t flags, DispatchParams* params,
                   VARIANT* result, DispatchException* exception,
                   uint32_t* argumentError) override {
        return DispatchInvoke(kLampMembers, this, id, flags, params, result, exception,
                              argumentError);
    }

    HRESULT get_Brightness(int32_t* value) override {
        *value = brightness;
        return S_OK;
    }
    HRESULT put_Brightness(int32_t value) override {
        if (value < 0) {
            return E_INVALIDARG;
        }
        brightness = value;
        return S_OK;
    }
    HRESULT get_Name(BSTR* value) override {
        *value = AllocBstr(name);
        return S_OK;
    }
    HRESULT Rename(BSTR newName) override {
        name = BstrView(newName);
        return S_OK;
    }
    HRESULT Subtract(int32_t from, int32_t amount, int64_t* difference) override {
        *difference = int64_t(from) - amount;
        return S_OK;
    }
    HRESULT get_Item(int32_t index, BSTR* item) override {
        if (index < 1 || index > static_cast<int32_t>(kParts.size())) {
            return E_FAIL;
        }
        *item = AllocBstr(kParts[index - 1]);
        return S_OK;
    }
    HRESULT get__NewEnum(IUnknown** enumerator) override {
        *enumerator = new PartEnumerator;
        return S_OK;
    }

private:
    int32_t brightness = 40;
    std::u16string name = u"desk lamp";
};

// Calls through IDispatch with the arguments in reading order, as a script passes them.
class DispatchTest : public ::testing::Test {
protected:
    void TearDown() override {
        lamp->Release();
        EXPECT_FALSE(testModule.InUse()) << "an object or a reference was left behind";
    }

    DISPID IdOf(const char16_t* name) {
        DISPID id = DISPID_UNKNOWN;
        const char16_t* names[] = {name};
        EXPECT_EQ(lamp->GetIDsOfNames(kGuidNull, names, 1, 0, &id), S_OK) << "a name";
        return id;
    }

    HRESULT Call(DISPID id, uint16_t flags, std::vector<VARIANT> arguments, VARIANT* result,
                 bool asPut = false) {
        std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
        DISPID putId = DISPID_PROPERTYPUT;
        DispatchParams params;
        params.arguments = reversed.data();
        params.count = static_cast<uint32_t>(reversed.size());
        if (asPut) {
            params.namedIds = &putId;
            params.namedCount = 1;
        }
        argumentError = 99;
        const HRESULT invoked =
            lamp->Invoke(id, kGuidNull, 0, flags, &params, result, &exception, &argumentError);
        for (VARIANT& argument : reversed) {
            ClearVariant(&argument);
        }
        return invoked;
    }

    static VARIANT Long(int32_t value) {
        VARIANT v;
        SetVariantInt32(&v, value);
        return v;
    }
    static VARIANT Text(const char16_t* value) {
        VARIANT v;
        SetVariantBstr(&v, AllocBstr(value));
        return v;
    }

    IDispatch* lamp = new Lamp;
    DispatchException exception;
    uint32_t argumentError = 0;
};

TEST_F(DispatchTest, FindsMembersByNameWhateverTheCase) {
    EXPECT_EQ(IdOf(u"Brightness"), 1);
    EXPECT_EQ(IdOf(u"BRIGHTNESS"), 1);
    EXPECT_EQ(IdOf(u"rename"), 3);
    EXPECT_EQ(IdOf(u"_newenum"), DISPID_NEWENUM);

    const char16_t* unknown[] = {u"Brightnes"};
    DISPID id = 7;
    EXPECT_EQ(lamp->GetIDsOfNames(kGuidNull, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    const char16_t* withParameter[] = {u"Subtract", u"from"};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(lamp->GetIDsOfNames(kGuidNull, withParameter, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 4);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(DispatchTest, PutsAndGetsPropertiesAndCallsMethods) {
    VARIANT result;
    InitVariant(&result);
    ASSERT_EQ(Call(1, DISPATCH_PROPERTYPUT, {Long(75)}, nullptr, true), S_OK);
    ASSERT_EQ(Call(1, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.type, VT_I4);
    EXPECT_EQ(result.i4, 75);

    ASSERT_EQ(Call(3, DISPATCH_METHOD, {Text(u"reading lamp")}, nullptr), S_OK);
    // A script asks for a value both ways at once.
    ASSERT_EQ(Call(2, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(BstrView(result.bstr), u"reading lamp");
    ClearVariant(&result);

    ASSERT_EQ(Call(4, DISPATCH_METHOD, {Long(10), Long(3)}, &result), S_OK);
    EXPECT_EQ(result.type, VT_I8);
    EXPECT_EQ(result.i8, 7) << "arguments arrive last first and are put back in order";
}

TEST_F(DispatchTest, ConvertsArgumentsToTheDeclaredTypes) {
    VARIANT result;
    InitVariant(&result);
    ASSERT_EQ(Call(1, DISPATCH_PROPERTYPUT, {Text(u"12")}, nullptr, true), S_OK);
    ASSERT_EQ(Call(1, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.i4, 12);

    ASSERT_EQ(Call(3, DISPATCH_METHOD, {Long(-4)}, nullptr), S_OK);
    ASSERT_EQ(Call(2, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(BstrView(result.bstr), u"-4");
    ClearVariant(&result);

    EXPECT_EQ(Call(4, DISPATCH_METHOD, {Long(1), Text(u"three")}, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argumentError, 0u) << "the last argument stands first in the caller's array";
    EXPECT_EQ(Call(4, DISPATCH_METHOD, {Text(u"one"), Long(3)}, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argumentError, 1u);
}

TEST_F(DispatchTest, RefusesCallsThatDoNotFitTheMember) {
    VARIANT result;
    InitVariant(&result);
    EXPECT_EQ(Call(4, DISPATCH_METHOD, {Long(1)}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(4, DISPATCH_METHOD, {Long(1), Long(2), Long(3)}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(42, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(2, DISPATCH_PROPERTYPUT, {Text(u"x")}, nullptr, true), DISP_E_MEMBERNOTFOUND)
        << "Name has no put";
    EXPECT_EQ(Call(1, DISPATCH_PROPERTYPUT, {Long(1)}, nullptr, false), DISP_E_BADPARAMCOUNT)
        << "a put names its value";
    EXPECT_EQ(result.type, VT_EMPTY);
}

TEST_F(DispatchTest, AMemberThatFailsGivesAnExceptionWithItsResult) {
    EXPECT_EQ(Call(1, DISPATCH_PROPERTYPUT, {Long(-1)}, nullptr, true), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.code, E_INVALIDARG);
    VARIANT result;
    InitVariant(&result);
    EXPECT_EQ(Call(DISPID_VALUE, DISPATCH_PROPERTYGET, {Long(9)}, &result), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.code, E_FAIL);
    EXPECT_EQ(result.type, VT_EMPTY);
}

TEST_F(DispatchTest, ReachesTheDefaultMemberAndTheEnumerator) {
    VARIANT result;
    InitVariant(&result);
    ASSERT_EQ(Call(DISPID_VALUE, DISPATCH_PROPERTYGET, {Long(2)}, &result), S_OK);
    EXPECT_EQ(BstrView(result.bstr), u"shade");
    ClearVariant(&result);

    ASSERT_EQ(Call(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result), S_OK);
    ASSERT_EQ(result.type, VT_UNKNOWN);
    void* place = nullptr;
    ASSERT_EQ(result.unknown->QueryInterface(kIidEnumVariant, &place), S_OK);
    ClearVariant(&result);
    IEnumVARIANT* parts = static_cast<IEnumVARIANT*>(place);
    std::u16string seen;
    VARIANT item;
    InitVariant(&item);
    while (parts->Next(1, &item, nullptr) == S_OK) {
        seen += BstrView(item.bstr);
        seen += u' ';
        ClearVariant(&item);
    }
    parts->Release();
    EXPECT_EQ(seen, u"base shade bulb ");
}

} // namespace
