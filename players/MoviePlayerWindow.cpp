#include "players/MoviePlayerWindow.h"

#include "framework/App.h"
#include "players/LaunchRecord.h"
#include "players/MovieFit.h"
#include "players/SaverInput.h"
#include "players/WindowIds.h"
#include "res/resource.h"
#include "settings/SaverSettings.h"

BOOL MoviePlayerWindow::Play(const char* moviePath, LPARAM tag, const MovieOptions& movieOptions) {
    App* app = App::Instance();
    noticeTag = tag;
    options = movieOptions;
    if (IsRectEmpty(&options.area)) {
        options.area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    // A missing file is not handed to any player.
    if (!moviePath || GetFileAttributesA(moviePath) == INVALID_FILE_ATTRIBUTES) return FailCreation();
    path = moviePath;
    windowClassName = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);
    const char* movieClassName =
        RegisterWindowClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HWND owner = app ? app->MainWindowHandle() : nullptr;
    // Either way a failed creation runs PostNcDestroy, which deletes the object.
    if (!windowClassName || !movieClassName) return FailCreation();
    // Hidden until the picture shows.
    if (options.within) {
        GetClientRect(options.within, &options.area);
        if (!CreateEx(0, windowClassName, TOLVARIN_PLAYER_CAPTION, WS_CHILD | WS_CLIPCHILDREN, options.area,
                      options.within, 0)) {
            return FALSE;
        }
    } else if (!CreateEx(WS_EX_TOPMOST, windowClassName, TOLVARIN_PLAYER_CAPTION, WS_POPUP, options.area, owner,
                         0)) {
        return FALSE;
    }
    HINSTANCE instance = app && app->Handle() ? app->Handle() : GetModuleHandleA(nullptr);
    movieWindow = CreateWindowExA(0, movieClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                  Handle(), nullptr, instance, nullptr);
    if (!movieWindow || !movie.Open(path, movieWindow, Handle(), options.muted)) {
        // Gone by DestroyWindow, not WM_CLOSE: no notice.
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

void MoviePlayerWindow::PostStart(WPARAM outcome) const {
    if (App* app = App::Instance()) app->PostToMainWindow(kStartNoticeMessage, outcome, noticeTag);
}

void MoviePlayerWindow::OnMovieEvent(WPARAM wParam, LPARAM lParam) {
    switch (movie.OnEvent(wParam, lParam)) {
    case Movie::News::Opened: {
        SIZE natural = movie.NaturalSize();
        RECT client = {};
        GetClientRect(Handle(), &client);
        RECT fit = FitMovie(natural.cx, natural.cy, client.right, client.bottom);
        SetWindowPos(movieWindow, nullptr, fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top,
                     SWP_NOACTIVATE | SWP_NOZORDER);
        movie.Place(fit.right - fit.left, fit.bottom - fit.top);
        DWORD from = 0;
        if (options.resume && !started) from = ResumeStart(AppSettings().MovieResume(path), movie.LengthMs());
        started = true;
        movie.Start(from);
        break;
    }
    case Movie::News::Showing:
        Show();
        break;
    case Movie::News::Looped:
        // From the beginning next time.
        if (options.resume && !playedToEnd && movie.LengthMs() > kResumeMinLengthMs) {
            AppSettings().WriteMovieResume(path, 0);
            playedToEnd = true;
        }
        break;
    case Movie::News::Failed:
        // Once shown, the window stays until the user's return, black.
        if (shown) break;
        PostStart(static_cast<WPARAM>(LaunchOutcome::Failed));
        movie.Close();
        DestroyWindow();
        break;
    case Movie::News::None:
        break;
    }
}

void MoviePlayerWindow::Show() {
    shown = true;
    firstMouseX = -1;
    firstMouseY = -1;
    if (options.within) {
        ShowWindow(Handle(), SW_SHOWNA);
        PostStart(static_cast<WPARAM>(LaunchOutcome::Shown));
        return;
    }
    ShowWindow(Handle(), SW_SHOW);
    SetCapture(Handle());
    Post(WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle()), 0);
    PostStart(static_cast<WPARAM>(LaunchOutcome::Shown));
}

LRESULT MoviePlayerWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // While it opens, the hidden window takes no input of the user's;
    // within another window, never.
    LRESULT result = 0;
    const bool takesInput = shown && !options.within;
    switch (takesInput ? ApplySaverInputRules(Handle(), message, wParam, lParam, firstMouseX, firstMouseY, &result)
                       : SaverInputResult::NotInput) {
    case SaverInputResult::Handled: return result;
    case SaverInputResult::ThenDefault: return DefaultProc(message, wParam, lParam);
    case SaverInputResult::NotInput: break;
    }
    switch (message) {
    case kMovieEventMessage:
        OnMovieEvent(wParam, lParam);
        return 0;
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(Handle(), &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect,
                 static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    case WM_CLOSE:
        // Not another player's capture (a movie on another monitor closes
        // while the primary's plays on).
        if (GetCapture() == Handle()) ReleaseCapture();
        if (shown) {
            // Replaced by the switch or ended by the user's return.
            const DWORD length = movie.LengthMs();
            if (options.resume && length > kResumeMinLengthMs) {
                AppSettings().WriteMovieResume(path, static_cast<int>(ResumePoint(movie.PositionMs(), length)));
            }
            if (App* app = App::Instance()) app->PostToMainWindow(kEndNoticeMessage, 0, noticeTag);
        }
        movie.Close();
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        // Before the children go: what plays may draw in them.
        movie.Close();
        return DefaultProc(message, wParam, lParam);
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}
