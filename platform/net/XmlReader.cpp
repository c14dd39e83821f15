#include "platform/net/XmlReader.h"

#include <expat.h>

#include <algorithm>
#include <vector>

namespace {

// Separates namespace and local name in the names the parser reports; a character that no XML
// document can hold, so no name or namespace can fake it.
constexpr char kNamespaceSeparator = '\x1F';

constexpr std::size_t kChunkSize = 1024 * 1024;

void SplitName(const XML_Char* full, std::string_view& uri, std::string_view& name) {
    const std::string_view text(full);
    const std::size_t separator = text.find(kNamespaceSeparator);
    if (separator == std::string_view::npos) {
        uri = {};
        name = text;
    } else {
        uri = text.substr(0, separator);
        name = text.substr(separator + 1);
    }
}

} // namespace

struct XmlReader::Parser {
    XML_Parser expat = nullptr;
    XmlHandler* handler = nullptr;
    int depth = 0;
    int maxDepth = 0;
    std::string stopReason;
    std::vector<XmlAttribute> attributes;

    ~Parser() {
        if (expat != nullptr) {
            XML_ParserFree(expat);
        }
    }

    void Stop(const char* reason) {
        if (stopReason.empty()) {
            stopReason = reason;
        }
        XML_StopParser(expat, XML_FALSE);
    }

    static void OnStart(void* data, const XML_Char* fullName, const XML_Char** pairs) {
        Parser& parser = *static_cast<Parser*>(data);
        if (++parser.depth > parser.maxDepth) {
            parser.Stop("the document is nested too deeply");
            return;
        }
        parser.attributes.clear();
        for (int i = 0; pairs[i] != nullptr; i += 2) {
            XmlAttribute attribute;
            SplitName(pairs[i], attribute.uri, attribute.name);
            attribute.value = pairs[i + 1];
            parser.attributes.push_back(attribute);
        }
        std::string_view uri;
        std::string_view name;
        SplitName(fullName, uri, name);
        if (!parser.handler->StartElement(uri, name, parser.attributes)) {
            parser.Stop("the reader's handler stopped at an element");
        }
    }

    static void OnEnd(void* data, const XML_Char* fullName) {
        Parser& parser = *static_cast<Parser*>(data);
        --parser.depth;
        std::string_view uri;
        std::string_view name;
        SplitName(fullName, uri, name);
        if (!parser.handler->EndElement(uri, name)) {
            parser.Stop("the reader's handler stopped at an element's end");
        }
    }

    static void OnText(void* data, const XML_Char* text, int length) {
        Parser& parser = *static_cast<Parser*>(data);
        if (!parser.handler->Text(std::string_view(text, static_cast<std::size_t>(length)))) {
            parser.Stop("the reader's handler stopped at a text");
        }
    }

    static void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        static_cast<Parser*>(data)->Stop("document type declarations are not accepted");
    }
};

XmlReader::XmlReader() : parser(std::make_unique<Parser>()) {
    // No encoding forced: a document's own declaration holds (the parser knows UTF-8, UTF-16,
    // ISO-8859-1 and ASCII), and the handlers always get UTF-8.
    parser->expat = XML_ParserCreateNS(nullptr, kNamespaceSeparator);
}

XmlReader::~XmlReader() = default;

bool XmlReader::Ready() const {
    return parser->expat != nullptr;
}

bool XmlReader::Read(std::string_view document, XmlHandler& handler, std::string& error,
                     const XmlLimits& limits) {
    if (!Ready()) {
        error = "the XML parser could not be made";
        return false;
    }
    if (document.size() > limits.maxSize) {
        error = "the document is larger than " + std::to_string(limits.maxSize) + " bytes";
        return false;
    }
    XML_Parser expat = parser->expat;
    // A reset parser forgets its handlers, so they are set again for every document.
    if (XML_ParserReset(expat, nullptr) != XML_TRUE) {
        error = "the XML parser could not be reset";
        return false;
    }
    parser->handler = &handler;
    parser->depth = 0;
    parser->maxDepth = limits.maxDepth;
    parser->stopReason.clear();
    XML_SetUserData(expat, parser.get());
    XML_SetElementHandler(expat, &Parser::OnStart, &Parser::OnEnd);
    XML_SetCharacterDataHandler(expat, &Parser::OnText);
    XML_SetStartDoctypeDeclHandler(expat, &Parser::OnDoctype);

    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kChunkSize, document.size() - offset);
        const bool last = offset + length == document.size();
        if (XML_Parse(expat, document.data() + offset, static_cast<int>(length),
                      last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
            if (!parser->stopReason.empty()) {
                error = parser->stopReason;
            } else {
                error = std::string(XML_ErrorString(XML_GetErrorCode(expat))) + " at line " +
                        std::to_string(XML_GetCurrentLineNumber(expat));
            }
            return false;
        }
        offset += length;
    } while (offset < document.size());
    return true;
}
