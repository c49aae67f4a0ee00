#include "settings/Profile.h"

#include "framework/App.h"

const App* AppProfile::Target() const { return app ? app : App::Instance(); }

int AppProfile::ReadInt(const char* section, const char* key, int def) const {
    const App* target = Target();
    return target ? target->GetProfileInt(section, key, def) : def;
}

std::string AppProfile::ReadString(const char* section, const char* key,
                                   const std::string& def) const {
    const App* target = Target();
    return target ? target->GetProfileString(section, key, def.c_str()) : def;
}

bool AppProfile::WriteInt(const char* section, const char* key, int value) const {
    const App* target = Target();
    return target && target->WriteProfileInt(section, key, value);
}

bool AppProfile::WriteString(const char* section, const char* key, const std::string& value) const {
    const App* target = Target();
    return target && target->WriteProfileString(section, key, value.c_str());
}

bool AppProfile::Delete(const char* section, const char* key) const {
    const App* target = Target();
    return target && target->WriteProfileString(section, key, nullptr);
}
