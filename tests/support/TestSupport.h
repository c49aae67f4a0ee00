// What every test may use: where the built files are, temporary folders,
// waiting with deadlines, the real tolvarin.scr started from a copy with its
// own tolvarin.ini, the fixtures' log, the registry flags, input and pixels.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace test {

// What owns something of its own is not copied.
struct NoCopy {
    NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

// An environment variable of this process (null: removed) for the object's life.
class EnvironmentVariable : NoCopy {
public:
    EnvironmentVariable(std::string name, const char* value);
    ~EnvironmentVariable();

private:
    std::string name;
    bool existed = false;
    std::string before;
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
// The settings file's [LIST] of these stored values (marks included).
std::string ListIni(const std::vector<std::string>& values);

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
    EnvironmentVariable variable;
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

// For its life, answers every dialog box that this thread opens over a
// window of its own, once, when the box is up (its modal loop running):
// keeps an error box's ("エラー") text, hands the box to answer (if given) and
// cancels it if it is still there.
class DialogAnswerer : NoCopy {
public:
    explicit DialogAnswerer(std::function<void(HWND)> answer = nullptr);
    ~DialogAnswerer();
    std::vector<std::string> texts;
    int answered = 0;
    std::function<void(HWND)> answer;
    std::set<HWND> opened;  // created while it lives and not yet answered

private:
    HHOOK hook = nullptr;
};

// --- The registry and the environment ------------------------------------------
// A value of the registry set for the object's life (type REG_NONE: removed);
// what was there before is put back (a value or key that was not is removed).
class RegistryValue : NoCopy {
public:
    RegistryValue(HKEY root, std::string key, const char* name, DWORD type, const std::string& bytes);
    RegistryValue(HKEY root, std::string key, const char* name, const std::string& text)
        : RegistryValue(root, std::move(key), name, REG_SZ, std::string(text.c_str(), text.size() + 1)) {}
    ~RegistryValue();

private:
    HKEY root;
    std::string key;
    std::string name;
    bool keyExisted = false;
    DWORD typeBefore = REG_NONE;
    std::string before;
};

// The screen-saver password flag as value (-1: none) for the object's life.
struct UsePasswordFlag : RegistryValue {
    explicit UsePasswordFlag(int value);
};
// The flag now; *exists tells whether there is one.
DWORD GetUsePasswordFlag(bool* exists = nullptr);

// The stand-in password check (fixture password.cpl) in the system folder,
// where the program looks for the system's, for the object's life; answers
// as the fixture reads them (a character per check, '1' once they run out).
class SystemPasswordCheck : NoCopy {
public:
    explicit SystemPasswordCheck(const char* answers = "");
    ~SystemPasswordCheck();

private:
    EnvironmentVariable answers;
    std::string path;
};

// The Flash control's class id registered in this process's view of the
// registry for the object's life.
struct StandInFlashControl : RegistryValue {
    StandInFlashControl();
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
    RegistryValue command;
    RegistryValue association;
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
// Holds once the window's picture comes back to one it showed before, after
// showing another: a movie that has started over.
std::function<bool()> StartsOver(HWND window);
// A rectangle as left, top, right, bottom; a window's on the screen, or in
// within's client area.
using Rect = std::vector<LONG>;
Rect RectOf(const RECT& rect);
Rect Placed(HWND window, HWND within = nullptr);

}  // namespace test
