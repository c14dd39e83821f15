#include "platform/com/CodePage.h"
#include "services/ErrorConstants.h"
#include "services/RequestCodec.h"
#include "services/ServiceClients.h"
#include "services/SoapEnvelope.h"
#include "tools/soaptestserver/ServerCipher.h"
#include "tools/soaptestserver/ServiceTestServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace {

const std::string kKey = "ORVEX-TEST-KEY-7";
const std::string kScores = "<scores><id>7</id><alltime><score><name>Ada</name><description>"
                            "Lighthouse</description><value>98000</value><mode>1</mode></score>"
                            "</alltime></scores>";
const std::string kContent =
    "<items><id>7</id><item><number>1</number><name>Crypt</name><file>{server}/files/c.dat</file>"
    "<fileextension>dat</fileextension><filesize>4</filesize></item><item><number>2</number>"
    "<name>Tower</name><file>{server}/files/t.dat</file></item></items>";

struct CallResult {
    HRESULT result = E_UNEXPECTED;
    int32_t error = -1;
    bool present = false; // a result string came back (not null)
    std::string text;
};

enum class Service { Scores, Content };

// Both clients, pointed at a local server that knows game 7.
class SoapClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.AddGame({7, kKey, "player@orvex.invalid", "secret", kScores, kContent});
        ASSERT_TRUE(server.Start());
        scores.SetConnectTo(server.Address());
        content.SetConnectTo(server.Address());
    }

    void TearDown() override {
        server.Stop();
        EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
    }

    CallResult Call(Service service, int operation, const std::u16string* xml) {
        Bstr argument;
        if (xml != nullptr) {
            argument = Bstr(*xml);
        }
        Bstr answer;
        CallResult call;
        if (service == Service::Scores) {
            call.result = operation == 1 ? scores.func1(argument.Get(), answer.Put())
                                         : scores.func2(argument.Get(), answer.Put());
            call.error = scores.ClientError();
        } else {
            call.result = operation == 1 ? content.func1(argument.Get(), answer.Put())
                                         : content.func2(argument.Get(), answer.Put());
            call.error = content.ClientError();
        }
        call.present = answer.Get() != nullptr;
        call.text = NarrowFromWide(answer.View());
        return call;
    }

    CallResult Call(Service service, int operation, const std::string& xml) {
        const std::u16string wide = WideFromNarrow(xml);
        return Call(service, operation, &wide);
    }

    CallResult GetScores() {
        return Call(Service::Scores, 1,
                    codec.BuildGetListRequest(kKey, 7, 10, "player@orvex.invalid", "secret"));
    }

    // The data of an answer document, decrypted by the server's own cipher.
    static std::string AnswerData(const std::string& answer) {
        const std::size_t start = answer.find("<data>");
        const std::size_t end = answer.find("</data>");
        if (start == std::string::npos || end == std::string::npos) {
            return {};
        }
        return ServerDecryptHex(kKey, answer.substr(start + 6, end - start - 6)).value_or("?");
    }

    ServiceTestServer server;
    ScoreServiceClient scores;
    ContentServiceClient content;
    RequestCodec codec;
};

TEST_F(SoapClientTest, SendsTheEnvelopeAndHeadersTheServiceExpects) {
    const CallResult call = GetScores();
    ASSERT_EQ(call.result, S_OK);
    EXPECT_EQ(call.error, 0);
    ASSERT_EQ(server.Calls().size(), 1u);
    const RecordedCall recorded = server.Calls()[0];
    EXPECT_EQ(recorded.service, "hs");
    EXPECT_EQ(recorded.operation, "func1");
    EXPECT_EQ(recorded.path, "/hs/hssv1.asmx");
    EXPECT_EQ(recorded.host, "www.vostrelgames.example");
    EXPECT_EQ(recorded.innerDocument,
              "<parameters><id>7</id><count>10</count><email>player@orvex.invalid</email>"
              "<password>secret</password></parameters>");
    EXPECT_TRUE(recorded.body.starts_with(
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\"><soap:Body>"
        "<func1 xmlns=\"http://vostrelgames.example/hs/\"><xml>&lt;parameters&gt;&lt;id&gt;7&lt;/"
        "id&gt;&lt;data&gt;"))
        << recorded.body;
    EXPECT_EQ(call.text.substr(0, 40), "<answer><id>7</id><status>0</status><dat");
    EXPECT_EQ(AnswerData(call.text), kScores);
}

