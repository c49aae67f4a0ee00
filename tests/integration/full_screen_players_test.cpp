// The session's full-screen windows in-process, against a hidden main window
// that keeps the end and start notices: the cover window and its placeholder
// picture, the movie player on the build's clips, and the Flash player (any
// file named .swf does for the browser control; a stand-in registration of
// the Flash control lets the player go on). The movie player's tests run
// twice: as the system is, and with Media Foundation's player kept from the
// process (ctest's full_screen_players_mci), so that MCI plays everything.
#include "framework/Thread.h"
#include "players/FlashPlayerWindow.h"
#include "players/LaunchRecord.h"
#include "players/MoviePlayerWindow.h"
#include "players/WindowIds.h"
#include "res/resource.h"
#include "session/CoverWindow.h"
#include "session/SaverHostWindow.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/InProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace {

const LONG W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
using Rect = std::vector<LONG>;

// The window goes, and the main window has had exactly one end notice.
bool ClosesOnce(test::TestApp& app, HWND window) {
    bool closed = test::PumpAppUntil([&] { return !IsWindow(window); }) && app.Drain();
    return std::exchange(app.mainWindow.notices, {}) == decltype(app.mainWindow.notices){{0, 0}} && closed;
}
// Still there once what was posted has been handled (a WM_CLOSE posted
// meanwhile too), and nothing was posted to the main window.
void ExpectNoNotice(test::TestApp& app, HWND window) {
    app.Drain(), app.Drain();
    EXPECT_TRUE(IsWindow(window) && app.mainWindow.notices.empty());
}
// The window's rectangle on the screen, or in within's client area.
Rect Placed(HWND window, HWND within = nullptr) {
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, within, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}
// Topmost, borderless, owned by the main window, at rect.
void ExpectFullScreen(const test::TestApp& app, HWND window, const Rect& rect) {
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST &&
                GetWindow(window, GW_OWNER) == app.mainWindow.Handle());
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), LONG(WS_POPUP));
    EXPECT_EQ(Placed(window), rect);
}
HWND OpenCover(HWND owner) {
    auto* cover = new CoverWindow();
    return cover->CreateFullScreen(owner) ? cover->Handle() : nullptr;
}
// The start notices so far, taken.
std::vector<std::pair<WPARAM, LPARAM>> Starts(test::TestApp& app) {
    test::PumpAppUntil([&] { return !app.mainWindow.starts.empty(); }, 20000);
    return std::exchange(app.mainWindow.starts, {});
}
const std::vector<std::pair<WPARAM, LPARAM>> kShown = {{WPARAM(LaunchOutcome::Shown), 0}},
                                             kFailed = {{WPARAM(LaunchOutcome::Failed), 0}};
// The player once its picture shows: Play returns before, its window hidden.
HWND OpenMovie(test::TestApp& app, const std::string& clip) {
    auto* player = new MoviePlayerWindow();
    if (!player->Play(test::FixturePath("clips\\" + clip).c_str())) return nullptr;
    HWND window = player->Handle();
    EXPECT_FALSE(IsWindowVisible(window)) << "Play waited for the picture";
    return Starts(app) == kShown && IsWindowVisible(window) ? window : nullptr;
}

