// The placeholder picture. (A first, plain form: a black window that owns
// itself; the picture itself comes with the cover window.)
#pragma once

#include "framework/Window.h"

class SaverBaseWindow : public Window {
public:
    // Creates the window. On FALSE the object has already deleted itself.
    virtual BOOL CreateSaverWindow(DWORD exStyle, DWORD style, const RECT& rect, HWND parent);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }
};
