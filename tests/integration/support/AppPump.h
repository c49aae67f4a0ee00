// Handling this thread's messages in a test the way the application's own
// loop does: every queued message is first offered to our windows'
// PreTranslateMessage. A WM_QUIT (posted when a main window of a test goes)
// is dropped, so that it cannot end a later test's loop.
#pragma once

#include <windows.h>

#include <functional>

namespace test {

// Handles what is queued now; handled (if given) sees each message after it.
void PumpQueued(const std::function<void(const MSG&)>& handled = nullptr);
// Handles messages until condition holds or timeoutMs have passed.
bool PumpAppUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000,
                  const std::function<void(const MSG&)>& handled = nullptr);

}  // namespace test
