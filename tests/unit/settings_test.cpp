// The settings file through the application object's profile calls, the
// typed settings over it, the stored form of the list, the settings dialog's
// row model, and the backup kept while the dialog is open.
#include "framework/App.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsBackup.h"
#include "tests/support/TestSupport.h"
#include "ui/SaverListModel.h"

#include <gtest/gtest.h>

using Texts = std::vector<std::string>;
static const std::string kOn = "○", kOff = "×";

// The real file's profile, logging every write in its order (the order gives
// new keys their place in the file); a failing one writes nothing.
struct LoggingProfile : AppProfile {
    using AppProfile::AppProfile;
    mutable Texts log;
    bool failing = false;
    bool Note(const char* s, const std::string& what) const { log.push_back(s + (" " + what)); return !failing; }
    bool WriteInt(const char* s, const char* k, int v) const override { return Note(s, k + ("=" + std::to_string(v))) && AppProfile::WriteInt(s, k, v); }
    bool WriteString(const char* s, const char* k, const std::string& v) const override { return Note(s, k + ("=" + v)) && AppProfile::WriteString(s, k, v); }
    bool Delete(const char* s, const char* k) const override { return Note(s, "-" + std::string(k)) && AppProfile::Delete(s, k); }
};

struct SettingsFileTest : ::testing::Test {
    void SetUp() override { app.SetProfileName(folder.File("tolvarin.ini")); }
    bool FileHas(const std::string& text) const { return test::ReadFileBytes(app.ProfileName()).find(text) != std::string::npos; }
    void Write(const char* section, const char* key, const std::string& value) { app.WriteProfileString(section, key, value.c_str()); }
    test::TempFolder folder;
    App app;
    LoggingProfile profile{&app};
    SaverSettings stored{profile};
};

TEST_F(SettingsFileTest, ProfileCallsReadDefaultsSignedIntsWholeTextsAndDeleteKeys) {
    EXPECT_EQ(app.GetProfileInt("LIST", "entry", -1), -1);
    EXPECT_EQ(app.GetProfileString("OTHER", "Last") + app.GetProfileString("OTHER", "Last", nullptr) + "|" +
              app.GetProfileString("OTHER", "Last", "fallback"), "|fallback");
    EXPECT_FALSE(test::FileExists(app.ProfileName()));
    app.WriteProfileInt("LIST", "entry", -1);
    EXPECT_TRUE(FileHas("entry=-1"));  // every write reaches the file at once
    EXPECT_EQ(app.GetProfileInt("list", "ENTRY", 7), -1);  // names ignore case
    for (auto c : {std::pair<const char*, int>{"999", 999}, {"12abc", 12}, {"", 7}}) {
        Write("TIMER", "Time", c.first);
        EXPECT_EQ(app.GetProfileInt("TIMER", "Time", 7), c.second) << c.first;
    }
    Write("List", "list3", "x"), Write("LIST", "List4", "y"), app.WriteProfileString("LIST", "List3", nullptr);
    EXPECT_EQ(app.GetProfileString("LIST", "List3", "gone") + app.GetProfileString("LIST", "List4"), "goney");
    EXPECT_FALSE(FileHas("ist3"));
    for (size_t size : {4095, 5000}) {  // at most 4095 bytes are read
        Write("OTHER", "Dir", std::string(size, 'q'));
        EXPECT_EQ(app.GetProfileString("OTHER", "Dir"), std::string(4095, 'q'));
    }
}

TEST_F(SettingsFileTest, EachReaderGetsItsOwnDefaultsAndTheListItsMarks) {
    ProgramValues program = stored.ReadProgram("C:\\a.exe");
    EXPECT_EQ(Texts({std::to_string(stored.StoredCount()), std::to_string(stored.ReadList().size()),
                     std::to_string(stored.SessionOnCount()), std::to_string(stored.SessionMinutes()),
                     std::to_string(stored.DialogMinutes()), std::to_string(stored.TimerOn()), std::to_string(stored.Order()),
                     std::to_string(stored.ShowExtension()), std::to_string(stored.ShowSaverName()), stored.Last(),
                     std::to_string(stored.PassLock()), program.option + program.startMacro + program.finishMacro,
                     std::to_string(program.mouse + program.change)}),
              Texts({"0", "0", "0", "5", "10", "0", "0", "1", "1", "", "0", "", "0"}));
    EXPECT_FALSE(test::FileExists(app.ProfileName()));
    // Without ON, the session counts every stored value as switched on.
    Write("LIST", "entry", "2"), Write("List", "List0", kOff + "C:\\a.scr"), Write("List", "List1", "C:\\b.exe");
    EXPECT_EQ(stored.SessionOnCount(), 3);
    Texts list;
    for (const SaverEntry& entry : stored.ReadList()) list.push_back(entry.StoredValue());
    EXPECT_EQ(list, (Texts{kOff + "C:\\a.scr", kOn + "C:\\b.exe", kOn}));
    EXPECT_EQ(stored.ListValue(1), "C:\\b.exe");
    EXPECT_TRUE(FileHas("List0=\x81\x7E" "C:\\a.scr"));  // the marks' Shift-JIS bytes
}

