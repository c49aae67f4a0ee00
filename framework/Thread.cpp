#include "framework/Thread.h"

#include "framework/App.h"

#include "framework/Handles.h"

#include <process.h>

namespace {

// The threads kept for the end of the process. Touched on the
// user-interface thread only.
std::vector<UniqueHandle>& KeptThreads() {
    static std::vector<UniqueHandle> threads;
    return threads;
}

}  // namespace

HANDLE StartWorkerThread(ThreadFunction function, void* argument) {
    uintptr_t handle = _beginthreadex(nullptr, 0, function, argument, 0, nullptr);
    return reinterpret_cast<HANDLE>(handle);
}

void KeepUntilExit(HANDLE thread) {
    auto& kept = KeptThreads();
    for (size_t i = kept.size(); i-- > 0;) {
        if (WaitForSingleObject(kept[i].get(), 0) != WAIT_TIMEOUT) kept.erase(kept.begin() + i);
    }
    HANDLE own = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &own, SYNCHRONIZE, FALSE, 0)) {
        kept.emplace_back(own);
    }
}

bool WaitForKeptThreads(DWORD timeoutMs) {
    std::vector<HANDLE> handles;
    for (const UniqueHandle& thread : KeptThreads()) handles.push_back(thread.get());
    return WaitHandlingMessages(handles, timeoutMs);
}

bool WaitHandlingMessages(const std::vector<HANDLE>& handles, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        std::vector<HANDLE> waiting;
        for (HANDLE handle : handles) {
            if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) waiting.push_back(handle);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (waiting.empty() || elapsed >= timeoutMs) {
            if (quit) PostQuitMessage(quitCode);
            return waiting.empty();
        }
        // At most the limit of one wait; the rest are looked at again.
        DWORD count = waiting.size() < MAXIMUM_WAIT_OBJECTS ? static_cast<DWORD>(waiting.size())
                                                            : MAXIMUM_WAIT_OBJECTS - 1;
        MsgWaitForMultipleObjects(count, waiting.data(), FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(message.wParam);
                continue;
            }
            if (!App::PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
}
