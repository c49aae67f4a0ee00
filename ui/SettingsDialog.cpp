#include "ui/SettingsDialog.h"

#include "framework/App.h"
#include "framework/SystemLibrary.h"
#include "framework/TextUtil.h"
#include "players/FlashPlayerWindow.h"
#include "players/MoviePlayerWindow.h"
#include "players/WindowIds.h"
#include "res/resource.h"
#include "settings/SaverEntry.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsFile.h"
#include "ui/AboutDialog.h"
#include "ui/FileCommandText.h"
#include "ui/FlashSettingsDialog.h"
#include "ui/LinkLabel.h"
#include "ui/Manual.h"
#include "ui/ProgramSettingsDialog.h"
#include "ui/SaverListRules.h"

#include <commctrl.h>
#include <commdlg.h>
#include <winnls32.h>

#include <cstring>
#include <vector>

const char* const SettingsDialog::kNotRestoredMessage =
    "設定ファイルを元に戻せませんでした。\n"
    "このダイアログを開いてからの変更は設定ファイルに残っています。";
const char* const SettingsDialog::kTooManyFilesMessage =
    "選択したファイルが多すぎます。\n一度に選ぶファイルを減らしてください。";
const char* const SettingsDialog::kWebSiteAddress = "http://tolvarin.example/";
const char* const SettingsDialog::kCannotStartMessage = "起動できませんでした。";

namespace {


// The filter in the form the file dialog takes: each "|" a NUL.
std::vector<char> FilterForDialog() {
    const std::string text = AddDialogFilter();
    std::vector<char> filter(text.c_str(), text.c_str() + text.size() + 1);
    for (size_t i = 0; i < filter.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(filter[i])) && i + 1 < filter.size()) {
            ++i;
        } else if (filter[i] == '|') {
            filter[i] = '\0';
        }
    }
    return filter;
}

}  // namespace

