// Whole saver sessions of the real `tolvarin.scr /s`: what each kind of
// entry starts, the order of the picks over switches (made by posting the
// switch timer's WM_TIMER to the host window), the end of a session, and the
// password check with a stand-in password.cpl in the system folder.
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

using test::ProductProcess;

constexpr UINT kSwitchTimer = 101;

bool IsHost(HWND window) { return test::TextOf(window) == TOLVARIN_NAME; }

bool IsFullScreenVisible(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return IsWindowVisible(window) && rect.left <= 0 && rect.top <= 0 &&
           rect.right >= GetSystemMetrics(SM_CXSCREEN) && rect.bottom >= GetSystemMetrics(SM_CYSCREEN);
}

bool IsCover(HWND window) {
    return IsFullScreenVisible(window) && test::TextOf(window).empty() &&
           (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

struct ChildSearch {
    const char* name;
    bool found;
};

BOOL CALLBACK MatchChildClass(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ChildSearch*>(parameter);
    if (IsWindowVisible(child) && test::ClassNameOf(child).find(search->name) != std::string::npos) {
        search->found = true;
    }
    return TRUE;
}

bool HasChildOfClass(HWND window, const char* className) {
    ChildSearch search{className, false};
    EnumChildWindows(window, &MatchChildClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The movie player shows the movie in a child window of a class of its own,
// once the movie is placed; the Flash player's child is the browser control's.
bool IsMoviePlayer(HWND window) {
    return IsFullScreenVisible(window) && test::TextOf(window) == TOLVARIN_PLAYER_CAPTION &&
           HasChildOfClass(window, "Tolvarin:");
}

bool IsFlashPlayer(HWND window) {
    return IsFullScreenVisible(window) && test::TextOf(window) == TOLVARIN_PLAYER_CAPTION &&
           !HasChildOfClass(window, "Tolvarin:");
}

// A session in a folder of its own, with the fixtures' log in that folder.
class Session {
public:
    Session() {
        logPath = process.File("fixture.log");
        SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", logPath.c_str());
    }
    ~Session() {
        process.Kill();
        SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", nullptr);
        test::DeleteUsePasswordFlag();
    }

    // Copies a fixture into the session's folder under a name of its own.
    std::string Place(const std::string& fixture, const std::string& name) {
        std::string path = process.File(name);
        test::CopyFileTo(test::FixturePath(fixture), path);
        return path;
    }

    // The list (stored values with their marks) and further ini text.
    void Write(const std::vector<std::string>& values, const std::string& more = "") {
        std::ostringstream ini;
        ini << "[LIST]\r\nentry=" << static_cast<int>(values.size()) - 1 << "\r\n";
        for (size_t i = 0; i < values.size(); ++i) ini << "List" << i << "=" << values[i] << "\r\n";
        ini << more;
        process.WriteIni(ini.str());
    }

    bool Start() {
        if (!process.Start("/s")) return false;
        host = process.WaitForWindow(IsHost);
        return host != nullptr;
    }

    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::istringstream in(test::ReadFileBytes(logPath));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    // The file names of the fixtures started so far, in order.
    std::vector<std::string> Started() const {
        std::vector<std::string> names;
        for (const std::string& line : Log()) {
            if (line.rfind("module ", 0) == 0) names.push_back(line.substr(line.find_last_of('\\') + 1));
        }
        return names;
    }
    bool LogHas(const std::string& line) const {
        std::vector<std::string> lines = Log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    bool WaitForStarted(size_t count, DWORD timeoutMs = 10000) const {
        return test::WaitUntil([&] { return Started().size() >= count; }, timeoutMs);
    }

    // One switch: the timer's tick, then the next fixture's start.
    bool Switch() {
        size_t before = Started().size();
        PostMessageA(host, WM_TIMER, kSwitchTimer, 0);
        return WaitForStarted(before + 1);
    }

    HWND WaitFor(bool (*predicate)(HWND), DWORD timeoutMs = 10000) const {
        return process.WaitForWindow(predicate, timeoutMs);
    }

    bool MoveMouseUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
        return test::MoveMouseUntil(condition, timeoutMs);
    }
    bool MoveMouseUntilEnded() {
        return MoveMouseUntil([&] { return !process.Running(); });
    }

    ProductProcess process;
    std::string logPath;
    HWND host = nullptr;
};

std::string On(const std::string& path) { return settings::kMarkOn + path; }
std::string Off(const std::string& path) { return settings::kMarkOff + path; }

const char* kSwitching = "[TIMER]\r\nON/OFF=1\r\nTime=5\r\n";

TEST(SessionTest, NothingSwitchedOnShowsTheCoverAndTheFirstMoveEndsIt) {
    Session s;
    s.Write({Off(s.Place("test_saver.scr", "E1.scr"))}, "[OTHER]\r\nLast=earlier.scr\r\n");
    ASSERT_TRUE(s.Start());
    HWND cover = s.WaitFor(IsCover);
    ASSERT_NE(cover, nullptr);
    EXPECT_FALSE(IsWindowVisible(s.host));
    test::SaveScreenshot("session_cover");
    ASSERT_TRUE(s.MoveMouseUntilEnded());
    EXPECT_EQ(s.process.ReadIni("OTHER", "Last"), "earlier.scr");
    EXPECT_TRUE(s.Started().empty());
}

TEST(SessionTest, AScreenSaverEntryRunsWithSlashSAndItsEndEndsTheSession) {
    Session s;
    std::string saver = s.Place("test_saver.scr", "Upper Case.SCR");
    s.Write({On(saver)});
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    EXPECT_TRUE(s.LogHas("cmdline \"" + saver + "\" /s"));
    ASSERT_TRUE(test::WaitUntil([&] { return s.LogHas("mode /s") || !s.Log().empty(); }));
    // The saver ends on input; its end ends the session.
    HWND saverWindow = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        return (saverWindow = FindWindowA(nullptr, "test_saver")) != nullptr && IsWindowVisible(saverWindow);
    }));
    ASSERT_TRUE(s.MoveMouseUntilEnded());
    EXPECT_EQ(s.process.ReadIni("OTHER", "Last"), saver);
    EXPECT_EQ(test::CountProcessesInFolder(s.process.Folder()), 0);
}

TEST(SessionTest, AProgramEntryGetsItsOptionsAndStartMacroAndEndsTheSessionWithIt) {
    Session s;
    std::string program = s.Place("test_program.exe", "prog.exe");
    s.Write({On(program)}, "[EXE_CONFIG]\r\n" + program + "@option=/life:1500\r\n" + program +
                               "@start=F02\r\n" + program + "@change=1\r\n");
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    EXPECT_TRUE(s.LogHas("cmdline \"" + program + "\" /life:1500"));
    EXPECT_TRUE(test::WaitUntil([&] { return s.LogHas("key 71"); }));  // F2 from the start macro
    // The program ends by itself after its life; the session ends with it.
    ASSERT_TRUE(s.process.WaitForExit(15000));
    EXPECT_EQ(s.process.ReadIni("OTHER", "Last"), program);
}

TEST(SessionTest, EveryVideoFormatPlaysFullScreenGoesOnPlayingAndEndsOnAKey) {
    const DWORD clipLengthMs = 1000;  // tests/fixtures/make-clips.sh
    for (const char* extension : {"avi", "mpg", "mpeg", "wmv", "mp4", "m4v", "mov", "mkv"}) {
        SCOPED_TRACE(extension);
        Session s;
        const std::string clip = test::FixturePath(std::string("clips\\clip.") + extension);
        ASSERT_TRUE(test::FileExists(clip));
        s.Write({On(clip)});
        ASSERT_TRUE(s.Start());
        HWND player = s.WaitFor(IsMoviePlayer);
        ASSERT_NE(player, nullptr);
        const DWORD shown = GetTickCount();
        // The 320×240 picture, fitted to the screen and centred.
        const long long W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
        const long long width = H * 320 < W * 240 ? H * 320 / 240 : W;
        const long long height = H * 320 > W * 240 ? W * 240 / 320 : H;
        RECT placed = {};
        GetWindowRect(GetWindow(player, GW_CHILD), &placed);
        EXPECT_EQ(placed.right - placed.left, width);
        EXPECT_EQ(placed.bottom - placed.top, height);
        EXPECT_EQ(placed.left, (W - width) / 2);

        // Twice its length later the picture still moves: it started over.
        test::WaitUntil([&] { return GetTickCount() - shown >= 2 * clipLengthMs; }, 3 * clipLengthMs);
        std::vector<COLORREF> before = test::CaptureClient(player, nullptr, nullptr);
        EXPECT_TRUE(test::WaitUntil(
            [&] { return test::CaptureClient(player, nullptr, nullptr) != before; }, 3000));
        test::SaveScreenshot(std::string("session_movie_") + extension);
        EXPECT_TRUE(IsWindowVisible(player));

        test::PressKey(VK_SPACE);
        EXPECT_TRUE(s.process.WaitForExit(10000));
        EXPECT_EQ(s.process.ReadIni("OTHER", "Last"), clip);
    }
}

TEST(SessionTest, AFlashMoviePlaysInItsPlayer) {
    test::StandInFlashControl flashControl;
    Session s;
    std::string flash = s.process.File("clip.swf");
    test::WriteFileBytes(flash, "FWS");
    s.Write({On(flash)});
    ASSERT_TRUE(s.Start());
    ASSERT_NE(s.WaitFor(IsFlashPlayer), nullptr);
    // Pressed again until the player, shown a moment ago, has the keyboard.
    ASSERT_TRUE(test::WaitUntil([&] {
        test::PressKey(VK_SPACE);
        return s.process.WaitForExit(200);
    }, 10000));
}

TEST(SessionTest, MissingOrUnplayableFilesGiveTheCoverWindow) {
    // The Flash file exists, but the system has no Flash control to show it.
    for (const char* name : {"missing.scr", "missing.exe", "notamovie.xyz", "noise.mp4", "noflash.swf"}) {
        SCOPED_TRACE(name);
        Session s;
        std::string path = s.process.File(name);
        if (std::string(name) == "noise.mp4") test::WriteFileBytes(path, test::NoiseBytes());
        else if (std::string(name).rfind("missing", 0) != 0) test::WriteFileBytes(path, "not a movie at all");
        s.Write({On(path)});
        ASSERT_TRUE(s.Start());
        EXPECT_NE(s.WaitFor(IsCover), nullptr);
        EXPECT_TRUE(s.MoveMouseUntilEnded());
    }
}

TEST(SessionTest, ListOrderGoesOnAfterLastOverSwitches) {
    Session s;
    std::string e1 = s.Place("test_saver.scr", "E1.scr");
    std::string e2 = s.Place("test_saver.scr", "E2.scr");
    std::string e3 = s.Place("test_saver.scr", "E3.scr");
    s.Write({On(e1), On(e2), On(e3)}, std::string("[OTHER]\r\nOrder=1\r\nLast=") + e2 + "\r\n" + kSwitching);
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(s.Switch()) << i;
    EXPECT_EQ(s.Started(), (std::vector<std::string>{"E3.scr", "E1.scr", "E2.scr", "E3.scr", "E1.scr"}));
    // Each switch away from a screen saver injects Escape; the saver that
    // has the keyboard at that moment takes it and ends itself.
    std::vector<std::string> log = s.Log();
    EXPECT_GE(std::count(log.begin(), log.end(), "key 1B"), 1);
    EXPECT_TRUE(s.process.Running());
    PostMessageA(s.host, WM_CLOSE, 0, 0);
    ASSERT_TRUE(s.process.WaitForExit(15000));
    EXPECT_EQ(s.process.ReadIni("OTHER", "Last"), e1);
    EXPECT_EQ(test::CountProcessesInFolder(s.process.Folder()), 0);
}

TEST(SessionTest, ListOrderStartsAtTheTopAfterTheLastEntryOrOneNoLongerOn) {
    Session s;
    std::string e1 = s.Place("test_saver.scr", "E1.scr");
    std::string e2 = s.Place("test_saver.scr", "E2.scr");
    std::string e3 = s.Place("test_saver.scr", "E3.scr");
    s.Write({On(e1), Off(e2), On(e3)}, std::string("[OTHER]\r\nOrder=1\r\nLast=") + e2 + "\r\n" + kSwitching);
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    ASSERT_TRUE(s.Switch());
    ASSERT_TRUE(s.Switch());
    // E2 is switched off: never picked.
    EXPECT_EQ(s.Started(), (std::vector<std::string>{"E1.scr", "E3.scr", "E1.scr"}));
}

TEST(SessionTest, FromTheTopAlwaysBeginsWithTheFirstEntry) {
    Session s;
    std::string e1 = s.Place("test_saver.scr", "E1.scr");
    std::string e2 = s.Place("test_saver.scr", "E2.scr");
    s.Write({On(e1), On(e2)}, std::string("[OTHER]\r\nOrder=2\r\nLast=") + e1 + "\r\n" + kSwitching);
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    ASSERT_TRUE(s.Switch());
    ASSERT_TRUE(s.Switch());
    EXPECT_EQ(s.Started(), (std::vector<std::string>{"E1.scr", "E2.scr", "E1.scr"}));
}

TEST(SessionTest, RandomOrderCyclesThroughEveryEntryWithoutRepeating) {
    Session s;
    std::string e1 = s.Place("test_saver.scr", "E1.scr");
    std::string e2 = s.Place("test_saver.scr", "E2.scr");
    std::string e3 = s.Place("test_saver.scr", "E3.scr");
    s.Write({On(e1), On(e2), On(e3)}, std::string("[OTHER]\r\nOrder=0\r\nLast=") + e3 + "\r\n" + kSwitching);
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(s.Switch()) << i;
    std::vector<std::string> started = s.Started();
    ASSERT_EQ(started.size(), 6u);
    EXPECT_NE(started[0], "E3.scr");
    for (size_t cycle = 0; cycle < 2; ++cycle) {
        std::vector<std::string> part(started.begin() + static_cast<long>(cycle * 3),
                                      started.begin() + static_cast<long>(cycle * 3 + 3));
        std::sort(part.begin(), part.end());
        EXPECT_EQ(part, (std::vector<std::string>{"E1.scr", "E2.scr", "E3.scr"}));
    }
    EXPECT_NE(started[3], started[2]);
}

TEST(SessionTest, AnEntrySwitchedOnDuringTheSessionJoinsAtTheNextCycle) {
    Session s;
    std::string e1 = s.Place("test_saver.scr", "E1.scr");
    std::string e2 = s.Place("test_saver.scr", "E2.scr");
    std::string e3 = s.Place("test_saver.scr", "E3.scr");
    s.Write({On(e1), On(e2), Off(e3)}, std::string("[OTHER]\r\nOrder=2\r\n") + kSwitching);
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    ASSERT_TRUE(s.Switch());  // E2: the pool was refilled right after this pick
    WritePrivateProfileStringA("LIST", "List2", On(e3).c_str(), s.process.IniPath().c_str());
    ASSERT_TRUE(s.Switch());  // E1, from the refill before the change
    ASSERT_TRUE(s.Switch());  // E2
    ASSERT_TRUE(s.Switch());  // E1 of the next cycle, which holds E3
    ASSERT_TRUE(s.Switch());
    ASSERT_TRUE(s.Switch());
    EXPECT_EQ(s.Started(), (std::vector<std::string>{"E1.scr", "E2.scr", "E1.scr", "E2.scr", "E1.scr",
                                                     "E2.scr", "E3.scr"}));
}

TEST(SessionTest, AProgramThatKeepsItsPlaceEndsTheSessionWhenItEnds) {
    Session s;
    std::string e1 = s.Place("test_saver.scr", "E1.scr");
    std::string program = s.Place("test_program.exe", "prog.exe");
    s.Write({On(e1), On(program)}, std::string("[OTHER]\r\nOrder=2\r\n") + kSwitching +
                                       "[EXE_CONFIG]\r\n" + program + "@change=0\r\n" + program +
                                       "@start=F02\r\n");
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.WaitForStarted(1));
    ASSERT_TRUE(s.Switch());  // to the program
    // Its start macro shows that the session has found its window.
    ASSERT_TRUE(test::WaitUntil([&] { return s.LogHas("key 71"); }));
    HWND programWindow = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] { return (programWindow = FindWindowA(nullptr, "test_program")) != nullptr; }));
    PostMessageA(programWindow, WM_CLOSE, 0, 0);  // the user quits it
    ASSERT_TRUE(s.process.WaitForExit(15000));
    EXPECT_EQ(s.process.ReadIni("OTHER", "Last"), program);
}

