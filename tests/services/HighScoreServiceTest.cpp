#include "platform/com/CodePage.h"
#include "services/LocalFile.h"
#include "services/ServicesModule.h"
#include "services/SoapClient.h"
#include "tests/services/HighScoreFixture.h"
#include "tools/soaptestserver/ServerCipher.h"

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

const Outcome kSuccessfulGet{S_OK, 0, "error number: 0"};

using HighScoreServiceTest = HighScoreFixture;

TEST_F(HighScoreServiceTest, GetsTheFourListsAndKeepsThePayload) {
    ASSERT_EQ(Observe(Get()), kSuccessfulGet);
    EXPECT_EQ(Scores(kAlltimeList), kAlltime);
    EXPECT_EQ(Scores(kMonthlyList), kMonthly);
    EXPECT_EQ(Scores(kWeeklyList), kWeekly);
    EXPECT_TRUE(Scores(kDailyList).empty());
    EXPECT_TRUE(Scores(kReportedList).empty()) << "nothing ever fills the reported list";

    ASSERT_EQ(server.Calls().size(), 1u);
    const RecordedCall call = server.Calls()[0];
    EXPECT_EQ(call.service, "hs");
    EXPECT_EQ(call.operation, "func1");
    EXPECT_EQ(call.host, "cryptquest.vostrelgames.example");
    EXPECT_EQ(call.innerDocument, "<parameters><id>7</id><count>10</count><email>"
                                  "player@orvex.invalid</email><password>secret</password>"
                                  "</parameters>");
    EXPECT_EQ(GameFolder(), "crypt quest") << "the endpoint rewrite lowers the property";
    EXPECT_EQ(ReadFileBytes(ScoresFile()), ServerEncryptToHex(kKey, kScoresDocument))
        << "the payload is kept as it came, still encrypted";
    EXPECT_FALSE(fs::exists(ScoresFile() + ".tmp"));
}

TEST_F(HighScoreServiceTest, ReportsAScoreWithItsSixtyFourBitValue) {
    EXPECT_EQ(Observe(Report("Eve", 6000000000)), (Outcome{S_OK, 0, ""}));
    ASSERT_EQ(server.Calls().size(), 1u);
    EXPECT_EQ(server.Calls()[0].operation, "func2");
    EXPECT_EQ(server.Calls()[0].innerDocument,
              "<parameters><id>7</id><mode>3</mode><name>Eve</name><value>6000000000</value>"
              "<description>Crypt</description><email>player@orvex.invalid</email>"
              "<password>secret</password></parameters>");
    EXPECT_FALSE(fs::exists(ScoresFile())) << "a report keeps no file";
}

