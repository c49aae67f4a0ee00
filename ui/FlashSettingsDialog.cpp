#include "ui/FlashSettingsDialog.h"

#include "framework/App.h"
#include "framework/TextUtil.h"
#include "res/resource.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsFile.h"
#include "ui/FileDialogIds.h"
#include "ui/FileSettingsText.h"
#include "ui/Manual.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum Column { kTimeColumn, kActionColumn, kXColumn, kYColumn, kColumnCount };

struct ColumnLook {
    const char* heading;
    int width;  // in pixels at 96 DPI
    int format;
};
const ColumnLook kColumns[kColumnCount] = {
    {"時間", 42, LVCFMT_RIGHT},
    {"動作", 52, LVCFMT_LEFT},
    {"横", 36, LVCFMT_RIGHT},
    {"縦", 36, LVCFMT_RIGHT},
};

enum ActionIndex { kClickIndex = 0, kReloadIndex = 1 };
enum UnitIndex { kPixelIndex = 0, kPercentIndex = 1 };

// Nine digits always fit an int, so a typed number is never cut off.
constexpr int kMaxDigits = 9;

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

void SelectComboIndex(HWND combo, int index) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AddComboItems(HWND combo, std::initializer_list<const char*> items) {
    for (const char* item : items) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

}  // namespace

FlashSettingsDialog::FlashSettingsDialog(HWND parent) : Dialog(IDD_FLASH_SETTINGS, parent) {}

FlashSettingsDialog::~FlashSettingsDialog() = default;

HWND FlashSettingsDialog::List() const { return Item(IDC_FLASH_LIST); }

BOOL FlashSettingsDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowTextA(Handle(), FileSettingsCaption(path).c_str());

    AddComboItems(Item(IDC_FLASH_ACTION), {kClickText, kReloadText});
    AddComboItems(Item(IDC_FLASH_X_UNIT), {"pix", "％"});
    AddComboItems(Item(IDC_FLASH_Y_UNIT), {"pix", "％"});
    for (int id : {IDC_FLASH_TIME, IDC_FLASH_X, IDC_FLASH_Y}) {
        SendMessageA(Item(id), EM_LIMITTEXT, kMaxDigits, 0);
    }

    HWND list = List();
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    // The columns grow with the system's DPI, as the dialog's font does.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < kColumnCount; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        column.cx = MulDiv(kColumns[i].width, dpi, 96);
        column.pszText = const_cast<char*>(kColumns[i].heading);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }

    for (const MacroRow& row : ReadMacroRows(AppSettings().FlashMacro(path))) AddRow(row);
    return TRUE;
}

void FlashSettingsDialog::OnOK() {
    // Not written: the dialog stays open with its rows.
    if (!AppSettings().WriteFlashMacro(path, WriteMacroRows(Rows()))) {
        ShowErrorMessage(Handle(), settings::NotSavedMessage(App::Instance()->ProfileName()).c_str());
        return;
    }
    Dialog::OnOK();
}

