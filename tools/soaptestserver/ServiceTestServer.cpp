#include "tools/soaptestserver/ServiceTestServer.h"

#include "tools/soaptestserver/ServerCipher.h"

#include <httplib.h>

#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

// The protocol as the server expects it, written down here a second time on purpose.
const std::string kScoreNamespace = "http://vostrelgames.example/hs/";
const std::string kContentNamespace = "http://vostrelgames.example/uc/";
const std::string kRequestEnvelopeOpen =
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\"><soap:Body>";
const std::string kAnswerEnvelopeOpen =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body>";
const std::string kEnvelopeClose = "</soap:Body></soap:Envelope>";
const std::string kWrongKey = "NOT-THE-GAME-KEY";

constexpr int kStatusGameNotFound = 50;
constexpr int kStatusBadCredentials = 51;
constexpr int kStatusBadXml = 52;

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, unsigned long c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// XML character content back to text; nothing when it holds markup or an unknown entity.
std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            return std::nullopt;
        }
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t end = text.find(';', i);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view entity = text.substr(i + 1, end - i - 1);
        if (entity == "lt") {
            out += '<';
        } else if (entity == "gt") {
            out += '>';
        } else if (entity == "amp") {
            out += '&';
        } else if (entity == "quot") {
            out += '"';
        } else if (entity == "apos") {
            out += '\'';
        } else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x';
            const std::string_view digits = entity.substr(hex ? 2 : 1);
            unsigned long code = 0;
            const auto read =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (digits.empty() || read.ec != std::errc() ||
                read.ptr != digits.data() + digits.size() || code > 0x10FFFF) {
                return std::nullopt;
            }
            AppendUtf8(out, code);
        } else {
            return std::nullopt;
        }
        i = end;
    }
    return out;
}

// The values of "<parameters>" holding exactly the named children in this order, read the way
// the real service reads them: values are raw text up to the closing tag.
std::optional<std::vector<std::string>> ReadParameters(std::string_view document,
                                                       const std::vector<std::string>& names) {
    const std::string open = "<parameters><" + names[0] + ">";
    if (!document.starts_with(open)) {
        return std::nullopt;
    }
    std::vector<std::string> values;
    std::size_t at = open.size();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        const std::string close =
            "</" + names[i] + ">" + (last ? "</parameters>" : "<" + names[i + 1] + ">");
        std::size_t end;
        if (last) {
            if (!document.ends_with(close) || document.size() < at + close.size()) {
                return std::nullopt;
            }
            end = document.size() - close.size();
        } else {
            end = document.find(close, at);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
        }
        values.emplace_back(document.substr(at, end - at));
        at = end + close.size();
    }
    return values;
}

std::optional<int64_t> Decimal(std::string_view text) {
    int64_t value = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || read.ec != std::errc() || read.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string StatusDocument(int32_t game, int status) {
    return "<answer><id>" + std::to_string(game) + "</id><status>" + std::to_string(status) +
           "</status></answer>";
}

std::string DataDocument(int32_t game, const std::string& data) {
    return "<answer><id>" + std::to_string(game) + "</id><status>0</status><data>" + data +
           "</data></answer>";
}

std::string ReplaceAll(std::string text, std::string_view from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The "<item>" of the content document whose "<number>" is the one asked for.
std::optional<std::string> FindItem(const std::string& content, int64_t number) {
    const std::string wanted = "<number>" + std::to_string(number) + "</number>";
    for (std::size_t at = content.find("<item>"); at != std::string::npos;
         at = content.find("<item>", at + 1)) {
        const std::size_t end = content.find("</item>", at);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        const std::string item = content.substr(at, end + 7 - at);
        if (item.find(wanted) != std::string::npos) {
            return item;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// The fixture documents are written one element a line for people; the services' documents
// carry nothing between elements, so the lines are trimmed and joined.
std::string JoinedLines(const std::string& text) {
    std::string joined;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        const std::size_t last = line.find_last_not_of(" \t\r");
        if (first != std::string::npos) {
            joined += line.substr(first, last + 1 - first);
        }
    }
    return joined;
}

} // namespace

ServiceTestServer::ServiceTestServer() : server(std::make_unique<httplib::Server>()) {
    // Any path ending in a service's own path reaches it, so long endpoints can be tried.
    server->Post(R"(.*/hs/hssv1\.asmx)",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     HandleSoap(request, response, "hs", kScoreNamespace);
                 });
    server->Post(R"(.*/uc/ucsv1\.asmx)",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     HandleSoap(request, response, "uc", kContentNamespace);
                 });
    server->Get(R"(/files/[^/]+)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    HandleFile(request, response);
                });
}

