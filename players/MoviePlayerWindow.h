// The movie player: a black, topmost, borderless popup over the primary
// screen holding a platform movie window (MCIWnd) fitted to the screen with
// the movie's aspect ratio. The movie starts over whenever it reaches its
// end; a key or system key, a mouse button, the mouse leaving its first
// position or loss of activation closes the window, which then posts the end
// notice to the application's main window.
#pragma once

#include "framework/Window.h"

class MoviePlayerWindow : public Window {
public:
    static constexpr DWORD kMovieWindowStyle = 0x4000C60A;  // see Play

    MoviePlayerWindow() = default;

    // Creates the window and starts the movie. TRUE: on the screen and owning
    // itself. FALSE: nothing is left on the screen, nothing was posted, and
    // the object is gone (the caller must not touch it).
    virtual BOOL Play(const char* path);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    // Closes the movie and destroys this window without the end notice.
    BOOL FailPlay();
    // Plays the movie again from its first frame.
    void StartOver();

    static constexpr UINT_PTR kEndCheckTimerId = 1;
    static constexpr UINT kEndCheckPeriodMs = 50;

    HWND movieWindow = nullptr;
    const char* windowClassName = nullptr;
    int firstMouseX = -1;
    int firstMouseY = -1;
};
