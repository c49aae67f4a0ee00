// The about box and its links, run modally in-process. What the shell is
// asked to open is seen through a recorder program registered as the opener
// of mailto: and http: addresses.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // RegDeleteTreeA

#include "tests/integration/support/pfd_support.h"
#include "tests/support/TestSupport.h"
#include "ui/AboutDialog.h"
#include "ui/FileDialogIds.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kWebAddress = "http://tolvarin.example/";
const char* const kMailAddress = "info@tolvarin.example";

// Makes the recorder the opener of mailto: and http: addresses while it
// lives, and restores the registry after. The user's classes are where
// Windows looks first; Wine 8 reads only the machine's, so both are set.
class AddressRecorder {
public:
    AddressRecorder() : folder("pfdrec") {
        std::string recorder = folder.File("open_recorder.exe");
        test::CopyFileTo(test::FixturePath("open_recorder.exe"), recorder);
        record = folder.File("opened.txt");
        std::string command = "\"" + recorder + "\" \"" + record + "\" \"%1\"";
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            for (const char* protocol : {"mailto", "http"}) Redirect(root, protocol, command);
        }
    }
    ~AddressRecorder() {
        for (const Saved& saved : saves) {
            if (!saved.protocolExisted) {
                RegDeleteTreeA(saved.root, saved.protocolKey.c_str());
            } else if (saved.hadValue) {
                RegSetValueA(saved.root, saved.commandKey().c_str(), REG_SZ, saved.value.c_str(), 0);
            }
        }
        test::WaitUntil([&] { return test::CountProcessesInFolder(folder.Path()) == 0; });
        test::KillProcessesInFolder(folder.Path());
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(test::ReadFileBytes(record));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // Waits until count addresses have been recorded and no recorder runs
    // any more, so that a line too many would be seen.
    bool WaitForLines(size_t count) const {
        return pfd::PumpAppUntil([&] {
            return Lines().size() >= count && test::CountProcessesInFolder(folder.Path()) == 0;
        }, 10000);
    }

private:
    struct Saved {
        HKEY root;
        std::string protocolKey;
        bool protocolExisted = false;
        bool hadValue = false;
        std::string value;
        std::string commandKey() const { return protocolKey + "\\shell\\open\\command"; }
    };
    void Redirect(HKEY root, const char* protocol, const std::string& command) {
        Saved saved;
        saved.root = root;
        saved.protocolKey = std::string("Software\\Classes\\") + protocol;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, saved.protocolKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            saved.protocolExisted = true;
            RegCloseKey(key);
            char value[1024] = {};
            LONG size = sizeof value;
            if (RegQueryValueA(root, saved.commandKey().c_str(), value, &size) == ERROR_SUCCESS) {
                saved.hadValue = true;
                saved.value = value;
            }
        }
        EXPECT_EQ(RegSetValueA(root, saved.commandKey().c_str(), REG_SZ, command.c_str(), 0),
                  ERROR_SUCCESS);
        saves.push_back(saved);
    }
    test::TempFolder folder;
    std::string record;
    std::vector<Saved> saves;
};

// The label's size must be its text's extent in its own font, plus 2.
bool FitsItsText(HWND label) {
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    std::string text = test::TextOf(label);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT client = {};
    GetClientRect(label, &client);
    return client.right == extent.cx + 2 && client.bottom == extent.cy + 2;
}

bool ShowsBlueText(HWND label) {
    int width = 0, height = 0;
    for (COLORREF c : test::CaptureClient(label, &width, &height)) {
        if (GetBValue(c) > 200 && GetRValue(c) < 80 && GetGValue(c) < 80) return true;
    }
    return false;
}

void MoveOnto(HWND window) {
    POINT at = pfd::ScreenCentre(window);
    test::MoveMouseTo(at.x, at.y);
}

