#include "players/SaverInput.h"

#include "players/WindowIds.h"

#include <windowsx.h>

bool MovedAway(LPARAM lParam, int& firstMouseX, int& firstMouseY) {
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    if (firstMouseX == -1 && firstMouseY == -1) {
        firstMouseX = x;
        firstMouseY = y;
        return false;
    }
    return x != firstMouseX || y != firstMouseY;
}

bool IsOwnInput() { return GetMessageExtraInfo() == static_cast<LPARAM>(kOwnInputTag); }

SaverInputResult ApplySaverInputRules(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      int& firstMouseX, int& firstMouseY, LRESULT* result) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (IsOwnInput()) return SaverInputResult::ThenDefault;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return SaverInputResult::ThenDefault;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        return SaverInputResult::ThenDefault;
    case WM_MOUSEMOVE:
        if (MovedAway(lParam, firstMouseX, firstMouseY)) PostMessageA(window, WM_CLOSE, 0, 0);
        return SaverInputResult::ThenDefault;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) PostMessageA(window, WM_CLOSE, 0, 0);
        return SaverInputResult::ThenDefault;
    case WM_ACTIVATEAPP:
        if (!wParam) PostMessageA(window, WM_CLOSE, 0, 0);
        return SaverInputResult::ThenDefault;
    case WM_NCACTIVATE:
        if (wParam) return SaverInputResult::ThenDefault;
        *result = FALSE;
        return SaverInputResult::Handled;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        *result = TRUE;
        return SaverInputResult::Handled;
    default:
        return SaverInputResult::NotInput;
    }
}
