#include "services/ContentParsers.h"

bool ContentAnswerParser::Parse(std::string_view text) {
    return ReadTags(text, *this);
}

void ContentAnswerParser::StartTag(std::string_view name) {
    lastTag = name;
    if (name == "data") {
        data.clear();
    } else if (name == "status") {
        status = 0;
    }
}

void ContentAnswerParser::Text(std::string_view content) {
    if (lastTag == "data") {
        data = content;
    } else if (lastTag == "status") {
        status = ReadDecimal32(content);
    }
}

bool ContentListParser::Parse(std::string_view text) {
    return ReadTags(text, *this);
}

void ContentListParser::StartTag(std::string_view name) {
    lastTag = name;
    if (name == "items") {
        items.clear();
    } else if (name == "item") {
        current = ContentItem();
    } else if (name == "id") {
        gameId = 0;
    }
}

void ContentListParser::Text(std::string_view content) {
    if (lastTag == "description") {
        current.description = content;
    } else if (lastTag == "name") {
        current.name = content;
    } else if (lastTag == "fileextension") {
        current.fileExtension = content;
    } else if (lastTag == "logoextension") {
        current.logoExtension = content;
    } else if (lastTag == "file") {
        current.dataUrl = content;
        lastDataUrl = content;
    } else if (lastTag == "filesize") {
        current.fileSizeText = content;
        current.fileSize = ReadDecimal32(content);
    } else if (lastTag == "logo") {
        current.logoUrl = content;
        lastLogoUrl = content;
    } else if (lastTag == "logosize") {
        current.logoSizeText = content;
        current.logoSize = ReadDecimal32(content);
    } else if (lastTag == "number") {
        current.number = ReadDecimal32(content);
    } else if (lastTag == "id") {
        gameId = ReadDecimal32(content);
    }
}

void ContentListParser::EndTag(std::string_view name) {
    if (name == "item") {
        items.push_back(current);
        current = ContentItem();
    }
}