TEST(CoverWindowTest, ShowsThePictureOverTheScreenSwallowsTheCloseCommandAndAlwaysNotifies) {
    test::TestApp app;
    // Nothing in this process seeds the generator; blue, green, red are drawn in that order.
    std::set<COLORREF> expected, seen;
    for (std::srand(1); expected.size() < 12;) {
        int blue = std::rand() % 256, green = std::rand() % 256;
        expected.insert(RGB(std::rand() % 256, green, blue));
    }
    std::srand(1);
    HWND cover = OpenCover(app.mainWindow.Handle());
    ExpectFullScreen(app, cover, {0, 0, W, H});
    // Black but for the glyph in its cell (a quarter of the height from the
    // middle each way), in a new colour of the generator's each second.
    bool onlyInCell = true;
    ASSERT_TRUE(test::PumpAppUntil([&] {
        int width = 0, height = 0;
        std::vector<COLORREF> pixels = test::CaptureClient(cover, &width, &height);
        std::map<COLORREF, int> glyph;
        for (int i = 0; i < width * height; ++i) {
            if (!pixels[size_t(i)]) continue;
            ++glyph[pixels[size_t(i)]];
            onlyInCell &= std::abs(i % width - W / 2) <= H / 4 && std::abs(i / width - H / 2) <= H / 4;
        }
        auto most = std::max_element(glyph.begin(), glyph.end(),
                                     [](auto& a, auto& b) { return a.second < b.second; });
        if (most != glyph.end() && most->second > 50) seen.insert(most->first);  // not the edges
        return seen.size() >= 3;
    }, 4000)) << "expected three colours in four seconds, one a second";
    EXPECT_TRUE(onlyInCell);
    for (COLORREF colour : seen) EXPECT_EQ(expected.count(colour), 1u) << std::hex << colour;
    SendMessageA(cover, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectNoNotice(app, cover);
    SendMessageA(cover, WM_SYSCOMMAND, SC_CLOSE | 1, 0);  // only the exact commands are swallowed
    EXPECT_TRUE(ClosesOnce(app, cover));
    // The user's real key.
    SetForegroundWindow(cover = OpenCover(app.mainWindow.Handle()));
    test::PumpAppUntil([&] { return GetForegroundWindow() == cover; }, 2000);
    test::PressKey(VK_SHIFT);
    EXPECT_TRUE(ClosesOnce(app, cover));
    // The picture as a child (the /p pane, the size of the display
    // settings' preview): black, the glyph in its middle; it posts nothing
    // when it goes with its parent; a cover that goes with its owner still
    // posts its notice.
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 152, 112, nullptr,
                                 nullptr, nullptr, nullptr);
    auto* pane = new SaverBaseWindow();
    ASSERT_TRUE(pane->CreateSaverWindow(0, WS_CHILD | WS_VISIBLE, RECT{0, 0, 152, 112}, owner));
    EXPECT_TRUE(test::PumpAppUntil([&] {
        int width = 0, height = 0;
        std::vector<COLORREF> pixels = test::CaptureClient(pane->Handle(), &width, &height);
        int lit = 0;
        for (int i = 0; i < width * height; ++i) lit += pixels[size_t(i)] != 0 && std::abs(i % width - 76) < 28;
        return width == 152 && pixels[0] == 0 && pixels.back() == 0 && lit > 100;
    }, 3000));
    ASSERT_NE(cover = OpenCover(owner), nullptr);
    DestroyWindow(owner);
    EXPECT_TRUE(ClosesOnce(app, cover));
}

TEST(FullScreenInputTest, EachInputClosesTheCoverAndTheMovieWithOneNoticeButAMoveInPlaceDoesNot) {
    test::TestApp app;
    const struct { const char* name; UINT message; WPARAM wParam; LPARAM lParam; } cases[] = {
        {"key", WM_KEYDOWN, 'A', 0}, {"system key", WM_SYSKEYDOWN, VK_MENU, 0},
        {"left", WM_LBUTTONDOWN, 0, 0}, {"middle", WM_MBUTTONDOWN, 0, 0}, {"right", WM_RBUTTONDOWN, 0, 0},
        {"application", WM_ACTIVATEAPP, FALSE, 0}, {"window", WM_ACTIVATE, WA_INACTIVE, 0},
        {"x", WM_MOUSEMOVE, 0, MAKELPARAM(41, 30)}, {"y", WM_MOUSEMOVE, 0, MAKELPARAM(40, 31)},
        {"xy", WM_MOUSEMOVE, 0, MAKELPARAM(39, 29)}};
    for (bool movie : {false, true}) for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (movie ? "movie, " : "cover, ") << c.name);
        SetCursorPos(40, 30);  // the system's own moves report where the cursor is
        HWND window = movie ? OpenMovie(app, "small.avi") : OpenCover(app.mainWindow.Handle());
        for (int i = 0; i < 3; ++i) PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(40, 30));
        EXPECT_EQ(SendMessageA(window, WM_NCACTIVATE, FALSE, 0), FALSE);
        ExpectNoNotice(app, window);
        for (int i = 0; i < 3; ++i) SendMessageA(window, c.message, c.wParam, c.lParam);
        EXPECT_TRUE(ClosesOnce(app, window));
    }
}

