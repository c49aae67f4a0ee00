#include "settings/SettingsBackup.h"

#include "framework/TextUtil.h"

#include <windows.h>

#include <utility>

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

SettingsBackup::SettingsBackup(std::string settingsPath, std::string backupPath)
    : settingsPath(std::move(settingsPath)), backupPath(std::move(backupPath)) {}

std::string SettingsBackup::DefaultBackupPath() {
    char folder[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) folder[0] = '\0';
    return std::string(folder) + "\\tolvarin.ini";
}

bool SettingsBackup::Make() {
    existedAtOpening = FileExists(settingsPath);
    if (existedAtOpening) {
        made = CopyFileA(settingsPath.c_str(), backupPath.c_str(), FALSE) != FALSE;
    } else {
        // A copy left by an earlier run belongs to no file of ours now.
        DeleteFileA(backupPath.c_str());
        made = false;
    }
    return made;
}

SettingsBackup::RollBackResult SettingsBackup::RollBack() {
    RollBackResult result = RollBackResult::Restored;
    if (!existedAtOpening) {
        DeleteFileA(settingsPath.c_str());
        result = RollBackResult::Removed;
    } else if (!made || !CopyFileA(backupPath.c_str(), settingsPath.c_str(), FALSE)) {
        // Keep whatever copy there is: it is the only record of the file
        // as it was.
        if (made) KeepUnderNameOfItsOwn();
        return RollBackResult::NotRestored;
    }
    Discard();
    return result;
}

void SettingsBackup::Discard() {
    if (made) DeleteFileA(backupPath.c_str());
    made = false;
}

void SettingsBackup::KeepUnderNameOfItsOwn() {
    std::string stem = backupPath;
    size_t dot = FindLastChar(stem, '.');
    size_t slash = FindLastChar(stem, '\\');
    std::string extension;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        extension = stem.substr(dot);
        stem.erase(dot);
    }
    for (int n = 1; n < 1000; ++n) {
        std::string kept = stem + " (" + std::to_string(n) + ")" + extension;
        // Never replaces an existing file: an older kept copy stays too.
        if (MoveFileA(backupPath.c_str(), kept.c_str())) {
            backupPath = kept;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) return;
    }
}
