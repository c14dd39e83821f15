#include "tests/services/HighScoreFixture.h"

#include "platform/com/CodePage.h"
#include "services/LocalFile.h"
#include "services/SoapClient.h"

#include <thread>

const std::string kScoresDocument =
    "<scores><id>7</id>"
    "<alltime><score><name>Ada</name><description>Lighthouse</description><value>6000000000"
    "</value><mode>1</mode></score><score><name>Boris</name><description>Harbour</description>"
    "<value>87500</value><mode>2</mode></score></alltime>"
    "<monthly><score><name>Boris</name><description>Harbour</description><value>87500</value>"
    "<mode>2</mode></score></monthly>"
    "<weekly><score><name>Dana</name><description>Mill</description><value>40100</value><mode>1"
    "</mode></score></weekly>"
    "<daily></daily>"
    "<reported><score><name>Nobody</name><value>1</value></score></reported></scores>";
const std::vector<ScoreItem> kAlltime = {{"Ada", 6000000000, 1, "Lighthouse"},
                                         {"Boris", 87500, 2, "Harbour"}};
const std::vector<ScoreItem> kMonthly = {{"Boris", 87500, 2, "Harbour"}};
const std::vector<ScoreItem> kWeekly = {{"Dana", 40100, 1, "Mill"}};

namespace {

Bstr Wide(const std::string& text) {
    return Bstr::FromNarrow(text);
}

void SetProperties(IVGHighScoreService* on) {
    ASSERT_EQ(on->put_CompanyName(Wide("Vostrel Games").Get()), S_OK);
    ASSERT_EQ(on->put_GameFolder(Wide("Crypt Quest").Get()), S_OK);
}

} // namespace

void HighScoreFixture::SetUp() {
    server.AddGame({kGame, kKey, kLogin, kPassword, kScoresDocument, ""});
    ASSERT_TRUE(server.Start());
    connectTo.emplace(SoapClient::kConnectToVariable, server.Address());
    commonData.emplace(kCommonDataVariable, folder / "share");
    window = CreateMessageWindow();
    ASSERT_NE(window, 0u);
    service = NewService();
    ASSERT_TRUE(service);
}

void HighScoreFixture::TearDown() {
    service.Reset();
    DestroyMessageWindow(window);
    server.Stop();
    const std::vector<std::string> problems = server.Problems();
    EXPECT_TRUE(problems.empty()) << problems.front();
}

ComRef<VGHighScoreService> HighScoreFixture::NewService() const {
    ComRef<VGHighScoreService> made(VGHighScoreService::Create());
    if (made) {
        SetProperties(made.Get());
    }
    return made;
}

Outcome HighScoreFixture::Observe(IVGHighScoreService* on, HRESULT result) {
    Outcome outcome;
    outcome.result = result;
    EXPECT_EQ(on->get_Error(&outcome.error), S_OK);
    BSTR description = nullptr;
    EXPECT_EQ(on->get_ErrorDescription(&description), S_OK);
    outcome.description = NarrowFromWide(BstrView(description));
    FreeBstr(description);
    return outcome;
}

HRESULT HighScoreFixture::Get(const std::string& certificate, int32_t game, int32_t count,
                              const std::string& password) {
    return service->GetHighScores(Wide(certificate).Get(), game, count, Wide(kLogin).Get(),
                                  Wide(password).Get());
}

HRESULT HighScoreFixture::Report(const std::string& name, int64_t score,
                                 const std::string& certificate, int32_t game) {
    return service->ReportHighScore(Wide(certificate).Get(), game, 3, Wide(name).Get(), score,
                                    Wide("Crypt").Get(), Wide(kLogin).Get(), Wide(kPassword).Get());
}

HRESULT HighScoreFixture::Load(const std::string& certificate, int32_t game) {
    return service->LoadHighScores(Wide(certificate).Get(), game);
}

HRESULT HighScoreFixture::BeginGet(int32_t count, const std::string& certificate) {
    return service->BeginGetHighScores(Wide(certificate).Get(), kGame, count, Wide(kLogin).Get(),
                                       Wide(kPassword).Get(), window, kDone);
}

HRESULT HighScoreFixture::BeginReport(const std::string& name, int64_t score) {
    return service->BeginReportHighScore(Wide(kKey).Get(), kGame, 3, Wide(name).Get(), score,
                                         Wide("Crypt").Get(), Wide(kLogin).Get(),
                                         Wide(kPassword).Get(), window, kDone);
}

std::vector<ScoreItem> HighScoreFixture::Scores(IVGHighScoreService* on, ScoreListIndex list) {
    ComRef<IVGHighScores> collection;
    HRESULT got = E_UNEXPECTED;
    switch (list) {
    case kAlltimeList:
        got = on->AlltimeScores(collection.Put());
        break;
    case kMonthlyList:
        got = on->MonthlyScores(collection.Put());
        break;
    case kWeeklyList:
        got = on->WeeklyScores(collection.Put());
        break;
    case kDailyList:
        got = on->DailyScores(collection.Put());
        break;
    default:
        got = on->ReportedScores(collection.Put());
        break;
    }
    EXPECT_EQ(got, S_OK);
    int32_t count = 0;
    EXPECT_EQ(collection->get_count(&count), S_OK);
    std::vector<ScoreItem> items;
    for (int32_t index = 1; index <= count; ++index) {
        ComRef<IVGHighScoreItem> item;
        EXPECT_EQ(collection->get_Item(index, item.Put()), S_OK);
        ScoreItem read;
        Bstr text;
        EXPECT_EQ(item->get_name(text.Put()), S_OK);
        read.name = NarrowFromWide(text.View());
        EXPECT_EQ(item->get_Description(text.Put()), S_OK);
        read.description = NarrowFromWide(text.View());
        EXPECT_EQ(item->get_score(&read.value), S_OK);
        EXPECT_EQ(item->get_Mode(&read.mode), S_OK);
        items.push_back(read);
    }
    return items;
}

std::string HighScoreFixture::GameFolder() const {
    Bstr text;
    EXPECT_EQ(service->get_GameFolder(text.Put()), S_OK);
    return NarrowFromWide(text.View());
}

std::optional<WindowMessage> HighScoreFixture::NextCompletion() const {
    WindowMessage message;
    if (!WaitWindowMessage(window, 10000, &message)) {
        return std::nullopt;
    }
    return message;
}

std::optional<WindowMessage> HighScoreFixture::PostedCompletion() const {
    WindowMessage message;
    if (!PeekWindowMessage(window, &message)) {
        return std::nullopt;
    }
    return message;
}

bool HighScoreFixture::WaitForCalls(std::size_t count) const {
    for (int wait = 0; wait < 60000; ++wait) {
        if (server.Calls().size() >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::string HighScoreFixture::ScoresFile() const {
    return folder / "share/Vostrel Games/crypt quest/scores.xml";
}

HttpLimits HighScoreFixture::ShortLimits() {
    HttpLimits limits;
    limits.connectTimeout = std::chrono::milliseconds(2000);
    limits.totalTimeout = std::chrono::milliseconds(300);
    limits.maxAnswerSize = 64 * 1024;
    return limits;
}