// Every kind of file plays fitted over black, and goes on across its end:
// the picture moves on and nothing is posted; the user's move ends it.
TEST(MoviePlayerTest, PlaysEveryKindFittedOverBlackAcrossItsEndUntilTheUsersMove) {
    test::TestApp app;
    const struct { const char* clip; LONG width, height; } cases[] = {
        {"clip.mpg", 320, 240}, {"clip.avi", 320, 240}, {"wide.avi", 64, 16}, {"clip.mpeg", 320, 240},
        {"clip.wmv", 320, 240}, {"clip.mp4", 320, 240}, {"clip.m4v", 320, 240}, {"clip.mov", 320, 240},
        {"clip.mkv", 320, 240}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip);
        test::MoveMouseTo(100, 100);
        HWND window = OpenMovie(app, c.clip), movie = GetWindow(window, GW_CHILD);
        ASSERT_NE(window, nullptr);
        ExpectFullScreen(app, window, {0, 0, W, H});
        EXPECT_TRUE(IsWindowVisible(window) && IsWindowVisible(movie) && GetCapture() == window);
        const LONG w = std::min(W, H * c.width / c.height), h = std::min(H, W * c.height / c.width);
        const LONG x = (W - w) / 2, y = (H - h) / 2;
        EXPECT_EQ(Placed(movie), (Rect{x, y, x + w, y + h}));
        // The many-coloured test picture inside, black bars (if any) outside.
        EXPECT_TRUE(test::PumpAppUntil([&] {
            std::set<COLORREF> colours;
            for (LONG i = 1; i < 16; i += 2) colours.insert(test::ScreenPixel(x + w * i / 16, y + h / 3));
            return colours.size() >= 4 && (y == 0 || (test::ScreenPixel(W / 2, y / 2) == 0 &&
                                                      test::ScreenPixel(W / 2, H - y / 2) == 0));
        }, 5000));
        const DWORD shownAt = GetTickCount();  // twice the clip's second later: past its end
        test::PumpAppUntil([&] { return GetTickCount() - shownAt >= 2000; }, 3000);
        int cx = 0, cy = 0;
        std::vector<COLORREF> before = test::CaptureClient(movie, &cx, &cy);
        EXPECT_TRUE(test::PumpAppUntil([&] { return test::CaptureClient(movie, &cx, &cy) != before; }, 3000));
        test::MoveMouseTo(100, 100);
        ExpectNoNotice(app, window);
        test::MoveMouseTo(140, 120);
        EXPECT_TRUE(ClosesOnce(app, window));
    }
    // The devices close on their own threads, and nothing of theirs shows meanwhile.
    bool showed = false;
    EXPECT_TRUE(test::PumpAppUntil([&] {
        showed |= !test::TopLevelWindowsOf(GetCurrentProcessId(), true).empty();
        return WaitForKeptThreads(0);
    }, 10000));
    EXPECT_FALSE(showed);
    // The choice: Media Foundation's player was tried wherever this run has it.
    const char* overrides = std::getenv("WINEDLLOVERRIDES");
    EXPECT_EQ(GetModuleHandleA("mfplay.dll") != nullptr, !(overrides && std::strstr(overrides, "mfplay")));
}

