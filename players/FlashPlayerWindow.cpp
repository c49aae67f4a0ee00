#include "players/FlashPlayerWindow.h"

#include "framework/App.h"
#include "framework/SystemLibrary.h"
#include "framework/TextUtil.h"
#include "players/SaverInput.h"
#include "players/WindowIds.h"
#include "res/resource.h"
#include "settings/SaverSettings.h"

#include <string>
#include <vector>

namespace {
// The system's web browser control.
constexpr CLSID kWebBrowserClsid = {0x8856F961, 0x340A, 0x11D0,
                                    {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr IID kWebBrowser2Iid = {0xD30C1661, 0xCDAF, 0x11D0,
                                 {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};

// The path as an OLE string, converted from the system code page; null when
// there is none. OLE's strings come from the library that the browser
// control loads too, loaded with the first movie.
BSTR AllocPath(const char* path) {
    static const auto alloc = SystemFunction<decltype(&SysAllocString)>("oleaut32.dll", "SysAllocString");
    const std::vector<wchar_t> wide = WidePath(path);
    return alloc && !wide.empty() ? alloc(wide.data()) : nullptr;
}

void FreePath(BSTR text) {
    static const auto free = SystemFunction<decltype(&SysFreeString)>("oleaut32.dll", "SysFreeString");
    if (free) free(text);
}
}  // namespace

const char* const FlashPlayerWindow::kFlashControlKey =
    "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

bool FlashPlayerWindow::FlashControlRegistered() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kFlashControlKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

FlashPlayerWindow::~FlashPlayerWindow() = default;

BOOL FlashPlayerWindow::Play(const char* path, LPARAM tag, HWND within) {
    App* app = App::Instance();
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (within) GetClientRect(within, &area);
    inside = within != nullptr;
    RECT rect = {-1, -1, area.right + 3, area.bottom + 3};
    const char* className = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);

    // A missing movie, or no Flash support for the browser to show it with
    // (it would show an empty page full screen): nothing on the screen and
    // nothing posted.
    if (!className || !path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES ||
        !FlashControlRegistered()) {
        return FailCreation();
    }
    // From here on every failure destroys the window, and PostNcDestroy
    // frees the object; the end notice is due only once the movie shows.
    noticeTag = tag;
    HWND owner = app ? app->MainWindowHandle() : nullptr;
    if (!CreateEx(inside ? 0 : WS_EX_TOPMOST, className, TOLVARIN_PLAYER_CAPTION,
                  (inside ? WS_CHILD : WS_POPUP) | WS_VISIBLE, rect, inside ? within : owner, 0)) {
        return FALSE;
    }

    ActiveXHost::EnableControlContainer();
    // The control takes the window's own rectangle in client coordinates,
    // so that its border lies off the screen on every side.
    if (!browserHost.CreateControl(kWebBrowserClsid, TOLVARIN_PLAYER_CAPTION,
                                   WS_CHILD | WS_VISIBLE, rect, Handle(), kBrowserControlId)) {
        DestroyWindow();
        return FALSE;
    }
    void* queried = nullptr;
    if (FAILED(browserHost.QueryControl(kWebBrowser2Iid, &queried)) || !queried) {
        browser = nullptr;
        browserHost.Destroy();
        DestroyWindow();
        return FALSE;
    }
    browser = static_cast<IWebBrowser2*>(queried);

    steps = ParseMouseMacro(AppSettings().FlashMacro(path));

    BSTR url = AllocPath(path);
    if (!url) {
        DestroyWindow();
        return FALSE;
    }
    // Empty (VT_EMPTY) but for the types given.
    VARIANT flags = {}, target = {}, postData = {}, headers = {};
    flags.vt = VT_I4;
    flags.lVal = 0;
    target.vt = VT_BSTR;
    target.bstrVal = nullptr;
    headers.vt = VT_BSTR;
    headers.bstrVal = nullptr;
    // A movie the browser cannot show is not detected: the window stays up.
    browser->Navigate(url, &flags, &target, &postData, &headers);
    FreePath(url);

    clickPending = false;
    lastMouseX = -1;
    lastMouseY = -1;
    stepIndex = -1;
    if (!inside) {
        ShowCursor(FALSE);
        cursorHidden = true;
    }

    if (!steps.empty()) {
        StartMacroTimer(MacroStepPeriodMs(steps[0].time, 0));
        stepIndex = 0;
    }
    endNoticeDue = true;
    return TRUE;
}

void FlashPlayerWindow::StartMacroTimer(UINT periodMs) {
    SetTimer(Handle(), kMacroTimerId, periodMs, nullptr);
}

void FlashPlayerWindow::RunMacroStep() {
    KillTimer(Handle(), kMacroTimerId);
    if (stepIndex < 0 || stepIndex >= static_cast<int>(steps.size())) return;
    const MacroStep step = steps[static_cast<size_t>(stepIndex)];

    if (step.action == MacroStep::kClick) {
        if (!inside) {
            POINT point = MacroClickPoint(step, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
            // The cursor's jump is not the user's movement, and the click
            // that follows is the window's own.
            lastMouseX = -1;
            lastMouseY = -1;
            clickPending = true;
            SetCursorPos(point.x, point.y);
            mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        }
        if (stepIndex < static_cast<int>(steps.size()) - 1) {
            ++stepIndex;
            StartMacroTimer(MacroStepPeriodMs(steps[static_cast<size_t>(stepIndex)].time, step.time));
        }
    } else if (step.action == MacroStep::kReload) {
        if (browser) browser->Refresh();
        StartMacroTimer(MacroStepPeriodMs(steps[0].time, 0));
        stepIndex = 0;
    }
    // Any other action ends the macro; the movie keeps playing.
}

BOOL FlashPlayerWindow::PreTranslateMessage(MSG* message) {
    // Within another window, that window sees the user's input.
    if (inside) return Window::PreTranslateMessage(message);
    switch (message->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (IsOwnInput()) break;
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (clickPending) {
            clickPending = false;  // the macro's own click
        } else {
            Post(WM_CLOSE);
        }
        break;
    case WM_MOUSEMOVE:
        if (lastMouseX == -1 && lastMouseY == -1) {
            lastMouseX = message->pt.x;
            lastMouseY = message->pt.y;
        } else if (message->pt.x != lastMouseX || message->pt.y != lastMouseY) {
            Post(WM_CLOSE);
        }
        break;
    default:
        break;
    }
    // The input goes on to the movie even when it closes the window.
    return Window::PreTranslateMessage(message);
}

LRESULT FlashPlayerWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kMacroTimerId) RunMacroStep();
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        if (stepIndex != -1) KillTimer(Handle(), kMacroTimerId);
        // The control goes before its window is pulled away under it.
        browserHost.Destroy();
        return DefaultProc(message, wParam, lParam);
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}

void FlashPlayerWindow::PostNcDestroy() {
    App* app = App::Instance();
    if (app && endNoticeDue) app->PostToMainWindow(kEndNoticeMessage, 0, noticeTag);
    if (cursorHidden) ShowCursor(TRUE);
    if (browser) {
        browser->Release();
        browser = nullptr;
    }
    delete this;
}
