#include "players/WindowIds.h"
#include "tests/integration/support/FullScreenSupport.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace fs {

namespace {
constexpr UINT kMarker = WM_APP + 50;
}  // namespace

bool NoticeCounter::Create() {
    const char* className = RegisterWindowClass(0);
    return className && CreateEx(0, className, "notice counter", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr);
}

LRESULT NoticeCounter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kEndNoticeMessage) {
        if (wParam == 0 && lParam == 0) {
            ++notices;
        } else {
            ++otherNotices;
        }
        return 0;
    }
    if (message == kMarker) {
        ++markers;
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}

TestApp::TestApp() {
    mainWindow.Create();
    app.SetMainWindow(&mainWindow);
}

TestApp::~TestApp() {
    app.SetMainWindow(nullptr);
    mainWindow.DestroyWindow();
    // Leave no WM_QUIT or stray message for the next test.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}


bool Drain(TestApp& app) {
    int before = app.mainWindow.markers;
    PostMessageA(app.mainWindow.Handle(), kMarker, 0, 0);
    return Pump([&] { return app.mainWindow.markers > before; }, 5000);
}

namespace {
struct WindowSearch {
    const char* className;
    int count;
};
BOOL CALLBACK CountOne(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (!IsWindowVisible(window)) return TRUE;
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    if (!search->className || std::strcmp(name, search->className) == 0) ++search->count;
    return TRUE;
}
}  // namespace

int CountThreadWindows(const char* className) {
    WindowSearch search = {className, 0};
    EnumThreadWindows(GetCurrentThreadId(), &CountOne, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

}  // namespace fs
