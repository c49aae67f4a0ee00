#include "players/MoviePlayerWindow.h"

#include "framework/App.h"
#include "players/MovieFit.h"
#include "players/SaverInput.h"
#include "players/WindowIds.h"
#include "res/resource.h"

BOOL MoviePlayerWindow::Play(const char* path, LPARAM tag) {
    App* app = App::Instance();
    noticeTag = tag;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    windowClassName = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);
    const char* movieClassName =
        RegisterWindowClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HWND owner = app ? app->MainWindowHandle() : nullptr;
    // Either way a failed creation runs PostNcDestroy, which deletes the object.
    if (!windowClassName || !movieClassName) return FailCreation();
    // Hidden until the movie is known to play.
    if (!CreateEx(WS_EX_TOPMOST, windowClassName, TOLVARIN_PLAYER_CAPTION, WS_POPUP, screen, owner,
                  0)) {
        return FALSE;
    }

    HINSTANCE instance = app && app->Handle() ? app->Handle() : GetModuleHandleA(nullptr);
    movieWindow = CreateWindowExA(0, movieClassName, nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0,
                                  0, Handle(), nullptr, instance, nullptr);
    if (!movieWindow || !movie.Open(path, movieWindow)) return FailPlay();

    SIZE natural = movie.NaturalSize();
    RECT client = {};
    GetClientRect(Handle(), &client);
    RECT fit = FitMovie(natural.cx, natural.cy, client.right, client.bottom);

    ShowWindow(Handle(), SW_SHOW);
    SetWindowPos(movieWindow, nullptr, fit.left, fit.top, fit.right - fit.left,
                 fit.bottom - fit.top, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
    movie.Stretch(fit.right - fit.left, fit.bottom - fit.top);

    firstMouseX = -1;
    firstMouseY = -1;
    if (!movie.Play(Handle())) return FailPlay();
    SetCapture(Handle());
    Post(WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle()), 0);
    return TRUE;
}

BOOL MoviePlayerWindow::FailPlay() {
    // This window goes by DestroyWindow, not WM_CLOSE, so no end notice is
    // posted; the child goes with it.
    movie.Close();
    DestroyWindow();
    return FALSE;
}

LRESULT MoviePlayerWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (ApplySaverInputRules(Handle(), message, wParam, lParam, firstMouseX, firstMouseY, &result)) {
    case SaverInputResult::Handled: return result;
    case SaverInputResult::ThenDefault: return DefaultProc(message, wParam, lParam);
    case SaverInputResult::NotInput: break;
    }
    switch (message) {
    case MM_MCINOTIFY:
        // Played to its end by itself (not stopped or replaced by a command
        // of ours): start over, so that the movie loops until the user
        // comes back. Every device says so, whether it then stands on its
        // last frame or back at the start, and whatever units it counts in.
        if (wParam == MCI_NOTIFY_SUCCESSFUL && movie.IsOpen()) movie.StartOver(Handle());
        return 0;
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(Handle(), &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect,
                 static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    case WM_CLOSE:
        ReleaseCapture();
        if (App* app = App::Instance()) app->PostToMainWindow(kEndNoticeMessage, 0, noticeTag);
        movie.Close();
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        // Before the child goes: the device may have windows of its own in it.
        movie.Close();
        return DefaultProc(message, wParam, lParam);
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}
