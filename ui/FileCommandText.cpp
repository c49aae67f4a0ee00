#include "ui/FileCommandText.h"

#include <cstdint>

std::string HandleAsDecimal(HWND window) {
    auto value = static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
    return std::to_string(value);
}

std::string ConfigureOptions(HWND owner) { return "/c:" + HandleAsDecimal(owner); }

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
