// The test helpers use a few calls newer than the product's target.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600

#include "tests/support/TestSupport.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace test {

// --- Where things are -------------------------------------------------------

std::string ThisExecutableFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string BuildFolder() {
    std::string folder = ThisExecutableFolder();
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ProductPath() { return BuildFolder() + "\\tolvarin.scr"; }

std::string Product64Path() {
    std::string build = BuildFolder();
    return build.substr(0, build.find_last_of('\\')) + "\\x86_64\\tolvarin.scr";
}

std::string FixturePath(const std::string& fileName) {
    return BuildFolder() + "\\fixtures\\" + fileName;
}

std::string ScreenshotFolder() {
    std::string folder = BuildFolder() + "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// --- Files ------------------------------------------------------------------

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

std::string NoiseBytes(size_t size) {
    std::string bytes(size, '\0');
    unsigned seed = 1;
    for (char& byte : bytes) byte = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    return bytes;
}

TempFolder::TempFolder(const std::string& prefix) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%s%s%lu_%u_%lu", base, prefix.c_str(),
                      GetCurrentProcessId(), ++counter, GetTickCount());
        if (CreateDirectoryA(name, nullptr)) {
            path = name;
            break;
        }
    }
}

TempFolder::~TempFolder() { RemoveFolderTree(path); }

void RemoveFolderTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolderTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                // A process that just ended may still hold its file briefly.
                WaitUntil([&] { return DeleteFileA(full.c_str()) || !FileExists(full); }, 3000, 20);
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

// --- Waiting ----------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(pollMs);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// --- Processes and windows --------------------------------------------------

StartedProcess StartProcess(const std::string& commandLine, const char* workingFolder) {
    StartedProcess result;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder,
                       &startup, &info)) {
        CloseHandle(info.hThread);
        result.process = info.hProcess;
        result.id = info.dwProcessId;
    }
    return result;
}

namespace {
struct EnumState {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto* state = reinterpret_cast<EnumState*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId && (!state->visibleOnly || IsWindowVisible(window))) {
        state->windows.push_back(window);
    }
    return TRUE;
}

std::string ImagePathOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return {};
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    std::string result;
    if (QueryFullProcessImageNameA(process, 0, path, &size)) result.assign(path, size);
    CloseHandle(process);
    return result;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

template <typename F>
int ForEachProcessInFolder(const std::string& folder, F action) {
    std::string prefix = Lower(folder) + "\\";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        std::string image = Lower(ImagePathOf(entry.th32ProcessID));
        if (image.compare(0, prefix.size(), prefix) == 0) {
            ++count;
            action(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return count;
}
}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly) {
    EnumState state{processId, visibleOnly, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.windows;
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

HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& predicate) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (predicate(window)) return window;
    }
    return nullptr;
}

HWND WaitForWindowOf(DWORD processId, const std::function<bool(HWND)>& predicate,
                     DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(processId, predicate)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForWindowCaption(const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowA(nullptr, caption.c_str())) != nullptr; },
              timeoutMs);
    return found;
}

int KillProcessesInFolder(const std::string& folder) {
    return ForEachProcessInFolder(folder, [](DWORD id) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    });
}

int CountProcessesInFolder(const std::string& folder) {
    return ForEachProcessInFolder(folder, [](DWORD) {});
}

ProductProcess::ProductProcess(const std::string& executableName, const std::string& sourcePath)
    : folder("tlvp") {
    executablePath = folder.File(executableName);
    CopyFileTo(sourcePath, executablePath);
}

ProductProcess::~ProductProcess() {
    Kill();
    KillProcessesInFolder(folder.Path());
    if (started.process) CloseHandle(started.process);
}

void ProductProcess::WriteIni(const std::string& text) const { WriteFileBytes(IniPath(), text); }

std::string ProductProcess::ReadIni(const char* section, const char* key, const char* def) const {
    return ReadIniString(IniPath(), section, key, def);
}

int ProductProcess::ReadIniInt(const char* section, const char* key, int def) const {
    std::string text = ReadIni(section, key, "");
    return text.empty() ? def : std::atoi(text.c_str());
}

bool ProductProcess::Start(const std::string& arguments, const char* workingFolder) {
    if (started.process) CloseHandle(started.process);
    std::string line = "\"" + executablePath + "\"";
    if (!arguments.empty()) line += " " + arguments;
    started = StartProcess(line, workingFolder);
    return started.process != nullptr;
}

bool ProductProcess::WaitForExit(DWORD timeoutMs) const {
    return started.process && WaitForSingleObject(started.process, timeoutMs) == WAIT_OBJECT_0;
}

bool ProductProcess::Running() const {
    return started.process && WaitForSingleObject(started.process, 0) == WAIT_TIMEOUT;
}

DWORD ProductProcess::ExitCode() const {
    DWORD code = 0;
    if (started.process) GetExitCodeProcess(started.process, &code);
    return code;
}

void ProductProcess::Kill() {
    if (Running()) {
        TerminateProcess(started.process, 1);
        WaitForSingleObject(started.process, 5000);
    }
}

HWND ProductProcess::WaitForWindow(const std::function<bool(HWND)>& predicate,
                                   DWORD timeoutMs) const {
    return WaitForWindowOf(started.id, predicate, timeoutMs);
}

std::string MessageBoxText(HWND box) {
    HWND label = GetDlgItem(box, 0xFFFF);
    return label ? TextOf(label) : std::string();
}

MessageBoxAnswerer::MessageBoxAnswerer(DWORD processId, const std::string& caption, int buttonId,
                                       DWORD timeoutMs)
    : processId(processId), caption(caption), buttonId(buttonId), timeoutMs(timeoutMs) {
    thread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
}

