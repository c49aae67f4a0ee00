// The program and Flash settings dialogs, run modally in-process on a
// temporary settings file and driven through their controls.
#include "settings/SettingsFile.h"
#include "tests/integration/support/FileDialogsSupport.h"
#include "tests/integration/support/SettingsDialogDriver.h"
#include "tests/support/TestSupport.h"
#include "ui/FileDialogIds.h"
#include "ui/FlashSettingsDialog.h"
#include "ui/ProgramSettingsDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pfd::Enabled;

const char* const kClock = "C:\\Tools\\clock.exe";
const char* const kMovie = "C:\\movies\\clock.swf";
const char* const kMacroKey = "C:\\movies\\clock.swf@macro";

std::string Caption(HWND window) { return test::TextOf(window); }

bool Checked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Shoot(HWND dialog, const char* name) { EXPECT_TRUE(pfd::Screenshot(dialog, name)); }

using Lines = std::vector<std::string>;

// The lines of section EXE_CONFIG as they stand in the file, in order.
Lines ExeConfigLines(const pfd::TestApp& t) {
    Lines lines;
    bool inSection = false;
    std::string file = t.IniBytes();
    for (size_t at = 0; at < file.size();) {
        size_t end = file.find('\n', at);
        if (end == std::string::npos) end = file.size();
        std::string line = file.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        at = end + 1;
        if (!line.empty() && line[0] == '[') {
            inSection = line == "[EXE_CONFIG]";
        } else if (inSection && !line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(ProgramSettingsDialogTest, ANeverSetUpProgramShowsEmptyFieldsAndOkWritesAllFiveKeysInOrder) {
    pfd::TestApp t;
    t.WriteIni("[OTHER]\r\nOrder=0\r\n");
    ProgramSettingsDialog dialog;
    dialog.path = kClock;
    INT_PTR result = pfd::RunModal(dialog, [&](HWND d) {
        EXPECT_EQ(Caption(d), "clockの設定");
        for (int id : {IDC_PROGRAM_OPTION, IDC_PROGRAM_START_MACRO, IDC_PROGRAM_FINISH_MACRO}) {
            EXPECT_EQ(test::TextOf(GetDlgItem(d, id)), "") << id;
        }
        EXPECT_FALSE(Checked(d, IDC_PROGRAM_MOUSE));
        EXPECT_FALSE(Checked(d, IDC_PROGRAM_CHANGE));
        pfd::Click(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ExeConfigLines(t), (Lines{"C:\\Tools\\clock.exe@option=", "C:\\Tools\\clock.exe@start=",
                                        "C:\\Tools\\clock.exe@finish=", "C:\\Tools\\clock.exe@mouse=0",
                                        "C:\\Tools\\clock.exe@change=0"}));
}

TEST(ProgramSettingsDialogTest, ShowsStoredValuesAndOkWritesWhatWasEdited) {
    pfd::TestApp t;
    t.WriteIni(
        "[EXE_CONFIG]\r\nC:\\Tools\\clock.exe@option=/full\r\nC:\\Tools\\clock.exe@start=ALT+ENT\r\n"
        "C:\\Tools\\clock.exe@finish=ENT\r\nC:\\Tools\\clock.exe@mouse=1\r\n"
        "C:\\Tools\\clock.exe@change=0\r\nC:\\Tools\\other.exe@option=/keep\r\n");
    ProgramSettingsDialog dialog;
    dialog.path = kClock;
    INT_PTR result = pfd::RunModal(dialog, [&](HWND d) {
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_PROGRAM_OPTION)), "/full");
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_PROGRAM_START_MACRO)), "ALT+ENT");
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_PROGRAM_FINISH_MACRO)), "ENT");
        EXPECT_TRUE(Checked(d, IDC_PROGRAM_MOUSE));
        EXPECT_FALSE(Checked(d, IDC_PROGRAM_CHANGE));
        Shoot(d, "program_settings_dialog");
        pfd::Type(d, IDC_PROGRAM_OPTION, "/s 時計");
        pfd::Type(d, IDC_PROGRAM_FINISH_MACRO, "");
        pfd::Click(d, IDC_PROGRAM_MOUSE);
        pfd::Click(d, IDC_PROGRAM_CHANGE);
        pfd::Click(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ExeConfigLines(t), (Lines{"C:\\Tools\\clock.exe@option=/s 時計", "C:\\Tools\\clock.exe@start=ALT+ENT",
                                        "C:\\Tools\\clock.exe@finish=", "C:\\Tools\\clock.exe@mouse=0",
                                        "C:\\Tools\\clock.exe@change=1", "C:\\Tools\\other.exe@option=/keep"}));
}

