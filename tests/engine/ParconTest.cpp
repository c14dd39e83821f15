#include "engine/Parcon.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;

void Parse(Parcon& parser, const std::string& text, const std::string& fileName = "test.txt") {
    std::istringstream input(text);
    parser.ParseStream(fileName, input);
}

// A value as the tree dumps show it: bare when it reads back as one word, else quoted with C
// escapes so that spaces, quotes, control characters and NUL bytes are visible.
std::string ShowValue(std::string_view text) {
    bool bare = !text.empty() && text[0] != '#';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 0x7f || c == '(' || c == ')' || c == '[' || c == ']' || c == '"' ||
            c == '\\') {
            bare = false;
        }
    }
    if (bare) {
        return std::string(text);
    }
    std::string shown = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            shown += '\\';
            shown += c;
        } else if (u < ' ' || u >= 0x7f) {
            static const char kHex[] = "0123456789abcdef";
            shown += "\\x";
            shown += kHex[u >> 4];
            shown += kHex[u & 15];
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}

// The tree of a list as a compact S-expression: "(name a b)" for a named list, "[a b]" for an
// unnamed one (its placeholder left out). Iterative, so that deep trees dump too.
std::string Dump(const ParconList& top) {
    struct Frame {
        ParconList list;
        std::size_t next;
    };
    std::string out;
    std::vector<Frame> stack;
    auto open = [&](const ParconList& list) {
        const bool unnamed = !list.elements.empty() && !list.elements[0].hasText &&
                             list.elements[0].kind == ParconNode::kValue;
        out += unnamed ? '[' : '(';
        stack.push_back({list, unnamed ? 1u : 0u});
    };
    open(top);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const ParconList list = frame.list;
        const auto& elements = list.elements;
        if (frame.next == elements.size()) {
            const bool unnamed =
                !elements.empty() && !elements[0].hasText && elements[0].kind == ParconNode::kValue;
            out += unnamed ? ']' : ')';
            stack.pop_back();
            continue;
        }
        const bool first = frame.next == 0 || (frame.next == 1 && !elements[0].hasText &&
                                               elements[0].kind == ParconNode::kValue);
        if (!first) {
            out += ' ';
        }
        const ParconNode& node = elements[frame.next++];
        if (node.kind == ParconNode::kList) {
            open(list.List(node));
        } else {
            out += ShowValue(list.Text(node));
        }
    }
    return out;
}

// The top-level elements of a text, as Dump shows them, without the root's brackets and name.
std::string Tree(const std::string& text) {
    Parcon parser;
    Parse(parser, text);
    const std::string root = Dump(*parser.Root());
    const std::string prefix = "(__root__";
    EXPECT_EQ(root.substr(0, prefix.size()), prefix);
    std::string inner = root.substr(prefix.size(), root.size() - prefix.size() - 1);
    return inner.empty() ? inner : inner.substr(1);
}

// ---------------------------------------------------------------------------------------------
// Notation and tree building

struct NotationCase {
    const char* name;
    std::string input;
    std::string tree;
};

// Test output names the case instead of dumping its bytes.
void PrintTo(const NotationCase& c, std::ostream* out) {
    *out << c.name;
}

class ParconNotation : public testing::TestWithParam<NotationCase> {};

TEST_P(ParconNotation, ParsesToTree) {
    EXPECT_EQ(Tree(GetParam().input), GetParam().tree);
}

