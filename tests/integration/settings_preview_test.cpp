// The settings dialog's per-file settings and preview commands, in-process
// with a launch signal like the product's and the dialog as the main window,
// against the fixture screen saver and program, a clip and a stand-in Flash
// file.
#include "res/resource.h"
#include "settings/SettingsBackup.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/InProcess.h"
#include "ui/FileCommandText.h"
#include "ui/FileDialogIds.h"
#include "ui/SettingsDialog.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Texts = std::vector<std::string>;
const Texts kCannotStart = {SettingsDialog::kCannotStartMessage};

// The dialog that a command shows over the main window (a message box, a
// per-file dialog) has its text kept, is handed to the script, and is
// cancelled if it is still up.
std::function<void(HWND)> script;
Texts shownTexts;
void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND owner = App::Instance()->MainWindowHandle(), dialog = nullptr;
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) && GetWindow(dialog, GW_OWNER) != owner) {
    }
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    shownTexts.push_back(test::MessageBoxText(dialog));
    if (script) script(dialog);
    if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
HWND Player() { return FindWindowA(nullptr, TOLVARIN_PLAYER_CAPTION); }

class SettingsPreviewTest : public ::testing::Test {
protected:
    void TearDown() override {
        app.app.SetMainWindow(&app.mainWindow);
        dialog.reset();
        DeleteFileA(SettingsBackup::DefaultBackupPath().c_str());
    }
    // Writes the list and more of the file, and opens the dialog as the
    // application's main window.
    void Open(const Texts& paths, const std::string& more = "") {
        std::string text = "[LIST]\r\nentry=" + std::to_string(paths.size() - 1) + "\r\n";
        for (size_t i = 0; i < paths.size(); ++i) text += "List" + std::to_string(i) + "=" + settings::kMarkOn + paths[i] + "\r\n";
        app.WriteIni(text + "[OTHER]\r\nSaverName=0\r\n" + more);
        dialog = std::make_unique<SettingsDialog>(nullptr);
        ASSERT_TRUE(dialog->CreateModeless(nullptr));
        app.app.SetMainWindow(dialog.get());
        ShowWindow(dialog->Handle(), SW_SHOW);
    }
    HWND List() const { return GetDlgItem(dialog->Handle(), IDC_SAVER_LIST); }
    // Selects row (if given) and sends a command as its button or menu item
    // does; the texts of the dialogs it showed.
    Texts Command(int id, int row = -1, std::function<void(HWND)> answer = nullptr) {
        if (row >= 0) SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        script = std::move(answer);
        shownTexts.clear();
        UINT_PTR timer = SetTimer(nullptr, 0, 20, &AnswerDialog);
        SendMessageA(dialog->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        KillTimer(nullptr, timer);
        return shownTexts;
    }
    bool Usable() const { return IsWindowEnabled(dialog->Handle()) != FALSE; }
    // Handles messages until the dialog has handled an end notice; true when
    // it was the foreground window right after it (a late focus event of the
    // display may move it again). meanwhile runs between the looks.
    bool NoticeBringsDialogToFront(const std::function<void()>& meanwhile = [] {}) {
        bool seen = false, front = false;
        test::PumpAppUntil([&] { return seen || (meanwhile(), false); }, 15000, [&](const MSG& m) {
            if (seen || m.message != kEndNoticeMessage || m.hwnd != dialog->Handle()) return;
            seen = true;
            front = GetForegroundWindow() == dialog->Handle();
        });
        return front;
    }

    test::TestApp app;
    std::unique_ptr<SettingsDialog> dialog;
};

}  // namespace

