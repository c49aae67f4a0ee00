// Sessions of the real `tolvarin.scr /s` on two monitors side by side (the
// test environment's TOLVARIN_MONITORS=2): the second monitor is covered for
// every kind of entry, input there ends the session as input over the entry
// would, and nothing of the session is left afterwards. The cursor is kept
// on the second monitor throughout, so that the entry never sees it move.
#include "players/WindowIds.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/support/TestAvi.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

using test::ProductProcess;

BOOL CALLBACK KeepSecondaryMonitor(HMONITOR monitor, HDC, RECT*, LPARAM parameter) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
        *reinterpret_cast<RECT*>(parameter) = info.rcMonitor;
    }
    return TRUE;
}

RECT SecondMonitor() {
    RECT found = {};
    EnumDisplayMonitors(nullptr, nullptr, &KeepSecondaryMonitor, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool HasRect(HWND window, const RECT& expected) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return EqualRect(&rect, &expected) != FALSE;
}

bool OnPrimary(HWND window) {
    RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return IsWindowVisible(window) && HasRect(window, primary);
}

class MonitorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetSystemMetrics(SM_CMONITORS) < 2) {
            const char* wanted = std::getenv("TOLVARIN_MONITORS");
            if (wanted && std::strcmp(wanted, "2") == 0) FAIL() << "the display shows one monitor";
            GTEST_SKIP() << "needs two monitors (TOLVARIN_MONITORS=2)";
        }
        second = SecondMonitor();
        // Something to hide: a white window of ours on the second monitor.
        backdrop = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, second.left,
                                   second.top, second.right - second.left, second.bottom - second.top,
                                   nullptr, nullptr, nullptr, nullptr);
        NewSession();
        Move(0);
    }
    void TearDown() override {
        process.reset();
        if (backdrop) DestroyWindow(backdrop);
        SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", nullptr);
        test::DeleteUsePasswordFlag();
    }

public:
    // A session of its own in a new folder, with the fixtures' log there.
    void NewSession() {
        process.reset();
        process = std::make_unique<ProductProcess>();
        logPath = process->File("fixture.log");
        SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", logPath.c_str());
        RedrawWindow(backdrop, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        ASSERT_TRUE(test::PumpUntil([&] { return ScreenPixel() == RGB(255, 255, 255); }, 3000));
    }

    COLORREF ScreenPixel() const {
        return test::ScreenPixel((second.left + second.right) / 2, (second.top + second.bottom) / 2);
    }
    void Move(int step) { test::MoveMouseTo(second.left + 200 + (step % 2) * 60, 200 + (step % 2) * 30); }
    // Moves the mouse on the second monitor until the condition holds.
    bool MoveUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
        DWORD start = GetTickCount();
        for (int step = 1;; ++step) {
            Move(step);
            if (test::WaitUntil(condition, 100)) return true;
            if (GetTickCount() - start > timeoutMs) return false;
        }
    }

    std::string Place(const std::string& fixture, const std::string& name) {
        std::string path = process->File(name);
        test::CopyFileTo(test::FixturePath(fixture), path);
        return path;
    }
    void Write(const std::string& entry, const std::string& more = "") {
        process->WriteIni("[LIST]\r\nentry=0\r\nList0=" + entry + "\r\n" + more);
    }
    bool Start() {
        if (!process->Start("/s")) return false;
        host = process->WaitForWindow([](HWND w) { return test::TextOf(w) == TOLVARIN_NAME; });
        return host != nullptr;
    }
    bool LogHas(const std::string& text) const {
        return test::ReadFileBytes(logPath).find(text) != std::string::npos;
    }
    // The session's windows over the second monitor: exactly one, topmost,
    // black.
    bool SecondMonitorCovered() const {
        int covers = 0;
        for (HWND window : test::TopLevelWindowsOf(process->Id(), true)) {
            if (HasRect(window, second) && (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST)) ++covers;
        }
        return covers == 1 && ScreenPixel() == RGB(0, 0, 0);
    }

    std::unique_ptr<ProductProcess> process;
    std::string logPath;
    RECT second = {};
    HWND backdrop = nullptr;
    HWND host = nullptr;
};

struct EntryCase {
    const char* what;
    // Writes the settings; returns the check that the entry is on the primary.
    std::function<std::function<bool()>(MonitorsTest&)> prepare;
    const char* logAfterEnd;  // what the entry's fixture logged, or null
};