TEST_F(SettingsFileTest, TheDialogStateIsWrittenKeyByKeyInItsOrderAndEveryWriteIsTried) {
    Write("LIST", "entry", "3");
    DialogState state{{{kOn, "C:\\s\\a.scr"}, {kOff, "C:\\p\\b.exe"}, {kOn, "C:\\m\\c.avi"}}, "C:\\m", 2, 0, 1, 1, 1500};
    EXPECT_TRUE(stored.WriteDialogState(state));
    EXPECT_EQ(profile.log, (Texts{"LIST entry=2", "LIST List0=" + kOn + "C:\\s\\a.scr", "LIST List1=" + kOff + "C:\\p\\b.exe",
                                  "LIST List2=" + kOn + "C:\\m\\c.avi", "LIST -List3", "LIST -List4", "OTHER Dir=C:\\m",
                                  "OTHER Order=2", "OTHER ON=2", "OTHER Extension=0", "OTHER SaverName=1",
                                  "TIMER ON/OFF=1", "TIMER Time=999"}));
    EXPECT_TRUE(FileHas("List2=\x81\x9B" "C:\\m\\c.avi"));
    profile.log.clear(), profile.failing = true, state.entries.clear();
    EXPECT_FALSE(stored.WriteDialogState(state));
    EXPECT_EQ(profile.log.size(), 12u);
    EXPECT_EQ(profile.log.front(), "LIST entry=-1");
}

TEST_F(SettingsFileTest, PerFileValuesAreWrittenAndForgottenByKind) {
    EXPECT_TRUE(stored.WriteProgram("C:\\a.exe", {"-x", "{ENTER}", "%{F4}", 1, 0}) && stored.WriteFlashMacro("C:\\f.swf", "0,1,2"));
    EXPECT_EQ(profile.log, (Texts{"EXE_CONFIG C:\\a.exe@option=-x", "EXE_CONFIG C:\\a.exe@start={ENTER}",
                                  "EXE_CONFIG C:\\a.exe@finish=%{F4}", "EXE_CONFIG C:\\a.exe@mouse=1",
                                  "EXE_CONFIG C:\\a.exe@change=0", "SWF_CONFIG C:\\f.swf@macro=0,1,2"}));
    EXPECT_TRUE(stored.ProgramTakesMouse("C:\\A.EXE") && !stored.ProgramSwitchesOnTime("C:\\a.exe"));
    EXPECT_EQ(stored.ReadProgram("C:\\a.exe").finishMacro + stored.FlashMacro("C:\\f.swf"), "%{F4}0,1,2");
    profile.log.clear();
    for (const char* path : {"C:\\a.EXE", "C:\\f.Swf", "C:\\s.scr"}) EXPECT_TRUE(stored.ForgetFile(path));
    EXPECT_EQ(profile.log, (Texts{"EXE_CONFIG -C:\\a.EXE@option", "EXE_CONFIG -C:\\a.EXE@start", "EXE_CONFIG -C:\\a.EXE@finish",
                                  "EXE_CONFIG -C:\\a.EXE@mouse", "EXE_CONFIG -C:\\a.EXE@change", "SWF_CONFIG -C:\\f.Swf@macro"}));
    EXPECT_FALSE(FileHas("@"));
}

TEST(SaverEntryTest, StoredValuesKeepOrGainTheirMarkAndPathsGiveTheKind) {
    const struct { std::string value; bool on; std::string path; } values[] = {{"○C:\\a.scr", true, "C:\\a.scr"},
        {"×C:\\b.exe", false, "C:\\b.exe"}, {"C:\\c.swf", true, "C:\\c.swf"}, {"", true, ""},
        {"\x81", true, "\x81"}};  // a lone lead byte is no mark
    for (const auto& c : values) {
        SaverEntry entry = SaverEntry::FromStoredValue(c.value);
        EXPECT_EQ(std::to_string(entry.IsOn()) + entry.path + "|" + entry.StoredValue(),
                  std::to_string(c.on) + c.path + "|" + (c.on ? kOn : kOff) + c.path) << c.value;
    }
    const struct { const char* path; EntryKind kind; } kinds[] = {{"C:\\a.scr", EntryKind::ScreenSaver},
        {"C:\\A.SCR", EntryKind::ScreenSaver}, {"C:\\a.Exe", EntryKind::Program}, {"C:\\a.swf", EntryKind::Flash},
        {"C:\\a.avi", EntryKind::Movie}, {"C:\\a.mpeg", EntryKind::Movie}, {"scr", EntryKind::Movie}, {"", EntryKind::Movie}};
    for (const auto& c : kinds) EXPECT_EQ(KindOfPath(c.path), c.kind) << c.path;
}

