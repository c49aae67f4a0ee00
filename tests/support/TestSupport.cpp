// The test helpers use a few calls newer than the product's target.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600

#include "tests/support/TestSupport.h"

#include <gdiplus.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace test {

// --- Where things are and files ----------------------------------------------

std::string BuildFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;  // <build>\tests\<test>.exe
    folder.erase(folder.find_last_of('\\'));
    return folder.erase(folder.find_last_of('\\'));
}

std::string ProductPath() { return BuildFolder() + "\\tolvarin.scr"; }

std::string FixturePath(const std::string& fileName) { return BuildFolder() + "\\fixtures\\" + fileName; }

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string NoiseBytes(size_t size) {
    std::string bytes(size, '\0');
    unsigned seed = 1;
    for (char& byte : bytes) byte = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    return bytes;
}

std::string ReadIniString(const std::string& path, const char* section, const char* key, const char* def) {
    std::vector<char> buffer(8192, '\0');
    DWORD length = GetPrivateProfileStringA(section, key, def, buffer.data(),
                                            static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), length);
}

TempFolder::TempFolder(const std::string& prefix) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    do {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%s%s%lu_%u_%lu", base, prefix.c_str(), GetCurrentProcessId(),
                      ++counter, GetTickCount());
        path = name;
    } while (!CreateDirectoryA(path.c_str(), nullptr));
}

TempFolder::~TempFolder() {
    KillProcessesInFolder(path);
    const std::string list = path + '\0';  // of one folder, ended by two zeros
    // A process that just ended may still hold its file briefly.
    WaitUntil([&] {
        SHFILEOPSTRUCTA remove = {nullptr, FO_DELETE, list.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
        return SHFileOperationA(&remove) == 0 || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    }, 3000);
}

std::string TempFolder::PlaceFixture(const std::string& fixture, const std::string& relativePath) const {
    const std::string target = File(relativePath);
    SHCreateDirectoryExA(nullptr, target.substr(0, target.rfind('\\')).c_str(), nullptr);
    CopyFileA(FixturePath(fixture).c_str(), target.c_str(), FALSE);
    return target;
}

// --- Waiting ------------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs, bool pump) {
    for (DWORD start = GetTickCount();; Sleep(pollMs)) {
        MSG message;
        while (pump && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
    }
}

// --- Processes and windows ----------------------------------------------------

StartedProcess StartProcess(const std::string& commandLine, const char* workingFolder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder, &startup,
                        &info)) {
        return {};
    }
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}

namespace {
template <typename F>
int ForEachProcessInFolder(const std::string& folder, F action) {
    std::string prefix = folder + "\\";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                     FALSE, entry.th32ProcessID);
        if (!process) continue;
        char path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process, 0, path, &size) &&
            _strnicmp(path, prefix.c_str(), prefix.size()) == 0) {
            ++count;
            action(process);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return count;
}
}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly) {
    std::vector<HWND> windows;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && (!visibleOnly || IsWindowVisible(w))) windows.push_back(w);
    }
    return windows;
}

HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& predicate) {
    for (HWND window : TopLevelWindowsOf(processId)) if (predicate(window)) return window;
    return nullptr;
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string MessageBoxText(HWND box) {
    HWND label = GetDlgItem(box, 0xFFFF);
    return label ? TextOf(label) : std::string();
}

int KillProcessesInFolder(const std::string& folder) {
    return ForEachProcessInFolder(folder, [](HANDLE process) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    });
}

int CountProcessesInFolder(const std::string& folder) {
    return ForEachProcessInFolder(folder, [](HANDLE) {});
}

FixtureLog::FixtureLog(std::string path) : path(std::move(path)) {
    SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", this->path.c_str());
}

FixtureLog::~FixtureLog() { SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", nullptr); }

std::vector<std::string> FixtureLog::Lines(const std::string& prefix) const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    }
    return lines;
}

int FixtureLog::Count(const std::string& line) const {
    int count = 0;
    for (const std::string& logged : Lines()) count += logged == line;
    return count;
}

bool FixtureLog::Wait(const std::string& line, DWORD timeoutMs) const {
    return WaitUntil([&] { return Has(line); }, timeoutMs);
}

std::string FixtureLog::Value(const std::string& prefix) const {
    const std::vector<std::string> lines = Lines(prefix);
    return lines.empty() ? std::string() : lines.front().substr(prefix.size());
}

