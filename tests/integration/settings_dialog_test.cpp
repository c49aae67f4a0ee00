// The settings dialog, created in-process from its real template and driven
// the way a user drives it: buttons by id, the list box by its messages,
// keys through the dialog's own PreTranslateMessage look, the mouse for
// dragging, the open-file dialog by typing into its name field.
#include "ui/SettingsDialog.h"

#include "framework/App.h"
#include "framework/TextUtil.h"
#include "res/resource.h"
#include "settings/SettingsBackup.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/SettingsDialogDriver.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

using Rows = std::vector<std::string>;

const std::string kOn = settings::kMarkOn;
const std::string kOff = settings::kMarkOff;

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, previousFolder);
        SetCurrentDirectoryA(folder.Path().c_str());
        app.SetProfileName(Ini());
        DeleteFileA(SettingsBackup::DefaultBackupPath().c_str());
    }
    void TearDown() override {
        dialog.reset();
        sd::PumpPending();
        SetCurrentDirectoryA(previousFolder);
        DeleteFileA(SettingsBackup::DefaultBackupPath().c_str());
    }

    std::string Ini() const { return folder.File("tolvarin.ini"); }
    std::string IniBytes() const { return test::ReadFileBytes(Ini()); }
    std::string IniValue(const char* section, const char* key) const {
        return test::ReadIniString(Ini(), section, key);
    }
    // A settings file in the private-profile form; lines end in CR LF.
    void WriteIni(const std::vector<std::string>& lines) const {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        test::WriteFileBytes(Ini(), text);
    }

    void Open() {
        dialog = std::make_unique<SettingsDialog>(nullptr);
        ASSERT_TRUE(dialog->CreateModeless(nullptr));
        ShowWindow(dialog->Handle(), SW_SHOW);
        sd::PumpPending();
    }
    HWND Item(int id) const { return GetDlgItem(dialog->Handle(), id); }
    HWND List() const { return Item(IDC_SAVER_LIST); }
    void Command(int id) {
        SendMessageA(dialog->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(id)));
        sd::PumpPending();
    }
    void SelectRow(int index) { SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int Selection() const { return static_cast<int>(SendMessageA(List(), LB_GETCURSEL, 0, 0)); }
    Rows Texts() const {
        Rows rows;
        for (int i = 0; i < dialog->RowCount(); ++i) rows.push_back(dialog->RowText(i));
        return rows;
    }
    Rows Paths() const {
        Rows rows;
        for (int i = 0; i < dialog->RowCount(); ++i) rows.push_back(dialog->RowPath(i));
        return rows;
    }
    bool IsShown() const { return dialog && IsWindowVisible(dialog->Handle()); }
    std::string EditText(int id) const { return test::TextOf(Item(id)); }
    bool MenuChecked(UINT id) const {
        return (GetMenuState(GetMenu(dialog->Handle()), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    // Adds files through the open-file dialog by typing names; returns the
    // texts of the error boxes shown meanwhile.
    std::vector<std::string> Add(const std::string& typed, std::string* initialFolder = nullptr) {
        sd::ErrorBoxes boxes;
        sd::FileDialogAnswer answer(typed);
        Command(IDC_ADD);
        EXPECT_TRUE(answer.Wait()) << "no open-file dialog answered for " << typed;
        if (initialFolder) *initialFolder = answer.InitialFolder();
        return boxes.Stop();
    }
    std::string MakeFile(const std::string& name, const std::string& bytes = "x") const {
        std::string path = folder.File(name);
        test::WriteFileBytes(path, bytes);
        return path;
    }

    App app;
    test::TempFolder folder{"tlvsd"};
    std::unique_ptr<SettingsDialog> dialog;
    char previousFolder[MAX_PATH] = {};
};

// --- Opening ------------------------------------------------------------------

TEST_F(SettingsDialogTest, RowsAndMarksComeFromTheFileAndAreWrittenBackNormalised) {
    WriteIni({"[LIST]", "entry=3", "List0=" + kOn + "C:\\a\\one.exe", "List2=C:\\b\\two.swf",
              "List3=" + kOff + "C:\\c\\three.avi", "[OTHER]", "SaverName=0", "Extension=1"});
    Open();
    EXPECT_EQ(Texts(), (Rows{kOn + "one.exe", kOn, kOn + "two.swf", kOff + "three.avi"}));
    EXPECT_EQ(Paths(), (Rows{"C:\\a\\one.exe", "", "C:\\b\\two.swf", "C:\\c\\three.avi"}));
    EXPECT_EQ(Selection(), 0);
    EXPECT_TRUE(MenuChecked(ID_VIEW_EXTENSION));
    EXPECT_FALSE(MenuChecked(ID_VIEW_SAVER_NAME));

    Command(IDOK);
    EXPECT_FALSE(IsShown());
    EXPECT_EQ(IniValue("LIST", "List1"), kOn);
    EXPECT_EQ(IniValue("LIST", "List2"), kOn + "C:\\b\\two.swf");
    EXPECT_EQ(IniValue("OTHER", "ON"), "3");
}

TEST_F(SettingsDialogTest, WithoutAFileEveryValueTakesItsDefault) {
    Open();
    EXPECT_EQ(dialog->RowCount(), 0);
    EXPECT_EQ(Selection(), LB_ERR);
    EXPECT_EQ(SendMessageA(List(), LB_GETHORIZONTALEXTENT, 0, 0), 5);
    EXPECT_EQ(SendMessageA(Item(IDC_TIMER_ON), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(EditText(IDC_MINUTES), "10");
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_MINUTES)));
    EXPECT_TRUE(MenuChecked(ID_VIEW_EXTENSION));
    EXPECT_TRUE(MenuChecked(ID_VIEW_SAVER_NAME));
    // The sorted order box keeps its three orders at their stored indexes.
    HWND order = Item(IDC_ORDER);
    ASSERT_EQ(SendMessageA(order, CB_GETCOUNT, 0, 0), 3);
    Rows items;
    for (int i = 0; i < 3; ++i) {
        char text[64] = {};
        SendMessageA(order, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    EXPECT_EQ(items, (Rows{"ランダム", "リスト順", "先頭から"}));
    EXPECT_EQ(SendMessageA(order, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(test::FileExists(SettingsBackup::DefaultBackupPath()));
}

TEST_F(SettingsDialogTest, StoredMinutesShowAsTheyAreUntilTheEditIsLeftAndSaveAtMost999) {
    WriteIni({"[TIMER]", "ON/OFF=1", "Time=0"});
    Open();
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_MINUTES)));
    EXPECT_EQ(EditText(IDC_MINUTES), "0");
    SetFocus(Item(IDC_MINUTES));
    SetFocus(List());
    sd::PumpPending();
    EXPECT_EQ(EditText(IDC_MINUTES), "1");
    dialog.reset();

    WriteIni({"[TIMER]", "ON/OFF=1", "Time=1500"});
    Open();
    EXPECT_EQ(EditText(IDC_MINUTES), "1500");
    Command(IDOK);
    EXPECT_EQ(IniValue("TIMER", "Time"), "999");
    EXPECT_EQ(IniValue("TIMER", "ON/OFF"), "1");
}

// --- Commands ---------------------------------------------------------------------

TEST_F(SettingsDialogTest, DeleteSelectsTheNeighbourAndRemovesPerFileKeysAtOnce) {
    const std::string exe = "C:\\p\\game.exe", swf = "C:\\p\\clip.swf", scr = "C:\\p\\s.scr";
    WriteIni({"[LIST]", "entry=2", "List0=" + kOn + exe, "List1=" + kOn + swf, "List2=" + kOn + scr,
              "[EXE_CONFIG]", exe + "@option=-f", exe + "@start=a", exe + "@finish=b",
              exe + "@mouse=1", exe + "@change=1", "C:\\p\\other.exe@option=keep",
              "[SWF_CONFIG]", swf + "@macro=1,2", "C:\\p\\other.swf@macro=keep"});
    const std::string atOpening = IniBytes();
    Open();

    SelectRow(2);
    Command(IDC_DELETE);
    EXPECT_EQ(Paths(), (Rows{exe, swf}));
    EXPECT_EQ(Selection(), 1);  // the new last row

    SelectRow(0);
    Command(ID_FILE_DELETE);
    // Which keys go is the settings' own rule; here the delete reaches the file.
    EXPECT_EQ(IniValue("EXE_CONFIG", (exe + "@change").c_str()), "<missing>");
    EXPECT_EQ(IniValue("SWF_CONFIG", (swf + "@macro").c_str()), "1,2");
    EXPECT_EQ(Selection(), 0);

    Command(IDC_DELETE);
    EXPECT_EQ(IniValue("SWF_CONFIG", (swf + "@macro").c_str()), "<missing>");
    EXPECT_EQ(IniValue("SWF_CONFIG", "C:\\p\\other.swf@macro"), "keep");
    EXPECT_EQ(dialog->RowCount(), 0);
    EXPECT_EQ(Selection(), LB_ERR);
    Command(IDC_DELETE);  // nothing selected: nothing happens

    // Cancel puts every deleted key back.
    Command(IDCANCEL);
    EXPECT_FALSE(IsShown());
    EXPECT_EQ(IniBytes(), atOpening);
}

// A list box out of room for a new row.
WNDPROC listProc = nullptr;
LRESULT CALLBACK RefusingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_INSERTSTRING) return LB_ERRSPACE;
    return CallWindowProcA(listProc, window, message, wParam, lParam);
}

TEST_F(SettingsDialogTest, OnOffAndMovingKeepPathsAndStopAtTheEnds) {
    WriteIni({"[LIST]", "entry=2", "List0=C:\\a.scr", "List1=C:\\b.exe", "List2=C:\\c.avi",
              "[OTHER]", "SaverName=0"});
    Open();
    Command(IDC_TOGGLE);
    EXPECT_EQ(Texts()[0], kOff + "a.scr");
    Command(ID_FILE_TOGGLE);
    EXPECT_EQ(Texts()[0], kOn + "a.scr");
    EXPECT_EQ(Selection(), 0);

    Command(IDC_MOVE_UP);  // first row: nothing changes
    EXPECT_EQ(Paths(), (Rows{"C:\\a.scr", "C:\\b.exe", "C:\\c.avi"}));
    Command(IDC_MOVE_DOWN);
    EXPECT_EQ(Paths(), (Rows{"C:\\b.exe", "C:\\a.scr", "C:\\c.avi"}));
    EXPECT_EQ(Selection(), 1);
    Command(ID_FILE_MOVE_DOWN);
    EXPECT_EQ(Selection(), 2);
    Command(IDC_MOVE_DOWN);  // last row: nothing changes
    EXPECT_EQ(Paths(), (Rows{"C:\\b.exe", "C:\\c.avi", "C:\\a.scr"}));
    EXPECT_EQ(Selection(), 2);
    Command(ID_FILE_MOVE_UP);
    EXPECT_EQ(Paths(), (Rows{"C:\\b.exe", "C:\\a.scr", "C:\\c.avi"}));
    EXPECT_EQ(Texts(), (Rows{kOn + "b.exe", kOn + "a.scr", kOn + "c.avi"}));

    // A list box out of room for a new row: every command that rewrites
    // rows leaves them, and their paths, as they were.
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefusingListProc)));
    for (int id : {IDC_TOGGLE, IDC_MOVE_UP, IDC_MOVE_DOWN, ID_VIEW_EXTENSION}) Command(id);
    SetWindowLongPtrA(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
    EXPECT_EQ(Paths(), (Rows{"C:\\b.exe", "C:\\a.scr", "C:\\c.avi"}));
    EXPECT_EQ(Texts(), (Rows{kOn + "b.exe", kOn + "a.scr", kOn + "c.avi"}));
    EXPECT_EQ(Selection(), 1);
}

