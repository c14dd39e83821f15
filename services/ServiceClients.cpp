#include "services/ServiceClients.h"

void LowerCaseGameFolder(std::string& gameFolder) {
    for (char& c : gameFolder) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

std::string RewriteEndpointHost(std::string& gameFolder, std::string_view url) {
    LowerCaseGameFolder(gameFolder);
    std::string prefix = "http://";
    for (const char c : gameFolder) {
        if (c != ' ') {
            prefix += c;
        }
    }
    prefix += '.';
    constexpr std::string_view pattern = "http://www.";
    std::string rewritten;
    std::size_t start = 0;
    while (true) {
        const std::size_t found = url.find(pattern, start);
        if (found == std::string_view::npos) {
            rewritten += url.substr(start);
            return rewritten;
        }
        rewritten += url.substr(start, found - start);
        rewritten += prefix;
        start = found + pattern.size();
    }
}