ServiceTestServer::~ServiceTestServer() {
    Stop();
}

void ServiceTestServer::AddGame(const TestGame& game) {
    const std::lock_guard guard(lock);
    games[game.id] = game;
}

void ServiceTestServer::AddFile(const std::string& name, const std::string& bytes) {
    const std::lock_guard guard(lock);
    files[name] = bytes;
}

bool ServiceTestServer::Start(int wantedPort) {
    if (listener.joinable()) {
        return false;
    }
    if (wantedPort == 0) {
        port = server->bind_to_any_port("127.0.0.1");
    } else {
        port = server->bind_to_port("127.0.0.1", wantedPort) ? wantedPort : -1;
    }
    if (port <= 0) {
        return false;
    }
    listener = std::thread([this] { server->listen_after_bind(); });
    // A stop before the accept loop runs would be lost, so the start waits for it.
    for (int wait = 0; wait < 5000 && !server->is_running(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void ServiceTestServer::Stop() {
    {
        const std::lock_guard guard(lock);
        stopped = true;
    }
    stopping.notify_all();
    if (listener.joinable()) {
        server->stop();
        listener.join();
    }
}

std::string ServiceTestServer::Address() const {
    return "127.0.0.1:" + std::to_string(port);
}

std::string ServiceTestServer::BaseUrl() const {
    return "http://" + Address();
}

void ServiceTestServer::SetFault(const ServerFault& newFault) {
    const std::lock_guard guard(lock);
    fault = newFault;
}

void ServiceTestServer::SetLog(std::function<void(const std::string&)> newLog) {
    const std::lock_guard guard(lock);
    log = std::move(newLog);
}

std::vector<RecordedCall> ServiceTestServer::Calls() const {
    const std::lock_guard guard(lock);
    return calls;
}

std::vector<std::string> ServiceTestServer::Problems() const {
    const std::lock_guard guard(lock);
    return problems;
}

void ServiceTestServer::HandleFile(const httplib::Request& request, httplib::Response& response) {
    const std::string name = request.path.substr(std::string_view("/files/").size());
    const std::lock_guard guard(lock);
    const auto found = files.find(name);
    if (found == files.end()) {
        response.status = 404;
        response.set_content("no such file", "text/plain");
        return;
    }
    if (fault.kind == ServerFault::Kind::Hang) {
        // Half the body goes out, so that the client is mid-transfer when it gives up.
        const std::string half = found->second.substr(0, found->second.size() / 2);
        response.set_content_provider(
            found->second.size(), "application/octet-stream",
            [this, half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset == 0 && !half.empty()) {
                    return sink.write(half.data(), half.size());
                }
                std::unique_lock held(lock);
                stopping.wait_for(held, std::chrono::seconds(60), [this] { return stopped; });
                return false;
            });
        return;
    }
    response.set_content(found->second, "application/octet-stream");
}

void ServiceTestServer::HandleSoap(const httplib::Request& request, httplib::Response& response,
                                   const std::string& service,
                                   const std::string& serviceNamespace) {
    RecordedCall call;
    call.service = service;
    call.path = request.path;
    call.host = request.get_header_value("Host");
    call.body = request.body;
    std::vector<std::string> found;
    const auto check = [&](bool condition, const std::string& what) {
        if (!condition) {
            found.push_back(service + ": " + what);
        }
    };
    check(request.method == "POST", "the method is " + request.method);
    check(request.get_header_value("Content-Type") == "text/xml; charset=utf-8",
          "Content-Type is \"" + request.get_header_value("Content-Type") + "\"");
    check(request.get_header_value("Accept") == "text/xml",
          "Accept is \"" + request.get_header_value("Accept") + "\"");
    check(request.get_header_value("User-Agent") == "Microsoft-ATL-Native/7.00",
          "User-Agent is \"" + request.get_header_value("User-Agent") + "\"");

    for (const char* operation : {"func1", "func2"}) {
        const std::string open =
            kRequestEnvelopeOpen + "<" + operation + " xmlns=\"" + serviceNamespace + "\"><xml>";
        const std::string close = std::string("</xml></") + operation + ">" + kEnvelopeClose;
        if (request.body.starts_with(open) && request.body.ends_with(close) &&
            request.body.size() >= open.size() + close.size()) {
            call.operation = operation;
            const std::optional<std::string> outer = Unescaped(
                std::string_view(request.body)
                    .substr(open.size(), request.body.size() - open.size() - close.size()));
            check(outer.has_value(), "the xml argument is not escaped character content");
            call.outerDocument = outer.value_or("");
        }
    }
    check(!call.operation.empty(), "the body is not the request envelope of func1 or func2");
    check(request.get_header_value("SOAPAction") == "\"" + serviceNamespace + call.operation + "\"",
          "SOAPAction is " + request.get_header_value("SOAPAction"));

    ServerFault scripted;
    {
        const std::lock_guard guard(lock);
        scripted = fault;
    }
    const std::string answer = found.empty() ? Process(call, scripted, found) : std::string();
    std::function<void(const std::string&)> logLine;
    {
        const std::lock_guard guard(lock);
        calls.push_back(call);
        problems.insert(problems.end(), found.begin(), found.end());
        logLine = log;
    }
    if (logLine) {
        logLine(service + " " + call.operation + " for host " + call.host + ": " +
                (found.empty() ? answer : found.front()));
    }
    if (!found.empty()) {
        response.status = 400;
        response.set_content(found.front(), "text/plain");
        return;
    }

    using Kind = ServerFault::Kind;
    const std::string& operation = call.operation;
    std::string answerNamespace = serviceNamespace;
    std::string result =
        "<" + operation + "Result>" + Escaped(answer) + "</" + operation + "Result>";
    switch (scripted.kind) {
    case Kind::Hang: {
        std::unique_lock guard(lock);
        stopping.wait_for(guard, std::chrono::seconds(60), [this] { return stopped; });
        response.status = 503;
        return;
    }
    case Kind::HttpError:
        response.status = scripted.httpStatus;
        response.set_content("scripted HTTP error", "text/plain");
        return;
    case Kind::SoapFault:
        response.status = 500;
        response.set_content(kAnswerEnvelopeOpen +
                                 "<soap:Fault><faultcode>soap:Server</faultcode>"
                                 "<faultstring>Scripted fault</faultstring></soap:Fault>" +
                                 kEnvelopeClose,
                             "text/xml; charset=utf-8");
        return;
    case Kind::BadFault:
        response.status = 500;
        response.set_content("<html><body>Internal Server Error</body></html>", "text/html");
        return;
    case Kind::MalformedEnvelope:
        response.set_content(kAnswerEnvelopeOpen + "<" + operation + "Response xmlns=\"" +
                                 serviceNamespace + "\"><" + operation + "Result>",
                             "text/xml; charset=utf-8");
        return;
    case Kind::WrongNamespace:
        answerNamespace = "http://elsewhere.example/";
        break;
    case Kind::EmptyResult:
        result = "<" + operation + "Result></" + operation + "Result>";
        break;
    case Kind::NilResult:
        result = "<" + operation + "Result xsi:nil=\"true\"/>";
        break;
    case Kind::MissingResult:
        result.clear();
        break;
    case Kind::Oversize:
        result = "<" + operation + "Result>" + std::string(scripted.size, 'A') + "</" + operation +
                 "Result>";
        break;
    case Kind::NotADocument:
        result = "<" + operation + "Result>Service temporarily unavailable</" + operation +
                 "Result>";
        break;
    default:
        break;
    }
    const std::string envelope = kAnswerEnvelopeOpen + "<" + operation + "Response xmlns=\"" +
                                 answerNamespace + "\">" + result + "</" + operation + "Response>" +
                                 kEnvelopeClose;
    if (scripted.kind == Kind::Truncated) {
        // Headers and half the body, then the connection closes.
        response.set_content_provider(envelope.size(), "text/xml; charset=utf-8",
                                      [envelope](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0) {
                                              sink.write(envelope.data(), envelope.size() / 2);
                                              return true;
                                          }
                                          return false;
                                      });
        return;
    }
    response.set_content(envelope, "text/xml; charset=utf-8");
}

std::string ServiceTestServer::Process(RecordedCall& call, const ServerFault& scripted,
                                       std::vector<std::string>& found) {
    const std::optional<std::vector<std::string>> outer =
        ReadParameters(call.outerDocument, {"id", "data"});
    if (!outer) {
        found.push_back(call.service +
                        ": the outer document is not <parameters> with id and "
                        "data: " +
                        call.outerDocument);
        return {};
    }
    const std::optional<int64_t> gameId = Decimal((*outer)[0]);
    if (!gameId) {
        found.push_back(call.service + ": the outer id is not a number");
        return {};
    }
    const auto game = static_cast<int32_t>(*gameId);
    const std::string& data = (*outer)[1];
    if (scripted.kind == ServerFault::Kind::Status) {
        return StatusDocument(game, scripted.status);
    }
    if (data.empty()) {
        return StatusDocument(game, kStatusBadXml); // the client could not encrypt
    }
    if (!ServerUnhex(data) || data.size() % 32 != 0) {
        found.push_back(call.service + ": the data is not upper-case hex of whole blocks");
        return {};
    }
    TestGame known;
    {
        const std::lock_guard guard(lock);
        const auto entry = games.find(game);
        if (entry == games.end()) {
            return StatusDocument(game, kStatusGameNotFound);
        }
        known = entry->second;
    }
    const std::optional<std::string> inner = ServerDecryptHex(known.certificate, data);
    call.innerDocument = inner.value_or("");

    const bool scores = call.service == "hs";
    const bool list = call.operation == "func1";
    const std::vector<std::string> names =
        list     ? std::vector<std::string>{"id", "count", "email", "password"}
        : scores ? std::vector<std::string>{"id",          "mode",  "name",    "value",
                                            "description", "email", "password"}
                 : std::vector<std::string>{"id", "number", "email", "password"};
    const std::optional<std::vector<std::string>> fields =
        inner ? ReadParameters(*inner, names) : std::nullopt;
    if (!fields) {
        return StatusDocument(game, kStatusBadXml); // another key, or a broken document
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool number = names[i] == "id" || names[i] == "count" || names[i] == "mode" ||
                            names[i] == "value" || names[i] == "number";
        if (number && !Decimal((*fields)[i])) {
            found.push_back(call.service + ": the inner " + names[i] + " is not a number");
            return {};
        }
    }
    if (*Decimal((*fields)[0]) != game) {
        found.push_back(call.service + ": the inner id differs from the outer one");
        return {};
    }
    const std::string& login = (*fields)[names.size() - 2];
    const std::string& password = (*fields)[names.size() - 1];
    if (!known.login.empty() && (login != known.login || password != known.password)) {
        return StatusDocument(game, kStatusBadCredentials);
    }

    std::string plain;
    if (scores && list) {
        plain = known.scores;
    } else if (scores) {
        return StatusDocument(game, 0); // the report was recorded
    } else if (list) {
        plain = ReplaceAll(known.content, "{server}", BaseUrl());
    } else {
        const std::optional<std::string> item = FindItem(known.content, *Decimal((*fields)[1]));
        if (!item) {
            return StatusDocument(game, kStatusBadXml);
        }
        plain = "<items><id>" + std::to_string(game) + "</id>" +
                ReplaceAll(*item, "{server}", BaseUrl()) + "</items>";
    }
    if (plain.empty()) {
        return DataDocument(game, "");
    }
    const bool wrongKey = scripted.kind == ServerFault::Kind::WrongKey;
    const bool lowerCase = scripted.kind == ServerFault::Kind::LowerCaseHex;
    return DataDocument(
        game, ServerEncryptToHex(wrongKey ? kWrongKey : known.certificate, plain, lowerCase));
}

bool LoadFixtureFolder(const std::string& folder, ServiceTestServer& server, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code failure;
    const fs::path gamesFolder = fs::path(folder) / "games";
    if (!fs::is_directory(gamesFolder, failure)) {
        error = "no games folder in " + folder;
        return false;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(gamesFolder, failure)) {
        const std::string name = entry.path().filename().string();
        const std::optional<int64_t> id = Decimal(name);
        if (!entry.is_directory() || !id || *id <= 0 || *id > INT32_MAX) {
            error = "games/" + name + " is not a folder named by a game number";
            return false;
        }
        TestGame game;
        game.id = static_cast<int32_t>(*id);
        const std::optional<std::string> certificate = ReadWholeFile(entry.path() / "certificate");
        if (!certificate || FirstLine(*certificate).size() != 16) {
            error = "games/" + name + "/certificate must hold a line of 16 characters";
            return false;
        }
        game.certificate = FirstLine(*certificate);
        if (const std::optional<std::string> credentials =
                ReadWholeFile(entry.path() / "credentials")) {
            game.login = FirstLine(*credentials);
            const std::size_t next = credentials->find('\n');
            game.password =
                next == std::string::npos ? "" : FirstLine(credentials->substr(next + 1));
        }
        game.scores = ReadWholeFile(entry.path() / "scores.xml").value_or("");
        game.content = ReadWholeFile(entry.path() / "content.xml").value_or("");
        game.scores = JoinedLines(game.scores);
        game.content = JoinedLines(game.content);
        server.AddGame(game);
    }
    const fs::path filesFolder = fs::path(folder) / "files";
    if (fs::is_directory(filesFolder, failure)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(filesFolder, failure)) {
            if (entry.is_regular_file()) {
                server.AddFile(entry.path().filename().string(),
                               ReadWholeFile(entry.path()).value_or(""));
            }
        }
    }
    if (failure) {
        error = folder + ": " + failure.message();
        return false;
    }
    return true;
}