TEST_F(SoapClientTest, EveryOperationReachesItsServiceAndAnswers) {
    const struct {
        Service service;
        int operation;
        std::string request;
        const char* expectedService;
        std::string inner;
        std::string answerData;
    } cases[] = {
        {Service::Scores, 1,
         codec.BuildGetListRequest(kKey, 7, 3, "player@orvex.invalid", "secret"), "hs",
         "<parameters><id>7</id><count>3</count><email>player@orvex.invalid</email>"
         "<password>secret</password></parameters>",
         kScores},
        {Service::Scores, 2,
         codec.BuildReportRequest(kKey, 7, 1, "Eve", 6000000000, "Crypt", "player@orvex.invalid",
                                  "secret"),
         "hs",
         "<parameters><id>7</id><mode>1</mode><name>Eve</name><value>6000000000</value>"
         "<description>Crypt</description><email>player@orvex.invalid</email>"
         "<password>secret</password></parameters>",
         ""},
        {Service::Content, 1,
         codec.BuildGetListRequest(kKey, 7, 50, "player@orvex.invalid", "secret"), "uc",
         "<parameters><id>7</id><count>50</count><email>player@orvex.invalid</email>"
         "<password>secret</password></parameters>",
         "<items><id>7</id><item><number>1</number><name>Crypt</name><file>" + server.BaseUrl() +
             "/files/c.dat</file><fileextension>dat</fileextension><filesize>4</filesize></item>"
             "<item><number>2</number><name>Tower</name><file>" +
             server.BaseUrl() + "/files/t.dat</file></item></items>"},
        {Service::Content, 2,
         codec.BuildDownloadRequest(kKey, 7, 2, "player@orvex.invalid", "secret"), "uc",
         "<parameters><id>7</id><number>2</number><email>player@orvex.invalid</email>"
         "<password>secret</password></parameters>",
         "<items><id>7</id><item><number>2</number><name>Tower</name><file>" + server.BaseUrl() +
             "/files/t.dat</file></item></items>"},
    };
    std::size_t count = 0;
    for (const auto& c : cases) {
        const CallResult call = Call(c.service, c.operation, c.request);
        ASSERT_EQ(call.result, S_OK) << c.expectedService << c.operation;
        const RecordedCall recorded = server.Calls().at(count++);
        EXPECT_EQ(recorded.service, c.expectedService);
        EXPECT_EQ(recorded.operation, "func" + std::to_string(c.operation));
        EXPECT_EQ(recorded.innerDocument, c.inner);
        EXPECT_NE(call.text.find("<status>0</status>"), std::string::npos) << call.text;
        EXPECT_EQ(AnswerData(call.text), c.answerData);
    }
}

TEST_F(SoapClientTest, TheServerAnswersItsOwnStatusesInsideASuccessfulCall) {
    const struct {
        std::string request;
        const char* status;
    } cases[] = {
        {codec.BuildGetListRequest(kKey, 8, 1, "player@orvex.invalid", "secret"),
         "<status>50</status>"}, // unknown game
        {codec.BuildGetListRequest(kKey, 7, 1, "player@orvex.invalid", "wrong"),
         "<status>51</status>"},
        {codec.BuildGetListRequest("ANOTHER-KEY-1234", 7, 1, "player@orvex.invalid", "secret"),
         "<status>52</status>"},
        {codec.BuildGetListRequest("SHORT-KEY", 7, 1, "player@orvex.invalid", "secret"),
         "<status>52</status>"}, // an empty payload
    };
    for (const auto& c : cases) {
        const CallResult call = Call(Service::Content, 1, c.request);
        ASSERT_EQ(call.result, S_OK);
        EXPECT_NE(call.text.find(c.status), std::string::npos) << call.text;
    }
    server.SetFault({ServerFault::Kind::Status, 0, 0, 17});
    const CallResult scripted = GetScores();
    ASSERT_EQ(scripted.result, S_OK);
    EXPECT_EQ(scripted.text, "<answer><id>7</id><status>17</status></answer>");
}

TEST_F(SoapClientTest, ALoginWithMarkupCharactersTravelsUnescapedInTheInnerDocument) {
    const CallResult call =
        Call(Service::Content, 1, codec.BuildGetListRequest(kKey, 7, 1, "a<b&c>", "p&<"));
    ASSERT_EQ(call.result, S_OK);
    EXPECT_EQ(server.Calls()[0].innerDocument,
              "<parameters><id>7</id><count>1</count><email>a<b&c></email>"
              "<password>p&<</password></parameters>");
}