TEST_F(HighScoreServiceTest, ChecksItsArgumentsInOrderBeforeSendingAnything) {
    enum class Op { Get, BeginGet, Report, BeginReport, Load };
    const std::string blank;
    const std::string shortKey(15, 'K');
    const std::string longKey(17, 'K');
    // Sixteen characters, seventeen bytes: the key is the narrow text.
    const std::string wideKey = "ORVEX-TEST-KEY-\xC3\xA9";
    const struct {
        const char* what;
        Op op;
        std::string certificate;
        int32_t game;
        int64_t countOrScore;
        std::string name;
        bool company;
        bool gameFolder;
        Outcome outcome;
    } cases[] = {
        {"blank certificate",
         Op::Get,
         blank,
         7,
         1,
         "",
         true,
         true,
         {E_INVALIDARG, 11, "certificate cannot be blank"}},
        {"15 characters",
         Op::Get,
         shortKey,
         7,
         1,
         "",
         true,
         true,
         {E_INVALIDARG, 11, "certificate needs to be sixteen bytes"}},
        {"17 characters",
         Op::Get,
         longKey,
         7,
         1,
         "",
         true,
         true,
         {E_INVALIDARG, 11, "certificate needs to be sixteen bytes"}},
        {"16 characters of 17 bytes",
         Op::Get,
         wideKey,
         7,
         1,
         "",
         true,
         true,
         {E_INVALIDARG, 11, "certificate needs to be sixteen bytes"}},
        {"game 0",
         Op::Get,
         kKey,
         0,
         0,
         "",
         true,
         true,
         {E_INVALIDARG, 12, "game needs to be greater than zero"}},
        {"count 0",
         Op::Get,
         kKey,
         1,
         0,
         "",
         true,
         true,
         {E_INVALIDARG, 12, "count cannot be less than one"}},
        {"certificate before company",
         Op::Get,
         blank,
         7,
         1,
         "",
         false,
         false,
         {E_INVALIDARG, 11, "certificate cannot be blank"}},
        {"no company",
         Op::Get,
         kKey,
         7,
         1,
         "",
         false,
         false,
         {E_FAIL, 13, "company name needs to be set"}},
        {"no game folder",
         Op::Get,
         kKey,
         7,
         1,
         "",
         true,
         false,
         {E_FAIL, 14, "game folder needs to be set"}},
        {"begin: blank certificate",
         Op::BeginGet,
         blank,
         7,
         1,
         "",
         true,
         true,
         {E_INVALIDARG, 11, "certificate cannot be blank"}},
        {"begin: count 0",
         Op::BeginGet,
         kKey,
         7,
         0,
         "",
         true,
         true,
         {E_INVALIDARG, 12, "count cannot be less than one"}},
        {"begin: no game folder",
         Op::BeginGet,
         kKey,
         7,
         1,
         "",
         true,
         false,
         {E_FAIL, 14, "game folder needs to be set"}},
        {"report: game -1",
         Op::Report,
         kKey,
         -1,
         5,
         "Eve",
         true,
         true,
         {E_INVALIDARG, 12, "game needs to be greater than zero"}},
        {"report: score 0",
         Op::Report,
         kKey,
         7,
         0,
         "Eve",
         true,
         true,
         {E_INVALIDARG, 15, "score needs to be greater than zero"}},
        {"report: negative score",
         Op::Report,
         kKey,
         7,
         -6000000000,
         "Eve",
         true,
         true,
         {E_INVALIDARG, 15, "score needs to be greater than zero"}},
        {"report: no game folder before the name",
         Op::Report,
         kKey,
         7,
         5,
         "",
         true,
         false,
         {E_FAIL, 14, "game folder needs to be set"}},
        {"report: blank name",
         Op::Report,
         kKey,
         7,
         5,
         "",
         true,
         true,
         {E_INVALIDARG, 27, "score name cannot be blank"}},
        {"begin report: blank name",
         Op::BeginReport,
         kKey,
         7,
         5,
         "",
         true,
         true,
         {E_INVALIDARG, 27, "score name cannot be blank"}},
        {"begin report: 15 characters",
         Op::BeginReport,
         shortKey,
         7,
         5,
         "Eve",
         true,
         true,
         {E_INVALIDARG, 11, "certificate needs to be sixteen bytes"}},
        {"load: blank certificate",
         Op::Load,
         blank,
         7,
         0,
         "",
         true,
         true,
         {E_INVALIDARG, 11, "certificate cannot be blank"}},
        {"load: game 0",
         Op::Load,
         kKey,
         0,
         0,
         "",
         true,
         true,
         {E_INVALIDARG, 12, "game needs to be greater than zero"}},
        {"load: no company",
         Op::Load,
         kKey,
         7,
         0,
         "",
         false,
         true,
         {E_FAIL, 13, "company name needs to be set"}},
        {"load: no game folder",
         Op::Load,
         kKey,
         7,
         0,
         "",
         true,
         false,
         {E_FAIL, 14, "game folder needs to be set"}},
        {"load: the length is not checked",
         Op::Load,
         shortKey,
         7,
         0,
         "",
         true,
         true,
         {S_OK, 0, ""}},
    };
    for (const auto& c : cases) {
        ComRef<VGHighScoreService> checked(VGHighScoreService::Create());
        if (c.company) {
            checked->put_CompanyName(Bstr::FromNarrow("Vostrel Games").Get());
        }
        if (c.gameFolder) {
            checked->put_GameFolder(Bstr::FromNarrow("Crypt Quest").Get());
        }
        const Bstr certificate = Bstr::FromNarrow(c.certificate);
        const Bstr name = Bstr::FromNarrow(c.name);
        const Bstr login = Bstr::FromNarrow(kLogin);
        const auto count = static_cast<int32_t>(c.countOrScore);
        HRESULT result = E_UNEXPECTED;
        switch (c.op) {
        case Op::Get:
            result =
                checked->GetHighScores(certificate.Get(), c.game, count, login.Get(), login.Get());
            break;
        case Op::BeginGet:
            result = checked->BeginGetHighScores(certificate.Get(), c.game, count, login.Get(),
                                                 login.Get(), window, kDone);
            break;
        case Op::Report:
            result = checked->ReportHighScore(certificate.Get(), c.game, 1, name.Get(),
                                              c.countOrScore, name.Get(), login.Get(), login.Get());
            break;
        case Op::BeginReport:
            result = checked->BeginReportHighScore(certificate.Get(), c.game, 1, name.Get(),
                                                   c.countOrScore, name.Get(), login.Get(),
                                                   login.Get(), window, kDone);
            break;
        case Op::Load:
            result = checked->LoadHighScores(certificate.Get(), c.game);
            break;
        }
        EXPECT_EQ(Observe(checked.Get(), result), c.outcome) << c.what;
    }
    EXPECT_TRUE(server.Calls().empty()) << "no refused operation sends a request";
    EXPECT_FALSE(PostedCompletion()) << "no refused Begin completes";
}

