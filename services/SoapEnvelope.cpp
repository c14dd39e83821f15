#include "services/SoapEnvelope.h"

#include "platform/net/XmlReader.h"

namespace {

// True for the characters an XML 1.0 document can hold; reads one UTF-8 sequence. Malformed
// sequences never reach here: the text comes from a conversion that replaces them.
bool AppendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '&':
            out += "&amp;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        case '\r':
            out += "&#xD;"; // survives the reader's line-end normalisation
            continue;
        default:
            break;
        }
        if (c < 0x20 && c != '\t' && c != '\n') {
            return false;
        }
        // U+FFFE and U+FFFF are no characters of a document either: EF BF BE, EF BF BF.
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
            return false;
        }
        out += static_cast<char>(c);
    }
    return true;
}

// Follows the envelope down to the result or the fault; anything out of place makes the answer
// unreadable.
class AnswerHandler : public XmlHandler {
public:
    AnswerHandler(std::string_view serviceNamespace, std::string_view operation)
        : serviceNamespace(serviceNamespace), response(std::string(operation) + "Response"),
          result(std::string(operation) + "Result") {}

    bool StartElement(std::string_view uri, std::string_view name,
                      std::span<const XmlAttribute> attributes) override {
        ++depth;
        if (skipping > 0) {
            ++skipping;
            return true;
        }
        switch (depth) {
        case 1:
            return Expect(uri == kSoapEnvelopeNamespace && name == "Envelope",
                          "the answer is not a SOAP envelope");
        case 2:
            if (uri == kSoapEnvelopeNamespace && name == "Header" && !bodySeen) {
                skipping = 1;
                return true;
            }
            if (uri == kSoapEnvelopeNamespace && name == "Body" && !bodySeen) {
                bodySeen = true;
                return true;
            }
            return Expect(false, "the envelope holds no single body");
        case 3:
            if (answer.kind != SoapAnswer::Kind::Unreadable || faultSeen) {
                return Expect(false, "the body holds more than one element");
            }
            if (uri == kSoapEnvelopeNamespace && name == "Fault") {
                faultSeen = true;
                return true;
            }
            if (uri == serviceNamespace && name == response) {
                responseSeen = true;
                return true;
            }
            return Expect(false, "the body holds neither the operation's answer nor a fault");
        case 4:
            if (faultSeen) {
                field = uri.empty() && (name == "faultcode" || name == "faultstring")
                            ? std::string(name)
                            : std::string();
                if (field.empty()) {
                    skipping = 1; // faultactor, detail: not needed
                }
                return true;
            }
            if (uri != serviceNamespace || name != result || resultSeen) {
                return Expect(false, "the answer element holds something besides its result");
            }
            resultSeen = true;
            inResult = true;
            answer.resultPresent = !IsNil(attributes);
            return true;
        default:
            return Expect(false, "the result holds elements, not text");
        }
    }

    bool EndElement(std::string_view, std::string_view) override {
        if (skipping > 0) {
            --skipping;
        }
        if (depth == 4) {
            inResult = false;
            field.clear();
        }
        --depth;
        return true;
    }

    bool Text(std::string_view text) override {
        if (skipping > 0) {
            return true;
        }
        if (inResult) {
            answer.text += text;
        } else if (field == "faultcode") {
            faultCode += text;
        } else if (field == "faultstring") {
            faultString += text;
        }
        return true;
    }

    SoapAnswer Finish() {
        if (faultSeen) {
            answer.kind = faultCode.empty() || faultString.empty() ? SoapAnswer::Kind::BadFault
                                                                   : SoapAnswer::Kind::Fault;
            answer.text = faultString;
        } else if (responseSeen) {
            answer.kind = SoapAnswer::Kind::Result;
            if (!answer.resultPresent) {
                answer.text.clear();
            }
        } else {
            answer.kind = SoapAnswer::Kind::Unreadable;
            answer.error = "the answer holds no body";
        }
        return answer;
    }

private:
    bool Expect(bool condition, const char* reason) {
        if (!condition && answer.error.empty()) {
            answer.error = reason;
        }
        return condition;
    }

    static bool IsNil(std::span<const XmlAttribute> attributes) {
        for (const XmlAttribute& attribute : attributes) {
            if (attribute.uri == kSchemaInstanceNamespace && attribute.name == "nil") {
                return attribute.value == "true" || attribute.value == "1";
            }
        }
        return false;
    }

    std::string_view serviceNamespace;
    std::string response;
    std::string result;
    SoapAnswer answer;
    int depth = 0;
    int skipping = 0;
    bool bodySeen = false;
    bool faultSeen = false;
    bool responseSeen = false;
    bool resultSeen = false;
    bool inResult = false;
    std::string field;
    std::string faultCode;
    std::string faultString;
};

} // namespace

std::optional<std::string> WriteSoapRequest(std::string_view serviceNamespace,
                                            std::string_view operation, const std::string* xml) {
    std::string envelope =
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\"><soap:Body><";
    envelope += operation;
    envelope += " xmlns=\"";
    envelope += serviceNamespace;
    envelope += "\">";
    if (xml == nullptr) {
        envelope += "<xml xsi:nil=\"true\"/>";
    } else {
        envelope += "<xml>";
        if (!AppendEscaped(envelope, *xml)) {
            return std::nullopt;
        }
        envelope += "</xml>";
    }
    envelope += "</";
    envelope += operation;
    envelope += "></soap:Body></soap:Envelope>";
    return envelope;
}

SoapAnswer ReadSoapAnswer(XmlReader& reader, std::string_view document,
                          std::string_view serviceNamespace, std::string_view operation) {
    AnswerHandler handler(serviceNamespace, operation);
    std::string error;
    if (!reader.Read(document, handler, error, {document.size(), 16})) {
        SoapAnswer answer = handler.Finish();
        answer.kind = SoapAnswer::Kind::Unreadable;
        if (answer.error.empty()) {
            answer.error = error;
        }
        return answer;
    }
    return handler.Finish();
}
