#pragma once

#include <optional>
#include <string>
#include <string_view>

class XmlReader;

constexpr std::string_view kSoapEnvelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr std::string_view kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";

// The request envelope of an operation with its one string argument "xml" (narrow text in the
// system code page, written escaped); no argument writes a nil "xml". Nothing when the text
// holds a character that an XML document cannot carry.
std::optional<std::string> WriteSoapRequest(std::string_view serviceNamespace,
                                            std::string_view operation, const std::string* xml);

// What an answer envelope held.
struct SoapAnswer {
    enum class Kind {
        Result,   // the operation's answer element; `text` is its result
        Fault,    // a SOAP fault with its code and string
        BadFault, // a fault element without them
        Unreadable,
    };
    Kind kind = Kind::Unreadable;
    bool resultPresent = false; // false: the result was left out or nil
    std::string text;           // the result, or the fault string
    std::string error;          // why it was unreadable
};

// Reads an answer envelope of the operation: Envelope, Body, then "{operation}Response" in the
// service's namespace holding "{operation}Result", or a Fault.
SoapAnswer ReadSoapAnswer(XmlReader& reader, std::string_view document,
                          std::string_view serviceNamespace, std::string_view operation);
