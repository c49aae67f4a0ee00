#include "session/SaverHostWindow.h"

#include "framework/App.h"
#include "framework/TextUtil.h"
#include "players/FlashPlayerWindow.h"
#include "players/MoviePlayerWindow.h"
#include "players/WindowIds.h"
#include "res/resource.h"
#include "session/CoverInput.h"
#include "session/CoverWindow.h"
#include "session/PasswordHelper.h"
#include "session/SaverBaseWindow.h"
#include "settings/SaverEntry.h"
#include "settings/SaverSettings.h"

#include <winnls32.h>

#include <cstdlib>
#include <ctime>

namespace {

std::string StoredListValue(int index) { return AppSettings().ListValue(index); }

}  // namespace

SaverHostWindow::SaverHostWindow(bool passLock) : pool(&StoredListValue), passLock(passLock) {
    const SaverSettings& stored = AppSettings();
    onCount = stored.SessionOnCount();
    order = stored.Order();
    currentEntry = stored.Last();
    pool.Prepare(order, currentEntry);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

SaverHostWindow::~SaverHostWindow() = default;

BOOL SaverHostWindow::CreateHostWindow() {
    windowClassName = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);
    if (!windowClassName) return FailCreation();
    return CreateEx(WS_EX_TOPMOST, windowClassName, TOLVARIN_NAME, WS_POPUP, 0, 0,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr);
}

LRESULT SaverHostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(wParam, lParam);
    case WM_TIMER:
        if (wParam == kSwitchTimerId) OnSwitchTimer();
        break;
    case kEndNoticeMessage:
        return OnSaverEnded(wParam, lParam);
    case WM_DISPLAYCHANGE:
        covers.Follow();
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        break;
    }
    return Window::WindowProc(message, wParam, lParam);
}

LRESULT SaverHostWindow::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (Window::WindowProc(WM_CREATE, wParam, lParam) == -1) return -1;
    const SaverSettings& stored = AppSettings();
    switchPeriod = SwitchPeriodMs(stored.SessionMinutes());
    if (stored.TimerOn() && onCount > 1) {
        SetTimer(Handle(), kSwitchTimerId, static_cast<UINT>(switchPeriod), nullptr);
    } else {
        switchPeriod = 0;
    }
    WINNLSEnableIME(Handle(), FALSE);
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
    covers.Open(Handle(), [this](UINT message) { OnCoverInput(message); });
    StartNextEntry();
    return 0;
}

void SaverHostWindow::StartNextEntry() {
    if (onCount == 0) {
        ShowCover();
        return;
    }
    if (!pool.Pick(order, currentEntry, [] { return std::rand(); })) {
        ShowCover();
        return;
    }
    switch (KindOfPath(currentEntry)) {
    case EntryKind::ScreenSaver:
        watchDialog.record = &launch;
        if (StartLaunch(launch, currentEntry, "/s") != nullptr) return;
        ShowCover();
        return;
    case EntryKind::Program: {
        if (!AppSettings().ProgramSwitchesOnTime(currentEntry)) {
            KillTimer(Handle(), kSwitchTimerId);
        }
        launch.path = currentEntry;
        watchDialog.record = &launch;
        if (watchDialog.RunProgram()) return;
        if (switchPeriod != 0) RestartSwitchTimer();
        ShowCover();
        return;
    }
    case EntryKind::Flash: {
        auto* player = new FlashPlayerWindow();
        currentWindow = player;
        if (player->Play(currentEntry.c_str())) return;
        ShowCover();
        return;
    }
    case EntryKind::Movie: {
        auto* player = new MoviePlayerWindow();
        currentWindow = player;
        if (player->Play(currentEntry.c_str())) return;
        ShowCover();
        return;
    }
    }
}

void SaverHostWindow::ShowCover() {
    auto* cover = new CoverWindow();
    if (cover->CreateFullScreen(Handle())) {
        currentWindow = cover;
        return;
    }
    // A failed creation has disposed of the object. Nothing of the session
    // is on the screen and nothing would end it: end it as if the user had
    // come back.
    currentWindow = nullptr;
    PostMessageA(Handle(), kEndNoticeMessage, 0, 0);
}

