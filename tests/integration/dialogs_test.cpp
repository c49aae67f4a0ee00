// The settings dialog, the per-file settings dialogs and the about box, made
// in-process from their real templates (modeless: OK and Cancel hide them)
// and driven through their controls. A hook on this thread answers every
// error box as it opens, keeping its text, and the open-file dialog, typing
// the names asked for into its name field. The program's calls of
// ShellExecuteA are recorded instead of opening anything.
#include "framework/TextUtil.h"
#include "res/resource.h"
#include "settings/SettingsBackup.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/InProcess.h"
#include "ui/AboutDialog.h"
#include "ui/FileDialogIds.h"
#include "ui/FlashSettingsDialog.h"
#include "ui/ProgramSettingsDialog.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

using Rows = std::vector<std::string>;
const std::string kOn = settings::kMarkOn, kOff = settings::kMarkOff;
Rows boxes, opened;           // the error boxes' texts; what the shell was asked to open
std::string typed, openedIn;  // the next open-file dialog's names; the folder it showed

// The open-file dialog, once what it queued while opening is handled: answered
// once, cancelled should it come back.
void CALLBACK AnswerFileDialog(HWND w, UINT, UINT_PTR timer, DWORD) {
    HWND name = GetDlgItem(w, cmb13);
    if (HWND edit = name ? FindWindowExA(name, nullptr, "Edit", nullptr) : nullptr) name = edit;
    char folder[MAX_PATH] = {};
    SendMessageA(w, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    openedIn = folder;
    SetWindowTextA(name, typed.c_str()), PostMessageA(w, WM_COMMAND, typed.empty() ? IDCANCEL : IDOK, 0);
    typed.clear(), KillTimer(w, timer);
}
LRESULT CALLBACK Answer(int code, WPARAM wParam, LPARAM lParam) {
    HWND w = reinterpret_cast<HWND>(wParam);
    const std::string caption = code == HCBT_ACTIVATE ? test::TextOf(w) : "";
    if (caption == "エラー") boxes.push_back(test::MessageBoxText(w)), PostMessageA(w, WM_COMMAND, IDOK, 0);
    if (caption == "ファイルを追加する") SetTimer(w, 1, 10, &AnswerFileDialog);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
    return opened.push_back(std::string(verb) + " " + file), reinterpret_cast<HINSTANCE>(33);
}
// Points this program's import of ShellExecuteA at RecordOpen; the entries changed.
int RecordShellOpens() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto real = reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleA("shell32.dll"), "ShellExecuteA"));
    int changed = 0;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
             base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress); dll->Name; ++dll) {
        for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk); entry->u1.Function; ++entry) {
            DWORD was = 0;
            if (entry->u1.Function != real || !VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &was)) continue;
            entry->u1.Function = reinterpret_cast<ULONG_PTR>(&RecordOpen), ++changed;
        }
    }
    return changed;
}

