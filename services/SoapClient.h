#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Result.h"
#include "platform/net/HttpClient.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class XmlReader;

// The error number (of ErrorConstants) of a call whose HTTP exchange ended this way; 0 when an
// answer arrived whole, whatever its status. A failure before any answer came is a send error,
// one after the answer began a read error.
int32_t ExchangeErrorNumber(const HttpAnswer& answer);

// A SOAP 1.1 client of one service (document/literal, wrapped): every operation takes one
// string "xml" and answers one string. A client serves one call at a time.
class SoapClient {
public:
    // Where connections go instead of the endpoint's host when this is set ("address:port"),
    // read by every new client: lets a person or a test point the library at a local server.
    static constexpr const char* kConnectToVariable = "VGLSVS_CONNECT_TO";

    SoapClient(std::string url, std::string serviceNamespace);
    ~SoapClient();
    SoapClient(const SoapClient&) = delete;
    SoapClient& operator=(const SoapClient&) = delete;

    const std::string& Url() const { return url; }
    void SetUrl(std::string newUrl) { url = std::move(newUrl); }

    // The error number of the last call, 0 when it succeeded.
    int32_t ClientError() const { return clientError; }

    void SetConnectTo(std::string address) { connectTo = std::move(address); }
    void SetLimits(const HttpLimits& newLimits) { limits = newLimits; }
    void SetCancel(HttpCancel* newCancel) { cancel = newCancel; }

protected:
    // One operation: E_POINTER for a null result place; on failure a negative result with
    // ClientError() set. A result the service left out (or sent as nil) is a null BSTR.
    HRESULT Call(std::string_view operation, BSTR xml, BSTR* result) noexcept;

private:
    HRESULT Fail(int32_t number);

    std::string url;
    std::string serviceNamespace;
    std::string connectTo;
    HttpLimits limits;
    HttpCancel* cancel = nullptr;
    int32_t clientError = 0;
    std::unique_ptr<XmlReader> reader;
};
