#include "platform/net/XmlReader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Writes what the reader reports as one line of text.
class Recorder : public XmlHandler {
public:
    bool StartElement(std::string_view uri, std::string_view name,
                      std::span<const XmlAttribute> attributes) override {
        events += "<";
        if (!uri.empty()) {
            events += "{" + std::string(uri) + "}";
        }
        events += name;
        for (const XmlAttribute& attribute : attributes) {
            events += " ";
            if (!attribute.uri.empty()) {
                events += "{" + std::string(attribute.uri) + "}";
            }
            events += std::string(attribute.name) + "=" + std::string(attribute.value);
        }
        events += ">";
        return stopAt.empty() || name != stopAt;
    }
    bool EndElement(std::string_view, std::string_view name) override {
        events += "</" + std::string(name) + ">";
        return true;
    }
    bool Text(std::string_view text) override {
        events += text;
        return true;
    }

    std::string events;
    std::string stopAt;
};

std::string Nested(int depth) {
    std::string document;
    for (int i = 0; i < depth; ++i) {
        document += "<a>";
    }
    for (int i = 0; i < depth; ++i) {
        document += "</a>";
    }
    return document;
}

TEST(XmlReaderTest, ReportsNamespacesAttributesTextAndEntities) {
    XmlReader reader;
    ASSERT_TRUE(reader.Ready());
    Recorder recorder;
    std::string error;
    ASSERT_TRUE(reader.Read("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                            "<s:Root xmlns:s=\"urn:s\" xmlns=\"urn:d\" s:a=\"1\" b=\"2\">"
                            "<child>x &amp; &lt;y&gt; &#x20AC;<![CDATA[<raw>]]></child>"
                            "<empty/></s:Root>",
                            recorder, error))
        << error;
    EXPECT_EQ(recorder.events, "<{urn:s}Root {urn:s}a=1 b=2><{urn:d}child>x & <y> \xE2\x82\xAC"
                               "<raw></child><{urn:d}empty></empty></Root>");
}

TEST(XmlReaderTest, ReadsTheEncodingTheDocumentDeclaresAndReportsUtf8) {
    XmlReader reader;
    Recorder recorder;
    std::string error;
    ASSERT_TRUE(reader.Read("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xE9</a>",
                            recorder, error))
        << error;
    EXPECT_EQ(recorder.events, "<a>caf\xC3\xA9</a>");
}

TEST(XmlReaderTest, RefusesDocumentsThatAreNotWellFormed) {
    const char* cases[] = {
        "",       "<a>",      "<a></b>",     "<a>&unknown;</a>", "<a x=\"1\" x=\"2\"/>",
        "<p:a/>", "<a/><b/>", "<a>\x01</a>", "<a>\xC3</a>",
    };
    for (const char* document : cases) {
        XmlReader reader;
        Recorder recorder;
        std::string error;
        EXPECT_FALSE(reader.Read(document, recorder, error)) << document;
        EXPECT_NE(error.find("line"), std::string::npos) << error;
    }
}

TEST(XmlReaderTest, RefusesDocumentTypeDeclarationsAndSoEntityExpansion) {
    const std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
                               "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]>"
                               "<lolz>&lol2;</lolz>";
    XmlReader reader;
    Recorder recorder;
    std::string error;
    EXPECT_FALSE(reader.Read(laughs, recorder, error));
    EXPECT_EQ(error, "document type declarations are not accepted");
    EXPECT_EQ(recorder.events, "");
}

TEST(XmlReaderTest, KeepsToItsLimits) {
    XmlReader reader;
    Recorder recorder;
    std::string error;
    EXPECT_TRUE(reader.Read(Nested(8), recorder, error, {1024, 8})) << error;
    EXPECT_FALSE(reader.Read(Nested(9), recorder, error, {1024, 8}));
    EXPECT_EQ(error, "the document is nested too deeply");
    EXPECT_FALSE(reader.Read("<a>0123456789</a>", recorder, error, {16, 8}));
    EXPECT_EQ(error, "the document is larger than 16 bytes");
    EXPECT_TRUE(reader.Read(Nested(10000), recorder, error, {1 << 20, 10000}))
        << "deep documents are fine when allowed: " << error;
}

TEST(XmlReaderTest, AHandlerCanStopTheReadingAndTheReaderServesAgain) {
    XmlReader reader;
    Recorder recorder;
    recorder.stopAt = "b";
    std::string error;
    EXPECT_FALSE(reader.Read("<a><b>text</b><c/></a>", recorder, error));
    EXPECT_EQ(error, "the reader's handler stopped at an element");
    EXPECT_EQ(recorder.events, "<a><b>");

    Recorder second;
    EXPECT_TRUE(reader.Read("<x>after</x>", second, error)) << error;
    EXPECT_EQ(second.events, "<x>after</x>");
}

} // namespace
