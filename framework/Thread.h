// Worker threads, and waiting for them (or for anything else) on a window
// thread. The handle a start returns belongs to the caller, stays valid
// after the thread has ended (for waiting and for its exit code), and must
// be closed by the caller with CloseHandle.
#pragma once

#include <windows.h>

#include <vector>

using ThreadFunction = unsigned(__stdcall*)(void* argument);

// Starts function(argument) at once with normal priority, the default stack
// size and default security; null when the thread could not be started.
HANDLE StartWorkerThread(ThreadFunction function, void* argument);

// Keeps a handle of the running worker thread until the process ends, so
// that the end can wait for it (WaitForKeptThreads). Call on the
// user-interface thread; the caller's handle stays the caller's.
void KeepUntilExit(HANDLE thread);
// Waits until every kept thread has ended or timeoutMs have passed, handling
// messages meanwhile (WaitHandlingMessages). True when all have ended.
bool WaitForKeptThreads(DWORD timeoutMs);

// Waits until every one of handles is signalled or timeoutMs have passed,
// handling this thread's messages meanwhile, so that a window of this
// thread still answers (a program that sends to every top-level window
// waits for it). A WM_QUIT met meanwhile is posted again afterwards. True
// when all were signalled.
bool WaitHandlingMessages(const std::vector<HANDLE>& handles, DWORD timeoutMs);
