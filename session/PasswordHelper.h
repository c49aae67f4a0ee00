// The system's screen-saver password: the registry flag that tells screen
// savers to ask for it, which every process of the program keeps suspended
// while it runs, and the two Windows 9x password services.
#pragma once

#include <windows.h>

class App;

// HKCU\Control Panel\desktop, value ScreenSaveUsePassword, read into a
// 32-bit number whatever its stored type; 0 when it cannot be read.
DWORD ReadUsePasswordFlag();
// Stores the flag as REG_DWORD; failures are ignored.
void WriteUsePasswordFlag(DWORD value);

// At start-up, before the mode is known: switches the flag off when it is
// on, and records the suspension in OTHER PassLock. Returns whether this
// process must switch it on again at its exit (also when an earlier process
// left it suspended).
bool SuspendUsePasswordFlag(const App& app);
// At exit, when SuspendUsePasswordFlag returned true.
void RestoreUsePasswordFlag(const App& app);

class PasswordHelper {
public:
    virtual ~PasswordHelper() = default;

    // The system's password-change dialog (PwdChangePasswordA in mpr.dll);
    // does nothing where the service is missing.
    void ChangePassword(HWND window);
    // The system's password check (VerifyScreenSavePwd in password.cpl),
    // with the flag switched on only for its length. Non-zero when the
    // session may end, also when the service is missing.
    BOOL VerifyPassword(HWND window);
};
