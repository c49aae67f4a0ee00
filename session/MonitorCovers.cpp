#include "session/MonitorCovers.h"

#include "players/SaverInput.h"
#include "players/WindowIds.h"
#include "session/SaverBaseWindow.h"

#include <windowsx.h>

class MonitorCovers::Cover : public SaverBaseWindow {
public:
    explicit Cover(MonitorCovers& owner) : covers(owner) {}
    ~Cover() override {
        if (Handle()) DestroyWindow();
    }

    bool Create(const RECT& rect, bool topmost) {
        ShowPicture(false);
        // Created hidden: a window created visible is shown with activation.
        if (!CreateSaverWindow(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, RECT{}, nullptr)) {
            return false;
        }
        Place(rect, topmost);
        return true;
    }

    void Place(const RECT& rect, bool topmost) {
        placed = rect;
        SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, rect.left, rect.top,
                     rect.right - rect.left, rect.bottom - rect.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    const RECT& Placed() const { return placed; }

    void Raise(bool topmost) {
        SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    }

    // Another process's window inside this one takes the mouse's messages:
    // the cursor and the buttons are then looked at instead.
    void Watch(bool watch) {
        buttonsDown = 0;
        if (watch) {
            SetTimer(Handle(), kInputPollTimerId, kInputPollMs, nullptr);
        } else {
            KillTimer(Handle(), kInputPollTimerId);
        }
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (IsOwnInput()) return 0;
            [[fallthrough]];
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_MOUSEMOVE: {
            POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(Handle(), &at);
            covers.Report(message, at);
            return 0;
        }
        case WM_TIMER:
            if (wParam != kInputPollTimerId) break;
            LookAtTheMouse();
            return 0;
        case WM_CLOSE:
            // Only the session takes its covers away.
            return 0;
        case WM_SYSCOMMAND:
            if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE) return 0;
            break;
        default:
            break;
        }
        return SaverBaseWindow::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override {}

private:
    static constexpr UINT kInputPollMs = 100;

    void LookAtTheMouse() {
        POINT at = {};
        GetCursorPos(&at);
        if (!PtInRect(&placed, at)) {
            buttonsDown = 0;
            return;
        }
        covers.Report(WM_MOUSEMOVE, at);
        const std::pair<int, UINT> buttons[] = {
            {VK_LBUTTON, WM_LBUTTONDOWN}, {VK_RBUTTON, WM_RBUTTONDOWN}, {VK_MBUTTON, WM_MBUTTONDOWN}};
        for (size_t i = 0; i < 3; ++i) {
            const unsigned bit = 1u << i;
            const bool down = (GetAsyncKeyState(buttons[i].first) & 0x8000) != 0;
            if (down && !(buttonsDown & bit)) covers.Report(buttons[i].second, at);
            buttonsDown = down ? buttonsDown | bit : buttonsDown & ~bit;
        }
    }

    MonitorCovers& covers;
    RECT placed = {};
    unsigned buttonsDown = 0;
};

namespace {

BOOL CALLBACK AddSecondaryMonitor(HMONITOR monitor, HDC, RECT*, LPARAM parameter) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
        reinterpret_cast<std::vector<RECT>*>(parameter)->push_back(info.rcMonitor);
    }
    return TRUE;
}

}  // namespace

std::vector<RECT> SecondaryMonitorRects() {
    std::vector<RECT> rects;
    EnumDisplayMonitors(nullptr, nullptr, &AddSecondaryMonitor, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

MonitorCovers::MonitorCovers() = default;

MonitorCovers::~MonitorCovers() { Close(); }

void MonitorCovers::Open(InputHandler inputHandler) {
    handler = std::move(inputHandler);
    Follow();
}

void MonitorCovers::Follow() {
    std::vector<RECT> rects = SecondaryMonitorRects();
    if (covers.size() > rects.size()) covers.resize(rects.size());
    for (size_t i = 0; i < rects.size(); ++i) {
        if (i < covers.size()) {
            covers[i]->Place(rects[i], topmost);
            continue;
        }
        auto cover = std::make_unique<Cover>(*this);
        if (cover->Create(rects[i], topmost)) covers.push_back(std::move(cover));
    }
    GetCursorPos(&reference);
}

void MonitorCovers::SetQuiet(bool beQuiet) {
    if (quiet && !beQuiet) GetCursorPos(&reference);
    quiet = beQuiet;
}

void MonitorCovers::SetTopmost(bool beTopmost) {
    if (topmost == beTopmost) return;
    topmost = beTopmost;
    for (auto& cover : covers) cover->Raise(topmost);
}

void MonitorCovers::Close() { covers.clear(); }

HWND MonitorCovers::WindowAt(size_t i) const { return i < covers.size() ? covers[i]->Handle() : nullptr; }

RECT MonitorCovers::RectAt(size_t i) const { return i < covers.size() ? covers[i]->Placed() : RECT{}; }

void MonitorCovers::ShowPicture(size_t i, bool picture) {
    if (i < covers.size()) covers[i]->ShowPicture(picture);
}

void MonitorCovers::Watch(size_t i, bool watch) {
    if (i < covers.size()) covers[i]->Watch(watch);
}

void MonitorCovers::Report(UINT message, POINT at) {
    if (quiet || !handler) return;
    if (message == WM_MOUSEMOVE && at.x == reference.x && at.y == reference.y) return;
    handler(message);
}
