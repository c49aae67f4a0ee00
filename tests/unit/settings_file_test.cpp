// The settings file through the application object's profile calls, the
// stored form of the saver list, and the backup around the settings dialog.
#include "framework/App.h"
#include "settings/SaverEntry.h"
#include "settings/SettingsBackup.h"
#include "settings/SettingsFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { app.SetProfileName(folder.File("tolvarin.ini")); }
    std::string FileText() const { return test::ReadFileBytes(folder.File("tolvarin.ini")); }

    test::TempFolder folder;
    App app;
};

TEST_F(ProfileTest, MissingFileAndKeysGiveTheDefaults) {
    EXPECT_EQ(app.GetProfileInt("LIST", "entry", -1), -1);
    EXPECT_EQ(app.GetProfileInt("TIMER", "Time", 5), 5);
    EXPECT_EQ(app.GetProfileString("OTHER", "Last"), "");
    EXPECT_EQ(app.GetProfileString("OTHER", "Last", nullptr), "");
    EXPECT_EQ(app.GetProfileString("OTHER", "Last", "fallback"), "fallback");
    EXPECT_FALSE(test::FileExists(folder.File("tolvarin.ini")));
}

TEST_F(ProfileTest, IntegersAreWrittenAsDecimalTextAndReadBackSigned) {
    app.WriteProfileInt("LIST", "entry", -1);
    app.WriteProfileInt("TIMER", "Time", 999);
    EXPECT_NE(FileText().find("entry=-1"), std::string::npos);
    EXPECT_EQ(app.GetProfileInt("LIST", "entry", 7), -1);
    EXPECT_EQ(app.GetProfileInt("TIMER", "Time", 7), 999);
    app.WriteProfileString("TIMER", "Time", "12abc");
    EXPECT_EQ(app.GetProfileInt("TIMER", "Time", 7), 12);
    app.WriteProfileString("TIMER", "Time", "");
    EXPECT_EQ(app.GetProfileInt("TIMER", "Time", 7), 7);
}

TEST_F(ProfileTest, SectionAndKeyNamesIgnoreCase) {
    app.WriteProfileString("LIST", "List0", "a");
    EXPECT_EQ(app.GetProfileString("List", "List0"), "a");
    EXPECT_EQ(app.GetProfileString("list", "LIST0"), "a");
    app.WriteProfileString("List", "list0", "b");
    EXPECT_EQ(app.GetProfileString("LIST", "List0"), "b");
}

TEST_F(ProfileTest, NullValueDeletesTheKey) {
    app.WriteProfileString("LIST", "List3", "x");
    app.WriteProfileString("LIST", "List4", "y");
    app.WriteProfileString("LIST", "List3", nullptr);
    EXPECT_EQ(app.GetProfileString("LIST", "List3", "gone"), "gone");
    EXPECT_EQ(app.GetProfileString("LIST", "List4"), "y");
    EXPECT_EQ(FileText().find("List3"), std::string::npos);
}

TEST_F(ProfileTest, ReadsAtMost4095Bytes) {
    std::string exact(4095, 'p');
    app.WriteProfileString("OTHER", "Dir", exact.c_str());
    EXPECT_EQ(app.GetProfileString("OTHER", "Dir"), exact);
    std::string longer(5000, 'q');
    app.WriteProfileString("OTHER", "Dir", longer.c_str());
    EXPECT_EQ(app.GetProfileString("OTHER", "Dir"), std::string(4095, 'q'));
}

TEST_F(ProfileTest, EveryWriteReachesTheFileAtOnce) {
    app.WriteProfileString("OTHER", "Last", "C:\\a.scr");
    EXPECT_EQ(test::ReadIniString(folder.File("tolvarin.ini"), "OTHER", "Last"), "C:\\a.scr");
}

TEST_F(ProfileTest, MarksAreStoredAsTheirShiftJisBytes) {
    SaverEntry on{settings::kMarkOn, "C:\\s\\a.scr"};
    SaverEntry off{settings::kMarkOff, "C:\\s\\b.scr"};
    app.WriteProfileString("LIST", settings::ListKey(0).c_str(), on.StoredValue().c_str());
    app.WriteProfileString("LIST", settings::ListKey(1).c_str(), off.StoredValue().c_str());
    std::string text = FileText();
    EXPECT_NE(text.find("List0=\x81\x9B" "C:\\s\\a.scr"), std::string::npos);
    EXPECT_NE(text.find("List1=\x81\x7E" "C:\\s\\b.scr"), std::string::npos);
    // The source's own literals compile to the same bytes.
    EXPECT_STREQ(settings::kMarkOn, "○");
    EXPECT_STREQ(settings::kMarkOff, "×");
}

TEST(SaverEntryTest, StoredValuesKeepOrGainTheirMark) {
    SaverEntry on = SaverEntry::FromStoredValue("○C:\\a.scr");
    EXPECT_TRUE(on.IsOn());
    EXPECT_EQ(on.path, "C:\\a.scr");
    SaverEntry off = SaverEntry::FromStoredValue("×C:\\b.exe");
    EXPECT_FALSE(off.IsOn());
    EXPECT_EQ(off.path, "C:\\b.exe");
    EXPECT_EQ(off.StoredValue(), "×C:\\b.exe");

    SaverEntry bare = SaverEntry::FromStoredValue("C:\\c.swf");
    EXPECT_TRUE(bare.IsOn());
    EXPECT_EQ(bare.path, "C:\\c.swf");
    EXPECT_EQ(bare.StoredValue(), "○C:\\c.swf");

    SaverEntry empty = SaverEntry::FromStoredValue("");
    EXPECT_TRUE(empty.IsOn());
    EXPECT_EQ(empty.path, "");
    // A lone lead byte is no mark.
    EXPECT_EQ(SaverEntry::FromStoredValue("\x81").path, "\x81");
}

