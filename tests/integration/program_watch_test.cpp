// The program watch dialog against the real fixture program and screen
// saver: start macro, mouse watch, the keys that end a program, the finish
// macro, and the close that ends in termination.
#include "players/KeyMacro.h"
#include "players/LaunchRecord.h"
#include "players/ProgramWatchDialog.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/LaunchSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using launchtest::KeyWatcher;
using launchtest::LaunchEnvironment;
using launchtest::PumpAppUntil;
using launchtest::PumpQueued;

namespace {

// Lets the tests see the watch state.
class WatchProbe : public ProgramWatchDialog {
public:
    using ProgramWatchDialog::captureArmed;
    using ProgramWatchDialog::mouseWatch;
    using ProgramWatchDialog::moveState;
};

// The cursor's show count of this thread.
int CursorCount() {
    int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return count;
}

class ProgramWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = env.PlaceFixture("test_program.exe", "Prog Dir\\prog.exe");
        watch.record = &record;
        record.path = program;
    }
    void TearDown() override {
        // Leaves no watch behind a failed test.
        if (watch.mouseWatch || record.ThreadRunning()) watch.StopProgram();
    }
    void Set(const char* suffix, const std::string& value) { env.SetEntry(program, suffix, value); }
    bool WaitForEnd(DWORD timeoutMs = 15000) {
        return PumpAppUntil([&] { return !record.ThreadRunning(); }, timeoutMs);
    }
    std::vector<WPARAM> NoticesAfterEnd() {
        PumpQueued();
        return env.mainWindow.notices;
    }

    LaunchEnvironment env;
    LaunchRecord record;
    WatchProbe watch;
    std::string program;
};

const std::vector<WPARAM> kOneNotice = {1};

}  // namespace

TEST_F(ProgramWatchTest, WithoutMouseWatchTheProgramGetsItsOptionsAndStartMacro) {
    Set(settings::kOptionSuffix, "/life:60000");
    Set(settings::kStartSuffix, "T E F05 SHI+A alt+f04");
    int cursor = CursorCount();
    ASSERT_TRUE(watch.RunProgram());
    EXPECT_EQ(watch.Handle(), nullptr);
    EXPECT_EQ(CursorCount(), cursor);
    EXPECT_EQ(env.LogValue("cmdline "), "\"" + program + "\" /life:60000");
    EXPECT_EQ(env.LogValue("cwd "), env.folder.File("Prog Dir"));

    // ALT+F04 closes the program through its system menu.
    ASSERT_TRUE(env.WaitForLog("exit"));
    std::vector<std::string> keys;
    for (const std::string& line : env.Log()) {
        if (line.compare(0, 3, "key") == 0 || line.compare(0, 6, "syskey") == 0) keys.push_back(line);
    }
    std::vector<std::string> expected = {"key 54", "key 45", "key 74", "key 10", "key 41",
                                         "syskey 12", "syskey 73"};
    EXPECT_EQ(keys, expected);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
}

TEST_F(ProgramWatchTest, AFailedOrWindowlessStartReturnsFalseAfterTheThreadEnded) {
    Set(settings::kOptionSuffix, "/nowindow /life:500");
    Set(settings::kMouseSuffix, "1");
    EXPECT_FALSE(watch.RunProgram());
    EXPECT_FALSE(record.ThreadRunning());
    EXPECT_TRUE(env.LogHas("exit"));
    EXPECT_EQ(watch.Handle(), nullptr);

    record.path = env.folder.File("missing.exe");
    EXPECT_FALSE(watch.RunProgram());
    EXPECT_FALSE(record.ThreadRunning());
    EXPECT_EQ(watch.Handle(), nullptr);
    EXPECT_TRUE(NoticesAfterEnd().empty());
}

