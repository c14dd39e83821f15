#include "platform/net/HttpClient.h"

#include "tests/support/ScopedEnvironment.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// An HTTP server on a free loopback port for one test; handlers can hold an answer back
// until the test lets it go (or the server stops).
class LocalServer {
public:
    LocalServer() {
        port = server.bind_to_any_port("127.0.0.1");
        listener = std::thread([this] { server.listen_after_bind(); });
        // A stop before the accept loop runs would be lost.
        for (int wait = 0; wait < 60000 && !server.is_running(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~LocalServer() {
        Release();
        server.stop();
        listener.join();
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    // Called by a handler: tells the test a request arrived, then waits to be let go.
    void Hold() {
        std::unique_lock guard(lock);
        arrived = true;
        changed.notify_all();
        changed.wait_for(guard, std::chrono::seconds(30), [this] { return released; });
    }
    void WaitForArrival() {
        std::unique_lock guard(lock);
        changed.wait_for(guard, std::chrono::seconds(30), [this] { return arrived; });
    }
    void Release() {
        const std::lock_guard guard(lock);
        released = true;
        changed.notify_all();
    }

    httplib::Server server;
    int port = 0;

private:
    std::thread listener;
    std::mutex lock;
    std::condition_variable changed;
    bool arrived = false;
    bool released = false;
};

// A loopback port where nothing listens.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

HttpRequest Get(const std::string& url) {
    HttpRequest request;
    request.url = url;
    return request;
}

TEST(HttpClientTest, PostsTheBodyWithItsHeadersAndCollectsTheAnswer) {
    LocalServer local;
    std::string seen;
    local.server.Post("/service",
                      [&](const httplib::Request& request, httplib::Response& response) {
                          seen = request.method + " " + request.body + " | " +
                                 request.get_header_value("Content-Type") + " | " +
                                 request.get_header_value("Accept") +
                                 " | expect=" + request.get_header_value("Expect");
                          response.status = 201;
                          response.set_header("X-Answer", "yes");
                          response.set_content("done", "text/plain");
                      });
    HttpRequest request;
    request.method = "POST";
    request.url = local.Url("/service");
    request.body = std::string(4000, 'x'); // long enough that a client would ask to continue
    request.headers = {{"Content-Type", "text/xml; charset=utf-8"}, {"Accept", "text/xml"}};
    const HttpAnswer answer = SendHttpRequest(request);
    EXPECT_EQ(answer.failure, HttpFailure::None) << answer.error;
    EXPECT_TRUE(answer.answerStarted);
    EXPECT_EQ(answer.status, 201);
    EXPECT_EQ(answer.Header("x-ANSWER"), "yes");
    EXPECT_EQ(answer.body, "done");
    EXPECT_EQ(seen, "POST " + request.body + " | text/xml; charset=utf-8 | text/xml | expect=");
}

TEST(HttpClientTest, HandsTheBodyToASinkAsItArrives) {
    LocalServer local;
    const std::string content(300000, 'q');
    local.server.Get("/file", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(content, "application/octet-stream");
    });
    std::string collected;
    int pieces = 0;
    HttpRequest request = Get(local.Url("/file"));
    request.sink = [&](std::string_view piece) {
        collected += piece;
        ++pieces;
        return true;
    };
    const HttpAnswer answer = SendHttpRequest(request);
    EXPECT_EQ(answer.failure, HttpFailure::None) << answer.error;
    EXPECT_EQ(collected, content);
    EXPECT_GT(pieces, 1);
    EXPECT_TRUE(answer.body.empty());

    request.sink = [](std::string_view) { return false; };
    EXPECT_EQ(SendHttpRequest(request).failure, HttpFailure::Transfer);
}

TEST(HttpClientTest, StopsAnswersPastTheSizeLimit) {
    LocalServer local;
    local.server.Get("/sized", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string(5000, 'a'), "text/plain");
    });
    local.server.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/plain",
                                              [](size_t offset, httplib::DataSink& sink) {
                                                  if (offset >= 20000) {
                                                      sink.done();
                                                      return true;
                                                  }
                                                  const std::string piece(1000, 'b');
                                                  sink.write(piece.data(), piece.size());
                                                  return true;
                                              });
    });
    for (const char* path : {"/sized", "/chunked"}) {
        HttpRequest request = Get(local.Url(path));
        request.limits.maxAnswerSize = 4096;
        const HttpAnswer answer = SendHttpRequest(request);
        EXPECT_EQ(answer.failure, HttpFailure::TooLarge) << path;
        EXPECT_TRUE(answer.answerStarted) << path;
        EXPECT_LE(answer.body.size(), 4096u) << path;
    }
    HttpRequest exact = Get(local.Url("/sized"));
    exact.limits.maxAnswerSize = 5000;
    EXPECT_EQ(SendHttpRequest(exact).failure, HttpFailure::None);
}

