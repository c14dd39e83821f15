#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct HttpHeader {
    std::string name;
    std::string value;
};

// The bounds of one exchange. A zero total time-out means none (long downloads).
struct HttpLimits {
    std::chrono::milliseconds connectTimeout{15000};
    std::chrono::milliseconds totalTimeout{60000};
    std::size_t maxAnswerSize = 8 * 1024 * 1024;
};

// Lets another thread end an exchange: the exchange stops at once with the failure Cancelled.
// Once cancelled it stays cancelled; give every new exchange a fresh one.
class HttpCancel {
public:
    void Cancel();
    bool Cancelled() const { return cancelled.load(); }

private:
    friend class HttpTransfer;
    std::atomic<bool> cancelled{false};
    std::mutex lock;
    void* running = nullptr; // the transfer to wake, while there is one
};

enum class HttpFailure {
    None,
    BadRequest, // the URL is malformed, too long or not http/https, or the method unknown
    Setup,      // the transfer could not be set up (memory)
    Connect,    // no connection: name not found, refused, connection time-out, TLS
    Transfer,   // connected, but sending or receiving failed or timed out
    TooLarge,   // the answer passed its size limit
    Cancelled,
};

struct HttpRequest {
    std::string method = "GET"; // "GET" or "POST"
    std::string url;
    std::vector<HttpHeader> headers; // replace the transfer's own headers of the same name
    std::string body;
    HttpLimits limits;
    bool followRedirects = false;
    // "address:port" to connect to instead of the URL's host, which still names the host in
    // the request (tests point clients at a local server this way). No proxy is used then.
    std::string connectTo;
    HttpCancel* cancel = nullptr;
    // When set, takes the answer body as it arrives instead of collecting it; false ends the
    // exchange with a Transfer failure.
    std::function<bool(std::string_view)> sink;
};

struct HttpAnswer {
    HttpFailure failure = HttpFailure::None;
    // The status line of the final answer arrived: a failure after it happened while reading.
    bool answerStarted = false;
    int status = 0;
    std::vector<HttpHeader> headers;
    std::string body;
    std::string error; // what went wrong, for logs

    // The value of a header (name in any case); empty when there is none.
    std::string_view Header(std::string_view name) const;
};

// The longest URL accepted; longer ones fail as BadRequest instead of being cut.
constexpr std::size_t kMaxUrlLength = 64 * 1024;

// One HTTP exchange over a new connection. Proxies from the environment apply, except to
// loopback addresses. Never throws.
HttpAnswer SendHttpRequest(const HttpRequest& request) noexcept;