// A movie file that exists begins to open and then reports that it failed;
// everything else fails at once. Nothing of a movie is left open after.
TEST(PlayersTest, WhatCannotBePlayedLeavesNoWindowPostsNothingAndKeepsTheCursor) {
    test::TestApp app;
    std::optional<test::StandInFlashControl> flash;
    std::optional<test::RegistryText> noBrowser;
    // noise.mp4: no device by its extension, nor the DirectShow one by name; sound.mp4: no picture;
    // b.swf: no Flash control; c.swf: no browser control to show it in, which fails only once the
    // player's window is up.
    for (auto [name, bytes] : std::map<std::string, std::string>{
             {"missing.avi", ""}, {"garbage.avi", "no movie"}, {"noise.mp4", test::NoiseBytes()},
             {"sound.mp4", test::ReadFileBytes(test::FixturePath("clips\\sound.mp4"))},
             {"missing.swf", ""}, {"b.swf", "FWS not really a movie"}, {"c.swf", "FWS"}}) {
        SCOPED_TRACE(name);
        const std::string path = app.folder.File(name);
        if (!bytes.empty()) test::WriteFileBytes(path, bytes);
        if (name == "b.swf") flash.reset(); else flash.emplace();
        if (name == "c.swf") {
            noBrowser.emplace(HKEY_CLASSES_ROOT, "CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}\\InprocServer32",
                              nullptr, "C:\\windows\\system32\\missing.dll");
        }
        const bool movie = name.find(".swf") == std::string::npos;
        const bool began = movie ? (new MoviePlayerWindow())->Play(path.c_str())
                                 : (new FlashPlayerWindow())->Play(path.c_str());
        EXPECT_EQ(began, !bytes.empty() && movie);
        if (began) {
            EXPECT_EQ(Starts(app), kFailed);
        }
        ExpectNoNotice(app, app.mainWindow.Handle());
        EXPECT_EQ(FindWindowA(nullptr, TOLVARIN_PLAYER_CAPTION), nullptr);
        EXPECT_TRUE(test::TopLevelWindowsOf(GetCurrentProcessId(), true).empty());
        EXPECT_EQ((ShowCursor(TRUE), ShowCursor(FALSE)), 0) << "the cursor was left hidden";
    }
    EXPECT_TRUE(WaitForKeptThreads(10000)) << "a device was left open";
}

TEST(FlashPlayerTest, CoversTheScreenWithTheBrowserOnTheFileRunsTheMacroAndClosesOnTheUsersInput) {
    test::TestApp app;
    test::StandInFlashControl flashControl;
    const std::string movie = app.folder.File("movie.swf");
    test::WriteFileBytes(movie, "FWS not really a movie");
    FlashPlayerWindow* player = nullptr;
    auto start = [&](const char* macro) {  // null: no macro
        WritePrivateProfileStringA(settings::kSwfConfigSection, (movie + settings::kMacroSuffix).c_str(),
                                   macro, app.IniPath().c_str());
        return (player = new FlashPlayerWindow())->Play(movie.c_str()) ? player->Handle() : nullptr;
    };
    test::MoveMouseTo(200, 200);
    HWND window = start(nullptr);
    ASSERT_NE(window, nullptr);
    // The window, and the browser control in it, one pixel beyond the
    // screen's left and top edges and three beyond its right and bottom.
    ExpectFullScreen(app, window, {-1, -1, W + 3, H + 3});
    HWND control = GetDlgItem(window, FlashPlayerWindow::kBrowserControlId);
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_EQ(Placed(control, window), (Rect{-1, -1, W + 3, H + 3}));
    ASSERT_NE(player->Browser(), nullptr);
    EXPECT_TRUE(test::PumpAppUntil([&] {  // where the browser was sent
        BSTR url = nullptr;
        bool there = SUCCEEDED(player->Browser()->get_LocationURL(&url)) && url && wcsstr(url, L"movie.swf");
        return SysFreeString(url), there;
    }));
    test::MoveMouseTo(200, 200);  // the first move only sets where the mouse is
    ExpectNoNotice(app, window);
    PostMessageA(control, WM_KEYDOWN, 'A', 0);  // the control's input passes the window's filter
    PostMessageA(control, WM_KEYDOWN, 'B', 0);
    EXPECT_TRUE(ClosesOnce(app, window));

    // The macro's clicks as the movie gets them: a click at once, the reload
    // a second later, the click again at once. Neither the clicks nor the
    // cursor's jumps are the user's, but a move after them is.
    std::map<std::pair<LONG, LONG>, int> clicks;
    auto count = [&](const MSG& m) { clicks[{m.pt.x, m.pt.y}] += m.message == WM_LBUTTONDOWN; };
    window = start("0,0,50,1,50,1 1,1");
    PostMessageA(window, WM_MOUSEMOVE, 0, 0);  // first, the mouse where it is (not the centre)
    EXPECT_TRUE(test::PumpAppUntil([&] { return clicks[{W / 2, H / 2}] >= 2 || !IsWindow(window); }, 8000, count));
    ExpectNoNotice(app, window);
    test::MoveMouseTo(W / 2 + 1, H / 2);
    test::MoveMouseTo(W / 2 + 40, H / 2 + 30);
    EXPECT_TRUE(ClosesOnce(app, window));
    // A macro ending in a click runs once; the user's next button closes it.
    window = start("0,0,10,1,20,0");
    EXPECT_TRUE(test::PumpAppUntil([&] { return clicks[{W * 10 / 100, 20}] >= 1; }, 5000, count));
    EXPECT_FALSE(KillTimer(window, kMacroTimerId)) << "a tick to come would click again";
    ExpectNoNotice(app, window);
    PostMessageA(window, WM_RBUTTONDOWN, 0, 0);
    EXPECT_TRUE(ClosesOnce(app, window));
}

