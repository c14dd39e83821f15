// The services module as hosts meet it: loaded from the classes root by the runtime, its
// registration, its class objects and the whole of both services through the COM path.

#include "platform/com/ClassesRoot.h"
#include "platform/com/CodePage.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComRef.h"
#include "platform/com/ObjectCreation.h"
#include "services/LocalFile.h"
#include "services/SoapClient.h"
#include "services/VostrelGamesServicesLib.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tools/soaptestserver/ServiceTestServer.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kKey = "ORVEX-TEST-KEY-7";
constexpr const char* kLogin = "player@orvex.invalid";
constexpr const char* kPassword = "secret";
constexpr int32_t kGame = 7;

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// An argument of a call by name; owns its string.
class Argument {
public:
    Argument(const char* text) { SetVariantBstr(&value, AllocBstrFromNarrow(text)); }
    Argument(int32_t number) { SetVariantInt32(&value, number); }
    Argument(int64_t number) { SetVariantInt64(&value, number); }
    ~Argument() { ClearVariant(&value); }
    Argument(const Argument&) = delete;
    Argument& operator=(const Argument&) = delete;

    VARIANT value;
};

// What a call through IDispatch gave: its HRESULT and its result.
struct DispatchOutcome {
    HRESULT result = E_UNEXPECTED;
    VARIANT value;

    DispatchOutcome() { InitVariant(&value); }
    ~DispatchOutcome() { ClearVariant(&value); }
    DispatchOutcome(const DispatchOutcome&) = delete;
    DispatchOutcome& operator=(const DispatchOutcome&) = delete;

    std::string Text() const {
        BSTR text = nullptr;
        if (Failed(VariantToBstr(value, &text))) {
            return "<no text>";
        }
        std::string narrow = NarrowFromWide(BstrView(text));
        FreeBstr(text);
        return narrow;
    }
    // The object the call returned, with a reference of its own.
    template <typename Interface>
    ComRef<Interface> Object(const Guid& iid) const {
        ComRef<Interface> object;
        if (value.type == VT_DISPATCH && value.dispatch != nullptr) {
            EXPECT_EQ(value.dispatch->QueryInterface(iid, object.PutVoid()), S_OK);
        }
        return object;
    }
};

// Finds the member by name as a script host does, then invokes it with the arguments in
// declaration order (a property put takes its value last).
void CallByName(IDispatch* on, const char* name, uint16_t kind,
                std::initializer_list<const Argument*> arguments, DispatchOutcome& outcome) {
    const Bstr wide = Bstr::FromNarrow(name);
    const char16_t* names[] = {wide.Get()};
    DISPID id = DISPID_UNKNOWN;
    outcome.result = on->GetIDsOfNames(kGuidNull, names, 1, 0, &id);
    if (Failed(outcome.result)) {
        return;
    }
    std::vector<VARIANT> reversed;
    for (auto argument = std::rbegin(arguments); argument != std::rend(arguments); ++argument) {
        reversed.push_back((*argument)->value);
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DispatchParams params;
    params.arguments = reversed.data();
    params.count = static_cast<uint32_t>(reversed.size());
    if (kind == DISPATCH_PROPERTYPUT) {
        params.namedIds = &putId;
        params.namedCount = 1;
    }
    ClearVariant(&outcome.value);
    outcome.result = on->Invoke(id, kGuidNull, 0, kind, &params, &outcome.value, nullptr, nullptr);
}

std::string GetText(IDispatch* on, const char* name) {
    DispatchOutcome outcome;
    CallByName(on, name, DISPATCH_PROPERTYGET, {}, outcome);
    EXPECT_EQ(outcome.result, S_OK) << name;
    return outcome.Text();
}

// A classes root of its own in a test folder, into which the tests register the built module.
class ComServerTest : public ::testing::Test {
protected:
    // Loads the module through the runtime and finds one of its entry points.
    template <typename Entry>
    Entry ModuleEntry(const char* name) {
        void* classObject = nullptr;
        EXPECT_EQ(GetClassObject(kClsidVGHighScores, kIidClassFactory, &classObject), S_OK);
        if (classObject != nullptr) {
            static_cast<IUnknown*>(classObject)->Release();
        }
        void* handle = ::dlopen(modulePath.c_str(), RTLD_NOW | RTLD_NOLOAD);
        EXPECT_NE(handle, nullptr) << "the runtime loaded the module";
        if (handle == nullptr) {
            return nullptr;
        }
        Entry entry = reinterpret_cast<Entry>(::dlsym(handle, name));
        ::dlclose(handle); // the runtime keeps its own handle
        return entry;
    }

    TempFolder folder;
    ScopedEnvironment registry{"ORVEX_CLASSES_ROOT", folder / "classes-root.reg"};
    const std::string modulePath = fs::canonical(VGLSVS_MODULE).string();
};

class ComServerRegisteredTest : public ComServerTest {
protected:
    void SetUp() override { ASSERT_EQ(RegisterServerModule(modulePath), S_OK); }
};

// Entries of other modules, which registration and its removal must leave as they are, and a
// stale entry of the module's own class, which registration replaces.
constexpr const char* kOtherEntries = R"([AppID\{11111111-2222-3333-4444-555555555555}]
@="Another application"
[CLSID\{2344BBD1-CB3D-4D22-B075-EFA4C9D8969B}\OldServer]
@="/opt/old/libvglsvs.so"
[CLSID\{66666666-7777-8888-9999-AAAAAAAAAAAA}\InprocServer32]
@="/opt/other/libother.so"
[TypeLib\{B36476E0-D780-4A5E-89F1-46826D9CB97A}\2.0]
@="A later version of the library"
)";

