// One way of playing a movie file into a window of ours, through one of the
// system's media supports: Media Foundation's simple player
// (MediaFoundationPlayback.cpp) or the media control interface
// (MciPlayback.cpp). Movie (players/Movie.h) chooses between them; nothing
// above it knows which one plays.
//
// Nothing here holds up the window thread. Open begins opening and returns;
// what follows is posted to the notify window as kMovieEventMessage (wParam
// a MovieEvent, lParam the cookie given to Open), and that window hands it
// back to OnPosted, which says what it means:
//   Opened   open, nothing drawn yet, held at its start: NaturalSize and
//            LengthMs answer from now on;
//   Playing  after Start: the picture shows;
//   Ended    played to its end by itself; it stands there until Rewind;
//   Failed   it cannot play (any more): Close is all that is left.
// Step is a playback's own work on the way (OnPosted does it), None
// nothing to act on.
//
// From a successful Open on, the playback owns its screen window and
// disposes of it once nothing of the system's draws in it any more.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

enum class MovieEvent : WPARAM { None, Step, Opened, Playing, Ended, Failed };

// Long videos go on next time where they stopped, less a little for the
// viewer to find their way back in: only those longer than this (a playback
// keeps track of where such a one stands; ResumePoint in Movie.h).
constexpr DWORD kResumeMinLengthMs = 120000;
constexpr DWORD kResumeBackMs = 5000;

class MoviePlayback {
public:
    MoviePlayback() = default;
    virtual ~MoviePlayback() = default;
    MoviePlayback(const MoviePlayback&) = delete;
    MoviePlayback& operator=(const MoviePlayback&) = delete;

    // Begins opening path (in the system code page) to draw into screen,
    // with its sound unless muted. False: nothing was begun and nothing will
    // be posted; screen stays the caller's.
    virtual bool Open(const std::string& path, HWND screen, HWND notify, LPARAM cookie, bool muted) = 0;
    // What a posted event means, once the playback has done its part.
    virtual MovieEvent OnPosted(MovieEvent event) { return event; }
    // The picture's size or proportions (0 × 0 when unknown), its length
    // and where it stands, in milliseconds (0 when unknown).
    virtual SIZE NaturalSize() const = 0;
    virtual DWORD LengthMs() const = 0;
    virtual DWORD PositionMs() const = 0;
    // Spreads the picture over width × height of the screen window.
    virtual void Place(int width, int height) = 0;
    // Plays from fromMs, 0 the start (also after Ended). Playing or Failed
    // follows.
    virtual void Start(DWORD fromMs) = 0;
    // Whether Rewind leaves it ready to play at once, its first picture
    // prepared, so that a second playback held at the start can take a loop
    // over without a stand-still. Otherwise a loop starts over in place.
    virtual bool HeldReady() const { return false; }
    // Back to the start and held there for the next Start(0), which may be
    // a while away (for playbacks that are HeldReady).
    virtual void Rewind() {}
    // Stops and lets go; nothing more is posted. Harmless twice.
    virtual void Close() = 0;
};

// Media Foundation's simple player, where the system has it (Windows 7 and
// later, but for editions without their media pack); null elsewhere.
std::unique_ptr<MoviePlayback> MakeMediaFoundationPlayback();
// The media control interface, which every Windows has.
std::unique_ptr<MoviePlayback> MakeMciPlayback();