TEST_F(MonitorsTest, EachEntryRunsWithTheSecondMonitorCoveredAndAMoveThereEndsTheSession) {
    const EntryCase cases[] = {
        {"nothing to show",
         [](MonitorsTest& t) -> std::function<bool()> {
             t.Write(settings::kMarkOff + t.Place("test_saver.scr", "E1.scr"));
             return [&t] { return test::FindWindowOf(t.process->Id(), OnPrimary) != nullptr; };
         },
         nullptr},
        {"movie",
         [](MonitorsTest& t) -> std::function<bool()> {
             std::string movie = t.process->File("clip.avi");
             test::WriteTestAvi(movie, 64, 48, 10, 10);
             t.Write(settings::kMarkOn + movie);
             return [&t] {
                 HWND player = test::FindWindowOf(t.process->Id(), OnPrimary);
                 return player && test::TextOf(player) == TOLVARIN_PLAYER_CAPTION;
             };
         },
         nullptr},
        {"screen saver",
         [](MonitorsTest& t) -> std::function<bool()> {
             t.Write(settings::kMarkOn + t.Place("test_saver.scr", "E1.scr"));
             return [] {
                 HWND saver = FindWindowA(nullptr, "test_saver");
                 return saver && IsWindowVisible(saver);
             };
         },
         "close"},
        {"watched program",
         [](MonitorsTest& t) -> std::function<bool()> {
             std::string program = t.Place("test_program.exe", "prog.exe");
             t.Write(settings::kMarkOn + program,
                     "[EXE_CONFIG]\r\n" + program + "@mouse=1\r\n" + program +
                         "@option=/confirm\r\n" + program + "@finish=ENT\r\n");
             return [] { return FindWindowA(nullptr, "test_program") != nullptr; };
         },
         "confirmed"},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(NewSession());
        std::function<bool()> entryUp = c.prepare(*this);
        ASSERT_TRUE(Start());
        ASSERT_TRUE(test::WaitUntil([&] { return entryUp() && SecondMonitorCovered(); }));
        RECT both = {0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        test::SaveScreenshot(std::string("monitors_") + c.what, &both);
        // The covers follow a change of the monitors without taking the
        // activation away from the entry.
        SendMessageA(host, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
        EXPECT_TRUE(test::WaitUntil([&] { return SecondMonitorCovered(); }));
        EXPECT_FALSE(HasRect(GetForegroundWindow(), second));
        EXPECT_TRUE(entryUp());

        ASSERT_TRUE(MoveUntil([&] { return !process->Running(); }, 20000));
        EXPECT_EQ(test::CountProcessesInFolder(process->Folder()), 0);
        if (c.logAfterEnd) {
            EXPECT_TRUE(LogHas(c.logAfterEnd)) << test::ReadFileBytes(logPath);
        }
        EXPECT_FALSE(LogHas("input mouse"));  // the saver never saw the mouse move
    }
}

TEST_F(MonitorsTest, AProgramThatTakesInputItselfKeepsRunningWhenTheMouseMovesOnTheSecondMonitor) {
    Write(settings::kMarkOn + Place("test_program.exe", "prog.exe"));
    ASSERT_TRUE(Start());
    HWND program = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        return (program = FindWindowA(nullptr, "test_program")) != nullptr && SecondMonitorCovered();
    }));
    EXPECT_FALSE(MoveUntil([&] { return !process->Running(); }, 2000));
    PostMessageA(program, WM_CLOSE, 0, 0);  // the user quits it: the session ends with it
    EXPECT_TRUE(process->WaitForExit(15000));
}

TEST_F(MonitorsTest, WithThePasswordTheCheckComesAfterAMoveOnTheSecondMonitor) {
    test::SystemPasswordCheck passwordCheck;
    test::WriteFileBytes(process->File("password_answers.txt"), "01");
    test::SetUsePasswordFlag(1);
    process->WriteIni("[OTHER]\r\n");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(test::WaitUntil([&] { return SecondMonitorCovered(); }));
    std::string passwordLog = process->File("password_log.txt");
    auto checks = [&] { return test::ReadFileBytes(passwordLog); };
    // Wrong: the next entry comes, and the second monitor stays covered.
    ASSERT_TRUE(MoveUntil([&] { return checks().find("answer=0") != std::string::npos; }));
    ASSERT_TRUE(test::WaitUntil([&] {
        return !IsWindowVisible(host) && test::FindWindowOf(process->Id(), OnPrimary) && SecondMonitorCovered();
    }));
    ASSERT_TRUE(MoveUntil([&] { return !process->Running(); }));
    EXPECT_EQ(checks(), "verify flag=1 answer=0\r\nverify flag=1 answer=1\r\n");
}

// The mouse moves while the host switches from one saver to the next: the
// session ends, and only one password check is made.
TEST_F(MonitorsTest, AMoveDuringASwitchEndsTheSessionOnce) {
    test::SystemPasswordCheck passwordCheck;
    test::SetUsePasswordFlag(1);
    std::string e1 = Place("test_saver.scr", "E1.scr");
    std::string e2 = Place("test_saver.scr", "E2.scr");
    process->WriteIni("[LIST]\r\nentry=1\r\nList0=○" + e1 + "\r\nList1=○" + e2 +
                      "\r\n[OTHER]\r\nOrder=2\r\n[TIMER]\r\nON/OFF=1\r\nTime=5\r\n");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(test::WaitUntil([&] { return LogHas("E1.scr") && SecondMonitorCovered(); }));
    PostMessageA(host, WM_TIMER, kSwitchTimerId, 0);
    ASSERT_TRUE(MoveUntil([&] { return !process->Running(); }));
    EXPECT_TRUE(LogHas("E2.scr"));
    EXPECT_EQ(test::ReadFileBytes(process->File("password_log.txt")), "verify flag=1 answer=1\r\n");
}

}  // namespace
