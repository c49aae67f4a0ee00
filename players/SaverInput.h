// The user's return, as the cover window and the movie player see it: a key
// or system key, a mouse button, the mouse moved away from the first
// position it was seen at, or the window or the application losing
// activation. Each posts WM_CLOSE to the window; the cursor is hidden over
// it, and the deactivation of its non-client area alone is refused.
#pragma once

#include <windows.h>

enum class SaverInputResult {
    NotInput,      // not one of these messages
    ThenDefault,   // handled; the message still gets default processing
    Handled,       // handled; return the result, no default processing
};

// firstMouseX and firstMouseY hold the first mouse position seen, -1 until then.
SaverInputResult ApplySaverInputRules(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      int& firstMouseX, int& firstMouseY, LRESULT* result);

// What the session does with the user's input over a cover of another
// monitor, so that it ends what is on the primary as the same input there
// would.
enum class CoverInputAction {
    Ignore,       // nothing reacts
    CloseWindow,  // the player or cover window on the screen is closed
    StopLaunch,   // the launched saver or watched program is ended
};

// hasWindow: a player or cover window is on the screen; launchRunning: a
// launched saver or program still runs; program: it is a program, not a
// saver; watched: the program's mouse watch is set up ("@mouse" not 0).
// A program without the watch takes input for itself, and the watch's own
// injected left-button press may land on a cover: neither ends anything.
CoverInputAction ChooseCoverInputAction(bool hasWindow, bool launchRunning, bool program,
                                        bool watched, UINT message);