TEST(AboutDialogTest, ShowsTheVersionLinesAndBlueLinksSizedToTheirText) {
    pfd::TestApp t;
    AboutDialog dialog;
    pfd::RunModal(dialog, [&](HWND d) {
        EXPECT_EQ(test::TextOf(d), "バージョン情報");
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_ABOUT_VERSION)), "トルヴァリン君 version 1.50b");
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_ABOUT_COPYRIGHT)),
                  "Copyright (C) 2026 トルヴァリン工房");
        for (LinkLabel* link : {&dialog.webLink, &dialog.mailLink}) {
            EXPECT_TRUE(pfd::PumpAppUntil([&] { return FitsItsText(link->hwnd); }));
            EXPECT_TRUE(pfd::PumpAppUntil([&] { return ShowsBlueText(link->hwnd); }));
            EXPECT_EQ(link->TextColor(), LinkLabel::kNormalColor);
            EXPECT_NE(link->Cursor(), nullptr);
        }
        EXPECT_TRUE(pfd::Screenshot(d, "about_dialog"));
        pfd::Click(d, IDOK);
    });
}

TEST(AboutDialogTest, EnterOrAClickOpensTheLinkAndAMailAddressGetsMailto) {
    pfd::TestApp t;
    AddressRecorder recorder;
    AboutDialog dialog;
    pfd::RunModal(dialog, [&](HWND d) {
        ASSERT_TRUE(pfd::BringToFront(d));
        LinkLabel& web = dialog.webLink;
        LinkLabel& mail = dialog.mailLink;

        // Tab moves between the labels, which show the focus in red.
        SetFocus(web.hwnd);
        EXPECT_EQ(web.TextColor(), LinkLabel::kFocusColor);
        test::PressKey(VK_TAB);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return GetFocus() == mail.hwnd; }));
        EXPECT_EQ(mail.TextColor(), LinkLabel::kFocusColor);
        EXPECT_EQ(web.TextColor(), LinkLabel::kNormalColor);

        test::PressKey(VK_RETURN);
        ASSERT_TRUE(recorder.WaitForLines(1));
        EXPECT_TRUE(IsWindow(d)) << "Enter on a link must not press OK";

        MoveOnto(web.hwnd);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return web.TextColor() == LinkLabel::kHoverColor; }));
        EXPECT_TRUE(web.Underlined());
        EXPECT_EQ(GetCursor(), web.Cursor());
        pfd::MouseDown();
        pfd::MouseUp();
        ASSERT_TRUE(recorder.WaitForLines(2));
        EXPECT_EQ(recorder.Lines(), (std::vector<std::string>{std::string("mailto:") + kMailAddress,
                                                              kWebAddress}));
        pfd::Click(d, IDOK);
    });
}

TEST(AboutDialogTest, ReleasingOutsideOrTheOtherButtonsOpenNothing) {
    pfd::TestApp t;
    AddressRecorder recorder;
    AboutDialog dialog;
    pfd::RunModal(dialog, [&](HWND d) {
        ASSERT_TRUE(pfd::BringToFront(d));
        LinkLabel& web = dialog.webLink;
        POINT outside = pfd::ScreenPoint(d, 10, 10);
        auto normalAgain = [&] {
            return web.TextColor() != LinkLabel::kHoverColor && !web.Underlined();
        };

        // Press, drag out (the hover look stays while the button is held),
        // release: nothing opens.
        MoveOnto(web.hwnd);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return web.TextColor() == LinkLabel::kHoverColor; }));
        pfd::MouseDown();
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return GetFocus() == web.hwnd; }));
        test::MoveMouseTo(outside.x, outside.y);
        pfd::MouseUp();
        ASSERT_TRUE(pfd::PumpAppUntil(normalAgain));
        EXPECT_EQ(web.TextColor(), LinkLabel::kFocusColor);

        // The right button over a hovered label only ends the hover look.
        MoveOnto(web.hwnd);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return web.TextColor() == LinkLabel::kHoverColor; }));
        mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
        ASSERT_TRUE(pfd::PumpAppUntil(normalAgain));

        // Out and back in before the release opens it, once.
        test::MoveMouseTo(outside.x, outside.y);
        ASSERT_TRUE(pfd::PumpAppUntil(normalAgain));
        MoveOnto(web.hwnd);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return web.TextColor() == LinkLabel::kHoverColor; }));
        pfd::MouseDown();
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return GetCapture() == web.hwnd && GetFocus() == web.hwnd; }));
        test::MoveMouseTo(outside.x, outside.y);
        MoveOnto(web.hwnd);
        pfd::MouseUp();
        ASSERT_TRUE(recorder.WaitForLines(1));
        EXPECT_EQ(recorder.Lines(), std::vector<std::string>{kWebAddress});
        pfd::Click(d, IDOK);
    });
}

}  // namespace
