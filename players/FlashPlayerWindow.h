// The Flash player: a borderless topmost popup a little larger than the
// screen holding the system's web browser control, navigated to the movie
// file. The entry's mouse macro clicks at given points or reloads the movie
// at given times after each load (timer 102). The cursor is hidden. A key,
// a mouse button or the user's own mouse movement closes the window, which
// then posts the end notice to the application's main window.
//
// Played within another window of ours (a session's window over another
// monitor), the player is a child that fills it, leaves the cursor and the
// user's input to that window, and clicks nothing: the macro's clicks, which
// move the one cursor that every monitor shares, are left out there; its
// reloads run.
#pragma once

#include "framework/ActiveXHost.h"
#include "framework/Window.h"
#include "players/MouseMacro.h"

#include <exdisp.h>

#include <vector>

class FlashPlayerWindow : public Window {
public:
    static constexpr UINT kBrowserControlId = 0xE900;

    FlashPlayerWindow() = default;
    ~FlashPlayerWindow() override;

    // The registry key of the system's Flash control, under
    // HKEY_CLASSES_ROOT.
    static const char* const kFlashControlKey;
    // Whether a Flash control is registered in this process's own view of
    // the registry (so for its own bitness).
    static bool FlashControlRegistered();

    // Shows the movie and starts its macro; its end notice will carry tag.
    // TRUE: on the screen and owning itself. FALSE: the object is gone and
    // nothing was posted, whatever stage failed.
    virtual BOOL Play(const char* path, LPARAM tag = 0, HWND within = nullptr);

    BOOL PreTranslateMessage(MSG* message) override;

    // The browser control's interface while the window is up (not AddRef'd).
    IWebBrowser2* Browser() const { return browser; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    void RunMacroStep();
    void StartMacroTimer(UINT periodMs);

    std::vector<MacroStep> steps;
    ActiveXHost browserHost;
    IWebBrowser2* browser = nullptr;
    int lastMouseX = -1;
    int lastMouseY = -1;
    bool clickPending = false;
    // Whether going away posts the end notice: only once the movie shows.
    bool endNoticeDue = false;
    LPARAM noticeTag = 0;
    int stepIndex = -1;
    bool cursorHidden = false;
    bool inside = false;  // a child of another window of ours
};
