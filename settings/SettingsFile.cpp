#include "settings/SettingsFile.h"

#include <cstdio>

namespace settings {

std::string ListKey(int index) {
    char key[24];
    std::snprintf(key, sizeof key, "List%d", index);
    return key;
}

std::string PerFileKey(const std::string& path, const char* suffix) { return path + suffix; }

std::string NotSavedMessage(const std::string& path) {
    return "設定ファイル " + path + " に設定を保存できませんでした。\n"
           "このプログラムは、書き込みのできるフォルダーに置いてください。";
}

}  // namespace settings
