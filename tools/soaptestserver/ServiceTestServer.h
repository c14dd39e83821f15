#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// A game the server knows: its certificate (the key of its payloads), the credentials it
// accepts (any when the login is empty) and the plain documents it answers with. In the content
// document "{server}" stands for the server's own address ("http://127.0.0.1:port").
struct TestGame {
    int32_t id = 0;
    std::string certificate;
    std::string login;
    std::string password;
    std::string scores;
    std::string content;
};

// What the server does instead of answering well, from now on until told otherwise.
struct ServerFault {
    enum class Kind {
        None,
        HttpError,         // the HTTP status `httpStatus`, no envelope
        SoapFault,         // status 500 with a SOAP fault
        BadFault,          // status 500 with a page that is no SOAP fault
        MalformedEnvelope, // status 200, the envelope cut off mid-element
        WrongNamespace,    // the answer element in another namespace
        EmptyResult,       // an empty result element
        NilResult,         // a nil result element
        MissingResult,     // the answer element without its result
        Truncated,         // a Content-Length the body never reaches
        Hang,              // no answer until the server stops (a file: its first half only)
        Oversize,          // a well-formed answer with a result of `size` bytes
        WrongKey,          // the payload encrypted with another key
        LowerCaseHex,      // the payload's hex in lower case
        Status,            // the answer document carries `status` and no payload
        NotADocument,      // a result of plain text: no answer document at all
    };
    Kind kind = Kind::None;
    int httpStatus = 503;
    std::size_t size = 0;
    int status = 0;
};

// One request as the server saw it.
struct RecordedCall {
    std::string service;   // "hs" or "uc"
    std::string operation; // "func1" or "func2"
    std::string path;
    std::string host;
    std::string body;
    std::string outerDocument;
    std::string innerDocument; // decrypted; empty when it could not be
};

// A local server of both services for tests and for trying the library by hand. It checks
// every request against the protocol (method, headers, envelope, outer document, hex), records
// what failed as problems, decrypts the inner document with its own cipher, answers from its
// games, and serves content files under "/files/".
class ServiceTestServer {
public:
    ServiceTestServer();
    ~ServiceTestServer();
    ServiceTestServer(const ServiceTestServer&) = delete;
    ServiceTestServer& operator=(const ServiceTestServer&) = delete;

    void AddGame(const TestGame& game);
    void AddFile(const std::string& name, const std::string& bytes);

    // Listens on 127.0.0.1, on the given port or (0) any free one; false when it cannot.
    bool Start(int port = 0);
    void Stop();

    int Port() const { return port; }
    // "127.0.0.1:port", as the clients' connect-to setting takes it.
    std::string Address() const;
    std::string BaseUrl() const;

    void SetFault(const ServerFault& fault);
    // Called with a line for every request (the program prints them).
    void SetLog(std::function<void(const std::string&)> log);

    std::vector<RecordedCall> Calls() const;
    std::vector<std::string> Problems() const;

private:
    void HandleSoap(const httplib::Request& request, httplib::Response& response,
                    const std::string& service, const std::string& serviceNamespace);
    void HandleFile(const httplib::Request& request, httplib::Response& response);
    // The answer document of a request whose outer document was read; adds what is wrong with
    // the request to `found`.
    std::string Process(RecordedCall& call, const ServerFault& scripted,
                        std::vector<std::string>& found);

    std::unique_ptr<httplib::Server> server;
    std::thread listener;
    int port = 0;

    mutable std::mutex lock;
    std::condition_variable stopping;
    bool stopped = false;
    std::map<int32_t, TestGame> games;
    std::map<std::string, std::string> files;
    ServerFault fault;
    std::function<void(const std::string&)> log;
    std::vector<RecordedCall> calls;
    std::vector<std::string> problems;
};

// Loads games and files from a fixture folder: games/<id>/certificate (its first line),
// games/<id>/credentials (login and password lines, optional), games/<id>/scores.xml and
// content.xml, and every file of files/. False with the reason when the folder is not usable.
bool LoadFixtureFolder(const std::string& folder, ServiceTestServer& server, std::string& error);
