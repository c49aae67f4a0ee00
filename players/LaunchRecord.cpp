#include "players/LaunchRecord.h"

#include "framework/App.h"
#include "framework/TextUtil.h"
#include "framework/Thread.h"

#include <atomic>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// How long a program whose window is up may take to wait for input before
// its start notice goes out, so that a start macro meets a program ready
// for it.
constexpr DWORD kInputIdleMs = 1000;
// How often a running program's windows are looked at.
constexpr DWORD kWindowWatchPeriodMs = 200;
// How long the thread waits for a terminated process to be gone.
constexpr DWORD kTerminationMs = 5000;

unsigned __stdcall LaunchThread(void* argument);

}  // namespace

// What the launch thread works on, shared between the record and the
// thread, so that a record going away or starting again while its program
// still ends leaves the thread nothing freed to write to.
struct LaunchState {
    std::string path;
    std::string options;
    LPARAM tag = 0;
    HWND within = nullptr;
    DWORD windowSearchMs = kWindowSearchTimeoutMs;
    // Set by the record to have the program ended; manual-reset.
    UniqueHandle stop{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    // Written once by the thread, closed only with the state.
    std::atomic<HANDLE> process{nullptr};
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> starting{true};
    // Read by the thread once stop is set.
    std::atomic<bool> notifyEnd{true};
    std::atomic<DWORD> closeTimeoutMs{0};

    ~LaunchState() {
        if (HANDLE handle = process.load()) CloseHandle(handle);
    }
    void Post(UINT message, WPARAM wParam) const {
        if (App* app = App::Instance()) app->PostToMainWindow(message, wParam, tag);
    }
    void PostOutcome(LaunchOutcome outcome) {
        starting = false;
        Post(kStartNoticeMessage, static_cast<WPARAM>(outcome));
    }
};

LaunchRecord::~LaunchRecord() { Stop(); }

bool LaunchRecord::Start(const std::string& startPath, const std::string& options, LPARAM tag, HWND within) {
    Stop();
    path = startPath;
    state = std::make_shared<LaunchState>();
    state->path = startPath;
    state->options = options;
    state->tag = tag;
    state->within = within;
    state->windowSearchMs = windowSearchMs;
    if (!state->stop) {
        state.reset();
        return false;
    }
    auto* argument = new std::shared_ptr<LaunchState>(state);
    thread.reset(StartWorkerThread(&LaunchThread, argument));
    if (!thread) {
        delete argument;
        state.reset();
        return false;
    }
    KeepUntilExit(thread.get());
    return true;
}

HWND LaunchRecord::ProgramWindow() const { return state && !state->starting ? state->window.load() : nullptr; }

HANDLE LaunchRecord::Process() const { return state ? state->process.load() : nullptr; }

bool LaunchRecord::Running() const { return thread && WaitForSingleObject(thread.get(), 0) == WAIT_TIMEOUT; }

bool LaunchRecord::Starting() const { return Running() && state->starting; }

bool LaunchRecord::Stopping() const {
    return Running() && WaitForSingleObject(state->stop.get(), 0) == WAIT_OBJECT_0;
}

LPARAM LaunchRecord::Tag() const { return state ? state->tag : 0; }

void LaunchRecord::Stop(bool notifyEnd, bool closePosted) {
    if (!Running()) return;
    if (Stopping()) {
        // Stopped already: only the end notice can still be given up.
        if (!notifyEnd) state->notifyEnd = false;
        return;
    }
    state->notifyEnd = notifyEnd;
    // A window found after this look gets no WM_CLOSE, so no time either.
    HWND program = state->starting ? nullptr : state->window.load();
    if (program && !closePosted) PostMessageA(program, WM_CLOSE, 0, 0);
    state->closeTimeoutMs = program ? kStopTimeoutMs : 0;
    SetEvent(state->stop.get());
}

std::string LaunchCommandLine(const std::string& path, const std::string& options) {
    return "\"" + path + "\" " + options;
}

std::string LaunchWorkingFolder(const std::string& path) {
    size_t slash = FindLastChar(path, '\\');
    if (slash == std::string::npos) return std::string();
    // "C:" alone would name the drive's current folder, not its root.
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

namespace {

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    // The system's own input-method windows, made for a thread as it makes
    // its first window, are never the program's: a search that looks while
    // a slow starter makes its window could otherwise take one of them.
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "IME") == 0 || std::strcmp(className, "MSCTFIME UI") == 0) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, bool visibleOnly, HWND within) {
    WindowSearch search = {processId, visibleOnly, nullptr};
    if (within) {
        EnumChildWindows(within, &MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    } else {
        EnumWindows(&MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

bool StartProcessByPath(const std::string& path, const std::string& options, WORD showState,
                        PROCESS_INFORMATION* info) {
    std::string commandLine = LaunchCommandLine(path, options);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::string folder = LaunchWorkingFolder(path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showState;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, info) != FALSE;
}

namespace {

unsigned __stdcall LaunchThread(void* argument) {
    auto* holder = static_cast<std::shared_ptr<LaunchState>*>(argument);
    std::shared_ptr<LaunchState> state = *holder;
    delete holder;

    PROCESS_INFORMATION info = {};
    if (!StartProcessByPath(state->path, state->options, SW_SHOWNORMAL, &info)) {
        state->PostOutcome(LaunchOutcome::Failed);
        return 0;
    }
    CloseHandle(info.hThread);
    state->process = info.hProcess;
    const HANDLE waits[] = {info.hProcess, state->stop.get()};
    const DWORD processEnded = WAIT_OBJECT_0;
    const DWORD stopped = WAIT_OBJECT_0 + 1;

    // The search: a slow starter may show its window only after a while.
    // Most programs first wait for input right after showing their window:
    // looked for then at once, a window that goes again soon (a saver that
    // meets input at once) is not missed.
    DWORD woke = WAIT_TIMEOUT;
    HWND visible = nullptr;
    bool idle = false;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < state->windowSearchMs;) {
        if (!idle) {
            idle = WaitForInputIdle(info.hProcess, kWindowSearchPeriodMs) != WAIT_TIMEOUT;
            woke = WaitForMultipleObjects(2, waits, FALSE, 0);
        } else {
            woke = WaitForMultipleObjects(2, waits, FALSE, kWindowSearchPeriodMs);
        }
        if (woke != WAIT_TIMEOUT) break;
        visible = FindProcessWindow(info.dwProcessId, true, state->within);
        if (visible) break;
    }
    if (visible) {
        WaitForInputIdle(info.hProcess, kInputIdleMs);
        // The window that WM_CLOSE goes to is the first of the process's,
        // hidden or not.
        HWND first = FindProcessWindow(info.dwProcessId, false, state->within);
        state->window = first ? first : visible;
    }
    if (WaitForSingleObject(state->stop.get(), 0) != WAIT_OBJECT_0) {
        state->PostOutcome(visible ? LaunchOutcome::Shown : LaunchOutcome::NoWindow);
    }

    // Running: until the process ends or the record stops it. A shown
    // program's windows are watched meanwhile.
    DWORD goneSince = 0;
    bool watching = visible != nullptr;
    for (;;) {
        woke = WaitForMultipleObjects(2, waits, FALSE, watching ? kWindowWatchPeriodMs : INFINITE);
        if (woke == processEnded) break;
        if (woke == stopped) {
            if (WaitForSingleObject(info.hProcess, state->closeTimeoutMs) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 0);
                WaitForSingleObject(info.hProcess, kTerminationMs);
            }
            break;
        }
        if (woke != WAIT_TIMEOUT) break;  // the wait itself failed
        if (FindProcessWindow(info.dwProcessId, true, state->within)) {
            goneSince = 0;
        } else if (goneSince == 0) {
            goneSince = GetTickCount() | 1;
        } else if (GetTickCount() - goneSince >= kWindowGoneMs) {
            watching = false;
            state->PostOutcome(LaunchOutcome::Gone);
        }
    }

    if (state->window.exchange(nullptr) != nullptr && state->notifyEnd) state->Post(kEndNoticeMessage, 1);
    return 0;
}

}  // namespace
