// Start-up of the real tolvarin.scr, observed from outside: the role each
// command line gives, one process per role, the settings file beside the
// executable, the password flag through a process's life, and what the
// built files carry for the system (manifest, icon sizes).
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using test::ProductProcess;

bool IsSessionWindow(HWND window) { return test::TextOf(window) == TOLVARIN_NAME &&
                                           test::ClassNameOf(window) != "#32770"; }
bool IsSettingsDialog(HWND window) {
    return test::ClassNameOf(window) == "#32770" && test::TextOf(window) == TOLVARIN_NAME;
}

// Ends a process by closing its main window, as the user or the system would.
void CloseAndWait(ProductProcess& process, HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(process.WaitForExit(10000));
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { test::DeleteUsePasswordFlag(); }
    void TearDown() override { test::DeleteUsePasswordFlag(); }
};

TEST_F(StartupTest, EverySpellingOfTheSaverSwitchStartsASession) {
    for (const char* argument : {"/S", "-s", "/s", "/saver"}) {
        SCOPED_TRACE(argument);
        ProductProcess process;
        ASSERT_TRUE(process.Start(argument));
        HWND host = process.WaitForWindow(IsSessionWindow);
        ASSERT_NE(host, nullptr);
        EXPECT_TRUE(process.Running());
        CloseAndWait(process, host);
    }
}

TEST_F(StartupTest, ArgumentsWithoutARoleEndAtOnce) {
    for (const char* argument : {"s", "/x", "/p", "/a", "-"}) {
        SCOPED_TRACE(argument);
        ProductProcess process;
        ASSERT_TRUE(process.Start(argument));
        EXPECT_TRUE(process.WaitForExit(10000));
        EXPECT_TRUE(test::TopLevelWindowsOf(process.Id(), true).empty());
    }
}

TEST_F(StartupTest, SettingsDialogParentComesOnlyFromColonForm) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    char withColon[32];
    wsprintfA(withColon, "/c:%ld", static_cast<long>(reinterpret_cast<LONG_PTR>(owner)));
    char withoutColon[32];
    wsprintfA(withoutColon, "/c%ld", static_cast<long>(reinterpret_cast<LONG_PTR>(owner)));

    struct Case {
        std::string arguments;
        HWND expectedOwner;
    } cases[] = {{"", nullptr}, {"/c", nullptr}, {withColon, owner}, {withoutColon, nullptr},
                 {"/c:0", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ProductProcess process;
        ASSERT_TRUE(process.Start(c.arguments));
        // The dialog disables its owner, which is ours: keep our messages
        // flowing while we wait.
        HWND dialog = nullptr;
        test::PumpUntil([&] { return (dialog = test::FindWindowOf(process.Id(), IsSettingsDialog)); },
                        10000);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), c.expectedOwner);
        if (c.expectedOwner) {
            EXPECT_FALSE(IsWindowEnabled(owner));
        }
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(test::PumpUntil([&] { return !process.Running(); }, 10000));
        // Our window is enabled again once the dialog it owned has gone.
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    DestroyWindow(owner);
}

TEST_F(StartupTest, ASecondProcessOfARoleEndsAndLeavesTheFirst) {
    // The session shows a program, which takes all input itself: other
    // windows coming and going do not end it.
    ProductProcess session;
    std::string program = session.File("prog.exe");
    ASSERT_TRUE(test::CopyFileTo(test::FixturePath("test_program.exe"), program));
    session.WriteIni("[LIST]\r\nentry=0\r\nList0=○" + program + "\r\n");
    ASSERT_TRUE(session.Start("/s"));
    HWND host = session.WaitForWindow(IsSessionWindow);
    ASSERT_NE(host, nullptr);

    ProductProcess secondSession;
    ASSERT_TRUE(secondSession.Start("/s"));
    EXPECT_TRUE(secondSession.WaitForExit(10000));
    EXPECT_TRUE(session.Running());

    // A settings dialog runs beside a session, but not beside another dialog.
    ProductProcess settings;
    ASSERT_TRUE(settings.Start("/c"));
    HWND dialog = settings.WaitForWindow(IsSettingsDialog);
    ASSERT_NE(dialog, nullptr);
    ProductProcess secondSettings;
    ASSERT_TRUE(secondSettings.Start(""));
    EXPECT_TRUE(secondSettings.WaitForExit(10000));
    EXPECT_TRUE(settings.Running());
    EXPECT_TRUE(session.Running());

    CloseAndWait(settings, dialog);
    CloseAndWait(session, host);
}

