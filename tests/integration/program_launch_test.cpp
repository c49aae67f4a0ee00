// Starting screen savers and programs, in-process with a launch signal like
// the product's, against the real fixture program and screen saver: the
// launcher (command line and working folder, failed, slow, hidden and
// windowless starts, the end notice, stopping a launch), the program watch
// dialog (start and finish macros, the watch that ends a program on the
// user's mouse or keys), and the settings dialog's per-file settings and
// previews, the dialog the application's main window.
#include "players/LaunchRecord.h"
#include "players/ProgramWatchDialog.h"
#include "res/resource.h"
#include "settings/SettingsBackup.h"
#include "settings/SettingsFile.h"
#include "tests/fixtures/FixtureLog.h"
#include "tests/integration/support/InProcess.h"
#include "ui/FileCommandText.h"
#include "ui/FileDialogIds.h"
#include "ui/ProgramSettingsDialog.h"
#include "ui/SettingsDialog.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Notices = std::vector<std::pair<WPARAM, LPARAM>>;
constexpr auto kNoOutcome = static_cast<LaunchOutcome>(-1);
using Texts = std::vector<std::string>;
const Texts kCannotStart = {SettingsDialog::kCannotStartMessage};

// The cursor's show count of this thread.
int CursorCount() {
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

// The keys that reach the system's input stream while a test hooks them
// (a key macro's pauses are key code 0).
std::string keysDown;
LRESULT CALLBACK WatchKeys(int code, WPARAM message, LPARAM info) {
    DWORD key = reinterpret_cast<KBDLLHOOKSTRUCT*>(info)->vkCode;
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (code == HC_ACTION && key && down) keysDown += static_cast<char>(key);
    return CallNextHookEx(nullptr, code, message, info);
}

// The dialog that a command shows over the main window (a message box, a
// per-file dialog) has its text kept, is handed to the script, and is
// cancelled if it is still up.
std::function<void(HWND)> script;
Texts shownTexts;
void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND owner = App::Instance()->MainWindowHandle(), dialog = nullptr;
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) && GetWindow(dialog, GW_OWNER) != owner) {}
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    shownTexts.push_back(test::MessageBoxText(dialog));
    if (script) script(dialog);
    if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
