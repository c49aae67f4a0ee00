// The about box and its links, run modally in-process. What the shell is
// asked to open is seen through a recorder program registered as the opener
// of mailto: and http: addresses.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // RegDeleteTreeA

#include "res/resource.h"
#include "tests/integration/support/FileDialogsSupport.h"
#include "tests/support/TestSupport.h"
#include "ui/AboutDialog.h"
#include "ui/FileDialogIds.h"

#include <gtest/gtest.h>
#include <windowsx.h>

#include <functional>
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

// What a label looked like right after it had handled one message.
struct Seen {
    UINT message = 0;
    POINT at = {};  // the message's position in the label's client area
    COLORREF color = 0;
    bool underlined = false;
    bool captured = false;
    bool focused = false;
};

// Orange, underlined, and holding the capture to learn when the mouse leaves.
bool HoverLook(const Seen& s) {
    return s.color == LinkLabel::kHoverColor && s.underlined && s.captured;
}
// Blue, or red with the focus; no underline and no capture.
bool NormalLook(const Seen& s) {
    return s.color == (s.focused ? LinkLabel::kFocusColor : LinkLabel::kNormalColor) &&
           !s.underlined && !s.captured;
}

enum class Where { Anywhere, Inside, Outside };

// Handles the application's messages and notes the label's look after each
// one the label handles. Injected input is queued as soon as it is sent, but
// the label's own capture changes queue more: a released capture reports the
// unmoved cursor again, which over the label brings the hover look straight
// back. So a test looks at the label right after a given message, not at
// whatever moment its wait happens to end.
class LabelWatch {
public:
    explicit LabelWatch(LinkLabel& label) : label(label) {}

    Seen Now() const {
        Seen s;
        s.color = label.TextColor();
        s.underlined = label.Underlined();
        s.captured = GetCapture() == label.Handle();
        s.focused = GetFocus() == label.Handle();
        return s;
    }
    // Where Next starts looking: what is handled from now on.
    size_t Mark() const { return seen.size(); }