TEST_F(HighScoreServiceTest, EachWayTheServerFailsGivesItsError) {
    using Kind = ServerFault::Kind;
    const struct {
        const char* what;
        ServerFault fault;
        std::function<HRESULT(HighScoreServiceTest&)> call;
        Outcome outcome;
    } cases[] = {
        {"HTTP error", {Kind::HttpError, 503}, nullptr, {E_FAIL, 6, "Server error."}},
        {"SOAP fault",
         {Kind::SoapFault},
         nullptr,
         {E_FAIL, 7, "The server returned a SOAP fault."}},
        {"500 without a fault",
         {Kind::BadFault},
         nullptr,
         {E_FAIL, 8, "Failed to parse a SOAP fault."}},
        {"answer cut short",
         {Kind::Truncated},
         nullptr,
         {E_FAIL, 9, "Failed while reading the response."}},
        {"answer too large",
         {Kind::Oversize, 0, 100000},
         nullptr,
         {E_FAIL, 9, "Failed while reading the response."}},
        {"malformed envelope",
         {Kind::MalformedEnvelope},
         nullptr,
         {E_FAIL, 10, "Failed while parsing the response."}},
        {"another namespace",
         {Kind::WrongNamespace},
         nullptr,
         {E_FAIL, 10, "Failed while parsing the response."}},
        {"no answer in time", {Kind::Hang}, nullptr, {E_FAIL, 5, "Failed to send the message."}},
        {"empty result", {Kind::EmptyResult}, nullptr, {E_FAIL, 16, "no response"}},
        {"nil result", {Kind::NilResult}, nullptr, {E_FAIL, 16, "no response"}},
        {"no result", {Kind::MissingResult}, nullptr, {E_FAIL, 16, "no response"}},
        {"a status of the server",
         {Kind::Status, 0, 0, 17},
         nullptr,
         {E_FAIL, 17, "error number: 17"}},
        {"payload of another key", {Kind::WrongKey}, nullptr, {E_FAIL, 0, "error number: 0"}},
        {"payload in lower-case hex",
         {Kind::LowerCaseHex},
         nullptr,
         {E_FAIL, 0, "error number: 0"}},
        {"unknown game",
         {},
         [](HighScoreServiceTest& t) { return t.Get(kKey, 8); },
         {E_FAIL, 50, "error number: 50"}},
        {"wrong password",
         {},
         [](HighScoreServiceTest& t) { return t.Get(kKey, kGame, 10, "wrong"); },
         {E_FAIL, 51, "error number: 51"}},
        {"certificate of another game",
         {},
         [](HighScoreServiceTest& t) { return t.Get("ANOTHER-GAME-KEY"); },
         {E_FAIL, 52, "error number: 52"}},
        {"report: SOAP fault",
         {Kind::SoapFault},
         [](HighScoreServiceTest& t) { return t.Report(); },
         {E_FAIL, 7, "The server returned a SOAP fault."}},
        {"report: empty result",
         {Kind::EmptyResult},
         [](HighScoreServiceTest& t) { return t.Report(); },
         {E_FAIL, 16, "no response"}},
        {"report: a status of the server",
         {Kind::Status, 0, 0, 51},
         [](HighScoreServiceTest& t) { return t.Report(); },
         {S_OK, 51, "error number: 51"}},
        {"report: no answer document",
         {Kind::NotADocument},
         [](HighScoreServiceTest& t) { return t.Report(); },
         {S_OK, 16, "no response"}},
        {"report: a negative status",
         {Kind::Status, 0, 0, -4},
         [](HighScoreServiceTest& t) { return t.Report(); },
         {S_OK, 0, ""}},
    };
    for (const auto& c : cases) {
        // Only a hang waits for the short time-out: answered calls get the whole default time,
        // which a busy machine may need.
        HttpLimits limits = ShortLimits();
        if (c.fault.kind != Kind::Hang) {
            limits.totalTimeout = HttpLimits{}.totalTimeout;
        }
        service->SetTransportLimits(limits);
        ASSERT_EQ(Observe(Get()), kSuccessfulGet) << c.what;
        server.SetFault(c.fault);
        const HRESULT result = c.call ? c.call(*this) : Get();
        server.SetFault({});
        EXPECT_EQ(Observe(result), c.outcome) << c.what;
        if (c.call == nullptr) {
            EXPECT_TRUE(Scores(kAlltimeList).empty()) << c.what << ": a failed get empties";
        }
    }
}

