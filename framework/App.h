// The application object: one per process. It owns the command line, the
// settings file that the profile calls read and write, the main-window
// pointer through which players and launcher reach the main window, and the
// one message loop of the process.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

class Window;

class App {
public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The process's one instance (the most recently constructed one).
    static App* Instance();

    // The whole life of the process: InitInstance, the message loop when it
    // returned TRUE, ExitInstance (always). Returns the process exit code.
    int Main(HINSTANCE instance);

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The user's session ends (log-off, shutdown): once our windows have
    // answered, the system ends the process without ExitInstance. Runs when
    // one of our windows gets WM_ENDSESSION with wParam TRUE, once for each
    // such window; a log-off that was cancelled (wParam FALSE) runs nothing.
    virtual void OnEndSession() {}

    // Runs the message loop until WM_QUIT; returns its exit code.
    int Run();
    // Takes one message from the queue and handles it. Returns false when the
    // message was WM_QUIT (which is left for the caller to act on).
    bool PumpMessage(int* quitCode = nullptr);
    // Offers a queued message to our windows on the way from its target up
    // through its parents (and owners), until one takes it.
    static bool PreTranslate(MSG& message);

    // The command line, split as the C runtime splits it. The texts are the
    // process's own writable copies: a caller may change them in place.
    int ArgumentCount() const { return static_cast<int>(arguments.size()); }
    char* Argument(int index);
    // Replaces the command line (for a program that embeds the object).
    void SetArguments(const std::vector<std::string>& texts);

    HINSTANCE Handle() const { return instance; }
    // The executable's full path.
    std::string ModulePath() const;

    // The private profile file behind the profile calls.
    void SetProfileName(const std::string& path) { profileName = path; }
    const std::string& ProfileName() const { return profileName; }

    // The key's decimal value (a leading minus sign honoured); a missing or
    // empty value gives def.
    int GetProfileInt(const char* section, const char* key, int def) const;
    // The key's text, at most 4095 bytes; a missing key gives def, and a null
    // def the empty text.
    std::string GetProfileString(const char* section, const char* key,
                                 const char* def = nullptr) const;
    // Writes "%d" of value.
    BOOL WriteProfileInt(const char* section, const char* key, int value) const;
    // Replaces or adds the key; a null value deletes it.
    BOOL WriteProfileString(const char* section, const char* key, const char* value) const;

    // The main window: players, the launcher and the password check address
    // it. Cleared when that window is destroyed. Set and read on the
    // user-interface thread.
    Window* MainWindow() const { return mainWindow; }
    void SetMainWindow(Window* window);
    HWND MainWindowHandle() const;
    // Posts to the main window when there is one; false otherwise. Safe from
    // any thread: other threads use a copy of the main window's handle that
    // the user-interface thread keeps up to date (NoteMainWindow), never the
    // object itself, which may be going away at that moment.
    bool PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) const;
    // Refreshes that copy; run when the main window is set and when its
    // window is created or destroyed.
    void NoteMainWindow();

protected:
    HINSTANCE instance = nullptr;

private:
    std::vector<std::vector<char>> arguments;
    std::string profileName;
    Window* mainWindow = nullptr;
    DWORD userInterfaceThread = GetCurrentThreadId();
    std::atomic<HWND> mainWindowForThreads{nullptr};
};
