#include "settings/SaverSettings.h"

#include "settings/SaverEntry.h"
#include "settings/SettingsFile.h"

using namespace settings;

namespace {

std::string ExeValue(const Profile& profile, const std::string& path, const char* suffix) {
    return profile.ReadString(kExeConfigSection, PerFileKey(path, suffix).c_str(), "");
}

// Every text goes through here: one that cannot be stored is refused, and
// writes nothing; the others are written in their stored form.
bool WriteText(const Profile& profile, const char* section, const std::string& key, const std::string& text) {
    return CanStoreText(text) && profile.WriteString(section, key.c_str(), StoredText(text));
}

int ExeInt(const Profile& profile, const std::string& path, const char* suffix) {
    return profile.ReadInt(kExeConfigSection, PerFileKey(path, suffix).c_str(), 0);
}

}  // namespace

int SaverSettings::StoredCount() const { return profile.ReadInt(kListSection, kEntryKey, -1) + 1; }

std::string SaverSettings::ListValue(int index) const {
    return profile.ReadString(kListSection, ListKey(index).c_str(), "");
}

std::vector<SaverEntry> SaverSettings::ReadList() const {
    std::vector<SaverEntry> entries;
    int count = StoredCount();
    for (int i = 0; i < count; ++i) {
        entries.push_back(SaverEntry::FromStoredValue(
            profile.ReadString(kListSectionAsRead, ListKey(i).c_str(), "")));
    }
    return entries;
}

int SaverSettings::SessionOnCount() const { return profile.ReadInt(kOtherSection, kOnKey, StoredCount()); }

int SaverSettings::Order() const { return profile.ReadInt(kOtherSection, kOrderKey, kOrderDefault); }

bool SaverSettings::TimerOn() const { return DialogTimerOn() != 0; }

int SaverSettings::DialogTimerOn() const {
    return profile.ReadInt(kTimerSection, kTimerOnKey, kTimerOnDefault);
}

int SaverSettings::SessionMinutes() const {
    return profile.ReadInt(kTimerSection, kTimeKey, kSessionMinutesDefault);
}

int SaverSettings::DialogMinutes() const {
    return profile.ReadInt(kTimerSection, kTimeKey, kDialogMinutesDefault);
}

int SaverSettings::ShowExtension() const {
    return profile.ReadInt(kOtherSection, kExtensionKey, kShowExtensionDefault);
}

int SaverSettings::ShowSaverName() const {
    return profile.ReadInt(kOtherSection, kSaverNameKey, kShowSaverNameDefault);
}

int SaverSettings::AllMonitors() const {
    return profile.ReadInt(kOtherSection, kAllMonitorsKey, kAllMonitorsDefault);
}

std::string SaverSettings::Dir() const { return profile.ReadString(kOtherSection, kDirKey, ""); }

std::string SaverSettings::Last() const { return profile.ReadString(kOtherSection, kLastKey, ""); }

bool SaverSettings::WriteLast(const std::string& path) const {
    return WriteText(profile, kOtherSection, kLastKey, path);
}

bool SaverSettings::PassLock() const { return profile.ReadInt(kOtherSection, kPassLockKey, 0) != 0; }

bool SaverSettings::WritePassLock(bool on) const {
    return profile.WriteInt(kOtherSection, kPassLockKey, on ? 1 : 0);
}

bool SaverSettings::WriteDialogState(const DialogState& state) const {
    bool written = true;
    auto check = [&written](bool result) { written = written && result; };
    int old = StoredCount();
    int count = static_cast<int>(state.entries.size());
    check(profile.WriteInt(kListSection, kEntryKey, count - 1));
    int switchedOn = 0;
    for (int i = 0; i < count; ++i) {
        check(WriteText(profile, kListSection, ListKey(i), state.entries[i].StoredValue()));
        if (state.entries[i].mark == kMarkOn) ++switchedOn;
    }
    for (int i = count; count < old && i <= old; ++i) {
        check(profile.Delete(kListSection, ListKey(i).c_str()));
    }
    check(WriteText(profile, kOtherSection, kDirKey, state.dir));
    check(profile.WriteInt(kOtherSection, kOrderKey, state.order));
    check(profile.WriteInt(kOtherSection, kOnKey, switchedOn));
    check(profile.WriteInt(kOtherSection, kExtensionKey, state.showExtension));
    check(profile.WriteInt(kOtherSection, kSaverNameKey, state.showSaverName));
    check(profile.WriteInt(kTimerSection, kTimerOnKey, state.timerOn));
    check(profile.WriteInt(kTimerSection, kTimeKey, state.minutes > kMaxMinutes ? kMaxMinutes : state.minutes));
    check(profile.WriteInt(kOtherSection, kAllMonitorsKey, state.allMonitors));
    return written;
}