void Command(HWND d, int id, int code = BN_CLICKED) {
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(d, id))), test::PumpQueued();
}
void Click(HWND d, int id) { SendDlgItemMessageA(d, id, BM_CLICK, 0, 0), test::PumpQueued(); }
std::string Text(HWND d, int id) { return test::TextOf(GetDlgItem(d, id)); }
int Combo(HWND d, int id) { return static_cast<int>(SendDlgItemMessageA(d, id, CB_GETCURSEL, 0, 0)); }
bool Shown(HWND d) { return IsWindowVisible(d) != FALSE; }
// Held open without write sharing: no write reaches the file.
HANDLE Hold(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

// This module's resources, the test's own settings file; the help asked for is noted.
struct HelpApp : App {
    HelpApp() { instance = GetModuleHandleA(nullptr); }
    void OnHelp(HWND owner) override { helpOwners.push_back(owner); }
    std::vector<HWND> helpOwners;
};

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, previousFolder);
        SetCurrentDirectoryA(folder.Path().c_str());  // where a first add looks
        app.SetProfileName(Ini()), DeleteFileA(Backup().c_str()), boxes.clear();
        hook = SetWindowsHookExA(WH_CBT, &Answer, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        dialog.reset();
        for (auto& other : others) other->DestroyWindow();
        test::PumpQueued(), UnhookWindowsHookEx(hook);
        SetCurrentDirectoryA(previousFolder), DeleteFileA(Backup().c_str());
    }
    std::string Ini() const { return folder.File("tolvarin.ini"); }
    static std::string Backup() { return SettingsBackup::DefaultBackupPath(); }
    std::string Bytes() const { return test::ReadFileBytes(Ini()); }
    std::string Value(const char* section, const std::string& key) const { return test::ReadIniString(Ini(), section, key.c_str()); }
    void WriteIni(const Rows& lines) const {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        test::WriteFileBytes(Ini(), text);
    }
    static HWND Show(Dialog& d) {
        EXPECT_TRUE(d.CreateModeless(nullptr));
        ShowWindow(d.Handle(), SW_SHOW), test::PumpQueued();
        return d.Handle();
    }
    template <class D> HWND OpenFor(const std::string& path) {
        auto* d = static_cast<D*>(others.emplace_back(std::make_unique<D>()).get());
        return d->path = path, Show(*d);
    }

    // The settings dialog.
    void Open() { dialog = std::make_unique<SettingsDialog>(nullptr), dlg = Show(*dialog); }
    HWND Item(int id) const { return GetDlgItem(dlg, id); }
    HWND List() const { return Item(IDC_SAVER_LIST); }
    void Command(int id) { ::Command(dlg, id); }
    void SelectRow(int index) { SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int Selection() const { return static_cast<int>(SendMessageA(List(), LB_GETCURSEL, 0, 0)); }
    Rows Texts(bool paths = false) const {
        Rows rows;
        for (int i = 0; i < dialog->RowCount(); ++i) rows.push_back(paths ? dialog->RowPath(i) : dialog->RowText(i));
        return rows;
    }
    Rows Paths() const { return Texts(true); }
    // Whether window is shown, the file is as given and the backup is there.
    std::string State(HWND window, const std::string& bytes) const {
        return std::string(Shown(window) ? "shown" : "hidden") + (Bytes() == bytes ? ", file as given" : ", file changed") +
               (test::FileExists(Backup()) ? ", backup" : "");
    }
    bool MenuChecked(UINT id) const { return (GetMenuState(GetMenu(dlg), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    // Adds through the open-file dialog; the error boxes shown meanwhile.
    Rows Add(const std::string& names) {
        boxes.clear(), typed = names, Command(IDC_ADD);
        EXPECT_TRUE(typed.empty()) << "no open-file dialog for " << names;
        return boxes;
    }

    HelpApp app;
    test::TempFolder folder{"tlvd"};
    std::unique_ptr<SettingsDialog> dialog;
    HWND dlg = nullptr;
    std::vector<std::unique_ptr<Dialog>> others;
    HHOOK hook = nullptr;
    char previousFolder[MAX_PATH] = {};
};

// --- The settings dialog ----------------------------------------------------------

TEST_F(DialogsTest, WithoutAFileDefaultsShowCancelLeavesNoFileAndOkWritesWhatTheControlsSayInOrder) {
    Open();
    EXPECT_EQ(Selection(), LB_ERR);
    EXPECT_EQ(SendMessageA(List(), LB_GETHORIZONTALEXTENT, 0, 0), 5);
    EXPECT_EQ(Text(dlg, IDC_MINUTES) + (IsWindowEnabled(Item(IDC_MINUTES)) ? " enabled" : "") + (IsDlgButtonChecked(dlg, IDC_TIMER_ON) ? " on" : ""), "10");
    EXPECT_TRUE(MenuChecked(ID_VIEW_EXTENSION) && MenuChecked(ID_VIEW_SAVER_NAME));
    const char* orders[] = {"ランダム", "リスト順", "先頭から"};  // at their stored indexes in a sorted box
    EXPECT_EQ(SendMessageA(Item(IDC_ORDER), CB_GETCOUNT, 0, 0), 3);
    for (LPARAM i = 0; i < 3; ++i) EXPECT_EQ(SendMessageA(Item(IDC_ORDER), CB_FINDSTRINGEXACT, WPARAM(-1), (LPARAM)orders[i]), i);
    EXPECT_EQ(Combo(dlg, IDC_ORDER), 0);
    EXPECT_FALSE(test::FileExists(Backup()));
    auto fill = [this] {  // five rows, the last one deleted: that writes the file
        for (const char* path : {"C:\\1.scr", "C:\\2.exe", "C:\\3.swf", "C:\\4.avi", "C:\\5.mpg"}) {
            dialog->InsertRow(-1, kOn + dialog->GetDisplayName(path), path);
        }
        SelectRow(4), Command(IDC_DELETE);
    };
    fill();
    ASSERT_TRUE(test::FileExists(Ini()));
    Command(IDCANCEL);
    EXPECT_FALSE(test::FileExists(Ini()));

    Open(), fill(), Command(IDC_DELETE), SelectRow(1), Command(IDC_TOGGLE), Command(ID_VIEW_EXTENSION);
    CheckDlgButton(dlg, IDC_TIMER_ON, BST_CHECKED), Command(IDC_TIMER_ON);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_MINUTES)));
    SetWindowTextA(Item(IDC_MINUTES), "1500"), SendMessageA(Item(IDC_ORDER), CB_SETCURSEL, 2, 0);
    Command(ID_FILE_SAVE_AND_EXIT);  // minutes are saved as at most 999
    EXPECT_EQ(State(dlg, "[LIST]\r\nentry=2\r\nList0=" + kOn + "C:\\1.scr\r\nList1=" + kOff + "C:\\2.exe\r\nList2=" + kOn +
                             "C:\\3.swf\r\n[OTHER]\r\nDir=" + folder.Path() +
                             "\r\nOrder=2\r\nON=2\r\nExtension=0\r\nSaverName=1\r\n[TIMER]\r\nON/OFF=1\r\nTime=999\r\n"),
              "hidden, file as given");
}

