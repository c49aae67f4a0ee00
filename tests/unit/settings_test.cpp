// The settings file through the application object's profile calls, the
// typed settings over it, the stored form of the list, the backup kept
// while the dialog is open, and the start-up: the
// role by the command line, what it fixes first, and the password flag it
// holds back meanwhile.
#include "app/SaverApp.h"
#include "session/PasswordHelper.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsBackup.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using Texts = std::vector<std::string>;
static const std::string kOn = "○", kOff = "×";
static std::string Joined(const Texts& texts) {
    std::string text;
    for (const std::string& t : texts) text += (text.empty() ? "" : "|") + t;
    return text;
}

// The real file's profile, logging every write in its order (the order gives
// new keys their place in the file); a failing one writes nothing.
struct LoggingProfile : AppProfile {
    using AppProfile::AppProfile;
    mutable Texts log;  // "<section> <key>=<value>" or "<section> -<key>"
    bool failing = false;
    bool Note(const char* s, const std::string& what) const { log.push_back(s + (" " + what)); return !failing; }
    bool WriteInt(const char* s, const char* k, int v) const override {
        return Note(s, k + ("=" + std::to_string(v))) && AppProfile::WriteInt(s, k, v);
    }
    bool WriteString(const char* s, const char* k, const std::string& v) const override {
        return Note(s, k + ("=" + v)) && AppProfile::WriteString(s, k, v);
    }
    bool Delete(const char* s, const char* k) const override {
        return Note(s, "-" + std::string(k)) && AppProfile::Delete(s, k);
    }
};

struct SettingsFileTest : ::testing::Test {
    void SetUp() override { app.SetProfileName(folder.File("tolvarin.ini")); }
    bool FileHas(const std::string& t) { return test::ReadFileBytes(app.ProfileName()).find(t) != std::string::npos; }
    void Write(const char* s, const char* k, const std::string& v) { app.WriteProfileString(s, k, v.c_str()); }
    std::string Text(const char* s, const char* k, const char* def = "") { return app.GetProfileString(s, k, def); }
    test::TempFolder folder;
    App app;
    LoggingProfile profile{&app};
    SaverSettings stored{profile};
};

TEST_F(SettingsFileTest, ProfileCallsReadDefaultsSignedIntsAndWholeTexts) {
    EXPECT_EQ(std::to_string(app.GetProfileInt("LIST", "entry", -1)) + Text("OTHER", "Last") +
                  Text("OTHER", "Last", nullptr) + Text("OTHER", "Last", "fallback"),
              "-1fallback");
    EXPECT_FALSE(test::FileExists(app.ProfileName()));
    app.WriteProfileInt("LIST", "entry", -1);
    EXPECT_TRUE(FileHas("entry=-1"));  // every write reaches the file at once
    EXPECT_EQ(app.GetProfileInt("LIST", "entry", 7), -1);
    Write("TIMER", "Time", "");
    EXPECT_EQ(app.GetProfileInt("TIMER", "Time", 7), 7);  // an empty value reads as the default
    Write("OTHER", "Dir", std::string(5000, 'q'));
    EXPECT_EQ(Text("OTHER", "Dir"), std::string(4095, 'q'));  // at most 4095 bytes are read
    // A null value deletes the key: the per-file values' removal shows it.
}

TEST_F(SettingsFileTest, EachReaderGetsItsOwnDefaultsAndTheListItsMarks) {
    ProgramValues program = stored.ReadProgram("C:\\a.exe");
    auto n = [](long long value) { return std::to_string(value); };
    EXPECT_EQ(Joined({n(stored.StoredCount()), n(stored.ReadList().size()), n(stored.SessionOnCount()),
                      n(stored.SessionMinutes()), n(stored.DialogMinutes()), n(stored.TimerOn()), n(stored.Order()),
                      n(stored.ShowExtension()), n(stored.ShowSaverName()), stored.Last(), n(stored.PassLock()),
                      program.option + program.startMacro + program.finishMacro, n(program.mouse + program.change),
                      n(test::FileExists(app.ProfileName()))}),
              "0|0|0|5|10|0|0|1|1||0||0|0");
    // Without ON, the session counts every stored value as switched on.
    Write("LIST", "entry", "2");
    Write("List", "List0", kOff + "C:\\a.scr");
    Write("List", "List1", "C:\\b.exe");
    Texts list = {std::to_string(stored.SessionOnCount()), stored.ListValue(1)};
    for (const SaverEntry& entry : stored.ReadList()) list.push_back(entry.StoredValue());
    EXPECT_EQ(Joined(list), "3|C:\\b.exe|×C:\\a.scr|○C:\\b.exe|○");
}

