#include "players/LaunchRecord.h"

#include "framework/App.h"
#include "framework/TextUtil.h"
#include "framework/Thread.h"

#include <cstring>
#include <utility>
#include <vector>

LaunchRecord::~LaunchRecord() {
    Stop();
    Clear();
}

void LaunchRecord::Stop() {
    if (!ThreadRunning()) return;
    // Taken from the thread, which then posts no end notice for it.
    HWND program = state ? state->window.exchange(nullptr) : nullptr;
    if (program) PostMessageA(program, WM_CLOSE, 0, 0);
    if (process &&
        WaitForSingleObject(process.get(), program ? kStopTimeoutMs : 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 0);
    }
    WaitForThread();
}

void LaunchRecord::Clear() {
    thread.reset();
    process.reset();
    state.reset();
}

HWND LaunchRecord::ProgramWindow() const { return state ? state->window.load() : nullptr; }

bool LaunchRecord::ThreadRunning() const {
    DWORD code = 0;
    return thread && GetExitCodeThread(thread.get(), &code) && code == STILL_ACTIVE;
}

void LaunchRecord::WaitForThread() const {
    if (thread) WaitForSingleObject(thread.get(), INFINITE);
}

namespace {
HANDLE processLaunchSignal = nullptr;
}

void SetLaunchSignal(HANDLE signal) { processLaunchSignal = signal; }

HANDLE LaunchSignal() { return processLaunchSignal; }

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

HWND StartLaunch(LaunchRecord& record, const std::string& path, const char* options,
                 HANDLE signal) {
    record.Stop();
    record.Clear();
    record.path = path;
    if (!signal) signal = LaunchSignal();
    if (!signal) return nullptr;

    auto state = std::make_shared<LaunchState>();
    state->path = path;
    state->options = options ? options : "";
    state->signal = signal;
    state->windowSearchMs = record.windowSearchMs;
    record.state = state;

    // One signal per launch: cleared before the thread may give it, so that
    // a thread that signals before this thread waits is not missed, and
    // cleared again after the wait, so that no later wait finds it given.
    ResetEvent(signal);
    auto* argument = new std::shared_ptr<LaunchState>(state);
    record.thread.reset(StartWorkerThread(&LaunchThread, argument));
    if (!record.thread) {
        delete argument;
        return nullptr;
    }
    WaitForSingleObject(signal, INFINITE);
    ResetEvent(signal);

    record.process = std::move(state->process);
    return record.ProgramWindow();
}

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
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

HWND FindProcessWindow(DWORD processId) {
    WindowSearch search = {processId, nullptr};
    EnumWindows(&MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
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

unsigned __stdcall LaunchThread(void* argument) {
    auto* holder = static_cast<std::shared_ptr<LaunchState>*>(argument);
    std::shared_ptr<LaunchState> state = *holder;
    delete holder;

    PROCESS_INFORMATION info = {};
    if (!StartProcessByPath(state->path, state->options, SW_SHOWNORMAL, &info)) {
        state->window = nullptr;
        SetEvent(state->signal);
        return 0;
    }
    UniqueHandle processHandle(info.hProcess), threadHandle(info.hThread);

    // Bounded: a program that never waits for input must not keep the
    // starter, blocked on the signal, waiting for ever. Its result is not
    // looked at; the window search runs either way, and goes on for a
    // while, because a slow starter may show its window only later.
    WaitForInputIdle(info.hProcess, kInputIdleTimeoutMs);
    HWND window = FindProcessWindow(info.dwProcessId);
    for (DWORD searched = 0; !window && searched < state->windowSearchMs;
         searched += kWindowSearchPeriodMs) {
        if (WaitForSingleObject(info.hProcess, kWindowSearchPeriodMs) != WAIT_TIMEOUT) break;
        window = FindProcessWindow(info.dwProcessId);
    }
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), info.hProcess, GetCurrentProcess(), &own, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        // Without a handle of its own the record could neither wait for nor
        // end the program: a failed launch, and no program left running.
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, INFINITE);
        state->window = nullptr;
        SetEvent(state->signal);
        return 0;
    }
    state->window = window;
    state->process.reset(own);
    SetEvent(state->signal);

    WaitForSingleObject(info.hProcess, INFINITE);
    processHandle.reset();
    threadHandle.reset();

    if (state->window.exchange(nullptr) != nullptr) {
        if (App* app = App::Instance()) app->PostToMainWindow(kEndNoticeMessage, 1, 0);
    }
    return 0;
}
