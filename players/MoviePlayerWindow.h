// The movie player: a black, topmost, borderless popup over the primary
// screen holding a child window that shows the movie, fitted to the screen
// with the movie's aspect ratio. The movie starts over whenever it has
// played to its end, whatever device plays it; a key or system key, a mouse
// button, the mouse leaving its first position or loss of activation closes
// the window, which then posts the end notice to the application's main
// window.
#pragma once

#include "framework/Window.h"
#include "players/MovieDevice.h"

class MoviePlayerWindow : public Window {
public:
    MoviePlayerWindow() = default;

    // Creates the window and starts the movie; its end notice will carry
    // tag. TRUE: on the screen and owning itself. FALSE: nothing is left on the screen, nothing was posted, and
    // the object is gone (the caller must not touch it).
    virtual BOOL Play(const char* path, LPARAM tag = 0);

    // The device playing the movie (0 once closed).
    MCIDEVICEID DeviceId() const { return movie.Id(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    // Closes the movie and destroys this window without the end notice.
    BOOL FailPlay();

    HWND movieWindow = nullptr;  // the child the device draws into
    const char* windowClassName = nullptr;
    int firstMouseX = -1;
    int firstMouseY = -1;
    LPARAM noticeTag = 0;
    MovieDevice movie;
};