std::string GoldenFile(const char* name) {
    return ReadWhole(std::string(VGLSVS_GOLDEN) + "/" + name);
}

TEST_F(ComServerTest, RegistrationWritesEveryEntryAndRemovalTakesBackOnlyItsOwn) {
    std::string error;
    ASSERT_TRUE(EditClassesRoot(
        [&](RegistryKey& root) { return ParseRegistry(kOtherEntries, root, error); }, error))
        << error;
    const std::string file = folder / "classes-root.reg";
    // The golden files stand for the module's real path by a placeholder.
    const auto registryText = [&] {
        std::string text = ReadWhole(file);
        ReplaceAll(text, modulePath, "%MODULE%");
        ReplaceAll(text, fs::path(modulePath).parent_path().string(), "%FOLDER%");
        return text;
    };

    ASSERT_EQ(RegisterServerModule(modulePath), S_OK);
    EXPECT_EQ(registryText(), GoldenFile("registered.reg"));
    ASSERT_EQ(RegisterServerModule(modulePath), S_OK);
    EXPECT_EQ(registryText(), GoldenFile("registered.reg")) << "registering again changes nothing";

    ASSERT_EQ(UnregisterServerModule(modulePath), S_OK);
    EXPECT_EQ(registryText(), GoldenFile("unregistered.reg"));
}

TEST_F(ComServerTest, RegistrationIntoADamagedClassesRootFails) {
    std::ofstream(folder / "classes-root.reg") << "[CLSID\n";
    EXPECT_EQ(RegisterServerModule(modulePath), REGDB_E_WRITEREGDB);
    EXPECT_EQ(UnregisterServerModule(modulePath), REGDB_E_WRITEREGDB);
    EXPECT_EQ(ReadWhole(folder / "classes-root.reg"), "[CLSID\n") << "nothing was written";
}

// Every class by each of its ProgIDs and by its class id: the default interface and IDispatch
// are there, and a directly created object is empty.
struct CreationCase {
    const char* progId;
    Guid clsid;
    Guid iid;
    const char* property; // read by name through IDispatch
    const char* value;
};

