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

// The common controls (comctl32.dll) as the program's manifest binds them:
// the side-by-side copy of version 6. Loaded by name while the process's own
// activation context is active, never by the system folder's path (which
// holds version 5). Where RestrictLibrarySearch could restrict the search, a
// name is looked for in the side-by-side store and then in the system folder
// only. Null when missing.
HMODULE LoadCommonControls();

// A function of a library that is loaded, or null.
template <typename Function>
Function FunctionOf(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

// A function of a system library, loaded on first use and kept for the life
// of the process: SystemFunction<decltype(&mciSendStringA)>("winmm.dll",
// "mciSendStringA"). Null when the library or the function is missing. The
// program imports only what every role needs (kernel32, user32, gdi32,
// advapi32): the libraries of one role (the shell's, the common dialogs',
// OLE's) are loaded this way, when that role first needs them, so that a
// session and the preview load none of them.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    return FunctionOf<Function>(LoadSystemLibrary(library), name);
}
