#include "engine/Exception.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(ExceptionTest, FormatsItsText) {
    const Exception error("Parcon Error: Cannot find file %s!", "version.txt");
    EXPECT_STREQ(error.Text(), "Parcon Error: Cannot find file version.txt!");
}

TEST(ExceptionTest, KeepsAtMost255CharactersAndIsTerminated) {
    const std::string longName(5000, 'x');
    const Exception error("File: %s", longName.c_str());
    ASSERT_EQ(std::strlen(error.Text()), Exception::kMaxLength);
    EXPECT_EQ(std::string(error.Text()), "File: " + std::string(Exception::kMaxLength - 6, 'x'));
}

TEST(ExceptionTest, DataIsNeverReadAsAFormat) {
    const Exception error("%s", "100% %s %n");
    EXPECT_STREQ(error.Text(), "100% %s %n");
}

TEST(FormatTextTest, CutsToTheBufferAndReturnsIt) {
    char buffer[kFormatTextSize];
    const std::string text(300, 'a');
    EXPECT_EQ(FormatText(buffer, "%s!", text.c_str()), buffer);
    EXPECT_EQ(std::strlen(buffer), kFormatTextSize - 1);

    FormatText(buffer, "%d-%s", 42, "b");
    EXPECT_STREQ(buffer, "42-b");
}
