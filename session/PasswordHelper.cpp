#include "session/PasswordHelper.h"

#include "framework/App.h"
#include "framework/SystemLibrary.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsFile.h"

namespace {
constexpr const char* kDesktopKey = "Control Panel\\desktop";
constexpr const char* kUsePasswordValue = "ScreenSaveUsePassword";
}  // namespace

DWORD ReadUsePasswordFlag() {
    DWORD value = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD size = sizeof value;
    RegQueryValueExA(key, kUsePasswordValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                     &size);
    RegCloseKey(key);
    return value;
}

void WriteUsePasswordFlag(DWORD value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, kUsePasswordValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
    RegCloseKey(key);
}

UsePasswordState SuspendUsePasswordFlag(const App& app) {
    const AppProfile profile(&app);
    const SaverSettings stored(profile);
    const bool flagOn = ReadUsePasswordFlag() != 0;
    const bool leftOver = stored.PassLock();
    UsePasswordState state;
    state.on = flagOn || leftOver;
    if (!state.on) return state;
    // A left-over record stays in the file even when it cannot be written anew.
    state.suspended = stored.WritePassLock(true) || leftOver;
    if (state.suspended && flagOn) WriteUsePasswordFlag(0);
    return state;
}

void RestoreUsePasswordFlag(const App& app) {
    WriteUsePasswordFlag(1);
    const AppProfile profile(&app);
    SaverSettings(profile).WritePassLock(false);
}

void PasswordHelper::ChangePassword(HWND window) {
    HMODULE library = LoadSystemLibrary("mpr.dll");
    if (!library) return;
    using ChangeFunction = DWORD(WINAPI*)(LPCSTR, HWND, UINT, UINT);
    auto change = reinterpret_cast<ChangeFunction>(GetProcAddress(library, "PwdChangePasswordA"));
    if (change) change("SCRSAVE", window, 0, 0);
    FreeLibrary(library);
}

BOOL PasswordHelper::VerifyPassword(HWND window) {
    HMODULE library = LoadSystemLibrary("password.cpl");
    if (!library) return TRUE;
    using VerifyFunction = BOOL(WINAPI*)(HWND);
    auto verify = reinterpret_cast<VerifyFunction>(GetProcAddress(library, "VerifyScreenSavePwd"));
    if (!verify) {
        FreeLibrary(library);
        return TRUE;
    }
    const DWORD before = ReadUsePasswordFlag();
    WriteUsePasswordFlag(1);
    BOOL result = verify(window);
    WriteUsePasswordFlag(before);
    FreeLibrary(library);
    return result;
}
