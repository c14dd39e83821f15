#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The board files of the grid mini-games: a few header lines ("offsetX:", "offsetY:",
// "Columns:", "Rows:", then the game's own words), the line "BOARD_SHAPE:" and one line per row
// with one letter per cell, in either case. Every game reads its file through this one reader and
// gives only its own header words and letters.

// A header line a game adds after "Rows:": its word with the colon, and the field its number
// goes to (an integer or a decimal number). A number that is missing or not a number leaves the
// field as it was.
struct BoardHeaderWord {
    std::string_view word;
    std::variant<int32_t*, float*> value;
};

// What a game reads of its file.
struct BoardLayout {
    std::vector<BoardHeaderWord> gameWords;
    bool hasShape = true;     // "BOARD_SHAPE:" and the rows follow the header
    std::string_view letters; // the cells' letters, in upper case
};

struct Board {
    static constexpr int32_t kMaxSize = 64; // columns and rows

    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    // Row by row from the top, each the first `columns` letters of its line in upper case.
    std::vector<std::string> cells;

    char Cell(int32_t column, int32_t row) const {
        return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
};

// Reads the file through the file layer into board, whose header fields keep their values where
// a line gives no number. Lines are read whole, a carriage return at their end dropped. Throws
// Exception: "Can't find file %s"; "Expected: \"%s\". %s found instead." with the word found;
// "Wrong map tile definition" for a letter the game does not know; and, naming the file, for
// Columns or Rows outside 1 to 64 and for a row that is missing or shorter than Columns.
void ReadBoardFile(const std::string& path, const BoardLayout& layout, Board& board);
