// What every test may use: where the built files are, temporary folders,
// waiting with deadlines, the real tolvarin.scr started from a copy with its
// own tolvarin.ini, the fixtures' log, the registry flags, input and pixels.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

// What owns something of its own is not copied.
struct NoCopy {
    NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

// --- Where things are and files ----------------------------------------------
// The build folder (tolvarin.scr; the tests in tests\, fixtures in fixtures\).
std::string BuildFolder();
std::string ProductPath();
std::string FixturePath(const std::string& fileName);

bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// size bytes of noise, the same every time: a file no decoder can read.
std::string NoiseBytes(size_t size = 20000);
std::string ReadIniString(const std::string& path, const char* section, const char* key,
                          const char* def = "<missing>");

// A folder of its own under the temporary folder, removed with everything in
// it (after ending what still runs from it) when the object goes away.
class TempFolder : NoCopy {
public:
    explicit TempFolder(const std::string& prefix = "tlv");
    ~TempFolder();
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "\\" + name; }
    // A copy of a fixture at File(relativePath), its folders made.
    std::string PlaceFixture(const std::string& fixture, const std::string& relativePath) const;

private:
    std::string path;
};

// --- Waiting ------------------------------------------------------------------
// Looks at condition every pollMs until it holds or timeoutMs have passed;
// with pump, handles this thread's messages meanwhile (a dialog of another
// process may own a window of ours). Under Wine a window of ours that handles
// its messages may be raised above another process's topmost windows.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000, DWORD pollMs = 20, bool pump = false);

// --- Processes and windows ----------------------------------------------------
struct StartedProcess {
    HANDLE process = nullptr;
    DWORD id = 0;
};
StartedProcess StartProcess(const std::string& commandLine, const char* workingFolder = nullptr);

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly = false);
HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& predicate);
std::string ClassNameOf(HWND window);
std::string TextOf(HWND window);
// The text of a message box (its static text control).
std::string MessageBoxText(HWND box);
// Processes run from executables in folder: ended, or counted.
int KillProcessesInFolder(const std::string& folder);
int CountProcessesInFolder(const std::string& folder);

// The log the fixtures write (tests/fixtures/FixtureLog.h), at path; the
// environment points the fixtures at it while the object lives.
class FixtureLog : NoCopy {
public:
    explicit FixtureLog(std::string path);
    ~FixtureLog();
    // Its lines, or those that begin with prefix.
    std::vector<std::string> Lines(const std::string& prefix = "") const;
    int Count(const std::string& line) const;
    bool Has(const std::string& line) const { return Count(line) > 0; }
    bool Wait(const std::string& line, DWORD timeoutMs = 10000) const;
    // The first line that starts with prefix, without it; empty if none.
    std::string Value(const std::string& prefix) const;
    // The handle a fixture logged last as "window <name> <hex>".
    HWND Window(const std::string& name) const;

private:
    std::string path;
};

// A copy of tolvarin.scr in a temporary folder of its own with its own
// tolvarin.ini, started as a process and observed from outside; the
// fixtures started from that folder log into Log(). Whatever still runs from
// the folder is ended when the object goes away.
class ProductProcess : NoCopy {
public:
    explicit ProductProcess(const std::string& executableName = "tolvarin.scr",
                            const std::string& sourcePath = ProductPath());
    ~ProductProcess();

    const std::string& Folder() const { return folder.Path(); }
    std::string File(const std::string& name) const { return folder.File(name); }
    std::string PlaceFixture(const std::string& fixture, const std::string& relativePath) const {
        return folder.PlaceFixture(fixture, relativePath);
    }
    std::string IniPath() const { return folder.File("tolvarin.ini"); }
    void WriteIni(const std::string& text) const { WriteFileBytes(IniPath(), text); }
    std::string ReadIni(const char* section, const char* key, const char* def = "<missing>") const {
        return ReadIniString(IniPath(), section, key, def);
    }
    const FixtureLog& Log() const { return log; }

    // Starts "<path>" arguments in workingFolder (null: the test's own, so
    // that the program has to find its folder itself).
    bool Start(const std::string& arguments, const char* workingFolder = nullptr);
    bool WaitForExit(DWORD timeoutMs = 10000) const;
    bool Running() const;
    DWORD Id() const { return started.id; }
    HANDLE Handle() const { return started.process; }
    void Kill();
    HWND WaitForWindow(const std::function<bool(HWND)>& predicate, DWORD timeoutMs = 10000) const;

private:
    TempFolder folder;
    FixtureLog log;
    std::string executablePath;
    StartedProcess started;
};

// For its life, answers on this thread every error box ("エラー") as it
// opens, keeping its text, and hands any other window becoming active to
// other (if given).
class ErrorBoxAnswerer : NoCopy {
public:
    explicit ErrorBoxAnswerer(std::function<void(HWND)> other = nullptr);
    ~ErrorBoxAnswerer();
    std::vector<std::string> texts;
    std::function<void(HWND)> other;

private:
    HHOOK hook = nullptr;
};

// --- The registry ---------------------------------------------------------------
// The screen-saver password flag; *exists tells whether there is one.
void SetUsePasswordFlag(DWORD value);
DWORD GetUsePasswordFlag(bool* exists = nullptr);
void DeleteUsePasswordFlag();

// The stand-in password check (fixture password.cpl) in the system folder,
// where the program looks for the system's, for the object's life; answers
// as the fixture reads them (a character per check, '1' once they run out).
class SystemPasswordCheck : NoCopy {
public:
    explicit SystemPasswordCheck(const char* answers = "");
    ~SystemPasswordCheck();

private:
    std::string path;
};

// The Flash control's class id registered in this process's view of the
// registry for the object's life (a key that was there is left alone).
class StandInFlashControl : NoCopy {
public:
    StandInFlashControl();
    ~StandInFlashControl();

private:
    bool created = false;
};

// A text value of the registry set for the object's life; what was there
// before is put back (a value or key that was not is removed).
class RegistryText : NoCopy {
public:
    RegistryText(HKEY root, std::string key, const char* name, const std::string& text);
    ~RegistryText();

private:
    HKEY root;
    std::string key;
    std::string name;
    bool keyExisted = false;
    bool valueExisted = false;
    std::string before;
};

// For the object's life, ".html" files open (in this process's view of the
// registry) with the fixture test_program, which logs its command line and
// ends; what was there is put back.
class HtmlViewerStandIn : NoCopy {
public:
    HtmlViewerStandIn();
    ~HtmlViewerStandIn();
    // The file handed to it last, as the fixtures logged it.
    static std::string LastOpened(const FixtureLog& log);

private:
    RegistryText command;
    RegistryText association;
};

// --- Input and pixels -------------------------------------------------------------
void MoveMouseTo(int x, int y);
// The user comes back: the mouse moves to and fro from (x, 200) until the
// condition holds (moves in quick succession merge into one, which a window
// may take as its first position).
bool MoveMouseUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000, int x = 200);
void PressKey(BYTE virtualKey);

COLORREF ScreenPixel(int x, int y);
// Pixels of a rectangle of the screen as it shows them, row by row.
std::vector<COLORREF> CaptureScreen(const RECT& rect);
// Pixels of a window's client area as the screen shows them, row by row.
std::vector<COLORREF> CaptureClient(HWND window, int* width, int* height);
// Saves the rectangle of the screen (all of it when rect is null) as
// <build>\screenshots\<name>.png; returns the path, empty on failure.
std::string SaveScreenshot(const std::string& name, const RECT* rect = nullptr);

}  // namespace test