// A saver is configured by its own file, the dialog its parent, and is not
// waited for; the program and Flash settings and the about box run modally
// over the dialog; the program settings' OK saves the dialog's state with
// them, their Cancel nothing, and leaving without saving undoes both.
TEST_F(SettingsPreviewTest, EachKindOfFileHasItsOwnSettingsAndOnlyOkSaves) {
    const std::string saver = app.folder.PlaceFixture("test_saver.scr", "My Savers\\star field.scr");
    const std::string program = "C:\\Games\\puzzle.exe";
    Open({saver, app.folder.File("gone.scr"), program, "C:\\x.swf", "C:\\m\\clip.avi", "C:\\m\\clip.dat",
          "C:\\" + std::string(300, 'd') + "\\clip.avi"});
    const std::string atOpening = test::ReadFileBytes(app.IniPath());
    EXPECT_TRUE(Command(IDC_FILE_SETTINGS, 0).empty());
    EXPECT_TRUE(app.log.Wait("configure") && Usable());
    EXPECT_EQ(app.log.Value("cmdline "), "\"" + saver + "\" /c:" + HandleAsDecimal(dialog->Handle()));
    EXPECT_EQ(Command(ID_FILE_SETTINGS, 1), kCannotStart);
    SendMessageA(dialog->Handle(), WM_COMMAND, IDC_TOGGLE, 0);  // unsaved until the settings' OK
    const struct { int command, row, control; } modals[] = {
        {IDC_FILE_SETTINGS, 2, IDC_PROGRAM_OPTION}, {IDC_FILE_SETTINGS, 3, IDC_FLASH_LIST}, {ID_HELP_ABOUT, -1, IDC_ABOUT_VERSION}};
    for (const auto& modal : modals) {
        EXPECT_EQ(Command(modal.command, modal.row, [&](HWND shown) {
                      EXPECT_TRUE(!Usable() && GetDlgItem(shown, modal.control)) << modal.control;
                      SetDlgItemTextA(shown, IDC_PROGRAM_OPTION, "/never");
                  }).size(), 1u) << modal.control;
    }
    // For other files the shell's property sheet (a stub under Wine), and nothing said.
    for (int row : {4, 5, 6}) EXPECT_TRUE(Command(IDC_FILE_SETTINGS, row).empty()) << row;
    EXPECT_TRUE(Usable());
    EXPECT_EQ(test::ReadFileBytes(app.IniPath()), atOpening);

    Command(ID_FILE_SETTINGS, 2, [](HWND shown) {
        SetDlgItemTextA(shown, IDC_PROGRAM_OPTION, "/full");
        SendMessageA(shown, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(app.Read("EXE_CONFIG", program + "@option"), "/full");
    EXPECT_EQ(app.Read("LIST", "List1"), settings::kMarkOff + app.folder.File("gone.scr"));
    SendMessageA(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(test::ReadFileBytes(app.IniPath()), atOpening);
}

// A double-click previews its row. A saver previews beside a usable dialog,
// a program with the dialog disabled until it ends (by itself, or by the
// watch on the mouse); each end brings the dialog to the front. A saver
// still running is closed before the next preview and posts nothing; a late
// notice of an earlier preview or a player's leaves a running program
// alone; no preview outlives the dialog.
TEST_F(SettingsPreviewTest, EachPreviewEndsByItsOwnEndAndBringsTheDialogBack) {
    const std::string saver = app.folder.PlaceFixture("test_saver.scr", "s\\stars.scr");
    const std::string program = app.folder.PlaceFixture("test_program.exe", "p\\prog.exe");
    const std::string watched = app.folder.PlaceFixture("test_program.exe", "w\\watched.exe");
    Open({app.folder.File("gone.scr"), saver, program, watched, app.folder.File("none.exe")},
         "[EXE_CONFIG]\r\n" + program + "@mouse=0\r\n" + watched + "@mouse=1\r\n");
    SetForegroundWindow(dialog->Handle());
    test::PumpAppUntil([&] { return GetForegroundWindow() == dialog->Handle(); }, 3000);
    RECT item = {};
    SendMessageA(List(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(List(), nullptr, reinterpret_cast<POINT*>(&item), 2);
    test::MoveMouseTo(item.left + 20, (item.top + item.bottom) / 2);
    test::PumpQueued();
    for (DWORD press : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        mouse_event(press, 0, 0, 0, 0);
    }
    ASSERT_TRUE(test::PumpAppUntil([&] { return app.log.Window("saver") != nullptr; }, 10000));
    EXPECT_EQ(app.log.Value("cmdline "), "\"" + saver + "\" /s");
    EXPECT_TRUE(Usable());
    PostMessageA(app.log.Window("saver"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(NoticeBringsDialogToFront());
    EXPECT_EQ(SendMessageA(List(), LB_GETCURSEL, 0, 0), 1);

    EXPECT_TRUE(Command(ID_FILE_PREVIEW).empty());
    EXPECT_TRUE(Command(IDC_PREVIEW, 2).empty());
    EXPECT_TRUE(app.log.Count("close") == 2 && !Usable());
    PostMessageA(dialog->Handle(), kEndNoticeMessage, 1, 0);
    PostMessageA(dialog->Handle(), kEndNoticeMessage, 0, 0);
    test::PumpQueued();
    EXPECT_TRUE(!Usable() && !app.log.Has("close main"));
    PostMessageA(app.log.Window("main"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(NoticeBringsDialogToFront() && Usable());

    test::MoveMouseTo(500, 400);
    EXPECT_TRUE(Command(IDC_PREVIEW, 3).empty() && !Usable());
    int step = 0;
    EXPECT_TRUE(NoticeBringsDialogToFront([&] { test::MoveMouseTo(300 + (step++ % 5) * 40, 300); }));
    EXPECT_TRUE(Usable() && app.log.Count("close main") == 2);
    for (int row : {0, 4}) EXPECT_EQ(Command(IDC_PREVIEW, row), kCannotStart) << row;
    EXPECT_TRUE(Usable());
    EXPECT_TRUE(Command(IDC_PREVIEW, 1).empty());
    dialog.reset();
    EXPECT_EQ(app.log.Count("exit"), 5);
}

TEST_F(SettingsPreviewTest, FlashAndMoviePreviewsEndOnInputAndLeaveTheDialogAlone) {
    const std::string flash = app.folder.File("clip.swf"), noise = app.folder.File("noise.mp4");
    test::WriteFileBytes(flash, "FWS not really a movie");
    test::WriteFileBytes(noise, test::NoiseBytes());
    Open({flash, test::FixturePath("clips\\clip.avi"), app.folder.File("gone.avi"), noise});
    auto flashControl = std::make_unique<test::StandInFlashControl>();
    for (int row : {0, 1}) {
        EXPECT_TRUE(Command(IDC_PREVIEW, row).empty() && Usable()) << row;
        HWND player = Player();
        PostMessageA(player, WM_KEYDOWN, 'A', 0);
        EXPECT_TRUE(NoticeBringsDialogToFront()) << row;  // as the end of a preview that is no program
        EXPECT_TRUE(player && !IsWindow(player) && Usable()) << row;
    }
    flashControl.reset();  // a missing movie, one that nothing decodes, and Flash where there is none
    for (int row : {2, 3, 0}) {
        EXPECT_EQ(Command(IDC_PREVIEW, row), kCannotStart) << row;
        EXPECT_EQ(Player(), nullptr) << row;
    }
}