    // Waits until the label has handled message since the mark from, at a
    // position inside or outside its client area as where asks, and gives
    // its look right after the first such message.
    bool Next(size_t from, UINT message, Where where, Seen* result) {
        size_t index = from;
        auto found = [&] {
            for (; index < seen.size(); ++index) {
                const Seen& s = seen[index];
                if (s.message != message) continue;
                RECT client = {};
                GetClientRect(label.Handle(), &client);
                bool inside = PtInRect(&client, s.at) != FALSE;
                if (where == Where::Anywhere || inside == (where == Where::Inside)) return true;
            }
            return false;
        };
        if (!Pump(found)) return false;
        *result = seen[index];
        return true;
    }
    bool Next(size_t from, UINT message, Seen* result) {
        return Next(from, message, Where::Anywhere, result);
    }
    // Moves the mouse and waits for the label to handle that move.
    bool MoveTo(POINT screen, Where where, Seen* result) {
        size_t from = Mark();
        test::MoveMouseTo(screen.x, screen.y);
        return Next(from, WM_MOUSEMOVE, where, result);
    }
    bool MoveOntoLabel(Seen* result) {
        return MoveTo(pfd::ScreenCentre(label.Handle()), Where::Inside, result);
    }
    bool Pump(const std::function<bool()>& condition) {
        return pfd::PumpAppUntil(condition, 5000, [&](const MSG& m) { Note(m); });
    }

private:
    void Note(const MSG& m) {
        if (m.hwnd != label.Handle()) return;
        Seen s = Now();
        s.message = m.message;
        s.at = {GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
        seen.push_back(s);
    }
    LinkLabel& label;
    std::vector<Seen> seen;
};

// Puts the mouse on the dialog away from both labels and waits until
// neither shows the hover look: the cursor may have been left over a label
// by an earlier test, and a dialog that opens under it gets the move.
bool ParkMouse(HWND dialog, AboutDialog& about) {
    POINT away = pfd::ScreenPoint(dialog, 10, 10);
    test::MoveMouseTo(away.x, away.y);
    return pfd::PumpAppUntil([&] {
        POINT cursor = {};
        GetCursorPos(&cursor);
        for (LinkLabel* link : {&about.webLink, &about.mailLink}) {
            if (link->Underlined() || link->TextColor() == LinkLabel::kHoverColor) return false;
        }
        return GetCapture() == nullptr && cursor.x == away.x && cursor.y == away.y;
    });
}

TEST(AboutDialogTest, ShowsTheVersionLinesAndBlueLinksSizedToTheirText) {
    pfd::TestApp t;
    AboutDialog dialog;
    pfd::RunModal(dialog, [&](HWND d) {
        ASSERT_TRUE(ParkMouse(d, dialog));
        EXPECT_EQ(test::TextOf(d), TOLVARIN_ABOUT_CAPTION);
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_ABOUT_VERSION)), TOLVARIN_NAME " version 1.50b");
        EXPECT_EQ(test::TextOf(GetDlgItem(d, IDC_ABOUT_COPYRIGHT)),
                  "Copyright (C) 2026 トルヴァリン工房");
        for (LinkLabel* link : {&dialog.webLink, &dialog.mailLink}) {
            EXPECT_TRUE(pfd::PumpAppUntil([&] { return FitsItsText(link->Handle()); }));
            EXPECT_TRUE(pfd::PumpAppUntil([&] { return ShowsBlueText(link->Handle()); }));
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
        ASSERT_TRUE(ParkMouse(d, dialog));
        LinkLabel& web = dialog.webLink;
        LinkLabel& mail = dialog.mailLink;
        LabelWatch watch(web);
        Seen seen;

        // Tab moves between the labels, which show the focus in red.
        SetFocus(web.Handle());
        EXPECT_EQ(web.TextColor(), LinkLabel::kFocusColor);
        test::PressKey(VK_TAB);
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return GetFocus() == mail.Handle(); }));
        EXPECT_EQ(mail.TextColor(), LinkLabel::kFocusColor);
        EXPECT_EQ(web.TextColor(), LinkLabel::kNormalColor);

        test::PressKey(VK_RETURN);
        ASSERT_TRUE(recorder.WaitForLines(1));
        EXPECT_TRUE(IsWindow(d)) << "Enter on a link must not press OK";

        // The click below is not one that activates the dialog.
        ASSERT_TRUE(pfd::BringToFront(d));
        ASSERT_TRUE(watch.MoveOntoLabel(&seen));
        EXPECT_TRUE(HoverLook(seen));
        EXPECT_EQ(GetCursor(), web.Cursor());
        size_t from = watch.Mark();
        pfd::MouseDown();
        pfd::MouseUp();
        ASSERT_TRUE(watch.Next(from, WM_LBUTTONUP, &seen));
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
        ASSERT_TRUE(ParkMouse(d, dialog));
        LinkLabel& web = dialog.webLink;
        LabelWatch watch(web);
        POINT outside = pfd::ScreenPoint(d, 10, 10);
        Seen seen;

        // Press, drag out (the hover look and the capture stay while the
        // button is held), release: nothing opens, and the label is back to
        // its normal look, red as it has the focus now.
        ASSERT_TRUE(watch.MoveOntoLabel(&seen));
        EXPECT_TRUE(HoverLook(seen));
        size_t from = watch.Mark();
        pfd::MouseDown();
        ASSERT_TRUE(watch.Next(from, WM_LBUTTONDOWN, &seen));
        EXPECT_TRUE(seen.focused && HoverLook(seen));
        ASSERT_TRUE(watch.MoveTo(outside, Where::Outside, &seen));
        EXPECT_TRUE(HoverLook(seen));
        from = watch.Mark();
        pfd::MouseUp();
        ASSERT_TRUE(watch.Next(from, WM_LBUTTONUP, &seen));
        EXPECT_TRUE(NormalLook(seen));
        EXPECT_EQ(seen.color, LinkLabel::kFocusColor);

        // The right or the middle button over a hovered label ends the hover
        // look at the press and at the release. The cursor has not moved, so
        // the move reported when the capture is let go brings it back.
        const UINT buttons[][4] = {
            {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, WM_RBUTTONDOWN, WM_RBUTTONUP},
            {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, WM_MBUTTONDOWN, WM_MBUTTONUP}};
        for (const UINT* button : buttons) {
            SCOPED_TRACE(button[2]);
            ASSERT_TRUE(watch.MoveOntoLabel(&seen));
            ASSERT_TRUE(HoverLook(seen));
            from = watch.Mark();
            mouse_event(button[0], 0, 0, 0, 0);
            mouse_event(button[1], 0, 0, 0, 0);
            ASSERT_TRUE(watch.Next(from, button[2], &seen));
            EXPECT_TRUE(NormalLook(seen));
            ASSERT_TRUE(watch.Next(from, button[3], &seen));
            EXPECT_TRUE(NormalLook(seen));
            EXPECT_TRUE(watch.Pump([&] { return HoverLook(watch.Now()); }));
        }

        // Leaving without a button held ends the hover look; out and back in
        // before the release opens the link, once.
        ASSERT_TRUE(watch.MoveTo(outside, Where::Outside, &seen));
        EXPECT_TRUE(NormalLook(seen));
        ASSERT_TRUE(watch.MoveOntoLabel(&seen));
        EXPECT_TRUE(HoverLook(seen));
        from = watch.Mark();
        pfd::MouseDown();
        ASSERT_TRUE(watch.Next(from, WM_LBUTTONDOWN, &seen));
        EXPECT_TRUE(seen.focused && HoverLook(seen));
        ASSERT_TRUE(watch.MoveTo(outside, Where::Outside, &seen));
        EXPECT_TRUE(HoverLook(seen));
        ASSERT_TRUE(watch.MoveOntoLabel(&seen));
        from = watch.Mark();
        pfd::MouseUp();
        ASSERT_TRUE(watch.Next(from, WM_LBUTTONUP, Where::Inside, &seen));
        ASSERT_TRUE(recorder.WaitForLines(1));
        EXPECT_EQ(recorder.Lines(), std::vector<std::string>{kWebAddress});
        pfd::Click(d, IDOK);
    });
}

