// Shared by the tests of the full-screen windows: an application object
// with a main window that counts the end notices it receives, a message
// pump that offers messages to our windows the way the program's own loop
// does, and a writer of small uncompressed movies.
#pragma once

#include "framework/App.h"
#include "framework/Window.h"

#include <windows.h>

#include <functional>
#include "tests/integration/support/AppPump.h"
#include "tests/support/TestAvi.h"

#include <string>

namespace fs {

// The main window: a hidden top-level window that counts WM_APP+1.
class NoticeCounter : public Window {
public:
    bool Create();
    int notices = 0;        // WM_APP+1 with wParam 0 and lParam 0
    int otherNotices = 0;   // WM_APP+1 with anything else
    int markers = 0;        // Drain's marker

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// An application object with a NoticeCounter as its main window, for one test.
class TestApp {
public:
    TestApp();
    ~TestApp();
    App app;
    NoticeCounter mainWindow;
};

// Handles this thread's messages, each one first offered to our windows'
// PreTranslateMessage as the program's loop does, until condition holds or
// timeoutMs pass.
inline bool Pump(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
    return test::PumpAppUntil(condition, timeoutMs);
}
// Handles every message posted so far (a marker posted behind them comes
// back), so that a second end notice, were there one, has arrived.
bool Drain(TestApp& app);

// The top-level windows of this thread that are visible, with the class.
int CountThreadWindows(const char* className = nullptr);

using test::WriteTestAvi;

}  // namespace fs