// A list box out of room for a new row.
WNDPROC listProc = nullptr;
LRESULT CALLBACK RefusingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == LB_INSERTSTRING ? LB_ERRSPACE : CallWindowProcA(listProc, window, message, wParam, lParam);
}

TEST_F(DialogsTest, RowCommandsKeepPathsStopAtTheEndsAndDeleteForgetsPerFileKeysAtOnce) {
    const std::string a = "C:\\p\\a.scr", b = "C:\\p\\b.exe", c = "C:\\p\\c.swf";
    WriteIni({"[LIST]", "entry=3", "List0=" + kOff + a, "List1=" + b, "List3=" + c, "[OTHER]", "SaverName=0", "Order=1", "[TIMER]",
              "ON/OFF=1", "Time=0", "[EXE_CONFIG]", b + "@option=-f", b + "@change=1", "C:\\p\\o.exe@option=keep",
              "[SWF_CONFIG]", c + "@macro=1,2", "C:\\p\\o.swf@macro=keep"});
    const std::string atOpening = Bytes();
    Open();
    EXPECT_EQ(Texts(), (Rows{kOff + "a.scr", kOn + "b.exe", kOn, kOn + "c.swf"}));
    EXPECT_EQ(Paths(), (Rows{a, b, "", c}));
    EXPECT_TRUE(Selection() == 0 && MenuChecked(ID_VIEW_EXTENSION) && !MenuChecked(ID_VIEW_SAVER_NAME));
    EXPECT_EQ(Combo(dlg, IDC_ORDER), 1);
    // Minutes show as stored until the edit is left.
    EXPECT_EQ(Text(dlg, IDC_MINUTES) + (IsWindowEnabled(Item(IDC_MINUTES)) ? " enabled" : ""), "0 enabled");
    SetFocus(Item(IDC_MINUTES)), SetFocus(List()), test::PumpQueued();
    EXPECT_EQ(Text(dlg, IDC_MINUTES), "1");
    SelectRow(2), Command(IDC_DELETE), SelectRow(0), Command(IDC_TOGGLE);
    EXPECT_EQ(Texts()[0], kOn + "a.scr");
    struct Step { int id; Rows paths; int selection; } steps[] = {
        {ID_FILE_TOGGLE, {a, b, c}, 0}, {IDC_MOVE_UP, {a, b, c}, 0},  // the first row stays
        {IDC_MOVE_DOWN, {b, a, c}, 1},  {ID_FILE_MOVE_DOWN, {b, c, a}, 2},
        {IDC_MOVE_DOWN, {b, c, a}, 2},  {ID_FILE_MOVE_UP, {b, a, c}, 1},  // the last row stayed
    };
    for (const Step& step : steps) {
        Command(step.id);
        EXPECT_EQ(Paths(), step.paths) << step.id;
        EXPECT_EQ(Selection(), step.selection) << step.id;
    }
    const Rows texts = {kOn + "b.exe", kOff + "a.scr", kOn + "c.swf"};
    EXPECT_EQ(Texts(), texts);
    // With no room for a new row, every command that rewrites rows leaves them as they were.
    listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(List(), GWLP_WNDPROC, (LONG_PTR)&RefusingListProc));
    for (int id : {IDC_TOGGLE, IDC_MOVE_UP, IDC_MOVE_DOWN, ID_VIEW_EXTENSION}) Command(id);
    SetWindowLongPtrA(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
    EXPECT_EQ(Texts(), texts);
    EXPECT_EQ(Paths(), (Rows{b, a, c}));
    EXPECT_EQ(Selection(), 1);
    // A delete selects the neighbour and takes the file's own keys from the file at once.
    SelectRow(2), Command(IDC_DELETE);
    EXPECT_EQ(Paths(), (Rows{b, a}));
    EXPECT_EQ(Selection(), 1);
    EXPECT_EQ(Value("SWF_CONFIG", c + "@macro") + " " + Value("EXE_CONFIG", b + "@option"), "<missing> -f");
    SelectRow(0), Command(ID_FILE_DELETE);
    EXPECT_EQ(Selection(), 0);
    EXPECT_EQ(Value("EXE_CONFIG", b + "@change"), "<missing>");
    EXPECT_EQ(Value("EXE_CONFIG", "C:\\p\\o.exe@option") + Value("SWF_CONFIG", "C:\\p\\o.swf@macro"), "keepkeep");
    Command(IDC_DELETE);
    EXPECT_EQ(Selection(), LB_ERR);
    Command(IDC_DELETE), Command(IDCANCEL);  // nothing selected: nothing happens; Cancel puts every key back
    EXPECT_EQ(Bytes(), atOpening);
}

