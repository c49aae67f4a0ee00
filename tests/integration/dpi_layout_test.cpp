// The dialogs and the cover window at the system DPI of the environment
// (96; scripts/test.sh runs this program once more at 144): every control
// lies inside its dialog and has room for its whole text, and the cover
// window covers the screen in real pixels. A screenshot of each dialog is
// kept, named after the DPI.
#include "session/CoverWindow.h"
#include "settings/SettingsBackup.h"
#include "tests/integration/support/FileDialogsSupport.h"
#include "tests/integration/support/FullScreenSupport.h"
#include "tests/support/TestSupport.h"
#include "ui/AboutDialog.h"
#include "ui/FlashSettingsDialog.h"
#include "ui/ProgramSettingsDialog.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The size that text needs in control's font, drawn with flags (with
// DT_WORDBREAK: broken into lines no wider than width).
SIZE TextNeeds(HWND control, const std::string& text, int width, UINT flags) {
    HDC dc = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    RECT rect = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &rect, flags | DT_CALCRECT);
    if (old) SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {rect.right, rect.bottom};
}

// Columns of a list view too narrow for their heading or for a row's text
// with the room the list view keeps around it.
void ListViewProblems(HWND list, std::vector<std::string>& problems) {
    const int margin = MulDiv(10, SystemDpi(), 96);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
        char text[64] = {};
        LVCOLUMNA heading = {};
        heading.mask = LVCF_TEXT;
        heading.pszText = text;
        heading.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&heading));
        std::vector<std::string> texts = {text};
        for (int row = 0; row < rows; ++row) {
            char cell[64] = {};
            ListView_GetItemText(list, row, column, cell, sizeof cell);
            texts.push_back(cell);
        }
        for (const std::string& t : texts) {
            const int needs = static_cast<int>(
                SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(t.c_str())));
            if (needs + margin > width) {
                problems.push_back("list column " + std::to_string(column) + " (" + std::to_string(width) +
                                   " pixels) too narrow for \"" + t + "\"");
            }
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
    const int dpi = SystemDpi();
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowVisible(control)) continue;
        const std::string className = test::ClassNameOf(control);
        const std::string text = test::TextOf(control);
        const std::string name = className + " \"" + text + "\"";
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (rect.left < 0 || rect.top < 0 || rect.right > client.right || rect.bottom > client.bottom) {
            problems.push_back(name + " reaches beyond the dialog");
        }
        if (className == "SysListView32") ListViewProblems(control, problems);
        if (text.empty()) continue;
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        SIZE needs = {};
        int room = width;
        if (_stricmp(className.c_str(), "Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            // Room beside a check box's square, or inside a button's edges
            // and a group box's corners.
            bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                       type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
            room = width - MulDiv(box ? 16 : 8, dpi, 96);
            needs = TextNeeds(control, text, room, DT_SINGLELINE);
            if (type != BS_GROUPBOX && needs.cy > height) problems.push_back(name + " is too low");
        } else if (_stricmp(className.c_str(), "Static") == 0) {
            if ((style & SS_TYPEMASK) > SS_RIGHT) continue;  // pictures and frames
            needs = TextNeeds(control, text, width, DT_WORDBREAK | DT_EDITCONTROL |
                                                        ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
            if (needs.cy > height) problems.push_back(name + " needs more lines than it has");
        } else {
            continue;  // edits, lists and combo boxes show data, not labels
        }
        if (needs.cx > room) {
            problems.push_back(name + " needs " + std::to_string(needs.cx) + " pixels and has " +
                               std::to_string(room));
        }
    }
    return problems;
}

void CheckAndShoot(HWND dialog, const std::string& name) {
    EXPECT_EQ(LayoutProblems(dialog), std::vector<std::string>{});
    EXPECT_TRUE(pfd::Screenshot(dialog, name + "_dpi" + std::to_string(SystemDpi())));
}

TEST(DpiLayoutTest, EveryDialogShowsItsControlsWholeAtTheSystemDpi) {
    pfd::TestApp t;
    const std::string exe = "C:\\Tools\\clock.exe", swf = "C:\\movies\\clock.swf";
    t.WriteIni("[LIST]\r\nentry=2\r\nList0=\x81\x9B" + exe + "\r\nList1=\x81\x7E" + swf +
               "\r\nList2=\x81\x9B" "C:\\Movies\\夜景.avi\r\n[TIMER]\r\nON/OFF=1\r\nTime=10\r\n"
               "[SWF_CONFIG]\r\n" + swf + "@macro=5,0,50,1,50,1 8,1\r\n");

    auto settings = std::make_unique<SettingsDialog>(nullptr);
    ASSERT_TRUE(settings->CreateModeless(nullptr));
    ShowWindow(settings->Handle(), SW_SHOW);
    {
        SCOPED_TRACE("settings dialog");
        CheckAndShoot(settings->Handle(), "settings_dialog");
    }
    settings.reset();
    DeleteFileA(SettingsBackup::DefaultBackupPath().c_str());

    ProgramSettingsDialog program;
    program.path = exe;
    pfd::RunModal(program, [](HWND d) {
        SCOPED_TRACE("program settings");
        CheckAndShoot(d, "program_settings_dialog");
    });
    FlashSettingsDialog flash;
    flash.path = swf;
    pfd::RunModal(flash, [](HWND d) {
        SCOPED_TRACE("Flash settings");
        CheckAndShoot(d, "flash_settings_dialog");
    });
    AboutDialog about;
    pfd::RunModal(about, [](HWND d) {
        SCOPED_TRACE("about box");
        CheckAndShoot(d, "about_dialog");
    });
}

TEST(DpiLayoutTest, TheCoverWindowCoversTheScreenInRealPixels) {
    fs::TestApp app;
    auto* cover = new CoverWindow();
    ASSERT_TRUE(cover->CreateFullScreen(app.mainWindow.Handle()));
    HWND handle = cover->Handle();
    RECT rect = {};
    GetWindowRect(handle, &rect);
    HDC screen = GetDC(nullptr);
    const RECT pixels = {0, 0, GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(EqualRect(&rect, &pixels)) << rect.right << "x" << rect.bottom << " on a screen of "
                                           << pixels.right << "x" << pixels.bottom;
    // Black up to the screen's far corner.
    EXPECT_TRUE(fs::Pump([&] { return test::ScreenPixel(pixels.right - 1, pixels.bottom - 1) == 0; }, 3000));
    SendMessageA(handle, WM_CLOSE, 0, 0);
    fs::Pump([&] { return !IsWindow(handle); }, 3000);
}

}  // namespace
