// The movie player in-process on small uncompressed movies written by the
// test and on the build's clips, against a main window that counts the end
// notices.
#include "players/MoviePlayerWindow.h"
#include "res/resource.h"
#include "tests/integration/support/FullScreenSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

namespace {

constexpr char kCaption[] = TOLVARIN_PLAYER_CAPTION;

class MoviePlayerTest : public ::testing::Test {
protected:
    // A player on the movie, or null; the movie window is found as its child.
    HWND Start(const std::string& path) {
        auto* player = new MoviePlayerWindow();
        if (!player->Play(path.c_str())) return nullptr;
        started = player;
        return FindWindowA(nullptr, kCaption);
    }
    // What the device of the player started last reports, or 0.
    DWORD_PTR Status(DWORD item) const {
        MCI_STATUS_PARMS status = {};
        status.dwItem = item;
        return mciSendCommandA(started->DeviceId(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                               reinterpret_cast<DWORD_PTR>(&status)) == 0 ? status.dwReturn : 0;
    }
    static HWND MovieOf(HWND player) { return GetWindow(player, GW_CHILD); }
    bool ClosesAndNotifiesOnce(HWND player) {
        bool closed = fs::Pump([&] { return !IsWindow(player); }, 5000);
        fs::Drain(app);
        return closed && app.mainWindow.notices == 1;
    }

    test::TempFolder folder{"mov"};
    fs::TestApp app;
    MoviePlayerWindow* started = nullptr;  // valid while its window is
};

TEST_F(MoviePlayerTest, PlaysFullScreenFittedAndHidesTheCursor) {
    // 4:3 on whatever the screen is (1024×768 under the test display: the
    // same ratio, so it fills the screen).
    std::string path = folder.File("four_three.avi");
    ASSERT_TRUE(fs::WriteTestAvi(path, 320, 240, 10, 10));
    HWND player = Start(path);
    ASSERT_NE(player, nullptr);
    HWND movie = MovieOf(player);
    ASSERT_NE(movie, nullptr);
    EXPECT_TRUE(IsWindowVisible(player));
    EXPECT_TRUE(IsWindowVisible(movie));
    EXPECT_TRUE(GetWindowLongA(player, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(player, GW_OWNER), app.mainWindow.Handle());
    EXPECT_EQ(GetCapture(), player);

    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    RECT placed = {};
    GetWindowRect(movie, &placed);
    const long long expectedWidth = H * 320LL < W * 240LL ? H * 320LL / 240 : W;
    const long long expectedHeight = H * 320LL > W * 240LL ? W * 240LL / 320 : H;
    EXPECT_EQ(placed.right - placed.left, expectedWidth);
    EXPECT_EQ(placed.bottom - placed.top, expectedHeight);
    EXPECT_EQ(placed.left, (W - expectedWidth) / 2);
    EXPECT_EQ(placed.top, (H - expectedHeight) / 2);

    // The frames are a solid reddish colour: the movie is on the screen.
    EXPECT_TRUE(fs::Pump([&] {
        COLORREF c = test::ScreenPixel(W / 2, H / 2);
        return GetRValue(c) > 150 && c != RGB(255, 255, 255);
    }, 5000));
    EXPECT_FALSE(test::SaveScreenshot("movie_player").empty());

    PostMessageA(player, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce(player));
    EXPECT_NE(GetCapture(), player);
}

TEST_F(MoviePlayerTest, AWideMovieGetsBarsAboveAndBelow) {
    std::string path = folder.File("wide.avi");
    ASSERT_TRUE(fs::WriteTestAvi(path, 64, 16, 5, 10));
    HWND player = Start(path);
    ASSERT_NE(player, nullptr);
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    RECT placed = {};
    GetWindowRect(MovieOf(player), &placed);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.right, W);
    EXPECT_EQ(placed.bottom - placed.top, W * 16 / 64);
    EXPECT_EQ(placed.top, (H - W * 16 / 64) / 2);
    // The bars are black.
    EXPECT_TRUE(fs::Pump([&] { return test::ScreenPixel(W / 2, 2) == RGB(0, 0, 0); }, 3000));
    PostMessageA(player, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce(player));
}

TEST_F(MoviePlayerTest, ReachingTheEndStartsOverAndPostsNothing) {
    // The AVI device stops on its last frame and counts frames; the
    // DirectShow device goes back to the start and counts milliseconds.
    std::string avi = folder.File("short.avi");
    ASSERT_TRUE(fs::WriteTestAvi(avi, 32, 24, 10, 10));  // a second
    for (const std::string& path : {avi, test::FixturePath("clips\\clip.mpg")}) {
        SCOPED_TRACE(path);
        app.mainWindow.notices = 0;
        HWND player = Start(path);
        ASSERT_NE(player, nullptr);
        const DWORD_PTR length = Status(MCI_STATUS_LENGTH);
        ASSERT_GT(length, 0u);
        // Its last quarter: long enough to be seen between two looks.
        const DWORD_PTR nearEnd = length - (length / 4 > 0 ? length / 4 : 1);
        // Seen playing near its start again after having been near its end.
        bool reachedEnd = false, startedOver = false;
        EXPECT_TRUE(fs::Pump([&] {
            DWORD_PTR position = Status(MCI_STATUS_POSITION);
            if (position >= nearEnd) reachedEnd = true;
            if (reachedEnd && position < nearEnd && Status(MCI_STATUS_MODE) == MCI_MODE_PLAY) {
                startedOver = true;
            }
            return startedOver;
        }, 8000)) << "length " << length;
        fs::Drain(app);
        EXPECT_EQ(app.mainWindow.notices, 0);
        EXPECT_TRUE(IsWindow(player));
        SendMessageA(player, WM_CLOSE, 0, 0);
        EXPECT_TRUE(ClosesAndNotifiesOnce(player));
    }
}

TEST_F(MoviePlayerTest, EachInputClosesOnceAndTheFirstPositionIsKept) {
    std::string path = folder.File("input.avi");
    ASSERT_TRUE(fs::WriteTestAvi(path, 32, 24, 10, 10));
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    } cases[] = {{"key", WM_KEYDOWN, 'A'},     {"system key", WM_SYSKEYDOWN, VK_MENU},
                 {"left", WM_LBUTTONDOWN, 0},  {"middle", WM_MBUTTONDOWN, 0},
                 {"right", WM_RBUTTONDOWN, 0}, {"application", WM_ACTIVATEAPP, FALSE},
                 {"window", WM_ACTIVATE, WA_INACTIVE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.mainWindow.notices = 0;
        SetCursorPos(40, 30);
        HWND player = Start(path);
        ASSERT_NE(player, nullptr);
        // Moves at the first position do not close it.
        PostMessageA(player, WM_MOUSEMOVE, 0, MAKELPARAM(40, 30));
        PostMessageA(player, WM_MOUSEMOVE, 0, MAKELPARAM(40, 30));
        fs::Drain(app);
        fs::Drain(app);
        ASSERT_TRUE(IsWindow(player));
        // Several inputs in a row still give one notice.
        SendMessageA(player, c.message, c.wParam, 0);
        PostMessageA(player, WM_MOUSEMOVE, 0, MAKELPARAM(41, 30));
        PostMessageA(player, WM_KEYDOWN, 'B', 0);
        EXPECT_TRUE(ClosesAndNotifiesOnce(player));
    }
    // One pixel away in y is enough.
    app.mainWindow.notices = 0;
    SetCursorPos(40, 30);
    HWND player = Start(path);
    ASSERT_NE(player, nullptr);
    PostMessageA(player, WM_MOUSEMOVE, 0, MAKELPARAM(40, 30));
    PostMessageA(player, WM_MOUSEMOVE, 0, MAKELPARAM(40, 31));
    EXPECT_TRUE(ClosesAndNotifiesOnce(player));
}

TEST_F(MoviePlayerTest, RealMouseMovementEndsIt) {
    std::string path = folder.File("real.avi");
    ASSERT_TRUE(fs::WriteTestAvi(path, 32, 24, 10, 10));
    test::MoveMouseTo(100, 100);
    HWND player = Start(path);
    ASSERT_NE(player, nullptr);
    test::MoveMouseTo(100, 100);
    fs::Drain(app);
    test::MoveMouseTo(140, 120);
    EXPECT_TRUE(ClosesAndNotifiesOnce(player));
}

TEST_F(MoviePlayerTest, FilesThatCannotBePlayedLeaveNoWindowAndPostNothing) {
    // A file that no device decodes, also where the extension names no
    // device and the DirectShow device is tried as well.
    std::string garbage = folder.File("garbage.avi");
    test::WriteFileBytes(garbage, "this is no movie at all");
    std::string noise = folder.File("noise.mp4");
    test::WriteFileBytes(noise, test::NoiseBytes());
    for (const std::string& path : {folder.File("missing.avi"), garbage, noise}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Start(path), nullptr);
        fs::Drain(app);
        EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
        EXPECT_EQ(app.mainWindow.notices, 0);
        EXPECT_EQ(fs::CountThreadWindows(), 0);
    }
}

}  // namespace
