#pragma once

#include <windows.h>

// What the session does with the user's input over a cover of another
// monitor, so that it ends what is on the primary as the same input there
// would.
enum class CoverInputAction {
    Ignore,       // nothing reacts
    CloseWindow,  // the player or cover window on the screen is closed
    StopLaunch,   // the launched saver or watched program is ended
};

// hasWindow: a player or cover window is on the screen; launchRunning: a
// launched saver or program still runs; program: it is a program, not a
// saver; watched: the program's mouse watch is set up ("@mouse" not 0).
// A program without the watch takes input for itself, and the watch's own
// injected left-button press may land on a cover: neither ends anything.
CoverInputAction ChooseCoverInputAction(bool hasWindow, bool launchRunning, bool program,
                                        bool watched, UINT message);