SettingsDialog::SettingsDialog(HWND parent)
    : Dialog(IDD_SETTINGS, parent), backup(std::string(), std::string()) {
    HINSTANCE instance = App::Instance() ? App::Instance()->Handle() : nullptr;
    if (!instance) instance = GetModuleHandleA(nullptr);
    bigIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    smallIcon.reset(static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
}

SettingsDialog::~SettingsDialog() {
    closing = true;
    if (Handle()) DestroyWindow();
}

void SettingsDialog::DoDataExchange(DataExchange& exchange) {
    exchange.Control(IDC_MINUTES_SPIN, spin);
    exchange.Control(IDC_SAVER_LIST, listBox);
    exchange.Check(IDC_TIMER_ON, timerOn);
    exchange.Check(IDC_ALL_MONITORS, allMonitors);
    exchange.Int(IDC_MINUTES, minutes);
    exchange.ComboIndex(IDC_ORDER, order);
}

// --- Rows ---------------------------------------------------------------------

int SettingsDialog::RowCount() const {
    return static_cast<int>(SendMessageA(listBox.Handle(), LB_GETCOUNT, 0, 0));
}

std::string SettingsDialog::RowText(int index) const {
    LRESULT length = SendMessageA(listBox.Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(listBox.Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data());
}

std::string SettingsDialog::RowPath(int index) const { return rows.Path(index); }

int SettingsDialog::Selection() const {
    return static_cast<int>(SendMessageA(listBox.Handle(), LB_GETCURSEL, 0, 0));
}

void SettingsDialog::Select(int index) const {
    SendMessageA(listBox.Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SettingsDialog::InsertRow(int index, const std::string& text, const std::string& path) {
    LRESULT at = SendMessageA(listBox.Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(text.c_str()));
    if (at < 0) return;
    rows.Insert(static_cast<int>(at), SaverEntry{text.substr(0, settings::kMarkLength), path});
}

int SettingsDialog::FindRow(const std::string& path) const { return rows.Find(path); }

bool SettingsDialog::MoveRow(int from, int to, const std::string& text) {
    // The new row goes in before the old one goes, so that a failed
    // insertion leaves the old row where it was.
    int insertAt = to > from ? to + 1 : to;
    if (insertAt >= RowCount()) insertAt = -1;
    LRESULT at = SendMessageA(listBox.Handle(), LB_INSERTSTRING, static_cast<WPARAM>(insertAt),
                              reinterpret_cast<LPARAM>(text.c_str()));
    if (at < 0) {
        Select(from);
        return false;
    }
    SendMessageA(listBox.Handle(), LB_DELETESTRING, static_cast<WPARAM>(to > from ? from : from + 1), 0);
    rows.Move(from, to);
    Select(to);
    return true;
}

std::string SettingsDialog::GetDisplayName(std::string path) const {
    return DisplayNameOf(path, showSaverName != 0, showExtension != 0);
}

void SettingsDialog::UpdateHorizontalExtent() {
    HDC dc = GetDC(listBox.Handle());
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(listBox.Handle(), WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    int widest = 0;
    int count = RowCount();
    for (int i = 0; i < count; ++i) {
        std::string text = RowText(i);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (size.cx > widest) widest = size.cx;
    }
    SendMessageA(listBox.Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 5), 0);
    if (previous) SelectObject(dc, previous);
    ReleaseDC(listBox.Handle(), dc);
}

void SettingsDialog::SetMenuCheck(UINT id, int checked) const {
    CheckMenuItem(GetMenu(Handle()), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// --- Opening and closing ------------------------------------------------------

BOOL SettingsDialog::OnInitDialog() {
    // The order box: the three orders by their stored index.
    HWND orderBox = Item(IDC_ORDER);
    for (const char* text : {"ランダム", "リスト順", "先頭から"}) {
        SendMessageA(orderBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    Dialog::OnInitDialog();

    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));

    // 12 point "ＭＳ ゴシック" for the list.
    HDC screen = GetDC(nullptr);
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(120, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "ＭＳ ゴシック");
    listFont.reset(CreateFontIndirectA(&font));
    SendMessageA(listBox.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont.get()), TRUE);

    const SaverSettings& stored = AppSettings();
    showExtension = stored.ShowExtension();
    SetMenuCheck(ID_VIEW_EXTENSION, showExtension);
    showSaverName = stored.ShowSaverName();
    SetMenuCheck(ID_VIEW_SAVER_NAME, showSaverName);

    rows.Clear();
    for (const SaverEntry& entry : stored.ReadList()) {
        InsertRow(-1, entry.mark + GetDisplayName(entry.path), entry.path);
    }
    Select(0);
    UpdateHorizontalExtent();

    dir = stored.Dir();
    if (dir.empty()) {
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        dir = current;
    }

    SendMessageA(spin.Handle(), UDM_SETRANGE, 0, MAKELPARAM(settings::kMaxMinutes, 1));
    timerOn = stored.DialogTimerOn();
    minutes = stored.DialogMinutes();
    if (!timerOn) EnableWindow(Item(IDC_MINUTES), FALSE);
    order = stored.Order();
    allMonitors = stored.AllMonitors() != 0 ? 1 : 0;

    backupPath = SettingsBackup::DefaultBackupPath();
    backup = SettingsBackup(App::Instance()->ProfileName(), backupPath);
    backup.Make();

    WINNLSEnableIME(listBox.Handle(), FALSE);
    UpdateData(FALSE);
    return TRUE;
}

BOOL SettingsDialog::ReadControls() {
    bool outer = !readingControls;
    readingControls = true;
    BOOL read = UpdateData(TRUE);
    if (outer) readingControls = false;
    return read;
}

bool SettingsDialog::SaveSettings() {
    ReadControls();
    DialogState state;
    state.entries = rows.Entries();
    state.dir = dir;
    state.order = order;
    state.showExtension = showExtension;
    state.showSaverName = showSaverName;
    state.timerOn = timerOn;
    state.minutes = minutes;
    state.allMonitors = allMonitors;
    return AppSettings().WriteDialogState(state);
}

void SettingsDialog::ReportNotSaved() const {
    ShowErrorMessage(Handle(), settings::NotSavedMessage(App::Instance()->ProfileName()).c_str());
}

void SettingsDialog::OnOK() {
    if (!ReadControls()) return;
    // A save that failed keeps the dialog open: nothing the user did is
    // lost, and Cancel still puts the file back as it was.
    if (!SaveSettings()) {
        ReportNotSaved();
        return;
    }
    backup.Discard();
    closing = true;
    EndDialog(IDOK);
}

void SettingsDialog::OnCancel() {
    if (backup.RollBack() == SettingsBackup::RollBackResult::NotRestored) {
        std::string text = kNotRestoredMessage;
        if (FileExists(backup.BackupPath()) && backup.Made()) {
            text += "\n元の設定ファイルの写しは " + backup.BackupPath() + " にあります。";
        }
        ShowErrorMessage(Handle(), text.c_str());
    }
    closing = true;
    EndDialog(IDCANCEL);
}

void SettingsDialog::OnDestroy() {
    // Whatever a preview started goes with the dialog.
    ++previewTag;
    watchDialog.StopProgram(false);
    DefaultProc(WM_DESTROY, 0, 0);
    if (listBox.Handle()) WINNLSEnableIME(listBox.Handle(), TRUE);
}

// --- List commands -------------------------------------------------------------

void SettingsDialog::OnDelete() {
    int i = Selection();
    if (i < 0) return;
    bool written = AppSettings().ForgetFile(RowPath(i));
    // The row goes from the list either way; the list is saved again on OK.
    if (!SaveSettings() || !written) ReportNotSaved();
    SendMessageA(listBox.Handle(), LB_DELETESTRING, static_cast<WPARAM>(i), 0);
    rows.Erase(i);
    if (i == RowCount()) --i;
    Select(i);
    UpdateHorizontalExtent();
}

void SettingsDialog::OnToggleOnOff() {
    int i = Selection();
    if (i < 0) return;
    std::string text = RowText(i);
    std::string rest = text.size() > settings::kMarkLength ? text.substr(settings::kMarkLength) : "";
    bool on = text.compare(0, settings::kMarkLength, settings::kMarkOn) == 0;
    if (MoveRow(i, i, std::string(on ? settings::kMarkOff : settings::kMarkOn) + rest)) rows.Toggle(i);
}

void SettingsDialog::OnMoveUp() {
    int i = Selection();
    if (i <= 0) return;
    MoveRow(i, i - 1, RowText(i));
}

void SettingsDialog::OnMoveDown() {
    int i = Selection();
    if (i < 0 || i >= RowCount() - 1) return;
    MoveRow(i, i + 1, RowText(i));
}

// --- Dragging a row --------------------------------------------------------------

LRESULT SettingsDialog::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) == listBox.Handle() && LOWORD(lParam) == HTCLIENT &&
        HIWORD(lParam) == WM_LBUTTONDOWN) {
        Post(kDragArmMessage, 0, 0);
    }
    return DefaultProc(WM_SETCURSOR, wParam, lParam);
}

LRESULT SettingsDialog::OnDragArm() {
    bool arm = dragIndex == -1 && !doubleClickPending;
    doubleClickPending = false;
    dragIndex = arm ? Selection() : -1;
    return 0;
}

HBRUSH SettingsDialog::OnCtlColor(HDC dc, HWND control, UINT message) {
    HBRUSH brush = Dialog::OnCtlColor(dc, control, message);
    int current = listBox.Handle() ? Selection() : -1;
    if (dragIndex >= 0 && current >= 0 && current != dragIndex) {
        // The list box asks for its colours while it repaints the rows its
        // selection left and reached: the dragged row follows the selection.
        int from = dragIndex;
        dragIndex = -1;
        MoveRow(from, current, RowText(from));
        dragIndex = current;
    }
    return brush;
}

// --- Options ---------------------------------------------------------------------

void SettingsDialog::OnTimerCheck() {
    ReadControls();
    EnableWindow(Item(IDC_MINUTES), timerOn ? TRUE : FALSE);
}

void SettingsDialog::OnMinutesKillFocus() {
    // Only the user moving to another control of the dialog leaves the
    // edit. The focus going to a message box (our own exchange reporting a
    // refused value, whose focus change may arrive late) or to another
    // window, or a dialog that is closing, must not raise a message.
    if (readingControls || closing || !IsWindowVisible(Handle())) return;
    HWND focus = GetFocus();
    if (!focus || !IsChild(Handle(), focus)) return;
    ReadControls();
    if (minutes == 0) minutes = 1;
    if (minutes > settings::kMaxMinutes) minutes = settings::kMaxMinutes;
    UpdateData(FALSE);
}

void SettingsDialog::OnShowExtension() {
    showExtension = !showExtension;
    SetMenuCheck(ID_VIEW_EXTENSION, showExtension);
    RefreshRowTexts();
}

void SettingsDialog::OnShowSaverName() {
    showSaverName = !showSaverName;
    SetMenuCheck(ID_VIEW_SAVER_NAME, showSaverName);
    RefreshRowTexts();
}

void SettingsDialog::RefreshRowTexts() {
    int selected = Selection();
    for (int i = 0; i < RowCount(); ++i) {
        std::string text = RowText(i).substr(0, settings::kMarkLength) + GetDisplayName(RowPath(i));
        // A row that cannot be inserted leaves the old one as it is.
        if (SendMessageA(listBox.Handle(), LB_INSERTSTRING, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text.c_str())) < 0) {
            continue;
        }
        // The old row, pushed down by the insertion.
        SendMessageA(listBox.Handle(), LB_DELETESTRING, static_cast<WPARAM>(i + 1), 0);
    }
    Select(selected);
    UpdateHorizontalExtent();
}

// --- Adding files ------------------------------------------------------------------

void SettingsDialog::OnAdd() {
    std::vector<char> names(kFileNameBufferSize, '\0');
    std::vector<char> filter = FilterForDialog();
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = filter.data();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = static_cast<DWORD>(names.size());
    dialog.lpstrTitle = "ファイルを追加する";
    dialog.lpstrInitialDir = dir.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    static const auto open = SystemFunction<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    static const auto lastError =
        SystemFunction<decltype(&CommDlgExtendedError)>("comdlg32.dll", "CommDlgExtendedError");
    if (!open || !lastError) {
        ShowErrorMessage(Handle(), kCannotStartMessage);
        return;
    }
    if (!open(&dialog)) {
        // The names did not fit: say so rather than drop the choice silently.
        if (lastError() == FNERR_BUFFERTOOSMALL) ShowErrorMessage(Handle(), kTooManyFilesMessage);
        return;
    }
    std::vector<std::string> paths = ChosenPaths(names.data(), names.size());
    for (size_t n = 0; n < paths.size(); ++n) {
        const std::string& path = paths[n];
        if (!IsListableFile(path)) {
            ShowErrorMessage(Handle(), (path + "は登録できません。").c_str());
            continue;
        }
        if (FindRow(path) != -1) {
            ShowErrorMessage(Handle(), (GetDisplayName(path) + "は\nすでにリストに存在します。").c_str());
            continue;
        }
        if (IsOwnSaverFile(path)) {
            ShowErrorMessage(Handle(), "tolvarin.scrは追加できません");
            continue;
        }
        int current = Selection();
        InsertRow(current, settings::kMarkOn + GetDisplayName(path), path);
        if (current == -1) {
            Select(0);
        } else if (n + 1 == paths.size()) {
            Select(current);
        }
    }
    if (!paths.empty()) dir = FolderOf(paths.back());
    UpdateHorizontalExtent();
}

// --- Per-file settings -----------------------------------------------------------

void SettingsDialog::OnFileSettings() {
    int i = Selection();
    if (i < 0) return;
    std::string path = RowPath(i);
    switch (KindOfPath(path)) {
    case EntryKind::ScreenSaver: StartSaverConfiguration(path); break;
    case EntryKind::Program: {
        ProgramSettingsDialog settings(nullptr);
        settings.path = path;
        if (settings.DoModal() == IDOK && !SaveSettings()) ReportNotSaved();
        break;
    }
    case EntryKind::Flash: {
        FlashSettingsDialog settings(nullptr);
        settings.path = path;
        if (settings.DoModal() == IDOK && !SaveSettings()) ReportNotSaved();
        break;
    }
    case EntryKind::Movie: ShowPropertySheet(path); break;
    }
}

void SettingsDialog::StartSaverConfiguration(const std::string& path) {
    // Started as a process of its own, the path quoted so that one with
    // spaces names the file it should; the dialog does not wait for it.
    PROCESS_INFORMATION info = {};
    if (!StartProcessByPath(path, ConfigureOptions(Handle()), SW_SHOW, &info)) {
        ShowErrorMessage(Handle(), kCannotStartMessage);
        return;
    }
    UniqueHandle processHandle(info.hProcess), threadHandle(info.hThread);
}

void SettingsDialog::ShowPropertySheet(const std::string& path) {
    // The shell's object-properties function (type 2: the object is a file
    // path). Nothing is said when the shell does not offer it.
    using ObjectProperties = BOOL(WINAPI*)(HWND, DWORD, const void*, const void*);
    HMODULE shell = LoadSystemLibrary("SHELL32.DLL");
    if (!shell) return;
    auto properties = reinterpret_cast<ObjectProperties>(
        reinterpret_cast<void (*)()>(GetProcAddress(shell, MAKEINTRESOURCEA(178))));
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (properties) {
        constexpr DWORD kObjectIsPath = 2;
        if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
            properties(Handle(), kObjectIsPath, path.c_str(), nullptr);
        } else {
            std::vector<wchar_t> wide = WidePath(path);
            if (!wide.empty()) properties(Handle(), kObjectIsPath, wide.data(), nullptr);
        }
    }
    FreeLibrary(shell);
}