TEST_F(ProgramWatchTest, MouseWatchIgnoresThreeMovesThenEndsOnAMoveAway) {
    Set(settings::kMouseSuffix, "1");
    int cursor = CursorCount();
    // Under Wine the server learns the pointer's place only once it moved.
    test::MoveMouseTo(400, 300);
    ASSERT_TRUE(watch.RunProgram());
    ASSERT_NE(watch.Handle(), nullptr);
    EXPECT_EQ(GetWindow(watch.Handle(), GW_OWNER), record.ProgramWindow());
    LONG style = GetWindowLongA(watch.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_CAPTION), static_cast<LONG>(WS_POPUP));
    EXPECT_TRUE(GetWindowLongA(watch.Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    RECT rect = {};
    GetWindowRect(watch.Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 1);
    EXPECT_EQ(rect.bottom - rect.top, 1);
    EXPECT_TRUE(IsWindowVisible(watch.Handle()));
    EXPECT_EQ(CursorCount(), cursor - 1);
    // The injected press lands on the window, which takes the capture.
    ASSERT_TRUE(PumpAppUntil([&] { return GetCapture() == watch.Handle(); }));
    EXPECT_EQ(watch.captureArmed, 0);

    // From a fresh count, moves sent straight to the window.
    watch.moveState = -4;
    auto move = [&](int x, int y) { SendMessageA(watch.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); };
    move(10, 10);
    move(20, 20);
    move(30, 30);
    EXPECT_EQ(watch.moveState, -1);
    move(3, 4);
    EXPECT_EQ(watch.moveState, static_cast<int>(MAKELPARAM(3, 4)));
    move(3, 4);
    EXPECT_TRUE(record.ThreadRunning());
    EXPECT_NE(watch.Handle(), nullptr);
    EXPECT_FALSE(env.LogHas("close main"));

    HWND dialog = watch.Handle();
    move(4, 4);
    EXPECT_EQ(watch.Handle(), nullptr);
    EXPECT_EQ(watch.mouseWatch, 0);
    EXPECT_EQ(CursorCount(), cursor);
    EXPECT_NE(GetCapture(), dialog);
    EXPECT_TRUE(env.LogHas("close main"));
    EXPECT_FALSE(record.ThreadRunning());
    EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
}

TEST_F(ProgramWatchTest, RealInputEndsAWatchedProgram) {
    Set(settings::kMouseSuffix, "1");
    test::MoveMouseTo(500, 400);
    ASSERT_TRUE(watch.RunProgram());
    ASSERT_TRUE(PumpAppUntil([&] { return GetCapture() == watch.Handle(); }));
    PumpQueued();
    // Moves elsewhere, as many as it takes: the first few are counted off.
    int step = 0;
    ASSERT_TRUE(PumpAppUntil(
        [&] {
            if (watch.Handle()) test::MoveMouseTo(300 + (step++ % 5) * 40, 300);
            return !record.ThreadRunning();
        },
        15000));
    EXPECT_EQ(watch.Handle(), nullptr);
    EXPECT_TRUE(env.LogHas("close main"));
    EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
}

// Also the keys that the dialog manager keeps for itself.
TEST_F(ProgramWatchTest, EveryKeyEndsTheProgramAndIsNotPassedOn) {
    Set(settings::kMouseSuffix, "1");
    for (BYTE key : std::initializer_list<BYTE>{VK_RETURN, VK_ESCAPE, VK_TAB, VK_DOWN, VK_SPACE}) {
        SCOPED_TRACE(key);
        DeleteFileA(env.logPath.c_str());
        env.mainWindow.notices.clear();
        test::MoveMouseTo(400, 300);
        ASSERT_TRUE(watch.RunProgram());
        ASSERT_TRUE(PumpAppUntil([&] { return GetCapture() == watch.Handle(); }));
        ASSERT_TRUE(PumpAppUntil([&] { return GetForegroundWindow() == watch.Handle(); }));
        test::PressKey(key);
        ASSERT_TRUE(WaitForEnd());
        EXPECT_EQ(watch.Handle(), nullptr);
        EXPECT_TRUE(env.LogHas("close main"));
        char logged[8];
        std::snprintf(logged, sizeof logged, "key %02X", key);
        EXPECT_FALSE(env.LogHas(logged));
        EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
    }
}

TEST_F(ProgramWatchTest, TheFinishMacroAnswersAConfirmation) {
    Set(settings::kOptionSuffix, "/confirm");
    Set(settings::kFinishSuffix, "ENT");
    ASSERT_TRUE(watch.RunProgram());
    watch.StopProgram();
    EXPECT_FALSE(record.ThreadRunning());
    EXPECT_TRUE(env.LogHas("confirmed"));
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(record.process.get(), &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
}

TEST_F(ProgramWatchTest, TheHiddenFirstWindowIsTheOneClosed) {
    Set(settings::kOptionSuffix, "/hiddenfirst");
    ASSERT_TRUE(watch.RunProgram());
    EXPECT_EQ(record.ProgramWindow(), env.LoggedWindow("hidden"));
    watch.StopProgram();
    EXPECT_TRUE(env.LogHas("close hidden"));
    EXPECT_FALSE(env.LogHas("close main"));
    EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
}

// No finish macro for a window that is hidden by the time of the visibility
// test, nor for a screen saver, whatever the settings file holds.
TEST_F(ProgramWatchTest, HiddenWindowsAndScreenSaversGetNoFinishMacro) {
    KeyWatcher keys;
    ASSERT_TRUE(keys.Started());
    RunKeyMacro("F09");
    ASSERT_TRUE(keys.WaitFor(VK_F9)) << "the key watcher sees injected keys";

    Set(settings::kOptionSuffix, "/hideonclose");
    Set(settings::kFinishSuffix, "F03");
    ASSERT_TRUE(watch.RunProgram());
    HWND window = record.ProgramWindow();
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(window); }));
    watch.StopProgram();
    EXPECT_EQ(env.CountLog("close main"), 2);  // the program was still there
    EXPECT_FALSE(record.ThreadRunning());

    std::string saver = env.PlaceFixture("test_saver.scr", "saver.scr");
    env.SetEntry(saver, settings::kFinishSuffix, "F03");
    ASSERT_NE(StartLaunch(record, saver, "/s"), nullptr);
    watch.StopProgram();
    EXPECT_TRUE(env.LogHas("close"));
    EXPECT_FALSE(record.ThreadRunning());

    RunKeyMacro("F10");
    ASSERT_TRUE(keys.WaitFor(VK_F10));
    EXPECT_FALSE(keys.Saw(VK_F3));
    EXPECT_EQ(NoticesAfterEnd(), (std::vector<WPARAM>{1, 1}));
}

