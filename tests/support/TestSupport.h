// Helpers for the tests: where the built files are, temporary folders,
// starting the real tolvarin.scr from a copy with its own tolvarin.ini,
// waiting for windows and conditions with deadlines, the registry flag,
// input, pixels and screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

// --- Where things are -------------------------------------------------------
std::string ThisExecutableFolder();
// The build folder of the 32-bit target (tolvarin.scr lives there).
std::string BuildFolder();
std::string ProductPath();
// The 64-bit build's tolvarin.scr, beside the 32-bit build folder.
std::string Product64Path();
std::string FixturePath(const std::string& fileName);
// BuildFolder()\screenshots, created on demand.
std::string ScreenshotFolder();

// --- Files ------------------------------------------------------------------
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool CopyFileTo(const std::string& from, const std::string& to);
// size bytes of noise, the same every time: a file no decoder can read.
std::string NoiseBytes(size_t size = 20000);

// A folder of its own under the temporary folder, removed with everything in
// it when the object goes away.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "tlv");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
};

void RemoveFolderTree(const std::string& path);

// --- Waiting ----------------------------------------------------------------
// Polls condition every pollMs until it holds or timeoutMs have passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000, DWORD pollMs = 20);
// Handles this thread's messages while it waits (for tests that own windows).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// --- Processes and windows --------------------------------------------------
struct StartedProcess {
    HANDLE process = nullptr;
    DWORD id = 0;
};
// Starts commandLine (the program's path first, quoted when needed) with
// workingFolder as current directory (null: ours).
StartedProcess StartProcess(const std::string& commandLine, const char* workingFolder = nullptr);

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly = false);
std::string ClassNameOf(HWND window);
std::string TextOf(HWND window);
// The first top-level window of the process matching the predicate.
HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& predicate);
HWND WaitForWindowOf(DWORD processId, const std::function<bool(HWND)>& predicate,
                     DWORD timeoutMs = 10000);
// The first top-level window of any process whose caption is text.
HWND WaitForWindowCaption(const std::string& caption, DWORD timeoutMs = 10000);

// Ends every process whose executable lies in folder (fixtures started by
// the program under test); returns how many there were.
int KillProcessesInFolder(const std::string& folder);
// How many processes run from executables in folder.
int CountProcessesInFolder(const std::string& folder);

// A copy of tolvarin.scr in a temporary folder of its own, with its own
// tolvarin.ini, started as a process and observed from outside. Anything
// still running from that folder is ended when the object goes away.
class ProductProcess {
public:
    explicit ProductProcess(const std::string& executableName = "tolvarin.scr",
                            const std::string& sourcePath = ProductPath());
    ~ProductProcess();
    ProductProcess(const ProductProcess&) = delete;
    ProductProcess& operator=(const ProductProcess&) = delete;

    const std::string& Folder() const { return folder.Path(); }
    const std::string& ExecutablePath() const { return executablePath; }
    std::string IniPath() const { return folder.File("tolvarin.ini"); }
    std::string File(const std::string& name) const { return folder.File(name); }

    void WriteIni(const std::string& text) const;
    bool IniExists() const { return FileExists(IniPath()); }
    std::string ReadIni(const char* section, const char* key, const char* def = "<missing>") const;
    int ReadIniInt(const char* section, const char* key, int def) const;

    // Starts "<path>" arguments, with working folder workingFolder (null:
    // the test's own, so that the program has to find its folder itself).
    bool Start(const std::string& arguments, const char* workingFolder = nullptr);
    bool WaitForExit(DWORD timeoutMs = 10000) const;
    bool Running() const;
    DWORD ExitCode() const;
    DWORD Id() const { return started.id; }
    HANDLE Handle() const { return started.process; }
    void Kill();

    HWND WaitForWindow(const std::function<bool(HWND)>& predicate, DWORD timeoutMs = 10000) const;

private:
    TempFolder folder;
    std::string executablePath;
    StartedProcess started;
};

// The text of a message box (its static text control).
std::string MessageBoxText(HWND box);

// Answers the next message box (or dialog) with the given caption that a
// process shows: a thread waits for it, keeps its text and presses a button.
// processId 0 means any process.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer(DWORD processId, const std::string& caption, int buttonId = IDOK,
                       DWORD timeoutMs = 10000);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits for the thread; true when a box was found and answered.
    bool Wait();
    const std::string& Text() const { return text; }

private:
    static DWORD WINAPI Run(void* self);
    DWORD processId;
    std::string caption;
    int buttonId;
    DWORD timeoutMs;
    HANDLE thread = nullptr;
    bool answered = false;
    std::string text;
};

// --- Settings file ------------------------------------------------------------
std::string ReadIniString(const std::string& path, const char* section, const char* key,
                          const char* def = "<missing>");

// --- Registry: the screen-saver password flag ---------------------------------
void SetUsePasswordFlag(DWORD value);
// The stored value; *exists tells whether there is one.
DWORD GetUsePasswordFlag(bool* exists = nullptr);
void DeleteUsePasswordFlag();

// The stand-in password check (fixture password.cpl) in the system folder,
// where the program looks for the system's one, for the object's life.
class SystemPasswordCheck {
public:
    SystemPasswordCheck();
    ~SystemPasswordCheck();
    SystemPasswordCheck(const SystemPasswordCheck&) = delete;
    SystemPasswordCheck& operator=(const SystemPasswordCheck&) = delete;

private:
    std::string path;
};

// --- Registry: a stand-in for the system's Flash control ----------------------
// While it lives, the Flash control's class id is registered in this
// process's view of the registry (so for its bitness); a key that was there
// before is left alone.
class StandInFlashControl {
public:
    StandInFlashControl();
    ~StandInFlashControl();
    StandInFlashControl(const StandInFlashControl&) = delete;
    StandInFlashControl& operator=(const StandInFlashControl&) = delete;

private:
    bool created = false;
};

// --- Input --------------------------------------------------------------------
void MoveMouseTo(int x, int y);
// The user comes back: the mouse moves, and goes on moving until the
// condition holds (moves in quick succession are merged into one message,
// which a window may take as its first position).
bool MoveMouseUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
void PressKey(BYTE virtualKey);
void ClickLeft();

// --- Pixels and screenshots ---------------------------------------------------
COLORREF ScreenPixel(int x, int y);
// Captures the rectangle of the screen (the whole screen when rect is null)
// and saves it as ScreenshotFolder()\name.png. Returns the full path, or
// empty on failure.
std::string SaveScreenshot(const std::string& name, const RECT* rect = nullptr);
// Pixels of a window's client area, captured from the screen, row by row.
std::vector<COLORREF> CaptureClient(HWND window, int* width, int* height);

}  // namespace test