TEST(ProgramSettingsDialogTest, CancelAfterEditingLeavesTheFileUntouched) {
    pfd::TestApp t;
    const std::string before = "[EXE_CONFIG]\r\nC:\\Tools\\clock.exe@option=/full\r\n";
    t.WriteIni(before);
    ProgramSettingsDialog dialog;
    dialog.path = kClock;
    INT_PTR result = pfd::RunModal(dialog, [&](HWND d) {
        pfd::Type(d, IDC_PROGRAM_OPTION, "/other");
        pfd::Click(d, IDC_PROGRAM_CHANGE);
        pfd::Click(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(t.IniBytes(), before);
}

// --- Flash settings ----------------------------------------------------------

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_FLASH_LIST); }
std::vector<std::string> Rows(HWND dialog) { return pfd::ListRows(List(dialog), 4); }
using Rows_t = std::vector<std::string>;

// Runs the Flash dialog for kMovie on the file's current contents; returns
// the dialog's result.
INT_PTR RunFlash(const std::function<void(HWND)>& script) {
    FlashSettingsDialog dialog;
    dialog.path = kMovie;
    return pfd::RunModal(dialog, script);
}

// Clicks a row of the list with the mouse and waits until the click has
// been handled (the time field shows the row's time).
void ClickRow(HWND d, int row) {
    RECT item = {};
    item.left = LVIR_BOUNDS;
    SendMessageA(List(d), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    POINT at = pfd::ScreenPoint(List(d), item.left + 10, (item.top + item.bottom) / 2);
    test::MoveMouseTo(at.x, at.y);
    pfd::MouseDown();
    pfd::MouseUp();
    char expected[64] = {};
    ListView_GetItemText(List(d), row, 0, expected, sizeof expected);
    EXPECT_TRUE(pfd::PumpAppUntil([&] {
        return test::TextOf(GetDlgItem(d, IDC_FLASH_TIME)) == expected &&
               Enabled(d, IDC_FLASH_DELETE);
    })) << "row " << row;
}

TEST(FlashSettingsDialogTest, AnAbsentKeyOrAnEmptyValueGivesAnEmptyListAndOkWritesAnEmptyValue) {
    for (const char* file : {"[SWF_CONFIG]\r\n", "[SWF_CONFIG]\r\nC:\\movies\\clock.swf@macro=\r\n"}) {
        pfd::TestApp t;
        t.WriteIni(file);
        INT_PTR result = RunFlash([&](HWND d) {
            EXPECT_EQ(Caption(d), "clockの設定");
            EXPECT_TRUE(Rows(d).empty());
            for (int id : {IDC_FLASH_ADD, IDC_FLASH_CHANGE, IDC_FLASH_DELETE}) {
                EXPECT_FALSE(Enabled(d, id)) << id;
            }
            for (int id : {IDC_FLASH_ACTION, IDC_FLASH_X_UNIT, IDC_FLASH_Y_UNIT}) {
                EXPECT_EQ(pfd::ComboSelection(d, id), CB_ERR) << id;
            }
            pfd::Click(d, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(t.Read("SWF_CONFIG", kMacroKey), "") << file;
    }
}

TEST(FlashSettingsDialogTest, StoredEntriesAreShownInTimeOrderAndWrittenBack) {
    pfd::TestApp t;
    t.WriteIni(std::string("[SWF_CONFIG]\r\n") + kMacroKey + "=30,1 007,0,50,1,25,0 2,1 4,9,1,0,2,0\r\n");
    INT_PTR result = RunFlash([&](HWND d) {
        EXPECT_EQ(Rows(d), (Rows_t{"2|リロード||", "4|?|1|2", "7|クリック|50%|25", "30|リロード||"}));
        pfd::Click(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(t.Read("SWF_CONFIG", kMacroKey), "2,1 4,-1,1,0,2,0 7,0,50,1,25,0 30,1");
}

TEST(FlashSettingsDialogTest, AddAndChangeStayDisabledUntilTheFieldsDescribeAWholeAction) {
    pfd::TestApp t;
    t.WriteIni(std::string("[SWF_CONFIG]\r\n") + kMacroKey + "=4,1\r\n");
    INT_PTR result = RunFlash([&](HWND d) {
        auto addable = [&] { return Enabled(d, IDC_FLASH_ADD); };
        pfd::Type(d, IDC_FLASH_TIME, "12");
        EXPECT_FALSE(addable()) << "no action chosen";
        pfd::Choose(d, IDC_FLASH_ACTION, 0);
        EXPECT_FALSE(addable()) << "a click without coordinates";
        pfd::Type(d, IDC_FLASH_X, "30");
        pfd::Type(d, IDC_FLASH_Y, "40");
        pfd::Choose(d, IDC_FLASH_X_UNIT, 1);
        EXPECT_FALSE(addable()) << "no unit for y";
        pfd::Choose(d, IDC_FLASH_Y_UNIT, 0);
        EXPECT_TRUE(addable());
        EXPECT_FALSE(Enabled(d, IDC_FLASH_CHANGE)) << "no row selected";
        pfd::Type(d, IDC_FLASH_Y, "");
        EXPECT_FALSE(addable());

        // A reload needs no coordinates and disables their fields.
        pfd::Choose(d, IDC_FLASH_ACTION, 1);
        EXPECT_TRUE(addable());
        for (int id : {IDC_FLASH_X, IDC_FLASH_X_UNIT, IDC_FLASH_Y, IDC_FLASH_Y_UNIT}) {
            EXPECT_FALSE(Enabled(d, id)) << id;
        }
        pfd::Type(d, IDC_FLASH_TIME, "");
        EXPECT_FALSE(addable());
        pfd::Choose(d, IDC_FLASH_ACTION, 0);
        EXPECT_TRUE(Enabled(d, IDC_FLASH_X));

        // With a row selected, a complete edit enables "変更" too; the click
        // itself enables neither.
        ASSERT_TRUE(pfd::BringToFront(d));
        ClickRow(d, 0);
        EXPECT_FALSE(addable());
        EXPECT_FALSE(Enabled(d, IDC_FLASH_CHANGE));
        pfd::Type(d, IDC_FLASH_TIME, "6");
        EXPECT_TRUE(addable());
        EXPECT_TRUE(Enabled(d, IDC_FLASH_CHANGE));
        pfd::Click(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(t.Read("SWF_CONFIG", kMacroKey), "4,1");
}

TEST(FlashSettingsDialogTest, AddedRowsGoAfterRowsOfTheSameTimeAndAChangedRowMovesToItsPlace) {
    pfd::TestApp t;
    t.WriteIni(std::string("[SWF_CONFIG]\r\n") + kMacroKey + "=10,0,1,0,2,0 5,1 10,1\r\n");
    INT_PTR result = RunFlash([&](HWND d) {
        ASSERT_EQ(Rows(d), (Rows_t{"5|リロード||", "10|クリック|1|2", "10|リロード||"}));

        pfd::Type(d, IDC_FLASH_TIME, "10");
        pfd::Choose(d, IDC_FLASH_ACTION, 0);
        pfd::Type(d, IDC_FLASH_X, "30");
        pfd::Choose(d, IDC_FLASH_X_UNIT, 1);
        pfd::Type(d, IDC_FLASH_Y, "40");
        pfd::Choose(d, IDC_FLASH_Y_UNIT, 0);
        pfd::Click(d, IDC_FLASH_ADD);
        EXPECT_EQ(Rows(d), (Rows_t{"5|リロード||", "10|クリック|1|2", "10|リロード||",
                                   "10|クリック|30%|40"}));
        EXPECT_EQ(ListView_GetNextItem(List(d), -1, LVNI_SELECTED), 3);
        EXPECT_FALSE(Enabled(d, IDC_FLASH_ADD));
        EXPECT_FALSE(Enabled(d, IDC_FLASH_CHANGE));

        // The new row is selected: changing its time moves it up.
        pfd::Type(d, IDC_FLASH_TIME, "7");
        pfd::Click(d, IDC_FLASH_CHANGE);
        EXPECT_EQ(Rows(d), (Rows_t{"5|リロード||", "7|クリック|30%|40", "10|クリック|1|2",
                                   "10|リロード||"}));
        EXPECT_EQ(ListView_GetNextItem(List(d), -1, LVNI_SELECTED), 1);

        // A reload added while the coordinate fields still hold text ignores it.
        pfd::Type(d, IDC_FLASH_TIME, "0");
        pfd::Choose(d, IDC_FLASH_ACTION, 1);
        pfd::Click(d, IDC_FLASH_ADD);
        EXPECT_EQ(Rows(d).front(), "0|リロード||");
        pfd::Click(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(t.Read("SWF_CONFIG", kMacroKey), "0,1 5,1 7,0,30,1,40,0 10,0,1,0,2,0 10,1");
}

TEST(FlashSettingsDialogTest, OnlyAMouseClickFillsTheFieldsAndDeleteEmptiesThem) {
    pfd::TestApp t;
    t.WriteIni(std::string("[SWF_CONFIG]\r\n") + kMacroKey + "=7,0,50,1,25,0 9,1\r\n");
    INT_PTR result = RunFlash([&](HWND d) {
        ASSERT_TRUE(pfd::BringToFront(d));
        HWND list = List(d);
        SetFocus(list);
        test::PressKey(VK_DOWN);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return ListView_GetNextItem(list, -1, LVNI_SELECTED) >= 0; }));
        test::PressKey(VK_DOWN);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return ListView_GetNextItem(list, -1, LVNI_SELECTED) == 1; }));
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_FLASH_TIME)), "");
        EXPECT_EQ(pfd::ComboSelection(d, IDC_FLASH_ACTION), CB_ERR);
        EXPECT_FALSE(Enabled(d, IDC_FLASH_DELETE));

        ClickRow(d, 0);
        EXPECT_EQ(pfd::ComboSelection(d, IDC_FLASH_ACTION), 0);
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_FLASH_X)), "50");
        EXPECT_EQ(pfd::ComboSelection(d, IDC_FLASH_X_UNIT), 1);
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_FLASH_Y)), "25");
        EXPECT_EQ(pfd::ComboSelection(d, IDC_FLASH_Y_UNIT), 0);
        Shoot(d, "flash_settings_dialog");

        // A reload row empties the unit choices and disables the coordinate
        // fields, leaving their texts.
        ClickRow(d, 1);
        EXPECT_EQ(pfd::ComboSelection(d, IDC_FLASH_ACTION), 1);
        EXPECT_EQ(pfd::ComboSelection(d, IDC_FLASH_X_UNIT), CB_ERR);
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_FLASH_X)), "50");
        EXPECT_FALSE(Enabled(d, IDC_FLASH_X));

        ClickRow(d, 0);
        pfd::Click(d, IDC_FLASH_DELETE);
        EXPECT_EQ(Rows(d), (Rows_t{"9|リロード||"}));
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_FLASH_TIME)), "");
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_FLASH_X)), "");
        EXPECT_EQ(pfd::ComboSelection(d, IDC_FLASH_X_UNIT), CB_ERR);
        EXPECT_TRUE(Enabled(d, IDC_FLASH_X));
        EXPECT_FALSE(Enabled(d, IDC_FLASH_DELETE));
        pfd::Click(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(t.Read("SWF_CONFIG", kMacroKey), "9,1");
}

