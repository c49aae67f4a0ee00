// The covers of a session's other monitors: one black, borderless window
// over each monitor but the primary, topmost unless a program runs (whose
// windows may open on any monitor). They are owned by no window, so that
// they can leave the topmost windows (a window owned by a topmost one is
// kept topmost), and go with this object.
// Covers never take the activation (the entry on the primary ends when it
// loses it), hide the cursor over them, and report the user's input over
// them (a key, a mouse button, or the mouse away from the position it had
// when the covers last started listening; never the keys the program typed
// itself) to the owner's handler, which decides what ends. While quiet they
// only cover.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

class MonitorCovers {
public:
    // Told of the input message (WM_KEYDOWN, WM_LBUTTONDOWN, WM_MOUSEMOVE...).
    using InputHandler = std::function<void(UINT message)>;

    MonitorCovers();
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Covers every monitor but the primary.
    void Open(InputHandler handler);
    // Follows a change of the monitors: moves, adds and removes covers, and
    // measures moves from the cursor's position anew.
    void Follow();
    // Quiet covers report nothing. Leaving quiet measures moves from the
    // cursor's position at that moment.
    void SetQuiet(bool quiet);
    // Topmost covers lie above every window that is not; the others above
    // the windows that were there when they were placed.
    void SetTopmost(bool topmost);
    // Destroys the covers.
    void Close();

    // The covers, in the order of SecondaryMonitorRects: each the window a
    // show on its monitor plays in or over.
    size_t Count() const { return covers.size(); }
    HWND WindowAt(size_t i) const;
    RECT RectAt(size_t i) const;
    // The placeholder picture on that monitor rather than black.
    void ShowPicture(size_t i, bool picture);
    // While another process's window (a saver's preview) fills the cover,
    // the cursor and the mouse buttons over it are looked at every 100 ms
    // and reported as the cover's own input would be.
    void Watch(size_t i, bool watch);

private:
    class Cover;
    void Report(UINT message, POINT at);

    InputHandler handler;
    bool quiet = false;
    bool topmost = true;
    POINT reference = {};
    std::vector<std::unique_ptr<Cover>> covers;
};

// The rectangles of every monitor but the primary, in the order the system
// lists them.
std::vector<RECT> SecondaryMonitorRects();