TEST_F(DialogsTest, LeavingWithoutSavingRestoresTheFileAndFailedWritesAreReported) {
    const std::string exe = "C:\\p\\game.exe";
    WriteIni({"; kept as it is", "[LIST]", "entry=1", "List0=" + kOn + exe, "List1=" + kOff + "C:\\x.scr", "",
              "[EXE_CONFIG]", exe + "@option=-f", "[TIMER]", "ON/OFF=1", "Time=7"});
    const std::string atOpening = Bytes();
    for (int way = 0; way < 4; ++way) {  // the button, the menu, the close box, Escape
        Open();
        ASSERT_TRUE(test::FileExists(Backup()));
        Command(IDC_DELETE);
        ASSERT_NE(Bytes(), atOpening);
        if (way < 2) Command(way ? ID_FILE_EXIT_WITHOUT_SAVING : IDCANCEL);
        if (way == 2) SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0), test::PumpQueued();
        if (way == 3) PostMessageA(List(), WM_KEYDOWN, VK_ESCAPE, 1), test::PumpAppUntil([&] { return !Shown(dlg); }, 3000);
        EXPECT_EQ(State(dlg, atOpening), "hidden, file as given") << way;
    }
    // The file held: the delete and OK say so, and the dialog stays.
    Open();
    HANDLE held = Hold(Ini());
    Command(IDC_DELETE), Command(IDOK), CloseHandle(held);
    const std::string notSaved = settings::NotSavedMessage(Ini());
    EXPECT_NE(notSaved.find(Ini()), std::string::npos);
    EXPECT_EQ(boxes, (Rows{notSaved, notSaved}));
    EXPECT_EQ(Paths(), Rows{"C:\\x.scr"});
    EXPECT_EQ(State(dlg, atOpening), "shown, file as given, backup");
    // Enter in an empty minutes edit: one message (none from the edit losing
    // the focus to it); the dialog, the focus and the backup stay.
    boxes.clear(), SetWindowTextA(Item(IDC_MINUTES), ""), SetFocus(Item(IDC_MINUTES));
    PostMessageA(Item(IDC_MINUTES), WM_KEYDOWN, VK_RETURN, 1);
    test::PumpAppUntil([] { return !boxes.empty(); }), test::PumpAppUntil([] { return boxes.size() > 1; }, 300);
    EXPECT_EQ(boxes, Rows{DataExchange::kNotANumberMessage});
    EXPECT_EQ(State(dlg, atOpening), "shown, file as given, backup");
    EXPECT_EQ(GetFocus(), Item(IDC_MINUTES));
    boxes.clear(), Command(IDCANCEL);  // asks nothing more
    EXPECT_EQ(boxes, Rows{});
    EXPECT_EQ(State(dlg, atOpening), "hidden, file as given");
    // Nothing of the failed writes waits in the process to reach the file with a later one.
    ASSERT_TRUE(app.WriteProfileInt("NEW", "Key", 7));
    EXPECT_EQ(Value("LIST", "List0") + Value("EXE_CONFIG", exe + "@option"), kOn + exe + "-f");
    // A backup that cannot be made (a folder in its place): Cancel says so and leaves the file.
    ASSERT_TRUE(CreateDirectoryA(Backup().c_str(), nullptr));
    Open(), Command(IDC_DELETE);
    const std::string changed = Bytes();
    boxes.clear(), Command(IDCANCEL), RemoveDirectoryA(Backup().c_str());
    EXPECT_EQ(boxes, Rows{SettingsDialog::kNotRestoredMessage});
    EXPECT_EQ(State(dlg, changed), "hidden, file as given");
}

