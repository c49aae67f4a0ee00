// The program's own window messages and timer ids, in one place for the
// windows that post or handle them and for the tests, so that no two of them
// take the same number by accident.
#pragma once

#include <windows.h>

// The end notice: what was on the screen has ended. Posted to the
// application's main window (the saver host, or the settings dialog while it
// previews) with wParam 1 by the launch thread when a launched program ends,
// and with wParam 0 by a player or cover window when it closes. lParam is
// the tag its starter gave the entry, so that the notice of an entry that
// has already been replaced is known as such.
constexpr UINT kEndNoticeMessage = WM_APP + 1;
// The settings dialog arms its list's drag after the list has handled the
// button press that starts it.
constexpr UINT kDragArmMessage = WM_APP + 2;
// The start notice: what the start of an entry found (a LaunchOutcome in
// wParam), posted like the end notice, with the entry's tag in lParam.
constexpr UINT kStartNoticeMessage = WM_APP + 3;
// What a movie's playback has come to (a MovieEvent in wParam, the
// playback's cookie in lParam), posted to the movie player window
// (players/MoviePlayback.h).
constexpr UINT kMovieEventMessage = WM_APP + 4;

// The extra information that the keys and clicks the program injects itself
// carry (a macro's, the switch's Escape), so that no window of ours takes
// them for the user's.
constexpr ULONG_PTR kOwnInputTag = 0x544C5652;

// Timer ids, each on the window named.
constexpr UINT_PTR kColourTimerId = 100;  // preview pane, covers: the next colour
constexpr UINT_PTR kSwitchTimerId = 101;  // saver host: the switch to the next entry
constexpr UINT_PTR kMacroTimerId = 102;   // Flash player: the macro's next step
constexpr UINT_PTR kPictureTimerId = 103; // start cover: the placeholder picture is due
constexpr UINT_PTR kInputPollTimerId = 104; // a monitor's cover or player: look at the mouse
