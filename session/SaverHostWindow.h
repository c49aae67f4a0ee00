// The saver session's host window: a hidden, topmost, full-screen popup that
// controls the session. It reads the session's settings, starts the first
// entry from inside its own creation, keeps track of what is on the screen,
// switches entries on its timer, asks for the password when the system
// requires one, and ends the session by closing itself; the process ends
// with it.
//
// It never waits for what it starts: a launched saver or program reports
// what its start found with a start notice, and while it starts the start
// cover hides the desktop. Every entry gets a tag of its own, which its
// notices carry; notices of an entry already replaced are ignored.
#pragma once

#include "framework/Window.h"
#include "players/LaunchRecord.h"
#include "players/ProgramWatchDialog.h"
#include "session/EntryPool.h"
#include "session/MonitorCovers.h"
#include "session/MonitorShows.h"
#include "session/StartCover.h"
#include "session/SwitchSchedule.h"

#include <string>

class SaverHostWindow : public Window {
public:
    // Reads the settings and prepares the pool. passLock: the user has the
    // system's password on (suspended for the session, or left on where that
    // could not be recorded), so an end asks for the password first.
    explicit SaverHostWindow(bool passLock);
    ~SaverHostWindow() override;

    // Creates the window; its creation starts the first entry. On FALSE the
    // object has already deleted itself.
    virtual BOOL CreateHostWindow();

    // Picks the next entry and starts it, and with a show on every monitor
    // every other monitor's too.
    void StartNextEntry();
    // Opens a cover window for the current entry and makes it the current
    // window.
    void ShowCover();
    // The end notice of what was on the screen.
    LRESULT OnSaverEnded(WPARAM wParam, LPARAM lParam);
    // The start notice of a launched saver or program.
    LRESULT OnStartNotice(WPARAM wParam, LPARAM lParam);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    void OnSwitchTimer();
    void OnDestroy();
    // The switch timer set or killed as the schedule says.
    void ApplySchedule();
    // The current entry could not be put on the screen: the cover window,
    // and for a program a full switching period from now.
    void OnStartFailed();
    // The primary monitor's part of StartNextEntry.
    void StartPrimaryEntry();
    // Another monitor's pick: no program, rather nothing shown already.
    bool PickForMonitor(std::string& entry, const std::vector<std::string>& shown);
    // A tag for a new entry on any monitor.
    LPARAM NewTag() { return ++lastTag; }
    void ShowStartCover();
    void CloseStartCover();
    // The user has come back: what runs is stopped, then the password.
    void EndSession();
    void CheckPassword();
    // The user's input over a cover of another monitor.
    void OnCoverInput(UINT message);

    // A player or the cover window, by its handle: a player that fails as
    // it starts destroys itself before its start notice comes.
    HWND currentWindow = nullptr;
    StartCover* startCover = nullptr;  // while an entry starts; owns itself
    // The current entry's tag; never 0, which nothing of ours posts.
    LPARAM entryTag = 0;
    LPARAM lastTag = 0;
    int onCount = 0;
    LaunchRecord launch;
    // Set while the password is asked for: end notices are ignored then.
    bool checkingPassword = false;
    ProgramWatchDialog watchDialog;
    std::string currentEntry;
    EntryPool pool;
    int order = 0;
    SwitchSchedule schedule;
    const char* windowClassName = nullptr;
    MonitorCovers covers;  // the other monitors, from creation to destruction
    bool allMonitors = false;
    MonitorShows shows;  // theirs, with a show on every monitor
    bool passLock;
};