// F1 (through the system's WM_HELP) and the help command open the help file.
TEST_F(SettingsDialogTest, HelpKeyAndCommandOpenTheHelp) {
    struct HelpApp : App {
        std::vector<HWND> owners;
        void OnHelp(HWND owner) override { owners.push_back(owner); }
    } helpApp;
    helpApp.SetProfileName(Ini());
    Open();
    SetForegroundWindow(dialog->Handle());
    SetFocus(List());
    test::PressKey(VK_F1);
    sd::Pump([&] { return !helpApp.owners.empty(); }, 3000);
    Command(ID_HELP);
    EXPECT_EQ(helpApp.owners, (std::vector<HWND>{dialog->Handle(), dialog->Handle()}));
    dialog.reset();  // while its application object is still there
    sd::PumpPending();
}

POINT RowCentre(HWND list, int index) {
    RECT item = {};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    POINT point = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
}

TEST_F(SettingsDialogTest, AMouseDragMovesARowAndADoubleClickNeverDoes) {
    WriteIni({"[LIST]", "entry=3", "List0=C:\\a.scr", "List1=C:\\b.scr", "List2=C:\\c.scr",
              "List3=C:\\d.scr", "[OTHER]", "SaverName=0"});
    Open();
    SetForegroundWindow(dialog->Handle());
    sd::Pump([&] { return GetForegroundWindow() == dialog->Handle(); }, 3000);

    POINT from = RowCentre(List(), 0);
    POINT to = RowCentre(List(), 2);
    test::MoveMouseTo(from.x, from.y);
    sd::Pump([&] { return false; }, 0);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ASSERT_TRUE(sd::Pump([&] { return GetCapture() == List(); }, 3000));
    for (int y = from.y; y <= to.y; y += 3) {
        test::MoveMouseTo(from.x, y);
        sd::Pump([&] { POINT p; GetCursorPos(&p); return p.y == y; }, 1000);
        sd::PumpPending();
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(sd::Pump([&] { return GetCapture() != List(); }, 3000));
    EXPECT_EQ(Paths(), (Rows{"C:\\b.scr", "C:\\c.scr", "C:\\a.scr", "C:\\d.scr"}));
    EXPECT_EQ(Selection(), 2);

    // A double-click on row 1, then the mouse over other rows with the
    // button up: nothing moves. (The double-click previews the row; without
    // a launch signal here that preview reports that it cannot start.)
    POINT row1 = RowCentre(List(), 1);
    test::MoveMouseTo(row1.x, row1.y);
    sd::PumpPending();
    sd::ErrorBoxes boxes;
    for (int click = 0; click < 2; ++click) {
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
    sd::Pump([&] { return Selection() == 1; }, 3000);
    POINT row3 = RowCentre(List(), 3);
    for (int y = row1.y; y <= row3.y; y += 4) {
        test::MoveMouseTo(row1.x, y);
        sd::PumpPending();
    }
    SelectRow(3);
    InvalidateRect(List(), nullptr, TRUE);
    UpdateWindow(List());
    sd::Pump([&] { return false; }, 200);
    EXPECT_EQ(boxes.Stop(), Rows{SettingsDialog::kCannotStartMessage});
    EXPECT_EQ(Paths(), (Rows{"C:\\b.scr", "C:\\c.scr", "C:\\a.scr", "C:\\d.scr"}));
}

// --- Saving and leaving --------------------------------------------------------

TEST_F(SettingsDialogTest, OkWritesTheWholeStateInItsOrder) {
    Open();
    for (const char* path : {"C:\\1.scr", "C:\\2.exe", "C:\\3.swf", "C:\\4.avi", "C:\\5.mpg"}) {
        dialog->InsertRow(-1, kOn + dialog->GetDisplayName(path), path);
    }
    SelectRow(1);
    Command(IDC_TOGGLE);
    // Two deletes shrink five rows to three.
    SelectRow(4);
    Command(IDC_DELETE);
    Command(IDC_DELETE);
    SendMessageA(Item(IDC_TIMER_ON), BM_SETCHECK, BST_CHECKED, 0);
    Command(IDC_TIMER_ON);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_MINUTES)));
    SetWindowTextA(Item(IDC_MINUTES), "25");
    SendMessageA(Item(IDC_ORDER), CB_SETCURSEL, 2, 0);
    Command(ID_VIEW_EXTENSION);
    Command(ID_FILE_SAVE_AND_EXIT);
    EXPECT_FALSE(IsShown());

    std::string expected =
        "[LIST]\r\nentry=2\r\nList0=" + kOn + "C:\\1.scr\r\nList1=" + kOff + "C:\\2.exe\r\n"
        "List2=" + kOn + "C:\\3.swf\r\n"
        "[OTHER]\r\nDir=" + folder.Path() + "\r\nOrder=2\r\nON=2\r\nExtension=0\r\nSaverName=1\r\n"
        "[TIMER]\r\nON/OFF=1\r\nTime=25\r\n";
    EXPECT_EQ(IniBytes(), expected);
    EXPECT_FALSE(test::FileExists(SettingsBackup::DefaultBackupPath()));
}