TEST_F(SettingsFileTest, TheDialogStateIsWrittenKeyByKeyInItsOrderAndEveryWriteIsTried) {
    Write("LIST", "entry", "3");
    DialogState state{
        {{kOn, "C:\\s\\a.scr"}, {kOff, "C:\\p\\b.exe"}, {kOn, "C:\\m\\c.avi"}}, "C:\\m", 2, 0, 1, 1, 1500};
    EXPECT_TRUE(stored.WriteDialogState(state));
    EXPECT_EQ(Joined(profile.log),
              "LIST entry=2|LIST List0=○C:\\s\\a.scr|LIST List1=×C:\\p\\b.exe|LIST List2=○C:\\m\\c.avi|"
              "LIST -List3|LIST -List4|OTHER Dir=C:\\m|OTHER Order=2|OTHER ON=2|OTHER Extension=0|"
              "OTHER SaverName=1|TIMER ON/OFF=1|TIMER Time=999|OTHER AllMonitors=0");
    profile.log.clear();
    profile.failing = true;
    state.entries.clear();
    EXPECT_FALSE(stored.WriteDialogState(state));
    EXPECT_EQ(std::to_string(profile.log.size()) + profile.log.front(), "13LIST entry=-1");
}

TEST_F(SettingsFileTest, PerFileValuesAreWrittenAndForgottenByKindAndEveryTextReadsBackAsWritten) {
    EXPECT_TRUE(stored.WriteProgram("C:\\a.exe", {"-x", "{ENTER}", "%{F4}", 1, 0}));
    EXPECT_TRUE(stored.WriteFlashMacro("C:\\f.swf", "0,1,2"));
    EXPECT_EQ(Joined(profile.log), "EXE_CONFIG C:\\a.exe@option=-x|EXE_CONFIG C:\\a.exe@start={ENTER}|"
              "EXE_CONFIG C:\\a.exe@finish=%{F4}|EXE_CONFIG C:\\a.exe@mouse=1|EXE_CONFIG C:\\a.exe@change=0|"
              "SWF_CONFIG C:\\f.swf@macro=0,1,2");
    EXPECT_TRUE(stored.ProgramTakesMouse("C:\\A.EXE") && !stored.ProgramSwitchesOnTime("C:\\a.exe"));
    // Every text writer's text reads back as written. The profile reading
    // would cut a text in quotes or with blanks at an end: such a text is
    // stored in one more pair of double quotes (its stored form after the
    // "|"); every other one byte for byte. A line break cannot be stored.
    for (const std::string t : {"\"C:\\My Shows\\deck one.pps\"|\"\"C:\\My Shows\\deck one.pps\"\"",
                                "'C:\\a b'|\"'C:\\a b'\"", "-f \"a b\" 'c'", "\"-x", "-x'", "\"|\"\"\"",
                                "\"-x'|\"\"-x'\"", " -x |\" -x \"", "\t|\"\t\"", "", "「表示」の\"設定\"",
                                "「表示」 |\"「表示」 \""}) {
        const std::string text = t.substr(0, t.find('|')), inFile = t.substr(t.find('|') + 1);
        EXPECT_TRUE(stored.WriteProgram("C:\\a.exe", {text, text, text, 0, 0}) && stored.WriteLast(text) &&
                    stored.WriteFlashMacro("C:\\f.swf", text) && stored.WriteDialogState({{}, text}));
        EXPECT_EQ(Joined({stored.ProgramOption("C:\\a.exe"), stored.FlashMacro("C:\\f.swf"), stored.Last(),
                          stored.Dir(), FileHas("\nLast=" + inFile + "\r\n") ? text : "?"}), Joined(Texts(5, text)));
    }
    EXPECT_FALSE(stored.WriteLast("a\r\nb") || stored.WriteLast("a\n") || stored.WriteFlashMacro("C:\\f.swf", "\r"));
    EXPECT_EQ(stored.Last() + stored.FlashMacro("C:\\f.swf"), "「表示」 「表示」 ");
    EXPECT_TRUE(stored.WriteMovieResume("C:\\m.mp4", 61000) && stored.MovieResume("C:\\m.mp4") == 61000);
    profile.log.clear();
    for (const char* path : {"C:\\a.EXE", "C:\\f.Swf", "C:\\s.scr", "C:\\m.mp4"}) EXPECT_TRUE(stored.ForgetFile(path));
    EXPECT_EQ(Joined(profile.log),
              "EXE_CONFIG -C:\\a.EXE@option|EXE_CONFIG -C:\\a.EXE@start|EXE_CONFIG -C:\\a.EXE@finish|"
              "EXE_CONFIG -C:\\a.EXE@mouse|EXE_CONFIG -C:\\a.EXE@change|SWF_CONFIG -C:\\f.Swf@macro|"
              "MOVIE_CONFIG -C:\\m.mp4@resume");
    EXPECT_FALSE(FileHas("@"));
}