TEST(HttpClientTest, TellsAConnectionThatFailsFromAnExchangeThatFails) {
    const HttpAnswer refused =
        SendHttpRequest(Get("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/"));
    EXPECT_EQ(refused.failure, HttpFailure::Connect);
    EXPECT_FALSE(refused.answerStarted);

    LocalServer local;
    local.server.Get("/silent", [&](const httplib::Request&, httplib::Response& response) {
        local.Hold();
        response.set_content("late", "text/plain");
    });
    local.server.Get("/half", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(100, "text/plain",
                                      [&](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0) {
                                              sink.write("0123456789", 10);
                                              return true;
                                          }
                                          local.Hold();
                                          return false;
                                      });
    });
    HttpRequest silent = Get(local.Url("/silent"));
    silent.limits.totalTimeout = std::chrono::milliseconds(300);
    const HttpAnswer noAnswer = SendHttpRequest(silent);
    EXPECT_EQ(noAnswer.failure, HttpFailure::Transfer);
    EXPECT_FALSE(noAnswer.answerStarted);

    HttpRequest half = Get(local.Url("/half"));
    half.limits.totalTimeout = std::chrono::milliseconds(300);
    const HttpAnswer cut = SendHttpRequest(half);
    EXPECT_EQ(cut.failure, HttpFailure::Transfer);
    EXPECT_TRUE(cut.answerStarted);
}

TEST(HttpClientTest, AnAnswerCutShortIsATransferFailure) {
    LocalServer local;
    local.server.Get("/cut", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(1000, "text/plain",
                                      [](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0) {
                                              sink.write("partial", 7);
                                              return true;
                                          }
                                          return false; // the server closes the connection
                                      });
    });
    const HttpAnswer answer = SendHttpRequest(Get(local.Url("/cut")));
    EXPECT_EQ(answer.failure, HttpFailure::Transfer);
    EXPECT_TRUE(answer.answerStarted);
}

TEST(HttpClientTest, RefusesRequestsItCannotMake) {
    const std::string hugeUrl = "http://127.0.0.1/" + std::string(kMaxUrlLength, 'a');
    for (const std::string& url :
         {std::string("ftp://127.0.0.1/x"), std::string("file:///etc/passwd"),
          std::string("no url at all"), std::string(""), hugeUrl}) {
        const HttpAnswer answer = SendHttpRequest(Get(url));
        EXPECT_EQ(answer.failure, HttpFailure::BadRequest) << url.substr(0, 40);
        EXPECT_FALSE(answer.error.empty());
    }
    HttpRequest put = Get("http://127.0.0.1/");
    put.method = "PUT";
    EXPECT_EQ(SendHttpRequest(put).failure, HttpFailure::BadRequest);
}

TEST(HttpClientTest, AnotherThreadCanCancelAnExchange) {
    LocalServer local;
    local.server.Get("/slow", [&](const httplib::Request&, httplib::Response& response) {
        local.Hold();
        response.set_content("late", "text/plain");
    });
    HttpCancel cancel;
    HttpRequest request = Get(local.Url("/slow"));
    request.cancel = &cancel;
    request.limits.totalTimeout = std::chrono::milliseconds(0); // only the cancel can end it
    HttpAnswer answer;
    std::thread exchange([&] { answer = SendHttpRequest(request); });
    local.WaitForArrival();
    cancel.Cancel();
    exchange.join();
    EXPECT_EQ(answer.failure, HttpFailure::Cancelled);

    // A cancelled token ends any later exchange before it starts.
    EXPECT_EQ(SendHttpRequest(request).failure, HttpFailure::Cancelled);
}

TEST(HttpClientTest, ProxiesAreNeverUsedForLoopback) {
    LocalServer local;
    std::string host;
    local.server.Get("/where", [&](const httplib::Request& request, httplib::Response& response) {
        host = request.get_header_value("Host");
        response.set_content("here", "text/plain");
    });
    const std::string deadProxy = "http://127.0.0.1:" + std::to_string(ClosedPort());
    const ScopedEnvironment proxy("http_proxy", deadProxy);
    const ScopedEnvironment noProxy("no_proxy", std::nullopt);
    const ScopedEnvironment noProxyUpper("NO_PROXY", std::nullopt);

    EXPECT_EQ(SendHttpRequest(Get(local.Url("/where"))).failure, HttpFailure::None);

    // Pointed at a local address, a named host goes straight there too, and keeps its name.
    HttpRequest named = Get("http://www.vostrelgames.example/where");
    named.connectTo = "127.0.0.1:" + std::to_string(local.port);
    const HttpAnswer answer = SendHttpRequest(named);
    EXPECT_EQ(answer.failure, HttpFailure::None) << answer.error;
    EXPECT_EQ(host, "www.vostrelgames.example");

    // Without that, the dead proxy is used for the named host: the proxy setting is live.
    EXPECT_EQ(SendHttpRequest(Get("http://www.vostrelgames.example/where")).failure,
              HttpFailure::Connect);
}

TEST(HttpClientTest, FollowsRedirectsOnlyWhenAsked) {
    LocalServer local;
    local.server.Get("/old", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/new");
    });
    local.server.Get("/new", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("moved", "text/plain");
    });
    HttpRequest request = Get(local.Url("/old"));
    EXPECT_EQ(SendHttpRequest(request).status, 302);
    request.followRedirects = true;
    const HttpAnswer answer = SendHttpRequest(request);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, "moved");
}

} // namespace
