#include "ui/SaverListRules.h"

#include "framework/TextUtil.h"

#include <windows.h>

#include <cstring>

std::string FileNamePart(const std::string& path, bool showExtension) {
    size_t slash = FindLastChar(path, '\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!showExtension) {
        size_t dot = FindLastChar(name, '.');
        name = dot == std::string::npos ? std::string() : name.substr(0, dot);
    }
    return name;
}

std::string ReadSaverName(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return {};
    char text[100] = {};
    int length = LoadStringA(module, 1, text, sizeof text);
    FreeLibrary(module);
    return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}

std::string DisplayNameOf(const std::string& path, bool showSaverName, bool showExtension) {
    if (showSaverName && EndsWithNoCase(path, "scr")) {
        std::string name = ReadSaverName(path);
        if (!name.empty()) return name;
    }
    return FileNamePart(path, showExtension);
}

const char* const kVideoExtensions[8] = {".avi", ".mpg", ".mpeg", ".mp4",
                                         ".m4v", ".mov", ".mkv", ".wmv"};

bool IsListableFile(const std::string& path) {
    for (const char* extension : {".scr", ".exe", ".swf"}) {
        if (EndsWithNoCase(path, extension)) return true;
    }
    for (const char* extension : kVideoExtensions) {
        if (EndsWithNoCase(path, extension)) return true;
    }
    return false;
}

std::string AddDialogFilter() {
    std::string patterns;
    for (const char* extension : kVideoExtensions) {
        patterns += std::string(patterns.empty() ? "" : ";") + "*" + extension;
    }
    return "スクリーンセーバー (*.scr)|*.scr|実行可能ファイル (*.exe)|*.exe|FLASHファイル (*.swf)|*.swf|"
           "動画ファイル (" + patterns + ")|" + patterns + "||";
}

bool IsOwnSaverFile(const std::string& path) {
    static const std::string own = "\\tolvarin.scr";
    return path.size() >= own.size() && path.compare(path.size() - own.size(), own.size(), own) == 0;
}

std::vector<std::string> ChosenPaths(const char* buffer, size_t size) {
    std::vector<std::string> texts;
    size_t at = 0;
    while (at < size && buffer[at] != '\0') {
        size_t length = strnlen(buffer + at, size - at);
        texts.emplace_back(buffer + at, length);
        at += length + 1;
    }
    if (texts.size() <= 1) return texts;
    std::string folder = texts.front();
    if (folder.empty() || FindLastChar(folder, '\\') != folder.size() - 1) folder += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < texts.size(); ++i) paths.push_back(folder + texts[i]);
    return paths;
}

bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(a[i])) && i + 1 < a.size()) {
            // A double-byte character: both bytes as they are.
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = FindLastChar(path, '\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}