TEST(SaverEntryTest, MarksAndKindsFromTheStoredValue) {
    // Marks dropped, kept and gained, and which mark is on: in the list's
    // and the pool's cases (EntryPoolTest picks only the entries marked on).
    EXPECT_EQ(SaverEntry::FromStoredValue("\x81").StoredValue(), "○\x81");  // a lone lead byte is no mark
    using K = EntryKind;
    const struct { const char* path; K kind; } kinds[] = {
        {"C:\\a.scr", K::ScreenSaver}, {"C:\\A.SCR", K::ScreenSaver}, {"C:\\a.Exe", K::Program}, {"a.swf", K::Flash},
        {"C:\\a.avi", K::Movie}, {"C:\\a.mpeg", K::Movie}, {"scr", K::Movie}, {"", K::Movie}};
    for (const auto& c : kinds) EXPECT_EQ(KindOfPath(c.path), c.kind) << c.path;
}

TEST(SettingsBackupTest, RollBackRestoresOrRemovesAndNeverDeletesAFileThatExisted) {
    test::TempFolder folder;
    const std::string ini = folder.File("tolvarin.ini"), copy = folder.File("backup.ini"), none = "<none>";
    auto text = [&] { return test::FileExists(ini) ? test::ReadFileBytes(ini) : none; };
    const std::string a = "[LIST]\r\nList0=○C:\\a.exe\r\n[EXE_CONFIG]\r\nC:\\a.exe@mouse=1\r\n";
    const std::string b = "[LIST]\r\nentry=-1\r\n";
    using R = SettingsBackup::RollBackResult;
    // The file at opening, where its copy goes, whether one was made, and the
    // file after the roll-back, byte for byte; a stale copy of another time
    // is overwritten or removed.
    // Make's result, ExistedAtOpening and whether the stale copy is still
    // there show as "110".
    const struct { std::string before, backup, made; R result; std::string after; } cases[] = {
        {a, copy, "111", R::Restored, a}, {none, copy, "000", R::Removed, none},
        {a, folder.File("no such folder\\backup.ini"), "011", R::NotRestored, b}};
    for (const auto& c : cases) {
        DeleteFileA(ini.c_str());
        if (c.before != none) test::WriteFileBytes(ini, c.before);
        test::WriteFileBytes(copy, "stale copy of another time");
        SettingsBackup backup(ini, c.backup);
        std::string made = std::to_string(backup.Make());
        made += std::to_string(backup.ExistedAtOpening()) + std::to_string(test::FileExists(copy));
        test::WriteFileBytes(ini, b);
        EXPECT_EQ(backup.RollBack(), c.result);
        EXPECT_EQ(made + text() + std::to_string(test::FileExists(c.backup)), c.made + c.after + "0");
    }
    SettingsBackup saved(ini, copy);
    ASSERT_TRUE(saved.Make());
    saved.Discard();  // leaving with saving
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

TEST(StartUpTest, FirstArgumentChoosesTheRoleAndTheSettingsParent) {
    // The parent needs the colon; a handle with the top bit set is negative.
    using M = StartMode;
    const struct { Texts arguments; M mode; LONG_PTR parent; } cases[] = {  // after the program's own name
        {{}, M::Settings, 0}, {{"/c"}, M::Settings, 0}, {{"-C"}, M::Settings, 0}, {{"/c:1234"}, M::Settings, 1234},
        {{"/c1234"}, M::Settings, 0}, {{"/c:0"}, M::Settings, 0}, {{"/c:-2"}, M::Settings, -2},
        {{"/p", "55"}, M::Preview, 0}, {{"/S"}, M::Saver, 0}, {{"-s"}, M::Saver, 0}, {{"/saver"}, M::Saver, 0},
        {{"/a", "1"}, M::ChangePassword, 0}, {{"s"}, M::None, 0}, {{"/x"}, M::None, 0}, {{"/"}, M::None, 0},
        {{""}, M::None, 0}};
    for (auto c : cases) {
        std::string self = "t.scr";
        std::vector<char*> arguments = {&self[0]};
        for (std::string& text : c.arguments) arguments.push_back(&text[0]);
        const int count = static_cast<int>(arguments.size());
        EXPECT_EQ(SaverApp::ChooseMode(count, arguments.data()), c.mode) << arguments.back();
        EXPECT_EQ(SaverApp::SettingsParent(count, arguments.data()), HWND(c.parent)) << arguments.back();
    }
}

TEST(StartUpTest, FixesFolderAndSettingsFileWhateverTheName) {
    char original[MAX_PATH] = {}, current[MAX_PATH] = {}, self[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, original);
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, std::string(self).find_last_of('\\'));
    test::UsePasswordFlag none(-1);
    test::TempFolder elsewhere;
    SetCurrentDirectoryA(elsewhere.Path().c_str());
    SaverApp app;
    app.SetArguments({"renamed.exe", "zzz"});  // no mode: the process would end
    EXPECT_FALSE(app.InitInstance());
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(Joined({current, app.ProfileName()}), folder + "|" + folder + "\\tolvarin.ini");
    EXPECT_EQ(app.sessionEvent, nullptr);
    app.ExitInstance();
    SetCurrentDirectoryA(original);
}

