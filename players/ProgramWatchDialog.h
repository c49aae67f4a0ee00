// Runs a program entry (".exe") as if it were a screen saver: starts it with
// its stored options and, once its window is up, types its start macro and,
// when the entry asks for it ("@mouse"), watches mouse and keyboard through a
// 1 x 1 pixel window of its own that holds the mouse capture, so that the
// first real input ends the program. StopProgram ends a running program (or
// screen saver) in an orderly way: WM_CLOSE, the finish macro, then at most
// kStopTimeoutMs (the launch thread's, not this thread's) before termination.
// Nothing here waits for the program.
//
// The object lives as long as its owner; its window exists only while a
// watched program runs.
#pragma once

#include "framework/Dialog.h"

class LaunchRecord;

class ProgramWatchDialog : public Dialog {
public:
    ProgramWatchDialog();
    ~ProgramWatchDialog() override;

    // The owner's launch record; set before RunProgram or before starting a
    // screen saver that StopProgram may have to end.
    LaunchRecord* record = nullptr;

    // Starts the record's path as a program entry, its start notice to carry
    // tag. TRUE when the launch runs; the owner hands its start notice on.
    virtual BOOL RunProgram(LPARAM tag);
    // The owner's part of the start notice Shown: brings the program to the
    // front, types its start macro and, with "@mouse", sets up the watch.
    // FALSE when the watch could not be set up: the program is stopped again
    // and posts no end notice.
    BOOL OnProgramShown();
    // Injects a left-button press onto the window and re-arms the capture.
    void ArmMouseWatch();
    // Undoes the watch (the injected press, the capture, the hidden cursor,
    // the window) and enables the application's main window again.
    void EndWatch();
    // Ends the watch and the record's program. notifyEnd: whether the
    // program's end notice is still posted.
    void StopProgram(bool notifyEnd = true);

    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void DoDataExchange(DataExchange& exchange) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // 1: the next press (or move away from the reference) takes the capture.
    int captureArmed = 0;
    // The entry's "@mouse"; non-zero while the watch is active.
    int mouseWatch = 0;
    // -4 to -1: moves still to be ignored, counted upwards; otherwise the
    // reference position as a mouse message's lParam carries it.
    int moveState = 0;

private:
    // A press, or a move away from the reference: takes the capture when
    // armed, otherwise ends the program.
    void OnWatchedInput();
    // Releases the injected press and the capture, shows the cursor.
    void EndMouseWatch();
    void OnLeftButtonUp();
    std::string EntryValue(const char* suffix) const;
};
