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

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace {

std::string StoredListValue(int index) { return AppSettings().ListValue(index); }

}  // namespace

SaverHostWindow::SaverHostWindow(bool passLock)
    : pool(&StoredListValue),
      shows(covers, [this](std::string& entry, const std::vector<std::string>& shown) { return PickForMonitor(entry, shown); },
            [this] { return NewTag(); }),
      passLock(passLock) {
    const SaverSettings& stored = AppSettings();
    allMonitors = stored.AllMonitors() != 0;
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
    case kStartNoticeMessage:
        return OnStartNotice(wParam, lParam);
    case WM_DISPLAYCHANGE:
        covers.Follow();
        if (allMonitors && !checkingPassword) shows.Follow(currentEntry);
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
    schedule = SwitchSchedule(stored.TimerOn(), onCount, SwitchPeriodMs(stored.SessionMinutes()));
    schedule.Start(GetTickCount());
    ApplySchedule();
    WINNLSEnableIME(Handle(), FALSE);
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
    covers.Open([this](UINT message) { OnCoverInput(message); });
    StartNextEntry();
    return 0;
}

void SaverHostWindow::StartNextEntry() {
    StartPrimaryEntry();
    if (allMonitors) shows.StartAll(currentEntry);
}

bool SaverHostWindow::PickForMonitor(std::string& entry, const std::vector<std::string>& shown) {
    // Programs take input for themselves: the primary's only.
    const auto notProgram = [](const std::string& path) { return KindOfPath(path) != EntryKind::Program; };
    const auto unshown = [&](const std::string& path) {
        return notProgram(path) && std::find(shown.begin(), shown.end(), path) == shown.end();
    };
    const auto random = [] { return std::rand(); };
    return pool.PickWhere(order, entry, random, unshown) || pool.PickWhere(order, entry, random, notProgram);
}

void SaverHostWindow::StartPrimaryEntry() {
    entryTag = NewTag();
    covers.SetTopmost(true);
    if (onCount == 0 || !pool.Pick(order, currentEntry, [] { return std::rand(); })) {
        CloseStartCover();
        ShowCover();
        return;
    }
    switch (KindOfPath(currentEntry)) {
    case EntryKind::ScreenSaver:
        ShowStartCover();
        watchDialog.record = &launch;
        if (!launch.Start(currentEntry, "/s", entryTag)) OnStartFailed();
        return;
    case EntryKind::Program:
        schedule.ProgramStarting(AppSettings().ProgramSwitchesOnTime(currentEntry));
        ApplySchedule();
        ShowStartCover();
        launch.path = currentEntry;
        watchDialog.record = &launch;
        if (!watchDialog.RunProgram(entryTag)) OnStartFailed();
        return;
    case EntryKind::Flash: {
        CloseStartCover();
        auto* player = new FlashPlayerWindow();
        if (player->Play(currentEntry.c_str(), entryTag)) {
            currentWindow = player->Handle();
            return;
        }
        ShowCover();
        return;
    }
    case EntryKind::Movie: {
        // The movie reports what its opening found with a start notice,
        // like a launched entry.
        ShowStartCover();
        auto* player = new MoviePlayerWindow();
        MovieOptions options;
        options.resume = true;
        if (player->Play(currentEntry.c_str(), entryTag, options)) {
            currentWindow = player->Handle();
            return;
        }
        OnStartFailed();
        return;
    }
    }
}

LRESULT SaverHostWindow::OnStartNotice(WPARAM wParam, LPARAM lParam) {
    if (checkingPassword || shows.OnStartNotice(wParam, lParam) || lParam != entryTag) return 0;
    bool program = KindOfPath(currentEntry) == EntryKind::Program;
    switch (static_cast<LaunchOutcome>(wParam)) {
    case LaunchOutcome::Shown:
        // Before the start macro, which goes to the program's window.
        CloseStartCover();
        if (!program) return 0;
        covers.SetTopmost(false);
        if (!watchDialog.OnProgramShown()) OnStartFailed();
        return 0;
    case LaunchOutcome::Gone:
        // The entry hid its windows (to the notification area, say) and
        // runs on: the desktop must not show, and input must end it.
        watchDialog.EndWatch();
        covers.SetTopmost(true);
        ShowCover();
        return 0;
    case LaunchOutcome::NoWindow:
    case LaunchOutcome::Failed:
        // A windowless one runs on until the switch or the session ends it.
        OnStartFailed();
        return 0;
    }
    return 0;
}

void SaverHostWindow::OnStartFailed() {
    CloseStartCover();
    covers.SetTopmost(true);
    schedule.StartFailed(KindOfPath(currentEntry) == EntryKind::Program, GetTickCount());
    ApplySchedule();
    ShowCover();
}

