// Shared by the launcher and watch-dialog tests: an application object like
// the product's (an application with a launch signal, a settings file of its own
// and a main window that records the end notices), the fixtures' log, and a
// watcher of the keys that reach the system's input stream.
#pragma once

#include "tests/integration/support/AppPump.h"

#include "framework/App.h"
#include "framework/Window.h"
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace launchtest {

// A hidden window that keeps the wParam of every WM_APP+1 it receives.
class NoticeWindow : public Window {
public:
    BOOL Create();
    std::vector<WPARAM> notices;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The application of one test: launch signal, settings file and main window,
// the fixtures' log file (TOLVARIN_FIXTURE_LOG points at it) and a folder
// for copies of the fixtures. Anything still running from that folder is
// ended when the object goes away.
class LaunchEnvironment {
public:
    LaunchEnvironment();
    ~LaunchEnvironment();

    App app;
    HANDLE signal = nullptr;  // the process's launch signal meanwhile
    NoticeWindow mainWindow;
    test::TempFolder folder{"tlvl"};
    std::string logPath;

    // A copy of a fixture at folder\relativePath (folders created).
    std::string PlaceFixture(const std::string& fixture, const std::string& relativePath) const;
    void SetEntry(const std::string& path, const char* suffix, const std::string& value) const;

    std::vector<std::string> Log() const;
    bool LogHas(const std::string& line) const;
    // The first line that starts with prefix, without the prefix; empty if none.
    std::string LogValue(const std::string& prefix) const;
    bool WaitForLog(const std::string& line, DWORD timeoutMs = 10000) const;
    int CountLog(const std::string& line) const;
    // The handle of "window <name> <hex>".
    HWND LoggedWindow(const char* name) const;
};

// Handles this thread's messages the way the application's loop does
// (our windows' PreTranslateMessage first) until condition holds.
using test::PumpAppUntil;
// Handles what is already queued, then returns.
inline void PumpQueued() { test::PumpQueued(); }

// Watches the keys pressed system-wide (a low-level keyboard hook on a
// thread of its own) while it exists.
class KeyWatcher {
public:
    KeyWatcher();
    ~KeyWatcher();
    bool Started() const { return hook != nullptr; }
    bool Saw(BYTE code) const;
    bool WaitFor(BYTE code, DWORD timeoutMs = 5000) const;

private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HANDLE ready = nullptr;
    HHOOK hook = nullptr;
    mutable CRITICAL_SECTION lock;
    std::vector<BYTE> downs;
};

}  // namespace launchtest