void SaverHostWindow::RestartSwitchTimer() {
    KillTimer(Handle(), kSwitchTimerId);
    SetTimer(Handle(), kSwitchTimerId, static_cast<UINT>(switchPeriod), nullptr);
}

void SaverHostWindow::OnSwitchTimer() {
    endArmed = false;
    if (currentWindow) {
        SendMessageA(currentWindow->Handle(), WM_CLOSE, 0, 0);
        currentWindow = nullptr;
    } else {
        if (KindOfPath(currentEntry) == EntryKind::ScreenSaver) {
            keybd_event(VK_ESCAPE, 0, 0, 0);
            keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
        }
        watchDialog.StopProgram();
    }
    StartNextEntry();
}

LRESULT SaverHostWindow::OnSaverEnded(WPARAM wParam, LPARAM) {
    // A window that goes while the password dialog is up would otherwise
    // open a second dialog inside the first.
    if (checkingPassword) return 0;
    if (!endArmed) {
        endArmed = true;
        return 0;
    }
    if (wParam != 0) {
        launch.WaitForThread();
        // A watched program that ended by itself leaves the watch's injected
        // button press, hidden cursor and capture behind: undo them.
        watchDialog.StopProgram();
    }
    KillTimer(Handle(), kSwitchTimerId);
    if (!passLock) {
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    CheckPassword();
    endArmed = true;
    return 0;
}

void SaverHostWindow::CheckPassword() {
    // The system's dialog has the user's input meanwhile.
    covers.SetQuiet(true);
    ShowWindow(Handle(), SW_SHOW);
    RECT client = {};
    GetClientRect(Handle(), &client);
    auto* backdrop = new SaverBaseWindow();
    HWND backdropWindow = nullptr;
    if (backdrop->CreateSaverWindow(0, WS_CHILD | WS_VISIBLE, client, Handle())) {
        backdropWindow = backdrop->Handle();
    }
    PasswordHelper helper;
    checkingPassword = true;
    BOOL verified = helper.VerifyPassword(Handle());
    checkingPassword = false;
    if (verified) {
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return;
    }
    currentWindow = nullptr;
    if (backdropWindow) PostMessageA(backdropWindow, WM_CLOSE, 0, 0);
    if (switchPeriod != 0) SetTimer(Handle(), kSwitchTimerId, static_cast<UINT>(switchPeriod), nullptr);
    ShowWindow(Handle(), SW_HIDE);
    covers.SetQuiet(false);
    StartNextEntry();
}

// Runs as the covers' input is dispatched, so that every notice posted
// before it (the end of the window on the screen included) has been handled
// and currentWindow is still on the screen. A switch runs to its end before
// any input is dispatched: the input then ends the new entry.
void SaverHostWindow::OnCoverInput(UINT message) {
    bool program = KindOfPath(currentEntry) == EntryKind::Program;
    switch (ChooseCoverInputAction(currentWindow != nullptr, launch.ThreadRunning(), program,
                                   watchDialog.Handle() != nullptr, message)) {
    case CoverInputAction::CloseWindow:
        PostMessageA(currentWindow->Handle(), WM_CLOSE, 0, 0);
        break;
    case CoverInputAction::StopLaunch:
        // Its end notice then ends the session as the entry's own end would.
        watchDialog.StopProgram();
        break;
    case CoverInputAction::Ignore:
        break;
    }
}

void SaverHostWindow::OnDestroy() {
    // A launched program that still runs (the session ended some other
    // way) is closed with the session, and a watch still set up is undone.
    if (launch.thread && launch.ThreadRunning()) watchDialog.StopProgram();
    WINNLSEnableIME(Handle(), TRUE);
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    KillTimer(Handle(), kSwitchTimerId);
}

void SaverHostWindow::PostNcDestroy() {
    AppSettings().WriteLast(currentEntry);
    delete this;
}
