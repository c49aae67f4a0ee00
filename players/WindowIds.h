// The program's own window messages and timer ids, in one place for the
// windows that post or handle them and for the tests, so that no two of them
// take the same number by accident.
#pragma once

#include <windows.h>

// The end notice: what was on the screen has ended. Posted to the
// application's main window (the saver host, or the settings dialog while it
// previews a saver) with wParam 1 by the launch thread when a launched
// program ends, and with wParam 0 by a player or cover window when it closes.
constexpr UINT kEndNoticeMessage = WM_APP + 1;
// The settings dialog arms its list's drag after the list has handled the
// button press that starts it.
constexpr UINT kDragArmMessage = WM_APP + 2;

// Timer ids, each on the window named.
constexpr UINT_PTR kColourTimerId = 100;  // preview pane, covers: the next colour
constexpr UINT_PTR kSwitchTimerId = 101;  // saver host: the switch to the next entry
constexpr UINT_PTR kMacroTimerId = 102;   // Flash player: the macro's next step
