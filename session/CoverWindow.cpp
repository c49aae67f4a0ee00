#include "session/CoverWindow.h"

#include "framework/App.h"
#include "players/SaverInput.h"
#include "players/WindowIds.h"

BOOL CoverWindow::CreateFullScreen(HWND owner, LPARAM tag) {
    noticeTag = tag;
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CreateSaverWindow(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, owner);
}

LRESULT CoverWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (ApplySaverInputRules(Handle(), message, wParam, lParam, firstMouseX, firstMouseY, &result)) {
    case SaverInputResult::Handled: return result;
    case SaverInputResult::ThenDefault: return DefaultProc(message, wParam, lParam);
    case SaverInputResult::NotInput: break;
    }
    switch (message) {
    case WM_SYSCOMMAND:
        // The whole value is compared: no further saver starts from here,
        // and Alt+F4 has already closed the window by its key press.
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE) return 0;
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        if (App* app = App::Instance()) app->PostToMainWindow(kEndNoticeMessage, 0, noticeTag);
        return SaverBaseWindow::WindowProc(message, wParam, lParam);
    default:
        return SaverBaseWindow::WindowProc(message, wParam, lParam);
    }
}