// Any non-zero flag, or a PassLock left over by an earlier process, is
// suspended and comes back as 1; with the flag off nothing is touched (which
// also shows ReadUsePasswordFlag's reading).
TEST(StartUpTest, ThePasswordFlagIsSuspendedAtStartAndRestoredAtExit) {
    // The flag and PassLock before the start (-1: none).
    for (auto c : {std::pair<int, int>{5, -1}, {0, 1}, {-1, -1}}) {
        test::UsePasswordFlag flag(c.first);
        SCOPED_TRACE(testing::Message() << "flag " << c.first << ", PassLock " << c.second);
        test::TempFolder folder;
        App app;
        app.SetProfileName(folder.File("tolvarin.ini"));
        auto state = [&app] {  // the flag and PassLock
            bool exists = false;
            DWORD flag = test::GetUsePasswordFlag(&exists);
            std::string passLock = std::to_string(app.GetProfileInt("OTHER", "PassLock", -1));
            return (exists ? std::to_string(flag) : "none") + " " + passLock;
        };
        if (c.second >= 0) app.WriteProfileInt("OTHER", "PassLock", c.second);
        bool suspended = SuspendUsePasswordFlag(app).suspended;
        EXPECT_EQ(std::to_string(suspended) + " " + state(), c.first < 0 ? "0 none -1" : "1 0 1");
        EXPECT_EQ(test::FileExists(folder.File("tolvarin.ini")), suspended);
        if (!suspended) continue;
        RestoreUsePasswordFlag(app);
        EXPECT_EQ(state(), "1 0");
    }
    // Written anew. No password check beside the test program or in the
    // system: the session may end, the flag as it was. No password change
    // either: nothing changes, and nothing stays loaded.
    test::UsePasswordFlag none(-1);
    WriteUsePasswordFlag(0);
    PasswordHelper helper;
    bool exists = false;
    EXPECT_TRUE(helper.VerifyPassword(nullptr));
    const bool mprLoaded = GetModuleHandleA("mpr.dll") != nullptr;
    helper.ChangePassword(nullptr);
    EXPECT_EQ(test::GetUsePasswordFlag(&exists), 0u);
    EXPECT_TRUE(exists && (GetModuleHandleA("mpr.dll") != nullptr) == mprLoaded);
}
