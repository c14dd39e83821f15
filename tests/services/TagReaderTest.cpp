#include "services/TagReader.h"

#include "services/ContentParsers.h"
#include "services/ScoresParser.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

// Writes every call as "<name", "text" or "/name".
class TraceHandler final : public TagHandler {
public:
    void StartTag(std::string_view name) override { trace.push_back("<" + std::string(name)); }
    void Text(std::string_view content) override { trace.emplace_back(content); }
    void EndTag(std::string_view name) override { trace.push_back("/" + std::string(name)); }

    std::vector<std::string> trace;
};

std::vector<std::string> Trace(std::string_view text) {
    TraceHandler handler;
    ReadTags(text, handler);
    return handler.trace;
}

std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<a>";
    }
    text += "x";
    for (int i = 0; i < depth; ++i) {
        text += "</a>";
    }
    return text;
}

using Strings = std::vector<std::string>;

TEST(TagReaderTest, TellsTheHandlersEveryTagAndTextInOrder) {
    const struct {
        const char* what;
        std::string text;
        Strings trace;
    } cases[] = {
        {"nested elements", "<a><b>x</b></a>", {"<a", "<b", "x", "/b", "/a"}},
        {"text between elements goes to the element before",
         "<a><b>x</b>\n<c>y</c></a>",
         {"<a", "<b", "x", "/b", "\n", "<c", "y", "/c", "/a"}},
        {"an empty element", "<a></a>", {"<a", "/a"}},
        {"no text between elements",
         "<a><b>1</b><c>2</c></a>",
         {"<a", "<b", "1", "/b", "<c", "2", "/c", "/a"}},
        {"an empty text", "", {}},
        {"a text without tags", "just words", {}},
        {"text before the root", "junk<a>x</a>", {"<a", "x", "/a"}},
        {"one root element", "<a>1</a><b>2</b>", {"<a", "1", "/a"}},
        {"the declaration encloses the rest",
         "<?xml version=\"1.0\"?><a>x</a>",
         {"<?xml", " version=\"1.0\"?>", "<a", "x", "/a"}},
        {"attributes are text", "<a x=\"1\">v</a>", {"<a", " x=\"1\">v", "/a"}},
        {"white space before the closing bracket", "<a >v</a\t>", {"<a", "v", "/a"}},
        {"white space after the opening bracket of an end tag", "<a>v< / a>", {"<a", "v", "/a"}},
        {"white space after the opening bracket of a start tag",
         "<a>< b>v</b></a>",
         {"<a", "<", " b>v", "/b", "/a"}},
        {"a document cut short", "<a><b>text", {"<a", "<b", "text"}},
        {"a document cut inside a tag", "<a><b", {"<a", "<b"}},
        {"a lone bracket at the end opens a nameless element", "<a>x<", {"<a", "x", "<"}},
        {"the text ends at its first zero byte",
         std::string("<a>x\0<b>y</b></a>", 17),
         {"<a", "x"}},
        {"no entity decoding", "<a>&lt;b&gt;</a>", {"<a", "&lt;b&gt;", "/a"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trace(c.text), c.trace) << c.what;
    }
}

TEST(TagReaderTest, ADocumentNestedTooDeeplyDeliversNothing) {
    TraceHandler deepest;
    EXPECT_TRUE(ReadTags(Nested(kMaxTagDepth), deepest));
    EXPECT_EQ(deepest.trace.size(), 2u * kMaxTagDepth + 1);

    for (const int depth : {kMaxTagDepth + 1, 1000000}) {
        TraceHandler handler;
        EXPECT_FALSE(ReadTags(Nested(depth), handler)) << depth;
        EXPECT_TRUE(handler.trace.empty()) << depth;
    }
    // Unclosed start tags count as well.
    TraceHandler unclosed;
    EXPECT_FALSE(ReadTags(std::string(3 * 100000, '<'), unclosed));
    EXPECT_TRUE(unclosed.trace.empty());
}

TEST(TagReaderTest, ReadsDecimalNumbersAndSaturatesThem) {
    const struct {
        const char* text;
        int32_t value32;
        int64_t value64;
    } cases[] = {
        {"42", 42, 42},
        {" \t\r\n-7x", -7, -7},
        {"+5", 5, 5},
        {"", 0, 0},
        {"abc", 0, 0},
        {"- 5", 0, 0},
        {"12 34", 12, 12},
        {"2147483647", std::numeric_limits<int32_t>::max(), 2147483647},
        {"2147483648", std::numeric_limits<int32_t>::max(), 2147483648},
        {"-2147483649", std::numeric_limits<int32_t>::min(), -2147483649},
        {"6000000000", std::numeric_limits<int32_t>::max(), 6000000000},
        {"99999999999999999999", std::numeric_limits<int32_t>::max(),
         std::numeric_limits<int64_t>::max()},
        {"-99999999999999999999", std::numeric_limits<int32_t>::min(),
         std::numeric_limits<int64_t>::min()},
        {"-9223372036854775808", std::numeric_limits<int32_t>::min(),
         std::numeric_limits<int64_t>::min()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadDecimal32(c.text), c.value32) << c.text;
        EXPECT_EQ(ReadDecimal64(c.text), c.value64) << c.text;
    }
}

std::vector<std::string> Names(const ScoreList& list) {
    std::vector<std::string> names;
    for (const ScoreItem& item : list.items) {
        names.push_back(item.name);
    }
    return names;
}

TEST(ScoresParserTest, BuildsTheListsOfAScoresDocument) {
    const struct {
        const char* what;
        std::string document;
        int32_t gameId;
        Strings alltime;
        Strings monthly;
    } cases[] = {
        {"entries in document order",
         "<scores><id>7</id><alltime><score><name>Ada</name></score></alltime><monthly>"
         "<score><name>Boris</name></score><score><name>Dana</name></score></monthly></scores>",
         7,
         {"Ada"},
         {"Boris", "Dana"}},
        {"an entry outside any list is dropped",
         "<scores><score><name>Nobody</name></score><alltime><score><name>Ada</name></score>"
         "</alltime><score><name>Late</name></score></scores>",
         0,
         {"Ada"},
         {}},
        {"a later scores element empties the lists",
         "<x><scores><alltime><score><name>Ada</name></score></alltime></scores><scores>"
         "<monthly><score><name>Boris</name></score></monthly></scores></x>",
         0,
         {},
         {"Boris"}},
        {"a line break after a name replaces the name",
         "<scores><alltime><score><name>Ada</name>\n<value>5</value></score></alltime></scores>",
         0,
         {"\n"},
         {}},
        {"tags are found wherever they stand",
         "<answer><list><alltime><entry><score><name>Ada</name></score></entry></alltime></list>"
         "<game><id>9</id></game></answer>",
         9,
         {"Ada"},
         {}},
        {"a game element forgets the id before it",
         "<scores><id>9</id><game></game></scores>",
         0,
         {},
         {}},
    };
    for (const auto& c : cases) {
        ScoresParser parser;
        EXPECT_TRUE(parser.Parse(c.document)) << c.what;
        EXPECT_EQ(parser.GameId(), c.gameId) << c.what;
        EXPECT_EQ(Names(parser.Lists()[kAlltimeList]), c.alltime) << c.what;
        EXPECT_EQ(Names(parser.Lists()[kMonthlyList]), c.monthly) << c.what;
    }
}

TEST(ScoresParserTest, ReadsEveryFieldOfAnEntryWithSixtyFourBitValues) {
    ScoresParser parser;
    parser.Parse("<scores><weekly><score><name>Eve</name><description>Crypt</description>"
                 "<value>6000000000</value><mode>99999999999</mode></score><score><name>Finn"
                 "</name><value>-3</value><mode>2</mode></score></weekly></scores>");
    const std::vector<ScoreItem> expected = {
        {"Eve", 6000000000, std::numeric_limits<int32_t>::max(), "Crypt"},
        {"Finn", -3, 2, ""},
    };
    EXPECT_EQ(parser.Lists()[kWeeklyList].items, expected);
    for (std::size_t i = 0; i < kScoreListCount; ++i) {
        EXPECT_EQ(parser.Lists()[i].name, kScoreListNames[i]);
    }
}

TEST(ScoresParserTest, ReadsTheAnswerDocument) {
    ScoresParser parser;
    parser.Parse("<answer><id>7</id><status>51</status><data>0A1B</data></answer>");
    EXPECT_EQ(parser.GameId(), 7);
    EXPECT_EQ(parser.Status(), 51);
    EXPECT_EQ(parser.Data(), "0A1B");

    ScoresParser deep;
    EXPECT_FALSE(deep.Parse(Nested(kMaxTagDepth + 1) + "<status>3</status>"));
    EXPECT_EQ(deep.Status(), 0);
}

TEST(ContentParsersTest, ReadTheAnswerDocument) {
    ContentAnswerParser parser;
    parser.Parse("<answer><id>7</id><status>52</status><data>ABCD</data></answer>");
    EXPECT_EQ(parser.Status(), 52);
    EXPECT_EQ(parser.Data(), "ABCD");

    ContentAnswerParser reset;
    reset.Parse("<answer><status>5</status><status></status><data>A</data><data></data></answer>");
    EXPECT_EQ(reset.Status(), 0) << "a status element starts at 0";
    EXPECT_EQ(reset.Data(), "") << "a data element starts empty";
}

TEST(ContentParsersTest, BuildItemsFromAContentDocument) {
    ContentListParser parser;
    parser.Parse("<items><id>7</id><item><number>1</number><name>Crypt</name><description>"
                 "Flooded</description><file>http://h/files/c.dat</file><fileextension>dat"
                 "</fileextension><filesize>1000</filesize><lastmodified>2001</lastmodified>"
                 "<logo>http://h/files/c.png</logo><logoextension>png</logoextension><logosize>"
                 "x12</logosize></item><item><number>2</number><name>Tower</name><file>"
                 "http://h/files/t.dat</file></item></items>");
    EXPECT_EQ(parser.GameId(), 7);
    ASSERT_EQ(parser.Items().size(), 2u);
    ContentItem first;
    first.description = "Flooded";
    first.dataUrl = "http://h/files/c.dat";
    first.fileExtension = "dat";
    first.fileSizeText = "1000";
    first.fileSize = 1000;
    first.logoUrl = "http://h/files/c.png";
    first.logoExtension = "png";
    first.logoSizeText = "x12";
    first.logoSize = 0;
    first.name = "Crypt";
    first.number = 1;
    EXPECT_EQ(parser.Items()[0], first);
    EXPECT_EQ(parser.Items()[1].name, "Tower");
    EXPECT_EQ(parser.Items()[1].logoUrl, "") << "every item starts empty";
    EXPECT_EQ(parser.LastDataUrl(), "http://h/files/t.dat");
    EXPECT_EQ(parser.LastLogoUrl(), "http://h/files/c.png");

    ContentListParser again;
    again.Parse("<x><items><item><number>1</number></item></items><items><id>8</id></items></x>");
    EXPECT_TRUE(again.Items().empty()) << "a later items element empties the list";
    EXPECT_EQ(again.GameId(), 8);
}

} // namespace