HWND Player() { return FindWindowA(nullptr, TOLVARIN_PLAYER_CAPTION); }

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        watch.record = &record;
        record.path = program;
    }
    void TearDown() override {
        watch.StopProgram(false);
        app.app.SetMainWindow(&app.mainWindow);
        dialog.reset();
        DeleteFileA(SettingsBackup::DefaultBackupPath().c_str());
    }
    void Set(const char* suffix, const std::string& value, const std::string& path = "") const {
        const std::string key = settings::PerFileKey(path.empty() ? program : path, suffix);
        app.app.WriteProfileString(settings::kExeConfigSection, key.c_str(), value.c_str());
    }
    bool WaitForEnd() { return test::PumpAppUntil([&] { return !record.Running(); }, 15000); }
    // The end notices that reached the main window, everything queued
    // handled ({0, 0}, which no launch posts, when that failed).
    Notices NoticesNow() { return app.Drain() ? app.mainWindow.notices : Notices{{0, 0}}; }
    // The start notice of the launch of tag, handling messages until it comes.
    LaunchOutcome Outcome(LPARAM of) {
        LaunchOutcome found = kNoOutcome;
        test::PumpAppUntil([&] {
            for (const auto& notice : app.mainWindow.starts)
                if (notice.second == of) found = static_cast<LaunchOutcome>(notice.first);
            return found != kNoOutcome;
        }, 10000);
        return found;
    }
    LaunchOutcome Launch(const std::string& path, const char* options) {
        return record.Start(path, options, ++tag) ? Outcome(tag) : kNoOutcome;
    }
    // Runs the program as an owner does: its start, then on Shown its macro and watch.
    bool Run() { return watch.RunProgram(++tag) && Outcome(tag) == LaunchOutcome::Shown && watch.OnProgramShown(); }
    // Runs it watched, the pointer moved first (under Wine the server learns
    // its place only from a move), until the watch has the capture that its
    // injected press gives it.
    bool RunWatched() {
        test::MoveMouseTo(400, 300);
        return Run() && test::PumpAppUntil([&] { return GetCapture() == watch.Handle(); });
    }

    // Writes the list (and more) and opens the settings dialog as the main window.
    void Open(const Texts& paths, const std::string& more) {
        std::string ini = "[LIST]\r\nentry=" + std::to_string(paths.size() - 1);
        for (size_t i = 0; i < paths.size(); ++i)
            ini += "\r\nList" + std::to_string(i) + "=" + settings::kMarkOn + paths[i];
        app.WriteIni(ini + "\r\n[OTHER]\r\nSaverName=0\r\n" + more);
        dialog = std::make_unique<SettingsDialog>(nullptr);
        ASSERT_TRUE(dialog->CreateModeless(nullptr));
        app.app.SetMainWindow(dialog.get());
        ShowWindow(dialog->Handle(), SW_SHOW);
        SetForegroundWindow(dialog->Handle());
    }
    HWND List() const { return GetDlgItem(dialog->Handle(), IDC_SAVER_LIST); }
    // Selects row (if given) and sends a command as its button or menu item
    // does; the texts of the dialogs it showed, handling messages until
    // there are expected of them (a start's failure is told later).
    Texts Command(int id, int row = -1, std::function<void(HWND)> answer = nullptr, size_t expected = 0) {
        if (row >= 0) SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        script = std::move(answer);
        shownTexts.clear();
        UINT_PTR timer = SetTimer(nullptr, 0, 20, &AnswerDialog);
        SendMessageA(dialog->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        test::PumpAppUntil([&] { return shownTexts.size() >= expected; }, expected ? 10000 : 0);
        KillTimer(nullptr, timer);
        return shownTexts;
    }
    Texts Preview(int row, size_t expected = 0) { return Command(IDC_PREVIEW, row, nullptr, expected); }
    bool Usable() const { return IsWindowEnabled(dialog->Handle()) != FALSE; }
    // Handles messages until the dialog has handled a start notice.
    bool StartNoticed() {
        bool seen = false;
        test::PumpAppUntil([&] { return seen; }, 10000, [&](const MSG& m) {
            seen = seen || (m.message == kStartNoticeMessage && m.hwnd == dialog->Handle());
        });
        return seen;
    }
    // Handles messages until the dialog has handled an end notice; true when
    // it was the foreground window right after it (a late focus event of the
    // display may move it again). meanwhile runs between the looks.
    bool NoticeBringsDialogToFront(const std::function<void()>& meanwhile = [] {}) {
        int front = -1;
        const auto noticeHandled = [&] {
            if (front < 0) meanwhile();
            return front >= 0;
        };
        test::PumpAppUntil(noticeHandled, 15000, [&](const MSG& m) {
            if (front < 0 && m.message == kEndNoticeMessage && m.hwnd == dialog->Handle())
                front = GetForegroundWindow() == dialog->Handle();
        });
        return front == 1;
    }

    test::TestApp app;
    const std::string program = app.folder.PlaceFixture("test_program.exe", "Prog Dir\\prog.exe");
    LaunchRecord record;
    ProgramWatchDialog watch;
    LPARAM tag = 0;
    std::unique_ptr<SettingsDialog> dialog;
};

}  // namespace

