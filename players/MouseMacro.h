// The Flash player's mouse macro: a stored text of steps separated by single
// spaces, each step's fields separated by commas. "time,0,x,xUnit,y,yUnit"
// clicks at a point time seconds after the movie was (re)loaded;
// "time,1" reloads the movie and starts the macro over.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct MacroStep {
    static constexpr int kClick = 0;
    static constexpr int kReload = 1;
    static constexpr int kPercent = 1;  // unit: percentage of the screen's side

    int time = 0;    // seconds after the (re)load
    int action = 0;  // kClick, kReload, anything else: the macro stops there
    int x = 0;
    int xUnit = 0;
    int y = 0;
    int yUnit = 0;
};

// Reads the stored text. A piece without any comma (an empty one from two
// spaces in a row, say) ends the macro there; the fields a step lacks read
// as 0; every field is read the way atoi reads it.
std::vector<MacroStep> ParseMouseMacro(const std::string& text);

// The click's point on a screen of the given size: pixels, or a percentage
// of the side (truncated toward zero).
POINT MacroClickPoint(const MacroStep& step, int screenWidth, int screenHeight);

// The timer period before a step, given the time of the step before it (or 0
// after a (re)load). A step out of time order, or at the same second, runs at
// once: the period never goes below the system's shortest timer; very large
// times are held to the longest period a timer takes.
UINT MacroStepPeriodMs(int stepTime, int previousTime);
