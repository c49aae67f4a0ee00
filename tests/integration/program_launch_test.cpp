// The launcher and the program watch dialog against the real fixture program
// and screen saver: command line and working folder, failed, slow, hidden and
// windowless starts, the end notice, stopping a launch, the start and finish
// macros, and the watch that ends a program on the user's mouse or keys.
#include "players/KeyMacro.h"
#include "players/LaunchRecord.h"
#include "players/ProgramWatchDialog.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/InProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

using Notices = std::vector<std::pair<WPARAM, LPARAM>>;
const Notices kOneNotice = {{1, 0}};

DWORD ExitCodeOf(HANDLE process) {
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    return code;
}
// The cursor's show count of this thread.
int CursorCount() {
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

// The keys that reach the system's input stream while a test hooks them
// (a key macro's pauses are key code 0).
std::string keysDown;
LRESULT CALLBACK WatchKeys(int code, WPARAM message, LPARAM info) {
    DWORD key = reinterpret_cast<KBDLLHOOKSTRUCT*>(info)->vkCode;
    if (code == HC_ACTION && key && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
        keysDown += static_cast<char>(key);
    }
    return CallNextHookEx(nullptr, code, message, info);
}

// Lets the tests set the count of moves still to be ignored.
class WatchProbe : public ProgramWatchDialog {
public:
    using ProgramWatchDialog::moveState;
};

class LaunchRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        watch.record = &record;
        record.path = program;
    }
    void TearDown() override {
        if (watch.Handle() || record.ThreadRunning()) watch.StopProgram();
    }
    void Set(const char* suffix, const std::string& value, const std::string& path = "") const {
        app.app.WriteProfileString(settings::kExeConfigSection,
                                   settings::PerFileKey(path.empty() ? program : path, suffix).c_str(),
                                   value.c_str());
    }
    bool WaitForEnd() { return test::PumpAppUntil([&] { return !record.ThreadRunning(); }, 15000); }
    // The notices that reached the main window, everything queued handled.
    Notices NoticesNow() { return app.Drain(), app.mainWindow.notices; }
    // Starts the program watched, the pointer moved first (under Wine the
    // server learns its place only from a move), until the watch has the
    // capture that its injected press gives it.
    bool RunWatched() {
        test::MoveMouseTo(400, 300);
        return watch.RunProgram() && test::PumpAppUntil([&] { return GetCapture() == watch.Handle(); });
    }

    test::TestApp app;
    const std::string program = app.folder.PlaceFixture("test_program.exe", "Prog Dir\\prog.exe");
    LaunchRecord record;
    WatchProbe watch;
};
class ProgramWatchTest : public LaunchRecordTest {};

}  // namespace

TEST(LaunchTextTest, ThePathIsQuotedAndItsFolderEndsAtTheLastBackslash) {
    EXPECT_EQ(LaunchCommandLine("C:\\Games\\My Saver.scr", "/s"), "\"C:\\Games\\My Saver.scr\" /s");
    EXPECT_EQ(LaunchCommandLine("C:\\a.exe", ""), "\"C:\\a.exe\" ");
    // The second bytes of ソ (83 5C) and 表 (95 5C) are no backslashes.
    const std::pair<const char*, const char*> folders[] = {
        {"C:\\root.exe", "C:\\"}, {"bare.exe", ""}, {"C:\\Games\\ソ.scr", "C:\\Games"}, {"C:\\表\\表.exe", "C:\\表"}};
    for (const auto& row : folders) EXPECT_EQ(LaunchWorkingFolder(row.first), row.second) << row.first;
}