// A name whose last character ends in the byte of a backslash (表 is
// 95 5C) still leaves the folder whole.
TEST_F(StartupTest, SettingsFileIsBesideTheExecutableWhateverItsNameAndWorkingFolder) {
    for (const char* name : {"Other Name.exe", "表.scr"}) {
        SCOPED_TRACE(name);
        test::SetUsePasswordFlag(1);
        ProductProcess process(name);
        test::TempFolder elsewhere;
        ASSERT_TRUE(process.Start("/s", elsewhere.Path().c_str()));
        HWND host = process.WaitForWindow(IsSessionWindow);
        ASSERT_NE(host, nullptr);
        // The suspension is recorded in the settings file, which is found
        // beside the executable and not in the working folder.
        EXPECT_EQ(process.ReadIniInt("OTHER", "PassLock", -1), 1);
        EXPECT_FALSE(test::FileExists(elsewhere.File("tolvarin.ini")));
        CloseAndWait(process, host);
    }
}

// A process that ends because another holds its role leaves the flag and
// PassLock as it found them: suspended by the first process.
TEST_F(StartupTest, AProcessWhoseRoleIsTakenTouchesNoPasswordState) {
    struct Role {
        const char* arguments;
        const char* eventName;
    } roles[] = {{"/s", "tolvarinkun"}, {"/c", "tolvarinkunset"}};
    for (const Role& role : roles) {
        SCOPED_TRACE(role.arguments);
        HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, role.eventName);
        ASSERT_NE(taken, nullptr);
        test::SetUsePasswordFlag(0);
        ProductProcess process;
        process.WriteIni("[OTHER]\r\nPassLock=1\r\n");
        ASSERT_TRUE(process.Start(role.arguments));
        EXPECT_TRUE(process.WaitForExit(10000));
        CloseHandle(taken);
        EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
        EXPECT_EQ(process.ReadIniInt("OTHER", "PassLock", -1), 1);
    }
}

TEST_F(StartupTest, PasswordFlagIsSuspendedWhileAProcessRunsInEveryMode) {
    struct Mode {
        const char* arguments;
        bool (*isMainWindow)(HWND);
    } modes[] = {{"/s", IsSessionWindow}, {"/c", IsSettingsDialog}};
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.arguments);
        test::SetUsePasswordFlag(5);
        ProductProcess process;
        ASSERT_TRUE(process.Start(mode.arguments));
        HWND window = process.WaitForWindow(mode.isMainWindow);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
        EXPECT_EQ(process.ReadIniInt("OTHER", "PassLock", -1), 1);
        CloseAndWait(process, window);
        EXPECT_EQ(test::GetUsePasswordFlag(), 1u);
        EXPECT_EQ(process.ReadIniInt("OTHER", "PassLock", -1), 0);
    }
}

TEST_F(StartupTest, AKilledProcessLeavesTheSuspensionForTheNextOneToUndo) {
    test::SetUsePasswordFlag(1);
    ProductProcess process;
    ASSERT_TRUE(process.Start("/s"));
    ASSERT_NE(process.WaitForWindow(IsSessionWindow), nullptr);
    process.Kill();
    EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
    EXPECT_EQ(process.ReadIniInt("OTHER", "PassLock", -1), 1);

    // The next process, even one that has no role, restores the flag at exit.
    ASSERT_TRUE(process.Start("/p"));
    EXPECT_TRUE(process.WaitForExit(10000));
    EXPECT_EQ(test::GetUsePasswordFlag(), 1u);
    EXPECT_EQ(process.ReadIniInt("OTHER", "PassLock", -1), 0);
}