TEST_F(DialogsTest, ChosenFilesGoBeforeTheSelectionNamedByTheViewOptionsAndRefusalsAreSaid) {
    auto file = [this](const std::string& name) { return test::WriteFileBytes(folder.File(name), "x"), folder.File(name); };
    // 表 (95 5C) and ソ (83 5C) end in the byte of "\".
    for (const char* sub : {"b", "c", "\x95\x5C"}) CreateDirectoryA(folder.File(sub).c_str(), nullptr);
    for (const char* name : {"P.scr", "Q.mp4", "R.mkv", "b\\movie.flv", "b\\tolvarin.scr", "c\\TOLVARIN.SCR"}) file(name);
    const std::string saver = folder.File("Named.SCR"), so = "\x83\x5C\x95\x5C";
    ASSERT_TRUE(test::CopyFileTo(test::FixturePath("named_saver.scr"), saver));
    Open();
    EXPECT_EQ(Add("\"P.scr\" \"Q.mp4\" \"R.mkv\""), Rows{});
    EXPECT_TRUE(EqualsNoCase(openedIn, folder.Path())) << openedIn;
    EXPECT_EQ(Texts(), (Rows{kOn + "Q.mp4", kOn + "R.mkv", kOn + "P.scr"}));
    EXPECT_EQ(Paths()[0] + " " + std::to_string(Selection()), folder.File("Q.mp4") + " 1");
    EXPECT_EQ(Add(saver), Rows{});
    EXPECT_EQ(Add(file("\x95\x5C\\" + so + ".exe")), Rows{});
    struct View { int id; Rows texts; } views[] = {
        {0, {kOn + "Q.mp4", kOn + so + ".exe", kOn + "テスト用セーバー", kOn + "R.mkv", kOn + "P.scr"}},
        {ID_VIEW_SAVER_NAME, {kOn + "Q.mp4", kOn + so + ".exe", kOn + "Named.SCR", kOn + "R.mkv", kOn + "P.scr"}},
        {ID_VIEW_EXTENSION, {kOn + "Q", kOn + so, kOn + "Named", kOn + "R", kOn + "P"}},
        {ID_VIEW_SAVER_NAME, {kOn + "Q", kOn + so, kOn + "テスト用セーバー", kOn + "R", kOn + "P"}},
    };
    for (const View& view : views) {
        if (view.id) Command(view.id);
        EXPECT_EQ(Texts(), view.texts) << view.id;
        EXPECT_EQ(Selection(), 1) << view.id;
    }
    EXPECT_FALSE(MenuChecked(ID_VIEW_EXTENSION));
    // Refused files are named (as the choice spells them); the next add opens where the last one chose.
    struct Choice { std::string chosen, refusal, openedIn; } choices[] = {
        {folder.File("b\\movie.flv"), folder.File("b\\movie.flv") + "は登録できません。", folder.File("\x95\x5C")},
        {folder.File("p.SCR"), "pは\nすでにリストに存在します。", folder.File("b")},
        {folder.File("b\\tolvarin.scr"), "tolvarin.scrは追加できません", folder.Path()},
        {folder.File("c\\TOLVARIN.SCR"), "", folder.File("b")},
    };
    for (const Choice& choice : choices) {
        EXPECT_EQ(Add(choice.chosen), choice.refusal.empty() ? Rows{} : Rows{choice.refusal});
        EXPECT_TRUE(EqualsNoCase(openedIn, choice.openedIn)) << openedIn;
    }
    EXPECT_EQ(Paths()[1], folder.File("c\\TOLVARIN.SCR"));
    std::string names;  // more than 10000 bytes of names, taken whole
    for (int i = 100; i < 230; ++i) names += " \"" + file("c\\" + std::to_string(i) + std::string(72, 'n') + ".scr").substr(folder.Path().size() + 3) + "\"";
    EXPECT_EQ(Add(names), Rows{});
    EXPECT_EQ(dialog->RowCount(), 136);
    Command(IDOK);
    EXPECT_EQ(Value("OTHER", "Dir"), folder.File("c"));
    EXPECT_FALSE(test::FileExists(saver + ".ran"));  // its name was read without running it
}

TEST_F(DialogsTest, TheMouseDragsARowAndF1AsksForHelp) {
    WriteIni({"[LIST]", "entry=3", "List0=C:\\a.scr", "List1=C:\\b.scr", "List2=C:\\c.scr", "List3=C:\\d.scr"});
    Open(), SetForegroundWindow(dlg);
    test::PumpAppUntil([&] { return GetForegroundWindow() == dlg; }, 3000);
    SetFocus(List()), test::PressKey(VK_F1);  // through the system's WM_HELP
    test::PumpAppUntil([&] { return !app.helpOwners.empty(); }, 3000);
    Command(ID_HELP);
    EXPECT_EQ(app.helpOwners, (std::vector<HWND>{dlg, dlg}));
    auto moveOver = [this](int from, int to, int step) {  // the mouse from row to row, a move at a time
        RECT first = {}, last = {};
        SendMessageA(List(), LB_GETITEMRECT, from, reinterpret_cast<LPARAM>(&first));
        SendMessageA(List(), LB_GETITEMRECT, to, reinterpret_cast<LPARAM>(&last));
        for (POINT p = {first.right / 2, (first.top + first.bottom) / 2}; p.y <= (last.top + last.bottom) / 2; p.y += step) {
            POINT at = p, now = {};
            ClientToScreen(List(), &at), test::MoveMouseTo(at.x, at.y);
            test::PumpAppUntil([&] { return GetCursorPos(&now) && now.y == at.y; }, 1000);
        }
    };
    moveOver(0, 0, 1), mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ASSERT_TRUE(test::PumpAppUntil([&] { return GetCapture() == List(); }, 3000));
    moveOver(0, 2, 3), mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(test::PumpAppUntil([&] { return GetCapture() != List(); }, 3000));
    const Rows dragged = {"C:\\b.scr", "C:\\c.scr", "C:\\a.scr", "C:\\d.scr"};
    EXPECT_EQ(Paths(), dragged);
    EXPECT_EQ(Selection(), 2);
}