HWND FixtureLog::Window(const std::string& name) const {
    const std::string prefix = "window " + name + " ";
    std::vector<std::string> lines = Lines(prefix);
    return lines.empty() ? nullptr
                         : reinterpret_cast<HWND>(static_cast<UINT_PTR>(
                               std::strtoull(lines.back().c_str() + prefix.size(), nullptr, 16)));
}

ProductProcess::ProductProcess(const std::string& executableName, const std::string& sourcePath)
    : folder("tlvp"), log(folder.File("fixture.log")), executablePath(folder.File(executableName)) {
    CopyFileA(sourcePath.c_str(), executablePath.c_str(), FALSE);
}

ProductProcess::~ProductProcess() {
    Kill();
    if (started.process) CloseHandle(started.process);
}

bool ProductProcess::Start(const std::string& arguments, const char* workingFolder) {
    if (started.process) CloseHandle(started.process);
    SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", folder.File("fixture.log").c_str());  // whoever set it last
    started = StartProcess("\"" + executablePath + "\"" + (arguments.empty() ? "" : " " + arguments),
                           workingFolder);
    return started.process != nullptr;
}

bool ProductProcess::WaitForExit(DWORD timeoutMs) const {
    return started.process && WaitForSingleObject(started.process, timeoutMs) == WAIT_OBJECT_0;
}

bool ProductProcess::Running() const {
    return started.process && WaitForSingleObject(started.process, 0) == WAIT_TIMEOUT;
}

void ProductProcess::Kill() {
    if (!Running()) return;
    TerminateProcess(started.process, 1);
    WaitForSingleObject(started.process, 5000);
}

HWND ProductProcess::WaitForWindow(const std::function<bool(HWND)>& predicate, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(started.id, predicate)) != nullptr; }, timeoutMs);
    return found;
}

namespace {
ErrorBoxAnswerer* answerer = nullptr;
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && TextOf(box) == "エラー") {
        answerer->texts.push_back(MessageBoxText(box));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    } else if (code == HCBT_ACTIVATE && answerer->other) {
        answerer->other(box);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

ErrorBoxAnswerer::ErrorBoxAnswerer(std::function<void(HWND)> other) : other(std::move(other)) {
    answerer = this;
    hook = SetWindowsHookExA(WH_CBT, &AnswerBoxes, nullptr, GetCurrentThreadId());
}

ErrorBoxAnswerer::~ErrorBoxAnswerer() { UnhookWindowsHookEx(hook); }

// --- The registry ---------------------------------------------------------------

namespace {
constexpr const char* kDesktopKey = "Control Panel\\desktop";
constexpr const char* kUsePasswordValue = "ScreenSaveUsePassword";
constexpr const char* kFlashControlKey = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const std::string kViewerClass = "TolvarinTest.html";
}  // namespace

void SetUsePasswordFlag(DWORD value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kUsePasswordValue, REG_DWORD, &value, sizeof value);
}

DWORD GetUsePasswordFlag(bool* exists) {
    DWORD value = 0, size = sizeof value;
    bool found = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, kUsePasswordValue, RRF_RT_DWORD, nullptr, &value,
                              &size) == ERROR_SUCCESS;
    if (exists) *exists = found;
    return found ? value : 0;
}

void DeleteUsePasswordFlag() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kUsePasswordValue); }

SystemPasswordCheck::SystemPasswordCheck(const char* answers) {
    SetEnvironmentVariableA("TOLVARIN_PASSWORD_ANSWERS", answers);
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    path = std::string(folder) + "\\password.cpl";
    CopyFileA(FixturePath("password.cpl").c_str(), path.c_str(), FALSE);
}

SystemPasswordCheck::~SystemPasswordCheck() { DeleteFileA(path.c_str()); }

StandInFlashControl::StandInFlashControl() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kFlashControlKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        &disposition) == ERROR_SUCCESS) {
        created = disposition == REG_CREATED_NEW_KEY;
        RegCloseKey(key);
    }
}

StandInFlashControl::~StandInFlashControl() {
    if (created) RegDeleteKeyA(HKEY_CLASSES_ROOT, kFlashControlKey);
}