// --- Preview ---------------------------------------------------------------------

void SettingsDialog::OnPreview() {
    // A saver, program or movie still starting is seen first: another
    // preview would replace it before it has shown anything.
    if (launch.Starting() || (IsWindow(moviePreview) && !IsWindowVisible(moviePreview))) {
        MessageBeep(MB_OK);
        return;
    }
    int i = Selection();
    if (i < 0) return;
    std::string path = RowPath(i);
    launch.path = path;
    ++previewTag;
    switch (KindOfPath(path)) {
    case EntryKind::ScreenSaver:
        // What the start finds comes as its start notice.
        if (!launch.Start(path, "/s", previewTag)) ShowErrorMessage(Handle(), kCannotStartMessage);
        break;
    case EntryKind::Program:
        watchDialog.record = &launch;
        if (!watchDialog.RunProgram(previewTag)) ShowErrorMessage(Handle(), kCannotStartMessage);
        break;
    case EntryKind::Flash: {
        // The player owns itself from here, or is gone already.
        auto* player = new FlashPlayerWindow();
        if (!player->Play(path.c_str(), previewTag)) ShowErrorMessage(Handle(), kCannotStartMessage);
        break;
    }
    case EntryKind::Movie: {
        // What its opening finds comes as its start notice.
        auto* player = new MoviePlayerWindow();
        moviePreview = player->Play(path.c_str(), previewTag) ? player->Handle() : nullptr;
        if (!moviePreview) ShowErrorMessage(Handle(), kCannotStartMessage);
        break;
    }
    }
}

