#include "tests/integration/support/LaunchSupport.h"

#include "players/LaunchRecord.h"
#include "players/WindowIds.h"
#include "settings/SettingsFile.h"

#include <cstdlib>
#include <sstream>

namespace launchtest {

BOOL NoticeWindow::Create() {
    return CreateEx(0, RegisterWindowClass(0), "notices", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
}

LRESULT NoticeWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kEndNoticeMessage) {
        notices.push_back(wParam);
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}

LaunchEnvironment::LaunchEnvironment() {
    signal = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetLaunchSignal(signal);
    app.SetProfileName(folder.File("tolvarin.ini"));
    mainWindow.Create();
    app.SetMainWindow(&mainWindow);
    logPath = folder.File("fixture.log");
    SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", logPath.c_str());
}

LaunchEnvironment::~LaunchEnvironment() {
    test::KillProcessesInFolder(folder.Path());
    app.SetMainWindow(nullptr);
    mainWindow.DestroyWindow();
    SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", nullptr);
    SetLaunchSignal(nullptr);
    CloseHandle(signal);
}

std::string LaunchEnvironment::PlaceFixture(const std::string& fixture,
                                            const std::string& relativePath) const {
    std::string target = folder.File(relativePath);
    for (size_t slash = target.find('\\', folder.Path().size() + 1); slash != std::string::npos;
         slash = target.find('\\', slash + 1)) {
        CreateDirectoryA(target.substr(0, slash).c_str(), nullptr);
    }
    test::CopyFileTo(test::FixturePath(fixture), target);
    return target;
}

void LaunchEnvironment::SetEntry(const std::string& path, const char* suffix,
                                 const std::string& value) const {
    app.WriteProfileString(settings::kExeConfigSection, settings::PerFileKey(path, suffix).c_str(),
                           value.c_str());
}

std::vector<std::string> LaunchEnvironment::Log() const {
    std::vector<std::string> lines;
    std::istringstream in(test::ReadFileBytes(logPath));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool LaunchEnvironment::LogHas(const std::string& line) const { return CountLog(line) > 0; }

int LaunchEnvironment::CountLog(const std::string& line) const {
    int count = 0;
    for (const std::string& logged : Log()) count += logged == line;
    return count;
}

std::string LaunchEnvironment::LogValue(const std::string& prefix) const {
    for (const std::string& logged : Log()) {
        if (logged.compare(0, prefix.size(), prefix) == 0) return logged.substr(prefix.size());
    }
    return std::string();
}

bool LaunchEnvironment::WaitForLog(const std::string& line, DWORD timeoutMs) const {
    return test::WaitUntil([&] { return LogHas(line); }, timeoutMs);
}

HWND LaunchEnvironment::LoggedWindow(const char* name) const {
    std::string value = LogValue(std::string("window ") + name + " ");
    if (value.empty()) return nullptr;
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(value.c_str(), nullptr, 16)));
}



namespace {
KeyWatcher* activeWatcher = nullptr;
}

KeyWatcher::KeyWatcher() {
    InitializeCriticalSection(&lock);
    ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    activeWatcher = this;
    thread = CreateThread(nullptr, 0, &Run, this, 0, &threadId);
    WaitForSingleObject(ready, 5000);
}

KeyWatcher::~KeyWatcher() {
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
    activeWatcher = nullptr;
    DeleteCriticalSection(&lock);
}

DWORD WINAPI KeyWatcher::Run(void* self) {
    auto* watcher = static_cast<KeyWatcher*>(self);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
    watcher->hook = SetWindowsHookExA(WH_KEYBOARD_LL, &Hook, GetModuleHandleA(nullptr), 0);
    SetEvent(watcher->ready);
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    if (watcher->hook) UnhookWindowsHookEx(watcher->hook);
    return 0;
}

LRESULT CALLBACK KeyWatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    KeyWatcher* watcher = activeWatcher;
    if (code == HC_ACTION && watcher && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
        auto* info = reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam);
        EnterCriticalSection(&watcher->lock);
        watcher->downs.push_back(static_cast<BYTE>(info->vkCode));
        LeaveCriticalSection(&watcher->lock);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool KeyWatcher::Saw(BYTE code) const {
    EnterCriticalSection(&lock);
    bool seen = false;
    for (BYTE down : downs) seen |= down == code;
    LeaveCriticalSection(&lock);
    return seen;
}

bool KeyWatcher::WaitFor(BYTE code, DWORD timeoutMs) const {
    return test::WaitUntil([&] { return Saw(code); }, timeoutMs);
}

}  // namespace launchtest