TEST(SaverListModelTest, RowsKeepTheirPathsThroughInsertToggleMoveAndErase) {
    SaverListModel rows;
    auto paths = [&rows] {
        std::string text;
        for (const SaverEntry& row : rows.Entries()) text += row.StoredValue() + "|";
        return text;
    };
    rows.Insert(-1, {kOn, "C:\\a.scr"}), rows.Insert(-1, {kOn, "C:\\b.exe"}), rows.Insert(0, {kOff, "C:\\c.swf"});
    rows.Insert(9, {kOn, "C:\\d.avi"});
    EXPECT_EQ(paths(), kOff + "C:\\c.swf|" + kOn + "C:\\a.scr|" + kOn + "C:\\b.exe|" + kOn + "C:\\d.avi|");
    rows.Toggle(0), rows.Toggle(1), rows.Move(3, 0), rows.Move(1, 3);
    EXPECT_EQ(paths(), kOn + "C:\\d.avi|" + kOff + "C:\\a.scr|" + kOn + "C:\\b.exe|" + kOn + "C:\\c.swf|");
    EXPECT_EQ(std::to_string(rows.Find("c:\\B.EXE")) + std::to_string(rows.Find("C:\\e.exe")), "2-1");
    rows.Erase(0), rows.Erase(7);
    EXPECT_EQ(std::to_string(rows.Count()) + rows.Path(0) + "|" + rows.Path(3), "3C:\\a.scr|");
}

TEST(SettingsBackupTest, RollBackRestoresOrRemovesAndNeverDeletesAFileThatExisted) {
    test::TempFolder folder;
    const std::string ini = folder.File("tolvarin.ini"), copy = folder.File("backup.ini"), none = "<none>";
    auto text = [&ini] { return test::FileExists(ini) ? test::ReadFileBytes(ini) : "<none>"; };
    const std::string a = "[LIST]\r\nList0=○C:\\a.exe\r\n[EXE_CONFIG]\r\nC:\\a.exe@mouse=1\r\n", b = "[LIST]\r\nentry=-1\r\n";
    using R = SettingsBackup::RollBackResult;
    // The file at opening, where its copy goes, whether one was made, and the
    // file after the roll-back; a stale copy of another time is overwritten
    // or removed.
    const struct { std::string before, backup; bool made; R result; std::string after; } cases[] = {
        {a, copy, true, R::Restored, a}, {none, copy, false, R::Removed, none},
        {a, folder.File("no such folder\\backup.ini"), false, R::NotRestored, b}};
    for (const auto& c : cases) {
        DeleteFileA(ini.c_str());
        if (c.before != none) test::WriteFileBytes(ini, c.before);
        test::WriteFileBytes(copy, "stale copy of another time");
        SettingsBackup backup(ini, c.backup);
        EXPECT_EQ(backup.Make(), c.made);
        EXPECT_EQ(backup.ExistedAtOpening(), c.before != none);
        EXPECT_EQ(test::FileExists(copy), c.made || c.backup != copy);
        test::WriteFileBytes(ini, b);
        EXPECT_EQ(backup.RollBack(), c.result);
        EXPECT_EQ(text(), c.after);  // byte for byte
        EXPECT_FALSE(test::FileExists(c.backup));
    }
    SettingsBackup saved(ini, copy);
    ASSERT_TRUE(saved.Make());
    saved.Discard();
    EXPECT_EQ(std::to_string(test::FileExists(copy)) + text(), "0" + b);
    // A copy that could not be put back (a folder in the file's place) is kept
    // under a name of its own, which later openings do not overwrite.
    Texts kept;
    for (const std::string& before : {a, b}) {
        test::WriteFileBytes(ini, before);
        SettingsBackup backup(ini, copy);
        ASSERT_TRUE(backup.Make() && DeleteFileA(ini.c_str()) && CreateDirectoryA(ini.c_str(), nullptr));
        EXPECT_EQ(backup.RollBack(), R::NotRestored);
        RemoveDirectoryA(ini.c_str());
        kept.push_back(backup.BackupPath());
    }
    EXPECT_EQ(kept, (Texts{folder.File("backup (1).ini"), folder.File("backup (2).ini")}));
    EXPECT_EQ(test::ReadFileBytes(kept[0]) + test::ReadFileBytes(kept[1]), a + b);
    EXPECT_FALSE(test::FileExists(copy));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(SettingsBackup::DefaultBackupPath(), std::string(temp) + "\\tolvarin.ini");
}
