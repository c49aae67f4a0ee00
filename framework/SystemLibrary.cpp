#include "framework/SystemLibrary.h"

#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

// Whether LoadLibraryExA takes the LOAD_LIBRARY_SEARCH_ flags: systems that
// have SetDefaultDllDirectories do (Vista and 7 with KB2533623, and later).
bool HasSearchFlags() {
    static const bool has = GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                           "SetDefaultDllDirectories") != nullptr;
    return has;
}

}  // namespace

void RestrictLibrarySearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using SetDefault = BOOL(WINAPI*)(DWORD);
    using SetDirectory = BOOL(WINAPI*)(LPCSTR);
    auto setDefault = reinterpret_cast<SetDefault>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    auto setDirectory = reinterpret_cast<SetDirectory>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The empty text takes the current folder out of the search.
    if (setDirectory) setDirectory("");
}

HMODULE LoadSystemLibrary(const char* name) {
    if (HasSearchFlags()) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    char folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string path = std::string(folder) + "\\" + name;
    return LoadLibraryA(path.c_str());
}

HMODULE LoadCommonControls() { return LoadLibraryA("comctl32.dll"); }
