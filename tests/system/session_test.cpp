// Whole saver sessions of the real `tolvarin.scr /s`: what each kind of
// entry starts or shows, the order of the picks over switches (made by
// posting the switch timer's WM_TIMER to the host window), the ends of a
// session, and a session on two monitors (MonitorsTest, run on a display
// that shows two; elsewhere it skips).
#include "players/WindowIds.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/fixtures/FixtureLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

bool FullScreen(HWND w) {
    RECT r = {};
    return IsWindowVisible(w) && GetWindowRect(w, &r) && r.left <= 0 && r.top <= 0 &&
           r.right >= GetSystemMetrics(SM_CXSCREEN) && r.bottom >= GetSystemMetrics(SM_CYSCREEN);
}
bool IsCover(HWND w) {
    return FullScreen(w) && test::TextOf(w).empty() && (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
}
std::string On(const std::string& path) { return settings::kMarkOn + path; }

struct Session {
    // The list (stored values with their marks), then further ini text.
    bool Start(const std::vector<std::string>& values, const std::string& more) {
        p.WriteIni(test::ListIni(values) + more + "[TIMER]\r\nON/OFF=1\r\nTime=5\r\n");
        if (!p.Start("/s")) return false;
        host = p.WaitForWindow([](HWND w) { return test::TextOf(w) == TOLVARIN_NAME; });
        return host != nullptr;
    }
    // The file names of the fixtures started so far, in order.
    std::vector<std::string> Started() const {
        std::vector<std::string> names;
        for (const std::string& line : p.Log().Lines("module ")) names.push_back(line.substr(line.rfind('\\') + 1));
        return names;
    }
    void Switch() const { PostMessageA(host, WM_TIMER, kSwitchTimerId, 0); }
    // A window of the session over the whole primary monitor: the start cover
    // while an entry starts, or the cover window.
    HWND Covering() const { return test::FindWindowOf(p.Id(), FullScreen); }
    // The entry's window of that caption is up, and nothing of the session covers it.
    bool Shows(const char* caption) const {
        HWND w = FindWindowA(nullptr, caption);
        return w && IsWindowVisible(w) && !Covering();
    }
    // The session's window answers a message within a second.
    bool Answers() const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
    }
    std::string Last() const { return p.ReadIni("OTHER", "Last"); }

    test::ProductProcess p;
    HWND host = nullptr;
};

TEST(SessionTest, ListOrderGoesOnAfterLastTakesInWhatIsSwitchedOnAndTheEntrysEndEndsIt) {
    test::SystemPasswordCheck passwordCheck;  // there, but the password is off: never asked
    test::UsePasswordFlag flag(0);
    Session s;
    const std::string e1 = s.p.PlaceFixture("test_saver.scr", "E1.scr");
    const std::string e2 = s.p.PlaceFixture("test_saver.scr", "Upper Case.SCR");
    const std::string program = s.p.PlaceFixture("test_program.exe", "prog.exe");
    const std::string more = "[OTHER]\r\nOrder=1\r\nLast=" + e1 + "\r\n[EXE_CONFIG]\r\n" + program +
                             "@option=/life:1500\r\n";
    ASSERT_TRUE(s.Start({On(e1), On(e2), settings::kMarkOff + program}, more));
    ASSERT_TRUE(test::WaitUntil([&] { return s.Started().size() == 1; }));
    // The pool was refilled right after this first pick: the entry switched
    // on now joins the cycle after the next.
    WritePrivateProfileStringA("LIST", "List2", On(program).c_str(), s.p.IniPath().c_str());
    for (size_t i = 2; i <= 6; ++i) {
        // Once, the saver is up when the switch comes.
        if (i == 3) {
            ASSERT_TRUE(test::WaitUntil([&] { return s.Shows("test_saver"); }));
        }
        s.Switch();
        ASSERT_TRUE(test::WaitUntil([&] { return s.Started().size() == i; })) << i;
    }
    const std::string u = "Upper Case.SCR";
    EXPECT_EQ(s.Started(), (std::vector<std::string>{u, "E1.scr", u, "E1.scr", u, "prog.exe"}));
    EXPECT_TRUE(s.p.Log().Has("cmdline \"" + e2 + "\" /s"));
    // A switch away from a screen saver that shows injects Escape; the saver
    // that has the keyboard at that moment takes it and ends itself. One
    // still starting is ended.
    EXPECT_GE(s.p.Log().Count("key 1B"), 1);
    ASSERT_TRUE(s.p.WaitForExit(15000));  // the program ends by itself after its life, and the session with it
    EXPECT_EQ(s.Last(), program);
    EXPECT_EQ(test::CountProcessesInFolder(s.p.Folder()), 0);
    EXPECT_TRUE(s.p.Log().Lines("verify ").empty());
}

