// The user's return, as the session's full-screen windows (the cover window,
// the movie player) see it: a key or system key, a mouse button, the mouse
// moved away from the first position it was seen at, or the window or the
// application losing activation. Each posts WM_CLOSE to the window; the cursor is hidden over
// it, and the deactivation of its non-client area alone is refused.
#pragma once

#include <windows.h>

enum class SaverInputResult {
    NotInput,      // not one of these messages
    ThenDefault,   // handled; the message still gets default processing
    Handled,       // handled; return the result, no default processing
};

// Whether the message being handled is input that this program injected
// itself (kOwnInputTag).
bool IsOwnInput();

// A mouse move's position (lParam) away from the first one seen; the first
// is kept in firstMouseX and firstMouseY, -1 until then.
bool MovedAway(LPARAM lParam, int& firstMouseX, int& firstMouseY);

// Keys that the program typed itself are passed on without closing.
// firstMouseX and firstMouseY hold the first mouse position seen, -1 until then.
SaverInputResult ApplySaverInputRules(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      int& firstMouseX, int& firstMouseY, LRESULT* result);
