// The placeholder picture and the cover window in-process, against a main
// window that counts the end notices.
#include "players/WindowIds.h"
#include "session/CoverWindow.h"
#include "session/SaverBaseWindow.h"
#include "tests/integration/support/FullScreenSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace {

HWND OpenCover(fs::TestApp& app) {
    auto* cover = new CoverWindow();
    if (!cover->CreateFullScreen(app.mainWindow.Handle())) return nullptr;
    HWND handle = cover->Handle();
    fs::Pump([&] { return IsWindowVisible(handle) != FALSE; }, 2000);
    return handle;
}

bool ClosesAndNotifiesOnce(fs::TestApp& app, HWND cover) {
    bool closed = fs::Pump([&] { return !IsWindow(cover); }, 3000);
    fs::Drain(app);
    return closed && app.mainWindow.notices == 1 && app.mainWindow.otherNotices == 0;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

TEST(CoverWindowTest, CoversThePrimaryScreenTopmostWithoutCaption) {
    fs::TestApp app;
    HWND cover = OpenCover(app);
    ASSERT_NE(cover, nullptr);
    RECT rect = {};
    GetWindowRect(cover, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(cover, GW_OWNER), app.mainWindow.Handle());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(cover, GWL_STYLE)) & (WS_POPUP | WS_CAPTION),
              static_cast<DWORD>(WS_POPUP));
    // The picture: black, a glyph about the middle.
    ASSERT_TRUE(fs::Pump([&] {
        int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
        return test::ScreenPixel(5, 5) == RGB(0, 0, 0) && test::ScreenPixel(x, y) != 0;
    }, 3000)) << "expected a glyph at the centre";
    EXPECT_FALSE(test::SaveScreenshot("cover_window").empty());
    SendMessageA(cover, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce(app, cover));
}

TEST(CoverWindowTest, OnlyAMoveAwayFromTheFirstPositionCloses) {
    struct Case {
        int dx, dy;
        bool closes;
    } cases[] = {{0, 0, false}, {1, 0, true}, {0, 1, true}, {-1, -1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "moved by " << c.dx << "," << c.dy);
        // The system's own move messages report where the cursor is: put it
        // at the first position given here.
        SetCursorPos(300, 200);
        fs::TestApp app;
        HWND cover = OpenCover(app);
        ASSERT_NE(cover, nullptr);
        PostMessageA(cover, WM_MOUSEMOVE, 0, Point(300, 200));
        for (int i = 0; i < 3; ++i) PostMessageA(cover, WM_MOUSEMOVE, 0, Point(300, 200));
        PostMessageA(cover, WM_MOUSEMOVE, 0, Point(300 + c.dx, 200 + c.dy));
        fs::Drain(app);
        fs::Drain(app);  // a WM_CLOSE posted by the last move has been handled too
        EXPECT_EQ(!IsWindow(cover), c.closes);
        EXPECT_EQ(app.mainWindow.notices, c.closes ? 1 : 0);
        if (IsWindow(cover)) {
            SendMessageA(cover, WM_CLOSE, 0, 0);
            EXPECT_TRUE(ClosesAndNotifiesOnce(app, cover));
        }
    }
}

TEST(CoverWindowTest, KeysButtonsAndDeactivationEachCloseItWithOneNotice) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    } cases[] = {
        {"key", WM_KEYDOWN, 'A'},          {"system key", WM_SYSKEYDOWN, VK_MENU},
        {"left", WM_LBUTTONDOWN, 0},       {"middle", WM_MBUTTONDOWN, 0},
        {"right", WM_RBUTTONDOWN, 0},      {"application", WM_ACTIVATEAPP, FALSE},
        {"window", WM_ACTIVATE, WA_INACTIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::TestApp app;
        HWND cover = OpenCover(app);
        ASSERT_NE(cover, nullptr);
        SendMessageA(cover, c.message, c.wParam, 0);
        EXPECT_TRUE(ClosesAndNotifiesOnce(app, cover));
    }
}

