#include "framework/TextUtil.h"

#include <windows.h>

#include <cstring>

int ParseLeadingInt(const char* text) {
    if (!text) return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    unsigned int value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10u + static_cast<unsigned int>(*p - '0');
        ++p;
    }
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

size_t FindLastChar(const std::string& text, char c) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
            ++i;  // skip the trail byte
            continue;
        }
        if (text[i] == c) found = i;
    }
    return found;
}

std::string AsciiUpper(std::string text) {
    for (char& ch : text) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    }
    return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
    size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    return EqualsNoCase(text.substr(text.size() - n), suffix);
}

std::vector<wchar_t> WidePath(const std::string& path) {
    // The count includes the terminating NUL, as the length -1 asks.
    int count = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path.c_str(), -1, nullptr, 0);
    if (count <= 0) return {};
    std::vector<wchar_t> wide(static_cast<size_t>(count), L'\0');
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path.c_str(), -1, wide.data(), count) != count) {
        return {};
    }
    return wide;
}
