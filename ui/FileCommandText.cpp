#include "ui/FileCommandText.h"

#include <cstdint>

std::string HandleAsDecimal(HWND window) {
    auto value = static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
    return std::to_string(value);
}

std::string ConfigureOptions(HWND owner) { return "/c:" + HandleAsDecimal(owner); }