TEST(AboutDialogTest, KeysWaitWhilePressedAndLosingTheFocusEndsThePress) {
    pfd::TestApp t;
    AddressRecorder recorder;
    AboutDialog dialog;
    pfd::RunModal(dialog, [&](HWND d) {
        ASSERT_TRUE(pfd::BringToFront(d));
        ASSERT_TRUE(ParkMouse(d, dialog));
        LinkLabel& web = dialog.webLink;
        LabelWatch watch(web);
        POINT outside = pfd::ScreenPoint(d, 10, 10);
        Seen seen;

        // While the button is held on the label, Enter is swallowed.
        ASSERT_TRUE(watch.MoveOntoLabel(&seen));
        size_t from = watch.Mark();
        pfd::MouseDown();
        ASSERT_TRUE(watch.Next(from, WM_LBUTTONDOWN, &seen));
        test::PressKey(VK_RETURN);
        ASSERT_TRUE(watch.Next(from, WM_KEYUP, &seen));

        // Something else takes the focus while the button is still held,
        // and the button is let go away from the label, which so never
        // sees the release.
        SetFocus(GetDlgItem(d, IDOK));
        EXPECT_TRUE(NormalLook(watch.Now()));
        test::MoveMouseTo(outside.x, outside.y);
        bool released = false;
        pfd::MouseUp();
        ASSERT_TRUE(pfd::PumpAppUntil([&] { return released; }, 5000, [&](const MSG& m) {
            if (m.message == WM_LBUTTONUP) released = true;
        }));

        // The press ended with the focus: leaving the label ends the hover
        // look again, and Enter on it opens the link.
        ASSERT_TRUE(watch.MoveOntoLabel(&seen));
        EXPECT_TRUE(HoverLook(seen));
        ASSERT_TRUE(watch.MoveTo(outside, Where::Outside, &seen));
        EXPECT_TRUE(NormalLook(seen));
        SetFocus(web.Handle());
        test::PressKey(VK_RETURN);
        ASSERT_TRUE(recorder.WaitForLines(1));
        EXPECT_EQ(recorder.Lines(), std::vector<std::string>{kWebAddress});
        pfd::Click(d, IDOK);
    });
}

}  // namespace
