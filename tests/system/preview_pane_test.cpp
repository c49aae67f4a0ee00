// The /p preview pane of the real tolvarin.scr inside a 152×112 preview
// window owned by the test: the pane is the program's child filling the
// window, and the program ends, leaving nothing, when the window goes.
// (Under Wine another process's drawing into our window cannot be read back
// from here; the picture itself is checked in-process by the cover window's
// tests, on a pane made the same way.)
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kWidth = 152;
constexpr int kHeight = 112;

// A plain window that paints nothing under its child, as the display
// properties' preview monitor does.
class PreviewWindow {
public:
    PreviewWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TolvarinTestPreview";
        RegisterClassA(&wc);
        handle = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200, 200, kWidth,
                                 kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~PreviewWindow() { Destroy(); }
    void Destroy() {
        if (handle) DestroyWindow(handle);
        handle = nullptr;
    }
    HWND handle = nullptr;
};

HWND WaitForPane(HWND owner, DWORD processId) {
    HWND pane = nullptr;
    test::PumpUntil([&] {
        for (HWND child = GetWindow(owner, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            DWORD id = 0;
            GetWindowThreadProcessId(child, &id);
            if (id == processId && IsWindowVisible(child)) {
                pane = child;
                return true;
            }
        }
        return false;
    }, 10000);
    return pane;
}

std::string HandleArgument(HWND window) {
    return "/p " + std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(window)));
}

TEST(PreviewPaneTest, FillsThePreviewWindowAndEndsWithIt) {
    PreviewWindow owner;
    ASSERT_NE(owner.handle, nullptr);
    test::ProductProcess process;
    ASSERT_TRUE(process.Start(HandleArgument(owner.handle)));
    HWND pane = WaitForPane(owner.handle, process.Id());
    ASSERT_NE(pane, nullptr);

    RECT client = {};
    GetClientRect(pane, &client);
    EXPECT_EQ(client.right, kWidth);
    EXPECT_EQ(client.bottom, kHeight);
    POINT origin = {0, 0};
    MapWindowPoints(pane, owner.handle, &origin, 1);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(GetWindowLongA(pane, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);

    // It lives on, ticking, while its window is there; input does not end it.
    PostMessageA(pane, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(pane, WM_LBUTTONDOWN, 0, 0);
    EXPECT_FALSE(test::PumpUntil([&] { return !process.Running(); }, 1500));

    // The system destroys its preview window: the process ends with it.
    owner.Destroy();
    EXPECT_TRUE(test::PumpUntil([&] { return !process.Running(); }, 10000));
    EXPECT_EQ(process.ExitCode(), 0u);
    EXPECT_EQ(test::CountProcessesInFolder(process.Folder()), 0);
}

}  // namespace