TEST(SaverEntryTest, KindComesFromTheLastFourCharactersWithoutCase) {
    EXPECT_EQ(KindOfPath("C:\\a.scr"), EntryKind::ScreenSaver);
    EXPECT_EQ(KindOfPath("C:\\A.SCR"), EntryKind::ScreenSaver);
    EXPECT_EQ(KindOfPath("C:\\a.Exe"), EntryKind::Program);
    EXPECT_EQ(KindOfPath("C:\\a.swf"), EntryKind::Flash);
    EXPECT_EQ(KindOfPath("C:\\a.avi"), EntryKind::Movie);
    EXPECT_EQ(KindOfPath("C:\\a.mpeg"), EntryKind::Movie);
    EXPECT_EQ(KindOfPath("scr"), EntryKind::Movie);
    EXPECT_EQ(KindOfPath(""), EntryKind::Movie);
    EXPECT_EQ(settings::ListKey(12), "List12");
    EXPECT_EQ(settings::PerFileKey("C:\\t\\clock.exe", settings::kMouseSuffix), "C:\\t\\clock.exe@mouse");
}

class BackupTest : public ::testing::Test {
protected:
    std::string Settings() const { return folder.File("tolvarin.ini"); }
    std::string Backup() const { return folder.File("backup.ini"); }
    test::TempFolder folder;
};

TEST_F(BackupTest, RollBackRestoresTheFileByteForByte) {
    const std::string original = "[LIST]\r\nentry=0\r\nList0=○C:\\a.exe\r\n[EXE_CONFIG]\r\nC:\\a.exe@mouse=1\r\n";
    test::WriteFileBytes(Settings(), original);
    SettingsBackup backup(Settings(), Backup());
    ASSERT_TRUE(backup.Make());
    EXPECT_TRUE(backup.ExistedAtOpening());
    test::WriteFileBytes(Settings(), "[LIST]\r\nentry=-1\r\n");
    EXPECT_EQ(backup.RollBack(), SettingsBackup::RollBackResult::Restored);
    EXPECT_EQ(test::ReadFileBytes(Settings()), original);
    EXPECT_FALSE(test::FileExists(Backup()));
}

TEST_F(BackupTest, WithoutAFileAtOpeningRollBackRemovesTheOneWrittenSince) {
    test::WriteFileBytes(Backup(), "stale copy of another time");
    SettingsBackup backup(Settings(), Backup());
    EXPECT_FALSE(backup.Make());
    EXPECT_FALSE(test::FileExists(Backup()));
    test::WriteFileBytes(Settings(), "[LIST]\r\nentry=-1\r\n");
    EXPECT_EQ(backup.RollBack(), SettingsBackup::RollBackResult::Removed);
    EXPECT_FALSE(test::FileExists(Settings()));
}

TEST_F(BackupTest, AFileThatExistedIsNeverDeletedWhenItsBackupIsMissing) {
    test::WriteFileBytes(Settings(), "[OTHER]\r\nOrder=1\r\n");
    SettingsBackup backup(Settings(), folder.File("no such folder\\backup.ini"));
    EXPECT_FALSE(backup.Make());
    EXPECT_TRUE(backup.ExistedAtOpening());
    test::WriteFileBytes(Settings(), "[OTHER]\r\nOrder=2\r\n");
    EXPECT_EQ(backup.RollBack(), SettingsBackup::RollBackResult::NotRestored);
    EXPECT_EQ(test::ReadFileBytes(Settings()), "[OTHER]\r\nOrder=2\r\n");
}

// The dialog names the copy that could not be put back; later openings
// must not overwrite it, nor one kept before it.
TEST_F(BackupTest, ACopyThatCouldNotBePutBackIsKeptUnderANameOfItsOwn) {
    std::vector<std::string> kept;
    for (const char* original : {"[OTHER]\r\nOrder=1\r\n", "[OTHER]\r\nOrder=2\r\n"}) {
        test::WriteFileBytes(Settings(), original);
        SettingsBackup backup(Settings(), Backup());
        ASSERT_TRUE(backup.Make());
        // A folder in the file's place: the copy cannot go back.
        ASSERT_TRUE(DeleteFileA(Settings().c_str()));
        ASSERT_TRUE(CreateDirectoryA(Settings().c_str(), nullptr));
        EXPECT_EQ(backup.RollBack(), SettingsBackup::RollBackResult::NotRestored);
        RemoveDirectoryA(Settings().c_str());
        kept.push_back(backup.BackupPath());
        EXPECT_EQ(test::ReadFileBytes(kept.back()), original);
    }
    EXPECT_EQ(kept, (std::vector<std::string>{folder.File("backup (1).ini"),
                                              folder.File("backup (2).ini")}));
    EXPECT_EQ(test::ReadFileBytes(kept[0]), "[OTHER]\r\nOrder=1\r\n");
    EXPECT_FALSE(test::FileExists(Backup()));
}

TEST_F(BackupTest, DiscardDeletesTheBackupAndKeepsTheFile) {
    test::WriteFileBytes(Settings(), "[OTHER]\r\nOrder=1\r\n");
    SettingsBackup backup(Settings(), Backup());
    ASSERT_TRUE(backup.Make());
    backup.Discard();
    EXPECT_FALSE(test::FileExists(Backup()));
    EXPECT_TRUE(test::FileExists(Settings()));
}

TEST(BackupPathTest, IsTolvarinIniInTheTemporaryFolder) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(SettingsBackup::DefaultBackupPath(), std::string(temp) + "\\tolvarin.ini");
}

}  // namespace
