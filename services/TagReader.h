#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// What the tag reader tells a document's handlers, in document order. The handlers react to
// tag names wherever the tags stand: nesting, order and unknown tags mean nothing to them.
class TagHandler {
public:
    virtual void StartTag(std::string_view name) = 0;
    // The text after a tag, up to the next "<"; it belongs to the tag started last.
    virtual void Text(std::string_view content) = 0;
    virtual void EndTag(std::string_view name) = 0;

protected:
    ~TagHandler() = default;
};

// The deepest nesting the reader follows; the services' documents go four levels deep.
constexpr int kMaxTagDepth = 256;

// The small tag reader of the services' answers: start tags, text and end tags of one root
// element, nothing else (no attributes, comments, entities or self-closing tags; an XML
// declaration counts as an element that encloses the rest). The text ends at its first zero
// byte. Texts are delivered as they stand, blanks and line breaks included, but an empty text is
// not delivered, so the nothing between two elements never wipes the value of the first. A
// document nested deeper than kMaxTagDepth delivers nothing at all: false.
bool ReadTags(std::string_view text, TagHandler& handler);

// The numbers of the documents: leading white space, an optional sign, then digits up to the
// first other character; 0 when there is no digit. Values beyond the type's range saturate.
int32_t ReadDecimal32(std::string_view text);
int64_t ReadDecimal64(std::string_view text);