void SettingsDialog::OnListDoubleClick() {
    // The drag arming that the second press posted finds this and undoes
    // itself. That press is still down: release it as the user would, so
    // that the list box does not go on tracking it during the preview.
    dragIndex = -1;
    doubleClickPending = true;
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    OnPreview();
}

LRESULT SettingsDialog::OnPreviewStarted(WPARAM wParam, LPARAM lParam) {
    if (lParam != previewTag) return 0;
    bool program = KindOfPath(launch.path) == EntryKind::Program;
    switch (static_cast<LaunchOutcome>(wParam)) {
    case LaunchOutcome::Shown:
        if (!program) break;
        if (!watchDialog.OnProgramShown()) {
            ShowErrorMessage(Handle(), kCannotStartMessage);
            break;
        }
        // Until the program ends, hides its window, or its watch stops it.
        EnableWindow(Handle(), FALSE);
        break;
    case LaunchOutcome::Gone:
        if (program) watchDialog.EndWatch();
        SetForegroundWindow(Handle());
        break;
    case LaunchOutcome::NoWindow:
        // Nothing of it can be seen: it is not left running unseen.
        launch.Stop();
        ShowErrorMessage(Handle(), kCannotStartMessage);
        break;
    case LaunchOutcome::Failed:
        ShowErrorMessage(Handle(), kCannotStartMessage);
        break;
    }
    return 0;
}

