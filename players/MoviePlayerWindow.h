// The movie player: a black, topmost, borderless popup over a monitor
// holding a child window that shows the movie (players/Movie.h), fitted to
// the monitor with the movie's aspect ratio. It starts like a launched entry:
// Play returns as soon as the opening has begun, with the window still
// hidden, and the player reports what the opening found with the start
// notice (kStartNoticeMessage, lParam the tag): Shown once the picture
// shows, or Failed, after which the player has gone without an end notice.
// The movie starts over whenever it has played to its end. Once shown, a
// key or system key, a mouse button, the mouse leaving its first position
// or loss of activation closes the window, which then posts the end notice
// to the application's main window.
//
// Played within another window of ours (a session's window over another
// monitor), the player is a child that fills it: it never takes the
// activation, the capture or the cursor, and closes on no input: the window
// it plays in sees the user's return for it.
//
// In a session, a video longer than kResumeMinLengthMs starts next time a
// little before where the switch or the user's return stopped it, and from
// the beginning again once it has played to its end (the settings file's
// @resume note).
#pragma once

#include "framework/Window.h"
#include "players/Movie.h"

#include <string>

struct MovieOptions {
    RECT area = {0, 0, 0, 0};  // the monitor's rectangle; empty: the primary monitor
    bool resume = false;       // starts where the note says, and notes where it stops
    bool muted = false;
    HWND within = nullptr;     // the window to fill as a child, rather than a popup over area
};

class MoviePlayerWindow : public Window {
public:
    MoviePlayerWindow() = default;

    // Creates the window, hidden, and begins opening the movie; its notices
    // will carry tag. TRUE: the opening has begun and the object owns
    // itself. FALSE: nothing is left on the screen, nothing was posted, and
    // the object is gone (the caller must not touch it): a missing file, or
    // no window.
    virtual BOOL Play(const char* path, LPARAM tag = 0, const MovieOptions& options = MovieOptions());

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    void OnMovieEvent(WPARAM wParam, LPARAM lParam);
    void Show();
    // The start notice with outcome.
    void PostStart(WPARAM outcome) const;

    HWND movieWindow = nullptr;  // the fitted child that the movie shows in
    const char* windowClassName = nullptr;
    int firstMouseX = -1;
    int firstMouseY = -1;
    LPARAM noticeTag = 0;
    std::string path;
    MovieOptions options;
    bool shown = false;
    bool started = false;     // played once: a later opening (the fallback) starts from the beginning
    bool playedToEnd = false; // the resume note was dropped
    Movie movie;
};
