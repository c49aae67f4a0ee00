// Libraries placed beside the program under the names of system libraries
// are never loaded, whatever the program does: the about box's version
// lines, a movie preview, the password change and a session that shows a
// Flash movie and asks for the password. Wine is told to prefer such native files, as Windows does;
// a decoy that is loaded writes to the fixtures' log.
#include "res/resource.h"
#include "tests/support/TestSupport.h"
#include "ui/FileDialogIds.h"

#include <gtest/gtest.h>

namespace {

TEST(LibrarySearchTest, NoLibraryBesideTheProgramIsEverLoaded) {
    test::ProductProcess process;
    SetEnvironmentVariableA("WINEDLLOVERRIDES", "mscoree,mshtml=;version,msvfw32,mpr,password.cpl=n,b");
    for (const char* name : {"version.dll", "msvfw32.dll", "mpr.dll", "password.cpl"}) {
        ASSERT_TRUE(test::CopyFileTo(test::FixturePath("decoy_library.dll"), process.File(name)));
    }
    process.WriteIni("[LIST]\r\nentry=0\r\nList0=○" + test::FixturePath("clips\\clip.avi") + "\r\n");
    ASSERT_TRUE(process.Start(""));
    HWND dialog = process.WaitForWindow([](HWND w) { return test::ClassNameOf(w) == "#32770" && test::TextOf(w) == TOLVARIN_NAME; });
    PostMessageA(dialog, WM_COMMAND, ID_HELP_ABOUT, 0);
    HWND about = process.WaitForWindow([](HWND w) { return test::TextOf(w) == TOLVARIN_ABOUT_CAPTION; });
    // Filled in while the box initialises itself.
    EXPECT_TRUE(test::WaitUntil([&] { return test::TextOf(GetDlgItem(about, IDC_ABOUT_VERSION)) == TOLVARIN_NAME " version 1.50b"; }));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(about && test::WaitUntil([&] { return !IsWindow(about); }));
    SendMessageA(GetDlgItem(dialog, IDC_SAVER_LIST), LB_SETCURSEL, 0, 0);
    PostMessageA(dialog, WM_COMMAND, ID_FILE_PREVIEW, 0);
    HWND player = process.WaitForWindow([](HWND w) {
        return test::TextOf(w) == TOLVARIN_PLAYER_CAPTION && test::ClassNameOf(GetWindow(w, GW_CHILD)).rfind("Tolvarin:", 0) == 0;
    });
    PostMessageA(player, WM_CLOSE, 0, 0);
    ASSERT_TRUE(player && test::WaitUntil([&] { return !IsWindow(player); }, 10000));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(process.WaitForExit());

    ASSERT_TRUE(process.Start("/a 0"));
    EXPECT_TRUE(process.WaitForExit(15000));

    // A session showing a Flash movie, which a key ends; then the password.
    test::SystemPasswordCheck passwordCheck;
    test::StandInFlashControl flashControl;
    test::SetUsePasswordFlag(1);
    test::WriteFileBytes(process.File("clip.swf"), "FWS");
    process.WriteIni("[LIST]\r\nentry=0\r\nList0=○" + process.File("clip.swf") + "\r\n");
    ASSERT_TRUE(process.Start("/s"));
    ASSERT_NE(process.WaitForWindow([](HWND w) { return IsWindowVisible(w) && test::TextOf(w) == TOLVARIN_PLAYER_CAPTION; }), nullptr);
    // Pressed again until the player, shown a moment ago, has the keyboard.
    ASSERT_TRUE(test::WaitUntil([&] { test::PressKey(VK_SPACE); return process.WaitForExit(200); }));
    EXPECT_EQ(test::ReadFileBytes(process.File("password_log.txt")), "verify flag=1 answer=1\r\n");
    test::DeleteUsePasswordFlag();
    SetEnvironmentVariableA("WINEDLLOVERRIDES", "mscoree,mshtml=");
    EXPECT_TRUE(process.Log().Lines().empty()) << "a library beside the program was loaded";
}

}  // namespace
