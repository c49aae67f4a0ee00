// The dialogs and the cover window at the system DPI of the environment
// (96; scripts/test.sh runs this program once more at 144): every control
// lies inside its dialog and has room for its whole text, and the cover
// window covers the screen in real pixels. A screenshot of each dialog is
// kept, named after the DPI.
#include "session/CoverWindow.h"
#include "settings/SettingsBackup.h"
#include "tests/integration/support/InProcess.h"
#include "ui/AboutDialog.h"
#include "ui/FlashSettingsDialog.h"
#include "ui/ProgramSettingsDialog.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

int Screen(int index) {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return value;
}
int Scaled(int pixels) { return MulDiv(pixels, Screen(LOGPIXELSY), 96); }

// Columns of a list view too narrow for their heading or for a row's text
// with the room the list view keeps around it.
void ListViewProblems(HWND list, std::vector<std::string>& problems) {
    for (int column = 0; column < Header_GetItemCount(ListView_GetHeader(list)); ++column) {
        char text[64] = {};
        LVCOLUMNA heading = {};
        heading.mask = LVCF_TEXT;
        heading.pszText = text;
        heading.cchTextMax = sizeof text;
        ListView_GetColumn(list, column, &heading);
        for (int row = -1; row < ListView_GetItemCount(list); ++row) {  // the heading, then the rows
            if (row >= 0) ListView_GetItemText(list, row, column, text, sizeof text);
            if (ListView_GetStringWidth(list, text) + Scaled(10) > ListView_GetColumnWidth(list, column))
                problems.push_back("column " + std::to_string(column) + " too narrow for " + text);
        }
    }
}

// What does not fit in dialog: a control reaching beyond its client area, a
// label, button or box whose text needs more room than the control gives, or
// a list column too narrow for what it shows.
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
        if (kind == "SysListView32") ListViewProblems(control, problems);
        const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & BS_TYPEMASK;
        const bool button = _stricmp(kind.c_str(), "Button") == 0;
        // Pictures, frames, edits, lists and combo boxes show no label.
        const bool label = _stricmp(kind.c_str(), "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
        if (text.empty() || !(button || label)) continue;
        // Room beside a check box's square, or inside a button's edges and a group box's corners.
        const bool box = (type >= BS_CHECKBOX && type <= BS_AUTO3STATE) || type == BS_AUTORADIOBUTTON;
        const int room = rect.right - rect.left - (button ? Scaled(box ? 16 : 8) : 0);
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

TEST(DpiLayoutTest, EveryDialogShowsItsControlsWholeAndTheCoverWindowCoversTheScreenInRealPixels) {
    test::TestApp t;
    const std::string exe = "C:\\Tools\\clock.exe", swf = "C:\\movies\\clock.swf";
    t.WriteIni("[LIST]\r\nentry=2\r\nList0=\x81\x9B" + exe + "\r\nList1=\x81\x7E" + swf +
               "\r\nList2=\x81\x9B" "C:\\Movies\\夜景.avi\r\n[TIMER]\r\nON/OFF=1\r\nTime=10\r\n"
               "[SWF_CONFIG]\r\n" + swf + "@macro=5,0,50,1,50,1 8,1\r\n");
    SettingsDialog settings(nullptr);
    ProgramSettingsDialog program;
    FlashSettingsDialog flash;
    AboutDialog about;
    program.path = exe;
    flash.path = swf;
    const std::pair<Dialog*, std::string> dialogs[] = {{&settings, "settings_dialog"},
        {&program, "program_settings_dialog"}, {&flash, "flash_settings_dialog"}, {&about, "about_dialog"}};
    for (const auto& [dialog, name] : dialogs) {
        ASSERT_TRUE(dialog->CreateModeless(nullptr)) << name;
        HWND window = dialog->Handle();
        RECT frame = {};
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        GetWindowRect(window, &frame);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test::PumpQueued();
        EXPECT_EQ(LayoutProblems(window), std::vector<std::string>{}) << name;
        EXPECT_FALSE(test::SaveScreenshot(name + "_dpi" + std::to_string(Screen(LOGPIXELSY)), &frame).empty()) << name;
        dialog->DestroyWindow();
    }
    DeleteFileA(SettingsBackup::DefaultBackupPath().c_str());

    auto* cover = new CoverWindow();  // deletes itself with its window
    ASSERT_TRUE(cover->CreateFullScreen(t.mainWindow.Handle()));
    HWND handle = cover->Handle();
    RECT rect = {}, pixels = {0, 0, Screen(HORZRES), Screen(VERTRES)};
    GetWindowRect(handle, &rect);
    EXPECT_TRUE(EqualRect(&rect, &pixels)) << rect.left << "," << rect.top << " " << rect.right << "x" << rect.bottom;
    // Black up to the screen's far corner.
    EXPECT_TRUE(test::PumpAppUntil([&] { return test::ScreenPixel(pixels.right - 1, pixels.bottom - 1) == 0; }, 3000));
    SendMessageA(handle, WM_CLOSE, 0, 0);
    test::PumpAppUntil([&] { return !IsWindow(handle); }, 3000);
}

}  // namespace