// The session's host has its switch timer exactly when its schedule says:
// with switching on and two entries on, not with one or with switching off,
// not while a program that is not replaced on time runs, again after such a
// program failed, and again after a wrong password (its check meeting a
// program's own end).
TEST(SaverHostTest, HasItsSwitchTimerOnlyWhenItSwitches) {
    test::SystemPasswordCheck passwordCheck("0");
    const struct { const char* list; int timerOn; const char* option; bool passLock; bool timer; } cases[] = {
        {"a.scr b.scr", 1, "", false, true}, {"a.scr b.scr", 0, "", false, false}, {"a.scr", 1, "", false, false},
        {"prog.exe b.scr", 1, "", false, false}, {"none.exe b.scr", 1, "", false, true},
        {"prog.exe b.scr", 1, "/life:300", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " " + std::to_string(c.timerOn) + c.option);
        test::TestApp app;
        const std::string program = app.folder.PlaceFixture("test_program.exe", "prog.exe");
        std::string ini = "[TIMER]\r\nON/OFF=" + std::to_string(c.timerOn) + "\r\n[EXE_CONFIG]\r\n" + program +
                          "@option=" + c.option + "\r\n[OTHER]\r\nOrder=2\r\n[LIST]\r\n";
        std::istringstream names(c.list);
        int count = 0;
        for (std::string name; names >> name; ++count)
            ini += "List" + std::to_string(count) + "=" + settings::kMarkOn + app.folder.File(name) + "\r\n";
        app.WriteIni(ini + "entry=" + std::to_string(count - 1) + "\r\n");
        auto* host = new SaverHostWindow(c.passLock);
        app.app.SetMainWindow(host);
        ASSERT_TRUE(host->CreateHostWindow());
        HWND window = host->Handle();
        // Settled: the program's window up with nothing of ours over it, or the cover shown.
        const bool shows = std::string(c.list).rfind("prog", 0) == 0 && !c.passLock;
        ASSERT_TRUE(test::PumpAppUntil([&] {
            auto ours = test::TopLevelWindowsOf(GetCurrentProcessId(), true);
            if (shows) return app.log.Window("main") && ours.empty();
            return ours.size() == 1 && ours[0] != window && test::TextOf(ours[0]).empty() &&
                   app.log.Has("verify flag=1 answer=0") == c.passLock;
        }, 10000));
        EXPECT_EQ(KillTimer(window, kSwitchTimerId) != FALSE, c.timer);
        DestroyWindow(window);
        test::PumpQueued();
    }
}

}  // namespace