TEST_F(SoapClientTest, TheRewrittenHostReachesTheServer) {
    std::string gameFolder = "My Great Game";
    scores.SetUrl(RewriteEndpointHost(gameFolder, scores.Url()));
    EXPECT_EQ(gameFolder, "my great game") << "the folder reads back in lower case";
    EXPECT_EQ(scores.Url(), "http://mygreatgame.vostrelgames.example/hs/hssv1.asmx");
    ASSERT_EQ(GetScores().result, S_OK);
    EXPECT_EQ(server.Calls()[0].host, "mygreatgame.vostrelgames.example");
}

TEST_F(SoapClientTest, LongEndpointsAreNeverCut) {
    std::string gameFolder(300, 'g');
    const std::string longPath = "/" + std::string(1000, 'p');
    scores.SetUrl(RewriteEndpointHost(gameFolder, "http://www.vostrelgames.example" + longPath +
                                                      "/hs/hssv1.asmx"));
    ASSERT_EQ(GetScores().result, S_OK);
    const RecordedCall recorded = server.Calls()[0];
    EXPECT_EQ(recorded.host, std::string(300, 'g') + ".vostrelgames.example");
    EXPECT_EQ(recorded.path, longPath + "/hs/hssv1.asmx");
}

TEST_F(SoapClientTest, AnAbsurdlyLongEndpointFailsAsAConnectionError) {
    scores.SetUrl("http://www.vostrelgames.example/" + std::string(70000, 'x'));
    const CallResult call = GetScores();
    EXPECT_EQ(call.result, E_FAIL);
    EXPECT_EQ(call.error, Err_SOAPCLIENT_CONNECT_ERROR);
    EXPECT_TRUE(server.Calls().empty());
}

TEST_F(SoapClientTest, EachServerFailureGivesItsErrorNumber) {
    using Kind = ServerFault::Kind;
    const struct {
        const char* what;
        ServerFault fault;
        int32_t error;
    } cases[] = {
        {"not found", {Kind::HttpError, 404}, Err_SOAPCLIENT_SERVER_ERROR},
        {"unavailable", {Kind::HttpError, 503}, Err_SOAPCLIENT_SERVER_ERROR},
        {"soap fault", {Kind::SoapFault}, Err_SOAPCLIENT_SOAPFAULT},
        {"500 without a fault", {Kind::BadFault}, Err_SOAPCLIENT_PARSEFAULT_ERROR},
        {"answer cut short", {Kind::Truncated}, Err_SOAPCLIENT_READ_ERROR},
        {"answer too large", {Kind::Oversize, 503, 100000}, Err_SOAPCLIENT_READ_ERROR},
        {"malformed envelope", {Kind::MalformedEnvelope}, Err_SOAPCLIENT_PARSE_ERROR},
        {"answer in another namespace", {Kind::WrongNamespace}, Err_SOAPCLIENT_PARSE_ERROR},
        {"no answer in time", {Kind::Hang}, Err_SOAPCLIENT_SEND_ERROR},
    };
    for (const auto& c : cases) {
        HttpLimits limits;
        limits.maxAnswerSize = 64 * 1024;
        if (c.fault.kind == Kind::Hang) {
            limits.totalTimeout = std::chrono::milliseconds(300);
        }
        scores.SetLimits(limits);
        server.SetFault(c.fault);
        const CallResult call = GetScores();
        EXPECT_EQ(call.result, E_FAIL) << c.what;
        EXPECT_EQ(call.error, c.error) << c.what;
        EXPECT_FALSE(call.present) << c.what;
    }
    server.SetFault({});
    const CallResult recovered = GetScores();
    EXPECT_EQ(recovered.result, S_OK);
    EXPECT_EQ(recovered.error, 0) << "a successful call clears the error number";
}

TEST_F(SoapClientTest, AnEmptyResultIsAnEmptyStringAndAMissingOneNone) {
    using Kind = ServerFault::Kind;
    server.SetFault({Kind::EmptyResult});
    CallResult call = GetScores();
    EXPECT_EQ(call.result, S_OK);
    EXPECT_EQ(call.text, "");
    for (const Kind kind : {Kind::NilResult, Kind::MissingResult}) {
        server.SetFault({kind});
        call = GetScores();
        EXPECT_EQ(call.result, S_OK);
        EXPECT_FALSE(call.present);
    }
}

