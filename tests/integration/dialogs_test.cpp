// The settings dialog, the per-file settings dialogs and the about box, made
// in-process from their real templates (modeless: OK and Cancel hide them)
// and driven through their controls, and laid out at the system DPI (96;
// scripts/test.sh runs that test once more at 144). Every error box is
// answered as it opens, its text kept, and so is the open-file dialog, the
// names asked for typed into its name field. The program's calls of
// ShellExecuteA (which it looks up in the shell's library when it first opens
// an address) are recorded instead of opening anything; the manual goes to a
// stand-in for the browser.
#include "res/resource.h"
#include "session/CoverWindow.h"
#include "settings/SettingsBackup.h"
#include "settings/SettingsFile.h"
#include "tests/integration/support/InProcess.h"
#include "tolvarin_version.h"
#include "ui/AboutDialog.h"
#include "ui/FileDialogIds.h"
#include "ui/FlashSettingsDialog.h"
#include "ui/Manual.h"
#include "ui/ProgramSettingsDialog.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace {

using Rows = std::vector<std::string>;
Rows opened;                  // what the shell was asked to open
std::string typed, openedIn;  // the next open-file dialog's names; the folder it showed

// The open-file dialog: the names typed and chosen (none: cancelled).
void AnswerFileDialog(HWND w) {
    char folder[MAX_PATH] = {};
    if (test::TextOf(w) != "ファイルを追加する") return;
    SendMessageA(w, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    openedIn = folder;
    SetDlgItemTextA(w, cmb13, typed.c_str());
    if (!typed.empty()) SendMessageA(w, WM_COMMAND, IDOK, 0);
    typed.clear();
}

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
    opened.push_back(std::string(verb) + " " + file);
    return HINSTANCE(33);
}
BOOL WINAPI RecordProperties(HWND, DWORD type, const void* object, const void*) {
    const std::wstring path = static_cast<const wchar_t*>(object);
    opened.push_back("properties " + std::to_string(type) + " " + std::string(path.begin(), path.end()));
    return TRUE;
}
decltype(&GetProcAddress) realLookUp = nullptr;
FARPROC WINAPI LookUp(HMODULE module, LPCSTR name) {
    if (reinterpret_cast<ULONG_PTR>(name) == 178) return reinterpret_cast<FARPROC>(&RecordProperties);
    const bool shell = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && lstrcmpA(name, "ShellExecuteA") == 0;
    return shell ? reinterpret_cast<FARPROC>(&RecordOpen) : realLookUp(module, name);
}
// Points this program's import of GetProcAddress at LookUp, which answers a
// look-up of ShellExecuteA with RecordOpen, and of the shell's object
// properties (ordinal 178) with RecordProperties, before any test runs (the
// program keeps what it looked up); the entries changed.
int RecordShellOpens() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    const auto real = reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcAddress"));
    realLookUp = reinterpret_cast<decltype(&GetProcAddress)>(real);
    int changed = 0;
    DWORD was = 0;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll)
        for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk); entry->u1.Function; ++entry)
            if (entry->u1.Function == real && VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &was)) {
                entry->u1.Function = ULONG_PTR(&LookUp);
                ++changed;
            }
    return changed;
}
const int shellOpensRecorded = RecordShellOpens();

