#include "settings/SettingsFile.h"

namespace settings {

std::string StoredText(const std::string& text) {
    if (text.empty()) return text;
    auto quote = [](char c) { return c == '"' || c == '\''; };
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    const char first = text.front(), last = text.back();
    if ((quote(first) && quote(last)) || blank(first) || blank(last)) return '"' + text + '"';
    return text;
}

bool CanStoreText(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

std::string ListKey(int index) {
    return "List" + std::to_string(index);
}

std::string PerFileKey(const std::string& path, const char* suffix) { return path + suffix; }

std::string NotSavedMessage(const std::string& path) {
    return "設定ファイル " + path + " に設定を保存できませんでした。\n"
           "このプログラムは、書き込みのできるフォルダーに置いてください。";
}

}  // namespace settings
