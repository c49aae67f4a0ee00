// Libraries of the system, loaded from the system folder only. A library
// loaded by bare name is searched for in the program's own folder first, and
// that folder may be one anyone can write to (a downloads folder): a file
// placed there under a system library's name would run inside the program.
#pragma once

#include <windows.h>

// Keeps the search of every later load away from the program's folder and
// the current folder, where the system allows it. Call first thing.
void RestrictLibrarySearch();

// The system folder's library of that name (for example "winmm.dll"), or
// null. Never searches anywhere else.
HMODULE LoadSystemLibrary(const char* name);

// A function of a system library, loaded on first use and kept for the life
// of the process: SystemFunction<decltype(&mciSendStringA)>("winmm.dll",
// "mciSendStringA"). Null when the library or the function is missing.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}
