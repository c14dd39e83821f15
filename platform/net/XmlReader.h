#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct XmlAttribute {
    std::string_view uri; // namespace, empty when none
    std::string_view name;
    std::string_view value;
};

// What a document's reader is told, in document order. Names come as namespace URI and local
// name; text may come in several pieces. Each returns false to stop the reading.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual bool StartElement(std::string_view uri, std::string_view name,
                              std::span<const XmlAttribute> attributes) = 0;
    virtual bool EndElement(std::string_view uri, std::string_view name) = 0;
    virtual bool Text(std::string_view text) = 0;
};

struct XmlLimits {
    std::size_t maxSize = 8 * 1024 * 1024;
    int maxDepth = 64;
};

// A SAX-style reader of whole documents with namespaces. Documents with a document type
// declaration are refused (nothing the services send has one, and it is where entity
// expansion attacks live), as are documents beyond the limits.
class XmlReader {
public:
    XmlReader();
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // False when the parser could not be made (memory); every Read then fails.
    bool Ready() const;

    // Reads one document; false with the reason in `error` when it is not well-formed, breaks
    // a limit, has a document type declaration, or a handler stopped it.
    bool Read(std::string_view document, XmlHandler& handler, std::string& error,
              const XmlLimits& limits = {});

private:
    struct Parser;
    std::unique_ptr<Parser> parser;
};
