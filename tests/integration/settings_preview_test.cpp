// The settings dialog's per-file settings and preview commands, in-process
// with a launch signal like the product's and the dialog as the main
// window, against the fixture screen saver and program, a small movie and
// a stand-in Flash file.
#include "settings/SettingsBackup.h"
#include "settings/SettingsFile.h"
#include "res/resource.h"
#include "tests/integration/support/FullScreenSupport.h"
#include "tests/integration/support/LaunchSupport.h"
#include "tests/integration/support/SettingsDialogDriver.h"
#include "ui/FileCommandText.h"
#include "ui/FileDialogIds.h"
#include "ui/SettingsDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using launchtest::LaunchEnvironment;
using launchtest::PumpAppUntil;

namespace {

using Texts = std::vector<std::string>;

const std::string kOn = settings::kMarkOn;
const std::string kOff = settings::kMarkOff;

struct ThreadWindowSearch {
    HWND exclude;
    bool dialogsOnly;
    HWND found;
};

BOOL CALLBACK MatchThreadWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ThreadWindowSearch*>(parameter);
    if (window == search->exclude || !IsWindowVisible(window)) return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (search->dialogsOnly != (std::string(name) == "#32770")) return TRUE;
    search->found = window;
    return FALSE;
}

// A visible top-level window of this thread other than exclude: a dialog,
// or (dialogsOnly false) any other kind of window.
HWND FindThreadWindow(HWND exclude, bool dialogsOnly) {
    ThreadWindowSearch search = {exclude, dialogsOnly, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchThreadWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs script on the first dialog other than the settings dialog that this
// thread shows from inside a command, then cancels it if it is still up.
class NextDialog {
public:
    NextDialog(HWND settings, std::function<void(HWND)> script)
        : settings(settings), script(std::move(script)) {
        current = this;
        timer = SetTimer(nullptr, 0, 20, &Tick);
    }
    ~NextDialog() {
        if (timer) KillTimer(nullptr, timer);
        current = nullptr;
    }
    bool Seen() const { return seen; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        NextDialog* self = current;
        if (!self || self->seen) return;
        HWND dialog = FindThreadWindow(self->settings, true);
        if (!dialog) return;
        self->seen = true;
        KillTimer(nullptr, self->timer);
        self->timer = 0;
        self->script(dialog);
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    static NextDialog* current;
    HWND settings;
    std::function<void(HWND)> script;
    UINT_PTR timer = 0;
    bool seen = false;
};
NextDialog* NextDialog::current = nullptr;

class SettingsPreviewTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(SettingsBackup::DefaultBackupPath().c_str()); }
    void TearDown() override {
        env.app.SetMainWindow(&env.mainWindow);
        dialog.reset();
        sd::PumpPending();
        DeleteFileA(SettingsBackup::DefaultBackupPath().c_str());
    }

    std::string Ini() const { return env.folder.File("tolvarin.ini"); }
    std::string IniBytes() const { return test::ReadFileBytes(Ini()); }
    std::string IniValue(const char* section, const std::string& key) const {
        return test::ReadIniString(Ini(), section, key.c_str());
    }
    void WriteList(const std::vector<std::string>& paths) const {
        std::string text = "[LIST]\r\nentry=" + std::to_string(static_cast<int>(paths.size()) - 1) + "\r\n";
        for (size_t i = 0; i < paths.size(); ++i) {
            text += "List" + std::to_string(i) + "=" + kOn + paths[i] + "\r\n";
        }
        text += "[OTHER]\r\nSaverName=0\r\n";
        test::WriteFileBytes(Ini(), text);
    }
    // Opens the dialog as the application's main window, row row selected.
    void Open(int row = 0) {
        dialog = std::make_unique<SettingsDialog>(nullptr);
        ASSERT_TRUE(dialog->CreateModeless(nullptr));
        env.app.SetMainWindow(dialog.get());
        ShowWindow(dialog->Handle(), SW_SHOW);
        SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        sd::PumpPending();
    }
    HWND List() const { return GetDlgItem(dialog->Handle(), IDC_SAVER_LIST); }
    // Sends a command as its button or menu item does; returns the error
    // boxes it showed.
    Texts Command(int id) {
        sd::ErrorBoxes boxes;
        SendMessageA(dialog->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        return boxes.Stop();
    }
    bool Usable() const { return IsWindowEnabled(dialog->Handle()) != FALSE; }
    // Handles messages until the dialog has handled an end notice; true
    // when the dialog was the foreground window right after it. (Looked at
    // then: a late focus event of the display may move it again.)
    // meanwhile runs whenever the queue is empty.
    bool NoticeBringsDialogToFront(const std::function<void()>& meanwhile = nullptr,
                                   DWORD timeoutMs = 15000) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            MSG message;
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (meanwhile) meanwhile();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                continue;
            }
            if (message.message == WM_QUIT) continue;
            if (!App::PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (message.message == kEndNoticeMessage && message.hwnd == dialog->Handle()) {
                return GetForegroundWindow() == dialog->Handle();
            }
        }
        return false;
    }
    Texts Paths() const {
        Texts paths;
        for (int i = 0; i < dialog->RowCount(); ++i) paths.push_back(dialog->RowPath(i));
        return paths;
    }

    LaunchEnvironment env;
    std::unique_ptr<SettingsDialog> dialog;
    const Texts cannotStart = {SettingsDialog::kCannotStartMessage};
};

