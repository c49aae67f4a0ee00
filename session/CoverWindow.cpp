#include "session/CoverWindow.h"

#include "framework/App.h"

#include <windowsx.h>

namespace {
constexpr UINT kEndNotice = WM_APP + 1;
}

BOOL CoverWindow::CreateFullScreen(HWND owner) {
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CreateSaverWindow(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, owner);
}

LRESULT CoverWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND:
        // The whole value is compared: no further saver starts from here,
        // and Alt+F4 has already closed the window by its key press.
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE) return 0;
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        if (App* app = App::Instance()) app->PostToMainWindow(kEndNotice, 0, 0);
        return SaverBaseWindow::WindowProc(message, wParam, lParam);
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_NCACTIVATE:
        if (!wParam) return FALSE;
        return DefaultProc(message, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) Post(WM_CLOSE);
        return DefaultProc(message, wParam, lParam);
    case WM_ACTIVATEAPP:
        if (!wParam) Post(WM_CLOSE);
        return DefaultProc(message, wParam, lParam);
    case WM_MOUSEMOVE: {
        int x = GET_X_LPARAM(lParam);
        int y = GET_Y_LPARAM(lParam);
        if (firstMouseX == -1 && firstMouseY == -1) {
            firstMouseX = x;
            firstMouseY = y;
        } else if (x != firstMouseX || y != firstMouseY) {
            Post(WM_CLOSE);
        }
        return DefaultProc(message, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Post(WM_CLOSE);
        return DefaultProc(message, wParam, lParam);
    default:
        return SaverBaseWindow::WindowProc(message, wParam, lParam);
    }
}
