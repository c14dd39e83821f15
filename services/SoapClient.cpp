#include "services/SoapClient.h"

#include "platform/com/CodePage.h"
#include "platform/net/XmlReader.h"
#include "services/ErrorConstants.h"
#include "services/SoapEnvelope.h"

#include <cstdlib>
#include <new>

int32_t ExchangeErrorNumber(const HttpAnswer& answer) {
    switch (answer.failure) {
    case HttpFailure::None:
        return ErrNone;
    case HttpFailure::BadRequest:
    case HttpFailure::Connect:
        return Err_SOAPCLIENT_CONNECT_ERROR;
    case HttpFailure::Setup:
        return Err_SOAPCLIENT_OUTOFMEMORY;
    case HttpFailure::TooLarge:
        return Err_SOAPCLIENT_READ_ERROR;
    case HttpFailure::Transfer:
    case HttpFailure::Cancelled:
        return answer.answerStarted ? Err_SOAPCLIENT_READ_ERROR : Err_SOAPCLIENT_SEND_ERROR;
    }
    return Err_SOAPCLIENT_SEND_ERROR;
}

SoapClient::SoapClient(std::string url, std::string serviceNamespace)
    : url(std::move(url)), serviceNamespace(std::move(serviceNamespace)) {
    if (const char* address = std::getenv(kConnectToVariable); address != nullptr) {
        connectTo = address;
    }
}

SoapClient::~SoapClient() = default;

HRESULT SoapClient::Fail(int32_t number) {
    clientError = number;
    return number == Err_SOAPCLIENT_OUTOFMEMORY ? E_OUTOFMEMORY : E_FAIL;
}

HRESULT SoapClient::Call(std::string_view operation, BSTR xml, BSTR* result) noexcept {
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = nullptr;
    clientError = ErrNone;
    int32_t stage = Err_SOAPCLIENT_INITIALIZE_ERROR;
    try {
        if (!reader) {
            reader = std::make_unique<XmlReader>();
        }
        if (!reader->Ready()) {
            reader.reset();
            return Fail(Err_SOAPCLIENT_INITIALIZE_ERROR);
        }

        stage = Err_SOAPCLIENT_OUTOFMEMORY;
        const std::u16string_view argument = BstrView(xml);
        const bool wellFormed = IsWellFormedWide(argument);
        const std::string narrow = NarrowFromWide(argument);

        stage = Err_SOAPCLIENT_GENERATE_ERROR;
        const std::optional<std::string> envelope =
            wellFormed
                ? WriteSoapRequest(serviceNamespace, operation, xml != nullptr ? &narrow : nullptr)
                : std::nullopt;
        if (!envelope) {
            return Fail(Err_SOAPCLIENT_GENERATE_ERROR);
        }

        stage = Err_SOAPCLIENT_SEND_ERROR;
        HttpRequest request;
        request.method = "POST";
        request.url = url;
        request.body = *envelope;
        request.headers = {
            {"Content-Type", "text/xml; charset=utf-8"},
            {"Accept", "text/xml"},
            {"User-Agent", "Microsoft-ATL-Native/7.00"},
            {"SOAPAction", "\"" + serviceNamespace + std::string(operation) + "\""},
        };
        request.limits = limits;
        request.connectTo = connectTo;
        request.cancel = cancel;
        const HttpAnswer answer = SendHttpRequest(request);
        if (const int32_t failed = ExchangeErrorNumber(answer); failed != ErrNone) {
            return Fail(failed);
        }
        const bool success = answer.status >= 200 && answer.status < 300;
        if (!success && answer.status != 500) {
            return Fail(Err_SOAPCLIENT_SERVER_ERROR);
        }

        stage = Err_SOAPCLIENT_PARSE_ERROR;
        const SoapAnswer read = ReadSoapAnswer(*reader, answer.body, serviceNamespace, operation);
        if (read.kind == SoapAnswer::Kind::Fault) {
            return Fail(Err_SOAPCLIENT_SOAPFAULT);
        }
        if (!success || read.kind == SoapAnswer::Kind::BadFault) {
            return Fail(Err_SOAPCLIENT_PARSEFAULT_ERROR);
        }
        if (read.kind != SoapAnswer::Kind::Result) {
            return Fail(Err_SOAPCLIENT_PARSE_ERROR);
        }
        if (read.resultPresent) {
            *result = AllocBstrFromNarrow(read.text);
            if (*result == nullptr) {
                return Fail(Err_SOAPCLIENT_OUTOFMEMORY);
            }
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return Fail(Err_SOAPCLIENT_OUTOFMEMORY);
    } catch (...) {
        return Fail(stage);
    }
}