const NotationCase kNotationCases[] = {
    {"Empty", "", ""},
    {"OnlySpaceAndComments", "  \n\t# nothing here\n\r\n", ""},
    {"NamedList", "(full_screen 1)", "(full_screen 1)"},
    {"TopLevelValues", "a b\nc", "a b c"},
    {"ListOverLines", "(scene\n  (object x)\n  (object y)\n)", "(scene (object x) (object y))"},
    {"UnnamedList", "[1 2 3]", "[1 2 3]"},
    {"EmptyNamedList", "()", "()"},
    {"EmptyUnnamedList", "[ ]", "[]"},
    {"NamedListNamedByList", "((a) b)", "((a) b)"},
    {"BracketsAgainstWords", "a(b)c[d]e", "a (b) c [d] e"},
    {"EveryIsspaceSeparates", "a\tb\vc\fd\re f", "a b c d e f"},
    {"CrLfLines", "(a 1)\r\n(b 2)\r\n", "(a 1) (b 2)"},
    {"HighBytesAreNotSpace",
     "a\xa0"
     "b \x85",
     R"("a\xa0b" "\x85")"},
    // ')' or ']' closes the innermost list, whichever bracket opened it.
    {"SquareClosesRound", "(a (b c] d)", "(a (b c) d)"},
    {"RoundClosesSquare", "(a [b c) d]", "(a [b c] d)"},
    // The end of the file closes every open list.
    {"MissingCloseAtEnd", "(a b", "(a b)"},
    {"SeveralMissingCloses", "(a (b [c", "(a (b [c]))"},
    // A closing bracket at the top level ends the file.
    {"TopLevelCloseEndsFile", "a b) c (d)", "a b"},
    {"ExtraCloseEndsFile", "(a)) (b)", "(a)"},
    {"LeadingCloseEndsFile", "] (a)", ""},
    {"TopLevelCloseEndsLaterLines", "(a)\n)\n(b)", "(a)"},
    // '#' begins a comment only at the start of a token.
    {"HashInWord", "a#b c", "a#b c"},
    {"CommentAfterSpace", "a #b c\nd", "a d"},
    {"CommentAtLineStart", "# (x)\n(y)", "(y)"},
    {"CommentAfterBracket", "(#comment\n b)", "(b)"},
    {"CommentAfterQuote", "\"a\"#b c\nd", "a d"},
    {"HashInListName", "(a#b 1)", "(a#b 1)"},
    {"HashInQuote", "\"#x\" y", "\"#x\" y"},
    // Quoted strings.
    {"QuotedWithSpaces", "\"a b\" c", "\"a b\" c"},
    {"QuotedBrackets", "(\"(x]\" 1)", "(\"(x]\" 1)"},
    {"EscapedQuotes", R"("say \"hi\"")", R"("say \"hi\"")"},
    {"BackslashStandsForItself", R"("a\b\\c")", R"("a\\b\\\\c")"},
    {"BackslashBeforeEscapedQuote", R"("a\\"b")", R"("a\\\"b")"},
    {"EmptyQuoted", R"("")", R"("")"},
    {"TwoEmptyQuoted", R"("""")", R"("" "")"},
    {"QuotesBackToBack", R"("a""b")", "a b"},
    {"TokenRightAfterQuote", R"("a"b "c")", "a b c"},
    {"WordRightAfterQuoteRunsOn", R"("a"b"c")", R"(a "b\"c\"")"},
    {"ListRightAfterQuote", R"("a"(b))", "a (b)"},
    {"QuoteInsideWordIsPlain", R"(x"y z")", R"("x\"y" "z\"")"},
    // An unterminated quote runs to the end of its line and no further.
    {"UnterminatedQuote", "(a \"b c)\n(d)", "(a \"b c)\" (d))"},
    {"UnterminatedQuoteDropsCr", "\"abc\r\nd", "abc d"},
    {"UnterminatedQuoteAtEndOfFile", "x \"", "x \"\""},
    {"UnterminatedAfterEscape", R"("a\")", R"("a\"")"},
    {"BackslashAtEndOfLine", "\"a\\\nb", R"("a\\" b)"},
    // NUL bytes are ordinary bytes of the text.
    {"NulInWord", "a\0b c"s, R"("a\x00b" c)"},
    {"NulInQuote", "\"x\0\" y"s, R"("x\x00" y)"},
    {"NulLine", "\0\0\n(a)"s, R"("\x00\x00" (a))"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParconNotation, testing::ValuesIn(kNotationCases),
                         [](const auto& test) { return test.param.name; });

TEST(Parcon, RootIsNamedRootAndRecordsTheFileEverywhere) {
    Parcon parser;
    Parse(parser, "(a [1 \"2\"] (b))\nc", "defs\\file.txt");
    const ParconList* root = parser.Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(parser.RootCursor().GetString("x"), "__root__");
    EXPECT_EQ(parser.RootCursor().GetListName(), "__root__");

    std::vector<ParconList> pending{*root};
    int nodeCount = 0;
    while (!pending.empty()) {
        const ParconList list = pending.back();
        pending.pop_back();
        EXPECT_EQ(list.FileName(), "defs\\file.txt");
        for (const ParconNode& node : list.elements) {
            ++nodeCount;
            if (node.kind == ParconNode::kList) {
                pending.push_back(list.List(node));
            }
        }
    }
    // root: __root__ (a ..) c; a: a [..] (b); [..]: placeholder 1 2; (b): b
    EXPECT_EQ(nodeCount, 10);
}

TEST(Parcon, NoRootBeforeTheFirstFile) {
    Parcon parser;
    EXPECT_EQ(parser.Root(), nullptr);
    ParconCursor cursor = parser.RootCursor();
    EXPECT_FALSE(cursor.Next());
    EXPECT_EQ(cursor.Current(), nullptr);
}

TEST(Parcon, LongLineIsReadWhole) {
    const std::string word(5000, 'w');
    std::string text = "(long " + word + " \"";
    for (int i = 0; i < 300; ++i) {
        text += "quoted ";
    }
    text += "\")\n(next 1)";
    Parcon parser;
    Parse(parser, text);
    ParconCursor top = parser.RootCursor();
    ASSERT_TRUE(top.Next());
    ParconCursor list(top.GetList(), 0);
    EXPECT_EQ(list.NextString(true, ""), word);
    EXPECT_EQ(list.NextString(true, "").size(), 300u * 7);
    ASSERT_TRUE(top.Next());
    EXPECT_EQ(ParconCursor(top.GetList(), 0).GetListName(), "next");
}

// The file is read in pieces of whole lines: lines straddling where one read ends, values
// of every length about what a node holds itself, and a line longer than a piece read whole.
TEST(Parcon, BigFileReadsTheSameAcrossPieces) {
    const struct {
        std::string written;
        std::string shown;
    } values[] = {
        {R"("")", R"("")"},
        {"a", "a"},
        {"abc", "abc"},
        {"abcd", "abcd"},
        {"abcde", "abcde"},
        {R"("a\"bc")", R"("a\"bc")"},
        {R"("a b\"c")", R"("a b\"c")"},
        {"12.5", "12.5"},
    };
    const std::string longWord(100000, 'w');
    std::string text;
    std::string tree;
    for (std::size_t i = 0; text.size() < 300000; ++i) {
        const auto& value = values[i % std::size(values)];
        const std::string number = std::to_string(i % 97);
        text += "(v" + std::to_string(i) + " " + value.written + " " + number + ")\n";
        tree += " (v" + std::to_string(i) + " " + value.shown + " " + number + ")";
        if (i == 3000) {
            text += longWord + "\n";
            tree += " " + longWord;
        }
    }
    EXPECT_EQ(Tree(text), tree.substr(1));
}

// Lists left open at the end of a file are closed there, as the notation allows; but a file cut
// short reads the same way, so the log says how many the end closed.
TEST(Parcon, TheEndOfAFileClosingOpenListsIsLogged) {
    const struct {
        const char* text;
        const char* tree;
        const char* logged; // "" for nothing
    } cases[] = {
        {"(a 1)\n(b 2)", "(__root__ (a 1) (b 2))", ""},
        {"(a 1)\n(b (c 2", "(__root__ (a 1) (b (c 2)))",
         "Parcon: the end of cut.txt closed 2 open lists\n"},
        {"(a 1", "(__root__ (a 1))", "Parcon: the end of cut.txt closed 1 open list\n"},
        {"(a 1))\n(b 2", "(__root__ (a 1))", ""}, // a top-level closing bracket ends the file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const LogCapture log;
        Parcon parser;
        Parse(parser, c.text, "cut.txt");
        EXPECT_EQ(Dump(*parser.Root()), c.tree);
        EXPECT_EQ(log.Text(), c.logged);
    }
}

TEST(Parcon, ParsingAgainReplacesTheRootAndKeepsEarlierTrees) {
    Parcon parser;
    Parse(parser, "(first 1)", "one.txt");
    const ParconList* firstRoot = parser.Root();
    ParconCursor first(firstRoot, 1);
    const std::optional<ParconList> firstList = first.GetList();

    Parse(parser, "(second 2)", "two.txt");
    EXPECT_NE(parser.Root(), firstRoot);
    EXPECT_EQ(Dump(*parser.Root()), "(__root__ (second 2))");
    EXPECT_EQ(parser.Root()->FileName(), "two.txt");
    // The first tree is still whole.
    EXPECT_EQ(Dump(*firstRoot), "(__root__ (first 1))");
    EXPECT_EQ(firstList->FileName(), "one.txt");
    EXPECT_EQ(ParconCursor(firstList, 0).NextInt(true, 0), 1);
}

// Trees deeper than any call stack parse, walk and free without recursion.
TEST(Parcon, DeepNestingParsesAndFrees) {
    constexpr int kDepth = 100000;
    for (const std::string& text :
         {std::string(kDepth, '('), std::string(kDepth, '[') + "x" + std::string(kDepth, ']'),
          std::string(kDepth / 2, '(') + std::string(kDepth / 2, '[')}) {
        Parcon parser;
        Parse(parser, text);
        // Follow the first sub-list of every list down to the innermost.
        int depth = 0;
        ParconList list = *parser.Root();
        for (;;) {
            ParconCursor cursor(list, 0);
            while (cursor.Current() != nullptr && !cursor.GetList() && cursor.Next()) {
            }
            if (!cursor.GetList()) {
                break;
            }
            list = *cursor.GetList();
            ++depth;
        }
        EXPECT_EQ(depth, kDepth);
    }
}

// ---------------------------------------------------------------------------------------------
// Getters

// Element i of one list, read through every getter.
struct GetterCase {
    const char* name;
    std::string element; // one token or list in the notation
    std::string text;    // GetString("dflt")
    int32_t integer;     // GetInt(-55)
    float real;          // GetFloat(-5.5f)
};

// Test output names the case instead of dumping its bytes.
void PrintTo(const GetterCase& c, std::ostream* out) {
    *out << c.name;
}

class ParconGetters : public testing::TestWithParam<GetterCase> {};

TEST_P(ParconGetters, ReadTheElement) {
    const GetterCase& c = GetParam();
    Parcon parser;
    Parse(parser, "(name " + c.element + ")");
    ParconCursor cursor(ParconCursor(parser.Root(), 1).GetList(), 1);
    ASSERT_NE(cursor.Current(), nullptr);
    EXPECT_EQ(cursor.GetString("dflt"), c.text);
    EXPECT_EQ(cursor.GetInt(-55), c.integer);
    if (std::isnan(c.real)) {
        EXPECT_TRUE(std::isnan(cursor.GetFloat(-5.5f)));
    } else {
        EXPECT_EQ(cursor.GetFloat(-5.5f), c.real);
    }
    EXPECT_EQ(cursor.GetList().has_value(), c.element[0] == '(' || c.element[0] == '[');
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kFloatMax = std::numeric_limits<float>::max();

const GetterCase kGetterCases[] = {
    {"Integer", "12", "12", 12, 12.0f},
    {"Negative", "-7", "-7", -7, -7.0f},
    {"Plus", "+5", "+5", 5, 5.0f},
    {"Decimal", "1.5", "1.5", 1, 1.5f},
    {"DecimalComma", "1,5", "1,5", 1, 1.0f},
    {"Exponent", "1e3", "1e3", 1, 1000.0f},
    {"PartialNumber", "1.5abc", "1.5abc", 1, 1.5f},
    {"Garbage", "abc", "abc", 0, 0.0f},
    {"Empty", "\"\"", "", 0, 0.0f},
    {"LeadingSpaces", "\" \t 42\"", " \t 42", 42, 42.0f},
    {"Hex", "0x10", "0x10", 0, 16.0f},
    {"IntAboveRangeClamps", "2147483648", "2147483648", INT32_MAX, 2147483648.0f},
    {"IntFarAboveRangeClamps", "99999999999999999999999", "99999999999999999999999", INT32_MAX,
     1e23f},
    {"IntBelowRangeClamps", "-99999999999", "-99999999999", INT32_MIN, -99999999999.0f},
    {"FloatOverflowIsInfinite", "1e39", "1e39", 1, kInf},
    {"FloatNegativeOverflow", "-1e300", "-1e300", -1, -kInf},
    {"FloatJustAboveMaxRoundsToMax", "3.4028235e38", "3.4028235e38", 3, kFloatMax},
    {"Infinity", "inf", "inf", 0, kInf},
    {"NotANumber", "nan", "nan", 0, std::numeric_limits<float>::quiet_NaN()},
    {"NulStopsConversion", "\"7\0\x39\""s, "7\0\x39"s, 7, 7.0f},
    {"NamedList", "(sub 1)", "dflt", -55, -5.5f},
    {"UnnamedList", "[2 3]", "dflt", -55, -5.5f},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParconGetters, testing::ValuesIn(kGetterCases),
                         [](const auto& test) { return test.param.name; });

// The process locale must not change how numbers read.
TEST(ParconNumbers, IgnoreTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* const kCommaLocales[] = {"de_DE.UTF-8", "de_DE.utf8",  "de_DE",      "fr_FR.UTF-8",
                                         "fr_FR.utf8",  "ru_RU.UTF-8", "nl_NL.UTF-8"};
    bool found = false;
    for (const char* name : kCommaLocales) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            found = true;
            break;
        }
    }
    // Machines without such a locale build one: the C library's sources usually come along.
    TempFolder localeFolder;
    if (!found && std::system(("localedef -i de_DE -f UTF-8 '" + (localeFolder / "de_DE.UTF-8") +
                               "' >/dev/null 2>&1")
                                  .c_str()) >= 0) {
        ::setenv("LOCPATH", localeFolder.Path().c_str(), 1);
        found = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
                std::string(std::localeconv()->decimal_point) == ",";
    }
    if (!found) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma can be had";
    }
    Parcon parser;
    Parse(parser, "(n 1.5 2,5 \" -3\")");
    ParconCursor cursor(ParconCursor(parser.Root(), 1).GetList(), 0);
    const float dot = cursor.NextFloat(true, 0);
    const float comma = cursor.NextFloat(true, 0);
    const int spaced = cursor.NextInt(true, 0);
    std::setlocale(LC_ALL, previous.c_str());
    ::unsetenv("LOCPATH");
    EXPECT_EQ(dot, 1.5f);
    EXPECT_EQ(comma, 2.0f);
    EXPECT_EQ(spaced, -3);
}

class ParconCursorTest : public testing::Test {
protected:
    void SetUp() override {
        Parse(parser, "(named 1 (sub) two)\n[3 4]\n()\n[]\n(last)", "cursor.txt");
    }
    // The list at top-level position i.
    std::optional<ParconList> TopList(int i) const {
        return ParconCursor(parser.Root(), i).GetList();
    }

    Parcon parser;
};

TEST_F(ParconCursorTest, StepsThroughAList) {
    ParconCursor cursor(TopList(1), 0);
    EXPECT_TRUE(cursor.HasNext());
    EXPECT_TRUE(cursor.HasNextValue()); // 1
    ASSERT_TRUE(cursor.Next());
    EXPECT_EQ(cursor.Index(), 1);
    EXPECT_TRUE(cursor.HasNext());
    EXPECT_FALSE(cursor.HasNextValue()); // (sub)
    ASSERT_TRUE(cursor.Next());
    EXPECT_EQ(ParconCursor(cursor.GetList(), 0).GetListName(), "sub");
    ASSERT_TRUE(cursor.Next());
    EXPECT_EQ(cursor.GetString(""), "two");
    // At the last element nothing follows and nothing moves.
    EXPECT_FALSE(cursor.HasNext());
    EXPECT_FALSE(cursor.HasNextValue());
    EXPECT_FALSE(cursor.Next());
    EXPECT_EQ(cursor.Index(), 3);
}

TEST_F(ParconCursorTest, EmptyCursorHasNothing) {
    ParconCursor cursor;
    EXPECT_FALSE(cursor.HasNext());
    EXPECT_FALSE(cursor.HasNextValue());
    EXPECT_FALSE(cursor.Next());
    EXPECT_EQ(cursor.GetString("d"), "d");
    EXPECT_EQ(cursor.GetInt(4), 4);
    EXPECT_EQ(cursor.GetFloat(4.5f), 4.5f);
    EXPECT_FALSE(cursor.GetList());
    EXPECT_EQ(cursor.GetListName(), "");
    EXPECT_EQ(cursor.NextInt(false, 9), 9);
}

TEST_F(ParconCursorTest, OutOfRangeIndexReadsDefaults) {
    for (const int index : {-5, 99, INT32_MAX}) {
        ParconCursor cursor(TopList(1), index);
        EXPECT_EQ(cursor.Current(), nullptr);
        EXPECT_EQ(cursor.GetString("d"), "d");
        EXPECT_EQ(cursor.GetInt(4), 4);
        EXPECT_FALSE(cursor.HasNext());
        EXPECT_FALSE(cursor.Next());
    }
}

TEST_F(ParconCursorTest, UnnamedListHasPlaceholderWithoutText) {
    ParconCursor cursor(TopList(2), 0);
    ASSERT_EQ(TopList(2)->elements.size(), 3u);
    EXPECT_FALSE(cursor.Current()->hasText);
    EXPECT_EQ(cursor.GetListName(), "");
    // The placeholder reads as an empty text in every getter.
    EXPECT_EQ(cursor.GetString("d"), "");
    EXPECT_EQ(cursor.GetInt(4), 0);
    EXPECT_EQ(cursor.GetFloat(4.5f), 0.0f);
    EXPECT_FALSE(cursor.GetList());
    EXPECT_EQ(cursor.NextInt(true, 0), 3);
    EXPECT_EQ(cursor.NextFloat(true, 0), 4.0f);
}

TEST_F(ParconCursorTest, EmptyListsHaveNoName) {
    EXPECT_EQ(ParconCursor(TopList(3), 0).GetListName(), "");
    EXPECT_EQ(ParconCursor(TopList(4), 0).GetListName(), "");
    EXPECT_EQ(ParconCursor(TopList(3), 0).GetString("d"), "d");
}

TEST_F(ParconCursorTest, NextGettersStepAndReadTheFollowingElement) {
    ParconCursor cursor(TopList(1), 0);
    EXPECT_EQ(cursor.NextString(true, "d"), "1");
    EXPECT_EQ(cursor.NextInt(true, 7), 7); // a list there gives the default
    EXPECT_EQ(cursor.Index(), 2);
    EXPECT_EQ(cursor.NextFloat(true, 7), 0.0f); // "two"
}

TEST_F(ParconCursorTest, NextGettersOptionalAtEndReturnDefault) {
    ParconCursor cursor(TopList(5), 0);
    EXPECT_EQ(cursor.NextString(false, "d"), "d");
    EXPECT_EQ(cursor.NextInt(false, 8), 8);
    EXPECT_EQ(cursor.NextFloat(false, 8.5f), 8.5f);
    EXPECT_EQ(cursor.Index(), 0);
}

// ---------------------------------------------------------------------------------------------
// Errors

std::string MoreDataMessage(const std::string& file, const std::string& value,
                            const std::string& listName) {
    return "Parcon Error: More data expected! Last read:\n\nFile: " + file + "\nValue: " + value +
           "\nList name: " + listName;
}

struct MoreDataCase {
    const char* name;
    std::string text;  // the file; the cursor reads the first top-level list
    int index;         // where the cursor stands
    std::string value; // as the message shows it
    std::string listName;
};

// Test output names the case instead of dumping its bytes.
void PrintTo(const MoreDataCase& c, std::ostream* out) {
    *out << c.name;
}

class ParconMoreData : public testing::TestWithParam<MoreDataCase> {};

TEST_P(ParconMoreData, RequiredReadAtEndNamesWhatWasLastRead) {
    const MoreDataCase& c = GetParam();
    Parcon parser;
    Parse(parser, c.text, "more.txt");
    const std::optional<ParconList> list = ParconCursor(parser.Root(), 1).GetList();
    const std::string expected = MoreDataMessage("more.txt", c.value, c.listName);
    ParconCursor cursor(list, c.index);
    EXPECT_EQ(ErrorOf([&] { cursor.NextString(true, ""); }), expected);
    EXPECT_EQ(ErrorOf([&] { cursor.NextInt(true, 0); }), expected);
    EXPECT_EQ(ErrorOf([&] { cursor.NextFloat(true, 0); }), expected);
    EXPECT_EQ(cursor.Index(), c.index);
}

const MoreDataCase kMoreDataCases[] = {
    {"NameOnly", "(full_screen)", 0, "full_screen", "full_screen"},
    {"LastValue", "(pos 1 2)", 2, "2", "pos"},
    {"LastIsList", "(a (b))", 1, "(null)", "a"},
    {"UnnamedList", "[1 2 3]", 3, "3", "bez nazwy"},
    {"EmptyUnnamedList", "[]", 0, "(null)", "bez nazwy"},
    {"EmptyNamedList", "()", 0, "(null)", "bez nazwy"},
    {"ListNamedByList", "((x))", 0, "(null)", "bez nazwy"},
    {"EmptyQuotedName", "(\"\")", 0, "", ""},
    {"NulCutsText", "(\"a\0b\")"s, 0, "a", "a"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParconMoreData, testing::ValuesIn(kMoreDataCases),
                         [](const auto& test) { return test.param.name; });

TEST(ParconErrors, MoreDataOnEmptyCursorHasNoFile) {
    ParconCursor cursor;
    EXPECT_EQ(ErrorOf([&] { cursor.NextInt(true, 0); }),
              MoreDataMessage("", "(null)", "bez nazwy"));
}

TEST(ParconErrors, FileOverTheSizeLimitIsRefused) {
    Parcon parser(16);
    Parse(parser, "(a 1234567890 b)", "fits.txt");
    EXPECT_EQ(Dump(*parser.Root()), "(__root__ (a 1234567890 b))");
    EXPECT_EQ(ErrorOf([&] { Parse(parser, "(a 1234567890 bc)", "big.txt"); }),
              "Parcon Error: big.txt is too large to read!");
    // The earlier tree stays the root and whole.
    EXPECT_EQ(Dump(*parser.Root()), "(__root__ (a 1234567890 b))");
}

TEST(ParconErrors, MessagesAreCutToTheExceptionLength) {
    const std::string longName(5000, 'f');
    const std::string longWord(5000, 'w');
    Parcon parser;
    Parse(parser, "(" + longWord + ")", longName);
    ParconCursor cursor(ParconCursor(parser.Root(), 1).GetList(), 0);
    const std::string message = ErrorOf([&] { cursor.NextInt(true, 0); });
    EXPECT_EQ(message.size(), Exception::kMaxLength);
    EXPECT_EQ(message, MoreDataMessage(longName, longWord, longWord).substr(0, 255));
}

// ---------------------------------------------------------------------------------------------
// Files

class ParconFiles : public testing::Test {
protected:
    void SetUp() override { Files.SetDataFolder("data"); }

    TempFolder folder{TempFolder::Enter::Yes};
};

TEST_F(ParconFiles, OpenFileReadsAPlainFile) {
    folder.Write("data/defs/a.txt", "(a 1)\n(b \"two\")\n");
    Parcon parser;
    ASSERT_TRUE(parser.OpenFile("defs\\a.txt", true));
    EXPECT_EQ(Dump(*parser.Root()), "(__root__ (a 1) (b two))");
    EXPECT_EQ(parser.Root()->FileName(), "defs\\a.txt");
}

TEST_F(ParconFiles, OpenFileAgainReplacesTheRoot) {
    folder.Write("data/one.txt", "(one)");
    folder.Write("two.txt", "(two)");
    Parcon parser;
    ASSERT_TRUE(parser.OpenFile("one.txt", true));
    const ParconList* first = parser.Root();
    ASSERT_TRUE(parser.OpenFile("two.txt", true));
    EXPECT_EQ(Dump(*parser.Root()), "(__root__ (two))");
    EXPECT_EQ(Dump(*first), "(__root__ (one))");
}

TEST_F(ParconFiles, MissingOptionalFileReturnsFalseAndKeepsTheRoot) {
    folder.Write("data/one.txt", "(one)");
    Parcon parser;
    ASSERT_TRUE(parser.OpenFile("one.txt", true));
    const ParconList* first = parser.Root();
    EXPECT_FALSE(parser.OpenFile("missing.txt", false));
    EXPECT_EQ(parser.Root(), first);
}

TEST_F(ParconFiles, MissingRequiredFileThrows) {
    Parcon parser;
    EXPECT_EQ(ErrorOf([&] { parser.OpenFile("menus\\missing.txt", true); }),
              "Parcon Error: Cannot find file menus\\missing.txt!");
    EXPECT_EQ(parser.Root(), nullptr);
    // The parser stays usable: the failed open left no frame behind.
    folder.Write("data/ok.txt", "(ok)");
    EXPECT_TRUE(parser.OpenFile("ok.txt", true));
}

TEST_F(ParconFiles, MissingFileWithLongNameGivesCutMessage) {
    const std::string name = "%s%n" + std::string(4000, 'n');
    Parcon parser;
    const std::string message = ErrorOf([&] { parser.OpenFile(name, true); });
    EXPECT_EQ(message, ("Parcon Error: Cannot find file " + name).substr(0, 255));
}

TEST_F(ParconFiles, ManyFilesInARowNeverReachTheFrameLimit) {
    folder.Write("data/a.txt", "(a)");
    Parcon parser;
    for (int i = 0; i < Parcon::kMaxFrames * 3; ++i) {
        ASSERT_TRUE(parser.OpenFile("a.txt", true));
    }
}

// ---------------------------------------------------------------------------------------------
// Hostile input: every input gives a defined tree, and walking it with every getter is safe.

// Walks the whole tree with a cursor through every getter; returns the number of nodes seen.
std::size_t WalkEverything(const Parcon& parser) {
    std::size_t seen = 0;
    std::vector<ParconCursor> pending{parser.RootCursor()};
    while (!pending.empty()) {
        ParconCursor cursor = pending.back();
        pending.pop_back();
        cursor.GetListName();
        do {
            ++seen;
            cursor.GetString("");
            cursor.GetInt(0);
            cursor.GetFloat(0);
            cursor.HasNextValue();
            if (const std::optional<ParconList> list = cursor.GetList()) {
                EXPECT_EQ(cursor.Current()->kind, ParconNode::kList);
                pending.emplace_back(list, 0);
            }
            EXPECT_TRUE(cursor.Index() == 0 || cursor.Current()->hasText ||
                        cursor.Current()->kind == ParconNode::kList)
                << "a placeholder stands only at element 0";
        } while (cursor.Next());
        ParconCursor end = cursor;
        try {
            end.NextString(true, "");
            ADD_FAILURE() << "a required read past the end must throw";
        } catch (const Exception& error) {
            EXPECT_EQ(std::string(error.Text()).rfind("Parcon Error: More data expected!", 0), 0u);
        }
    }
    return seen;
}

TEST(ParconHostileInput, RandomBytesGiveDefinedTrees) {
    std::mt19937 random(20240601);
    // Mostly the characters that mean something to the notation, some of any byte.
    const std::string meaningful = "()[]\"\\# \t\r\n\v\f\0ab19.-"s;
    for (int input = 0; input < 400; ++input) {
        std::string text(random() % 600, '\0');
        for (char& c : text) {
            c = random() % 4 == 0 ? static_cast<char>(random() % 256)
                                  : meaningful[random() % meaningful.size()];
        }
        Parcon parser;
        Parse(parser, text);
        EXPECT_GE(WalkEverything(parser), 1u) << "input " << input;
    }
}

TEST(ParconHostileInput, UnbalancedAndUnterminatedInputs) {
    const std::string inputs[] = {
        std::string(3000, ')'),         std::string(3000, '"'),
        std::string(3000, '\\'),        std::string(3000, '['),
        "\"" + std::string(3000, '\\'), std::string(3000, '#'),
        std::string(3000, '\0'),        std::string(3000, '\r'),
        std::string(200000, 'x'),       "([(" + std::string(2000, '\n') + "]]]]]]]]",
    };
    for (const std::string& text : inputs) {
        Parcon parser;
        Parse(parser, text);
        EXPECT_GE(WalkEverything(parser), 1u);
    }
}

TEST(ParconHostileInput, FailedStreamGivesEmptyRoot) {
    std::istringstream input("(a 1)\n(b 2");
    input.setstate(std::ios::badbit);
    Parcon parser;
    parser.ParseStream("bad.txt", input);
    EXPECT_EQ(Dump(*parser.Root()), "(__root__)");
}

} // namespace