MessageBoxAnswerer::~MessageBoxAnswerer() { Wait(); }

bool MessageBoxAnswerer::Wait() {
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    return answered;
}

DWORD WINAPI MessageBoxAnswerer::Run(void* self) {
    auto* answerer = static_cast<MessageBoxAnswerer*>(self);
    HWND box = nullptr;
    WaitUntil(
        [&] {
            box = FindWindowA("#32770", answerer->caption.c_str());
            if (!box || !IsWindowVisible(box)) return false;
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            return answerer->processId == 0 || owner == answerer->processId;
        },
        answerer->timeoutMs);
    if (!box) return 0;
    answerer->text = MessageBoxText(box);
    HWND button = GetDlgItem(box, answerer->buttonId);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answerer->buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    answerer->answered = WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return 0;
}

// --- Settings file ------------------------------------------------------------

std::string ReadIniString(const std::string& path, const char* section, const char* key,
                          const char* def) {
    std::vector<char> buffer(8192, '\0');
    DWORD length = GetPrivateProfileStringA(section, key, def, buffer.data(),
                                            static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), length);
}

// --- Registry -------------------------------------------------------------------

namespace {
constexpr const char* kDesktopKey = "Control Panel\\desktop";
constexpr const char* kUsePasswordValue = "ScreenSaveUsePassword";
}  // namespace

void SetUsePasswordFlag(DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, kUsePasswordValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(key);
    }
}

DWORD GetUsePasswordFlag(bool* exists) {
    DWORD value = 0;
    DWORD size = sizeof value;
    HKEY key = nullptr;
    bool found = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        found = RegQueryValueExA(key, kUsePasswordValue, nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (exists) *exists = found;
    return value;
}

void DeleteUsePasswordFlag() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kUsePasswordValue);
        RegCloseKey(key);
    }
}

SystemPasswordCheck::SystemPasswordCheck() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    path = std::string(folder) + "\\password.cpl";
    CopyFileTo(FixturePath("password.cpl"), path);
}

SystemPasswordCheck::~SystemPasswordCheck() { DeleteFileA(path.c_str()); }

// --- Registry: a stand-in for the system's Flash control ----------------------

namespace {
const char kFlashControlKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
}

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

// --- Input --------------------------------------------------------------------

void MoveMouseTo(int x, int y) {
    SetCursorPos(x, y);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                static_cast<DWORD>(x * 65535 / (width - 1)), static_cast<DWORD>(y * 65535 / (height - 1)),
                0, 0);
}

bool MoveMouseUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (int step = 0;; ++step) {
        MoveMouseTo(200 + (step % 2) * 60, 200 + (step % 2) * 30);
        if (WaitUntil(condition, 100)) return true;
        if (GetTickCount() - start > timeoutMs) return false;
    }
}

void PressKey(BYTE virtualKey) {
    keybd_event(virtualKey, 0, 0, 0);
    keybd_event(virtualKey, 0, KEYEVENTF_KEYUP, 0);
}

void ClickLeft() {
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// --- Pixels and screenshots ---------------------------------------------------

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

namespace {

std::vector<COLORREF> CaptureScreenRect(const RECT& rect) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    std::vector<COLORREF> pixels;
    if (width <= 0 || height <= 0) return pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* data = static_cast<const unsigned char*>(bits);
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = RGB(data[i * 4 + 2], data[i * 4 + 1], data[i * 4 + 0]);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

unsigned long Crc32(const unsigned char* data, size_t length, unsigned long crc = 0) {
    static unsigned long table[256];
    static bool ready = false;
    if (!ready) {
        for (unsigned long n = 0; n < 256; ++n) {
            unsigned long c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320UL ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc ^= 0xFFFFFFFFUL;
    for (size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFUL;
}

void PutBigEndian(std::string& out, unsigned long value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<unsigned long>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBigEndian(out, Crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

// A PNG with stored (uncompressed) deflate blocks: no library needed.
std::string EncodePng(const std::vector<COLORREF>& pixels, int width, int height) {
    std::string raw;
    raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            raw.push_back(static_cast<char>(GetRValue(c)));
            raw.push_back(static_cast<char>(GetGValue(c)));
            raw.push_back(static_cast<char>(GetBValue(c)));
        }
    }
    std::string zlib = "\x78\x01";
    size_t offset = 0;
    do {
        size_t block = raw.size() - offset < 65535 ? raw.size() - offset : 65535;
        bool last = offset + block == raw.size();
        zlib.push_back(last ? '\1' : '\0');
        zlib.push_back(static_cast<char>(block & 0xFF));
        zlib.push_back(static_cast<char>(block >> 8));
        zlib.push_back(static_cast<char>(~block & 0xFF));
        zlib.push_back(static_cast<char>((~block >> 8) & 0xFF));
        zlib.append(raw, offset, block);
        offset += block;
    } while (offset < raw.size());
    unsigned long a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBigEndian(header, static_cast<unsigned long>(width));
    PutBigEndian(header, static_cast<unsigned long>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", "");
    return png;
}

}  // namespace

std::string SaveScreenshot(const std::string& name, const RECT* rect) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (rect) area = *rect;
    std::vector<COLORREF> pixels = CaptureScreenRect(area);
    if (pixels.empty()) return {};
    std::string path = ScreenshotFolder() + "\\" + name + ".png";
    WriteFileBytes(path, EncodePng(pixels, area.right - area.left, area.bottom - area.top));
    return path;
}

std::vector<COLORREF> CaptureClient(HWND window, int* width, int* height) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT area = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    if (width) *width = client.right;
    if (height) *height = client.bottom;
    return CaptureScreenRect(area);
}

}  // namespace test