TEST_F(SoapClientTest, PayloadFaultsOfTheServerReachTheCaller) {
    server.SetFault({ServerFault::Kind::LowerCaseHex});
    const CallResult lower = GetScores();
    ASSERT_EQ(lower.result, S_OK);
    const std::size_t start = lower.text.find("<data>") + 6;
    const std::string hex = lower.text.substr(start, lower.text.find("</data>") - start);
    std::string plain;
    ASSERT_EQ(codec.DecryptPayload(kKey, hex, plain), S_OK);
    EXPECT_NE(plain, kScores) << "lower-case digits read as other bytes";

    server.SetFault({ServerFault::Kind::WrongKey});
    const CallResult wrong = GetScores();
    ASSERT_EQ(wrong.result, S_OK);
    EXPECT_NE(AnswerData(wrong.text), kScores);
}

TEST_F(SoapClientTest, TextsAnXmlDocumentCannotHoldAreNotSent) {
    const std::u16string loneSurrogate = u"<parameters>" + std::u16string(1, char16_t(0xD800));
    const std::u16string control = u"<parameters>\u0001";
    for (const std::u16string* xml : {&loneSurrogate, &control}) {
        const CallResult call = Call(Service::Scores, 1, xml);
        EXPECT_EQ(call.result, E_FAIL);
        EXPECT_EQ(call.error, Err_SOAPCLIENT_GENERATE_ERROR);
    }
    EXPECT_TRUE(server.Calls().empty());
}

TEST_F(SoapClientTest, ANullResultPlaceIsRefused) {
    Bstr xml(u"<parameters/>");
    EXPECT_EQ(scores.func1(xml.Get(), nullptr), E_POINTER);
    EXPECT_TRUE(server.Calls().empty());
}

TEST_F(SoapClientTest, TheFixtureFolderServesTheLibrary) {
    ServiceTestServer fixtureServer;
    std::string error;
    ASSERT_TRUE(LoadFixtureFolder(SOAPTESTSERVER_FIXTURES, fixtureServer, error)) << error;
    ASSERT_TRUE(fixtureServer.Start());
    content.SetConnectTo(fixtureServer.Address());
    const CallResult call = Call(
        Service::Content, 2,
        codec.BuildDownloadRequest("ORVEX-TEST-KEY-7", 7, 1, "player@orvex.invalid", "secret"));
    ASSERT_EQ(call.result, S_OK);
    const std::string item = AnswerData(call.text);
    EXPECT_NE(item.find("<file>" + fixtureServer.BaseUrl() + "/files/crypt-level.dat</file>"),
              std::string::npos)
        << item;
    EXPECT_TRUE(fixtureServer.Problems().empty());

    // The content files themselves come from the same server.
    HttpRequest file;
    file.url = fixtureServer.BaseUrl() + "/files/crypt-level.dat";
    const HttpAnswer got = SendHttpRequest(file);
    EXPECT_EQ(got.status, 200);
    EXPECT_EQ(got.body, "An extra level: the flooded crypt.\n");
    EXPECT_NE(item.find("<filesize>" + std::to_string(got.body.size()) + "</filesize>"),
              std::string::npos);
    file.url = fixtureServer.BaseUrl() + "/files/none.dat";
    EXPECT_EQ(SendHttpRequest(file).status, 404);
}

// A port that accepts a connection and closes it at once, without a word.
class SilentPort {
public:
    SilentPort() {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd, 4);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        acceptor = std::thread([this] {
            const int connection = ::accept(fd, nullptr, nullptr);
            if (connection >= 0) {
                ::close(connection);
            }
        });
    }
    ~SilentPort() {
        ::shutdown(fd, SHUT_RDWR);
        acceptor.join();
        ::close(fd);
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port); }

private:
    int fd = -1;
    int port = 0;
    std::thread acceptor;
};

TEST_F(SoapClientTest, NoServerOrNoAnswerGivesConnectAndSendErrors) {
    std::string closed;
    {
        SilentPort gone;
        closed = gone.Address();
    }
    {
        SilentPort silent;
        scores.SetConnectTo(silent.Address());
        const CallResult call = GetScores();
        EXPECT_EQ(call.result, E_FAIL);
        EXPECT_EQ(call.error, Err_SOAPCLIENT_SEND_ERROR);
    }
    scores.SetConnectTo(closed);
    const CallResult call = GetScores();
    EXPECT_EQ(call.result, E_FAIL);
    EXPECT_EQ(call.error, Err_SOAPCLIENT_CONNECT_ERROR);
}

