#include "tests/integration/support/AppPump.h"

#include "framework/App.h"

namespace test {

void PumpQueued(const std::function<void(const MSG&)>& handled) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (!App::PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (handled) handled(message);
    }
}

bool PumpAppUntil(const std::function<bool()>& condition, DWORD timeoutMs,
                  const std::function<void(const MSG&)>& handled) {
    DWORD start = GetTickCount();
    for (;;) {
        PumpQueued(handled);
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace test
