// The board reader of the grid mini-games: the header words in order, the shape, the rows and
// their letters, and the exact texts of its errors.

#include "puzzles/BoardFile.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class BoardFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder.MakeFolder("data");
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
    }

    void WriteBoard(const std::string& text) const { folder.Write("data/board.txt", text); }

    // The error text of reading board.txt with the letters E and O; empty when it reads.
    std::string ErrorOf(const BoardLayout& layout, Board& board) const {
        try {
            ReadBoardFile("board.txt", layout, board);
        } catch (const Exception& error) {
            return error.Text();
        }
        return "";
    }

    TempFolder folder{TempFolder::Enter::Yes};
    BoardLayout blocks{{}, true, "EO"};
};

const char* const kHeader = "offsetX: 100\noffsetY: 50\nColumns: 3\nRows: 2\n";

TEST_F(BoardFileTest, ReadsTheHeaderAndTheRowsOfAValidBoard) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> cells;
    };
    const std::vector<Case> cases = {
        {"minimal", std::string(kHeader) + "BOARD_SHAPE:\nEOE\nOEE\n", {"EOE", "OEE"}},
        {"lower case", std::string(kHeader) + "BOARD_SHAPE:\neoE\noee\n", {"EOE", "OEE"}},
        {"CR LF",
         "offsetX: 100\r\noffsetY: 50\r\nColumns: 3\r\nRows: 2\r\nBOARD_SHAPE:\r\nEOE\r\n"
         "OEE\r\n",
         {"EOE", "OEE"}},
        {"a long row is cut",
         std::string(kHeader) + "BOARD_SHAPE:\nEEOEE" + std::string(5000, 'x') + "\nOEE",
         {"EEO", "OEE"}},
        {"a 20-character header",
         "offsetX:         100\noffsetY: 50\nColumns: 3\nRows: 2\n"
         "BOARD_SHAPE:\nEOE\nOEE\n",
         {"EOE", "OEE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBoard(c.text);
        Board board;
        ASSERT_EQ(ErrorOf(blocks, board), "");
        EXPECT_EQ(board.offsetX, 100);
        EXPECT_EQ(board.offsetY, 50);
        EXPECT_EQ(board.columns, 3);
        EXPECT_EQ(board.rows, 2);
        EXPECT_EQ(board.cells, c.cells);
    }
}

TEST_F(BoardFileTest, AOneByOneBoardIsLegal) {
    WriteBoard("offsetX: 7\noffsetY: 9\nColumns: 1\nRows: 1\nBOARD_SHAPE:\nO\n");
    Board board;
    ASSERT_EQ(ErrorOf(blocks, board), "");
    EXPECT_EQ(board.Cell(0, 0), 'O');
    EXPECT_EQ(board.offsetX, 7);
}

TEST_F(BoardFileTest, FaultsStopWithTheirTexts) {
    struct Case {
        const char* name;
        std::string text; // empty: no file at all
        std::string error;
    };
    const std::vector<Case> cases = {
        {"no file", "", "Can't find file board.txt"},
        {"Columns on line 2", "offsetX: 1\nColumns: 3\nRows: 2\n",
         "Expected: \"offsetY:\". Columns: found instead."},
        {"no shape word", std::string(kHeader) + "SHAPE:\nEOE\nOEE\n",
         "Expected: \"BOARD_SHAPE:\". SHAPE: found instead."},
        {"an unknown letter", std::string(kHeader) + "BOARD_SHAPE:\nExE\nOEE\n",
         "Wrong map tile definition"},
        {"a short row", std::string(kHeader) + "BOARD_SHAPE:\nEOE\nOE\n",
         "board.txt: row 2 has 2 of 3 letters"},
        {"a missing row", std::string(kHeader) + "BOARD_SHAPE:\nEOE\n",
         "board.txt: row 2 of 2 is missing"},
        {"no columns", "offsetX: 1\noffsetY: 1\nColumns: 0\nRows: 2\nBOARD_SHAPE:\n",
         "board.txt: Columns 0 outside 1 to 64"},
        {"negative rows", "offsetX: 1\noffsetY: 1\nColumns: 2\nRows: -1\nBOARD_SHAPE:\n",
         "board.txt: Rows -1 outside 1 to 64"},
        {"a huge board", "offsetX: 1\noffsetY: 1\nColumns: 100000\nRows: 2\nBOARD_SHAPE:\n",
         "board.txt: Columns 100000 outside 1 to 64"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder / "data/board.txt");
        if (!c.text.empty()) {
            WriteBoard(c.text);
        }
        Board board;
        EXPECT_EQ(ErrorOf(blocks, board), c.error);
    }
}

TEST_F(BoardFileTest, AGameAddsItsOwnHeaderWordsInOrder) {
    int32_t spots = 0;
    float maxTime = 0.0f;
    const BoardLayout moles{{{"MaxTime:", &maxTime}, {"MaxSpots:", &spots}}, true, "EO"};
    WriteBoard(std::string(kHeader) + "MaxTime: 12.5\nMaxSpots: 4\nBOARD_SHAPE:\nEEE\nEEE\n");
    Board board;
    ASSERT_EQ(ErrorOf(moles, board), "");
    EXPECT_FLOAT_EQ(maxTime, 12.5f);
    EXPECT_EQ(spots, 4);

    // Out of order, the first word that does not fit is named.
    WriteBoard(std::string(kHeader) + "MaxSpots: 4\nMaxTime: 12.5\nBOARD_SHAPE:\nEEE\nEEE\n");
    EXPECT_EQ(ErrorOf(moles, board), "Expected: \"MaxTime:\". MaxSpots: found instead.");

    // A file without a shape ends after its header; a word without its number keeps the field.
    int32_t patternSize = 3;
    float speed = 0.0f;
    const BoardLayout notes{{{"PatternSize:", &patternSize}, {"Speed:", &speed}}, false, ""};
    WriteBoard(std::string(kHeader) + "PatternSize:\nSpeed: 1.25\n");
    ASSERT_EQ(ErrorOf(notes, board), "");
    EXPECT_EQ(patternSize, 3);
    EXPECT_FLOAT_EQ(speed, 1.25f);
}

} // namespace