// --- The per-file settings dialogs ------------------------------------------------------

TEST_F(DialogsTest, TheProgramSettingsShowAndWriteTheProgramsFiveKeysAndOkWaitsForAWrite) {
    const std::string k = "C:\\Tools\\clock.exe@", n = "C:\\Tools\\new.exe@";
    WriteIni({"[EXE_CONFIG]", k + "option=/full", k + "start=ALT+ENT", k + "finish=ENT", k + "mouse=1", k + "change=0",
              "C:\\Tools\\other.exe@option=/keep"});
    const std::string before = Bytes();
    auto fields = [](HWND d) {  // option|start|finish|mouse change
        return Text(d, IDC_PROGRAM_OPTION) + "|" + Text(d, IDC_PROGRAM_START_MACRO) + "|" + Text(d, IDC_PROGRAM_FINISH_MACRO) + "|" +
               std::to_string(IsDlgButtonChecked(d, IDC_PROGRAM_MOUSE)) + " " + std::to_string(IsDlgButtonChecked(d, IDC_PROGRAM_CHANGE));
    };
    HWND d = OpenFor<ProgramSettingsDialog>("C:\\Tools\\clock.exe");
    EXPECT_EQ(test::TextOf(d) + " " + fields(d), "clockの設定 /full|ALT+ENT|ENT|1 0");
    SetDlgItemTextA(d, IDC_PROGRAM_OPTION, "/s 時計"), SetDlgItemTextA(d, IDC_PROGRAM_FINISH_MACRO, "");
    Click(d, IDC_PROGRAM_MOUSE), Click(d, IDC_PROGRAM_CHANGE);
    HANDLE held = Hold(Ini());
    Click(d, IDOK), CloseHandle(held);
    EXPECT_EQ(boxes, Rows{settings::NotSavedMessage(Ini())});
    EXPECT_EQ(State(d, before), "shown, file as given");
    Click(d, IDOK);
    EXPECT_FALSE(Shown(d));
    const std::string edited = "[EXE_CONFIG]\r\n" + k + "option=/s 時計\r\n" + k + "start=ALT+ENT\r\n" + k + "finish=\r\n" + k +
                               "mouse=0\r\n" + k + "change=1\r\nC:\\Tools\\other.exe@option=/keep\r\n";
    EXPECT_EQ(Bytes(), edited);
    // A program never set up: empty fields, and OK writes all five keys in their order.
    d = OpenFor<ProgramSettingsDialog>("C:\\Tools\\new.exe");
    EXPECT_EQ(fields(d), "|||0 0");
    Click(d, IDOK);
    EXPECT_EQ(Bytes(), edited + n + "option=\r\n" + n + "start=\r\n" + n + "finish=\r\n" + n + "mouse=0\r\n" + n + "change=0\r\n");
}

// The fields as a macro entry stores them (time,action,x,x unit,y,y unit;
// -1: nothing chosen), then the controls enabled: A(dd), C(hange), D(elete), X (coordinates).
std::string FlashFields(HWND d) {
    std::string text = Text(d, IDC_FLASH_TIME), enabled = "ACDX";
    for (int id : {IDC_FLASH_ACTION, IDC_FLASH_X, IDC_FLASH_X_UNIT, IDC_FLASH_Y, IDC_FLASH_Y_UNIT}) {
        text += "," + (id == IDC_FLASH_X || id == IDC_FLASH_Y ? Text(d, id) : std::to_string(Combo(d, id)));
    }
    const int ids[] = {IDC_FLASH_ADD, IDC_FLASH_CHANGE, IDC_FLASH_DELETE, IDC_FLASH_X};
    for (int i = 3; i >= 0; --i) {
        if (!IsWindowEnabled(GetDlgItem(d, ids[i]))) enabled.erase(static_cast<size_t>(i), 1);
    }
    return text + " " + enabled;
}
// Edits take a text; combo boxes an index, chosen as the user chooses one.
void Set(HWND d, int id, const std::string& value) {
    if (id != IDC_FLASH_ACTION && id != IDC_FLASH_X_UNIT && id != IDC_FLASH_Y_UNIT) return (void)SetDlgItemTextA(d, id, value.c_str());
    SendDlgItemMessageA(d, id, CB_SETCURSEL, static_cast<WPARAM>(std::stoi(value)), 0), Command(d, id, CBN_SELCHANGE);
}
// Selects a row as the keyboard does, and clicks it if asked; the row selected.
int PickRow(HWND d, int row, bool click) {
    HWND list = GetDlgItem(d, IDC_FLASH_LIST);
    NMITEMACTIVATE notice = {};
    notice.hdr = {list, IDC_FLASH_LIST, static_cast<UINT>(NM_CLICK)}, notice.iItem = row;
    if (row >= 0) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (click) SendMessageA(d, WM_NOTIFY, IDC_FLASH_LIST, reinterpret_cast<LPARAM>(&notice));
    return ListView_GetNextItem(list, -1, LVNI_SELECTED);
}