// Unquoted, "...\Games Dir\My Saver.scr /s" would start "...\Games.exe" or
// "...\Games Dir\My.exe" first; both are there to be started by mistake.
// A start never waits: a slow starter is held while this thread handles
// its messages (a program's broadcast to every window among them) and shows
// once let go. A failed start and a program that shows no window within the
// search say so; the end of neither is posted. A launch still running when
// its record is reused or goes away is ended, with a window or without, and
// posts nothing then.
TEST_F(LaunchTest, StartsNeverWaitAndOnlyTheEndOfAShownProgramIsPosted) {
    const std::string saver = app.folder.PlaceFixture("test_saver.scr", "Games Dir\\My Saver.scr");
    for (const char* decoy : {"Games.exe", "Games Dir\\My.exe"}) app.folder.PlaceFixture("test_program.exe", decoy);
    ASSERT_EQ(Launch(saver, "/s"), LaunchOutcome::Shown);
    const LPARAM saverTag = tag;
    HWND window = record.ProgramWindow();
    EXPECT_TRUE(window && window == app.log.Window("saver"));
    EXPECT_EQ(app.log.Value("cmdline "), "\"" + saver + "\" /s");
    EXPECT_EQ(app.log.Value("cwd "), app.folder.File("Games Dir"));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForEnd());

    EXPECT_EQ(Launch(app.folder.File("gone.scr"), "/s"), LaunchOutcome::Failed);
    record.windowSearchMs = 300;
    EXPECT_EQ(Launch(program, "/nowindow"), LaunchOutcome::NoWindow);
    record.Stop();
    const DWORD stopped = GetTickCount();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_LT(GetTickCount() - stopped, 5000u) << "terminated at once";

    DeleteFileA(app.folder.File("fixture.log").c_str());
    HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, fixture::HoldEventName(1).c_str());
    ASSERT_TRUE(record.Start(program, "/hold:1 /broadcast", ++tag));
    ASSERT_TRUE(app.log.Wait("start"));
    EXPECT_TRUE(record.Starting() && !record.ProgramWindow());
    SetEvent(hold);
    EXPECT_EQ(Outcome(tag), LaunchOutcome::Shown);
    EXPECT_TRUE(app.log.Has("broadcast answered") && record.ProgramWindow() == app.log.Window("main"));
    CloseHandle(hold);
    ASSERT_EQ(Launch(program, ""), LaunchOutcome::Shown);  // the one before is closed
    EXPECT_TRUE(app.log.Wait("close main") && app.log.Count("close main") == 1);
    auto own = std::make_unique<LaunchRecord>();
    own->windowSearchMs = 300;
    ASSERT_TRUE(own->Start(program, "/nowindow", ++tag));
    EXPECT_TRUE(test::PumpAppUntil([&] { return test::CountProcessesInFolder(app.folder.Path()) == 2; }));
    own.reset();
    record.Stop();
    EXPECT_TRUE(test::PumpAppUntil([&] { return test::CountProcessesInFolder(app.folder.Path()) == 0; }, 15000));
    EXPECT_EQ(NoticesNow(), (Notices{{1, saverTag}}));
}

// A program that ends by itself posts its end once, after its window is set
// back to 0, and the record's handle still serves. When watched, it takes
// its owned watch window with it on Windows; Wine leaves one of another
// process's owner standing, so the test takes it down. The watch is undone
// then; the owner's StopProgram afterwards does nothing more. The options
// reach the program: it ends by itself.
TEST_F(LaunchTest, AProgramGetsItsOptionsAndStartMacroAndItsOwnEndUndoesTheWatch) {
    Set(settings::kOptionSuffix, "/life:1000");
    Set(settings::kStartSuffix, "T E F05 SHI+A alt+f05");
    Set(settings::kMouseSuffix, "1");
    const int cursor = CursorCount();
    ASSERT_TRUE(RunWatched());
    HWND window = record.ProgramWindow();
    const auto ended = [&] {
        window = record.ProgramWindow();
        return !app.mainWindow.notices.empty();
    };
    ASSERT_TRUE(window && test::PumpAppUntil(ended, 10000));
    EXPECT_EQ(window, nullptr) << "the window at the notice";
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(record.Process(), &code) && code == 0);
    HWND dialog = watch.Handle();
    if (IsWindow(dialog)) DestroyWindow(dialog);
    EXPECT_TRUE(CursorCount() == cursor && GetCapture() != dialog);
    EXPECT_TRUE(test::WaitUntil([] { return !(GetAsyncKeyState(VK_LBUTTON) & 0x8000); }));
    ASSERT_TRUE(WaitForEnd());
    watch.StopProgram();
    EXPECT_EQ(CursorCount(), cursor);
    std::string keys;
    for (const std::string& line : app.log.Lines()) keys += line.find("key ") != line.npos ? line + "," : "";
    EXPECT_EQ(keys, "key 54,key 45,key 74,key 10,key 41,syskey 12,syskey 74,");
    EXPECT_EQ(NoticesNow(), (Notices{{1, tag}}));
}

