// The saver session's host window. (A first, plain form: a hidden, topmost,
// full-screen window that gives the session its process life and ends with
// WM_CLOSE; the session itself comes with it.)
#pragma once

#include "framework/Window.h"

class SaverHostWindow : public Window {
public:
    // On FALSE the object has already deleted itself.
    BOOL CreateHostWindow();

protected:
    void PostNcDestroy() override { delete this; }
};