TEST_F(ProgramWatchTest, AProgramIgnoringCloseIsTerminatedAndStillNotifies) {
    Set(settings::kOptionSuffix, "/ignoreclose");
    Set(settings::kMouseSuffix, "1");
    ASSERT_TRUE(watch.RunProgram());
    DWORD start = GetTickCount();
    watch.StopProgram();
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, ProgramWatchDialog::kCloseTimeoutMs - 500);
    EXPECT_TRUE(env.LogHas("close main"));
    EXPECT_FALSE(env.LogHas("exit"));
    EXPECT_FALSE(record.ThreadRunning());
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(record.process.get(), &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
}

// An owned window goes with its owner; Wine leaves one of another process's
// owner standing, so the test takes it down as Windows would.
TEST_F(ProgramWatchTest, AWatchedProgramEndingByItselfUndoesTheWatchWithTheWindow) {
    Set(settings::kOptionSuffix, "/life:800");
    Set(settings::kMouseSuffix, "1");
    int cursor = CursorCount();
    test::MoveMouseTo(400, 300);
    ASSERT_TRUE(watch.RunProgram());
    ASSERT_TRUE(PumpAppUntil([&] { return GetCapture() == watch.Handle(); }));
    ASSERT_TRUE(PumpAppUntil([&] { return !env.mainWindow.notices.empty(); }, 10000));
    HWND dialog = watch.Handle();
    if (IsWindow(dialog)) DestroyWindow(dialog);
    EXPECT_EQ(watch.mouseWatch, 0);
    EXPECT_EQ(CursorCount(), cursor);
    EXPECT_NE(GetCapture(), dialog);
    EXPECT_TRUE(test::WaitUntil([] { return !(GetAsyncKeyState(VK_LBUTTON) & 0x8000); }));
    // The owner's StopProgram afterwards does nothing more.
    ASSERT_TRUE(WaitForEnd());
    watch.StopProgram();
    EXPECT_EQ(CursorCount(), cursor);
    EXPECT_EQ(NoticesAfterEnd(), kOneNotice);
}