RegistryText::RegistryText(HKEY root, std::string key, const char* name, const std::string& text)
    : root(root), key(std::move(key)), name(name ? name : "") {
    HKEY opened = nullptr;
    keyExisted = RegOpenKeyExA(root, this->key.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
    if (keyExisted) RegCloseKey(opened);
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    valueExisted = RegGetValueA(root, this->key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS;
    if (valueExisted) before = buffer;
    RegSetKeyValueA(root, this->key.c_str(), name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

RegistryText::~RegistryText() {
    const char* value = name.empty() ? nullptr : name.c_str();
    if (valueExisted) {
        RegSetKeyValueA(root, key.c_str(), value, REG_SZ, before.c_str(), static_cast<DWORD>(before.size() + 1));
    } else if (keyExisted) {
        RegDeleteKeyValueA(root, key.c_str(), value);
    } else {
        RegDeleteTreeA(root, key.c_str());
    }
}

HtmlViewerStandIn::HtmlViewerStandIn()
    : command(HKEY_CLASSES_ROOT, kViewerClass + "\\shell\\open\\command", nullptr,
              "\"" + FixturePath("test_program.exe") + "\" /nowindow /life:0 \"%1\""),
      association(HKEY_CLASSES_ROOT, ".html", nullptr, kViewerClass) {}

HtmlViewerStandIn::~HtmlViewerStandIn() { RegDeleteTreeA(HKEY_CLASSES_ROOT, kViewerClass.c_str()); }

std::string HtmlViewerStandIn::LastOpened(const FixtureLog& log) {
    std::vector<std::string> lines = log.Lines("cmdline ");  // the last argument, in its quotes
    std::string line = lines.empty() ? std::string() : lines.back().substr(0, lines.back().size() - 1);
    return line.substr(line.rfind('"') + 1);
}

// --- Input and pixels -------------------------------------------------------------

void MoveMouseTo(int x, int y) {
    SetCursorPos(x, y);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<DWORD>(x * 65535 / (width - 1)),
                static_cast<DWORD>(y * 65535 / (height - 1)), 0, 0);
}

bool MoveMouseUntil(const std::function<bool()>& condition, DWORD timeoutMs, int x) {
    for (DWORD start = GetTickCount(), step = 0;; ++step) {
        MoveMouseTo(x + static_cast<int>(step % 2) * 60, 200 + static_cast<int>(step % 2) * 30);
        if (WaitUntil(condition, 100)) return true;
        if (GetTickCount() - start > timeoutMs) return false;
    }
}

void PressKey(BYTE virtualKey) {
    keybd_event(virtualKey, 0, 0, 0);
    keybd_event(virtualKey, 0, KEYEVENTF_KEYUP, 0);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

namespace {
// Copies a rectangle of the screen into a top-down 32-bit bitmap; bits
// receives its pixels (BGRA). The caller deletes the bitmap.
HBITMAP CaptureScreen(const RECT& rect, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), rect.right - rect.left, -(rect.bottom - rect.top), 1, 32, BI_RGB,
                      0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, old);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
}  // namespace

std::vector<COLORREF> CaptureScreen(const RECT& rect) {
    void* bits = nullptr;
    HBITMAP bitmap = rect.right > rect.left && rect.bottom > rect.top ? CaptureScreen(rect, &bits) : nullptr;
    std::vector<COLORREF> pixels;
    for (size_t i = 0; bitmap && i < size_t(rect.right - rect.left) * size_t(rect.bottom - rect.top); ++i) {
        const BYTE* pixel = static_cast<const BYTE*>(bits) + i * 4;
        pixels.push_back(RGB(pixel[2], pixel[1], pixel[0]));
    }
    if (bitmap) DeleteObject(bitmap);
    return pixels;
}

std::vector<COLORREF> CaptureClient(HWND window, int* width, int* height) {
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    *width = client.right - client.left;
    *height = client.bottom - client.top;
    return CaptureScreen(client);
}

std::string SaveScreenshot(const std::string& name, const RECT* rect) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (rect) area = *rect;
    std::string folder = BuildFolder() + "\\screenshots", path = folder + "\\" + name + ".png";
    CreateDirectoryA(folder.c_str(), nullptr);
    // The system's own image encoder writes the PNG.
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return {};
    void* bits = nullptr;
    HBITMAP bitmap = CaptureScreen(area, &bits);
    Gdiplus::GpBitmap* image = nullptr;
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    std::wstring widePath(path.begin(), path.end());
    bool saved = bitmap && Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok &&
                 Gdiplus::DllExports::GdipSaveImageToFile(image, widePath.c_str(), &png, nullptr) == Gdiplus::Ok;
    if (image) Gdiplus::DllExports::GdipDisposeImage(image);
    if (bitmap) DeleteObject(bitmap);
    Gdiplus::GdiplusShutdown(token);
    return saved ? path : std::string();
}

}  // namespace test
