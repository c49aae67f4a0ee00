// The window base, dialogs and the message loop of our framework layer.
#include "framework/App.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

// A template with one control of each kind the data exchange moves: the settings dialog's.
enum { IDD_TEST_DIALOG = IDD_SETTINGS, IDC_TEST_EDIT = IDC_MINUTES, IDC_TEST_CHECK = IDC_TIMER_ON };
enum { IDC_TEST_COMBO = IDC_ORDER };
static const char* PlainClass() { return Window::RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

// Records its messages, takes every queued key press meant for it or its
// children, can refuse creation and, given a counter, owns itself.
struct TestWindow : Window {
    explicit TestWindow(int* cleanups = nullptr, bool refuse = false) : cleanups(cleanups), refuse(refuse) {}
    std::string seen;  // WM_NCCREATE (N) and WM_CREATE (C)
    int caught = 0, *cleanups;
    bool refuse;
    BOOL PreTranslateMessage(MSG* m) override { return m->message == WM_KEYDOWN && ++caught; }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
        seen += m == WM_NCCREATE ? "N" : m == WM_CREATE ? "C" : "";
        return m == WM_CREATE && refuse ? -1 : Window::WindowProc(m, w, l);
    }
    void PostNcDestroy() override {
        if (!cleanups) return;
        ++*cleanups;
        delete this;
    }
};

static void DrainQueue() { test::WaitUntil([] { return true; }, 0, 0, true); }

// Ends a message loop that would otherwise never end.
static void CALLBACK EndStuckLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }

TEST(WindowTest, AMainWindowsLifeFromItsFirstMessageToTheEndOfTheLoop) {
    App app;
    int cleanups = 0;
    auto* window = new TestWindow(&cleanups);
    app.SetMainWindow(window);  // before creation, as the session does
    ASSERT_TRUE(window->CreateEx(0, PlainClass(), "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND handle = window->Handle();
    EXPECT_EQ(Window::FromHandle(handle), window);
    EXPECT_EQ(window->seen, "NC");
    // Queued messages pass the PreTranslate of the window and its parents.
    HWND child = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 5, 5, handle, nullptr, nullptr, nullptr);
    PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(handle, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(app.PumpMessage() && app.PumpMessage());
    EXPECT_EQ(window->caught, 2);
    // Posts reach the main window while there is one (the launch tests post from other threads).
    MSG message;
    EXPECT_TRUE(app.PostToMainWindow(WM_APP + 1, 1, 0));
    EXPECT_TRUE(PeekMessageA(&message, handle, WM_APP + 1, WM_APP + 1, PM_REMOVE));
    // Destroying it clears the main window, ends the loop and deletes it once.
    PostMessageA(handle, WM_CLOSE, 0, 0);
    UINT_PTR guard = SetTimer(nullptr, 0, 10000, EndStuckLoop);
    EXPECT_EQ(app.Run(), 0);
    KillTimer(nullptr, guard);
    EXPECT_EQ(cleanups, 1);
    EXPECT_TRUE(!app.MainWindow() && !Window::FromHandle(handle) && !app.PostToMainWindow(WM_APP + 1, 1, 0));
    DrainQueue();
    // A failed creation (no such class, or refused) has run PostNcDestroy once.
    for (bool refused : {false, true}) {
        cleanups = 0;
        window = new TestWindow(&cleanups, refused);
        const char* windowClass = refused ? PlainClass() : "NoSuchClass";
        EXPECT_FALSE(window->CreateEx(0, windowClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
        EXPECT_EQ(cleanups, 1) << (refused ? "refused" : "unknown class");
    }
}

// From WM_APP, posted by OnInitDialog so that it runs inside the modal loop,
// the dialog reports what its controls show, then saves a number and a text
// that is none: the refusal is shown, the focus goes back to it and nothing changes.
struct TestDialog : Dialog {
    TestDialog(HWND parent, bool closeBox) : Dialog(IDD_TEST_DIALOG, parent), closeBox(closeBox) {}
    bool closeBox;
    int number = 5, checked = 1, choice = 1;
    std::string report;
    BOOL OnInitDialog() override {
        for (const char* item : {"a", "b"})
            SendMessageA(Item(IDC_TEST_COMBO), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        Dialog::OnInitDialog();
        if (parent) PostMessageA(parent, WM_KEYDOWN, 'Z', 0);
        PostMessageA(Handle(), closeBox ? WM_SYSCOMMAND : WM_APP, closeBox ? SC_CLOSE : 0, 0);
        return TRUE;
    }
    void DoDataExchange(DataExchange& exchange) override {
        exchange.Int(IDC_TEST_EDIT, number);
        exchange.Check(IDC_TEST_CHECK, checked);
        exchange.ComboIndex(IDC_TEST_COMBO, choice);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_APP) return Dialog::WindowProc(message, wParam, lParam);
        // A braced list is evaluated left to right.
        auto add = [this](std::initializer_list<long long> values) {
            for (long long v : values) report += std::to_string(v) + " ";
        };
        add({parent && !IsWindowEnabled(parent)});
        report += ItemText(IDC_TEST_EDIT) + " ";
        add({SendDlgItemMessageA(Handle(), IDC_TEST_CHECK, BM_GETCHECK, 0, 0),
             SendDlgItemMessageA(Handle(), IDC_TEST_COMBO, CB_GETCURSEL, 0, 0)});
        SetItemText(IDC_TEST_EDIT, " -12 ");
        add({UpdateData(TRUE), number});
        SetItemText(IDC_TEST_EDIT, "12a");
        SetFocus(Item(IDC_TEST_CHECK));
        test::DialogAnswerer answerer;
        add({UpdateData(TRUE), number, GetFocus() == Item(IDC_TEST_EDIT)});
        for (const std::string& text : answerer.texts) report += text;
        EndDialog(7);
        return 0;
    }
};

TEST(DialogTest, ModalRunKeepsThePreTranslateLookExchangesDataAndCancelsByTheCloseBox) {
    App app;
    TestWindow owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
    TestDialog dialog(owner.Handle(), false);
    EXPECT_EQ(dialog.DoModal(), 7);
    // The owner is disabled meanwhile; its key press went through the modal
    // loop's PreTranslate walk.
    EXPECT_EQ(dialog.report, "1 5 1 1 1 -12 0 -12 1 " + std::string(DataExchange::kNotANumberMessage));
    EXPECT_EQ(owner.caught, 1);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()) && !dialog.Handle());
    DestroyWindow(owner.Handle());
    DrainQueue();
    EXPECT_EQ(TestDialog(nullptr, true).DoModal(), IDCANCEL);
    DrainQueue();
}