TEST_F(HighScoreServiceTest, NoServerIsAConnectionError) {
    ServiceTestServer gone;
    ASSERT_TRUE(gone.Start());
    const std::string address = gone.Address();
    gone.Stop();
    service.Reset();
    const ScopedEnvironment nowhere(SoapClient::kConnectToVariable, address);
    service = NewService();
    EXPECT_EQ(Observe(Get()), (Outcome{E_FAIL, 4, "Failed to connect to the server."}));
    service.Reset(); // before the environment goes back
}

TEST_F(HighScoreServiceTest, AnAnswerOfAnotherGameAppliesNothing) {
    server.AddGame({8, kKey, kLogin, kPassword, kScoresDocument, ""}); // its document says 7
    EXPECT_EQ(Observe(Get(kKey, 8)), (Outcome{E_FAIL, 0, "error number: 0"}));
    EXPECT_TRUE(Scores(kAlltimeList).empty());
    EXPECT_FALSE(fs::exists(ScoresFile()));
}

TEST_F(HighScoreServiceTest, LoadsTheListsKeptByTheLastDownload) {
    ASSERT_EQ(Get(), S_OK);
    // Another service, whose game folder has never been lowered by an exchange, finds the file.
    service = NewService();
    EXPECT_EQ(GameFolder(), "Crypt Quest");
    EXPECT_EQ(Observe(Load()), (Outcome{S_OK, 0, ""}));
    EXPECT_EQ(Scores(kAlltimeList), kAlltime);
    EXPECT_EQ(Scores(kWeeklyList), kWeekly);

    const struct {
        const char* what;
        std::string certificate;
        int32_t game;
    } empties[] = {
        {"certificate of the wrong length", "SHORT", kGame},
        {"another certificate", "ANOTHER-GAME-KEY", kGame},
        {"another game", kKey, 8},
    };
    for (const auto& e : empties) {
        EXPECT_EQ(Observe(Load(e.certificate, e.game)), (Outcome{S_OK, 0, ""})) << e.what;
        EXPECT_TRUE(Scores(kAlltimeList).empty()) << e.what;
    }
}