TEST(SoapEnvelopeTest, EscapesTheArgumentAsCharacterContent) {
    const std::string xml = "a<b>&c\r\nd\t\"e'";
    EXPECT_EQ(WriteSoapRequest("urn:ns", "func2", &xml),
              "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
              "xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\"><soap:Body>"
              "<func2 xmlns=\"urn:ns\"><xml>a&lt;b&gt;&amp;c&#xD;\nd\t\"e'</xml></func2>"
              "</soap:Body></soap:Envelope>");
    EXPECT_NE(WriteSoapRequest("urn:ns", "func1", nullptr)->find("<xml xsi:nil=\"true\"/>"),
              std::string::npos);
    const std::string notACharacter = "x\xEF\xBF\xBE";
    EXPECT_EQ(WriteSoapRequest("urn:ns", "func1", &notACharacter), std::nullopt);
}

TEST(SoapClientMappingTest, MapsEveryWayAnExchangeEndsToAnErrorNumber) {
    const struct {
        HttpFailure failure;
        bool answerStarted;
        int32_t error;
    } cases[] = {
        {HttpFailure::None, true, 0},
        {HttpFailure::BadRequest, false, Err_SOAPCLIENT_CONNECT_ERROR},
        {HttpFailure::Connect, false, Err_SOAPCLIENT_CONNECT_ERROR},
        {HttpFailure::Setup, false, Err_SOAPCLIENT_OUTOFMEMORY},
        {HttpFailure::Transfer, false, Err_SOAPCLIENT_SEND_ERROR},
        {HttpFailure::Transfer, true, Err_SOAPCLIENT_READ_ERROR},
        {HttpFailure::Cancelled, false, Err_SOAPCLIENT_SEND_ERROR},
        {HttpFailure::Cancelled, true, Err_SOAPCLIENT_READ_ERROR},
        {HttpFailure::TooLarge, true, Err_SOAPCLIENT_READ_ERROR},
    };
    for (const auto& c : cases) {
        HttpAnswer answer;
        answer.failure = c.failure;
        answer.answerStarted = c.answerStarted;
        EXPECT_EQ(ExchangeErrorNumber(answer), c.error)
            << static_cast<int>(c.failure) << " " << c.answerStarted;
    }
}

TEST(SoapClientMappingTest, GivesTheTextOfEachErrorNumberOfTheClient) {
    const char* texts[] = {
        nullptr,
        "Initialization failed. Possibly caused by an MSXML installation problem.",
        "Out of memory.",
        "Failed to generate the response.",
        "Failed to connect to the server.",
        "Failed to send the message.",
        "Server error.",
        "The server returned a SOAP fault.",
        "Failed to parse a SOAP fault.",
        "Failed while reading the response.",
        "Failed while parsing the response.",
        nullptr,
    };
    for (int32_t number = 0; number < 12; ++number) {
        const char* text = SoapClientErrorText(number);
        if (texts[number] == nullptr) {
            EXPECT_EQ(text, nullptr) << number;
        } else {
            EXPECT_STREQ(text, texts[number]) << number;
        }
    }
    EXPECT_EQ(SoapClientErrorText(ErrUnknown), nullptr);
    EXPECT_EQ(SoapClientErrorText(-1), nullptr);
}

TEST(EndpointTest, RewritesEveryHostOfTheMakerAndKeepsTheRest) {
    const struct {
        std::string folder;
        std::string url;
        std::string folderAfter;
        std::string rewritten;
    } cases[] = {
        {"Crypt Quest", "http://www.vostrelgames.example/hs/hssv1.asmx", "crypt quest",
         "http://cryptquest.vostrelgames.example/hs/hssv1.asmx"},
        {"  A B  ", "http://www.x.example/?next=http://www.y.example/", "  a b  ",
         "http://ab.x.example/?next=http://ab.y.example/"},
        {"Game", "https://www.x.example/", "game", "https://www.x.example/"},
        {"Game", "http://WWW.x.example/", "game", "http://WWW.x.example/"},
        {"", "http://www.x.example/", "", "http://.x.example/"},
        {"\xC3\x89t\xC3\xA9", "http://www.x/", "\xC3\x89t\xC3\xA9", "http://\xC3\x89t\xC3\xA9.x/"},
    };
    for (const auto& c : cases) {
        std::string folder = c.folder;
        EXPECT_EQ(RewriteEndpointHost(folder, c.url), c.rewritten) << c.url;
        EXPECT_EQ(folder, c.folderAfter);
    }
}

} // namespace
