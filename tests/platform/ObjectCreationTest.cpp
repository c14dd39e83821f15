#include "platform/com/ObjectCreation.h"

#include "platform/com/ClassesRoot.h"
#include "platform/com/ComObject.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/platform/TestCounter.h"
#include "tests/support/TempFolder.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

ModuleCount hostModule;

constexpr Guid kClsidHostDouble = GuidLiteral("{9E1A8C77-1B2D-4C3E-8F40-5A6B7C8D9E0F}");

// A class of the host itself, registered in the process only.
class HostDouble final : public ComObject<IUnknown> {
public:
    HostDouble() : ComObject<IUnknown>(hostModule) {}
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return AnswerInterface(iid, object, {{kIidUnknown, this}});
    }
};

bool IsLoaded(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) {
        ::dlclose(handle);
    }
    return handle != nullptr;
}

class ObjectCreationTest : public ::testing::Test {
protected:
    TempFolder folder;
    ScopedEnvironment registry{"ORVEX_CLASSES_ROOT", folder / "classes-root.reg"};
    const std::string modulePath = std::filesystem::canonical(TEST_COUNTER_MODULE).string();
};

TEST_F(ObjectCreationTest, ClassesRegisteredInTheProcessAreCreatedUntilRevoked) {
    ObjectFactory* factory =
        new ObjectFactory(hostModule, [] { return static_cast<IUnknown*>(new HostDouble); });
    uint32_t cookie = 0;
    ASSERT_EQ(RegisterClassObject(kClsidHostDouble, factory, &cookie), S_OK);
    factory->Release(); // the runtime keeps its own reference

    void* object = nullptr;
    ASSERT_EQ(CreateInstance(kClsidHostDouble, nullptr, kIidUnknown, &object), S_OK);
    ASSERT_NE(object, nullptr);
    static_cast<IUnknown*>(object)->Release();

    IUnknown* outer = static_cast<IUnknown*>(factory);
    EXPECT_EQ(CreateInstance(kClsidHostDouble, outer, kIidUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CreateInstance(kClsidHostDouble, nullptr, kIidDispatch, &object), E_NOINTERFACE);

    ASSERT_EQ(RevokeClassObject(cookie), S_OK);
    EXPECT_FALSE(hostModule.InUse()) << "revoking released the class object";
    EXPECT_EQ(CreateInstance(kClsidHostDouble, nullptr, kIidUnknown, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(RevokeClassObject(cookie), E_INVALIDARG);
}

TEST_F(ObjectCreationTest, ServerLocksKeepTheModuleInUse) {
    ObjectFactory* factory =
        new ObjectFactory(hostModule, [] { return static_cast<IUnknown*>(new HostDouble); });
    factory->LockServer(1);
    factory->Release();
    EXPECT_TRUE(hostModule.InUse()) << "the lock outlives the class object";
    ObjectFactory* another = new ObjectFactory(hostModule, ObjectFactory::Maker{});
    another->LockServer(0);
    another->Release();
    EXPECT_FALSE(hostModule.InUse());
}

TEST_F(ObjectCreationTest, AModuleRegistersItselfAndItsClassIsCreatedByProgId) {
    ASSERT_EQ(RegisterServerModule(modulePath), S_OK);
    EXPECT_EQ(
        ReadClassesRootValue("CLSID\\" + FormatGuid(kClsidTestCounter) + "\\InprocServer32", ""),
        modulePath);
    Guid clsid;
    ASSERT_EQ(ClassIdFromProgId(kTestCounterIndependentProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, kClsidTestCounter);

    void* place = nullptr;
    ASSERT_EQ(CreateInstanceByProgId("orvextests.counter.1", nullptr, kIidTestCounter, &place),
              S_OK);
    ITestCounter* counter = static_cast<ITestCounter*>(place);
    counter->Add(5);
    counter->Add(7);

    // The same object through its dispatch interface, by name, as a script would call it.
    const char16_t* names[] = {u"TOTAL"};
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(counter->GetIDsOfNames(kGuidNull, names, 1, 0, &id), S_OK);
    VARIANT total;
    InitVariant(&total);
    ASSERT_EQ(
        counter->Invoke(id, kGuidNull, 0, DISPATCH_PROPERTYGET, nullptr, &total, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(total.i8, 12);

    FreeUnusedModules();
    EXPECT_TRUE(IsLoaded(modulePath)) << "an object of the module is alive";
    counter->Release();
    FreeUnusedModules();
    EXPECT_FALSE(IsLoaded(modulePath));

    ASSERT_EQ(UnregisterServerModule(modulePath), S_OK);
    EXPECT_EQ(CreateInstanceByProgId(kTestCounterProgId, nullptr, kIidUnknown, &place),
              CO_E_CLASSSTRING);
    EXPECT_EQ(CreateInstance(kClsidTestCounter, nullptr, kIidUnknown, &place), REGDB_E_CLASSNOTREG);
}

TEST_F(ObjectCreationTest, ReportsClassesThatCannotBeHad) {
    void* place = nullptr;
    EXPECT_EQ(CreateInstanceByProgId("Orvex.Nothing", nullptr, kIidUnknown, &place),
              CO_E_CLASSSTRING);
    EXPECT_EQ(CreateInstanceByProgId("", nullptr, kIidUnknown, &place), CO_E_CLASSSTRING);

    const std::string missing = "{11111111-2222-3333-4444-555555555555}";
    const std::string noEntry = "{11111111-2222-3333-4444-666666666666}";
    const std::string runtimePath = ModulePathOf(reinterpret_cast<const void*>(&AllocBstr));
    std::string error;
    ASSERT_TRUE(EditClassesRoot(
        [&](RegistryKey& root) {
            root.CreateKey("Orvex.BadId\\CLSID")->SetValue("", "not a guid");
            root.CreateKey("CLSID\\" + missing + "\\InprocServer32")
                ->SetValue("", folder / "no-such-module.so");
            // A library that exists but is no server: it has no DllGetClassObject.
            root.CreateKey("CLSID\\" + noEntry + "\\InprocServer32")->SetValue("", runtimePath);
            return true;
        },
        error));
    EXPECT_EQ(CreateInstanceByProgId("Orvex.BadId", nullptr, kIidUnknown, &place),
              CO_E_CLASSSTRING);
    EXPECT_EQ(CreateInstance(*ParseGuid(missing), nullptr, kIidUnknown, &place), CO_E_DLLNOTFOUND);
    EXPECT_EQ(CreateInstance(*ParseGuid(noEntry), nullptr, kIidUnknown, &place), CO_E_ERRORINDLL);
    EXPECT_EQ(CreateInstance(*ParseGuid(noEntry), nullptr, kIidUnknown, nullptr), E_POINTER);
}

TEST(ModulePathTest, NamesTheModuleOfAnAddress) {
    EXPECT_EQ(ModulePathOf(reinterpret_cast<const void*>(&IsLoaded)),
              std::filesystem::canonical("/proc/self/exe").string());
    const std::string runtime = ModulePathOf(reinterpret_cast<const void*>(&AllocBstr));
    EXPECT_NE(runtime.find("liborvexcom.so"), std::string::npos) << runtime;
}

} // namespace
