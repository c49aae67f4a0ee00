// The start cover: what a session shows over the primary monitor while an
// entry starts, so that the desktop never shows between two entries. Black
// at first, so that a quick start shows no flash of anything; the
// placeholder picture once a start has taken kPictureDelayMs. It is
// activated, so that it has the keyboard and the mouse, hides the cursor,
// and reports the user's input (a key or system key, a mouse button, the
// mouse away from the first position seen) with an end notice carrying the
// tag of the entry that starts, as the entry would. Keys the program typed
// itself and the loss of activation (to the entry's own window) are not
// input. Only the session takes it away; the object deletes itself once its
// window is gone.
#pragma once

#include "session/SaverBaseWindow.h"

class StartCover : public SaverBaseWindow {
public:
    static constexpr UINT kPictureDelayMs = 5000;

    StartCover() = default;

    // Over rect, owned by owner, in front, for the start of the entry of
    // tag. On FALSE the object has already deleted itself.
    BOOL Open(HWND owner, const RECT& rect, LPARAM tag);
    // The entry now starting, when the cover stays for the next one.
    void SetTag(LPARAM tag) { noticeTag = tag; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ReportInput();

    LPARAM noticeTag = 0;
    int firstMouseX = -1;
    int firstMouseY = -1;
};