// --- A settings file that cannot be written -------------------------------------

TEST(FileSettingsDialogsTest, AWriteThatFailsIsReportedAndOkKeepsTheDialogOpen) {
    pfd::TestApp t;
    t.WriteIni("[EXE_CONFIG]\r\nC:\\Tools\\clock.exe@option=/full\r\n"
               "[SWF_CONFIG]\r\nC:\\movies\\clock.swf@macro=1,1\r\n");
    const std::string before = t.IniBytes();
    ProgramSettingsDialog program;
    program.path = kClock;
    FlashSettingsDialog flash;
    flash.path = kMovie;
    struct Case {
        const char* name;
        Dialog& dialog;
        std::function<void(HWND)> edit;
    } cases[] = {
        {"program", program, [](HWND d) { pfd::Type(d, IDC_PROGRAM_OPTION, "/other"); }},
        {"Flash", flash, [](HWND d) {
             pfd::Type(d, IDC_FLASH_TIME, "5");
             pfd::Choose(d, IDC_FLASH_ACTION, 1);
             pfd::Click(d, IDC_FLASH_ADD);
         }},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        INT_PTR result = pfd::RunModal(c.dialog, [&](HWND d) {
            c.edit(d);
            // Held open by another without sharing writes.
            HANDLE held = CreateFileA(t.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            sd::ErrorBoxes boxes;
            pfd::Click(d, IDOK);
            EXPECT_EQ(boxes.Stop(), Lines{settings::NotSavedMessage(t.IniPath())});
            CloseHandle(held);
        });
        // Still open after OK: the run ends by the cancel that follows the script.
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(t.IniBytes(), before);
    }
}

}  // namespace
