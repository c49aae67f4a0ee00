#include "tests/integration/support/InProcess.h"

#include "players/LaunchRecord.h"
#include "players/WindowIds.h"

namespace test {

namespace {
constexpr UINT kMarkerMessage = WM_APP + 50;
}  // namespace

void PumpQueued(const std::function<void(const MSG&)>& handled) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (!App::PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (handled) handled(message);
    }
}

bool PumpAppUntil(const std::function<bool()>& condition, DWORD timeoutMs,
                  const std::function<void(const MSG&)>& handled) {
    for (DWORD start = GetTickCount();;) {
        PumpQueued(handled);
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

LRESULT NoticeWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kEndNoticeMessage || message == kStartNoticeMessage) {
        (message == kEndNoticeMessage ? notices : starts).emplace_back(wParam, lParam);
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}

TestApp::TestApp() {
    app.SetProfileName(IniPath());
    mainWindow.CreateEx(0, Window::RegisterWindowClass(0), "notices", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
    app.SetMainWindow(&mainWindow);
}

TestApp::~TestApp() {
    KillProcessesInFolder(folder.Path());
    app.SetMainWindow(nullptr);
    mainWindow.DestroyWindow();
    PumpQueued();  // no WM_QUIT or stray message is left for the next test
}

bool TestApp::Drain() {
    bool back = false;
    PostMessageA(mainWindow.Handle(), kMarkerMessage, 0, 0);
    return PumpAppUntil([&] { return back; }, 5000, [&](const MSG& m) { back = back || m.message == kMarkerMessage; });
}

}  // namespace test