TEST_F(StartupTest, WithThePasswordOffNothingIsTouched) {
    ProductProcess process;
    ASSERT_TRUE(process.Start("/s"));
    HWND host = process.WaitForWindow(IsSessionWindow);
    ASSERT_NE(host, nullptr);
    CloseAndWait(process, host);
    bool exists = true;
    test::GetUsePasswordFlag(&exists);
    EXPECT_FALSE(exists);
    // The session records the entry shown last, and nothing of the password.
    EXPECT_EQ(process.ReadIni("OTHER", "PassLock"), "<missing>");
}

TEST_F(StartupTest, ChangePasswordEndsWhenTheSystemCallReturns) {
    // Wine offers no Windows 9x password service: the change does nothing.
    ProductProcess process;
    ASSERT_TRUE(process.Start("/a 0"));
    EXPECT_TRUE(process.WaitForExit(10000));
}

TEST(Startup64Test, The64BitBuildTakesItsModeAndEnds) {
    ASSERT_TRUE(test::FileExists(test::Product64Path())) << test::Product64Path();
    ProductProcess session("tolvarin.scr", test::Product64Path());
    ASSERT_TRUE(session.Start("/s"));
    HWND host = session.WaitForWindow(IsSessionWindow);
    ASSERT_NE(host, nullptr);
    CloseAndWait(session, host);

    ProductProcess settings("tolvarin.scr", test::Product64Path());
    ASSERT_TRUE(settings.Start("/c"));
    HWND dialog = settings.WaitForWindow(IsSettingsDialog);
    ASSERT_NE(dialog, nullptr);
    CloseAndWait(settings, dialog);

    ProductProcess none("tolvarin.scr", test::Product64Path());
    ASSERT_TRUE(none.Start("s"));
    EXPECT_TRUE(none.WaitForExit(10000));
}

// The bytes of a resource of a file loaded as data; empty when it has none.
std::string ResourceBytes(HMODULE file, const char* type, const char* name) {
    HRSRC found = FindResourceA(file, name, type);
    HGLOBAL loaded = found ? LoadResource(file, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(file, found)) : std::string();
}

TEST(BuiltFileTest, EveryBuildCarriesItsManifestAndLargeIcons) {
    // Both builds where they are there, whichever build runs the test.
    std::string builds = test::BuildFolder();
    builds.erase(builds.find_last_of('\\'));
    std::set<std::string> paths = {test::ProductPath()};
    for (const char* arch : {"i686", "x86_64"}) {
        std::string path = builds + "\\" + arch + "\\tolvarin.scr";
        if (test::FileExists(path)) paths.insert(path);
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        HMODULE file = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(file, nullptr);
        std::string manifest = ResourceBytes(file, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
        for (const char* part :
             {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
              "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
              "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",    // Vista
              "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",    // 7
              "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",    // 8
              "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",    // 8.1
              "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"}) {  // 10 and 11
            EXPECT_NE(manifest.find(part), std::string::npos) << part;
        }
        // Asking for an execution level would end the redirection of a
        // 32-bit copy's writes in a protected folder.
        EXPECT_EQ(manifest.find("<trustInfo"), std::string::npos);
        EXPECT_EQ(manifest.find("<requestedExecutionLevel"), std::string::npos);

        // The icon's sizes, from its group directory (a width of 0 is 256).
        std::string group = ResourceBytes(file, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(128));
        std::set<int> widths;
        for (size_t at = 6; at + 14 <= group.size(); at += 14) {
            int width = static_cast<unsigned char>(group[at]);
            widths.insert(width == 0 ? 256 : width);
        }
        EXPECT_EQ(widths, (std::set<int>{16, 32, 48, 256}));
        FreeLibrary(file);
    }
}

}  // namespace