TEST_F(DialogsTest, TheFlashSettingsKeepTheMacroInTimeOrderAndEditItRowByRow) {
    const std::string key = "C:\\movies\\clock.swf@macro";
    for (const std::string& file : {std::string("[SWF_CONFIG]"), "[SWF_CONFIG]\r\n" + key + "="}) {
        WriteIni({file});
        HWND d = OpenFor<FlashSettingsDialog>("C:\\movies\\clock.swf");
        EXPECT_EQ(test::TextOf(d) + " " + FlashFields(d), "clockの設定 ,-1,,-1,,-1 X");
        EXPECT_EQ(ListView_GetItemCount(GetDlgItem(d, IDC_FLASH_LIST)), 0);
        Click(d, IDOK);
        EXPECT_EQ(Value("SWF_CONFIG", key), "") << file;
    }
    WriteIni({"[SWF_CONFIG]", key + "=30,1 007,0,50,1,25,0 2,1 4,9,1,0,2,0 7,1"});
    const std::string before = Bytes();
    HWND d = OpenFor<FlashSettingsDialog>("C:\\movies\\clock.swf");  // rows: 2 4 7 7 30
    // Add only once the fields describe a whole action; a reload needs no coordinates.
    struct Edit { int id; const char* value; const char* fields; } edits[] = {
        {IDC_FLASH_TIME, "12", "12,-1,,-1,,-1 X"},     {IDC_FLASH_ACTION, "0", "12,0,,-1,,-1 X"},
        {IDC_FLASH_X, "30", "12,0,30,-1,,-1 X"},       {IDC_FLASH_Y, "40", "12,0,30,-1,40,-1 X"},
        {IDC_FLASH_X_UNIT, "1", "12,0,30,1,40,-1 X"},  {IDC_FLASH_Y_UNIT, "0", "12,0,30,1,40,0 AX"},
        {IDC_FLASH_Y, "", "12,0,30,1,,0 X"},           {IDC_FLASH_ACTION, "1", "12,1,30,1,,0 A"},
        {IDC_FLASH_TIME, "", ",1,30,1,,0 "},           {IDC_FLASH_ACTION, "0", ",0,30,1,,0 X"},
    };
    for (const Edit& edit : edits) {
        Set(d, edit.id, edit.value);
        EXPECT_EQ(FlashFields(d), edit.fields) << edit.id << " " << edit.value;
    }
    // Only a click fills the fields; a reload row clears the units and disables the coordinates.
    PickRow(d, 1, false);
    EXPECT_EQ(FlashFields(d), ",0,30,1,,0 X");
    PickRow(d, 2, true);
    EXPECT_EQ(FlashFields(d), "7,0,50,1,25,0 DX");
    Set(d, IDC_FLASH_TIME, "6");
    EXPECT_EQ(FlashFields(d), "6,0,50,1,25,0 ACDX");
    PickRow(d, 3, true);
    EXPECT_EQ(FlashFields(d), "7,1,50,-1,25,-1 D");
    PickRow(d, 2, true), Click(d, IDC_FLASH_DELETE);
    EXPECT_EQ(FlashFields(d), ",-1,,-1,,-1 X");
    // An added row goes after the rows of its time and is selected; a changed one moves to its place.
    for (int i = 0; i < 6; ++i) Set(d, edits[i].id, i ? edits[i].value : "7");  // a click at 30%,40 pixels
    Click(d, IDC_FLASH_ADD);
    EXPECT_EQ(FlashFields(d) + " " + std::to_string(PickRow(d, -1, false)), "7,0,30,1,40,0 X 3");
    Set(d, IDC_FLASH_TIME, "3"), Click(d, IDC_FLASH_CHANGE);
    EXPECT_EQ(PickRow(d, -1, false), 1);
    Set(d, IDC_FLASH_TIME, "0"), Set(d, IDC_FLASH_ACTION, "1"), Click(d, IDC_FLASH_ADD);  // the coordinates' texts are ignored
    HANDLE held = Hold(Ini());
    Click(d, IDOK), CloseHandle(held);
    EXPECT_EQ(boxes, Rows{settings::NotSavedMessage(Ini())});
    EXPECT_EQ(State(d, before), "shown, file as given");
    Click(d, IDOK);
    EXPECT_FALSE(Shown(d));
    EXPECT_EQ(Value("SWF_CONFIG", key), "0,1 2,1 3,0,30,1,40,0 4,-1,1,0,2,0 7,1 30,1");
}

// --- The about box ------------------------------------------------------------------------

