// Captions of the per-file dialogs and the mouse macro's rows <-> stored text.
#include "ui/FileSettingsText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Shown(const std::string& stored) {
    std::vector<std::string> rows;
    for (const MacroRow& row : ReadMacroRows(stored)) {
        rows.push_back(row.time + "|" + row.action + "|" + row.x + "|" + row.y);
    }
    return rows;
}

TEST(FileSettingsCaptionTest, IsTheFileNameWithoutFolderAndExtension) {
    EXPECT_EQ(FileSettingsCaption("C:\\Tools\\clock.exe"), "clockの設定");
    EXPECT_EQ(FileSettingsCaption("C:\\movies\\clock.tar.swf"), "clock.tarの設定");
    EXPECT_EQ(FileSettingsCaption("C:\\v1.2\\clock"), "clockの設定");  // a dot in the folder only
    // "表" ends in the byte of a backslash: it is no folder separator.
    EXPECT_EQ(FileSettingsCaption("C:\\ゲーム\\表.exe"), "表の設定");
}

TEST(MacroRowsTest, StoredEntriesGiveRowsUntilTheFirstEntryWithoutAComma) {
    using Rows = std::vector<std::string>;
    EXPECT_EQ(Shown(""), Rows{});
    EXPECT_EQ(Shown("7,0,50,1,25,0"), Rows{"7|クリック|50%|25"});
    EXPECT_EQ(Shown("007,1"), Rows{"7|リロード||"});
    EXPECT_EQ(Shown("1 2,1"), Rows{});
    EXPECT_EQ(Shown("2,1 5,1  9,1"), (Rows{"2|リロード||", "5|リロード||"}));  // two spaces end it
    EXPECT_EQ(Shown("2,1 "), Rows{"2|リロード||"});
    // Any other action is unknown; units read as the player reads them (1
    // percent, anything else pixels); missing fields read as 0; fields past
    // the sixth are ignored.
    EXPECT_EQ(Shown("3,-1,4,1,5,0 3,7,1,2,1, 4,0,10 6,0,1,0,2,0,9"),
              (Rows{"3|?|4%|5", "3|?|1|1", "4|クリック|10|0", "6|クリック|1|2"}));
    // A stray percent sign in a number cannot turn it into a percentage.
    EXPECT_EQ(Shown("8,0,50%,0,1,0"), Rows{"8|クリック|50|1"});
}

TEST(MacroRowsTest, RowsAreWrittenInTheirStoredFormWithNothingTrailing) {
    std::vector<MacroRow> rows = {
        {"5", kClickText, "120", "50%"},
        {"5", kUnknownActionText, "1", "2"},
        {"30", kReloadText, "", ""},
    };
    EXPECT_EQ(WriteMacroRows(rows), "5,0,120,0,50,1 5,-1,1,0,2,0 30,1");
    EXPECT_EQ(WriteMacroRows({}), "");
    for (const char* stored : {"7,0,50,1,25,0", "2,1", "5,0,120,0,50,1 30,1"}) {
        EXPECT_EQ(WriteMacroRows(ReadMacroRows(stored)), stored);
    }
}

TEST(MacroRowsTest, ANewTimeGoesAfterEveryRowThatIsNotLater) {
    std::vector<std::string> times = {"0", "5", "10", "10", "30"};
    EXPECT_EQ(TimeSortedIndex(times, 10), 4u);
    EXPECT_EQ(TimeSortedIndex(times, 9), 2u);
    EXPECT_EQ(TimeSortedIndex(times, -1), 0u);
    EXPECT_EQ(TimeSortedIndex(times, 99), 5u);
    EXPECT_EQ(TimeSortedIndex({}, 3), 0u);
}

}  // namespace
