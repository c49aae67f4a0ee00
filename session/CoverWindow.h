// The cover window: the placeholder picture full screen, topmost and
// borderless, shown when an entry could not be put on the screen. It hides
// the cursor, closes on any input of the user (a key or system key, a mouse
// button, the mouse leaving its first position, loss of activation), and
// tells the application's main window with the end notice when it goes.
#pragma once

#include "session/SaverBaseWindow.h"

class CoverWindow : public SaverBaseWindow {
public:
    CoverWindow() = default;

    // Over the whole primary screen, owned by owner; its end notice will
    // carry tag. On FALSE the object has already deleted itself.
    BOOL CreateFullScreen(HWND owner, LPARAM tag = 0);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int firstMouseX = -1;  // first mouse position seen, -1 until then
    int firstMouseY = -1;
    LPARAM noticeTag = 0;
};
