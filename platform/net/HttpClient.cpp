#include "platform/net/HttpClient.h"

#include <curl/curl.h>

#include <cstdlib>

namespace {

constexpr std::string_view kLoopback = "localhost,127.0.0.0/8,::1";

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

// The hosts that never go through a proxy: the environment's list and the loopback addresses.
std::string NoProxyList() {
    const char* fromEnvironment = std::getenv("no_proxy");
    if (fromEnvironment == nullptr || *fromEnvironment == '\0') {
        fromEnvironment = std::getenv("NO_PROXY");
    }
    std::string list(kLoopback);
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
        list += ',';
        list += fromEnvironment;
    }
    return list;
}

bool InitialiseCurl() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

struct CurlHandles {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* headers = nullptr;
    curl_slist* connectTo = nullptr;

    ~CurlHandles() {
        if (multi != nullptr && easy != nullptr) {
            curl_multi_remove_handle(multi, easy);
        }
        if (easy != nullptr) {
            curl_easy_cleanup(easy);
        }
        if (multi != nullptr) {
            curl_multi_cleanup(multi);
        }
        curl_slist_free_all(headers);
        curl_slist_free_all(connectTo);
    }
};

} // namespace

// One exchange in progress: the libcurl callbacks write into it.
class HttpTransfer {
public:
    HttpTransfer(const HttpRequest& request, HttpAnswer& answer)
        : request(request), answer(answer) {}

    void Run();

private:
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnConnected(void* self, char*, char*, int, int);

    bool SetUp(CurlHandles& handles);
    bool Register(CURLM* multi);
    void Unregister();
    void Finish(CURLcode code);

    const HttpRequest& request;
    HttpAnswer& answer;
    bool connected = false;
    bool tooLarge = false;
    std::size_t received = 0;
};

void HttpCancel::Cancel() {
    const std::lock_guard guard(lock);
    cancelled = true;
    if (running != nullptr) {
        curl_multi_wakeup(static_cast<CURLM*>(running));
    }
}

std::string_view HttpAnswer::Header(std::string_view name) const {
    for (const HttpHeader& header : headers) {
        if (SameName(header.name, name)) {
            return header.value;
        }
    }
    return {};
}

size_t HttpTransfer::OnHeader(char* data, size_t size, size_t count, void* self) {
    HttpTransfer& transfer = *static_cast<HttpTransfer*>(self);
    const std::string_view line(data, size * count);
    try {
        if (line.starts_with("HTTP/")) {
            // A new status line: an interim answer (100 Continue) or a redirect came before.
            const std::size_t blank = line.find(' ');
            const int status =
                blank == std::string_view::npos ? 0 : std::atoi(line.data() + blank + 1);
            transfer.answer.status = status;
            transfer.answer.headers.clear();
            transfer.answer.answerStarted = status >= 200;
        } else if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
            transfer.answer.headers.push_back({std::string(Trimmed(line.substr(0, colon))),
                                               std::string(Trimmed(line.substr(colon + 1)))});
        }
    } catch (...) {
        return 0;
    }
    return size * count;
}

size_t HttpTransfer::OnBody(char* data, size_t size, size_t count, void* self) {
    HttpTransfer& transfer = *static_cast<HttpTransfer*>(self);
    const std::size_t length = size * count;
    if (length > transfer.request.limits.maxAnswerSize - transfer.received) {
        transfer.tooLarge = true;
        return 0;
    }
    transfer.received += length;
    try {
        if (transfer.request.sink) {
            return transfer.request.sink(std::string_view(data, length)) ? length : 0;
        }
        transfer.answer.body.append(data, length);
        return length;
    } catch (...) {
        return 0;
    }
}

int HttpTransfer::OnConnected(void* self, char*, char*, int, int) {
    static_cast<HttpTransfer*>(self)->connected = true;
    return CURL_PREREQFUNC_OK;
}

