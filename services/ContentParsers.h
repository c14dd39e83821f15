#pragma once

#include "services/ContentItem.h"
#include "services/TagReader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The handlers of the content service's answer document: its "data" and "status" (its "id" is
// not read).
class ContentAnswerParser final : public TagHandler {
public:
    // False (with nothing read) when the document is nested too deeply.
    bool Parse(std::string_view text);

    const std::string& Data() const { return data; }
    int32_t Status() const { return status; }

    void StartTag(std::string_view name) override;
    void Text(std::string_view content) override;
    void EndTag(std::string_view) override {}

private:
    std::string lastTag;
    std::string data;
    int32_t status = 0;
};

// The handlers of a content document (the decrypted data of both content answers and of
// "content.xml"): "items", "item" entries and the game "id".
class ContentListParser final : public TagHandler {
public:
    bool Parse(std::string_view text);

    const std::vector<ContentItem>& Items() const { return items; }
    int32_t GameId() const { return gameId; }
    // The data and logo URLs of the last "file" and "logo" of the document.
    const std::string& LastDataUrl() const { return lastDataUrl; }
    const std::string& LastLogoUrl() const { return lastLogoUrl; }

    void StartTag(std::string_view name) override;
    void Text(std::string_view content) override;
    void EndTag(std::string_view name) override;

private:
    std::string lastTag;
    std::vector<ContentItem> items;
    ContentItem current;
    int32_t gameId = 0;
    std::string lastDataUrl;
    std::string lastLogoUrl;
};
