// Starting a screen saver or program as a process of its own and following
// it on a worker thread until it ends, without ever holding up the thread
// that starts it.
//
// A starter (the saver host window, the program watch dialog, the settings
// dialog's preview) calls Start on the record it owns, on the
// user-interface thread, with a tag that names this start; Start returns at
// once. The launch thread creates the process and looks for a visible
// window of it; what it finds reaches the application's main window as the
// start notice (kStartNoticeMessage, wParam a LaunchOutcome, lParam the
// tag): Shown, or NoWindow once the search has given up, or Failed. While
// the program runs, its visible windows are watched: all of them gone for a
// while gives the notice Gone. When the process of a launch whose window
// was found ends, the thread sets the window back to 0 and posts the end
// notice (kEndNoticeMessage, wParam 1, lParam the tag).
//
// Stop never waits either: the launch thread gives a program with a window
// kStopTimeoutMs to close, then ends it. A record can start again at once;
// the launch it replaces is stopped and goes on ending on its own thread,
// its late notices still carrying its own tag. Every launch thread is kept
// for the end of the process to wait for (KeepUntilExit, framework/Thread.h).
#pragma once

#include "players/WindowIds.h"

#include <windows.h>

#include "framework/Handles.h"

#include <memory>
#include <string>

// How long the launch thread looks for a visible window of the new process
// before it takes it for a windowless one, and how often.
constexpr DWORD kWindowSearchTimeoutMs = 60000;
constexpr DWORD kWindowSearchPeriodMs = 100;
// How long a program whose visible windows have all gone must stay without
// one before that counts (a program may replace one window by another).
constexpr DWORD kWindowGoneMs = 1000;
// How long a stopped program with a window has to close before it is
// terminated.
constexpr DWORD kStopTimeoutMs = 10000;

// What a launch found, as the start notice's wParam.
enum class LaunchOutcome : WPARAM {
    Failed = 0,    // the process could not be created; nothing runs
    NoWindow = 1,  // it runs, but showed no visible window within the search
    Shown = 2,     // a visible window of it is up; ProgramWindow() names its window
    Gone = 3,      // after Shown: none of its windows is visible any more, while it runs
};

struct LaunchState;

class LaunchRecord {
public:
    LaunchRecord() = default;
    // Stops a launch that still runs, without waiting and without its end
    // notice.
    ~LaunchRecord();
    LaunchRecord(const LaunchRecord&) = delete;
    LaunchRecord& operator=(const LaunchRecord&) = delete;

    // Full path of the file of the current (or last) launch.
    std::string path;
    // How long the next launch looks for a visible window.
    DWORD windowSearchMs = kWindowSearchTimeoutMs;

    // Stops the record's launch if it still runs (Stop), then starts path
    // with options on a launch thread and returns at once. The outcome is
    // posted with tag. False when not even the thread could be started:
    // then nothing runs and nothing is posted. With within, the program's
    // window looked for is a child of that window of ours (a saver's preview
    // inside it) rather than a top-level one.
    bool Start(const std::string& path, const std::string& options, LPARAM tag, HWND within = nullptr);

    // The program's first top-level window (visible or not, in the
    // platform's enumeration order) once its start notice said Shown; 0
    // before that, without a window, and again once the process has ended.
    HWND ProgramWindow() const;
    // The started process (null when none was created), for the life of the
    // launch; never closed under a caller that holds the record.
    HANDLE Process() const;
    // Whether the launch thread still runs: the program starts, runs, or is
    // being stopped.
    bool Running() const;
    // Whether no start notice has been posted yet.
    bool Starting() const;
    // Whether the launch runs and has been told to stop.
    bool Stopping() const;
    // The tag of the current launch.
    LPARAM Tag() const;

    // Ends the launch's program if it still runs, without waiting: one with
    // a window gets WM_CLOSE (unless closePosted says the caller has posted
    // it), then at most kStopTimeoutMs before it is terminated; one still
    // starting or without a window is terminated at once. With notifyEnd
    // false the end notice is no longer posted.
    void Stop(bool notifyEnd = false, bool closePosted = false);

private:
    std::shared_ptr<LaunchState> state;
    UniqueHandle thread;
};

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
// input-method windows. 0 when there is none. With visibleOnly, the first
// visible one; with within, among the children of that window instead.
HWND FindProcessWindow(DWORD processId, bool visibleOnly = false, HWND within = nullptr);
