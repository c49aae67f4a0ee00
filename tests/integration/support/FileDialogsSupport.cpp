#include "tests/integration/support/FileDialogsSupport.h"

#include <commctrl.h>

#include <vector>

namespace pfd {

TestApp::TestApp() : folder("pfd"), iniPath(folder.File("tolvarin.ini")) {
    app.SetProfileName(iniPath);
}

std::string TestApp::Read(const char* section, const std::string& key) const {
    return test::ReadIniString(iniPath, section, key.c_str());
}

namespace {

struct ModalRun {
    Dialog* dialog = nullptr;
    const std::function<void(HWND)>* script = nullptr;
    UINT_PTR timer = 0;
};
ModalRun* currentRun = nullptr;

void CALLBACK StartScript(HWND, UINT, UINT_PTR timer, DWORD) {
    ModalRun* run = currentRun;
    if (!run || timer != run->timer) return;
    if (!run->dialog->Handle() || !IsWindowVisible(run->dialog->Handle())) return;  // not up yet
    KillTimer(nullptr, timer);
    run->timer = 0;
    HWND window = run->dialog->Handle();
    (*run->script)(window);
    // Ignored when the script has ended the run already.
    if (IsWindow(window)) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

INT_PTR RunModal(Dialog& dialog, const std::function<void(HWND)>& script) {
    ModalRun run;
    run.dialog = &dialog;
    run.script = &script;
    currentRun = &run;
    run.timer = SetTimer(nullptr, 0, 10, &StartScript);
    INT_PTR result = dialog.DoModal();
    if (run.timer) KillTimer(nullptr, run.timer);
    currentRun = nullptr;
    return result;
}



bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return PumpAppUntil([&] { return GetForegroundWindow() == window; }, 3000);
}

bool Screenshot(HWND window, const std::string& name) {
    BringToFront(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Settled: two captures a little apart show the same picture.
    std::vector<COLORREF> last;
    int unchanged = 0;
    PumpAppUntil([&] {
        int width = 0, height = 0;
        std::vector<COLORREF> now = test::CaptureClient(window, &width, &height);
        unchanged = now == last ? unchanged + 1 : 0;
        last = now;
        return unchanged >= 3;
    }, 3000);
    RECT frame = {};
    GetWindowRect(window, &frame);
    return !test::SaveScreenshot(name, &frame).empty();
}

POINT ScreenPoint(HWND window, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

POINT ScreenCentre(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return ScreenPoint(window, client.right / 2, client.bottom / 2);
}

void MouseDown() { mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0); }
void MouseUp() { mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); }

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Choose(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Type(HWND dialog, int id, const std::string& text) {
    SetWindowTextA(GetDlgItem(dialog, id), text.c_str());
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

std::vector<std::string> ListRows(HWND list, int columns) {
    std::vector<std::string> rows;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::string joined;
        for (int column = 0; column < columns; ++column) {
            char text[64] = {};
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
            if (column) joined += "|";
            joined += text;
        }
        rows.push_back(joined);
    }
    return rows;
}

}  // namespace pfd