// Unquoted, "...\Games Dir\My Saver.scr /s" would start "...\Games.exe" or
// "...\Games Dir\My.exe" first; both are there to be started by mistake.
// A failed start answers at once and posts nothing, nor does a windowless
// program, which is waited for until it ends; a program's own end is posted
// once, after its window is set back to 0.
TEST_F(LaunchRecordTest, TheRightFileStartsInItsFolderAndOnlyTheEndOfAProgramWithAWindowIsPosted) {
    const std::string saver = app.folder.PlaceFixture("test_saver.scr", "Games Dir\\My Saver.scr");
    app.folder.PlaceFixture("test_program.exe", "Games.exe");
    app.folder.PlaceFixture("test_program.exe", "Games Dir\\My.exe");
    HWND window = StartLaunch(record, saver, "/s");
    EXPECT_TRUE(window && window == app.log.Window("saver"));
    EXPECT_EQ(WaitForSingleObject(app.signal, 0), WAIT_TIMEOUT);  // cleared for the next
    EXPECT_EQ(app.log.Value("cmdline "), "\"" + saver + "\" /s");
    EXPECT_EQ(app.log.Value("cwd "), app.folder.File("Games Dir"));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(NoticesNow(), kOneNotice);

    EXPECT_EQ(StartLaunch(record, app.folder.File("gone.scr"), "/s"), nullptr);
    EXPECT_EQ(record.process.get(), nullptr);
    ASSERT_EQ(WaitForSingleObject(record.thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(StartLaunch(record, program, "/nowindow /life:300"), nullptr);
    EXPECT_EQ(WaitForSingleObject(record.process.get(), 0), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(record.thread.get(), 5000), WAIT_OBJECT_0);

    window = StartLaunch(record, program, "/life:300");
    EXPECT_TRUE(window && window == app.log.Window("main"));
    ASSERT_TRUE(test::PumpAppUntil(
        [&] { return window = record.ProgramWindow(), app.mainWindow.notices.size() > 1; }, 10000));
    EXPECT_EQ(window, nullptr) << "the window at the notice";
    EXPECT_EQ(ExitCodeOf(record.process.get()), 0u);  // the record's handle still serves
    ASSERT_EQ(WaitForSingleObject(record.thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(NoticesNow(), (Notices{{1, 0}, {1, 0}}));
}

// A launch still running when its record is reused or goes away is ended
// first, with a window or without, and posts nothing then.
TEST_F(LaunchRecordTest, ARunningLaunchEndsBeforeItsRecordIsReusedOrGoes) {
    {
        LaunchRecord own;
        own.windowSearchMs = 300;
        ASSERT_NE(StartLaunch(own, program, ""), nullptr);
        EXPECT_EQ(StartLaunch(own, program, "/nowindow"), nullptr);
        EXPECT_EQ(app.log.Count("close main"), 1);
        EXPECT_EQ(test::CountProcessesInFolder(app.folder.Path()), 1);
    }
    EXPECT_EQ(test::CountProcessesInFolder(app.folder.Path()), 0);
    EXPECT_TRUE(NoticesNow().empty());
}

// A watched program that ends by itself takes its owned watch window with it
// on Windows; Wine leaves one of another process's owner standing, so the
// test takes it down. The watch is undone then; the owner's StopProgram
// afterwards does nothing more.
TEST_F(ProgramWatchTest, AProgramGetsItsOptionsAndStartMacroAndItsOwnEndUndoesTheWatch) {
    Set(settings::kOptionSuffix, "/life:1000");
    Set(settings::kStartSuffix, "T E F05 SHI+A alt+f05");
    Set(settings::kMouseSuffix, "1");
    const int cursor = CursorCount();
    ASSERT_TRUE(RunWatched());
    EXPECT_EQ(app.log.Value("cmdline "), "\"" + program + "\" /life:1000");
    EXPECT_EQ(app.log.Value("cwd "), app.folder.File("Prog Dir"));
    ASSERT_TRUE(test::PumpAppUntil([&] { return !app.mainWindow.notices.empty(); }, 10000));
    HWND dialog = watch.Handle();
    if (IsWindow(dialog)) DestroyWindow(dialog);
    EXPECT_TRUE(CursorCount() == cursor && GetCapture() != dialog);
    EXPECT_TRUE(test::WaitUntil([] { return !(GetAsyncKeyState(VK_LBUTTON) & 0x8000); }));
    ASSERT_TRUE(WaitForEnd());
    watch.StopProgram();
    EXPECT_EQ(CursorCount(), cursor);
    std::string keys;
    for (const std::string& line : app.log.Lines()) keys += line.find("key ") != line.npos ? line + "," : "";
    EXPECT_EQ(keys, "key 54,key 45,key 74,key 10,key 41,syskey 12,syskey 74,");

    // False once the launch is over: the windowless program has ended.
    Set(settings::kOptionSuffix, "/nowindow /life:300");
    EXPECT_FALSE(watch.RunProgram());
    EXPECT_TRUE(!record.ThreadRunning() && app.log.Count("exit") == 2 && !watch.Handle());
    record.path = app.folder.File("missing.exe");
    EXPECT_FALSE(watch.RunProgram());
    EXPECT_FALSE(record.ThreadRunning());
    EXPECT_EQ(NoticesNow(), kOneNotice);
}

// The watch is a 1 x 1 pixel popup owned by the program's window; it hides
// the cursor and counts off the first moves; a move away from the reference
// then ends the program, which is terminated when it ignores its WM_CLOSE.
// Meanwhile, as both wait out a bound, a slow starter's window is found on
// another thread after the bound on the input-idle wait.
TEST_F(ProgramWatchTest, AMoveAwayEndsAProgramIgnoringCloseWhileASlowStartersWindowIsFound) {
    Set(settings::kOptionSuffix, "/ignoreclose");
    Set(settings::kMouseSuffix, "1");
    const int cursor = CursorCount();
    ASSERT_TRUE(RunWatched());
    HWND dialog = watch.Handle();
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), record.ProgramWindow());
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_VISIBLE),
              static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    EXPECT_TRUE(rect.right - rect.left == 1 && rect.bottom - rect.top == 1);
    EXPECT_EQ(CursorCount(), cursor - 1);

    watch.moveState = -4;  // a fresh count; moves sent straight to the window
    for (LPARAM at : {10, 20, 30, 3, 3}) SendMessageA(dialog, WM_MOUSEMOVE, 0, at);  // 3: the reference
    EXPECT_FALSE(app.log.Has("close main"));
    LaunchRecord slow;
    const std::string slowPath = app.folder.PlaceFixture("test_program.exe", "slow.exe");
    const std::string delay = "/delay:" + std::to_string(kInputIdleTimeoutMs + 1000);
    HANDLE slowSignal = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND slowWindow = nullptr;
    std::thread starter([&] { slowWindow = StartLaunch(slow, slowPath, delay.c_str(), slowSignal); });
    const DWORD start = GetTickCount();
    SendMessageA(dialog, WM_MOUSEMOVE, 0, 4);
    EXPECT_GE(GetTickCount() - start, ProgramWatchDialog::kCloseTimeoutMs - 500);
    EXPECT_TRUE(watch.Handle() == nullptr && GetCapture() != dialog && CursorCount() == cursor);
    EXPECT_TRUE(app.log.Count("close main") == 1 && !app.log.Has("exit") && !record.ThreadRunning());
    EXPECT_EQ(ExitCodeOf(record.process.get()), 0u);
    EXPECT_EQ(NoticesNow(), kOneNotice);

    starter.join();
    CloseHandle(slowSignal);
    DWORD owner = 0;
    GetWindowThreadProcessId(slowWindow, &owner);
    EXPECT_EQ(owner, GetProcessId(slow.process.get()));
    EXPECT_EQ(test::ClassNameOf(slowWindow), "TolvarinTestProgram");
}

// Also the keys that the dialog manager would keep for itself.
TEST_F(ProgramWatchTest, EveryKeyEndsAWatchedProgramAndIsNotPassedOn) {
    Set(settings::kMouseSuffix, "1");
    for (auto key : {std::make_pair(VK_RETURN, "key 0D"), {VK_ESCAPE, "key 1B"}, {VK_TAB, "key 09"},
                     {VK_DOWN, "key 28"}, {VK_SPACE, "key 20"}}) {
        SCOPED_TRACE(key.second);
        DeleteFileA(app.folder.File("fixture.log").c_str());
        app.mainWindow.notices.clear();
        ASSERT_TRUE(RunWatched());
        ASSERT_TRUE(test::PumpAppUntil([&] { return GetForegroundWindow() == watch.Handle(); }));
        test::PressKey(static_cast<BYTE>(key.first));
        ASSERT_TRUE(WaitForEnd());
        EXPECT_TRUE(!watch.Handle() && app.log.Has("close main") && !app.log.Has(key.second));
        EXPECT_EQ(NoticesNow(), kOneNotice);
    }
}

// The finish macro follows WM_CLOSE to a program whose window is visible:
// not to a hidden one (which still gets the WM_CLOSE), nor to a screen
// saver, whatever the settings file holds.
TEST_F(ProgramWatchTest, TheFinishMacroGoesToVisibleProgramsOnly) {
    keysDown.clear();
    std::unique_ptr<HHOOK__, BOOL(WINAPI*)(HHOOK)> hook(
        SetWindowsHookExA(WH_KEYBOARD_LL, &WatchKeys, GetModuleHandleA(nullptr), 0),
        &UnhookWindowsHookEx);
    Set(settings::kOptionSuffix, "/confirm");
    Set(settings::kFinishSuffix, "ENT");
    const int cursor = CursorCount();
    ASSERT_TRUE(watch.RunProgram());
    EXPECT_TRUE(!watch.Handle() && CursorCount() == cursor);  // no watch asked for
    watch.StopProgram();
    EXPECT_TRUE(app.log.Has("confirmed"));
    EXPECT_EQ(ExitCodeOf(record.process.get()), 0u);
    EXPECT_EQ(keysDown, "\r") << "the hook sees the injected keys";

    Set(settings::kOptionSuffix, "/hiddenfirst");
    Set(settings::kFinishSuffix, "F03");
    ASSERT_TRUE(watch.RunProgram());
    // The first window in the enumeration is the program's, hidden or not.
    EXPECT_EQ(record.ProgramWindow(), app.log.Window("hidden"));
    watch.StopProgram();
    EXPECT_EQ(app.log.Count("close hidden"), 1);
    EXPECT_EQ(app.log.Count("close main"), 1);  // the first program's

    const std::string saver = app.folder.PlaceFixture("test_saver.scr", "saver.scr");
    Set(settings::kFinishSuffix, "F03", saver);
    ASSERT_NE(StartLaunch(record, saver, "/s"), nullptr);
    watch.StopProgram();
    EXPECT_TRUE(app.log.Has("close") && !record.ThreadRunning());
    RunKeyMacro("F10");  // a key behind any that was sent
    ASSERT_TRUE(test::PumpAppUntil([] { return keysDown.size() > 1; }));
    EXPECT_EQ(keysDown, "\r\x79");  // Enter, F10: no F3
    EXPECT_EQ(NoticesNow(), (Notices{{1, 0}, {1, 0}, {1, 0}}));
}
