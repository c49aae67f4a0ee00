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

// What the start-up found and did with the flag.
struct UsePasswordState {
    // The user has the password on: the flag, or a suspension that an earlier
    // process recorded and never undid. A session then asks for it itself.
    bool on = false;
    // This process has the flag suspended (or took over such a left-over
    // suspension) and must switch it on again when it ends.
    bool suspended = false;
};

// At start-up, before the mode is known: records the suspension in OTHER
// PassLock, and only once that is written switches the flag off. Where the
// record cannot be written, the flag stays on: nothing would ever switch it
// on again.
UsePasswordState SuspendUsePasswordFlag(const App& app);
// At exit, or when the user's session ends, when the flag is suspended.
void RestoreUsePasswordFlag(const App& app);

class PasswordHelper {
public:
    virtual ~PasswordHelper() = default;

    // The system's password-change dialog (PwdChangePasswordA in mpr.dll);
    // does nothing where the service is missing.
    void ChangePassword(HWND window);
    // The system's password check (VerifyScreenSavePwd in password.cpl),
    // with the flag switched on for its length and then set back as it was.
    // Non-zero when the session may end, also when the service is missing.
    BOOL VerifyPassword(HWND window);
};
