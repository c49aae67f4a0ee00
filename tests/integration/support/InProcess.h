// What the in-process tests share: handling messages the way the program's
// own loop does, and the application of one test, like the product's.
#pragma once

#include "framework/App.h"
#include "framework/Window.h"
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test {

// Handles what is queued now, each message first offered to our windows'
// PreTranslateMessage; a WM_QUIT is dropped so that it cannot end a later
// test's loop. handled (if given) sees each message after it.
void PumpQueued(const std::function<void(const MSG&)>& handled = nullptr);
// The same until condition holds or timeoutMs have passed.
bool PumpAppUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000,
                  const std::function<void(const MSG&)>& handled = nullptr);

// This thread's cursor show count.
inline int CursorCount() { return ShowCursor(TRUE), ShowCursor(FALSE); }

// The hidden main window of a test: it keeps every end notice and every
// start notice it gets.
class NoticeWindow : public Window {
public:
    std::vector<std::pair<WPARAM, LPARAM>> notices;
    std::vector<std::pair<WPARAM, LPARAM>> starts;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The application of one test, like the product's: its instance is this
// module (dialogs find their templates and icons here), its settings file is
// tolvarin.ini in a folder of its own, its main window is a NoticeWindow,
// and the fixtures log into folder's fixture.log. What still runs from the folder is ended with the object.
class TestApp : NoCopy {
public:
    TestApp();
    ~TestApp();

    class ModuleApp : public App {
    public:
        ModuleApp() { instance = GetModuleHandleA(nullptr); }
    } app;
    TempFolder folder{"tlvi"};
    FixtureLog log{folder.File("fixture.log")};
    NoticeWindow mainWindow;

    std::string IniPath() const { return folder.File("tolvarin.ini"); }
    void WriteIni(const std::string& text) const { WriteFileBytes(IniPath(), text); }
    // The stored value, or "<missing>".
    std::string Read(const char* section, const std::string& key) const {
        return ReadIniString(IniPath(), section, key.c_str());
    }
    // Handles every message posted so far (a marker posted behind them comes
    // back), so that a notice that was on its way has arrived.
    bool Drain();
};

}  // namespace test