bool HttpTransfer::SetUp(CurlHandles& handles) {
    CURL* easy = handles.easy;
    const HttpLimits& limits = request.limits;
    bool ok = curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str()) == CURLE_OK;
    if (!ok) {
        answer.failure = HttpFailure::BadRequest;
        answer.error = "the URL cannot be used";
        return false;
    }
    ok = curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                          static_cast<long>(limits.connectTimeout.count())) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS,
                          static_cast<long>(limits.totalTimeout.count())) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                          static_cast<curl_off_t>(limits.maxAnswerSize)) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L) ==
             CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_HEADERDATA, this) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_WRITEDATA, this) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &HttpTransfer::OnConnected) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_PREREQDATA, this) == CURLE_OK;
    if (ok && request.method == "POST") {
        ok = curl_easy_setopt(easy, CURLOPT_POST, 1L) == CURLE_OK &&
             curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                              static_cast<curl_off_t>(request.body.size())) == CURLE_OK &&
             curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data()) == CURLE_OK;
    } else if (ok && request.method != "GET") {
        answer.failure = HttpFailure::BadRequest;
        answer.error = "unknown method " + request.method;
        return false;
    }
    if (ok && !request.connectTo.empty()) {
        // Any host and port of the URL goes to the given address; no proxy stands between.
        handles.connectTo = curl_slist_append(nullptr, ("::" + request.connectTo).c_str());
        ok = handles.connectTo != nullptr &&
             curl_easy_setopt(easy, CURLOPT_CONNECT_TO, handles.connectTo) == CURLE_OK &&
             curl_easy_setopt(easy, CURLOPT_PROXY, "") == CURLE_OK;
    } else if (ok) {
        ok = curl_easy_setopt(easy, CURLOPT_NOPROXY, NoProxyList().c_str()) == CURLE_OK;
    }
    // No "Expect: 100-continue" round: the request goes out as one.
    handles.headers = curl_slist_append(handles.headers, "Expect:");
    for (const HttpHeader& header : request.headers) {
        if (!ok || handles.headers == nullptr) {
            break;
        }
        handles.headers =
            curl_slist_append(handles.headers, (header.name + ": " + header.value).c_str());
    }
    ok = ok && handles.headers != nullptr &&
         curl_easy_setopt(easy, CURLOPT_HTTPHEADER, handles.headers) == CURLE_OK;
    if (!ok) {
        answer.failure = HttpFailure::Setup;
        answer.error = "the transfer could not be set up";
    }
    return ok;
}

bool HttpTransfer::Register(CURLM* multi) {
    if (request.cancel == nullptr) {
        return true;
    }
    const std::lock_guard guard(request.cancel->lock);
    if (request.cancel->cancelled) {
        return false;
    }
    request.cancel->running = multi;
    return true;
}

void HttpTransfer::Unregister() {
    if (request.cancel != nullptr) {
        const std::lock_guard guard(request.cancel->lock);
        request.cancel->running = nullptr;
    }
}

void HttpTransfer::Finish(CURLcode code) {
    if (request.cancel != nullptr && request.cancel->Cancelled()) {
        answer.failure = HttpFailure::Cancelled;
        answer.error = "the exchange was cancelled";
        return;
    }
    if (code == CURLE_OK) {
        answer.failure = HttpFailure::None;
        return;
    }
    answer.error = curl_easy_strerror(code);
    if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        answer.failure = HttpFailure::TooLarge;
        return;
    }
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        answer.failure = HttpFailure::BadRequest;
        return;
    case CURLE_OUT_OF_MEMORY:
    case CURLE_FAILED_INIT:
        answer.failure = HttpFailure::Setup;
        return;
    default:
        answer.failure = connected ? HttpFailure::Transfer : HttpFailure::Connect;
        return;
    }
}

void HttpTransfer::Run() {
    if (request.url.size() > kMaxUrlLength) {
        answer.failure = HttpFailure::BadRequest;
        answer.error = "the URL is longer than " + std::to_string(kMaxUrlLength) + " characters";
        return;
    }
    if (!InitialiseCurl()) {
        answer.failure = HttpFailure::Setup;
        answer.error = "the HTTP library could not start";
        return;
    }
    CurlHandles handles;
    handles.easy = curl_easy_init();
    handles.multi = curl_multi_init();
    if (handles.easy == nullptr || handles.multi == nullptr) {
        answer.failure = HttpFailure::Setup;
        answer.error = "the transfer could not be set up";
        return;
    }
    if (!SetUp(handles)) {
        return;
    }
    if (curl_multi_add_handle(handles.multi, handles.easy) != CURLM_OK) {
        answer.failure = HttpFailure::Setup;
        answer.error = "the transfer could not be set up";
        return;
    }
    if (!Register(handles.multi)) {
        Finish(CURLE_ABORTED_BY_CALLBACK);
        return;
    }
    CURLcode code = CURLE_OK;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(handles.multi, &running) != CURLM_OK) {
            code = CURLE_OUT_OF_MEMORY;
            break;
        }
        if (request.cancel != nullptr && request.cancel->Cancelled()) {
            break;
        }
        if (running > 0 && curl_multi_poll(handles.multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
            code = CURLE_OUT_OF_MEMORY;
            break;
        }
    }
    Unregister();
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(handles.multi, &left)) {
        if (message->msg == CURLMSG_DONE) {
            code = message->data.result;
        }
    }
    Finish(code);
}

HttpAnswer SendHttpRequest(const HttpRequest& request) noexcept {
    HttpAnswer answer;
    try {
        HttpTransfer(request, answer).Run();
    } catch (...) {
        answer.failure = HttpFailure::Setup;
        answer.error = "out of memory";
    }
    return answer;
}
