#include "session/CoverInput.h"

CoverInputAction ChooseCoverInputAction(bool hasWindow, bool launchRunning, bool program,
                                        bool watched, UINT message) {
    if (hasWindow) return CoverInputAction::CloseWindow;
    if (!launchRunning) return CoverInputAction::Ignore;
    if (program && (!watched || message == WM_LBUTTONDOWN)) return CoverInputAction::Ignore;
    return CoverInputAction::StopLaunch;
}
