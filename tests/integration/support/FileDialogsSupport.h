// Helpers for the in-process tests of the per-file settings dialogs and the
// about box: an application object on a temporary settings file, a modal run
// driven by a script, the application's own message handling while waiting,
// and real mouse and keyboard input aimed at a control.
#pragma once

#include "tests/integration/support/AppPump.h"

#include "framework/App.h"
#include "framework/Dialog.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <string>

namespace pfd {

// An App of this module (so that dialogs find their icons in it) whose
// profile calls use tolvarin.ini in a temporary folder.
class ModuleApp : public App {
public:
    ModuleApp() { instance = GetModuleHandleA(nullptr); }
};

class TestApp {
public:
    TestApp();
    const std::string& IniPath() const { return iniPath; }
    void WriteIni(const std::string& text) const { test::WriteFileBytes(iniPath, text); }
    std::string IniBytes() const { return test::ReadFileBytes(iniPath); }
    // The stored value, or "<missing>".
    std::string Read(const char* section, const std::string& key) const;
    ModuleApp app;

private:
    test::TempFolder folder;
    std::string iniPath;
};

// Runs dialog.DoModal() and, once the dialog is up, calls script with its
// window from inside the modal loop. A dialog the script leaves open is
// cancelled. Returns the DoModal result.
INT_PTR RunModal(Dialog& dialog, const std::function<void(HWND dialog)>& script);

// Handles this thread's messages the way the application's loop does (our
// windows' PreTranslateMessage first) until condition holds or timeoutMs
// have passed.
using test::PumpAppUntil;
// The same, calling handled with every message right after it has been
// handled, so that a state that lasts only until the next queued message
// can still be seen.


// Brings the dialog to the front so that injected input reaches it.
bool BringToFront(HWND window);

// Brings the window to the front, waits until its picture on the screen
// has settled and saves it as a screenshot called name.
bool Screenshot(HWND window, const std::string& name);

// The screen position of a point in a window's client area.
POINT ScreenPoint(HWND window, int x, int y);
// The centre of a window's client area on the screen.
POINT ScreenCentre(HWND window);

void MouseDown();
void MouseUp();

// Presses a push button the way a click does (nothing happens when it is
// disabled).
void Click(HWND dialog, int id);
// Chooses a combo box item as the user would: the selection changes and the
// dialog is told.
void Choose(HWND dialog, int id, int index);
// Replaces an edit's text; the edit tells the dialog.
void Type(HWND dialog, int id, const std::string& text);
bool Enabled(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);

// The texts of a list view's rows, each row's columns joined by "|".
std::vector<std::string> ListRows(HWND list, int columns);

}  // namespace pfd