void SaverHostWindow::ShowCover() {
    auto* cover = new CoverWindow();
    if (cover->CreateFullScreen(Handle(), entryTag)) {
        currentWindow = cover->Handle();
        return;
    }
    // A failed creation has disposed of the object. Nothing of the session
    // is on the screen and nothing would end it: end it as if the user had
    // come back.
    currentWindow = nullptr;
    PostMessageA(Handle(), kEndNoticeMessage, 0, entryTag);
}

void SaverHostWindow::ShowStartCover() {
    if (startCover) {
        // Still up from the start before: it stays, with no flash between.
        startCover->SetTag(entryTag);
        return;
    }
    RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    auto* cover = new StartCover();
    // Without it the start goes on; only the desktop shows meanwhile.
    if (cover->Open(Handle(), primary, entryTag)) startCover = cover;
}

void SaverHostWindow::CloseStartCover() {
    if (!startCover) return;
    startCover->DestroyWindow();
    startCover = nullptr;
}

void SaverHostWindow::ApplySchedule() {
    if (!schedule.Armed()) {
        KillTimer(Handle(), kSwitchTimerId);
        return;
    }
    // Due already (a late start, say): as soon as the thread is free.
    DWORD left = schedule.Remaining(GetTickCount());
    SetTimer(Handle(), kSwitchTimerId, left > 0 ? left : USER_TIMER_MINIMUM, nullptr);
}

void SaverHostWindow::OnSwitchTimer() {
    // The timer's own, or one posted by anybody: the switch is made now.
    schedule.Start(GetTickCount());
    ApplySchedule();
    if (currentWindow) {
        SendMessageA(currentWindow, WM_CLOSE, 0, 0);
        currentWindow = nullptr;
    }
    if (launch.Running()) {
        // A saver that shows takes the Escape as input and ends itself.
        if (KindOfPath(currentEntry) == EntryKind::ScreenSaver && launch.ProgramWindow()) {
            keybd_event(VK_ESCAPE, 0, 0, kOwnInputTag);
            keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, kOwnInputTag);
        }
        // It goes on ending beside the next entry; its notices carry the
        // tag of an entry replaced.
        watchDialog.StopProgram(false);
    }
    StartNextEntry();
}

LRESULT SaverHostWindow::OnSaverEnded(WPARAM, LPARAM lParam) {
    // A window that goes while the password dialog is up would otherwise
    // open a second dialog inside the first; the notice of an entry that has
    // been replaced (by the switch, say) ends nothing, nor does that of
    // another monitor's show.
    if (checkingPassword || shows.OnEndNotice(lParam) || lParam != entryTag) return 0;
    EndSession();
    return 0;
}

void SaverHostWindow::EndSession() {
    // Nothing posted for what ran until now counts any more.
    entryTag = NewTag();
    shows.StopAll();
    schedule.Ended();
    ApplySchedule();
    // What still runs (a start, a windowless program, one the user's input
    // ended through the covers) is stopped; a watched program that ended by
    // itself leaves the watch's injected press, hidden cursor and capture
    // behind: undone.
    watchDialog.StopProgram(false);
    // A movie still opening under the start cover goes too.
    if (IsWindow(currentWindow) && !IsWindowVisible(currentWindow)) PostMessageA(currentWindow, WM_CLOSE, 0, 0);
    CloseStartCover();
    if (!passLock) {
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return;
    }
    CheckPassword();
}

void SaverHostWindow::CheckPassword() {
    // The system's dialog has the user's input meanwhile.
    covers.SetQuiet(true);
    covers.SetTopmost(true);
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
    schedule.PasswordRefused(GetTickCount());
    ApplySchedule();
    ShowWindow(Handle(), SW_HIDE);
    covers.SetQuiet(false);
    StartNextEntry();
}

// Runs as the covers' input is dispatched, so that every notice posted
// before it (the end of the window on the screen included) has been handled
// and currentWindow is still on the screen. A switch runs to its end before
// any input is dispatched: the input then ends the new entry.
void SaverHostWindow::OnCoverInput(UINT message) {
    if (startCover) {
        // Input during a start ends the session as input over the entry would.
        PostMessageA(Handle(), kEndNoticeMessage, 0, entryTag);
        return;
    }
    bool program = KindOfPath(currentEntry) == EntryKind::Program;
    switch (ChooseCoverInputAction(IsWindow(currentWindow) != FALSE, launch.Running(), program,
                                   watchDialog.Handle() != nullptr, message)) {
    case CoverInputAction::CloseWindow:
        PostMessageA(currentWindow, WM_CLOSE, 0, 0);
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
    // Destroyed already with this window, which owns it.
    startCover = nullptr;
    shows.StopAll();
    // A launched program that still runs (the session ended some other
    // way) is closed with the session, and a watch still set up is undone.
    watchDialog.StopProgram(false);
    WINNLSEnableIME(Handle(), TRUE);
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    KillTimer(Handle(), kSwitchTimerId);
}

void SaverHostWindow::PostNcDestroy() {
    AppSettings().WriteLast(currentEntry);
    delete this;
}
