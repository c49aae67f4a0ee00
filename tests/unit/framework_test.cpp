// The window base, dialogs and the message loop of our framework layer.
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/Window.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/unit_resources.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

const char* PlainClass() { return Window::RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

// A self-owning window that counts its clean-ups and can refuse creation.
class CountingWindow : public Window {
public:
    explicit CountingWindow(int* cleanups, bool refuseCreate = false)
        : cleanups(cleanups), refuseCreate(refuseCreate) {}
    std::vector<UINT> seen;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        if (message == WM_CREATE && refuseCreate) return -1;
        return Window::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override {
        ++*cleanups;
        delete this;
    }

private:
    int* cleanups;
    bool refuseCreate;
};

void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) DispatchMessageA(&message);
    }
}

TEST(WindowTest, IsAttachedFromItsFirstMessageAndDeletesItselfOnce) {
    int cleanups = 0;
    auto* window = new CountingWindow(&cleanups);
    ASSERT_TRUE(window->CreateEx(0, PlainClass(), "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND handle = window->Handle();
    EXPECT_EQ(Window::FromHandle(handle), window);
    bool sawNcCreate = false, sawCreate = false;
    for (UINT m : window->seen) {
        sawNcCreate |= m == WM_NCCREATE;
        sawCreate |= m == WM_CREATE;
    }
    EXPECT_TRUE(sawNcCreate);
    EXPECT_TRUE(sawCreate);
    DestroyWindow(handle);
    EXPECT_EQ(cleanups, 1);
    EXPECT_EQ(Window::FromHandle(handle), nullptr);
}

TEST(WindowTest, AFailedCreationHasRunPostNcDestroyExactlyOnce) {
    int cleanups = 0;
    auto* unknownClass = new CountingWindow(&cleanups);
    EXPECT_FALSE(unknownClass->CreateEx(0, "NoSuchClassAnywhere", "", WS_POPUP, 0, 0, 1, 1,
                                        nullptr, nullptr));
    EXPECT_EQ(cleanups, 1);

    cleanups = 0;
    auto* refused = new CountingWindow(&cleanups, true);
    EXPECT_FALSE(refused->CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    EXPECT_EQ(cleanups, 1);
}

TEST(WindowTest, DestroyingTheMainWindowClearsItAndEndsTheLoop) {
    App app;
    int cleanups = 0;
    auto* window = new CountingWindow(&cleanups);
    ASSERT_TRUE(window->CreateEx(0, PlainClass(), "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.SetMainWindow(window);
    PostMessageA(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Run(), 0);  // returns because WM_QUIT was posted
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(cleanups, 1);
}

// A parent that takes key presses meant for any of its children.
class KeyCatcher : public Window {
public:
    int caught = 0;
    BOOL PreTranslateMessage(MSG* message) override {
        if (message->message == WM_KEYDOWN) {
            ++caught;
            return TRUE;
        }
        return FALSE;
    }
};

TEST(MessageLoopTest, QueuedMessagesPassTheParentsPreTranslate) {
    App app;
    KeyCatcher parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "p", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    HWND child = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, parent.Handle(), nullptr,
                                 nullptr, nullptr);
    PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(parent.Handle(), WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(parent.caught, 2);
    DestroyWindow(parent.Handle());
    DrainQueue();
}

class TestDialog : public Dialog {
public:
    explicit TestDialog(HWND parent) : Dialog(IDD_TEST_DIALOG, parent) {}
    int number = 5;
    int checked = 1;
    int choice = 1;
    std::string text = "初期";
    HWND spy = nullptr;
    bool ownerDisabledDuringRun = false;
    BOOL firstUpdate = FALSE, secondUpdate = TRUE;
    int numberAfterFirst = 0, numberAfterSecond = 0;

protected:
    BOOL OnInitDialog() override {
        HWND combo = Item(IDC_TEST_COMBO);
        for (const char* item : {"ランダム", "リスト順", "先頭から"}) {
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        Dialog::OnInitDialog();
        if (spy) PostMessageA(spy, WM_KEYDOWN, 'Z', 0);
        PostMessageA(Handle(), WM_APP, 0, 0);
        return TRUE;
    }
    void DoDataExchange(DataExchange& exchange) override {
        exchange.Int(IDC_TEST_EDIT, number);
        exchange.Check(IDC_TEST_CHECK, checked);
        exchange.ComboIndex(IDC_TEST_COMBO, choice);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) {
            ownerDisabledDuringRun = parent && !IsWindowEnabled(parent);
            EXPECT_EQ(ItemText(IDC_TEST_EDIT), "5");
            EXPECT_EQ(SendMessageA(Item(IDC_TEST_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(SendMessageA(Item(IDC_TEST_COMBO), CB_GETCURSEL, 0, 0), 1);
            SetItemText(IDC_TEST_EDIT, " -12 ");
            firstUpdate = UpdateData(TRUE);
            numberAfterFirst = number;
            SetItemText(IDC_TEST_EDIT, "12a");
            {
                test::MessageBoxAnswerer answerer(GetCurrentProcessId(), "エラー");
                secondUpdate = UpdateData(TRUE);
                answerer.Wait();
                refusalText = answerer.Text();
            }
            numberAfterSecond = number;
            focusAfterRefusal = GetFocus() == Item(IDC_TEST_EDIT);
            EndDialog(7);
            return 0;
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }

public:
    std::string refusalText;
    bool focusAfterRefusal = false;
};

TEST(DialogTest, ModalRunKeepsThePreTranslateLookAndExchangesData) {
    App app;
    KeyCatcher owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                               nullptr, nullptr));
    TestDialog dialog(owner.Handle());
    dialog.spy = owner.Handle();
    EXPECT_EQ(dialog.DoModal(), 7);
    EXPECT_EQ(owner.caught, 1);  // seen by the modal loop's PreTranslate walk
    EXPECT_TRUE(dialog.ownerDisabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(dialog.Handle(), nullptr);

    EXPECT_TRUE(dialog.firstUpdate);
    EXPECT_EQ(dialog.numberAfterFirst, -12);
    EXPECT_FALSE(dialog.secondUpdate);
    EXPECT_EQ(dialog.numberAfterSecond, -12);  // the refused text changed nothing
    EXPECT_EQ(dialog.refusalText, DataExchange::kNotANumberMessage);
    EXPECT_TRUE(dialog.focusAfterRefusal);
    DestroyWindow(owner.Handle());
    DrainQueue();
}

TEST(DialogTest, CancelAndTheCloseBoxEndWithIdCancel) {
    App app;
    class Closing : public Dialog {
    public:
        Closing() : Dialog(IDD_TEST_DIALOG, nullptr) {}
        BOOL OnInitDialog() override {
            Dialog::OnInitDialog();
            PostMessageA(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            return TRUE;
        }
    } dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    DrainQueue();
}

}  // namespace

namespace {

TEST(MainWindowTest, OtherThreadsPostThroughAHandleCopyThatFollowsTheWindow) {
    App app;
    int cleanups = 0;
    auto* window = new CountingWindow(&cleanups);
    app.SetMainWindow(window);  // set before creation, as the session does
    ASSERT_TRUE(window->CreateEx(0, PlainClass(), "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND handle = window->Handle();
    auto postFromAnotherThread = [&] {
        bool posted = false;
        std::thread thread([&] { posted = app.PostToMainWindow(WM_APP + 1, 1, 0); });
        thread.join();
        return posted;
    };
    EXPECT_TRUE(postFromAnotherThread());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, handle, WM_APP + 1, WM_APP + 1, PM_REMOVE));
    DestroyWindow(handle);
    EXPECT_FALSE(postFromAnotherThread());
    DrainQueue();
}

}  // namespace
