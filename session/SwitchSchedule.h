// When a saver session switches to its next entry: the rules of the switch
// timer, apart from the timer itself, on a clock that the caller gives
// (milliseconds that wrap around as GetTickCount's do).
//
// A session switches only when switching is on and more than one entry is
// on, every period from its start. A program that is not replaced on time
// ("@change" 0) stops the switching while it runs; a program that failed to
// start gets a full period (its cover stays that long), and so does the
// session again after a wrong password. The user's return ends it.
#pragma once

#include <windows.h>

class SwitchSchedule {
public:
    SwitchSchedule() = default;
    SwitchSchedule(bool timerOn, int onCount, int periodMs);

    bool Switches() const { return periodMs != 0; }
    int PeriodMs() const { return periodMs; }
    // Whether a switch is due at some time, and how long until then (0 when due).
    bool Armed() const { return armed; }
    DWORD Remaining(DWORD now) const;
    bool Due(DWORD now) const { return armed && Remaining(now) == 0; }

    // The session starts, or a switch has just been made: a full period.
    void Start(DWORD now) { Arm(now); }
    // A program entry starts.
    void ProgramStarting(bool replacedOnTime);
    // An entry could not be put on the screen.
    void StartFailed(bool program, DWORD now);
    // The user is back; a wrong password then goes on with a full period.
    void Ended() { armed = false; }
    void PasswordRefused(DWORD now) { Arm(now); }

private:
    void Arm(DWORD now);

    int periodMs = 0;
    bool armed = false;
    DWORD dueAt = 0;
};