const CreationCase kCreationCases[] = {
    {"VostrelGamesServices.HighScoreService.1", kClsidVGHighScoreService, kIidVGHighScoreService,
     "Version", "1.0.0.0"},
    {"VostrelGamesServices.HighScoreService", kClsidVGHighScoreService, kIidVGHighScoreService,
     "ErrorDescription", ""},
    {"VostrelGamesServices.HighScores.1", kClsidVGHighScores, kIidVGHighScores, "count", "0"},
    {"VostrelGamesServices.HighScores", kClsidVGHighScores, kIidVGHighScores, "count", "0"},
    {"VostrelGamesServices.HighScoreItem.1", kClsidVGHighScore, kIidVGHighScoreItem, "name", ""},
    {"VostrelGamesServices.HighScoreItem", kClsidVGHighScore, kIidVGHighScoreItem, "score", "0"},
    {"VostrelGamesServices.UserContentService.1", kClsidVGUserContentService,
     kIidVGUserContentService, "Version", "1.0.0.0"},
    {"VostrelGamesServices.UserContentService", kClsidVGUserContentService,
     kIidVGUserContentService, "Error", "0"},
    {"VostrelGamesServices.VGUserContent.1", kClsidVGUserContent, kIidVGUserContent, "count", "0"},
    {"VostrelGamesServices.VGUserContent", kClsidVGUserContent, kIidVGUserContent, "count", "0"},
    {"VostrelGamesServices.VGUserContentIte.1", kClsidVGUserContentItem, kIidVGUserContentItem,
     "name", ""},
    {"VostrelGamesServices.VGUserContentItem", kClsidVGUserContentItem, kIidVGUserContentItem,
     "Number", "0"},
};

TEST_F(ComServerRegisteredTest, EveryClassIsCreatedByEachProgIdAndByItsClassIdAndStartsEmpty) {
    for (const CreationCase& entry : kCreationCases) {
        SCOPED_TRACE(entry.progId);
        Guid clsid;
        ASSERT_EQ(ClassIdFromProgId(entry.progId, &clsid), S_OK);
        EXPECT_EQ(clsid, entry.clsid);

        ComRef<IDispatch> object;
        ASSERT_EQ(CreateInstanceByProgId(entry.progId, nullptr, kIidDispatch, object.PutVoid()),
                  S_OK);
        ComRef<IUnknown> own;
        EXPECT_EQ(object->QueryInterface(entry.iid, own.PutVoid()), S_OK);
        EXPECT_EQ(GetText(object.Get(), entry.property), entry.value);

        ComRef<IUnknown> byClassId;
        EXPECT_EQ(CreateInstance(entry.clsid, nullptr, entry.iid, byClassId.PutVoid()), S_OK);
    }
}

