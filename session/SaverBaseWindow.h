// The placeholder picture: a black window with one large full-width "？" in
// its middle whose colour changes at random once a second (timer 100) and at
// every repaint. Used as the /p preview pane, as the backdrop of the password
// check, and as the base of the cover window, the start cover and the covers
// of the other monitors, which may be plain black instead (ShowPicture). The
// object owns itself once created and deletes itself after its window is
// gone.
#pragma once

#include "framework/Window.h"

class SaverBaseWindow : public Window {
public:
    static constexpr UINT kColourPeriodMs = 1000;

    SaverBaseWindow() = default;

    // Creates the window with child id 0 and the window text name (none by
    // default). On FALSE the object has already deleted itself (a failed
    // creation always runs PostNcDestroy).
    virtual BOOL CreateSaverWindow(DWORD exStyle, DWORD style, const RECT& rect, HWND parent,
                                   const char* name = "");

    // The picture, or only the black.
    void ShowPicture(bool show);
    bool ShowsPicture() const { return picture; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

    // Draws the glyph in a new random colour on dc.
    void Draw(HDC dc);

    int halfHeight = 0;  // client height / 2, recomputed at every erase
    int halfWidth = 0;   // client width / 2, likewise
    bool picture = true;
    const char* windowClassName = nullptr;
};
