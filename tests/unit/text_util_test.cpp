#include "framework/TextUtil.h"

#include <gtest/gtest.h>

TEST(TextUtilTest, ParseLeadingIntReadsLikeAtoi) {
    EXPECT_EQ(ParseLeadingInt("42"), 42);
    EXPECT_EQ(ParseLeadingInt("  -7x"), -7);
    EXPECT_EQ(ParseLeadingInt("+3"), 3);
    EXPECT_EQ(ParseLeadingInt("007"), 7);
    EXPECT_EQ(ParseLeadingInt("abc"), 0);
    EXPECT_EQ(ParseLeadingInt(""), 0);
    EXPECT_EQ(ParseLeadingInt(nullptr), 0);
    EXPECT_EQ(ParseLeadingInt("-"), 0);
}

TEST(TextUtilTest, LastBackslashSkipsShiftJisTrailBytes) {
    // 表 is 0x95 0x5C and ソ is 0x83 0x5C: their second byte is a backslash.
    const std::string path = "C:\\dir\\表ソ.scr";
    size_t slash = FindLastChar(path, '\\');
    ASSERT_NE(slash, std::string::npos);
    EXPECT_EQ(path.substr(slash + 1), "表ソ.scr");
    EXPECT_EQ(FindLastChar("表", '\\'), std::string::npos);
    EXPECT_EQ(FindLastChar("a.b.c", '.'), 3u);
    EXPECT_EQ(FindLastChar("", '.'), std::string::npos);
}

TEST(TextUtilTest, CaseFoldingIsAsciiOnly) {
    EXPECT_EQ(AsciiUpper("ab\x81\x9b" "c"), "AB\x81\x9b" "C");
    EXPECT_TRUE(EqualsNoCase("C:\\Foo.SCR", "c:\\foo.scr"));
    EXPECT_FALSE(EqualsNoCase("a", "ab"));
    EXPECT_TRUE(EndsWithNoCase("x.EXE", ".exe"));
    EXPECT_FALSE(EndsWithNoCase("exe", ".exe"));
}