// The watch is a 1 x 1 pixel popup owned by the program's window; it hides
// the cursor and counts off the first moves; a move away from the reference
// then ends the program, which is terminated 10 s later when it ignores its
// WM_CLOSE. This thread goes on meanwhile.
TEST_F(LaunchTest, AMoveAwayEndsAProgramIgnoringCloseWithoutWaitingForIt) {
    Set(settings::kOptionSuffix, "/ignoreclose");
    Set(settings::kMouseSuffix, "1");
    const int cursor = CursorCount();
    ASSERT_TRUE(RunWatched());
    HWND dialog = watch.Handle();
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), record.ProgramWindow());
    EXPECT_TRUE((GetWindowLongA(dialog, GWL_STYLE) & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_VISIBLE)) ==
                    (WS_POPUP | WS_VISIBLE) && (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TRANSPARENT));
    RECT rect = {};
    EXPECT_TRUE(GetWindowRect(dialog, &rect) && rect.right - rect.left == 1 && rect.bottom - rect.top == 1);
    EXPECT_EQ(CursorCount(), cursor - 1);

    // A release (as after the watch's own press) arms the watch anew: moves sent straight to it now
    // meet a fresh count, whatever the system's own moves counted before. Three are ignored, the
    // fourth is the reference, and the first move away from it only takes the capture back.
    SendMessageA(dialog, WM_LBUTTONUP, 0, 0);
    for (LPARAM at : {10, 20, 30, 3, 3, 4}) SendMessageA(dialog, WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(GetCapture(), dialog);
    EXPECT_FALSE(app.log.Has("close main"));
    const DWORD start = GetTickCount();
    SendMessageA(dialog, WM_MOUSEMOVE, 0, 5);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(watch.Handle() == nullptr && GetCapture() != dialog && CursorCount() == cursor);
    EXPECT_TRUE(app.log.Wait("close main") && record.Running());
    ASSERT_TRUE(WaitForEnd());
    EXPECT_GE(GetTickCount() - start, 10000u - 500);
    EXPECT_TRUE(app.log.Count("close main") == 1 && !app.log.Has("exit"));
    EXPECT_EQ(NoticesNow(), (Notices{{1, tag}}));
}

// Also the keys that the dialog manager would keep for itself.
TEST_F(LaunchTest, EveryKeyEndsAWatchedProgramAndIsNotPassedOn) {
    Set(settings::kMouseSuffix, "1");
    const std::pair<BYTE, const char*> keys[] = {{VK_RETURN, "key 0D"}, {VK_ESCAPE, "key 1B"}, {VK_TAB, "key 09"},
                                                 {VK_DOWN, "key 28"}};
    for (const auto& key : keys) {
        SCOPED_TRACE(key.second);
        DeleteFileA(app.folder.File("fixture.log").c_str());
        app.mainWindow.notices.clear();
        ASSERT_TRUE(RunWatched());
        ASSERT_TRUE(test::PumpAppUntil([&] { return GetForegroundWindow() == watch.Handle(); }));
        test::PressKey(key.first);
        ASSERT_TRUE(WaitForEnd());
        EXPECT_TRUE(!watch.Handle() && app.log.Has("close main") && !app.log.Has(key.second));
        EXPECT_EQ(NoticesNow(), (Notices{{1, tag}}));
    }
}

// The finish macro follows WM_CLOSE to a program whose window is visible:
// not to a hidden one (which still gets the WM_CLOSE), nor to a screen
// saver, whatever the settings file holds.
TEST_F(LaunchTest, TheFinishMacroGoesToVisibleProgramsOnly) {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &WatchKeys, GetModuleHandleA(nullptr), 0);
    std::unique_ptr<HHOOK__, BOOL(WINAPI*)(HHOOK)> unhook(hook, &UnhookWindowsHookEx);
    Set(settings::kOptionSuffix, "/confirm");
    Set(settings::kFinishSuffix, "ENT");
    const int cursor = CursorCount();
    ASSERT_TRUE(Run());
    EXPECT_TRUE(!watch.Handle() && CursorCount() == cursor);  // no watch asked for
    watch.StopProgram();
    EXPECT_TRUE(WaitForEnd() && app.log.Has("confirmed"));
    EXPECT_EQ(keysDown, "\r") << "the hook sees the injected keys";

    Set(settings::kOptionSuffix, "/hiddenfirst");
    Set(settings::kFinishSuffix, "F03");
    ASSERT_TRUE(Run());
    // The first window in the enumeration is the program's, hidden or not.
    EXPECT_EQ(record.ProgramWindow(), app.log.Window("hidden"));
    watch.StopProgram();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(app.log.Count("close hidden") == 1 && app.log.Count("close main") == 1);  // main: the first's

    const std::string saver = app.folder.PlaceFixture("test_saver.scr", "saver.scr");
    Set(settings::kFinishSuffix, "F03", saver);
    ASSERT_EQ(Launch(saver, "/s"), LaunchOutcome::Shown);
    watch.StopProgram();
    EXPECT_TRUE(WaitForEnd() && app.log.Has("close"));
    test::PressKey(VK_F10);  // a key behind any that was sent
    ASSERT_TRUE(test::PumpAppUntil([] { return keysDown.size() > 1; }));
    EXPECT_EQ(keysDown, "\r\x79");  // Enter, F10: no F3
    EXPECT_EQ(NoticesNow(), (Notices{{1, tag - 2}, {1, tag - 1}, {1, tag}}));
}

