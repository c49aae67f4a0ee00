// The texts the settings dialog's per-file commands hand to the system.
#include "players/LaunchRecord.h"
#include "ui/FileCommandText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

HWND HandleOf(uintptr_t value) { return reinterpret_cast<HWND>(value); }

TEST(ConfigureOptionsTest, QuotedPathAndTheOwnerAsSignedDecimal) {
    EXPECT_EQ(LaunchCommandLine("C:\\Savers\\Stars.scr", ConfigureOptions(HandleOf(1234))),
              "\"C:\\Savers\\Stars.scr\" /c:1234");
    EXPECT_EQ(LaunchCommandLine("C:\\My Savers\\a b.scr", ConfigureOptions(HandleOf(0x1A2B))),
              "\"C:\\My Savers\\a b.scr\" /c:6699");
    // The top bit of the 32 bits the system uses makes the number negative.
    EXPECT_EQ(HandleAsDecimal(HandleOf(0x80000001u)), "-2147483647");
    EXPECT_EQ(HandleAsDecimal(HandleOf(0xFFFFFFFEu)), "-2");
    EXPECT_EQ(HandleAsDecimal(HandleOf(0x7FFFFFFFu)), "2147483647");
    EXPECT_EQ(HandleAsDecimal(nullptr), "0");
}

TEST(WidePathTest, AnyLengthIsConvertedWholeAndEndsInNul) {
    // 表 (95 5C) becomes one UTF-16 character.
    std::vector<wchar_t> japanese = WidePath("C:\\\x95\x5C\\m.avi");
    EXPECT_EQ(std::wstring(japanese.data()), L"C:\\\u8868\\m.avi");
    EXPECT_EQ(japanese.size(), 11u);

    // Far beyond 260 characters: nothing is cut.
    std::string longPath = "C:\\" + std::string(600, 'x') + "\\movie.avi";
    std::vector<wchar_t> wide = WidePath(longPath);
    ASSERT_EQ(wide.size(), longPath.size() + 1);
    EXPECT_EQ(wide.back(), L'\0');
    std::wstring text(wide.data());
    EXPECT_EQ(text.substr(text.size() - 10), L"\\movie.avi");

    EXPECT_EQ(WidePath("").size(), 1u);
}

}  // namespace
