// The copy of the settings file that lets the settings dialog be left
// without saving: made when the dialog opens, copied back (or, when there was
// no file at opening, the file written meanwhile removed) when it is left
// without saving, and thrown away when it is left with saving.
//
// A settings file that existed at opening is never deleted: when its backup
// could not be made or cannot be copied back, the file stays as it is and
// RollBack says so, so that the dialog can tell the user. A copy that could
// not be put back is then kept under a name of its own (BackupPath names
// it), so that the next opening of the dialog does not overwrite it.
#pragma once

#include <string>

class SettingsBackup {
public:
    enum class RollBackResult {
        Restored,       // the file is again as it was at opening
        Removed,        // there was no file at opening, and there is none now
        NotRestored,    // the file existed at opening but could not be restored; it stays
    };

    SettingsBackup(std::string settingsPath, std::string backupPath);

    // The temporary folder followed by "\tolvarin.ini".
    static std::string DefaultBackupPath();

    // Remembers whether the settings file exists and copies it to the
    // backup, overwriting an older copy. Returns whether a copy was made.
    bool Make();
    // Leaving without saving.
    RollBackResult RollBack();
    // Leaving with saving: the backup is no longer needed.
    void Discard();

    bool ExistedAtOpening() const { return existedAtOpening; }
    bool Made() const { return made; }
    const std::string& BackupPath() const { return backupPath; }

private:
    // Renames the backup to the first free "<name> (n).ini" beside it.
    void KeepUnderNameOfItsOwn();

    std::string settingsPath;
    std::string backupPath;
    bool existedAtOpening = false;
    bool made = false;
};

bool FileExists(const std::string& path);
