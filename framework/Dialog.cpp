#include "framework/Dialog.h"

#include "framework/App.h"

#include <string>
#include <vector>

const char* const DataExchange::kNotANumberMessage = "整数を入力してください。";

void ShowErrorMessage(HWND owner, const char* text) {
    MessageBoxA(owner, text, "エラー", MB_OK);
}

void ShowErrorMessage(HWND owner, const wchar_t* text) {
    MessageBoxW(owner, text, L"エラー", MB_OK);
}

namespace {

// The reading of an integer edit: blanks around an optional sign and at
// least one digit; anything else is refused.
bool ParseWholeNumber(const std::string& text, int& value) {
    size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    size_t digitsStart = i;
    long long number = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        number = number * 10 + (text[i] - '0');
        if (number > 2147483648LL) return false;
        ++i;
    }
    if (i == digitsStart) return false;
    while (i < text.size() && blank(text[i])) ++i;
    if (i != text.size()) return false;
    if (negative) number = -number;
    if (number > 2147483647LL || number < -2147483648LL) return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

void DataExchange::Fail(int id, const char* message) {
    failed = true;
    ShowErrorMessage(dialog.Handle(), message);
    HWND control = dialog.Item(id);
    if (control) {
        SetFocus(control);
        SendMessageA(control, EM_SETSEL, 0, -1);
    }
}

void DataExchange::Check(int id, int& value) {
    if (failed) return;
    if (saving) {
        value = static_cast<int>(SendMessageA(dialog.Item(id), BM_GETCHECK, 0, 0));
    } else {
        SendMessageA(dialog.Item(id), BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DataExchange::Int(int id, int& value) {
    if (failed) return;
    if (saving) {
        int parsed = 0;
        if (!ParseWholeNumber(dialog.ItemText(id), parsed)) {
            Fail(id, kNotANumberMessage);
            return;
        }
        value = parsed;
    } else {
        dialog.SetItemText(id, std::to_string(value).c_str());
    }
}

void DataExchange::Text(int id, std::string& value) {
    if (failed) return;
    if (saving) {
        value = dialog.ItemText(id);
    } else {
        dialog.SetItemText(id, value);
    }
}

void DataExchange::ComboIndex(int id, int& value) {
    if (failed) return;
    if (saving) {
        value = static_cast<int>(SendMessageA(dialog.Item(id), CB_GETCURSEL, 0, 0));
    } else {
        SendMessageA(dialog.Item(id), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
    }
}

void DataExchange::Control(int id, Window& control) {
    if (failed || control.Handle()) return;
    control.Subclass(dialog.Item(id));
}

std::string Dialog::ItemText(int id) const {
    HWND control = Item(id);
    int length = control ? GetWindowTextLengthA(control) : 0;
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    if (control) GetWindowTextA(control, text.data(), length + 1);
    return std::string(text.data());
}

void Dialog::SetItemText(int id, const std::string& text) const {
    SetDlgItemTextA(Handle(), id, text.c_str());
}

BOOL Dialog::UpdateData(BOOL saveAndValidate) {
    DataExchange exchange(*this, saveAndValidate != FALSE);
    DoDataExchange(exchange);
    return exchange.Failed() ? FALSE : TRUE;
}

void Dialog::DoDataExchange(DataExchange&) {}

BOOL Dialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void Dialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL Dialog::OnCommand(int, int, HWND) { return FALSE; }

BOOL Dialog::OnNotify(NMHDR*, LRESULT*) { return FALSE; }

BOOL Dialog::OnHelp() { return FALSE; }

HBRUSH Dialog::OnCtlColor(HDC dc, HWND control, UINT message) {
    if (auto* reflecting = dynamic_cast<ColorReflecting*>(Window::FromHandle(control))) {
        if (HBRUSH brush = reflecting->OnReflectedCtlColor(dc, message)) return brush;
    }
    return reinterpret_cast<HBRUSH>(
        DefaultProc(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
}

BOOL Dialog::PreTranslateMessage(MSG* message) {
    if (!Handle()) return FALSE;
    bool input = (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) ||
                 (message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST);
    return input && IsDialogMessageA(Handle(), message);
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        DefaultProc(message, wParam, lParam);
        return OnInitDialog();
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        if (id == IDOK && (code == BN_CLICKED || control == nullptr)) {
            OnOK();
            return 0;
        }
        if (id == IDCANCEL && (code == BN_CLICKED || control == nullptr)) {
            OnCancel();
            return 0;
        }
        if (OnCommand(id, code, control)) return 0;
        break;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) {
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, result);
            return result;
        }
        break;
    }
    case WM_HELP:
        if (OnHelp()) return TRUE;
        break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message));
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    // Everything is handled by the subclassed window procedure; the dialog
    // manager only needs TRUE for WM_INITDIALOG to set the default focus.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

BOOL Dialog::CreateFromTemplate(HWND owner) {
    if (Handle() || !BeginCreationHook()) return FALSE;
    HINSTANCE instance = App::Instance() ? App::Instance()->Handle() : GetModuleHandleA(nullptr);
    HWND created = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner,
                                      &StaticDialogProc, 0);
    EndCreationHook();
    return created != nullptr && Handle() == created;
}

BOOL Dialog::CreateModeless(HWND owner) { return CreateFromTemplate(owner); }

INT_PTR Dialog::DoModal() {
    HWND owner = parent;
    if (!owner) {
        App* app = App::Instance();
        if (app && app->MainWindow() && app->MainWindow() != this) owner = app->MainWindowHandle();
    }
    while (owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
    if (owner && !IsWindow(owner)) owner = nullptr;

    bool enableOwner = false;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        enableOwner = true;
    }
    modalResult = -1;
    inModalLoop = true;
    if (!CreateFromTemplate(owner)) {
        inModalLoop = false;
        if (enableOwner) EnableWindow(owner, TRUE);
        return -1;
    }
    if (inModalLoop && !IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOWNORMAL);

    App* app = App::Instance();
    while (inModalLoop && Handle()) {
        int quitCode = 0;
        bool more = app ? app->PumpMessage(&quitCode) : false;
        if (!more) {
            PostQuitMessage(quitCode);  // leave it for the outer loop
            break;
        }
    }
    inModalLoop = false;
    if (enableOwner) EnableWindow(owner, TRUE);
    if (owner && Handle() && GetActiveWindow() == Handle()) SetActiveWindow(owner);
    if (Handle()) ::DestroyWindow(Handle());
    return modalResult;
}

void Dialog::EndDialog(int result) {
    modalResult = result;
    if (inModalLoop) {
        // DoModal enables the owner first and then destroys the dialog, so
        // that the activation goes back to the owner.
        inModalLoop = false;
    } else if (Handle()) {
        ShowWindow(Handle(), SW_HIDE);
    }
}
