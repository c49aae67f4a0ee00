#include "session/StartCover.h"

#include "framework/App.h"
#include "players/SaverInput.h"
#include "players/WindowIds.h"
#include "res/resource.h"


BOOL StartCover::Open(HWND owner, const RECT& rect, LPARAM tag) {
    noticeTag = tag;
    ShowPicture(false);
    if (!CreateSaverWindow(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, owner, TOLVARIN_START_CAPTION)) {
        return FALSE;
    }
    SetTimer(Handle(), kPictureTimerId, kPictureDelayMs, nullptr);
    SetForegroundWindow(Handle());
    return TRUE;
}

void StartCover::ReportInput() {
    if (App* app = App::Instance()) app->PostToMainWindow(kEndNoticeMessage, 0, noticeTag);
}

LRESULT StartCover::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!IsOwnInput()) ReportInput();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        ReportInput();
        return 0;
    case WM_MOUSEMOVE:
        if (MovedAway(lParam, firstMouseX, firstMouseY)) ReportInput();
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_CLOSE:
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE) return 0;
        return DefaultProc(message, wParam, lParam);
    case WM_TIMER:
        if (wParam != kPictureTimerId) break;
        KillTimer(Handle(), kPictureTimerId);
        ShowPicture(true);
        return 0;
    default:
        break;
    }
    return SaverBaseWindow::WindowProc(message, wParam, lParam);
}
