// Starting a screen saver or program as a process of its own and following
// it on a worker thread until it ends.
//
// A starter (the saver host window, the program watch dialog, the settings
// dialog's preview) calls StartLaunch on the record it owns, on the
// user-interface thread. StartLaunch starts LaunchThread and blocks until
// the thread gives the launch signal (the role event that the start-up sets)
// to say that the attempt is over; the record's ProgramWindow() then tells whether
// the program runs and has a window. When the process of a launch whose
// window was found ends, the thread sets the window back to 0 and posts
// WM_APP+1 (wParam 1, lParam 0) to the application's main window.
//
// A record's launch never outlives it: a launch still running when the
// record is reused or goes away is stopped first (see Stop), and such a
// stopped launch posts no end notice, so that no late notice is taken for
// the end of the launch that follows.
#pragma once

#include "players/WindowIds.h"

#include <windows.h>

#include "framework/Handles.h"

#include <atomic>
#include <memory>
#include <string>

// How long the launch thread waits for the new process to wait for input.
constexpr DWORD kInputIdleTimeoutMs = 5000;
// How long it then goes on looking for the process's window, and how often.
constexpr DWORD kWindowSearchTimeoutMs = 60000;
constexpr DWORD kWindowSearchPeriodMs = 100;
// How long a stopped program has to close before it is terminated.
constexpr DWORD kStopTimeoutMs = 10000;

// What the launch thread works on. It is shared between the record and the
// thread, so that a record going away while its program still runs leaves
// the thread nothing freed to write to.
struct LaunchState {
    std::string path;
    std::string options;
    HANDLE signal = nullptr;  // the launch signal; not owned
    // A duplicate of the process handle for the record's use; handed to the
    // record after the signal, closed here only if it never was.
    UniqueHandle process;
    std::atomic<HWND> window{nullptr};
    DWORD windowSearchMs = kWindowSearchTimeoutMs;
};

class LaunchRecord {
public:
    LaunchRecord() = default;
    ~LaunchRecord();
    LaunchRecord(const LaunchRecord&) = delete;
    LaunchRecord& operator=(const LaunchRecord&) = delete;

    // Full path of the file of the current (or last) launch.
    std::string path;
    // The launch thread. Stays valid after the thread has ended, for waiting
    // and for its exit code, until the next launch or the record goes away.
    UniqueHandle thread;
    // The started process, or null when it could not be created. The record
    // owns its own handle, valid as long as the thread handle, so it stays
    // safe to use even when the process ends and the thread closes its own.
    UniqueHandle process;

    // The started program's first top-level window: set before the launch
    // signal (0 when the start failed or no window was found), set back to 0
    // by the thread when the process has ended.
    HWND ProgramWindow() const;
    // Whether the launch thread is still running (its exit code is
    // STILL_ACTIVE).
    bool ThreadRunning() const;
    // Waits, without a time limit, for the launch thread to end.
    void WaitForThread() const;

    // How long the launch thread goes on looking for the program's window
    // after the bound on its input-idle wait, before it takes the program
    // for a windowless one. Read by StartLaunch.
    DWORD windowSearchMs = kWindowSearchTimeoutMs;

    // Ends the launch's program if it still runs, the way a switch does:
    // WM_CLOSE to its window, at most kStopTimeoutMs, then termination (at
    // once when it has no window). Its end notice is not posted. Returns
    // after the launch thread has ended.
    void Stop();
    // Closes the handles of the last launch (done by the next launch too).
    void Clear();

private:
    friend HWND StartLaunch(LaunchRecord&, const std::string&, const char*, HANDLE);
    std::shared_ptr<LaunchState> state;
};

// The launch signal of this process: a manual-reset event that the start-up
// sets once (the role's named event) and that outlives every launch; null
// until then.
void SetLaunchSignal(HANDLE signal);
HANDLE LaunchSignal();

// Stops the record's launch if it still runs (LaunchRecord::Stop), then
// starts path with options on a launch thread and waits, without a time
// limit, for the launch signal; returns the record's window afterwards.
// signal null means LaunchSignal(). When there is no signal or the thread
// cannot be started, nothing is started and 0 is returned at once.
HWND StartLaunch(LaunchRecord& record, const std::string& path, const char* options,
                 HANDLE signal = nullptr);

// The launch thread's function; argument is a heap-allocated
// std::shared_ptr<LaunchState>, which it deletes. Returns 0 in every case.
unsigned __stdcall LaunchThread(void* argument);

// The command line for path and options: the path in double quotes, a space,
// then the options (the space stays when the options are empty).
std::string LaunchCommandLine(const std::string& path, const std::string& options);
// The folder the program starts in: the path up to its last backslash, kept
// for a drive's root ("C:\"); empty when the path has no folder.
std::string LaunchWorkingFolder(const std::string& path);

// Starts path with options as a process of its own: the command line of
// LaunchCommandLine, the working folder of LaunchWorkingFolder, the window
// shown with showState. False when the process could not be created.
bool StartProcessByPath(const std::string& path, const std::string& options, WORD showState,
                        PROCESS_INFORMATION* info);

// The first top-level window, in the platform's enumeration order, that
// belongs to the process; visible or not, but never one of the system's
// input-method windows. 0 when there is none.
HWND FindProcessWindow(DWORD processId);