// Nothing an entry does as it starts holds the session up: while a program
// is slow to show its window the session answers at once, a black start
// cover hides the desktop (the placeholder picture after 5 s), and the
// switch works; a program that sends to every window before its first one
// comes up; input during a start ends the session, and nothing started is
// left running.
TEST(SessionTest, AStartNeverHoldsTheSessionAndIsCoveredUntilTheEntryShows) {
    Session s;
    const std::string slow = s.p.PlaceFixture("test_program.exe", "slow.exe");
    const std::string broadcasting = s.p.PlaceFixture("test_program.exe", "broadcasting.exe");
    const std::string held = s.p.PlaceFixture("test_program.exe", "held.exe");
    HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, fixture::HoldEventName(1).c_str());
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> closeHold(hold, &CloseHandle);
    ASSERT_TRUE(s.Start({On(slow), On(broadcasting), On(held)},
                        "[OTHER]\r\nOrder=2\r\n[EXE_CONFIG]\r\n" + slow + "@option=/hold:1\r\n" + broadcasting +
                            "@option=/broadcast\r\n" + held + "@option=/hold:2\r\n"));
    ASSERT_TRUE(s.p.Log().Wait("start"));
    HWND cover = s.Covering();
    ASSERT_TRUE(cover && s.Answers());
    EXPECT_EQ(test::ScreenPixel(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2), RGB(0, 0, 0));
    const auto picture = [&] {
        for (int y = 0; y < GetSystemMetrics(SM_CYSCREEN); y += 8) {
            if (test::ScreenPixel(GetSystemMetrics(SM_CXSCREEN) / 2, y) != RGB(0, 0, 0)) return true;
        }
        return false;
    };
    EXPECT_TRUE(test::WaitUntil(picture, 8000) && s.Answers());
    SetEvent(hold);
    EXPECT_TRUE(test::WaitUntil([&] { return s.Shows("test_program"); }));

    s.Switch();
    EXPECT_TRUE(test::WaitUntil([&] { return s.Started().size() == 2 && s.Shows("test_program"); }, 10000));
    EXPECT_TRUE(s.p.Log().Has("broadcast answered"));
    s.Switch();
    ASSERT_TRUE(test::WaitUntil([&] { return s.Started().size() == 3 && s.Covering(); }));
    EXPECT_TRUE(s.Answers());
    const DWORD moved = GetTickCount();
    ASSERT_TRUE(test::MoveMouseUntil([&] { return !s.p.Running(); }, 3000));
    EXPECT_LT(GetTickCount() - moved, 3000u);
    EXPECT_EQ(test::CountProcessesInFolder(s.p.Folder()), 0);
    EXPECT_EQ(s.Last(), held);
}

