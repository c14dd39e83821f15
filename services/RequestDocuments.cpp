#include "services/RequestDocuments.h"

#include <string_view>

namespace {

// "<name>value</name>", the one pattern of every element.
void AppendElement(std::string& out, std::string_view name, std::string_view value) {
    out += '<';
    out += name;
    out += '>';
    out += value;
    out += "</";
    out += name;
    out += '>';
}

void AppendElement(std::string& out, std::string_view name, int32_t value) {
    AppendElement(out, name, std::to_string(value));
}

void AppendElement(std::string& out, std::string_view name, int64_t value) {
    AppendElement(out, name, std::to_string(value));
}

std::string Parameters(const std::string& children) {
    return "<parameters>" + children + "</parameters>";
}

} // namespace

std::string GetListRequest::Text() const {
    std::string children;
    AppendElement(children, "id", game);
    AppendElement(children, "count", count);
    AppendElement(children, "email", login);
    AppendElement(children, "password", password);
    return Parameters(children);
}

std::string ReportRequest::Text() const {
    std::string children;
    AppendElement(children, "id", game);
    AppendElement(children, "mode", gameMode);
    AppendElement(children, "name", name);
    AppendElement(children, "value", score);
    AppendElement(children, "description", scoreDescription);
    AppendElement(children, "email", login);
    AppendElement(children, "password", password);
    return Parameters(children);
}

std::string DownloadRequest::Text() const {
    std::string children;
    AppendElement(children, "id", game);
    AppendElement(children, "number", number);
    AppendElement(children, "email", login);
    AppendElement(children, "password", password);
    return Parameters(children);
}

std::string RequestEnvelope::Text() const {
    std::string children;
    AppendElement(children, "id", game);
    AppendElement(children, "data", data);
    return Parameters(children);
}
