#include "app/SaverApp.h"

#include "framework/SystemLibrary.h"
#include "framework/TextUtil.h"
#include "framework/Thread.h"
#include "players/LaunchRecord.h"
#include "session/PasswordHelper.h"
#include "session/SaverBaseWindow.h"
#include "session/SaverHostWindow.h"
#include "settings/SettingsFile.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <imm.h>

#include <cstdlib>
#include <cstring>
#include <string>

SaverApp* TheSaverApp() { return dynamic_cast<SaverApp*>(App::Instance()); }

BOOL SaverApp::MatchSwitch(char* argument, const char* letter) {
    if (!argument || !letter) return FALSE;
    _strlwr(argument);
    return (argument[0] == '-' || argument[0] == '/') && argument[1] == letter[0];
}

StartMode SaverApp::ChooseMode(int argumentCount, char** arguments) {
    if (argumentCount == 1) return StartMode::Settings;
    if (argumentCount < 2) return StartMode::None;
    char* first = arguments[1];
    if (MatchSwitch(first, "c")) return StartMode::Settings;
    if (MatchSwitch(first, "p")) return StartMode::Preview;
    if (MatchSwitch(first, "s")) return StartMode::Saver;
    if (MatchSwitch(first, "a")) return StartMode::ChangePassword;
    return StartMode::None;
}

HWND SaverApp::SettingsParent(int argumentCount, char** arguments) {
    if (argumentCount < 2 || std::strlen(arguments[1]) < 3 || arguments[1][2] != ':') return nullptr;
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(std::atol(arguments[1] + 3)));
}

BOOL SaverApp::InitInstance() {
    // 1. The executable's folder is the current directory in every mode.
    std::string folder = ModulePath();
    size_t slash = FindLastChar(folder, '\\');
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    SetCurrentDirectoryA(folder.c_str());

    // 2. The settings file beside the executable, whatever its name.
    SetProfileName(folder + settings::kFileName);

    // 3. One process per role: a second one ends here, before it has
    // touched the password flag or PassLock, so that it leaves both as the
    // first process keeps them.
    std::vector<char*> arguments;
    for (int i = 0; i < ArgumentCount(); ++i) arguments.push_back(Argument(i));
    StartMode mode = ChooseMode(ArgumentCount(), arguments.data());
    if (mode == StartMode::Settings && !CreateRoleEvent(kSettingsEventName)) return FALSE;
    if (mode == StartMode::Saver && !CreateRoleEvent(kSessionEventName)) return FALSE;

    // 4. No screen saver started as an entry may ask for the password itself.
    const UsePasswordState password = SuspendUsePasswordFlag(*this);
    passLock = password.suspended;
    passwordOn = password.on;

    // 5. The role.
    switch (mode) {
    case StartMode::Settings: return RunSettings();
    case StartMode::Preview: return RunPreview();
    case StartMode::Saver: return RunSaver();
    case StartMode::ChangePassword: return RunChangePassword();
    case StartMode::None: break;
    }
    return FALSE;
}

int SaverApp::ExitInstance() {
    // What the role started and stopped has kStopTimeoutMs to close before
    // its launch thread ends it, and a movie's device closes on its own
    // thread: nothing outlives the process.
    WaitForKeptThreads(kStopTimeoutMs + 5000);
    RestorePasswordFlag();
    endSessionWindow.DestroyWindow();
    return App::ExitInstance();
}

void SaverApp::OnEndSession() { RestorePasswordFlag(); }

void SaverApp::RestorePasswordFlag() {
    if (passLock) RestoreUsePasswordFlag(*this);
    passLock = false;
}

bool SaverApp::CreateRoleEvent(const char* name) {
    sessionEvent = CreateEventA(nullptr, TRUE, FALSE, name);
    return sessionEvent != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

BOOL SaverApp::RunSettings() {
    // The common controls that the dialogs' templates use: the up-down
    // control of the settings dialog, the list view (with its header) of the
    // Flash settings dialog. Only this role loads them.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    const auto initControls =
        FunctionOf<decltype(&InitCommonControlsEx)>(LoadCommonControls(), "InitCommonControlsEx");
    if (initControls) initControls(&controls);
    std::vector<char*> arguments;
    for (int i = 0; i < ArgumentCount(); ++i) arguments.push_back(Argument(i));
    SettingsDialog dialog(SettingsParent(ArgumentCount(), arguments.data()));
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
    return FALSE;
}

BOOL SaverApp::RunPreview() {
    if (ArgumentCount() < 3) return FALSE;
    HWND parent = reinterpret_cast<HWND>(static_cast<LONG_PTR>(std::atol(Argument(2))));
    RECT rect = {};
    GetClientRect(parent, &rect);
    endSessionWindow.CreateEx(0, Window::RegisterWindowClass(0), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    // A failed creation has already disposed of the window object.
    auto* pane = new SaverBaseWindow();
    if (!pane->CreateSaverWindow(0, WS_CHILD | WS_VISIBLE, rect, parent)) return FALSE;
    SetMainWindow(pane);
    return TRUE;
}

BOOL SaverApp::RunSaver() {
    // A session takes no text: the input method is off for every thread of
    // the process before its first window, so that activating a window of
    // the session starts nothing of it (the system's text services, which
    // would load OLE).
    const auto disableInputMethod = SystemFunction<decltype(&ImmDisableIME)>("imm32.dll", "ImmDisableIME");
    if (disableInputMethod) disableInputMethod(static_cast<DWORD>(-1));
    auto* host = new SaverHostWindow(passwordOn);
    // The first entry starts from inside the window's creation, and the
    // players post to the main window: it must be set before.
    SetMainWindow(host);
    if (!host->CreateHostWindow()) {
        SetMainWindow(nullptr);
        return FALSE;
    }
    return TRUE;
}

BOOL SaverApp::RunChangePassword() {
    if (ArgumentCount() < 3) return FALSE;
    HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(std::atol(Argument(2))));
    PasswordHelper helper;
    helper.ChangePassword(window);
    return FALSE;
}