// One session from the top of the list through every kind, the switch
// closing each: what cannot be started gives the cover window, the Flash
// file plays where the system has a Flash control, and every video format
// goes to the movie player (whose picture, fitted, and loop over its end
// MoviePlayerTest watches for every format on both routes). A long video
// noted to start at 60 s starts there (the switch notes 5 s before where it
// stopped); noted to start 2 s before its end, it plays to its end and
// starts over, and is then noted to start from the beginning. A key ends the last one.
TEST(SessionTest, EveryKindShowsItsWindowOrTheCoverAndEveryVideoFormatPlays) {
    enum Shows { kCover, kFlash, kMovie, kResumed, kResumedToEnd };
    struct Row { std::string name; Shows shows; std::string bytes; };  // bytes: written into the folder
    Session s;
    std::vector<Row> rows = {{"missing.scr", kCover, ""}, {"missing.exe", kCover, ""},
                             {"notamovie.xyz", kCover, "not a movie"}, {"noise.mp4", kCover, test::NoiseBytes()},
                             {"noflash.swf", kCover, "not a movie"}, {"flash.swf", kFlash, "FWS"}};
    for (Row& row : rows) {
        row.name = s.p.File(row.name);
        if (!row.bytes.empty()) test::WriteFileBytes(row.name, row.bytes);
    }
    for (const std::string extension : {"avi", "mpg", "mpeg", "wmv", "mp4", "m4v", "mov", "mkv"})
        rows.push_back({test::FixturePath("clips\\clip." + extension), kMovie, ""});
    const std::string longVideo = test::FixturePath("clips\\long.mp4"), note = longVideo + settings::kResumeSuffix;
    const auto noted = [&] { return s.p.ReadIni(settings::kMovieConfigSection, note.c_str()); };
    rows.insert(rows.end(), {{longVideo, kResumed, ""}, {test::FixturePath("clips\\sound.mp4"), kCover, ""},
                             {longVideo, kResumedToEnd, ""}});
    std::vector<std::string> values;
    for (const Row& row : rows) values.push_back(On(row.name));
    // From the top, whatever was shown last.
    ASSERT_TRUE(s.Start(values, "[OTHER]\r\nOrder=2\r\nLast=" + rows[3].name + "\r\n[MOVIE_CONFIG]\r\n" + note +
                                    "=60000\r\n"));
    DWORD resumedAt = 0;
    std::unique_ptr<test::StandInFlashControl> flashControl;
    HWND shown = nullptr;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        if (row.shows == kFlash) flashControl.reset(new test::StandInFlashControl());
        if (i > 0) s.Switch();
        HWND previous = shown;
        shown = s.p.WaitForWindow([&](HWND w) {
            if (w == previous || row.shows == kCover) return w != previous && IsCover(w);
            // The movie player shows the movie in a child window of a class
            // of its own; the Flash player's child is the browser control's.
            HWND child = GetWindow(w, GW_CHILD);
            bool ours = child && IsWindowVisible(child) && test::ClassNameOf(child).rfind("Tolvarin:", 0) == 0;
            return FullScreen(w) && test::TextOf(w) == TOLVARIN_PLAYER_CAPTION && ours == (row.shows != kFlash);
        });
        ASSERT_NE(shown, nullptr);
        if (i > 0 && rows[i - 1].shows == kResumed) {
            const int at = std::atoi(noted().c_str());
            EXPECT_TRUE(at >= 55000 && at < 60000 + static_cast<int>(GetTickCount() - resumedAt)) << at;
            WritePrivateProfileStringA(settings::kMovieConfigSection, note.c_str(), "128000", s.p.IniPath().c_str());
        }
        if (row.shows == kResumed) resumedAt = GetTickCount();
        EXPECT_TRUE(row.shows != kResumedToEnd || test::WaitUntil([&] { return noted() == "<missing>"; }, 10000));
    }
    EXPECT_TRUE(test::WaitUntil([&] {  // pressed until the player, shown a moment ago, has the keyboard
        test::PressKey(VK_SPACE);
        return s.p.WaitForExit(200);
    }));
    EXPECT_EQ(s.Last(), rows.back().name);
    EXPECT_EQ(noted(), "<missing>");
}

// (A wrong password, a check meeting an end notice and the flag at the end
// are shown on two monitors by MonitorsTest.) In random order, the default,
// every cycle shows each entry switched on once, never beginning with the
// one shown just before, nor the first pick with the last session's.
TEST(SessionTest, NothingOnShowsTheCoverAndRandomOrderShowsEachOnceACycle) {
    {
        Session s;
        ASSERT_TRUE(s.Start({settings::kMarkOff + s.p.PlaceFixture("test_saver.scr", "E1.scr")},
                            "[OTHER]\r\nLast=earlier.scr\r\n"));
        ASSERT_NE(s.p.WaitForWindow(IsCover), nullptr);
        EXPECT_FALSE(IsWindowVisible(s.host));
        ASSERT_TRUE(test::MoveMouseUntil([&] { return !s.p.Running(); }));
        EXPECT_EQ(s.Last(), "earlier.scr");
        EXPECT_TRUE(s.Started().empty());
    }
    Session s;
    std::vector<std::string> list;
    for (const char* name : {"E1.scr", "E2.scr", "E3.scr"}) list.push_back(On(s.p.PlaceFixture("test_saver.scr", name)));
    ASSERT_TRUE(s.Start(list, "[OTHER]\r\nLast=" + s.p.File("E3.scr") + "\r\n"));
    for (size_t i = 2; i <= 9; ++i) {
        ASSERT_TRUE(test::WaitUntil([&] { return s.Started().size() == i - 1; })) << i;
        s.Switch();
    }
    ASSERT_TRUE(test::WaitUntil([&] { return s.Started().size() == 9; }));
    std::vector<std::string> picks = s.Started();
    picks.insert(picks.begin(), "E3.scr");
    for (size_t cycle = 1; cycle + 2 < picks.size(); cycle += 3) {
        EXPECT_NE(picks[cycle], picks[cycle - 1]) << cycle;
        EXPECT_EQ(std::set<std::string>(picks.begin() + cycle, picks.begin() + cycle + 3).size(), 3u) << cycle;
    }
}