LRESULT SettingsDialog::OnPreviewEnded(LPARAM lParam) {
    // Anything but the latest preview's notice is a late one of an earlier
    // preview and leaves the latest one, a running program above all, alone.
    if (lParam != previewTag) return 0;
    if (KindOfPath(launch.path) == EntryKind::Program) watchDialog.EndWatch();
    SetForegroundWindow(Handle());
    return 0;
}

void SettingsDialog::OnAbout() {
    AboutDialog about(nullptr);
    about.DoModal();
}

// --- Other commands and messages ------------------------------------------------------

void SettingsDialog::OnWebSite() { LinkLabel::OpenAddress(Handle(), kWebSiteAddress); }

void SettingsDialog::OnPaint() {
    if (!IsIconic(Handle())) {
        DefaultProc(WM_PAINT, 0, 0);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client = {};
    GetClientRect(Handle(), &client);
    int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, smallIcon.get());
    EndPaint(Handle(), &paint);
}

BOOL SettingsDialog::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_ADD:
    case ID_FILE_ADD: OnAdd(); return TRUE;
    case IDC_DELETE:
    case ID_FILE_DELETE: OnDelete(); return TRUE;
    case IDC_TOGGLE:
    case ID_FILE_TOGGLE: OnToggleOnOff(); return TRUE;
    case IDC_MOVE_UP:
    case ID_FILE_MOVE_UP: OnMoveUp(); return TRUE;
    case IDC_MOVE_DOWN:
    case ID_FILE_MOVE_DOWN: OnMoveDown(); return TRUE;
    case IDC_TIMER_ON:
        if (code == BN_CLICKED) OnTimerCheck();
        return TRUE;
    case IDC_MINUTES:
        if (code == EN_KILLFOCUS) OnMinutesKillFocus();
        return TRUE;
    case IDC_SAVER_LIST:
        if (code == LBN_SELCHANGE) {
            dragIndex = -1;
            doubleClickPending = false;
        }
        // A double-click previews its row and never starts a drag.
        if (code == LBN_DBLCLK) OnListDoubleClick();
        return TRUE;
    case IDC_FILE_SETTINGS:
    case ID_FILE_SETTINGS: OnFileSettings(); return TRUE;
    case IDC_PREVIEW:
    case ID_FILE_PREVIEW: OnPreview(); return TRUE;
    case ID_HELP_ABOUT: OnAbout(); return TRUE;
    case ID_VIEW_EXTENSION: OnShowExtension(); return TRUE;
    case ID_VIEW_SAVER_NAME: OnShowSaverName(); return TRUE;
    case ID_FILE_SAVE_AND_EXIT: OnOK(); return TRUE;
    case ID_FILE_EXIT_WITHOUT_SAVING: OnCancel(); return TRUE;
    case ID_HELP_WEB_SITE: OnWebSite(); return TRUE;
    case ID_HELP: manual::Show(Handle(), manual::kListPage); return TRUE;
    case ID_HELP_FINDER: manual::Show(Handle(), manual::kContentsPage); return TRUE;
    default: return FALSE;
    }
}

LRESULT SettingsDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(smallIcon.get());
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case kDragArmMessage: return OnDragArm();
    case kEndNoticeMessage: return OnPreviewEnded(lParam);
    case kStartNoticeMessage: return OnPreviewStarted(wParam, lParam);
    // F1 anywhere in the dialog: the manual's page on it.
    case WM_HELP: OnCommand(ID_HELP, 0, nullptr); return TRUE;
    case WM_DESTROY: OnDestroy(); return 0;
    default: return Dialog::WindowProc(message, wParam, lParam);
    }
}