// "hover": orange, underlined and holding the capture (to learn when the mouse
// leaves); "focus" (red) and "normal" (blue): neither underlined nor capturing.
std::string Look(LinkLabel& label) {
    const bool captured = GetCapture() == label.Handle(), focused = GetFocus() == label.Handle();
    if (label.TextColor() == LinkLabel::kHoverColor && label.Underlined() && captured) return "hover";
    if (label.Underlined() || captured) return "underlined or capturing";
    if (label.TextColor() != (focused ? LinkLabel::kFocusColor : LinkLabel::kNormalColor)) return "wrong colour";
    return focused ? "focus" : "normal";
}
// The label's size is its text's extent in its own font, plus 2, and the screen shows it blue.
bool FitsItsTextInBlue(HWND label) {
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    const std::string text = test::TextOf(label);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old), ReleaseDC(label, dc);
    RECT client = {};
    int width = 0, height = 0, blue = 0;
    for (COLORREF c : test::CaptureClient(label, &width, &height)) blue += GetBValue(c) > 200 && GetRValue(c) < 80 && GetGValue(c) < 80;
    return GetClientRect(label, &client) && blue && client.right == extent.cx + 2 && client.bottom == extent.cy + 2;
}
void Key(UINT key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1), PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001), test::PumpQueued();
}

TEST_F(DialogsTest, TheAboutBoxShowsTheVersionAndItsLinksOpenOnAClickOrEnterOnly) {
    ASSERT_GT(RecordShellOpens(), 0);
    test::MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);  // away from the box
    auto& about = static_cast<AboutDialog&>(*others.emplace_back(std::make_unique<AboutDialog>()));
    HWND d = Show(about);
    LinkLabel &web = about.webLink, &mail = about.mailLink;
    EXPECT_EQ(test::TextOf(d), TOLVARIN_ABOUT_CAPTION);
    EXPECT_EQ(Text(d, IDC_ABOUT_VERSION) + " / " + Text(d, IDC_ABOUT_COPYRIGHT),
              TOLVARIN_NAME " version 1.50b / Copyright (C) 2026 トルヴァリン工房");
    for (LinkLabel* link : {&web, &mail}) {
        EXPECT_TRUE(test::PumpAppUntil([&] { return FitsItsTextInBlue(link->Handle()); }));
        EXPECT_EQ(Look(*link), "normal");
        SendMessageA(link->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link->Handle()), HTCLIENT);
        EXPECT_TRUE(link->Cursor() && GetCursor() == link->Cursor());
    }
    // The mouse, message by message, and the look after each.
    struct Step { UINT message; bool inside; const char* look; } steps[] = {
        {WM_MOUSEMOVE, true, "hover"},   {WM_LBUTTONDOWN, true, "hover"},  // takes the focus
        {WM_MOUSEMOVE, false, "hover"},  {WM_LBUTTONUP, false, "focus"},   // held out, released: nothing opens
        {WM_MOUSEMOVE, true, "hover"},   {WM_RBUTTONDOWN, true, "focus"},  {WM_RBUTTONUP, true, "focus"},
        {WM_MOUSEMOVE, true, "hover"},   {WM_MBUTTONDOWN, true, "focus"},  {WM_MBUTTONUP, true, "focus"},
        {WM_MOUSEMOVE, true, "hover"},   {WM_MOUSEMOVE, false, "focus"},   // left with no button held
        {WM_MOUSEMOVE, true, "hover"},   {WM_LBUTTONDOWN, true, "hover"},  {WM_MOUSEMOVE, false, "hover"},
        {WM_MOUSEMOVE, true, "hover"},   {WM_LBUTTONUP, true, "focus"},    // out and back in: opens
    };
    auto send = [&](UINT message, bool inside) { SendMessageA(web.Handle(), message, 0, inside ? MAKELPARAM(2, 2) : MAKELPARAM(-20, -20)); };
    for (const Step& step : steps) {
        send(step.message, step.inside);
        EXPECT_EQ(Look(web), step.look) << &step - steps;
    }
    EXPECT_EQ(opened, Rows{"open http://tolvarin.example/"});
    // Tab goes to the other label; Enter opens the focused one (and does not press OK).
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), mail.Handle());
    EXPECT_EQ(Look(mail) + " " + Look(web), "focus normal");
    Key(VK_RETURN);
    EXPECT_TRUE(Shown(d));
    // While the button is held on a label keys wait; losing the focus ends the press.
    send(WM_MOUSEMOVE, true), send(WM_LBUTTONDOWN, true), Key(VK_RETURN), SetFocus(GetDlgItem(d, IDOK));
    EXPECT_EQ(Look(web), "normal");
    send(WM_MOUSEMOVE, true), send(WM_MOUSEMOVE, false);
    EXPECT_EQ(Look(web), "normal");
    SetFocus(web.Handle()), Key(VK_RETURN);
    EXPECT_EQ(opened, (Rows{"open http://tolvarin.example/", "open mailto:info@tolvarin.example", "open http://tolvarin.example/"}));
}

}  // namespace