// --- The settings dialog ------------------------------------------------------------

// A double-click previews its row and never moves it. A saver previews
// beside a usable dialog, a program with the dialog disabled until it ends
// (by itself, or by the watch on the mouse) or hides its window; each end
// brings the dialog to the front. A saver still running is closed before
// the next preview and posts nothing; a late notice of an earlier preview or
// a player's leaves a running program alone. A preview still starting is
// not replaced by another, and leaving the dialog ends what it started.
// A saver is configured by its own file, the dialog its parent, and is not
// waited for; the program and Flash settings and the about box run modally
// over the dialog; the program settings' OK saves the dialog's state with
// them, their Cancel nothing, and leaving without saving undoes both. Other
// files get the shell's property sheet (a stub under Wine), and no message.
// A movie previews beside a usable dialog too (once it has opened; another
// preview is refused meanwhile); a missing one, and Flash where there is no
// control, cannot start.
TEST_F(LaunchTest, EachKindOfFileHasItsOwnPreviewAndSettingsAndOnlyOkSaves) {
    const std::string saver = app.folder.PlaceFixture("test_saver.scr", "My Savers\\star field.scr");
    const std::string watched = app.folder.PlaceFixture("test_program.exe", "w\\watched.exe");
    Open({app.folder.File("gone.scr"), saver, program, watched, app.folder.File("none.exe"), "C:\\x.swf",
          test::FixturePath("clips\\clip.avi"), "C:\\m\\clip.dat", "C:\\" + std::string(300, 'd') + "\\clip.avi"},
         "[EXE_CONFIG]\r\n" + watched + "@mouse=1\r\n");
    const std::string atOpening = test::ReadFileBytes(app.IniPath());
    test::PumpAppUntil([&] { return GetForegroundWindow() == dialog->Handle(); }, 3000);
    RECT item = {};
    SendMessageA(List(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(List(), nullptr, reinterpret_cast<POINT*>(&item), 2);
    test::MoveMouseTo(item.left + 20, (item.top + item.bottom) / 2);
    test::PumpQueued();
    for (int i = 0; i < 4; ++i) mouse_event(i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ASSERT_TRUE(StartNoticed() && app.log.Window("saver"));
    EXPECT_TRUE(app.log.Value("cmdline ") == "\"" + saver + "\" /s" && Usable());
    PostMessageA(app.log.Window("saver"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(NoticeBringsDialogToFront());
    for (LONG y = item.top; y < item.bottom + 40; y += 4) {  // the mouse over the rows below
        test::MoveMouseTo(item.left + 20, y);
        test::PumpQueued();
    }
    EXPECT_NE(GetCapture(), List());

    EXPECT_TRUE(Command(ID_FILE_PREVIEW).empty() && StartNoticed());
    EXPECT_TRUE(Preview(2).empty() && test::PumpAppUntil([&] { return !Usable(); }));
    EXPECT_TRUE(app.log.Wait("close") && app.log.Count("close") == 2);
    for (WPARAM launched : {1, 0}) PostMessageA(dialog->Handle(), kEndNoticeMessage, launched, 0);
    test::PumpQueued();
    EXPECT_TRUE(!Usable() && !app.log.Has("close main"));
    PostMessageA(app.log.Window("main"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(NoticeBringsDialogToFront() && Usable());
    // A program that hides its window (to the notification area) gives the dialog back at once.
    EXPECT_TRUE(Preview(2).empty() && test::PumpAppUntil([&] { return !Usable(); }));
    ShowWindow(app.log.Window("main"), SW_HIDE);
    EXPECT_TRUE(test::PumpAppUntil([&] { return Usable(); }));

    test::MoveMouseTo(500, 400);
    EXPECT_TRUE(Preview(3).empty() && test::PumpAppUntil([&] { return !Usable(); }));
    int step = 0;
    EXPECT_TRUE(NoticeBringsDialogToFront([&] { test::MoveMouseTo(300 + (step++ % 5) * 40, 300); }));
    EXPECT_TRUE(Usable() && app.log.Count("close main") == 3);  // the hidden one's too
    for (int row : {0, 4}) EXPECT_EQ(Preview(row, 1), kCannotStart) << row;
    EXPECT_TRUE(Usable() && dialog->RowPath(1) == saver && dialog->RowPath(3) == watched);  // none moved

    EXPECT_TRUE(Command(IDC_FILE_SETTINGS, 1).empty());
    EXPECT_TRUE(app.log.Wait("configure") && Usable());
    EXPECT_TRUE(app.log.Has("cmdline \"" + saver + "\" /c:" + HandleAsDecimal(dialog->Handle())));
    EXPECT_EQ(Command(ID_FILE_SETTINGS, 0), kCannotStart);
    SendMessageA(dialog->Handle(), WM_COMMAND, IDC_TOGGLE, 0);  // unsaved until the settings' OK
    const std::pair<int, int> modals[] = {{2, IDC_PROGRAM_OPTION}, {5, IDC_FLASH_LIST}, {-1, IDC_ABOUT_VERSION}};
    for (const auto& modal : modals) {  // row -1: the about box
        EXPECT_EQ(Command(modal.first < 0 ? ID_HELP_ABOUT : IDC_FILE_SETTINGS, modal.first, [&](HWND shown) {
                      EXPECT_TRUE(!Usable() && GetDlgItem(shown, modal.second)) << modal.second;
                      SetDlgItemTextA(shown, IDC_PROGRAM_OPTION, "/never");
                  }).size(), 1u) << modal.second;
    }
    for (int row : {6, 7, 8}) EXPECT_TRUE(Command(IDC_FILE_SETTINGS, row).empty()) << row;
    EXPECT_EQ(test::ReadFileBytes(app.IniPath()), atOpening);

    // A movie opening is not replaced by another preview either.
    const int saverStarts = app.log.Count("cmdline \"" + saver);
    EXPECT_TRUE(Command(IDC_PREVIEW, 6).empty() && Preview(1).empty() && StartNoticed() && Usable());
    EXPECT_EQ(app.log.Count("cmdline \"" + saver), saverStarts);
    HWND player = Player();
    PostMessageA(player, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(NoticeBringsDialogToFront());  // as the end of a preview that is no program
    EXPECT_TRUE(player && !IsWindow(player) && Usable());
    for (int row : {7, 5}) {
        EXPECT_EQ(Command(IDC_PREVIEW, row), kCannotStart) << row;
        EXPECT_EQ(Player(), nullptr) << row;
    }
    // An option in quotes reaches the program whole, also after the next OK,
    // which writes what the dialog read back; a line break is refused.
    const std::string quoted = "\"C:\\My Shows\\deck one.pps\"";
    test::ErrorBoxAnswerer errors;
    for (const char* typed : {"/a\r\n/b", quoted.c_str(), ""}) Command(ID_FILE_SETTINGS, 2, [&](HWND shown) {
        if (*typed) SetDlgItemTextA(shown, IDC_PROGRAM_OPTION, typed);
        SendMessageA(shown, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(errors.texts, Texts{ProgramSettingsDialog::kLineBreakMessage});
    EXPECT_TRUE(Preview(2).empty() && StartNoticed());
    EXPECT_EQ(app.log.Lines("cmdline ").back(), "cmdline \"" + program + "\" " + quoted);
    PostMessageA(app.log.Window("main"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(NoticeBringsDialogToFront());
    EXPECT_EQ(app.Read("LIST", "List0"), settings::kMarkOff + app.folder.File("gone.scr"));
    // While a preview starts, another is refused: the held one comes up
    // when let go. Leaving the dialog ends what it started.
    Set(settings::kOptionSuffix, "/hold:2", watched);
    HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, fixture::HoldEventName(2).c_str());
    EXPECT_TRUE(Preview(3).empty() && app.log.Wait("cmdline \"" + watched + "\" /hold:2"));
    EXPECT_TRUE(Preview(1).empty() && Usable());
    SetEvent(hold);
    CloseHandle(hold);
    EXPECT_TRUE(test::PumpAppUntil([&] { return !Usable(); }));
    SendMessageA(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
    dialog.reset();  // a modal one goes by itself
    EXPECT_TRUE(test::WaitUntil([&] { return test::CountProcessesInFolder(app.folder.File("w")) == 0; }, 15000));
    EXPECT_EQ(test::ReadFileBytes(app.IniPath()), atOpening);
}
