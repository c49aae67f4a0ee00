#include "players/MoviePlayerWindow.h"

#include "framework/App.h"
#include "framework/SystemLibrary.h"
#include "players/MovieFit.h"
#include "session/SaverInput.h"

#include <vfw.h>

namespace {
constexpr UINT kEndNotice = WM_APP + 1;
static_assert(MoviePlayerWindow::kMovieWindowStyle ==
                  (WS_CHILD | MCIWNDF_NOOPEN | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYSIZE |
                   MCIWNDF_NOTIFYPOS | MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR),
              "movie window: a hidden child without menu, bar or error boxes, reporting its "
              "position and size to us");
}  // namespace

BOOL MoviePlayerWindow::Play(const char* path) {
    App* app = App::Instance();
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    windowClassName = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);
    HWND owner = app ? app->MainWindowHandle() : nullptr;
    if (!windowClassName) {
        delete this;
        return FALSE;
    }
    // Hidden until the movie is known to play. A failed creation has already
    // run PostNcDestroy, which deleted the object.
    if (!CreateEx(WS_EX_TOPMOST, windowClassName, "動画セーバー", WS_POPUP, screen, owner, 0)) {
        return FALSE;
    }

    HINSTANCE instance = app && app->Handle() ? app->Handle() : GetModuleHandleA(nullptr);
    // The movie window's library comes from the system folder at run time:
    // it is not one that Windows always takes from there.
    static const auto createMovieWindow =
        SystemFunction<decltype(&MCIWndCreateA)>("msvfw32.dll", "MCIWndCreateA");
    movieWindow = createMovieWindow
                      ? createMovieWindow(hwnd, instance, kMovieWindowStyle, path)
                      : nullptr;
    if (!movieWindow) {
        DestroyWindow();
        return FALSE;
    }
    if (!MCIWndCanPlay(movieWindow)) return FailPlay();

    RECT movie = {};
    GetClientRect(movieWindow, &movie);
    RECT client = {};
    GetClientRect(hwnd, &client);
    RECT fit = FitMovie(movie.right, movie.bottom, client.right, client.bottom);

    ShowWindow(hwnd, SW_SHOW);
    SetWindowPos(movieWindow, nullptr, fit.left, fit.top, fit.right - fit.left,
                 fit.bottom - fit.top, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);

    firstMouseX = -1;
    firstMouseY = -1;
    if (MCIWndPlay(movieWindow) != 0) return FailPlay();
    SetCapture(hwnd);
    Post(WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), 0);
    return TRUE;
}

BOOL MoviePlayerWindow::FailPlay() {
    // WM_CLOSE closes the device and destroys the child; this window goes by
    // DestroyWindow, not WM_CLOSE, so no end notice is posted.
    SendMessageA(movieWindow, WM_CLOSE, 0, 0);
    movieWindow = nullptr;
    DestroyWindow();
    return FALSE;
}

void MoviePlayerWindow::StartOver() {
    // Back to the first frame first: playing from the end position plays
    // from the start on some platforms and plays nothing on others.
    MCIWndHome(movieWindow);
    MCIWndPlay(movieWindow);
}

LRESULT MoviePlayerWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (ApplySaverInputRules(hwnd, message, wParam, lParam, firstMouseX, firstMouseY, &result)) {
    case SaverInputResult::Handled: return result;
    case SaverInputResult::ThenDefault: return DefaultProc(message, wParam, lParam);
    case SaverInputResult::NotInput: break;
    }
    switch (message) {
    case MCIWNDM_NOTIFYPOS:
        // At the end, start over: the movie loops until the user comes back.
        if (movieWindow) {
            LONG length = MCIWndGetLength(movieWindow);
            if (lParam >= length) {
                StartOver();
            } else if (lParam >= length - 1) {
                // Some movie windows stop on the last frame and report no
                // further position: look again until it has stopped there.
                SetTimer(hwnd, kEndCheckTimerId, kEndCheckPeriodMs, nullptr);
            }
        }
        return DefaultProc(message, wParam, lParam);
    case WM_TIMER:
        if (wParam == kEndCheckTimerId && movieWindow) {
            LONG length = MCIWndGetLength(movieWindow);
            LONG position = MCIWndGetPosition(movieWindow);
            if (position < length - 1) {
                KillTimer(hwnd, kEndCheckTimerId);
            } else if (MCIWndGetMode(movieWindow, nullptr, 0) != MCI_MODE_PLAY) {
                KillTimer(hwnd, kEndCheckTimerId);
                StartOver();
            }
        }
        return DefaultProc(message, wParam, lParam);
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(hwnd, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect,
                 static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    case WM_CLOSE:
        KillTimer(hwnd, kEndCheckTimerId);
        ReleaseCapture();
        if (App* app = App::Instance()) app->PostToMainWindow(kEndNotice, 0, 0);
        if (movieWindow) {
            SendMessageA(movieWindow, WM_CLOSE, 0, 0);
            movieWindow = nullptr;
        }
        return DefaultProc(message, wParam, lParam);
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}
