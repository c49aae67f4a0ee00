// The /p preview pane of the real tolvarin.scr inside a 152×112 preview
// window owned by the test: the pane is the program's child filling the
// window, and the program ends, leaving nothing, when the window goes.
// (Under Wine another process's drawing into our window cannot be read back
// from here; the picture itself is checked in-process by the cover window's
// tests, on a pane made the same way.)
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PreviewPaneTest, FillsThePreviewWindowAndEndsWithIt) {
    // A plain window that paints nothing under its child, as the display
    // properties' preview monitor does.
    WNDCLASSA wc = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "TlvPreview"};
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200, 200,
                                 152, 112, nullptr, nullptr, wc.hInstance, nullptr);
    test::ProductProcess process;
    ASSERT_TRUE(process.Start("/p " + std::to_string(reinterpret_cast<LONG_PTR>(owner))));
    HWND pane = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(pane = GetWindow(owner, GW_CHILD)); }, 10000));
    RECT client = {};
    GetClientRect(pane, &client);
    POINT origin = {0, 0};
    MapWindowPoints(pane, owner, &origin, 1);
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, origin.x, origin.y}), std::vector<LONG>({152, 112, 0, 0}));
    EXPECT_EQ(GetWindowLongA(pane, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    // It lives on, ticking, while its window is there; input does not end it.
    PostMessageA(pane, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(pane, WM_LBUTTONDOWN, 0, 0);
    EXPECT_FALSE(test::PumpUntil([&] { return !process.Running(); }, 1500));
    // The system destroys its preview window: the process ends with it.
    DestroyWindow(owner);
    EXPECT_TRUE(test::PumpUntil([&] { return !process.Running(); }, 10000));
    EXPECT_EQ(process.ExitCode(), 0u);
    EXPECT_EQ(test::CountProcessesInFolder(process.Folder()), 0);
}

}  // namespace
