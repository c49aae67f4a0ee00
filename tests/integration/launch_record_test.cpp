// The program launcher against the real fixture program and screen saver:
// command line and working folder, failed and windowless starts, the window
// found, and the end notice.
#include "players/LaunchRecord.h"
#include "tests/integration/support/LaunchSupport.h"

#include <gtest/gtest.h>

#include <string>

using launchtest::LaunchEnvironment;
using launchtest::PumpAppUntil;
using launchtest::PumpQueued;

namespace {

bool SignalIsClear(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_TIMEOUT; }

}  // namespace

TEST(LaunchRecordTest, CommandLineQuotesThePathAndKeepsTheOptionsSpace) {
    EXPECT_EQ(LaunchCommandLine("C:\\Games\\My Saver.scr", "/s"), "\"C:\\Games\\My Saver.scr\" /s");
    EXPECT_EQ(LaunchCommandLine("C:\\a.exe", ""), "\"C:\\a.exe\" ");
    EXPECT_EQ(LaunchWorkingFolder("C:\\Games\\My Saver.scr"), "C:\\Games");
    EXPECT_EQ(LaunchWorkingFolder("C:\\root.exe"), "C:\\");
    EXPECT_EQ(LaunchWorkingFolder("bare.exe"), "");
    // The second bytes of ソ (83 5C) and 表 (95 5C) are no backslashes.
    EXPECT_EQ(LaunchWorkingFolder("C:\\Games\\ソ.scr"), "C:\\Games");
    EXPECT_EQ(LaunchWorkingFolder("C:\\表\\表.exe"), "C:\\表");
}

// Unquoted, "...\Games Dir\My Saver.scr /s" would start "...\Games.exe" or
// "...\Games Dir\My.exe" first; both are there to be started by mistake.
TEST(LaunchRecordTest, APathWithSpacesStartsTheRightFileInItsFolder) {
    LaunchEnvironment env;
    std::string saver = env.PlaceFixture("test_saver.scr", "Games Dir\\My Saver.scr");
    env.PlaceFixture("test_program.exe", "Games.exe");
    env.PlaceFixture("test_program.exe", "Games Dir\\My.exe");

    LaunchRecord record;
    HWND window = StartLaunch(record, saver, "/s");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SignalIsClear(env.signal));
    EXPECT_EQ(window, env.LoggedWindow("saver"));
    EXPECT_EQ(env.LogValue("module "), saver);
    EXPECT_EQ(env.LogValue("cmdline "), "\"" + saver + "\" /s");
    EXPECT_EQ(env.LogValue("cwd "), env.folder.File("Games Dir"));
    EXPECT_EQ(env.CountLog("start"), 1);
    // The saver carries its name as screen savers do (other tests list it).
    HMODULE resources = LoadLibraryExA(saver.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char name[64] = {};
    LoadStringA(resources, 1, name, sizeof name);
    EXPECT_STREQ(name, "テストセーバー");
    FreeLibrary(resources);

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpAppUntil([&] { return !record.ThreadRunning(); }, 10000));
    PumpQueued();
    EXPECT_EQ(env.mainWindow.notices, std::vector<WPARAM>{1});
}

TEST(LaunchRecordTest, AnEmptyOptionTextLeavesTheTrailingSpace) {
    LaunchEnvironment env;
    std::string program = env.PlaceFixture("test_program.exe", "prog.exe");
    LaunchRecord record;
    ASSERT_NE(StartLaunch(record, program, ""), nullptr);
    EXPECT_EQ(env.LogValue("cmdline "), "\"" + program + "\" ");
    PostMessageA(record.ProgramWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpAppUntil([&] { return !record.ThreadRunning(); }, 10000));
}

TEST(LaunchRecordTest, AMissingFileGivesNoWindowAtOnceAndLeavesNoSignal) {
    LaunchEnvironment env;
    LaunchRecord record;
    DWORD start = GetTickCount();
    EXPECT_EQ(StartLaunch(record, env.folder.File("gone.scr"), "/s"), nullptr);
    EXPECT_LT(GetTickCount() - start, 5000u);  // not a speed target: no hang
    EXPECT_TRUE(SignalIsClear(env.signal));
    EXPECT_EQ(record.process.get(), nullptr);
    ASSERT_NE(record.thread.get(), nullptr);
    EXPECT_EQ(WaitForSingleObject(record.thread.get(), 5000), WAIT_OBJECT_0);
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeThread(record.thread.get(), &code));
    EXPECT_EQ(code, 0u);
    PumpQueued();
    EXPECT_TRUE(env.mainWindow.notices.empty());

    // The next launch on the same record waits for its own signal.
    std::string program = env.PlaceFixture("test_program.exe", "prog.exe");
    ASSERT_NE(StartLaunch(record, program, "/life:300"), nullptr);
    ASSERT_TRUE(PumpAppUntil([&] { return !env.mainWindow.notices.empty(); }, 10000));
}