// --- Per-file settings -----------------------------------------------------------

TEST_F(SettingsPreviewTest, AScreenSaverIsConfiguredByItsOwnFileWithTheDialogAsParent) {
    const std::string saver = env.PlaceFixture("test_saver.scr", "My Savers\\star field.scr");
    const std::string missing = env.folder.File("My Savers\\gone.scr");
    WriteList({saver, missing});
    Open(0);
    EXPECT_TRUE(Command(IDC_FILE_SETTINGS).empty());
    ASSERT_TRUE(env.WaitForLog("configure"));
    EXPECT_EQ(env.LogValue("cmdline "), "\"" + saver + "\" /c:" + HandleAsDecimal(dialog->Handle()));
    EXPECT_EQ(env.LogValue("module "), saver);
    // The dialog does not wait for the configuration.
    EXPECT_TRUE(Usable());

    SendMessageA(List(), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(Command(ID_FILE_SETTINGS), cannotStart);
    EXPECT_TRUE(Usable());
}

TEST_F(SettingsPreviewTest, ProgramSettingsOkWritesAtOnceCancelWritesNothingAndLeavingUndoesIt) {
    const std::string program = "C:\\Games\\puzzle.exe";
    WriteList({program, "C:\\x.scr"});
    const std::string atOpening = IniBytes();
    Open(1);
    SendMessageA(dialog->Handle(), WM_COMMAND, IDC_TOGGLE, 0);  // unsaved until the settings' OK
    SendMessageA(List(), LB_SETCURSEL, 0, 0);

    // Cancel in the program settings: nothing is written.
    HWND dialogSeen = nullptr;
    {
        NextDialog next(dialog->Handle(), [&](HWND d) {
            dialogSeen = d;
            SetDlgItemTextA(d, IDC_PROGRAM_OPTION, "/never");
        });
        EXPECT_TRUE(Command(IDC_FILE_SETTINGS).empty());
        EXPECT_TRUE(next.Seen());
    }
    EXPECT_EQ(test::TextOf(dialogSeen), "");  // gone
    EXPECT_EQ(IniBytes(), atOpening);

    // OK: its five keys, then the settings dialog's own state.
    {
        NextDialog next(dialog->Handle(), [&](HWND d) {
            EXPECT_FALSE(Usable());
            SetDlgItemTextA(d, IDC_PROGRAM_OPTION, "/full");
            SetDlgItemTextA(d, IDC_PROGRAM_START_MACRO, "ENTER");
            SendMessageA(d, WM_COMMAND, IDOK, 0);
        });
        EXPECT_TRUE(Command(ID_FILE_SETTINGS).empty());
        EXPECT_TRUE(next.Seen());
    }
    EXPECT_EQ(IniValue("EXE_CONFIG", program + "@option"), "/full");
    EXPECT_EQ(IniValue("EXE_CONFIG", program + "@start"), "ENTER");
    for (const char* suffix : {"@finish", "@mouse", "@change"}) {
        EXPECT_NE(IniValue("EXE_CONFIG", program + suffix), "<missing>") << suffix;
    }
    EXPECT_EQ(IniValue("LIST", "List1"), kOff + "C:\\x.scr");

    // Leaving the settings dialog without saving undoes both.
    SendMessageA(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(IniBytes(), atOpening);
}

TEST_F(SettingsPreviewTest, FlashSettingsAndTheAboutBoxRunModallyOverTheDialog) {
    const std::string movie = "C:\\clips\\intro.swf";
    WriteList({movie});
    const std::string atOpening = IniBytes();
    Open(0);
    {
        NextDialog next(dialog->Handle(), [&](HWND d) {
            EXPECT_NE(GetDlgItem(d, IDC_FLASH_LIST), nullptr);
            EXPECT_FALSE(Usable());
        });
        EXPECT_TRUE(Command(IDC_FILE_SETTINGS).empty());
        EXPECT_TRUE(next.Seen());
    }
    EXPECT_EQ(IniBytes(), atOpening);
    {
        NextDialog next(dialog->Handle(), [&](HWND d) {
            EXPECT_NE(GetDlgItem(d, IDC_ABOUT_VERSION), nullptr);
            EXPECT_FALSE(Usable());
        });
        EXPECT_TRUE(Command(ID_HELP_ABOUT).empty());
        EXPECT_TRUE(next.Seen());
    }
    EXPECT_TRUE(Usable());
}

TEST_F(SettingsPreviewTest, MoviesAndUnknownKindsAskTheShellAndReportNothing) {
    // (The platform's property sheet is a stub under Wine: it shows nothing.)
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\clip.avi";
    WriteList({"C:\\m\\clip.avi", "C:\\m\\clip.dat", deep});
    Open(0);
    for (int row = 0; row < 3; ++row) {
        SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        EXPECT_TRUE(Command(IDC_FILE_SETTINGS).empty()) << row;
        EXPECT_TRUE(Usable());
    }
}

// --- Preview -----------------------------------------------------------------------

TEST_F(SettingsPreviewTest, AScreenSaverPreviewsBesideAUsableDialogWhichComesBackToTheFront) {
    const std::string saver = env.PlaceFixture("test_saver.scr", "s\\stars.scr");
    WriteList({saver, env.folder.File("s\\missing.scr")});
    Open(0);
    EXPECT_TRUE(Command(IDC_PREVIEW).empty());
    EXPECT_TRUE(Usable());
    EXPECT_EQ(env.LogValue("cmdline "), "\"" + saver + "\" /s");
    HWND window = env.LoggedWindow("saver");
    ASSERT_NE(window, nullptr);

    // The saver ends; its end notice brings the dialog to the front.
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(env.WaitForLog("exit"));
    EXPECT_TRUE(NoticeBringsDialogToFront());
    EXPECT_TRUE(Usable());

    // A missing saver: the message, and the dialog is usable at once.
    SendMessageA(List(), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(Command(ID_FILE_PREVIEW), cannotStart);
    EXPECT_TRUE(Usable());
}

TEST_F(SettingsPreviewTest, AProgramPreviewDisablesTheDialogUntilTheProgramEnds) {
    const std::string program = env.PlaceFixture("test_program.exe", "p\\prog.exe");
    const std::string missing = env.folder.File("p\\none.exe");
    WriteList({program, missing});
    env.SetEntry(program, settings::kOptionSuffix, "/life:1500");
    env.SetEntry(program, settings::kMouseSuffix, "0");
    Open(0);
    EXPECT_TRUE(Command(IDC_PREVIEW).empty());
    EXPECT_EQ(env.LogValue("cmdline "), "\"" + program + "\" /life:1500");
    EXPECT_FALSE(Usable());

    ASSERT_TRUE(env.WaitForLog("exit", 15000));
    EXPECT_TRUE(NoticeBringsDialogToFront());
    EXPECT_TRUE(Usable());

    SendMessageA(List(), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(Command(IDC_PREVIEW), cannotStart);
    EXPECT_TRUE(Usable());
}

// A saver preview still running is closed before the next preview starts,
// and posts nothing then; only the program's own end notice stops the
// program preview. No preview outlives the dialog.
TEST_F(SettingsPreviewTest, EachPreviewIsEndedOnlyByItsOwnEndAndNoneOutlivesTheDialog) {
    const std::string saver = env.PlaceFixture("test_saver.scr", "s\\stars.scr");
    const std::string program = env.PlaceFixture("test_program.exe", "p\\prog.exe");
    WriteList({saver, program});
    env.SetEntry(program, settings::kMouseSuffix, "0");
    Open(0);
    EXPECT_TRUE(Command(IDC_PREVIEW).empty());
    HWND saverWindow = env.LoggedWindow("saver");
    ASSERT_NE(saverWindow, nullptr);
    SendMessageA(List(), LB_SETCURSEL, 1, 0);
    EXPECT_TRUE(Command(IDC_PREVIEW).empty());
    EXPECT_TRUE(env.LogHas("close"));
    EXPECT_FALSE(IsWindow(saverWindow));
    HWND programWindow = env.LoggedWindow("main");
    ASSERT_NE(programWindow, nullptr);

    // A late saver notice and a player's notice leave the program running.
    PostMessageA(dialog->Handle(), kEndNoticeMessage, 1, 0);
    PostMessageA(dialog->Handle(), kEndNoticeMessage, 0, 0);
    sd::PumpPending();
    EXPECT_FALSE(Usable());
    EXPECT_FALSE(env.LogHas("close main"));
    PostMessageA(programWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(NoticeBringsDialogToFront());
    EXPECT_TRUE(Usable());

    SendMessageA(List(), LB_SETCURSEL, 0, 0);
    EXPECT_TRUE(Command(IDC_PREVIEW).empty());
    ASSERT_EQ(env.CountLog("start"), 3);
    dialog.reset();
    EXPECT_EQ(env.CountLog("exit"), 3);
}

TEST_F(SettingsPreviewTest, AWatchedProgramEndsOnTheMouseAndTheLateNoticeFindsItEnded) {
    const std::string program = env.PlaceFixture("test_program.exe", "w\\watched.exe");
    WriteList({program});
    env.SetEntry(program, settings::kMouseSuffix, "1");
    Open(0);
    test::MoveMouseTo(500, 400);
    EXPECT_TRUE(Command(IDC_PREVIEW).empty());
    EXPECT_FALSE(Usable());

    // The user moves the mouse: the watch closes the program and enables
    // the dialog; the launch thread's notice then stops it once more.
    int step = 0;
    EXPECT_TRUE(NoticeBringsDialogToFront([&] { test::MoveMouseTo(300 + (step++ % 5) * 40, 300); }));
    EXPECT_TRUE(Usable());
    EXPECT_EQ(env.CountLog("close main"), 1);
    EXPECT_EQ(env.CountLog("exit"), 1);
}

TEST_F(SettingsPreviewTest, FlashAndMoviePreviewsEndOnInputAndLeaveTheDialogAlone) {
    const std::string movie = env.folder.File("clip.avi");
    ASSERT_TRUE(fs::WriteTestAvi(movie, 64, 48, 10, 10));
    const std::string flash = env.folder.File("clip.swf");
    test::WriteFileBytes(flash, "FWS not really a movie");
    const std::string noise = env.folder.File("noise.mp4");
    test::WriteFileBytes(noise, test::NoiseBytes());
    WriteList({flash, movie, env.folder.File("gone.avi"), noise});
    auto flashControl = std::make_unique<test::StandInFlashControl>();
    Open(0);
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        EXPECT_TRUE(Command(IDC_PREVIEW).empty());
        EXPECT_TRUE(Usable());
        HWND player = FindThreadWindow(dialog->Handle(), false);
        ASSERT_NE(player, nullptr);
            PostMessageA(player, WM_KEYDOWN, 'A', 0);
        // The notice is handled as the end of a preview that is no program:
        // the dialog comes to the front and stays usable.
        EXPECT_TRUE(NoticeBringsDialogToFront());
        EXPECT_FALSE(IsWindow(player));
        EXPECT_TRUE(Usable());
    }
    // A missing movie, one that nothing decodes, and a Flash file where the
    // system has no Flash.
    flashControl.reset();
    for (int row : {2, 3, 0}) {
        SCOPED_TRACE(row);
        SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        EXPECT_EQ(Command(IDC_PREVIEW), cannotStart);
        EXPECT_EQ(FindThreadWindow(dialog->Handle(), false), nullptr);
    }
}

POINT RowCentre(HWND list, int index) {
    RECT item = {};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    POINT point = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
}

TEST_F(SettingsPreviewTest, ADoubleClickPreviewsItsRowAndNeverMovesIt) {
    const std::string saver = env.PlaceFixture("test_saver.scr", "b.scr");
    const Texts paths = {"C:\\a.scr", saver, "C:\\c.scr", "C:\\d.scr"};
    WriteList(paths);
    Open(0);
    SetForegroundWindow(dialog->Handle());
    PumpAppUntil([&] { return GetForegroundWindow() == dialog->Handle(); }, 3000);

    POINT row1 = RowCentre(List(), 1);
    test::MoveMouseTo(row1.x, row1.y);
    sd::PumpPending();
    for (int click = 0; click < 2; ++click) {
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
    ASSERT_TRUE(PumpAppUntil([&] { return env.LoggedWindow("saver") != nullptr; }, 10000));
    EXPECT_EQ(env.LogValue("cmdline "), "\"" + saver + "\" /s");
    PostMessageA(env.LoggedWindow("saver"), WM_CLOSE, 0, 0);
    ASSERT_TRUE(env.WaitForLog("exit"));
    EXPECT_TRUE(NoticeBringsDialogToFront());
    EXPECT_EQ(SendMessageA(List(), LB_GETCURSEL, 0, 0), 1);

    // The mouse over other rows afterwards, and a new selection: nothing moves.
    POINT row3 = RowCentre(List(), 3);
    for (int y = row1.y; y <= row3.y; y += 4) {
        test::MoveMouseTo(row1.x, y);
        sd::PumpPending();
    }
    SendMessageA(List(), LB_SETCURSEL, 3, 0);
    InvalidateRect(List(), nullptr, TRUE);
    UpdateWindow(List());
    sd::PumpPending();
    EXPECT_EQ(Paths(), paths);
    EXPECT_NE(GetCapture(), List());
}

}  // namespace
