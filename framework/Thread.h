// Worker threads. The handle returned belongs to the caller, stays valid
// after the thread has ended (for waiting and for its exit code), and must be
// closed by the caller with CloseHandle.
#pragma once

#include <windows.h>

using ThreadFunction = unsigned(__stdcall*)(void* argument);

// Starts function(argument) at once with normal priority, the default stack
// size and default security; null when the thread could not be started.
HANDLE StartWorkerThread(ThreadFunction function, void* argument);
