// The Flash player in-process: the browser control created and navigated,
// the mouse macro's clicks and reloads, the input filter, the failures.
// Any file named .swf does for the control; a stand-in registration of the
// Flash control lets the player go on.
#include "players/FlashPlayerWindow.h"
#include "players/WindowIds.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/FullScreenSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char kCaption[] = TOLVARIN_PLAYER_CAPTION;

// Left-button presses anywhere, as the system sees them.
std::vector<POINT>* clicks = nullptr;
LRESULT CALLBACK RecordClick(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN && clicks) {
        clicks->push_back(reinterpret_cast<MSLLHOOKSTRUCT*>(lParam)->pt);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class FlashPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.app.SetProfileName(folder.File("tolvarin.ini"));
        movie = folder.File("movie.swf");
        test::WriteFileBytes(movie, "FWS not really a movie");
        clicks = &recorded;
        hook = SetWindowsHookExA(WH_MOUSE_LL, &RecordClick, GetModuleHandleA(nullptr), 0);
        flashControl.emplace();
    }
    void TearDown() override {
        if (hook) UnhookWindowsHookEx(hook);
        clicks = nullptr;
        if (player && IsWindow(player->Handle())) player->DestroyWindow();
        fs::Drain(app);
    }
    void SetMacro(const char* text) {
        std::string key = movie + settings::kMacroSuffix;
        WritePrivateProfileStringA(settings::kSwfConfigSection, key.c_str(), text,
                                   app.app.ProfileName().c_str());
    }
    bool Start() {
        player = new FlashPlayerWindow();
        if (!player->Play(movie.c_str())) {
            player = nullptr;
            return false;
        }
        handle = player->Handle();
        return true;
    }
    bool ClosesAndNotifiesOnce() {
        bool closed = fs::Pump([&] { return !IsWindow(handle); }, 5000);
        player = nullptr;
        fs::Drain(app);
        return closed && app.mainWindow.notices == 1;
    }
    int ClicksAt(POINT where) const {
        int count = 0;
        for (POINT p : recorded) count += p.x == where.x && p.y == where.y;
        return count;
    }

    test::TempFolder folder{"swf"};
    fs::TestApp app;
    std::string movie;
    FlashPlayerWindow* player = nullptr;
    HWND handle = nullptr;
    std::vector<POINT> recorded;
    HHOOK hook = nullptr;
    std::optional<test::StandInFlashControl> flashControl;
};

TEST_F(FlashPlayerTest, CreatesTheBrowserOverTheScreenAndNavigatesToTheFile) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(FindWindowA(nullptr, kCaption), handle);
    RECT rect = {};
    GetWindowRect(handle, &rect);
    EXPECT_EQ(rect.left, -1);
    EXPECT_EQ(rect.top, -1);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN) + 3);
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN) + 3);
    EXPECT_TRUE(GetWindowLongA(handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(handle, GW_OWNER), app.mainWindow.Handle());

    HWND control = GetDlgItem(handle, FlashPlayerWindow::kBrowserControlId);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(IsWindowVisible(control));
    // The control's border lies off the screen on every side.
    RECT placed = {};
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, -1);
    EXPECT_EQ(placed.top, -1);
    EXPECT_EQ(placed.right, GetSystemMetrics(SM_CXSCREEN) + 3);
    EXPECT_EQ(placed.bottom, GetSystemMetrics(SM_CYSCREEN) + 3);
    ASSERT_NE(player->Browser(), nullptr);

    // The browser tells where it was sent.
    std::wstring location;
    fs::Pump([&] {
        BSTR url = nullptr;
        if (SUCCEEDED(player->Browser()->get_LocationURL(&url)) && url) {
            location = url;
            SysFreeString(url);
        }
        return location.find(L"movie.swf") != std::wstring::npos;
    }, 5000);
    EXPECT_NE(location.find(L"movie.swf"), std::wstring::npos)
        << "location: " << std::string(location.begin(), location.end());

    // No macro: no timer; a key of the user closes it, once.
    PostMessageA(control, WM_KEYDOWN, 'A', 0);
    PostMessageA(handle, WM_KEYDOWN, 'B', 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce());
}

TEST_F(FlashPlayerTest, TheMacroClicksAtTheCentreAndStartsOverAfterTheReload) {
    SetMacro("1,0,50,1,50,1 2,1");
    const POINT centre = {GetSystemMetrics(SM_CXSCREEN) * 50 / 100,
                          GetSystemMetrics(SM_CYSCREEN) * 50 / 100};
    ASSERT_TRUE(Start());
    // One click at 1 s, the reload at 2 s, the click again at 3 s.
    EXPECT_TRUE(fs::Pump([&] { return ClicksAt(centre) >= 2 || !IsWindow(handle); }, 8000));
    EXPECT_EQ(ClicksAt(centre), 2);
    EXPECT_TRUE(IsWindow(handle)) << "the macro's click closed the window";
    fs::Drain(app);
    EXPECT_EQ(app.mainWindow.notices, 0);
    POINT cursor = {};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, centre.x);
    EXPECT_EQ(cursor.y, centre.y);

    // After the jump the user's own movement still closes it.
    test::MoveMouseTo(centre.x + 1, centre.y);
    test::MoveMouseTo(centre.x + 40, centre.y + 30);
    EXPECT_TRUE(ClosesAndNotifiesOnce());
}

TEST_F(FlashPlayerTest, AMacroEndingInAClickRunsOnceAndTheMovieStaysUp) {
    SetMacro("0,0,10,1,20,0");
    ASSERT_TRUE(Start());
    const POINT target = {GetSystemMetrics(SM_CXSCREEN) * 10 / 100, 20};
    EXPECT_TRUE(fs::Pump([&] { return ClicksAt(target) >= 1; }, 5000));
    // The timer is gone: a tick that still came would click again.
    EXPECT_FALSE(KillTimer(handle, kMacroTimerId));
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_EQ(ClicksAt(target), 1);
    // The macro's click has been taken: the user's next button closes it.
    PostMessageA(handle, WM_RBUTTONDOWN, 0, 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce());
}

TEST_F(FlashPlayerTest, TheFirstMoveSetsTheReferenceAndAnyOtherPositionCloses) {
    test::MoveMouseTo(200, 200);
    ASSERT_TRUE(Start());
    test::MoveMouseTo(200, 200);
    fs::Drain(app);
    ASSERT_TRUE(IsWindow(handle));
    test::MoveMouseTo(200, 201);
    EXPECT_TRUE(ClosesAndNotifiesOnce());
}

TEST_F(FlashPlayerTest, AMissingFileOrNoFlashControlLeavesNoWindowAndPostsNothing) {
    const std::string existing = movie;
    for (bool flashThere : {true, false}) {
        SCOPED_TRACE(flashThere ? "missing file" : "no Flash control");
        movie = flashThere ? folder.File("missing.swf") : existing;
        if (!flashThere) flashControl.reset();
        EXPECT_FALSE(Start());
        fs::Drain(app);
        EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
        EXPECT_EQ(app.mainWindow.notices, 0);
        // The cursor was never hidden: showing it once more gives a count of 1.
        EXPECT_EQ(ShowCursor(TRUE), 1);
        ShowCursor(FALSE);
    }
}

}  // namespace