TEST_F(HighScoreServiceTest, LoadingWithoutADownloadFindsEmptyLists) {
    EXPECT_EQ(Observe(Load()), (Outcome{S_OK, 0, ""}));
    EXPECT_TRUE(Scores(kAlltimeList).empty());
    EXPECT_TRUE(fs::is_regular_file(ScoresFile())) << "the empty file is left behind";

    folder.Write("share/Vostrel Games/crypt quest/scores.xml",
                 std::string(LocalFile::kMaxSize + 1, 'A'));
    EXPECT_EQ(Observe(Load()), (Outcome{S_OK, 0, ""})) << "a huge file reads as no data";
    EXPECT_TRUE(Scores(kAlltimeList).empty());
}

TEST_F(HighScoreServiceTest, EachDownloadReplacesTheWholeFile) {
    ASSERT_EQ(Get(), S_OK);
    const std::string shorter = "<scores><id>7</id><daily><score><name>Zed</name></score>"
                                "</daily></scores>";
    server.AddGame({kGame, kKey, kLogin, kPassword, shorter, ""});
    ASSERT_EQ(Get(), S_OK);
    EXPECT_EQ(ReadFileBytes(ScoresFile()), ServerEncryptToHex(kKey, shorter));
    ASSERT_EQ(Load(), S_OK);
    EXPECT_TRUE(Scores(kAlltimeList).empty());
    EXPECT_EQ(Scores(kDailyList), (std::vector<ScoreItem>{{"Zed", 0, 0, ""}}));
}

TEST_F(HighScoreServiceTest, AFileThatCannotBeWrittenDoesNotFailTheDownload) {
    folder.Write("share/Vostrel Games", "a file where the company folder should be");
    EXPECT_EQ(Observe(Get()), kSuccessfulGet);
    EXPECT_EQ(Scores(kAlltimeList), kAlltime);
}

TEST_F(HighScoreServiceTest, CollectionsAreCopiesOfTheListsWhenAskedFor) {
    ASSERT_EQ(Get(), S_OK);
    ComRef<IVGHighScores> before;
    ASSERT_EQ(service->AlltimeScores(before.Put()), S_OK);
    server.SetFault({ServerFault::Kind::SoapFault});
    ASSERT_EQ(Get(), E_FAIL);
    int32_t count = 0;
    EXPECT_EQ(before->get_count(&count), S_OK);
    EXPECT_EQ(count, 2) << "a later download does not change a collection handed out";
    ComRef<IVGHighScores> after;
    ASSERT_EQ(service->AlltimeScores(after.Put()), S_OK);
    EXPECT_EQ(after->get_count(&count), S_OK);
    EXPECT_EQ(count, 0);
}

TEST_F(HighScoreServiceTest, PropertiesAnswerWithNewCopies) {
    BSTR garbage = reinterpret_cast<BSTR>(uintptr_t{1}); // never read nor freed
    const struct {
        const char* what;
        HRESULT (IVGHighScoreService::*get)(BSTR*);
        const char* value;
    } strings[] = {
        {"company", &IVGHighScoreService::get_CompanyName, "Vostrel Games"},
        {"game folder", &IVGHighScoreService::get_GameFolder, "Crypt Quest"},
        {"description", &IVGHighScoreService::get_ErrorDescription, ""},
        {"version", &IVGHighScoreService::get_Version, "1.0.0.0"},
    };
    for (const auto& s : strings) {
        BSTR text = garbage;
        EXPECT_EQ((service.Get()->*s.get)(&text), S_OK) << s.what;
        EXPECT_EQ(NarrowFromWide(BstrView(text)), s.value) << s.what;
        FreeBstr(text);
        EXPECT_EQ((service.Get()->*s.get)(nullptr), E_FAIL) << s.what;
    }
    EXPECT_EQ(service->get_Error(nullptr), E_FAIL);
    BSTR parameters = garbage;
    EXPECT_EQ(service->get_Parameters(&parameters), E_NOTIMPL);
    EXPECT_EQ(parameters, nullptr);
    for (HRESULT (IVGHighScoreService::*collection)(IVGHighScores**) :
         {&IVGHighScoreService::AlltimeScores, &IVGHighScoreService::ReportedScores}) {
        EXPECT_EQ((service.Get()->*collection)(nullptr), E_FAIL);
    }

    ASSERT_EQ(service->put_GameFolder(nullptr), S_OK) << "a null string is the empty one";
    EXPECT_EQ(GameFolder(), "");
}

