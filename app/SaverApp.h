// The application object of tolvarin.scr: decides from the command line
// which role the process plays (configuration program, preview pane, saver
// session, password change), keeps two processes of one role apart through
// a named event, and keeps the system's password flag suspended meanwhile.
#pragma once

#include "framework/App.h"
#include "framework/Window.h"

enum class StartMode { Settings, Preview, Saver, ChangePassword, None };

class SaverApp : public App {
public:
    SaverApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // The process is about to be ended: the password flag comes back now.
    void OnEndSession() override;

    // Lower-cases argument in place, then: its first character is '-' or '/'
    // and its second is the first character of letter.
    static BOOL MatchSwitch(char* argument, const char* letter);
    // The mode by the first argument, tested in the order c, p, s, a.
    static StartMode ChooseMode(int argumentCount, char** arguments);
    // The parent of the settings dialog: "/c:<decimal handle>", else none.
    static HWND SettingsParent(int argumentCount, char** arguments);

    // The role's named event, which keeps a second process of the role from
    // running. Lives until the process ends.
    HANDLE sessionEvent = nullptr;
    // true when the password flag must be switched on again at exit (or when
    // the user's session ends first).
    bool passLock = false;
    // true when the user has the password on: a session asks for it itself,
    // also when the flag could not be suspended.
    bool passwordOn = false;

    // Names of the events that keep a second process of a role from running.
    static constexpr const char* kSettingsEventName = "tolvarinkunset";
    static constexpr const char* kSessionEventName = "tolvarinkun";

private:
    void RestorePasswordFlag();
    bool CreateRoleEvent(const char* name);
    BOOL RunSettings();
    BOOL RunPreview();
    BOOL RunSaver();
    BOOL RunChangePassword();

    // The preview pane is a child window, and the end of the user's session
    // is told to top-level windows only: this hidden one hears it for the pane.
    Window endSessionWindow;
};

// The application object, or null outside the product (in tests).
SaverApp* TheSaverApp();
