#include "services/RequestDocuments.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(RequestDocumentsTest, WritesTheGetListRequestInItsOrder) {
    const GetListRequest request{7, 10, "player@orvex.invalid", "secret"};
    EXPECT_EQ(request.Text(), "<parameters><id>7</id><count>10</count>"
                              "<email>player@orvex.invalid</email><password>secret</password>"
                              "</parameters>");
}

TEST(RequestDocumentsTest, WritesTheReportWithA64BitValueAndTextsUnescaped) {
    const ReportRequest request{7, -2, "Ann <&> \"B\"", 5000000000, "Harbour & Mill", "", ""};
    EXPECT_EQ(request.Text(), "<parameters><id>7</id><mode>-2</mode><name>Ann <&> \"B\"</name>"
                              "<value>5000000000</value><description>Harbour & Mill</description>"
                              "<email></email><password></password></parameters>");
}

TEST(RequestDocumentsTest, WritesTheDownloadRequestInItsOrder) {
    const DownloadRequest request{12, 3, "a<b@c", "p&w"};
    EXPECT_EQ(request.Text(), "<parameters><id>12</id><number>3</number><email>a<b@c</email>"
                              "<password>p&w</password></parameters>");
}

TEST(RequestDocumentsTest, WritesTheExtremesOfItsNumbersInSignedDecimal) {
    ReportRequest report;
    report.game = std::numeric_limits<int32_t>::min();
    report.gameMode = std::numeric_limits<int32_t>::max();
    report.score = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(report.Text(), "<parameters><id>-2147483648</id><mode>2147483647</mode><name></name>"
                             "<value>-9223372036854775808</value><description></description>"
                             "<email></email><password></password></parameters>");
    report.score = std::numeric_limits<int64_t>::max();
    EXPECT_NE(report.Text().find("<value>9223372036854775807</value>"), std::string::npos);
}

TEST(RequestDocumentsTest, TheOuterDocumentBeginsWithTheGameInClear) {
    EXPECT_EQ((RequestEnvelope{7, "0A1B"}).Text(),
              "<parameters><id>7</id><data>0A1B</data></parameters>");
    EXPECT_EQ((RequestEnvelope{-5, ""}).Text(),
              "<parameters><id>-5</id><data></data></parameters>");
}

} // namespace