TEST(CoverWindowTest, ManyInputsInARowPostTheNoticeOnce) {
    fs::TestApp app;
    HWND cover = OpenCover(app);
    ASSERT_NE(cover, nullptr);
    PostMessageA(cover, WM_KEYDOWN, 'A', 0);
    PostMessageA(cover, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(cover, WM_MOUSEMOVE, 0, Point(1, 1));
    PostMessageA(cover, WM_MOUSEMOVE, 0, Point(9, 9));
    PostMessageA(cover, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce(app, cover));
}

TEST(CoverWindowTest, RealInputClosesIt) {
    fs::TestApp app;
    HWND cover = OpenCover(app);
    ASSERT_NE(cover, nullptr);
    SetForegroundWindow(cover);
    fs::Pump([&] { return GetForegroundWindow() == cover; }, 2000);
    test::PressKey(VK_SHIFT);
    EXPECT_TRUE(ClosesAndNotifiesOnce(app, cover));
}

TEST(CoverWindowTest, SwallowsScreenSaveAndCloseCommandsAndRefusesNonClientDeactivation) {
    fs::TestApp app;
    HWND cover = OpenCover(app);
    ASSERT_NE(cover, nullptr);
    SendMessageA(cover, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    SendMessageA(cover, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(SendMessageA(cover, WM_NCACTIVATE, FALSE, 0), FALSE);
    fs::Drain(app);
    fs::Drain(app);
    EXPECT_TRUE(IsWindow(cover));
    EXPECT_EQ(app.mainWindow.notices, 0);
    // Only the exact commands: SC_CLOSE with low bits set is not swallowed.
    SendMessageA(cover, WM_SYSCOMMAND, SC_CLOSE | 1, 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce(app, cover));
}

TEST(CoverWindowTest, AZeroHeightWindowStillTicksAndCloses) {
    fs::TestApp app;
    auto* cover = new CoverWindow();
    RECT rect = {0, 0, 200, 0};
    ASSERT_TRUE(cover->CreateSaverWindow(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect,
                                         app.mainWindow.Handle()));
    HWND handle = cover->Handle();
    // Paints and timer ticks at font height 0 must not fail.
    InvalidateRect(handle, nullptr, TRUE);
    UpdateWindow(handle);
    SendMessageA(handle, WM_TIMER, kColourTimerId, 0);
    EXPECT_TRUE(IsWindow(handle));
    PostMessageA(handle, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(ClosesAndNotifiesOnce(app, handle));
}

TEST(CoverWindowTest, DestroyedWithItsOwnerItStillNotifies) {
    fs::TestApp app;
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    auto* cover = new CoverWindow();
    ASSERT_TRUE(cover->CreateFullScreen(owner));
    HWND handle = cover->Handle();
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(ClosesAndNotifiesOnce(app, handle));
}

// --- The placeholder picture as the preview pane makes it -------------------

struct Picture {
    bool blackOutsideCell = true;
    int glyphPixels = 0;
    COLORREF glyphColour = 0;  // the commonest colour other than black
};

Picture Look(HWND pane, const RECT& cell) {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels = test::CaptureClient(pane, &width, &height);
    Picture picture;
    std::map<COLORREF, int> counts;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y * width + x)];
            if (c == RGB(0, 0, 0)) continue;
            if (x < cell.left || x >= cell.right || y < cell.top || y >= cell.bottom) {
                picture.blackOutsideCell = false;
            }
            ++picture.glyphPixels;
            ++counts[c];
        }
    }
    int best = 0;
    for (const auto& [colour, count] : counts) {
        if (count > best) {
            best = count;
            picture.glyphColour = colour;
        }
    }
    return picture;
}

TEST(PlaceholderPictureTest, APreviewSizedPaneShowsTheGlyphInItsCellAndChangesColour) {
    fs::TestApp app;
    HWND preview = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "",
                                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200, 200, 152, 112,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(preview, nullptr);
    RECT client = {};
    GetClientRect(preview, &client);
    // Nothing in this process has seeded the generator: the pane's colours
    // are those of the unseeded one, the same in every run.
    std::vector<COLORREF> expected;
    std::srand(1);
    for (int i = 0; i < 12; ++i) {
        int blue = std::rand() % 256, green = std::rand() % 256, red = std::rand() % 256;
        expected.push_back(RGB(red, green, blue));
    }
    std::srand(1);

    auto* pane = new SaverBaseWindow();
    ASSERT_TRUE(pane->CreateSaverWindow(0, WS_CHILD | WS_VISIBLE, client, preview));
    HWND handle = pane->Handle();
    const RECT cell = {48, 28, 104, 84};

    std::vector<COLORREF> seen;
    DWORD start = GetTickCount();
    ASSERT_TRUE(fs::Pump([&] {
        Picture picture = Look(handle, cell);
        EXPECT_TRUE(picture.blackOutsideCell);
        if (picture.glyphPixels > 50 && (seen.empty() || seen.back() != picture.glyphColour)) {
            seen.push_back(picture.glyphColour);
        }
        return seen.size() >= 3;
    }, 8000));
    // Three colours in well under four seconds: about one a second.
    EXPECT_LT(GetTickCount() - start, 4000u);
    // In the generator's order (a repaint may take a colour we did not see).
    size_t next = 0;
    for (COLORREF colour : seen) {
        while (next < expected.size() && expected[next] != colour) ++next;
        EXPECT_LT(next, expected.size()) << std::hex << colour;
        ++next;
    }

    DestroyWindow(preview);
    EXPECT_FALSE(IsWindow(handle));
    fs::Drain(app);
    EXPECT_EQ(app.mainWindow.notices, 0);  // the pane itself posts nothing
}

}  // namespace
