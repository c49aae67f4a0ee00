// A session of the real `tolvarin.scr /s` on two monitors side by side (the
// test environment's TOLVARIN_MONITORS=2), with the password on and a
// stand-in password check that answers wrong until the last entry (each
// wrong answer goes on with the next entry, the flag suspended again; the
// last check meets an end notice, which must not ask again): the
// second monitor is covered for every kind of entry, a move there ends the
// entry as input over it would (but for a program that takes input itself),
// a move during a switch ends the new entry once, and nothing of the session
// is left afterwards. The cursor stays on the second monitor throughout, so
// that no entry ever sees it move.
#include "players/WindowIds.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

BOOL CALLBACK KeepSecondaryMonitor(HMONITOR monitor, HDC, RECT*, LPARAM parameter) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
        *reinterpret_cast<RECT*>(parameter) = info.rcMonitor;
    }
    return TRUE;
}

bool HasRect(HWND window, const RECT& expected) {
    RECT rect = {};
    return GetWindowRect(window, &rect) && EqualRect(&rect, &expected);
}

TEST(MonitorsTest, EveryEntryRunsWithTheSecondMonitorCoveredAndAMoveThereEndsIt) {
    const char* wanted = std::getenv("TOLVARIN_MONITORS");
    if (GetSystemMetrics(SM_CMONITORS) < 2 && wanted && std::string(wanted) == "2") FAIL() << "the display shows one";
    if (GetSystemMetrics(SM_CMONITORS) < 2) GTEST_SKIP() << "needs two monitors (TOLVARIN_MONITORS=2)";
    RECT second = {};
    RECT both = {0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EnumDisplayMonitors(nullptr, nullptr, &KeepSecondaryMonitor, reinterpret_cast<LPARAM>(&second));
    const POINT middle = {(second.left + second.right) / 2, (second.top + second.bottom) / 2};
    auto pixel = [&] { return test::ScreenPixel(middle.x, middle.y); };
    test::MoveMouseUntil([] { return true; }, 0, second.left + 200);
    // Something to hide: a white window of ours on the second monitor.
    HWND backdrop = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, second.left, second.top,
                                    second.right - second.left, second.bottom - second.top, nullptr, nullptr, nullptr,
                                    nullptr);
    ASSERT_TRUE(test::WaitUntil([&] { return pixel() == RGB(255, 255, 255); }, 3000, 20, true));

    test::SystemPasswordCheck passwordCheck("00000p");
    test::SetUsePasswordFlag(1);
    test::ProductProcess p;
    std::string program = p.PlaceFixture("test_program.exe", "prog.exe");
    const std::string list[] = {p.PlaceFixture("test_saver.scr", "E1.scr"), test::FixturePath("clips\\clip.avi"),
                                program, p.PlaceFixture("test_program.exe", "quiet.exe"), p.File("missing.exe"),
                                p.PlaceFixture("test_saver.scr", "E2.scr")};
    std::string ini = "[LIST]\r\nentry=5\r\n";
    for (int i = 0; i < 6; ++i) ini += "List" + std::to_string(i) + "=○" + list[i] + "\r\n";
    p.WriteIni(ini + "[OTHER]\r\nOrder=2\r\n[TIMER]\r\nON/OFF=1\r\nTime=5\r\n[EXE_CONFIG]\r\n" + program +
               "@mouse=1\r\n" + program + "@option=/confirm\r\n" + program + "@finish=ENT\r\n");
    auto checkCount = [&] { return p.Log().Lines("verify ").size(); };
    // The session's windows over the second monitor: exactly one, topmost, black.
    auto covered = [&] {
        auto windows = test::TopLevelWindowsOf(p.Id(), true);
        return pixel() == RGB(0, 0, 0) && std::count_if(windows.begin(), windows.end(), [&](HWND w) {
            return HasRect(w, second) && (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        }) == 1;
    };
    // Each entry's window: the fixture's own, or the session's over the
    // primary monitor; what the fixture logged at its end, if anything.
    const struct { const char *what, *caption; bool ours; const char* loggedAtEnd; } rows[] = {
        {"screen saver", "test_saver", false, "close"}, {"movie", TOLVARIN_PLAYER_CAPTION, true, nullptr},
        {"watched program", "test_program", false, "confirmed"},
        {"program taking input", "test_program", false, nullptr},
        {"nothing started", "", true, nullptr}, {"switch", "test_saver", false, nullptr}};
    auto up = [&](const char* caption, bool ours) {
        HWND w = ours ? test::FindWindowOf(p.Id(), [&](HWND w) { return IsWindowVisible(w) && HasRect(w, primary); })
                      : FindWindowA(nullptr, caption);
        return w && IsWindowVisible(w) && test::TextOf(w) == caption;
    };
    ASSERT_TRUE(p.Start("/s"));
    HWND host = p.WaitForWindow([](HWND w) { return test::TextOf(w) == TOLVARIN_NAME; });
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(rows[i].what);
        ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(host) && up(rows[i].caption, rows[i].ours); }));
        EXPECT_TRUE(test::WaitUntil(covered));
        EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
        test::SaveScreenshot(std::string("monitors_") + rows[i].what, &both);
        if (i == 3) {  // moves leave this program running; the user quits it
            EXPECT_FALSE(test::MoveMouseUntil([&] { return checkCount() > i; }, 2000, second.left + 200));
            PostMessageA(FindWindowA(nullptr, "test_program"), WM_CLOSE, 0, 0);
        }
        // The last move comes during a switch back to E1: one end, one check.
        if (i == 5) PostMessageA(host, WM_TIMER, kSwitchTimerId, 0);
        ASSERT_TRUE(test::MoveMouseUntil([&] { return checkCount() > i; }, 20000, second.left + 200));
        EXPECT_TRUE(!rows[i].loggedAtEnd || p.Log().Wait(rows[i].loggedAtEnd)) << rows[i].loggedAtEnd;
    }
    EXPECT_TRUE(p.WaitForExit());
    const std::string wrong = "verify flag=1 answer=0";
    EXPECT_EQ(p.Log().Lines("verify "), (std::vector<std::string>{wrong, wrong, wrong, wrong, wrong,
                                                                  "verify flag=1 answer=1"}));
    EXPECT_EQ(test::GetUsePasswordFlag(), 1u);  // restored at the end
    EXPECT_EQ(p.ReadIni("OTHER", "Last"), p.File("E1.scr"));
    EXPECT_EQ(test::CountProcessesInFolder(p.Folder()), 0);
    EXPECT_FALSE(p.Log().Has("input mouse"));  // no saver saw the mouse move
    DestroyWindow(backdrop);
    test::DeleteUsePasswordFlag();
}

}  // namespace
