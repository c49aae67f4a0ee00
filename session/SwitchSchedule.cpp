#include "session/SwitchSchedule.h"

SwitchSchedule::SwitchSchedule(bool timerOn, int onCount, int period)
    : periodMs(timerOn && onCount > 1 && period > 0 ? period : 0) {}

DWORD SwitchSchedule::Remaining(DWORD now) const {
    if (!armed) return 0;
    // Signed, so that a due time already passed (also across a wrap) is 0.
    const auto left = static_cast<LONG>(dueAt - now);
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

void SwitchSchedule::ProgramStarting(bool replacedOnTime) {
    if (!replacedOnTime) armed = false;
}

void SwitchSchedule::StartFailed(bool program, DWORD now) {
    if (program) Arm(now);
}

void SwitchSchedule::Arm(DWORD now) {
    armed = Switches();
    dueAt = now + static_cast<DWORD>(periodMs);
}