void Command(HWND d, int id, int code = BN_CLICKED) {
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(GetDlgItem(d, id)));
    test::PumpQueued();
}
void Click(HWND d, int id) {
    SendDlgItemMessageA(d, id, BM_CLICK, 0, 0);
    test::PumpQueued();
}
std::string Text(HWND d, int id) { return test::TextOf(GetDlgItem(d, id)); }
std::string Combo(HWND d, int id) { return std::to_string(SendDlgItemMessageA(d, id, CB_GETCURSEL, 0, 0)); }
std::string Lines(const Rows& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, previousFolder);
        SetCurrentDirectoryA(folder.Path().c_str());  // where a first add looks
    }
    void TearDown() override {
        for (auto& other : others) other->DestroyWindow();
        test::PumpQueued();
        SetCurrentDirectoryA(previousFolder);
        DeleteFileA(backup.c_str());
    }
    std::string Bytes() const { return test::ReadFileBytes(ini); }
    std::string Value(const char* part, const std::string& key) { return test::ReadIniString(ini, part, key.c_str()); }
    void WriteIni(const Rows& lines) const { test::WriteFileBytes(ini, Lines(lines)); }
    // Whether window is shown, the file is as given and the backup is there;
    // then the error boxes shown since the last look.
    std::string State(HWND window, const std::string& bytes) {
        std::string state = IsWindowVisible(window) ? "shown" : "hidden";
        state += Bytes() == bytes ? ", file as given" : ", file changed";
        if (test::FileExists(backup)) state += ", backup";
        for (const std::string& box : boxes) state += " | " + box;
        boxes.clear();
        return state;
    }
    // Clicks the buttons with the file held open without write sharing, so
    // that no write reaches it; then the state.
    std::string ClickWhileHeld(HWND d, std::initializer_list<int> ids) {
        const std::string bytes = Bytes();
        HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        for (int id : ids) Click(d, id);
        CloseHandle(held);
        return State(d, bytes);
    }
    static HWND Show(Dialog& d) {
        EXPECT_TRUE(d.CreateModeless(nullptr));
        ShowWindow(d.Handle(), SW_SHOW);
        test::PumpQueued();
        return d.Handle();
    }
    template <class D> D& Another() { return static_cast<D&>(*others.emplace_back(std::make_unique<D>())); }
    template <class D> HWND OpenFor(const std::string& path) {
        Another<D>().path = path;
        return Show(*others.back());
    }

    // The settings dialog, opened and given a first command.
    HWND Open(int command = 0) {
        dialog = std::make_unique<SettingsDialog>(nullptr);
        dlg = Show(*dialog);
        if (command) Command(command);
        return dlg;
    }
    HWND Item(int id) const { return GetDlgItem(dlg, id); }
    HWND List() const { return Item(IDC_SAVER_LIST); }
    void Command(int id) { ::Command(dlg, id); }
    void SelectRow(int index) { SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    // The rows' texts, the selected one in brackets; a row shows its path when
    // its text names another file.
    std::string Listed() const {
        const int selected = int(SendMessageA(List(), LB_GETCURSEL, 0, 0));
        std::string text;
        for (int i = 0; i < dialog->RowCount(); ++i) {
            const std::string row = dialog->RowText(i), path = dialog->RowPath(i);
            text += (i ? " " : "") + (i == selected ? "[" + row + "]" : row);
            if (row.substr(2) != dialog->GetDisplayName(path)) text += "<" + path + ">";
        }
        return text;
    }
    // The options shown: the minutes (their edit enabled or not, the timer
    // checked or not), the order's index and the view options checked.
    std::string Options() const {
        auto checked = [this](UINT id) { return (GetMenuState(GetMenu(dlg), id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
        std::string text = Text(dlg, IDC_MINUTES) + (IsWindowEnabled(Item(IDC_MINUTES)) ? " enabled" : " disabled");
        text += IsDlgButtonChecked(dlg, IDC_TIMER_ON) ? " timer" : "";
        text += " order " + Combo(dlg, IDC_ORDER);
        return text + (checked(ID_VIEW_EXTENSION) ? " extension" : "") + (checked(ID_VIEW_SAVER_NAME) ? " name" : "");
    }

    test::TestApp t;  // this module's resources, the test's own settings file
    const test::TempFolder& folder = t.folder;
    const std::string ini = t.IniPath(), backup = SettingsBackup::DefaultBackupPath();
    const std::string notSaved = settings::NotSavedMessage(ini);
    std::unique_ptr<SettingsDialog> dialog;
    HWND dlg = nullptr;
    std::vector<std::unique_ptr<Dialog>> others;
    test::DialogAnswerer answerer{&AnswerFileDialog};
    Rows& boxes = answerer.texts;  // the error boxes' texts
    char previousFolder[MAX_PATH] = {};
};

// --- The settings dialog ----------------------------------------------------------

TEST_F(DialogsTest, WithoutAFileDefaultsShowAndOkWritesWhatTheControlsSayInOrder) {
    Open();
    EXPECT_EQ(Options() + " " + Listed(), "10 disabled order 0 extension name ");
    HWND order = Item(IDC_ORDER);
    EXPECT_EQ(SendMessageA(order, CB_GETCOUNT, 0, 0), 3);
    const char* orders[] = {"ランダム", "リスト順", "先頭から"};  // at their stored indexes in a sorted box
    for (LPARAM i = 0; i < 3; ++i) EXPECT_EQ(SendMessageA(order, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(orders[i])), i);
    for (const char* path : {"C:\\1.scr", "C:\\2.exe", "C:\\3.swf"})
        dialog->InsertRow(-1, "○" + dialog->GetDisplayName(path), path);
    SelectRow(1);
    CheckDlgButton(dlg, IDC_TIMER_ON, BST_CHECKED);
    CheckDlgButton(dlg, IDC_ALL_MONITORS, BST_CHECKED);
    for (int id : {IDC_TOGGLE, ID_VIEW_EXTENSION, IDC_TIMER_ON}) Command(id);
    SetWindowTextA(Item(IDC_MINUTES), "1500");
    SendMessageA(order, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(Options() + " " + Listed(), "1500 enabled timer order 2 name ○1 [×2] ○3");
    Command(ID_FILE_SAVE_AND_EXIT);  // minutes are saved as at most 999
    const Rows saved = {"[LIST]", "entry=2", "List0=○C:\\1.scr", "List1=×C:\\2.exe", "List2=○C:\\3.swf", "[OTHER]",
                        "Dir=" + folder.Path(), "Order=2", "ON=2", "Extension=0", "SaverName=1",
                        "AllMonitors=1", "[TIMER]", "ON/OFF=1", "Time=999"};
    EXPECT_EQ(State(dlg, Lines(saved)), "hidden, file as given");
}

// A list box out of room for a new row.
WNDPROC listProc = nullptr;
LRESULT CALLBACK RefusingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == LB_INSERTSTRING ? LB_ERRSPACE : CallWindowProcA(listProc, window, message, wParam, lParam);
}

TEST_F(DialogsTest, StoredRowsShowTheirMarksAndCommandsKeepPathsStopAtTheEndsAndDeleteForgetsPerFileKeysAtOnce) {
    const std::string b = "C:\\p\\b.exe", c = "C:\\p\\c.swf";
    WriteIni({"[LIST]", "entry=3", "List0=×C:\\p\\a.scr", "List1=" + b, "List3=" + c, "[OTHER]", "SaverName=0",
              "Order=1", "[TIMER]", "ON/OFF=1", "Time=0", "[EXE_CONFIG]", b + "@option=-f", b + "@change=1",
              "C:\\p\\o.exe@option=keep", "[SWF_CONFIG]", c + "@macro=1,2", "C:\\p\\o.swf@macro=keep"});
    const std::string atOpening = Bytes();
    Open();
    // The minutes as stored until their edit is left.
    EXPECT_EQ(Options() + " " + Listed(), "0 enabled timer order 1 extension [×a.scr] ○b.exe ○ ○c.swf");
    SetFocus(Item(IDC_MINUTES));
    SetFocus(List());
    test::PumpQueued();
    EXPECT_EQ(Text(dlg, IDC_MINUTES), "1");
    struct Step { int select, id; const char* rows; } steps[] = {
        {2, IDC_DELETE, "×a.scr ○b.exe [○c.swf]"},  // the next row is selected
        {0, IDC_TOGGLE, "[○a.scr] ○b.exe ○c.swf"},      {-1, ID_FILE_TOGGLE, "[×a.scr] ○b.exe ○c.swf"},
        {-1, IDC_MOVE_UP, "[×a.scr] ○b.exe ○c.swf"},     {-1, IDC_MOVE_DOWN, "○b.exe [×a.scr] ○c.swf"},
        {-1, ID_FILE_MOVE_DOWN, "○b.exe ○c.swf [×a.scr]"}, {-1, IDC_MOVE_DOWN, "○b.exe ○c.swf [×a.scr]"},
        {-1, ID_FILE_MOVE_UP, "○b.exe [×a.scr] ○c.swf"},
        {-1, 0, "○b.exe [×a.scr] ○c.swf"},  // no room for a new row: every command that rewrites rows leaves them
        {2, IDC_DELETE, "○b.exe [×a.scr]"},  // the last row: the one before it
        {0, ID_FILE_DELETE, "[×a.scr]"},    {-1, IDC_DELETE, ""},  {-1, IDC_DELETE, ""},
    };
    for (const Step& step : steps) {
        if (step.select >= 0) SelectRow(step.select);
        if (step.id) Command(step.id);
        if (!step.id) {
            listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(List(), GWLP_WNDPROC, LONG_PTR(&RefusingListProc)));
            for (int id : {IDC_TOGGLE, IDC_MOVE_UP, IDC_MOVE_DOWN, ID_VIEW_EXTENSION}) Command(id);
            SetWindowLongPtrA(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
            Command(ID_VIEW_EXTENSION);
        }
        EXPECT_EQ(Listed(), step.rows) << &step - steps;
    }
    // Each delete took the file's own keys from the file at once, and no others; Cancel puts them back.
    EXPECT_EQ(Value("SWF_CONFIG", c + "@macro") + Value("EXE_CONFIG", b + "@change"), "<missing><missing>");
    EXPECT_EQ(Value("EXE_CONFIG", "C:\\p\\o.exe@option") + Value("SWF_CONFIG", "C:\\p\\o.swf@macro"), "keepkeep");
    Command(IDCANCEL);
    EXPECT_EQ(Bytes(), atOpening);
}

TEST_F(DialogsTest, LeavingWithoutSavingRestoresTheFileAndFailedWritesAreReported) {
    WriteIni({"; kept as it is", "[LIST]", "entry=1", "List0=○C:\\p\\game.exe", "List1=×C:\\x.scr", "",
              "[EXE_CONFIG]", "C:\\p\\game.exe@option=-f", "[TIMER]", "ON/OFF=1", "Time=7"});
    const std::string atOpening = Bytes();
    for (int way = 0; way < 3; ++way) {  // the button, the menu, Escape
        Open(IDC_DELETE);
        ASSERT_EQ(State(dlg, atOpening), "shown, file changed, backup");
        if (way < 2) Command(way ? ID_FILE_EXIT_WITHOUT_SAVING : IDCANCEL);
        if (way == 2) PostMessageA(List(), WM_KEYDOWN, VK_ESCAPE, 1);
        test::PumpAppUntil([&] { return !IsWindowVisible(dlg); }, 3000);
        EXPECT_EQ(State(dlg, atOpening), "hidden, file as given") << way;
    }
    // The file held: the delete and OK say so, and the dialog stays.
    Open();
    const std::string held = ClickWhileHeld(dlg, {IDC_DELETE, IDOK});
    EXPECT_NE(notSaved.find(ini), std::string::npos);
    EXPECT_EQ(Listed() + " " + held, "[×x.scr] shown, file as given, backup | " + notSaved + " | " + notSaved);
    // Enter in an empty minutes edit: one message (none from the edit losing
    // the focus to it); the dialog, the focus and the backup stay.
    SetWindowTextA(Item(IDC_MINUTES), "");
    SetFocus(Item(IDC_MINUTES));
    PostMessageA(Item(IDC_MINUTES), WM_KEYDOWN, VK_RETURN, 1);
    test::PumpAppUntil([this] { return !boxes.empty() && GetFocus() == Item(IDC_MINUTES); });
    EXPECT_EQ(GetFocus() == Item(IDC_MINUTES) ? State(dlg, atOpening) : "focus lost",
              std::string("shown, file as given, backup | ") + DataExchange::kNotANumberMessage);
    Command(IDCANCEL);
    EXPECT_EQ(State(dlg, atOpening), "hidden, file as given");  // asking nothing more
    // Nothing of the failed writes waits in the process to reach the file with a later one.
    ASSERT_TRUE(t.app.WriteProfileInt("NEW", "Key", 7));
    EXPECT_EQ(Value("LIST", "List0") + Value("EXE_CONFIG", "C:\\p\\game.exe@option"), "○C:\\p\\game.exe-f");
    // A backup that cannot be made (a folder in its place): Cancel says so and leaves the file.
    ASSERT_TRUE(CreateDirectoryA(backup.c_str(), nullptr));
    Open(IDC_DELETE);
    const std::string changed = Bytes();
    Command(IDCANCEL);
    RemoveDirectoryA(backup.c_str());
    EXPECT_EQ(State(dlg, changed), std::string("hidden, file as given | ") + SettingsDialog::kNotRestoredMessage);
    // One that cannot be put back (the file held): Cancel names the copy, kept under a name of its own.
    WriteIni({"[LIST]", "entry=0", "List0=○C:\\x.scr"});
    const std::string before = Bytes(), kept = backup.substr(0, backup.size() - 4) + " (1).ini";
    Open(IDC_DELETE);
    EXPECT_EQ(ClickWhileHeld(dlg, {IDCANCEL}), std::string("hidden, file as given | ") +
                                                   SettingsDialog::kNotRestoredMessage + "\n元の設定ファイルの写しは " +
                                                   kept + " にあります。");
    EXPECT_EQ(test::ReadFileBytes(kept), before);
    DeleteFileA(kept.c_str());
    // No file at opening: what the dialog wrote goes again.
    DeleteFileA(ini.c_str());
    Open();
    dialog->InsertRow(-1, "○x.scr", "C:\\x.scr");
    SelectRow(0);
    Command(IDC_DELETE);
    EXPECT_TRUE(test::FileExists(ini));
    Command(IDCANCEL);
    EXPECT_FALSE(test::FileExists(ini));
    EXPECT_EQ(State(dlg, ""), "hidden, file as given");
}

TEST_F(DialogsTest, ChosenFilesGoBeforeTheSelectionNamedByTheViewOptionsAndRefusalsAreSaid) {
    auto file = [this](const std::string& name) {
        test::WriteFileBytes(folder.File(name), "x");
        return folder.File(name);
    };
    // 表 (95 5C) and ソ (83 5C) end in the byte of "\".
    for (const char* sub : {"b", "c", "表"}) CreateDirectoryA(folder.File(sub).c_str(), nullptr);
    for (const char* name : {"P.scr", "Q.mp4", "R.mkv", "b\\movie.flv", "b\\tolvarin.scr", "c\\TOLVARIN.SCR"})
        file(name);
    const std::string saver = folder.PlaceFixture("named_saver.scr", "Named.SCR"), in = folder.Path();
    std::string many;  // more than 10000 bytes of names
    for (int i = 100; i < 230; ++i) {
        const std::string name = std::to_string(i) + std::string(72, 'n') + ".exe";
        file("c\\" + name);
        many += " \"" + name + "\"";
    }
    Open();
    // Each choice opens where the last one chose; refused files are named as the choice spells them.
    struct Choice { std::string chosen, refusal, openedIn, rows; } choices[] = {
        {"\"P.scr\" \"Q.mp4\" \"R.mkv\"", "", in, "○Q.mp4 [○R.mkv] ○P.scr"},
        {saver, "", in, "○Q.mp4 [○テスト用セーバー] ○R.mkv ○P.scr"},
        {file("表\\ソ表.exe"), "", in, "○Q.mp4 [○ソ表.exe] ○テスト用セーバー ○R.mkv ○P.scr"},
        {in + "\\b\\movie.flv", in + "\\b\\movie.flv" + "は登録できません。", in + "\\表", ""},
        {in + "\\p.SCR", "p.SCRは\nすでにリストに存在します。", in + "\\b", ""},
        {in + "\\b\\tolvarin.scr", "tolvarin.scrは追加できません", in, ""},
        {in + "\\c\\TOLVARIN.SCR", "", in + "\\b",
         "○Q.mp4 [○TOLVARIN.SCR] ○ソ表.exe ○テスト用セーバー ○R.mkv ○P.scr"},
    };
    for (const Choice& choice : choices) {
        typed = choice.chosen;
        Command(IDC_ADD);
        EXPECT_EQ(State(dlg, Bytes()), "shown, file as given" + (choice.refusal.empty() ? "" : " | " + choice.refusal));
        EXPECT_STRCASEEQ(openedIn.c_str(), choice.openedIn.c_str()) << choice.chosen;
        EXPECT_EQ(choice.rows.empty() ? "" : Listed(), choice.rows);
    }
    struct View { int id; const char* rows; const char* options; } views[] = {
        {ID_VIEW_SAVER_NAME, "○Q.mp4 [○TOLVARIN.SCR] ○ソ表.exe ○Named.SCR ○R.mkv ○P.scr", " extension"},
        {ID_VIEW_EXTENSION, "○Q [○TOLVARIN] ○ソ表 ○Named ○R ○P", ""},
        {ID_VIEW_SAVER_NAME, "○Q [○TOLVARIN] ○ソ表 ○テスト用セーバー ○R ○P", " name"},
    };
    for (const View& view : views) {
        Command(view.id);
        EXPECT_EQ(Listed() + " / " + Options(), std::string(view.rows) + " / 10 disabled order 0" + view.options);
    }
    Command(IDOK);
    EXPECT_EQ(Value("OTHER", "Dir"), in + "\\c");
    // Where the last add chose: in their order before the selection, the last one selected.
    Open();
    typed = many;
    Command(IDC_ADD);
    EXPECT_EQ(openedIn + " " + std::to_string(dialog->RowCount()), in + "\\c 136");
    EXPECT_EQ(dialog->RowText(129), "○229" + std::string(72, 'n'));
    EXPECT_EQ(SendMessageA(List(), LB_GETCURSEL, 0, 0), 129);
}

// A movie's settings are the shell's property sheet of its file.
TEST_F(DialogsTest, F1AndTheContentsHandTheManualOverAndTheMouseDragsARow) {
    WriteIni({"[LIST]", "entry=3", "List0=C:\\a.scr", "List1=C:\\b.scr", "List2=C:\\c.scr", "List3=C:\\d.avi"});
    const test::FixtureLog& log = t.log;
    test::HtmlViewerStandIn viewer;
    Open();
    // F1 in each dialog (the contents command in the settings dialog's turn),
    // each page handed over written out as the program carries it; a page
    // gone stale is written again.
    std::map<std::string, std::string> pages;  // the program's own, by file name
    for (const manual::Page& page : manual::ReadPages(GetModuleHandleA(nullptr))) pages[page.name] = page.bytes;
    const auto help = [&](HWND d, int command = 0) {
        SetForegroundWindow(d);
        test::PumpAppUntil([&] { return GetForegroundWindow() == d; }, 3000);
        const int handed = log.Count("exit");
        if (command) Command(command);
        if (!command) test::PressKey(VK_F1);
        EXPECT_TRUE(test::PumpAppUntil([&] { return log.Count("exit") > handed; }, 10000));
        const std::string path = test::HtmlViewerStandIn::LastOpened(log), name = path.substr(path.rfind('\\') + 1);
        return name + (pages[name] == test::ReadFileBytes(path) ? "" : " stale");
    };
    SetFocus(List());
    EXPECT_EQ(help(dlg), "list.html");
    EXPECT_EQ(help(dlg, ID_HELP_FINDER), "index.html");
    test::WriteFileBytes(test::HtmlViewerStandIn::LastOpened(log), "stale");
    EXPECT_EQ(help(dlg, ID_HELP_FINDER), "index.html");
    EXPECT_EQ(help(OpenFor<ProgramSettingsDialog>("C:\\a.exe")), "program.html");
    EXPECT_EQ(help(OpenFor<FlashSettingsDialog>("C:\\a.swf")), "flash.html");
    EXPECT_EQ(help(Show(Another<AboutDialog>())), "about.html");
    EXPECT_NE(test::HtmlViewerStandIn::LastOpened(log).find("\\Tolvarin\\Manual\\"), std::string::npos);
    for (auto& other : others) other->DestroyWindow();
    SetForegroundWindow(dlg);
    test::PumpAppUntil([&] { return GetForegroundWindow() == dlg; }, 3000);
    RECT row = {};  // the first row on the screen: the button pressed there, moved down two rows and let go
    SendMessageA(List(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    MapWindowPoints(List(), nullptr, reinterpret_cast<POINT*>(&row), 2);
    const int x = (row.left + row.right) / 2, y = (row.top + row.bottom) / 2;
    test::MoveMouseTo(x, y);
    test::PumpQueued();
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ASSERT_TRUE(test::PumpAppUntil([&] { return GetCapture() == List(); }, 3000));
    test::MoveMouseTo(x, y + 2 * (row.bottom - row.top));
    test::PumpAppUntil([&] { return SendMessageA(List(), LB_GETCURSEL, 0, 0) == 2; }, 3000);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    test::PumpAppUntil([&] { return GetCapture() != List(); }, 3000);
    EXPECT_EQ(Listed(), "○b.scr ○c.scr [○a.scr] ○d.avi");
    SelectRow(3);
    Command(IDC_FILE_SETTINGS);
    EXPECT_EQ(opened, Rows{"properties 2 C:\\d.avi"});
    opened.clear();
}

// --- The per-file settings dialogs ------------------------------------------------------

TEST_F(DialogsTest, TheProgramSettingsShowAndWriteTheProgramsFiveKeysAndOkWaitsForAWrite) {
    const std::string k = "C:\\Tools\\clock.exe@";
    WriteIni({"[EXE_CONFIG]", k + "option=/full", k + "start=ALT+ENT", k + "finish=ENT", k + "mouse=1", k + "change=0",
              "C:\\T\\o.exe@option=/keep"});
    HWND d = OpenFor<ProgramSettingsDialog>("C:\\Tools\\clock.exe");
    EXPECT_EQ(test::TextOf(d) + " " + Text(d, IDC_PROGRAM_OPTION) + "|" + Text(d, IDC_PROGRAM_START_MACRO) + "|" +
                  Text(d, IDC_PROGRAM_FINISH_MACRO), "clockの設定 /full|ALT+ENT|ENT");
    EXPECT_EQ(IsDlgButtonChecked(d, IDC_PROGRAM_MOUSE) * 10 + IsDlgButtonChecked(d, IDC_PROGRAM_CHANGE), 10u);
    SetDlgItemTextA(d, IDC_PROGRAM_OPTION, "/s 時計");
    SetDlgItemTextA(d, IDC_PROGRAM_FINISH_MACRO, "");
    EXPECT_EQ(ClickWhileHeld(d, {IDC_PROGRAM_MOUSE, IDC_PROGRAM_CHANGE, IDOK}), "shown, file as given | " + notSaved);
    Click(d, IDOK);
    const Rows after = {"[EXE_CONFIG]", k + "option=/s 時計", k + "start=ALT+ENT", k + "finish=", k + "mouse=0",
                        k + "change=1", "C:\\T\\o.exe@option=/keep"};
    EXPECT_EQ(State(d, Lines(after)), "hidden, file as given");
}

// The fields as a macro entry stores them (time,action,x,x unit,y,y unit; -1: nothing chosen), the
// controls enabled (A(dd), C(hange), D(elete), X (coordinates)), the row selected.
std::string FlashFields(HWND d) {
    std::string text = Text(d, IDC_FLASH_TIME) + "," + Combo(d, IDC_FLASH_ACTION) + "," + Text(d, IDC_FLASH_X) + ",";
    text += Combo(d, IDC_FLASH_X_UNIT) + "," + Text(d, IDC_FLASH_Y) + "," + Combo(d, IDC_FLASH_Y_UNIT) + " ";
    const int ids[] = {IDC_FLASH_ADD, IDC_FLASH_CHANGE, IDC_FLASH_DELETE, IDC_FLASH_X};
    for (int i = 0; i < 4; ++i) text += IsWindowEnabled(GetDlgItem(d, ids[i])) ? "ACDX"[i] : '-';
    return text + " " + std::to_string(ListView_GetNextItem(GetDlgItem(d, IDC_FLASH_LIST), -1, LVNI_SELECTED));
}
// Edits take a text and combo boxes an index, as the user gives them; a
// button is clicked; a row (-1) is selected as the keyboard does, or (-2) clicked.
void Edit(HWND d, int id, const char* value) {
    HWND list = GetDlgItem(d, IDC_FLASH_LIST);
    const std::string kind = id > 0 ? test::ClassNameOf(GetDlgItem(d, id)) : "row";
    if (kind == "Edit") SetDlgItemTextA(d, id, value);
    if (kind == "ComboBox") SendDlgItemMessageA(d, id, CB_SETCURSEL, atoi(value), 0);
    if (kind == "ComboBox") Command(d, id, CBN_SELCHANGE);
    if (kind == "Button") Click(d, id);
    if (kind == "row") ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    if (kind == "row") ListView_SetItemState(list, atoi(value), LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE notice = {};
    notice.hdr = {list, IDC_FLASH_LIST, static_cast<UINT>(NM_CLICK)};
    if (id == -2) SendMessageA(d, WM_NOTIFY, IDC_FLASH_LIST, reinterpret_cast<LPARAM>(&notice));
}

TEST_F(DialogsTest, TheFlashSettingsKeepTheMacroInTimeOrderAndEditItRowByRow) {
    const std::string key = "C:\\movies\\clock.swf@macro";
    WriteIni({"[SWF_CONFIG]", key + "=30,1 007,0,50,1,25,0 2,1 4,9,1,0,2,0 7,1"});
    HWND d = OpenFor<FlashSettingsDialog>("C:\\movies\\clock.swf");  // rows: 2 4 7 7 30
    EXPECT_EQ(test::TextOf(d) + " " + FlashFields(d), "clockの設定 ,-1,,-1,,-1 ---X -1");
    struct Step { int id; const char* value; const char* fields; } steps[] = {
        // Add only once the fields describe a whole action; a reload needs no coordinates.
        {IDC_FLASH_TIME, "12", "12,-1,,-1,,-1 ---X -1"},     {IDC_FLASH_ACTION, "0", "12,0,,-1,,-1 ---X -1"},
        {IDC_FLASH_X, "30", "12,0,30,-1,,-1 ---X -1"},       {IDC_FLASH_Y, "40", "12,0,30,-1,40,-1 ---X -1"},
        {IDC_FLASH_X_UNIT, "1", "12,0,30,1,40,-1 ---X -1"},  {IDC_FLASH_Y_UNIT, "0", "12,0,30,1,40,0 A--X -1"},
        {IDC_FLASH_Y, "", "12,0,30,1,,0 ---X -1"},           {IDC_FLASH_ACTION, "1", "12,1,30,1,,0 A--- -1"},
        {IDC_FLASH_TIME, "", ",1,30,1,,0 ---- -1"},          {IDC_FLASH_ACTION, "0", ",0,30,1,,0 ---X -1"},
        // An added row goes after the rows of its time, selected.
        {IDC_FLASH_TIME, "7", "7,0,30,1,,0 ---X -1"},        {IDC_FLASH_Y, "40", "7,0,30,1,40,0 A--X -1"},
        {IDC_FLASH_ADD, "", "7,0,30,1,40,0 ---X 4"},
        // Only a click fills the fields; a reload row clears the units and disables the coordinates.
        {-1, "1", "7,0,30,1,40,0 ---X 1"},                   {-2, "2", "7,0,50,1,25,0 --DX 2"},
        {IDC_FLASH_TIME, "6", "6,0,50,1,25,0 ACDX 2"},       {-2, "3", "7,1,50,-1,25,-1 --D- 3"},
        {-2, "2", "7,0,50,1,25,0 --DX 2"},                   {IDC_FLASH_DELETE, "", ",-1,,-1,,-1 ---X -1"},
        // A changed row moves to its place; a reload added ignores the coordinates' texts.
        {-2, "3", "7,0,30,1,40,0 --DX 3"},                   {IDC_FLASH_TIME, "3", "3,0,30,1,40,0 ACDX 3"},
        {IDC_FLASH_CHANGE, "", "3,0,30,1,40,0 --DX 1"},      {IDC_FLASH_TIME, "0", "0,0,30,1,40,0 ACDX 1"},
        {IDC_FLASH_ACTION, "1", "0,1,30,1,40,0 ACD- 1"},     {IDC_FLASH_ADD, "", "0,1,30,1,40,0 --D- 0"},
    };
    for (const Step& step : steps) {
        Edit(d, step.id, step.value);
        EXPECT_EQ(FlashFields(d), step.fields) << step.id << " " << step.value;
    }
    EXPECT_EQ(ClickWhileHeld(d, {IDOK}), "shown, file as given | " + notSaved);
    Click(d, IDOK);
    EXPECT_EQ(State(d, Bytes()), "hidden, file as given");
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
// The screen shows the label's text in blue.
bool ShowsBlue(HWND label) {
    int width = 0, height = 0;
    for (COLORREF c : test::CaptureClient(label, &width, &height))
        if (GetBValue(c) > 200 && GetRValue(c) < 80 && GetGValue(c) < 80) return true;
    return false;
}

TEST_F(DialogsTest, TheAboutBoxShowsTheVersionAndItsLinksOpenOnAClickOrEnterOnly) {
    ASSERT_GT(shellOpensRecorded, 0);
    test::MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);  // away from the box
    AboutDialog& about = Another<AboutDialog>();
    HWND d = Show(about);
    LinkLabel& web = about.webLink;
    // The lines from the module's version resource (this program links the product's).
    EXPECT_EQ(test::TextOf(d) + " / " + Text(d, IDC_ABOUT_VERSION) + " / " + Text(d, IDC_ABOUT_COPYRIGHT),
              TOLVARIN_ABOUT_CAPTION " / " TOLVARIN_NAME " version " TOLVARIN_VERSION_TEXT " / Copyright (C) 2026 トルヴァリン工房");
    for (LinkLabel* link : {&web, &about.mailLink}) {
        EXPECT_TRUE(test::PumpAppUntil([&] { return ShowsBlue(link->Handle()); }));
        SendMessageA(link->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link->Handle()), HTCLIENT);
        EXPECT_EQ(Look(*link) + (GetCursor() == LoadCursorA(nullptr, IDC_HAND) ? " hand" : ""), "normal hand");
    }
    // The web link's look after each message: mouse messages inside (1) or
    // outside (0) it, keys, and the focus given to it (1) or to OK (0).
    struct Step { UINT message; int where; const char* look; } steps[] = {
        {WM_MOUSEMOVE, 1, "hover"},   {WM_LBUTTONDOWN, 1, "hover"},  // takes the focus
        {WM_MOUSEMOVE, 0, "hover"},   {WM_LBUTTONUP, 0, "focus"},    // held out, released: nothing opens
        {WM_MOUSEMOVE, 1, "hover"},{WM_RBUTTONDOWN, 1, "focus"},{WM_MOUSEMOVE, 1, "hover"},{WM_RBUTTONUP, 1, "focus"},
        {WM_MOUSEMOVE, 1, "hover"},{WM_MBUTTONDOWN, 1, "focus"},{WM_MOUSEMOVE, 1, "hover"},{WM_MBUTTONUP, 1, "focus"},
        {WM_MOUSEMOVE, 1, "hover"},   {WM_MOUSEMOVE, 0, "focus"},    // left with no button held
        {WM_MOUSEMOVE, 1, "hover"},   {WM_LBUTTONDOWN, 1, "hover"},  {WM_MOUSEMOVE, 0, "hover"},
        {WM_MOUSEMOVE, 1, "hover"},   {WM_LBUTTONUP, 1, "focus"},    // out and back in: opens
        {WM_KEYDOWN, VK_TAB, "normal"},  {WM_KEYDOWN, VK_RETURN, "normal"},  // the mail link's turn; not OK's
        {WM_SETFOCUS, 1, "focus"},    {WM_MOUSEMOVE, 1, "hover"},    {WM_LBUTTONDOWN, 1, "hover"},
        {WM_KEYDOWN, VK_RETURN, "hover"},  // keys wait while the button is held
        {WM_SETFOCUS, 0, "normal"},   {WM_MOUSEMOVE, 1, "hover"},    {WM_MOUSEMOVE, 0, "normal"},  // the press ended
        {WM_SETFOCUS, 1, "focus"},    {WM_KEYDOWN, VK_RETURN, "focus"},
    };
    for (const Step& step : steps) {
        const bool mouse = step.message != WM_KEYDOWN && step.message != WM_SETFOCUS;
        if (mouse) SendMessageA(web.Handle(), step.message, 0, step.where ? MAKELPARAM(2, 2) : MAKELPARAM(-20, -20));
        if (step.message == WM_SETFOCUS) SetFocus(step.where ? web.Handle() : GetDlgItem(d, IDOK));
        if (step.message == WM_KEYDOWN) PostMessageA(GetFocus(), WM_KEYDOWN, step.where, 1);
        if (step.message == WM_KEYDOWN) test::PumpQueued();
        EXPECT_EQ(Look(web), step.look) << &step - steps;
    }
    EXPECT_TRUE(IsWindowVisible(d));
    const std::string site = "open http://tolvarin.example/";
    EXPECT_EQ(opened, (Rows{site, "open mailto:info@tolvarin.example", site}));
}

// --- Every dialog at the system DPI -------------------------------------------------------

int Screen(int index) {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return value;
}

// What does not fit in dialog: a control reaching beyond its client area, a
// label, button or box whose text needs more room than the control gives, or
// a list's column narrower than a row's text with the room the list keeps.
std::vector<std::string> LayoutProblems(HWND dialog) {
    std::vector<std::string> problems;
    RECT client = {};
    GetClientRect(dialog, &client);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowVisible(control)) continue;
        const std::string kind = test::ClassNameOf(control), text = test::TextOf(control);
        const std::string name = kind + " \"" + text + "\"";
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (rect.left < 0 || rect.top < 0 || rect.right > client.right || rect.bottom > client.bottom)
            problems.push_back(name + " reaches beyond the dialog");
        const int columns = kind == "SysListView32" ? Header_GetItemCount(ListView_GetHeader(control)) : 0;
        for (int cell = 0; cell < columns * ListView_GetItemCount(control); ++cell) {  // row by row
            char cellText[64] = {};
            ListView_GetItemText(control, cell / columns, cell % columns, cellText, sizeof cellText);
            const int needs = ListView_GetStringWidth(control, cellText) + MulDiv(10, Screen(LOGPIXELSY), 96);
            if (needs > ListView_GetColumnWidth(control, cell % columns))
                problems.push_back(name + " cell " + cellText);
        }
        const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & BS_TYPEMASK;
        const bool button = _stricmp(kind.c_str(), "Button") == 0;
        // Pictures, frames, edits, lists and combo boxes show no label.
        const bool label = _stricmp(kind.c_str(), "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
        if (text.empty() || !(button || label)) continue;
        // Room beside a check box's square, or inside a button's edges and a group box's corners.
        const bool box = (type >= BS_CHECKBOX && type <= BS_AUTO3STATE) || type == BS_AUTORADIOBUTTON;
        const int room = rect.right - rect.left - (button ? MulDiv(box ? 16 : 8, Screen(LOGPIXELSY), 96) : 0);
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        RECT needs = {0, 0, room, 0};
        const UINT wrapped = DT_WORDBREAK | DT_EDITCONTROL | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        DrawTextA(dc, text.c_str(), -1, &needs, DT_CALCRECT | (button ? DT_SINGLELINE : wrapped));
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        if (needs.right > room) problems.push_back(name + " lacks " + std::to_string(needs.right - room) + " pixels");
        // (A label's type bits are never those of a group box, whose text may reach into its frame.)
        if (needs.bottom > rect.bottom - rect.top && type != BS_GROUPBOX) problems.push_back(name + " is too low");
    }
    return problems;
}

TEST_F(DialogsTest, AtTheSystemDpiEveryControlFitsAndTheCoverCoversTheScreenInRealPixels) {
    const std::string exe = "C:\\Tools\\clock.exe", swf = "C:\\movies\\clock.swf";
    WriteIni({"[LIST]", "entry=2", "List0=○" + exe, "List1=×" + swf, "List2=○C:\\Movies\\夜景.avi", "[TIMER]",
              "ON/OFF=1", "Time=10", "[SWF_CONFIG]", swf + "@macro=5,0,50,1,50,1 8,1"});
    const std::pair<std::function<HWND()>, std::string> dialogs[] = {{[&] { return Open(); }, "settings_dialog"},
        {[&] { return OpenFor<ProgramSettingsDialog>(exe); }, "program_settings_dialog"},
        {[&] { return OpenFor<FlashSettingsDialog>(swf); }, "flash_settings_dialog"},
        {[&] { return Show(Another<AboutDialog>()); }, "about_dialog"}};
    for (const auto& [open, name] : dialogs) {
        HWND window = open();
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test::PumpQueued();
        EXPECT_EQ(LayoutProblems(window), std::vector<std::string>{}) << name;
        ShowWindow(window, SW_HIDE);
    }
    RECT pixels = {0, 0, Screen(HORZRES), Screen(VERTRES)};  // white in the far corner, then the cover
    HWND white = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, pixels.right - 8,
                                 pixels.bottom - 8, 8, 8, nullptr, nullptr, nullptr, nullptr);
    const auto corner = [&] { return test::ScreenPixel(pixels.right - 1, pixels.bottom - 1); };
    EXPECT_TRUE(test::PumpAppUntil([&] { return corner() == RGB(255, 255, 255); }, 3000));
    auto* cover = new CoverWindow();  // deletes itself with its window
    ASSERT_TRUE(cover->CreateFullScreen(dlg));
    HWND handle = cover->Handle();
    EXPECT_EQ(test::Placed(handle), test::RectOf(pixels));
    EXPECT_TRUE(test::PumpAppUntil([&] { return corner() == 0; }, 3000));  // black up to the far corner
    SendMessageA(handle, WM_CLOSE, 0, 0);
    DestroyWindow(white);
    test::PumpAppUntil([&] { return !IsWindow(handle); }, 3000);
}

}  // namespace