BOOL FlashSettingsDialog::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_FLASH_TIME:
    case IDC_FLASH_X:
    case IDC_FLASH_Y:
        if (code != EN_CHANGE) return FALSE;
        Validate();
        return TRUE;
    case IDC_FLASH_X_UNIT:
    case IDC_FLASH_Y_UNIT:
        if (code != CBN_SELCHANGE) return FALSE;
        Validate();
        return TRUE;
    case IDC_FLASH_ACTION:
        if (code != CBN_SELCHANGE) return FALSE;
        ActionChanged();
        return TRUE;
    case IDC_FLASH_ADD:
    case IDC_FLASH_CHANGE:
    case IDC_FLASH_DELETE:
        if (code != BN_CLICKED) return FALSE;
        if (id == IDC_FLASH_ADD) Add();
        if (id == IDC_FLASH_CHANGE) Change();
        if (id == IDC_FLASH_DELETE) Delete();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL FlashSettingsDialog::OnNotify(NMHDR* header, LRESULT* result) {
    // Only a click fills the fields: moving the selection with the keyboard
    // leaves them as they are.
    if (header->idFrom == IDC_FLASH_LIST && header->code == static_cast<UINT>(NM_CLICK)) {
        RowClicked();
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

int FlashSettingsDialog::SelectedRow() const {
    return static_cast<int>(SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                         MAKELPARAM(LVNI_SELECTED, 0)));
}

void FlashSettingsDialog::DeleteSelectedRow() {
    int row = SelectedRow();
    if (row >= 0) SendMessageA(List(), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

std::string FlashSettingsDialog::RowText(int row, int column) const {
    char text[64] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

void FlashSettingsDialog::SetRowText(int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(List(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int FlashSettingsDialog::InsertTimeSorted(int time) {
    int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::string> times;
    for (int row = 0; row < count; ++row) times.push_back(RowText(row, kTimeColumn));
    std::string text = std::to_string(time);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(TimeSortedIndex(times, time));
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(
        SendMessageA(List(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void FlashSettingsDialog::AddRow(const MacroRow& macroRow) {
    int row = InsertTimeSorted(ParseLeadingInt(macroRow.time.c_str()));
    if (row < 0) return;
    SetRowText(row, kActionColumn, macroRow.action);
    SetRowText(row, kXColumn, macroRow.x);
    SetRowText(row, kYColumn, macroRow.y);
}

std::vector<MacroRow> FlashSettingsDialog::Rows() const {
    std::vector<MacroRow> rows;
    int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        rows.push_back({RowText(row, kTimeColumn), RowText(row, kActionColumn),
                        RowText(row, kXColumn), RowText(row, kYColumn)});
    }
    return rows;
}

void FlashSettingsDialog::Validate() {
    if (updating) return;
    auto refuse = [this] {
        Enable(IDC_FLASH_ADD, false);
        Enable(IDC_FLASH_CHANGE, false);
    };
    int action = ComboSelection(Item(IDC_FLASH_ACTION));
    if (ItemText(IDC_FLASH_TIME).empty() || action == CB_ERR) return refuse();
    if (action == kClickIndex &&
        (ItemText(IDC_FLASH_X).empty() || ItemText(IDC_FLASH_Y).empty() ||
         ComboSelection(Item(IDC_FLASH_X_UNIT)) == CB_ERR ||
         ComboSelection(Item(IDC_FLASH_Y_UNIT)) == CB_ERR)) {
        return refuse();
    }
    Enable(IDC_FLASH_ADD, true);
    if (SelectedRow() >= 0) Enable(IDC_FLASH_CHANGE, true);
}

void FlashSettingsDialog::EnableCoordinates(bool enable) {
    for (int id : {IDC_FLASH_X, IDC_FLASH_X_UNIT, IDC_FLASH_Y, IDC_FLASH_Y_UNIT}) Enable(id, enable);
}

void FlashSettingsDialog::ActionChanged() {
    EnableCoordinates(ComboSelection(Item(IDC_FLASH_ACTION)) != kReloadIndex);
    Validate();
}

void FlashSettingsDialog::Add() {
    BOOL translated = FALSE;
    int time = static_cast<int>(GetDlgItemInt(Handle(), IDC_FLASH_TIME, &translated, TRUE));
    int row = InsertTimeSorted(time);
    if (row < 0) return;

    HWND actionCombo = Item(IDC_FLASH_ACTION);
    int action = ComboSelection(actionCombo);
    char actionText[32] = {};
    if (action != CB_ERR &&
        SendMessageA(actionCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(action), 0) <
            static_cast<LRESULT>(sizeof actionText)) {
        SendMessageA(actionCombo, CB_GETLBTEXT, static_cast<WPARAM>(action),
                     reinterpret_cast<LPARAM>(actionText));
    }
    SetRowText(row, kActionColumn, actionText);
    if (std::string(actionText) != kReloadText) {
        auto coordinate = [this](int editId, int unitId) {
            BOOL ok = FALSE;
            int value = static_cast<int>(GetDlgItemInt(Handle(), editId, &ok, TRUE));
            bool percent = ComboSelection(Item(unitId)) == kPercentIndex;
            return std::to_string(value) + (percent ? "%" : "");
        };
        SetRowText(row, kXColumn, coordinate(IDC_FLASH_X, IDC_FLASH_X_UNIT));
        SetRowText(row, kYColumn, coordinate(IDC_FLASH_Y, IDC_FLASH_Y_UNIT));
    }

    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));

    Enable(IDC_FLASH_ADD, false);
    Enable(IDC_FLASH_CHANGE, false);
}

void FlashSettingsDialog::Change() {
    DeleteSelectedRow();
    Add();
}

void FlashSettingsDialog::Delete() {
    DeleteSelectedRow();
    RowClicked();
}

void FlashSettingsDialog::RowClicked() {
    updating = 1;
    HWND action = Item(IDC_FLASH_ACTION);
    HWND xUnit = Item(IDC_FLASH_X_UNIT);
    HWND yUnit = Item(IDC_FLASH_Y_UNIT);
    int row = SelectedRow();
    if (row < 0) {
        SetItemText(IDC_FLASH_TIME, "");
        SetItemText(IDC_FLASH_X, "");
        SetItemText(IDC_FLASH_Y, "");
        SelectComboIndex(action, -1);
        SelectComboIndex(xUnit, -1);
        SelectComboIndex(yUnit, -1);
        EnableCoordinates(true);
        Enable(IDC_FLASH_DELETE, false);
    } else {
        SetItemText(IDC_FLASH_TIME, RowText(row, kTimeColumn));
        std::string actionText = RowText(row, kActionColumn);
        if (actionText == kClickText) {
            SelectComboIndex(action, kClickIndex);
            auto coordinate = [this](std::string text, int editId, HWND unit) {
                bool percent = !text.empty() && text.back() == '%';
                if (percent) text.erase(std::remove(text.begin(), text.end(), '%'), text.end());
                SelectComboIndex(unit, percent ? kPercentIndex : kPixelIndex);
                SetItemText(editId, text);
            };
            coordinate(RowText(row, kXColumn), IDC_FLASH_X, xUnit);
            coordinate(RowText(row, kYColumn), IDC_FLASH_Y, yUnit);
            EnableCoordinates(true);
        } else if (actionText == kReloadText) {
            SelectComboIndex(action, kReloadIndex);
            SelectComboIndex(xUnit, -1);
            SelectComboIndex(yUnit, -1);
            EnableCoordinates(false);
        } else {
            SelectComboIndex(action, -1);
            EnableCoordinates(true);
        }
        Enable(IDC_FLASH_DELETE, true);
    }
    Enable(IDC_FLASH_ADD, false);
    Enable(IDC_FLASH_CHANGE, false);
    updating = 0;
}

BOOL FlashSettingsDialog::OnHelp() {
    manual::Show(Handle(), manual::kFlashPage);
    return TRUE;
}