ProgramValues SaverSettings::ReadProgram(const std::string& path) const {
    ProgramValues values;
    values.option = ExeValue(profile, path, kOptionSuffix);
    values.startMacro = ExeValue(profile, path, kStartSuffix);
    values.finishMacro = ExeValue(profile, path, kFinishSuffix);
    values.mouse = ExeInt(profile, path, kMouseSuffix);
    values.change = ExeInt(profile, path, kChangeSuffix);
    return values;
}

bool SaverSettings::WriteProgram(const std::string& path, const ProgramValues& values) const {
    bool written = true;
    auto write = [&](const char* suffix, const std::string& value) {
        written = WriteText(profile, kExeConfigSection, PerFileKey(path, suffix), value) && written;
    };
    write(kOptionSuffix, values.option);
    write(kStartSuffix, values.startMacro);
    write(kFinishSuffix, values.finishMacro);
    written = profile.WriteInt(kExeConfigSection, PerFileKey(path, kMouseSuffix).c_str(), values.mouse) && written;
    written = profile.WriteInt(kExeConfigSection, PerFileKey(path, kChangeSuffix).c_str(), values.change) && written;
    return written;
}

bool SaverSettings::ProgramTakesMouse(const std::string& path) const {
    return ExeInt(profile, path, kMouseSuffix) != 0;
}

bool SaverSettings::ProgramSwitchesOnTime(const std::string& path) const {
    return ExeInt(profile, path, kChangeSuffix) != 0;
}

std::string SaverSettings::ProgramOption(const std::string& path) const {
    return ExeValue(profile, path, kOptionSuffix);
}

std::string SaverSettings::ProgramMacro(const std::string& path, const char* suffix) const {
    return ExeValue(profile, path, suffix);
}

std::string SaverSettings::FlashMacro(const std::string& path) const {
    return profile.ReadString(kSwfConfigSection, PerFileKey(path, kMacroSuffix).c_str(), "");
}

bool SaverSettings::WriteFlashMacro(const std::string& path, const std::string& text) const {
    return WriteText(profile, kSwfConfigSection, PerFileKey(path, kMacroSuffix), text);
}

int SaverSettings::MovieResume(const std::string& path) const {
    return profile.ReadInt(kMovieConfigSection, PerFileKey(path, kResumeSuffix).c_str(), 0);
}

bool SaverSettings::WriteMovieResume(const std::string& path, int milliseconds) const {
    const std::string key = PerFileKey(path, kResumeSuffix);
    if (milliseconds <= 0) return profile.Delete(kMovieConfigSection, key.c_str());
    return profile.WriteInt(kMovieConfigSection, key.c_str(), milliseconds);
}

bool SaverSettings::ForgetFile(const std::string& path) const {
    bool written = true;
    auto erase = [&](const char* section, const char* suffix) {
        written = profile.Delete(section, PerFileKey(path, suffix).c_str()) && written;
    };
    switch (KindOfPath(path)) {
    case EntryKind::Program:
        for (const char* suffix : {kOptionSuffix, kStartSuffix, kFinishSuffix, kMouseSuffix, kChangeSuffix}) {
            erase(kExeConfigSection, suffix);
        }
        break;
    case EntryKind::Flash: erase(kSwfConfigSection, kMacroSuffix); break;
    case EntryKind::Movie: erase(kMovieConfigSection, kResumeSuffix); break;
    case EntryKind::ScreenSaver: break;
    }
    return written;
}

const SaverSettings& AppSettings() {
    static const AppProfile profile;
    static const SaverSettings settings(profile);
    return settings;
}