TEST_F(HighScoreServiceTest, OffersItsInterfacesAndErrorSupport) {
    ComRef<ISupportErrorInfo> support;
    ASSERT_EQ(service->QueryInterface(kIidSupportErrorInfo, support.PutVoid()), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(kIidVGHighScoreService), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(kIidVGHighScores), S_FALSE);
    ComRef<IUnknown> unknown;
    ASSERT_EQ(support->QueryInterface(kIidUnknown, unknown.PutVoid()), S_OK);
    EXPECT_EQ(unknown.Get(),
              static_cast<IUnknown*>(static_cast<IVGHighScoreService*>(service.Get())));
    ComRef<IUnknown> none;
    EXPECT_EQ(service->QueryInterface(kIidEnumVariant, none.PutVoid()), E_NOINTERFACE);
}

TEST_F(HighScoreServiceTest, HostsCallEveryOperationByName) {
    const char16_t* name = u"GetHighScores";
    DISPID id = 0;
    ASSERT_EQ(service->GetIDsOfNames(kGuidNull, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 1);
    // Arguments come last first.
    VARIANT arguments[5];
    SetVariantBstr(&arguments[4], AllocBstrFromNarrow(kKey));
    SetVariantInt32(&arguments[3], kGame);
    SetVariantInt32(&arguments[2], 10);
    SetVariantBstr(&arguments[1], AllocBstrFromNarrow(kLogin));
    SetVariantBstr(&arguments[0], AllocBstrFromNarrow(kPassword));
    DispatchParams params{arguments, nullptr, 5, 0};
    EXPECT_EQ(
        service->Invoke(id, kGuidNull, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
        S_OK);
    for (VARIANT& argument : arguments) {
        ClearVariant(&argument);
    }

    VARIANT result;
    ASSERT_EQ(service->Invoke(5, kGuidNull, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr,
                              &result, nullptr, nullptr),
              S_OK);
    ASSERT_EQ(result.type, VT_DISPATCH);
    VARIANT count;
    ASSERT_EQ(result.dispatch->Invoke(1, kGuidNull, 0, DISPATCH_PROPERTYGET, nullptr, &count,
                                      nullptr, nullptr),
              S_OK);
    EXPECT_EQ(count.i4, 2);
    ClearVariant(&result);

    VARIANT folderName;
    SetVariantBstr(&folderName, AllocBstrFromNarrow("Other Game"));
    DISPID put = DISPID_PROPERTYPUT;
    DispatchParams putParams{&folderName, &put, 1, 1};
    EXPECT_EQ(service->Invoke(11, kGuidNull, 0, DISPATCH_PROPERTYPUT, &putParams, nullptr, nullptr,
                              nullptr),
              S_OK);
    ClearVariant(&folderName);
    EXPECT_EQ(GameFolder(), "Other Game");

    const struct {
        const char16_t* name;
        DISPID id;
    } members[] = {{u"BeginGetHighScores", 2},   {u"ReportHighScore", 3},
                   {u"BeginReportHighScore", 4}, {u"ReportedScores", 9},
                   {u"CompanyName", 10},         {u"Error", 12},
                   {u"ErrorDescription", 13},    {u"Version", 14},
                   {u"LoadHighScores", 15},      {u"StopGetHighScores", 16},
                   {u"StopReportHighScore", 17}, {u"Parameters", 18}};
    for (const auto& m : members) {
        EXPECT_EQ(service->GetIDsOfNames(kGuidNull, &m.name, 1, 0, &id), S_OK);
        EXPECT_EQ(id, m.id);
    }
    DispatchException exception;
    EXPECT_EQ(service->Invoke(18, kGuidNull, 0, DISPATCH_PROPERTYGET, nullptr, &result, &exception,
                              nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.code, E_NOTIMPL);
}

TEST_F(HighScoreServiceTest, TheModuleStaysInUseWhileAServiceLives) {
    EXPECT_TRUE(ServicesModule().InUse());
    service.Reset();
    EXPECT_FALSE(ServicesModule().InUse());
}

} // namespace