// A slow starter is no windowless program: its window is looked for past
// the bound on the input-idle wait. A windowless one is waited for until it
// ends, and nothing is posted for it.
TEST(LaunchRecordTest, TheWindowIsLookedForUntilItComesOrTheProgramEnds) {
    LaunchEnvironment env;
    std::string program = env.PlaceFixture("test_program.exe", "prog.exe");
    LaunchRecord record;
    const std::string delay = "/delay:" + std::to_string(kInputIdleTimeoutMs + 1000);
    HWND window = StartLaunch(record, program, delay.c_str());
    ASSERT_NE(window, nullptr);
    // The fixture logs its window just after making it.
    EXPECT_TRUE(test::WaitUntil([&] { return env.LoggedWindow("main") == window; }));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpAppUntil([&] { return !record.ThreadRunning(); }, 10000));
    PumpQueued();
    env.mainWindow.notices.clear();

    EXPECT_EQ(StartLaunch(record, program, "/nowindow /life:1000"), nullptr);
    ASSERT_NE(record.process.get(), nullptr);
    EXPECT_EQ(WaitForSingleObject(record.process.get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(env.LogHas("exit"));
    ASSERT_EQ(WaitForSingleObject(record.thread.get(), 10000), WAIT_OBJECT_0);
    PumpQueued();
    EXPECT_TRUE(env.mainWindow.notices.empty());
}

TEST(LaunchRecordTest, TheFirstWindowInTheEnumerationIsFoundEvenWhenHidden) {
    LaunchEnvironment env;
    std::string program = env.PlaceFixture("test_program.exe", "prog.exe");
    LaunchRecord record;
    HWND window = StartLaunch(record, program, "/hiddenfirst");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, env.LoggedWindow("hidden"));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_NE(env.LoggedWindow("main"), nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpAppUntil([&] { return !record.ThreadRunning(); }, 10000));
}

TEST(LaunchRecordTest, AProgramEndingByItselfPostsTheNoticeOnceAfterTheWindowIsReset) {
    LaunchEnvironment env;
    std::string program = env.PlaceFixture("test_program.exe", "prog.exe");
    LaunchRecord record;
    HWND window = StartLaunch(record, program, "/life:500");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, env.LoggedWindow("main"));
    EXPECT_EQ(record.ProgramWindow(), window);

    HWND windowAtNotice = window;
    bool processEndedAtNotice = false;
    ASSERT_TRUE(PumpAppUntil(
        [&] {
            if (env.mainWindow.notices.empty()) return false;
            windowAtNotice = record.ProgramWindow();
            processEndedAtNotice = WaitForSingleObject(record.process.get(), 0) == WAIT_OBJECT_0;
            return true;
        },
        10000));
    EXPECT_EQ(windowAtNotice, nullptr);
    EXPECT_TRUE(processEndedAtNotice);
    // The record's process handle is still good for its exit code.
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(record.process.get(), &code));
    EXPECT_EQ(code, 0u);
    ASSERT_EQ(WaitForSingleObject(record.thread.get(), 5000), WAIT_OBJECT_0);
    PumpQueued();
    EXPECT_EQ(env.mainWindow.notices, std::vector<WPARAM>{1});
}

static HANDLE Duplicate(HANDLE handle) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

// A launch still running when its record is reused or goes away is ended
// first, with a window or without, and posts no end notice then.
TEST(LaunchRecordTest, ARunningLaunchEndsBeforeItsRecordIsReusedOrGoes) {
    LaunchEnvironment env;
    std::string program = env.PlaceFixture("test_program.exe", "prog.exe");
    HANDLE first = nullptr;
    HANDLE second = nullptr;
    {
        LaunchRecord record;
        record.windowSearchMs = 300;
        ASSERT_NE(StartLaunch(record, program, ""), nullptr);
        first = Duplicate(record.process.get());
        EXPECT_EQ(StartLaunch(record, program, "/nowindow"), nullptr);
        EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_OBJECT_0);
        EXPECT_EQ(env.CountLog("close main"), 1);
        EXPECT_TRUE(record.ThreadRunning());
        second = Duplicate(record.process.get());
    }
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    CloseHandle(first);
    CloseHandle(second);
    PumpQueued();
    EXPECT_TRUE(env.mainWindow.notices.empty());
}