TEST_F(ComServerRegisteredTest, TheModuleMayUnloadOnlyWithNoObjectAndNoLockAlive) {
    const auto canUnloadNow = ModuleEntry<CanUnloadNowEntry>("DllCanUnloadNow");
    ASSERT_NE(canUnloadNow, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK);

    ComRef<IClassFactory> factory;
    ASSERT_EQ(GetClassObject(kClsidVGUserContentService, kIidClassFactory, factory.PutVoid()),
              S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a class object is alive";
    ASSERT_EQ(factory->LockServer(1), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a lock is alive";
    ASSERT_EQ(GetClassObject(kClsidVGUserContentService, kIidClassFactory, factory.PutVoid()),
              S_OK);
    ASSERT_EQ(factory->LockServer(0), S_OK);

    ComRef<IUnknown> service;
    ASSERT_EQ(factory->CreateInstance(nullptr, kIidVGUserContentService, service.PutVoid()), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a service is alive";
    service.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);

    ComRef<IUnknown> item;
    ASSERT_EQ(CreateInstance(kClsidVGUserContentItem, nullptr, kIidUnknown, item.PutVoid()), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "an item is alive";
    item.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(ComServerRegisteredTest, ClassObjectsRefuseUnknownClassesAndInterfaces) {
    const auto getClassObject = ModuleEntry<GetClassObjectEntry>("DllGetClassObject");
    const auto canUnloadNow = ModuleEntry<CanUnloadNowEntry>("DllCanUnloadNow");
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(canUnloadNow, nullptr);

    const Guid unknownClass = GuidLiteral("{00000000-1111-2222-3333-444444444444}");
    void* object = &object;
    EXPECT_EQ(getClassObject(unknownClass, kIidClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(kClsidVGHighScores, kIidVGHighScores, &object), E_NOINTERFACE)
        << "a class object is no collection";
    EXPECT_EQ(getClassObject(kClsidVGHighScores, kIidClassFactory, nullptr), E_POINTER);

    ComRef<IClassFactory> factory;
    ASSERT_EQ(getClassObject(kClsidVGHighScoreService, kIidClassFactory, factory.PutVoid()), S_OK);
    EXPECT_EQ(factory->CreateInstance(nullptr, kIidVGUserContent, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK) << "the object made for the wrong interface was released";
}

// A host object that aggregates one object of the module: it answers IUnknown itself and hands
// every other query to the object's own unknown.
ModuleCount hostModule;

class HostObject final : public ComObject<IUnknown> {
public:
    HostObject() : ComObject<IUnknown>(hostModule) {}
    ~HostObject() override {
        if (part != nullptr) {
            part->Release();
        }
    }
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        if (iid == kIidUnknown || part == nullptr) {
            return AnswerInterface(iid, object, {{kIidUnknown, this}});
        }
        return part->QueryInterface(iid, object);
    }
    uint32_t References() {
        AddRef();
        return Release();
    }

    IUnknown* part = nullptr;
};

TEST_F(ComServerRegisteredTest, AnObjectBecomesAPartOfAHostObjectAskingForIUnknownOnly) {
    const auto canUnloadNow = ModuleEntry<CanUnloadNowEntry>("DllCanUnloadNow");
    ASSERT_NE(canUnloadNow, nullptr);
    ComRef<IClassFactory> factory;
    ASSERT_EQ(GetClassObject(kClsidVGHighScores, kIidClassFactory, factory.PutVoid()), S_OK);
    ComRef<HostObject> host(new HostObject);

    for (const Guid& iid : {kIidVGHighScores, kIidDispatch, kIidClassFactory}) {
        void* object = &object;
        EXPECT_EQ(factory->CreateInstance(host.Get(), iid, &object), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(object, nullptr);
    }
    ASSERT_EQ(
        factory->CreateInstance(host.Get(), kIidUnknown, reinterpret_cast<void**>(&host->part)),
        S_OK);
    ASSERT_NE(host->part, nullptr);
    EXPECT_NE(host->part, static_cast<IUnknown*>(host.Get())) << "the part's own unknown";
    factory.Reset();

    ComRef<IVGHighScores> scores;
    ASSERT_EQ(host->QueryInterface(kIidVGHighScores, scores.PutVoid()), S_OK);
    EXPECT_EQ(host->References(), 2u) << "the part's interface counts on the host";
    ComRef<IUnknown> identity;
    ASSERT_EQ(scores->QueryInterface(kIidUnknown, identity.PutVoid()), S_OK);
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(host.Get())) << "the host is the identity";
    identity.Reset();
    int32_t count = -1;
    EXPECT_EQ(scores->get_count(&count), S_OK);
    EXPECT_EQ(count, 0);
    ComRef<IDispatch> dispatch;
    EXPECT_EQ(scores->QueryInterface(kIidDispatch, dispatch.PutVoid()), S_OK)
        << "queries on the part reach the part through the host";
    dispatch.Reset();

    scores.Reset();
    EXPECT_EQ(host->References(), 1u);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "the part lives while its host does";
    host.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_FALSE(hostModule.InUse());
}

// Both services against the local test server, created by ProgID and called through their
// interfaces and through IDispatch by name.
class ComServerFlowTest : public ComServerRegisteredTest {
protected:
    void SetUp() override {
        ComServerRegisteredTest::SetUp();
        // The download component lives in a module of its own, registered beside the services.
        ASSERT_EQ(RegisterServerModule(fs::canonical(DOWNLOADER_MODULE).string()), S_OK);
        std::string error;
        ASSERT_TRUE(LoadFixtureFolder(SOAPTESTSERVER_FIXTURES, server, error)) << error;
        ASSERT_TRUE(server.Start());
        connectTo.emplace(SoapClient::kConnectToVariable, server.Address());
        fs::create_directories(folder / "tmp");
        temporary.emplace("TMPDIR", folder / "tmp");
    }
    void TearDown() override {
        server.Stop();
        const std::vector<std::string> problems = server.Problems();
        EXPECT_TRUE(problems.empty()) << problems.front();
    }

    static std::string FixtureFile(const char* name) {
        return std::string(SOAPTESTSERVER_FIXTURES) + "/files/" + name;
    }

    // Creates a service by its version-independent ProgID and names its company and game.
    ComRef<IDispatch> CreateService(const char* progId) {
        ComRef<IDispatch> service;
        EXPECT_EQ(CreateInstanceByProgId(progId, nullptr, kIidDispatch, service.PutVoid()), S_OK);
        if (service) {
            const Argument company("Vostrel Games");
            const Argument game("Crypt Quest");
            DispatchOutcome put;
            CallByName(service.Get(), "CompanyName", DISPATCH_PROPERTYPUT, {&company}, put);
            EXPECT_EQ(put.result, S_OK);
            CallByName(service.Get(), "GameFolder", DISPATCH_PROPERTYPUT, {&game}, put);
            EXPECT_EQ(put.result, S_OK);
        }
        return service;
    }

    // "count" and every item's property of a collection, read by name: "name=value" lines.
    static std::vector<std::string> Items(IDispatch* collection, const char* property) {
        std::vector<std::string> items;
        const int count = std::stoi(GetText(collection, "count"));
        for (int32_t index = 1; index <= count; ++index) {
            const Argument position(index);
            DispatchOutcome item;
            CallByName(collection, "Item", DISPATCH_PROPERTYGET, {&position}, item);
            EXPECT_EQ(item.result, S_OK);
            const ComRef<IDispatch> object = item.Object<IDispatch>(kIidDispatch);
            if (object) {
                items.push_back(GetText(object.Get(), "name") + "=" +
                                GetText(object.Get(), property));
            }
        }
        return items;
    }

    static std::vector<std::string> ListByName(IDispatch* service, const char* list,
                                               const char* property) {
        DispatchOutcome got;
        CallByName(service, list, DISPATCH_METHOD, {}, got);
        EXPECT_EQ(got.result, S_OK) << list;
        const ComRef<IDispatch> collection = got.Object<IDispatch>(kIidDispatch);
        return collection ? Items(collection.Get(), property) : std::vector<std::string>{};
    }

    ServiceTestServer server;
    std::optional<ScopedEnvironment> connectTo;
    std::optional<ScopedEnvironment> temporary;
    ScopedEnvironment commonData{kCommonDataVariable, folder / "share"};
};

TEST_F(ComServerFlowTest, HighScoresAreReadReportedAndReloadedThroughCom) {
    const ComRef<IDispatch> service = CreateService("VostrelGamesServices.HighScoreService");
    ASSERT_TRUE(service);
    ComRef<IVGHighScoreService> scores;
    ASSERT_EQ(service->QueryInterface(kIidVGHighScoreService, scores.PutVoid()), S_OK);

    const Bstr key = Bstr::FromNarrow(kKey);
    const Bstr login = Bstr::FromNarrow(kLogin);
    const Bstr password = Bstr::FromNarrow(kPassword);
    ASSERT_EQ(scores->GetHighScores(key.Get(), kGame, 10, login.Get(), password.Get()), S_OK);
    EXPECT_EQ(GetText(service.Get(), "Error"), "0");
    EXPECT_EQ(ListByName(service.Get(), "AlltimeScores", "score"),
              (std::vector<std::string>{"Ada=98000", "Boris=87500", "Chiara=61200"}));
    EXPECT_EQ(ListByName(service.Get(), "MonthlyScores", "Description"),
              (std::vector<std::string>{"Boris=Harbour", "Dana=Mill"}));
    EXPECT_EQ(ListByName(service.Get(), "WeeklyScores", "Mode"),
              (std::vector<std::string>{"Dana=1"}));
    EXPECT_TRUE(ListByName(service.Get(), "DailyScores", "score").empty());

    const Argument certificate(kKey), game(kGame), mode(int32_t{2}), name("Eve");
    const Argument value(int64_t{6000000000}), description("Mill"), user(kLogin), secret(kPassword);
    DispatchOutcome reported;
    CallByName(service.Get(), "ReportHighScore", DISPATCH_METHOD,
               {&certificate, &game, &mode, &name, &value, &description, &user, &secret}, reported);
    EXPECT_EQ(reported.result, S_OK);
    EXPECT_EQ(GetText(service.Get(), "Error"), "0");
    ASSERT_EQ(server.Calls().size(), 2u);
    EXPECT_NE(server.Calls()[1].innerDocument.find("<value>6000000000</value>"), std::string::npos)
        << server.Calls()[1].innerDocument;

    // Another service of the same game reads the lists back from the local copy.
    const ComRef<IDispatch> another = CreateService("VostrelGamesServices.HighScoreService.1");
    ASSERT_TRUE(another);
    DispatchOutcome loaded;
    CallByName(another.Get(), "LoadHighScores", DISPATCH_METHOD, {&certificate, &game}, loaded);
    EXPECT_EQ(loaded.result, S_OK);
    EXPECT_EQ(ListByName(another.Get(), "AlltimeScores", "score"),
              (std::vector<std::string>{"Ada=98000", "Boris=87500", "Chiara=61200"}));
}

TEST_F(ComServerFlowTest, UserContentIsListedDownloadedAndRemovedThroughCom) {
    const ComRef<IDispatch> service = CreateService("VostrelGamesServices.UserContentService");
    ASSERT_TRUE(service);
    ComRef<IVGUserContentService> content;
    ASSERT_EQ(service->QueryInterface(kIidVGUserContentService, content.PutVoid()), S_OK);

    const Bstr key = Bstr::FromNarrow(kKey);
    const Bstr login = Bstr::FromNarrow(kLogin);
    const Bstr password = Bstr::FromNarrow(kPassword);
    ASSERT_EQ(content->GetUserContent(key.Get(), kGame, 10, login.Get(), password.Get()), S_OK);
    EXPECT_EQ(ListByName(service.Get(), "AvailableContent", "Number"),
              (std::vector<std::string>{"Flooded Crypt=1", "Clock Tower=2"}));
    EXPECT_TRUE(ListByName(service.Get(), "DownloadedContent", "Number").empty());

    const Argument certificate(kKey), game(kGame), number(int32_t{1}), user(kLogin),
        secret(kPassword);
    DispatchOutcome downloaded;
    CallByName(service.Get(), "DownloadUserContent", DISPATCH_METHOD,
               {&certificate, &game, &number, &user, &secret}, downloaded);
    EXPECT_EQ(downloaded.result, S_OK);
    EXPECT_EQ(GetText(service.Get(), "ErrorDescription"), "");

    ComRef<IVGUserContent> installed;
    ASSERT_EQ(content->DownloadedContent(installed.Put()), S_OK);
    int32_t count = 0;
    ASSERT_EQ(installed->get_count(&count), S_OK);
    ASSERT_EQ(count, 1);
    ComRef<IVGUserContentItem> item;
    ASSERT_EQ(installed->get_Item(1, item.Put()), S_OK);
    Bstr file;
    ASSERT_EQ(item->get_File(file.Put()), S_OK);
    const std::string path = NarrowFromWide(file.View());
    EXPECT_EQ(ReadWhole(path), ReadWhole(FixtureFile("crypt-level.dat")));
    EXPECT_EQ(path, folder / "share/Vostrel Games/crypt quest/1/data1.dat");

    DispatchOutcome removed;
    CallByName(item.Get(), "Remove", DISPATCH_METHOD, {}, removed);
    EXPECT_EQ(removed.result, S_OK);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(GetText(item.Get(), "isDownloaded"), "False");
    EXPECT_TRUE(ListByName(service.Get(), "DownloadedContent", "Number").empty());
}

} // namespace
