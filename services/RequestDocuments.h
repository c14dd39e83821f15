#pragma once

#include <cstdint>
#include <string>

// The inner documents of the requests: the real parameters, encrypted into the outer
// document's "data". Texts go in exactly as they are, without any escaping: the server reads
// them that way.

struct GetListRequest {
    int32_t game = 0;
    int32_t count = 0;
    std::string login;
    std::string password;

    std::string Text() const;
};

struct ReportRequest {
    int32_t game = 0;
    int32_t gameMode = 0;
    std::string name;
    int64_t score = 0;
    std::string scoreDescription;
    std::string login;
    std::string password;

    std::string Text() const;
};

struct DownloadRequest {
    int32_t game = 0;
    int32_t number = 0;
    std::string login;
    std::string password;

    std::string Text() const;
};

// The document a service operation is given: the game in clear and the encrypted inner
// document as hex (empty when the encryption failed).
struct RequestEnvelope {
    int32_t game = 0;
    std::string data;

    std::string Text() const;
};
