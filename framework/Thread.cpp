#include "framework/Thread.h"

#include <process.h>

HANDLE StartWorkerThread(ThreadFunction function, void* argument) {
    uintptr_t handle = _beginthreadex(nullptr, 0, function, argument, 0, nullptr);
    return reinterpret_cast<HANDLE>(handle);
}
