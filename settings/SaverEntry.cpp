#include "settings/SaverEntry.h"

#include "framework/TextUtil.h"
#include "settings/SettingsFile.h"

bool SaverEntry::IsOn() const { return mark == settings::kMarkOn; }

SaverEntry SaverEntry::FromStoredValue(const std::string& value) {
    SaverEntry entry;
    std::string head = value.substr(0, settings::kMarkLength);
    if (head == settings::kMarkOn || head == settings::kMarkOff) {
        entry.mark = head;
        entry.path = value.substr(settings::kMarkLength);
    } else {
        entry.mark = settings::kMarkOn;
        entry.path = value;
    }
    return entry;
}

EntryKind KindOfPath(const std::string& path) {
    if (EndsWithNoCase(path, ".scr")) return EntryKind::ScreenSaver;
    if (EndsWithNoCase(path, ".exe")) return EntryKind::Program;
    if (EndsWithNoCase(path, ".swf")) return EntryKind::Flash;
    return EntryKind::Movie;
}
