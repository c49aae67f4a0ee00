#include "framework/App.h"

#include "framework/Window.h"
#include "framework/TextUtil.h"

#include <cstdlib>
#include <cstring>

namespace {
App* currentApp = nullptr;
constexpr DWORD kProfileReadBufferSize = 4096;  // at most 4095 bytes of text
}  // namespace

App::App() {
    currentApp = this;
    for (int i = 0; i < __argc; ++i) {
        const char* text = __argv[i] ? __argv[i] : "";
        arguments.emplace_back(text, text + std::strlen(text) + 1);
    }
}

App::~App() {
    if (currentApp == this) currentApp = nullptr;
}

App* App::Instance() { return currentApp; }

char* App::Argument(int index) {
    if (index < 0 || index >= ArgumentCount()) return nullptr;
    return arguments[static_cast<size_t>(index)].data();
}

void App::SetArguments(const std::vector<std::string>& texts) {
    arguments.clear();
    for (const std::string& text : texts) {
        arguments.emplace_back(text.begin(), text.end());
        arguments.back().push_back('\0');
    }
}

std::string App::ModulePath() const {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    return std::string(path, length);
}

int App::Main(HINSTANCE moduleInstance) {
    instance = moduleInstance;
    if (InitInstance()) Run();
    return ExitInstance();
}

BOOL App::InitInstance() { return FALSE; }

int App::ExitInstance() { return 0; }

int App::Run() {
    int quitCode = 0;
    while (PumpMessage(&quitCode)) {
    }
    return quitCode;
}

bool App::PumpMessage(int* quitCode) {
    MSG message;
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        if (quitCode) *quitCode = static_cast<int>(message.wParam);
        return false;
    }
    if (!PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

bool App::PreTranslate(MSG& message) {
    for (HWND h = message.hwnd; h != nullptr; h = GetParent(h)) {
        Window* window = Window::FromHandle(h);
        if (window && window->PreTranslateMessage(&message)) return true;
    }
    return false;
}

int App::GetProfileInt(const char* section, const char* key, int def) const {
    std::string text = GetProfileString(section, key, "");
    if (text.empty()) return def;
    return ParseLeadingInt(text.c_str());
}

std::string App::GetProfileString(const char* section, const char* key, const char* def) const {
    std::vector<char> buffer(kProfileReadBufferSize, '\0');
    DWORD length = GetPrivateProfileStringA(section, key, def ? def : "", buffer.data(),
                                            kProfileReadBufferSize, profileName.c_str());
    return std::string(buffer.data(), length);
}

BOOL App::WriteProfileInt(const char* section, const char* key, int value) const {
    return WritePrivateProfileStringA(section, key, std::to_string(value).c_str(), profileName.c_str());
}

BOOL App::WriteProfileString(const char* section, const char* key, const char* value) const {
    return WritePrivateProfileStringA(section, key, value, profileName.c_str());
}

HWND App::MainWindowHandle() const { return mainWindow ? mainWindow->Handle() : nullptr; }

void App::SetMainWindow(Window* window) {
    mainWindow = window;
    NoteMainWindow();
}

void App::NoteMainWindow() { mainWindowForThreads.store(MainWindowHandle()); }

bool App::PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND target = GetCurrentThreadId() == userInterfaceThread ? MainWindowHandle()
                                                              : mainWindowForThreads.load();
    return target != nullptr && PostMessageA(target, message, wParam, lParam) != FALSE;
}