BOOL CALLBACK KeepSecondaryMonitor(HMONITOR monitor, HDC, RECT*, LPARAM parameter) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
        *reinterpret_cast<RECT*>(parameter) = info.rcMonitor;
    }
    return TRUE;
}

// A session on two monitors side by side (the test environment's
// TOLVARIN_MONITORS=2), with the password on and a stand-in password check
// that answers wrong until the last entry (each wrong answer goes on with
// the next entry, the flag suspended again; the last check meets an end
// notice, which must not ask again): the second monitor is covered for every
// kind of entry, a move there ends the entry as input over it would (but for
// a program that takes input itself), a move during a switch ends the new
// entry once, and nothing of the session is left afterwards. The cursor
// stays on the second monitor throughout, so that no entry ever sees it move.
// Whether the display shows two monitors; a failure when the test
// environment asked for two and there is one.
bool TwoMonitors() {
    const char* wanted = std::getenv("TOLVARIN_MONITORS");
    const bool two = GetSystemMetrics(SM_CMONITORS) >= 2;
    if (!two && wanted && std::string(wanted) == "2") ADD_FAILURE() << "the display shows one";
    return two;
}

TEST(MonitorsTest, EveryEntryRunsWithTheSecondMonitorCoveredAndAMoveThereEndsIt) {
    if (!TwoMonitors()) GTEST_SKIP() << "needs two monitors (TOLVARIN_MONITORS=2)";
    RECT second = {};
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
    test::UsePasswordFlag flag(1);
    Session s;
    const test::ProductProcess& p = s.p;
    std::string program = p.PlaceFixture("test_program.exe", "prog.exe");
    std::vector<std::string> list = {p.PlaceFixture("test_saver.scr", "E1.scr"), test::FixturePath("clips\\clip.avi"),
                                     program, p.PlaceFixture("test_program.exe", "quiet.exe"), p.File("missing.exe"),
                                     p.PlaceFixture("test_saver.scr", "E2.scr")};
    for (std::string& value : list) value = On(value);
    auto checkCount = [&] { return p.Log().Lines("verify ").size(); };
    // The session's windows over the second monitor: exactly one, black,
    // topmost but while a program runs, whose windows may go anywhere.
    auto covered = [&](bool program) {
        auto windows = test::TopLevelWindowsOf(p.Id(), true);
        return pixel() == RGB(0, 0, 0) && std::count_if(windows.begin(), windows.end(), [&](HWND w) {
            return test::Placed(w) == test::RectOf(second) && !(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) == program;
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
        HWND w = ours ? test::FindWindowOf(p.Id(), [&](HWND w) { return IsWindowVisible(w) && test::Placed(w) == test::RectOf(primary); })
                      : FindWindowA(nullptr, caption);
        return w && IsWindowVisible(w) && test::TextOf(w) == caption;
    };
    ASSERT_TRUE(s.Start(list, "[OTHER]\r\nOrder=2\r\n[EXE_CONFIG]\r\n" + program + "@mouse=1\r\n" + program +
                        "@option=/confirm\r\n" + program + "@finish=ENT\r\n"));
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(rows[i].what);
        ASSERT_TRUE(test::WaitUntil([&] {  // and the start cover gone
            return !IsWindowVisible(s.host) && up(rows[i].caption, rows[i].ours) && (rows[i].ours || !s.Covering());
        }));
        const auto coveredNow = [&, program = i == 2 || i == 3] { return covered(program); };
        EXPECT_TRUE(test::WaitUntil(coveredNow));
        EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
        // The covers follow a change of the monitors without taking the
        // activation away from the entry.
        SendMessageA(s.host, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
        EXPECT_TRUE(test::WaitUntil(coveredNow));
        EXPECT_FALSE(test::Placed(GetForegroundWindow()) == test::RectOf(second));
        EXPECT_TRUE(up(rows[i].caption, rows[i].ours));
        if (i == 3) {  // its window shows on the second monitor; moves leave it running; the user quits it
            SetWindowPos(FindWindowA(nullptr, "test_program"), HWND_TOP, second.left + 20, 20, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE);
            EXPECT_TRUE(test::WaitUntil([&] { return test::ScreenPixel(second.left + 100, 100) != RGB(0, 0, 0); }));
            EXPECT_FALSE(test::MoveMouseUntil([&] { return checkCount() > i; }, 2000, second.left + 200));
            PostMessageA(FindWindowA(nullptr, "test_program"), WM_CLOSE, 0, 0);
        }
        // The last move comes during a switch back to E1: one end, one check.
        if (i == 5) PostMessageA(s.host, WM_TIMER, kSwitchTimerId, 0);
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
}

// With a show on every monitor, a saver runs on the second monitor in its
// preview mode, inside the session's window over that monitor and of its
// size; a switch changes both, to two videos, each fitted to its own monitor
// and playing, the second's never active; after one more, a move over the
// second monitor's Flash movie, which the primary's saver does not see, ends
// both, and nothing is left running.
TEST(MonitorsTest, EveryMonitorShowsAnEntryOfItsOwnAndAMoveOverAnyEndsThemAll) {
    if (!TwoMonitors()) GTEST_SKIP() << "needs two monitors (TOLVARIN_MONITORS=2)";
    RECT second = {};
    EnumDisplayMonitors(nullptr, nullptr, &KeepSecondaryMonitor, reinterpret_cast<LPARAM>(&second));
    const RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    test::MoveMouseUntil([] { return true; }, 0, second.left + 200);
    Session s;
    test::StandInFlashControl flashControl;
    test::WriteFileBytes(s.p.File("flash.swf"), "FWS");
    std::vector<std::string> list;
    for (const std::string& name : {s.p.PlaceFixture("test_saver.scr", "E1.scr"), s.p.PlaceFixture("test_saver.scr", "E2.scr"),
                                    test::FixturePath("clips\\clip.mp4"), test::FixturePath("clips\\wide.avi"),
                                    s.p.PlaceFixture("test_saver.scr", "E3.scr"), s.p.File("flash.swf")}) {
        list.push_back(On(name));
    }
    ASSERT_TRUE(s.Start(list, "[OTHER]\r\nOrder=2\r\nAllMonitors=1\r\n"));
    ASSERT_TRUE(test::WaitUntil([&] { return s.p.Log().Lines("preview ").size() == 1; }));
    const std::string preview = s.p.Log().Value("preview ");
    HWND inside = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(preview.c_str(), nullptr, 16)));
    EXPECT_TRUE(test::Placed(inside) == test::RectOf(second) && GetWindowLongA(inside, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_EQ(preview.substr(preview.find(' ') + 1), "800x600");
    // Each started process's command line: the primary's saver, the second monitor's preview.
    const std::string inWindow = " /p " + std::to_string(reinterpret_cast<UINT_PTR>(inside));
    const auto started = [&](const char* primary, const char* other) {
        return s.p.Log().Has("cmdline \"" + s.p.File(primary) + "\" /s") &&
               s.p.Log().Has("cmdline \"" + s.p.File(other) + "\"" + inWindow);
    };
    EXPECT_TRUE(test::WaitUntil([&] { return started("E1.scr", "E2.scr"); }));
    // A player's picture, in its movie child, where expected and changing.
    const auto plays = [&](HWND player, RECT expected) {
        HWND movie = GetWindow(player, GW_CHILD);
        if (!test::WaitUntil([&] { return IsWindowVisible(movie) && test::Placed(movie) == test::RectOf(expected); })) return false;
        int cx = 0, cy = 0;
        std::vector<COLORREF> before = test::CaptureClient(movie, &cx, &cy);
        return test::WaitUntil([&] { return test::CaptureClient(movie, &cx, &cy) != before; }, 3000);
    };
    const auto playerIn = [&](HWND parent) { return FindWindowExA(parent, nullptr, nullptr, TOLVARIN_PLAYER_CAPTION); };
    s.Switch();
    HWND first = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        first = test::FindWindowOf(s.p.Id(), [&](HWND w) { return IsWindowVisible(w) && test::Placed(w) == test::RectOf(primary); });
        return first && test::TextOf(first) == TOLVARIN_PLAYER_CAPTION && IsWindowVisible(playerIn(inside));
    }, 10000));
    EXPECT_TRUE(plays(first, primary));
    EXPECT_TRUE(plays(playerIn(inside), RECT{second.left, second.top + 200, second.right, second.top + 400}));
    EXPECT_EQ(GetForegroundWindow(), first);
    s.Switch();
    ASSERT_TRUE(test::WaitUntil([&] { return s.Started().size() == 3 && IsWindowVisible(playerIn(inside)); }, 10000));
    EXPECT_TRUE(test::WaitUntil([&] { return s.Shows("test_saver"); }, 10000) && GetForegroundWindow() != inside);
    ASSERT_TRUE(test::MoveMouseUntil([&] { return !s.p.Running(); }, 10000, second.left + 200));
    EXPECT_TRUE(test::WaitUntil([&] { return test::CountProcessesInFolder(s.p.Folder()) == 0; }, 15000));
    EXPECT_FALSE(s.p.Log().Has("input mouse"));  // the primary's saver never saw the mouse
}

}  // namespace