TEST_F(SettingsDialogTest, EveryWayOutWithoutSavingRestoresTheFileByteForByte) {
    const std::string exe = "C:\\p\\game.exe";
    WriteIni({"; kept as it is", "[LIST]", "entry=1", "List0=" + kOn + exe, "List1=" + kOff + "C:\\x.scr",
              "", "[EXE_CONFIG]", exe + "@option=-f", exe + "@macro=x", "[TIMER]", "Time=7"});
    const std::string atOpening = IniBytes();
    struct Way {
        const char* name;
        std::function<void()> leave;
    } ways[] = {
        {"button", [this] { Command(IDCANCEL); }},
        {"menu", [this] { Command(ID_FILE_EXIT_WITHOUT_SAVING); }},
        {"close box", [this] {
             SendMessageA(dialog->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
             sd::PumpPending();
         }},
        {"Escape", [this] {
             SetFocus(List());
             PostMessageA(List(), WM_KEYDOWN, VK_ESCAPE, 1);
             PostMessageA(List(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
             sd::Pump([&] { return !IsShown(); }, 3000);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        test::WriteFileBytes(Ini(), atOpening);
        Open();
        ASSERT_TRUE(test::FileExists(SettingsBackup::DefaultBackupPath()));
        Command(IDC_DELETE);
        ASSERT_NE(IniBytes(), atOpening);
        way.leave();
        EXPECT_FALSE(IsShown());
        EXPECT_EQ(IniBytes(), atOpening);
        EXPECT_FALSE(test::FileExists(SettingsBackup::DefaultBackupPath()));
        dialog.reset();
    }
}

TEST_F(SettingsDialogTest, WithNoFileAtOpeningCancelLeavesNoneEvenAfterADeleteWroteOne) {
    Open();
    dialog->InsertRow(-1, kOn + "a.exe", "C:\\a.exe");
    dialog->InsertRow(-1, kOn + "b.exe", "C:\\b.exe");
    SelectRow(0);
    Command(IDC_DELETE);
    ASSERT_TRUE(test::FileExists(Ini()));
    Command(IDCANCEL);
    EXPECT_FALSE(test::FileExists(Ini()));
}

TEST_F(SettingsDialogTest, AFileThatCouldNotBeBackedUpStaysAndCancelSaysSo) {
    // A folder where the backup would go: the copy cannot be made.
    const std::string backupPath = SettingsBackup::DefaultBackupPath();
    ASSERT_TRUE(CreateDirectoryA(backupPath.c_str(), nullptr));
    WriteIni({"[LIST]", "entry=1", "List0=C:\\a.exe", "List1=C:\\b.exe"});
    Open();
    Command(IDC_DELETE);
    const std::string changed = IniBytes();
    std::vector<std::string> texts;
    {
        sd::ErrorBoxes boxes;
        Command(IDCANCEL);
        texts = boxes.Stop();
    }
    RemoveDirectoryA(backupPath.c_str());
    EXPECT_EQ(texts, Rows{SettingsDialog::kNotRestoredMessage});
    EXPECT_FALSE(IsShown());
    EXPECT_EQ(IniBytes(), changed);
}

TEST_F(SettingsDialogTest, WritesThatFailAreReportedAndAFailedOkKeepsTheDialogForCancel) {
    const std::string exe = "C:\\p\\game.exe";
    WriteIni({"[LIST]", "entry=1", "List0=" + kOn + exe, "List1=" + kOn + "C:\\x.scr",
              "[EXE_CONFIG]", exe + "@option=-f"});
    const std::string atOpening = IniBytes();
    Open();
    // Held open by another without sharing writes: no write reaches the file.
    HANDLE held = CreateFileA(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::vector<std::string> texts;
    {
        sd::ErrorBoxes boxes;
        Command(IDC_DELETE);  // the program, with its own keys
        Command(IDOK);
        texts = boxes.Stop();
    }
    CloseHandle(held);
    const std::string notSaved = settings::NotSavedMessage(Ini());
    EXPECT_NE(notSaved.find(Ini()), std::string::npos);
    EXPECT_EQ(texts, (Rows{notSaved, notSaved}));
    EXPECT_TRUE(IsShown());
    EXPECT_EQ(Paths(), Rows{"C:\\x.scr"});
    EXPECT_EQ(IniBytes(), atOpening);

    {
        sd::ErrorBoxes boxes;
        Command(IDCANCEL);
        EXPECT_EQ(boxes.Stop(), Rows{});
    }
    EXPECT_FALSE(IsShown());
    EXPECT_EQ(IniBytes(), atOpening);
    // Nothing of the failed writes waits in the process to reach the file
    // with a later write.
    ASSERT_TRUE(app.WriteProfileInt("TIMER", "Time", 7));
    EXPECT_EQ(IniBytes(), atOpening + "[TIMER]\r\nTime=7\r\n");
}

TEST_F(SettingsDialogTest, EnterWithAnEmptyMinutesEditKeepsTheDialogAndTheBackup) {
    WriteIni({"[TIMER]", "ON/OFF=1", "Time=5"});
    const std::string atOpening = IniBytes();
    Open();
    SetWindowTextA(Item(IDC_MINUTES), "");
    SetFocus(Item(IDC_MINUTES));
    std::vector<std::string> texts;
    {
        sd::ErrorBoxes boxes;
        PostMessageA(Item(IDC_MINUTES), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(Item(IDC_MINUTES), WM_KEYUP, VK_RETURN, 0xC0000001);
        sd::Pump([&] { return false; }, 1500);
        texts = boxes.Stop();
    }
    // One message, not a second one from the edit losing the focus to it.
    EXPECT_EQ(texts, Rows{DataExchange::kNotANumberMessage});
    EXPECT_TRUE(IsShown());
    EXPECT_EQ(IniBytes(), atOpening);
    EXPECT_TRUE(test::FileExists(SettingsBackup::DefaultBackupPath()));
    EXPECT_EQ(GetFocus(), Item(IDC_MINUTES));

    // Leaving without saving from there asks nothing more.
    sd::ErrorBoxes boxes;
    Command(IDCANCEL);
    dialog.reset();
    EXPECT_TRUE(boxes.Stop().empty());
    EXPECT_EQ(IniBytes(), atOpening);
}

// --- Adding ------------------------------------------------------------------------

TEST_F(SettingsDialogTest, ChosenFilesGoInFrontOfTheSelectionInTheirOrder) {
    // Videos of today's formats are taken like any other kind.
    for (const char* name : {"P.scr", "Q.scr", "R.scr", "Q.mp4", "R.mkv"}) MakeFile(name);
    WriteIni({"[OTHER]", "SaverName=0"});
    Open();
    EXPECT_TRUE(Add("\"P.scr\" \"Q.mp4\" \"R.mkv\"").empty());
    EXPECT_EQ(Texts(), (Rows{kOn + "Q.mp4", kOn + "R.mkv", kOn + "P.scr"}));
    EXPECT_EQ(Paths()[0], folder.File("Q.mp4"));
    EXPECT_EQ(Selection(), 1);
    dialog.reset();

    WriteIni({"[LIST]", "entry=3", "List0=C:\\0.exe", "List1=C:\\1.exe", "List2=C:\\2.exe",
              "List3=C:\\3.exe", "[OTHER]", "SaverName=0"});
    Open();
    SelectRow(2);
    EXPECT_TRUE(Add("\"P.scr\" \"Q.scr\" \"R.scr\"").empty());
    EXPECT_EQ(Texts(), (Rows{kOn + "0.exe", kOn + "1.exe", kOn + "P.scr", kOn + "Q.scr",
                             kOn + "R.scr", kOn + "2.exe", kOn + "3.exe"}));
    EXPECT_EQ(Selection(), 4);
}

TEST_F(SettingsDialogTest, RefusedFilesAreNamedAndTheNextAddOpensWhereTheLastOneWas) {
    CreateDirectoryA(folder.File("a").c_str(), nullptr);
    CreateDirectoryA(folder.File("b").c_str(), nullptr);
    CreateDirectoryA(folder.File("c").c_str(), nullptr);
    const std::string listed = MakeFile("a\\Listed.scr");
    const std::string movie = MakeFile("b\\movie.flv");
    const std::string own = MakeFile("b\\tolvarin.scr");
    const std::string capitals = MakeFile("c\\TOLVARIN.SCR");
    WriteIni({"[LIST]", "entry=0", "List0=" + kOn + listed, "[OTHER]", "SaverName=0", "Extension=0"});
    Open();

    std::string opened;
    EXPECT_EQ(Add(movie, &opened), Rows{movie + "は登録できません。"});
    EXPECT_TRUE(EqualsNoCase(opened, folder.Path())) << opened;
    // The chosen path's own spelling names it in the message.
    EXPECT_EQ(Add(folder.File("A\\LISTED.scr"), &opened), Rows{"LISTEDは\nすでにリストに存在します。"});
    EXPECT_TRUE(EqualsNoCase(opened, folder.File("b"))) << opened;
    EXPECT_EQ(Add(own, &opened), Rows{"tolvarin.scrは追加できません"});
    EXPECT_TRUE(EqualsNoCase(opened, folder.File("a"))) << opened;
    EXPECT_TRUE(Add(capitals, &opened).empty());
    EXPECT_TRUE(EqualsNoCase(opened, folder.File("b"))) << opened;
    EXPECT_EQ(Paths(), (Rows{capitals, listed}));
    Command(IDOK);
    EXPECT_EQ(IniValue("OTHER", "Dir"), folder.File("c"));
}

TEST_F(SettingsDialogTest, ALongChoiceIsTakenWhole) {
    // 130 names of 80 bytes each: more than 10000 bytes of names.
    std::string typed;
    for (int i = 0; i < 130; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "%03d_%s.scr", i, std::string(72, 'n').c_str());
        MakeFile(name);
        typed += std::string(typed.empty() ? "" : " ") + "\"" + name + "\"";
    }
    WriteIni({"[OTHER]", "SaverName=0"});
    Open();
    EXPECT_TRUE(Add(typed).empty());
    EXPECT_EQ(dialog->RowCount(), 130);
}

TEST_F(SettingsDialogTest, RowsAreNamedByTheViewOptionsWhichKeepTheSelection) {
    // 表 (95 5C) and ソ (83 5C) end in the byte of "\".
    const std::string japaneseFolder = folder.File("\x95\x5C");
    CreateDirectoryA(japaneseFolder.c_str(), nullptr);
    const std::string japanese = japaneseFolder + "\\\x83\x5C\x95\x5C.exe";
    test::WriteFileBytes(japanese, "x");
    const std::string saver = folder.File("Named.SCR");
    ASSERT_TRUE(test::CopyFileTo(test::FixturePath("named_saver.scr"), saver));
    WriteIni({"[LIST]", "entry=1", "List0=" + kOn + saver, "List1=" + kOff + "C:\\clip.swf"});
    Open();
    SelectRow(1);
    EXPECT_TRUE(Add(japanese).empty());
    EXPECT_EQ(Texts(), (Rows{kOn + "テスト用セーバー", kOn + "\x83\x5C\x95\x5C.exe", kOff + "clip.swf"}));
    EXPECT_EQ(Selection(), 1);
    EXPECT_FALSE(test::FileExists(saver + ".ran"));

    RECT frame = {};
    GetWindowRect(dialog->Handle(), &frame);
    SetForegroundWindow(dialog->Handle());
    RedrawWindow(dialog->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    sd::Pump([&] { return false; }, 300);
    EXPECT_FALSE(test::SaveScreenshot("settings_dialog", &frame).empty());

    Command(ID_VIEW_SAVER_NAME);
    EXPECT_FALSE(MenuChecked(ID_VIEW_SAVER_NAME));
    EXPECT_EQ(Texts(), (Rows{kOn + "Named.SCR", kOn + "\x83\x5C\x95\x5C.exe", kOff + "clip.swf"}));
    Command(ID_VIEW_EXTENSION);
    EXPECT_FALSE(MenuChecked(ID_VIEW_EXTENSION));
    EXPECT_EQ(Texts(), (Rows{kOn + "Named", kOn + "\x83\x5C\x95\x5C", kOff + "clip"}));
    Command(ID_VIEW_SAVER_NAME);
    EXPECT_EQ(Texts(), (Rows{kOn + "テスト用セーバー", kOn + "\x83\x5C\x95\x5C", kOff + "clip"}));
    EXPECT_EQ(Paths(), (Rows{saver, japanese, "C:\\clip.swf"}));
    EXPECT_EQ(Selection(), 1);
    EXPECT_FALSE(test::FileExists(saver + ".ran"));
}

}  // namespace
