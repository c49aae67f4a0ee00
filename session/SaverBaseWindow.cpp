#include "session/SaverBaseWindow.h"

BOOL SaverBaseWindow::CreateSaverWindow(DWORD exStyle, DWORD style, const RECT& rect, HWND parent) {
    const char* className = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);
    if (!className) {
        PostNcDestroy();
        return FALSE;
    }
    return CreateEx(exStyle, className, "", style, rect, parent, 0);
}

LRESULT SaverBaseWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT rect;
        GetClientRect(hwnd, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    return Window::WindowProc(message, wParam, lParam);
}
