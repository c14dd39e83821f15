#include "puzzles/BoardFile.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"

#include <cctype>
#include <charconv>
#include <istream>
#include <memory>

namespace {

// Gives the stream back to the file layer however the reader ends.
struct StreamCloser {
    void operator()(std::istream* stream) const { Files.Close(stream); }
};
using BoardStream = std::unique_ptr<std::istream, StreamCloser>;

// The next line without its line end; empty at the end of the file.
std::string NextLine(std::istream& in, bool& found) {
    std::string line;
    found = static_cast<bool>(std::getline(in, line));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The first word of the line and what follows it, white space before both skipped.
std::string_view FirstWord(std::string_view line, std::string_view& rest) {
    std::size_t at = 0;
    while (at < line.size() && IsSpace(line[at])) {
        ++at;
    }
    std::size_t end = at;
    while (end < line.size() && !IsSpace(line[end])) {
        ++end;
    }
    rest = line.substr(end);
    while (!rest.empty() && IsSpace(rest.front())) {
        rest.remove_prefix(1);
    }
    return line.substr(at, end - at);
}

// Scans a number at the start of text as a scanf conversion would: the longest prefix that is
// one; nothing changes when there is none.
template <typename Number>
void ScanNumber(std::string_view text, Number& value) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    Number scanned{};
    const auto [stop, failure] = std::from_chars(text.data(), text.data() + text.size(), scanned);
    if (failure == std::errc() && stop != text.data()) {
        value = scanned;
    }
}

void ReadHeader(std::istream& in, std::string_view word, std::variant<int32_t*, float*> value) {
    bool found = false;
    const std::string line = NextLine(in, found);
    std::string_view rest;
    const std::string_view seen = FirstWord(line, rest);
    if (seen != word) {
        throw Exception("Expected: \"%s\". %s found instead.", MessagePart(word).c_str(),
                        MessagePart(seen).c_str());
    }
    std::visit([rest](auto* field) { ScanNumber(rest, *field); }, value);
}

void CheckSize(const std::string& path, const char* what, int32_t size) {
    if (size < 1 || size > Board::kMaxSize) {
        throw Exception("%s: %s %d outside 1 to %d", MessagePart(path).c_str(), what, size,
                        Board::kMaxSize);
    }
}

} // namespace

void ReadBoardFile(const std::string& path, const BoardLayout& layout, Board& board) {
    const BoardStream in(Files.Open(path));
    if (in == nullptr) {
        throw Exception("Can't find file %s", MessagePart(path).c_str());
    }
    ReadHeader(*in, "offsetX:", &board.offsetX);
    ReadHeader(*in, "offsetY:", &board.offsetY);
    ReadHeader(*in, "Columns:", &board.columns);
    ReadHeader(*in, "Rows:", &board.rows);
    for (const BoardHeaderWord& extra : layout.gameWords) {
        ReadHeader(*in, extra.word, extra.value);
    }
    board.cells.clear();
    // A broken board is never a playable one: its size is checked before anything is made, also
    // for games that make their cells from the header alone.
    CheckSize(path, "Columns", board.columns);
    CheckSize(path, "Rows", board.rows);
    if (!layout.hasShape) {
        return;
    }
    bool found = false;
    const std::string shape = NextLine(*in, found);
    std::string_view rest;
    const std::string_view seen = FirstWord(shape, rest);
    if (seen != "BOARD_SHAPE:") {
        throw Exception("Expected: \"BOARD_SHAPE:\". %s found instead.", MessagePart(seen).c_str());
    }
    const auto columns = static_cast<std::size_t>(board.columns);
    for (int32_t row = 0; row < board.rows; ++row) {
        std::string line = NextLine(*in, found);
        if (!found) {
            throw Exception("%s: row %d of %d is missing", MessagePart(path).c_str(), row + 1,
                            board.rows);
        }
        if (line.size() < columns) {
            throw Exception("%s: row %d has %zu of %d letters", MessagePart(path).c_str(), row + 1,
                            line.size(), board.columns);
        }
        line.resize(columns);
        for (char& letter : line) {
            letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
            if (letter == '\0' || layout.letters.find(letter) == std::string_view::npos) {
                throw Exception("Wrong map tile definition");
            }
        }
        board.cells.push_back(std::move(line));
    }
}
