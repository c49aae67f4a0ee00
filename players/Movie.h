// A movie file shown in a window of ours, over and over until it is closed:
// what the movie player plays through, whichever of the system's media
// supports plays it (players/MoviePlayback.h). Media Foundation's simple
// player is tried first where the system has it; the media control
// interface (MCI) takes over where it is missing, cannot open the file,
// finds no picture in it (a sound alone) or fails before the first picture,
// and also when a picture already shown stops with an error.
//
// At its end the movie starts over. Where a playback held at its start
// plays on at once (HeldReady), the loop has no stand-still of a restart: a
// second playback of the same file waits in a screen window of its own,
// hidden, held at its start; when the one on the screen has played to its
// end, the other starts, its window takes the first one's place once it
// plays, and the first goes back to its start to wait in turn. Otherwise,
// or where the second cannot be opened, the movie starts over in place.
//
// Every event of the playbacks comes to the notify window as
// kMovieEventMessage and is handed to OnEvent there.
#pragma once

#include "players/MoviePlayback.h"

#include <windows.h>

#include <memory>
#include <string>

// Where a video of lengthMs that stopped at positionMs starts next time;
// 0, the beginning, for a short one.
DWORD ResumePoint(DWORD positionMs, DWORD lengthMs);
// Where a video of lengthMs starts that was noted to start at noted; 0 for
// a note that does not fit it (another file now, say) and for a short one.
DWORD ResumeStart(int noted, DWORD lengthMs);

class Movie {
public:
    // What an event means to the window that shows the movie.
    enum class News {
        None,
        Opened,   // NaturalSize and LengthMs are known: Place, then Start
        Showing,  // the picture shows for the first time
        Looped,   // it played to its end and starts over
        Failed,   // nothing can show it (any more)
    };

    using Maker = std::unique_ptr<MoviePlayback> (*)();
    // preferred makes the playback tried first (null where the system has
    // none), fallback the one that takes over.
    explicit Movie(Maker preferred = &MakeMediaFoundationPlayback, Maker fallback = &MakeMciPlayback)
        : preferred(preferred), fallback(fallback) {}
    ~Movie() { Close(); }
    Movie(const Movie&) = delete;
    Movie& operator=(const Movie&) = delete;

    // Begins opening path to show it over parent's client area (as
    // children of parent), with its sound unless muted. False: nothing was
    // begun.
    bool Open(const std::string& path, HWND parent, HWND notify, bool muted);
    News OnEvent(WPARAM event, LPARAM cookie);

    SIZE NaturalSize() const;
    DWORD LengthMs() const;
    DWORD PositionMs() const;
    // The picture over width × height of the parent's client area.
    void Place(int width, int height);
    void Start(DWORD fromMs);
    void Close();

private:
    struct Instance {
        std::unique_ptr<MoviePlayback> playback;
        HWND screen = nullptr;
        LPARAM cookie = 0;
        bool ready = false;  // opened: the standby waits at its start
    };

    bool OpenInstance(int slot);
    void CloseInstance(int slot);
    // The standby plays: its window takes the active one's place.
    void TakeOver(int slot);

    Maker preferred;
    Maker fallback;
    Instance instances[2];
    int active = 0;
    LPARAM opened = 0;  // cookies so far
    bool usePreferred = true;
    bool shown = false;
    bool standbyTried = false;
    bool takingOver = false;  // the standby was started at the active one's end
    std::string path;
    HWND parent = nullptr;
    HWND notify = nullptr;
    bool muted = false;
    int width = 0;
    int height = 0;
};
