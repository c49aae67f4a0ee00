// Libraries placed beside the program under the names of system libraries
// are never loaded, whatever the program does: a session that asks for the
// password, the password change, the about box's version lines and a movie
// preview. Wine is told to prefer such native files, as Windows does.
#include "res/resource.h"
#include "tests/support/TestAvi.h"
#include "tests/support/TestSupport.h"
#include "ui/FileDialogIds.h"

#include <gtest/gtest.h>

namespace {

bool IsSettingsDialog(HWND window) {
    return test::ClassNameOf(window) == "#32770" && test::TextOf(window) == TOLVARIN_NAME;
}
bool IsAboutBox(HWND window) { return test::TextOf(window) == TOLVARIN_ABOUT_CAPTION; }
bool IsMoviePlayer(HWND window) {
    // The movie's picture is a child window of our own class.
    return test::TextOf(window) == TOLVARIN_PLAYER_CAPTION &&
           test::ClassNameOf(GetWindow(window, GW_CHILD)).rfind("Tolvarin:", 0) == 0;
}

class LibrarySearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        log = process.File("fixture.log");
        SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", log.c_str());
        SetEnvironmentVariableA("WINEDLLOVERRIDES",
                                "mscoree,mshtml=;version,msvfw32,mpr,password.cpl=n,b");
        for (const char* name : {"version.dll", "msvfw32.dll", "mpr.dll", "password.cpl"}) {
            ASSERT_TRUE(test::CopyFileTo(test::FixturePath("decoy_library.dll"), process.File(name)));
        }
    }
    void TearDown() override {
        process.Kill();
        SetEnvironmentVariableA("WINEDLLOVERRIDES", "mscoree,mshtml=");
        SetEnvironmentVariableA("TOLVARIN_FIXTURE_LOG", nullptr);
        test::DeleteUsePasswordFlag();
        EXPECT_EQ(test::ReadFileBytes(log), "") << "a library beside the program was loaded";
    }

    HWND StartSettings() {
        EXPECT_TRUE(process.Start(""));
        return process.WaitForWindow(IsSettingsDialog);
    }

    test::ProductProcess process;
    std::string log;
};

TEST_F(LibrarySearchTest, TheSessionAsksTheSystemsPasswordCheck) {
    test::SystemPasswordCheck passwordCheck;
    test::SetUsePasswordFlag(1);
    process.WriteIni("[OTHER]\r\n");
    ASSERT_TRUE(process.Start("/s"));
    ASSERT_NE(process.WaitForWindow([](HWND w) { return IsWindowVisible(w) && test::TextOf(w).empty(); }),
              nullptr);
    ASSERT_TRUE(test::MoveMouseUntil([&] { return !process.Running(); }));
    EXPECT_EQ(test::ReadFileBytes(process.File("password_log.txt")), "verify flag=1 answer=1\r\n");
}

TEST_F(LibrarySearchTest, ThePasswordChangeEnds) {
    ASSERT_TRUE(process.Start("/a 0"));
    EXPECT_TRUE(process.WaitForExit(15000));
}

TEST_F(LibrarySearchTest, TheAboutBoxReadsTheVersionLines) {
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, ID_HELP_ABOUT, 0);
    HWND about = process.WaitForWindow(IsAboutBox);
    ASSERT_NE(about, nullptr);
    // Filled in while the box initialises itself.
    EXPECT_TRUE(test::WaitUntil([&] {
        return test::TextOf(GetDlgItem(about, IDC_ABOUT_VERSION)) == TOLVARIN_NAME " version 1.50b";
    }));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(about); }));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(process.WaitForExit());
}

TEST_F(LibrarySearchTest, AMoviePreviewPlays) {
    std::string movie = process.File("movie.avi");
    ASSERT_TRUE(test::WriteTestAvi(movie, 64, 48, 10, 10));
    process.WriteIni("[LIST]\r\nentry=0\r\nList0=○" + movie + "\r\n");
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, IDC_SAVER_LIST), LB_SETCURSEL, 0, 0);
    PostMessageA(dialog, WM_COMMAND, ID_FILE_PREVIEW, 0);
    HWND player = process.WaitForWindow(IsMoviePlayer);
    ASSERT_NE(player, nullptr);
    PostMessageA(player, WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(player); }, 10000));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(process.WaitForExit());
}

}  // namespace