TEST(SessionTest, AWrongPasswordGoesOnWithTheNextEntryAndTheRightOneEnds) {
    Session s;
    test::SystemPasswordCheck passwordCheck;
    // The second check meets an end notice, which must not ask again.
    test::WriteFileBytes(s.process.File("password_answers.txt"), "0p");
    test::SetUsePasswordFlag(1);
    s.Write({}, "[OTHER]\r\n");
    ASSERT_TRUE(s.Start());
    ASSERT_NE(s.WaitFor(IsCover), nullptr);
    EXPECT_EQ(test::GetUsePasswordFlag(), 0u);

    // Wrong: the host hides again and the next entry (the cover) comes.
    std::string passwordLog = s.process.File("password_log.txt");
    ASSERT_TRUE(s.MoveMouseUntil([&] { return test::ReadFileBytes(passwordLog).find("answer=0") != std::string::npos; }));
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(s.host) && s.WaitFor(IsCover, 100) != nullptr; }));
    EXPECT_TRUE(s.process.Running());
    EXPECT_EQ(test::GetUsePasswordFlag(), 0u);

    ASSERT_TRUE(s.MoveMouseUntilEnded());  // asked again; right this time
    std::string log = test::ReadFileBytes(passwordLog);
    EXPECT_EQ(log, "verify flag=1 answer=0\r\nverify flag=1 answer=1\r\n");
    EXPECT_EQ(test::GetUsePasswordFlag(), 1u);  // restored at exit
}

TEST(SessionTest, WithoutThePasswordNoCheckIsMade) {
    Session s;
    test::SystemPasswordCheck passwordCheck;
    s.Write({});
    ASSERT_TRUE(s.Start());
    ASSERT_NE(s.WaitFor(IsCover), nullptr);
    ASSERT_TRUE(s.MoveMouseUntilEnded());
    EXPECT_FALSE(test::FileExists(s.process.File("password_log.txt")));
}

}  // namespace
